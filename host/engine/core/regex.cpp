/* POSIX regular expressions with one difference from the C library's
 * extended syntax: a "{" that does not start a bound ("{" + digit) is an
 * ordinary character, and so is a "}" that does not close one. Such braces
 * are escaped before the pattern reaches regcomp. Bracket expressions are
 * copied as they are (a brace there is literal already). */
#include <string>

#include "core/regex.h"
#include "php_regex.h"

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

/* Copies a bracket expression starting at pattern[i] == '['; returns the
 * index after its closing ']' (or the end of the pattern). */
std::size_t copy_bracket(const std::string &pattern, std::size_t i, std::string &out) {
    std::size_t n = pattern.size();
    out += pattern[i++];
    if (i < n && pattern[i] == '^') out += pattern[i++];
    if (i < n && pattern[i] == ']') out += pattern[i++]; /* a leading ']' is literal */
    while (i < n) {
        char c = pattern[i];
        if (c == '[' && i + 1 < n && (pattern[i + 1] == ':' || pattern[i + 1] == '.' || pattern[i + 1] == '=')) {
            /* [:class:], [.coll.], [=equiv=]: copy up to the matching close. */
            char kind = pattern[i + 1];
            std::size_t close = pattern.find(std::string(1, kind) + "]", i + 2);
            if (close == std::string::npos) {
                out.append(pattern, i, std::string::npos);
                return n;
            }
            out.append(pattern, i, close + 2 - i);
            i = close + 2;
            continue;
        }
        out += c;
        i++;
        if (c == ']') return i;
    }
    return i;
}

} // namespace

namespace zend {

std::string translate_braces(const char *pattern) {
    std::string in(pattern), out;
    out.reserve(in.size() + 8);
    bool in_bound = false;
    for (std::size_t i = 0; i < in.size();) {
        char c = in[i];
        if (c == '\\') {
            out += c;
            if (i + 1 < in.size()) out += in[i + 1];
            i += 2;
        } else if (c == '[' && !in_bound) {
            i = copy_bracket(in, i, out);
        } else if (c == '{') {
            if (!in_bound && i + 1 < in.size() && is_digit(in[i + 1])) {
                in_bound = true;
                out += c;
            } else {
                out += "\\{";
            }
            i++;
        } else if (c == '}') {
            out += in_bound ? "}" : "\\}";
            in_bound = false;
            i++;
        } else {
            out += c;
            i++;
        }
    }
    return out;
}

} // namespace zend

extern "C" {

ZEND_API int php_regcomp(regex_t *preg, const char *pattern, int cflags) {
    if (!(cflags & REG_EXTENDED)) return regcomp(preg, pattern, cflags);
    std::string translated = zend::translate_braces(pattern);
    return regcomp(preg, translated.c_str(), cflags);
}

ZEND_API int php_regexec(const regex_t *preg, const char *string, size_t nmatch, regmatch_t pmatch[], int eflags) {
    return regexec(preg, string, nmatch, pmatch, eflags);
}

ZEND_API void php_regfree(regex_t *preg) { regfree(preg); }

} // extern "C"
