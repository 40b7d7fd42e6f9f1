/* Searching and comparing text: case-insensitive search and comparison,
 * the last occurrence of a character, similarity measures (similar_text,
 * levenshtein, soundex, metaphone), word and character counts. */
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

/* The needle of stristr and strrchr: a string, or a number taken as the
 * code of one character. */
std::string needle_of(zval *z)
{
    if (z->type == IS_STRING)
        return std::string(z->value.str.val, static_cast<std::size_t>(z->value.str.len));
    return std::string(1, static_cast<char>(to_long(z)));
}

} // namespace

/* stristr(haystack, needle): the haystack from the first match on,
 * compared without regard to case. */
ZEND_FUNCTION(stristr)
{
    std::string haystack;
    zval *needle_value;
    if (!parse_args(ZEND_NUM_ARGS(), "sz", &haystack, &needle_value))
        return;
    std::string needle = needle_of(needle_value);
    if (needle.empty()) {
        function_error(E_WARNING, "Empty delimiter.");
        RETURN_FALSE;
    }
    std::size_t at = lowercase(haystack).find(lowercase(needle));
    if (at == std::string::npos)
        RETURN_FALSE;
    return_string(return_value, haystack.substr(at));
}

/* strrchr(haystack, needle): the haystack from the last occurrence of the
 * needle's first character on. */
ZEND_FUNCTION(strrchr)
{
    std::string_view haystack;
    zval *needle_value;
    if (!parse_args(ZEND_NUM_ARGS(), "sz", &haystack, &needle_value))
        return;
    std::string needle = needle_of(needle_value);
    char c = needle.empty() ? '\0' : needle[0];
    if (c == '\0' && haystack.find('\0') == std::string::npos) {
        /* the terminating NUL, as the engine's C string search finds it */
        return_string(return_value, "");
        return;
    }
    std::size_t at = haystack.rfind(c);
    if (at == std::string::npos)
        RETURN_FALSE;
    return_string(return_value, haystack.substr(at));
}

/* strncasecmp(a, b, length): the first length bytes compared without
 * regard to case; the difference of the first bytes that differ, else of
 * the lengths compared. */
ZEND_FUNCTION(strncasecmp)
{
    std::string a, b;
    long length;
    if (!parse_args(ZEND_NUM_ARGS(), "ssl", &a, &b, &length))
        return;
    if (length < 0) {
        function_error(E_WARNING, "Length must be greater than or equal to 0");
        RETURN_FALSE;
    }
    std::size_t n = static_cast<std::size_t>(length);
    std::size_t common = std::min(n, std::min(a.size(), b.size()));
    for (std::size_t i = 0; i < common; i++) {
        int x = std::tolower(static_cast<unsigned char>(a[i])), y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y)
            RETURN_LONG(x - y);
    }
    RETURN_LONG(static_cast<long>(std::min(n, a.size())) - static_cast<long>(std::min(n, b.size())));
}

namespace {

/* The number of bytes the two texts share: the longest common run (the
 * first one found), then the same on what lies left of it and right of
 * it. Worked with a list of pending pieces, not recursion, so long texts
 * cannot exhaust the stack. */
long similar_chars(const std::string &a, const std::string &b)
{
    struct piece {
        std::size_t a_at, a_len, b_at, b_len;
    };
    std::vector<piece> pending{{0, a.size(), 0, b.size()}};
    long sum = 0;
    while (!pending.empty()) {
        piece p = pending.back();
        pending.pop_back();
        std::size_t best = 0, best_a = 0, best_b = 0;
        for (std::size_t i = 0; i < p.a_len; i++) {
            for (std::size_t j = 0; j < p.b_len; j++) {
                std::size_t l = 0;
                while (i + l < p.a_len && j + l < p.b_len && a[p.a_at + i + l] == b[p.b_at + j + l])
                    l++;
                if (l > best) {
                    best = l;
                    best_a = i;
                    best_b = j;
                }
            }
        }
        if (!best)
            continue;
        sum += static_cast<long>(best);
        if (best_a + best < p.a_len && best_b + best < p.b_len)
            pending.push_back({p.a_at + best_a + best, p.a_len - best_a - best, p.b_at + best_b + best,
                               p.b_len - best_b - best});
        if (best_a && best_b)
            pending.push_back({p.a_at, best_a, p.b_at, best_b});
    }
    return sum;
}

} // namespace

