/* Built-ins about the engine itself: constants, error reporting,
 * settings, the function and class tables, the information page. */
#include <cctype>
#include <cstring>

#include "builtins.h"
#include "engine.h"
#include "engine_testing.h"
#include "executor/executor.h"

using zend::builtins::fetch_args;
using zend::builtins::to_string;

namespace {

std::string lowercase(std::string s)
{
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool table_has(HashTable *table, const std::string &name)
{
    if (!table)
        return false;
    std::string key = lowercase(name);
    return zend_hash_exists(table, key.c_str(), static_cast<uint>(key.size() + 1)) != 0;
}

HashTable *function_table()
{
    return EG(function_table) ? EG(function_table) : CG(function_table);
}

HashTable *class_table()
{
    return EG(class_table) ? EG(class_table) : CG(class_table);
}

} // namespace

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
    if (!zend::register_constant(name.c_str(), value, ci, false)) {
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

ZEND_FUNCTION(function_exists)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    RETURN_BOOL(table_has(function_table(), to_string(*args[0])));
}

ZEND_FUNCTION(class_exists)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    RETURN_BOOL(table_has(class_table(), to_string(*args[0])));
}

/* method_exists(object, name) */
ZEND_FUNCTION(method_exists)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 2, 2, args))
        return;
    zval *object = *args[0];
    if (object->type != IS_OBJECT || !object->value.obj.ce)
        RETURN_FALSE;
    RETURN_BOOL(table_has(&object->value.obj.ce->function_table, to_string(*args[1])));
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

namespace {

/* The running user function's arguments; -1 with PHP's warning at the top
 * level of a file. */
int caller_arguments(zval ***args)
{
    int count = zend::exec::current_arguments(args);
    if (count < 0)
        zend_error(E_WARNING, "%s():  Called from the global scope - no function context",
                   get_active_function_name());
    return count;
}

} // namespace

ZEND_FUNCTION(func_num_args)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
        return;
    RETURN_LONG(caller_arguments(nullptr));
}

ZEND_FUNCTION(func_get_args)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
        return;
    zval **passed = nullptr;
    int count = caller_arguments(&passed);
    if (count < 0)
        RETURN_FALSE;
    array_init(return_value);
    for (int i = 0; i < count; i++)
        zend::builtins::array_append(return_value->value.ht, zend::builtins::copy_of(passed[i]));
}

ZEND_FUNCTION(func_get_arg)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    long n = zend::builtins::to_long(*args[0]);
    zval **passed = nullptr;
    int count = caller_arguments(&passed);
    if (count < 0)
        RETURN_FALSE;
    if (n < 0 || n >= count) {
        zend_error(E_WARNING, "func_get_arg():  Argument %ld not passed to function", n);
        RETURN_FALSE;
    }
    *return_value = *passed[n];
    zval_copy_ctor(return_value);
    INIT_PZVAL(return_value);
}

namespace {

/* Class names come back lower-cased, as this engine generation keeps them. */
void return_class_name(zval *return_value, const zend_class_entry *ce)
{
    zend::builtins::return_string(return_value, lowercase(ce && ce->name ? ce->name : "stdClass"));
}

} // namespace

ZEND_FUNCTION(get_class)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    if ((*args[0])->type != IS_OBJECT)
        RETURN_FALSE;
    return_class_name(return_value, (*args[0])->value.obj.ce);
}

/* get_parent_class(object or class name) */
ZEND_FUNCTION(get_parent_class)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    zval *arg = *args[0];
    zend_class_entry *ce = nullptr;
    if (arg->type == IS_OBJECT) {
        ce = arg->value.obj.ce;
    } else if (arg->type == IS_STRING && class_table()) {
        std::string key = lowercase(to_string(arg));
        void *data = nullptr;
        if (zend_hash_find(class_table(), key.c_str(), static_cast<uint>(key.size() + 1), &data) == SUCCESS)
            ce = static_cast<zend_class_entry *>(data);
    }
    if (!ce || !ce->parent)
        RETURN_FALSE;
    return_class_name(return_value, ce->parent);
}

