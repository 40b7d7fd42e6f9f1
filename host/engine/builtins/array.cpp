/* Array built-ins. Functions that change their array argument (push, pop,
 * shift, the sorts) take it by reference; they work on the caller's table
 * in place. A sort takes the table's elements out (one extra reference
 * each, so cleaning the table does not free them) and puts them back in
 * the new order. */
#include <algorithm>

#include "builtins.h"
#include "core/operators.h"
#include "core/values_internal.h"
#include "engine.h"
#include "engine_sort.h"

using namespace zend::builtins;

namespace {

void put_element(HashTable *arr, const element &e, zval *value)
{
    if (e.string_key)
        array_put(arr, e.key, value);
    else
        array_put(arr, e.index, value);
}

/* Copies the value into a fresh element under the same key. */
void copy_element(HashTable *arr, const element &e)
{
    put_element(arr, e, copy_of(*e.data));
}

long count_of(zval *z, bool recursive)
{
    if (z->type == IS_NULL)
        return 0;
    if (z->type != IS_ARRAY)
        return 1;
    HashTable *arr = z->value.ht;
    long n = zend_hash_num_elements(arr);
    if (recursive) {
        if (arr->nApplyCount > 1) {
            zend_error(E_WARNING, "count(): recursion detected");
            return n;
        }
        arr->nApplyCount++;
        for (const element &e : elements(arr))
            if ((*e.data)->type == IS_ARRAY)
                n += count_of(*e.data, true);
        arr->nApplyCount--;
    }
    return n;
}

} // namespace

/* count(var [, mode]): 0 for null, 1 for a scalar. */
ZEND_FUNCTION(count)
{
    zval *var;
    long mode = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "z|l", &var, &mode))
        return;
    RETURN_LONG(count_of(var, mode == 1));
}

/* array_keys(array [, search_value]) */
ZEND_FUNCTION(array_keys)
{
    HashTable *arr;
    zval *search = nullptr;
    if (!parse_args(ZEND_NUM_ARGS(), "a|z;%s(): The argument should be an array", &arr, &search))
        return;
    array_init(return_value);
    for (const element &e : elements(arr)) {
        if (search && !loose_equal(*e.data, search))
            continue;
        array_append(return_value->value.ht, e.string_key ? new_string(e.key) : new_long(static_cast<long>(e.index)));
    }
}

ZEND_FUNCTION(array_values)
{
    HashTable *arr;
    if (!parse_args(ZEND_NUM_ARGS(), "a;%s(): The argument should be an array", &arr))
        return;
    array_init(return_value);
    for (const element &e : elements(arr))
        array_append(return_value->value.ht, copy_of(*e.data));
}

namespace {

/* in_array / array_search: the matching element or nullptr. */
const element *search(const std::vector<element> &els, zval *needle, bool strict)
{
    for (const element &e : els)
        if (strict ? strict_equal(*e.data, needle) : loose_equal(*e.data, needle))
            return &e;
    return nullptr;
}

} // namespace

ZEND_FUNCTION(in_array)
{
    zval *needle;
    HashTable *arr;
    bool strict = false;
    args_result got = parse_args(ZEND_NUM_ARGS(), "za|b;%s(): Wrong datatype for second argument",
                                 &needle, &arr, &strict);
    if (!got)
        return got.false_when_refused(return_value);
    std::vector<element> els = elements(arr);
    RETURN_BOOL(search(els, needle, strict) != nullptr);
}

ZEND_FUNCTION(array_search)
{
    zval *needle;
    HashTable *arr;
    bool strict = false;
    args_result got = parse_args(ZEND_NUM_ARGS(), "za|b;%s(): Wrong datatype for second argument",
                                 &needle, &arr, &strict);
    if (!got)
        return got.false_when_refused(return_value);
    std::vector<element> els = elements(arr);
    const element *found = search(els, needle, strict);
    if (!found)
        RETURN_FALSE;
    if (found->string_key)
        return_string(return_value, found->key);
    else
        RETURN_LONG(static_cast<long>(found->index));
}

/* array_merge(a, b, ...): integer keys renumbered, string keys of later
 * arrays replace earlier ones. An argument that is not an array counts
 * as the array it converts to (null as none, a scalar as one element). */
ZEND_FUNCTION(array_merge)
{
    std::vector<zval **> args;
    if (!parse_args(ZEND_NUM_ARGS(), "+", &args))
        return;
    array_init(return_value);
    for (zval **slot : args) {
        zval *arg = copy_of(*slot);
        convert_to_array(arg);
        for (const element &e : elements(arg->value.ht)) {
            if (e.string_key)
                array_put(return_value->value.ht, e.key, copy_of(*e.data));
            else
                array_append(return_value->value.ht, copy_of(*e.data));
        }
        zval_ptr_dtor(&arg);
    }
}

