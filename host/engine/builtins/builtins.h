/* The built-in functions of the "standard" module: one list from which the
 * handler declarations and the module's function table are both made, so
 * a function cannot be declared and forgotten in the table. */
#ifndef BRISKO_BUILTINS_H
#define BRISKO_BUILTINS_H

#include <string>
#include <vector>

#include "php.h"

/* X(name) for every handler zif_name; the order is the table's order. */
#define BRISKO_BUILTIN_LIST(X)                                                 \
    /* constants, errors, configuration */                                     \
    X(define) X(defined) X(constant) X(error_reporting) X(ini_set)             \
    X(ini_get) X(set_include_path) X(get_include_path)                         \
    /* inspection of the function and class tables */                          \
    X(function_exists) X(class_exists) X(method_exists) X(phpinfo)             \
    /* strings */                                                              \
    X(strlen)

/* Functions registered under a second name: X(alias, handler). */
#define BRISKO_BUILTIN_ALIASES(X)

/* Functions whose first argument is passed by reference: X(name). */
#define BRISKO_BUILTIN_BYREF_FIRST(X)

#define BRISKO_DECLARE_BUILTIN(name) ZEND_FUNCTION(name);
BRISKO_BUILTIN_LIST(BRISKO_DECLARE_BUILTIN)
BRISKO_BUILTIN_BYREF_FIRST(BRISKO_DECLARE_BUILTIN)
#undef BRISKO_DECLARE_BUILTIN

namespace zend::builtins {

/* Helpers shared by the built-in files. */

/* Fetches the current call's argument slots. false, with the wrong-count
 * warning raised, when the count is outside [min, max] (max < 0: no
 * upper bound). */
bool fetch_args(int argc, int min, int max, std::vector<zval **> &args);

/* Text a value converts to, without touching the value. */
std::string to_string(const zval *z);
long to_long(const zval *z);
double to_double(const zval *z);

/* Formats a double the way the engine prints one (precision 12, %G). */
std::string format_double(double d, int precision = 12);

} // namespace zend::builtins

#endif
