# The Win32 file operations and the install run on real folder trees, under Wine,
# each test program on a drive letter of its own (run_on_drive.sh).
add_executable(installer_win32_tests
  ${CMAKE_CURRENT_LIST_DIR}/files_win32_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/install_run_win32_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32_tree.cpp
)
target_include_directories(installer_win32_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(installer_win32_tests PRIVATE inst gtest_main project_options)
add_test(NAME installer_win32_tests
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_on_drive.sh $<TARGET_FILE:installer_win32_tests>)