/* array_push(&array, value, ...): the new element count. */
ZEND_FUNCTION(array_push)
{
    HashTable *arr;
    std::vector<zval **> values;
    args_result got = parse_args(ZEND_NUM_ARGS(), "a/+;%s(): First argument should be an array", &arr, &values);
    if (!got)
        return got.false_when_refused(return_value);
    for (zval **value : values)
        array_append(arr, copy_of(*value));
    RETURN_LONG(zend_hash_num_elements(arr));
}

namespace {

/* Takes one end element out of the array and returns its value. */
void take_end(INTERNAL_FUNCTION_PARAMETERS, bool last)
{
    HashTable *arr;
    if (!parse_args(ZEND_NUM_ARGS(), "a/;%s(): The argument should be an array", &arr))
        return;
    std::vector<element> els = elements(arr);
    if (els.empty())
        RETURN_NULL();
    const element &e = last ? els.back() : els.front();
    *return_value = **e.data;
    zval_copy_ctor(return_value);
    INIT_PZVAL(return_value);
    if (e.string_key)
        zend_hash_del(arr, e.key.c_str(), static_cast<uint>(e.key.size() + 1));
    else
        zend_hash_index_del(arr, e.index);
    if (last) {
        /* popping an integer key gives one index back to the next append */
        if (!e.string_key && arr->nNextFreeElement > 0)
            arr->nNextFreeElement--;
        zend_hash_internal_pointer_reset(arr);
        return;
    }
    /* array_shift renumbers the integer keys */
    std::vector<element> rest = elements(arr);
    std::vector<zval *> values; /* the slots go with the clean */
    for (const element &r : rest) {
        values.push_back(*r.data);
        (*r.data)->refcount++;
    }
    zend_hash_clean(arr);
    for (std::size_t i = 0; i < rest.size(); i++) {
        if (rest[i].string_key)
            array_put(arr, rest[i].key, values[i]);
        else
            array_append(arr, values[i]);
    }
    zend_hash_internal_pointer_reset(arr);
}

} // namespace

ZEND_FUNCTION(array_pop) { take_end(INTERNAL_FUNCTION_PARAM_PASSTHRU, true); }
ZEND_FUNCTION(array_shift) { take_end(INTERNAL_FUNCTION_PARAM_PASSTHRU, false); }

/* range(low, high [, step]): integers, or single letters when both ends
 * are one-character non-numeric strings. */
ZEND_FUNCTION(range)
{
    zval *lo, *hi;
    long step = 1;
    if (!parse_args(ZEND_NUM_ARGS(), "zz|l", &lo, &hi, &step))
        return;
    if (step < 0)
        step = -step;
    if (step == 0)
        step = 1;
    array_init(return_value);
    HashTable *out = return_value->value.ht;
    bool letters = lo->type == IS_STRING && hi->type == IS_STRING && lo->value.str.len >= 1 &&
                   hi->value.str.len >= 1 && !numeric_string(lo->value.str.val, lo->value.str.len, nullptr, nullptr) &&
                   !numeric_string(hi->value.str.val, hi->value.str.len, nullptr, nullptr);
    long a, b;
    if (letters) {
        a = static_cast<unsigned char>(lo->value.str.val[0]);
        b = static_cast<unsigned char>(hi->value.str.val[0]);
    } else {
        a = to_long(lo);
        b = to_long(hi);
    }
    unsigned long span = a <= b ? static_cast<unsigned long>(b) - a : static_cast<unsigned long>(a) - b;
    if (span / step > (1UL << 24)) {
        zend_error(E_WARNING, "range(): too many elements");
        return;
    }
    for (unsigned long k = 0; k <= span / step; k++) {
        long v = a <= b ? a + static_cast<long>(k * step) : a - static_cast<long>(k * step);
        if (letters) {
            char c = static_cast<char>(v);
            array_append(out, new_string(std::string(1, c)));
        } else {
            array_append(out, new_long(v));
        }
    }
}

ZEND_FUNCTION(array_key_exists)
{
    zval *key;
    HashTable *arr;
    args_result got = parse_args(ZEND_NUM_ARGS(), "zH;%s(): The second argument should be either an array or an object",
                                 &key, &arr);
    if (!got)
        return got.false_when_refused(return_value);
    switch (key->type) {
    case IS_STRING:
        RETURN_BOOL(arr && zend_hash_exists(arr, key->value.str.val, key->value.str.len + 1));
    case IS_LONG:
        RETURN_BOOL(arr && zend_hash_index_exists(arr, key->value.lval));
    default:
        zend_error(E_WARNING, "%s(): The first argument should be either a string or an integer",
                   get_active_function_name());
        RETURN_FALSE;
    }
}

