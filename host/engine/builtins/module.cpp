/* The "standard" module: the built-in functions and constants, registered
 * by the engine at start-up like any other module. */
#include <fnmatch.h>
#include <glob.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "builtins.h"
#include "engine.h"

namespace {

/* arg_types: which parameters are forced by reference. */
unsigned char first_arg_force_ref[] = {1, BYREF_FORCE};
unsigned char second_arg_force_ref[] = {2, BYREF_NONE, BYREF_FORCE};
unsigned char third_arg_force_ref[] = {3, BYREF_NONE, BYREF_NONE, BYREF_FORCE};
unsigned char third_and_rest_force_ref[] = {3, BYREF_NONE, BYREF_NONE, BYREF_FORCE_REST};
unsigned char all_args_allow_ref[] = {1, BYREF_ALLOW_REST};

#define BRISKO_ENTRY(name) {#name, ZEND_FN(name), nullptr},
#define BRISKO_ALIAS(alias, name) {#alias, ZEND_FN(name), nullptr},
#define BRISKO_BYREF(name) {#name, ZEND_FN(name), first_arg_force_ref},
#define BRISKO_BYREF_THIRD(name) {#name, ZEND_FN(name), third_arg_force_ref},
#define BRISKO_BYREF_ALL(name) {#name, ZEND_FN(name), all_args_allow_ref},
#define BRISKO_BYREF_TYPED(name, types) {#name, ZEND_FN(name), types},

zend_function_entry builtin_functions[] = {
    BRISKO_BUILTIN_LIST(BRISKO_ENTRY)
    BRISKO_BUILTIN_EVERYDAY(BRISKO_ENTRY)
    BRISKO_BUILTIN_SITE(BRISKO_ENTRY)
    BRISKO_BUILTIN_ALIASES(BRISKO_ALIAS)
    BRISKO_BUILTIN_BYREF_FIRST(BRISKO_BYREF)
    BRISKO_BUILTIN_LIBRARY(BRISKO_ENTRY)
    BRISKO_BUILTIN_LIBRARY_BYREF_FIRST(BRISKO_BYREF)
    BRISKO_BUILTIN_BYREF_THIRD(BRISKO_BYREF_THIRD)
    BRISKO_BUILTIN_BYREF_ALL(BRISKO_BYREF_ALL)
    BRISKO_BUILTIN_BYREF_OTHER(BRISKO_BYREF_TYPED)
    {nullptr, nullptr, nullptr},
};

#undef BRISKO_ENTRY
#undef BRISKO_ALIAS
#undef BRISKO_BYREF
#undef BRISKO_BYREF_THIRD
#undef BRISKO_BYREF_ALL
#undef BRISKO_BYREF_TYPED

void constant_long(const char *name, long value)
{
    zval z;
    z.type = IS_LONG;
    z.value.lval = value;
    INIT_PZVAL(&z);
    zend::builtins::define_constant(name, &z, false, true);
}

void constant_double(const char *name, double value)
{
    zval z;
    z.type = IS_DOUBLE;
    z.value.dval = value;
    INIT_PZVAL(&z);
    zend::builtins::define_constant(name, &z, false, true);
}

void constant_bool(const char *name, bool value, bool case_insensitive)
{
    zval z;
    z.type = IS_BOOL;
    z.value.lval = value;
    INIT_PZVAL(&z);
    zend::builtins::define_constant(name, &z, case_insensitive, true);
}

void constant_null(const char *name)
{
    zval z;
    z.type = IS_NULL;
    z.value.lval = 0;
    INIT_PZVAL(&z);
    zend::builtins::define_constant(name, &z, true, true);
}

/* register_constant copies the value, so the text may stay static. */
void constant_string(const char *name, const char *value)
{
    zval z;
    z.type = IS_STRING;
    z.value.str.val = const_cast<char *>(value);
    z.value.str.len = static_cast<int>(std::strlen(value));
    INIT_PZVAL(&z);
    zend::builtins::define_constant(name, &z, false, true);
}

int builtin_startup(INIT_FUNC_ARGS)
{
    zend::builtins::forget_all_constants();
    constant_long("E_ERROR", E_ERROR);
    constant_long("E_WARNING", E_WARNING);
    constant_long("E_PARSE", E_PARSE);
    constant_long("E_NOTICE", E_NOTICE);
    constant_long("E_CORE_ERROR", E_CORE_ERROR);
    constant_long("E_CORE_WARNING", E_CORE_WARNING);
    constant_long("E_COMPILE_ERROR", E_COMPILE_ERROR);
    constant_long("E_COMPILE_WARNING", E_COMPILE_WARNING);
    constant_long("E_USER_ERROR", E_USER_ERROR);
    constant_long("E_USER_WARNING", E_USER_WARNING);
    constant_long("E_USER_NOTICE", E_USER_NOTICE);
    constant_long("E_ALL", E_ALL);
    constant_bool("TRUE", true, true);
    constant_bool("FALSE", false, true);
    constant_bool("ZEND_THREAD_SAFE", false, false);
    constant_null("NULL");
    constant_string("PHP_VERSION", PHP_VERSION);
    constant_string("PHP_OS", "Linux");
    constant_string("PHP_EOL", "\n");
    constant_string("ZEND_VERSION", ZEND_VERSION);
    constant_long("PHP_INT_MAX", LONG_MAX);
    constant_long("PHP_INT_SIZE", static_cast<long>(sizeof(long)));
    constant_string("DIRECTORY_SEPARATOR", "/");
    constant_string("PATH_SEPARATOR", ":");
    constant_double("M_PI", M_PI);
    constant_double("M_E", M_E);
    constant_double("M_SQRT2", M_SQRT2);
    constant_long("SORT_REGULAR", 0);
    constant_long("SORT_NUMERIC", 1);
    constant_long("SORT_STRING", 2);
    constant_long("COUNT_RECURSIVE", 1);
    constant_long("STR_PAD_LEFT", 0);
    constant_long("STR_PAD_RIGHT", 1);
    constant_long("STR_PAD_BOTH", 2);
    constant_long("ENT_COMPAT", 2);
    constant_long("ENT_QUOTES", 3);
    constant_long("ENT_NOQUOTES", 0);
    constant_long("HTML_SPECIALCHARS", 0);
    constant_long("HTML_ENTITIES", 1);
    constant_long("LOCK_SH", 1);
    constant_long("LOCK_EX", 2);
    constant_long("LOCK_UN", 3);
    constant_long("LOCK_NB", 4);
    constant_long("SEEK_SET", SEEK_SET);
    constant_long("SEEK_CUR", SEEK_CUR);
    constant_long("SEEK_END", SEEK_END);
    constant_long("PATHINFO_DIRNAME", 1);
    constant_long("PATHINFO_BASENAME", 2);
    constant_long("PATHINFO_EXTENSION", 4);
    constant_long("PHP_OUTPUT_HANDLER_START", zend::OUTPUT_HANDLER_START);
    constant_long("PHP_OUTPUT_HANDLER_CONT", zend::OUTPUT_HANDLER_CONT);
    constant_long("PHP_OUTPUT_HANDLER_END", zend::OUTPUT_HANDLER_END);
    constant_long("FILE_APPEND", 8);
    constant_long("EXTR_OVERWRITE", 0);
    constant_long("EXTR_SKIP", 1);
    constant_long("CASE_LOWER", 0);
    constant_long("CASE_UPPER", 1);
    constant_long("LC_CTYPE", LC_CTYPE);
    constant_long("LC_NUMERIC", LC_NUMERIC);
    constant_long("LC_TIME", LC_TIME);
    constant_long("LC_COLLATE", LC_COLLATE);
    constant_long("LC_MONETARY", LC_MONETARY);
    constant_long("LC_MESSAGES", LC_MESSAGES);
    constant_long("LC_ALL", LC_ALL);
    constant_long("CONNECTION_NORMAL", 0);
    constant_long("CONNECTION_ABORTED", 1);
    constant_long("CONNECTION_TIMEOUT", 2);
    constant_long("UPLOAD_ERR_OK", 0);
    constant_long("UPLOAD_ERR_INI_SIZE", 1);
    constant_long("UPLOAD_ERR_FORM_SIZE", 2);
    constant_long("UPLOAD_ERR_PARTIAL", 3);
    constant_long("UPLOAD_ERR_NO_FILE", 4);
    constant_long("UPLOAD_ERR_NO_TMP_DIR", 6);
    constant_long("FNM_NOESCAPE", FNM_NOESCAPE);
    constant_long("FNM_PATHNAME", FNM_PATHNAME);
    constant_long("FNM_PERIOD", FNM_PERIOD);
    constant_long("FNM_CASEFOLD", FNM_CASEFOLD);
    zend::builtins::register_library_constants();
    constant_long("GLOB_BRACE", GLOB_BRACE);
    constant_long("GLOB_MARK", GLOB_MARK);
    constant_long("GLOB_NOSORT", GLOB_NOSORT);
    constant_long("GLOB_NOCHECK", GLOB_NOCHECK);
    constant_long("GLOB_NOESCAPE", GLOB_NOESCAPE);
    constant_long("GLOB_ONLYDIR", GLOB_ONLYDIR);
    zend::builtins::register_crypt_constants(constant_long);
    zend::builtins::register_directory_class();
    return SUCCESS;
}

int builtin_request_startup(INIT_FUNC_ARGS)
{
    zend::builtins::begin_request_settings();
    zend::builtins::session_request_startup();
    return SUCCESS;
}

/* The session is written back before the request's settings are put
 * back: its folder and name may come from them. */
int builtin_request_shutdown(SHUTDOWN_FUNC_ARGS)
{
    zend::builtins::session_request_shutdown();
    zend::builtins::end_request_settings();
    zend::builtins::restore_environment();
    zend::builtins::restore_umask();
    zend::builtins::forget_request_constants();
    return SUCCESS;
}

zend_module_entry standard_module = {
    STANDARD_MODULE_HEADER,
    "standard",
    builtin_functions,
    builtin_startup,
    nullptr, /* module shut-down: the constants go with the engine */
    builtin_request_startup,
    builtin_request_shutdown,
    nullptr, /* info: phpinfo() prints the module's name */
    PHP_VERSION,
    STANDARD_MODULE_PROPERTIES,
};

} // namespace

zend_module_entry *zend::builtin_module()
{
    return &standard_module;
}
