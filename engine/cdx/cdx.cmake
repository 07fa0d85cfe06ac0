# Compound indexes: pages, tag directory, tags, bulk build.
list(APPEND ACE_ENGINE_SOURCES
  cdx/bag.cpp
  cdx/interior_page.cpp
  cdx/key_sort.cpp
  cdx/leaf_page.cpp
  cdx/page_cache.cpp
  cdx/page_store.cpp
  cdx/tag.cpp
  cdx/tag_header.cpp
)

