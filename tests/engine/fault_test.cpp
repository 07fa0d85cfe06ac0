// Writes that fail part-way, as a full disk or a crash would leave them: from the
// chosen write on nothing more reaches the disk, and that write itself is cut in
// half. Whatever the point, the table reopens whole, with the old or the new
// state and nothing in between.
#include <gtest/gtest.h>

#include "ace32.h"
#include "ace32_errors.h"
#include "dbf/record.h"
#include "table/table.h"
#include "temp_dir.h"

namespace {

using ace::io::File;
using ace::io::IoStatus;

struct FaultPlan {
  int writes = 0;       // writes seen since the plan was set
  int fail_from = 0;    // first write that fails (1-based)
};

class FaultInjectingFile final : public File {
 public:
  FaultInjectingFile(std::unique_ptr<File> inner, FaultPlan* plan) : inner_(std::move(inner)), plan_(plan) {}
  IoStatus read_at(uint64_t o, void* b, size_t n, size_t* got) override { return inner_->read_at(o, b, n, got); }
  IoStatus write_at(uint64_t o, const void* b, size_t n) override {
    int k = ++plan_->writes;
    if (k < plan_->fail_from) return inner_->write_at(o, b, n);
    if (k == plan_->fail_from && n > 1) inner_->write_at(o, b, n / 2);
    IoStatus s;
    s.code = IoStatus::DiskFull;
    s.os_code = 112;
    return s;
  }
  IoStatus size(uint64_t* out) override { return inner_->size(out); }
  IoStatus truncate(uint64_t n) override { return inner_->truncate(n); }
  IoStatus flush() override { return inner_->flush(); }
  IoStatus lock(uint64_t o, uint64_t n) override { return inner_->lock(o, n); }
  IoStatus lock_shared(uint64_t o, uint64_t n) override { return inner_->lock_shared(o, n); }
  IoStatus unlock(uint64_t o, uint64_t n) override { return inner_->unlock(o, n); }
  const std::string& path() const override { return inner_->path(); }

 private:
  std::unique_ptr<File> inner_;
  FaultPlan* plan_;
};

void inject(FaultPlan* plan) {
  ace::io::set_file_wrapper([plan](std::unique_ptr<File> f) -> std::unique_ptr<File> {
    return std::make_unique<FaultInjectingFile>(std::move(f), plan);
  });
}

std::string get(ACE_HANDLE h, uint16_t f) {
  std::string buf(4096, '\0');
  uint32_t len = static_cast<uint32_t>(buf.size());
  EXPECT_EQ(ace_get_string(h, f, &buf[0], &len), ACE_OK);
  return buf.substr(0, len);
}

TEST(Faults, AppendCutAtEveryWriteLeavesOldOrNewTable) {
  for (int fail_from = 1; fail_from <= 3; ++fail_from) {
    ace_test::TempDir dir;
    const std::string path = dir.path("f.dbf");
    ACE_HANDLE h = 0;
    ASSERT_EQ(ace_create_table(path.c_str(), nullptr, "NAME,C,10", ACE_TABLE_CDX, 0, &h), ACE_OK);
    for (const char* n : {"r1", "r2"}) {
      ASSERT_EQ(ace_append(h), ACE_OK);
      ASSERT_EQ(ace_set_string(h, 1, n, 2), ACE_OK);
    }
    ASSERT_EQ(ace_close_table(h), ACE_OK);

    FaultPlan plan;
    plan.fail_from = fail_from;
    inject(&plan);
    std::unique_ptr<ace::table::Table> t;
    ASSERT_TRUE(ace::table::Table::open(path, {}, &t).ok());
    std::string rec = ace::dbf::blank_record(t->header());
    ace::dbf::put_text(t->header(), &rec, t->header().fields[0], "r3");
    uint32_t r = 0;
    ace::Status s = t->append(rec, &r);
    t.reset();
    ace::io::set_file_wrapper(nullptr);
    if (plan.writes >= fail_from) {
      EXPECT_EQ(s.code, ACE_ERR_WRITE) << "write " << fail_from;
      EXPECT_EQ(s.os_code, 112);
    }

    ASSERT_EQ(ace_open_table(path.c_str(), nullptr, ACE_TABLE_CDX, 0, &h), ACE_OK) << "write " << fail_from;
    uint32_t n = 0;
    ASSERT_EQ(ace_record_count(h, &n), ACE_OK);
    EXPECT_EQ(n, s.ok() ? 3u : 2u) << "write " << fail_from;
    for (uint32_t i = 1; i <= n; ++i) {
      ASSERT_EQ(ace_go_to(h, i), ACE_OK);
      EXPECT_EQ(get(h, 1), "r" + std::to_string(i) + std::string(8, ' '));
    }
    // The table takes appends again, over whatever the failure left behind.
    ASSERT_EQ(ace_append(h), ACE_OK);
    ASSERT_EQ(ace_record_count(h, &n), ACE_OK);
    EXPECT_EQ(n, s.ok() ? 4u : 3u);
    ace_exit();
  }
}

TEST(Faults, MemoRewriteCutAtEveryWriteKeepsOldOrNewText) {
  const std::string longer(700, 'n');
  for (int fail_from = 1; fail_from <= 4; ++fail_from) {
    ace_test::TempDir dir;
    const std::string path = dir.path("m.dbf");
    ACE_HANDLE h = 0;
    ASSERT_EQ(ace_create_table(path.c_str(), nullptr, "NAME,C,10;NOTE,M", ACE_TABLE_CDX, 0, &h), ACE_OK);
    ASSERT_EQ(ace_append(h), ACE_OK);
    ASSERT_EQ(ace_set_string(h, 2, "old text", 8), ACE_OK);

    FaultPlan plan;
    plan.fail_from = fail_from;
    inject(&plan);
    ACE_HANDLE w = 0;
    ASSERT_EQ(ace_open_table(path.c_str(), nullptr, ACE_TABLE_CDX, 0, &w), ACE_OK);
    ASSERT_EQ(ace_close_table(h), ACE_OK);
    ASSERT_EQ(ace_lock_record(w, 1), ACE_OK);
    uint32_t rc = ace_set_string(w, 2, longer.data(), static_cast<uint32_t>(longer.size()));
    ASSERT_EQ(ace_close_table(w), ACE_OK);
    ace::io::set_file_wrapper(nullptr);

    ASSERT_EQ(ace_open_table(path.c_str(), nullptr, ACE_TABLE_CDX, 0, &h), ACE_OK);
    std::string text = get(h, 2);
    EXPECT_EQ(text, rc == ACE_OK ? longer : std::string("old text")) << "write " << fail_from;
    ace_exit();
  }
}

}  // namespace
