/* The engine's hash table: an ordered dictionary with string and integer
 * keys. String keys are passed with their length including the terminating
 * NUL; a string key that spells a canonical decimal integer is the integer
 * key. Data of pointer size lives in the element's own slot (pDataPtr). */
#ifndef ZEND_HASH_H
#define ZEND_HASH_H

#include <stdarg.h>
#include "zend_types.h"

#define HASH_KEY_IS_STRING 1
#define HASH_KEY_IS_LONG 2
#define HASH_KEY_NON_EXISTANT 3

#define HASH_UPDATE (1 << 0)
#define HASH_ADD (1 << 1)
#define HASH_NEXT_INSERT (1 << 2)

#define HASH_DEL_KEY 0
#define HASH_DEL_INDEX 1

#define ZEND_HASH_APPLY_KEEP 0
#define ZEND_HASH_APPLY_REMOVE 1
#define ZEND_HASH_APPLY_STOP 2

typedef ulong (*hash_func_t)(const char *arKey, uint nKeyLength);
typedef void (*dtor_func_t)(void *pDest);
typedef void (*copy_ctor_func_t)(void *pElement);

typedef struct bucket {
    ulong h;                  /* hash of the key; the integer itself for integer keys */
    uint nKeyLength;          /* 0 for integer keys, else strlen + 1 */
    void *pData;              /* the data; &pDataPtr when pointer-sized */
    void *pDataPtr;           /* in-element slot for pointer-sized data, else NULL */
    struct bucket *pListNext; /* insertion order */
    struct bucket *pListLast;
    struct bucket *pNext;     /* same bucket chain */
    struct bucket *pLast;
    char arKey[1];            /* key bytes; allocated with the element */
} Bucket;

typedef struct _hashtable {
    uint nTableSize;          /* power of two */
    uint nTableMask;          /* nTableSize - 1 */
    uint nNumOfElements;
    ulong nNextFreeElement;
    Bucket *pInternalPointer;
    Bucket *pListHead;
    Bucket *pListTail;
    Bucket **arBuckets;
    dtor_func_t pDestructor;
    zend_bool persistent;     /* elements and arrays from the C library when set */
    unsigned char nApplyCount;
    zend_bool bApplyProtection;
} HashTable;

typedef struct _zend_hash_key {
    const char *arKey;
    uint nKeyLength;
    ulong h;
} zend_hash_key;

typedef Bucket *HashPosition;

typedef int (*apply_func_t)(void *pDest);
typedef int (*apply_func_arg_t)(void *pDest, void *argument);
typedef int (*apply_func_args_t)(void *pDest, int num_args, va_list args, zend_hash_key *hash_key);

BEGIN_EXTERN_C()

ZEND_API int zend_hash_init(HashTable *ht, uint nSize, hash_func_t pHashFunction, dtor_func_t pDestructor, int persistent);
ZEND_API void zend_hash_destroy(HashTable *ht);
ZEND_API void zend_hash_clean(HashTable *ht);

ZEND_API int zend_hash_add_or_update(HashTable *ht, const char *arKey, uint nKeyLength, void *pData, uint nDataSize, void **pDest, int flag);
#define zend_hash_update(ht, arKey, nKeyLength, pData, nDataSize, pDest) \
    zend_hash_add_or_update(ht, arKey, nKeyLength, pData, nDataSize, pDest, HASH_UPDATE)
#define zend_hash_add(ht, arKey, nKeyLength, pData, nDataSize, pDest) \
    zend_hash_add_or_update(ht, arKey, nKeyLength, pData, nDataSize, pDest, HASH_ADD)

ZEND_API int zend_hash_index_update_or_next_insert(HashTable *ht, ulong h, void *pData, uint nDataSize, void **pDest, int flag);
#define zend_hash_index_update(ht, h, pData, nDataSize, pDest) \
    zend_hash_index_update_or_next_insert(ht, h, pData, nDataSize, pDest, HASH_UPDATE)
#define zend_hash_next_index_insert(ht, pData, nDataSize, pDest) \
    zend_hash_index_update_or_next_insert(ht, 0, pData, nDataSize, pDest, HASH_NEXT_INSERT)

ZEND_API int zend_hash_del_key_or_index(HashTable *ht, const char *arKey, uint nKeyLength, ulong h, int flag);
#define zend_hash_del(ht, arKey, nKeyLength) \
    zend_hash_del_key_or_index(ht, arKey, nKeyLength, 0, HASH_DEL_KEY)
#define zend_hash_index_del(ht, h) \
    zend_hash_del_key_or_index(ht, NULL, 0, h, HASH_DEL_INDEX)

ZEND_API int zend_hash_find(HashTable *ht, const char *arKey, uint nKeyLength, void **pData);
ZEND_API int zend_hash_index_find(HashTable *ht, ulong h, void **pData);
ZEND_API int zend_hash_exists(HashTable *ht, const char *arKey, uint nKeyLength);
ZEND_API int zend_hash_index_exists(HashTable *ht, ulong h);
ZEND_API ulong zend_hash_next_free_element(HashTable *ht);
ZEND_API int zend_hash_num_elements(HashTable *ht);

ZEND_API void zend_hash_apply(HashTable *ht, apply_func_t apply_func);
ZEND_API void zend_hash_apply_with_argument(HashTable *ht, apply_func_arg_t apply_func, void *argument);
ZEND_API void zend_hash_apply_with_arguments(HashTable *ht, apply_func_args_t apply_func, int num_args, ...);

ZEND_API void zend_hash_copy(HashTable *target, HashTable *source, copy_ctor_func_t pCopyConstructor, void *tmp, uint size);

ZEND_API int zend_hash_move_forward_ex(HashTable *ht, HashPosition *pos);
ZEND_API int zend_hash_move_backwards_ex(HashTable *ht, HashPosition *pos);
ZEND_API int zend_hash_get_current_key_ex(HashTable *ht, char **str_index, uint *str_length, ulong *num_index, zend_bool duplicate, HashPosition *pos);
ZEND_API int zend_hash_get_current_key_type_ex(HashTable *ht, HashPosition *pos);
ZEND_API int zend_hash_get_current_data_ex(HashTable *ht, void **pData, HashPosition *pos);
ZEND_API void zend_hash_internal_pointer_reset_ex(HashTable *ht, HashPosition *pos);
ZEND_API void zend_hash_internal_pointer_end_ex(HashTable *ht, HashPosition *pos);
#define zend_hash_internal_pointer_reset(ht) zend_hash_internal_pointer_reset_ex(ht, NULL)
#define zend_hash_move_forward(ht) zend_hash_move_forward_ex(ht, NULL)
#define zend_hash_get_current_data(ht, pData) zend_hash_get_current_data_ex(ht, pData, NULL)
#define zend_hash_get_current_key(ht, s, n, dup) zend_hash_get_current_key_ex(ht, s, NULL, n, dup, NULL)

/* The engine's string hash (times 33, xor), over nKeyLength bytes. */
ZEND_API ulong zend_hash_func(const char *arKey, uint nKeyLength);

/* Interruption hooks; the engine calls them only when set. */
ZEND_API extern void (*zend_block_interruptions)(void);
ZEND_API extern void (*zend_unblock_interruptions)(void);

END_EXTERN_C()

#endif
