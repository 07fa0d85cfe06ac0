// The four commands on the sample tables, on damaged copies of them and on
// tables and indexes the engine writes.
#include <gtest/gtest.h>

#include "dbf/julian.h"
#include "dbfcheck_run.h"
#include "engine_access.h"
#include "order/order_layer.h"

using dbfchecktest::run_tool;
using dbfchecktest::read_file;
using dbfchecktest::Outcome;
using dbfchecktest::ScratchDir;
using dbfchecktest::write_file;

namespace dbf = ace::dbf;
namespace cdx = ace::cdx;

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

uint32_t le32(const std::string& b, size_t at) {
  return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
         uint32_t(uint8_t(b[at + 3])) << 24;
}
void put_le32(std::string* b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = static_cast<char>(v >> (8 * i));
}

// Column `index` of every CSV row but the header (0 is _deleted).
std::vector<std::string> column(const std::string& csv, size_t index) {
  std::vector<std::vector<std::string>> rows(1);
  std::string cell;
  bool quoted = false;
  for (size_t i = 0; i < csv.size(); ++i) {
    const char c = csv[i];
    if (quoted) {
      if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"') cell += csv[++i];
      else if (c == '"') quoted = false;
      else cell += c;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().push_back(cell), cell.clear();
    } else if (c == '\r' && i + 1 < csv.size() && csv[i + 1] == '\n') {
      rows.back().push_back(cell), cell.clear();
      rows.emplace_back();
      ++i;
    } else {
      cell += c;
    }
  }
  rows.pop_back();  // after the last CRLF
  std::vector<std::string> out;
  for (size_t r = 1; r < rows.size(); ++r) out.push_back(index < rows[r].size() ? rows[r][index] : "?");
  return out;
}

struct FixtureCase {
  const char* table;
  std::vector<const char*> companions;
  int verify_code;
  const char* version;
  int reindex_code;  // 2 for tables without a structural index to rebuild
};

class Fixture : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(Fixture, InfoDumpAndVerify) {
  const FixtureCase& c = GetParam();
  ScratchDir dir(std::string("fx_") + c.table);
  dir.copy_fixture(c.table);
  for (const char* f : c.companions) dir.copy_fixture(f);
  const std::string t = dir.path(c.table);

  Outcome info = run_tool({"info", t});
  EXPECT_EQ(info.code, 0) << info.err;
  EXPECT_TRUE(has(info.out, c.version)) << info.out;

  Outcome dump = run_tool({"dump", t});
  EXPECT_EQ(dump.code, 0) << dump.err;
  EXPECT_EQ(dump.out.rfind("_deleted,", 0), 0u);
  EXPECT_TRUE(has(dump.err, "code page 1252"));

  Outcome verify = run_tool({"verify", t});
  EXPECT_EQ(verify.code, c.verify_code) << verify.out << verify.err;

