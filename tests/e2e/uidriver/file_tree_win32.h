// Building the folder trees that the scenarios search, with Win32 calls, so that
// attributes such as hidden and system are the ones the program under test sees.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace e2e {

// Each function throws std::runtime_error when the system refuses.
void make_dirs(const std::string& path);
void write_file(const std::string& path, const std::string& content);
// A file of exactly `size` bytes, all zero; the host keeps it sparse.
void write_sized_file(const std::string& path, std::uint64_t size);
void add_attributes(const std::string& path, DWORD attributes);
void copy_file(const std::string& from, const std::string& to);

// The whole content; nothing when the file cannot be read.
std::optional<std::string> read_file(const std::string& path);
bool path_exists(const std::string& path);
// Removes a folder tree (read-only and hidden entries included); missing is fine.
void remove_tree(const std::string& path);

}  // namespace e2e
