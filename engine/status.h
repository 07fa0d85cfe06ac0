// The engine's result of an operation: an error number of ace32_errors.h (0 for
// success), the system's code where one applies, the file concerned and a short
// text. Engine functions return it; nothing inside the engine throws.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "ace32_errors.h"
#include "io/file.h"

namespace ace {

struct Status {
  uint32_t code = ACE_OK;
  int os_code = 0;
  std::string file;
  std::string text;

  bool ok() const { return code == ACE_OK; }
  static Status success() { return {}; }
  static Status error(uint32_t code, std::string file, std::string text, int os_code = 0) {
    Status s;
    s.code = code;
    s.os_code = os_code;
    s.file = std::move(file);
    s.text = std::move(text);
    return s;
  }
};

// A failed file operation as a Status: `code` names the engine operation that
// failed (open, read, write, ...); the system's code travels along.
inline Status from_io(const io::IoStatus& io, uint32_t code, const std::string& file,
                      const char* what) {
  if (io.ok()) return Status::success();
  if (io.code == io::IoStatus::ShortRead) return Status::error(ACE_ERR_CORRUPT, file, "file is shorter than its header says", io.os_code);
  return Status::error(code, file, what, io.os_code);
}

}  // namespace ace
