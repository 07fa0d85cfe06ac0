// Memo files, by kind.
//
// FPT header (512 bytes), big-endian:
//
// | Offset | Size | Meaning                                      |
// |--------|------|----------------------------------------------|
// | 0      | 4    | next free block                              |
// | 4      | 2    | unused                                       |
// | 6      | 2    | block size in bytes                          |
// | 8      | 504  | unused                                       |
//
// FPT memo, at block × block size, big-endian:
//
// | Offset | Size | Meaning                                      |
// |--------|------|----------------------------------------------|
// | 0      | 4    | type: 0 picture, 1 text, 2 object            |
// | 4      | 4    | length of the data                           |
// | 8      | n    | data                                         |
//
// DBT header (512 bytes), little-endian:
//
// | Offset | Size | Meaning                                                   |
// |--------|------|-----------------------------------------------------------|
// | 0      | 4    | next free block                                           |
// | 16     | 1    | dBASE IV: version                                         |
// | 20     | 2    | dBASE IV: block size (dBASE III: 0, blocks are 512 bytes) |
//
// dBASE III memo: text from its block on, ended by 0x1A (written as 0x1A 0x1A).
// dBASE IV memo: FF FF 08 00, then the length (4 bytes LE) counting these 8
// bytes, then the text.
#include "memo/memo_format.h"

namespace ace::memo {
namespace {

uint32_t be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | p[3];
}
uint32_t le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

Status corrupt(const std::string& file, const char* why) {
  return Status::error(ACE_ERR_CORRUPT, file, why);
}

}  // namespace

Status parse_memo_header(const uint8_t* data, size_t size, dbf::MemoKind kind,
                         const std::string& file, MemoHeader* out) {
  if (size < 32) return corrupt(file, "memo header is too short");
  MemoHeader h;
  switch (kind) {
    case dbf::MemoKind::Fpt:
      h.next_free = be32(data);
      h.block_size = static_cast<uint32_t>((data[6] << 8) | data[7]);
      break;
    case dbf::MemoKind::Dbt3:
      h.next_free = le32(data);
      h.block_size = 512;
      break;
    case dbf::MemoKind::Dbt4:
      h.next_free = le32(data);
      h.block_size = static_cast<uint32_t>(data[20] | (data[21] << 8));
      if (h.block_size == 0) h.block_size = 512;
      break;
    default:
      return Status::error(ACE_ERR_ARGUMENT, file, "table has no memo file");
  }
  if (h.block_size == 0) return corrupt(file, "memo block size is 0");
  *out = h;
  return Status::success();
}

std::string encode_fpt_header(const MemoHeader& h) {
  std::string out(kMemoHeaderSize, '\0');
  out[0] = static_cast<char>(h.next_free >> 24);
  out[1] = static_cast<char>(h.next_free >> 16);
  out[2] = static_cast<char>(h.next_free >> 8);
  out[3] = static_cast<char>(h.next_free);
  out[6] = static_cast<char>(h.block_size >> 8);
  out[7] = static_cast<char>(h.block_size);
  return out;
}

Status extract_memo(const uint8_t* data, size_t size, dbf::MemoKind kind, const std::string& file,
                    std::string* out) {
  switch (kind) {
    case dbf::MemoKind::Fpt: {
      if (size < kFptBlockHeaderSize) return corrupt(file, "memo block beyond the end of the memo file");
      uint32_t length = be32(data + 4);
      if (length > size - kFptBlockHeaderSize) return corrupt(file, "memo length beyond the end of the memo file");
      out->assign(reinterpret_cast<const char*>(data) + kFptBlockHeaderSize, length);
      return Status::success();
    }
    case dbf::MemoKind::Dbt3: {
      size_t n = 0;
      while (n < size && data[n] != 0x1A) ++n;
      out->assign(reinterpret_cast<const char*>(data), n);
      return Status::success();
    }
    case dbf::MemoKind::Dbt4: {
      if (size < 8) return corrupt(file, "memo block beyond the end of the memo file");
      if (data[0] != 0xFF || data[1] != 0xFF || data[2] != 0x08 || data[3] != 0x00)
        return corrupt(file, "memo block without its FF FF 08 00 mark");
      uint32_t length = le32(data + 4);
      if (length < 8 || length - 8 > size - 8) return corrupt(file, "memo length beyond the end of the memo file");
      out->assign(reinterpret_cast<const char*>(data) + 8, length - 8);
      return Status::success();
    }
    default:
      return Status::error(ACE_ERR_ARGUMENT, file, "table has no memo file");
  }
}

uint64_t fpt_blocks_for(uint64_t length, uint32_t block_size) {
  return (length + kFptBlockHeaderSize + block_size - 1) / block_size;
}

}  // namespace ace::memo
