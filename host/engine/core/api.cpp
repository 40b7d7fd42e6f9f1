/* What internal functions use: their arguments, arrays, and the globals
 * every part of the engine shares. */
#include <cstdarg>
#include <cstring>

#include "engine.h"

extern "C" {

ZEND_API zend_compiler_globals compiler_globals = {};
ZEND_API zend_executor_globals executor_globals = {};
ZEND_API sapi_module_struct sapi_module = {"cli", "Command Line Interface"};

/* Shared by every empty string value; never freed. */
static char empty_string_storage[1] = {'\0'};
ZEND_API char *empty_string = empty_string_storage;

} // extern "C"

namespace zend {
internal_call current_call;
} // namespace zend

using zend::current_call;

namespace {

zval *new_value() {
    zval *z;
    ALLOC_ZVAL(z);
    INIT_PZVAL(z);
    return z;
}

zval *new_string(const char *str, uint length, int duplicate) {
    zval *z = new_value();
    z->type = IS_STRING;
    z->value.str.len = (int)length;
    z->value.str.val = duplicate ? estrndup(str, length) : (char *)str;
    return z;
}

int add_next(zval *arg, zval *value) {
    if (arg->type != IS_ARRAY) {
        _zval_ptr_dtor(&value);
        return FAILURE;
    }
    return zend_hash_next_index_insert(arg->value.ht, &value, sizeof(zval *), nullptr);
}

int add_index(zval *arg, ulong index, zval *value) {
    if (arg->type != IS_ARRAY) {
        _zval_ptr_dtor(&value);
        return FAILURE;
    }
    return zend_hash_index_update(arg->value.ht, index, &value, sizeof(zval *), nullptr);
}

int add_assoc(zval *arg, const char *key, zval *value) {
    if (arg->type != IS_ARRAY || !key) {
        _zval_ptr_dtor(&value);
        return FAILURE;
    }
    return zend_hash_update(arg->value.ht, key, (uint)std::strlen(key) + 1, &value, sizeof(zval *), nullptr);
}

} // namespace

extern "C" {

ZEND_API int zend_get_parameters_ex(int param_count, ...) {
    if (param_count < 0 || param_count > current_call.count || !current_call.args) return FAILURE;
    va_list slots;
    va_start(slots, param_count);
    for (int i = 0; i < param_count; i++) {
        zval ***slot = va_arg(slots, zval ***);
        *slot = &current_call.args[i];
    }
    va_end(slots);
    return SUCCESS;
}

ZEND_API int zend_get_parameters_array_ex(int param_count, zval ***argument_array) {
    if (param_count < 0 || param_count > current_call.count || (param_count && !current_call.args)) return FAILURE;
    for (int i = 0; i < param_count; i++) argument_array[i] = &current_call.args[i];
    return SUCCESS;
}

ZEND_API const char *get_active_function_name(void) {
    return current_call.function_name ? current_call.function_name : "main";
}

ZEND_API void zend_wrong_param_count(void) {
    zend_error(E_WARNING, "Wrong parameter count for %s()", get_active_function_name());
}

ZEND_API int _array_init(zval *arg) {
    HashTable *ht;
    ALLOC_HASHTABLE(ht);
    zend_hash_init(ht, 0, nullptr, (dtor_func_t)_zval_ptr_dtor, 0);
    arg->type = IS_ARRAY;
    arg->value.ht = ht;
    return SUCCESS;
}

ZEND_API int add_next_index_long(zval *arg, long n) {
    zval *z = new_value();
    z->type = IS_LONG;
    z->value.lval = n;
    return add_next(arg, z);
}

ZEND_API int add_next_index_stringl(zval *arg, const char *str, uint length, int duplicate) {
    return add_next(arg, new_string(str, length, duplicate));
}

ZEND_API int add_next_index_string(zval *arg, const char *str, int duplicate) {
    return add_next(arg, new_string(str, (uint)std::strlen(str), duplicate));
}

ZEND_API int add_next_index_double(zval *arg, double d) {
    zval *z = new_value();
    z->type = IS_DOUBLE;
    z->value.dval = d;
    return add_next(arg, z);
}

ZEND_API int add_next_index_bool(zval *arg, int b) {
    zval *z = new_value();
    z->type = IS_BOOL;
    z->value.lval = b ? 1 : 0;
    return add_next(arg, z);
}

ZEND_API int add_next_index_null(zval *arg) {
    zval *z = new_value();
    z->type = IS_NULL;
    return add_next(arg, z);
}

ZEND_API int add_next_index_zval(zval *arg, zval *value) { return add_next(arg, value); }

ZEND_API int add_index_long(zval *arg, ulong index, long n) {
    zval *z = new_value();
    z->type = IS_LONG;
    z->value.lval = n;
    return add_index(arg, index, z);
}

ZEND_API int add_index_stringl(zval *arg, ulong index, const char *str, uint length, int duplicate) {
    return add_index(arg, index, new_string(str, length, duplicate));
}

ZEND_API int add_index_zval(zval *arg, ulong index, zval *value) { return add_index(arg, index, value); }

ZEND_API int add_assoc_long(zval *arg, const char *key, long n) {
    zval *z = new_value();
    z->type = IS_LONG;
    z->value.lval = n;
    return add_assoc(arg, key, z);
}

ZEND_API int add_assoc_double(zval *arg, const char *key, double d) {
    zval *z = new_value();
    z->type = IS_DOUBLE;
    z->value.dval = d;
    return add_assoc(arg, key, z);
}

ZEND_API int add_assoc_bool(zval *arg, const char *key, int b) {
    zval *z = new_value();
    z->type = IS_BOOL;
    z->value.lval = b ? 1 : 0;
    return add_assoc(arg, key, z);
}

ZEND_API int add_assoc_null(zval *arg, const char *key) {
    zval *z = new_value();
    z->type = IS_NULL;
    return add_assoc(arg, key, z);
}

ZEND_API int add_assoc_stringl(zval *arg, const char *key, const char *str, uint length, int duplicate) {
    return add_assoc(arg, key, new_string(str, length, duplicate));
}

ZEND_API int add_assoc_string(zval *arg, const char *key, const char *str, int duplicate) {
    return add_assoc(arg, key, new_string(str, (uint)std::strlen(str), duplicate));
}

ZEND_API int add_assoc_zval(zval *arg, const char *key, zval *value) { return add_assoc(arg, key, value); }

} // extern "C"

namespace zend {

int argument_passing(const zend_uchar *arg_types, int index) {
    if (!arg_types || index < 0) return BYREF_NONE;
    int count = arg_types[0];
    int kind = index < count ? arg_types[index + 1] : count > 0 ? arg_types[count] : BYREF_NONE;
    if (index >= count && kind != BYREF_FORCE_REST && kind != BYREF_ALLOW_REST) return BYREF_NONE;
    if (kind == BYREF_FORCE || kind == BYREF_FORCE_REST) return BYREF_FORCE;
    if (kind == BYREF_ALLOW || kind == BYREF_ALLOW_REST) return BYREF_ALLOW;
    return BYREF_NONE;
}

} // namespace zend
