#include "order/table_orders.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <thread>

#include "dbf/record.h"
#include "engine_settings.h"
#include "order/file_lock.h"
#include "order/record_adapter.h"
#include "table/table.h"

namespace ace::order {

namespace {

// Bytes of a tag header that other programs leave zero for machine order and
// where a tag of another collation carries that collation's name.
constexpr size_t kCollationFrom = 36, kCollationTo = 502;

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

// The collation a tag header names, empty for machine order.
std::string collation_of(cdx::Bag& bag, const cdx::Tag& tag) {
  uint8_t h[512];
  if (!bag.store().read(tag.header_offset(), h, sizeof h).ok()) return "";
  std::string name;
  for (size_t i = kCollationFrom; i < kCollationTo; ++i) {
    if (std::isalpha(h[i])) {
      name.push_back(static_cast<char>(h[i]));
    } else if (!name.empty()) {
      if (name.size() >= 3) break;
      name.clear();
    }
  }
  if (name.size() < 3 || upper(name) == "MACHINE") return "";
  return name;
}

// The error number for an expression that failed to compile.
uint32_t compile_error_code(const expr::Error& e) {
  return e.kind == expr::ErrorKind::Type ? ACE_ERR_KEY_TYPE : ACE_ERR_KEY_SYNTAX;
}

}  // namespace

bool valid_tag_name(std::string_view name) {
  if (name.empty() || name.size() > cdx::kTagNameLength) return false;
  if (std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

Status from_cdx(const cdx::Status& s, const std::string& file) {
  switch (s.code) {
    case cdx::Status::Ok:
      return Status::success();
    case cdx::Status::Invalid:
    case cdx::Status::NotFound:
      return Status::error(ACE_ERR_ARGUMENT, file, s.message);
    default:
      return Status::error(ACE_ERR_INDEX, file, s.message);
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

const std::string& TableOrders::structural_path() const {
  static const std::string none;
  for (auto& b : bags_)
    if (b.structural) return b.path;
  return none;
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

void TableOrders::bind(OpenBag& b) {
  TableSchema schema(table_.header(), alias_);
  const expr::EvalSettings es = eval_settings();
  for (auto& tag : b.bag->tags()) {
    Order o;
    o.bag = b.bag.get();
    o.tag = tag.get();
    expr::CompileResult key = expr::compile(tag->key_expr(), schema, es);
    expr::Error err;
    std::string collation = collation_of(*b.bag, *tag);
    if (!collation.empty()) {
      o.problem = "keys in collation " + collation + ", not in machine order";
    } else if (!key) {
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
}

Status TableOrders::key_of(Order& o, uint32_t recno, std::string_view bytes, std::string* key,
                           bool* included) {
  RecordAdapter ctx(table_, alias_, recno, bytes);
  return key_in(o, ctx, eval_settings(), key, included);
}

Status TableOrders::key_in(Order& o, const RecordAdapter& ctx, const expr::EvalSettings& es, std::string* key,
                           bool* included) {
  if (!o.maintainable)
    return Status::error(ACE_ERR_INDEX_UNMAINTAINABLE, o.bag->path(),
                         "tag " + o.tag->name() + " cannot be evaluated (" + o.problem + ")");
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

// A structural bag is started under the file lock, so a writer that holds a
// record lock (updates) or the header lock (appends) sees either no mark or a
// finished bag.
Status TableOrders::adopt_structural_bag() {
  if (watched_bag_.empty()) return Status::success();
  uint8_t flags = 0;
  io::IoStatus io = table_.read_header_bytes(28, &flags, 1);
  if (!io.ok()) return from_io(io, ACE_ERR_READ, table_.path(), "cannot read the table header");
  if (!(flags & dbf::kHasStructuralCdx) || !io::file_exists(watched_bag_)) return Status::success();
  std::string path = std::move(watched_bag_);
  watched_bag_.clear();
  return open_bag(path, true);
}

Status TableOrders::check_writable() {
  Status s = adopt_structural_bag();
  if (!s.ok()) return s;
  for (const Order& o : orders_)
    if (!o.maintainable)
      return Status::error(ACE_ERR_INDEX_UNMAINTAINABLE, o.bag->path(),
                           "tag " + o.tag->name() + " cannot be kept up to date (" + o.problem + ")");
  return Status::success();
}

Status TableOrders::refresh() {
  // Others may have changed the bags since we last looked; when their tags
  // changed, bind them again.
  bool changed = false;
  for (auto& b : bags_) {
    std::vector<const cdx::Tag*> before;
    for (auto& t : b.bag->tags()) before.push_back(t.get());
    cdx::Status s = b.bag->refresh();
    if (!s.ok()) return Status::error(ACE_ERR_INDEX, b.path, s.message);
    std::vector<const cdx::Tag*> after;
    for (auto& t : b.bag->tags()) after.push_back(t.get());
    changed = changed || before != after;
  }
  if (changed) rebind_all();
  return Status::success();
}

Status TableOrders::begin_change(bool header_held, bool* unfinished) {
  if (unfinished) *unfinished = false;
  if (change_open_) return Status::success();
  // The table's header lock guards its bags too: appends hold it anyway, so they
  // need no second lock, and every other change to a bag waits for it.
  if (!header_held && table_.shared()) {
    auto lock = std::make_unique<HeaderLock>(table_);
    Status s = lock->acquire();
    if (!s.ok()) return s;
    change_lock_ = std::move(lock);
  }
  Status s = refresh();
  bool left = false;
  for (size_t i = 0; s.ok() && i < bags_.size(); ++i) {
    bool u = false;
    s = from_cdx(bags_[i].bag->store().begin_change(&u), bags_[i].path);
    left = left || u;
    // Bags marked already are unmarked again when this one cannot be.
    if (!s.ok())
      for (size_t j = 0; j < i; ++j) bags_[j].bag->store().end_change();
  }
  if (!s.ok()) {
    change_lock_.reset();
    return s;
  }
  change_open_ = true;
  if (unfinished) *unfinished = left;
  return s;
}

void TableOrders::end_change(bool finished) {
  if (!change_open_) return;
  for (auto& b : bags_) {
    // Written before others may look: they learn of the change from it.
    if (finished) b.bag->store().end_change();
    else b.bag->store().abandon_change();
  }
  change_open_ = false;
  change_lock_.reset();
}

Status TableOrders::on_append(uint32_t recno, const table::RecordView& rec) {
  // Looked at again under the header lock: check_writable came before it.
  Status s = adopt_structural_bag();
  if (!s.ok()) return s;
  if (orders_.empty()) return Status::success();
  if (!(s = check_writable()).ok()) return s;
  // Begun by before_append, unless the bag was adopted just now.
  if (!(s = begin_change(true)).ok()) return s;
  std::string key;
  RecordAdapter ctx(table_, alias_, recno, rec.bytes());
  const expr::EvalSettings es = eval_settings();
  for (Order& o : orders_) {
    bool included;
    if (!(s = key_in(o, ctx, es, &key, &included)).ok()) break;
    if (!included) continue;
    // A unique tag that holds the key keeps its earlier record.
    if (!(s = from_cdx(o.tag->insert(key, recno), o.bag->path())).ok()) break;
  }
  // The change ends in after_append, once the record is counted.
  return s;
}

void TableOrders::after_append(bool counted) { end_change(counted); }

std::string TableOrders::leftover(uint32_t recno) {
  const auto& h = table_.header();
  std::string bytes(h.record_length, '\0');
  size_t got = 0;
  io::IoStatus io = table_.file().read_at(uint64_t(h.header_length) + uint64_t(recno - 1) * h.record_length,
                                          &bytes[0], bytes.size(), &got);
  if ((!io.ok() && io.code != io::IoStatus::ShortRead) || got != bytes.size()) return "";
  if (bytes[0] != char(dbf::kLiveFlag) && bytes[0] != char(dbf::kDeletedFlag)) return "";
  return bytes;
}

Status TableOrders::before_append(uint32_t recno) {
  if (orders_.empty()) return Status::success();
  // The change lasts until the new record is counted, so an appender killed on
  // the way leaves the mark.
  bool unfinished = false;
  Status s = begin_change(true, &unfinished);
  if (!s.ok() || !unfinished) return s;
  const std::string left = leftover(recno);
  if (left.empty()) return Status::success();
  std::string key;
  for (Order& o : orders_) {
    bool included, removed = false;
    if (!(s = key_of(o, recno, left, &key, &included)).ok()) break;
    if (!included) continue;
    if (!(s = from_cdx(o.tag->remove(key, recno, &removed), o.bag->path())).ok()) break;
    if (removed && o.tag->unique() && !(s = replace_unique(o, key, recno)).ok()) break;
  }
  if (!s.ok()) end_change(false);
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
    if (included && k == key) return from_cdx(o.tag->insert(k, r), o.bag->path());
  }
  return Status::success();
}

Status TableOrders::on_update(uint32_t recno, const table::RecordView& before,
                              const table::RecordView& after) {
  if (orders_.empty()) return Status::success();
  Status s = begin_change(false);
  if (!s.ok()) return s;
  std::string old_key, new_key;
  for (Order& o : orders_) {
    bool was_in, is_in;
    if (!(s = key_of(o, recno, before.bytes(), &old_key, &was_in)).ok()) break;
    if (!(s = key_of(o, recno, after.bytes(), &new_key, &is_in)).ok()) break;
    if (was_in == is_in && old_key == new_key) continue;
    if (was_in) {
      bool removed = false;
      if (!(s = from_cdx(o.tag->remove(old_key, recno, &removed), o.bag->path())).ok()) break;
      if (removed && o.tag->unique() && !(s = replace_unique(o, old_key, recno)).ok()) break;
    }
    if (is_in) {
      bool added = false;
      if (!(s = from_cdx(o.tag->insert(new_key, recno, &added), o.bag->path())).ok()) break;
      if (!added && o.tag->unique()) {
        // The key is held already; the lower record number keeps it.
        cdx::Cursor c;
        bool found;
        if (!(s = from_cdx(o.tag->seek(new_key, &c, &found), o.bag->path())).ok()) break;
        if (found && c.recno > recno) {
          if (!(s = from_cdx(o.tag->remove(new_key, c.recno), o.bag->path())).ok()) break;
          if (!(s = from_cdx(o.tag->insert(new_key, recno), o.bag->path())).ok()) break;
        }
      }
    }
  }
  end_change(s.ok());
  if (!s.ok() && s.file.empty()) s.file = table_.path();
  return s;
}

Status TableOrders::compile_spec(const OrderSpec& spec, Order* bound, const std::string& file) {
  TableSchema schema(table_.header(), alias_);
  const expr::EvalSettings es = eval_settings();
  expr::CompileResult key = expr::compile(spec.key_expr, schema, es);
  if (!key) return Status::error(compile_error_code(key.error), file, "key expression: " + key.error.message);
  expr::Error err;
  if (!key.program->key_spec(&bound->spec, &err))
    return Status::error(ACE_ERR_KEY_TYPE, file, "key expression: " + err.message);
  bound->key = std::move(key.program);
  if (!spec.for_expr.empty()) {
    expr::CompileResult cond = expr::compile(spec.for_expr, schema, es);
    if (!cond)
      return Status::error(compile_error_code(cond.error), file, "FOR condition: " + cond.error.message);
    bound->condition = std::move(cond.program);
  }
  bound->maintainable = true;
  return Status::success();
}

Status TableOrders::build_tag(cdx::Bag& bag, const OrderSpec& spec) {
  Order bound;
  bound.bag = &bag;
  Status s = compile_spec(spec, &bound, bag.path());
  if (!s.ok()) return s;
  uint32_t n = 0;
  if (!(s = table_.record_count(&n)).ok()) return s;
  cdx::KeySet keys;
  keys.bytes.reserve(static_cast<size_t>(n) * static_cast<size_t>(bound.spec.length));
  keys.recnos.reserve(n);
  RecordAdapter ctx(table_, alias_, 0, {});
  const expr::EvalSettings es = eval_settings();
  std::string k;
  expr::Error err;
  // Records are read many at a time: one read per record would cost more than
  // the sort.
  const auto& h = table_.header();
  const uint32_t per_chunk = std::max<uint32_t>(1, (1u << 20) / h.record_length);
  std::string chunk;
  uint32_t chunk_first = 1, chunk_count = 0;
  for (uint32_t r = 1; r <= n; ++r) {
    if (r >= chunk_first + chunk_count) {
      chunk_first = r;
      chunk_count = std::min(per_chunk, n - r + 1);
      chunk.resize(size_t(chunk_count) * h.record_length);
      io::IoStatus io = table_.file().read_at(uint64_t(h.header_length) + uint64_t(r - 1) * h.record_length,
                                              &chunk[0], chunk.size());
      if (!io.ok()) return from_io(io, ACE_ERR_READ, table_.path(), "cannot read records");
    }
    std::string_view bytes(chunk.data() + size_t(r - chunk_first) * h.record_length, h.record_length);
    ctx.reset(r, bytes);
    if (bound.condition) {
      expr::EvalResult cr = bound.condition->evaluate(ctx, es);
      if (!cr.ok() || cr.value.type != expr::Value::Type::Logical)
        return Status::error(ACE_ERR_KEY_TYPE, bag.path(), "FOR condition gives no logical value");
      if (!cr.value.log) continue;
    }
    if (!bound.key->evaluate_key(ctx, es, &k, &err))
      return Status::error(ACE_ERR_KEY_TYPE, bag.path(), "key expression: " + err.message);
    keys.bytes += k;
    keys.recnos.push_back(r);
  }
  cdx::TagSpec ts{upper(spec.tag), spec.key_expr, spec.for_expr, bound.spec.length, kind_of(bound.spec),
                  spec.unique, spec.descending};
  return from_cdx(bag.create_tag(ts, keys, nullptr), bag.path());
}

Status TableOrders::create_bag(const std::string& path, bool structural) {
  std::unique_ptr<io::File> file;
  io::IoStatus io = io::open_file(path, io::Access::ReadWrite,
                                  table_.shared() ? io::Share::DenyNone : io::Share::Exclusive,
                                  io::Disposition::CreateAlways, &file);
  if (!io.ok()) return from_io(io, ACE_ERR_CREATE, path, "cannot create the index file");
  OpenBag b{path, structural, nullptr};
  cdx::Status cs = cdx::Bag::create(std::move(file), structural, &b.bag);
  if (!cs.ok()) return Status::error(ACE_ERR_INDEX, path, cs.message);
  bags_.push_back(std::move(b));
  return Status::success();
}

Status TableOrders::create_order(const std::string& bag_path, const OrderSpec& spec, size_t* order_number) {
  if (table_.read_only()) return Status::error(ACE_ERR_READONLY, table_.path(), "table is open read-only");
  if (!valid_tag_name(spec.tag))
    return Status::error(ACE_ERR_TAG_NAME, table_.path(), "\"" + spec.tag + "\" is no tag name");
  // A key that does not compile leaves no file behind.
  Order probe;
  Status s = compile_spec(spec, &probe, table_.path());
  if (!s.ok()) return s;

  const bool structural = bag_path.empty();
  const std::string base = table::strip_extension(structural ? table_.path() : bag_path);
  std::string path = structural || table::strip_extension(bag_path) == bag_path
                         ? table::companion_path(base, ".cdx")
                         : bag_path;
  OpenBag* target = nullptr;
  for (auto& b : bags_)
    if (structural ? b.structural : b.path == path) target = &b;

  // No other user writes while the tag is built from the records: the whole
  // table is locked (appends and record locks wait), so the new tag misses
  // nobody's record and a new structural bag is complete before anyone sees it.
  FileLock whole(table_);
  if (!(s = whole.acquire()).ok()) return s;
  if (!target) {
    if (structural) {
      // Whatever file has the name is not this table's bag: its header says so.
      if (!(s = create_bag(path, true)).ok()) return s;
      watched_bag_.clear();
      uint8_t flags = static_cast<uint8_t>(table_.header().flags | dbf::kHasStructuralCdx);
      io::IoStatus io = table_.file().write_at(28, &flags, 1);
      if (!io.ok()) return from_io(io, ACE_ERR_WRITE, table_.path(), "cannot mark the structural index");
    } else if (io::file_exists(path)) {
      if (!(s = open_bag(path, false)).ok()) return s;
    } else if (!(s = create_bag(path, false)).ok()) {
      return s;
    }
    for (auto& b : bags_)
      if (structural ? b.structural : b.path == path) target = &b;
  }
  // The file lock covers the header lock.
  if (!(s = begin_change(true)).ok()) return s;
  cdx::Bag* bag = target->bag.get();
  s = build_tag(*bag, spec);
  end_change(s.ok());
  rebind_all();
  if (!s.ok()) return s;
  *order_number = 0;
  for (size_t i = 0; i < orders_.size(); ++i)
    if (orders_[i].bag == bag && orders_[i].tag->name() == upper(spec.tag)) *order_number = i + 1;
  return Status::success();
}

void TableOrders::close_other_bags() {
  bags_.erase(std::remove_if(bags_.begin(), bags_.end(), [](const OpenBag& b) { return !b.structural; }),
              bags_.end());
  rebind_all();
}

Status TableOrders::reindex() {
  if (table_.read_only()) return Status::error(ACE_ERR_READONLY, table_.path(), "table is open read-only");
  if (table_.shared())
    return Status::error(ACE_ERR_EXCLUSIVE_NEEDED, table_.path(), "reindexing needs the table opened exclusively");
  Status s = check_writable();
  if (!s.ok()) return s;
  // Each bag is written afresh beside the old one from the old one's tag
  // definitions, and only then takes its place: a failure on the way leaves the
  // old bag as it was.
  std::vector<std::pair<OpenBag, std::vector<OrderSpec>>> plans;
  for (auto& b : bags_) {
    std::vector<OrderSpec> specs;
    for (auto& t : b.bag->tags())
      specs.push_back({t->name(), t->key_expr(), t->for_expr(), t->unique(), t->descending()});
    plans.push_back({OpenBag{b.path, b.structural, nullptr}, std::move(specs)});
  }
  bags_.clear();
  orders_.clear();
  Status first_failure;
  for (auto& [ob, specs] : plans) {
    const std::string fresh = ob.path + ".new";
    std::unique_ptr<io::File> file;
    io::IoStatus io = io::open_file(fresh, io::Access::ReadWrite, io::Share::Exclusive,
                                    io::Disposition::CreateAlways, &file);
    s = from_io(io, ACE_ERR_CREATE, fresh, "cannot create the index file");
    std::unique_ptr<cdx::Bag> bag;
    if (s.ok()) s = from_cdx(cdx::Bag::create(std::move(file), ob.structural, &bag), fresh);
    for (size_t i = 0; s.ok() && i < specs.size(); ++i) s = build_tag(*bag, specs[i]);
    if (s.ok()) s = from_io(bag->store().file().flush(), ACE_ERR_WRITE, fresh, "cannot flush the index file");
    bag.reset();
    std::error_code ec;
    if (s.ok()) {
      std::filesystem::rename(fresh, ob.path, ec);
      if (ec) s = Status::error(ACE_ERR_WRITE, ob.path, "cannot put the rebuilt index in place: " + ec.message());
    }
    if (!s.ok()) {
      io::remove_file(fresh);
      if (first_failure.ok()) first_failure = s;
    }
    Status reopened = open_bag(ob.path, ob.structural);
    if (!reopened.ok() && first_failure.ok()) first_failure = reopened;
  }
  return first_failure;
}

}  // namespace ace::order
