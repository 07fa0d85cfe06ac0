# tbl_routines: the shared table routines on top of the engine interface.
add_library(tbl_routines STATIC
  ${CMAKE_CURRENT_LIST_DIR}/segundos.cpp
  ${CMAKE_CURRENT_LIST_DIR}/production_index.cpp
  ${CMAKE_CURRENT_LIST_DIR}/net_use.cpp
  ${CMAKE_CURRENT_LIST_DIR}/net_rec_lock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/net_rec_add.cpp
  ${CMAKE_CURRENT_LIST_DIR}/work_area_status.cpp
  ${CMAKE_CURRENT_LIST_DIR}/field_arrays.cpp
  ${CMAKE_CURRENT_LIST_DIR}/index_building.cpp)
target_link_libraries(tbl_routines PUBLIC tbl_engine)
# Message boxes.
if(TARGET plat_msgbox)
  target_link_libraries(tbl_routines PUBLIC plat_msgbox)
endif()

# tbl_ads: the "ADS" driver's tables over the client engine's C interface, built
# once that interface carries the table entries.
file(STRINGS ${CMAKE_SOURCE_DIR}/engine/api/ace32.h _ace_table_entries REGEX "ace_open_table")
if(_ace_table_entries)
  add_library(tbl_ads STATIC ${CMAKE_CURRENT_LIST_DIR}/ads_driver_tables.cpp)
  target_link_libraries(tbl_ads PUBLIC tbl_engine ace32)
endif()
