/* Built-ins that look at the script's functions, classes, objects and
 * variables: existence tests, class and object inspection, the running
 * function's arguments, compact and extract. */
#include <cctype>
#include <cstring>

#include "builtins.h"
#include "core/operators.h"
#include "engine.h"
#include "executor/executor.h"

using zend::builtins::parse_args;
using zend::builtins::lowercase;
using zend::builtins::to_string;

namespace {

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

ZEND_FUNCTION(function_exists)
{
    std::string name;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &name))
        return;
    RETURN_BOOL(table_has(function_table(), name));
}

ZEND_FUNCTION(class_exists)
{
    std::string name;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &name))
        return;
    RETURN_BOOL(table_has(class_table(), name));
}

/* get_defined_functions(): array("internal" => names, "user" => names),
 * each list in the order of the function table (lower-cased keys). */
ZEND_FUNCTION(get_defined_functions)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    zval *internal = zend::builtins::new_long(0), *user = zend::builtins::new_long(0);
    array_init(internal);
    array_init(user);
    if (HashTable *functions = function_table()) {
        for (Bucket *p = functions->pListHead; p; p = p->pListNext) {
            /* the keys of declarations bound at run time start with a NUL:
             * they are the engine's, not names */
            if (p->nKeyLength == 0 || p->arKey[0] == '\0')
                continue;
            auto *fn = static_cast<zend_function *>(p->pData);
            zval *list = fn->type == ZEND_INTERNAL_FUNCTION ? internal : user;
            zend::builtins::array_append(list->value.ht,
                                         zend::builtins::new_string(std::string_view(p->arKey, p->nKeyLength - 1)));
        }
    }
    array_init(return_value);
    zend::builtins::array_put(return_value->value.ht, "internal", internal);
    zend::builtins::array_put(return_value->value.ht, "user", user);
}

/* get_included_files() (and get_required_files()): the files the request
 * has run, the main script first, each once. */
ZEND_FUNCTION(get_included_files)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    array_init(return_value);
    for (const std::string &path : zend::included_files())
        zend::builtins::array_append(return_value->value.ht, zend::builtins::new_string(path));
}

/* method_exists(object, name) */
ZEND_FUNCTION(method_exists)
{
    zval *object;
    std::string name;
    if (!parse_args(ZEND_NUM_ARGS(), "zs", &object, &name))
        return;
    if (object->type != IS_OBJECT || !object->value.obj.ce)
        RETURN_FALSE;
    RETURN_BOOL(table_has(&object->value.obj.ce->function_table, name));
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
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    RETURN_LONG(caller_arguments(nullptr));
}

ZEND_FUNCTION(func_get_args)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
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
    long n;
    if (!parse_args(ZEND_NUM_ARGS(), "l", &n))
        return;
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
    zval *object;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &object))
        return;
    if (object->type != IS_OBJECT)
        RETURN_FALSE;
    return_class_name(return_value, object->value.obj.ce);
}

/* get_parent_class(object or class name) */
ZEND_FUNCTION(get_parent_class)
{
    zval *arg;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &arg))
        return;
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
    zval *object;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &object))
        return;
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
    zval *arg;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &arg))
        return;
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
    if (names->type != IS_STRING)
        return; /* only names and arrays of names count */
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
    if (!parse_args(ZEND_NUM_ARGS(), "+", &args))
        return;
    HashTable *scope = calling_scope();
    array_init(return_value);
    for (zval **slot : args)
        compact_names(scope, *slot, return_value->value.ht, 0);
}

/* get_defined_vars(): every variable of the calling scope, sharing its
 * value (a reference stays one), as Zend Engine 1 copies the table; at the
 * top level that includes GLOBALS, in a method $this. Arguments are not
 * looked at. */
ZEND_FUNCTION(get_defined_vars)
{
    HashTable *scope = calling_scope();
    array_init(return_value);
    if (!scope)
        return;
    zval *tmp;
    zend_hash_copy(return_value->value.ht, scope, (copy_ctor_func_t)zend::zval_add_ref, &tmp, sizeof(zval *));
}

