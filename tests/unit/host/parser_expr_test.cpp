/* Expressions as the parser builds them: precedence and associativity,
 * where assignments bind, literals, strings and interpolation. Trees are
 * compared in a one-line form of dump(): "(kind attrs children...)". */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/ast.h"
#include "parser_tree.h"

namespace {

using parser_tree::sexpr;
using parser_tree::tree;

/* The tree of one expression statement, without the statement around it. */
std::string expr(const std::string &src) {
    std::string t = tree("<?php " + src + ";");
    const std::string head = "(stmt_list (expr_stmt ";
    if (t.compare(0, head.size(), head) != 0 || t.size() < head.size() + 2) return t;
    return t.substr(head.size(), t.size() - head.size() - 2);
}

TEST(ParserExpr, ArithmeticPrecedenceAndLeftAssociativity) {
    EXPECT_EQ(expr("1 + 2 * 3"), "(binary add (long_lit 1) (binary mul (long_lit 2) (long_lit 3)))");
    EXPECT_EQ(expr("1 - 2 - 3"), "(binary sub (binary sub (long_lit 1) (long_lit 2)) (long_lit 3))");
    EXPECT_EQ(expr("(1 - 2) * 3 % 4"),
              "(binary mod (binary mul (binary sub (long_lit 1) (long_lit 2)) (long_lit 3)) (long_lit 4))");
    /* "." shares the level of + and - */
    EXPECT_EQ(expr("'a' . 1 + 2"), "(binary add (binary concat (string_lit \"a\") (long_lit 1)) (long_lit 2))");
    EXPECT_EQ(expr("1 << 2 + 3"), "(binary sl (long_lit 1) (binary add (long_lit 2) (long_lit 3)))");
    EXPECT_EQ(expr("1 | 2 ^ 3 & 4"),
              "(binary bw_or (long_lit 1) (binary bw_xor (long_lit 2) (binary bw_and (long_lit 3) (long_lit 4))))");
}

TEST(ParserExpr, ComparisonAndLogicalLevels) {
    EXPECT_EQ(expr("$a < 1 == $b >= 2"),
              "(binary is_equal (binary is_smaller (var \"a\") (long_lit 1)) "
              "(binary is_greater_or_equal (var \"b\") (long_lit 2)))");
    EXPECT_EQ(expr("$a > 1 <> $b === $c"),
              "ERROR parse error, unexpected T_IS_IDENTICAL @1");
    EXPECT_EQ(expr("1 < 2 > 3"), "ERROR parse error, unexpected '>' @1");
    EXPECT_EQ(expr("$a || $b && $c"), "(logical_or (var \"a\") (logical_and (var \"b\") (var \"c\")))");
    EXPECT_EQ(expr("$a or $b xor $c and $d"),
              "(logical_or (var \"a\") (logical_xor (var \"b\") (logical_and (var \"c\") (var \"d\"))))");
    /* the ternary is left-associative and looser than || */
    EXPECT_EQ(expr("$a ? 1 : $b ? 2 : 3"),
              "(ternary (ternary (var \"a\") (long_lit 1) (var \"b\")) (long_lit 2) (long_lit 3))");
    EXPECT_EQ(expr("$a || $b ? 1 : 2"),
              "(ternary (logical_or (var \"a\") (var \"b\")) (long_lit 1) (long_lit 2))");
}

TEST(ParserExpr, AssignmentBindsToItsVariable) {
    EXPECT_EQ(expr("$a = $b = 3"), "(assign (var \"a\") (assign (var \"b\") (long_lit 3)))");
    EXPECT_EQ(expr("$a = $b and $c"), "(logical_and (assign (var \"a\") (var \"b\")) (var \"c\"))");
    EXPECT_EQ(expr("$a = $b || $c"), "(assign (var \"a\") (logical_or (var \"b\") (var \"c\")))");
    EXPECT_EQ(expr("!$a = f()"), "(unary bool_not (assign (var \"a\") (call \"f\")))");
    EXPECT_EQ(expr("$x && $y = 1"), "(logical_and (var \"x\") (assign (var \"y\") (long_lit 1)))");
    EXPECT_EQ(expr("$a .= 'x' . 'y'"),
              "(assign_op concat (var \"a\") (binary concat (string_lit \"x\") (string_lit \"y\")))");
    EXPECT_EQ(expr("$a =& $b[1]"), "(assign_ref (var \"a\") (dim (var \"b\") (long_lit 1)))");
    EXPECT_EQ(expr("$a = & new C(1)"), "(assign_ref (var \"a\") (new_object \"C\" (long_lit 1)))");
    EXPECT_EQ(expr("f() = 1"), "ERROR parse error, unexpected '=' @1");
    EXPECT_EQ(expr("($a) = 1"), "ERROR parse error, unexpected '=' @1");
    EXPECT_EQ(expr("$a++ + --$b"), "(binary add (post_inc (var \"a\")) (pre_dec (var \"b\")))");
}

TEST(ParserExpr, PrefixOperatorsAndCasts) {
    EXPECT_EQ(expr("-$a * 3"), "(binary mul (unary negate (var \"a\")) (long_lit 3))");
    EXPECT_EQ(expr("!$a == $b"), "(binary is_equal (unary bool_not (var \"a\")) (var \"b\"))");
    EXPECT_EQ(expr("(int)$a + (string) $b . (Boolean)1"),
              "(binary concat (binary add (cast int (var \"a\")) (cast string (var \"b\"))) (cast bool (long_lit 1)))");
    EXPECT_EQ(expr("(integer)(real)(double)(float)(array)(object)$x"),
              "(cast int (cast double (cast double (cast double (cast array (cast object (var \"x\")))))))");
    EXPECT_EQ(expr("@f() . ~$x"), "(binary concat (silence (call \"f\")) (unary bw_not (var \"x\")))");
    EXPECT_EQ(expr("print $a and $b"), "(logical_and (print (var \"a\")) (var \"b\"))");
    EXPECT_EQ(expr("(foo)"), "(constant \"foo\")"); /* not a cast */
}

TEST(ParserExpr, NumericLiterals) {
    EXPECT_EQ(expr("0x1F + 017 + 08"), "(binary add (binary add (long_lit 31) (long_lit 15)) (long_lit 0))");
    EXPECT_EQ(expr("-5"), "(long_lit -5)");
    EXPECT_EQ(expr("- -2.5"), "(double_lit 2.5)");
    EXPECT_EQ(expr("9223372036854775807"), "(long_lit 9223372036854775807)");
    EXPECT_EQ(expr("9223372036854775808"), "(double_lit 9.2233720368547758e+18)");
    EXPECT_EQ(expr("0xFFFFFFFFFFFFFFFF"), "(double_lit 1.8446744073709552e+19)");
    EXPECT_EQ(expr("1.5e3 + .5 + 1. + 2E-2"),
              "(binary add (binary add (binary add (double_lit 1500) (double_lit 0.5)) (double_lit 1)) "
              "(double_lit 0.02))");
    EXPECT_EQ(expr("TRUE . False . NULL . PHP_VERSION"),
              "(binary concat (binary concat (binary concat (bool_lit 1) (bool_lit 0)) (null_lit)) "
              "(constant \"PHP_VERSION\"))");
}

TEST(ParserExpr, QuotedStringsAndEscapes) {
    EXPECT_EQ(expr(R"('it\'s \\ \n $a')"), R"((string_lit "it's \\ \\n $a"))");
    EXPECT_EQ(expr(R"("t\tn\nr\r \\ \$a \" \101\x41\x4 \q \0")"),
              R"((string_lit "t\tn\nr\r \\ $a \" AA\x04 \\q \x00"))");
    EXPECT_EQ(expr(R"("costs $ 5 and { x }")"), R"((string_lit "costs $ 5 and { x }"))");
}

TEST(ParserExpr, InterpolationForms) {
    EXPECT_EQ(expr(R"("a $b c")"), R"((interp (string_lit "a ") (var "b") (string_lit " c")))");
    EXPECT_EQ(expr(R"("$a[key] $a[7] $a[007] $a[$i]")"),
              R"((interp (dim (var "a") (string_lit "key")) (string_lit " ") (dim (var "a") (long_lit 7)) )"
              R"((string_lit " ") (dim (var "a") (string_lit "007")) (string_lit " ") (dim (var "a") (var "i"))))");
    EXPECT_EQ(expr(R"("$o->p->q")"), R"((interp (prop "p" (var "o")) (string_lit "->q")))");
    EXPECT_EQ(expr(R"("{$a['k'][0]}{$o->m(1)}")"),
              R"((interp (dim (dim (var "a") (string_lit "k")) (long_lit 0)) (method_call "m" (var "o") (long_lit 1))))");
    EXPECT_EQ(expr(R"("${name} ${arr[1 + 1]} ${$n}")"),
              R"((interp (var "name") (string_lit " ") (dim (var "arr") (binary add (long_lit 1) (long_lit 1))) )"
              R"((string_lit " ") (var_var (var "n"))))");
    EXPECT_EQ(expr(R"("\$a {$a}")"), R"((interp (string_lit "$a ") (var "a")))");
    EXPECT_EQ(expr(R"("$a[]")"), "ERROR parse error, unexpected ']' @1");
}

TEST(ParserExpr, Heredoc) {
    EXPECT_EQ(expr("<<<EOT\nHello $name!\n  \"q\" \\t\nEOT\n"),
              R"((interp (string_lit "Hello ") (var "name") (string_lit "!\n  \"q\" \t")))");
    EXPECT_EQ(expr("<<< END\nplain\nEND"), R"((string_lit "plain"))");
    EXPECT_EQ(expr("<<<A\nA"), R"((string_lit ""))");
    EXPECT_EQ(tree("<?php $x = <<<EOT\nnever closed\n"), "ERROR parse error, unterminated heredoc @1");
}

