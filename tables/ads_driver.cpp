#include "ads_driver.h"

#include <cctype>

#include "ace_entries.h"
#include "platform/settings.h"

namespace tbl {

namespace {

int& file_type() {
  static int t = 2;
  return t;
}

int& listener_id() {
  static int id = 0;
  return id;
}

void pass_on(plat::SettingChange change, const plat::Settings& s) {
  AceEntries& ace = ace_entries();
  switch (change) {
    case plat::SettingChange::DateFormat: ace.set_date_format(s.date_format.c_str()); break;
    case plat::SettingChange::Epoch: ace.set_epoch(static_cast<uint16_t>(s.epoch)); break;
    // The engine is told whether to show deleted records: 0 means the filter is on.
    case plat::SettingChange::DeletedFilter: ace.show_deleted(s.deleted_filter ? 0 : 1); break;
    case plat::SettingChange::Century: break;  // the engine has no entry for it
  }
}

}  // namespace

void ADSSETSERVERTYPE(int type) { ace_entries().set_server_type(static_cast<uint16_t>(type)); }

int ADSSETFILETYPE(int type) {
  const int previous = file_type();
  if (type >= 1 && type <= 3) file_type() = type;
  return previous;
}

int ads_file_type() { return file_type(); }

int file_type_for_index_format(const std::string& name) {
  std::string up;
  for (char c : name) up += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (up == "NTX") return 1;
  if (up == "CDX") return 2;
  return 3;
}

const char* ads_table_kind() {
  static const char* const kinds[] = {"ADSNTX", "ADSCDX", "ADSADT"};
  return kinds[file_type() - 1];
}

const char* ads_index_extension() {
  static const char* const ext[] = {".ntx", ".cdx", ".adi"};
  return ext[file_type() - 1];
}

const char* ads_table_extension() { return file_type() == 3 ? ".adt" : ".dbf"; }

void ads_on_register() {
  if (listener_id() == 0) listener_id() = plat::add_settings_listener(pass_on);
}

void ads_on_shutdown() {
  plat::remove_settings_listener(listener_id());
  listener_id() = 0;
  ace_entries().exit_engine();
}

}  // namespace tbl
