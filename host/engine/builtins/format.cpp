/* sprintf, printf and number_format.
 *
 * A conversion is %[argnum$][flags][width][.precision]specifier with flags
 * '-' (left-justify), '+' (sign always), '0' or ' ' (pad character) and
 * '\'c' (pad with c). Width and precision are capped so that a hostile
 * format cannot ask for gigabytes. */
#include <cmath>
#include <cstdio>
#include <cstring>

#include "builtins.h"
#include "engine.h"

using zend::builtins::element;
using zend::builtins::elements;
using zend::builtins::parse_args;
using zend::builtins::function_error;
using zend::builtins::to_double;
using zend::builtins::to_long;
using zend::builtins::to_string;

namespace {

constexpr long max_precision = 40;
constexpr std::size_t max_result = std::size_t(1) << 27; /* 128 MB */

struct spec {
    bool left = false;
    bool plus = false;
    char pad = ' ';
    long width = 0;
    long precision = -1; /* -1: not given */
};

/* Pads text to the width. With zero padding a sign stays in front. */
void append_padded(std::string &out, const std::string &text, const spec &s, bool numeric)
{
    long missing = s.width - static_cast<long>(text.size());
    if (missing <= 0) {
        out += text;
        return;
    }
    if (s.left) {
        out += text;
        out.append(missing, s.pad);
        return;
    }
    if (numeric && s.pad == '0' && !text.empty() && (text[0] == '-' || text[0] == '+')) {
        out += text[0];
        out.append(missing, '0');
        out.append(text, 1, std::string::npos);
        return;
    }
    out.append(missing, s.pad);
    out += text;
}

std::string in_base(unsigned long v, unsigned base, bool upper_case)
{
    const char *digits = upper_case ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string out;
    do {
        out.insert(out.begin(), digits[v % base]);
        v /= base;
    } while (v);
    return out;
}

/* %e as this engine prints it: the exponent without leading zeros. */
std::string exponent_form(double d, long precision, bool upper_case)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, upper_case ? "%.*E" : "%.*e", static_cast<int>(precision), d);
    std::string s = buf;
    std::size_t e = s.find(upper_case ? 'E' : 'e');
    if (e == std::string::npos || e + 2 >= s.size())
        return s;
    std::size_t digits = e + 2;
    while (digits + 1 < s.size() && s[digits] == '0')
        s.erase(digits, 1);
    return s;
}

std::string fixed_form(double d, long precision)
{
    if (std::isnan(d))
        return "nan";
    if (std::isinf(d))
        return d < 0 ? "-inf" : "inf";
    std::string buf(400, '\0');
    int n = std::snprintf(buf.data(), buf.size(), "%.*f", static_cast<int>(precision), d);
    if (n >= static_cast<int>(buf.size())) {
        buf.resize(n + 1);
        std::snprintf(buf.data(), buf.size(), "%.*f", static_cast<int>(precision), d);
    }
    buf.resize(n);
    return buf;
}

/* Reads a decimal number at format[i], capped at limit. */
long read_number(const std::string &format, std::size_t &i, long limit)
{
    long v = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
        if (v <= limit)
            v = v * 10 + (format[i] - '0');
        i++;
    }
    return v > limit ? limit : v;
}

} // namespace

namespace zend::builtins {

bool format_string(const std::string &format, const std::vector<zval **> &args, std::string &out)
{
    std::size_t next_arg = 0;
    for (std::size_t i = 0; i < format.size(); i++) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        if (++i >= format.size())
            break;
        if (format[i] == '%') {
            out += '%';
            continue;
        }
        spec s;
        std::size_t arg_index = next_arg;
        bool explicit_index = false;
        /* argnum$ */
        std::size_t j = i;
        while (j < format.size() && format[j] >= '0' && format[j] <= '9')
            j++;
        if (j > i && j < format.size() && format[j] == '$') {
            long n = read_number(format, i, 1L << 20);
            i++; /* the '$' */
            if (n <= 0) {
                function_error(E_WARNING, "Zero is not a valid argument number");
                return false;
            }
            arg_index = static_cast<std::size_t>(n - 1);
            explicit_index = true;
        }
        for (; i < format.size(); i++) {
            char c = format[i];
            if (c == '-')
                s.left = true;
            else if (c == '+')
                s.plus = true;
            else if (c == '0' || c == ' ')
                s.pad = c;
            else if (c == '\'' && i + 1 < format.size())
                s.pad = format[++i];
            else
                break;
        }
        s.width = read_number(format, i, static_cast<long>(max_result) + 1);
        if (i < format.size() && format[i] == '.') {
            i++;
            s.precision = read_number(format, i, max_precision);
        }
        if (i < format.size() && format[i] == 'l')
            i++;
        if (arg_index >= args.size()) {
            zend_error(E_WARNING, "%s(): Too few arguments", get_active_function_name());
            return false;
        }
        if (!explicit_index)
            next_arg++;
        if (i >= format.size())
            break;
        char conversion = format[i];
        if (std::strchr("sdufFeEcxXob", conversion) == nullptr)
            continue; /* an unknown conversion prints nothing */
        if (out.size() > max_result || static_cast<std::size_t>(s.width) > max_result - out.size()) {
            zend_error(E_WARNING, "%s(): Result is too big", get_active_function_name());
            return false;
        }
        const zval *arg = *args[arg_index];
        switch (conversion) {
        case 's': {
            std::string text = to_string(arg);
            if (s.precision >= 0 && static_cast<std::size_t>(s.precision) < text.size())
                text.resize(s.precision);
            append_padded(out, text, s, false);
            break;
        }
        case 'd': {
            long v = to_long(arg);
            std::string text = std::to_string(v);
            if (s.plus && v >= 0)
                text.insert(text.begin(), '+');
            append_padded(out, text, s, true);
            break;
        }
        case 'u':
            append_padded(out, std::to_string(static_cast<unsigned long>(to_long(arg))), s, true);
            break;
        case 'f':
        case 'F': {
            double d = to_double(arg);
            long precision = s.precision >= 0 ? s.precision : 6;
            /* halves round up, as number_format and round do, not to even */
            std::string text = fixed_form(zend::builtins::round_to(d, precision), precision);
            if (s.plus && d >= 0)
                text.insert(text.begin(), '+');
            append_padded(out, text, s, true);
            break;
        }
        case 'e':
        case 'E': {
            double d = to_double(arg);
            std::string text = exponent_form(d, s.precision >= 0 ? s.precision : 6, conversion == 'E');
            if (s.plus && d >= 0)
                text.insert(text.begin(), '+');
            append_padded(out, text, s, true);
            break;
        }
        case 'c':
            out += static_cast<char>(to_long(arg));
            break;
        case 'x':
        case 'X':
            append_padded(out, in_base(static_cast<unsigned long>(to_long(arg)), 16, conversion == 'X'), s, true);
            break;
        case 'o':
            append_padded(out, in_base(static_cast<unsigned long>(to_long(arg)), 8, false), s, true);
            break;
        case 'b':
            append_padded(out, in_base(static_cast<unsigned long>(to_long(arg)), 2, false), s, true);
            break;
        }
    }
    return true;
}

} // namespace zend::builtins

