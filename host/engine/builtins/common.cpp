/* Helpers shared by the built-in functions: argument fetching and
 * conversions that leave the argument alone. */
#include <cctype>
#include <cstdio>

#include "builtins.h"
#include "core/operators.h"
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

std::string lowercase(std::string s)
{
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string to_string(const zval *z)
{
    return zend::zval_to_string(z);
}

long to_long(const zval *z)
{
    return zend::zval_get_long(z);
}

double to_double(const zval *z)
{
    return zend::zval_get_double(z);
}

std::string format_double(double d, int precision)
{
    if (precision < 0)
        return zend::double_to_string(d);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", precision, d);
    return buf;
}

} // namespace zend::builtins
