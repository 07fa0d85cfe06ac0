// Files on Linux: pread/pwrite and open-file-description locks (F_OFD_SETLK).
//
// OFD locks belong to the open file description, not the process, so two Files of
// one process exclude each other exactly as two processes do, and closing one
// descriptor never drops the locks of another.
//
// Share modes have no system support here; every open of the engine agrees on a
// lock of one byte instead:
//
// | Offset                      | Size | Lock                                        |
// |-----------------------------|------|---------------------------------------------|
// | kShareModeLockOffset        | 1    | shared (F_RDLCK) by every ordinary open,    |
// | (0x7FFFFFFF)                |      | exclusive (F_WRLCK) by an Exclusive open    |
//
// A conflict on that byte at open time is a sharing violation (os 32).
//
// Views (mmap, MAP_SHARED) are offered only for files on local file systems,
// where the page cache is the one copy that pread, pwrite and every mapping of
// the file share. ACE_FILE_VIEWS=0 in the environment turns them off.
#include "io/file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace ace::io {
namespace {

IoStatus from_errno(int e) {
  IoStatus s;
  switch (e) {
    case 0: return s;
    case ENOENT: case ENOTDIR: s.code = IoStatus::NotFound; s.os_code = 2; break;
    case EACCES: case EPERM: case EROFS: case EISDIR: s.code = IoStatus::AccessDenied; s.os_code = 5; break;
    case EEXIST: s.code = IoStatus::Exists; s.os_code = 80; break;
    case ENOSPC: case EDQUOT: case EFBIG: s.code = IoStatus::DiskFull; s.os_code = 112; break;
    default: s.code = IoStatus::Other; s.os_code = e; break;
  }
  return s;
}

IoStatus lock_conflict(IoStatus::Code code, int os) {
  IoStatus s;
  s.code = code;
  s.os_code = os;
  return s;
}

// F_OFD_SETLK on one range; EAGAIN/EACCES mean someone else holds it.
int ofd_lock(int fd, short type, uint64_t offset, uint64_t length) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = static_cast<off_t>(offset);
  fl.l_len = static_cast<off_t>(length);
  fl.l_pid = 0;
  return fcntl(fd, F_OFD_SETLK, &fl) == 0 ? 0 : errno;
}

bool views_wanted() {
  static const bool wanted = [] {
    const char* v = std::getenv("ACE_FILE_VIEWS");
    return !(v && std::strcmp(v, "0") == 0);
  }();
  return wanted;
}

