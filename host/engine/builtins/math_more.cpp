/* Math built-ins beyond arithmetic: number bases (bindec, octdec, decbin,
 * decoct, base_convert), logarithms and trigonometry, and the tests for
 * NAN and infinity. */
#include <climits>
#include <cmath>
#include <random>

#include "builtins.h"
#include "engine.h"

using zend::builtins::parse_args;

namespace {

/* The digits of text in the given base as a number: characters that are
 * no digit of the base are skipped, as the original engine does; past
 * LONG_MAX the number goes on as a double. */
void base_to_number(const std::string &text, int base, zval *return_value)
{
    long num = 0;
    double fnum = 0;
    bool as_double = false;
    for (char ch : text) {
        int c;
        if (ch >= '0' && ch <= '9')
            c = ch - '0';
        else if (ch >= 'A' && ch <= 'Z')
            c = ch - 'A' + 10;
        else if (ch >= 'a' && ch <= 'z')
            c = ch - 'a' + 10;
        else
            continue;
        if (c >= base)
            continue;
        if (!as_double && num > (LONG_MAX - c) / base) {
            as_double = true;
            fnum = static_cast<double>(num);
        }
        if (as_double)
            fnum = fnum * base + c;
        else
            num = num * base + c;
    }
    if (as_double)
        RETURN_DOUBLE(fnum);
    RETURN_LONG(num);
}

const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";

std::string unsigned_to_base(unsigned long value, int base)
{
    std::string out;
    do {
        out.insert(out.begin(), digits[value % base]);
        value /= base;
    } while (value > 0);
    return out;
}

/* A number (integer or double) in the given base; doubles drop their
 * fraction and go digit by digit. */
bool number_to_base(const zval *z, int base, std::string &out)
{
    if (z->type != IS_DOUBLE) {
        out = unsigned_to_base(static_cast<unsigned long>(z->value.lval), base);
        return true;
    }
    double value = std::floor(std::fabs(z->value.dval));
    if (!std::isfinite(value)) {
        zend_error(E_WARNING, "base_convert(): Number too large");
        return false;
    }
    out.clear();
    do {
        out.insert(out.begin(), digits[static_cast<int>(std::fmod(value, base))]);
        value /= base;
    } while (std::fabs(value) >= 1);
    return true;
}

void from_base(INTERNAL_FUNCTION_PARAMETERS, int base)
{
    std::string text;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &text))
        return;
    base_to_number(text, base, return_value);
}

void to_base(INTERNAL_FUNCTION_PARAMETERS, int base)
{
    long number;
    if (!parse_args(ZEND_NUM_ARGS(), "l", &number))
        return;
    zend::builtins::return_string(return_value, unsigned_to_base(static_cast<unsigned long>(number), base));
}

void one_double(INTERNAL_FUNCTION_PARAMETERS, double (*fn)(double))
{
    double d;
    if (!parse_args(ZEND_NUM_ARGS(), "d", &d))
        return;
    RETURN_DOUBLE(fn(d));
}

double degrees_to_radians(double d)
{
    return d / 180.0 * M_PI;
}

double radians_to_degrees(double d)
{
    return d / M_PI * 180.0;
}

} // namespace

ZEND_FUNCTION(bindec) { from_base(INTERNAL_FUNCTION_PARAM_PASSTHRU, 2); }
ZEND_FUNCTION(octdec) { from_base(INTERNAL_FUNCTION_PARAM_PASSTHRU, 8); }
ZEND_FUNCTION(decbin) { to_base(INTERNAL_FUNCTION_PARAM_PASSTHRU, 2); }
ZEND_FUNCTION(decoct) { to_base(INTERNAL_FUNCTION_PARAM_PASSTHRU, 8); }

/* base_convert(number, frombase, tobase): the text of a number in another
 * base, bases 2 to 36. */
