/* Helpers shared by the value and operator files of the core. */
#ifndef BRISKO_CORE_VALUES_INTERNAL_H
#define BRISKO_CORE_VALUES_INTERNAL_H

#include <cstddef>
#include <string>

#include "php.h"

namespace zend {

/* Length of the decimal-number prefix of s after leading white space (0
 * when there is none); *is_integer when it has no fraction or exponent. */
std::size_t scan_decimal(const char *s, std::size_t length, bool *is_integer);

bool zval_get_bool(const zval *z);

/* A number read from an operand: whole numeric strings as what they spell
 * (long or double), other strings by their numeric prefix, the rest as
 * convert_to_long would. */
struct number {
    bool is_double;
    long l;
    double d;
    double as_double() const { return is_double ? d : (double)l; }
};
number to_number(const zval *z);

/* Makes z the string s: a fresh copy, or the shared empty string. */
void set_string(zval *z, const std::string &s);

} // namespace zend

#endif
