// Expressions evaluated over one record: operators, precedence, functions.
#include <gtest/gtest.h>

#include <cstdio>

#include "test_record.h"

namespace ace::expr {
namespace {

using testing::people;
using testing::TestRecord;

// A value as "type:content", so one table can hold results of every type.
std::string show(const Value& v) {
  char buf[64];
  switch (v.type) {
    case Value::Type::Numeric:
      std::snprintf(buf, sizeof buf, "N:%.10g", v.num);
      return buf;
    case Value::Type::Date: {
      std::string s = "D:";
      append_dtos(v.julian, s);
      return s;
    }
    case Value::Type::Logical: return v.log ? "L:T" : "L:F";
    case Value::Type::Nil: return "U";
    default: return "C:" + v.str;
  }
}

EvalSettings after_start_up() {
  EvalSettings s;
  s.date_format = "dd-mm-yy";
  s.epoch = 1950;
  return s;
}

std::string eval(const std::string& text, TestRecord rec = people()) {
  CompileResult r = compile(text, rec, after_start_up());
  if (!r) return std::string("compile error: ") + r.error.message;
  EvalResult v = r.program->evaluate(rec, after_start_up());
  if (!v.ok()) return std::string("eval error: ") + v.error.message;
  return show(v.value);
}

struct Case {
  const char* text;
  const char* expected;
};

void check_all(std::initializer_list<Case> cases) {
  for (const Case& c : cases) EXPECT_EQ(eval(c.text), c.expected) << c.text;
}

TEST(Eval, ArithmeticAndPrecedence) {
  check_all({
      {"1+2*3", "N:7"},
      {"(1+2)*3", "N:9"},
      {"-2^2", "N:4"},  // unary minus binds tighter than the power
      {"2**3^2", "N:64"},
      {"10/4", "N:2.5"},
      {"7%3", "N:1"},
      {"-7%3", "N:2"},
      {"5/0", "N:0"},  // a zero divisor yields 0
      {"5%0", "N:0"},
      {".5+1.25", "N:1.75"},
      {"AGE-2*3", "N:36"},
  });
}

TEST(Eval, LogicalOperatorsAndComparisons) {
  check_all({
      {"2+3=5", "L:T"},
      {".NOT. 1=2 .AND. .T.", "L:T"},
      {".F. .OR. .T. .AND. .F.", "L:F"},
      {"!.F.", "L:T"},
      {".t. .and. .Y.", "L:T"},
      {".n. .or. .f.", "L:F"},
      {"1<>2", "L:T"},
      {"1#1", "L:F"},
      {"1!=2", "L:T"},
      {"BORN<{^1997-01-14} .AND. BORN>={^1997-01-13}", "L:T"},
      {".F.<.T.", "L:T"},
      {"EMPTY(NIL)", "L:T"},
      {"NIL=NIL", "L:T"},
  });
}

TEST(Eval, TextComparisonFollowsTheRightOperand) {
  check_all({
      {"'abc'='ab'", "L:T"},
      {"'ab'='abc'", "L:F"},
      {"'abc'=''", "L:T"},
      {"'ab'='ab  '", "L:T"},
      {"'abc'=='ab'", "L:F"},
      {"'abc'=='abc'", "L:T"},
      {"'abc'<>'ab'", "L:F"},
      {"'abc'<'abd'", "L:T"},
      {"'ab'<'ab!'", "L:T"},
      {"'b'$'abc'", "L:T"},
      {"''$'abc'", "L:F"},
      {"'text' $ NOTES", "L:T"},
  });
}

TEST(Eval, TextOperatorsAndQuotes) {
  check_all({
      {"\"ab  \"+\"cd\"", "C:ab  cd"},
      {"\"ab  \"-\"cd\"", "C:abcd  "},
      {"[x]+'y'", "C:xy"},
      {"'a'+NOTES", "C:amemo text"},
  });
}

TEST(Eval, FieldsAndQualifiers) {
  check_all({
      {"UPPER(NAME)", "C:SMITH     "},
      {"lower(people->name)", "C:smith     "},
      {"FIELD->AGE+1", "N:43"},
      {"people.age", "N:42"},
      {"ID", "N:-5"},
      {"contact_type_id", "N:3"},  // long names match on ten characters
      {"DELETED()", "L:F"},
      {"RECNO()", "N:7"},
      {"TRAN(AGE,'999')", "C: 42"},  // four letters name a function
  });
}

TEST(Eval, NumberFormatting) {
  check_all({
      {"STR(AGE)", "C:        42"},
      {"STR(SALARY,10,2)", "C:   1234.50"},
      {"STR(3.14159,6,2)", "C:  3.14"},
      {"STR(-1.5)", "C:        -2"},
      {"STR(2.5)", "C:         3"},
      {"STR(1.005,5,2)", "C: 1.01"},
      {"STR(123456,4)", "C:****"},
      {"STR(1234.56,6,2)", "C:1234.6"},
      {"STR(9.96,3,1)", "C: 10"},
      {"STR(9.96,4,1)", "C:10.0"},
      {"LEN(STR(AGE,100000,99999))", "N:100000"},
      {"STR(-0.4)", "C:         0"},
      {"STRZERO(42,5)", "C:00042"},
      {"STRZERO(-5,4)", "C:-005"},
      {"VAL('  12.50xyz')", "N:12.5"},
      {"VAL('-3')", "N:-3"},
      {"VAL('abc')", "N:0"},
      {"ROUND(2.345,2)", "N:2.35"},
      {"ROUND(1250,-2)", "N:1300"},
      {"INT(-3.7)", "N:-3"},
      {"ABS(-3)", "N:3"},
  });
}

TEST(Eval, TextFunctions) {
  check_all({
      {"TRIM(NAME)+'!'", "C:Smith!"},
      {"LTRIM('  a ')", "C:a "},
      {"ALLTRIM('  a  ')", "C:a"},
      {"SUBSTR('abcdef',2,3)", "C:bcd"},
      {"SUBSTR('abcdef',5)", "C:ef"},
      {"SUBSTR('abc',10)", "C:"},
      {"SUBS('abcdef',-2)", "C:ef"},
      {"SUBSTR('abc',2,-1)", "C:"},
      {"LEFT('abc',5)", "C:abc"},
      {"RIGHT('abcdef',2)", "C:ef"},
      {"PADL('ab',5)", "C:   ab"},
      {"PADR('ab',4,'*')", "C:ab**"},
      {"PADC('ab',5)", "C: ab  "},
      {"PADL('abcdef',3)", "C:abc"},
      {"SPACE(3)+'x'", "C:   x"},
      {"REPLICATE('ab',3)", "C:ababab"},
      {"LEN(NOTES)", "N:9"},
      {"CHR(65)+CHR(97)", "C:Aa"},
      {"ASC('A')", "N:65"},
      {"AT('b','abcb')", "N:2"},
      {"AT('b','abcb',2)", "N:4"},
      {"AT('','abc')", "N:0"},
      {"STUFF('abcdef',2,3,'X')", "C:aXef"},
      {"MIN('b','a')", "C:a"},
      {"MAX(3,5)", "N:5"},
      {"IIF(AGE>40,'old','young')", "C:old"},
      {"IIF(.F.,1,2)", "N:2"},
      {"EMPTY('  ')", "L:T"},
      {"EMPTY(0)", "L:T"},
  });
}

TEST(Eval, Transform) {
  check_all({
      {"TRANSFORM(SALARY)", "C: 1234.50"},
      {"TRANSFORM(1234.5,'9,999.99')", "C:1,234.50"},
      {"TRANSFORM(5,'9,999')", "C:    5"},
      {"TRANSFORM(-12.3,'999.9')", "C:-12.3"},
      {"TRANSFORM(12345,'999')", "C:***"},
      {"TRANSFORM(0,'@Z 999')", "C:   "},
      {"TRANSFORM('abc','@!')", "C:ABC"},
      {"TRANSFORM('abcd','!X-X')", "C:Ab-c"},
      {"TRANSFORM(.T.)", "C:.T."},
      {"TRANSFORM(ID)", "C:         -5"},
      {"TRANSFORM(BORN)", "C:13-01-97"},
  });
}

TEST(Eval, DatesHonourFormatAndEpoch) {
  check_all({
      {"DTOS(BORN)", "C:19970113"},
      {"DTOC(BORN)", "C:13-01-97"},
      {"DTOC(BORN,1)", "C:19970113"},
      {"YEAR(BORN)*10000+MONTH(BORN)*100+DAY(BORN)", "N:19970113"},
      {"BORN+30", "D:19970212"},
      {"30+BORN", "D:19970212"},
      {"BORN-13", "D:19961231"},
      {"{^1997-02-01}-BORN", "N:19"},
      {"CTOD('31-01-20')", "D:20200131"},
      {"CTOD('31-01-50')", "D:19500131"},
      {"CTOD('31-01-2060')", "D:20600131"},
      {"CTOD('31-02-20')", "D:        "},
      {"{31/01/49}", "D:20490131"},
      {"{}", "D:        "},
      {"{  /  /  }+1", "D:        "},
      {"DTOC({})", "C:  -  -  "},
      {"EMPTY(CTOD(''))", "L:T"},
      {"MAX(BORN,{^2000-01-01})", "D:20000101"},
      {"{}-BORN", "N:0"},
  });
}

TEST(Eval, RuntimeErrorsAreReportedNotSwallowed) {
  check_all({
      {"CHR(300)", "eval error: CHR() takes 0 to 255"},
      {"REPLICATE('ab',1000000)", "eval error: String too long"},
      {"SPACE(2000000)", "eval error: String too long"},
      {"10^400", "eval error: Numeric overflow"},
      {"VAL(REPLICATE('9',400))", "eval error: Numeric overflow"},
      {"BORN+9999999", "eval error: Date out of range"},
      {"STR(1,0)", "eval error: STR() width must be positive"},
  });
}

TEST(Eval, FieldOfAnotherTypeThanDeclaredIsATypeError) {
  TestRecord rec = people();
  rec.value(1) = Value::character("42");  // AGE is declared numeric
  CompileResult r = compile("AGE+1", rec);
  ASSERT_TRUE(r);
  EvalResult v = r.program->evaluate(rec, EvalSettings{});
  EXPECT_EQ(v.error.kind, ErrorKind::Type);
}

TEST(Eval, ShortCircuitSkipsTheUnneededSide) {
  // The right side would fail; it is never evaluated.
  check_all({
      {".F. .AND. CHR(300)='x'", "L:F"},
      {".T. .OR. CHR(300)='x'", "L:T"},
      {"IIF(.T.,'a',CHR(300))", "C:a"},
  });
}

TEST(Eval, CodeBlocks) {
  TestRecord rec = people();
  struct BlockCase {
    const char* block;
    const char* expected;
  } cases[] = {
      {"{ ||UPPER(NAME)}", "C:SMITH     "},
      {"{||AGE}", "N:42"},
      {"{|| 1, 'two'}", "C:two"},
      {"  { | | DTOS(BORN) }  ", "C:19970113"},
  };
  for (const auto& c : cases) {
    CompileResult r = compile_block(c.block, rec);
    ASSERT_TRUE(r) << c.block << ": " << r.error.message;
    EXPECT_EQ(show(r.program->evaluate(rec, EvalSettings{}).value), c.expected) << c.block;
  }
}

TEST(Eval, ReusedProgramFollowsTheRecord) {
  TestRecord rec = people();
  CompileResult r = compile("UPPER(NAME)+STR(AGE,3)", rec);
  ASSERT_TRUE(r);
  EvalSettings s;
  EXPECT_EQ(r.program->evaluate(rec, s).value.str, "SMITH      42");
  rec.value(0) = Value::character("Ab");
  rec.value(1) = Value::numeric(7, 3, 0);
  EXPECT_EQ(r.program->evaluate(rec, s).value.str, "AB  7");
}

}  // namespace
}  // namespace ace::expr
