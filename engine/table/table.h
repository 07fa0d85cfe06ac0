// A table file with its memo file: opening and creating, reading and writing
// records, appending under the header lock, record and file locks, and the hooks
// that keep indexes in step.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "dbf/header.h"
#include "io/file.h"
#include "memo/memo_file.h"
#include "status.h"
#include "table/index_maintainer.h"

namespace ace::table {

struct OpenOptions {
  bool exclusive = false;  // no other open may coexist with this one
  bool read_only = false;
};

struct CreateOptions {
  // Visual FoxPro (version 0x30, binary memo pointers, back-link) instead of
  // FoxPro 2 (0x03, or 0xF5 with an FPT memo file).
  bool visual_foxpro = false;
  bool structural_cdx = false;  // header flag: the structural bag exists
  uint8_t codepage = 0;
  uint32_t memo_block_size = 64;
  // The memo file of a FoxPro 2 table: Fpt, or Dbt3 for a dBASE III table
  // (version 0x83) with a .dbt of 512-byte blocks. Visual FoxPro takes only Fpt.
  dbf::MemoKind memo_kind = dbf::MemoKind::Fpt;
};

class Table {
 public:
  static Status open(const std::string& path, const OpenOptions& options, std::unique_ptr<Table>* out);
  // Writes a new, empty table (and its memo file when a field needs one),
  // replacing one of that name, then opens it with `open_options`. Fields need a
  // name, type, length and decimals; offsets are worked out here.
  static Status create(const std::string& path, const std::vector<dbf::FieldDesc>& fields,
                       const CreateOptions& options, const OpenOptions& open_options,
                       std::unique_ptr<Table>* out);
  ~Table();
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  const std::string& path() const { return file_->path(); }
  const dbf::TableHeader& header() const { return header_; }
  bool shared() const { return !options_.exclusive; }
  bool read_only() const { return options_.read_only; }

  // The record count: re-read from the header when others may append, and checked
  // against the file size.
  Status record_count(uint32_t* out);
  // The count as last read, without touching the file.
  uint32_t known_record_count() const { return header_.record_count; }

  Status read_record(uint32_t recno, std::string* out) const;
  // Replaces a record. On a shared table the record (or the file) must be locked
  // by this table.
  Status write_record(uint32_t recno, const std::string& bytes);
  Status set_deleted(uint32_t recno, bool deleted);
  // What write_record checks before it writes: read-only, the lock, tags that
  // cannot be kept up to date.
  Status check_writable(uint32_t recno) const;
  // Adds `bytes` (a blank record when empty) as the last record: under the header
  // lock, the record is written first and counted after, so a crash at any point
  // leaves a table whose count covers only complete records. The new record is
  // left locked unless the caller says it needs no lock: a complete record, once
  // counted, has nothing left to guard.
  enum class NewRecord { Locked, Unlocked };
  Status append(const std::string& bytes, uint32_t* recno, NewRecord lock = NewRecord::Locked);

  Status lock_record(uint32_t recno);
  Status unlock_record(uint32_t recno);
  // Releases every record lock and the file lock.
  Status unlock_all();
  // Locks the whole file; this table's record locks are given up first.
  Status lock_file();
  Status unlock_file();
  bool holds_record_lock(uint32_t recno) const;
  bool holds_file_lock() const { return file_locked_; }
  // Holds the header lock across several changes, which then take it no more
  // (a record's update and the next append, say); holds nest. Fails at once,
  // like an append, when another user has it.
  Status hold_header();
  void release_header();
  bool holds_header_lock() const { return file_locked_ || header_holds_ > 0 || !shared(); }
  const std::set<uint32_t>& record_locks() const { return record_locks_; }

  bool has_memo() const { return memo_ != nullptr; }
  Status read_memo(uint32_t block, std::string* out) const;
  Status write_memo(std::string_view text, uint32_t old_block, uint32_t* new_block);

  Status flush();

  // Bytes of the file header as the file has them now (others may have changed
  // them), through the shared view when there is one.
  io::IoStatus read_header_bytes(uint64_t offset, void* buf, size_t n) const;

  void set_index_maintainer(std::unique_ptr<IndexMaintainer> m) { maintainer_ = std::move(m); }
  IndexMaintainer* index_maintainer() const { return maintainer_.get(); }

  io::File& file() { return *file_; }

 private:
  Table(std::unique_ptr<io::File> file, const OpenOptions& options) : file_(std::move(file)), options_(options) {}
  Status lock_range(uint64_t offset, uint64_t length);
  void stamp_today();
  io::IoStatus write_header_bytes(uint64_t offset, const void* buf, size_t n);

  std::unique_ptr<io::File> file_;
  // The file's first bytes seen through a shared view where the system offers
  // one: the record count is read and written there on every append.
  uint8_t* header_view_ = nullptr;
  std::unique_ptr<memo::MemoFile> memo_;
  std::unique_ptr<IndexMaintainer> maintainer_;
  OpenOptions options_;
  dbf::TableHeader header_;
  std::set<uint32_t> record_locks_;
  bool file_locked_ = false;
  std::string append_buf_;
  int header_holds_ = 0;
  // The record this table last wrote while holding its lock, as written: until
  // the lock goes, nobody else can have changed it, so updates need not read it
  // back for its old keys.
  uint32_t written_recno_ = 0;
  std::string written_;
  void forget_written(uint32_t recno) {
    if (recno == 0 || recno == written_recno_) written_recno_ = 0;
  }
};

// "dir/name.dbf" -> "dir/name"; the name stays when it has no extension.
std::string strip_extension(const std::string& path);
// An existing file of `base` + `ext`, trying the extension in lower, then upper
// case; `base` + lower-case `ext` when neither exists.
std::string companion_path(const std::string& base, const std::string& ext);

}  // namespace ace::table
