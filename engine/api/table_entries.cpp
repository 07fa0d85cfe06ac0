// The C interface entries over tables: handles to cursors, status codes out.
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "ace32.h"
#include "api/cursor_registry.h"
#include "api/field_list.h"
#include "dbf/record.h"
#include "order/order_layer.h"

using ace::Status;
using ace::api::Cursor;
using ace::api::remember;

namespace {

Status bad_handle() { return Status::error(ACE_ERR_HANDLE, "", "handle names no open table"); }
Status bad_argument(const char* what) { return Status::error(ACE_ERR_ARGUMENT, "", what); }

// Field `n` (1-based) among the fields a user sees.
const ace::dbf::FieldDesc* field_of(const Cursor& c, uint16_t n) {
  if (n == 0) return nullptr;
  uint16_t seen = 0;
  for (const auto& f : c.table().header().fields) {
    if (f.is_system()) continue;
    if (++seen == n) return &f;
  }
  return nullptr;
}

// Copies text to a caller's buffer; *length: size in, text length out.
uint32_t copy_out(const std::string& text, char* buffer, uint32_t* length, bool cut) {
  if (!length) return remember(bad_argument("length pointer is null"));
  uint32_t room = *length;
  uint32_t n = static_cast<uint32_t>(text.size());
  if (n > room || (n == room && !cut)) {
    if (!cut) {
      *length = n + 1;
      return remember(Status::error(ACE_ERR_BUFFER_SMALL, "", "buffer too small"));
    }
    n = room ? room - 1 : 0;
  }
  if (buffer && room) {
    std::memcpy(buffer, text.data(), n);
    if (n < room) buffer[n] = '\0';
  }
  *length = n;
  return ACE_OK;
}

// The common prologue of the field entries: cursor and field, or an error. The
// cursor's own record may stay in memory; another cursor's is written first.
template <typename Fn>
uint32_t with_field(ACE_HANDLE h, uint16_t field, Fn fn) {
  Cursor* c = ace::api::find_cursor(h);
  if (!c) return remember(bad_handle());
  if (Status s = ace::api::commit_pending(c); !s.ok()) return remember(s);
  const ace::dbf::FieldDesc* f = field_of(*c, field);
  if (!f) return remember(Status::error(ACE_ERR_ARGUMENT, c->table().path(), "no field of that number"));
  return fn(*c, *f);
}

// Every other entry on a handle starts with no record held in memory anywhere.
template <typename Fn>
uint32_t with_cursor(ACE_HANDLE h, Fn fn) {
  Cursor* c = ace::api::find_cursor(h);
  if (!c) return remember(bad_handle());
  if (Status s = ace::api::commit_pending(); !s.ok()) return remember(s);
  return fn(*c);
}

// Puts a changed copy of the current record in the cursor's buffer; `change`
// answers an error number.
template <typename Change>
uint32_t update(Cursor& c, const ace::dbf::FieldDesc& f, Change change) {
  if (c.eof()) return remember(Status::error(ACE_ERR_NO_RECORD, c.table().path(), "no current record"));
  std::string rec = c.record();
  uint32_t code = change(&rec);
  if (code != ACE_OK)
    return remember(Status::error(code, c.table().path(),
                                  (code == ACE_ERR_DATAWIDTH ? "value too wide for field " : "value unfit for field ") + f.name));
  Status s = c.put(rec);
  if (s.ok()) ace::api::note_pending(&c);
  return remember(s);
}

std::string with_dbf_extension(const std::string& path) {
  return ace::table::strip_extension(path) == path ? path + ".dbf" : path;
}

uint32_t open_cursor(std::unique_ptr<ace::table::Table> t, ACE_HANDLE* out) {
  auto c = std::make_unique<Cursor>(std::move(t));
  Status s = c->go_top();
  if (!s.ok()) return remember(s);
  *out = ace::api::register_cursor(std::move(c));
  return ACE_OK;
}

}  // namespace

