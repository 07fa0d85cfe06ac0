# Sample tables, memos and indexes written by other programs (tests/fixtures/foxpro,
# with their provenance in MANIFEST.md). The tests read a copy in the build tree, so
# a test that wrote to a sample by mistake could never change the checked-in files.
# FIXTURE_DIR_HOST is that folder as this machine sees it; FIXTURE_DIR_TARGET as the
# test programs see it (under Wine the Linux root is drive Z:).
set(FIXTURE_DIR_HOST ${CMAKE_BINARY_DIR}/fixtures/foxpro)
file(COPY ${PROJECT_SOURCE_DIR}/tests/fixtures/foxpro/ DESTINATION ${FIXTURE_DIR_HOST}
     FILE_PERMISSIONS OWNER_READ GROUP_READ WORLD_READ)
if(CMAKE_CROSSCOMPILING)
  set(FIXTURE_DIR_TARGET "Z:${FIXTURE_DIR_HOST}")
else()
  set(FIXTURE_DIR_TARGET "${FIXTURE_DIR_HOST}")
endif()
