# File I/O and locking, table files, memo files, the Table object and the C
# interface entries over tables.
list(APPEND ACE_ENGINE_SOURCES
  io/file_wrapper.cpp
  dbf/header.cpp
  dbf/julian.cpp
  dbf/record.cpp
  memo/memo_format.cpp
  memo/memo_file.cpp
  table/record_view.cpp
  table/table.cpp
  api/cursor.cpp
  api/cursor_registry.cpp
  api/field_list.cpp
)
if(WIN32)
  list(APPEND ACE_ENGINE_SOURCES io/file_win32.cpp)
else()
  list(APPEND ACE_ENGINE_SOURCES io/file_posix.cpp)
endif()
list(APPEND ACE_API_SOURCES
  api/table_entries.cpp
)
