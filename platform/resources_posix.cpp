#include "resources.h"
#include "resources_posix.h"

namespace plat {

std::vector<std::string>& requested_resource_libraries() {
  static std::vector<std::string> names;
  return names;
}

void SETRESOURCES(const char* dll_name) { requested_resource_libraries().emplace_back(dll_name ? dll_name : ""); }
void* current_resource_module() { return nullptr; }
void release_loaded_libraries() {}

}  // namespace plat
