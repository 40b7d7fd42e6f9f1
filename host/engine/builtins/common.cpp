/* Helpers shared by the built-in functions: argument fetching and
 * conversions that leave the argument alone. */
#include <cstdio>

#include "builtins.h"
#include "engine.h"

namespace zend::builtins {

bool fetch_args(int argc, int min, int max, std::vector<zval **> &args)
{
    if (argc < min || (max >= 0 && argc > max)) {
        zend_wrong_param_count();
        return false;
    }
    args.assign(argc, nullptr);
    if (argc > 0 && zend_get_parameters_array_ex(argc, args.data()) == FAILURE) {
        zend_wrong_param_count();
        return false;
    }
    return true;
}

namespace {

/* A private converted copy of *z, destroyed with the holder. */
struct converted {
    zval tmp;
    explicit converted(const zval *z) : tmp(*z) { zval_copy_ctor(&tmp); }
    ~converted() { zval_dtor(&tmp); }
    converted(const converted &) = delete;
    converted &operator=(const converted &) = delete;
};

} // namespace

std::string to_string(const zval *z)
{
    switch (z->type) {
    case IS_STRING:
        return std::string(z->value.str.val, z->value.str.len);
    case IS_LONG:
        return std::to_string(z->value.lval);
    case IS_NULL:
        return std::string();
    default: {
        converted c(z);
        convert_to_string(&c.tmp);
        return std::string(c.tmp.value.str.val, c.tmp.value.str.len);
    }
    }
}

long to_long(const zval *z)
{
    if (z->type == IS_LONG || z->type == IS_BOOL)
        return z->value.lval;
    converted c(z);
    convert_to_long(&c.tmp);
    return c.tmp.value.lval;
}

double to_double(const zval *z)
{
    if (z->type == IS_DOUBLE)
        return z->value.dval;
    converted c(z);
    convert_to_double(&c.tmp);
    return c.tmp.value.dval;
}

std::string format_double(double d, int precision)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", precision, d);
    return buf;
}

} // namespace zend::builtins
