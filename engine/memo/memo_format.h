// Memo file headers and blocks as bytes: the parsing a MemoFile does, kept apart
// so it can be checked on its own (and fuzzed) without a file.
#pragma once

#include <cstdint>
#include <string>

#include "dbf/header.h"
#include "status.h"

namespace ace::memo {

struct MemoHeader {
  uint32_t next_free = 0;   // first block never handed out
  uint32_t block_size = 0;  // bytes per block
};

constexpr size_t kMemoHeaderSize = 512;
constexpr size_t kFptBlockHeaderSize = 8;
constexpr uint32_t kFptTypeText = 1;

Status parse_memo_header(const uint8_t* data, size_t size, dbf::MemoKind kind,
                         const std::string& file, MemoHeader* out);
std::string encode_fpt_header(const MemoHeader& h);

// The text of the memo that starts with `data` (the bytes from its block to the
// end of the file, `size` of them): the length a block header promises must lie
// within them, and dBASE III text ends at 0x1A or at the end of the file.
Status extract_memo(const uint8_t* data, size_t size, dbf::MemoKind kind, const std::string& file,
                    std::string* out);

// Blocks an FPT memo of `length` bytes of text takes.
uint64_t fpt_blocks_for(uint64_t length, uint32_t block_size);

}  // namespace ace::memo