// File systems whose files live on this machine's own disks or memory. Anything
// else (NFS, SMB, FUSE...) may be changed by other machines behind a view's back.
bool local_file_system(int fd) {
  struct statfs fs {};
  if (::fstatfs(fd, &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53:      // ext2, ext3, ext4
    case 0x58465342:  // xfs
    case 0x9123683E:  // btrfs
    case 0x01021994:  // tmpfs
    case 0x794C7630:  // overlayfs
    case 0xF2F52010:  // f2fs
    case 0x2FC12FC1:  // zfs
      return true;
    default:
      return false;
  }
}

class PosixFile final : public File {
 public:
  PosixFile(int fd, std::string path, bool writable)
      : fd_(fd), path_(std::move(path)), writable_(writable) {}
  ~PosixFile() override {
    if (view_) ::munmap(view_, view_length_);
    if (lock_fd_ >= 0) ::close(lock_fd_);
    ::close(fd_);
  }

  IoStatus read_at(uint64_t offset, void* buf, size_t n, size_t* got) override {
    size_t done = 0;
    auto* p = static_cast<char*>(buf);
    while (done < n) {
      ssize_t r = ::pread(fd_, p + done, n - done, static_cast<off_t>(offset + done));
      if (r < 0) {
        if (errno == EINTR) continue;
        if (got) *got = done;
        return from_errno(errno);
      }
      if (r == 0) break;
      done += static_cast<size_t>(r);
    }
    if (got) *got = done;
    if (done < n) return lock_conflict(IoStatus::ShortRead, 38);
    return IoStatus::success();
  }

  IoStatus write_at(uint64_t offset, const void* buf, size_t n) override {
    size_t done = 0;
    auto* p = static_cast<const char*>(buf);
    while (done < n) {
      ssize_t r = ::pwrite(fd_, p + done, n - done, static_cast<off_t>(offset + done));
      if (r < 0) {
        if (errno == EINTR) continue;
        return from_errno(errno);
      }
      done += static_cast<size_t>(r);
    }
    return IoStatus::success();
  }

  IoStatus size(uint64_t* out) override {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return from_errno(errno);
    *out = static_cast<uint64_t>(st.st_size);
    return IoStatus::success();
  }

  IoStatus truncate(uint64_t n) override {
    return ::ftruncate(fd_, static_cast<off_t>(n)) == 0 ? IoStatus::success() : from_errno(errno);
  }

  IoStatus flush() override { return ::fdatasync(fd_) == 0 ? IoStatus::success() : from_errno(errno); }

  IoStatus lock(uint64_t offset, uint64_t length) override {
    return range_lock(F_WRLCK, offset, length);
  }
  IoStatus lock_shared(uint64_t offset, uint64_t length) override {
    return range_lock(F_RDLCK, offset, length);
  }
  IoStatus unlock(uint64_t offset, uint64_t length) override {
    int e = ofd_lock(lock_descriptor(), F_UNLCK, offset, length);
    return e == 0 ? IoStatus::success() : from_errno(e);
  }

  const std::string& path() const override { return path_; }

  uint8_t* view(uint64_t length) override {
    if (view_) {
      ::munmap(view_, view_length_);
      view_ = nullptr;
    }
    if (length == 0 || !views_wanted() || !local_file_system(fd_)) return nullptr;
    void* p = ::mmap(nullptr, static_cast<size_t>(length), writable_ ? PROT_READ | PROT_WRITE : PROT_READ,
                     MAP_SHARED, fd_, 0);
    if (p == MAP_FAILED) return nullptr;
    view_ = static_cast<uint8_t*>(p);
    view_length_ = static_cast<size_t>(length);
    return view_;
  }

  // The share-mode byte: shared or exclusive, on the main descriptor when it may
  // carry that lock.
  IoStatus take_share_lock(bool exclusive) {
    int fd = exclusive ? lock_descriptor() : fd_;
    // A file we may only read cannot carry a write lock; a read lock still keeps
    // every writer and every exclusive open out.
    short type = exclusive && (writable_ || fd != fd_) ? F_WRLCK : F_RDLCK;
    int e = ofd_lock(fd, type, kShareModeLockOffset, 1);
    if (e == EAGAIN || e == EACCES) return lock_conflict(IoStatus::SharingViolation, 32);
    return e == 0 ? IoStatus::success() : from_errno(e);
  }

 private:
  // A write lock needs a descriptor open for writing. A read-only File gets a
  // second description of its own for its locks, when the file lets it; OFD locks
  // follow the description, so they still belong to this File alone.
  int lock_descriptor() {
    if (writable_) return fd_;
    if (lock_fd_ < 0) lock_fd_ = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
    return lock_fd_ >= 0 ? lock_fd_ : fd_;
  }

  IoStatus range_lock(short type, uint64_t offset, uint64_t length) {
    int fd = type == F_WRLCK ? lock_descriptor() : fd_;
    // Without a writable description, an exclusive lock degrades to a shared one:
    // it still keeps writers out.
    if (type == F_WRLCK && fd == fd_ && !writable_) type = F_RDLCK;
    int e = ofd_lock(fd, type, offset, length);
    if (e == EAGAIN || e == EACCES) return lock_conflict(IoStatus::LockConflict, 33);
    return e == 0 ? IoStatus::success() : from_errno(e);
  }

  int fd_;
  int lock_fd_ = -1;
  uint8_t* view_ = nullptr;
  size_t view_length_ = 0;
  std::string path_;
  bool writable_;
};

}  // namespace

IoStatus open_file(const std::string& path, Access access, Share share, Disposition disp,
                   std::unique_ptr<File>* out) {
  int flags = O_CLOEXEC | (access == Access::ReadWrite ? O_RDWR : O_RDONLY);
  if (disp == Disposition::CreateNew) flags |= O_CREAT | O_EXCL;
  // CreateAlways truncates only once the share lock is ours, so an open refused
  // for sharing leaves another user's file alone.
  if (disp == Disposition::CreateAlways) flags |= O_CREAT;
  int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) return from_errno(errno);
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    return from_errno(EISDIR);
  }
  auto file = std::make_unique<PosixFile>(fd, path, access == Access::ReadWrite);
  IoStatus s = file->take_share_lock(share == Share::Exclusive);
  if (!s.ok()) return s;
  if (disp == Disposition::CreateAlways) {
    s = file->truncate(0);
    if (!s.ok()) return s;
  }
  *out = wrap_opened(std::move(file));
  return IoStatus::success();
}

bool file_exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

IoStatus remove_file(const std::string& path) {
  return ::unlink(path.c_str()) == 0 ? IoStatus::success() : from_errno(errno);
}

}  // namespace ace::io
