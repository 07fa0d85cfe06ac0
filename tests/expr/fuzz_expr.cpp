// Fuzzes the expression language: any text must compile or fail cleanly, and a
// compiled program must evaluate or fail cleanly; a text result never exceeds the
// width the compiler promised, since key lengths rest on it.
// The syntax-only check must agree with compiling: whatever compiles passes it,
// and text refused as malformed is refused by it with the same fault.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "test_record.h"

using namespace ace::expr;

namespace {

void check(Program& p, const RecordContext& rec, const EvalSettings& s) {
  EvalResult r = p.evaluate(rec, s);
  if (r.ok() && r.value.type != p.result_type() && p.result_type() != Value::Type::Nil) std::abort();
  if (r.ok() && r.value.type == Value::Type::Character && p.result_width() >= 0 &&
      r.value.str.size() > static_cast<size_t>(p.result_width()))
    std::abort();
  KeySpec spec;
  Error e;
  if (p.key_spec(&spec, &e)) {
    std::string key;
    if (p.evaluate_key(rec, s, &key, &e) && key.size() != static_cast<size_t>(spec.length)) std::abort();
  }
}

void agrees(const CompileResult& compiled, bool (*syntax_ok)(std::string_view, Error*),
            const std::string& text) {
  Error e;
  bool ok = syntax_ok(text, &e);
  if (compiled && !ok) std::abort();
  const ErrorKind k = compiled.error.kind;
  if ((k == ErrorKind::Syntax || k == ErrorKind::UnknownFunction) &&
      (ok || e.kind != k || e.position != compiled.error.position))
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* kFormats[] = {"dd-mm-yy", "mm/dd/yyyy", "yyyy.mm.dd", "dd"};
  EvalSettings s;
  s.date_format = kFormats[size ? data[0] % 4 : 0];
  s.epoch = 1950;
  s.today = 2450462;
  std::string text(reinterpret_cast<const char*>(data), size);

  testing::TestRecord rec = testing::people();
  CompileResult r = compile(text, rec, s);
  if (r) check(*r.program, rec, s);
  agrees(r, check_syntax, text);
  std::string block = "{ ||" + text + "}";
  CompileResult b = compile_block(block, rec, s);
  if (b) check(*b.program, rec, s);
  agrees(b, check_block_syntax, block);
  return 0;
}
