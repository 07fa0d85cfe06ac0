#include "file_tree_win32.h"

#include <stdexcept>

namespace e2e {
namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path) {
  throw std::runtime_error(what + " " + path + " (error " + std::to_string(GetLastError()) + ")");
}

}  // namespace

void make_dirs(const std::string& path) {
  for (size_t i = 3; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '\\') continue;
    const std::string prefix = path.substr(0, i);
    if (!CreateDirectoryA(prefix.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      fail("cannot create folder", prefix);
  }
}

void write_file(const std::string& path, const std::string& content) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) fail("cannot create", path);
  DWORD written = 0;
  const BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != content.size()) fail("cannot write", path);
}

void write_sized_file(const std::string& path, std::uint64_t size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) fail("cannot create", path);
  LONG high = static_cast<LONG>(size >> 32);
  const bool ok = SetFilePointer(file, static_cast<LONG>(size & 0xFFFFFFFFu), &high, FILE_BEGIN) !=
                      INVALID_SET_FILE_POINTER &&
                  SetEndOfFile(file);
  CloseHandle(file);
  if (!ok) fail("cannot size", path);
}

void add_attributes(const std::string& path, DWORD attributes) {
  const DWORD now = GetFileAttributesA(path.c_str());
  if (now == INVALID_FILE_ATTRIBUTES || !SetFileAttributesA(path.c_str(), now | attributes))
    fail("cannot set attributes of", path);
}

void copy_file(const std::string& from, const std::string& to) {
  if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) fail("cannot copy " + from + " to", to);
}

std::optional<std::string> read_file(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string content;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
  CloseHandle(file);
  return content;
}

bool path_exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void remove_tree(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileA(path.c_str());
    return;
  }
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name != "." && name != "..") remove_tree(path + "\\" + name);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
}

}  // namespace e2e
