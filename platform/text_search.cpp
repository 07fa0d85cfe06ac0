#include "text_search.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "files.h"

namespace plat {

size_t AT(const std::string& needle, const std::string& text) {
  if (needle.empty() || text.empty()) return 0;
  const size_t p = text.find(needle);
  return p == std::string::npos ? 0 : p + 1;
}

size_t ASCAN(const std::vector<std::string>& list, const std::string& text) {
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i] == text) return i + 1;
  return 0;
}

uint64_t stream_at(const std::string& needle, ByteSource& source, size_t buffer_size) {
  if (needle.empty()) return 0;
  const size_t keep = needle.size() - 1;  // bytes carried over so a match can straddle reads
  const size_t piece = std::max<size_t>(buffer_size, 1);
  std::vector<char> window(keep + piece);
  size_t held = 0;        // bytes in window
  uint64_t consumed = 0;  // file offset of window[0]
  uint64_t found = 0;     // file offset + 1 of the first match
  for (;;) {
    size_t got = 0;
    // A failed read ends the content, as it does for MEMOREAD.
    if (!source.read(window.data() + held, piece, &got) || got == 0) break;
    held += got;
    if (found == 0) {
      const size_t at = std::string_view(window.data(), held).find(needle);
      if (at != std::string_view::npos) {
        found = consumed + at + 1;
        // Only a match ending on a final 0x1A could still be undone; keep reading
        // just to learn where the file ends in that case.
        if (needle.back() != '\x1A') return found;
      }
    }
    const size_t drop = held > keep ? held - keep : 0;
    std::memmove(window.data(), window.data() + drop, held - drop);
    held -= drop;
    consumed += drop;
  }
  // MEMOREAD leaves a final 0x1A off, so a match that needs it is no match; any
  // later match would end beyond the file, so there is none to fall back on.
  const uint64_t file_size = consumed + held;
  if (found != 0 && needle.back() == '\x1A' && found - 1 + needle.size() == file_size) return 0;
  return found;
}

}  // namespace plat
