// A table's field as its descriptor gives it, with the offset in the record
// computed from the lengths of the fields before it.
#pragma once

#include <cstdint>
#include <string>

#include "expr/value.h"

namespace ace::dbf {

// Field type letters as stored in the descriptor; key expressions see the same ones.
using FieldType = expr::FieldType;

// Flags byte of a Visual FoxPro field descriptor.
enum FieldFlag : uint8_t {
  kFieldSystem = 0x01,
  kFieldNullable = 0x02,
  kFieldBinary = 0x04,
  kFieldAutoIncrement = 0x08,
};

struct FieldDesc {
  std::string name;  // as stored, case kept
  FieldType type = FieldType::Character;
  uint32_t offset = 0;  // in the record; 0 is the deleted flag, so fields start at 1
  uint16_t length = 0;
  uint8_t decimals = 0;
  uint8_t flags = 0;
  // Bit numbers in the _NullFlags field, -1 when the field has none.
  int null_bit = -1;
  int varlength_bit = -1;

  bool is_memo() const {
    return type == FieldType::Memo || type == FieldType::General || type == FieldType::Picture ||
           type == FieldType::Blob;
  }
  bool is_system() const { return (flags & kFieldSystem) != 0 || type == FieldType::NullFlags; }
};

}  // namespace ace::dbf
