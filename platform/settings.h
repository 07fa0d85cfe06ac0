// Program-wide settings read by the date and table operations. Their changes are
// announced to listeners, so a table driver can hand each one on to its engine.
#pragma once

#include <functional>
#include <string>

namespace plat {

struct Settings {
  std::string date_format = "mm/dd/yy";
  int epoch = 1900;
  bool deleted_filter = false;  // true: moving through a table passes over deleted records
  bool century = false;         // false: dates are written with two-digit years
};

enum class SettingChange { DateFormat, Epoch, DeletedFilter, Century };

const Settings& settings();

// Back to the start-up values, silently (nothing is announced).
void reset_settings();

void SET_DATEFORMAT(const std::string& format);
void SET_EPOCH(int epoch);
void SET_DELETED(bool filter_on);
void SET_CENTURY(bool on);

using SettingsListener = std::function<void(SettingChange, const Settings&)>;

// Listeners hear every change after it is made, in the order they were added.
int add_settings_listener(SettingsListener listener);
void remove_settings_listener(int id);

// The date as text in the current date format: "dd", "mm" and "yy" runs take the
// day, month and year (four digits for the year when century display is on).
std::string DTOC(int year, int month, int day);

}  // namespace plat
