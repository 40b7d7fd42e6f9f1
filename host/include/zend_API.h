/* What internal functions use: parameters, results, arrays. */
#ifndef ZEND_API_H
#define ZEND_API_H

#include <string.h>
#include "zend.h"
#include "zend_alloc.h"
#include "zend_compile.h"
#include "zend_globals.h"
#include "zend_modules.h"
#include "zend_operators.h"

#define ZEND_FN(name) zif_##name
#define ZEND_NAMED_FUNCTION(name) void name(INTERNAL_FUNCTION_PARAMETERS)
#define ZEND_FUNCTION(name) ZEND_NAMED_FUNCTION(ZEND_FN(name))
#define ZEND_FE(name, arg_types) {#name, ZEND_FN(name), arg_types},
#define ZEND_NUM_ARGS() (ht)
#define WRONG_PARAM_COUNT                                                      \
    {                                                                          \
        zend_wrong_param_count();                                              \
        return;                                                                \
    }

#define ZEND_MODULE_STARTUP_N(module) zm_startup_##module
#define ZEND_MODULE_SHUTDOWN_N(module) zm_shutdown_##module
#define ZEND_MODULE_ACTIVATE_N(module) zm_activate_##module
#define ZEND_MODULE_DEACTIVATE_N(module) zm_deactivate_##module
#define ZEND_MODULE_INFO_N(module) zm_info_##module

BEGIN_EXTERN_C()

/* Fetches the current call's arguments into zval** slots. FAILURE when the
 * call has fewer than param_count arguments. */
ZEND_API int zend_get_parameters_ex(int param_count, ...);
ZEND_API int zend_get_parameters_array_ex(int param_count, zval ***argument_array);
/* Warns "Wrong parameter count for NAME()". */
ZEND_API void zend_wrong_param_count(void);
ZEND_API const char *get_active_function_name(void);

ZEND_API int _array_init(zval *arg);
ZEND_API int add_next_index_long(zval *arg, long n);
ZEND_API int add_next_index_stringl(zval *arg, const char *str, uint length, int duplicate);
ZEND_API int add_assoc_long(zval *arg, const char *key, long n);
ZEND_API int add_assoc_stringl(zval *arg, const char *key, const char *str, uint length, int duplicate);
ZEND_API int add_assoc_zval(zval *arg, const char *key, zval *value);
ZEND_API int add_next_index_string(zval *arg, const char *str, int duplicate);
ZEND_API int add_next_index_double(zval *arg, double d);
ZEND_API int add_next_index_bool(zval *arg, int b);
ZEND_API int add_next_index_null(zval *arg);
ZEND_API int add_next_index_zval(zval *arg, zval *value);
ZEND_API int add_index_long(zval *arg, ulong index, long n);
ZEND_API int add_index_stringl(zval *arg, ulong index, const char *str, uint length, int duplicate);
ZEND_API int add_index_zval(zval *arg, ulong index, zval *value);
ZEND_API int add_assoc_double(zval *arg, const char *key, double d);
ZEND_API int add_assoc_bool(zval *arg, const char *key, int b);
ZEND_API int add_assoc_null(zval *arg, const char *key);
ZEND_API int add_assoc_string(zval *arg, const char *key, const char *str, int duplicate);

END_EXTERN_C()

#define array_init(arg) _array_init(arg)

#define RETVAL_NULL() (return_value->type = IS_NULL)
#define RETVAL_LONG(l) (return_value->type = IS_LONG, return_value->value.lval = (l))
#define RETVAL_BOOL(b) (return_value->type = IS_BOOL, return_value->value.lval = ((b) != 0))
#define RETVAL_DOUBLE(d) (return_value->type = IS_DOUBLE, return_value->value.dval = (d))
#define RETVAL_STRINGL(s, l, duplicate)                                        \
    do {                                                                       \
        const char *__s = (s);                                                 \
        uint __l = (l);                                                        \
        return_value->type = IS_STRING;                                        \
        return_value->value.str.len = __l;                                     \
        return_value->value.str.val = (duplicate) ? estrndup(__s, __l) : (char *)__s; \
    } while (0)
#define RETVAL_STRING(s, duplicate) RETVAL_STRINGL((s), strlen(s), (duplicate))
#define RETVAL_TRUE RETVAL_BOOL(1)
#define RETVAL_FALSE RETVAL_BOOL(0)

#define RETURN_NULL() { RETVAL_NULL(); return; }
#define RETURN_LONG(l) { RETVAL_LONG(l); return; }
#define RETURN_BOOL(b) { RETVAL_BOOL(b); return; }
#define RETURN_DOUBLE(d) { RETVAL_DOUBLE(d); return; }
#define RETURN_STRINGL(s, l, dup) { RETVAL_STRINGL(s, l, dup); return; }
#define RETURN_STRING(s, dup) { RETVAL_STRING(s, dup); return; }
#define RETURN_TRUE { RETVAL_TRUE; return; }
#define RETURN_FALSE { RETVAL_FALSE; return; }

#endif
