/* Built-ins that call back into script code: call_user_func and its array
 * form, the user-ordered sorts, array_map and array_filter. Callbacks get
 * their arguments by value. The sorts keep the elements out of the table
 * while the comparison function runs (one extra reference each), so a
 * callback that changes the array cannot pull values from under them. */
#include <algorithm>
#include <string>
#include <vector>

#include "builtins.h"
#include "engine.h"
#include "engine_sort.h"
#include "executor/executor.h"

using namespace zend::builtins;

namespace {

zval *null_zval()
{
    zval *z;
    ALLOC_ZVAL(z);
    z->type = IS_NULL;
    INIT_PZVAL(z);
    return z;
}

/* The callback's result, or null when it could not be called. */
void return_result(zval *return_value, zval *result)
{
    if (!result)
        return;
    *return_value = *result;
    zval_copy_ctor(return_value);
    INIT_PZVAL(return_value);
    zval_ptr_dtor(&result);
}

/* The comparison a user function gives: its result as an integer. */
long user_compare(const zval *callback, zval *a, zval *b)
{
    zval *argv[2] = {a, b};
    zval *r = zend::exec::call_function_value(callback, 2, argv);
    if (!r)
        return 0;
    long c = to_long(r);
    zval_ptr_dtor(&r);
    return c;
}

zval *key_value(const element &e)
{
    return e.string_key ? new_string(e.key) : new_long(static_cast<long>(e.index));
}

enum user_sort { by_value_renumber, by_value_keep, by_key };

void sort_with_callback(INTERNAL_FUNCTION_PARAMETERS, user_sort how, const char *fname)
{
    zval *holder, *callable;
    args_result got = parse_args(ZEND_NUM_ARGS(), "a/z;The argument should be an array", &holder, &callable);
    if (!got)
        return got.false_when_refused(return_value);
    if (!zend::exec::callable_exists(callable, nullptr)) {
        zend_error(E_WARNING, "%s(): Invalid comparison function.", fname);
        RETURN_FALSE;
    }
    holder->refcount++; /* the array stays while callbacks run */
    zval *callback = copy_of(callable);
    /* the values themselves are held: table slots may move meanwhile */
    std::vector<element> els = elements(holder->value.ht);
    std::vector<zval *> values;
    for (const element &e : els) {
        values.push_back(*e.data);
        (*e.data)->refcount++;
    }
    for (std::size_t i = 0; i < els.size(); i++)
        els[i].data = &values[i];
    engine_sort(els, [&](const element &a, const element &b) {
        if (how == by_key) {
            zval *x = key_value(a), *y = key_value(b);
            long c = user_compare(callback, x, y);
            zval_ptr_dtor(&x);
            zval_ptr_dtor(&y);
            return c;
        }
        return user_compare(callback, *a.data, *b.data);
    });
    if (holder->type == IS_ARRAY) {
        HashTable *arr = holder->value.ht;
        zend_hash_clean(arr);
        for (element &e : els) {
            zval *v = *e.data;
            if (how == by_value_renumber)
                array_append(arr, v);
            else if (e.string_key)
                array_put(arr, e.key, v);
            else
                array_put(arr, e.index, v);
        }
        zend_hash_internal_pointer_reset(arr);
    } else {
        for (zval *v : values)
            zval_ptr_dtor(&v);
    }
    zval_ptr_dtor(&callback);
    zval_ptr_dtor(&holder);
    RETURN_TRUE;
}

/* Text of a callback for messages. */
std::string callback_name(const zval *callback)
{
    std::string name;
    zend::exec::callable_exists(callback, &name);
    return name;
}

} // namespace

ZEND_FUNCTION(call_user_func)
{
    zval *callable;
    std::vector<zval **> args;
    if (!parse_args(ZEND_NUM_ARGS(), "z*", &callable, &args))
        return;
    std::vector<zval *> argv;
    for (zval **arg : args)
        argv.push_back(*arg);
    zval *callback = copy_of(callable);
    zval *r = zend::exec::call_function_value(callback, static_cast<int>(argv.size()), argv.data());
    if (!r)
        zend_error(E_WARNING, "Unable to call %s()", callback_name(callback).c_str());
    zval_ptr_dtor(&callback);
    return_result(return_value, r);
}

ZEND_FUNCTION(call_user_func_array)
{
    zval *callable, *list;
    if (!parse_args(ZEND_NUM_ARGS(), "za;Argument is not an array", &callable, &list))
        return;
    zval *callback = copy_of(callable);
    zval *params = copy_of(list); /* the callback may change the caller's array */
    std::vector<zval *> argv;
    for (const element &e : elements(params->value.ht))
        argv.push_back(*e.data);
    zval *r = zend::exec::call_function_value(callback, static_cast<int>(argv.size()), argv.data());
    if (!r)
        zend_error(E_WARNING, "Unable to call %s()", callback_name(callback).c_str());
    zval_ptr_dtor(&params);
    zval_ptr_dtor(&callback);
    return_result(return_value, r);
}

