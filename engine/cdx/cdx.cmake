# Compound indexes: pages, tag directory, tags, bulk build.
list(APPEND ACE_ENGINE_SOURCES
  cdx/bag.cpp
  cdx/interior_page.cpp
  cdx/key_sort.cpp
  cdx/leaf_page.cpp
  cdx/page_store.cpp
  cdx/tag.cpp
  cdx/tag_header.cpp
)

# The order layer binds tags to tables; it needs the table and expression parts.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/table/index_maintainer.h AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/expr/program.h)
  list(APPEND ACE_ENGINE_SOURCES
    order/order_layer.cpp
    order/record_adapter.cpp
    order/table_orders.cpp
    order/tag_navigator.cpp
  )
endif()
# The C interface entries for orders (300-349), over the table entries' handles.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/api/cursor_registry.h AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/expr/program.h)
  list(APPEND ACE_API_SOURCES api/index_entries.cpp)
endif()
