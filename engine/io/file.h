// The engine's only way to touch files: open with a share mode, read and write at
// an offset, lock and unlock byte ranges, size, truncate, flush. Every table, memo
// and index goes through a File, so tests can wrap one to inject short writes, I/O
// errors and crashes (see set_file_wrapper and the fault tests).
//
// Implementations: file_posix.cpp (open-file-description locks, F_OFD_SETLK, so two
// handles of one process exclude each other like two processes do; shared views
// of files on local disks) and
// file_win32.cpp (CreateFileA share modes, LockFileEx).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace ace::io {

// Status of a file operation. os_code carries the system's error number where there
// is one, mapped to the Windows numbering the program reports: 2 not found,
// 5 access denied, 32 sharing violation, 33 lock violation, 80 file exists,
// 112 disk full; other failures keep the system's own number.
struct IoStatus {
  enum Code { Ok = 0, NotFound, AccessDenied, SharingViolation, LockConflict, DiskFull, ShortRead, Exists, Other };
  Code code = Ok;
  int os_code = 0;
  bool ok() const { return code == Ok; }
  static IoStatus success() { return {}; }
};

enum class Access { ReadOnly, ReadWrite };
enum class Share { Exclusive, DenyWrite, DenyNone };
enum class Disposition { OpenExisting, CreateNew, CreateAlways };

class File {
 public:
  virtual ~File() = default;
  // Reads exactly n bytes at offset; a read past the end gives ShortRead and *got.
  virtual IoStatus read_at(uint64_t offset, void* buf, size_t n, size_t* got = nullptr) = 0;
  virtual IoStatus write_at(uint64_t offset, const void* buf, size_t n) = 0;
  virtual IoStatus size(uint64_t* out) = 0;
  virtual IoStatus truncate(uint64_t size) = 0;
  virtual IoStatus flush() = 0;
  // Non-blocking exclusive lock of [offset, offset + length); LockConflict when held
  // elsewhere (another process, or another File of this process).
  virtual IoStatus lock(uint64_t offset, uint64_t length) = 0;
  // Non-blocking shared lock: other shared locks may overlap it, exclusive ones not.
  virtual IoStatus lock_shared(uint64_t offset, uint64_t length) = 0;
  // Releases a range taken by lock() or lock_shared() with the same offset and length.
  virtual IoStatus unlock(uint64_t offset, uint64_t length) = 0;
  virtual const std::string& path() const = 0;
  // A view of the file's first `length` bytes shared with every other open of it:
  // loads and stores in it are reads and writes of the file, seen by others as
  // write_at's are. `length` may run past the end of the file, but bytes past the
  // end must not be touched. A new call replaces the previous view; the File
  // unmaps it when closed. Null where no view is offered: on Windows, on file
  // systems shared over a network (whose clients keep views coherent with no
  // other machine), and for files a test wraps. Callers fall back to read_at and
  // write_at.
  virtual uint8_t* view(uint64_t length) {
    (void)length;
    return nullptr;
  }
};

// Opens a file. Exclusive share mode is enforced by the system on Windows; on Linux
// by an agreed lock (see file_posix.cpp) that every open of the engine honours.
IoStatus open_file(const std::string& path, Access access, Share share, Disposition disp,
                   std::unique_ptr<File>* out);

// The byte every open of the engine locks on Linux to stand for the share mode:
// shared by ordinary opens, exclusive by an Exclusive one. It lies above the
// FoxPro-family header lock (0x7FFFFFFE) and so outside every record and file lock.
constexpr uint64_t kShareModeLockOffset = 0x7FFFFFFF;

bool file_exists(const std::string& path);
IoStatus remove_file(const std::string& path);

// Tests wrap every file the engine opens from then on (to fail the Nth write, say);
// an empty wrapper ends that. Not for production use: one wrapper for the process.
using FileWrapper = std::function<std::unique_ptr<File>(std::unique_ptr<File>)>;
void set_file_wrapper(FileWrapper wrapper);
// Used by the open_file implementations on what they opened.
std::unique_ptr<File> wrap_opened(std::unique_ptr<File> file);

}  // namespace ace::io
