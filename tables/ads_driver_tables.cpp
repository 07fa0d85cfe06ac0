#include "ads_driver_tables.h"

#include <vector>

#include "ace32.h"
#include "ace32_errors.h"
#include "platform/file_names.h"


namespace tbl {
namespace {

const char* subsystem_for(int file_type) {
  static const char* const names[] = {"ADSNTX", "ADSCDX", "ADSADT"};
  return file_type >= 1 && file_type <= 3 ? names[file_type - 1] : "ADSCDX";
}

// Engine error number -> generic code, as ace32_errors.h lays down.
int generic_code_for(uint32_t number) {
  switch (number) {
    case ACE_ERR_ARGUMENT: return plat::EG_ARG;
    case ACE_ERR_HANDLE: return plat::EG_NOTABLE;
    case ACE_ERR_OPEN: return plat::EG_OPEN;
    case ACE_ERR_CREATE: return plat::EG_CREATE;
    case ACE_ERR_READ: return plat::EG_READ;
    case ACE_ERR_WRITE: return plat::EG_WRITE;
    case ACE_ERR_CORRUPT: return plat::EG_CORRUPTION;
    case ACE_ERR_DATATYPE: return plat::EG_DATATYPE;
    case ACE_ERR_DATAWIDTH: return plat::EG_DATAWIDTH;
    case ACE_ERR_APPEND_LOCK: return plat::EG_APPENDLOCK;
    case ACE_ERR_RECORD_LOCK: return plat::EG_LOCK;
    case ACE_ERR_FILE_LOCK: return plat::EG_LOCK;
    case ACE_ERR_READONLY: return plat::EG_READONLY;
    case ACE_ERR_UNLOCKED: return plat::EG_UNLOCKED;
    case ACE_ERR_UNSUPPORTED: return plat::EG_UNSUPPORTED;
    case ACE_ERR_INDEX_UNMAINTAINABLE: return plat::EG_UNSUPPORTED;
    case ACE_ERR_BUFFER_SMALL: return plat::EG_ARG;
    case ACE_ERR_NO_RECORD: return plat::EG_NOTABLE;
    case ACE_ERR_INDEX: return plat::EG_CORRUPTION;
    default: return plat::EG_UNSUPPORTED;
  }
}

Status check(uint32_t result, int file_type) {
  if (result == ACE_OK) return Status::success();
  return Status::failure(ads_error(result, file_type));
}

std::string index_extension_for(int file_type) {
  static const char* const ext[] = {".ntx", ".cdx", ".adi"};
  return file_type >= 1 && file_type <= 3 ? ext[file_type - 1] : ".cdx";
}

struct FieldInfo {
  char type = 'C';
  uint16_t length = 0;
  uint16_t decimals = 0;
};

class AdsTable : public Table {
 public:
  AdsTable(ACE_HANDLE handle, int file_type) : h_(handle), type_(file_type) {
    uint16_t count = 0;
    ace_field_count(h_, &count);
    for (uint16_t n = 1; n <= count; ++n) {
      FieldInfo f;
      ace_field_info(h_, n, nullptr, 0, &f.type, &f.length, &f.decimals);
      fields_.push_back(f);
    }
  }
  ~AdsTable() override { ace_close_table(h_); }
  AdsTable(const AdsTable&) = delete;
  AdsTable& operator=(const AdsTable&) = delete;

  uint32_t record_number() const override {
    uint32_t r = 0;
    ace_recno(h_, &r);
    return r;
  }
  Status go_to(uint32_t record) override { return check(ace_go_to(h_, record), type_); }
  Status go_top() override { return check(ace_go_top(h_), type_); }
  Status go_bottom() override { return check(ace_go_bottom(h_), type_); }
  Status skip(long count) override { return check(ace_skip(h_, static_cast<int32_t>(count)), type_); }
  bool eof() const override {
    uint16_t v = 1;
    ace_at_eof(h_, &v);
    return v != 0;
  }
  bool bof() const override {
    uint16_t v = 0;
    ace_at_bof(h_, &v);
    return v != 0;
  }

  int field_count() const override { return static_cast<int>(fields_.size()); }

  Value field_get(int field) override {
    const FieldInfo& f = fields_[static_cast<size_t>(field - 1)];
    const auto n = static_cast<uint16_t>(field);
    switch (f.type) {
      case 'C': return Value::character(text_of(n));
      case 'M': return Value::memo(text_of(n));
      case 'D':
      case 'T': {
        int32_t julian = 0;
        ace_get_julian(h_, n, &julian);
        return Value::date(julian);
      }
      case 'L': {
        uint16_t b = 0;
        ace_get_logical(h_, n, &b);
        return Value::logical(b != 0);
      }
      default: {
        double d = 0;
        ace_get_double(h_, n, &d);
        return Value::numeric(d, f.length, f.decimals);
      }
    }
  }

