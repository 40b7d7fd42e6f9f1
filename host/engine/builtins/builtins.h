/* The built-in functions of the "standard" module: one list from which the
 * handler declarations and the module's function table are both made, so
 * a function cannot be declared and forgotten in the table. */
#ifndef BRISKO_BUILTINS_H
#define BRISKO_BUILTINS_H

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "args.h"
#include "php.h"

/* X(name) for every handler zif_name; the order is the table's order. */
#define BRISKO_BUILTIN_LIST(X)                                                 \
    /* constants, errors, configuration */                                     \
    X(define) X(defined) X(constant) X(error_reporting) X(ini_set)             \
    X(ini_get) X(set_include_path) X(get_include_path) X(ini_restore)          \
    X(set_time_limit)                                                          \
    /* inspection of the function and class tables */                          \
    X(function_exists) X(class_exists) X(method_exists) X(phpinfo)             \
    X(get_defined_functions) X(get_included_files)                            \
    X(func_num_args) X(func_get_args) X(func_get_arg) X(get_class)            \
    X(get_parent_class) X(get_object_vars) X(get_class_methods) X(compact)            \
    X(get_defined_vars)                                                         \
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
    X(call_user_func) X(call_user_func_array) X(create_function)               \
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
    X(is_executable) X(fileinode) X(fileowner) X(filegroup) X(filetype)       \
    X(stat) X(lstat)                                                          \
    X(is_writable) X(filemtime) X(filectime) X(fileatime) X(filesize)          \
    X(fileperms) X(unlink) X(rmdir) X(clearstatcache) X(file_get_contents)     \
    X(file) X(file_put_contents) X(touch) X(chmod) X(mkdir) X(symlink)         \
    X(rename) X(realpath) X(getcwd) X(chdir) X(basename) X(dirname)            \
    X(is_uploaded_file) X(move_uploaded_file) X(parse_ini_file)                \
    /* owners, disks and the running page (owners.cpp) */                      \
    X(getlastmod) X(getmyuid) X(getmygid) X(getmyinode) X(get_current_user)    \
    X(chown) X(chgrp) X(disk_free_space) X(diskfreespace) X(disk_total_space)  \
    X(fnmatch) X(strcoll) X(pack) X(unpack)                                    \
    /* cookies, processes and the engine's counters (head.cpp, posix.cpp) */   \
    X(setcookie) X(posix_getpid) X(posix_kill) X(zend_compilations)            \
    /* output */                                                               \
    X(header) X(headers_sent) X(ob_start) X(ob_get_contents) X(ob_get_length)  \
    X(ob_get_level) X(ob_end_clean) X(ob_end_flush) X(ob_clean) X(ob_get_clean) \
    X(flush) X(ob_flush) X(ob_get_flush) X(ob_list_handlers) X(ob_implicit_flush) \
    /* file handles and directories */                                         \
    X(fopen) X(tmpfile) X(fclose) X(feof) X(fgets) X(fgetc) X(fread) X(fwrite)  \
    X(fflush) X(ftell) X(fseek) X(rewind) X(fpassthru) X(fstat) X(fgetcsv)      \
    X(ftruncate)                                                               \
    X(opendir) X(readdir) X(rewinddir) X(closedir) X(copy) X(readfile)          \
    X(tempnam) X(pathinfo) X(get_resource_type)                                 \
    /* errors and the request's end */                                         \
    X(set_error_handler) X(restore_error_handler) X(trigger_error) X(error_log) \
    X(register_shutdown_function)                                              \
    /* classes and the process */                                              \
    X(is_a) X(is_subclass_of) X(get_class_vars) X(getenv) X(putenv)            \
    X(php_uname) X(getmypid) X(memory_get_usage) X(get_magic_quotes_gpc)       \
    X(get_magic_quotes_runtime)                                                \
    /* strings: formatting */                                                  \
    X(vsprintf) X(vprintf)                                                     \
    /* strings: digests, encodings, HTML */                                    \
    X(md5) X(sha1) X(crc32) X(md5_file) X(sha1_file) X(base64_encode)          \
    X(base64_decode) X(bin2hex) X(utf8_encode) X(utf8_decode) X(quotemeta)     \
    X(addcslashes) X(stripcslashes) X(chunk_split) X(htmlentities)             \
    X(html_entity_decode) X(get_html_translation_table) X(strip_tags)         \
    /* strings: search, comparison, measures */                                \
    X(stristr) X(strrchr) X(strncasecmp) X(levenshtein) X(soundex)             \
    X(metaphone) X(str_word_count) X(count_chars)                              \
    /* strings: URLs, versions, unique ids */                                  \
    X(parse_url) X(version_compare) X(uniqid)

/* Everyday functions of the standard module beside the ones above: number
 * bases, logarithms and trigonometry (math_more.cpp), dates (time_parts.cpp),
 * spans, ctype tests, addresses, key case, declared classes
 * (string_more.cpp): X(name). */
