#include "production_index.h"

#include <sys/stat.h>

#include <cstdio>

#include "platform/file_names.h"
#include "table_operations.h"

namespace tbl {
namespace {

// dBASE table header, as far as this step touches it:
//   offset  size  meaning
//   28      1     table flags; 0x01 = a production index (.MDX) belongs to the table
constexpr long kProductionIndexFlagOffset = 28;

bool path_exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

void clear_flag(const std::string& table_path) {
  // The C runtime opens without denying others reading or writing.
  std::FILE* f = std::fopen(table_path.c_str(), "r+b");
  if (!f) return;
  // A file too short to hold the flag is no table: do not grow it.
  if (std::fseek(f, 0, SEEK_END) == 0 && std::ftell(f) > kProductionIndexFlagOffset &&
      std::fseek(f, kProductionIndexFlagOffset, SEEK_SET) == 0)
    std::fputc(0, f);
  std::fclose(f);
}

std::string upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// The file the open will use: the name as given, with ".dbf" when it has no
// extension of its own.
std::string opened_file(const std::string& name) {
  const auto dot = name.rfind('.');
  const auto folder = name.find_last_of("\\:");
  const bool has_extension = dot != std::string::npos && (folder == std::string::npos || dot > folder);
  return has_extension ? name : name + ".dbf";
}

}  // namespace

void clear_missing_production_index(const std::string& table_file) {
  const std::string ext = INDEXEXT();
  if (ext != ".MDX") return;
  const std::string stem = plat::CFILEPATH(table_file) + plat::CFILENOEXT(table_file);
  if (path_exists(stem + ext)) return;
  const std::string target = stem + ".dbf";
  // Folder and base name can name another table than the one being opened (a
  // name without folder points at the root folder, a second dot cuts the base
  // name short): its header is none of this open's business.
  if (upper(target) != upper(opened_file(table_file))) return;
  clear_flag(target);
}

}  // namespace tbl