/* extract(array [, type [, prefix]]): the array's string keys become
 * variables of the calling scope. The type says what happens to a name
 * that exists (EXTR_OVERWRITE 0, EXTR_SKIP 1, EXTR_PREFIX_SAME 2),
 * which names get the prefix (EXTR_PREFIX_ALL 3, EXTR_PREFIX_INVALID 4,
 * EXTR_PREFIX_IF_EXISTS 5) or whether only existing ones are set
 * (EXTR_IF_EXISTS 6); EXTR_REFS (256) makes the variables references to
 * the array's elements. Returns how many were set. "this" and "GLOBALS"
 * are never set: the running method's object and the globals array must
 * stay what they are. */
ZEND_FUNCTION(extract)
{
    enum { overwrite, skip, prefix_same, prefix_all, prefix_invalid, prefix_if_exists, if_exists };
    zval *array;
    long type = overwrite;
    std::string prefix;
    if (!parse_args(ZEND_NUM_ARGS(), "z|ls", &array, &type, &prefix))
        return;
    bool refs = (type & 256) != 0;
    type &= 0xff;
    if (ZEND_NUM_ARGS() == 2 && type > skip && type <= prefix_if_exists) {
        zend_error(E_WARNING, "extract(): Prefix expected to be specified");
        return;
    }
    if (type < overwrite || type > if_exists) {
        zend_error(E_WARNING, "extract(): Unknown extract type");
        return;
    }
    /* the array is looked at after the type, so its warning comes second */
    if (array->type != IS_ARRAY) {
        zend_error(E_WARNING, "extract(): First argument should be an array");
        return;
    }
    HashTable *scope = calling_scope();
    long count = 0;
    for (const auto &e : zend::builtins::elements(array->value.ht)) {

        std::string name;
        bool exists = false;
        if (e.string_key) {
            exists = zend_hash_exists(scope, e.key.c_str(), static_cast<uint>(e.key.size() + 1)) != 0;
        } else if (type == prefix_all || type == prefix_invalid) {
            name = prefix + "_" + std::to_string(static_cast<long>(e.index));
        } else {
            continue;
        }
        const std::string &key = e.key;
        auto prefixed = [&] { return prefix + "_" + key; };
        if (e.string_key) {
            switch (type) {
            case if_exists:
                if (exists && key != "GLOBALS")
                    name = key;
                break;
            case overwrite:
                if (!exists || key != "GLOBALS")
                    name = key;
                break;
            case prefix_if_exists:
                if (exists)
                    name = prefixed();
                break;
            case prefix_same:
                name = exists ? prefixed() : key;
                break;
            case prefix_all:
                if (!key.empty())
                    name = prefixed();
                break;
            case prefix_invalid:
                name = valid_variable_name(key) ? key : prefixed();
                break;
            default: /* skip */
                if (!exists)
                    name = key;
                break;
            }
        }
        if (name.empty() || !valid_variable_name(name) || name == "GLOBALS")
            continue; /* $GLOBALS is the engine's own */
        uint name_length = static_cast<uint>(name.size() + 1);
        void *data = nullptr;
        zval *existing = zend_hash_find(scope, name.c_str(), name_length, &data) == SUCCESS ? *static_cast<zval **>(data)
                                                                                           : nullptr;
        if (refs) {
            /* the variable and the array element become one reference */
            zval **slot = e.data;
            SEPARATE_ZVAL_IF_NOT_REF(slot);
            (*slot)->is_ref = 1;
            (*slot)->refcount++;
            zend::builtins::array_put(scope, name, *slot);
        } else if (existing && existing->is_ref) {
            /* a reference keeps its binding and takes the new value */
            zval copy = **e.data;
            zval_copy_ctor(&copy);
            zval_dtor(existing);
            existing->value = copy.value;
            existing->type = copy.type;
        } else {
            zend::builtins::array_put(scope, name, zend::builtins::copy_of(*e.data));
        }
        count++;
    }
    RETURN_LONG(count);
}
