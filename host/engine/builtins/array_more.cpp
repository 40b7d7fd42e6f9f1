/* More array built-ins: splicing, set operations, recursive merging,
 * reductions and walks with callbacks, random picks, natural and
 * multi-column sorts, counting and chunking.
 *
 * Functions that call back into script code hold the array they work on
 * (one extra reference) and look each element up again before they hand
 * it out, so a callback that changes the array cannot leave them with a
 * stale slot. */
#include <algorithm>
#include <unordered_set>

#include "builtins.h"
#include "engine.h"
#include "engine_sort.h"
#include "executor/executor.h"

using namespace zend::builtins;

namespace {

constexpr long sort_regular = 0, sort_numeric = 1, sort_string = 2;
constexpr long sort_desc = 3, sort_asc = 4;

void put_element(HashTable *arr, const element &e, zval *value)
{
    if (e.string_key)
        array_put(arr, e.key, value);
    else
        array_put(arr, e.index, value);
}

/* Puts a value under the element's key; integer keys renumbered. */
void put_renumbered(HashTable *arr, const element &e, zval *value)
{
    if (e.string_key)
        array_put(arr, e.key, value);
    else
        array_append(arr, value);
}

/* Replaces the contents of arr by `order` (elements of arr, each value
 * taken with one extra reference first); keys kept or renumbered. */
void rebuild(HashTable *arr, const std::vector<element> &order, bool keep_keys, bool renumber_all)
{
    std::vector<zval *> values;
    for (const element &e : order) {
        values.push_back(*e.data);
        (*e.data)->refcount++;
    }
    zend_hash_clean(arr);
    for (std::size_t i = 0; i < order.size(); i++) {
        if (renumber_all)
            array_append(arr, values[i]);
        else if (keep_keys)
            put_element(arr, order[i], values[i]);
        else
            put_renumbered(arr, order[i], values[i]);
    }
    zend_hash_internal_pointer_reset(arr);
}

std::string callback_name(const zval *callback)
{
    std::string name;
    zend::exec::callable_exists(callback, &name);
    return name;
}

/* Raises a value's reference count while a callback runs. */
struct hold {
    zval *z;
    explicit hold(zval *v) : z(v) { z->refcount++; }
    ~hold() { zval_ptr_dtor(&z); }
    hold(const hold &) = delete;
    hold &operator=(const hold &) = delete;
};

} // namespace

/* array_splice(&array, offset [, length [, replacement]]): the removed
 * elements; the array keeps its string keys, integer keys renumbered. */
ZEND_FUNCTION(array_splice)
{
    HashTable *arr;
    long offset, length = 0;
    zval *replacement_value = nullptr;
    if (!parse_args(ZEND_NUM_ARGS(), "a/l|lz;array_splice(): The first argument should be an array", &arr, &offset,
                    &length, &replacement_value))
        return;
    std::vector<element> els = elements(arr);
    long n = static_cast<long>(els.size());
    if (ZEND_NUM_ARGS() < 3)
        length = n;
    if (offset > n)
        offset = n;
    else if (offset < 0 && (offset = n + offset) < 0)
        offset = 0;
    if (length < 0)
        length = n - offset + length;
    else if (length > n - offset)
        length = n - offset;
    long removed_end = std::max(offset, offset + length);

    std::vector<zval *> replacement;
    if (replacement_value) {
        zval *list = copy_of(replacement_value);
        convert_to_array(list);
        for (const element &e : elements(list->value.ht))
            replacement.push_back(copy_of(*e.data));
        zval_ptr_dtor(&list);
    }

    array_init(return_value);
    std::vector<zval *> values;
    for (const element &e : els) {
        values.push_back(*e.data);
        (*e.data)->refcount++;
    }
    zend_hash_clean(arr);
    for (long i = 0; i < n; i++) {
        if (i == offset)
            for (zval *r : replacement)
                array_append(arr, r);
        if (i >= offset && i < removed_end)
            put_renumbered(return_value->value.ht, els[i], values[i]);
        else
            put_renumbered(arr, els[i], values[i]);
    }
    if (offset >= n)
        for (zval *r : replacement)
            array_append(arr, r);
    zend_hash_internal_pointer_reset(arr);
}

