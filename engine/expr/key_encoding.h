// Values as the bytes a compound index stores and sorts: keys compare with
// memcmp in the order of the values they encode.
//
// | Key type      | Size       | Bytes                                                     |
// |---------------|------------|-----------------------------------------------------------|
// | Character     | key length | the raw bytes (machine collation), blank-padded           |
// | Numeric, Date | 8          | IEEE double, big-endian; sign bit flipped when >= 0, every |
// |               |            | bit inverted when < 0; a date as its Julian day, blank = 0 |
// | Integer       | 4          | two's complement, big-endian, sign bit flipped            |
// | Logical       | 1          | 'T' or 'F'                                                |
//
// Example: 1997-01-13, day 2450462, is C1 42 B2 0F 00 00 00 00; the integer 1 is
// 80 00 00 01.
#pragma once

#include <cstdint>
#include <string>

#include "program.h"
#include "value.h"

namespace ace::expr {

// Character and memo: the raw bytes (machine collation), blank-padded or cut to
// key_len. Numeric and date: the 8-byte ordered double (a 4-byte key_len gives the
// Integer form). Logical: "T" or "F". Nil gives key_len zero bytes.
std::string encode_key(const Value& v, int key_len);

// The same into a buffer whose capacity is reused, for a known key type.
void encode_key_into(const Value& v, const KeySpec& spec, std::string* out);

// Numbers and dates (as Julian days): 8 bytes, big-endian IEEE double with the
// sign bit flipped for values >= 0 and every bit inverted for negative ones.
void encode_double_key(double d, uint8_t out[8]);
double decode_double_key(const uint8_t in[8]);

// Integer columns: 4 bytes, big-endian, sign bit flipped.
void encode_integer_key(int32_t v, uint8_t out[4]);
int32_t decode_integer_key(const uint8_t in[4]);

}  // namespace ace::expr
