/* Pool-resident hash tables: the engine's own table record, with record and
 * bucket array in a pool and the persistent flag set, so the engine's hash
 * routines work on them directly. Deep copies of values and tables between
 * pools and request memory. */
#ifndef BRISKO_HASH_H
#define BRISKO_HASH_H

#include "php.h"
#include "brisko_alloc.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Size hint of the tables the extension keeps for the life of the process
 * (the value store's, the script cache's, the template file cache's) and
 * of a value-store group's item table: 128 buckets. */
#define BRISKO_TABLE_SIZE_HINT 100

int brisko_hash_init(HashTable *ht, uint nSize, hash_func_t pHashFunction, dtor_func_t pDestructor, bkpool *target);
HashTable *brisko_init_hashtable(uint nSize, dtor_func_t pDestructor, bkpool *target);
int brisko_init_hashtable_static(HashTable *ht, uint nSize, dtor_func_t pDestructor, bkpool *target);
void brisko_foreach(HashTable *ht, apply_func_args_t func, int num_args, ...);
/* The same walk over the elements inserted after `after` (all of them when
 * it is NULL). */
void brisko_foreach_after(HashTable *ht, Bucket *after, apply_func_args_t func, int num_args, ...);

typedef struct brisko_copy_dest {
    HashTable *dest;
    bkpool *target;
} brisko_copy_dest;

void brisko_copy_zval(zval *value, bkpool *target);
void brisko_copy_hashtable(HashTable *dest, HashTable *src, bkpool *target);
int brisko_copy_hashtable1(void *pData, int num_args, va_list args, zend_hash_key *key);
/* A deep copy of value laid out in one block of pool, for a value that is
 * never changed afterwards (its tables must not be inserted into or deleted
 * from). The copy and its elements are values of their own: count 1, not
 * references. */
zval *brisko_copy_frozen(const zval *value, bkpool *pool);
/* Forgets any copy that a fatal error cut short (request start). */
void brisko_copy_request_startup(void);

#ifdef __cplusplus
}
#endif

#endif