ZEND_FUNCTION(get_object_vars)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    zval *object = *args[0];
    if (object->type != IS_OBJECT)
        RETURN_FALSE;
    array_init(return_value);
    for (const auto &e : zend::builtins::elements(object->value.obj.properties)) {
        zval *copy = zend::builtins::copy_of(*e.data);
        if (e.string_key)
            zend::builtins::array_put(return_value->value.ht, e.key, copy);
        else
            zend::builtins::array_put(return_value->value.ht, e.index, copy);
    }
}

ZEND_FUNCTION(get_class_methods)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    zval *arg = *args[0];
    zend_class_entry *ce = nullptr;
    if (arg->type == IS_OBJECT) {
        ce = arg->value.obj.ce;
    } else if (class_table()) {
        std::string key = lowercase(to_string(arg));
        void *data = nullptr;
        if (zend_hash_find(class_table(), key.c_str(), static_cast<uint>(key.size() + 1), &data) == SUCCESS)
            ce = static_cast<zend_class_entry *>(data);
    }
    if (!ce)
        RETURN_NULL();
    array_init(return_value);
    for (const auto &e : zend::builtins::elements(&ce->function_table))
        if (e.string_key)
            zend::builtins::array_append(return_value->value.ht, zend::builtins::new_string(e.key));
}

namespace {

/* The variables of the scope that called the running built-in. */
HashTable *calling_scope()
{
    const zend::exec::frame *f = zend::exec::state.current;
    if (f && f->symbol_table)
        return f->symbol_table;
    return EG(active_symbol_table) ? EG(active_symbol_table) : &EG(symbol_table);
}

void compact_names(HashTable *scope, zval *names, HashTable *out, int depth)
{
    if (names->type == IS_ARRAY) {
        if (depth > 64)
            return;
        for (const auto &e : zend::builtins::elements(names->value.ht))
            compact_names(scope, *e.data, out, depth + 1);
        return;
    }
    std::string name = to_string(names);
    void *data = nullptr;
    if (scope && zend_hash_find(scope, name.c_str(), static_cast<uint>(name.size() + 1), &data) == SUCCESS)
        zend::builtins::array_put(out, name, zend::builtins::copy_of(*static_cast<zval **>(data)));
}

bool valid_variable_name(const std::string &name)
{
    if (name.empty() || name == "this")
        return false;
    unsigned char first = static_cast<unsigned char>(name[0]);
    if (!(std::isalpha(first) || first == '_' || first >= 0x7f))
        return false;
    for (unsigned char c : name)
        if (!(std::isalnum(c) || c == '_' || c >= 0x7f))
            return false;
    return true;
}

} // namespace

/* compact(name or array of names, ...): the named variables that exist. */
ZEND_FUNCTION(compact)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, -1, args))
        return;
    HashTable *scope = calling_scope();
    array_init(return_value);
    for (zval **slot : args)
        compact_names(scope, *slot, return_value->value.ht, 0);
}

/* extract(array [, type]): the array's string keys become variables;
 * EXTR_OVERWRITE (0, default) replaces, EXTR_SKIP (1) keeps existing
 * ones. Returns how many were set. */
ZEND_FUNCTION(extract)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 3, args))
        return;
    if ((*args[0])->type != IS_ARRAY) {
        zend_error(E_WARNING, "extract() expects first argument to be an array");
        RETURN_LONG(0);
    }
    long type = args.size() >= 2 ? zend::builtins::to_long(*args[1]) : 0;
    if (type != 0 && type != 1) {
        zend_error(E_WARNING, "Unknown extract type");
        RETURN_LONG(0);
    }
    HashTable *scope = calling_scope();
    long count = 0;
    for (const auto &e : zend::builtins::elements((*args[0])->value.ht)) {
        if (!e.string_key || !valid_variable_name(e.key))
            continue;
        uint key_length = static_cast<uint>(e.key.size() + 1);
        void *data = nullptr;
        bool exists = zend_hash_find(scope, e.key.c_str(), key_length, &data) == SUCCESS;
        if (exists && type == 1)
            continue;
        zval *existing = exists ? *static_cast<zval **>(data) : nullptr;
        if (existing && existing->is_ref) {
            /* a reference keeps its binding and takes the new value */
            zval copy = **e.data;
            zval_copy_ctor(&copy);
            zval_dtor(existing);
            existing->value = copy.value;
            existing->type = copy.type;
        } else {
            zend::builtins::array_put(scope, e.key, zend::builtins::copy_of(*e.data));
        }
        count++;
    }
    RETURN_LONG(count);
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
