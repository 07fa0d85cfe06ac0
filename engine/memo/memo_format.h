// Memo file headers and blocks as bytes: the parsing a MemoFile does, kept apart
// so it can be checked on its own (and fuzzed) without a file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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
// Blocks a memo of `length` bytes of text takes in a file of `kind`.
uint64_t blocks_for(dbf::MemoKind kind, uint64_t length, uint32_t block_size);
// A memo as it goes on disk, block header and end mark included, padded to
// whole blocks. A dBASE III text must not hold 0x1A.
std::string encode_memo(dbf::MemoKind kind, std::string_view text, uint32_t block_size);
// The header's first four bytes, the next free block in the kind's byte order.
std::string encode_next_free(dbf::MemoKind kind, uint32_t next_free);
// A new dBASE III memo header.
std::string encode_dbt3_header(uint32_t next_free);
// Blocks the memo whose first bytes are `head` certainly takes; 0 when they do
// not look like a memo of `kind` (nothing is then reused). For dBASE III, `head`
// is as many bytes as the caller wants to know about.
uint64_t old_memo_blocks(const uint8_t* head, size_t size, dbf::MemoKind kind, uint32_t block_size);

}  // namespace ace::memo
