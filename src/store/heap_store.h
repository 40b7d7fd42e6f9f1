/* Named values kept across requests: groups of items, each item's value
 * deep-copied into a pool of its own so that replacing it gives all of its
 * memory back with one pool deletion. */
#ifndef BRISKO_HEAP_STORE_H
#define BRISKO_HEAP_STORE_H

#include "php.h"
#include "brisko_pool.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Reference count of a stored value record: no script holds it, and the
 * engine must never think it may free it. */
#define BRISKO_STORED_REFCOUNT 60000

typedef struct brisko_heap_group {
    HashTable *items; /* item key -> brisko_heap_item*, in the group's pool */
    bkpool *pool;     /* the group's pool, a child of bkpool_global */
} brisko_heap_group;

typedef struct brisko_heap_item {
    zval *value;      /* the stored copy, in pool */
    bkpool *pool;     /* the value's own pool, a child of bkpool_global */
} brisko_heap_item;

/* The group of that name (length counts the NUL), or NULL. */
brisko_heap_group *brisko_heap_find_group(const char *name, uint length);
int brisko_heap_set(const char *group, const char *key, zval **value);
zval *brisko_heap_get(const char *group, const char *key);

#ifdef __cplusplus
}
#endif

#endif
