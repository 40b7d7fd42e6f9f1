/* The value store: brisko_heaptable maps a group name to its group record,
 * a group's item table maps a key to its item. Groups and items are never
 * removed; storing under an existing key replaces the value in place (the
 * key keeps its position) and deletes the old value's pool.
 *
 * Names are looked up by their length up to the first NUL when storing and
 * reading; listing a group uses the argument's full length.
 */
#include <string.h>

#include "php.h"
#include "php_brisko.h"
#include "brisko_alloc.h"
#include "brisko_hash.h"
#include "heap_store.h"

extern "C" brisko_heap_group *brisko_heap_find_group(const char *name, uint length)
{
    void *data;
    if (brisko_heaptable == NULL) return NULL;
    if (zend_hash_find(brisko_heaptable, name, length, &data) != SUCCESS) return NULL;
    return *(brisko_heap_group **)data;
}

static brisko_heap_item *brisko_heap_find_item(brisko_heap_group *group, const char *key)
{
    void *data;
    if (zend_hash_find(group->items, key, (uint)strlen(key) + 1, &data) != SUCCESS) return NULL;
    return *(brisko_heap_item **)data;
}

extern "C" {

int brisko_heap_set(const char *group_name, const char *key, zval **value)
{
    uint group_length = (uint)strlen(group_name) + 1;
    brisko_heap_group *group = brisko_heap_find_group(group_name, group_length);
    if (group == NULL) {
        bkpool *pool = new_subbkpool(bkpool_global);
        group = (brisko_heap_group *)bkpool_malloc(sizeof(brisko_heap_group), pool);
        group->pool = pool;
        group->items = brisko_init_hashtable(BRISKO_TABLE_SIZE_HINT, NULL, pool);
        zend_hash_add_or_update(brisko_heaptable, group_name, group_length, &group, sizeof(group), NULL,
                                HASH_UPDATE);
    }

    brisko_heap_item *old = brisko_heap_find_item(group, key);
    if (old != NULL && old->pool != BK_TARGET_ENGINE && old->pool != BK_TARGET_REQUEST_HEAP)
        delete_bkpool(old->pool);

    /* The stored value is the store's own: its elements were shared with
     * the storing request's variables and may have been references there.
     * In the copy each is a value of its own (count 1, not a reference),
     * so every read hands the script fresh values that it can change and
     * let go without touching one another. */
    bkpool *pool = new_subbkpool(bkpool_global);
    zval *copy = brisko_copy_frozen(*value, pool);
    copy->refcount = BRISKO_STORED_REFCOUNT;

    brisko_heap_item *item = (brisko_heap_item *)brisko_malloc(sizeof(brisko_heap_item), pool);
    item->value = copy;
    item->pool = pool;
    return zend_hash_add_or_update(group->items, key, (uint)strlen(key) + 1, &item, sizeof(item), NULL,
                                   HASH_UPDATE);
}

zval *brisko_heap_get(const char *group_name, const char *key)
{
    brisko_heap_group *group = brisko_heap_find_group(group_name, (uint)strlen(group_name) + 1);
    if (group == NULL) return NULL;
    brisko_heap_item *item = brisko_heap_find_item(group, key);
    if (item == NULL) return NULL;

    zval *copy = (zval *)brisko_memdup(item->value, sizeof(zval), BK_TARGET_ENGINE);
    brisko_copy_zval(copy, BK_TARGET_ENGINE);
    return copy;
}

}
