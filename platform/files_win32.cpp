// The file operations over the ANSI Win32 calls. Paths go to the system unchanged.
#include "files.h"

#include <windows.h>

namespace plat {

namespace {

constexpr DWORD kHiddenOrSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

class HandleSource : public ByteSource {
 public:
  explicit HandleSource(HANDLE h) : h_(h) {}
  ~HandleSource() override { CloseHandle(h_); }
  bool read(char* buf, size_t cap, size_t* got) override {
    DWORD n = 0;
    const DWORD want = cap > 0x40000000u ? 0x40000000u : static_cast<DWORD>(cap);
    if (!ReadFile(h_, buf, want, &n, nullptr)) return false;
    *got = n;
    return true;
  }

 private:
  HANDLE h_;
};

class Win32FileSystem : public FileSystem {
 public:
  std::vector<std::string> directory(const std::string& mask) override {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(mask.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
      if (fd.dwFileAttributes & kHiddenOrSystem) continue;
      names.emplace_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
  }

  bool exists(const std::string& path) override {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(path.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindClose(h);
    return true;
  }

  std::unique_ptr<ByteSource> open_read(const std::string& path) override {
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened, as wanted.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<HandleSource>(h);
  }

  uint64_t size(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a)) return 0;
    if (a.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | kHiddenOrSystem)) return 0;
    return (static_cast<uint64_t>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
  }

  bool copy(const std::string& from, const std::string& to) override {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
  }
};

}  // namespace

FileSystem& system_files() {
  static Win32FileSystem fs;
  return fs;
}

// Drive letters are the system's own on Windows.
void set_drive_root(char, const std::string&) {}

}  // namespace plat