#define BRISKO_BUILTIN_EVERYDAY(X)                                             \
    X(bindec) X(octdec) X(decbin) X(decoct) X(base_convert) X(exp) X(log)      \
    X(log10) X(sin) X(cos) X(tan) X(asin) X(acos) X(atan) X(atan2) X(hypot)    \
    X(deg2rad) X(rad2deg) X(is_nan) X(is_finite) X(is_infinite) X(lcg_value)   \
    X(getdate) X(localtime) X(gmmktime) X(strftime) X(gmstrftime)              \
    X(strtotime) X(strspn) X(strcspn) X(str_rot13) X(ctype_alnum)              \
    X(ctype_alpha) X(ctype_cntrl) X(ctype_digit) X(ctype_graph)                \
    X(ctype_lower) X(ctype_print) X(ctype_punct) X(ctype_space)                \
    X(ctype_upper) X(ctype_xdigit) X(ip2long) X(long2ip)                       \
    X(array_change_key_case) X(get_declared_classes)                          \
    /* runtime_more.cpp */                                                     \
    X(setlocale) X(localeconv) X(set_magic_quotes_runtime) X(extension_loaded) \
    X(get_loaded_extensions) X(connection_status) X(connection_aborted)        \
    X(ignore_user_abort) X(escapeshellarg)                                     \
    X(escapeshellcmd) X(gettimeofday)

/* More of what PHP 4.3 sites use: directories (dir.cpp), networking and
 * mail (net.cpp), constants listed (misc.cpp), hashing and decoding
 * (crypt.cpp, encode.cpp), highlighting (highlight.cpp), the call stack
 * (backtrace.cpp): X(name). */
#define BRISKO_BUILTIN_SITE(X)                                                 \
    X(dir) X(glob) X(umask) X(get_defined_constants) X(crypt)                 \
    X(quoted_printable_decode) X(gethostbyname) X(gethostbynamel)              \
    X(gethostbyaddr) X(mail) X(highlight_string) X(highlight_file)             \
    X(debug_backtrace)

/* Functions registered under a second name: X(alias, handler). */
#define BRISKO_BUILTIN_ALIASES(X)                                              \
    X(join, implode) X(mt_getrandmax, getrandmax)                              \
    X(get_required_files, get_included_files)                                 \
    X(sizeof, count) X(key_exists, array_key_exists) X(is_integer, is_int)     \
    X(is_long, is_int) X(is_double, is_float) X(is_real, is_float)           \
    X(doubleval, floatval) X(is_writeable, is_writable)                         \
    X(fputs, fwrite) X(user_error, trigger_error) X(strchr, strstr)            \
    X(chop, rtrim) X(ini_alter, ini_set) X(show_source, highlight_file)

/* Functions whose first argument is passed by reference: X(name). */
#define BRISKO_BUILTIN_BYREF_FIRST(X)                                          \
    X(array_push) X(array_pop) X(array_shift) X(sort) X(rsort) X(asort)        \
    X(arsort) X(ksort) X(krsort) X(settype) X(array_unshift) X(usort)         \
    X(uasort) X(uksort)                                                        \
    /* the internal pointer */                                                 \
    X(each) X(current) X(pos) X(key) X(next) X(prev) X(reset) X(end)

/* Regular expressions, serialization, more arrays, sessions: X(name). */
#define BRISKO_BUILTIN_LIBRARY(X)                                              \
    X(preg_replace) X(preg_replace_callback) X(preg_split) X(preg_quote)       \
    X(preg_grep) X(ereg_replace) X(eregi_replace) X(split) X(spliti)           \
    X(sql_regcase) X(strnatcmp) X(strnatcasecmp) X(serialize) X(unserialize)  \
    X(array_diff) X(array_diff_assoc) X(array_intersect)                       \
    X(array_intersect_assoc) X(array_merge_recursive) X(array_reduce)          \
    X(array_rand) X(array_count_values) X(array_chunk) X(session_start)        \
    X(session_id) X(session_name) X(session_save_path) X(session_destroy)      \
    X(session_write_close) X(session_unset) X(session_regenerate_id)           \
    X(session_encode) X(session_decode) X(session_cache_limiter)               \
    X(session_get_cookie_params) X(session_set_cookie_params)                  \
    X(session_register) X(session_unregister) X(session_is_registered)

/* Library functions whose first argument is passed by reference. */
#define BRISKO_BUILTIN_LIBRARY_BYREF_FIRST(X)                                  \
    X(array_splice) X(array_walk) X(shuffle) X(natsort) X(natcasesort)

/* Functions whose third argument is passed by reference. */
#define BRISKO_BUILTIN_BYREF_THIRD(X) X(preg_match) X(preg_match_all) X(ereg) X(eregi)