ZEND_FUNCTION(array_reverse)
{
    HashTable *arr;
    bool preserve = false;
    if (!parse_args(ZEND_NUM_ARGS(), "a|b;%s(): The argument should be an array", &arr, &preserve))
        return;
    std::vector<element> els = elements(arr);
    array_init(return_value);
    for (auto it = els.rbegin(); it != els.rend(); ++it) {
        if (it->string_key || preserve)
            copy_element(return_value->value.ht, *it);
        else
            array_append(return_value->value.ht, copy_of(*it->data));
    }
}

/* array_slice(array, offset [, length]): integer keys renumbered. */
ZEND_FUNCTION(array_slice)
{
    HashTable *arr;
    long offset, length = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "al|l;%s(): The argument should be an array", &arr, &offset, &length))
        return;
    std::vector<element> els = elements(arr);
    long n = static_cast<long>(els.size());
    if (ZEND_NUM_ARGS() < 3)
        length = n;
    if (offset < 0)
        offset = std::max(0L, n + offset);
    if (offset > n)
        offset = n;
    if (length < 0)
        length = std::max(0L, n - offset + length);
    long end = std::min(n, offset + length);
    array_init(return_value);
    for (long i = offset; i < end; i++) {
        if (els[i].string_key)
            copy_element(return_value->value.ht, els[i]);
        else
            array_append(return_value->value.ht, copy_of(*els[i].data));
    }
}

ZEND_FUNCTION(array_flip)
{
    HashTable *arr;
    if (!parse_args(ZEND_NUM_ARGS(), "a;%s(): The argument should be an array", &arr))
        return;
    array_init(return_value);
    for (const element &e : elements(arr)) {
        zval *v = *e.data;
        zval *key = e.string_key ? new_string(e.key) : new_long(static_cast<long>(e.index));
        if (v->type == IS_LONG)
            array_put(return_value->value.ht, static_cast<ulong>(v->value.lval), key);
        else if (v->type == IS_STRING)
            array_put(return_value->value.ht, std::string(v->value.str.val, v->value.str.len), key);
        else {
            zval_ptr_dtor(&key);
            zend_error(E_WARNING, "Can only flip STRING and INTEGER values!");
        }
    }
}

/* array_sum(array): numbers as they are, strings by their numeric
 * prefix; arrays and objects are passed over; the sum turns into a float
 * when an integer sum would overflow. */
ZEND_FUNCTION(array_sum)
{
    HashTable *arr;
    if (!parse_args(ZEND_NUM_ARGS(), "a;array_sum(): The argument should be an array", &arr))
        return;
    zval sum;
    sum.type = IS_LONG;
    sum.value.lval = 0;
    for (const element &e : elements(arr)) {
        zval *v = *e.data;
        if (v->type == IS_ARRAY || v->type == IS_OBJECT)
            continue;
        zend::number n = zend::to_number(v);
        zval term;
        if (n.is_double) {
            term.type = IS_DOUBLE;
            term.value.dval = n.d;
        } else {
            term.type = IS_LONG;
            term.value.lval = n.l;
        }
        zend::add_function(&sum, &sum, &term);
    }
    return_value->type = sum.type;
    return_value->value = sum.value;
}

ZEND_FUNCTION(array_unique)
{
    HashTable *arr;
    if (!parse_args(ZEND_NUM_ARGS(), "a;%s(): The argument should be an array", &arr))
        return;
    array_init(return_value);
    std::vector<std::string> seen;
    for (const element &e : elements(arr)) {
        std::string text = to_string(*e.data);
        if (std::find(seen.begin(), seen.end(), text) != seen.end())
            continue;
        seen.push_back(text);
        copy_element(return_value->value.ht, e);
    }
}

