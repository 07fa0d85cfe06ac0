#include <gtest/gtest.h>

#include "tables/key_block.h"
#include "tables_fixture.h"

namespace tbltest {
namespace {

TEST(KeySyntax, AcceptsTheKeysIndexesUse) {
  for (const char* key : {"CODIGO", "UPPER(NOMBRE)", "STR(NUMERO,6)+DTOS(FECHA)", "CLIENTES->CODIGO",
                          "IIF(ACTIVO, 'S', 'N')", "LEFT(NOMBRE, 10) + \"x\"", "-SALDO", ".NOT. DELETED()",
                          "A = 1 .AND. B <> 2 .or. C >= 3", "(A+B)*2/3", "[texto]"})
    EXPECT_TRUE(tbl::expression_syntax_ok(key)) << key;
}

TEST(KeySyntax, RefusesBrokenKeys) {
  for (const char* key : {"", "   ", "CODIGO +", "UPPER(NOMBRE", "A B", "'sin cerrar", "A ->", "1 ++", ")",
                          "A }", "A,B", "SUBSTR(A,,2)", "NOSUCHFN(A)"})
    EXPECT_FALSE(tbl::expression_syntax_ok(key)) << key;
}

class KeyBlocks : public TablesTest {};

TEST_F(KeyBlocks, CompiledFromTheKeyInBraces) {
  auto block = tbl::compile_key_block(Value::character("CODIGO"));
  ASSERT_TRUE(block);
  EXPECT_EQ(block->source, "{ ||CODIGO}");
  EXPECT_TRUE(errors.empty());
}

TEST_F(KeyBlocks, BadKeysRaiseTheirErrors) {
  EXPECT_FALSE(tbl::compile_key_block(Value::character("CODIGO +")));
  EXPECT_FALSE(tbl::compile_key_block(Value::numeric(1)));
  EXPECT_FALSE(tbl::compile_key_block(Value()));
  EXPECT_EQ(error_descriptions(), (std::vector<std::string>{"Syntax error", "Argument error", "Argument error"}));
  EXPECT_EQ(errors[0].gen_code, plat::EG_SYNTAX);
  EXPECT_EQ(errors[1].gen_code, plat::EG_ARG);
}

TEST_F(KeyBlocks, AnInstalledCompilerReceivesTheBlockText) {
  std::string seen;
  auto saved = tbl::set_block_compiler([&](const std::string& text) -> std::optional<tbl::KeyBlock> {
    seen = text;
    return tbl::KeyBlock{text, [] { return Value::character("k"); }};
  });
  auto block = tbl::compile_key_block(Value::character("UPPER(A)"));
  tbl::set_block_compiler(saved);
  ASSERT_TRUE(block && block->evaluate);
  EXPECT_EQ(seen, "{ ||UPPER(A)}");
  EXPECT_EQ(block->evaluate(), Value::character("k"));
}

}  // namespace
}  // namespace tbltest
