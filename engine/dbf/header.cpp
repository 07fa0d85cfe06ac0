// Table header (.dbf), little-endian:
//
// | Offset | Size   | Meaning                                                        |
// |--------|--------|----------------------------------------------------------------|
// | 0      | 1      | version (see Version in header.h)                              |
// | 1      | 3      | last update: year - 1900, month, day                           |
// | 4      | 4      | record count                                                   |
// | 8      | 2      | header length: up to the first record                          |
// | 10     | 2      | record length, deleted flag included                           |
// | 12     | 16     | reserved (dBASE IV: 14 transaction, 15 encrypted)              |
// | 28     | 1      | table flags: 0x01 structural CDX, 0x02 memo, 0x04 database     |
// | 29     | 1      | code page mark                                                 |
// | 30     | 2      | reserved                                                       |
// | 32     | 32 × n | field descriptors                                              |
// | 32+32n | 1      | 0x0D, end of the descriptors                                   |
// | 33+32n | 263    | Visual FoxPro only: back-link to the database container        |
//
// Field descriptor:
//
// | Offset | Size | Meaning                                                          |
// |--------|------|------------------------------------------------------------------|
// | 0      | 11   | name, NUL-padded                                                 |
// | 11     | 1    | type letter                                                      |
// | 12     | 4    | Visual FoxPro: offset of the field in the record (not trusted)   |
// | 16     | 1    | length                                                           |
// | 17     | 1    | decimals                                                         |
// | 18     | 1    | Visual FoxPro flags: 0x01 system, 0x02 nullable, 0x04 binary,    |
// |        |      | 0x08 autoincrement                                               |
// | 19     | 4    | Visual FoxPro: next autoincrement value                          |
// | 23     | 1    | Visual FoxPro: autoincrement step                                |
// | 24     | 8    | reserved (dBASE IV: 31 tagged in the production index)           |
//
// Records follow the header: one flag byte (0x20 live, 0x2A deleted), then the
// fields in order. 0x1A after the last record is usual but not always there.
#include "dbf/header.h"

#include <cstring>

