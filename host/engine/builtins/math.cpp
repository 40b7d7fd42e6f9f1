/* Math built-ins. Integer arguments stay integers where the result fits;
 * anything else is worked out in doubles. */
#include <climits>
#include <cmath>
#include <random>

#include "builtins.h"
#include "engine.h"

using zend::builtins::fetch_args;
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
    if (argc < 1) {
        zend_wrong_param_count();
        return false;
    }
    if (!fetch_args(argc, 1, -1, args))
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
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    long l = 0;
    double d = 0;
    bool is_double;
    number_of(*args[0], l, d, is_double);
    if (is_double)
        RETURN_DOUBLE(std::fabs(d));
    if (l == LONG_MIN)
        RETURN_DOUBLE(-static_cast<double>(LONG_MIN));
    RETURN_LONG(l < 0 ? -l : l);
}

ZEND_FUNCTION(floor)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    RETURN_DOUBLE(std::floor(to_double(*args[0])));
}

ZEND_FUNCTION(ceil)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    RETURN_DOUBLE(std::ceil(to_double(*args[0])));
}

/* round(value [, precision]) */
ZEND_FUNCTION(round)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 2, args))
        return;
    long places = args.size() == 2 ? to_long(*args[1]) : 0;
    RETURN_DOUBLE(zend::builtins::round_to(to_double(*args[0]), places));
}

/* pow(base, exp): an integer when both are integers, exp >= 0 and the
 * result fits. */
ZEND_FUNCTION(pow)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 2, 2, args))
        return;
    long lb = 0, le = 0;
    double db = 0, de = 0;
    bool base_double, exp_double;
    number_of(*args[0], lb, db, base_double);
    number_of(*args[1], le, de, exp_double);
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
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    RETURN_DOUBLE(std::sqrt(to_double(*args[0])));
}

ZEND_FUNCTION(fmod)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 2, 2, args))
        return;
    RETURN_DOUBLE(std::fmod(to_double(*args[0]), to_double(*args[1])));
}

ZEND_FUNCTION(pi)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
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
    int argc = ZEND_NUM_ARGS();
    std::vector<zval **> args;
    if (argc == 1 || !fetch_args(argc, 0, 2, args)) {
        if (argc == 1)
            zend_wrong_param_count();
        return;
    }
    long lo = 0, hi = rand_max;
    if (args.size() == 2) {
        lo = to_long(*args[0]);
        hi = to_long(*args[1]);
    }
    if (hi < lo)
        std::swap(lo, hi);
    std::uniform_int_distribution<long> dist(lo, hi);
    RETURN_LONG(dist(generator()));
}

void seed(INTERNAL_FUNCTION_PARAMETERS)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 1, args))
        return;
    generator().seed(args.empty() ? std::random_device{}() : static_cast<unsigned>(to_long(*args[0])));
}

} // namespace

ZEND_FUNCTION(rand) { random_in_range(INTERNAL_FUNCTION_PARAM_PASSTHRU); }
ZEND_FUNCTION(mt_rand) { random_in_range(INTERNAL_FUNCTION_PARAM_PASSTHRU); }
ZEND_FUNCTION(srand) { seed(INTERNAL_FUNCTION_PARAM_PASSTHRU); }
ZEND_FUNCTION(mt_srand) { seed(INTERNAL_FUNCTION_PARAM_PASSTHRU); }

ZEND_FUNCTION(getrandmax)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
        return;
    RETURN_LONG(rand_max);
}

ZEND_FUNCTION(dechex)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lx", static_cast<unsigned long>(to_long(*args[0])));
    RETURN_STRING(buf, 1);
}

ZEND_FUNCTION(hexdec)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    std::string s = zend::builtins::to_string(*args[0]);
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
