// Writes bags for an outside reader to check: a character tag and a numeric tag,
// each built in bulk and then changed key by key, so the files hold split and
// merged pages as well as packed ones. Beside each bag goes the listing the
// reader must print: "key recno" per line in key order.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <set>
#include <string>

#include "cdx/bag.h"
#include "dbf_rows.h"
#include "mem_file.h"

using namespace ace::cdx;

namespace {

bool write_bag(const std::string& dir, const char* file, const char* tag_name, int key_len,
               KeyKind kind, const std::function<std::string(uint32_t)>& key_of,
               const std::function<std::string(const std::string&)>& shown) {
  auto mem = cdxtest::mem_file(file);
  cdxtest::MemFile* raw = mem.get();
  std::unique_ptr<Bag> bag;
  if (!Bag::create(std::move(mem), true, &bag).ok()) return false;
  std::set<std::pair<std::string, uint32_t>> model;
  KeySet keys;
  for (uint32_t r = 1; r <= 6000; ++r) {
    std::string k = key_of(r);
    keys.bytes += k;
    keys.recnos.push_back(r);
    model.emplace(k, r);
  }
  TagSpec spec{tag_name, tag_name, "", key_len, kind, false, false};
  Tag* tag;
  if (!bag->create_tag(spec, keys, &tag).ok()) return false;
  std::mt19937 rng(5);
  for (int i = 0; i < 4000; ++i) {
    if (i % 3 == 0) {
      auto it = model.begin();
      std::advance(it, static_cast<long>(rng() % model.size()));
      if (!tag->remove(it->first, it->second).ok()) return false;
      model.erase(it);
    } else {
      uint32_t r = 6001 + static_cast<uint32_t>(i);
      std::string k = key_of(static_cast<uint32_t>(rng() % 100000));
      if (!tag->insert(k, r).ok()) return false;
      model.emplace(k, r);
    }
  }
  Status s = bag->verify();
  if (!s.ok()) {
    std::fprintf(stderr, "%s\n", s.message.c_str());
    return false;
  }
  std::ofstream(dir + "/" + file, std::ios::binary)
      .write(reinterpret_cast<const char*>(raw->bytes().data()), static_cast<std::streamsize>(raw->bytes().size()));
  std::ofstream listing(dir + "/" + file + ".expected");
  for (auto& [k, r] : model) listing << shown(k) << " " << r << "\n";
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_sample_bags DIR\n");
    return 2;
  }
  std::string dir = argv[1];
  auto name_key = [](uint32_t r) {
    static const char* stems[] = {"GARCIA", "GARCIAS", "LOPEZ", "MARTIN", "MARTINEZ", "PEREZ"};
    std::string k = std::string(stems[r % 6]) + " " + std::to_string(r * 7919 % 10007);
    k.resize(20, ' ');
    return k;
  };
  auto trim = [](const std::string& k) { return k.substr(0, k.find_last_not_of(' ') + 1); };
  auto amount = [](uint32_t r) { return (static_cast<double>(r * 7919 % 20011) - 10000.0) / 4.0; };
  auto amount_key = [&](uint32_t r) { return cdxtest::double_key(amount(r)); };
  auto amount_shown = [](const std::string& k) {
    uint64_t u = 0;
    for (char c : k) u = (u << 8) | static_cast<uint8_t>(c);
    u = (u & 0x8000000000000000ull) ? (u & 0x7FFFFFFFFFFFFFFFull) : ~u;
    double d;
    std::memcpy(&d, &u, 8);
    char b[64];
    std::snprintf(b, sizeof b, "%.15g", d);
    return std::string(b);
  };
  if (!write_bag(dir, "names.cdx", "NAME", 20, KeyKind::Character, name_key, trim)) return 1;
  if (!write_bag(dir, "amounts.cdx", "AMOUNT", 8, KeyKind::Binary, amount_key, amount_shown)) return 1;
  return 0;
}
