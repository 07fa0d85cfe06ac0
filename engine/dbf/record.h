// Field values inside a record's bytes: reading each type's stored form and
// writing values back. A record string holds the whole record, deleted flag first.
//
// Stored forms by type:
//
// | Type | Size  | Stored as                                                        |
// |------|-------|------------------------------------------------------------------|
// | C    | n     | text, blank-padded                                               |
// | N, F | n     | number in ASCII, right-aligned, blank-padded on the left         |
// | D    | 8     | "YYYYMMDD", blanks when empty                                    |
// | L    | 1     | T/t/Y/y true, F/f/N/n false, blank or ? unknown                  |
// | M G P| 10/4  | memo block number: 10 ASCII digits, or 4 bytes LE in Visual FoxPro|
// | I    | 4     | signed 32-bit LE                                                 |
// | B    | 8     | IEEE double LE                                                   |
// | Y    | 8     | signed 64-bit LE, value × 10000                                  |
// | T    | 8     | Julian day (4 bytes LE), then milliseconds since midnight (4 LE) |
// | V, Q | n     | bytes; when the field's varlength bit is set in _NullFlags, the  |
// |      |       | last byte holds the length used                                  |
// | 0    | n     | _NullFlags: one bit per nullable or variable field, from bit 0   |
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dbf/header.h"

namespace ace::dbf {

std::string blank_record(const TableHeader& h);

inline bool is_deleted(std::string_view rec) { return !rec.empty() && rec[0] == static_cast<char>(kDeletedFlag); }
inline std::string_view raw_field(std::string_view rec, const FieldDesc& f) {
  return rec.substr(f.offset, f.length);
}

bool is_null(const TableHeader& h, std::string_view rec, const FieldDesc& f);
// Empty as the language means it: blank text, zero number, blank date, null.
bool is_empty(const TableHeader& h, std::string_view rec, const FieldDesc& f);

// The value as text: C, V and N/F as stored (V cut to its length), D as
// "YYYYMMDD", L as "T", "F" or " " (unknown), I/B/Y as decimal text, T as "YYYYMMDDhhmmss".
// Memo fields are not text here: see memo_block.
std::string get_text(const TableHeader& h, std::string_view rec, const FieldDesc& f);
// Numbers of N, F, I, B, Y; Julian days of D; days and fraction of T.
// Sets *ok false for types that hold no number.
double get_number(std::string_view rec, const FieldDesc& f, bool* ok);
// D and T: Julian day, 0 when blank.
int32_t get_julian(std::string_view rec, const FieldDesc& f);
// L: 1 true, 0 false, -1 unknown (blank or "?").
int get_logical(std::string_view rec, const FieldDesc& f);
// Memo block number, 0 when the record has no memo there.
uint32_t memo_block(const TableHeader& h, std::string_view rec, const FieldDesc& f);

// Writers answer ACE_OK, ACE_ERR_DATATYPE for a value the type cannot hold, or
// ACE_ERR_DATAWIDTH for a number too wide; the record is unchanged on error.
uint32_t put_text(const TableHeader& h, std::string* rec, const FieldDesc& f, std::string_view text);
uint32_t put_number(const TableHeader& h, std::string* rec, const FieldDesc& f, double v);
uint32_t put_julian(const TableHeader& h, std::string* rec, const FieldDesc& f, int32_t julian);
uint32_t put_logical(const TableHeader& h, std::string* rec, const FieldDesc& f, bool v);
void put_memo_block(const TableHeader& h, std::string* rec, const FieldDesc& f, uint32_t block);
void set_null(const TableHeader& h, std::string* rec, const FieldDesc& f, bool null);

}  // namespace ace::dbf
