// Text that does not compile: the kind of fault and where it is.
#include <gtest/gtest.h>

#include "test_record.h"

namespace ace::expr {
namespace {

using testing::people;

TEST(CompileErrors, KindAndPosition) {
  struct Case {
    const char* text;
    ErrorKind kind;
    int pos;
  } cases[] = {
      {"", ErrorKind::Syntax, 0},
      {"1 +", ErrorKind::Syntax, 3},
      {"(1+2", ErrorKind::Syntax, 4},
      {"'abc", ErrorKind::Syntax, 0},
      {"1 2", ErrorKind::Syntax, 2},
      {"@", ErrorKind::Syntax, 0},
      {"STR()", ErrorKind::Syntax, 0},
      {"LEFT('a')", ErrorKind::Syntax, 0},
      {"{^2020-02-30}", ErrorKind::Syntax, 0},
      {"{^2020-01-01", ErrorKind::Syntax, 0},
      {"people->", ErrorKind::Syntax, 8},
      {"FOO(1)", ErrorKind::UnknownFunction, 0},
      {"SUB('a',1)", ErrorKind::UnknownFunction, 0},  // under four letters: no abbreviation
      {"NOSUCH+1", ErrorKind::UnknownField, 0},
      {"OTHER->NAME", ErrorKind::UnknownField, 7},
      {"M->NAME", ErrorKind::UnknownField, 3},
      {"1+'a'", ErrorKind::Type, 1},
      {"BORN*2", ErrorKind::Type, 4},
      {"NAME>AGE", ErrorKind::Type, 4},
      {"UPPER(AGE)", ErrorKind::Type, 6},
      {"IIF(.T.,1,'a')", ErrorKind::Type, 0},
      {".NOT. 5", ErrorKind::Type, 0},
      {"-NAME", ErrorKind::Type, 0},
      {"ACTIVE .AND. AGE", ErrorKind::Type, 7},
      {"NIL<1", ErrorKind::Type, 3},
  };
  auto rec = people();
  for (const auto& c : cases) {
    CompileResult r = compile(c.text, rec);
    EXPECT_FALSE(r) << c.text;
    EXPECT_EQ(r.error.kind, c.kind) << c.text << ": " << r.error.message;
    EXPECT_EQ(r.error.position, c.pos) << c.text << ": " << r.error.message;
  }
  EXPECT_EQ(compile("1+" + std::string(400, '9'), rec).error.kind, ErrorKind::Syntax);
}

TEST(CompileErrors, DeepTextIsRefusedNotRecursedInto) {
  auto rec = people();
  std::string parens = std::string(5000, '(') + "1" + std::string(5000, ')');
  std::string chain = "1";
  for (int i = 0; i < 5000; ++i) chain += "+1";
  std::string calls;
  for (int i = 0; i < 5000; ++i) calls += "UPPER(";
  calls += "NAME" + std::string(5000, ')');
  for (const std::string& text : {parens, chain, calls, std::string(5000, '-') + "1"}) {
    CompileResult r = compile(text, rec);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.error.kind, ErrorKind::Syntax) << r.error.message;
  }
}

TEST(CompileErrors, CodeBlocks) {
  auto rec = people();
  struct Case {
    const char* block;
    int pos;
  } cases[] = {
      {"UPPER(NAME)", 0},          // not a block
      {"{|x| x}", 2},              // parameters
      {"{ ||UPPER(NAME)", 15},     // unclosed
      {"{ ||NAME} + 1", 10},       // text after the block
      {"{ ||}", 4},
  };
  // More expressions in one block than a node holds children.
  std::string list = "{||1";
  for (int i = 0; i < 300; ++i) list += ",'x'";
  CompileResult many = compile_block(list + "}", rec);
  EXPECT_EQ(many.error.kind, ErrorKind::Syntax);
  for (const auto& c : cases) {
    CompileResult r = compile_block(c.block, rec);
    EXPECT_FALSE(r) << c.block;
    EXPECT_EQ(r.error.kind, ErrorKind::Syntax) << c.block;
    EXPECT_EQ(r.error.position, c.pos) << c.block << ": " << r.error.message;
  }
}

// Without a table: names and types cannot fail, malformed text and unknown
// functions still do.
TEST(SyntaxCheck, BareExpressions) {
  struct Case {
    const char* text;
    ErrorKind kind;  // None: accepted
    int pos;
  } cases[] = {
      {"UPPER(NOMBRE)+DTOS(FECHA)", ErrorKind::None, 0},
      {"CLI->CODIGO", ErrorKind::None, 0},
      {"STR(NUMERO,6)+[x]+DTOC(FECHA)", ErrorKind::None, 0},
      {"-NOMBRE .AND. .NOT. 5", ErrorKind::None, 0},
      {"1+'a'", ErrorKind::None, 0},
      {"IIF(X,1,'a')+MAX(.T.,NIL)+TRANSFORM(NIL)", ErrorKind::None, 0},
      {"CODIGO +", ErrorKind::Syntax, 8},
      {"UPPER(", ErrorKind::Syntax, 6},
      {"a b", ErrorKind::Syntax, 2},
      {"A,B", ErrorKind::Syntax, 1},
      {"", ErrorKind::Syntax, 0},
      {"CLI->", ErrorKind::Syntax, 5},
      {"LEFT(NOMBRE)", ErrorKind::Syntax, 0},
      {"SUBSTR(A,,2)", ErrorKind::Syntax, 9},
      {"A + FOO(B)", ErrorKind::UnknownFunction, 4},
  };
  for (const auto& c : cases) {
    Error err;
    EXPECT_EQ(check_syntax(c.text, &err), c.kind == ErrorKind::None) << c.text;
    EXPECT_EQ(err.kind, c.kind) << c.text << ": " << err.message;
    EXPECT_EQ(err.position, c.pos) << c.text << ": " << err.message;
  }
  EXPECT_FALSE(check_syntax(std::string(5000, '(') + "A" + std::string(5000, ')'), nullptr));
}

TEST(SyntaxCheck, Blocks) {
  struct Case {
    const char* block;
    bool ok;
  } cases[] = {
      {"{ ||UPPER(NOMBRE)+DTOS(FECHA)}", true},
      {"{ ||CLI->CODIGO}", true},
      {"{ ||A,B}", true},  // a block may list expressions
      {"{ ||CODIGO +}", false},
      {"{ ||UPPER(}", false},
      {"{ ||a b}", false},
      {"{ ||A }}", false},
      {"UPPER(A)", false},
  };
  for (const auto& c : cases) EXPECT_EQ(check_block_syntax(c.block, nullptr), c.ok) << c.block;
}

}  // namespace
}  // namespace ace::expr
