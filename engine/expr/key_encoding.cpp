#include "key_encoding.h"

#include <cmath>
#include <cstring>

namespace ace::expr {

void encode_double_key(double d, uint8_t out[8]) {
  if (d == 0.0) d = 0.0;  // -0 keys like 0
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  bits = (bits & 0x8000000000000000ull) ? ~bits : bits ^ 0x8000000000000000ull;
  for (int i = 7; i >= 0; --i, bits >>= 8) out[i] = static_cast<uint8_t>(bits);
}

double decode_double_key(const uint8_t in[8]) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits = (bits << 8) | in[i];
  bits = (bits & 0x8000000000000000ull) ? bits ^ 0x8000000000000000ull : ~bits;
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

void encode_integer_key(int32_t v, uint8_t out[4]) {
  uint32_t u = static_cast<uint32_t>(v) ^ 0x80000000u;
  for (int i = 3; i >= 0; --i, u >>= 8) out[i] = static_cast<uint8_t>(u);
}

int32_t decode_integer_key(const uint8_t in[4]) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u = (u << 8) | in[i];
  return static_cast<int32_t>(u ^ 0x80000000u);
}

namespace {

int32_t to_int32(double d) {
  if (!(d > -2147483649.0)) return INT32_MIN;
  if (!(d < 2147483648.0)) return INT32_MAX;
  return static_cast<int32_t>(std::llround(d));
}

}  // namespace

void encode_key_into(const Value& v, const KeySpec& spec, std::string* out) {
  size_t len = static_cast<size_t>(spec.length > 0 ? spec.length : 0);
  out->resize(len);
  char* p = out->data();
  uint8_t* u = reinterpret_cast<uint8_t*>(p);
  switch (v.type) {
    case Value::Type::Character:
    case Value::Type::Memo: {
      size_t n = v.str.size() < len ? v.str.size() : len;
      std::memcpy(p, v.str.data(), n);
      std::memset(p + n, ' ', len - n);
      return;
    }
    case Value::Type::Numeric:
    case Value::Type::Date: {
      double d = v.type == Value::Type::Date ? static_cast<double>(v.julian) : v.num;
      if (spec.type == KeyType::Integer && len == 4) {
        encode_integer_key(to_int32(d), u);
      } else if (len >= 8) {
        encode_double_key(d, u);
        std::memset(p + 8, 0, len - 8);
      } else {
        uint8_t full[8];
        encode_double_key(d, full);
        std::memcpy(p, full, len);
      }
      return;
    }
    case Value::Type::Logical:
      if (len) {
        p[0] = v.log ? 'T' : 'F';
        std::memset(p + 1, ' ', len - 1);
      }
      return;
    case Value::Type::Nil:
      std::memset(p, 0, len);
      return;
  }
}

std::string encode_key(const Value& v, int key_len) {
  KeySpec spec;
  spec.length = key_len;
  spec.type = v.type == Value::Type::Numeric && key_len == 4 ? KeyType::Integer : KeyType::Numeric;
  std::string out;
  encode_key_into(v, spec, &out);
  return out;
}

}  // namespace ace::expr