/* similar_text(a, b [, &percent]) */
ZEND_FUNCTION(similar_text)
{
    std::string a, b;
    zval *percent = nullptr;
    if (!parse_args(ZEND_NUM_ARGS(), "ss|z", &a, &b, &percent))
        return;
    long sim = a.empty() && b.empty() ? 0 : similar_chars(a, b);
    if (percent) {
        zval_dtor(percent);
        percent->type = IS_DOUBLE;
        percent->value.dval = a.empty() && b.empty() ? 0.0 : sim * 200.0 / static_cast<double>(a.size() + b.size());
    }
    RETURN_LONG(sim);
}

namespace {

constexpr std::size_t levenshtein_max_length = 255;

/* -1 when a text is longer than the engine measures. */
long levenshtein_distance(const std::string &a, const std::string &b, long insert, long replace, long remove)
{
    if (a.empty())
        return static_cast<long>(b.size()) * insert;
    if (b.empty())
        return static_cast<long>(a.size()) * remove;
    if (a.size() > levenshtein_max_length || b.size() > levenshtein_max_length)
        return -1;
    std::vector<long> p1(b.size() + 1), p2(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); j++)
        p1[j] = static_cast<long>(j) * insert;
    for (std::size_t i = 0; i < a.size(); i++) {
        p2[0] = p1[0] + remove;
        for (std::size_t j = 0; j < b.size(); j++) {
            long c0 = p1[j] + (a[i] == b[j] ? 0 : replace);
            long c1 = p1[j + 1] + remove;
            if (c1 < c0)
                c0 = c1;
            long c2 = p2[j] + insert;
            if (c2 < c0)
                c0 = c2;
            p2[j + 1] = c0;
        }
        p1.swap(p2);
    }
    return p1[b.size()];
}

} // namespace

/* levenshtein(a, b [, insert, replace, delete]): texts of at most 255
 * bytes; -1 with a warning beyond. A cost function in place of the costs
 * is not supported. */
ZEND_FUNCTION(levenshtein)
{
    /* two, three or five arguments: four is no form of the call */
    if (ZEND_NUM_ARGS() == 4) {
        zend_wrong_param_count();
        return;
    }
    std::string a, b;
    long insert, replace, remove;
    if (!parse_args(ZEND_NUM_ARGS(), "ss|lll", &a, &b, &insert, &replace, &remove))
        return;
    long distance;
    if (ZEND_NUM_ARGS() == 3) {
        function_error(E_WARNING, "The general Levenshtein support is not there yet");
        distance = -1;
    } else if (ZEND_NUM_ARGS() == 5) {
        distance = levenshtein_distance(a, b, insert, replace, remove);
    } else {
        distance = levenshtein_distance(a, b, 1, 1, 1);
    }
    if (distance < 0)
        function_error(E_WARNING, "Argument string(s) too long");
    RETURN_LONG(distance);
}

/* soundex(string): a letter and three digits; false for "". */
ZEND_FUNCTION(soundex)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    static const char codes[26] = {0,   '1', '2', '3', 0,   '1', '2', 0,   0,   '2', '2', '4', '5',
                                   '5', 0,   '1', '2', '6', '2', '3', 0,   '1', 0,   '2', 0,   '2'};
    if (s.empty())
        RETURN_FALSE;
    std::string out;
    int last = -1;
    for (std::size_t i = 0; i < s.size() && out.size() < 4; i++) {
        int c = std::toupper(static_cast<unsigned char>(s[i]));
        if (c < 'A' || c > 'Z')
            continue;
        if (out.empty()) {
            out += static_cast<char>(c);
            last = codes[c - 'A'];
            continue;
        }
        int code = codes[c - 'A'];
        if (code != last) {
            if (code != 0)
                out += static_cast<char>(code);
            last = code;
        }
    }
    while (out.size() < 4)
        out += '0';
    return_string(return_value, out);
}

