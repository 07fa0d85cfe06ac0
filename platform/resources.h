// The current resource module: where dialog templates and bitmaps are looked up.
#pragma once

namespace plat {

// Loads the library by its bare name and makes it the current resource module.
// No check and no message: when it cannot be loaded, the program's own module is
// the current resource module.
void SETRESOURCES(const char* dll_name);

// The module handle (HMODULE on Windows) that resources come from.
void* current_resource_module();

// Releases every library SETRESOURCES loaded (the error window's Quit).
void release_loaded_libraries();

}  // namespace plat
