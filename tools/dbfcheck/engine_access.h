// Everything the tool takes from the table engine, in one place: opening tables
// and their companion files, reading a header that the rest of the file may not
// match, the structural bag, and keys evaluated the way a tag computes them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cdx/bag.h"
#include "dbf/header.h"
#include "dbf/record.h"
#include "expr/expr.h"
#include "status.h"
#include "table/table.h"

namespace dbfcheck {

using ace::Status;
using ace::table::Table;

// Tables open without the engine's index upkeep: the tool reads and rebuilds
// bags itself and must not fail an open because a bag is damaged.
void detach_index_upkeep();

Status open_table(const std::string& path, bool exclusive, bool read_only, std::unique_ptr<Table>* out);

// What the file says about itself, read without trusting the record count: the
// header as parsed and the file's size. A header that cannot be parsed at all
// fails.
struct HeaderFacts {
  ace::dbf::TableHeader header;
  uint64_t file_size = 0;
  // Records the bytes after the header hold, whole ones only, and the bytes left over.
  uint64_t records_in_file = 0;
  uint64_t stray_bytes = 0;
  bool end_mark = false;  // a 0x1A after the last record
};
Status read_header_facts(const std::string& path, HeaderFacts* out);

// Companion files: the memo file of the table's kind ("" when it has none) and
// the structural bag (named even when it does not exist).
std::string memo_path(const std::string& table_path, const ace::dbf::TableHeader& h);
std::string bag_path(const std::string& table_path);
bool file_exists(const std::string& path);

struct MemoFacts {
  uint32_t block_size = 0;
  uint32_t next_free = 0;
  uint64_t file_size = 0;
};
Status read_memo_facts(const std::string& path, ace::dbf::MemoKind kind, MemoFacts* out);

// The bag at `path`, read-only and shared, so a working program is not disturbed.
Status open_bag(const std::string& path, std::unique_ptr<ace::cdx::Bag>* out);

// A tag's expressions compiled over the table: the key each record should have
// and whether the record belongs in the tag.
class TagKeys {
 public:
  static Status compile(const Table& table, const std::string& key_expr, const std::string& for_expr,
                        std::unique_ptr<TagKeys>* out);
  ace::cdx::KeyKind kind() const;
  int key_len() const { return spec_.length; }
  // *key is the key of record `recno` (whose bytes are `rec`); *in is false when
  // the FOR condition leaves the record out.
  Status evaluate(const Table& table, uint32_t recno, const std::string& rec, std::string* key, bool* in);

 private:
  TagKeys() = default;
  std::optional<ace::expr::Program> key_;
  std::optional<ace::expr::Program> for_;
  ace::expr::KeySpec spec_;
  ace::expr::EvalSettings settings_;
  std::string alias_;
};

// A cdx outcome as an engine status, for one way of reporting.
Status from_cdx(const ace::cdx::Status& s, const std::string& file);

// Takes the table's header lock, trying for a few seconds while appenders hold it.
Status lock_header(Table& table);
void unlock_header(Table& table);

// A tag as its bag defines it: what a build needs, and the header's option bits,
// some of which (a candidate key's) a build does not set by itself.
struct TagDefinition {
  ace::cdx::TagSpec spec;
  uint8_t options = 0;
};
std::vector<TagDefinition> tag_definitions(const ace::cdx::Bag& bag);

// Writes a new structural bag for `table` at `path` from `tags`, building every
// tag from the table's records. The old bag is replaced only once the new one is
// complete.
Status rebuild_bag(Table& table, const std::string& path, const std::vector<TagDefinition>& tags);

}  // namespace dbfcheck
