#include "platform/dialog_template_win32.h"

namespace plat {

// In-memory dialog template, every field little-endian and WORD-aligned:
//
// | offset | size | meaning                                               |
// |--------|------|-------------------------------------------------------|
// | 0      | 4    | style (DS_SETFONT set, so a font follows the title)   |
// | 4      | 4    | extended style                                        |
// | 8      | 2    | number of items                                       |
// | 10     | 8    | x, y, cx, cy in dialog units                          |
// | 18     | 2    | menu: 0 = none                                        |
// | 20     | 2    | class: 0 = the dialog class                           |
// | 22     | var  | title, UTF-16, NUL-terminated                         |
// | ...    | 2    | font point size, then the face name, UTF-16, NUL      |
//
// Each item starts on a DWORD boundary:
//
// | offset | size | meaning                                               |
// |--------|------|-------------------------------------------------------|
// | 0      | 4    | style                                                 |
// | 4      | 4    | extended style                                        |
// | 8      | 8    | x, y, cx, cy in dialog units                          |
// | 16     | 2    | control id                                            |
// | 18     | 4    | class: 0xFFFF then the predefined class atom          |
// | 22     | var  | text, UTF-16, NUL-terminated                          |
// | ...    | 2    | size of creation data: 0                              |

DialogTemplate::DialogTemplate(DWORD style, short width, short height, const wchar_t* font,
                               WORD point_size) {
  dword(style | DS_SETFONT);
  dword(0);
  word(0);  // item count, patched by get()
  word(0);
  word(0);
  word(static_cast<WORD>(width));
  word(static_cast<WORD>(height));
  word(0);
  word(0);
  text(L"");
  word(point_size);
  text(font);
}

void DialogTemplate::text(const wchar_t* s) {
  for (; *s; ++s) word(static_cast<WORD>(*s));
  word(0);
}

void DialogTemplate::add(Kind kind, WORD id, DWORD style, short x, short y, short cx,
                         short cy) {
  align_dword();
  dword(style | WS_CHILD | WS_VISIBLE);
  dword(0);
  word(static_cast<WORD>(x));
  word(static_cast<WORD>(y));
  word(static_cast<WORD>(cx));
  word(static_cast<WORD>(cy));
  word(id);
  word(0xFFFF);
  word(static_cast<WORD>(kind));
  text(L"");
  word(0);
  ++count_;
}

const DLGTEMPLATE* DialogTemplate::get() {
  words_[4] = count_;
  return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
}

}  // namespace plat
