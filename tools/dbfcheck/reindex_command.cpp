#include "commands.h"
#include "engine_access.h"
#include "exit_codes.h"

namespace dbfcheck {

namespace cdx = ace::cdx;

namespace {

bool refused_by_sharing(const ace::Status& s) {
  // 32: sharing violation, 33: lock violation, as the file layer numbers them.
  return s.code == ACE_ERR_OPEN && (s.os_code == 32 || s.os_code == 33);
}

}  // namespace

int run_reindex(const Invocation& inv, std::ostream& out, std::ostream& err) {
  std::unique_ptr<Table> table;
  ace::Status s = open_table(inv.table, true, false, &table);
  if (refused_by_sharing(s)) {
    err << "dbfcheck: " << inv.table
        << ": another program has the table open; reindex needs it alone. Close the table there and try again.\n";
    return kExitError;
  }
  if (!s.ok()) {
    report_error(err, s);
    return kExitError;
  }
  const std::string path = bag_path(inv.table);
  if (!file_exists(path)) {
    err << "dbfcheck: " << inv.table << ": there is no structural index (" << path
        << ") whose tags could be rebuilt\n";
    return kExitError;
  }
  std::vector<TagDefinition> tags;
  {
    std::unique_ptr<cdx::Bag> bag;
    s = open_bag(path, &bag);
    if (!s.ok()) {
      err << "dbfcheck: " << path << ": the tag definitions cannot be read, so the index cannot be rebuilt: " << s.text
          << '\n';
      return kExitError;
    }
    tags = tag_definitions(*bag);
  }
  s = rebuild_bag(*table, path, tags);
  if (!s.ok()) {
    report_error(err, s);
    return kExitError;
  }
  uint32_t count = 0;
  table->record_count(&count);
  out << path << ": rebuilt " << tags.size() << " tag(s) over " << count << " record(s)";
  for (size_t i = 0; i < tags.size(); ++i) out << (i ? ", " : ": ") << tags[i].spec.name;
  out << '\n';
  return kExitOk;
}

}  // namespace dbfcheck
