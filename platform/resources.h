// The resource library in which dialog templates and bitmaps are looked up.
#pragma once

namespace plat {

void SETRESOURCES(const char* dll_name);
void* current_resource_module();
void release_loaded_libraries();

}  // namespace plat
