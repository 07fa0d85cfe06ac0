# plat_routines: the GUI library's helpers that the shared table routines use
# (code-page conversion, file-name splitting, message processing).
add_library(plat_routines STATIC
  ${CMAKE_CURRENT_LIST_DIR}/file_names.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sys_refresh_hook.cpp)
if(WIN32)
  target_sources(plat_routines PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/codepage_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sys_refresh_win32.cpp)
  target_link_libraries(plat_routines PUBLIC user32)
else()
  target_sources(plat_routines PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/codepage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sys_refresh.cpp)
endif()
target_include_directories(plat_routines PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(plat_routines PUBLIC project_options)
