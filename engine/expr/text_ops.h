// Text operations whose rules the language fixes.
#pragma once

#include <string>
#include <string_view>

namespace ace::expr {

// "=" and the orderings: the left text is compared over the length of the right
// one (a shorter left text as if blank-padded), so "ABC" = "AB" and "AB" = "".
int compare_text(std::string_view l, std::string_view r);

// "-" on texts: the left text's trailing blanks move to the end of the result.
void append_concat_move_blanks(std::string_view l, std::string_view r, std::string& out);

bool is_blank_text(std::string_view s);  // only blanks, tabs, CR and LF (EMPTY)

}  // namespace ace::expr