  Outcome reindex = run_tool({"reindex", t});
  EXPECT_EQ(reindex.code, c.reindex_code) << reindex.out << reindex.err;
  if (reindex.code == 0) {
    Outcome again = run_tool({"verify", t});
    EXPECT_EQ(again.code, 0) << again.out;
    EXPECT_EQ(run_tool({"dump", t}).out, dump.out);
  } else {
    EXPECT_TRUE(has(reindex.err, "no structural index")) << reindex.err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Samples, Fixture,
    ::testing::Values(
        FixtureCase{"calls.dbf", {"calls.CDX", "calls.FPT"}, 0, "0x30 (Visual FoxPro)", 0},
        FixtureCase{"contacts.dbf", {"contacts.CDX", "contacts.FPT"}, 0, "0x30", 0},
        FixtureCase{"setup.dbf", {"setup.CDX"}, 0, "0x30", 0},
        FixtureCase{"types.dbf", {"types.CDX"}, 0, "0x30", 0},
        FixtureCase{"FOXPRO-DB-TEST.DBC", {"FOXPRO-DB-TEST.DCT", "FOXPRO-DB-TEST.DCX"}, 0, "0x30", 0},
        FixtureCase{"dbase_03.dbf", {}, 0, "0x03", 2},
        FixtureCase{"dbase_83.dbf", {"dbase_83.dbt"}, 0, "0x83 (dBASE III with DBT memo)", 2},
        FixtureCase{"dbase_8b.dbf", {"dbase_8b.dbt"}, 0, "0x8B", 2},
        FixtureCase{"dbase_f5.dbf", {"dbase_f5.fpt"}, 0, "0xF5", 2},
        // Its header announces a structural index that was never shipped with it.
        FixtureCase{"dbase_30.dbf", {"dbase_30.fpt"}, 1, "0x30", 2}),
    [](const auto& p) {
      std::string n = p.param.table;
      for (char& ch : n) if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

TEST(Errors, MissingFileNotATableAndUnknownTag) {
  ScratchDir dir("errors");
  dir.copy_fixture("contacts.dbf");
  dir.copy_fixture("contacts.CDX");
  dir.copy_fixture("contacts.FPT");
  write_file(dir.path("notes.txt"), "this is not a table\n");
  for (const char* cmd : {"info", "dump", "verify", "reindex"}) {
    Outcome missing = run_tool({cmd, dir.path("nothing.dbf")});
    EXPECT_EQ(missing.code, 2) << cmd;
    EXPECT_TRUE(has(missing.err, "nothing.dbf")) << missing.err;
    Outcome text = run_tool({cmd, dir.path("notes.txt")});
    EXPECT_EQ(text.code, 2) << cmd;
    EXPECT_FALSE(text.err.empty()) << cmd;
  }
  Outcome tag = run_tool({"dump", dir.path("contacts.dbf"), "--tag", "NOSUCH"});
  EXPECT_EQ(tag.code, 2);
  EXPECT_TRUE(has(tag.err, "no tag NOSUCH"));
  EXPECT_TRUE(tag.out.empty());
}

TEST(Dump, TagOrder) {
  ScratchDir dir("dump_order");
  dir.copy_fixture("contacts.dbf");
  dir.copy_fixture("contacts.CDX");
  dir.copy_fixture("contacts.FPT");
  Outcome by_id = run_tool({"dump", dir.path("contacts.dbf"), "--tag", "contact_id"});
  Outcome by_type = run_tool({"dump", dir.path("contacts.dbf"), "--tag", "TYPE_ID"});
  ASSERT_EQ(by_id.code, 0) << by_id.err;
  EXPECT_EQ(column(by_id.out, 1), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
  // Contact types 1, 1, 1, 2, 2: records 2, 4, 5, then 1, 3.
  EXPECT_EQ(column(by_type.out, 1), (std::vector<std::string>{"2", "4", "5", "1", "3"}));
}

// Damaged copies of a sample table: what verify says, and whether reindex mends it.
struct Damage {
  const char* name;
  std::function<void(ScratchDir&)> harm;
  const char* verify_says;
  int reindex_code;
  bool mended;
};

std::string root_of_first_tag(const std::string& bag_path, uint32_t* root) {
  std::unique_ptr<cdx::Bag> bag;
  if (!dbfcheck::open_bag(bag_path, &bag).ok()) return "";
  *root = bag->tags().front()->header().root;
  return bag->tags().front()->name();
}

void flip_in_root(ScratchDir& d, size_t at, uint8_t mask) {
  uint32_t root = 0;
  root_of_first_tag(d.path("calls.CDX"), &root);
  std::string b = read_file(d.path("calls.CDX"));
  b[root + at] = static_cast<char>(b[root + at] ^ mask);
  write_file(d.path("calls.CDX"), b);
}

const Damage kDamages[] = {
    {"entry_of_a_leaf", [](ScratchDir& d) { flip_in_root(d, 24, 0x01); }, "entry for record", 0, true},
    {"key_count_of_a_leaf", [](ScratchDir& d) { flip_in_root(d, 2, 0x40); }, "tag CALL_ID: damaged index page", 0, true},
    {"memo_pointer_past_the_end",
     [](ScratchDir& d) {
       dbfcheck::HeaderFacts f;
       dbfcheck::read_header_facts(d.path("calls.dbf"), &f);
       std::string b = read_file(d.path("calls.dbf"));
       const dbf::FieldDesc* notes = nullptr;
       for (const auto& fd : f.header.fields) if (fd.name == "NOTES") notes = &fd;
       put_le32(&b, f.header.header_length + f.header.record_length * 2u + notes->offset, 0x00FFFFFF);
       write_file(d.path("calls.dbf"), b);
     },
     "record 3, field NOTES: memo block 16777215", 0, false},
    {"record_count_larger_than_the_file",
     [](ScratchDir& d) {
       std::string b = read_file(d.path("calls.dbf"));
       put_le32(&b, 4, le32(b, 4) + 5);
       write_file(d.path("calls.dbf"), b);
     },
     "record count 21, but the file", 2, false},
    {"truncated_table",
     [](ScratchDir& d) {
       std::string b = read_file(d.path("calls.dbf"));
       write_file(d.path("calls.dbf"), b.substr(0, b.size() - 400));
     },
     "holds only 14 whole record(s)", 2, false},
    {"memo_file_missing", [](ScratchDir& d) { std::filesystem::remove(d.path("calls.FPT")); },
     "cannot open the memo file", 2, false},
    {"deleted_flag",
     [](ScratchDir& d) {
       std::string b = read_file(d.path("calls.dbf"));
       b[488 + 283 * 4] = 'X';
       write_file(d.path("calls.dbf"), b);
     },
     "record 5: deleted flag is 0x58", 0, false},
};

// Each tag of a bag as "NAME key for unique descending options".
std::vector<std::string> definitions(const std::string& bag_path) {
  std::unique_ptr<cdx::Bag> bag;
  std::vector<std::string> out;
  if (!dbfcheck::open_bag(bag_path, &bag).ok()) return out;
  for (const auto& d : dbfcheck::tag_definitions(*bag))
    out.push_back(d.spec.name + " " + d.spec.key_expr + " " + d.spec.for_expr + " " + std::to_string(d.spec.unique) +
                  " " + std::to_string(d.spec.descending) + " " + std::to_string(d.options));
  return out;
}

class Damaged : public ::testing::TestWithParam<Damage> {};

TEST_P(Damaged, VerifyNamesItAndReindexMendsWhatItCan) {
  const Damage& c = GetParam();
  ScratchDir dir(std::string("damage_") + c.name);
  for (const char* f : {"calls.dbf", "calls.CDX", "calls.FPT"}) dir.copy_fixture(f);
  c.harm(dir);
  const std::string t = dir.path("calls.dbf");

  Outcome before = run_tool({"verify", t});
  EXPECT_EQ(before.code, 1) << before.out << before.err;
  EXPECT_TRUE(has(before.out, c.verify_says)) << before.out;

  Outcome reindex = run_tool({"reindex", t});
  EXPECT_EQ(reindex.code, c.reindex_code) << reindex.out << reindex.err;
  if (c.reindex_code) {
    EXPECT_FALSE(reindex.err.empty());
  }

  Outcome after = run_tool({"verify", t});
  EXPECT_EQ(after.code, c.mended ? 0 : 1) << after.out;
  if (c.reindex_code == 0) {
    // The rebuilt tags keep their definitions, the candidate-key mark (0x04) included.
    const auto before_tags = definitions(std::string(FIXTURE_DIR) + "/calls.CDX");
    const auto after_tags = definitions(dir.path("calls.CDX"));
    EXPECT_EQ(after_tags, before_tags);
    EXPECT_EQ(before_tags.front().substr(0, 16), "CALL_ID call_id ");
  }
}

INSTANTIATE_TEST_SUITE_P(Copies, Damaged, ::testing::ValuesIn(kDamages),
                         [](const auto& p) { return std::string(p.param.name); });

// A table and bag the engine writes: four records, one deleted, two of one name.
class EngineTable : public ::testing::Test {
 protected:
  EngineTable() : dir_("engine_table") {}

  void SetUp() override {
    dbfcheck::detach_index_upkeep();
    std::vector<dbf::FieldDesc> fields(4);
    fields[0].name = "NAME", fields[0].type = dbf::FieldType::Character, fields[0].length = 10;
    fields[1].name = "AMOUNT", fields[1].type = dbf::FieldType::Numeric, fields[1].length = 8, fields[1].decimals = 2;
    fields[2].name = "BORN", fields[2].type = dbf::FieldType::Date;
    fields[3].name = "NOTE", fields[3].type = dbf::FieldType::Memo;
    ace::table::CreateOptions co;
    co.structural_cdx = true;
    ace::table::OpenOptions oo;
    oo.exclusive = true;
    std::unique_ptr<dbfcheck::Table> t;
    ASSERT_TRUE(dbfcheck::Table::create(table(), fields, co, oo, &t).ok());
    append(*t, "Ca\xA4o", 12.5, 1997, "first, with \"quotes\"", false);
    append(*t, "berta", 700, 1980, "", true);
    append(*t, "Ca\xA4o", -3, 2001, "line one\r\nline two", false);
    append(*t, "abel", 0.25, 1964, "", false);
    t.reset();

    // Tags defined but empty, as a bag whose keys were lost.
    std::unique_ptr<ace::io::File> f;
    ASSERT_TRUE(ace::io::open_file(dir_.path("people.cdx"), ace::io::Access::ReadWrite, ace::io::Share::Exclusive,
                                   ace::io::Disposition::CreateAlways, &f).ok());
    std::unique_ptr<cdx::Bag> bag;
    ASSERT_TRUE(cdx::Bag::create(std::move(f), true, &bag).ok());
    add_tag(*bag, "NAME", "UPPER(NAME)", "", 10, cdx::KeyKind::Character, false, false);
    add_tag(*bag, "AMOUNT", "AMOUNT", "", 8, cdx::KeyKind::Binary, false, true);
    add_tag(*bag, "LIVE", "BORN", "!DELETED()", 8, cdx::KeyKind::Binary, false, false);
    add_tag(*bag, "UNAME", "NAME", "", 10, cdx::KeyKind::Character, true, false);
  }

  static void append(dbfcheck::Table& t, const std::string& name, double amount, int year, const std::string& note,
                     bool deleted) {
    const dbf::TableHeader& h = t.header();
    std::string rec = dbf::blank_record(h);
    dbf::put_text(h, &rec, h.fields[0], name);
    dbf::put_number(h, &rec, h.fields[1], amount);
    dbf::put_julian(h, &rec, h.fields[2], dbf::julian_from_ymd(year, 6, 1));
    if (!note.empty()) {
      uint32_t block = 0;
      ASSERT_TRUE(t.write_memo(note, 0, &block).ok());
      dbf::put_memo_block(h, &rec, h.fields[3], block);
    }
    if (deleted) rec[0] = static_cast<char>(dbf::kDeletedFlag);
    uint32_t recno = 0;
    ASSERT_TRUE(t.append(rec, &recno).ok());
  }

  static void add_tag(cdx::Bag& bag, const char* name, const char* key, const char* for_expr, int len,
                      cdx::KeyKind kind, bool unique, bool descending) {
    cdx::TagSpec s;
    s.name = name, s.key_expr = key, s.for_expr = for_expr, s.key_len = len, s.kind = kind;
    s.unique = unique, s.descending = descending;
    cdx::Tag* tag = nullptr;
    ASSERT_TRUE(bag.create_tag(s, cdx::KeySet{}, &tag).ok());
  }

  std::string table() const { return dir_.path("people.dbf"); }

  ScratchDir dir_;
};

TEST_F(EngineTable, EmptyTagsAreFoundOutAndRebuilt) {
  Outcome before = run_tool({"verify", table()});
  EXPECT_EQ(before.code, 1);
  EXPECT_TRUE(has(before.out, "tag NAME: record 1 is missing")) << before.out;
  EXPECT_FALSE(has(before.out, "tag LIVE: record 2 is missing")) << "the FOR condition leaves it out";

  Outcome reindex = run_tool({"reindex", table()});
  ASSERT_EQ(reindex.code, 0) << reindex.err;
  EXPECT_TRUE(has(reindex.out, "rebuilt 4 tag(s) over 4 record(s)"));
  Outcome after = run_tool({"verify", table()});
  EXPECT_EQ(after.code, 0) << after.out;

  Outcome info = run_tool({"info", table()});
  EXPECT_TRUE(has(info.out, "key        UPPER(NAME)"));
  EXPECT_TRUE(has(info.out, "for        !DELETED()"));

  // Descending, FOR and unique tags each give their own selection and order.
  EXPECT_EQ(column(run_tool({"dump", table(), "--tag", "AMOUNT"}).out, 2),
            (std::vector<std::string>{"700.00", "12.50", "0.25", "-3.00"}));
  EXPECT_EQ(column(run_tool({"dump", table(), "--tag", "LIVE"}).out, 3),
            (std::vector<std::string>{"1964-06-01", "1997-06-01", "2001-06-01"}));
  const std::string unique = run_tool({"dump", table(), "--tag", "UNAME"}).out;
  EXPECT_EQ(column(unique, 1), (std::vector<std::string>{"Ca\xC2\xA4o", "abel", "berta"}));
  EXPECT_EQ(column(unique, 0), (std::vector<std::string>{"", "", "*"}));
}

TEST_F(EngineTable, DumpMarksDeletedQuotesMemosAndConvertsOemText) {
  Outcome ansi = run_tool({"dump", table()});
  ASSERT_EQ(ansi.code, 0) << ansi.err;
  EXPECT_EQ(ansi.out,
            "_deleted,NAME,AMOUNT,BORN,NOTE\r\n"
            ",Ca\xC2\xA4o,12.50,1997-06-01,\"first, with \"\"quotes\"\"\"\r\n"
            "*,berta,700.00,1980-06-01,\r\n"
            ",Ca\xC2\xA4o,-3.00,2001-06-01,\"line one\r\nline two\"\r\n"
            ",abel,0.25,1964-06-01,\r\n");
  Outcome oem = run_tool({"dump", table(), "--oem"});
  EXPECT_TRUE(has(oem.out, ",Ca\xC3\xB1o,12.50,"));
  EXPECT_TRUE(has(oem.err, "code page 850"));
}

TEST_F(EngineTable, RecordsAddedBehindTheIndexAreMissedUntilReindex) {
  ASSERT_EQ(run_tool({"reindex", table()}).code, 0);
  {
    std::unique_ptr<dbfcheck::Table> t;
    ASSERT_TRUE(dbfcheck::open_table(table(), true, false, &t).ok());
    append(*t, "zoe", 1, 2010, "late", false);
  }
  Outcome stale = run_tool({"verify", table()});
  EXPECT_EQ(stale.code, 1);
  for (const char* tag : {"NAME", "AMOUNT", "LIVE", "UNAME"})
    EXPECT_TRUE(has(stale.out, std::string("tag ") + tag + ": record 5 is missing")) << stale.out;
  ASSERT_EQ(run_tool({"reindex", table()}).code, 0);
  EXPECT_EQ(run_tool({"verify", table()}).code, 0);
}

TEST_F(EngineTable, TagsTheEngineKeysUpToDateVerify) {
  // Tags built and then maintained by the engine's own order layer.
  ASSERT_EQ(run_tool({"reindex", table()}).code, 0);
  ace::order::register_order_layer();
  {
    std::unique_ptr<dbfcheck::Table> t;
    ASSERT_TRUE(dbfcheck::open_table(table(), true, false, &t).ok());
    auto& orders = ace::order::orders_of(*t);
    size_t n = 0;
    ASSERT_TRUE(orders.create_order("", {"BYDATE", "DTOS(BORN)+NAME", "", false, false}, &n).ok());
    ASSERT_TRUE(orders.create_order("", {"BIG", "AMOUNT", "AMOUNT > 1", false, true}, &n).ok());
    append(*t, "dora", 99, 1990, "kept up", false);
    append(*t, "Ca\xA4o", 5, 1985, "", true);
  }
  dbfcheck::detach_index_upkeep();
  EXPECT_TRUE(has(run_tool({"info", table()}).out, "key        DTOS(BORN)+NAME"));
  Outcome v = run_tool({"verify", table()});
  EXPECT_EQ(v.code, 0) << v.out;
  EXPECT_EQ(column(run_tool({"dump", table(), "--tag", "BIG"}).out, 2),
            (std::vector<std::string>{"700.00", "99.00", "12.50", "5.00"}));
}

TEST_F(EngineTable, ReindexRefusesWhileAnotherHolderHasTheTableOpen) {
  ASSERT_EQ(run_tool({"reindex", table()}).code, 0);
  const std::string bag_before = read_file(dir_.path("people.cdx"));
  std::unique_ptr<dbfcheck::Table> other;
  ASSERT_TRUE(dbfcheck::open_table(table(), false, false, &other).ok());

  Outcome refused = run_tool({"reindex", table()});
  EXPECT_EQ(refused.code, 2);
  EXPECT_TRUE(has(refused.err, "another program has the table open")) << refused.err;
  EXPECT_EQ(read_file(dir_.path("people.cdx")), bag_before);
  // verify shares the table with the other holder.
  Outcome shared = run_tool({"verify", table()});
  EXPECT_EQ(shared.code, 0) << shared.out << shared.err;
  other.reset();

  // A holder of an exclusive open keeps every command out, with an error.
  ASSERT_TRUE(dbfcheck::open_table(table(), true, false, &other).ok());
  for (const char* cmd : {"verify", "dump", "reindex"}) {
    Outcome kept_out = run_tool({cmd, table()});
    EXPECT_EQ(kept_out.code, 2) << cmd << kept_out.out;
    EXPECT_FALSE(kept_out.err.empty()) << cmd;
  }
}

}  // namespace
