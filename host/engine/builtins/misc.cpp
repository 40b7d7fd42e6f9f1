/* Built-ins about the engine itself: constants, error reporting,
 * settings, versions, the information page. */
#include <cstring>

#include "builtins.h"
#include "engine.h"

using zend::builtins::fetch_args;
using zend::builtins::lowercase;
using zend::builtins::to_string;

/* define(name, value [, case_insensitive]) */
ZEND_FUNCTION(define)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 2, 3, args))
        return;
    zval *value = *args[1];
    switch (value->type) {
    case IS_LONG:
    case IS_DOUBLE:
    case IS_STRING:
    case IS_BOOL:
    case IS_NULL:
        break;
    default:
        zend_error(E_WARNING, "Constants may only evaluate to scalar values");
        RETURN_FALSE;
    }
    std::string name = to_string(*args[0]);
    bool ci = args.size() == 3 && zend_is_true(*args[2]);
    if (!zend::register_constant(name.data(), name.size(), value, ci, false)) {
        zend_error(E_NOTICE, "Constant %s already defined", name.c_str());
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

ZEND_FUNCTION(defined)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    std::string name = to_string(*args[0]);
    zval tmp;
    if (zend::get_constant(name.c_str(), name.size(), &tmp)) {
        zval_dtor(&tmp);
        RETURN_TRUE;
    }
    RETURN_FALSE;
}

ZEND_FUNCTION(constant)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    std::string name = to_string(*args[0]);
    if (!zend::get_constant(name.c_str(), name.size(), return_value)) {
        zend_error(E_WARNING, "Couldn't find constant %s", name.c_str());
        RETURN_NULL();
    }
}

/* error_reporting([level]): returns the old level. */
ZEND_FUNCTION(error_reporting)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 1, args))
        return;
    long old = zend::settings.error_reporting;
    if (args.size() == 1)
        zend::settings.error_reporting = static_cast<int>(zend::builtins::to_long(*args[0]));
    RETURN_LONG(old);
}

namespace {

/* The settings a script may read and change, as text. */
bool setting_get(const std::string &name, std::string &value)
{
    if (name == "include_path") {
        value = zend::settings.include_path;
        return true;
    }
    if (name == "error_reporting") {
        value = std::to_string(zend::settings.error_reporting);
        return true;
    }
    if (name == "html_errors") {
        value.assign(1, zend::settings.html_errors ? '1' : '0');
        return true;
    }
    return false;
}

void setting_set(const std::string &name, const zval *value)
{
    if (name == "include_path")
        zend::settings.include_path = to_string(value);
    else if (name == "error_reporting")
        zend::settings.error_reporting = static_cast<int>(zend::builtins::to_long(value));
    else if (name == "html_errors")
        zend::settings.html_errors = zend_is_true(const_cast<zval *>(value)) != 0;
}

} // namespace

/* ini_set(name, value): the old value as a string, false for an unknown
 * setting. */
ZEND_FUNCTION(ini_set)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 2, 2, args))
        return;
    std::string name = to_string(*args[0]), old;
    if (!setting_get(name, old))
        RETURN_FALSE;
    setting_set(name, *args[1]);
    RETURN_STRINGL(old.data(), static_cast<uint>(old.size()), 1);
}

ZEND_FUNCTION(ini_get)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    std::string value;
    if (!setting_get(to_string(*args[0]), value))
        RETURN_FALSE;
    RETURN_STRINGL(value.data(), static_cast<uint>(value.size()), 1);
}

ZEND_FUNCTION(set_include_path)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    std::string old = zend::settings.include_path;
    zend::settings.include_path = to_string(*args[0]);
    RETURN_STRINGL(old.data(), static_cast<uint>(old.size()), 1);
}

ZEND_FUNCTION(get_include_path)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
        return;
    const std::string &path = zend::settings.include_path;
    RETURN_STRINGL(path.data(), static_cast<uint>(path.size()), 1);
}

/* phpinfo(): a header, then every module's own section. */
ZEND_FUNCTION(phpinfo)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 1, args))
        return;
    ZEND_PUTS("phpinfo()\nPHP Version => 4.2.3\n\n");
    ZEND_PUTS("Server API => ");
    ZEND_PUTS(sapi_module.name ? sapi_module.name : "cli");
    ZEND_PUTS("\nZend Engine => " ZEND_VERSION "\n");
    for (zend_module_entry *module : zend::modules()) {
        ZEND_PUTS("\n");
        ZEND_PUTS(module->name ? module->name : "(unnamed)");
        ZEND_PUTS("\n\n");
        if (module->info_func)
            module->info_func(module);
    }
    RETURN_TRUE;
}

ZEND_FUNCTION(php_sapi_name)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
        return;
    RETURN_STRING(sapi_module.name ? sapi_module.name : "cli", 1);
}

ZEND_FUNCTION(phpversion)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 1, args))
        return;
    if (args.size() == 1) {
        std::string name = lowercase(to_string(*args[0]));
        for (zend_module_entry *module : zend::modules())
            if (module->name && lowercase(module->name) == name) {
                if (!module->version)
                    RETURN_FALSE;
                RETURN_STRING(module->version, 1);
            }
        RETURN_FALSE;
    }
    RETURN_STRING("4.2.3", 1);
}

ZEND_FUNCTION(zend_version)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
        return;
    RETURN_STRING(ZEND_VERSION, 1);
}
