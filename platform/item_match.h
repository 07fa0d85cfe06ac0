// How a list control finds the item that stands for its bound value.
#pragma once

#include <string>
#include <vector>

namespace plat {

// Index of the first item equal to `value` ignoring ASCII case and blanks at both
// ends of either text; -1 when none is.
int find_matching_item(const std::vector<std::string>& items, const std::string& value);

}  // namespace plat
