// Compiling expression text once and evaluating it for many records.
//
//   CompileResult r = compile("UPPER(NAME)+DTOS(BORN)", schema);
//   if (!r) report(r.error);
//   KeySpec key; r.program->key_spec(&key, &err);      // Character, width of NAME + 8
//   r.program->evaluate_key(record, settings, &bytes, &err);
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "eval_settings.h"
#include "expr_error.h"
#include "node.h"
#include "record_context.h"
#include "value.h"

namespace ace::expr {

// How an index stores the keys of an expression.
enum class KeyType { Character, Numeric, Date, Logical, Integer };

struct KeySpec {
  KeyType type = KeyType::Character;
  int length = 0;  // bytes of every key
};

// Longest key a compound index holds.
constexpr int kMaxKeyLength = 240;

struct EvalResult {
  Value value;
  Error error;
  bool ok() const { return error.ok(); }
};

class Program {
 public:
  // Static type of the result; Character for a memo field's text.
  Value::Type result_type() const;
  // Character: the longest result (results are padded to it in keys); -1 when it
  // depends on the data. Numeric: a display width.
  int result_width() const;
  // Type and length of the index key; an error of kind Type when the expression
  // gives no key of fixed length (a memo, NIL, a text whose length depends on data)
  // or a key longer than kMaxKeyLength.
  bool key_spec(KeySpec* out, Error* err) const;
  const std::string& text() const { return text_; }

  // Evaluation reuses the program's own result slots, so a Program is not to be
  // evaluated from two threads at once (copies are independent).
  EvalResult evaluate(const RecordContext& ctx, const EvalSettings& settings);
  // As evaluate, into a caller's value whose buffer is reused.
  bool evaluate_into(const RecordContext& ctx, const EvalSettings& settings, Value* out, Error* err);
  // The index key of the record, replacing *key (key_spec() must have succeeded).
  bool evaluate_key(const RecordContext& ctx, const EvalSettings& settings, std::string* key,
                    Error* err);

 private:
  friend class Parser;
  friend class Evaluator;
  friend bool run_program(Program&, const RecordContext&, const EvalSettings&, Error*);

  std::string text_;
  std::vector<Node> nodes_;
  std::vector<uint32_t> args_;
  std::vector<Value> slots_;  // one per node; constants are stored here at compile time
  uint32_t root_ = 0;
  KeySpec key_{};
  bool key_ok_ = false;
  Error key_error_;
};

struct CompileResult {
  std::optional<Program> program;
  Error error;
  explicit operator bool() const { return program.has_value(); }
};

// Compiles an expression over the columns of `schema`. The date format in
// `settings` fixes the width of DTOC() results for key lengths.
CompileResult compile(std::string_view text, const Schema& schema,
                      const EvalSettings& settings = EvalSettings{});

// Compiles a code block without parameters, "{ || expr }" or "{|| e1, e2 }"; the
// value of the block is that of its last expression. Error positions count from
// the start of `block`.
CompileResult compile_block(std::string_view block, const Schema& schema,
                            const EvalSettings& settings = EvalSettings{});

// Whether text would compile over some table, for when no table is at hand: any
// name is taken as a field, and types are not checked, since they depend on the
// columns. What is left to fail is malformed text (kind Syntax) and a function the
// language does not know (kind UnknownFunction), which no table can make compile.
// On failure *err (when given) tells the kind and position.
bool check_syntax(std::string_view text, Error* err);
// The same for a code block, as compile_block reads it.
bool check_block_syntax(std::string_view block, Error* err);

}  // namespace ace::expr
