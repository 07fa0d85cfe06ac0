// The network-error indicator: one flag for the whole program. Opens and appends
// clear it and set it when they fail; the application's error handler sets it
// when it answers an open refused by another user, or a failed append lock,
// quietly.
#pragma once

namespace tbl {

bool NETERR();
void set_neterr(bool value);

}  // namespace tbl
