/* Math built-ins. Integer arguments stay integers where the result fits;
 * anything else is worked out in doubles. */
#include <climits>
#include <cmath>
#include <random>

#include "builtins.h"
#include "engine.h"

using zend::builtins::parse_args;
using zend::builtins::to_double;
using zend::builtins::to_long;

namespace zend::builtins {

double round_to(double value, long places)
{
    if (!std::isfinite(value))
        return value;
    if (places > 308)
        places = 308;
    if (places < -308)
        places = -308;
    double f = std::pow(10.0, static_cast<double>(places));
    double tmp = value * f;
    if (!std::isfinite(tmp))
        return value;
    tmp = tmp >= 0.0 ? std::floor(tmp + 0.50000000001) : std::ceil(tmp - 0.50000000001);
    tmp /= f;
    return std::isnan(tmp) ? value : tmp;
}

} // namespace zend::builtins

namespace {

/* A number from any value: numeric strings become an integer or a double
 * as they read, other values go through the integer conversion. */
void number_of(const zval *z, long &l, double &d, bool &is_double)
{
    is_double = false;
    if (z->type == IS_DOUBLE) {
        d = z->value.dval;
        is_double = true;
        return;
    }
    if (z->type == IS_STRING) {
        int t = zend::builtins::numeric_string(z->value.str.val, z->value.str.len, &l, &d);
        if (t == IS_DOUBLE) {
            is_double = true;
            return;
        }
        if (t == IS_LONG)
            return;
    }
    l = to_long(z);
}

/* The arguments of min and max: the elements of one array argument or the
 * arguments themselves. */
bool extreme_candidates(int argc, std::vector<zval *> &values)
{
    std::vector<zval **> args;
    if (!parse_args(argc, "+", &args))
        return false;
    if (args.size() == 1) {
        if ((*args[0])->type != IS_ARRAY) {
            zend_error(E_WARNING, "When only one parameter is given, it must be an array");
            return false;
        }
        for (const auto &e : zend::builtins::elements((*args[0])->value.ht))
            values.push_back(*e.data);
        if (values.empty()) {
            zend_error(E_WARNING, "Array must contain at least one element");
            return false;
        }
        return true;
    }
    for (zval **slot : args)
        values.push_back(*slot);
    return true;
}

void return_extreme(INTERNAL_FUNCTION_PARAMETERS, int want)
{
    std::vector<zval *> values;
    if (!extreme_candidates(ZEND_NUM_ARGS(), values))
        RETURN_FALSE;
    zval *best = values[0];
    for (std::size_t i = 1; i < values.size(); i++)
        if (zend::builtins::compare_values(values[i], best) * want > 0)
            best = values[i];
    *return_value = *best;
    zval_copy_ctor(return_value);
    INIT_PZVAL(return_value);
}

} // namespace

ZEND_FUNCTION(min) { return_extreme(INTERNAL_FUNCTION_PARAM_PASSTHRU, -1); }
ZEND_FUNCTION(max) { return_extreme(INTERNAL_FUNCTION_PARAM_PASSTHRU, 1); }

ZEND_FUNCTION(abs)
{
    zval *number;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &number))
        return;
    long l = 0;
    double d = 0;
    bool is_double;
    number_of(number, l, d, is_double);
    if (is_double)
        RETURN_DOUBLE(std::fabs(d));
    if (l == LONG_MIN)
        RETURN_DOUBLE(-static_cast<double>(LONG_MIN));
    RETURN_LONG(l < 0 ? -l : l);
}

ZEND_FUNCTION(floor)
{
    double d;
    if (!parse_args(ZEND_NUM_ARGS(), "d", &d))
        return;
    RETURN_DOUBLE(std::floor(d));
}

ZEND_FUNCTION(ceil)
{
    double d;
    if (!parse_args(ZEND_NUM_ARGS(), "d", &d))
        return;
    RETURN_DOUBLE(std::ceil(d));
}

/* round(value [, precision]) */
ZEND_FUNCTION(round)
{
    double value;
    long places = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "d|l", &value, &places))
        return;
    RETURN_DOUBLE(zend::builtins::round_to(value, places));
}

/* pow(base, exp): an integer when both are integers, exp >= 0 and the
 * result fits. */
