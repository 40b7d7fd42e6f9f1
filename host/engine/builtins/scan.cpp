/* sscanf: reading values out of a string by a format.
 *
 * Conversions: %d %i %o %x %X %u integers (%i reads 0x.. and 0.. as hex
 * and octal), %f %e %E %g floats, %s a run of non-blanks, %c one byte,
 * %[set] a run of bytes in (or, with ^, out of) a set, %n the bytes read
 * so far; an optional width, '*' to read without storing, "n$" to store
 * in the n-th place, and l, L or h, which are ignored. Blanks in the
 * format skip blanks in the input; other characters must match.
 *
 * Without variables the values come back as an array with a null for
 * each conversion that did not happen; with them, the count of stored
 * values, or -1 when the input ended before anything was read. The format
 * is checked first: every variable must be stored exactly once.
 *
 * fscanf reads the same way from a stream's next line. */
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "builtins.h"
#include "builtins/stream.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

constexpr long max_positions = 255;

bool digit(char c) { return c >= '0' && c <= '9'; }

zval *new_double(double d)
{
    zval *z;
    ALLOC_ZVAL(z);
    INIT_PZVAL(z);
    z->type = IS_DOUBLE;
    z->value.dval = d;
    return z;
}

/* Reads a decimal number at format[i], stopping before it would grow
 * past the limit. */
long read_number(const std::string &format, std::size_t &i, long limit)
{
    long v = 0;
    while (i < format.size() && digit(format[i])) {
        if (v <= limit)
            v = v * 10 + (format[i] - '0');
        i++;
    }
    return v > limit ? limit + 1 : v;
}

/* A set as %[...] writes it; `end` is just past the closing bracket. */
struct char_set {
    bool exclude = false;
    bool member[256] = {false};

    bool contains(unsigned char c) const { return member[c] != exclude; }
};

std::size_t parse_set(const std::string &f, std::size_t i, char_set &set)
{
    if (i < f.size() && f[i] == '^') {
        set.exclude = true;
        i++;
    }
    std::size_t start = i;
    for (; i < f.size() && (f[i] != ']' || i == start); i++) {
        unsigned char c = static_cast<unsigned char>(f[i]);
        if (i + 2 < f.size() && f[i + 1] == '-' && f[i + 2] != ']') {
            unsigned char d = static_cast<unsigned char>(f[i + 2]);
            unsigned lo = c < d ? c : d, hi = c < d ? d : c;
            for (unsigned v = lo; v <= hi; v++)
                set.member[v] = true;
            i += 2;
        } else {
            set.member[c] = true;
        }
    }
    return i + 1;
}

/* Checks the format against the number of variables (0: none given);
 * gives the number of values the format stores. */
bool validate(const std::string &f, long vars, long &total)
{
    std::vector<long> assigned(static_cast<std::size_t>(vars > 0 ? vars : 0), 0);
    bool positional = false, sequential = false;
    long index = 0, highest = 0;
    for (std::size_t i = 0; i < f.size();) {
        if (f[i++] != '%')
            continue;
        if (i < f.size() && f[i] == '%') {
            i++;
            continue;
        }
        bool suppress = false;
        if (i < f.size() && f[i] == '*') {
            suppress = true;
            i++;
        } else if (i < f.size() && digit(f[i])) {
            std::size_t j = i;
            long value = read_number(f, j, max_positions);
            if (j < f.size() && f[j] == '$') {
                i = j + 1;
                positional = true;
                if (sequential) {
                    function_error(E_WARNING, "cannot mix \"%%\" and \"%%n$\" conversion specifiers");
                    return false;
                }
                index = value - 1;
                if (index < 0 || (vars && index >= vars) || (!vars && value > max_positions)) {
                    function_error(E_WARNING, "\"%%n$\" argument index out of range");
                    return false;
                }
                if (value > highest)
                    highest = value;
                goto width;
            }
        }
        sequential = true;
        if (positional) {
            function_error(E_WARNING, "cannot mix \"%%\" and \"%%n$\" conversion specifiers");
            return false;
        }
    width:
        while (i < f.size() && digit(f[i]))
            i++;
        if (i < f.size() && (f[i] == 'l' || f[i] == 'L' || f[i] == 'h'))
            i++;
        if (!suppress && vars && index >= vars) {
            function_error(E_WARNING, "Different numbers of variable names and field specifiers");
            return false;
        }
        char c = i < f.size() ? f[i] : '\0';
        i++;
        switch (c) {
        case 'n': case 'd': case 'D': case 'i': case 'o': case 'x': case 'X': case 'u':
        case 'f': case 'e': case 'E': case 'g': case 's': case 'c':
            break;
        case '[': {
            std::size_t j = i;
            if (j < f.size() && f[j] == '^')
                j++;
            if (j < f.size() && f[j] == ']')
                j++;
            while (j < f.size() && f[j] != ']')
                j++;
            if (j >= f.size()) {
                function_error(E_WARNING, "Unmatched [ in format string");
                return false;
            }
            i = j + 1;
            break;
        }
        default:
            function_error(E_WARNING, "Bad scan conversion character \"%c\"", c);
            return false;
        }
        if (!suppress) {
            if (static_cast<std::size_t>(index) >= assigned.size())
                assigned.resize(static_cast<std::size_t>(index) + 1, 0);
            assigned[static_cast<std::size_t>(index)]++;
            index++;
        }
    }
    long count = vars ? vars : (highest ? highest : index);
    assigned.resize(static_cast<std::size_t>(count), 0);
    for (long k = 0; k < count; k++) {
        if (assigned[static_cast<std::size_t>(k)] > 1) {
            function_error(E_WARNING, "Variable is assigned by multiple \"%%n$\" conversion specifiers");
            return false;
        }
        if (!highest && assigned[static_cast<std::size_t>(k)] == 0) {
            function_error(E_WARNING, "Variable is not assigned by any conversion specifiers");
            return false;
        }
    }
    total = count;
    return true;
}

