#include "win32_tree.h"

#include <windows.h>

#include <stdexcept>

namespace win32_tree {

std::string test_drive() {
  char buf[8] = {};
  const DWORD n = GetEnvironmentVariableA("TEST_DRIVE", buf, sizeof buf);
  return (n == 1) ? std::string(1, buf[0]) + ":" : std::string();
}

void make_dir(const std::string& path) {
  if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    throw std::runtime_error("cannot create " + path);
}

void write_file(const std::string& path, const std::string& content) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
  DWORD done = 0;
  WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &done, nullptr);
  CloseHandle(h);
}

void make_sized(const std::string& path, uint64_t size) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(size);
  SetFilePointerEx(h, at, nullptr, FILE_BEGIN);
  SetEndOfFile(h);
  CloseHandle(h);
}

void set_attributes(const std::string& path, unsigned long attributes) {
  if (!SetFileAttributesA(path.c_str(), attributes)) throw std::runtime_error("cannot mark " + path);
}

void remove_tree(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileA(path.c_str());
    return;
  }
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = fd.cFileName;
      if (name != "." && name != "..") remove_tree(path + "\\" + name);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(path.c_str());
}

std::string read_file(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string out;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  CloseHandle(h);
  return out;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void make_installation(const std::string& folder, const std::string& version, uint64_t exe_size) {
  make_dir(folder);
  make_dir(folder + "\\emp");
  make_sized(folder + "\\brevantw.exe", exe_size);
  write_file(folder + "\\emp\\versionp.dbf", version);
}

std::string unused_drive() {
  const DWORD used = GetLogicalDrives();
  for (char c = 'Z'; c >= 'C'; --c)
    if (c != 'W' && !(used & (1u << (c - 'A')))) return std::string(1, c) + ":";
  return "";
}

}  // namespace win32_tree
