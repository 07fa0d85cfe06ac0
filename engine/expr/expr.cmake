# ace_expr: the expression language (lexer, typed parser, evaluator, key encoding).
# Portable; linked by the engine and by the program, which compiles key blocks too.
set(ACE_EXPR_DIR ${CMAKE_CURRENT_LIST_DIR})
add_library(ace_expr STATIC
  ${ACE_EXPR_DIR}/dates.cpp
  ${ACE_EXPR_DIR}/evaluator.cpp
  ${ACE_EXPR_DIR}/functions.cpp
  ${ACE_EXPR_DIR}/key_encoding.cpp
  ${ACE_EXPR_DIR}/lexer.cpp
  ${ACE_EXPR_DIR}/numbers.cpp
  ${ACE_EXPR_DIR}/parser.cpp
  ${ACE_EXPR_DIR}/program.cpp
  ${ACE_EXPR_DIR}/record_context.cpp
  ${ACE_EXPR_DIR}/text_ops.cpp
  ${ACE_EXPR_DIR}/transform.cpp
)
# Included as "expr/expr.h" beside the other engine folders.
target_include_directories(ace_expr PUBLIC ${ACE_EXPR_DIR}/..)
target_link_libraries(ace_expr PUBLIC project_options)