struct scanner {
    const std::string &input;
    std::vector<zval **> vars; /* the caller's variables, or none */
    zval *array;               /* the result array without variables */

    void store(long index, zval *value)
    {
        if (vars.empty()) {
            array_put(array->value.ht, static_cast<ulong>(index), value);
            return;
        }
        zval *target = *vars[static_cast<std::size_t>(index)];
        zval_dtor(target);
        target->type = value->type;
        target->value = value->value;
        FREE_ZVAL(value);
    }
};

/* The integer the digits in buf give, in base; an unsigned conversion of
 * a negative number comes back as its unsigned text. */
zval *integer_value(const std::string &buf, int base, bool is_unsigned)
{
    long value = std::strtol(buf.c_str(), nullptr, base);
    if (is_unsigned && value < 0)
        return new_string(std::to_string(static_cast<unsigned long>(value)));
    return new_long(value);
}

/* Reads the input by the format into the variables, or into an array
 * in return_value when there are none. */
void scan(const std::string &full, std::string format, std::vector<zval **> &targets, zval *return_value)
{
    std::string input = full.substr(0, full.find('\0'));
    format = format.substr(0, format.find('\0'));
    long vars = static_cast<long>(targets.size());
    long total = 0;
    if (!validate(format, vars, total)) {
        if (vars)
            RETURN_LONG(-1);
        RETURN_NULL();
    }
    scanner sc{input, targets, return_value};

    if (!vars) {
        array_init(return_value);
        for (long k = 0; k < total; k++)
            add_next_index_null(return_value);
    }
    std::size_t in = 0; /* position in the input */
    long index = 0, conversions = 0;
    bool underflow = false;
    std::size_t f = 0;
    while (f < format.size()) {
        char fc = format[f++];
        if (std::isspace(static_cast<unsigned char>(fc))) {
            while (in < input.size() && std::isspace(static_cast<unsigned char>(input[in])))
                in++;
            continue;
        }
        if (fc != '%' || (f < format.size() && format[f] == '%')) {
            if (fc == '%')
                f++;
            if (in >= input.size()) {
                underflow = true;
                break;
            }
            if (input[in++] != fc)
                break;
            continue;
        }
        bool suppress = false;
        if (f < format.size() && format[f] == '*') {
            suppress = true;
            f++;
        } else if (f < format.size() && digit(format[f])) {
            std::size_t j = f;
            long value = read_number(format, j, max_positions);
            if (j < format.size() && format[j] == '$') {
                f = j + 1;
                index = value - 1;
            }
        }
        std::size_t width = 0;
        if (f < format.size() && digit(format[f]))
            width = static_cast<std::size_t>(read_number(format, f, 1L << 30));
        if (f < format.size() && (format[f] == 'l' || format[f] == 'L' || format[f] == 'h'))
            f++;
        char conversion = f < format.size() ? format[f++] : '\0';
        if (conversion == 'n') {
            if (!suppress)
                sc.store(index++, new_long(static_cast<long>(in)));
            conversions++;
            continue;
        }
        if (in >= input.size()) {
            underflow = true;
            break;
        }
        bool skip_blanks = conversion != 'c' && conversion != '[';
        if (skip_blanks) {
            while (in < input.size() && std::isspace(static_cast<unsigned char>(input[in])))
                in++;
            if (in >= input.size()) {
                underflow = true;
                break;
            }
        }
        zval *value = nullptr;
        switch (conversion) {
        case 'c':
            value = new_string(input.substr(in, 1));
            in++;
            break;
        case 's': {
            std::size_t end = in;
            while (end < input.size() && !std::isspace(static_cast<unsigned char>(input[end])) &&
                   (width == 0 || end - in < width))
                end++;
            value = new_string(input.substr(in, end - in));
            in = end;
            break;
        }
        case '[': {
            char_set set;
            f = parse_set(format, f, set);
            std::size_t end = in;
            while (end < input.size() && set.contains(static_cast<unsigned char>(input[end])) &&
                   (width == 0 || end - in < width))
                end++;
            if (end == in)
                goto done; /* nothing of the set */
            value = new_string(input.substr(in, end - in));
            in = end;
            break;
        }
        case 'd': case 'D': case 'i': case 'o': case 'x': case 'X': case 'u': {
            int base = conversion == 'i' ? 0 : conversion == 'o' ? 8 : (conversion == 'x' || conversion == 'X') ? 16 : 10;
            if (width == 0 || width > 63)
                width = 63;
            std::string buf;
            bool sign_ok = true, no_digits = true, no_zero = true, x_ok = false;
            for (; width > 0 && in < input.size(); width--) {
                char c = input[in];
                bool take = false;
                if (c == '0') {
                    if (base == 16)
                        x_ok = true;
                    if (base == 0) {
                        base = 8;
                        x_ok = true;
                    }
                    if (no_zero) {
                        sign_ok = no_digits = no_zero = false;
                    } else {
                        sign_ok = x_ok = no_digits = false;
                    }
                    take = true;
                } else if (c >= '1' && c <= '7') {
                    if (base == 0)
                        base = 10;
                    sign_ok = x_ok = no_digits = false;
                    take = true;
                } else if (c == '8' || c == '9') {
                    if (base == 0)
                        base = 10;
                    if (base > 8) {
                        sign_ok = x_ok = no_digits = false;
                        take = true;
                    }
                } else if (std::isxdigit(static_cast<unsigned char>(c))) {
                    if (base > 10) {
                        sign_ok = x_ok = no_digits = false;
                        take = true;
                    }
                } else if (c == '+' || c == '-') {
                    if (sign_ok) {
                        sign_ok = false;
                        take = true;
                    }
                } else if ((c == 'x' || c == 'X') && x_ok && buf.size() == 1) {
                    base = 16;
                    x_ok = false;
                    take = true;
                }
                if (!take)
                    break;
                buf += c;
                in++;
            }
            if (no_digits) {
                if (in >= input.size())
                    underflow = true;
                goto done;
            }
            if (!buf.empty() && (buf.back() == 'x' || buf.back() == 'X')) {
                buf.pop_back();
                in--;
            }
            value = integer_value(buf, base, conversion == 'u');
            break;
        }
        case 'f': case 'e': case 'E': case 'g': {
            if (width == 0 || width > 63)
                width = 63;
            std::string buf;
            bool sign_ok = true, no_digits = true, point_ok = true, exp_ok = true;
            for (; width > 0 && in < input.size(); width--) {
                char c = input[in];
                bool take = false;
                if (digit(c)) {
                    sign_ok = no_digits = false;
                    take = true;
                } else if (c == '+' || c == '-') {
                    if (sign_ok) {
                        sign_ok = false;
                        take = true;
                    }
                } else if (c == '.') {
                    if (point_ok) {
                        sign_ok = point_ok = false;
                        take = true;
                    }
                } else if (c == 'e' || c == 'E') {
                    if (!no_digits && exp_ok) {
                        exp_ok = point_ok = false;
                        sign_ok = no_digits = true;
                        take = true;
                    }
                }
                if (!take)
                    break;
                buf += c;
                in++;
            }
            if (no_digits) {
                if (exp_ok) {
                    if (in >= input.size())
                        underflow = true;
                    goto done;
                }
                /* an exponent without digits is given back */
                while (!buf.empty() && buf.back() != 'e' && buf.back() != 'E') {
                    buf.pop_back();
                    in--;
                }
                buf.pop_back();
                in--;
            }
            value = new_double(std::strtod(buf.c_str(), nullptr));
            break;
        }
        default:
            break;
        }
        if (value) {
            if (suppress)
                zval_ptr_dtor(&value);
            else
                sc.store(index++, value);
        }
        conversions++;
    }
done:
    if (underflow && conversions == 0) {
        if (vars)
            RETURN_LONG(-1);
        zval_dtor(return_value);
        RETURN_NULL();
    }
    if (vars)
        RETURN_LONG(conversions);
}

} // namespace

/* sscanf(string, format [, &vars...]) */
ZEND_FUNCTION(sscanf)
{
    std::string full, format;
    std::vector<zval **> targets;
    if (!parse_args(ZEND_NUM_ARGS(), "ss*", &full, &format, &targets))
        return;
    scan(full, format, targets, return_value);
}

/* fscanf(handle, format [, &vars...]): sscanf on the stream's next line;
 * false at the end of the data. */
ZEND_FUNCTION(fscanf)
{
    zval *handle;
    std::string format;
    std::vector<zval **> targets;
    if (!parse_args(ZEND_NUM_ARGS(), "zs*", &handle, &format, &targets))
        return;
    stream *s = stream_arg(handle);
    if (!s)
        RETURN_FALSE;
    std::string line;
    if (!stream_get_line(*s, 0, line))
        RETURN_FALSE;
    scan(line, format, targets, return_value);
}