namespace {

/* The arguments as arrays; false after "NAME(): Argument #i is not an
 * array". */
bool all_arrays(const std::vector<zval **> &args)
{
    for (std::size_t i = 0; i < args.size(); i++)
        if ((*args[i])->type != IS_ARRAY) {
            zend_error(E_WARNING, "%s(): Argument #%d is not an array", get_active_function_name(),
                       static_cast<int>(i + 1));
            return false;
        }
    return true;
}

enum class set_op { diff, intersect };

/* array_diff/array_intersect (values compared as strings) and their
 * _assoc forms (key and value): the first array's elements, keys kept,
 * that are in none of the others (diff) or in all of them (intersect). */
void set_operation(INTERNAL_FUNCTION_PARAMETERS, set_op op, bool by_key)
{
    zval **first;
    std::vector<zval **> args;
    if (!parse_args(ZEND_NUM_ARGS(), "Z+", &first, &args))
        return;
    args.insert(args.begin(), first);
    if (!all_arrays(args))
        RETURN_NULL();
    std::vector<std::unordered_set<std::string>> values(args.size());
    if (!by_key)
        for (std::size_t i = 1; i < args.size(); i++)
            for (const element &e : elements((*args[i])->value.ht))
                values[i].insert(to_string(*e.data));
    array_init(return_value);
    for (const element &e : elements((*args[0])->value.ht)) {
        std::string text = to_string(*e.data);
        std::size_t found = 0;
        for (std::size_t i = 1; i < args.size(); i++) {
            bool present;
            if (by_key) {
                HashTable *other = (*args[i])->value.ht;
                zval **match;
                int r = e.string_key ? zend_hash_find(other, e.key.c_str(), static_cast<uint>(e.key.size() + 1),
                                                      (void **)&match)
                                     : zend_hash_index_find(other, e.index, (void **)&match);
                present = r == SUCCESS && to_string(*match) == text;
            } else {
                present = values[i].count(text) != 0;
            }
            found += present;
        }
        bool keep = op == set_op::diff ? found == 0 : found == args.size() - 1;
        if (keep)
            put_element(return_value->value.ht, e, copy_of(*e.data));
    }
}

} // namespace

ZEND_FUNCTION(array_diff)
{
    set_operation(INTERNAL_FUNCTION_PARAM_PASSTHRU, set_op::diff, false);
}

ZEND_FUNCTION(array_diff_assoc)
{
    set_operation(INTERNAL_FUNCTION_PARAM_PASSTHRU, set_op::diff, true);
}

ZEND_FUNCTION(array_intersect)
{
    set_operation(INTERNAL_FUNCTION_PARAM_PASSTHRU, set_op::intersect, false);
}

ZEND_FUNCTION(array_intersect_assoc)
{
    set_operation(INTERNAL_FUNCTION_PARAM_PASSTHRU, set_op::intersect, true);
}

