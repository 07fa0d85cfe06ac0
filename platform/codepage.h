// Text conversion between the OEM code page (table text) and the ANSI code page
// (program text).
//
// The result has the length of the text given. Bytes are mapped up to the first
// zero byte; that byte and everything after it are copied unchanged, since the
// system's conversion treats the zero as the end of the text.
//
// On Windows the running system's mapping is used (OemToCharA / CharToOemA).
// Elsewhere our own tables give the Spanish pair: OEM code page 850 and ANSI code
// page 1252 (see codepage.cpp for what is done with characters one side lacks).
#pragma once

#include <string>

namespace plat {

std::string OEMTOANSI(const std::string& text);
std::string ANSITOOEM(const std::string& text);

}  // namespace plat
