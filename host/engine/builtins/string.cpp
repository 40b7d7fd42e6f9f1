/* String built-ins. Lengths are byte counts; strings may hold NUL bytes. */
#include <algorithm>
#include <cctype>
#include <cstring>

#include "builtins.h"
#include "engine.h"

using zend::builtins::parse_args;
using zend::builtins::return_string;
using zend::builtins::to_long;
using zend::builtins::to_string;

/* strlen converts its argument the engine's way: a reference argument
 * becomes a string in the caller's variable too. */
ZEND_FUNCTION(strlen)
{
    std::string_view s;
    if (!parse_args(ZEND_NUM_ARGS(), "s/", &s))
        return;
    RETURN_LONG(static_cast<long>(s.size()));
}

namespace {

std::string lower(std::string s)
{
    return zend::builtins::lowercase(std::move(s));
}

std::string upper(std::string s)
{
    for (char &c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

/* The set of bytes a trim character list names; "a..z" is a range. */
void char_mask(const std::string &list, bool mask[256])
{
    std::memset(mask, 0, 256);
    for (std::size_t i = 0; i < list.size(); i++) {
        unsigned char c = static_cast<unsigned char>(list[i]);
        if (i + 3 < list.size() && list[i + 1] == '.' && list[i + 2] == '.' &&
            static_cast<unsigned char>(list[i + 3]) >= c) {
            for (unsigned v = c; v <= static_cast<unsigned char>(list[i + 3]); v++)
                mask[v] = true;
            i += 3;
        } else {
            mask[c] = true;
        }
    }
}

/* mode: 1 left, 2 right, 3 both. */
void do_trim(INTERNAL_FUNCTION_PARAMETERS, int mode)
{
    std::string s, list(" \t\n\r\v\0", 6);
    if (!parse_args(ZEND_NUM_ARGS(), "s|s", &s, &list))
        return;
    bool mask[256];
    char_mask(list, mask);
    std::size_t begin = 0, end = s.size();
    if (mode & 1)
        while (begin < end && mask[static_cast<unsigned char>(s[begin])])
            begin++;
    if (mode & 2)
        while (end > begin && mask[static_cast<unsigned char>(s[end - 1])])
            end--;
    return_string(return_value, s.substr(begin, end - begin));
}

/* Replaces every occurrence of search in subject; count of replacements
 * added to *count. An empty search leaves the subject alone. */
std::string replace_all(const std::string &subject, const std::string &search,
                        const std::string &replace)
{
    if (search.empty())
        return subject;
    std::string out;
    std::size_t from = 0, at;
    while ((at = subject.find(search, from)) != std::string::npos) {
        out.append(subject, from, at - from);
        out += replace;
        from = at + search.size();
    }
    out.append(subject, from, std::string::npos);
    return out;
}

std::string replace_in(const std::string &subject, zval *search, zval *replace)
{
    if (search->type != IS_ARRAY)
        return replace_all(subject, to_string(search),
                           replace->type == IS_ARRAY ? std::string() : to_string(replace));
    std::vector<zend::builtins::element> replacements;
    if (replace->type == IS_ARRAY)
        replacements = zend::builtins::elements(replace->value.ht);
    std::string result = subject;
    std::size_t i = 0;
    for (const auto &e : zend::builtins::elements(search->value.ht)) {
        std::string with;
        if (replace->type != IS_ARRAY)
            with = to_string(replace);
        else if (i < replacements.size())
            with = to_string(*replacements[i].data);
        i++;
        result = replace_all(result, to_string(*e.data), with);
    }
    return result;
}

} // namespace

/* substr(string, start [, length]) */
ZEND_FUNCTION(substr)
{
    std::string_view s;
    long f, l = -1;
    if (!parse_args(ZEND_NUM_ARGS(), "sl|l", &s, &f, &l))
        return;
    long len = static_cast<long>(s.size());
    if (ZEND_NUM_ARGS() < 3)
        l = len;
    if (f > len)
        RETURN_FALSE;
    if (f < 0) {
        f += len;
        if (f < 0)
            f = 0;
    }
    if (l < 0) {
        l = (len - f) + l;
        if (l < 0)
            l = 0;
    }
    if (f >= len)
        RETURN_FALSE;
    if (l > len - f)
        l = len - f;
    return_string(return_value, s.substr(f, l));
}

namespace {

/* The needle of strpos and friends: a string, or a number taken as the
 * code of one character. */
std::string needle_arg(zval *z)
{
    if (z->type == IS_STRING)
        return std::string(z->value.str.val, z->value.str.len);
    return std::string(1, static_cast<char>(to_long(z)));
}

} // namespace

ZEND_FUNCTION(strpos)
{
    std::string_view haystack;
    zval *needle_value;
    long offset = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "sz|l", &haystack, &needle_value, &offset))
        return;
    std::string needle = needle_arg(needle_value);
    if (offset < 0 || offset > static_cast<long>(haystack.size())) {
        zend_error(E_WARNING, "Offset not contained in string");
        RETURN_FALSE;
    }
    if (needle.empty()) {
        zend_error(E_WARNING, "Empty delimiter");
        RETURN_FALSE;
    }
    std::size_t at = haystack.find(needle, offset);
    if (at == std::string::npos)
        RETURN_FALSE;
    RETURN_LONG(static_cast<long>(at));
}