ZEND_FUNCTION(base_convert)
{
    std::string number;
    long from, to;
    if (!parse_args(ZEND_NUM_ARGS(), "sll", &number, &from, &to))
        return;
    if (from < 2 || from > 36) {
        zend_error(E_WARNING, "base_convert(): Invalid `from base' (%ld)", from);
        RETURN_FALSE;
    }
    if (to < 2 || to > 36) {
        zend_error(E_WARNING, "base_convert(): Invalid `to base' (%ld)", to);
        RETURN_FALSE;
    }
    zval value;
    base_to_number(number, static_cast<int>(from), &value);
    std::string out;
    if (!number_to_base(&value, static_cast<int>(to), out))
        RETURN_STRINGL("", 0, 1);
    zend::builtins::return_string(return_value, out);
}

ZEND_FUNCTION(exp) { one_double(INTERNAL_FUNCTION_PARAM_PASSTHRU, std::exp); }
ZEND_FUNCTION(log10) { one_double(INTERNAL_FUNCTION_PARAM_PASSTHRU, std::log10); }
ZEND_FUNCTION(sin) { one_double(INTERNAL_FUNCTION_PARAM_PASSTHRU, std::sin); }
ZEND_FUNCTION(cos) { one_double(INTERNAL_FUNCTION_PARAM_PASSTHRU, std::cos); }
ZEND_FUNCTION(tan) { one_double(INTERNAL_FUNCTION_PARAM_PASSTHRU, std::tan); }
ZEND_FUNCTION(asin) { one_double(INTERNAL_FUNCTION_PARAM_PASSTHRU, std::asin); }
ZEND_FUNCTION(acos) { one_double(INTERNAL_FUNCTION_PARAM_PASSTHRU, std::acos); }
ZEND_FUNCTION(atan) { one_double(INTERNAL_FUNCTION_PARAM_PASSTHRU, std::atan); }
ZEND_FUNCTION(deg2rad) { one_double(INTERNAL_FUNCTION_PARAM_PASSTHRU, degrees_to_radians); }
ZEND_FUNCTION(rad2deg) { one_double(INTERNAL_FUNCTION_PARAM_PASSTHRU, radians_to_degrees); }

/* log(arg [, base]): a base of 0 or less is refused. */
ZEND_FUNCTION(log)
{
    double d, base = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "d|d", &d, &base))
        return;
    if (ZEND_NUM_ARGS() == 1)
        RETURN_DOUBLE(std::log(d));
    if (base <= 0.0) {
        zend_error(E_WARNING, "log(): base must be greater than 0");
        RETURN_FALSE;
    }
    RETURN_DOUBLE(std::log(d) / std::log(base));
}

ZEND_FUNCTION(atan2)
{
    double y, x;
    if (!parse_args(ZEND_NUM_ARGS(), "dd", &y, &x))
        return;
    RETURN_DOUBLE(std::atan2(y, x));
}

ZEND_FUNCTION(hypot)
{
    double x, y;
    if (!parse_args(ZEND_NUM_ARGS(), "dd", &x, &y))
        return;
    RETURN_DOUBLE(std::hypot(x, y));
}

ZEND_FUNCTION(is_nan)
{
    double d;
    if (!parse_args(ZEND_NUM_ARGS(), "d", &d))
        return;
    RETURN_BOOL(std::isnan(d));
}

ZEND_FUNCTION(is_finite)
{
    double d;
    if (!parse_args(ZEND_NUM_ARGS(), "d", &d))
        return;
    RETURN_BOOL(std::isfinite(d));
}

ZEND_FUNCTION(is_infinite)
{
    double d;
    if (!parse_args(ZEND_NUM_ARGS(), "d", &d))
        return;
    RETURN_BOOL(std::isinf(d));
}

/* lcg_value(): a pseudo-random double in (0, 1). */
ZEND_FUNCTION(lcg_value)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    std::uniform_real_distribution<double> dist(0.0, 1.0);
    RETURN_DOUBLE(dist(zend::builtins::random_generator()));
}
