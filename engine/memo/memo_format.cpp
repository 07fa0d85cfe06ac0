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
// | 0      | 4    | next free block; the header is block 0, so never 0        |
// | 4      | 4    | unused                                                    |
// | 8      | 8    | dBASE IV: table name without extension (kept as found)    |
// | 16     | 1    | version: 3 in files we create for dBASE III (0 in some)   |
// | 20     | 2    | dBASE IV: block size (dBASE III: 0, blocks are 512 bytes) |
// | 22     | 490  | unused                                                    |
//
// Writing touches only bytes 0-3 of an existing header.
//
// dBASE III memo, at block × 512: the text, then 0x1A 0x1A, then padding to the
// end of its last block. Readers stop at the first 0x1A, so the text cannot
// hold one.
//
// dBASE IV memo, at block × block size:
//
// | Offset | Size | Meaning                                                   |
// |--------|------|-----------------------------------------------------------|
// | 0      | 4    | FF FF 08 00: a memo in use                                |
// | 4      | 4    | length, little-endian, counting these 8 bytes             |
// | 8      | n    | text; padding to the end of its last block follows        |
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

uint64_t blocks_for(dbf::MemoKind kind, uint64_t length, uint32_t block_size) {
  const uint64_t extra = kind == dbf::MemoKind::Dbt3 ? 2 : kFptBlockHeaderSize;
  return (length + extra + block_size - 1) / block_size;
}

std::string encode_memo(dbf::MemoKind kind, std::string_view text, uint32_t block_size) {
  std::string out;
  const uint32_t len = static_cast<uint32_t>(text.size());
  switch (kind) {
    case dbf::MemoKind::Fpt:
      out.assign(kFptBlockHeaderSize, '\0');
      out[3] = static_cast<char>(kFptTypeText);
      out[4] = static_cast<char>(len >> 24);
      out[5] = static_cast<char>(len >> 16);
      out[6] = static_cast<char>(len >> 8);
      out[7] = static_cast<char>(len);
      out.append(text);
      break;
    case dbf::MemoKind::Dbt3:
      out.assign(text);
      out.append("\x1A\x1A", 2);
      break;
    case dbf::MemoKind::Dbt4: {
      const uint32_t total = len + 8;
      out = std::string("\xFF\xFF\x08\x00", 4);
      for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(total >> (8 * i)));
      out.append(text);
      break;
    }
    default:
      return out;
  }
  // Fill the last block so the file always ends on a block boundary.
  out.resize(static_cast<size_t>(blocks_for(kind, text.size(), block_size) * block_size), '\0');
  return out;
}

std::string encode_next_free(dbf::MemoKind kind, uint32_t next_free) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) {
    const uint8_t b = static_cast<uint8_t>(next_free >> (8 * i));
    out[kind == dbf::MemoKind::Fpt ? 3 - i : i] = static_cast<char>(b);
  }
  return out;
}

std::string encode_dbt3_header(uint32_t next_free) {
  std::string out(kMemoHeaderSize, '\0');
  out.replace(0, 4, encode_next_free(dbf::MemoKind::Dbt3, next_free));
  out[16] = 3;
  return out;
}

uint64_t old_memo_blocks(const uint8_t* head, size_t size, dbf::MemoKind kind, uint32_t block_size) {
  switch (kind) {
    case dbf::MemoKind::Fpt:
      if (size < kFptBlockHeaderSize) return 0;
      return fpt_blocks_for(be32(head + 4), block_size);
    case dbf::MemoKind::Dbt4:
      if (size < 8 || head[0] != 0xFF || head[1] != 0xFF || head[2] != 0x08 || head[3] != 0x00) return 0;
      return (uint64_t(le32(head + 4)) + block_size - 1) / block_size;
    case dbf::MemoKind::Dbt3: {
      // Only the blocks up to its first 0x1A are surely its own: other writers
      // may have ended it with a single one. Whole blocks without the mark are
      // all its own.
      for (size_t i = 0; i < size; ++i)
        if (head[i] == 0x1A) return i / block_size + 1;
      return size / block_size;
    }
    default:
      return 0;
  }
}

}  // namespace ace::memo