/* strrpos(haystack, needle): the last position of needle's first
 * character, as this engine generation searches. */
ZEND_FUNCTION(strrpos)
{
    std::string_view haystack;
    zval *needle_value;
    if (!parse_args(ZEND_NUM_ARGS(), "sz", &haystack, &needle_value))
        return;
    std::string needle = needle_arg(needle_value);
    if (needle.empty())
        RETURN_FALSE;
    std::size_t at = haystack.rfind(needle[0]);
    if (at == std::string::npos)
        RETURN_FALSE;
    RETURN_LONG(static_cast<long>(at));
}

ZEND_FUNCTION(strstr)
{
    std::string_view haystack;
    zval *needle_value;
    if (!parse_args(ZEND_NUM_ARGS(), "sz", &haystack, &needle_value))
        return;
    std::string needle = needle_arg(needle_value);
    if (needle.empty()) {
        zend_error(E_WARNING, "Empty delimiter");
        RETURN_FALSE;
    }
    std::size_t at = haystack.find(needle);
    if (at == std::string::npos)
        RETURN_FALSE;
    return_string(return_value, haystack.substr(at));
}

ZEND_FUNCTION(substr_count)
{
    std::string_view haystack, needle;
    if (!parse_args(ZEND_NUM_ARGS(), "ss", &haystack, &needle))
        return;
    if (needle.empty()) {
        zend_error(E_WARNING, "Empty substring");
        RETURN_FALSE;
    }
    long count = 0;
    for (std::size_t at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + needle.size()))
        count++;
    RETURN_LONG(count);
}

/* str_replace(search, replace, subject): each may be an array; an array
 * subject gives an array with every element replaced. */
ZEND_FUNCTION(str_replace)
{
    zval *search, *replace, *subject;
    if (!parse_args(ZEND_NUM_ARGS(), "zzz", &search, &replace, &subject))
        return;
    if (subject->type != IS_ARRAY) {
        return_string(return_value, replace_in(to_string(subject), search, replace));
        return;
    }
    array_init(return_value);
    for (const auto &e : zend::builtins::elements(subject->value.ht)) {
        zval *value = (*e.data)->type == IS_ARRAY
            ? zend::builtins::copy_of(*e.data)
            : zend::builtins::new_string(replace_in(to_string(*e.data), search, replace));
        if (e.string_key)
            zend::builtins::array_put(return_value->value.ht, e.key, value);
        else
            zend::builtins::array_put(return_value->value.ht, e.index, value);
    }
}

