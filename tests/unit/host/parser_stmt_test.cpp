/* Statements, declarations and the text around the PHP tags, as trees. */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/ast.h"
#include "parser_tree.h"

namespace {

using parser_tree::sexpr;
using parser_tree::tree;

/* The statements of a script body, without the surrounding stmt_list. */
std::string body(const std::string &src) {
    std::string t = tree("<?php " + src);
    const std::string head = "(stmt_list ";
    if (t.compare(0, head.size(), head) != 0) return t;
    return t.substr(head.size(), t.size() - head.size() - 1);
}

TEST(ParserStmt, TagsAndInlineHtml) {
    EXPECT_EQ(tree("<p>\n<?php echo 1 ?>\nnext\n<?= $x ?><? echo 2; ?>tail"),
              R"((stmt_list (inline_html "<p>\n") (echo (long_lit 1)) (inline_html "next\n") (echo (var "x")) )"
              R"((echo (long_lit 2)) (inline_html "tail")))");
    EXPECT_EQ(tree("just text <b>"), R"((stmt_list (inline_html "just text <b>")))");
    EXPECT_EQ(tree(""), "(stmt_list)");
    EXPECT_EQ(tree("<?php\n// comment ?>x\n# another\n/* block ?> */ echo 1;"),
              R"((stmt_list (inline_html "x\n# another\n/* block ?> */ echo 1;")))");
    EXPECT_EQ(body("echo 1 /* c */, 2; # trailing"), "(echo (long_lit 1) (long_lit 2))");
    EXPECT_EQ(tree("<?php if ($a) { ?>yes<?php } else { ?>no<?php } ?>"),
              R"((stmt_list (if_stmt (var "a") (stmt_list (inline_html "yes")) (stmt_list (inline_html "no")))))");
}

TEST(ParserStmt, IfChains) {
    EXPECT_EQ(body("if ($a) echo 1; elseif ($b) echo 2; else if ($c) echo 3; else echo 4;"),
              "(if_stmt (var \"a\") (echo (long_lit 1)) (if_stmt (var \"b\") (echo (long_lit 2)) "
              "(if_stmt (var \"c\") (echo (long_lit 3)) (echo (long_lit 4)))))");
    /* else goes with the nearest if */
    EXPECT_EQ(body("if ($a) if ($b) f(); else g();"),
              "(if_stmt (var \"a\") (if_stmt (var \"b\") (expr_stmt (call \"f\")) (expr_stmt (call \"g\"))) -)");
    EXPECT_EQ(body("if ($a): f(); elseif ($b): else: g(); h(); endif;"),
              "(if_stmt (var \"a\") (stmt_list (expr_stmt (call \"f\"))) (if_stmt (var \"b\") (stmt_list) "
              "(stmt_list (expr_stmt (call \"g\")) (expr_stmt (call \"h\")))))");
    EXPECT_EQ(body("if ($a) ;"), "(if_stmt (var \"a\") (nop) -)");
}

TEST(ParserStmt, Loops) {
    EXPECT_EQ(body("while ($i < 3) { $i++; }"),
              "(while_stmt (binary is_smaller (var \"i\") (long_lit 3)) (stmt_list (expr_stmt (post_inc (var \"i\")))))");
    EXPECT_EQ(body("while (1): break 2; continue; endwhile;"),
              "(while_stmt (long_lit 1) (stmt_list (break_stmt 2) (continue_stmt 1)))");
    EXPECT_EQ(body("do $i--; while ($i);"), "(do_while (expr_stmt (post_dec (var \"i\"))) (var \"i\"))");
    EXPECT_EQ(body("for ($i = 0, $j = 1; ; $i++, $j++) ;"),
              "(for_stmt (expr_list (assign (var \"i\") (long_lit 0)) (assign (var \"j\") (long_lit 1))) (expr_list) "
              "(expr_list (post_inc (var \"i\")) (post_inc (var \"j\"))) (nop))");
    EXPECT_EQ(body("for (;;): endfor;"), "(for_stmt (expr_list) (expr_list) (expr_list) (stmt_list))");
    EXPECT_EQ(body("foreach ($a as $v) echo $v;"),
              "(foreach_stmt (var \"a\") - (var \"v\") (echo (var \"v\")))");
    EXPECT_EQ(body("foreach (f() as $k => $o->p[]): endforeach;"),
              "(foreach_stmt (call \"f\") (var \"k\") (dim (prop \"p\" (var \"o\")) -) (stmt_list))");
}

TEST(ParserStmt, Switch) {
    EXPECT_EQ(body("switch ($a) { case 1: case 'x'; f(); break; default: g(); }"),
              "(switch_stmt (var \"a\") (case_clause (long_lit 1) (stmt_list)) "
              "(case_clause (string_lit \"x\") (stmt_list (expr_stmt (call \"f\")) (break_stmt 1))) "
              "(case_clause - (stmt_list (expr_stmt (call \"g\")))))");
    EXPECT_EQ(body("switch ($a): ; case 1: endswitch;"),
              "(switch_stmt (var \"a\") (case_clause (long_lit 1) (stmt_list)))");
    EXPECT_EQ(body("switch ($a) { }"), "(switch_stmt (var \"a\"))");
    EXPECT_EQ(body("switch ($a) { echo 1; }"), "ERROR parse error, unexpected T_ECHO @1");
}

TEST(ParserStmt, SimpleStatements) {
    EXPECT_EQ(body("return; return $a + 1;"),
              "(return_stmt -) (return_stmt (binary add (var \"a\") (long_lit 1)))");
    EXPECT_EQ(body("global $a, $$b;"), "(global_stmt (var \"a\") (var_var (var \"b\")))");
    EXPECT_EQ(body("static $n = -1, $m, $l = array(FOO => 'x');"),
              "(static_stmt (static_var \"n\" (long_lit -1)) (static_var \"m\" -) "
              "(static_var \"l\" (array (array_elem (constant \"FOO\") (string_lit \"x\")))))");
    EXPECT_EQ(body("static $n = $m;"), "ERROR parse error, unexpected T_VARIABLE @1");
    EXPECT_EQ(body("unset($a, $b['k'], $c->d);"),
              "(unset_stmt (var \"a\") (dim (var \"b\") (string_lit \"k\")) (prop \"d\" (var \"c\")))");
    EXPECT_EQ(body("print 'a'; exit(1); die;"),
              "(expr_stmt (print (string_lit \"a\"))) (expr_stmt (exit (long_lit 1))) (expr_stmt (exit -))");
}

TEST(ParserStmt, IncludeForms) {
    EXPECT_EQ(body("include 'a.php'; include_once('b' . $c); require $f; require_once(\"d.php\");"),
              "(expr_stmt (include include (string_lit \"a.php\"))) "
              "(expr_stmt (include include_once (binary concat (string_lit \"b\") (var \"c\")))) "
              "(expr_stmt (include require (var \"f\"))) "
              "(expr_stmt (include require_once (string_lit \"d.php\")))");
    /* include takes everything after it, "or" included */
    EXPECT_EQ(body("include 'a' or die();"),
              "(expr_stmt (include include (logical_or (string_lit \"a\") (exit -))))");
    EXPECT_EQ(body("$r = include 'x.php';"),
              "(expr_stmt (assign (var \"r\") (include include (string_lit \"x.php\"))))");
}

TEST(ParserStmt, FunctionDeclarations) {
    EXPECT_EQ(body("function f($a, &$b, $c = -1, $d = array(1, 'k' => X), $e = null) { return $a; }"),
              "(func_decl \"f\" (stmt_list (return_stmt (var \"a\"))) (param \"a\" -) (param & \"b\" -) "
              "(param \"c\" (long_lit -1)) (param \"d\" (array (array_elem - (long_lit 1)) "
              "(array_elem (string_lit \"k\") (constant \"X\")))) (param \"e\" (null_lit)))");
    EXPECT_EQ(body("function &Get() { echo __FUNCTION__; }"),
              "(func_decl & \"Get\" (stmt_list (echo (string_lit \"get\"))))");
    EXPECT_EQ(body("if (1) { function g() {} }"),
              "(if_stmt (long_lit 1) (stmt_list (func_decl \"g\" (stmt_list))) -)");
    EXPECT_EQ(body("function f($a = 1 + 2) {}"), "ERROR parse error, unexpected '+' @1");
    EXPECT_EQ(body("function ($a) {}"), "ERROR parse error, unexpected '(' @1");
}

TEST(ParserStmt, ClassDeclarations) {
    EXPECT_EQ(body("class B extends A { var $x = 1, $y; var $z = array(); "
                   "function B($v) { parent::A(); $this->x = $v; echo __CLASS__; } }"),
              "(class_decl \"B\" \"A\" (prop_decl \"x\" (long_lit 1)) (prop_decl \"y\" -) (prop_decl \"z\" (array)) "
              "(func_decl \"B\" (stmt_list (expr_stmt (static_call \"parent\" \"A\")) "
              "(expr_stmt (assign (prop \"x\" (var \"this\")) (var \"v\"))) (echo (string_lit \"b\"))) "
              "(param \"v\" -)))");
    EXPECT_EQ(body("class A { $x = 1; }"), "ERROR parse error, unexpected T_VARIABLE @1");
    EXPECT_EQ(body("class A { var $x = 1 }"), "ERROR parse error, unexpected '}' @1");
}

TEST(ParserStmt, DumpFormat) {
    std::string message;
    int line = 0;
    std::string src = "<?php\nfunction f(&$a) { $a[1] = \"x\\n\" . 2.5; }";
    auto t = zend::ast::parse(src.data(), src.size(), message, line);
    ASSERT_TRUE(t) << message;
    EXPECT_EQ(zend::ast::dump(t->root),
              "stmt_list\n"
              "  func_decl \"f\"\n"
              "    stmt_list\n"
              "      expr_stmt\n"
              "        assign\n"
              "          dim\n"
              "            var \"a\"\n"
              "            long_lit 1\n"
              "          binary concat\n"
              "            string_lit \"x\\n\"\n"
              "            double_lit 2.5\n"
              "    param & \"a\"\n"
              "      -\n");
    EXPECT_EQ(t->root->list[0]->line, 2);
}

/* The accessors read each kind's own slot: the condition of a while comes
 * first and that of a do-while last, for keeps its condition second,
 * foreach its key before the value, and a computed name is there only
 * when the name is computed. */
TEST(ParserStmt, AccessorsNameTheChildrenOfEachKind) {
    namespace ast = zend::ast;
    std::string src = "<?php while ($w) f(); do g(); while ($d); for ($i = 0; $c; $s) h();"
                      " foreach ($a as $k => $v) j(); foreach ($b as $only) k();"
                      " switch ($x) { case 1: l(); default: m(); }"
                      " $o->$p = $o->q[]; $$n = $t ? 1 : 2; function f($p = 3) { return; }";
    std::string message;
    int line = 0;
    auto t = ast::parse(src.data(), src.size(), message, line);
    ASSERT_TRUE(t) << message;
    const std::vector<ast::node *> &s = t->root->list;
    ASSERT_EQ(s.size(), 9u);
    auto called = [](const ast::node *stmt) { return ast::operand(stmt)->str; };

    EXPECT_EQ(ast::cond(s[0])->str, "w");
    EXPECT_EQ(called(ast::body(s[0])), "f");
    EXPECT_EQ(ast::cond(s[1])->str, "d");
    EXPECT_EQ(called(ast::body(s[1])), "g");
    EXPECT_EQ(ast::value(ast::init(s[2])->list[0])->lval, 0);
    EXPECT_EQ(ast::cond(s[2])->list[0]->str, "c");
    EXPECT_EQ(ast::step(s[2])->list[0]->str, "s");
    EXPECT_EQ(called(ast::body(s[2])), "h");
    EXPECT_EQ(ast::subject(s[3])->str, "a");
    EXPECT_EQ(ast::key(s[3])->str, "k");
    EXPECT_EQ(ast::value(s[3])->str, "v");
    EXPECT_EQ(called(ast::body(s[3])), "j");
    EXPECT_EQ(ast::key(s[4]), nullptr);
    EXPECT_EQ(ast::value(s[4])->str, "only");

    ASSERT_EQ(s[5]->list.size(), 2u);
    EXPECT_EQ(ast::subject(s[5])->str, "x");
    EXPECT_EQ(ast::value(s[5]->list[0])->lval, 1);
    EXPECT_EQ(called(ast::body(s[5]->list[0])->list[0]), "l");
    EXPECT_EQ(ast::value(s[5]->list[1]), nullptr);
    EXPECT_EQ(called(ast::body(s[5]->list[1])->list[0]), "m");

    const ast::node *assign = ast::operand(s[6]);
    EXPECT_EQ(ast::name(ast::target(assign))->str, "p");
    EXPECT_EQ(ast::object(ast::target(assign))->str, "o");
    const ast::node *append = ast::value(assign);
    EXPECT_EQ(ast::index(append), nullptr);
    EXPECT_EQ(ast::name(ast::base(append)), nullptr);
    EXPECT_EQ(ast::base(append)->str, "q");
    const ast::node *ternary = ast::value(ast::operand(s[7]));
    EXPECT_EQ(ast::name(ast::target(ast::operand(s[7])))->str, "n");
    EXPECT_EQ(ast::cond(ternary)->str, "t");
    EXPECT_EQ(ast::then(ternary)->lval, 1);
    EXPECT_EQ(ast::otherwise(ternary)->lval, 2);

    EXPECT_EQ(ast::value(s[8]->list[0])->lval, 3);
    EXPECT_EQ(ast::operand(ast::body(s[8])->list[0]), nullptr);
}

} // namespace
