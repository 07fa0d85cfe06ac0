#include "engine_access.h"

#include <cctype>
#include <chrono>
#include <limits>
#include <thread>

#include "engine_settings.h"
#include "io/file.h"
#include "memo/memo_format.h"
#include "order/record_adapter.h"
#include "table/index_maintainer.h"
#include "table/lock_offsets.h"

namespace dbfcheck {

namespace dbf = ace::dbf;
namespace cdx = ace::cdx;
namespace expr = ace::expr;
namespace io = ace::io;

namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}
std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// A database container keeps its memos and its bag under names of its own.
bool is_container(const std::string& path) {
  const std::string base = ace::table::strip_extension(path);
  return lower(path.substr(base.size())) == ".dbc";
}

Status read_all(io::File& f, std::string* out) {
  uint64_t size = 0;
  io::IoStatus s = f.size(&size);
  if (!s.ok()) return ace::from_io(s, ACE_ERR_READ, f.path(), "cannot size the file");
  out->assign(static_cast<size_t>(size), '\0');
  if (size == 0) return Status::success();
  s = f.read_at(0, &(*out)[0], out->size());
  return ace::from_io(s, ACE_ERR_READ, f.path(), "cannot read the file");
}

std::string alias_of(const std::string& path) {
  std::string base = ace::table::strip_extension(path);
  size_t slash = base.find_last_of("/\\:");
  return upper(slash == std::string::npos ? base : base.substr(slash + 1));
}

Status expr_error(const std::string& file, const std::string& text, const expr::Error& e) {
  return Status::error(ACE_ERR_INDEX, file,
                       "expression \"" + text + "\": " + e.message + " (at " + std::to_string(e.position) + ")");
}

}  // namespace

void detach_index_upkeep() { ace::table::register_structural_bag_factory(nullptr); }

Status open_table(const std::string& path, bool exclusive, bool read_only, std::unique_ptr<Table>* out) {
  ace::table::OpenOptions o;
  o.exclusive = exclusive;
  o.read_only = read_only;
  return Table::open(path, o, out);
}

Status read_header_facts(const std::string& path, HeaderFacts* out) {
  std::unique_ptr<io::File> f;
  io::IoStatus s = io::open_file(path, io::Access::ReadOnly, io::Share::DenyNone, io::Disposition::OpenExisting, &f);
  if (!s.ok()) return ace::from_io(s, ACE_ERR_OPEN, path, "cannot open the table");
  s = f->size(&out->file_size);
  if (!s.ok()) return ace::from_io(s, ACE_ERR_READ, path, "cannot size the table");
  uint8_t first[dbf::kFileHeaderSize];
  size_t got = 0;
  s = f->read_at(0, first, sizeof first, &got);
  if (!s.ok() && s.code != io::IoStatus::ShortRead) return ace::from_io(s, ACE_ERR_READ, path, "cannot read the header");
  if (got < sizeof first) return Status::error(ACE_ERR_CORRUPT, path, "file is too short to be a table");
  std::string head(dbf::header_length_of(first, got), '\0');
  size_t n = 0;
  s = f->read_at(0, &head[0], head.size(), &n);
  if (!s.ok() && s.code != io::IoStatus::ShortRead) return ace::from_io(s, ACE_ERR_READ, path, "cannot read the header");
  head.resize(n);
  // The size check is done by the caller, which wants the header either way.
  Status st = dbf::parse_header(reinterpret_cast<const uint8_t*>(head.data()), head.size(),
                                std::numeric_limits<uint64_t>::max(), path, &out->header);
  if (!st.ok()) return st;
  const dbf::TableHeader& h = out->header;
  const uint64_t body = out->file_size > h.header_length ? out->file_size - h.header_length : 0;
  out->records_in_file = h.record_length ? body / h.record_length : 0;
  out->stray_bytes = h.record_length ? body % h.record_length : body;
  // The end-of-file mark many writers leave is no stray byte.
  if (out->records_in_file == h.record_count && out->stray_bytes == 1) {
    uint8_t last = 0;
    if (f->read_at(out->file_size - 1, &last, 1).ok() && last == dbf::kEndOfFile) {
      out->stray_bytes = 0;
      out->end_mark = true;
    }
  }
  return Status::success();
}

std::string memo_path(const std::string& table_path, const dbf::TableHeader& h) {
  const dbf::MemoKind kind = h.memo_kind();
  if (kind == dbf::MemoKind::None) return "";
  const std::string base = ace::table::strip_extension(table_path);
  return ace::table::companion_path(
      base, kind != dbf::MemoKind::Fpt ? ".dbt" : is_container(table_path) ? ".dct" : ".fpt");
}

std::string bag_path(const std::string& table_path) {
  return ace::table::companion_path(ace::table::strip_extension(table_path),
                                    is_container(table_path) ? ".dcx" : ".cdx");
}

