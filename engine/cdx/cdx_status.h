// Outcome of an index operation. Failures carry a message that names the bag file
// and, for damaged pages, the page offset, so the caller can build an error object.
#pragma once

#include <string>
#include <utility>

namespace ace::cdx {

struct Status {
  enum Code { Ok = 0, IoError, Corrupt, Invalid, NotFound };
  Code code = Ok;
  std::string message;

  bool ok() const { return code == Ok; }
  static Status success() { return {}; }
  static Status error(Code c, std::string m) { return {c, std::move(m)}; }
};

}  // namespace ace::cdx