ZEND_FUNCTION(str_repeat)
{
    std::string s;
    long times;
    if (!parse_args(ZEND_NUM_ARGS(), "sl", &s, &times))
        return;
    if (times < 0) {
        zend_error(E_WARNING, "Second argument has to be greater than or equal to 0");
        return;
    }
    if (s.empty() || times == 0)
        RETURN_STRINGL("", 0, 1);
    if (static_cast<unsigned long>(times) > (1UL << 27) / s.size()) {
        zend_error(E_WARNING, "Result is too big, maximum 134217728 allowed");
        RETURN_FALSE;
    }
    std::string out;
    out.reserve(s.size() * times);
    for (long i = 0; i < times; i++)
        out += s;
    return_string(return_value, out);
}

ZEND_FUNCTION(strtoupper)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    return_string(return_value, upper(std::move(s)));
}

ZEND_FUNCTION(strtolower)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    return_string(return_value, lower(std::move(s)));
}

ZEND_FUNCTION(ucfirst)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    if (!s.empty())
        s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
    return_string(return_value, s);
}

ZEND_FUNCTION(ucwords)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    bool start = true;
    for (char &c : s) {
        if (start)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        start = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }
    return_string(return_value, s);
}

ZEND_FUNCTION(strrev)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    std::reverse(s.begin(), s.end());
    return_string(return_value, s);
}

ZEND_FUNCTION(trim) { do_trim(INTERNAL_FUNCTION_PARAM_PASSTHRU, 3); }
ZEND_FUNCTION(ltrim) { do_trim(INTERNAL_FUNCTION_PARAM_PASSTHRU, 1); }
ZEND_FUNCTION(rtrim) { do_trim(INTERNAL_FUNCTION_PARAM_PASSTHRU, 2); }

/* implode(glue, pieces), also accepted as implode(pieces, glue). */
ZEND_FUNCTION(implode)
{
    zval *pieces, *glue = nullptr;
    if (!parse_args(ZEND_NUM_ARGS(), "z|z", &pieces, &glue))
        return;
    if (glue && pieces->type != IS_ARRAY)
        std::swap(pieces, glue);

    if (pieces->type != IS_ARRAY) {
        zend_error(E_WARNING, "Bad arguments to %s()", get_active_function_name());
        return;
    }
    std::string separator = glue ? to_string(glue) : std::string();
    std::string out;
    bool first = true;
    for (const auto &e : zend::builtins::elements(pieces->value.ht)) {
        if (!first)
            out += separator;
        first = false;
        out += (*e.data)->type == IS_ARRAY ? std::string("Array") : to_string(*e.data);
    }
    return_string(return_value, out);
}

/* explode(separator, string [, limit]) */
ZEND_FUNCTION(explode)
{
    std::string_view separator, s;
    long limit = -1;
    if (!parse_args(ZEND_NUM_ARGS(), "ss|l", &separator, &s, &limit))
        return;
    if (separator.empty()) {
        zend_error(E_WARNING, "Empty delimiter");
        RETURN_FALSE;
    }
    array_init(return_value);
    HashTable *parts_table = return_value->value.ht;
    if (limit == 0 || limit == 1) {
        zend::builtins::array_append(parts_table, zend::builtins::new_string(s));
        return;
    }
    std::size_t from = 0, at;
    long parts = 1;
    while ((limit < 0 || parts < limit) && (at = s.find(separator, from)) != std::string::npos) {
        zend::builtins::array_append(parts_table, zend::builtins::new_string(s.substr(from, at - from)));
        from = at + separator.size();
        parts++;
    }
    zend::builtins::array_append(parts_table, zend::builtins::new_string(s.substr(from)));
}

