#include "interior_page.h"

#include <cstring>

#include "byte_order.h"

namespace ace::cdx {

size_t interior_capacity(int key_len) {
  return (kPageSize - kInteriorAreaOffset) / (static_cast<size_t>(key_len) + 8);
}

bool decode_interior(const uint8_t* page, uint32_t offset, int key_len, Node* out,
                     std::string* why) {
  out->offset = offset;
  out->attr = get_le16(page);
  out->left = get_le32(page + 4);
  out->right = get_le32(page + 8);
  out->key_len = key_len;
  const size_t n = get_le16(page + 2);
  if (n > interior_capacity(key_len)) {
    *why = "key count beyond the page";
    return false;
  }
  const size_t kl = static_cast<size_t>(key_len);
  out->keys.resize(n * kl);
  out->recnos.resize(n);
  out->children.resize(n);
  const uint8_t* p = page + kInteriorAreaOffset;
  for (size_t i = 0; i < n; ++i, p += kl + 8) {
    std::memcpy(&out->keys[i * kl], p, kl);
    out->recnos[i] = get_be32(p + kl);
    out->children[i] = get_be32(p + kl + 4);
  }
  return true;
}

bool encode_interior(const Node& node, uint8_t* page) {
  const size_t n = node.count();
  if (n > interior_capacity(node.key_len)) return false;
  std::memset(page, 0, kPageSize);
  put_le16(page + 0, node.attr);
  put_le16(page + 2, static_cast<uint16_t>(n));
  put_le32(page + 4, node.left);
  put_le32(page + 8, node.right);
  const size_t kl = static_cast<size_t>(node.key_len);
  uint8_t* p = page + kInteriorAreaOffset;
  for (size_t i = 0; i < n; ++i, p += kl + 8) {
    std::memcpy(p, node.key(i), kl);
    put_be32(p + kl, node.recnos[i]);
    put_be32(p + kl + 4, node.children[i]);
  }
  return true;
}

}  // namespace ace::cdx
