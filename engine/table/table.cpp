#include "table/table.h"

#include <cctype>
#include <cstring>
#include <ctime>

#include "dbf/record.h"
#include "table/lock_offsets.h"

namespace ace::table {
namespace {

std::string lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}
std::string upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

Status check_fields(const std::string& path, const std::vector<dbf::FieldDesc>& fields) {
  if (fields.empty() || fields.size() > 255)
    return Status::error(ACE_ERR_ARGUMENT, path, "a table needs 1 to 255 fields");
  std::set<std::string> names;
  for (const auto& f : fields) {
    if (f.name.empty() || f.name.size() > 10)
      return Status::error(ACE_ERR_ARGUMENT, path, "field names have 1 to 10 characters");
    if (!names.insert(upper(f.name)).second)
      return Status::error(ACE_ERR_ARGUMENT, path, "field " + f.name + " appears twice");
    const bool sized = f.type == dbf::FieldType::Character || f.type == dbf::FieldType::Numeric ||
                       f.type == dbf::FieldType::Float;
    if ((sized && (f.length == 0 || f.length > 255)) || f.decimals > 15 ||
        ((f.type == dbf::FieldType::Numeric || f.type == dbf::FieldType::Float) &&
         f.decimals > 0 && f.decimals + 2 > f.length))
      return Status::error(ACE_ERR_ARGUMENT, path, "field " + f.name + " has an impossible length");
  }
  return Status::success();
}

}  // namespace

std::string strip_extension(const std::string& path) {
  size_t slash = path.find_last_of("/\\:");
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot);
}

std::string companion_path(const std::string& base, const std::string& ext) {
  std::string lo = base + lower(ext), up = base + upper(ext);
  if (io::file_exists(lo)) return lo;
  if (io::file_exists(up)) return up;
  return lo;
}

Table::~Table() { unlock_all(); }

Status Table::open(const std::string& path, const OpenOptions& options, std::unique_ptr<Table>* out) {
  std::unique_ptr<io::File> f;
  io::IoStatus io = io::open_file(path, options.read_only ? io::Access::ReadOnly : io::Access::ReadWrite,
                                  options.exclusive ? io::Share::Exclusive : io::Share::DenyNone,
                                  io::Disposition::OpenExisting, &f);
  if (!io.ok()) return from_io(io, ACE_ERR_OPEN, path, "cannot open the table");
  std::unique_ptr<Table> t(new Table(std::move(f), options));

  uint8_t first[dbf::kFileHeaderSize];
  size_t got = 0;
  io = t->file_->read_at(0, first, sizeof first, &got);
  if (!io.ok() && io.code != io::IoStatus::ShortRead) return from_io(io, ACE_ERR_READ, path, "cannot read the table header");
  size_t hlen = dbf::header_length_of(first, got);
  std::string head(reinterpret_cast<const char*>(first), got);
  if (hlen > got) {
    head.resize(hlen);
    size_t n = 0;
    io = t->file_->read_at(0, &head[0], hlen, &n);
    if (!io.ok() && io.code != io::IoStatus::ShortRead) return from_io(io, ACE_ERR_READ, path, "cannot read the table header");
    head.resize(n);
  }
  // The size after the count: appenders write a record before counting it, so a
  // file measured now holds at least the records the count we read promises.
  uint64_t size = 0;
  io = t->file_->size(&size);
  if (!io.ok()) return from_io(io, ACE_ERR_READ, path, "cannot size the table");
  Status s = dbf::parse_header(reinterpret_cast<const uint8_t*>(head.data()), head.size(), size, path,
                               &t->header_);
  if (!s.ok()) return s;
  t->header_view_ = t->file_->view(dbf::kFileHeaderSize);

  const std::string base = strip_extension(path);
  // A database container keeps its memos and indexes under names of its own.
  const bool container = lower(path.substr(base.size())) == ".dbc";
  dbf::MemoKind kind = t->header_.memo_kind();
  if (kind != dbf::MemoKind::None) {
    std::string mpath = companion_path(base, kind != dbf::MemoKind::Fpt ? ".dbt" : container ? ".dct" : ".fpt");
    s = memo::MemoFile::open(mpath, kind, options.read_only ? io::Access::ReadOnly : io::Access::ReadWrite,
                             options.exclusive ? io::Share::Exclusive : io::Share::DenyNone,
                             !options.exclusive, &t->memo_);
    if (!s.ok()) return s;
  }

  // Byte 28 bit 0 means a structural compound index only in the FoxPro family;
  // in dBASE IV tables it marks a production MDX, which this engine does not keep.
  const uint8_t v = t->header_.version;
  const bool fox_family = v != dbf::kDbase4Memo && v != dbf::kDbase4Sql && v != dbf::kDbase4SqlMemo;
  // Called for tables without the mark too: another user may start their
  // structural bag while this one has them open.
  if (fox_family && structural_bag_factory()) {
    std::unique_ptr<IndexMaintainer> m;
    s = structural_bag_factory()(*t, companion_path(base, container ? ".dcx" : ".cdx"), &m);
    if (!s.ok()) return s;
    t->maintainer_ = std::move(m);
  }
  *out = std::move(t);
  return Status::success();
}

