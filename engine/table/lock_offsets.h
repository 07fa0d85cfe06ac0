// Where locks go in a table file, in the convention the FoxPro family uses on
// tables with compound indexes, so our locks and theirs exclude each other:
//
// | Offset                  | Length      | Lock                                        |
// |-------------------------|-------------|---------------------------------------------|
// | 0x7FFFFFFE              | 1           | header: taken for every append and header   |
// |                         |             | update (the memo file uses the same byte    |
// |                         |             | while it hands out blocks)                  |
// | 0x7FFFFFFE - n          | 1           | record n (1-based)                          |
// | kFileLockOffset         | kFileLockLength | whole file: the header byte and every   |
// |                         |             | record byte below it                        |
//
// The share-mode byte of the Linux file layer (0x7FFFFFFF) lies above all of them.
#pragma once

#include <cstdint>

namespace ace::table {

constexpr uint64_t kHeaderLockOffset = 0x7FFFFFFEu;
constexpr uint32_t kMaxRecords = 0x3FFFFFFEu;
constexpr uint64_t kFileLockOffset = kHeaderLockOffset - kMaxRecords;
constexpr uint64_t kFileLockLength = kMaxRecords + 1;

constexpr uint64_t record_lock_offset(uint32_t recno) { return kHeaderLockOffset - recno; }

}  // namespace ace::table
