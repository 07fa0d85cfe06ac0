# tbl_engine: the table engine interface (work areas, aliases, drivers, the
# network-error indicator, the table operations, the dynamic value, key blocks)
# and the "ADS" driver's tables over the client engine.
add_library(tbl_engine STATIC
  ${CMAKE_CURRENT_LIST_DIR}/value.cpp
  ${CMAKE_CURRENT_LIST_DIR}/net_error.cpp
  ${CMAKE_CURRENT_LIST_DIR}/key_block.cpp
  ${CMAKE_CURRENT_LIST_DIR}/driver_catalog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ads_driver_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/workareas.cpp
  ${CMAKE_CURRENT_LIST_DIR}/open_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/table_operations.cpp)
target_include_directories(tbl_engine PUBLIC ${CMAKE_SOURCE_DIR})
# The engine configuration (drivers, "ADS" file type) and, through it, the error
# object's implementation and the client engine's C interface.
target_link_libraries(tbl_engine PUBLIC project_options plat_routines tables)
# Key blocks are checked by the expression language's own parser.
target_link_libraries(tbl_engine PRIVATE ace_expr)
