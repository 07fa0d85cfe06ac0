#include "settings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <utility>
#include <vector>

namespace plat {

namespace {

Settings& current() {
  static Settings s;
  return s;
}

std::vector<std::pair<int, SettingsListener>>& listeners() {
  static std::vector<std::pair<int, SettingsListener>> l;
  return l;
}

void announce(SettingChange change) {
  // A copy, so a listener may remove itself.
  auto copy = listeners();
  for (auto& entry : copy) entry.second(change, current());
}

std::string two_digits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", n % 100);
  return buf;
}

}  // namespace

const Settings& settings() { return current(); }

void reset_settings() { current() = Settings{}; }

void SET_DATEFORMAT(const std::string& format) {
  current().date_format = format;
  announce(SettingChange::DateFormat);
}

void SET_EPOCH(int epoch) {
  current().epoch = epoch;
  announce(SettingChange::Epoch);
}

void SET_DELETED(bool filter_on) {
  current().deleted_filter = filter_on;
  announce(SettingChange::DeletedFilter);
}

void SET_CENTURY(bool on) {
  current().century = on;
  announce(SettingChange::Century);
}

int add_settings_listener(SettingsListener listener) {
  static int next_id = 0;
  listeners().emplace_back(++next_id, std::move(listener));
  return next_id;
}

void remove_settings_listener(int id) {
  auto& l = listeners();
  l.erase(std::remove_if(l.begin(), l.end(), [id](const auto& e) { return e.first == id; }), l.end());
}

std::string DTOC(int year, int month, int day) {
  const std::string& fmt = current().date_format;
  std::string out;
  for (size_t i = 0; i < fmt.size();) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(fmt[i])));
    size_t run = 1;
    while (i + run < fmt.size() &&
           std::tolower(static_cast<unsigned char>(fmt[i + run])) == static_cast<unsigned char>(c))
      ++run;
    if (c == 'd') {
      out += two_digits(day);
    } else if (c == 'm') {
      out += two_digits(month);
    } else if (c == 'y') {
      if (current().century) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d", year);
        out += buf;
      } else {
        out += two_digits(year);
      }
    } else {
      out.append(fmt, i, run);
    }
    i += run;
  }
  return out;
}

}  // namespace plat
