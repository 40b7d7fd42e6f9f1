/* The token stream under the parser: kinds, values and lines, the
 * modes inside strings, and the end of the stream. */
#include <gtest/gtest.h>

#include <string>

#include "compiler/lexer.h"

namespace {

using zend::ast::tk;
using zend::ast::token_name;

/* Kinds as the engine names them, separated by spaces. */
std::string kinds(const std::string &src) {
    std::string out;
    for (const zend::ast::token &t : zend::ast::tokenize(src.data(), src.size())) {
        if (!out.empty()) out += ' ';
        out += token_name(t.kind);
    }
    return out;
}

TEST(ParserLexer, KeywordsInAnyCaseNamesAfterArrowAndCasts) {
    EXPECT_EQ(kinds("<?php ECHO Echo echo; $o->echo; $o -> Class; ClassName;"),
              "T_ECHO T_ECHO T_ECHO ';' T_VARIABLE T_OBJECT_OPERATOR T_STRING ';' T_VARIABLE "
              "T_OBJECT_OPERATOR T_STRING ';' T_STRING ';' $end");
    EXPECT_EQ(kinds("<?php ( int ) (Boolean)(REAL) (unset) (foo)"),
              "T_INT_CAST T_BOOL_CAST T_DOUBLE_CAST '(' T_UNSET ')' '(' T_STRING ')' $end");
    EXPECT_EQ(kinds("<?php die exit and OR xor cfunction"),
              "T_EXIT T_EXIT T_LOGICAL_AND T_LOGICAL_OR T_LOGICAL_XOR T_FUNCTION $end");
    EXPECT_EQ(kinds("<?php a<<=b<<c<=d<>e!==f===g"),
              "T_STRING T_SL_EQUAL T_STRING T_SL T_STRING T_IS_SMALLER_OR_EQUAL T_STRING T_IS_NOT_EQUAL "
              "T_STRING T_IS_NOT_IDENTICAL T_STRING T_IS_IDENTICAL T_STRING $end");
}

TEST(ParserLexer, TagsAndComments) {
    EXPECT_EQ(kinds("a<?php b ?>\nc<?= d ?><?PHP\ne?>"),
              "T_INLINE_HTML T_STRING ';' T_INLINE_HTML T_ECHO T_STRING ';' T_STRING ';' $end");
    EXPECT_EQ(kinds("<?php // x ?> y"), "';' T_INLINE_HTML $end");
    EXPECT_EQ(kinds("<?php /* ?> */ # ?"), "$end");
    auto toks = zend::ast::tokenize("<?php 1 ?>\n\nx", 13);
    ASSERT_EQ(toks.size(), 4u);
    EXPECT_EQ(toks[2].text, "\nx"); /* only the first newline is eaten */
    EXPECT_EQ(toks[2].line, 2);
}

TEST(ParserLexer, StringModes) {
    EXPECT_EQ(kinds(R"(<?php "a $b[c] $d[1] $e[$f] $g->h {$i} ${j} ${k[1]} ${l . m}")"),
              "'\"' T_ENCAPSED_AND_WHITESPACE T_VARIABLE '[' T_STRING ']' T_ENCAPSED_AND_WHITESPACE "
              "T_VARIABLE '[' T_NUM_STRING ']' T_ENCAPSED_AND_WHITESPACE T_VARIABLE '[' T_VARIABLE ']' "
              "T_ENCAPSED_AND_WHITESPACE T_VARIABLE T_OBJECT_OPERATOR T_STRING T_ENCAPSED_AND_WHITESPACE "
              "T_CURLY_OPEN T_VARIABLE '}' T_ENCAPSED_AND_WHITESPACE T_DOLLAR_OPEN_CURLY_BRACES "
              "T_STRING_VARNAME '}' T_ENCAPSED_AND_WHITESPACE T_DOLLAR_OPEN_CURLY_BRACES T_STRING_VARNAME "
              "'[' T_LNUMBER ']' '}' T_ENCAPSED_AND_WHITESPACE T_DOLLAR_OPEN_CURLY_BRACES T_STRING '.' "
              "T_STRING '}' '\"' $end");
    /* braces inside "{$...}" nest; the string resumes after the matching one */
    EXPECT_EQ(kinds(R"(<?php "{$a[f(array(1))]}x" ;)"),
              "'\"' T_CURLY_OPEN T_VARIABLE '[' T_STRING '(' T_ARRAY '(' T_LNUMBER ')' ')' ']' '}' "
              "T_ENCAPSED_AND_WHITESPACE '\"' ';' $end");
    EXPECT_EQ(kinds("<?php <<<X\n$a\"\nX;\n"),
              "T_START_HEREDOC T_VARIABLE T_ENCAPSED_AND_WHITESPACE T_END_HEREDOC ';' $end");
    EXPECT_EQ(kinds("<?php <<< X y"), "T_SL '<' T_STRING T_STRING $end");
}

TEST(ParserLexer, NumbersAndErrorsEndTheStream) {
    std::string src = "<?php 0x7fffffffffffffff 0777 1e400 \x01 never";
    auto toks = zend::ast::tokenize(src.data(), src.size());
    ASSERT_EQ(toks.size(), 4u);
    EXPECT_EQ(toks[0].kind, tk::T_LNUMBER);
    EXPECT_EQ(toks[0].lval, 0x7fffffffffffffffL);
    EXPECT_EQ(toks[1].lval, 511);
    EXPECT_EQ(toks[2].kind, tk::T_DNUMBER);
    EXPECT_EQ(toks[3].kind, tk::ERROR);
    EXPECT_EQ(toks[3].text, "parse error, unexpected character in input (ASCII=1)");

    zend::ast::token_stream stream("<?php a", 7);
    EXPECT_EQ(stream.peek(5).kind, tk::END); /* looking past the end repeats it */
    stream.advance();
    stream.advance();
    stream.advance();
    EXPECT_EQ(stream.peek().kind, tk::END);
}

} // namespace
