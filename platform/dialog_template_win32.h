// Builds a dialog template in memory, for windows that must not depend on any
// resource library.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace plat {

class DialogTemplate {
 public:
  // Sizes in dialog units; the title and the item texts are set later through the
  // ANSI calls, so the template itself carries empty texts.
  DialogTemplate(DWORD style, short width, short height, const wchar_t* font, WORD point_size);

  enum class Kind : WORD { Button = 0x0080, Edit = 0x0081, Static = 0x0082 };
  void add(Kind kind, WORD id, DWORD style, short x, short y, short cx, short cy);

  const DLGTEMPLATE* get();

 private:
  void word(WORD w) { words_.push_back(w); }
  void dword(DWORD d) {
    word(LOWORD(d));
    word(HIWORD(d));
  }
  void text(const wchar_t* s);
  void align_dword() {
    if (words_.size() % 2) word(0);
  }

  std::vector<WORD> words_;
  WORD count_ = 0;
};

}  // namespace plat
