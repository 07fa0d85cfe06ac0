// A field of a record as the text dump writes: one form per field type, with
// memos read through the table.
#pragma once

#include <string>

#include "engine_access.h"

namespace dbfcheck {

// The value of `f` in `rec` in code-page bytes (text types) or ASCII (the rest);
// a memo that cannot be read gives an empty value and the reason in *memo_error.
std::string field_text(const Table& table, const std::string& rec, const ace::dbf::FieldDesc& f,
                       std::string* memo_error);

// True for types whose value is stored text, in the table's code page.
bool is_text_type(const ace::dbf::FieldDesc& f);
// True for text the table marks as exempt from code-page translation.
bool is_untranslated(const ace::dbf::FieldDesc& f);

}  // namespace dbfcheck
