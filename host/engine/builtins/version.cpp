/* version_compare and uniqid.
 *
 * Versions compare part by part after a canonical form: '-', '_' and '+'
 * become dots, and a dot goes between digits and letters. Numbers compare
 * as numbers; words by rank: dev < alpha = a < beta = b < RC = rc < (a
 * number) < pl = p; anything else ranks lowest. */
#include <sys/time.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

bool is_digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool is_number_char(char c) { return is_digit(c) && c != '.'; }
bool is_word_char(char c) { return !is_digit(c) && c != '.'; }

std::string canonical(const std::string &v)
{
    if (v.empty())
        return v;
    std::string out(1, v[0]);
    char last = v[0];
    for (std::size_t i = 1; i < v.size(); i++) {
        char c = v[i];
        if (c == '-' || c == '_' || c == '+') {
            if (out.back() != '.')
                out += '.';
        } else if ((is_word_char(last) && is_number_char(c)) || (is_number_char(last) && is_word_char(c))) {
            if (out.back() != '.')
                out += '.';
            out += c;
        } else if (!std::isalnum(static_cast<unsigned char>(c))) {
            if (out.back() != '.')
                out += '.';
        } else {
            out += c;
        }
        last = c;
    }
    return out;
}

int rank(const std::string &word)
{
    static const struct {
        const char *name;
        int order;
    } forms[] = {{"dev", 0}, {"alpha", 1}, {"a", 1}, {"beta", 2}, {"b", 2}, {"RC", 3},
                 {"rc", 3},  {"#", 4},     {"pl", 5}, {"p", 5}};
    for (const auto &form : forms)
        if (word.compare(0, std::strlen(form.name), form.name) == 0)
            return form.order;
    return -1;
}

int sign(long v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

int compare_versions(const std::string &a, const std::string &b)
{
    if (a.empty() || b.empty())
        return a.empty() && b.empty() ? 0 : (a.empty() ? -1 : 1);
    std::string v1 = a[0] == '#' ? a : canonical(a);
    std::string v2 = b[0] == '#' ? b : canonical(b);
    std::size_t p1 = 0, p2 = 0;
    bool more1 = true, more2 = true;
    int result = 0;
    while (p1 < v1.size() && p2 < v2.size() && more1 && more2) {
        std::size_t n1 = v1.find('.', p1), n2 = v2.find('.', p2);
        more1 = n1 != std::string::npos;
        more2 = n2 != std::string::npos;
        std::string part1 = v1.substr(p1, more1 ? n1 - p1 : std::string::npos);
        std::string part2 = v2.substr(p2, more2 ? n2 - p2 : std::string::npos);
        bool num1 = !part1.empty() && is_digit(part1[0]), num2 = !part2.empty() && is_digit(part2[0]);
        if (num1 && num2)
            result = sign(std::strtol(part1.c_str(), nullptr, 10) - std::strtol(part2.c_str(), nullptr, 10));
        else if (!num1 && !num2)
            result = sign(rank(part1) - rank(part2));
        else
            result = num1 ? sign(rank("#N#") - rank(part2)) : sign(rank(part1) - rank("#N#"));
        if (result != 0)
            return result;
        if (more1)
            p1 = n1 + 1;
        if (more2)
            p2 = n2 + 1;
    }
    /* the longer version wins with a number, and by rank with a word */
    if (more1)
        return p1 < v1.size() && is_digit(v1[p1]) ? 1 : compare_versions(v1.substr(p1), "#N#");
    if (more2)
        return p2 < v2.size() && is_digit(v2[p2]) ? -1 : compare_versions("#N#", v2.substr(p2));
    return 0;
}

} // namespace

/* version_compare(v1, v2 [, operator]): -1, 0 or 1; with an operator
 * (lt < le <= gt > ge >= eq == = ne <> !=) whether it holds, null for an
 * operator it does not know. */
ZEND_FUNCTION(version_compare)
{
    std::string a, b, op;
    if (!parse_args(ZEND_NUM_ARGS(), "ss|s", &a, &b, &op))
        return;
    int c = compare_versions(a, b);
    if (ZEND_NUM_ARGS() == 2)
        RETURN_LONG(c);
    if (op == "<" || op == "lt")
        RETURN_BOOL(c == -1);
    if (op == "<=" || op == "le")
        RETURN_BOOL(c != 1);
    if (op == ">" || op == "gt")
        RETURN_BOOL(c == 1);
    if (op == ">=" || op == "ge")
        RETURN_BOOL(c != -1);
    if (op == "==" || op == "=" || op == "eq")
        RETURN_BOOL(c == 0);
    if (op == "!=" || op == "<>" || op == "ne")
        RETURN_BOOL(c != 0);
    RETURN_NULL();
}

/* uniqid(prefix [, more_entropy]): the prefix, then the time in seconds
 * and microseconds as 8 and 5 hex digits; with more_entropy a fraction
 * follows. Waits a microsecond so that two calls differ. */
ZEND_FUNCTION(uniqid)
{
    std::string prefix;
    bool more = false;
    if (!parse_args(ZEND_NUM_ARGS(), "s|b", &prefix, &more))
        return;
    if (prefix.size() > 114) {
        function_error(E_WARNING, "The prefix to uniqid should not be more than 114 characters.");
        return;
    }

    if (!more)
        ::usleep(1);
    struct timeval tv;
    ::gettimeofday(&tv, nullptr);
    char buf[64];
    if (more)
        std::snprintf(buf, sizeof buf, "%08x%05x%.8f", static_cast<unsigned>(tv.tv_sec),
                      static_cast<unsigned>(tv.tv_usec), std::rand() / (RAND_MAX + 1.0) * 10);
    else
        std::snprintf(buf, sizeof buf, "%08x%05x", static_cast<unsigned>(tv.tv_sec), static_cast<unsigned>(tv.tv_usec));
    return_string(return_value, prefix + buf);
}
