// The file operations over POSIX calls, for native tests and benchmarks. Windows
// paths are translated: "X:" to the folder set for that letter, '\' to '/', and
// each name looked up without regard to case when no exact match exists, since
// Windows names are case-insensitive.
#include "files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "wildcard.h"

namespace plat {

namespace {

std::map<char, std::string>& drive_roots() {
  static std::map<char, std::string> roots;
  return roots;
}

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool is_hidden_name(const std::string& name) {
  return !name.empty() && name[0] == '.' && name != "." && name != "..";
}

bool same_ignoring_case(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

// The POSIX path of a Windows path; false when its drive has no folder.
bool to_posix(const std::string& win, std::string* out) {
  std::string rest = win;
  std::string base;
  if (rest.size() >= 2 && rest[1] == ':') {
    auto it = drive_roots().find(upper(rest[0]));
    if (it == drive_roots().end()) return false;
    base = it->second;
    rest = rest.substr(2);
  }
  for (char& c : rest)
    if (c == '\\') c = '/';
  if (base.empty()) {
    *out = rest;
    return true;
  }
  // Walk the components, matching each without regard to case when needed.
  std::string path = base;
  size_t pos = 0;
  while (pos <= rest.size()) {
    size_t slash = rest.find('/', pos);
    if (slash == std::string::npos) slash = rest.size();
    const std::string part = rest.substr(pos, slash - pos);
    pos = slash + 1;
    if (part.empty()) continue;
    std::string next = path + "/" + part;
    struct stat st {};
    if (part != "." && part != ".." && lstat(next.c_str(), &st) != 0 && !has_wildcards(part)) {
      if (DIR* d = opendir(path.c_str())) {
        while (dirent* e = readdir(d)) {
          if (same_ignoring_case(e->d_name, part)) {
            next = path + "/" + e->d_name;
            break;
          }
        }
        closedir(d);
      }
    }
    path = next;
  }
  if (!rest.empty() && rest.back() == '/') path += '/';
  *out = path;
  return true;
}

void split(const std::string& path, std::string* folder, std::string* name) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    *folder = ".";
    *name = path;
  } else {
    *folder = slash == 0 ? "/" : path.substr(0, slash);
    *name = path.substr(slash + 1);
  }
}

std::vector<std::string> list(const std::string& win_mask, bool keep_hidden) {
  std::vector<std::string> names;
  std::string mask;
  if (!to_posix(win_mask, &mask)) return names;
  std::string folder, pattern;
  split(mask, &folder, &pattern);
  if (pattern.empty() || has_wildcards(folder)) return names;
  DIR* d = opendir(folder.c_str());
  if (!d) return names;
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (!keep_hidden && is_hidden_name(name)) continue;
    if (wildcard_match(pattern, name)) names.push_back(name);
  }
  closedir(d);
  return names;
}

class FdSource : public ByteSource {
 public:
  explicit FdSource(int fd) : fd_(fd) {}
  ~FdSource() override { close(fd_); }
  bool read(char* buf, size_t cap, size_t* got) override {
    for (;;) {
      const ssize_t n = ::read(fd_, buf, cap);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      *got = static_cast<size_t>(n);
      return true;
    }
  }

 private:
  int fd_;
};

class PosixFileSystem : public FileSystem {
 public:
  std::vector<std::string> directory(const std::string& mask) override { return list(mask, false); }

  bool exists(const std::string& win) override {
    std::string path;
    if (!to_posix(win, &path)) return false;
    std::string folder, name;
    split(path, &folder, &name);
    if (has_wildcards(name)) return !list(win, true).empty();
    if (name.empty()) return false;  // a trailing separator names no entry
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
  }

  std::unique_ptr<ByteSource> open_read(const std::string& win) override {
    std::string path;
    if (!to_posix(win, &path)) return nullptr;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      close(fd);
      return nullptr;
    }
    return std::make_unique<FdSource>(fd);
  }

  uint64_t size(const std::string& win) override {
    std::string path;
    if (!to_posix(win, &path)) return 0;
    std::string folder, name;
    split(path, &folder, &name);
    struct stat st {};
    if (is_hidden_name(name) || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    return static_cast<uint64_t>(st.st_size);
  }

  bool copy(const std::string& win_from, const std::string& win_to) override {
    std::string from, to;
    if (!to_posix(win_from, &from) || !to_posix(win_to, &to)) return false;
    auto in = open_read(win_from);
    if (!in) return false;
    // Copying a file onto itself would truncate it; the system's copy refuses it.
    struct stat a {}, b {};
    if (stat(from.c_str(), &a) == 0 && stat(to.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
        a.st_ino == b.st_ino)
      return false;
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) return false;
    char buf[64 * 1024];
    bool ok = true;
    for (;;) {
      size_t got = 0;
      if (!in->read(buf, sizeof buf, &got)) {
        ok = false;
        break;
      }
      if (got == 0) break;
      for (size_t done = 0; done < got;) {
        const ssize_t n = write(out, buf + done, got - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
          ok = false;
          break;
        }
        done += static_cast<size_t>(n);
      }
      if (!ok) break;
    }
    return close(out) == 0 && ok;
  }
};

}  // namespace

FileSystem& system_files() {
  static PosixFileSystem fs;
  return fs;
}

void set_drive_root(char letter, const std::string& folder) {
  if (folder.empty())
    drive_roots().erase(upper(letter));
  else
    drive_roots()[upper(letter)] = folder;
}

}  // namespace plat