/* str_pad(input, length [, pad [, type]]) */
ZEND_FUNCTION(str_pad)
{
    std::string s, pad = " ";
    long length, type = 1;
    if (!parse_args(ZEND_NUM_ARGS(), "sl|sl", &s, &length, &pad, &type))
        return;
    if (length <= static_cast<long>(s.size())) {
        return_string(return_value, s);
        return;
    }
    if (pad.empty()) {
        zend_error(E_WARNING, "Padding string cannot be empty.");
        return;
    }
    if (type < 0 || type > 2) {
        zend_error(E_WARNING, "Padding type has to be STR_PAD_LEFT, STR_PAD_RIGHT, or STR_PAD_BOTH.");
        return;
    }
    if (length > (1L << 27)) {
        zend_error(E_WARNING, "Padding length is too big");
        return;
    }
    std::size_t missing = length - s.size(), left = 0, right = 0;
    if (type == 0)
        left = missing;
    else if (type == 1)
        right = missing;
    else {
        left = missing / 2;
        right = missing - left;
    }
    std::string out;
    for (std::size_t i = 0; i < left; i++)
        out += pad[i % pad.size()];
    out += s;
    for (std::size_t i = 0; i < right; i++)
        out += pad[i % pad.size()];
    return_string(return_value, out);
}

namespace {

long binary_compare(std::string_view a, std::string_view b)
{
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; i++)
        if (a[i] != b[i])
            return static_cast<long>(static_cast<unsigned char>(a[i])) - static_cast<unsigned char>(b[i]);
    return static_cast<long>(a.size()) - static_cast<long>(b.size());
}

} // namespace

ZEND_FUNCTION(strcmp)
{
    std::string_view a, b;
    if (!parse_args(ZEND_NUM_ARGS(), "ss", &a, &b))
        return;
    RETURN_LONG(binary_compare(a, b));
}

ZEND_FUNCTION(strcasecmp)
{
    std::string a, b;
    if (!parse_args(ZEND_NUM_ARGS(), "ss", &a, &b))
        return;
    RETURN_LONG(binary_compare(lower(std::move(a)), lower(std::move(b))));
}

ZEND_FUNCTION(strncmp)
{
    std::string_view a, b;
    long n;
    if (!parse_args(ZEND_NUM_ARGS(), "ssl", &a, &b, &n))
        return;
    if (n < 0) {
        zend_error(E_WARNING, "Length must be greater than or equal to 0");
        RETURN_FALSE;
    }
    RETURN_LONG(binary_compare(a.substr(0, n), b.substr(0, n)));
}

ZEND_FUNCTION(chr)
{
    long code;
    if (!parse_args(ZEND_NUM_ARGS(), "l", &code))
        return;
    char c = static_cast<char>(code & 0xff);
    RETURN_STRINGL(&c, 1, 1);
}

ZEND_FUNCTION(ord)
{
    std::string_view s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    RETURN_LONG(s.empty() ? 0 : static_cast<unsigned char>(s[0]));
}

/* strtr(string, from, to) translates bytes; strtr(string, array) replaces
 * the longest matching key first and never rescans replaced text. */
ZEND_FUNCTION(strtr)
{
    std::string s;
    zval *pairs_value;
    zval *to_value = nullptr;
    if (!parse_args(ZEND_NUM_ARGS(), "sz|z", &s, &pairs_value, &to_value))
        return;
    if (to_value) {
        std::string from = to_string(pairs_value), to = to_string(to_value);
        std::size_t n = std::min(from.size(), to.size());
        unsigned char map[256];
        for (int i = 0; i < 256; i++)
            map[i] = static_cast<unsigned char>(i);
        for (std::size_t i = 0; i < n; i++)
            map[static_cast<unsigned char>(from[i])] = static_cast<unsigned char>(to[i]);
        for (char &c : s)
            c = static_cast<char>(map[static_cast<unsigned char>(c)]);
        return_string(return_value, s);
        return;
    }
    if (pairs_value->type != IS_ARRAY) {
        zend_error(E_WARNING, "The second argument is not an array.");
        RETURN_FALSE;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    std::size_t longest = 0;
    for (const auto &e : zend::builtins::elements(pairs_value->value.ht)) {
        std::string key = zend::builtins::key_text(e);
        if (key.empty())
            continue;
        pairs.emplace_back(key, to_string(*e.data));
        longest = std::max(longest, key.size());
    }
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const std::pair<std::string, std::string> *best = nullptr;
        for (const auto &p : pairs)
            if (p.first.size() <= s.size() - i && s.compare(i, p.first.size(), p.first) == 0 &&
                (!best || p.first.size() > best->first.size()))
                best = &p;
        if (best) {
            out += best->second;
            i += best->first.size();
        } else {
            out += s[i++];
        }
    }
    return_string(return_value, out);
}

