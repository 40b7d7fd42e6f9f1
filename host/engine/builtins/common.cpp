/* Helpers shared by the built-in functions: conversions that leave the
 * value alone. */
#include <cctype>
#include <cstdio>

#include "builtins.h"
#include "core/operators.h"
#include "engine.h"

namespace zend::builtins {

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
