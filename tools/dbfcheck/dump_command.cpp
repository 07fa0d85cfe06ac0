#include "commands.h"
#include "csv_writer.h"
#include "engine_access.h"
#include "exit_codes.h"
#include "field_text.h"
#include "text_encoding.h"

namespace dbfcheck {

namespace dbf = ace::dbf;
namespace cdx = ace::cdx;

namespace {

// Record numbers in the order of `tag_name`.
ace::Status tag_order(const Table& table, const std::string& tag_name, std::vector<uint32_t>* out) {
  const std::string path = bag_path(table.path());
  if (!file_exists(path)) {
    return ace::Status::error(ACE_ERR_INDEX, table.path(), "the table has no structural index, so no tag " + tag_name);
  }
  std::unique_ptr<cdx::Bag> bag;
  ace::Status s = open_bag(path, &bag);
  if (!s.ok()) return s;
  cdx::Tag* tag = bag->find(tag_name);
  if (!tag) {
    return ace::Status::error(ACE_ERR_INDEX, path, "no tag " + tag_name);
  }
  std::unique_ptr<TagKeys> keys;
  s = TagKeys::compile(table, tag->key_expr(), tag->for_expr(), &keys);
  if (!s.ok()) return s;
  tag->set_kind(keys->kind());
  cdx::Cursor c;
  cdx::Status cs;
  for (cs = tag->first(&c); cs.ok() && c.valid; cs = tag->next(&c)) out->push_back(c.recno);
  return from_cdx(cs, path);
}

}  // namespace

int run_dump(const Invocation& inv, std::ostream& out, std::ostream& err) {
  std::unique_ptr<Table> table;
  ace::Status s = open_table(inv.table, false, true, &table);
  if (!s.ok()) {
    report_error(err, s);
    return kExitError;
  }
  uint32_t count = 0;
  s = table->record_count(&count);
  if (!s.ok()) {
    report_error(err, s);
    return kExitError;
  }
  std::vector<uint32_t> order;
  if (!inv.tag.empty()) {
    s = tag_order(*table, inv.tag, &order);
    if (!s.ok()) {
      report_error(err, s);
      return kExitError;
    }
  }
  err << "dbfcheck: text read as code page " << (inv.oem ? "850 (OEM), converted to 1252, then UTF-8" : "1252 (ANSI), written as UTF-8")
      << "\n";

  const dbf::TableHeader& h = table->header();
  std::vector<const dbf::FieldDesc*> fields;
  std::vector<std::string> row{"_deleted"};
  for (const auto& f : h.fields) {
    if (f.is_system()) continue;
    fields.push_back(&f);
    row.push_back(utf8_from_table_text(f.name, false));
  }
  write_csv_row(out, row);

  int code = kExitOk;
  std::string rec;
  const size_t n = inv.tag.empty() ? count : order.size();
  for (size_t i = 0; i < n; ++i) {
    const uint32_t recno = inv.tag.empty() ? static_cast<uint32_t>(i + 1) : order[i];
    s = table->read_record(recno, &rec);
    if (!s.ok()) {
      err << "dbfcheck: record " << recno << ": " << s.text << '\n';
      code = kExitProblems;
      continue;
    }
    row.assign(1, dbf::is_deleted(rec) ? "*" : "");
    for (const dbf::FieldDesc* f : fields) {
      std::string memo_error;
      std::string v = field_text(*table, rec, *f, &memo_error);
      if (!memo_error.empty()) {
        err << "dbfcheck: record " << recno << ", field " << f->name << ": " << memo_error << '\n';
        code = kExitProblems;
      }
      row.push_back(is_text_type(*f) ? utf8_from_table_text(v, inv.oem && !is_untranslated(*f)) : v);
    }
    write_csv_row(out, row);
  }
  return code;
}

}  // namespace dbfcheck
