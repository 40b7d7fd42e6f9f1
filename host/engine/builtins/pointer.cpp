/* The array's internal pointer: each(), current()/pos(), key(), next(),
 * prev(), reset(), end().
 *
 * Every table has one internal pointer (HashTable.pInternalPointer),
 * null when it is past either end. These functions take their array by
 * reference, so they move the pointer of the caller's own variable: a
 * variable that shared its array with another is given a copy first,
 * whose pointer starts at the first element. An object's pointer is its
 * property table's. */
#include "builtins.h"
#include "core/operators.h"
#include "engine.h"

namespace {

using zend::builtins::args_result;
using zend::builtins::parse_args;

/* return_value = a copy of the element under the pointer, or false. */
void return_current(HashTable *ht, zval *return_value)
{
    zval **entry;
    if (zend_hash_get_current_data(ht, (void **)&entry) != SUCCESS) RETURN_FALSE;
    *return_value = **entry;
    zval_copy_ctor(return_value);
    return_value->refcount = 1;
    return_value->is_ref = 0;
}

/* The common shape of reset(), end(), next() and prev(): move, then
 * return the element now under the pointer. */
void move_and_return(INTERNAL_FUNCTION_PARAMETERS, void (*move)(HashTable *))
{
    HashTable *table;
    args_result got = parse_args(ZEND_NUM_ARGS(), "H;%s(): Passed variable is not an array or object", &table);
    if (!got) return got.false_when_refused(return_value);
    move(table);
    if (return_value_used) return_current(table, return_value);
}

void to_first(HashTable *ht) { zend_hash_internal_pointer_reset(ht); }
void to_last(HashTable *ht) { zend_hash_internal_pointer_end_ex(ht, nullptr); }
void forward(HashTable *ht) { zend_hash_move_forward(ht); }
void backwards(HashTable *ht) { zend_hash_move_backwards_ex(ht, nullptr); }

} // namespace

/* each(array): the element under the pointer as array(1 => value,
 * "value" => value, 0 => key, "key" => key), the pointer moved past it;
 * false at the end. */
ZEND_FUNCTION(each)
{
    HashTable *table;
    if (!parse_args(ZEND_NUM_ARGS(), "H;Variable passed to each() is not an array or object", &table)) return;
    zval **entry_ptr;
    if (zend_hash_get_current_data(table, (void **)&entry_ptr) != SUCCESS) RETURN_FALSE;
    array_init(return_value);
    zval *entry = *entry_ptr;
    if (entry->is_ref) {
        /* the element is a reference: the result holds a plain copy */
        zval *copy;
        ALLOC_ZVAL(copy);
        *copy = *entry;
        zval_copy_ctor(copy);
        copy->is_ref = 0;
        copy->refcount = 0;
        entry = copy;
    }
    zval *value = zend::share(entry);
    zend_hash_index_update(return_value->value.ht, 1, &value, sizeof(zval *), nullptr);
    value = zend::share(entry);
    zend_hash_update(return_value->value.ht, "value", sizeof "value", &value, sizeof(zval *), nullptr);

    zval *key;
    ALLOC_ZVAL(key);
    INIT_PZVAL(key);
    char *string_key;
    uint string_length;
    ulong index;
    if (zend_hash_get_current_key_ex(table, &string_key, &string_length, &index, 0, nullptr) == HASH_KEY_IS_STRING) {
        key->type = IS_STRING;
        key->value.str.len = string_length > 0 ? static_cast<int>(string_length) - 1 : 0;
        key->value.str.val = estrndup(string_key, static_cast<uint>(key->value.str.len));
    } else {
        key->type = IS_LONG;
        key->value.lval = static_cast<long>(index);
    }
    key->refcount = 2;
    zend_hash_index_update(return_value->value.ht, 0, &key, sizeof(zval *), nullptr);
    zend_hash_update(return_value->value.ht, "key", sizeof "key", &key, sizeof(zval *), nullptr);
    zend_hash_move_forward(table);
}

ZEND_FUNCTION(current)
{
    HashTable *table;
    args_result got = parse_args(ZEND_NUM_ARGS(), "H;current(): Passed variable is not an array or object", &table);
    if (!got) return got.false_when_refused(return_value);
    return_current(table, return_value);
}

ZEND_FUNCTION(pos) { ZEND_FN(current)(INTERNAL_FUNCTION_PARAM_PASSTHRU); }

/* key(array): the key under the pointer; null at the end. */
ZEND_FUNCTION(key)
{
    HashTable *table;
    args_result got = parse_args(ZEND_NUM_ARGS(), "H;key(): Passed variable is not an array or object", &table);
    if (!got) return got.false_when_refused(return_value);
    char *string_key;
    uint string_length;
    ulong index;
    switch (zend_hash_get_current_key_ex(table, &string_key, &string_length, &index, 0, nullptr)) {
    case HASH_KEY_IS_STRING:
        RETURN_STRINGL(string_key, string_length > 0 ? string_length - 1 : 0, 1);
    case HASH_KEY_IS_LONG:
        RETURN_LONG(static_cast<long>(index));
    default:
        RETURN_NULL();
    }
}

ZEND_FUNCTION(next) { move_and_return(INTERNAL_FUNCTION_PARAM_PASSTHRU, forward); }
ZEND_FUNCTION(prev) { move_and_return(INTERNAL_FUNCTION_PARAM_PASSTHRU, backwards); }
ZEND_FUNCTION(reset) { move_and_return(INTERNAL_FUNCTION_PARAM_PASSTHRU, to_first); }
ZEND_FUNCTION(end) { move_and_return(INTERNAL_FUNCTION_PARAM_PASSTHRU, to_last); }

