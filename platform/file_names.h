// Splitting table and index file names the way the table routines need them.
// Only the backslash separates folders; only a-z are upper-cased.
#pragma once

#include <string>

namespace plat {

// The directory part in upper case: up to and including the last backslash;
// else "X:\" for a name whose second character is a colon; else "\" (the root
// folder of the current drive).
std::string CFILEPATH(const std::string& file_name);

// The base name: the name without its folder, upper-cased, trimmed of blanks, cut
// before its first dot and trimmed again. C:\Datos\Clientes.dbf gives CLIENTES,
// a.b.cdx gives A.
std::string CFILENOEXT(const std::string& file_name);

}  // namespace plat