namespace {

enum sort_by { by_value, by_key };

int compare_by_flags(const zval *a, const zval *b, long flags)
{
    if (flags == 1) { /* SORT_NUMERIC */
        double x = to_double(a), y = to_double(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (flags == 2) { /* SORT_STRING */
        std::string x = to_string(a), y = to_string(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return compare_values(a, b);
}

/* Keys compare as values: integer keys as signed integers. */
int compare_keys(const element &a, const element &b, long flags)
{
    if (!a.string_key && !b.string_key && flags != 2) {
        long x = static_cast<long>(a.index), y = static_cast<long>(b.index);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    zval *x = a.string_key ? new_string(a.key) : new_long(static_cast<long>(a.index));
    zval *y = b.string_key ? new_string(b.key) : new_long(static_cast<long>(b.index));
    int c = compare_by_flags(x, y, flags);
    zval_ptr_dtor(&x);
    zval_ptr_dtor(&y);
    return c;
}

/* The sorts: by value or key, ascending or descending, keeping keys or
 * renumbering them all. */
void sort_array(INTERNAL_FUNCTION_PARAMETERS, sort_by what, bool descending, bool keep_keys)
{
    HashTable *arr;
    long flags = 0;
    args_result got = parse_args(ZEND_NUM_ARGS(), "a/|l;%s(): The argument should be an array", &arr, &flags);
    if (!got)
        return got.false_when_refused(return_value);
    std::vector<element> els = elements(arr);
    engine_sort(els, [&](const element &a, const element &b) {
        int c = what == by_key ? compare_keys(a, b, flags) : compare_by_flags(*a.data, *b.data, flags);
        return descending ? -c : c;
    });
    std::vector<zval *> values;
    for (const element &e : els) {
        values.push_back(*e.data);
        (*e.data)->refcount++;
    }
    zend_hash_clean(arr);
    for (std::size_t i = 0; i < els.size(); i++) {
        if (keep_keys)
            put_element(arr, els[i], values[i]);
        else
            array_append(arr, values[i]);
    }
    zend_hash_internal_pointer_reset(arr);
    RETURN_TRUE;
}

} // namespace

ZEND_FUNCTION(sort) { sort_array(INTERNAL_FUNCTION_PARAM_PASSTHRU, by_value, false, false); }
ZEND_FUNCTION(rsort) { sort_array(INTERNAL_FUNCTION_PARAM_PASSTHRU, by_value, true, false); }
ZEND_FUNCTION(asort) { sort_array(INTERNAL_FUNCTION_PARAM_PASSTHRU, by_value, false, true); }
ZEND_FUNCTION(arsort) { sort_array(INTERNAL_FUNCTION_PARAM_PASSTHRU, by_value, true, true); }
ZEND_FUNCTION(ksort) { sort_array(INTERNAL_FUNCTION_PARAM_PASSTHRU, by_key, false, true); }
ZEND_FUNCTION(krsort) { sort_array(INTERNAL_FUNCTION_PARAM_PASSTHRU, by_key, true, true); }

/* array_fill(start, count, value) */
ZEND_FUNCTION(array_fill)
{
    long start, count;
    zval *value;
    if (!parse_args(ZEND_NUM_ARGS(), "llz", &start, &count, &value))
        return;
    if (count < 0 || count > (1L << 24)) {
        zend_error(E_WARNING, "Number of elements must be positive");
        RETURN_FALSE;
    }
    array_init(return_value);
    for (long i = 0; i < count; i++) {
        if (i == 0)
            array_put(return_value->value.ht, static_cast<ulong>(start), copy_of(value));
        else
            array_append(return_value->value.ht, copy_of(value));
    }
}

/* array_pad(array, size, value): pads on the right (size > 0) or the left. */
ZEND_FUNCTION(array_pad)
{
    HashTable *arr;
    long size;
    zval *pad;
    if (!parse_args(ZEND_NUM_ARGS(), "alz;%s(): The argument should be an array", &arr, &size, &pad))
        return;
    long want = size < 0 ? -size : size;
    std::vector<element> els = elements(arr);
    if (want > (1L << 24)) {
        zend_error(E_WARNING, "You may only pad up to 1048576 elements at a time");
        RETURN_FALSE;
    }
    long missing = want - static_cast<long>(els.size());
    array_init(return_value);
    HashTable *out = return_value->value.ht;
    if (size < 0)
        for (long i = 0; i < missing; i++)
            array_append(out, copy_of(pad));
    for (const element &e : els) {
        if (e.string_key)
            copy_element(out, e);
        else
            array_append(out, copy_of(*e.data));
    }
    if (size > 0)
        for (long i = 0; i < missing; i++)
            array_append(out, copy_of(pad));
}

/* array_unshift(&array, value, ...): the new element count; integer keys
 * renumbered. */
ZEND_FUNCTION(array_unshift)
{
    HashTable *arr;
    std::vector<zval **> added;
    args_result got = parse_args(ZEND_NUM_ARGS(), "a/+;%s(): The first argument should be an array", &arr, &added);
    if (!got)
        return got.false_when_refused(return_value);
    std::vector<element> els = elements(arr);
    std::vector<zval *> values;
    for (const element &e : els) {
        values.push_back(*e.data);
        (*e.data)->refcount++;
    }
    zend_hash_clean(arr);
    for (zval **value : added)
        array_append(arr, copy_of(*value));
    for (std::size_t i = 0; i < els.size(); i++) {

        if (els[i].string_key)
            array_put(arr, els[i].key, values[i]);
        else
            array_append(arr, values[i]);
    }
    zend_hash_internal_pointer_reset(arr);
    RETURN_LONG(zend_hash_num_elements(arr));
}
