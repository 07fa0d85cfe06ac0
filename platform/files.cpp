#include "files.h"

namespace plat {

std::vector<std::string> DIRECTORY(const std::string& mask) { return system_files().directory(mask); }
bool FILE(const std::string& path) { return system_files().exists(path); }
uint64_t FSIZE(const std::string& path) { return system_files().size(path); }
bool COPYFILE(const std::string& from, const std::string& to) { return system_files().copy(from, to); }

std::string MEMOREAD(const std::string& path) { return MEMOREAD(system_files(), path); }

std::string MEMOREAD(FileSystem& fs, const std::string& path) {
  std::unique_ptr<ByteSource> in = fs.open_read(path);
  if (!in) return {};
  std::string content;
  char buf[64 * 1024];
  for (;;) {
    size_t got = 0;
    // A read that fails ends the content there, as the end of the file would.
    if (!in->read(buf, sizeof buf, &got) || got == 0) break;
    content.append(buf, got);
  }
  if (!content.empty() && content.back() == '\x1A') content.pop_back();
  return content;
}

}  // namespace plat
