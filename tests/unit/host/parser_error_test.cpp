/* Broken, hostile and huge input: the message and line of each parse
 * error, nesting limits, and inputs far larger than real scripts. */
#include <gtest/gtest.h>

#include <string>

#include "compiler/ast.h"

namespace {

namespace ast = zend::ast;

struct outcome {
    bool ok;
    std::string message;
    int line;
};

outcome parse(const std::string &src) {
    outcome o{false, {}, -1};
    auto t = zend::ast::parse(src.data(), src.size(), o.message, o.line);
    o.ok = t != nullptr;
    if (o.ok) {
        EXPECT_TRUE(t->root != nullptr);
    }
    return o;
}

void expect_error(const std::string &src, const std::string &message, int line) {
    outcome o = parse(src);
    EXPECT_FALSE(o.ok) << src;
    EXPECT_EQ(o.message, message) << src;
    EXPECT_EQ(o.line, line) << src;
}

TEST(ParserError, UnexpectedTokensAreNamedAsTheEngineNamesThem) {
    expect_error("<?php\n}\n", "parse error, unexpected '}'", 2);
    expect_error("<?php\necho $a\n$b;", "parse error, unexpected T_VARIABLE", 3);
    expect_error("<?php\n$a = 1\necho 2;", "parse error, unexpected T_ECHO", 3);
    expect_error("<?php $a = 'x' 'y';", "parse error, unexpected T_CONSTANT_ENCAPSED_STRING", 1);
    expect_error("<?php foo bar;", "parse error, unexpected T_STRING", 1);
    expect_error("<?php $a = 1 2;", "parse error, unexpected T_LNUMBER", 1);
    expect_error("<?php $a = 1 2.5;", "parse error, unexpected T_DNUMBER", 1);
    expect_error("<?php echo \"a\" \"$b\";", "parse error, unexpected '\"'", 1);
    expect_error("<?php if ($a) { echo 1; } else", "parse error, unexpected $end", 1);
    expect_error("<?php function f() {\n  echo 1;\n", "parse error, unexpected $end", 3);
    expect_error("<?php if ($a): echo 1; endwhile;", "parse error, unexpected T_ENDWHILE", 1);
    expect_error("<?php $a = `ls`;", "parse error, unexpected '`'", 1);
    expect_error("<?php list($a) =& $b;", "parse error, unexpected '&'", 1);
    expect_error("<?php list($a, f()) = $b;", "parse error, unexpected T_STRING", 1);
    expect_error("<?php list($a);", "parse error, unexpected ';'", 1);
    expect_error("<?php eval 'x';", "parse error, unexpected T_CONSTANT_ENCAPSED_STRING", 1);
    expect_error("<?php $a = new 'C';", "parse error, unexpected T_CONSTANT_ENCAPSED_STRING", 1);
    expect_error("<?php $a = 1;\n\n\n echo \\;", "parse error, unexpected character in input: '\\' (ASCII=92)", 4);
    expect_error("<?php break $x;", "parse error, unexpected T_VARIABLE", 1);
    expect_error("<?php ?> <?php else", "parse error, unexpected T_ELSE", 1);
}

TEST(ParserError, UnterminatedTextReportsWhereItBegan) {
    expect_error("<?php\n$a = 1;\n/* never\nclosed\n", "parse error, unterminated comment", 3);
    expect_error("<?php\n$a = 'abc\n\ndef", "parse error, unterminated string", 2);
    expect_error("<?php\n\n$a = \"abc\\\"", "parse error, unterminated string", 3);
    expect_error("<?php\n$a = \"x $y\nz", "parse error, unterminated string", 2);
    expect_error("<?php\n$a = \"{$y", "parse error, unterminated string", 2);
    expect_error("<?php\n$a = <<<EOT\nabc\nEOTX\n", "parse error, unterminated heredoc", 2);
    /* an earlier syntax error wins over a later unterminated string */
    expect_error("<?php\n$a = = 1;\n'abc", "parse error, unexpected '='", 2);
}

TEST(ParserError, LinesCountEveryNewline) {
    std::string src = "<p>\n\n<?php\n$a = 'x\ny';\n/* c\nc */ $b = \"m\n$a\";\n$c = <<<E\n1\n2\nE;\n)";
    expect_error(src, "parse error, unexpected ')'", 13);
    std::string msg;
    int line = 0;
    std::string ok = "\n\n<?php\r\n$a = 1;\r\n\r\n$b = 2;";
    auto t = zend::ast::parse(ok.data(), ok.size(), msg, line);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->root->list[1]->line, 4);
    EXPECT_EQ(t->root->list[2]->line, 6);
}

