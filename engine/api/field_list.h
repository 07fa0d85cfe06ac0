// The field-list text of ace_create_table: "NAME,C,20,0;AMOUNT,N,12,2;BORN,D;NOTE,M".
// Fields are separated by ';', parts by ','; the type is one letter; length and
// decimals may be left out where the type fixes them (D, L, M, G, I, B, T, Y).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dbf/field.h"

namespace ace::api {

// False with a reason in *why when the text is not a field list.
bool parse_field_list(std::string_view text, std::vector<dbf::FieldDesc>* out, std::string* why);

}  // namespace ace::api
