/* The PHP functions of the value store. Group and key arguments become
 * strings in place, the engine's way; the value is taken as it is. */
#include "php.h"
#include "php_brisko.h"
#include "brisko_alloc.h"
#include "brisko_hash.h"
#include "heap_store.h"

/* Lists the string keys of a group's item table into an array. */
static int brisko_heap_list_key(void *pData, int num_args, va_list args, zend_hash_key *key)
{
    (void)pData;
    (void)num_args;
    zval *list = va_arg(args, zval *);
    if (key->nKeyLength == 0) return 0;

    zval *name;
    ALLOC_ZVAL(name);
    name->refcount = 1;
    name->is_ref = 0;
    name->type = IS_STRING;
    name->value.str.val = (char *)brisko_memdup(key->arKey, key->nKeyLength, BK_TARGET_ENGINE);
    name->value.str.len = (int)key->nKeyLength - 1;
    zend_hash_index_update_or_next_insert(list->value.ht, 0, &name, sizeof(zval *), NULL, HASH_NEXT_INSERT);
    return 0;
}

extern "C" {

ZEND_FUNCTION(brisko_heap_set)
{
    zval **group, **key, **value;
    if (ZEND_NUM_ARGS() != 3 || zend_get_parameters_ex(3, &group, &key, &value) == FAILURE) WRONG_PARAM_COUNT;
    convert_to_string_ex(group);
    convert_to_string_ex(key);
    brisko_heap_set((*group)->value.str.val, (*key)->value.str.val, value);
    RETURN_TRUE;
}

ZEND_FUNCTION(brisko_heap_get)
{
    zval **group, **key;
    if (ZEND_NUM_ARGS() != 2 || zend_get_parameters_ex(2, &group, &key) == FAILURE) WRONG_PARAM_COUNT;
    convert_to_string_ex(group);
    convert_to_string_ex(key);

    zval *copy = brisko_heap_get((*group)->value.str.val, (*key)->value.str.val);
    if (copy == NULL) RETURN_NULL();
    /* The script gets a value of its own, not the stored record's
     * reference count and flag. */
    return_value->value = copy->value;
    return_value->type = copy->type;
    return_value->refcount = 1;
    return_value->is_ref = 0;
    efree(copy);
}

ZEND_FUNCTION(brisko_heap_get_index)
{
    zval **group;
    if (ZEND_NUM_ARGS() != 1 || zend_get_parameters_ex(1, &group) == FAILURE) WRONG_PARAM_COUNT;
    convert_to_string_ex(group);

    brisko_heap_group *found =
        brisko_heap_find_group((*group)->value.str.val, (uint)(*group)->value.str.len + 1);
    if (found == NULL) RETURN_NULL();
    array_init(return_value);
    brisko_foreach(found->items, brisko_heap_list_key, 1, return_value);
}

}
