# plat_core: the portable pieces of the platform (errors and the application's error
# handler, settings, routine frames, files, text search) with their system twins.
add_library(plat_core STATIC
  error.cpp
  error_report.cpp
  error_system.cpp
  error_window.cpp
  files.cpp
  program_facts.cpp
  routine_frame.cpp
  settings.cpp
  text_search.cpp
)
if(WIN32)
  target_sources(plat_core PRIVATE files_win32.cpp handles_win32.cpp system_facts_win32.cpp)
else()
  target_sources(plat_core PRIVATE files_posix.cpp handles_posix.cpp resources_posix.cpp system_facts_posix.cpp wildcard.cpp)
endif()
target_include_directories(plat_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR})
target_link_libraries(plat_core PUBLIC project_options)
