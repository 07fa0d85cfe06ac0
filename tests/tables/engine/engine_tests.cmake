# The routines on the real engine, in processes of their own: contention with a
# second process, and the field round trip as an outside reader sees it.
add_executable(tables_tool ${CMAKE_CURRENT_LIST_DIR}/tables_tool.cpp)
target_link_libraries(tables_tool PRIVATE tbl_routines project_options)
if(WIN32)
  # Beside ACE32.dll.
  set_target_properties(tables_tool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endif()

find_program(TABLES_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(TABLES_PYTHON)
  set(_work ${CMAKE_CURRENT_BINARY_DIR}/engine_work)
  add_test(NAME tables.contention
    COMMAND ${TABLES_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/contention.py $<TARGET_FILE:tables_tool> ${_work}/contention)
  add_test(NAME tables.field_roundtrip
    COMMAND ${TABLES_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/field_roundtrip.py $<TARGET_FILE:tables_tool> ${_work}/roundtrip)
  if(WIN32)
    # A Spanish locale gives Wine the code-page pair of the tables: OEM 850, ANSI 1252.
    set(_env "TOOL_EMULATOR=wine" "LC_ALL=es_ES.UTF-8")
  else()
    set(_env "TOOL_EMULATOR=")
  endif()
  set_tests_properties(tables.contention tables.field_roundtrip PROPERTIES ENVIRONMENT "${_env}" TIMEOUT 300)
endif()

add_executable(tables_engine_tests
  ${CMAKE_CURRENT_LIST_DIR}/ads_driver_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../fake_driver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../tables_fixture.cpp)
target_include_directories(tables_engine_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(tables_engine_tests PRIVATE tbl_routines gtest_main project_options)
if(WIN32)
  set_target_properties(tables_engine_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  gtest_discover_tests(tables_engine_tests DISCOVERY_MODE PRE_TEST)
else()
  gtest_discover_tests(tables_engine_tests)
endif()

if(WIN32)
  # The alert box of a refused open, read and closed by the GUI tests' UI script.
  add_executable(tables_alert_e2e_test
    ${CMAKE_CURRENT_LIST_DIR}/alert_e2e_win32_test.cpp
    ${CMAKE_SOURCE_DIR}/tests/gui/ui_script_win32.cpp)
  target_include_directories(tables_alert_e2e_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/gui)
  target_link_libraries(tables_alert_e2e_test PRIVATE tbl_routines gtest_main project_options)
  set_target_properties(tables_alert_e2e_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  add_dependencies(tables_alert_e2e_test tables_tool)
  gtest_discover_tests(tables_alert_e2e_test DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 120)
endif()