bool file_exists(const std::string& path) { return io::file_exists(path); }

Status read_memo_facts(const std::string& path, dbf::MemoKind kind, MemoFacts* out) {
  std::unique_ptr<io::File> f;
  io::IoStatus s = io::open_file(path, io::Access::ReadOnly, io::Share::DenyNone, io::Disposition::OpenExisting, &f);
  if (!s.ok()) return ace::from_io(s, ACE_ERR_OPEN, path, "cannot open the memo file");
  s = f->size(&out->file_size);
  if (!s.ok()) return ace::from_io(s, ACE_ERR_READ, path, "cannot size the memo file");
  uint8_t head[ace::memo::kMemoHeaderSize];
  size_t got = 0;
  s = f->read_at(0, head, sizeof head, &got);
  if (!s.ok() && s.code != io::IoStatus::ShortRead) return ace::from_io(s, ACE_ERR_READ, path, "cannot read the memo header");
  ace::memo::MemoHeader mh;
  Status st = ace::memo::parse_memo_header(head, got, kind, path, &mh);
  if (!st.ok()) return st;
  out->block_size = mh.block_size;
  out->next_free = mh.next_free;
  return Status::success();
}

Status from_cdx(const cdx::Status& s, const std::string& file) {
  if (s.ok()) return Status::success();
  return Status::error(s.code == cdx::Status::IoError ? ACE_ERR_READ : ACE_ERR_INDEX, file, s.message);
}

Status open_bag(const std::string& path, std::unique_ptr<cdx::Bag>* out) {
  std::unique_ptr<io::File> f;
  io::IoStatus s = io::open_file(path, io::Access::ReadOnly, io::Share::DenyNone, io::Disposition::OpenExisting, &f);
  if (!s.ok()) return ace::from_io(s, ACE_ERR_OPEN, path, "cannot open the index");
  return from_cdx(cdx::Bag::open(std::move(f), out), path);
}

Status TagKeys::compile(const Table& table, const std::string& key_expr, const std::string& for_expr,
                        std::unique_ptr<TagKeys>* out) {
  std::unique_ptr<TagKeys> k(new TagKeys());
  k->alias_ = alias_of(table.path());
  // The program's date settings, so keys come out as the program computes them.
  k->settings_.date_format = ace::settings().date_format;
  k->settings_.epoch = ace::settings().epoch;
  ace::order::TableSchema schema(table.header(), k->alias_);
  expr::CompileResult r = expr::compile(key_expr, schema, k->settings_);
  if (!r) return expr_error(table.path(), key_expr, r.error);
  expr::Error err;
  if (!r.program->key_spec(&k->spec_, &err)) return expr_error(table.path(), key_expr, err);
  k->key_.emplace(std::move(*r.program));
  if (!for_expr.empty()) {
    expr::CompileResult fr = expr::compile(for_expr, schema, k->settings_);
    if (!fr) return expr_error(table.path(), for_expr, fr.error);
    if (fr.program->result_type() != expr::Value::Type::Logical)
      return Status::error(ACE_ERR_INDEX, table.path(), "FOR condition \"" + for_expr + "\" is not logical");
    k->for_.emplace(std::move(*fr.program));
  }
  *out = std::move(k);
  return Status::success();
}

// Logical keys ('T'/'F') are padded like text.
cdx::KeyKind TagKeys::kind() const {
  return spec_.type == expr::KeyType::Character || spec_.type == expr::KeyType::Logical ? cdx::KeyKind::Character
                                                                                       : cdx::KeyKind::Binary;
}

Status TagKeys::evaluate(const Table& table, uint32_t recno, const std::string& rec, std::string* key, bool* in) {
  ace::order::RecordAdapter ctx(table, alias_, recno, rec);
  expr::Error err;
  *in = true;
  if (for_) {
    expr::Value v;
    if (!for_->evaluate_into(ctx, settings_, &v, &err)) return expr_error(table.path(), for_->text(), err);
    *in = v.type == expr::Value::Type::Logical && v.log;
  }
  if (!key_->evaluate_key(ctx, settings_, key, &err)) return expr_error(table.path(), key_->text(), err);
  return Status::success();
}

