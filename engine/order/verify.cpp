#include "order/verify.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "order/header_lock.h"
#include "order/table_orders.h"
#include "table/table.h"

namespace ace::order {

namespace {

// Damaged pages are named in the index layer's message as "offset 0x...".
uint32_t page_in(const std::string& message) {
  size_t at = message.find("offset 0x");
  if (at == std::string::npos) return 0;
  return static_cast<uint32_t>(std::strtoul(message.c_str() + at + 9, nullptr, 16));
}

std::string padded(std::string key, const cdx::Tag& tag) {
  key.resize(static_cast<size_t>(tag.key_len()), tag.filler());
  return key;
}

struct Expected {
  bool included = false;
  std::string key;
};

class Checker {
 public:
  Checker(TableOrders& orders, std::vector<VerifyProblem>* out) : orders_(orders), out_(out) {}

  Status run() {
    table::Table& t = orders_.table();
    Status s = t.record_count(&count_);
    if (!s.ok()) return s;
    for (size_t n = 1; n <= orders_.order_count(); ++n)
      if (!(s = check(*orders_.order(n))).ok()) return s;
    return Status::success();
  }

 private:
  void add(const Order& o, uint32_t recno, uint32_t page, std::string text) {
    out_->push_back({o.bag->path(), o.tag->name(), recno, page, std::move(text)});
  }

  Status expected(Order& o, std::vector<Expected>* want) {
    table::Table& t = orders_.table();
    want->assign(count_ + 2, Expected{});
    std::string bytes;
    for (uint32_t r = 1; r <= count_; ++r) {
      Status s = t.read_record(r, &bytes);
      if (!s.ok()) return s;
      Expected& e = (*want)[r];
      if (!(s = orders_.key_of(o, r, bytes, &e.key, &e.included)).ok()) return s;
      e.key = padded(std::move(e.key), *o.tag);
    }
    // Keys of a record still being appended (or of one whose appender was killed
    // before counting it) are not wrong: the next append takes them out again.
    std::string left = orders_.leftover(count_ + 1);
    if (!left.empty()) {
      Expected& e = (*want)[count_ + 1];
      if (orders_.key_of(o, count_ + 1, left, &e.key, &e.included).ok()) e.key = padded(std::move(e.key), *o.tag);
      else e = Expected{};
    }
    return Status::success();
  }

  Status check(Order& o) {
    if (!o.maintainable) {
      add(o, 0, 0, "cannot be evaluated: " + o.problem);
      return Status::success();
    }
    cdx::Status cs = o.tag->verify();
    if (!cs.ok()) {
      add(o, 0, page_in(cs.message), cs.message);
      return Status::success();
    }
    std::vector<Expected> want;
    Status s = expected(o, &want);
    if (!s.ok()) return s;

    // A unique tag holds the first record of each key only.
    std::map<std::string, uint32_t> first_of;
    if (o.tag->unique())
      for (uint32_t r = 1; r <= count_; ++r)
        if (want[r].included) first_of.emplace(want[r].key, r);

    std::vector<bool> seen(count_ + 2, false);
    cdx::Cursor c;
    cs = o.tag->first(&c);
    while (cs.ok() && c.valid) {
      const uint32_t r = c.recno;
      const std::string key = padded(c.key, *o.tag);
      if (r == 0 || r > count_ + 1 || (r == count_ + 1 && !(want[r].included && want[r].key == key))) {
        add(o, r, c.leaf, "entry for record " + std::to_string(r) + ", which the table does not have");
      } else if (r <= count_) {
        if (seen[r]) {
          add(o, r, c.leaf, "record appears more than once");
        } else if (!want[r].included) {
          add(o, r, c.leaf, "record does not satisfy the FOR condition but is in the tag");
        } else if (want[r].key != key) {
          add(o, r, c.leaf, "entry's key differs from the key expression on the record");
        } else if (o.tag->unique() && first_of[key] != r) {
          add(o, r, c.leaf, "record holds a unique key that record " + std::to_string(first_of[key]) + " has first");
        }
        seen[r] = true;
      }
      cs = o.tag->next(&c);
    }
    if (!cs.ok()) {
      add(o, 0, page_in(cs.message), cs.message);
      return Status::success();
    }
    for (uint32_t r = 1; r <= count_; ++r) {
      if (!want[r].included || seen[r]) continue;
      if (o.tag->unique() && first_of[want[r].key] != r) continue;
      add(o, r, 0, "record is missing from the tag");
    }
    return Status::success();
  }

  TableOrders& orders_;
  std::vector<VerifyProblem>* out_;
  uint32_t count_ = 0;
};

}  // namespace

Status verify_orders(TableOrders& orders, std::vector<VerifyProblem>* problems) {
  problems->clear();
  HeaderLock header(orders.table());
  Status s = header.acquire();
  if (!s.ok()) return s;
  // The header lock keeps every writer of the bags out; what they wrote before
  // is picked up here.
  if (!(s = orders.refresh()).ok()) return s;
  s = Checker(orders, problems).run();
  // The directory and free-page list of each bag, once its tags are known sound.
  if (s.ok() && problems->empty()) {
    std::vector<cdx::Bag*> bags;
    for (size_t n = 1; n <= orders.order_count(); ++n) {
      cdx::Bag* b = orders.order(n)->bag;
      if (std::find(bags.begin(), bags.end(), b) != bags.end()) continue;
      bags.push_back(b);
      cdx::Status cs = b->verify();
      if (!cs.ok()) problems->push_back({b->path(), "", 0, page_in(cs.message), cs.message});
    }
  }
  return s;
}

std::string describe(const VerifyProblem& p) {
  std::string line = p.file;
  if (!p.tag.empty()) line += " tag " + p.tag;
  if (p.recno) line += ": record " + std::to_string(p.recno);
  if (p.page) {
    char at[24];
    std::snprintf(at, sizeof at, ": page 0x%X", static_cast<unsigned>(p.page));
    line += at;
  }
  return line + ": " + p.text;
}

}  // namespace ace::order
