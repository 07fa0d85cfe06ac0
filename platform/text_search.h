// Searching texts and lists of texts, byte for byte: no national collation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

class ByteSource;

// Position of the first occurrence of needle in text, counted from 1; 0 when
// absent or when either is empty.
size_t AT(const std::string& needle, const std::string& text);

// Index (from 1) of the first element equal to text, byte for byte; 0 when none.
// Exact equality on purpose: a prefix rule would make "Acc" look already present
// once "Acc2" is, and pass a valid entry over.
size_t ASCAN(const std::vector<std::string>& list, const std::string& text);

// AT over the content MEMOREAD would give for the source, reading it in pieces of
// buffer_size bytes so memory stays bounded whatever the file's size; a match that
// straddles two pieces is found. A failed read ends the content, as for MEMOREAD.
uint64_t stream_at(const std::string& needle, ByteSource& source, size_t buffer_size = 1 << 20);

}  // namespace plat
