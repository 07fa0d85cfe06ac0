// Fuzzes the index reader: the input is a whole bag file. Opening it, walking
// every tag both ways, seeking, verifying and changing keys must end with a
// status, whatever the bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "cdx/bag.h"
#include "cdx/leaf_page.h"
#include "mem_file.h"

using namespace ace::cdx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The leaf decoder on its own, with a key length taken from the input.
  if (size >= kPageSize + 1) {
    Node node;
    std::string why;
    int key_len = 1 + data[kPageSize] % kMaxKeyLength;
    decode_leaf(data, 0, key_len, ' ', &node, &why);
  }
  std::unique_ptr<Bag> bag;
  auto file = cdxtest::mem_file("fuzz.cdx", std::vector<uint8_t>(data, data + size));
  if (!Bag::open(std::move(file), &bag).ok()) return 0;
  for (auto& tag : bag->tags()) {
    for (KeyKind kind : {KeyKind::Character, KeyKind::Binary}) {
      tag->set_kind(kind);
      Cursor c;
      Status s;
      int steps = 0;
      for (s = tag->first(&c); s.ok() && c.valid && steps < 5000; s = tag->next(&c)) ++steps;
      for (s = tag->last(&c); s.ok() && c.valid && steps < 10000; s = tag->prev(&c)) ++steps;
      bool found;
      (void)tag->seek("A", &c, &found);
      (void)tag->verify();
    }
    (void)tag->insert("FUZZ", 1);
    (void)tag->remove("FUZZ", 1);
  }
  (void)bag->verify();
  return 0;
}