TEST(ParserExpr, VariablesPropertiesAndCalls) {
    EXPECT_EQ(expr("$$a[0]"), R"((var_var (dim (var "a") (long_lit 0))))");
    EXPECT_EQ(expr("${'x' . $y}"), R"((var_var (binary concat (string_lit "x") (var "y"))))");
    EXPECT_EQ(expr("$s{0}"), R"((dim (var "s") (long_lit 0)))");
    EXPECT_EQ(expr("$a[] = 1"), R"((assign (dim (var "a") -) (long_lit 1)))");
    EXPECT_EQ(expr("$o->a[1]->b"), R"((prop "b" (dim (prop "a" (var "o")) (long_lit 1))))");
    EXPECT_EQ(expr("$o->$p"), R"((prop (var "o") (var "p")))");
    EXPECT_EQ(expr("$o->list"), R"((prop "list" (var "o")))");
    EXPECT_EQ(expr("$o->a->m(1, $x)"), R"((method_call "m" (prop "a" (var "o")) (long_lit 1) (var "x")))");
    EXPECT_EQ(expr("$o->m()->n"), "ERROR parse error, unexpected T_OBJECT_OPERATOR @1");
    EXPECT_EQ(expr("Foo::bar(1)"), R"((static_call "Foo" "bar" (long_lit 1)))");
    EXPECT_EQ(expr("PARENT::Init()"), R"((static_call "parent" "Init"))");
    EXPECT_EQ(expr("$f('x')"), R"((call (var "f") (string_lit "x")))");
    EXPECT_EQ(expr("$o->$m(1)"), R"((method_call (var "o") (var "m") (long_lit 1)))");
    EXPECT_EQ(expr("f(&$x, $o->m(&$a[1]))"),
              R"((call "f" (ref_arg (var "x")) (method_call "m" (var "o") (ref_arg (dim (var "a") (long_lit 1))))))");
    EXPECT_EQ(expr("f(&1)"), "ERROR parse error, unexpected T_LNUMBER @1");
    EXPECT_EQ(expr("new Foo"), R"((new_object "Foo"))");
    EXPECT_EQ(expr("new $cls->name(1)"), R"((new_object (prop "name" (var "cls")) (long_lit 1)))");
    EXPECT_EQ(expr("MyFunc()"), R"((call "MyFunc"))");
}

