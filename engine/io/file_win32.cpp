// Files on Windows: CreateFileA share modes and LockFileEx byte-range locks.
// Windows locks are not re-entrant: a second lock of a range this handle already
// holds fails, so callers track what they hold (the Table does).
#include "io/file.h"

#include <windows.h>

namespace ace::io {
namespace {

IoStatus from_error(DWORD e) {
  IoStatus s;
  switch (e) {
    case ERROR_SUCCESS: return s;
    case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_DRIVE:
      s.code = IoStatus::NotFound; s.os_code = 2; break;
    case ERROR_ACCESS_DENIED: case ERROR_WRITE_PROTECT:
      s.code = IoStatus::AccessDenied; s.os_code = 5; break;
    case ERROR_SHARING_VIOLATION: s.code = IoStatus::SharingViolation; s.os_code = 32; break;
    case ERROR_LOCK_VIOLATION: s.code = IoStatus::LockConflict; s.os_code = 33; break;
    case ERROR_FILE_EXISTS: case ERROR_ALREADY_EXISTS: s.code = IoStatus::Exists; s.os_code = 80; break;
    case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL: s.code = IoStatus::DiskFull; s.os_code = 112; break;
    default: s.code = IoStatus::Other; s.os_code = static_cast<int>(e); break;
  }
  return s;
}

OVERLAPPED at(uint64_t offset) {
  OVERLAPPED ov{};
  ov.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return ov;
}

class Win32File final : public File {
 public:
  Win32File(HANDLE h, std::string path) : h_(h), path_(std::move(path)) {}
  ~Win32File() override { CloseHandle(h_); }

  IoStatus read_at(uint64_t offset, void* buf, size_t n, size_t* got) override {
    size_t done = 0;
    auto* p = static_cast<char*>(buf);
    while (done < n) {
      OVERLAPPED ov = at(offset + done);
      DWORD chunk = static_cast<DWORD>(n - done > 0x40000000u ? 0x40000000u : n - done);
      DWORD r = 0;
      if (!ReadFile(h_, p + done, chunk, &r, &ov)) {
        DWORD e = GetLastError();
        if (e == ERROR_HANDLE_EOF) break;
        if (got) *got = done;
        return from_error(e);
      }
      if (r == 0) break;
      done += r;
    }
    if (got) *got = done;
    if (done < n) {
      IoStatus s;
      s.code = IoStatus::ShortRead;
      s.os_code = 38;
      return s;
    }
    return IoStatus::success();
  }

  IoStatus write_at(uint64_t offset, const void* buf, size_t n) override {
    size_t done = 0;
    auto* p = static_cast<const char*>(buf);
    while (done < n) {
      OVERLAPPED ov = at(offset + done);
      DWORD chunk = static_cast<DWORD>(n - done > 0x40000000u ? 0x40000000u : n - done);
      DWORD w = 0;
      if (!WriteFile(h_, p + done, chunk, &w, &ov)) return from_error(GetLastError());
      done += w;
    }
    return IoStatus::success();
  }

  IoStatus size(uint64_t* out) override {
    DWORD high = 0;
    DWORD low = GetFileSize(h_, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return from_error(GetLastError());
    *out = (static_cast<uint64_t>(high) << 32) | low;
    return IoStatus::success();
  }

  IoStatus truncate(uint64_t n) override {
    LONG high = static_cast<LONG>(n >> 32);
    if (SetFilePointer(h_, static_cast<LONG>(n & 0xFFFFFFFFu), &high, FILE_BEGIN) ==
            INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
      return from_error(GetLastError());
    return SetEndOfFile(h_) ? IoStatus::success() : from_error(GetLastError());
  }

  IoStatus flush() override {
    return FlushFileBuffers(h_) ? IoStatus::success() : from_error(GetLastError());
  }

  IoStatus lock(uint64_t offset, uint64_t length) override {
    return range_lock(LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, offset, length);
  }
  IoStatus lock_shared(uint64_t offset, uint64_t length) override {
    return range_lock(LOCKFILE_FAIL_IMMEDIATELY, offset, length);
  }
  IoStatus unlock(uint64_t offset, uint64_t length) override {
    OVERLAPPED ov = at(offset);
    if (!UnlockFileEx(h_, 0, static_cast<DWORD>(length & 0xFFFFFFFFu),
                      static_cast<DWORD>(length >> 32), &ov))
      return from_error(GetLastError());
    return IoStatus::success();
  }

  const std::string& path() const override { return path_; }

 private:
  IoStatus range_lock(DWORD flags, uint64_t offset, uint64_t length) {
    OVERLAPPED ov = at(offset);
    if (!LockFileEx(h_, flags, 0, static_cast<DWORD>(length & 0xFFFFFFFFu),
                    static_cast<DWORD>(length >> 32), &ov)) {
      DWORD e = GetLastError();
      // A held range is a lock conflict whichever way the system words it.
      if (e == ERROR_LOCK_VIOLATION || e == ERROR_IO_PENDING || e == ERROR_LOCK_FAILED)
        return from_error(ERROR_LOCK_VIOLATION);
      return from_error(e);
    }
    return IoStatus::success();
  }

  HANDLE h_;
  std::string path_;
};

}  // namespace

IoStatus open_file(const std::string& path, Access access, Share share, Disposition disp,
                   std::unique_ptr<File>* out) {
  DWORD desired = GENERIC_READ | (access == Access::ReadWrite ? GENERIC_WRITE : 0);
  DWORD mode = share == Share::Exclusive ? 0
               : share == Share::DenyWrite ? FILE_SHARE_READ
                                           : (FILE_SHARE_READ | FILE_SHARE_WRITE);
  DWORD creation = disp == Disposition::CreateNew      ? CREATE_NEW
                   : disp == Disposition::CreateAlways ? CREATE_ALWAYS
                                                       : OPEN_EXISTING;
  HANDLE h = CreateFileA(path.c_str(), desired, mode, nullptr, creation, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return from_error(GetLastError());
  *out = wrap_opened(std::make_unique<Win32File>(h, path));
  return IoStatus::success();
}

bool file_exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

IoStatus remove_file(const std::string& path) {
  return DeleteFileA(path.c_str()) ? IoStatus::success() : from_error(GetLastError());
}

}  // namespace ace::io