Status Table::create(const std::string& path, const std::vector<dbf::FieldDesc>& fields,
                     const CreateOptions& options, const OpenOptions& open_options,
                     std::unique_ptr<Table>* out) {
  Status s = check_fields(path, fields);
  if (!s.ok()) return s;
  const bool dbase3 = options.memo_kind == dbf::MemoKind::Dbt3;
  if (!dbase3 && options.memo_kind != dbf::MemoKind::Fpt)
    return Status::error(ACE_ERR_UNSUPPORTED, path, "new tables take FPT or dBASE III memo files only");
  if (dbase3 && (options.visual_foxpro || options.structural_cdx))
    return Status::error(ACE_ERR_ARGUMENT, path, "dBASE III tables have no Visual FoxPro form or structural bag");
  dbf::TableHeader h;
  h.fields = fields;
  bool memo = false;
  for (auto& f : h.fields) {
    f.name = upper(f.name);
    f.flags = 0;
    switch (f.type) {
      case dbf::FieldType::Memo: case dbf::FieldType::General:
        if (dbase3 && f.type == dbf::FieldType::General)
          return Status::error(ACE_ERR_UNSUPPORTED, path, "general fields need a FoxPro table");
        f.length = options.visual_foxpro ? 4 : 10;
        f.decimals = 0;
        memo = true;
        break;
      case dbf::FieldType::Date: f.length = 8; f.decimals = 0; break;
      case dbf::FieldType::Logical: f.length = 1; f.decimals = 0; break;
      case dbf::FieldType::Character: case dbf::FieldType::Numeric: case dbf::FieldType::Float: break;
      case dbf::FieldType::Integer:
        if (!options.visual_foxpro) return Status::error(ACE_ERR_UNSUPPORTED, path, "integer fields need a Visual FoxPro table");
        f.length = 4; f.decimals = 0; f.flags = dbf::kFieldBinary; break;
      case dbf::FieldType::Double: case dbf::FieldType::Currency: case dbf::FieldType::DateTime:
        if (!options.visual_foxpro) return Status::error(ACE_ERR_UNSUPPORTED, path, "this field type needs a Visual FoxPro table");
        f.length = 8; f.flags = dbf::kFieldBinary;
        if (f.type != dbf::FieldType::Double) f.decimals = 0;
        break;
      default:
        return Status::error(ACE_ERR_UNSUPPORTED, path, "field type not supported for new tables");
    }
  }
  h.version = options.visual_foxpro ? dbf::kVisualFoxPro
              : !memo                 ? dbf::kDbase3
              : dbase3                ? dbf::kDbase3Memo
                                      : dbf::kFoxPro2Memo;
  h.flags = static_cast<uint8_t>((options.structural_cdx ? dbf::kHasStructuralCdx : 0) |
                                 (memo && options.visual_foxpro ? dbf::kHasMemo : 0));
  h.codepage = options.codepage;
  dbf::lay_out(&h);
  std::time_t now = std::time(nullptr);
  std::tm* tm = std::localtime(&now);
  h.year = static_cast<uint8_t>(tm->tm_year);
  h.month = static_cast<uint8_t>(tm->tm_mon + 1);
  h.day = static_cast<uint8_t>(tm->tm_mday);

  {
    std::unique_ptr<io::File> f;
    io::IoStatus io = io::open_file(path, io::Access::ReadWrite, io::Share::Exclusive,
                                    io::Disposition::CreateAlways, &f);
    if (!io.ok()) return from_io(io, ACE_ERR_CREATE, path, "cannot create the table");
    std::string bytes = dbf::encode_header(h);
    bytes.push_back(static_cast<char>(dbf::kEndOfFile));
    io = f->write_at(0, bytes.data(), bytes.size());
    if (!io.ok()) return from_io(io, ACE_ERR_CREATE, path, "cannot write the table header");
    if (memo) {
      std::unique_ptr<memo::MemoFile> m;
      s = dbase3 ? memo::MemoFile::create_dbt3(companion_path(strip_extension(path), ".dbt"), &m)
                 : memo::MemoFile::create_fpt(companion_path(strip_extension(path), ".fpt"),
                                              options.memo_block_size ? options.memo_block_size : 64, &m);
      if (!s.ok()) return s;
    }
  }
  return open(path, open_options, out);
}

