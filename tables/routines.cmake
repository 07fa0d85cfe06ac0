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
