#include "order/table_orders.h"

#include <algorithm>
#include <thread>

#include "engine_settings.h"
#include "order/record_adapter.h"
#include "table/table.h"

namespace ace::order {

namespace {

// The byte of a bag locked while one writer changes it; the same offset as a
// table's header lock.
constexpr uint64_t kBagLockOffset = 0x7FFFFFFEull;
// Writers hold the bag lock for the few page writes of one change.
constexpr int kLockAttempts = 200000;

expr::EvalSettings eval_settings() {
  expr::EvalSettings es;
  es.date_format = ace::settings().date_format;
  es.epoch = ace::settings().epoch;
  return es;
}

cdx::KeyKind kind_of(const expr::KeySpec& spec) {
  return spec.type == expr::KeyType::Character || spec.type == expr::KeyType::Logical
             ? cdx::KeyKind::Character
             : cdx::KeyKind::Binary;
}

std::string upper(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

}  // namespace

Status from_cdx(const cdx::Status& s) {
  switch (s.code) {
    case cdx::Status::Ok:
      return Status::success();
    case cdx::Status::Invalid:
    case cdx::Status::NotFound:
      return Status::error(ACE_ERR_ARGUMENT, "", s.message);
    default:
      return Status::error(ACE_ERR_INDEX, "", s.message);
  }
}

Order* TableOrders::order(size_t number) {
  return number >= 1 && number <= orders_.size() ? &orders_[number - 1] : nullptr;
}

size_t TableOrders::find_order(std::string_view tag) const {
  std::string t = upper(tag);
  for (size_t i = 0; i < orders_.size(); ++i)
    if (orders_[i].tag->name() == t) return i + 1;
  return 0;
}

Status TableOrders::open_bag(const std::string& path, bool structural) {
  for (auto& b : bags_)
    if (b.path == path) return Status::success();
  std::unique_ptr<io::File> file;
  io::IoStatus io = io::open_file(path, table_.read_only() ? io::Access::ReadOnly : io::Access::ReadWrite,
                                  table_.shared() ? io::Share::DenyNone : io::Share::Exclusive,
                                  io::Disposition::OpenExisting, &file);
  if (!io.ok()) return from_io(io, ACE_ERR_OPEN, path, "cannot open the index file");
  OpenBag b{path, structural, nullptr};
  cdx::Status s = cdx::Bag::open(std::move(file), &b.bag);
  if (!s.ok()) return Status::error(ACE_ERR_INDEX, path, s.message);
  bags_.push_back(std::move(b));
  rebind_all();
  return Status::success();
}

void TableOrders::rebind_all() {
  orders_.clear();
  // The structural bag's orders come first.
  std::stable_sort(bags_.begin(), bags_.end(),
                   [](const OpenBag& a, const OpenBag& b) { return a.structural && !b.structural; });
  for (auto& b : bags_) bind(b);
}

Status TableOrders::bind(OpenBag& b) {
  TableSchema schema(table_.header(), alias_);
  const expr::EvalSettings es = eval_settings();
  for (auto& tag : b.bag->tags()) {
    Order o;
    o.bag = b.bag.get();
    o.tag = tag.get();
    expr::CompileResult key = expr::compile(tag->key_expr(), schema, es);
    expr::Error err;
    if (!key) {
      o.problem = "key \"" + tag->key_expr() + "\": " + key.error.message;
    } else if (!key.program->key_spec(&o.spec, &err)) {
      o.problem = "key \"" + tag->key_expr() + "\": " + err.message;
    } else if (o.spec.length != tag->key_len()) {
      o.problem = "key \"" + tag->key_expr() + "\" gives keys of another length than the tag's";
    } else {
      o.key = std::move(key.program);
      o.maintainable = true;
      tag->set_kind(kind_of(o.spec));
    }
    if (o.maintainable && !tag->for_expr().empty()) {
      expr::CompileResult cond = expr::compile(tag->for_expr(), schema, es);
      if (!cond) {
        o.problem = "FOR \"" + tag->for_expr() + "\": " + cond.error.message;
        o.maintainable = false;
      } else {
        o.condition = std::move(cond.program);
      }
    }
    orders_.push_back(std::move(o));
  }
  return Status::success();
}

Status TableOrders::key_of(Order& o, uint32_t recno, std::string_view bytes, std::string* key,
                           bool* included) {
  RecordAdapter ctx(table_, alias_, recno, bytes);
  const expr::EvalSettings es = eval_settings();
  *included = true;
  if (o.condition) {
    expr::EvalResult r = o.condition->evaluate(ctx, es);
    if (!r.ok() || r.value.type != expr::Value::Type::Logical)
      return Status::error(ACE_ERR_INDEX_UNMAINTAINABLE, o.bag->path(),
                           "FOR condition of tag " + o.tag->name() + " gives no logical value");
    *included = r.value.log;
  }
  expr::Error err;
  if (!o.key->evaluate_key(ctx, es, key, &err))
    return Status::error(ACE_ERR_INDEX_UNMAINTAINABLE, o.bag->path(),
                         "key of tag " + o.tag->name() + ": " + err.message);
  return Status::success();
}

Status TableOrders::check_writable() {
  for (const Order& o : orders_)
    if (!o.maintainable)
      return Status::error(ACE_ERR_INDEX_UNMAINTAINABLE, o.bag->path(),
                           "tag " + o.tag->name() + " cannot be kept up to date (" + o.problem + ")");
  return Status::success();
}

Status TableOrders::lock_bags() {
  for (size_t i = 0; i < bags_.size(); ++i) {
    io::File& f = bags_[i].bag->store().file();
    io::IoStatus io;
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
      io = f.lock(kBagLockOffset, 1);
      if (io.code != io::IoStatus::LockConflict) break;
      std::this_thread::yield();
    }
    if (!io.ok()) {
      for (size_t j = 0; j < i; ++j) bags_[j].bag->store().file().unlock(kBagLockOffset, 1);
      return from_io(io, ACE_ERR_INDEX, bags_[i].path, "index file is locked by another user");
    }
  }
  // Others may have changed the bags since we last looked; when their tags
  // changed, bind them again.
  bool changed = false;
  for (auto& b : bags_) {
    std::vector<const cdx::Tag*> before;
    for (auto& t : b.bag->tags()) before.push_back(t.get());
    cdx::Status s = b.bag->refresh();
    if (!s.ok()) {
      unlock_bags();
      return Status::error(ACE_ERR_INDEX, b.path, s.message);
    }
    std::vector<const cdx::Tag*> after;
    for (auto& t : b.bag->tags()) after.push_back(t.get());
    changed = changed || before != after;
  }
  if (changed) rebind_all();
  return Status::success();
}

void TableOrders::unlock_bags() {
  for (auto& b : bags_) b.bag->store().file().unlock(kBagLockOffset, 1);
}

Status TableOrders::on_append(uint32_t recno, const table::RecordView& rec) {
  if (orders_.empty()) return Status::success();
  Status s = lock_bags();
  if (!s.ok()) return s;
  std::string key;
  for (Order& o : orders_) {
    bool included;
    if (!(s = key_of(o, recno, rec.bytes(), &key, &included)).ok()) break;
    if (!included) continue;
    cdx::Status cs = o.tag->insert(key, recno);
    if (!cs.ok()) {
      s = Status::error(ACE_ERR_INDEX, o.bag->path(), cs.message);
      break;
    }
  }
  unlock_bags();
  return s;
}

// A unique tag lost the record that held a key: the first other record with that
// key, if any, takes its place.
Status TableOrders::replace_unique(Order& o, const std::string& key, uint32_t skip) {
  uint32_t n = 0;
  Status s = table_.record_count(&n);
  if (!s.ok()) return s;
  std::string bytes, k;
  for (uint32_t r = 1; r <= n; ++r) {
    if (r == skip) continue;
    if (!(s = table_.read_record(r, &bytes)).ok()) return s;
    bool included;
    if (!(s = key_of(o, r, bytes, &k, &included)).ok()) return s;
    if (included && k == key) return from_cdx(o.tag->insert(k, r));
  }
  return Status::success();
}

Status TableOrders::on_update(uint32_t recno, const table::RecordView& before,
                              const table::RecordView& after) {
  if (orders_.empty()) return Status::success();
  Status s = lock_bags();
  if (!s.ok()) return s;
  std::string old_key, new_key;
  for (Order& o : orders_) {
    bool was_in, is_in;
    if (!(s = key_of(o, recno, before.bytes(), &old_key, &was_in)).ok()) break;
    if (!(s = key_of(o, recno, after.bytes(), &new_key, &is_in)).ok()) break;
    if (was_in == is_in && old_key == new_key) continue;
    if (was_in) {
      bool removed = false;
      if (!(s = from_cdx(o.tag->remove(old_key, recno, &removed))).ok()) break;
      if (removed && o.tag->unique() && !(s = replace_unique(o, old_key, recno)).ok()) break;
    }
    if (is_in) {
      bool added = false;
      if (!(s = from_cdx(o.tag->insert(new_key, recno, &added))).ok()) break;
      if (!added && o.tag->unique()) {
        // The key is held already; the lower record number keeps it.
        cdx::Cursor c;
        bool found;
        if (!(s = from_cdx(o.tag->seek(new_key, &c, &found))).ok()) break;
        if (found && c.recno > recno) {
          if (!(s = from_cdx(o.tag->remove(new_key, c.recno))).ok()) break;
          if (!(s = from_cdx(o.tag->insert(new_key, recno))).ok()) break;
        }
      }
    }
  }
  unlock_bags();
  if (!s.ok() && s.file.empty()) s.file = table_.path();
  return s;
}

Status TableOrders::build_tag(cdx::Bag& bag, const OrderSpec& spec, Order* bound) {
  TableSchema schema(table_.header(), alias_);
  const expr::EvalSettings es = eval_settings();
  expr::CompileResult key = expr::compile(spec.key_expr, schema, es);
  if (!key) return Status::error(ACE_ERR_ARGUMENT, bag.path(), "key expression: " + key.error.message);
  expr::Error err;
  if (!key.program->key_spec(&bound->spec, &err))
    return Status::error(ACE_ERR_ARGUMENT, bag.path(), "key expression: " + err.message);
  bound->key = std::move(key.program);
  if (!spec.for_expr.empty()) {
    expr::CompileResult cond = expr::compile(spec.for_expr, schema, es);
    if (!cond) return Status::error(ACE_ERR_ARGUMENT, bag.path(), "FOR condition: " + cond.error.message);
    bound->condition = std::move(cond.program);
  }
  uint32_t n = 0;
  Status s = table_.record_count(&n);
  if (!s.ok()) return s;
  cdx::KeySet keys;
  keys.bytes.reserve(static_cast<size_t>(n) * static_cast<size_t>(bound->spec.length));
  keys.recnos.reserve(n);
  std::string bytes, k;
  for (uint32_t r = 1; r <= n; ++r) {
    if (!(s = table_.read_record(r, &bytes)).ok()) return s;
    bool included;
    if (!(s = key_of(*bound, r, bytes, &k, &included)).ok()) return s;
    if (!included) continue;
    keys.bytes += k;
    keys.recnos.push_back(r);
  }
  cdx::TagSpec ts{spec.tag, spec.key_expr, spec.for_expr, bound->spec.length, kind_of(bound->spec),
                  spec.unique, spec.descending};
  cdx::Status cs = bag.create_tag(ts, keys, nullptr);
  if (!cs.ok()) return Status::error(cs.code == cdx::Status::Invalid ? ACE_ERR_ARGUMENT : ACE_ERR_INDEX, bag.path(), cs.message);
  return Status::success();
}

Status TableOrders::create_order(const std::string& bag_path, const OrderSpec& spec, size_t* order_number) {
  if (table_.read_only()) return Status::error(ACE_ERR_READONLY, table_.path(), "table is open read-only");
  const bool structural = bag_path.empty();
  std::string path = structural ? table::strip_extension(table_.path()) + ".cdx" : bag_path;
  OpenBag* target = nullptr;
  for (auto& b : bags_)
    if (structural ? b.structural : b.path == path) target = &b;
  if (!target) {
    if (!structural) path = table::companion_path(table::strip_extension(path), ".cdx");
    if (io::file_exists(path)) {
      Status s = open_bag(path, structural);
      if (!s.ok()) return s;
    } else {
      std::unique_ptr<io::File> file;
      io::IoStatus io = io::open_file(path, io::Access::ReadWrite,
                                      table_.shared() ? io::Share::DenyNone : io::Share::Exclusive,
                                      io::Disposition::CreateAlways, &file);
      if (!io.ok()) return from_io(io, ACE_ERR_CREATE, path, "cannot create the index file");
      OpenBag b{path, structural, nullptr};
      cdx::Status cs = cdx::Bag::create(std::move(file), structural, &b.bag);
      if (!cs.ok()) return Status::error(ACE_ERR_INDEX, path, cs.message);
      bags_.push_back(std::move(b));
      if (structural) {
        // The table's header says it has a structural bag, so later opens find it.
        uint8_t flags = 0;
        io::File& tf = table_.file();
        if (tf.read_at(28, &flags, 1).ok()) {
          flags = static_cast<uint8_t>(flags | dbf::kHasStructuralCdx);
          tf.write_at(28, &flags, 1);
        }
      }
    }
    for (auto& b : bags_)
      if (structural ? b.structural : b.path == path) target = &b;
  }
  Status s = lock_bags();
  if (!s.ok()) return s;
  Order bound;
  s = build_tag(*target->bag, spec, &bound);
  unlock_bags();
  rebind_all();
  if (!s.ok()) return s;
  *order_number = 0;
  for (size_t i = 0; i < orders_.size(); ++i)
    if (orders_[i].bag == target->bag.get() && orders_[i].tag->name() == upper(spec.tag)) *order_number = i + 1;
  return Status::success();
}

void TableOrders::close_other_bags() {
  bags_.erase(std::remove_if(bags_.begin(), bags_.end(), [](const OpenBag& b) { return !b.structural; }),
              bags_.end());
  rebind_all();
}

Status TableOrders::seek(size_t number, std::string_view key, uint32_t* recno, bool* found) {
  Order* o = order(number);
  if (!o) return Status::error(ACE_ERR_ARGUMENT, table_.path(), "no such order");
  cdx::Status rs = o->bag->refresh();
  if (!rs.ok()) return Status::error(ACE_ERR_INDEX, o->bag->path(), rs.message);
  cdx::Cursor c;
  cdx::Status cs = o->tag->seek(key, &c, found);
  if (!cs.ok()) return Status::error(ACE_ERR_INDEX, o->bag->path(), cs.message);
  *recno = c.valid ? c.recno : 0;
  return Status::success();
}

Status TableOrders::verify() {
  for (auto& b : bags_) {
    cdx::Status cs = b.bag->verify();
    if (!cs.ok()) return Status::error(ACE_ERR_INDEX, b.path, cs.message);
  }
  // Every record that belongs in an order is there under its current key.
  uint32_t n = 0;
  Status s = table_.record_count(&n);
  if (!s.ok()) return s;
  std::string bytes, key;
  for (Order& o : orders_) {
    if (!o.maintainable) continue;
    uint64_t included_count = 0;
    for (uint32_t r = 1; r <= n; ++r) {
      if (!(s = table_.read_record(r, &bytes)).ok()) return s;
      bool included;
      if (!(s = key_of(o, r, bytes, &key, &included)).ok()) return s;
      if (!included) continue;
      ++included_count;
      cdx::Cursor c;
      bool found;
      cdx::Status cs = o.tag->unique() ? o.tag->seek(key, &c, &found) : o.tag->seek_entry(key, r, &c, &found);
      if (!cs.ok()) return Status::error(ACE_ERR_INDEX, o.bag->path(), cs.message);
      if (!found)
        return Status::error(ACE_ERR_INDEX, o.bag->path(),
                             "tag " + o.tag->name() + " lacks record " + std::to_string(r));
    }
    cdx::VerifyReport report;
    o.tag->verify(&report);
    if (!o.tag->unique() && report.keys != included_count)
      return Status::error(ACE_ERR_INDEX, o.bag->path(),
                           "tag " + o.tag->name() + " holds keys of records that are gone");
  }
  return Status::success();
}

Status TableOrders::reindex() {
  Status s = lock_bags();
  if (!s.ok()) return s;
  std::vector<std::pair<cdx::Bag*, OrderSpec>> specs;
  for (Order& o : orders_) {
    if (!o.maintainable) continue;
    specs.push_back({o.bag, OrderSpec{o.tag->name(), o.tag->key_expr(), o.tag->for_expr(), o.tag->unique(),
                                      o.tag->descending()}});
  }
  for (auto& [bag, spec] : specs) {
    Order bound;
    if (!(s = build_tag(*bag, spec, &bound)).ok()) break;
  }
  unlock_bags();
  rebind_all();
  return s;
}

}  // namespace ace::order