io::IoStatus Table::read_header_bytes(uint64_t offset, void* buf, size_t n) const {
  if (!header_view_) return file_->read_at(offset, buf, n);
  std::memcpy(buf, header_view_ + offset, n);
  return io::IoStatus::success();
}

io::IoStatus Table::write_header_bytes(uint64_t offset, const void* buf, size_t n) {
  if (!header_view_) return file_->write_at(offset, buf, n);
  std::memcpy(header_view_ + offset, buf, n);
  return io::IoStatus::success();
}

Status Table::record_count(uint32_t* out) {
  if (shared()) {
    uint8_t b[4];
    io::IoStatus io = read_header_bytes(4, b, 4);
    if (!io.ok()) return from_io(io, ACE_ERR_READ, path(), "cannot read the record count");
    uint32_t n = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
    if (n != header_.record_count) {
      uint64_t size = 0;
      io = file_->size(&size);
      if (!io.ok()) return from_io(io, ACE_ERR_READ, path(), "cannot size the table");
      if (uint64_t(header_.header_length) + uint64_t(n) * header_.record_length > size)
        return Status::error(ACE_ERR_CORRUPT, path(), "record count exceeds the records in the file");
      header_.record_count = n;
    }
  }
  *out = header_.record_count;
  return Status::success();
}

Status Table::read_record(uint32_t recno, std::string* out) const {
  if (recno == 0 || recno > header_.record_count)
    return Status::error(ACE_ERR_ARGUMENT, path(), "record number out of range");
  out->resize(header_.record_length);
  io::IoStatus io = file_->read_at(uint64_t(header_.header_length) + uint64_t(recno - 1) * header_.record_length,
                                   &(*out)[0], header_.record_length);
  return from_io(io, ACE_ERR_READ, path(), "cannot read a record");
}

Status Table::check_writable(uint32_t recno) const {
  if (read_only()) return Status::error(ACE_ERR_READONLY, path(), "table is open read-only");
  if (shared() && !file_locked_ && !record_locks_.count(recno))
    return Status::error(ACE_ERR_UNLOCKED, path(), "record is not locked");
  if (maintainer_) return maintainer_->check_writable();
  return Status::success();
}

Status Table::write_record(uint32_t recno, const std::string& bytes) {
  if (bytes.size() != header_.record_length)
    return Status::error(ACE_ERR_ARGUMENT, path(), "record of the wrong length");
  // Records never go away while a table is shared, so one already counted needs
  // no fresh look at the header.
  uint32_t n = header_.record_count;
  Status s;
  if (recno > n && !(s = record_count(&n)).ok()) return s;
  if (recno == 0 || recno > n) return Status::error(ACE_ERR_ARGUMENT, path(), "record number out of range");
  s = check_writable(recno);
  if (!s.ok()) return s;
  std::string before;
  if (maintainer_) {
    if (written_recno_ == recno && holds_record_lock(recno)) before.swap(written_);
    else if (!(s = read_record(recno, &before)).ok()) return s;
  }
  written_recno_ = 0;
  io::IoStatus io = file_->write_at(uint64_t(header_.header_length) + uint64_t(recno - 1) * header_.record_length,
                                    bytes.data(), bytes.size());
  if (!io.ok()) return from_io(io, ACE_ERR_WRITE, path(), "cannot write a record");
  if (maintainer_) {
    s = maintainer_->on_update(recno, RecordView(*this, recno, before), RecordView(*this, recno, bytes));
    // Indexes that could not follow the change must not disagree with the record:
    // the record goes back to what they still describe.
    if (!s.ok()) {
      file_->write_at(uint64_t(header_.header_length) + uint64_t(recno - 1) * header_.record_length,
                      before.data(), before.size());
      return s;
    }
  }
  if (holds_record_lock(recno)) {
    written_recno_ = recno;
    written_ = bytes;
  }
  return Status::success();
}