Status lock_header(Table& table) {
  // Appenders hold the lock for one write each; a few seconds covers a busy table.
  for (int attempt = 0;; ++attempt) {
    io::IoStatus s = table.file().lock(ace::table::kHeaderLockOffset, 1);
    if (s.ok()) return Status::success();
    if (s.code != io::IoStatus::LockConflict || attempt == 100)
      return Status::error(ACE_ERR_APPEND_LOCK, table.path(), "the table's header lock stays taken by another program", s.os_code);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

void unlock_header(Table& table) { table.file().unlock(ace::table::kHeaderLockOffset, 1); }

std::vector<TagDefinition> tag_definitions(const cdx::Bag& bag) {
  std::vector<TagDefinition> out;
  for (const auto& tag : bag.tags()) {
    TagDefinition d;
    d.spec.name = tag->name();
    d.spec.key_expr = tag->key_expr();
    d.spec.for_expr = tag->for_expr();
    d.spec.unique = tag->unique();
    d.spec.descending = tag->descending();
    d.options = tag->header().options;
    out.push_back(d);
  }
  return out;
}

namespace {

// Option bits a build decides for itself; any other bit of the old header (a
// candidate key's mark) is carried over to the rebuilt tag.
constexpr uint8_t kBuiltOptions = cdx::kOptUnique | cdx::kOptFor | cdx::kOptCompact | cdx::kOptCompound | cdx::kOptStructural;

Status carry_options(cdx::Bag& bag, cdx::Tag& tag, uint8_t old_options, const std::string& file) {
  const uint8_t extra = static_cast<uint8_t>(old_options & ~kBuiltOptions);
  if ((tag.header().options & extra) == extra) return Status::success();
  cdx::TagHeader h = tag.header();
  h.options = static_cast<uint8_t>(h.options | extra);
  uint8_t bytes[cdx::kTagHeaderSize] = {};
  if (!cdx::encode_tag_header(h, bytes)) return Status::error(ACE_ERR_INDEX, file, "tag header of " + tag.name() + " does not fit");
  return from_cdx(bag.store().write(tag.header_offset(), bytes, sizeof bytes), file);
}

}  // namespace

Status rebuild_bag(Table& table, const std::string& path, const std::vector<TagDefinition>& tags) {
  uint32_t count = 0;
  Status st = table.record_count(&count);
  if (!st.ok()) return st;

  // Keys first, so a tag whose expression fails leaves the old bag untouched.
  std::vector<cdx::TagSpec> built;
  for (const auto& t : tags) built.push_back(t.spec);
  std::vector<cdx::KeySet> keys(tags.size());
  for (size_t t = 0; t < tags.size(); ++t) {
    std::unique_ptr<TagKeys> tk;
    st = TagKeys::compile(table, built[t].key_expr, built[t].for_expr, &tk);
    if (!st.ok()) return st;
    built[t].key_len = tk->key_len();
    built[t].kind = tk->kind();
    std::string rec, key;
    for (uint32_t r = 1; r <= count; ++r) {
      st = table.read_record(r, &rec);
      if (!st.ok()) return st;
      bool in = false;
      st = tk->evaluate(table, r, rec, &key, &in);
      if (!st.ok()) return st;
      if (!in) continue;
      keys[t].bytes += key;
      keys[t].recnos.push_back(r);
    }
  }

  const std::string temp = path + ".new";
  {
    std::unique_ptr<io::File> f;
    io::IoStatus s = io::open_file(temp, io::Access::ReadWrite, io::Share::Exclusive, io::Disposition::CreateAlways, &f);
    if (!s.ok()) return ace::from_io(s, ACE_ERR_CREATE, temp, "cannot create the new index");
    std::unique_ptr<cdx::Bag> bag;
    st = from_cdx(cdx::Bag::create(std::move(f), true, &bag), temp);
    for (size_t t = 0; st.ok() && t < built.size(); ++t) {
      cdx::Tag* tag = nullptr;
      st = from_cdx(bag->create_tag(built[t], keys[t], &tag), temp);
      if (st.ok()) st = carry_options(*bag, *tag, tags[t].options, temp);
    }
    if (st.ok()) {
      io::IoStatus fs = bag->store().file().flush();
      if (!fs.ok()) st = ace::from_io(fs, ACE_ERR_WRITE, temp, "cannot write the new index");
    }
    if (!st.ok()) {
      bag.reset();
      io::remove_file(temp);
      return st;
    }
  }

  // The new bag is complete: copy it over the old one.
  std::string bytes;
  {
    std::unique_ptr<io::File> f;
    io::IoStatus s = io::open_file(temp, io::Access::ReadOnly, io::Share::Exclusive, io::Disposition::OpenExisting, &f);
    if (!s.ok()) return ace::from_io(s, ACE_ERR_READ, temp, "cannot reopen the new index");
    st = read_all(*f, &bytes);
    if (!st.ok()) return st;
  }
  {
    std::unique_ptr<io::File> f;
    io::IoStatus s = io::open_file(path, io::Access::ReadWrite, io::Share::Exclusive, io::Disposition::CreateAlways, &f);
    if (!s.ok()) return ace::from_io(s, ACE_ERR_WRITE, path, ("cannot replace the index (the new one is kept as " + temp + ")").c_str());
    s = f->write_at(0, bytes.data(), bytes.size());
    if (s.ok()) s = f->flush();
    if (!s.ok()) return ace::from_io(s, ACE_ERR_WRITE, path, ("cannot write the index (the new one is kept as " + temp + ")").c_str());
  }
  io::remove_file(temp);
  return Status::success();
}

}  // namespace dbfcheck
