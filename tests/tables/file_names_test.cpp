#include <gtest/gtest.h>

#include "platform/file_names.h"

namespace {

TEST(FileNames, DirectoryPart) {
  struct Case {
    const char* name;
    const char* path;
  } cases[] = {
      {"C:\\Datos\\clientes.dbf", "C:\\DATOS\\"},
      {"c:clientes.dbf", "C:\\"},
      {"clientes.dbf", "\\"},
      {"\\\\srv\\share\\x.dbf", "\\\\SRV\\SHARE\\"},
      {"datos\\", "DATOS\\"},
      {"", "\\"},
      {"c", "\\"},
  };
  for (const auto& c : cases) EXPECT_EQ(plat::CFILEPATH(c.name), c.path) << c.name;
}

TEST(FileNames, BaseName) {
  struct Case {
    const char* name;
    const char* base;
  } cases[] = {
      {"C:\\Datos\\Clientes.dbf", "CLIENTES"},
      {"a.b.cdx", "A"},
      {"C:\\Datos\\a.b.cdx", "A"},
      {"d:clientes.cdx", "CLIENTES"},
      {"  clientes  .cdx", "CLIENTES"},
      {"C:\\Datos\\ mi tabla .dbf", "MI TABLA"},
      {"clientes", "CLIENTES"},
      {".cdx", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(plat::CFILENOEXT(c.name), c.base) << c.name;
}

}  // namespace