ZEND_FUNCTION(usort) { sort_with_callback(INTERNAL_FUNCTION_PARAM_PASSTHRU, by_value_renumber, "usort"); }
ZEND_FUNCTION(uasort) { sort_with_callback(INTERNAL_FUNCTION_PARAM_PASSTHRU, by_value_keep, "uasort"); }
ZEND_FUNCTION(uksort) { sort_with_callback(INTERNAL_FUNCTION_PARAM_PASSTHRU, by_key, "uksort"); }

/* array_map(callback, array, ...): the callback applied to the elements
 * at each position; null as callback pairs the arrays up. One array keeps
 * its keys. */
ZEND_FUNCTION(array_map)
{
    zval *callable;
    std::vector<zval **> args;
    if (!parse_args(ZEND_NUM_ARGS(), "z+", &callable, &args))
        return;
    zval *callback = copy_of(callable);
    bool null_callback = callback->type == IS_NULL;
    if (!null_callback && !zend::exec::callable_exists(callback, nullptr)) {
        zend_error(E_WARNING, "array_map(): The first argument, '%s', should be either NULL or a valid callback",
                   callback_name(callback).c_str());
        zval_ptr_dtor(&callback);
        RETURN_NULL();
    }
    /* the arrays are checked once the callback is known good */
    std::vector<zval *> arrays;
    for (std::size_t i = 0; i < args.size(); i++) {
        if ((*args[i])->type != IS_ARRAY) {
            zend_error(E_WARNING, "array_map(): Argument #%d should be an array", static_cast<int>(i + 2));
            for (zval *a : arrays)
                zval_ptr_dtor(&a);
            zval_ptr_dtor(&callback);
            RETURN_NULL();
        }
        arrays.push_back(copy_of(*args[i]));
    }
    array_init(return_value);
    if (arrays.size() == 1) {
        for (const element &e : elements(arrays[0]->value.ht)) {
            zval *v;
            if (null_callback) {
                v = copy_of(*e.data);
            } else {
                v = zend::exec::call_function_value(callback, 1, e.data);
                if (!v)
                    v = null_zval();
            }
            if (e.string_key)
                array_put(return_value->value.ht, e.key, v);
            else
                array_put(return_value->value.ht, e.index, v);
        }
    } else {
        std::vector<std::vector<element>> lists;
        std::size_t longest = 0;
        for (zval *a : arrays) {
            lists.push_back(elements(a->value.ht));
            longest = std::max(longest, lists.back().size());
        }
        zval *null_value = null_zval();
        for (std::size_t pos = 0; pos < longest; pos++) {
            std::vector<zval *> argv;
            for (auto &l : lists)
                argv.push_back(pos < l.size() ? *l[pos].data : null_value);
            zval *v;
            if (null_callback) {
                v = null_zval();
                array_init(v);
                for (zval *a : argv)
                    array_append(v->value.ht, copy_of(a));
            } else {
                v = zend::exec::call_function_value(callback, static_cast<int>(argv.size()), argv.data());
                if (!v)
                    v = copy_of(null_value);
            }
            array_append(return_value->value.ht, v);
        }
        zval_ptr_dtor(&null_value);
    }
    for (zval *a : arrays)
        zval_ptr_dtor(&a);
    zval_ptr_dtor(&callback);
}

/* array_filter(array [, callback]): the elements, keys kept, for which the
 * callback (without one: the value itself) is true. */
ZEND_FUNCTION(array_filter)
{
    zval *array, *callable = nullptr;
    if (!parse_args(ZEND_NUM_ARGS(), "a|z;array_filter(): The first argument should be an array", &array, &callable))
        return;
    zval *callback = callable ? copy_of(callable) : nullptr;
    if (callback && !zend::exec::callable_exists(callback, nullptr)) {
        zend_error(E_WARNING, "array_filter(): The second argument, '%s', should be a valid callback",
                   callback_name(callback).c_str());
        zval_ptr_dtor(&callback);
        RETURN_NULL();
    }
    zval *source = copy_of(array);

    array_init(return_value);
    for (const element &e : elements(source->value.ht)) {
        bool keep;
        if (callback) {
            zval *r = zend::exec::call_function_value(callback, 1, e.data);
            keep = r && zend_is_true(r);
            if (r)
                zval_ptr_dtor(&r);
        } else {
            keep = zend_is_true(*e.data);
        }
        if (!keep)
            continue;
        zval *v = copy_of(*e.data);
        if (e.string_key)
            array_put(return_value->value.ht, e.key, v);
        else
            array_put(return_value->value.ht, e.index, v);
    }
    zval_ptr_dtor(&source);
    if (callback)
        zval_ptr_dtor(&callback);
}
