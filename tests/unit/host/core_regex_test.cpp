/* Patterns as the engine's regular-expression library accepted them. */
#include <gtest/gtest.h>

#include <string>

#include "core/regex.h"
#include "php_regex.h"

namespace {

TEST(CoreRegex, BracesThatStartNoBoundAreLiteral) {
    const std::pair<const char *, const char *> cases[] = {
        {"{[^}]*}", "\\{[^}]*\\}"},
        {"a{2}", "a{2}"},
        {"a{2,3}b{x}", "a{2,3}b\\{x\\}"},
        {"[{}]", "[{}]"},
        {"[]{]", "[]{]"},
        {"[[:alpha:]{]+", "[[:alpha:]{]+"},
        {"\\{a", "\\{a"},
        {"{", "\\{"},
    };
    for (auto [in, out] : cases) EXPECT_EQ(out, zend::translate_braces(in)) << in;
}

TEST(CoreRegex, MatchesBracePairsAndReportsLeftmostLongestGroups) {
    regex_t re;
    ASSERT_EQ(0, php_regcomp(&re, "{[^}]*}", REG_EXTENDED));
    regmatch_t m[5];
    const char *text = "Hello {name}!";
    ASSERT_EQ(0, php_regexec(&re, text, 5, m, 0));
    EXPECT_EQ(6, m[0].rm_so);
    EXPECT_EQ(12, m[0].rm_eo);
    EXPECT_EQ(REG_NOMATCH, php_regexec(&re, "no braces", 5, m, 0));
    php_regfree(&re);

    /* The whole match is the longest; groups follow from it. */
    ASSERT_EQ(0, php_regcomp(&re, "(a|ab)(c|bcd)(d*)", REG_EXTENDED));
    ASSERT_EQ(0, php_regexec(&re, "xabcd", 5, m, 0));
    EXPECT_EQ(1, m[0].rm_so);
    EXPECT_EQ(5, m[0].rm_eo);
    php_regfree(&re);

    const char *block = "<!-- BEGIN row -->x<!-- END row -->";
    ASSERT_EQ(0, php_regcomp(&re, "<!--[[:space:]]+BEGIN[[:space:]]+([a-zA-Z0-9_]+)[[:space:]]+-->", REG_EXTENDED));
    ASSERT_EQ(0, php_regexec(&re, block, 5, m, 0));
    EXPECT_EQ("row", std::string(block + m[1].rm_so, block + m[1].rm_eo));
    php_regfree(&re);
}

} // namespace
