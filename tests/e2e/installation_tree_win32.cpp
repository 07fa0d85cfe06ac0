#include "installation_tree_win32.h"

#include "uidriver/file_tree_win32.h"

namespace e2e {

std::string version_table(const std::string& release) {
  // dBASE III header of one character field VERSION(10) and one record; 0x1A ends it.
  std::string table("\x03\x7E\x0C\x0B\x01\x00\x00\x00\x41\x00\x0B\x00", 12);
  table += std::string(20, '\0');
  table += std::string("VERSION\0\0\0\0C\0\0\0\0\x0A\0", 18) + std::string(14, '\0');
  table += "\x0D";
  std::string field = release;
  field.resize(10, ' ');
  table += " " + field + "\x1A";
  return table;
}

std::string make_installation(const ScenarioDrive& drive, const std::string& name,
                              const InstallationParts& parts) {
  const std::string folder = drive.path("Halvoren\\" + name);
  make_dirs(folder);
  if (parts.executable_is_folder)
    make_dirs(folder + "\\brevantw.exe");
  else
    write_sized_file(folder + "\\brevantw.exe", parts.executable_size);
  if (parts.without_table) return folder;
  if (parts.table_is_folder)
    make_dirs(folder + "\\emp\\versionp.dbf");
  else {
    make_dirs(folder + "\\emp");
    write_file(folder + "\\emp\\versionp.dbf", parts.table);
  }
  return folder;
}

}  // namespace e2e
