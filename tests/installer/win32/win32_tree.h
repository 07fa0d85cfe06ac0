// Building folder trees for the Windows tests with the system's own calls.
#pragma once

#include <cstdint>
#include <string>

namespace win32_tree {

// "X:" for the drive run_on_drive.sh gave this program; "" when none was given.
std::string test_drive();

void make_dir(const std::string& path);
void write_file(const std::string& path, const std::string& content);
// A file of exactly size bytes (its content zero).
void make_sized(const std::string& path, uint64_t size);
void set_attributes(const std::string& path, unsigned long attributes);
// Removes a tree whatever the attributes of its entries.
void remove_tree(const std::string& path);
std::string read_file(const std::string& path);
bool exists(const std::string& path);

// An installation: brevantw.exe of exe_size bytes and emp\versionp.dbf with version.
void make_installation(const std::string& folder, const std::string& version = "release 2010/1 ok",
                       uint64_t exe_size = 6750208);

// A drive letter with no drive behind it ("" when every letter is taken).
std::string unused_drive();

}  // namespace win32_tree
