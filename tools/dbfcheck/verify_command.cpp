#include "commands.h"
#include "engine_access.h"
#include "exit_codes.h"
#include "problem_list.h"
#include "tag_check.h"

namespace dbfcheck {

namespace dbf = ace::dbf;

namespace {

std::string hex_byte(uint8_t b) {
  static const char d[] = "0123456789ABCDEF";
  return std::string("0x") + d[b >> 4] + d[b & 0xF];
}

// Header against file size. False when the records the header promises are not
// all there, since the engine then will not read the table. `tell_extra`: say so
// when bytes follow the counted records.
bool check_size(const std::string& path, const HeaderFacts& f, bool tell_extra, ProblemList* p) {
  const dbf::TableHeader& h = f.header;
  if (f.records_in_file < h.record_count) {
    p->add(path, "header: record count " + std::to_string(h.record_count) + ", but the file (" +
                     std::to_string(f.file_size) + " bytes) holds only " + std::to_string(f.records_in_file) +
                     " whole record(s): truncated, or the count is too large");
    return false;
  }
  const uint64_t end = uint64_t(h.header_length) + uint64_t(h.record_count) * h.record_length;
  const uint64_t extra = f.file_size - end - (f.end_mark ? 1 : 0);
  // Bytes past the counted records are what an append cut short leaves; the
  // counted records are whole, so this is told but is no damage.
  if (extra && tell_extra)
    p->note(path, std::to_string(extra) + " byte(s) after the last counted record (at offset " + std::to_string(end) + ")");
  return true;
}

void check_records(Table& table, uint32_t count, ProblemList* p) {
  const dbf::TableHeader& h = table.header();
  std::string rec, memo;
  for (uint32_t r = 1; r <= count; ++r) {
    ace::Status s = table.read_record(r, &rec);
    if (!s.ok()) {
      p->add(table.path(), "record " + std::to_string(r) + ": " + s.text);
      continue;
    }
    const auto flag = static_cast<uint8_t>(rec[0]);
    if (flag != dbf::kLiveFlag && flag != dbf::kDeletedFlag)
      p->add(table.path(), "record " + std::to_string(r) + ": deleted flag is " + hex_byte(flag) +
                               ", neither 0x20 (live) nor 0x2A (deleted)");
    for (const auto& f : h.fields) {
      if (!f.is_memo() || dbf::is_null(h, rec, f)) continue;
      const uint32_t block = dbf::memo_block(h, rec, f);
      s = table.read_memo(block, &memo);
      if (!s.ok())
        p->add(s.file.empty() ? table.path() : s.file, "record " + std::to_string(r) + ", field " + f.name +
                                                           ": memo block " + std::to_string(block) + ": " + s.text);
    }
  }
}

}  // namespace

int run_verify(const Invocation& inv, std::ostream& out, std::ostream& err) {
  HeaderFacts facts;
  ace::Status s = read_header_facts(inv.table, &facts);
  if (!s.ok()) {
    report_error(err, s);
    return kExitError;
  }
  ProblemList problems(out);

  std::unique_ptr<Table> table;
  if (check_size(inv.table, facts, false, &problems)) {
    s = open_table(inv.table, false, true, &table);
    // A damaged or missing companion file is a finding; a table that cannot be
    // opened at all (held exclusively elsewhere, no access) is an error.
    if (!s.ok() && s.code != ACE_ERR_CORRUPT && (s.file.empty() || s.file == inv.table)) {
      report_error(err, s);
      return kExitError;
    }
    if (!s.ok()) {
      problems.add(s.file.empty() ? inv.table : s.file, s.text);
      table.reset();
    }
  }
  if (table) {
    s = lock_header(*table);
    if (!s.ok()) {
      report_error(err, s);
      return kExitError;
    }
    // Everything below sees one state of the table: appenders wait for the lock.
    uint32_t count = 0;
    s = table->record_count(&count);
    if (!s.ok()) {
      problems.add(inv.table, s.text);
    } else {
      HeaderFacts now;
      if (read_header_facts(inv.table, &now).ok()) check_size(inv.table, now, true, &problems);
      check_records(*table, count, &problems);
      check_structural_bag(*table, count, &problems);
    }
    unlock_header(*table);
  }

  if (problems.count() == 0) {
    out << inv.table << ": no problems found\n";
    return kExitOk;
  }
  out << inv.table << ": " << problems.count() << " problem(s) found\n";
  return kExitProblems;
}

}  // namespace dbfcheck
