// Table header and record decoding on arbitrary bytes: the input is a whole file.
#include <cstddef>
#include <cstdint>

#include "dbf/header.h"
#include "dbf/record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ace::dbf::TableHeader h;
  if (!ace::dbf::parse_header(data, size, size, "fuzz.dbf", &h).ok()) return 0;
  std::string_view file(reinterpret_cast<const char*>(data), size);
  for (uint32_t r = 0; r < h.record_count && r < 64; ++r) {
    std::string_view rec = file.substr(h.header_length + size_t(r) * h.record_length, h.record_length);
    std::string copy(rec);
    for (const auto& f : h.fields) {
      bool ok;
      (void)ace::dbf::get_text(h, rec, f);
      (void)ace::dbf::get_number(rec, f, &ok);
      (void)ace::dbf::get_julian(rec, f);
      (void)ace::dbf::is_empty(h, rec, f);
      if (f.is_memo()) (void)ace::dbf::memo_block(h, rec, f);
      (void)ace::dbf::put_text(h, &copy, f, "12345678");
    }
  }
  return 0;
}
