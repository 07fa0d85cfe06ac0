// Memo headers and blocks on arbitrary bytes: the input is a memo file; every
// block the header's size allows is extracted as each kind would read it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "memo/memo_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using ace::dbf::MemoKind;
  for (MemoKind kind : {MemoKind::Fpt, MemoKind::Dbt3, MemoKind::Dbt4}) {
    ace::memo::MemoHeader h;
    if (!ace::memo::parse_memo_header(data, size, kind, "fuzz.fpt", &h).ok()) continue;
    for (uint64_t at = h.block_size; at < size; at += h.block_size) {
      std::string text;
      (void)ace::memo::extract_memo(data + at, size - static_cast<size_t>(at), kind, "fuzz.fpt", &text);
    }
  }
  return 0;
}