namespace {

constexpr int max_merge_depth = 256;

/* Merges src into dest: integer keys appended, string keys replace,
 * except that two values under the same string key merge into one array
 * (recursively). false after a warning when the nesting is too deep. */
bool merge_recursive(HashTable *dest, HashTable *src, int depth)
{
    if (depth > max_merge_depth) {
        zend_error(E_WARNING, "array_merge_recursive(): recursion detected");
        return false;
    }
    for (const element &e : elements(src)) {
        if (!e.string_key) {
            array_append(dest, copy_of(*e.data));
            continue;
        }
        zval **existing;
        if (zend_hash_find(dest, e.key.c_str(), static_cast<uint>(e.key.size() + 1), (void **)&existing) != SUCCESS) {
            array_put(dest, e.key, copy_of(*e.data));
            continue;
        }
        SEPARATE_ZVAL(existing);
        convert_to_array(*existing);
        zval *from = copy_of(*e.data);
        convert_to_array(from);
        bool ok = merge_recursive((*existing)->value.ht, from->value.ht, depth + 1);
        zval_ptr_dtor(&from);
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

/* array_merge_recursive(a, b, ...) */
ZEND_FUNCTION(array_merge_recursive)
{
    std::vector<zval **> args;
    if (!parse_args(ZEND_NUM_ARGS(), "+", &args))
        return;
    array_init(return_value);
    for (zval **slot : args) {
        zval *arg = copy_of(*slot);
        convert_to_array(arg);
        bool ok = merge_recursive(return_value->value.ht, arg->value.ht, 0);
        zval_ptr_dtor(&arg);
        if (!ok)
            break;
    }
}

/* array_reduce(array, callback [, initial]) */
ZEND_FUNCTION(array_reduce)
{
    zval *array, *callable, *initial = nullptr;
    if (!parse_args(ZEND_NUM_ARGS(), "az|z;array_reduce(): The first argument should be an array", &array, &callable,
                    &initial))
        return;
    if (!zend::exec::callable_exists(callable, nullptr)) {
        zend_error(E_WARNING, "array_reduce(): The second argument, '%s', should be a valid callback",
                   callback_name(callable).c_str());
        return;
    }
    /* copies: the callback may change the caller's values */
    zval *callback = copy_of(callable);
    zval *input = copy_of(array);
    struct release {
        zval *a, *b;
        ~release()
        {
            zval_ptr_dtor(&a);
            zval_ptr_dtor(&b);
        }
    } on_exit{callback, input};
    zval *result = initial ? copy_of(initial) : new_long(0);
    if (!initial)
        result->type = IS_NULL;
    for (const element &e : elements(input->value.ht)) {
        zval *argv[2] = {result, *e.data};
        zval *r = zend::exec::call_function_value(callback, 2, argv);
        if (!r) {
            zend_error(E_WARNING, "array_reduce(): An error occurred while invoking the reduction callback");
            zval_ptr_dtor(&result);
            return;
        }
        zval_ptr_dtor(&result);
        result = r;
    }
    *return_value = *result;
    zval_copy_ctor(return_value);
    INIT_PZVAL(return_value);
    zval_ptr_dtor(&result);
}

/* array_walk(&array, callback [, userdata]): calls callback(value, key
 * [, userdata]) for each element; a callback that takes its first
 * parameter by reference changes the element. */
ZEND_FUNCTION(array_walk)
{
    zval *holder, *callable, *given_userdata = nullptr;
    args_result got = parse_args(ZEND_NUM_ARGS(), "H/z|z;array_walk(): The argument should be an array", &holder,
                                 &callable, &given_userdata);
    if (!got)
        return got.false_when_refused(return_value);
    if (callable->type != IS_STRING && callable->type != IS_ARRAY) {
        zend_error(E_WARNING, "array_walk(): Wrong syntax for function name");
        RETURN_FALSE;
    }
    hold keep_array(holder);
    zval *callback = copy_of(callable);
    hold keep_callback(callback);
    zval_ptr_dtor(&callback);
    zval *userdata = given_userdata ? copy_of(given_userdata) : nullptr;
    std::vector<element> keys = elements(holder->type == IS_ARRAY ? holder->value.ht : holder->value.obj.properties);
    for (const element &k : keys) {
        HashTable *ht = holder->type == IS_ARRAY ? holder->value.ht
                      : holder->type == IS_OBJECT ? holder->value.obj.properties : nullptr;
        zval **slot;
        if (!ht || (k.string_key ? zend_hash_find(ht, k.key.c_str(), static_cast<uint>(k.key.size() + 1), (void **)&slot)
                                 : zend_hash_index_find(ht, k.index, (void **)&slot)) != SUCCESS)
            continue; /* the callback took it away */
        SEPARATE_ZVAL_IF_NOT_REF(slot);
        zval *value = *slot;
        bool was_ref = value->is_ref;
        value->is_ref = 1;
        hold keep_value(value);
        zval *key = k.string_key ? new_string(k.key) : new_long(static_cast<long>(k.index));
        zval *argv[3] = {value, key, userdata};
        zval *r = zend::exec::call_function_with_references(callback, userdata ? 3 : 2, argv);
        zval_ptr_dtor(&key);
        if (value->refcount <= 2 && !was_ref)
            value->is_ref = 0; /* nobody else shares it: a plain value again */
        if (!r) {
            zend_error(E_WARNING, "array_walk(): Unable to call %s() - function does not exist",
                       callback_name(callback).c_str());
            break;
        }
        zval_ptr_dtor(&r);
    }
    if (userdata)
        zval_ptr_dtor(&userdata);
    RETURN_TRUE;
}

/* array_rand(array [, count]): one key, or an array of count keys in the
 * array's order. */
ZEND_FUNCTION(array_rand)
{
    HashTable *arr;
    long wanted = 1;
    if (!parse_args(ZEND_NUM_ARGS(), "a|l;array_rand(): First argument has to be an array", &arr, &wanted))
        return;
    std::vector<element> els = elements(arr);
    long available = static_cast<long>(els.size());
    if (ZEND_NUM_ARGS() > 1 && (wanted <= 0 || wanted > available)) {
        zend_error(E_WARNING, "array_rand(): Second argument has to be between 1 and the number of elements in the "
                              "array");
        return;
    }
    if (wanted > 1)
        array_init(return_value);
    std::uniform_real_distribution<double> draw(0.0, 1.0);
    for (const element &e : els) {
        if (wanted == 0)
            break;
        /* each key is taken with the chance that leaves the rest fair */
        if (draw(random_generator()) < static_cast<double>(wanted) / static_cast<double>(available)) {
            zval *key = e.string_key ? new_string(e.key) : new_long(static_cast<long>(e.index));
            if (return_value->type == IS_ARRAY) {
                array_append(return_value->value.ht, key);
            } else {
                return_value->type = key->type;
                return_value->value = key->value;
                FREE_ZVAL(key);
                return;
            }
            wanted--;
        }
        available--;
    }
}

/* shuffle(&array): the values in random order, keys renumbered. */
ZEND_FUNCTION(shuffle)
{
    HashTable *arr;
    args_result got = parse_args(ZEND_NUM_ARGS(), "a/;shuffle(): The argument should be an array", &arr);
    if (!got)
        return got.false_when_refused(return_value);
    std::vector<element> els = elements(arr);
    for (std::size_t i = els.size(); i > 1; i--) {
        std::uniform_int_distribution<std::size_t> pick(0, i - 1);
        std::swap(els[i - 1], els[pick(random_generator())]);
    }
    rebuild(arr, els, false, true);
    RETURN_TRUE;
}

namespace {

/* natsort and natcasesort: values in natural order, keys kept. */
void natural_sort(INTERNAL_FUNCTION_PARAMETERS, bool fold_case)
{
    HashTable *arr;
    args_result got = parse_args(ZEND_NUM_ARGS(), "a/;%s(): The argument should be an array", &arr);
    if (!got)
        return got.false_when_refused(return_value);
    std::vector<element> els = elements(arr);
    std::vector<std::string> texts;
    for (const element &e : els)
        texts.push_back(to_string(*e.data));
    /* sort positions, so each text is made once */
    std::vector<std::size_t> order(els.size());
    for (std::size_t i = 0; i < order.size(); i++)
        order[i] = i;
    engine_sort(order, [&](std::size_t a, std::size_t b) {
        return natural_compare(texts[a].data(), texts[a].size(), texts[b].data(), texts[b].size(), fold_case);
    });
    std::vector<element> sorted;
    for (std::size_t i : order)
        sorted.push_back(els[i]);
    rebuild(arr, sorted, true, false);
    RETURN_TRUE;
}

} // namespace

ZEND_FUNCTION(natsort)
{
    natural_sort(INTERNAL_FUNCTION_PARAM_PASSTHRU, false);
}

ZEND_FUNCTION(natcasesort)
{
    natural_sort(INTERNAL_FUNCTION_PARAM_PASSTHRU, true);
}

namespace {

int compare_with(long type, const zval *a, const zval *b)
{
    if (type == sort_numeric) {
        double x = to_double(a), y = to_double(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (type == sort_string) {
        std::string x = to_string(a), y = to_string(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return compare_values(a, b);
}

} // namespace

/* array_multisort(array [, order] [, type], array ...): sorts the first
 * array and reorders the others the same way, ties broken by the next
 * array; integer keys renumbered, string keys kept. */
ZEND_FUNCTION(array_multisort)
{
    /* arrays and sort flags in any order: each argument is judged below */
    std::vector<zval **> args;
    if (!parse_args(ZEND_NUM_ARGS(), "+", &args))
        return;
    struct column {
        zval **slot;
        long order = 1;
        long type = sort_regular;
    };
    std::vector<column> columns;
    bool order_allowed = false, type_allowed = false;
    for (std::size_t i = 0; i < args.size(); i++) {
        zval *arg = *args[i];
        int number = static_cast<int>(i + 1);
        if (arg->type == IS_ARRAY) {
            columns.push_back({args[i]});
            order_allowed = type_allowed = true;
        } else if (arg->type == IS_LONG) {
            long flag = arg->value.lval;
            bool is_order = flag == sort_asc || flag == sort_desc;
            bool is_type = flag == sort_regular || flag == sort_numeric || flag == sort_string;
            if (!is_order && !is_type) {
                zend_error(E_WARNING, "array_multisort(): Argument #%d is an unknown sort flag", number);
                RETURN_FALSE;
            }
            bool &allowed = is_order ? order_allowed : type_allowed;
            if (!allowed) {
                zend_error(E_WARNING, "array_multisort(): Argument #%d is expected to be an array or sorting flag that "
                                      "has not already been specified", number);
                RETURN_FALSE;
            }
            allowed = false;
            if (is_order)
                columns.back().order = flag == sort_desc ? -1 : 1;
            else
                columns.back().type = flag;
        } else {
            zend_error(E_WARNING, "array_multisort(): Argument #%d is expected to be an array or a sort flag", number);
            RETURN_FALSE;
        }
    }
    std::size_t rows = zend_hash_num_elements((*columns[0].slot)->value.ht);
    for (const column &c : columns)
        if (static_cast<std::size_t>(zend_hash_num_elements((*c.slot)->value.ht)) != rows) {
            zend_error(E_WARNING, "array_multisort(): Array sizes are inconsistent");
            RETURN_FALSE;
        }
    if (rows < 1)
        RETURN_TRUE;
    /* every value is held apart from its table: one array may be given
     * twice, and rebuilding it must not pull values from the other */
    std::vector<std::vector<element>> cells;
    std::vector<std::vector<zval *>> values;
    for (column &c : columns) {
        SEPARATE_ZVAL_IF_NOT_REF(c.slot);
        cells.push_back(elements((*c.slot)->value.ht));
        values.emplace_back();
        for (const element &e : cells.back()) {
            values.back().push_back(*e.data);
            (*e.data)->refcount++;
        }
    }
    for (std::size_t c = 0; c < cells.size(); c++)
        for (std::size_t i = 0; i < rows; i++)
            cells[c][i].data = &values[c][i];
    std::vector<std::size_t> order(rows);
    for (std::size_t i = 0; i < rows; i++)
        order[i] = i;
    engine_sort(order, [&](std::size_t a, std::size_t b) {
        for (std::size_t c = 0; c < columns.size(); c++) {
            int r = compare_with(columns[c].type, *cells[c][a].data, *cells[c][b].data);
            if (r != 0)
                return static_cast<int>(columns[c].order) * r;
        }
        return 0;
    });
    for (std::size_t c = 0; c < columns.size(); c++) {
        std::vector<element> sorted;
        for (std::size_t i : order)
            sorted.push_back(cells[c][i]);
        if ((*columns[c].slot)->type == IS_ARRAY)
            rebuild((*columns[c].slot)->value.ht, sorted, false, false);
    }
    for (std::vector<zval *> &column_values : values)
        for (zval *v : column_values)
            zval_ptr_dtor(&v);
    RETURN_TRUE;
}

/* array_count_values(array): how often each integer or string occurs. */
ZEND_FUNCTION(array_count_values)
{
    HashTable *arr;
    if (!parse_args(ZEND_NUM_ARGS(), "a;array_count_values(): The argument should be an array", &arr))
        return;
    array_init(return_value);
    HashTable *out = return_value->value.ht;
    for (const element &e : elements(arr)) {
        zval *v = *e.data;
        zval **count;
        if (v->type == IS_LONG) {
            if (zend_hash_index_find(out, static_cast<ulong>(v->value.lval), (void **)&count) == SUCCESS)
                (*count)->value.lval++;
            else
                array_put(out, static_cast<ulong>(v->value.lval), new_long(1));
        } else if (v->type == IS_STRING) {
            std::string key = to_string(v);
            if (zend_hash_find(out, key.c_str(), static_cast<uint>(key.size() + 1), (void **)&count) == SUCCESS)
                (*count)->value.lval++;
            else
                array_put(out, key, new_long(1));
        } else {
            zend_error(E_WARNING, "array_count_values(): Can only count STRING and INTEGER values!");
        }
    }
}

/* array_chunk(array, size [, preserve_keys]) */
ZEND_FUNCTION(array_chunk)
{
    HashTable *arr;
    long size;
    bool keep_keys = false;
    if (!parse_args(ZEND_NUM_ARGS(), "al|b;array_chunk(): The first argument should be an array", &arr, &size,
                    &keep_keys))
        return;
    if (size < 1) {
        zend_error(E_WARNING, "array_chunk(): Size parameter expected to be greater than 0");
        return;
    }
    array_init(return_value);
    zval *chunk = nullptr;
    for (const element &e : elements(arr)) {

        if (!chunk) {
            chunk = new_long(0);
            array_init(chunk);
        }
        if (keep_keys)
            put_element(chunk->value.ht, e, copy_of(*e.data));
        else
            array_append(chunk->value.ht, copy_of(*e.data));
        if (zend_hash_num_elements(chunk->value.ht) >= size) {
            array_append(return_value->value.ht, chunk);
            chunk = nullptr;
        }
    }
    if (chunk)
        array_append(return_value->value.ht, chunk);
}

namespace {

void constant_long(const char *name, long value)
{
    zval z;
    z.type = IS_LONG;
    z.value.lval = value;
    INIT_PZVAL(&z);
    zend::builtins::define_constant(name, &z, false, true);
}

} // namespace

namespace zend::builtins {

void register_library_constants()
{
    constant_long("SORT_ASC", sort_asc);
    constant_long("SORT_DESC", sort_desc);
    constant_long("PREG_PATTERN_ORDER", 1);
    constant_long("PREG_SET_ORDER", 2);
    constant_long("PREG_OFFSET_CAPTURE", 1 << 8);
    constant_long("PREG_SPLIT_NO_EMPTY", 1 << 0);
    constant_long("PREG_SPLIT_DELIM_CAPTURE", 1 << 1);
    constant_long("PREG_SPLIT_OFFSET_CAPTURE", 1 << 2);
    constant_long("PREG_GREP_INVERT", 1 << 0);
    constant_long("EXTR_PREFIX_SAME", 2);
    constant_long("EXTR_PREFIX_ALL", 3);
    constant_long("EXTR_PREFIX_INVALID", 4);
    constant_long("EXTR_PREFIX_IF_EXISTS", 5);
    constant_long("EXTR_IF_EXISTS", 6);
    constant_long("EXTR_REFS", 256);
}

} // namespace zend::builtins
