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
    X(func_num_args) X(func_get_args) X(func_get_arg) X(get_class)            \
    X(get_parent_class) X(get_object_vars) X(get_class_methods) X(compact)     \
    X(extract) X(php_sapi_name) X(phpversion) X(zend_version)                  \
    /* strings */                                                              \
    X(strlen) X(substr) X(strpos) X(strrpos) X(strstr) X(substr_count)         \
    X(str_replace) X(str_repeat) X(strtoupper) X(strtolower) X(ucfirst)        \
    X(ucwords) X(strrev) X(trim) X(ltrim) X(rtrim) X(implode) X(explode)       \
    X(htmlspecialchars) X(nl2br) X(str_pad) X(strcmp) X(strcasecmp)            \
    X(strncmp) X(addslashes) X(stripslashes) X(chr) X(ord) X(urlencode)        \
    X(rawurlencode) X(sprintf) X(printf) X(number_format) X(strtr)             \
    X(substr_replace) X(urldecode) X(rawurldecode) X(wordwrap)                 \
    /* math */                                                                 \
    X(min) X(max) X(abs) X(floor) X(ceil) X(round) X(pow) X(sqrt) X(fmod)      \
    X(pi) X(rand) X(mt_rand) X(srand) X(mt_srand) X(getrandmax) X(dechex)      \
    X(hexdec)                                                                  \
    /* arrays */                                                               \
    X(count) X(array_keys) X(array_values) X(in_array) X(array_search)         \
    X(array_merge) X(range) X(array_key_exists) X(array_reverse)               \
    X(array_slice) X(array_flip) X(array_sum) X(array_unique) X(array_fill)    \
    X(array_pad) X(array_map) X(array_filter)                                  \
    /* callbacks */                                                            \
    X(call_user_func) X(call_user_func_array)                                  \
    /* types */                                                                \
    X(is_array) X(is_string) X(is_int) X(is_float) X(is_null) X(is_bool)       \
    X(is_object) X(is_resource) X(is_numeric) X(is_scalar) X(gettype)          \
    X(intval) X(floatval) X(strval)                                            \
    /* inspection */                                                           \
    X(var_dump) X(print_r) X(var_export)                                       \
    /* time */                                                                 \
    X(date) X(gmdate) X(time) X(microtime) X(mktime) X(checkdate) X(sleep)     \
    X(usleep)                                                                  \
    /* files */                                                                \
    X(file_exists) X(is_file) X(is_dir) X(is_link) X(is_readable)              \
    X(is_writable) X(filemtime) X(filectime) X(fileatime) X(filesize)          \
    X(fileperms) X(unlink) X(rmdir) X(clearstatcache) X(file_get_contents)     \
    X(file) X(file_put_contents) X(touch) X(chmod) X(mkdir) X(symlink)         \
    X(rename) X(realpath) X(getcwd) X(chdir) X(basename) X(dirname)            \
    /* cookies, processes and the engine's counters (head.cpp, posix.cpp) */   \
    X(setcookie) X(posix_getpid) X(posix_kill) X(zend_compilations)            \
    /* output */                                                               \
    X(header) X(headers_sent) X(ob_start) X(ob_get_contents) X(ob_get_length)  \
    X(ob_get_level) X(ob_end_clean) X(ob_end_flush) X(ob_clean) X(ob_get_clean) \
    X(flush)

/* Functions registered under a second name: X(alias, handler). */
#define BRISKO_BUILTIN_ALIASES(X) X(join, implode) X(htmlentities, htmlspecialchars)     \
    X(mt_getrandmax, getrandmax)                                               \
    X(sizeof, count) X(key_exists, array_key_exists) X(is_integer, is_int)     \
    X(is_long, is_int) X(is_double, is_float) X(is_real, is_float)           \
    X(doubleval, floatval) X(is_writeable, is_writable)

/* Functions whose first argument is passed by reference: X(name). */
#define BRISKO_BUILTIN_BYREF_FIRST(X)                                          \
    X(array_push) X(array_pop) X(array_shift) X(sort) X(rsort) X(asort)        \
    X(arsort) X(ksort) X(krsort) X(settype) X(array_unshift) X(usort)         \
    X(uasort) X(uksort)

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

/* ASCII lower case, as function and class tables key their names. */
std::string lowercase(std::string s);

/* Text a value converts to, without touching the value. */
std::string to_string(const zval *z);
long to_long(const zval *z);
double to_double(const zval *z);

/* Formats a double the way the engine prints one (%.14G by default). */
std::string format_double(double d, int precision = 14);

/* values.cpp: reading and making values. */

/* IS_LONG or IS_DOUBLE (filling the out-parameters) when the whole text is
 * a number with optional leading blanks, else 0. */
int numeric_string(const char *s, std::size_t len, long *lval, double *dval);

/* The engine's loose comparison: -1, 0, 1. Numeric strings compare as
 * numbers, null and false as the empty or zero value of the other side. */
int compare_values(const zval *a, const zval *b);
bool loose_equal(const zval *a, const zval *b);
bool strict_equal(const zval *a, const zval *b);

/* A fresh request-memory record holding a copy of src (reference count 1). */
zval *copy_of(const zval *src);
zval *new_long(long v);
zval *new_string(const std::string &s);

/* Stores value (whose reference the table takes over) in an array. */
void array_put(HashTable *ht, const std::string &key, zval *value);
void array_put(HashTable *ht, ulong index, zval *value);
void array_append(HashTable *ht, zval *value);

/* One element of a table, as walked in insertion order. */
struct element {
    bool string_key;
    std::string key; /* string keys, without the NUL */
    ulong index;     /* integer keys */
    zval **data;
};
std::vector<element> elements(HashTable *ht);

/* The value of a key as text: "name" or "3". */
std::string key_text(const element &e);

/* Rounds half away from zero at the given number of decimal places, with
 * the engine's small fuzz so that 0.285 (stored as 0.28499999...) rounds to
 * 0.29 as people expect. */
double round_to(double value, long places);

/* format.cpp: the formatter behind sprintf and printf. args are the
 * values for the conversions. false, with a warning raised, when the
 * format asks for more values than there are. */
bool format_string(const std::string &format, const std::vector<zval **> &args, std::string &out);

/* inspect.cpp: the texts var_dump and print_r print for a value. */
std::string var_dump_text(const zval *z);
std::string print_r_text(const zval *z);

/* time.cpp: date()'s text for a format and a timestamp. */
std::string date_text(const std::string &format, long timestamp, bool local);

/* output.cpp: output buffer levels, dropped at request start. */
void reset_request_output_state();

/* Result helpers. */
void return_string(zval *return_value, const std::string &s);

} // namespace zend::builtins

#endif
