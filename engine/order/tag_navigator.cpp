#include "order/tag_navigator.h"

#include "dbf/record.h"
#include "engine_settings.h"
#include "table/table.h"

namespace ace::order {

TagNavigator::TagNavigator(table::Table& table, TableOrders& orders, size_t order_number)
    : table_(table), orders_(orders), number_(order_number) {
  Order* o = orders_.order(number_);
  bag_ = o ? o->bag : nullptr;
  name_ = o ? o->tag->name() : "";
}

Status TagNavigator::tag(Order** out) {
  // Other users' changes first: tags they dropped or added are bound again.
  Status s = orders_.refresh();
  if (!s.ok()) return s;
  *out = orders_.order(number_);
  if (!*out || (*out)->bag != bag_ || (*out)->tag->name() != name_) {
    *out = nullptr;
    for (size_t n = 1; n <= orders_.order_count() && !*out; ++n)
      if (orders_.order(n)->bag == bag_ && orders_.order(n)->tag->name() == name_) *out = orders_.order(n), number_ = n;
    at_ = cdx::Cursor{};
  }
  if (!*out) return Status::error(ACE_ERR_NO_ORDER, table_.path(), "the order's tag is gone");
  return Status::success();
}

Status TagNavigator::answer(const cdx::Status& s, uint32_t* recno, bool forward) {
  if (!s.ok()) return Status::error(ACE_ERR_INDEX, table_.path(), s.message);
  // Entries of records not yet counted belong to an append still under way
  // (or to one whose process died; the next append removes them).
  const uint32_t count = table_.known_record_count();
  cdx::Tag& t = *orders_.order(number_)->tag;
  while (at_.valid && (at_.recno == 0 || at_.recno > count)) {
    cdx::Status cs = forward ? t.next(&at_) : t.prev(&at_);
    if (!cs.ok()) return Status::error(ACE_ERR_INDEX, table_.path(), cs.message);
  }
  *recno = at_.valid ? at_.recno : 0;
  return Status::success();
}

Status TagNavigator::first(uint32_t* recno) {
  Order* o;
  Status s = tag(&o);
  if (!s.ok()) return s;
  return answer(o->tag->first(&at_), recno);
}

Status TagNavigator::last(uint32_t* recno) {
  Order* o;
  Status s = tag(&o);
  if (!s.ok()) return s;
  return answer(o->tag->last(&at_), recno, false);
}

Status TagNavigator::locate(uint32_t from, bool* exact) {
  Order* o;
  Status s = tag(&o);
  if (!s.ok()) return s;
  if (at_.valid && at_.recno == from) {
    *exact = true;  // the tag re-finds a stale cursor itself
    return Status::success();
  }
  if (!o->maintainable) return orders_.check_writable();
  std::string bytes, key;
  if (!(s = table_.read_record(from, &bytes)).ok()) return s;
  bool included;
  if (!(s = orders_.key_of(*o, from, bytes, &key, &included)).ok()) return s;
  cdx::Status cs = o->tag->seek_entry(key, from, &at_, exact);
  if (!cs.ok()) return Status::error(ACE_ERR_INDEX, o->bag->path(), cs.message);
  return Status::success();
}

// When `from` is not in the tag, at_ stands on the first entry above where it
// would be (in ascending key order), or past the end.
Status TagNavigator::next(uint32_t from, uint32_t* recno) {
  bool exact;
  Status s = locate(from, &exact);
  if (!s.ok()) return s;
  cdx::Tag& t = *orders_.order(number_)->tag;
  if (exact) return answer(t.next(&at_), recno);
  if (!t.descending()) return answer(cdx::Status::success(), recno);
  return answer(at_.valid ? t.next(&at_) : t.first(&at_), recno);
}

Status TagNavigator::previous(uint32_t from, uint32_t* recno) {
  bool exact;
  Status s = locate(from, &exact);
  if (!s.ok()) return s;
  cdx::Tag& t = *orders_.order(number_)->tag;
  if (exact) return answer(t.prev(&at_), recno, false);
  if (t.descending()) return answer(cdx::Status::success(), recno, false);
  return answer(at_.valid ? t.prev(&at_) : t.last(&at_), recno, false);
}

Status TagNavigator::seek(std::string_view key, uint32_t* recno, bool* found) {
  Order* o;
  Status s = tag(&o);
  if (!s.ok()) return s;
  bool hit = false;
  if (!(s = answer(o->tag->seek(key, &at_, &hit), recno, true)).ok()) return s;
  // Hidden deleted records are passed over; the one landed on is a hit only
  // when its key still starts with the key sought.
  std::string bytes;
  while (*recno != 0 && !settings().show_deleted) {
    if (!(s = table_.read_record(*recno, &bytes)).ok()) return s;
    if (!dbf::is_deleted(bytes)) break;
    if (!(s = answer(o->tag->next(&at_), recno, true)).ok()) return s;
  }
  *found = *recno != 0 && at_.key.size() >= key.size() && at_.key.compare(0, key.size(), key) == 0;
  return Status::success();
}

}  // namespace ace::order