namespace ace::dbf {
namespace {

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool known_version(uint8_t v) {
  switch (v) {
    case kFoxBase: case kDbase3: case kVisualFoxPro: case kVisualFoxProAutoInc:
    case kVisualFoxProVar: case kDbase4Sql: case kDbase3Memo: case kDbase4Memo:
    case kDbase4SqlMemo: case kFoxPro2Memo: case kFoxBaseMemo:
      return true;
    default:
      return false;
  }
}

bool known_type(char t) {
  switch (t) {
    case 'C': case 'N': case 'F': case 'D': case 'L': case 'M': case 'G': case 'P':
    case 'I': case 'B': case 'T': case 'Y': case 'V': case 'Q': case 'W': case '0':
      return true;
    default:
      return false;
  }
}

// Lengths a type allows; 0 means any length from 1 to 255.
bool length_fits(const FieldDesc& f, bool vfp) {
  switch (f.type) {
    case FieldType::Date: return f.length == 8;
    case FieldType::Logical: return f.length == 1;
    case FieldType::Integer: return f.length == 4;
    case FieldType::DateTime: case FieldType::Currency: return f.length == 8;
    // dBASE IV stores doubles as 'B' memo pointers of 10 digits; only VFP's are binary.
    case FieldType::Double: return vfp ? f.length == 8 : (f.length == 8 || f.length == 10);
    case FieldType::Memo: case FieldType::General: case FieldType::Picture: case FieldType::Blob:
      return f.length == 4 || f.length == 10;
    default: return f.length >= 1;
  }
}

Status corrupt(const std::string& file, const std::string& why) {
  return Status::error(ACE_ERR_CORRUPT, file, why);
}

}  // namespace

bool TableHeader::visual_foxpro() const {
  return version == kVisualFoxPro || version == kVisualFoxProAutoInc || version == kVisualFoxProVar;
}

bool TableHeader::binary_memo_pointers() const { return visual_foxpro(); }

bool TableHeader::has_memo_fields() const {
  for (const auto& f : fields)
    if (f.is_memo() && !(f.type == FieldType::Double)) return true;
  return false;
}

MemoKind TableHeader::memo_kind() const {
  if (!has_memo_fields()) return MemoKind::None;
  switch (version) {
    case kDbase3Memo: return MemoKind::Dbt3;
    case kDbase4Memo: case kDbase4SqlMemo: return MemoKind::Dbt4;
    default: return MemoKind::Fpt;
  }
}

const FieldDesc* TableHeader::null_flags_field() const {
  for (const auto& f : fields)
    if (f.type == FieldType::NullFlags) return &f;
  return nullptr;
}

size_t header_length_of(const uint8_t* data, size_t size) {
  return size < kFileHeaderSize ? 0 : le16(data + 8);
}

void lay_out(TableHeader* h) {
  uint32_t offset = 1;
  int bit = 0;
  for (auto& f : h->fields) {
    f.offset = offset;
    offset += f.length;
    f.null_bit = f.varlength_bit = -1;
    if (f.type == FieldType::NullFlags) continue;
    // A variable-length field's length bit comes before its null bit.
    if (f.type == FieldType::Varchar || f.type == FieldType::Varbinary) f.varlength_bit = bit++;
    if (f.flags & kFieldNullable) f.null_bit = bit++;
  }
  h->record_length = static_cast<uint16_t>(offset);
  h->header_length = static_cast<uint16_t>(kFileHeaderSize + kDescriptorSize * h->fields.size() + 1 +
                                           (h->visual_foxpro() ? kBacklinkSize : 0));
}

Status parse_header(const uint8_t* data, size_t size, uint64_t file_size, const std::string& file,
                    TableHeader* out) {
  if (size < kFileHeaderSize) return corrupt(file, "table header is shorter than 32 bytes");
  TableHeader h;
  h.version = data[0];
  if (!known_version(h.version))
    return Status::error(ACE_ERR_UNSUPPORTED, file, "unknown table version byte");
  h.year = data[1];
  h.month = data[2];
  h.day = data[3];
  h.record_count = le32(data + 4);
  h.header_length = le16(data + 8);
  h.record_length = le16(data + 10);
  h.flags = data[28];
  h.codepage = data[29];

  if (h.header_length < kFileHeaderSize + kDescriptorSize + 1)
    return corrupt(file, "header length too small for one field");
  if (h.header_length > size || h.header_length > file_size)
    return corrupt(file, "header length beyond the end of the file");
  if (h.record_length < 2) return corrupt(file, "record length too small");

  const bool vfp = h.visual_foxpro();
  size_t pos = kFileHeaderSize;
  bool terminated = false;
  while (pos + kDescriptorSize <= h.header_length) {
    if (data[pos] == kFieldTerminator) {
      terminated = true;
      break;
    }
    const uint8_t* d = data + pos;
    FieldDesc f;
    size_t n = 0;
    while (n < 11 && d[n] != 0) ++n;
    f.name.assign(reinterpret_cast<const char*>(d), n);
    if (f.name.empty()) return corrupt(file, "field without a name");
    if (!known_type(static_cast<char>(d[11])))
      return Status::error(ACE_ERR_UNSUPPORTED, file, "unknown field type '" + std::string(1, static_cast<char>(d[11])) + "' in field " + f.name);
    f.type = static_cast<FieldType>(d[11]);
    f.length = d[16];
    f.decimals = d[17];
    f.flags = vfp ? d[18] : 0;
    if (!length_fits(f, vfp)) return corrupt(file, "field " + f.name + " has a length its type does not allow");
    h.fields.push_back(std::move(f));
    pos += kDescriptorSize;
  }
  // Some writers leave the terminator out when the descriptors fill the header.
  if (!terminated && pos + 1 < h.header_length) return corrupt(file, "field descriptors not terminated");
  if (h.fields.empty()) return corrupt(file, "table has no fields");

  const uint16_t stored_record_length = h.record_length;
  const uint16_t stored_header_length = h.header_length;
  lay_out(&h);
  if (h.record_length > stored_record_length)
    return corrupt(file, "fields extend beyond the record length");
  h.record_length = stored_record_length;
  h.header_length = stored_header_length;

  const uint64_t need = uint64_t(h.header_length) + uint64_t(h.record_count) * h.record_length;
  if (need > file_size) return corrupt(file, "record count exceeds the records in the file");
  *out = std::move(h);
  return Status::success();
}

std::string encode_header(const TableHeader& h) {
  std::string out(h.header_length, '\0');
  auto* p = reinterpret_cast<uint8_t*>(&out[0]);
  p[0] = h.version;
  encode_count_and_date(h, p + 1);
  put16(p + 8, h.header_length);
  put16(p + 10, h.record_length);
  p[28] = h.flags;
  p[29] = h.codepage;
  size_t pos = kFileHeaderSize;
  for (const auto& f : h.fields) {
    uint8_t* d = p + pos;
    std::memcpy(d, f.name.data(), f.name.size() < 11 ? f.name.size() : 10);
    d[11] = static_cast<uint8_t>(f.type);
    if (h.visual_foxpro()) put32(d + 12, f.offset);
    d[16] = static_cast<uint8_t>(f.length);
    d[17] = f.decimals;
    if (h.visual_foxpro()) d[18] = f.flags;
    pos += kDescriptorSize;
  }
  p[pos] = kFieldTerminator;
  return out;
}

void encode_count_and_date(const TableHeader& h, uint8_t out[7]) {
  out[0] = h.year;
  out[1] = h.month;
  out[2] = h.day;
  put32(out + 3, h.record_count);
}

}  // namespace ace::dbf