extern "C" {

ACE_RESULT ACE_ENTRY ace_open_table(const char* path, const char* alias, uint16_t table_type,
                                    uint32_t options, ACE_HANDLE* table) {
  (void)alias;
  ace::order::register_order_layer();  // the structural bag opens with the table
  if (!path || !*path || !table) return remember(bad_argument("path and handle are required"));
  if (Status s = ace::api::commit_pending(); !s.ok()) return remember(s);
  if (table_type == ACE_TABLE_ADT)
    return remember(Status::error(ACE_ERR_UNSUPPORTED, path, "this table type is not supported"));
  if (table_type != ACE_TABLE_NTX && table_type != ACE_TABLE_CDX) return remember(bad_argument("unknown table type"));
  ace::table::OpenOptions o;
  o.exclusive = (options & ACE_OPEN_EXCLUSIVE) != 0;
  o.read_only = (options & ACE_OPEN_READONLY) != 0;
  std::unique_ptr<ace::table::Table> t;
  Status s = ace::table::Table::open(with_dbf_extension(path), o, &t);
  if (!s.ok()) return remember(s);
  return open_cursor(std::move(t), table);
}

ACE_RESULT ACE_ENTRY ace_close_table(ACE_HANDLE table) {
  if (Status s = ace::api::commit_pending(ace::api::find_cursor(table)); !s.ok()) return remember(s);
  Status written;
  if (!ace::api::close_cursor(table, &written)) return remember(bad_handle());
  return remember(written);
}

ACE_RESULT ACE_ENTRY ace_create_table(const char* path, const char* alias, const char* fields,
                                      uint16_t table_type, uint32_t options, ACE_HANDLE* table) {
  (void)alias;
  ace::order::register_order_layer();
  if (!path || !*path || !fields || !table) return remember(bad_argument("path, fields and handle are required"));
  if (Status s = ace::api::commit_pending(); !s.ok()) return remember(s);
  if (table_type == ACE_TABLE_ADT)
    return remember(Status::error(ACE_ERR_UNSUPPORTED, path, "this table type is not supported"));
  if (table_type != ACE_TABLE_NTX && table_type != ACE_TABLE_CDX) return remember(bad_argument("unknown table type"));
  std::vector<ace::dbf::FieldDesc> list;
  std::string why;
  if (!ace::api::parse_field_list(fields, &list, &why)) return remember(Status::error(ACE_ERR_ARGUMENT, path, why));
  ace::table::CreateOptions co;
  co.visual_foxpro = (options & ACE_CREATE_VFP) != 0;
  co.structural_cdx = (options & ACE_CREATE_STRUCTURAL_CDX) != 0;
  if (table_type == ACE_TABLE_NTX && (co.visual_foxpro || co.structural_cdx))
    return remember(bad_argument("dBASE III tables have no Visual FoxPro form or structural bag"));
  if (table_type == ACE_TABLE_NTX) co.memo_kind = ace::dbf::MemoKind::Dbt3;
  ace::table::OpenOptions o;
  o.exclusive = (options & ACE_OPEN_EXCLUSIVE) != 0;
  o.read_only = (options & ACE_OPEN_READONLY) != 0;
  std::unique_ptr<ace::table::Table> t;
  Status s = ace::table::Table::create(with_dbf_extension(path), list, co, o, &t);
  if (!s.ok()) return remember(s);
  return open_cursor(std::move(t), table);
}

ACE_RESULT ACE_ENTRY ace_field_count(ACE_HANDLE table, uint16_t* count) {
  if (!count) return remember(bad_argument("null output"));
  return with_cursor(table, [&](Cursor& c) {
    uint16_t n = 0;
    for (const auto& f : c.table().header().fields) n = static_cast<uint16_t>(n + (f.is_system() ? 0 : 1));
    *count = n;
    return ACE_OK;
  });
}

ACE_RESULT ACE_ENTRY ace_field_info(ACE_HANDLE table, uint16_t field, char* name, uint32_t name_size,
                                    char* type, uint16_t* length, uint16_t* decimals) {
  return with_field(table, field, [&](Cursor&, const ace::dbf::FieldDesc& f) {
    if (name && name_size) {
      uint32_t len = name_size;
      copy_out(f.name, name, &len, true);
    }
    if (type) *type = static_cast<char>(f.type);
    if (length) *length = f.length;
    if (decimals) *decimals = f.decimals;
    return ACE_OK;
  });
}

ACE_RESULT ACE_ENTRY ace_field_number(ACE_HANDLE table, const char* name, uint16_t* field) {
  if (!name || !field) return remember(bad_argument("null argument"));
  return with_cursor(table, [&](Cursor& c) {
    uint16_t n = 0;
    for (const auto& f : c.table().header().fields) {
      if (f.is_system()) continue;
      ++n;
      bool same = f.name.size() == std::strlen(name);
      for (size_t i = 0; same && i < f.name.size(); ++i)
        same = std::toupper(static_cast<unsigned char>(f.name[i])) == std::toupper(static_cast<unsigned char>(name[i]));
      if (same) {
        *field = n;
        return ACE_OK;
      }
    }
    return remember(Status::error(ACE_ERR_ARGUMENT, c.table().path(), std::string("no field named ") + name));
  });
}

ACE_RESULT ACE_ENTRY ace_go_to(ACE_HANDLE table, uint32_t recno) {
  return with_cursor(table, [&](Cursor& c) { return remember(c.go_to(recno)); });
}
ACE_RESULT ACE_ENTRY ace_go_top(ACE_HANDLE table) {
  return with_cursor(table, [&](Cursor& c) { return remember(c.go_top()); });
}
ACE_RESULT ACE_ENTRY ace_go_bottom(ACE_HANDLE table) {
  return with_cursor(table, [&](Cursor& c) { return remember(c.go_bottom()); });
}
ACE_RESULT ACE_ENTRY ace_skip(ACE_HANDLE table, int32_t count) {
  return with_cursor(table, [&](Cursor& c) { return remember(c.skip(count)); });
}

ACE_RESULT ACE_ENTRY ace_at_eof(ACE_HANDLE table, uint16_t* eof) {
  if (!eof) return remember(bad_argument("null output"));
  return with_cursor(table, [&](Cursor& c) { *eof = c.eof(); return ACE_OK; });
}
ACE_RESULT ACE_ENTRY ace_at_bof(ACE_HANDLE table, uint16_t* bof) {
  if (!bof) return remember(bad_argument("null output"));
  return with_cursor(table, [&](Cursor& c) { *bof = c.bof(); return ACE_OK; });
}
ACE_RESULT ACE_ENTRY ace_recno(ACE_HANDLE table, uint32_t* recno) {
  if (!recno) return remember(bad_argument("null output"));
  return with_cursor(table, [&](Cursor& c) { *recno = c.recno(); return ACE_OK; });
}
ACE_RESULT ACE_ENTRY ace_record_count(ACE_HANDLE table, uint32_t* count) {
  if (!count) return remember(bad_argument("null output"));
  return with_cursor(table, [&](Cursor& c) { return remember(c.table().record_count(count)); });
}

ACE_RESULT ACE_ENTRY ace_get_string(ACE_HANDLE table, uint16_t field, char* buffer, uint32_t* length) {
  return with_field(table, field, [&](Cursor& c, const ace::dbf::FieldDesc& f) {
    const auto& h = c.table().header();
    std::string text;
    if (f.is_memo()) {
      Status s = c.table().read_memo(ace::dbf::memo_block(h, c.record(), f), &text);
      if (!s.ok()) return remember(s);
    } else if (f.type == ace::dbf::FieldType::NullFlags) {
      return remember(Status::error(ACE_ERR_DATATYPE, c.table().path(), "system field"));
    } else {
      text = ace::dbf::get_text(h, c.record(), f);
    }
    return copy_out(text, buffer, length, false);
  });
}

ACE_RESULT ACE_ENTRY ace_get_double(ACE_HANDLE table, uint16_t field, double* value) {
  if (!value) return remember(bad_argument("null output"));
  return with_field(table, field, [&](Cursor& c, const ace::dbf::FieldDesc& f) {
    bool ok = false;
    double v = ace::dbf::get_number(c.record(), f, &ok);
    if (!ok) return remember(Status::error(ACE_ERR_DATATYPE, c.table().path(), "field " + f.name + " holds no number"));
    *value = v;
    return ACE_OK;
  });
}

ACE_RESULT ACE_ENTRY ace_get_julian(ACE_HANDLE table, uint16_t field, int32_t* julian) {
  if (!julian) return remember(bad_argument("null output"));
  return with_field(table, field, [&](Cursor& c, const ace::dbf::FieldDesc& f) {
    if (f.type != ace::dbf::FieldType::Date && f.type != ace::dbf::FieldType::DateTime)
      return remember(Status::error(ACE_ERR_DATATYPE, c.table().path(), "field " + f.name + " holds no date"));
    *julian = ace::dbf::get_julian(c.record(), f);
    return ACE_OK;
  });
}

ACE_RESULT ACE_ENTRY ace_get_logical(ACE_HANDLE table, uint16_t field, uint16_t* value) {
  if (!value) return remember(bad_argument("null output"));
  return with_field(table, field, [&](Cursor& c, const ace::dbf::FieldDesc& f) {
    if (f.type != ace::dbf::FieldType::Logical)
      return remember(Status::error(ACE_ERR_DATATYPE, c.table().path(), "field " + f.name + " is not logical"));
    *value = ace::dbf::get_logical(c.record(), f) == 1;
    return ACE_OK;
  });
}

ACE_RESULT ACE_ENTRY ace_is_empty(ACE_HANDLE table, uint16_t field, uint16_t* empty) {
  if (!empty) return remember(bad_argument("null output"));
  return with_field(table, field, [&](Cursor& c, const ace::dbf::FieldDesc& f) {
    *empty = ace::dbf::is_empty(c.table().header(), c.record(), f);
    return ACE_OK;
  });
}

ACE_RESULT ACE_ENTRY ace_set_string(ACE_HANDLE table, uint16_t field, const char* text, uint32_t length) {
  if (!text && length) return remember(bad_argument("null text"));
  std::string_view value(text ? text : "", length);
  return with_field(table, field, [&](Cursor& c, const ace::dbf::FieldDesc& f) -> uint32_t {
    const auto& h = c.table().header();
    if (!f.is_memo())
      return update(c, f, [&](std::string* rec) { return ace::dbf::put_text(h, rec, f, value); });
    // A memo: refuse before writing the memo file, so a refused write leaves no trace.
    if (c.eof()) return remember(Status::error(ACE_ERR_NO_RECORD, c.table().path(), "no current record"));
    if (c.table().read_only()) return remember(Status::error(ACE_ERR_READONLY, c.table().path(), "table is open read-only"));
    if (c.table().shared() && !c.table().holds_record_lock(c.recno()))
      return remember(Status::error(ACE_ERR_UNLOCKED, c.table().path(), "record is not locked"));
    uint32_t block = 0;
    Status s = c.table().write_memo(value, ace::dbf::memo_block(h, c.record(), f), &block);
    if (!s.ok()) return remember(s);
    uint32_t code = update(c, f, [&](std::string* rec) {
      ace::dbf::put_memo_block(h, rec, f, block);
      return ACE_OK;
    });
    // The memo file holds the new text already: the record that points to it
    // follows at once, so a failure is told to this call and the two files agree.
    return code != ACE_OK ? code : remember(c.commit());
  });
}

ACE_RESULT ACE_ENTRY ace_set_double(ACE_HANDLE table, uint16_t field, double value) {
  return with_field(table, field, [&](Cursor& c, const ace::dbf::FieldDesc& f) {
    return update(c, f, [&](std::string* rec) { return ace::dbf::put_number(c.table().header(), rec, f, value); });
  });
}

ACE_RESULT ACE_ENTRY ace_set_julian(ACE_HANDLE table, uint16_t field, int32_t julian) {
  return with_field(table, field, [&](Cursor& c, const ace::dbf::FieldDesc& f) {
    return update(c, f, [&](std::string* rec) { return ace::dbf::put_julian(c.table().header(), rec, f, julian); });
  });
}

ACE_RESULT ACE_ENTRY ace_set_logical(ACE_HANDLE table, uint16_t field, uint16_t value) {
  return with_field(table, field, [&](Cursor& c, const ace::dbf::FieldDesc& f) {
    return update(c, f, [&](std::string* rec) { return ace::dbf::put_logical(c.table().header(), rec, f, value != 0); });
  });
}

ACE_RESULT ACE_ENTRY ace_set_empty(ACE_HANDLE table, uint16_t field) {
  return with_field(table, field, [&](Cursor& c, const ace::dbf::FieldDesc& f) {
    const auto& h = c.table().header();
    std::string blank = ace::dbf::blank_record(h);
    return update(c, f, [&](std::string* rec) {
      rec->replace(f.offset, f.length, blank, f.offset, f.length);
      ace::dbf::set_null(h, rec, f, false);
      return ACE_OK;
    });
  });
}

ACE_RESULT ACE_ENTRY ace_append(ACE_HANDLE table) {
  Cursor* c = ace::api::find_cursor(table);
  if (!c) return remember(bad_handle());
  // This cursor's own held record is written by the append, under the header
  // lock the append takes anyway; any other cursor's is written first.
  if (Status s = ace::api::commit_pending(c); !s.ok()) return remember(s);
  return remember(c->append());
}

ACE_RESULT ACE_ENTRY ace_lock_record(ACE_HANDLE table, uint32_t recno) {
  return with_cursor(table, [&](Cursor& c) -> uint32_t {
    uint32_t r = recno ? recno : c.recno();
    uint32_t n = 0;
    Status s = c.table().record_count(&n);
    if (!s.ok()) return remember(s);
    if (r == 0 || r > n) return remember(Status::error(ACE_ERR_NO_RECORD, c.table().path(), "no such record to lock"));
    s = c.table().lock_record(r);
    if (!s.ok()) return remember(s);
    // What others wrote before we held the lock is what we now work on.
    return r == c.recno() ? remember(c.reload()) : ACE_OK;
  });
}

ACE_RESULT ACE_ENTRY ace_unlock_record(ACE_HANDLE table, uint32_t recno) {
  return with_cursor(table, [&](Cursor& c) { return remember(c.table().unlock_record(recno ? recno : c.recno())); });
}

ACE_RESULT ACE_ENTRY ace_unlock_all(ACE_HANDLE table) {
  return with_cursor(table, [&](Cursor& c) { return remember(c.table().unlock_all()); });
}

ACE_RESULT ACE_ENTRY ace_lock_file(ACE_HANDLE table) {
  return with_cursor(table, [&](Cursor& c) -> uint32_t {
    Status s = c.table().lock_file();
    if (!s.ok()) return remember(s);
    return remember(c.reload());
  });
}

ACE_RESULT ACE_ENTRY ace_is_locked(ACE_HANDLE table, uint32_t recno, uint16_t* locked) {
  if (!locked) return remember(bad_argument("null output"));
  return with_cursor(table, [&](Cursor& c) {
    *locked = c.table().holds_record_lock(recno ? recno : c.recno());
    return ACE_OK;
  });
}

static uint32_t mark(ACE_HANDLE table, bool deleted) {
  return with_cursor(table, [&](Cursor& c) -> uint32_t {
    if (c.eof()) return remember(Status::error(ACE_ERR_NO_RECORD, c.table().path(), "no current record"));
    std::string rec = c.record();
    rec[0] = static_cast<char>(deleted ? ace::dbf::kDeletedFlag : ace::dbf::kLiveFlag);
    return remember(c.write(rec));
  });
}

ACE_RESULT ACE_ENTRY ace_delete(ACE_HANDLE table) { return mark(table, true); }
ACE_RESULT ACE_ENTRY ace_recall(ACE_HANDLE table) { return mark(table, false); }

ACE_RESULT ACE_ENTRY ace_is_deleted(ACE_HANDLE table, uint16_t* deleted) {
  if (!deleted) return remember(bad_argument("null output"));
  return with_cursor(table, [&](Cursor& c) {
    *deleted = ace::dbf::is_deleted(c.record());
    return ACE_OK;
  });
}

ACE_RESULT ACE_ENTRY ace_flush(ACE_HANDLE table) {
  return with_cursor(table, [&](Cursor& c) { return remember(c.table().flush()); });
}

ACE_RESULT ACE_ENTRY ace_get_last_error(uint32_t* number, int32_t* os_code, char* file,
                                        uint32_t* file_length, char* text, uint32_t* text_length) {
  const Status& e = ace::api::last_error();
  if (number) *number = e.code;
  if (os_code) *os_code = e.os_code;
  if (file_length) copy_out(e.file, file, file_length, true);
  if (text_length) copy_out(e.text, text, text_length, true);
  return ACE_OK;
}

}  // extern "C"