TEST(ParserExpr, ListAssignmentAndEval) {
    EXPECT_EQ(expr("list($a, , list($b[0], $o->p), ) = f()"),
              R"((list_assign (list (var "a") - (list (dim (var "b") (long_lit 0)) (prop "p" (var "o"))) -) (call "f")))");
    EXPECT_EQ(expr("list() = $x"), R"((list_assign (list -) (var "x")))");
    EXPECT_EQ(expr("!list($k, $v) = each($a)"),
              R"((unary bool_not (list_assign (list (var "k") (var "v")) (call "each" (var "a")))))");
    EXPECT_EQ(expr("eval('return 1;') + 1"), R"((binary add (eval (string_lit "return 1;")) (long_lit 1)))");
}

TEST(ParserExpr, ArraysAndBuiltinForms) {
    EXPECT_EQ(expr("array(1, 'k' => array(), 2 => -3,)"),
              R"((array (array_elem - (long_lit 1)) (array_elem (string_lit "k") (array)) )"
              R"((array_elem (long_lit 2) (long_lit -3))))");
    EXPECT_EQ(expr("array(,)"), "ERROR parse error, unexpected ',' @1");
    EXPECT_EQ(expr("isset($a, $b['x']) && !empty($c->d)"),
              R"((logical_and (isset (var "a") (dim (var "b") (string_lit "x"))) )"
              R"((unary bool_not (empty (prop "d" (var "c"))))))");
    EXPECT_EQ(expr("isset(f())"), "ERROR parse error, unexpected T_STRING @1");
    EXPECT_EQ(expr("f() or die('no')"), R"((logical_or (call "f") (exit (string_lit "no"))))");
    EXPECT_EQ(expr("exit"), "(exit -)");
    EXPECT_EQ(expr("exit()"), "(exit -)");
}

} // namespace
