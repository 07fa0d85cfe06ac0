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

}  // namespace

void clear_missing_production_index(const std::string& table_file) {
  const std::string ext = INDEXEXT();
  if (ext != ".MDX") return;
  const std::string stem = plat::CFILEPATH(table_file) + plat::CFILENOEXT(table_file);
  if (path_exists(stem + ext)) return;
  clear_flag(stem + ".dbf");
}

}  // namespace tbl
