#include <cstdio>
#include <iomanip>

#include "commands.h"
#include "engine_access.h"
#include "exit_codes.h"
#include "header_names.h"

namespace dbfcheck {

namespace dbf = ace::dbf;

namespace {

std::string hex_byte(uint8_t b) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", b);
  return buf;
}

void line(std::ostream& out, const char* label, const std::string& value) {
  out << std::left << std::setw(15) << label << value << '\n';
}

void print_bag(std::ostream& out, const std::string& path, bool flagged) {
  if (!file_exists(path)) {
    line(out, "index", flagged ? "none: the header names a structural index, but " + path + " is missing"
                               : "none");
    return;
  }
  std::unique_ptr<ace::cdx::Bag> bag;
  ace::Status s = open_bag(path, &bag);
  if (!s.ok()) {
    line(out, "index", path + ": cannot be read: " + s.text);
    return;
  }
  line(out, "index", path + (flagged ? " (structural)" : " (structural, though the header flag is off)") + ", " +
                         std::to_string(bag->tags().size()) + " tag(s)");
  for (const auto& tag : bag->tags()) {
    out << "  tag " << tag->name() << "\n";
    out << "    key        " << tag->key_expr() << "\n";
    if (!tag->for_expr().empty()) out << "    for        " << tag->for_expr() << "\n";
    out << "    key length " << tag->key_len() << "\n";
    out << "    unique     " << (tag->unique() ? "yes" : "no") << "\n";
    out << "    descending " << (tag->descending() ? "yes" : "no") << "\n";
  }
}

}  // namespace

int run_info(const Invocation& inv, std::ostream& out, std::ostream& err) {
  HeaderFacts facts;
  ace::Status s = read_header_facts(inv.table, &facts);
  if (!s.ok()) {
    report_error(err, s);
    return kExitError;
  }
  const dbf::TableHeader& h = facts.header;
  char date[16];
  // Some writers store the year within the century: no table dates from before 1980.
  const int year = h.year < 80 ? 2000 + h.year : 1900 + h.year;
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, h.month, h.day);

  line(out, "table", inv.table);
  line(out, "version", hex_byte(h.version) + " (" + version_name(h.version) + ")");
  line(out, "last update", date);
  std::string count = std::to_string(h.record_count) + " (the file size implies " +
                      std::to_string(facts.records_in_file);
  if (facts.stray_bytes) count += " and " + std::to_string(facts.stray_bytes) + " byte(s) more";
  if (facts.end_mark) count += ", then the end-of-file mark";
  line(out, "records", count + ")");
  line(out, "header length", std::to_string(h.header_length));
  line(out, "record length", std::to_string(h.record_length));
  line(out, "file size", std::to_string(facts.file_size));
  const bool dbase4 = h.version == dbf::kDbase4Memo || h.version == dbf::kDbase4Sql || h.version == dbf::kDbase4SqlMemo;
  line(out, "flags", hex_byte(h.flags) + " (" + table_flags_text(h.flags, dbase4) + ")");
  line(out, "code page", hex_byte(h.codepage) + " (" + codepage_name(h.codepage) + ")");
  line(out, "fields", std::to_string(h.fields.size()));
  out << "  " << std::left << std::setw(11) << "name" << "type  length  decimals\n";
  for (const auto& f : h.fields) {
    out << "  " << std::left << std::setw(11) << f.name << std::setw(6) << static_cast<char>(f.type)
        << std::setw(8) << f.length << static_cast<int>(f.decimals);
    if (f.is_system()) out << "  (system)";
    else if (f.flags & dbf::kFieldNullable) out << "  (nullable)";
    out << '\n';
  }

  const std::string memo = memo_path(inv.table, h);
  if (memo.empty()) {
    line(out, "memo file", "none");
  } else {
    MemoFacts mf;
    s = read_memo_facts(memo, h.memo_kind(), &mf);
    if (s.ok())
      line(out, "memo file", memo + ", block size " + std::to_string(mf.block_size) + ", next free block " +
                                 std::to_string(mf.next_free) + ", " + std::to_string(mf.file_size) + " bytes");
    else
      line(out, "memo file", memo + ": cannot be read: " + s.text);
  }

  const bool fox_family = !dbase4;
  print_bag(out, bag_path(inv.table), fox_family && (h.flags & dbf::kHasStructuralCdx));
  return kExitOk;
}

}  // namespace dbfcheck
