#include <windows.h>

#include <vector>

#include "platform/resources.h"

namespace plat {

namespace {

struct LoadedResources {
  HMODULE current = nullptr;
  std::vector<HMODULE> loaded;
};

LoadedResources& state() {
  static LoadedResources s;
  return s;
}

}  // namespace

void SETRESOURCES(const char* dll_name) {
  // A library that fails to load is not reported here: the dialog's creation error tells it.
  HMODULE module = LoadLibraryA(dll_name);
  state().current = module;
  if (module) state().loaded.push_back(module);
}

void* current_resource_module() {
  HMODULE module = state().current;
  return module ? module : GetModuleHandleA(nullptr);
}

void release_loaded_libraries() {
  for (HMODULE module : state().loaded) FreeLibrary(module);
  state().loaded.clear();
  state().current = nullptr;
}

}  // namespace plat
