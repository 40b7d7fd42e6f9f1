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
    zval *value;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &value))
        return;
    RETURN_BOOL(value->type == type);
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
    zval *z;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &z))
        return;
    RETURN_BOOL(z->type == IS_RESOURCE && zend::resource_type_name(z->value.lval) != nullptr);
}

/* get_resource_type(resource): its type's name, "Unknown" once closed. */
ZEND_FUNCTION(get_resource_type)
{
    zval *z;
    args_result got = parse_args(ZEND_NUM_ARGS(), "r;Supplied argument is not a valid resource handle", &z);
    if (!got)
        return got.false_when_refused(return_value);
    const char *name = zend::resource_type_name(z->value.lval);
    RETURN_STRING(name ? name : "Unknown", 1);
}

ZEND_FUNCTION(is_numeric)
{
    zval *z;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &z))
        return;

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
    zval *value;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &value))
        return;
    int t = value->type;
    RETURN_BOOL(t == IS_LONG || t == IS_DOUBLE || t == IS_STRING || t == IS_BOOL);
}

ZEND_FUNCTION(gettype)
{
    zval *value;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &value))
        return;
    const char *name;
    switch (value->type) {
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
    zval *z;
    long base = 10;
    if (!parse_args(ZEND_NUM_ARGS(), "z|l", &z, &base))
        return;
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
    double d;
    if (!parse_args(ZEND_NUM_ARGS(), "d", &d))
        return;
    RETURN_DOUBLE(d);
}

ZEND_FUNCTION(strval)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    return_string(return_value, s);
}

/* settype(&var, type): converts the caller's variable in place. */
ZEND_FUNCTION(settype)
{
    zval **var;
    std::string type;
    if (!parse_args(ZEND_NUM_ARGS(), "Zs", &var, &type))
        return;
    for (char &c : type)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

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