namespace {

/* Letter classes of the metaphone rules. */
int letter_class(int c)
{
    static const unsigned char classes[26] = {1, 16, 4, 16, 9, 2, 4, 16, 9, 2, 0, 2, 2,
                                              2, 1,  4, 0, 2,  4, 4, 1,  0, 0, 0, 8, 0};
    return std::isalpha(c) ? classes[std::toupper(c) - 'A'] : 0;
}
bool vowel(int c) { return letter_class(c) & 1; }
bool affects_h(int c) { return letter_class(c) & 4; }  /* C G P S T */
bool makes_soft(int c) { return letter_class(c) & 8; } /* E I Y */
bool no_gh_to_f(int c) { return letter_class(c) & 16; } /* B D H */

/* The metaphone key of an English word or phrase; at most max phonemes
 * when max > 0. The text ends at a NUL byte. */
std::string metaphone(const std::string &text, long max)
{
    std::string word = text.substr(0, text.find('\0'));
    std::size_t n = word.size();
    auto at = [&](std::size_t i) { return i < n ? std::toupper(static_cast<unsigned char>(word[i])) : 0; };
    std::string out;
    auto full = [&] { return max > 0 && out.size() >= static_cast<std::size_t>(max); };
    std::size_t w = 0;
    while (w < n && !std::isalpha(static_cast<unsigned char>(word[w])))
        w++;
    if (w == n)
        return out;
    /* the first letter has rules of its own */
    switch (at(w)) {
    case 'A':
        if (at(w + 1) == 'E') {
            out += 'E';
            w += 2;
        } else {
            out += 'A';
            w++;
        }
        break;
    case 'G':
    case 'K':
    case 'P':
        if (at(w + 1) == 'N') {
            out += 'N';
            w += 2;
        }
        break;
    case 'W':
        if (at(w + 1) == 'H' || at(w + 1) == 'R') {
            out += static_cast<char>(at(w + 1));
            w += 2;
        } else if (vowel(at(w + 1))) {
            out += 'W';
            w += 2;
        }
        break;
    case 'X':
        out += 'S';
        w++;
        break;
    case 'E':
    case 'I':
    case 'O':
    case 'U':
        out += static_cast<char>(at(w));
        w++;
        break;
    default:
        break;
    }
    for (; w < n && !full(); w++) {
        int c = at(w);
        if (!std::isalpha(c))
            continue;
        int prev = w >= 1 ? at(w - 1) : 0;
        if (c == prev && c != 'C')
            continue; /* doubled letters count once, except CC */
        int next = at(w + 1);
        int after_next = next ? at(w + 2) : 0;
        std::size_t skip = 0;
        switch (c) {
        case 'B':
            if (prev != 'M')
                out += 'B';
            break;
        case 'C':
            if (makes_soft(next)) {
                if (next == 'I' && after_next == 'A')
                    out += 'X';
                else if (prev != 'S')
                    out += 'S';
            } else if (next == 'H') {
                out += 'X';
                skip++;
            } else {
                out += 'K';
            }
            break;
        case 'D':
            if (next == 'G' && makes_soft(after_next)) {
                out += 'J';
                skip++;
            } else {
                out += 'T';
            }
            break;
        case 'G':
            if (next == 'H') {
                int back3 = w >= 3 ? at(w - 3) : 0, back4 = w >= 4 ? at(w - 4) : 0;
                if (!(no_gh_to_f(back3) || back4 == 'H')) {
                    out += 'F';
                    skip++;
                }
            } else if (next == 'N') {
                bool end_of_word = !std::isalpha(after_next);
                if (!(end_of_word || (after_next == 'E' && at(w + 3) == 'D')))
                    out += 'K';
            } else if (makes_soft(next) && prev != 'G') {
                out += 'J';
            } else {
                out += 'K';
            }
            break;
        case 'H':
            if (vowel(next) && !affects_h(prev))
                out += 'H';
            break;
        case 'K':
            if (prev != 'C')
                out += 'K';
            break;
        case 'P':
            out += next == 'H' ? 'F' : 'P';
            break;
        case 'Q':
            out += 'K';
            break;
        case 'S':
            if (next == 'I' && (after_next == 'O' || after_next == 'A')) {
                out += 'X';
            } else if (next == 'H') {
                out += 'X';
                skip++;
            } else {
                out += 'S';
            }
            break;
        case 'T':
            if (next == 'I' && (after_next == 'O' || after_next == 'A')) {
                out += 'X';
            } else if (next == 'H') {
                out += '0';
                skip++;
            } else {
                out += 'T';
            }
            break;
        case 'V':
            out += 'F';
            break;
        case 'W':
            if (vowel(next))
                out += 'W';
            break;
        case 'X':
            out += "KS";
            break;
        case 'Y':
            if (vowel(next))
                out += 'Y';
            break;
        case 'Z':
            out += 'S';
            break;
        case 'F':
        case 'J':
        case 'L':
        case 'M':
        case 'N':
        case 'R':
            out += static_cast<char>(c);
            break;
        default:
            break;
        }
        w += skip;
    }
    if (max > 0 && out.size() > static_cast<std::size_t>(max))
        out.resize(static_cast<std::size_t>(max));
    return out;
}

} // namespace