ZEND_FUNCTION(pow)
{
    zval *base_value, *exp_value;
    if (!parse_args(ZEND_NUM_ARGS(), "zz", &base_value, &exp_value))
        return;
    long lb = 0, le = 0;
    double db = 0, de = 0;
    bool base_double, exp_double;
    number_of(base_value, lb, db, base_double);
    number_of(exp_value, le, de, exp_double);
    if (!base_double && !exp_double && le >= 0) {
        long result = 1, base = lb, e = le;
        bool overflow = false;
        while (e > 0 && !overflow) {
            if (e & 1)
                overflow = __builtin_mul_overflow(result, base, &result);
            e >>= 1;
            if (e > 0 && !overflow)
                overflow = __builtin_mul_overflow(base, base, &base);
        }
        if (!overflow)
            RETURN_LONG(result);
    }
    double b = base_double ? db : static_cast<double>(lb);
    double x = exp_double ? de : static_cast<double>(le);
    RETURN_DOUBLE(std::pow(b, x));
}

ZEND_FUNCTION(sqrt)
{
    double d;
    if (!parse_args(ZEND_NUM_ARGS(), "d", &d))
        return;
    RETURN_DOUBLE(std::sqrt(d));
}

ZEND_FUNCTION(fmod)
{
    double x, y;
    if (!parse_args(ZEND_NUM_ARGS(), "dd", &x, &y))
        return;
    RETURN_DOUBLE(std::fmod(x, y));
}

ZEND_FUNCTION(pi)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    RETURN_DOUBLE(M_PI);
}

/* One generator for rand and mt_rand; seeded from the system unless a
 * script seeds it. */
std::mt19937 &zend::builtins::random_generator()
{
    static std::mt19937 gen{std::random_device{}()};
    return gen;
}

namespace {

std::mt19937 &generator()
{
    return zend::builtins::random_generator();
}

constexpr long rand_max = 2147483647L;

void random_in_range(INTERNAL_FUNCTION_PARAMETERS)
{
    /* none or both ends: one is no form of the call */
    if (ZEND_NUM_ARGS() == 1) {
        zend_wrong_param_count();
        return;
    }
    long lo = 0, hi = rand_max;
    if (!parse_args(ZEND_NUM_ARGS(), "|ll", &lo, &hi))
        return;
    if (hi < lo)
        std::swap(lo, hi);
    std::uniform_int_distribution<long> dist(lo, hi);
    RETURN_LONG(dist(generator()));
}

void seed(INTERNAL_FUNCTION_PARAMETERS)
{
    long given = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "|l", &given))
        return;
    generator().seed(ZEND_NUM_ARGS() == 0 ? std::random_device{}() : static_cast<unsigned>(given));
}

} // namespace

ZEND_FUNCTION(rand) { random_in_range(INTERNAL_FUNCTION_PARAM_PASSTHRU); }
ZEND_FUNCTION(mt_rand) { random_in_range(INTERNAL_FUNCTION_PARAM_PASSTHRU); }
ZEND_FUNCTION(srand) { seed(INTERNAL_FUNCTION_PARAM_PASSTHRU); }
ZEND_FUNCTION(mt_srand) { seed(INTERNAL_FUNCTION_PARAM_PASSTHRU); }

ZEND_FUNCTION(getrandmax)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    RETURN_LONG(rand_max);
}

ZEND_FUNCTION(dechex)
{
    long number;
    if (!parse_args(ZEND_NUM_ARGS(), "l", &number))
        return;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lx", static_cast<unsigned long>(number));
    RETURN_STRING(buf, 1);
}

ZEND_FUNCTION(hexdec)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;

    unsigned long v = 0;
    bool as_double = false;
    double d = 0;
    for (char c : s) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else continue; /* other characters are ignored */
        if (!as_double && v > (static_cast<unsigned long>(LONG_MAX) - digit) / 16) {
            as_double = true;
            d = static_cast<double>(v);
        }
        if (as_double)
            d = d * 16 + digit;
        else
            v = v * 16 + digit;
    }
    if (as_double)
        RETURN_DOUBLE(d);
    RETURN_LONG(static_cast<long>(v));
}