/* substr_replace(string, replacement, start [, length]) */
ZEND_FUNCTION(substr_replace)
{
    std::string s, with;
    long f, l = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "ssl|l", &s, &with, &f, &l))
        return;
    long len = static_cast<long>(s.size());
    if (ZEND_NUM_ARGS() < 4)
        l = len;
    if (f < 0) {
        f += len;
        if (f < 0)
            f = 0;
    } else if (f > len) {
        f = len;
    }
    if (l < 0) {
        l = (len - f) + l;
        if (l < 0)
            l = 0;
    }
    if (l > len - f)
        l = len - f;
    return_string(return_value, s.substr(0, f) + with + s.substr(f + l));
}

/* wordwrap(string [, width [, break [, cut]]]): breaks lines at spaces
 * once they reach the width; with cut set, words longer than the width
 * are split too. Breaks already in the text start new lines. A one-byte
 * break without cut replaces spaces in place. */
ZEND_FUNCTION(wordwrap)
{
    std::string text, brk = "\n";
    long width = 75;
    bool cut = false;
    if (!parse_args(ZEND_NUM_ARGS(), "s|lsb", &text, &width, &brk, &cut))
        return;

    if (text.empty())
        RETURN_FALSE;
    if (brk.empty()) {
        zend::builtins::function_error(E_WARNING, "Break string cannot be empty");
        RETURN_FALSE;
    }
    if (width == 0 && cut) {
        zend::builtins::function_error(E_WARNING, "Can't force cut when width is zero.");
        RETURN_FALSE;
    }
    long n = static_cast<long>(text.size());
    long laststart = 0, lastspace = 0, current = 0;
    if (brk.size() == 1 && !cut) {
        std::string out = text;
        for (current = 0; current < n; current++) {
            if (text[current] == brk[0]) {
                laststart = lastspace = current;
            } else if (text[current] == ' ') {
                if (current - laststart >= width) {
                    out[current] = brk[0];
                    laststart = current;
                }
                lastspace = current;
            } else if (current - laststart >= width && laststart != lastspace) {
                out[lastspace] = brk[0];
                laststart = lastspace;
            }
        }
        return_string(return_value, out);
        return;
    }
    long brklen = static_cast<long>(brk.size());
    std::string out;
    for (current = 0; current < n; current++) {
        if (text[current] == brk[0] && current + brklen < n && text.compare(current, brklen, brk) == 0) {
            /* a break already there */
            out.append(text, laststart, current - laststart + brklen);
            current += brklen - 1;
            laststart = lastspace = current + 1;
        } else if (text[current] == ' ') {
            if (current - laststart >= width) {
                out.append(text, laststart, current - laststart);
                out += brk;
                laststart = current + 1;
            }
            lastspace = current;
        } else if (current - laststart >= width && cut && laststart >= lastspace) {
            /* a word longer than the line */
            out.append(text, laststart, current - laststart);
            out += brk;
            laststart = lastspace = current;
        } else if (current - laststart >= width && laststart < lastspace) {
            out.append(text, laststart, lastspace - laststart);
            out += brk;
            laststart = lastspace = lastspace + 1;
        }
    }
    if (laststart != current)
        out.append(text, laststart, current - laststart);
    return_string(return_value, out);
}
