#include "tag_header.h"

#include <cstring>

#include "byte_order.h"

namespace ace::cdx {

namespace {

constexpr size_t kPool = 512;

std::string pool_text(const uint8_t* bytes, size_t from) {
  if (from >= kPool) return {};
  const uint8_t* p = bytes + kPool + from;
  size_t n = 0;
  while (from + n < kPool && p[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(p), n);
}

}  // namespace

TagHeader decode_tag_header(const uint8_t* bytes) {
  TagHeader h;
  h.root = get_le32(bytes);
  h.free_list = get_le32(bytes + 4);
  h.version = get_le32(bytes + 8);
  h.key_len = get_le16(bytes + 12);
  h.options = bytes[14];
  h.signature = bytes[15];
  h.descending = get_le16(bytes + 502) != 0;
  h.key_expr = pool_text(bytes, 0);
  // The FOR text follows the key's NUL; the stored length says where that is.
  size_t key_len_field = get_le16(bytes + 510);
  size_t for_at = key_len_field > 0 ? key_len_field : h.key_expr.size() + 1;
  if (h.options & kOptFor) h.for_expr = pool_text(bytes, for_at);
  return h;
}

bool encode_tag_header(const TagHeader& h, uint8_t* bytes) {
  const size_t key_n = h.key_expr.size() + 1, for_n = h.for_expr.size() + 1;
  if (key_n + for_n > kPool) return false;
  std::memset(bytes, 0, kTagHeaderSize);
  put_le32(bytes, h.root);
  put_le32(bytes + 4, h.free_list);
  put_le32(bytes + 8, h.version);
  put_le16(bytes + 12, h.key_len);
  uint8_t options = h.options;
  if (h.for_expr.empty()) options &= static_cast<uint8_t>(~kOptFor);
  else options |= kOptFor;
  bytes[14] = options;
  bytes[15] = h.signature;
  put_le16(bytes + 502, h.descending ? 1 : 0);
  put_le16(bytes + 504, static_cast<uint16_t>(key_n));
  put_le16(bytes + 506, static_cast<uint16_t>(for_n));
  put_le16(bytes + 510, static_cast<uint16_t>(key_n));
  std::memcpy(bytes + kPool, h.key_expr.data(), h.key_expr.size());
  std::memcpy(bytes + kPool + key_n, h.for_expr.data(), h.for_expr.size());
  return true;
}

}  // namespace ace::cdx
