/* Type tests and conversions. */
#include <cerrno>
#include <cctype>
#include <cstdlib>

#include "builtins.h"
#include "core/resources.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

void type_test(INTERNAL_FUNCTION_PARAMETERS, int type)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    RETURN_BOOL((*args[0])->type == type);
}

} // namespace

ZEND_FUNCTION(is_array) { type_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, IS_ARRAY); }
ZEND_FUNCTION(is_string) { type_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, IS_STRING); }
ZEND_FUNCTION(is_int) { type_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, IS_LONG); }
ZEND_FUNCTION(is_float) { type_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, IS_DOUBLE); }
ZEND_FUNCTION(is_null) { type_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, IS_NULL); }
ZEND_FUNCTION(is_bool) { type_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, IS_BOOL); }
ZEND_FUNCTION(is_object) { type_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, IS_OBJECT); }
/* is_resource: false for a resource that was closed. */
ZEND_FUNCTION(is_resource)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    zval *z = *args[0];
    RETURN_BOOL(z->type == IS_RESOURCE && zend::resource_type_name(z->value.lval) != nullptr);
}

/* get_resource_type(resource): its type's name, "Unknown" once closed. */
ZEND_FUNCTION(get_resource_type)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    zval *z = *args[0];
    if (z->type != IS_RESOURCE) {
        zend_error(E_WARNING, "Supplied argument is not a valid resource handle");
        RETURN_FALSE;
    }
    const char *name = zend::resource_type_name(z->value.lval);
    RETURN_STRING(name ? name : "Unknown", 1);
}

ZEND_FUNCTION(is_numeric)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    zval *z = *args[0];
    switch (z->type) {
    case IS_LONG:
    case IS_DOUBLE:
        RETURN_TRUE;
    case IS_STRING:
        RETURN_BOOL(numeric_string(z->value.str.val, z->value.str.len, nullptr, nullptr) != 0);
    default:
        RETURN_FALSE;
    }
}

ZEND_FUNCTION(is_scalar)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    int t = (*args[0])->type;
    RETURN_BOOL(t == IS_LONG || t == IS_DOUBLE || t == IS_STRING || t == IS_BOOL);
}

ZEND_FUNCTION(gettype)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    const char *name;
    switch ((*args[0])->type) {
    case IS_NULL: name = "NULL"; break;
    case IS_BOOL: name = "boolean"; break;
    case IS_LONG: name = "integer"; break;
    case IS_DOUBLE: name = "double"; break;
    case IS_STRING: name = "string"; break;
    case IS_ARRAY: name = "array"; break;
    case IS_OBJECT: name = "object"; break;
    case IS_RESOURCE: name = "resource"; break;
    default: name = "unknown type";
    }
    RETURN_STRING(name, 1);
}

/* intval(value [, base]): the base applies to strings only. */
ZEND_FUNCTION(intval)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 2, args))
        return;
    zval *z = *args[0];
    long base = args.size() == 2 ? to_long(*args[1]) : 10;
    if (z->type == IS_STRING && base != 10 && base >= 2 && base <= 36) {
        std::string s(z->value.str.val, z->value.str.len);
        errno = 0;
        long v = std::strtol(s.c_str(), nullptr, static_cast<int>(base));
        RETURN_LONG(v);
    }
    RETURN_LONG(to_long(z));
}

ZEND_FUNCTION(floatval)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    RETURN_DOUBLE(to_double(*args[0]));
}

ZEND_FUNCTION(strval)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    return_string(return_value, to_string(*args[0]));
}

/* settype(&var, type): converts the caller's variable in place. */
ZEND_FUNCTION(settype)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 2, 2, args))
        return;
    std::string type = to_string(*args[1]);
    for (char &c : type)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    zval **var = args[0];
    if (type == "integer" || type == "int") {
        convert_to_long_ex(var);
    } else if (type == "float" || type == "double") {
        SEPARATE_ZVAL_IF_NOT_REF(var);
        convert_to_double(*var);
    } else if (type == "string") {
        convert_to_string_ex(var);
    } else if (type == "array") {
        SEPARATE_ZVAL_IF_NOT_REF(var);
        convert_to_array(*var);
    } else if (type == "boolean" || type == "bool") {
        SEPARATE_ZVAL_IF_NOT_REF(var);
        convert_to_boolean(*var);
    } else if (type == "null") {
        SEPARATE_ZVAL_IF_NOT_REF(var);
        convert_to_null(*var);
    } else {
        zend_error(E_WARNING, "settype(): Invalid type");
        RETURN_FALSE;
    }
    RETURN_TRUE;
}
