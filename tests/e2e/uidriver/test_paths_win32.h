// Where the programs under test and the tests' scratch folders are.
#pragma once

#include <string>

namespace e2e {

// The folder of the installer, progdll.dll and ACE32.dll (Windows path).
std::string program_dir();
// The recording twin of ACE32.dll (Windows path).
std::string recording_ace32_path();
// Scratch space of the tests on the host (Unix path), and the same as a Windows path.
std::string work_dir_host();
std::string work_dir();

}  // namespace e2e
