#include "program.h"

#include "evaluator.h"
#include "key_encoding.h"
#include "parser.h"

namespace ace::expr {

namespace {

void decide_key(const Node& root, KeySpec* spec, bool* ok, Error* err) {
  *ok = false;
  auto refuse = [&](const char* msg) { *err = Error{ErrorKind::Type, 0, msg}; };
  switch (root.type) {
    case Value::Type::Character:
      if (root.width < 0) return refuse("The length of the key depends on the data");
      if (root.width == 0) return refuse("The key is empty");
      if (root.width > kMaxKeyLength) return refuse("The key is longer than 240 bytes");
      *spec = KeySpec{KeyType::Character, root.width};
      break;
    case Value::Type::Numeric:
      *spec = root.integer_field ? KeySpec{KeyType::Integer, 4} : KeySpec{KeyType::Numeric, 8};
      break;
    case Value::Type::Date:
      *spec = KeySpec{KeyType::Date, 8};
      break;
    case Value::Type::Logical:
      *spec = KeySpec{KeyType::Logical, 1};
      break;
    case Value::Type::Memo:
      return refuse("A memo cannot be a key");
    default:
      return refuse("NIL cannot be a key");
  }
  *ok = true;
}

CompileResult compile_text(std::string_view text, bool as_block, const Schema& schema,
                           const EvalSettings& settings) {
  CompileResult r;
  Program p;
  Parser parser(text, schema, settings, &p);
  if (!parser.parse(as_block, &r.error)) return r;
  r.program = std::move(p);
  return r;
}

bool check_text(std::string_view text, bool as_block, Error* err) {
  // Never consulted when only the syntax is checked.
  static const FieldListSchema no_columns({}, "");
  const EvalSettings settings;  // the parser keeps a reference
  Program p;
  Error e;
  Parser parser(text, no_columns, settings, &p, /*syntax_only=*/true);
  if (parser.parse(as_block, &e)) return true;
  if (err) *err = e;
  return false;
}

}  // namespace

const char* kind_name(ErrorKind k) {
  switch (k) {
    case ErrorKind::None: return "none";
    case ErrorKind::Syntax: return "syntax";
    case ErrorKind::UnknownFunction: return "unknown function";
    case ErrorKind::UnknownField: return "unknown field";
    case ErrorKind::Type: return "type";
    case ErrorKind::Argument: return "argument";
  }
  return "?";
}

char type_letter(Value::Type t) {
  switch (t) {
    case Value::Type::Character: return 'C';
    case Value::Type::Memo: return 'M';
    case Value::Type::Numeric: return 'N';
    case Value::Type::Date: return 'D';
    case Value::Type::Logical: return 'L';
    default: return 'U';
  }
}

Value::Type Program::result_type() const {
  Value::Type t = nodes_[root_].type;
  return t == Value::Type::Memo ? Value::Type::Character : t;
}

int Program::result_width() const { return nodes_[root_].width; }

bool Program::key_spec(KeySpec* out, Error* err) const {
  KeySpec spec;
  bool ok;
  Error e;
  decide_key(nodes_[root_], &spec, &ok, &e);
  if (!ok) {
    if (err) *err = e;
    return false;
  }
  *out = spec;
  return true;
}

bool Program::evaluate_key(const RecordContext& ctx, const EvalSettings& settings, std::string* key,
                           Error* err) {
  if (!key_ok_) {
    bool ok;
    decide_key(nodes_[root_], &key_, &ok, &key_error_);
    if (!ok) {
      if (err) *err = key_error_;
      return false;
    }
    key_ok_ = true;
  }
  Error e;
  if (!run_program(*this, ctx, settings, &e)) {
    if (err) *err = e;
    return false;
  }
  encode_key_into(slots_[root_], key_, key);
  return true;
}

CompileResult compile(std::string_view text, const Schema& schema, const EvalSettings& settings) {
  return compile_text(text, false, schema, settings);
}

CompileResult compile_block(std::string_view block, const Schema& schema, const EvalSettings& settings) {
  return compile_text(block, true, schema, settings);
}

bool check_syntax(std::string_view text, Error* err) { return check_text(text, false, err); }

bool check_block_syntax(std::string_view block, Error* err) { return check_text(block, true, err); }

}  // namespace ace::expr