  Status field_put(int field, const Value& v) override {
    const FieldInfo& f = fields_[static_cast<size_t>(field - 1)];
    const auto n = static_cast<uint16_t>(field);
    const std::string t = VALTYPE(v);
    if ((f.type == 'C' || f.type == 'M') && (t == "C" || t == "M"))
      return check(ace_set_string(h_, n, v.text().data(), static_cast<uint32_t>(v.text().size())), type_);
    if ((f.type == 'D' || f.type == 'T') && t == "D")
      return check(v.julian() == 0 ? ace_set_empty(h_, n) : ace_set_julian(h_, n, v.julian()), type_);
    if (f.type == 'L' && t == "L") return check(ace_set_logical(h_, n, v.logical() ? 1 : 0), type_);
    if ((f.type == 'N' || f.type == 'F' || f.type == 'I' || f.type == 'B' || f.type == 'Y') && t == "N")
      return check(ace_set_double(h_, n, v.number()), type_);
    plat::Error e;
    e.gen_code = plat::EG_DATATYPE;
    e.subsystem = subsystem_for(type_);
    e.description = "Data type error";
    e.operation = "FIELDPUT";
    return Status::failure(e);
  }

  Status append() override {
    Status s = check(ace_append(h_), type_);
    if (!s.ok() && s.error->gen_code == plat::EG_APPENDLOCK) {
      // Another user appending: the caller may try again or go on without it.
      s.error->can_default = true;
      s.error->can_retry = true;
    }
    return s;
  }

  bool lock_record() override {
    ace_unlock_all(h_);
    return ace_lock_record(h_, 0) == ACE_OK;
  }

  int order_number() const override {
    uint16_t order = 0;
    ace_get_order(h_, &order);
    return order;
  }
  Status set_order(int order) override {
    return check(ace_set_order(h_, static_cast<uint16_t>(order < 0 ? 0 : order)), type_);
  }
  Status create_order(const OrderRequest& r) override {
    // A bag of its own without a tag name is one order named after the bag.
    const std::string bag = r.bag.value_or("");
    const std::string tag = r.tag ? *r.tag : plat::CFILENOEXT(bag);
    uint16_t order = 0;
    return check(ace_create_index(h_, bag.c_str(), tag.c_str(), r.key.c_str(), "",
                                  r.unique ? ACE_INDEX_UNIQUE : 0u, &order),
                 type_);
  }
  Status clear_orders() override { return check(ace_close_indexes(h_), type_); }

 private:
  std::string text_of(uint16_t field) {
    std::vector<char> buf(256);
    auto length = static_cast<uint32_t>(buf.size());
    uint32_t r = ace_get_string(h_, field, buf.data(), &length);
    if (r == ACE_ERR_BUFFER_SMALL) {
      buf.resize(length);
      r = ace_get_string(h_, field, buf.data(), &length);
    }
    if (r != ACE_OK) return std::string();
    return std::string(buf.data(), length);
  }

  Status unsupported(const char* operation) const {
    plat::Error e;
    e.gen_code = plat::EG_UNSUPPORTED;
    e.subsystem = subsystem_for(type_);
    e.description = "Index orders are not available";
    e.operation = operation;
    return Status::failure(e);
  }

  ACE_HANDLE h_;
  int type_;
  std::vector<FieldInfo> fields_;
};

}  // namespace

plat::Error ads_error(uint32_t result, int file_type) {
  plat::Error e;
  e.gen_code = generic_code_for(result);
  e.subsystem = subsystem_for(file_type);
  e.sub_code = static_cast<int>(result);
  uint32_t number = 0;
  int32_t os = 0;
  char file[260] = {0};
  char text[256] = {0};
  uint32_t file_length = sizeof file;
  uint32_t text_length = sizeof text;
  if (ace_get_last_error(&number, &os, file, &file_length, text, &text_length) == ACE_OK && number == result) {
    e.os_code = os;
    e.file_name.assign(file, file_length);
    e.operation.assign(text, text_length);
  }
  e.description = plat::generic_description(e.gen_code);
  return e;
}

AdsTableDriver::AdsTableDriver(std::function<int()> file_type) : file_type_(std::move(file_type)) {}

std::string AdsTableDriver::index_extension() const { return index_extension_for(file_type_()); }

Status AdsTableDriver::open(const OpenRequest& request, std::unique_ptr<Table>* out) {
  const int type = file_type_();
  uint32_t options = 0;
  if (!request.shared) options |= ACE_OPEN_EXCLUSIVE;
  if (request.read_only) options |= ACE_OPEN_READONLY;
  ACE_HANDLE h = 0;
  const uint32_t r = ace_open_table(request.file.c_str(), request.alias.c_str(), static_cast<uint16_t>(type),
                                    options, &h);
  if (r != ACE_OK) {
    plat::Error e = ads_error(r, type);
    // Another user holding the table is for the caller to retry or report.
    e.can_default = true;
    e.can_retry = true;
    return Status::failure(e);
  }
  *out = std::make_unique<AdsTable>(h, type);
  return Status::success();
}

}  // namespace tbl
