#include "io/file.h"

namespace ace::io {
namespace {
FileWrapper& wrapper() {
  static FileWrapper w;
  return w;
}
}  // namespace

void set_file_wrapper(FileWrapper w) { wrapper() = std::move(w); }

std::unique_ptr<File> wrap_opened(std::unique_ptr<File> file) {
  return wrapper() ? wrapper()(std::move(file)) : std::move(file);
}

}  // namespace ace::io
