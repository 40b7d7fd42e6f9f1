/* Natural-order comparison ("img12" after "img10", after "img2"): runs of
 * digits compare as numbers, white space is skipped, the rest compares
 * byte by byte as the engine's signed chars. A run that starts with '0'
 * is a fraction and compares digit by digit from the left.
 *
 * Reads stop at each string's length; a position at or past the end
 * reads as NUL, which also ends the comparison, as an embedded NUL byte
 * always did. */
#include <cctype>

#include "builtins.h"
#include "engine.h"

namespace {

struct cursor {
    const char *s;
    std::size_t length;
    std::size_t i = 0;
    char at(std::size_t k) const { return k < length ? s[k] : '\0'; }
    char here() const { return at(i); }
};

bool digit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

/* Right-aligned numbers: the longer run wins, else the first difference. */
int compare_right(cursor a, cursor b)
{
    int bias = 0;
    for (;; a.i++, b.i++) {
        char ca = a.here(), cb = b.here();
        if (!digit(ca) && !digit(cb))
            return bias;
        if (!digit(ca))
            return -1;
        if (!digit(cb))
            return +1;
        if (ca < cb) {
            if (!bias)
                bias = -1;
        } else if (ca > cb) {
            if (!bias)
                bias = +1;
        }
    }
}

/* Left-aligned numbers (fractions): the first difference wins. */
int compare_left(cursor a, cursor b)
{
    for (;; a.i++, b.i++) {
        char ca = a.here(), cb = b.here();
        if (!digit(ca) && !digit(cb))
            return 0;
        if (!digit(ca))
            return -1;
        if (!digit(cb))
            return +1;
        if (ca < cb)
            return -1;
        if (ca > cb)
            return +1;
    }
}

} // namespace

namespace zend::builtins {

int natural_compare(const char *a, std::size_t a_length, const char *b, std::size_t b_length, bool fold_case)
{
    if (a_length == 0 || b_length == 0)
        return static_cast<int>(static_cast<long>(a_length) - static_cast<long>(b_length));
    cursor x{a, a_length}, y{b, b_length};
    for (;;) {
        char ca = x.here(), cb = y.here();
        while (std::isspace(static_cast<unsigned char>(ca)))
            ca = x.at(++x.i);
        while (std::isspace(static_cast<unsigned char>(cb)))
            cb = y.at(++y.i);
        if (digit(ca) && digit(cb)) {
            bool fractional = ca == '0' || cb == '0';
            int result = fractional ? compare_left(x, y) : compare_right(x, y);
            if (result != 0)
                return result;
        }
        if (!ca && !cb)
            return 0;
        if (fold_case) {
            ca = static_cast<char>(std::toupper(static_cast<unsigned char>(ca)));
            cb = static_cast<char>(std::toupper(static_cast<unsigned char>(cb)));
        }
        if (ca < cb)
            return -1;
        if (ca > cb)
            return +1;
        x.i++;
        y.i++;
    }
}

} // namespace zend::builtins

namespace {

void natural_compare_impl(INTERNAL_FUNCTION_PARAMETERS, bool fold_case)
{
    std::string a, b;
    if (!zend::builtins::parse_args(ZEND_NUM_ARGS(), "ss", &a, &b))
        return;

    RETURN_LONG(zend::builtins::natural_compare(a.data(), a.size(), b.data(), b.size(), fold_case));
}

} // namespace

/* strnatcmp(a, b) and strnatcasecmp(a, b): < 0, 0 or > 0. */
ZEND_FUNCTION(strnatcmp)
{
    natural_compare_impl(INTERNAL_FUNCTION_PARAM_PASSTHRU, false);
}

ZEND_FUNCTION(strnatcasecmp)
{
    natural_compare_impl(INTERNAL_FUNCTION_PARAM_PASSTHRU, true);
}
