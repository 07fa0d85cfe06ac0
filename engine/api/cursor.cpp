#include "api/cursor.h"

#include "dbf/record.h"
#include "engine_settings.h"

namespace ace::api {

Cursor::Cursor(std::unique_ptr<table::Table> table) : table_(std::move(table)) {
  record_ = dbf::blank_record(table_->header());
  recno_ = table_->known_record_count() + 1;
}

Cursor::~Cursor() { commit(); }

Status Cursor::put(const std::string& bytes) {
  if (eof_) return Status::error(ACE_ERR_NO_RECORD, table_->path(), "no current record");
  if (bytes.size() != record_.size())
    return Status::error(ACE_ERR_ARGUMENT, table_->path(), "record of the wrong length");
  Status s = table_->check_writable(recno_);
  if (!s.ok()) return s;
  record_ = bytes;
  dirty_ = true;
  return Status::success();
}

Status Cursor::commit() {
  if (!dirty_) return Status::success();
  dirty_ = false;
  Status s = table_->write_record(recno_, record_);
  if (!s.ok()) table_->read_record(recno_, &record_);
  return s;
}

Status Cursor::to_phantom() {
  uint32_t n = 0;
  Status s = table_->record_count(&n);
  if (!s.ok()) return s;
  recno_ = n + 1;
  eof_ = true;
  record_ = dbf::blank_record(table_->header());
  return Status::success();
}

Status Cursor::settle(uint32_t recno) {
  Status s = table_->read_record(recno, &record_);
  if (!s.ok()) return s;
  recno_ = recno;
  eof_ = false;
  return Status::success();
}

Status Cursor::reload() {
  if (Status c = commit(); !c.ok()) return c;
  if (eof_) return to_phantom();
  uint32_t n = 0;
  Status s = table_->record_count(&n);
  if (!s.ok()) return s;
  return table_->read_record(recno_, &record_);
}

Status Cursor::visible(uint32_t recno, bool* yes) {
  if (settings().show_deleted) {
    *yes = true;
    return Status::success();
  }
  std::string rec;
  Status s = table_->read_record(recno, &rec);
  if (!s.ok()) return s;
  *yes = !dbf::is_deleted(rec);
  return Status::success();
}

// The record after (or before) `from` in the controlling order, 0 at the end.
Status Cursor::step(uint32_t from, bool forward, uint32_t* out) {
  if (navigator_) return forward ? navigator_->next(from, out) : navigator_->previous(from, out);
  uint32_t n = table_->known_record_count();
  if (forward) *out = from < n ? from + 1 : 0;
  else *out = (from > 1 && from <= n + 1) ? from - 1 : 0;
  return Status::success();
}

Status Cursor::first_visible(bool from_top, uint32_t* out) {
  uint32_t r = 0;
  Status s = navigator_ ? (from_top ? navigator_->first(&r) : navigator_->last(&r))
                        : Status::success();
  if (!s.ok()) return s;
  if (!navigator_) r = from_top ? (table_->known_record_count() ? 1 : 0) : table_->known_record_count();
  while (r != 0) {
    bool yes = false;
    s = visible(r, &yes);
    if (!s.ok()) return s;
    if (yes) break;
    s = step(r, from_top, &r);
    if (!s.ok()) return s;
  }
  *out = r;
  return Status::success();
}

Status Cursor::go_to(uint32_t recno) {
  if (Status c = commit(); !c.ok()) return c;
  uint32_t n = 0;
  Status s = table_->record_count(&n);
  if (!s.ok()) return s;
  bof_ = false;
  if (recno == 0 || recno > n) return to_phantom();
  return settle(recno);
}

Status Cursor::go_top() {
  if (Status c = commit(); !c.ok()) return c;
  uint32_t n = 0, r = 0;
  Status s = table_->record_count(&n);
  if (!s.ok()) return s;
  s = first_visible(true, &r);
  if (!s.ok()) return s;
  bof_ = r == 0;
  if (r == 0) return to_phantom();
  return settle(r);
}

Status Cursor::go_bottom() {
  if (Status c = commit(); !c.ok()) return c;
  uint32_t n = 0, r = 0;
  Status s = table_->record_count(&n);
  if (!s.ok()) return s;
  s = first_visible(false, &r);
  if (!s.ok()) return s;
  bof_ = r == 0;
  if (r == 0) return to_phantom();
  return settle(r);
}

Status Cursor::skip(int32_t count) {
  if (Status c = commit(); !c.ok()) return c;
  uint32_t n = 0;
  Status s = table_->record_count(&n);
  if (!s.ok()) return s;
  if (count == 0) return reload();
  const bool forward = count > 0;
  int64_t left = forward ? count : -int64_t(count);
  bof_ = false;
  // Back from the end of file starts at the last record.
  if (!forward && eof_) {
    uint32_t r = 0;
    s = first_visible(false, &r);
    if (!s.ok()) return s;
    if (r == 0) {
      bof_ = true;
      return to_phantom();
    }
    s = settle(r);
    if (!s.ok()) return s;
    --left;
  }
  if (forward && eof_) return to_phantom();
  uint32_t at = recno_;
  while (left > 0) {
    uint32_t r = 0;
    s = step(at, forward, &r);
    if (!s.ok()) return s;
    bool yes = false;
    while (r != 0) {
      s = visible(r, &yes);
      if (!s.ok()) return s;
      if (yes) break;
      s = step(r, forward, &r);
      if (!s.ok()) return s;
    }
    if (r == 0) {
      if (forward) return to_phantom();
      // Before the first record: stay on it, with the beginning-of-file state.
      bof_ = true;
      break;
    }
    at = r;
    --left;
  }
  return settle(at);
}

Status Cursor::write(const std::string& bytes) {
  if (eof_) return Status::error(ACE_ERR_NO_RECORD, table_->path(), "no current record");
  Status s = table_->write_record(recno_, bytes);
  if (s.ok()) {
    record_ = bytes;
    dirty_ = false;
  }
  return s;
}

Status Cursor::append() {
  // The last record's pending changes and the new record take the header lock
  // once between them. Without it now, each tries for it on its own.
  const bool held_header = table_->hold_header().ok();
  Status c = commit();
  if (!c.ok()) {
    if (held_header) table_->release_header();
    return c;
  }
  uint32_t r = 0;
  const std::set<uint32_t> held = table_->record_locks();
  for (uint32_t r0 : held) table_->unlock_record(r0);
  std::string blank = dbf::blank_record(table_->header());
  Status s = table_->append(blank, &r);
  if (held_header) table_->release_header();
  if (!s.ok()) return s;
  // The new record is locked and holds what was just written.
  bof_ = eof_ = false;
  recno_ = r;
  record_ = std::move(blank);
  return Status::success();
}

}  // namespace ace::api