Status Table::hold_header() {
  if (!holds_header_lock()) {
    io::IoStatus io = file_->lock(kHeaderLockOffset, 1);
    if (!io.ok()) return from_io(io, ACE_ERR_APPEND_LOCK, path(), "table header is locked by another user");
  }
  ++header_holds_;
  return Status::success();
}

void Table::release_header() {
  if (header_holds_ == 0) return;
  if (--header_holds_ == 0 && shared() && !file_locked_) file_->unlock(kHeaderLockOffset, 1);
}

Status Table::set_deleted(uint32_t recno, bool deleted) {
  std::string rec;
  Status s = read_record(recno, &rec);
  if (!s.ok()) return s;
  rec[0] = static_cast<char>(deleted ? dbf::kDeletedFlag : dbf::kLiveFlag);
  return write_record(recno, rec);
}

void Table::stamp_today() {
  // The local date changes rarely and looking it up costs a system call or two,
  // so it is looked up again only when a new minute has begun.
  static std::time_t looked_up = -1;
  static uint8_t ymd[3];
  std::time_t now = std::time(nullptr);
  if (looked_up < 0 || now / 60 != looked_up / 60) {
    std::tm* tm = std::localtime(&now);
    if (!tm) return;
    ymd[0] = static_cast<uint8_t>(tm->tm_year);
    ymd[1] = static_cast<uint8_t>(tm->tm_mon + 1);
    ymd[2] = static_cast<uint8_t>(tm->tm_mday);
    looked_up = now;
  }
  header_.year = ymd[0];
  header_.month = ymd[1];
  header_.day = ymd[2];
}

Status Table::append(const std::string& bytes, uint32_t* recno, NewRecord lock) {
  if (read_only()) return Status::error(ACE_ERR_READONLY, path(), "table is open read-only");
  // The record and the end-of-file mark go out in one write, from a buffer kept
  // between appends.
  std::string& rec = append_buf_;
  if (bytes.empty()) rec = dbf::blank_record(header_);
  else rec.assign(bytes);
  if (rec.size() != header_.record_length)
    return Status::error(ACE_ERR_ARGUMENT, path(), "record of the wrong length");
  if (maintainer_) {
    Status s = maintainer_->check_writable();
    if (!s.ok()) return s;
  }
  const bool locking = shared() && !file_locked_;
  const bool header_locking = !holds_header_lock();
  if (header_locking) {
    io::IoStatus io = file_->lock(kHeaderLockOffset, 1);
    if (!io.ok()) return from_io(io, ACE_ERR_APPEND_LOCK, path(), "table header is locked by another user");
  }
  auto release = [&] {
    if (header_locking) file_->unlock(kHeaderLockOffset, 1);
  };

  // Under the header lock the count on disk is the truth: others may have added.
  uint32_t n = 0;
  Status s = record_count(&n);
  if (!s.ok()) return release(), s;
  if (n >= kMaxRecords) return release(), Status::error(ACE_ERR_WRITE, path(), "table is full");
  const uint32_t next = n + 1;
  const bool keep_lock = lock == NewRecord::Locked;
  bool took_lock = false;
  if (locking && keep_lock && !record_locks_.count(next)) {
    io::IoStatus io = file_->lock(record_lock_offset(next), 1);
    if (!io.ok()) return release(), from_io(io, ACE_ERR_APPEND_LOCK, path(), "new record is locked by another user");
    record_locks_.insert(next);
    took_lock = true;
  }
  auto drop_new_lock = [&] {
    if (took_lock && record_locks_.erase(next)) file_->unlock(record_lock_offset(next), 1);
  };

  // 0. An appender killed between writing its record and counting it may have
  //    indexed it: its bytes are still in the slot, so its keys can be found.
  if (maintainer_ && !(s = maintainer_->before_append(next)).ok()) return drop_new_lock(), release(), s;
  auto fail = [&](Status st) {
    if (maintainer_) maintainer_->after_append(false);
    drop_new_lock();
    release();
    return st;
  };
  // 1. The record and the end-of-file mark after it, beyond what the count covers.
  rec.push_back(static_cast<char>(dbf::kEndOfFile));
  io::IoStatus io = file_->write_at(uint64_t(header_.header_length) + uint64_t(n) * header_.record_length,
                                    rec.data(), rec.size());
  rec.pop_back();
  if (!io.ok()) return fail(from_io(io, ACE_ERR_WRITE, path(), "cannot write the new record"));
  // 2. The indexes, still under the header lock.
  if (maintainer_) {
    s = maintainer_->on_append(next, RecordView(*this, next, rec));
    if (!s.ok()) return fail(s);
  }
  // 3. The count, which makes the record part of the table.
  header_.record_count = next;
  stamp_today();
  uint8_t cd[7];
  dbf::encode_count_and_date(header_, cd);
  io = write_header_bytes(1, cd, sizeof cd);
  if (!io.ok()) {
    header_.record_count = n;
    return fail(from_io(io, ACE_ERR_WRITE, path(), "cannot update the record count"));
  }
  if (maintainer_) maintainer_->after_append(true);
  release();
  if (!shared() && keep_lock) record_locks_.insert(next);
  if (keep_lock) {
    written_recno_ = next;
    written_ = rec;
  }
  *recno = next;
  return Status::success();
}

