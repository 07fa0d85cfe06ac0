#include "fake_driver.h"

#include <algorithm>

namespace tbltest {
namespace {

std::string upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

plat::Error driver_error(int gen, const char* description, int os = 0) {
  plat::Error e;
  e.gen_code = gen;
  e.subsystem = "FAKE";
  e.description = description;
  e.os_code = os;
  return e;
}

Value blank_value(const FakeField& f) {
  switch (f.type) {
    case 'C': return Value::character(std::string(static_cast<size_t>(f.width), ' '));
    case 'M': return Value::memo("");
    case 'N': return Value::numeric(0, f.width, f.decimals);
    case 'D': return Value::date(0);
    default: return Value::logical(false);
  }
}

class FakeTable : public tbl::Table {
 public:
  FakeTable(std::shared_ptr<FakeTableData> data, EventLog* log, FakeDriver* driver)
      : d_(std::move(data)), log_(log), driver_(driver) {}

  uint32_t record_number() const override { return recno_; }
  tbl::Status go_to(uint32_t record) override {
    log_->add("goto " + std::to_string(record));
    recno_ = record >= 1 && record <= count() ? record : count() + 1;
    return {};
  }
  tbl::Status go_top() override {
    log_->add("top");
    recno_ = 1;
    return {};
  }
  tbl::Status go_bottom() override {
    recno_ = count() ? count() : 1;
    return {};
  }
  tbl::Status skip(long n) override {
    const long r = static_cast<long>(recno_) + n;
    recno_ = r < 1 ? 1 : (r > static_cast<long>(count()) ? count() + 1 : static_cast<uint32_t>(r));
    return {};
  }
  bool eof() const override { return recno_ > count(); }
  bool bof() const override { return false; }

  int field_count() const override { return static_cast<int>(d_->fields.size()); }
  Value field_get(int field) override {
    if (recno_ > count()) return blank_value(d_->fields[field - 1]);
    return d_->records[recno_ - 1][field - 1];
  }
  tbl::Status field_put(int field, const Value& v) override {
    const FakeField& f = d_->fields[field - 1];
    const std::string t = tbl::VALTYPE(v);
    const bool fits = (f.type == 'C' && (t == "C" || t == "M")) || (f.type == 'M' && (t == "C" || t == "M")) ||
                      (f.type == 'N' && t == "N") || (f.type == 'D' && t == "D") || (f.type == 'L' && t == "L");
    if (!fits) return tbl::Status::failure(driver_error(plat::EG_DATATYPE, "Data type error"));
    if (recno_ > count()) return {};
    Value stored = v;
    if (f.type == 'C') {
      std::string s = v.text();
      s.resize(static_cast<size_t>(f.width), ' ');
      stored = Value::character(s);
    } else if (f.type == 'M') {
      stored = Value::memo(v.text());
    }
    d_->records[recno_ - 1][field - 1] = stored;
    log_->add("put " + std::to_string(field));
    return {};
  }

  tbl::Status append() override {
    log_->add("append");
    if (d_->refuse_appends != 0) {
      if (d_->refuse_appends > 0) --d_->refuse_appends;
      plat::Error e = driver_error(plat::EG_APPENDLOCK, "Append lock failed");
      e.can_default = true;
      return tbl::Status::failure(e);
    }
    std::vector<Value> blank;
    for (const auto& f : d_->fields) blank.push_back(blank_value(f));
    d_->records.push_back(blank);
    recno_ = count();
    return {};
  }
  bool lock_record() override {
    log_->add("lock " + std::to_string(recno_));
    locks_.clear();
    if (recno_ > count() || d_->held_by_others.count(recno_)) return false;
    locks_.insert(recno_);
    return true;
  }

  int order_number() const override { return order_; }
  tbl::Status set_order(int order) override {
    log_->add("order " + std::to_string(order));
    order_ = order;
    return {};
  }
  tbl::Status create_order(const tbl::OrderRequest& r) override {
    log_->add("create " + r.tag.value_or("") + " in " + r.bag.value_or("(structural)"));
    driver_->orders_built.push_back(r);
    d_->order_tags.push_back(r.tag.value_or(r.bag.value_or("")));
    order_ = 1;
    return {};
  }
  tbl::Status clear_orders() override {
    log_->add("clear");
    order_ = 0;
    return {};
  }

  const std::set<uint32_t>& locks() const { return locks_; }

 private:
  uint32_t count() const { return static_cast<uint32_t>(d_->records.size()); }

  std::shared_ptr<FakeTableData> d_;
  EventLog* log_;
  FakeDriver* driver_;
  uint32_t recno_ = 1;
  int order_ = 0;
  std::set<uint32_t> locks_;
};

}  // namespace

int EventLog::count(const std::string& e) const {
  return static_cast<int>(std::count(events_.begin(), events_.end(), e));
}

std::shared_ptr<FakeTableData> FakeDriver::add_table(const std::string& file, std::vector<FakeField> fields,
                                                     std::vector<std::vector<Value>> records) {
  auto d = std::make_shared<FakeTableData>();
  d->fields = std::move(fields);
  d->records = std::move(records);
  tables_[upper(file)] = d;
  return d;
}

tbl::Status FakeDriver::open(const tbl::OpenRequest& request, std::unique_ptr<tbl::Table>* out) {
  log_->add("open");
  opens.push_back(request);
  const auto it = tables_.find(upper(request.file));
  if (it == tables_.end()) {
    plat::Error e = driver_error(plat::EG_OPEN, "Open error", 2);
    e.file_name = request.file;
    e.can_default = true;
    return tbl::Status::failure(e);
  }
  FakeTableData& d = *it->second;
  if (d.refuse_opens != 0) {
    if (d.refuse_opens > 0) --d.refuse_opens;
    plat::Error e = driver_error(plat::EG_OPEN, "Open error", 32);
    e.file_name = request.file;
    e.can_default = true;
    e.can_retry = true;
    return tbl::Status::failure(e);
  }
  *out = std::make_unique<FakeTable>(it->second, log_, this);
  return {};
}

}  // namespace tbltest
