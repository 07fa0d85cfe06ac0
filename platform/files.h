// The file-system operations the installer relies on, each with the exact
// behaviour the search for installations rests on. The routines below use the
// system's file system; code that must be testable takes a FileSystem instead.
//
// Paths are Windows paths ("C:\Halvoren\x") given to the system unchanged. Natively
// a drive letter maps to a folder chosen with set_drive_root and backslashes to
// slashes; a dot-file counts as hidden there, as it does under Wine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// A file opened for shared reading, read front to back.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to cap bytes into buf; *got is 0 at the end. False on a read error.
  virtual bool read(char* buf, size_t cap, size_t* got) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Names of the files and folders that match the mask, in the system's order,
  // hidden and system entries left out, "." and ".." kept when reported.
  // A folder or drive that cannot be reached gives no entries.
  virtual std::vector<std::string> directory(const std::string& mask) = 0;
  // True when a file or folder matches the path, hidden and system ones included;
  // wildcards are honoured.
  virtual bool exists(const std::string& path) = 0;
  // Opens for reading, letting others read and write; null when the file cannot be
  // opened (missing, locked against reading, or a folder).
  virtual std::unique_ptr<ByteSource> open_read(const std::string& path) = 0;
  // Size of a plain file marked neither hidden nor system; 0 for anything else.
  virtual uint64_t size(const std::string& path) = 0;
  // Copies, replacing an existing target; false when the copy failed.
  virtual bool copy(const std::string& from, const std::string& to) = 0;
};

// The system's file system (Win32 on Windows, POSIX natively).
FileSystem& system_files();

// Natively: the folder that stands for a drive letter's root ("" removes it).
void set_drive_root(char letter, const std::string& folder);

std::vector<std::string> DIRECTORY(const std::string& mask);
bool FILE(const std::string& path);
uint64_t FSIZE(const std::string& path);
bool COPYFILE(const std::string& from, const std::string& to);

// The whole content of a file; a final end-of-file mark (0x1A) is left off.
// A file that cannot be opened and an empty file give empty text; a read that
// fails part-way ends the content there.
std::string MEMOREAD(const std::string& path);
std::string MEMOREAD(FileSystem& fs, const std::string& path);

}  // namespace plat
