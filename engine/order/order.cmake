# The order layer: tags bound to tables (keys, FOR conditions, maintenance,
# key-order navigation, verify, reindex) and the C interface entries for orders.
list(APPEND ACE_ENGINE_SOURCES
  order/file_lock.cpp
  order/header_lock.cpp
  order/order_layer.cpp
  order/record_adapter.cpp
  order/table_orders.cpp
  order/tag_navigator.cpp
  order/verify.cpp
)
list(APPEND ACE_API_SOURCES api/index_entries.cpp)