/* Functions whose every argument is passed by reference when it is a
 * variable, by value otherwise (a sort flag). */
#define BRISKO_BUILTIN_BYREF_ALL(X) X(array_multisort)

/* Functions with other by-reference parameters: X(name, arg_types), the
 * arg_types array named as module.cpp defines it. */
#define BRISKO_BUILTIN_BYREF_OTHER(X)                                          \
    X(flock, third_arg_force_ref) X(is_callable, third_arg_force_ref)          \
    X(similar_text, third_arg_force_ref) X(sscanf, third_and_rest_force_ref)   \
    X(fscanf, third_and_rest_force_ref)                                        \
    X(parse_str, second_arg_force_ref) X(call_user_method, second_arg_force_ref)   \
    X(call_user_method_array, second_arg_force_ref)

#define BRISKO_DECLARE_BUILTIN(name) ZEND_FUNCTION(name);
#define BRISKO_DECLARE_BUILTIN_TYPED(name, types) ZEND_FUNCTION(name);
BRISKO_BUILTIN_LIST(BRISKO_DECLARE_BUILTIN)
BRISKO_BUILTIN_EVERYDAY(BRISKO_DECLARE_BUILTIN)
BRISKO_BUILTIN_SITE(BRISKO_DECLARE_BUILTIN)
BRISKO_BUILTIN_BYREF_FIRST(BRISKO_DECLARE_BUILTIN)
BRISKO_BUILTIN_LIBRARY(BRISKO_DECLARE_BUILTIN)
BRISKO_BUILTIN_LIBRARY_BYREF_FIRST(BRISKO_DECLARE_BUILTIN)
BRISKO_BUILTIN_BYREF_THIRD(BRISKO_DECLARE_BUILTIN)
BRISKO_BUILTIN_BYREF_ALL(BRISKO_DECLARE_BUILTIN)
BRISKO_BUILTIN_BYREF_OTHER(BRISKO_DECLARE_BUILTIN_TYPED)
#undef BRISKO_DECLARE_BUILTIN
#undef BRISKO_DECLARE_BUILTIN_TYPED

namespace zend::builtins {

/* Helpers shared by the built-in files; their arguments come through
 * parse_args (args.h). */


/* ASCII lower case, as function and class tables key their names. */
std::string lowercase(std::string s);

/* Text a value converts to, without touching the value. */
std::string to_string(const zval *z);
long to_long(const zval *z);
double to_double(const zval *z);

/* Formats a double the way the engine prints one: %G with the precision
 * setting's digits, or with the digits given. */
std::string format_double(double d, int precision = -1);

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
zval *new_string(std::string_view s);

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

/* misc.cpp: settings by name, as ini_set changes them; the module brackets
 * each request so that the next one starts from the same settings. */
void change_setting(const std::string &name, const std::string &value);
void begin_request_settings();
void end_request_settings();

/* process.cpp: puts back the environment variables putenv changed. */
void restore_environment();

/* escape.cpp: ', ", \ and NUL with a backslash before them, as
 * addslashes() gives them. */
std::string add_slashes(std::string_view s);

/* Result helpers. */
void return_string(zval *return_value, std::string_view s);

/* natsort_cmp.cpp: natural-order comparison of two byte strings, < 0, 0
 * or > 0 (the length difference when one of them is empty). */
int natural_compare(const char *a, std::size_t a_length, const char *b, std::size_t b_length, bool fold_case);

/* math.cpp: the generator behind rand() and mt_rand(), which srand()
 * seeds; array_rand and shuffle draw from it too. */
std::mt19937 &random_generator();

/* Constants and request hooks of the library functions, called by the
 * module's start-up and request hooks. */
void register_library_constants();
void session_request_startup();
void session_request_shutdown();
/* dir.cpp: the Directory class (at start-up), and the process's mask put
 * back at request end. */
void register_directory_class();
void restore_umask();
/* crypt.cpp: CRYPT_SALT_LENGTH and the CRYPT_* methods. */
void register_crypt_constants(void (*constant)(const char *name, long value));
/* misc.cpp: registers a constant and notes its name, for
 * get_defined_constants(); false when the name is taken. The names of the
 * request's constants are forgotten at its end, when the constants go. */
bool define_constant(std::string_view name, const zval *value, bool case_insensitive, bool persistent);
void forget_request_constants();
void forget_all_constants(); /* at start-up: an engine started again starts afresh */
std::size_t noted_constant_names();
/* errorfn.cpp: warnings in the library's form, "name(): message", or
 * "name(params): message" (with HTML errors, the name links to its manual
 * page). The message is formatted first and shown as it is. */
void function_error(int type, const char *format, ...) __attribute__((format(printf, 2, 3)));
void function_error_with(const std::string &params, int type, const char *format, ...)
    __attribute__((format(printf, 3, 4)));

} // namespace zend::builtins

#endif
