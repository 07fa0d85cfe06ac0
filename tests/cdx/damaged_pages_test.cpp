// Damaged copies of a real bag (two levels, compressed leaves): every operation
// either works or reports Corrupt naming the file and the damaged page; none
// crashes, reads wild or loops.
#include <gtest/gtest.h>

#include "cdx/bag.h"
#include "mem_file.h"

using namespace ace::cdx;
using namespace cdxtest;

namespace {

const char* kBag = "FOXPRO-DB-TEST.DCX";

struct Damage {
  const char* what;
  size_t at;
  std::vector<uint8_t> bytes;  // written at `at`; empty: cut the file there
  const char* page;            // the offset the report must name
};

// Runs everything a reader or writer does and gathers the failures.
std::vector<Status> exercise(std::vector<uint8_t> bytes) {
  std::vector<Status> failures;
  auto note = [&](Status s) {
    if (!s.ok()) failures.push_back(s);
  };
  std::unique_ptr<Bag> bag;
  Status s = Bag::open(mem_file(kBag, std::move(bytes)), &bag);
  if (!s.ok()) return {s};
  for (auto& tag : bag->tags()) {
    Cursor c;
    int steps = 0;
    for (s = tag->first(&c); s.ok() && c.valid && steps < 1000; s = tag->next(&c)) ++steps;
    note(s);
    for (s = tag->last(&c); s.ok() && c.valid && steps < 2000; s = tag->prev(&c)) ++steps;
    note(s);
    EXPECT_LT(steps, 2000) << "endless walk";
    bool found;
    note(tag->seek("         0", &c, &found));
    note(tag->seek("\xFF", &c, &found));
    note(tag->verify());
    note(tag->insert("         7Field     new", 77));
    note(tag->remove("         7Field     new", 77));
  }
  return failures;
}

TEST(DamagedPages, ReportFileAndPage) {
  const std::vector<uint8_t> good = read_whole(std::string(FIXTURE_DIR) + "/" + kBag);
  ASSERT_TRUE(exercise(good).empty());
  const Damage damages[] = {
      {"bad node attribute", 0xA00, {0x10, 0x00}, "0xA00"},
      {"interior key count beyond the page", 0xA02, {0xFF, 0x00}, "0xA00"},
      {"leaf key count beyond the page", 0x1202, {0xFF, 0x0F}, "0x1200"},
      {"record-number bits that do not fit", 0x1214, {0x30}, "0x1200"},
      {"entry size zero", 0x1217, {0x00}, "0x1200"},
      {"child outside the file", 0xAA4, {0x00, 0xFF, 0xFE, 0x00}, "0xFFFE00"},
      {"child not on a page boundary", 0xAA4, {0x00, 0x00, 0x14, 0x01}, "0x1401"},
      {"child pointing at its parent", 0xAA4, {0x00, 0x00, 0x0A, 0x00}, "0xA00"},
      {"leaf linked to itself on the right", 0x1408, {0x00, 0x14, 0x00, 0x00}, "0x1400"},
      {"leaf linked to itself on the left", 0x1204, {0x00, 0x12, 0x00, 0x00}, "0x1200"},
      {"tag root outside the file", 0x600, {0x00, 0x00, 0x10, 0x00}, "0x100000"},
      {"tag header outside the file", 0x418, {0x00, 0xFF}, "0xFF00"},
      {"tag header with key length zero", 0x60C, {0x00, 0x00}, "0x600"},
      {"file cut inside a leaf", 0x1300, {}, "0x1200"},
  };
  for (const Damage& d : damages) {
    std::vector<uint8_t> bytes = good;
    if (d.bytes.empty()) bytes.resize(d.at);
    else std::copy(d.bytes.begin(), d.bytes.end(), bytes.begin() + static_cast<long>(d.at));
    std::vector<Status> failures = exercise(bytes);
    ASSERT_FALSE(failures.empty()) << d.what << ": went unnoticed";
    bool named = false;
    for (const Status& s : failures) {
      EXPECT_EQ(s.code, Status::Corrupt) << d.what << ": " << s.message;
      EXPECT_NE(s.message.find(kBag), std::string::npos) << s.message;
      named = named || s.message.find(std::string("offset ") + d.page) != std::string::npos;
    }
    EXPECT_TRUE(named) << d.what << ": no report names page " << d.page << "; first: "
                       << failures[0].message;
  }
}

}  // namespace