TEST(ParserError, DeepNestingIsRefusedNotOverflowed) {
    const int deep = 100000;
    std::string parens = "<?php $a = " + std::string(deep, '(') + "1" + std::string(deep, ')') + ";";
    std::string blocks = "<?php " + std::string(deep, '{') + std::string(deep, '}');
    std::string nots = "<?php $a = " + std::string(deep, '!') + "1;";
    std::string dollars = "<?php " + std::string(deep, '$') + "a = 1;";
    std::string chain = "<?php $a = 1";
    for (int i = 0; i < deep; i++) chain += " + 1";
    chain += ";";
    std::string ifs = "<?php if (1) echo 1;";
    for (int i = 0; i < 5000; i++) ifs += " elseif (1) echo 1;";
    std::string arrays = "<?php $a = ";
    for (int i = 0; i < deep; i++) arrays += "array(";
    for (int i = 0; i < deep; i++) arrays += ")";
    for (const std::string *src : {&parens, &blocks, &nots, &dollars, &chain, &ifs, &arrays}) {
        outcome o = parse(*src);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.message, "parse error, nesting too deep");
        EXPECT_EQ(o.line, 1);
    }
    /* real scripts stay well inside the limit */
    std::string fine = "<?php $a = " + std::string(900, '(') + "1" + std::string(900, ')') + ";" +
                       std::string(200, '{') + std::string(200, '}');
    EXPECT_TRUE(parse(fine).ok);
}

TEST(ParserError, HugeInputs) {
    std::string big(10 * 1024 * 1024, 'x');
    std::string src = "<?php $s = '" + big + "'; $t = \"" + big + "$s\"; ?>" + big;
    std::string msg;
    int line = 0;
    auto t = zend::ast::parse(src.data(), src.size(), msg, line);
    ASSERT_TRUE(t) << msg;
    EXPECT_EQ(ast::value(ast::operand(t->root->list[0]))->str.size(), big.size());
    EXPECT_EQ(ast::value(ast::operand(t->root->list[1]))->list[0]->str.size(), big.size());
    EXPECT_EQ(t->root->list[2]->str.size(), big.size());

    std::string many = "<?php\n";
    for (int i = 0; i < 20000; i++) many += "$a[" + std::to_string(i) + "] = f($i, 'x');\n";
    t = zend::ast::parse(many.data(), many.size(), msg, line);
    ASSERT_TRUE(t) << msg;
    EXPECT_EQ(t->root->list.size(), 20000u);
    EXPECT_EQ(t->root->list.back()->line, 20001);

    std::string digits = "<?php $a = " + std::string(100000, '7') + ";";
    t = zend::ast::parse(digits.data(), digits.size(), msg, line);
    ASSERT_TRUE(t) << msg;
    EXPECT_EQ(ast::value(ast::operand(t->root->list[0]))->k, zend::ast::kind::double_lit);
}

/* Every prefix of a script that uses most of the language either parses
 * or fails with a parse error: no crash, no hang, no other outcome. */
TEST(ParserError, EveryTruncationFailsCleanly) {
    const std::string script =
        "<html><?php\n"
        "class A extends B { var $x = array(1, 'a' => -2); function A(&$p, $q = X) { parent::B(); } }\n"
        "function &f($a) { static $n = 0; global $g; return $a[1]->b; }\n"
        "$s = \"v=$v[k] {$o->m(1)} ${n} \\x41\" . <<<EOT\nh $x->y\nEOT;\n"
        "if ($a): echo 1; elseif ($b): else: endif;\n"
        "foreach ($a as $k => $v) { switch ($v) { case 1: break 1; default: continue; } }\n"
        "for ($i = 0; $i < 10; $i++) while (0) do ; while (0);\n"
        "$r =& new A(1, 2); @$x = (int) $y ? 1 : 2 or die('x'); include_once 'a.php';\n"
        "/* c */ # d\n"
        "?>\ntail <?= $z ?>";
    std::string msg;
    int line = 0;
    ASSERT_TRUE(zend::ast::parse(script.data(), script.size(), msg, line)) << msg << " @" << line;
    for (std::size_t n = 0; n < script.size(); n++) {
        std::string prefix = script.substr(0, n);
        if (!zend::ast::parse(prefix.data(), prefix.size(), msg, line)) {
            EXPECT_EQ(msg.rfind("parse error, ", 0), 0u) << n << ": " << msg;
            EXPECT_GE(line, 1);
        }
    }
}

} // namespace
