#include <cctype>

#include "dbf/record.h"
#include "table/index_maintainer.h"
#include "table/table.h"

namespace ace::table {

const dbf::TableHeader& RecordView::header() const { return table_.header(); }

bool RecordView::deleted() const { return dbf::is_deleted(bytes_); }

int RecordView::field_index(std::string_view upper_name) const {
  const auto& fields = header().fields;
  for (size_t i = 0; i < fields.size(); ++i) {
    const std::string& n = fields[i].name;
    if (n.size() != upper_name.size()) continue;
    bool same = true;
    for (size_t k = 0; k < n.size() && same; ++k)
      same = std::toupper(static_cast<unsigned char>(n[k])) == static_cast<unsigned char>(upper_name[k]);
    if (same) return static_cast<int>(i);
  }
  return -1;
}

const dbf::FieldDesc& RecordView::field(int index) const { return header().fields.at(static_cast<size_t>(index)); }

Status RecordView::memo(int index, std::string* out) const {
  const dbf::FieldDesc& f = field(index);
  if (!f.is_memo()) return Status::error(ACE_ERR_DATATYPE, table_.path(), "not a memo field");
  return table_.read_memo(dbf::memo_block(header(), bytes_, f), out);
}

namespace {
StructuralBagFactory& factory_slot() {
  static StructuralBagFactory f;
  return f;
}
}  // namespace

void register_structural_bag_factory(StructuralBagFactory factory) { factory_slot() = std::move(factory); }
const StructuralBagFactory& structural_bag_factory() { return factory_slot(); }

}  // namespace ace::table
