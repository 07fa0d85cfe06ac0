// The table file header and its field descriptors: parsing with every length
// checked against what the file holds, and encoding for new tables and updates.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dbf/field.h"
#include "status.h"

namespace ace::dbf {

// Version bytes met in practice (byte 0 of the header).
enum Version : uint8_t {
  kFoxBase = 0x02,
  kDbase3 = 0x03,
  kVisualFoxPro = 0x30,
  kVisualFoxProAutoInc = 0x31,
  kVisualFoxProVar = 0x32,
  kDbase4Sql = 0x43,
  kDbase3Memo = 0x83,
  kDbase4Memo = 0x8B,
  kDbase4SqlMemo = 0xCB,
  kFoxPro2Memo = 0xF5,
  kFoxBaseMemo = 0xFB,
};

// Table flags (byte 28) of the FoxPro family.
enum TableFlag : uint8_t { kHasStructuralCdx = 0x01, kHasMemo = 0x02, kIsDatabase = 0x04 };

constexpr uint8_t kFieldTerminator = 0x0D;
constexpr uint8_t kEndOfFile = 0x1A;
constexpr uint8_t kLiveFlag = 0x20;
constexpr uint8_t kDeletedFlag = 0x2A;
constexpr size_t kFileHeaderSize = 32;
constexpr size_t kDescriptorSize = 32;
constexpr size_t kBacklinkSize = 263;

enum class MemoKind { None, Fpt, Dbt3, Dbt4 };

struct TableHeader {
  uint8_t version = kDbase3;
  uint8_t year = 0, month = 1, day = 1;  // last update, year - 1900
  uint32_t record_count = 0;
  uint16_t header_length = 0;
  uint16_t record_length = 0;
  uint8_t flags = 0;
  uint8_t codepage = 0;
  std::vector<FieldDesc> fields;

  bool visual_foxpro() const;
  // Memo pointers stored as a 4-byte binary block number instead of 10 digits.
  bool binary_memo_pointers() const;
  MemoKind memo_kind() const;
  bool has_memo_fields() const;
  const FieldDesc* null_flags_field() const;
};

// Parses a header from `data` (the first `size` bytes of the file, the whole
// header at least) and checks it against `file_size`: header and record lengths,
// field offsets, and that the records the count promises are in the file.
// `file` names the file in the error.
Status parse_header(const uint8_t* data, size_t size, uint64_t file_size,
                    const std::string& file, TableHeader* out);

// The header length a parse needs, from the first 32 bytes (0 if fewer given).
size_t header_length_of(const uint8_t* data, size_t size);

// The whole header for a new table: file header, descriptors, terminator and,
// for Visual FoxPro, an empty back-link.
std::string encode_header(const TableHeader& h);

// Bytes 1..7: last update date and record count, the part an append rewrites.
void encode_count_and_date(const TableHeader& h, uint8_t out[7]);

// Field offsets and null-flag bits from lengths; record and header lengths to match.
void lay_out(TableHeader* h);

}  // namespace ace::dbf
