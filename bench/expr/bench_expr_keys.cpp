// Evaluates index keys for 1,000,000 records and prints the rate beside the same
// keys built by hand in C++ (the floor an interpreter can approach).
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "expr/expr.h"

using namespace ace::expr;

namespace {

constexpr int kRecords = 1000000;

struct Row {
  std::string name;
  double amount;
  int32_t born;
};

// Hands out fields of the current row without allocating.
class Rows : public RecordContext {
 public:
  explicit Rows(const std::vector<Row>& rows) : rows_(rows) {}
  int field_index(std::string_view n) const override { return n == "NAME" ? 0 : n == "AMOUNT" ? 1 : n == "BORN" ? 2 : -1; }
  FieldType field_type(int i) const override {
    return i == 0 ? FieldType::Character : i == 1 ? FieldType::Numeric : FieldType::Date;
  }
  int field_width(int i) const override { return i == 0 ? 20 : i == 1 ? 12 : 8; }
  int field_decimals(int i) const override { return i == 1 ? 2 : 0; }
  std::string_view alias() const override { return "T"; }
  Value field_value(int i) const override {
    Value v;
    load_field(i, v);
    return v;
  }
  void load_field(int i, Value& out) const override {
    const Row& r = rows_[current];
    if (i == 0) {
      out.type = Value::Type::Character;
      out.str.assign(r.name);
    } else if (i == 1) {
      out.type = Value::Type::Numeric;
      out.num = r.amount;
      out.width = 12;
      out.decimals = 2;
    } else {
      out.type = Value::Type::Date;
      out.julian = r.born;
    }
  }
  uint32_t recno() const override { return static_cast<uint32_t>(current + 1); }
  bool deleted() const override { return false; }
  size_t current = 0;

 private:
  const std::vector<Row>& rows_;
};

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main() {
  std::vector<Row> rows(kRecords);
  uint32_t seed = 12345;
  for (auto& r : rows) {
    seed = seed * 1103515245u + 12345u;
    r.name = "name" + std::to_string(seed % 100000);
    r.name.resize(20, ' ');
    r.amount = static_cast<double>(seed % 1000000) / 100.0 - 5000.0;
    r.born = 2440000 + static_cast<int32_t>(seed % 20000);
  }
  Rows ctx(rows);
  EvalSettings settings;
  size_t checksum = 0;

  std::printf("%-32s %14s %14s\n", "key", "expression/s", "by hand/s");
  for (const char* text : {"UPPER(NAME)", "AMOUNT", "DTOS(BORN)+UPPER(NAME)", "STR(AMOUNT,12,2)+LEFT(NAME,8)"}) {
    CompileResult r = compile(text, ctx);
    KeySpec spec;
    Error err;
    if (!r || !r.program->key_spec(&spec, &err)) return 1;
    std::string key;
    auto t0 = std::chrono::steady_clock::now();
    for (ctx.current = 0; ctx.current < rows.size(); ++ctx.current) {
      r.program->evaluate_key(ctx, settings, &key, &err);
      checksum += static_cast<unsigned char>(key[0]);
    }
    double expr_s = seconds_since(t0);

    // The same keys written directly.
    std::string text_key(static_cast<size_t>(spec.length), ' ');
    t0 = std::chrono::steady_clock::now();
    for (const Row& row : rows) {
      std::string_view t(text);
      if (t == "AMOUNT") {
        text_key = encode_key(Value::numeric(row.amount), 8);
      } else {
        text_key.clear();
        if (t.substr(0, 4) == "DTOS") append_dtos(row.born, text_key);
        if (t.substr(0, 3) == "STR") {
          char buf[32];
          std::snprintf(buf, sizeof buf, "%12.2f", row.amount);
          text_key += buf;
          text_key.append(row.name, 0, 8);
        } else {
          for (char c : row.name) text_key.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c);
        }
      }
      checksum += static_cast<unsigned char>(text_key[0]);
    }
    double hand_s = seconds_since(t0);
    std::printf("%-32s %14.0f %14.0f\n", text, kRecords / expr_s, kRecords / hand_s);
  }
  std::printf("(checksum %zu)\n", checksum);
  return 0;
}
