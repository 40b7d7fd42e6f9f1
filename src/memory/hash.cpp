/* Pool-resident hash tables and the table walk.
 *
 * A pool table is the engine's own table record, marked persistent, so the
 * engine's routines fill and search it. The engine allocates its elements
 * (and any element data that does not fit the in-element slot) with the C
 * library, and reallocates the bucket array with the C library when the
 * table outgrows it. The pool therefore cannot record those blocks: it
 * would free a bucket array that has moved, and never the elements. So the
 * bucket array of a pool table is a C library block of its own, and the
 * table registers a cleanup on its pool that, when the pool is deleted,
 * frees every element, its separate data and the table's current bucket
 * array. The cleanup never calls the table's destructor: the values an
 * element points at live in pools themselves. The table record, when this
 * layer allocates it, is an ordinary pooled block, freed after the cleanup.
 *
 * Invariants: a pool table has persistent set and exactly one cleanup on
 * its pool; its bucket array, elements and element data are C-library
 * blocks that the pool does not record. A table made for the engine's
 * allocator (or for the request heap, which holds no tables) is an
 * ordinary engine table. While a walk is under way, the table's
 * nApplyCount is raised (when it is protected), so a table met again
 * inside its own walk can be told.
 */
#include <stdlib.h>
#include <string.h>

#include "php.h"
#include "brisko_hash.h"

static void brisko_pool_table_release(void *data)
{
    HashTable *ht = (HashTable *)data;
    Bucket *p = ht->pListHead;
    while (p != NULL) {
        Bucket *next = p->pListNext;
        if (p->pData != &p->pDataPtr) free(p->pData);
        free(p);
        p = next;
    }
    free(ht->arBuckets);
    ht->arBuckets = NULL;
    ht->pListHead = ht->pListTail = ht->pInternalPointer = NULL;
    ht->nNumOfElements = 0;
}

extern "C" {

int brisko_hash_init(HashTable *ht, uint nSize, hash_func_t pHashFunction, dtor_func_t pDestructor, bkpool *target)
{
    (void)pHashFunction;
    /* Tables never live in the request heap: read it as the engine. */
    if (target == BK_TARGET_REQUEST_HEAP) target = BK_TARGET_ENGINE;

    uint size = 8;
    while (size < nSize && size < 0x80000000u) size <<= 1;
    ht->nTableSize = size;
    ht->nTableMask = size - 1;

    if (target != BK_TARGET_ENGINE) {
        ht->arBuckets = (Bucket **)calloc(size, sizeof(Bucket *));
    } else {
        ht->arBuckets = (Bucket **)_ecalloc(size, sizeof(Bucket *));
    }
    if (ht->arBuckets == NULL) return FAILURE;

    ht->pDestructor = pDestructor;
    ht->pListHead = NULL;
    ht->pListTail = NULL;
    ht->pInternalPointer = NULL;
    ht->nNumOfElements = 0;
    ht->nNextFreeElement = 0;
    ht->persistent = target != BK_TARGET_ENGINE;
    ht->nApplyCount = 0;
    ht->bApplyProtection = 1;

    if (target != BK_TARGET_ENGINE) _bkpool_register_cleanup(target, brisko_pool_table_release, ht);
    return SUCCESS;
}

HashTable *brisko_init_hashtable(uint nSize, dtor_func_t pDestructor, bkpool *target)
{
    HashTable *ht;
    if (target == BK_TARGET_ENGINE || target == BK_TARGET_REQUEST_HEAP) {
        ALLOC_HASHTABLE(ht);
    } else {
        ht = (HashTable *)bkpool_malloc(sizeof(HashTable), target);
    }
    brisko_hash_init(ht, nSize, NULL, pDestructor, target);
    return ht;
}

int brisko_init_hashtable_static(HashTable *ht, uint nSize, dtor_func_t pDestructor, bkpool *target)
{
    memset(ht, 0, sizeof(*ht));
    return brisko_hash_init(ht, nSize, NULL, pDestructor, target);
}

/* Walks from `first` to the end in insertion order. The callback sees the
 * same arguments for every element: each call gets a fresh copy of the
 * list, positioned at the first argument after the count. */
static void brisko_walk(HashTable *ht, Bucket *first, apply_func_args_t func, int num_args, va_list args)
{
    int protected_walk = ht->bApplyProtection;
    if (protected_walk) ht->nApplyCount++;

    Bucket *p = first;
    while (p != NULL) {
        va_list each;
        va_copy(each, args);
        zend_hash_key key;
        key.arKey = p->arKey;
        key.nKeyLength = p->nKeyLength;
        key.h = p->h;
        int result = func(p->pData, num_args, each, &key);
        va_end(each);

        Bucket *next = p->pListNext;
        if (result != 0)
            zend_hash_del_key_or_index(ht, p->arKey, p->nKeyLength, p->h,
                                       p->nKeyLength != 0 ? HASH_DEL_KEY : HASH_DEL_INDEX);
        p = next;
    }

    if (protected_walk) ht->nApplyCount--;
}

void brisko_foreach(HashTable *ht, apply_func_args_t func, int num_args, ...)
{
    va_list args;
    va_start(args, num_args);
    brisko_walk(ht, ht->pListHead, func, num_args, args);
    va_end(args);
}

void brisko_foreach_after(HashTable *ht, Bucket *after, apply_func_args_t func, int num_args, ...)
{
    va_list args;
    va_start(args, num_args);
    brisko_walk(ht, after != NULL ? after->pListNext : ht->pListHead, func, num_args, args);
    va_end(args);
}

}