Status Table::lock_range(uint64_t offset, uint64_t length) {
  io::IoStatus io = file_->lock(offset, length);
  return from_io(io, ACE_ERR_RECORD_LOCK, path(), "record is locked by another user");
}

Status Table::lock_record(uint32_t recno) {
  if (recno == 0 || recno > kMaxRecords) return Status::error(ACE_ERR_ARGUMENT, path(), "record number out of range");
  if (record_locks_.count(recno) || file_locked_) return Status::success();
  if (shared()) {
    Status s = lock_range(record_lock_offset(recno), 1);
    if (!s.ok()) return s;
  }
  record_locks_.insert(recno);
  return Status::success();
}

Status Table::unlock_record(uint32_t recno) {
  if (!record_locks_.erase(recno)) return Status::success();
  forget_written(recno);
  if (shared()) file_->unlock(record_lock_offset(recno), 1);
  return Status::success();
}

Status Table::unlock_all() {
  forget_written(0);
  if (shared())
    for (uint32_t r : record_locks_) file_->unlock(record_lock_offset(r), 1);
  record_locks_.clear();
  return unlock_file();
}

Status Table::lock_file() {
  if (file_locked_) return Status::success();
  // Windows locks do not nest: our own record locks inside the range would make
  // the file lock fail, so they go first (a file lock covers them anyway).
  if (shared())
    for (uint32_t r : record_locks_) file_->unlock(record_lock_offset(r), 1);
  record_locks_.clear();
  if (shared()) {
    io::IoStatus io = file_->lock(kFileLockOffset, kFileLockLength);
    if (!io.ok()) return from_io(io, ACE_ERR_FILE_LOCK, path(), "table is locked by another user");
  }
  file_locked_ = true;
  return Status::success();
}

Status Table::unlock_file() {
  if (!file_locked_) return Status::success();
  forget_written(0);
  if (shared()) file_->unlock(kFileLockOffset, kFileLockLength);
  file_locked_ = false;
  return Status::success();
}

bool Table::holds_record_lock(uint32_t recno) const {
  return file_locked_ || record_locks_.count(recno) != 0;
}

Status Table::read_memo(uint32_t block, std::string* out) const {
  if (!memo_) {
    out->clear();
    return block == 0 ? Status::success() : Status::error(ACE_ERR_CORRUPT, path(), "table has no memo file");
  }
  return memo_->read(block, out);
}

Status Table::write_memo(std::string_view text, uint32_t old_block, uint32_t* new_block) {
  if (read_only()) return Status::error(ACE_ERR_READONLY, path(), "table is open read-only");
  if (!memo_) return Status::error(ACE_ERR_DATATYPE, path(), "table has no memo file");
  return memo_->write(text, old_block, new_block);
}

Status Table::flush() {
  io::IoStatus io = file_->flush();
  if (!io.ok()) return from_io(io, ACE_ERR_WRITE, path(), "cannot flush the table");
  return memo_ ? memo_->flush() : Status::success();
}

}  // namespace ace::table
