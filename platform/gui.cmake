# plat_gui sources

# Message boxes: the presenter registry is portable so native tests can record boxes.
add_library(plat_msgbox STATIC
  ${CMAKE_CURRENT_LIST_DIR}/message_box.cpp
  $<IF:$<BOOL:${WIN32}>,${CMAKE_CURRENT_LIST_DIR}/message_box_win32.cpp,${CMAKE_CURRENT_LIST_DIR}/message_box_stderr.cpp>)
target_include_directories(plat_msgbox PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(plat_msgbox PRIVATE project_options)
if(WIN32)
  target_link_libraries(plat_msgbox PUBLIC user32)
endif()

# Rules the Win32 controls follow that need no window: picture keying, item matching.
add_library(plat_gui_rules STATIC
  ${CMAKE_CURRENT_LIST_DIR}/colour_key.cpp
  ${CMAKE_CURRENT_LIST_DIR}/item_match.cpp)
target_include_directories(plat_gui_rules PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(plat_gui_rules PRIVATE project_options)

if(WIN32)
  # Dialog components, resource library and the error window.
  add_library(plat_gui STATIC
    ${CMAKE_CURRENT_LIST_DIR}/resources_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialog_item_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialog_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bitmap_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/say_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/combo_box_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/button_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialog_template_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/error_window_win32.cpp)
  target_include_directories(plat_gui PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(plat_gui PUBLIC plat_msgbox plat_gui_rules user32 gdi32 shell32
                                 PRIVATE project_options)
  # raise_error and the error window's presenter registry live in the portable core.
  target_link_libraries(plat_gui PUBLIC plat_core)
endif()
