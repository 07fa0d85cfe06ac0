# Project-wide compile options: warnings everywhere, sanitizers for the native test build,
# and a fully static runtime for the Windows build so the program needs no MinGW DLLs.

add_library(project_options INTERFACE)
target_compile_features(project_options INTERFACE cxx_std_17)

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(project_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
    $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor>)
endif()

option(ENABLE_SANITIZERS "Build with AddressSanitizer and UBSan (native only)" OFF)
if(ENABLE_SANITIZERS AND NOT WIN32)
  target_compile_options(project_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(project_options INTERFACE -fsanitize=address,undefined)
endif()

if(WIN32)
  # One thread, ANSI Win32 entry points, and no runtime DLLs beyond the system's.
  target_compile_definitions(project_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)
  target_link_options(project_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()
