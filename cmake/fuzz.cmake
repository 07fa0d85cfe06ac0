# libFuzzer targets. Nothing happens unless ENABLE_FUZZING is ON and the compiler
# is clang (the `fuzz` preset); then every library is built with coverage
# instrumentation and each target becomes a ctest test (label "fuzz") that runs a
# short fixed number of inputs over its seed folders.
#
#   add_fuzz_target(NAME fuzz_expr SOURCES fuzz_expr.cpp LIBS ace_expr
#                   SEED_DIRS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_corpus/expr RUNS 20000)
#
# Inputs that libFuzzer finds go to a work folder in the build tree, never into
# the seed folders; a crash input worth keeping is copied into the seed folder by
# hand, where every later run replays it.

option(ENABLE_FUZZING "Build the libFuzzer targets (clang only)" OFF)
set(FUZZING_ACTIVE OFF)
if(ENABLE_FUZZING AND CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND NOT WIN32)
  set(FUZZING_ACTIVE ON)
  target_compile_options(project_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
    -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(project_options INTERFACE -fsanitize=address,undefined)
  add_custom_target(fuzz_all)
elseif(ENABLE_FUZZING)
  message(WARNING "ENABLE_FUZZING needs clang on Linux; fuzz targets are skipped")
endif()

function(add_fuzz_target)
  cmake_parse_arguments(FT "" "NAME;RUNS" "SOURCES;LIBS;SEED_DIRS" ${ARGN})
  if(NOT FUZZING_ACTIVE)
    return()
  endif()
  if(NOT FT_RUNS)
    set(FT_RUNS 10000)
  endif()
  add_executable(${FT_NAME} ${FT_SOURCES})
  target_link_libraries(${FT_NAME} PRIVATE ${FT_LIBS} project_options)
  target_link_options(${FT_NAME} PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzz_all ${FT_NAME})
  set(work ${CMAKE_BINARY_DIR}/fuzz_work/${FT_NAME})
  file(MAKE_DIRECTORY ${work})
  add_test(NAME ${FT_NAME}
    COMMAND ${FT_NAME} -runs=${FT_RUNS} -seed=1 -max_len=4096 -artifact_prefix=${work}/ ${work} ${FT_SEED_DIRS})
  set_tests_properties(${FT_NAME} PROPERTIES LABELS fuzz)
endfunction()