/* metaphone(string [, phonemes]) */
ZEND_FUNCTION(metaphone)
{
    std::string s;
    long max = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "s|l", &s, &max))
        return;
    if (max < 0)
        RETURN_FALSE;
    return_string(return_value, metaphone(s, max));
}

/* str_word_count(string [, format]): words are letters with apostrophes
 * and inner hyphens; format 1 lists them, 2 keys them by position. */
ZEND_FUNCTION(str_word_count)
{
    std::string s;
    long format = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "s|l", &s, &format))
        return;
    if (ZEND_NUM_ARGS() == 2 && format != 1 && format != 2) {
        function_error(E_WARNING, "The specified format parameter, '%ld' is invalid.", format);
        RETURN_FALSE;
    }
    auto letter = [&](std::size_t i) { return i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])); };
    if (format)
        array_init(return_value);
    long count = 0;
    for (std::size_t i = 0; i < s.size();) {
        if (!letter(i)) {
            i++;
            continue;
        }
        std::size_t start = i++;
        while (letter(i) || (i < s.size() && s[i] == '\'') || (i < s.size() && s[i] == '-' && letter(i + 1)))
            i++;
        count++;
        if (format == 1)
            array_append(return_value->value.ht, new_string(s.substr(start, i - start)));
        else if (format == 2)
            array_put(return_value->value.ht, static_cast<ulong>(start), new_string(s.substr(start, i - start)));
    }
    if (!format)
        RETURN_LONG(count);
}

/* count_chars(string [, mode]): 0 every byte value with its count, 1 those
 * used, 2 those unused; 3 and 4 the same two sets as a string. */
ZEND_FUNCTION(count_chars)
{
    std::string s;
    long mode = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "s|l", &s, &mode))
        return;
    if (mode < 0 || mode > 4) {
        function_error(E_WARNING, "Unknown mode.");
        RETURN_FALSE;
    }
    long counts[256] = {0};
    for (unsigned char c : s)
        counts[c]++;

    if (mode >= 3) {
        std::string out;
        for (int c = 0; c < 256; c++)
            if ((counts[c] != 0) == (mode == 3))
                out += static_cast<char>(c);
        return_string(return_value, out);
        return;
    }
    array_init(return_value);
    for (int c = 0; c < 256; c++)
        if (mode == 0 || (counts[c] != 0) == (mode == 1))
            array_put(return_value->value.ht, static_cast<ulong>(c), new_long(counts[c]));
}