ZEND_FUNCTION(sprintf)
{
    std::string format;
    std::vector<zval **> values;
    if (!parse_args(ZEND_NUM_ARGS(), "s*", &format, &values))
        return;
    std::string out;
    if (!zend::builtins::format_string(format, values, out))
        RETURN_FALSE;
    zend::builtins::return_string(return_value, out);
}

/* printf: prints, and returns the length printed. */
ZEND_FUNCTION(printf)
{
    std::string format;
    std::vector<zval **> values;
    if (!parse_args(ZEND_NUM_ARGS(), "s*", &format, &values))
        return;
    std::string out;
    if (!zend::builtins::format_string(format, values, out))
        RETURN_FALSE;
    zend_write(out.data(), static_cast<uint>(out.size()));
    RETURN_LONG(static_cast<long>(out.size()));
}

namespace {

/* The values of vsprintf's array argument, in order; a value that is no
 * array stands for itself. */
std::vector<zval **> array_values(zval **slot)
{
    std::vector<zval **> values;
    if ((*slot)->type != IS_ARRAY) {
        values.push_back(slot);
        return values;
    }
    for (const element &e : elements((*slot)->value.ht))
        values.push_back(e.data);
    return values;
}

} // namespace

/* vsprintf(format, array) */
ZEND_FUNCTION(vsprintf)
{
    std::string format;
    zval **list;
    if (!parse_args(ZEND_NUM_ARGS(), "sZ", &format, &list))
        return;
    std::string out;
    if (!zend::builtins::format_string(format, array_values(list), out))
        RETURN_FALSE;
    zend::builtins::return_string(return_value, out);
}

/* vprintf(format, array): prints, and returns the length printed. */
ZEND_FUNCTION(vprintf)
{
    std::string format;
    zval **list;
    if (!parse_args(ZEND_NUM_ARGS(), "sZ", &format, &list))
        return;
    std::string out;
    if (!zend::builtins::format_string(format, array_values(list), out))
        RETURN_FALSE;
    zend_write(out.data(), static_cast<uint>(out.size()));
    RETURN_LONG(static_cast<long>(out.size()));
}

/* number_format(number [, decimals [, dec_point, thousands_sep]]): one or
 * two or four arguments; of the separators only the first character
 * counts, an empty one means none. */
ZEND_FUNCTION(number_format)
{
    /* one, two or four arguments: three is no form of the call */
    if (ZEND_NUM_ARGS() == 3) {
        zend_wrong_param_count();
        return;
    }
    double d;
    long decimals = 0;
    std::string point = ".", thousands = ",";
    if (!parse_args(ZEND_NUM_ARGS(), "d|lss", &d, &decimals, &point, &thousands))
        return;
    if (decimals < 0)
        decimals = 0;
    if (decimals > max_precision)
        decimals = max_precision;
    point = point.substr(0, 1);
    thousands = thousands.substr(0, 1);

    d = zend::builtins::round_to(d, decimals);
    bool negative = d < 0;
    std::string digits = fixed_form(std::fabs(d), decimals);
    std::size_t dot = digits.find('.');
    std::string whole = digits.substr(0, dot);
    std::string fraction = dot == std::string::npos ? std::string() : digits.substr(dot + 1);
    if (negative && whole.find_first_not_of('0') == std::string::npos &&
        fraction.find_first_not_of('0') == std::string::npos)
        negative = false; /* no "-0" */
    std::string out = negative ? "-" : "";
    for (std::size_t k = 0; k < whole.size(); k++) {
        if (k > 0 && (whole.size() - k) % 3 == 0)
            out += thousands;
        out += whole[k];
    }
    if (decimals > 0) {
        out += point;
        out += fraction;
    }
    zend::builtins::return_string(return_value, out);
}
