/* The engine's hash table: an ordered dictionary.
 *
 * Invariants:
 * - Every element is on two doubly linked lists: its bucket chain
 *   (arBuckets[h & nTableMask], pNext/pLast) and the insertion-order list
 *   (pListHead..pListTail, pListNext/pListLast).
 * - nTableSize is a power of two >= 8; after an insert nNumOfElements never
 *   exceeds nTableSize (the bucket array doubles and is rehashed).
 * - nKeyLength is 0 for integer keys (h is the integer) and strlen + 1 for
 *   string keys; a string key spelling a canonical decimal integer is
 *   never stored as a string: it is that integer.
 * - Pointer-sized data lives in pDataPtr and pData == &pDataPtr; other data
 *   has a block of its own and pDataPtr == NULL. Which case holds is read
 *   from pData, never from pDataPtr, since a stored pointer may be NULL.
 * - Persistent tables take elements, data blocks and bucket arrays from the
 *   C library; others from the per-request allocator. */
#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/table_watch.h"
#include "zend.h"
#include "zend_alloc.h"
#include "zend_hash.h"

extern "C" {
ZEND_API void (*zend_block_interruptions)(void) = nullptr;
ZEND_API void (*zend_unblock_interruptions)(void) = nullptr;
}

namespace {

inline void *table_alloc(const HashTable *ht, std::size_t size) {
    return ht->persistent ? std::malloc(size) : emalloc(size);
}
inline void table_free(const HashTable *ht, void *p) {
    if (ht->persistent) std::free(p);
    else efree(p);
}

inline bool has_own_block(const Bucket *p) { return p->pData && p->pData != &p->pDataPtr; }

inline void block_interruptions() {
    if (zend_block_interruptions) zend_block_interruptions();
}
inline void unblock_interruptions() {
    if (zend_unblock_interruptions) zend_unblock_interruptions();
}

/* A key (length incl. NUL) that spells a canonical decimal integer that
 * fits a long: optional '-', no leading zeros except "0" itself, not "-0". */
bool numeric_key(const char *key, uint length, ulong *index) {
    if (length < 2 || key[length - 1] != '\0') return false;
    const char *p = key, *end = key + length - 1;
    bool negative = false;
    if (*p == '-') {
        negative = true;
        p++;
    }
    if (p == end || end - p > 20) return false;
    if (*p == '0' && (end - p > 1 || negative)) return false;
    unsigned long magnitude = 0;
    const unsigned long limit = negative ? (unsigned long)LONG_MAX + 1 : (unsigned long)LONG_MAX;
    for (; p < end; p++) {
        if (*p < '0' || *p > '9') return false;
        unsigned digit = unsigned(*p - '0');
        if (magnitude > (limit - digit) / 10) return false;
        magnitude = magnitude * 10 + digit;
    }
    *index = negative ? (ulong)(0ul - magnitude) : (ulong)magnitude;
    return true;
}

void link_bucket(HashTable *ht, Bucket *p) {
    uint nIndex = p->h & ht->nTableMask;
    p->pLast = nullptr;
    p->pNext = ht->arBuckets[nIndex];
    if (p->pNext) p->pNext->pLast = p;
    ht->arBuckets[nIndex] = p;
}

void append_to_list(HashTable *ht, Bucket *p) {
    p->pListLast = ht->pListTail;
    p->pListNext = nullptr;
    ht->pListTail = p;
    if (p->pListLast) p->pListLast->pListNext = p;
    if (!ht->pListHead) ht->pListHead = p;
    if (!ht->pInternalPointer) ht->pInternalPointer = p;
}

void rehash(HashTable *ht) {
    std::memset(ht->arBuckets, 0, ht->nTableSize * sizeof(Bucket *));
    for (Bucket *p = ht->pListHead; p; p = p->pListNext) link_bucket(ht, p);
}

/* Enlarges the bucket array to new_size buckets and relinks. A failed
 * enlargement leaves the table as it was: still correct, only with longer
 * chains. */
void resize(HashTable *ht, uint new_size) {
    Bucket **t;
    if (ht->persistent) {
        t = static_cast<Bucket **>(std::realloc(ht->arBuckets, new_size * sizeof(Bucket *)));
    } else {
        t = static_cast<Bucket **>(_erealloc(ht->arBuckets, new_size * sizeof(Bucket *), 1));
    }
    if (!t) return;
    block_interruptions();
    ht->arBuckets = t;
    ht->nTableSize = new_size;
    ht->nTableMask = new_size - 1;
    rehash(ht);
    unblock_interruptions();
}

/* Doubles the bucket array once the table holds more elements than
 * buckets. */
void grow_if_needed(HashTable *ht) {
    if (ht->nNumOfElements <= ht->nTableSize || ht->nTableSize >= (1u << 30)) return;
    resize(ht, ht->nTableSize << 1);
}

/* Stores pData into a fresh element's slot or block. */
bool store_data(HashTable *ht, Bucket *p, void *pData, uint nDataSize) {
    if (nDataSize == sizeof(void *)) {
        std::memcpy(&p->pDataPtr, pData, sizeof(void *));
        p->pData = &p->pDataPtr;
    } else {
        p->pData = table_alloc(ht, nDataSize ? nDataSize : 1);
        if (!p->pData) return false;
        if (nDataSize) std::memcpy(p->pData, pData, nDataSize); /* keys-only tables pass no data */
        p->pDataPtr = nullptr;
    }
    return true;
}

/* Replaces an existing element's data: the old data is destroyed, the new
 * copied into the same place (same size assumed, as the engine does). */
void replace_data(HashTable *ht, Bucket *p, void *pData, uint nDataSize) {
    block_interruptions();
    if (ht->pDestructor) ht->pDestructor(p->pData);
    if (nDataSize == sizeof(void *)) {
        if (has_own_block(p)) table_free(ht, p->pData);
        std::memcpy(&p->pDataPtr, pData, sizeof(void *));
        p->pData = &p->pDataPtr;
    } else {
        if (!has_own_block(p)) {
            /* Was pointer-sized, now larger: needs a block after all. */
            void *block = table_alloc(ht, nDataSize ? nDataSize : 1);
            if (block) {
                p->pData = block;
                p->pDataPtr = nullptr;
            }
        }
        if (has_own_block(p) && nDataSize) std::memcpy(p->pData, pData, nDataSize);
    }
    unblock_interruptions();
}

Bucket *new_bucket(HashTable *ht, const char *arKey, uint nKeyLength, ulong h) {
    /* arKey[1] is already part of the record. */
    std::size_t size = sizeof(Bucket) - 1 + (nKeyLength ? nKeyLength : 1);
    auto *p = static_cast<Bucket *>(table_alloc(ht, size));
    if (!p) return nullptr;
    if (nKeyLength) std::memcpy(p->arKey, arKey, nKeyLength);
    else p->arKey[0] = '\0';
    p->nKeyLength = nKeyLength;
    p->h = h;
    p->pDataPtr = nullptr;
    p->pData = nullptr;
    return p;
}

Bucket *find_string(const HashTable *ht, const char *arKey, uint nKeyLength, ulong h) {
    for (Bucket *p = ht->arBuckets[h & ht->nTableMask]; p; p = p->pNext)
        if (p->h == h && p->nKeyLength == nKeyLength && std::memcmp(p->arKey, arKey, nKeyLength) == 0)
            return p;
    return nullptr;
}

Bucket *find_index(const HashTable *ht, ulong h) {
    for (Bucket *p = ht->arBuckets[h & ht->nTableMask]; p; p = p->pNext)
        if (p->h == h && p->nKeyLength == 0) return p;
    return nullptr;
}

/* Unlinks and frees one element; the destructor runs first. */
void delete_bucket(HashTable *ht, Bucket *p) {
    zend::note_table_loss(ht);
    block_interruptions();
    if (p->pLast) p->pLast->pNext = p->pNext;
    else ht->arBuckets[p->h & ht->nTableMask] = p->pNext;
    if (p->pNext) p->pNext->pLast = p->pLast;
    if (p->pListLast) p->pListLast->pListNext = p->pListNext;
    else ht->pListHead = p->pListNext;
    if (p->pListNext) p->pListNext->pListLast = p->pListLast;
    else ht->pListTail = p->pListLast;
    if (ht->pInternalPointer == p) ht->pInternalPointer = p->pListNext;
    ht->nNumOfElements--;
    if (ht->pDestructor) ht->pDestructor(p->pData);
    if (has_own_block(p)) table_free(ht, p->pData);
    table_free(ht, p);
    unblock_interruptions();
}

/* Guards apply walks against a table reaching itself. */
bool enter_apply(HashTable *ht) {
    if (!ht->bApplyProtection) return true;
    if (ht->nApplyCount++ >= 3) {
        ht->nApplyCount--;
        zend_error(E_WARNING, "Nesting level too deep - recursive dependency?");
        return false;
    }
    return true;
}
void leave_apply(HashTable *ht) {
    if (ht->bApplyProtection) ht->nApplyCount--;
}

/* A new element under a key not in the table: its data stored, linked into
 * its chain and the insertion order, counted; the table grows when full. */
int insert_new(HashTable *ht, const char *arKey, uint nKeyLength, ulong h, void *pData, uint nDataSize,
               void **pDest) {
    Bucket *p = new_bucket(ht, arKey, nKeyLength, h);
    if (!p) return FAILURE;
    if (!store_data(ht, p, pData, nDataSize)) {
        table_free(ht, p);
        return FAILURE;
    }
    if (pDest) *pDest = p->pData;
    block_interruptions();
    link_bucket(ht, p);
    append_to_list(ht, p);
    unblock_interruptions();
    ht->nNumOfElements++;
    grow_if_needed(ht);
    return SUCCESS;
}

} // namespace

extern "C" {

ZEND_API ulong zend_hash_func(const char *arKey, uint nKeyLength) {
    ulong h = 5381;
    const char *end = arKey + nKeyLength;
    while (arKey < end) {
        h += h << 5;
        h ^= (ulong)(unsigned char)*arKey++;
    }
    return h;
}

ZEND_API int zend_hash_init(HashTable *ht, uint nSize, hash_func_t pHashFunction, dtor_func_t pDestructor,
                            int persistent) {
    uint size = 8;
    while (size < nSize && size < (1u << 30)) size <<= 1;
    ht->nTableSize = size;
    ht->nTableMask = size - 1;
    ht->nNumOfElements = 0;
    ht->nNextFreeElement = 0;
    ht->pInternalPointer = nullptr;
    ht->pListHead = nullptr;
    ht->pListTail = nullptr;
    ht->pDestructor = pDestructor;
    ht->persistent = persistent ? 1 : 0;
    ht->nApplyCount = 0;
    ht->bApplyProtection = 1;
    if (persistent) ht->arBuckets = static_cast<Bucket **>(std::calloc(size, sizeof(Bucket *)));
    else ht->arBuckets = static_cast<Bucket **>(ecalloc(size, sizeof(Bucket *)));
    return ht->arBuckets ? SUCCESS : FAILURE;
}

ZEND_API void zend_hash_destroy(HashTable *ht) {
    zend::note_table_loss(ht);
    Bucket *p = ht->pListHead;
    while (p) {
        Bucket *q = p;
        p = p->pListNext;
        if (ht->pDestructor) ht->pDestructor(q->pData);
        if (has_own_block(q)) table_free(ht, q->pData);
        table_free(ht, q);
    }
    if (ht->arBuckets) table_free(ht, ht->arBuckets);
    ht->arBuckets = nullptr;
    ht->pListHead = ht->pListTail = ht->pInternalPointer = nullptr;
    ht->nNumOfElements = 0;
}

ZEND_API void zend_hash_clean(HashTable *ht) {
    zend::note_table_loss(ht);
    Bucket *p = ht->pListHead;
    while (p) {
        Bucket *q = p;
        p = p->pListNext;
        if (ht->pDestructor) ht->pDestructor(q->pData);
        if (has_own_block(q)) table_free(ht, q->pData);
        table_free(ht, q);
    }
    if (ht->arBuckets) std::memset(ht->arBuckets, 0, ht->nTableSize * sizeof(Bucket *));
    ht->pListHead = ht->pListTail = ht->pInternalPointer = nullptr;
    ht->nNumOfElements = 0;
    ht->nNextFreeElement = 0;
}

ZEND_API int zend_hash_index_update_or_next_insert(HashTable *ht, ulong h, void *pData, uint nDataSize,
                                                   void **pDest, int flag) {
    if (!ht->arBuckets) return FAILURE;
    if (flag & HASH_NEXT_INSERT) h = ht->nNextFreeElement;
    if (Bucket *p = find_index(ht, h)) {
        if (flag & (HASH_NEXT_INSERT | HASH_ADD)) return FAILURE;
        replace_data(ht, p, pData, nDataSize);
        if ((long)h >= (long)ht->nNextFreeElement) ht->nNextFreeElement = h + 1;
        if (pDest) *pDest = p->pData;
        return SUCCESS;
    }
    if (insert_new(ht, nullptr, 0, h, pData, nDataSize, pDest) == FAILURE) return FAILURE;
    if ((long)h >= (long)ht->nNextFreeElement) ht->nNextFreeElement = h + 1;
    return SUCCESS;
}

ZEND_API int zend_hash_add_or_update(HashTable *ht, const char *arKey, uint nKeyLength, void *pData,
                                     uint nDataSize, void **pDest, int flag) {
    if (nKeyLength == 0 || !ht->arBuckets) return FAILURE;
    ulong index;
    if (numeric_key(arKey, nKeyLength, &index))
        return zend_hash_index_update_or_next_insert(ht, index, pData, nDataSize, pDest,
                                                     (flag & HASH_ADD) ? HASH_ADD : HASH_UPDATE);
    ulong h = zend_hash_func(arKey, nKeyLength);
    if (Bucket *p = find_string(ht, arKey, nKeyLength, h)) {
        if (flag & HASH_ADD) return FAILURE;
        replace_data(ht, p, pData, nDataSize);
        if (pDest) *pDest = p->pData;
        return SUCCESS;
    }
    if (insert_new(ht, arKey, nKeyLength, h, pData, nDataSize, pDest) == FAILURE) return FAILURE;
    return SUCCESS;
}

ZEND_API int zend_hash_del_key_or_index(HashTable *ht, const char *arKey, uint nKeyLength, ulong h, int flag) {
    if (!ht->arBuckets) return FAILURE;
    Bucket *p;
    if (flag == HASH_DEL_KEY) {
        if (nKeyLength == 0) return FAILURE;
        ulong index;
        if (numeric_key(arKey, nKeyLength, &index)) p = find_index(ht, index);
        else p = find_string(ht, arKey, nKeyLength, zend_hash_func(arKey, nKeyLength));
    } else {
        p = find_index(ht, h);
    }
    if (!p) return FAILURE;
    delete_bucket(ht, p);
    return SUCCESS;
}

ZEND_API int zend_hash_find(HashTable *ht, const char *arKey, uint nKeyLength, void **pData) {
    if (nKeyLength == 0 || !ht->arBuckets) return FAILURE;
    ulong index;
    Bucket *p = numeric_key(arKey, nKeyLength, &index)
                    ? find_index(ht, index)
                    : find_string(ht, arKey, nKeyLength, zend_hash_func(arKey, nKeyLength));
    if (!p) return FAILURE;
    if (pData) *pData = p->pData;
    return SUCCESS;
}

ZEND_API int zend_hash_index_find(HashTable *ht, ulong h, void **pData) {
    if (!ht->arBuckets) return FAILURE;
    Bucket *p = find_index(ht, h);
    if (!p) return FAILURE;
    if (pData) *pData = p->pData;
    return SUCCESS;
}

ZEND_API int zend_hash_exists(HashTable *ht, const char *arKey, uint nKeyLength) {
    return zend_hash_find(ht, arKey, nKeyLength, nullptr) == SUCCESS;
}

ZEND_API int zend_hash_index_exists(HashTable *ht, ulong h) {
    return ht->arBuckets && find_index(ht, h) != nullptr;
}

ZEND_API ulong zend_hash_next_free_element(HashTable *ht) { return ht->nNextFreeElement; }

ZEND_API int zend_hash_num_elements(HashTable *ht) { return (int)ht->nNumOfElements; }

ZEND_API void zend_hash_apply(HashTable *ht, apply_func_t apply_func) {
    if (!enter_apply(ht)) return;
    Bucket *p = ht->pListHead;
    while (p) {
        Bucket *next = p->pListNext;
        int result = apply_func(p->pData);
        if (result & ZEND_HASH_APPLY_REMOVE) delete_bucket(ht, p);
        if (result & ZEND_HASH_APPLY_STOP) break;
        p = next;
    }
    leave_apply(ht);
}

ZEND_API void zend_hash_apply_with_argument(HashTable *ht, apply_func_arg_t apply_func, void *argument) {
    if (!enter_apply(ht)) return;
    Bucket *p = ht->pListHead;
    while (p) {
        Bucket *next = p->pListNext;
        int result = apply_func(p->pData, argument);
        if (result & ZEND_HASH_APPLY_REMOVE) delete_bucket(ht, p);
        if (result & ZEND_HASH_APPLY_STOP) break;
        p = next;
    }
    leave_apply(ht);
}

ZEND_API void zend_hash_apply_with_arguments(HashTable *ht, apply_func_args_t apply_func, int num_args, ...) {
    if (!enter_apply(ht)) return;
    Bucket *p = ht->pListHead;
    while (p) {
        Bucket *next = p->pListNext;
        zend_hash_key key = {p->arKey, p->nKeyLength, p->h};
        va_list args;
        va_start(args, num_args);
        int result = apply_func(p->pData, num_args, args, &key);
        va_end(args);
        if (result & ZEND_HASH_APPLY_REMOVE) delete_bucket(ht, p);
        if (result & ZEND_HASH_APPLY_STOP) break;
        p = next;
    }
    leave_apply(ht);
}

ZEND_API void zend_hash_copy(HashTable *target, HashTable *source, copy_ctor_func_t pCopyConstructor, void *tmp,
                             uint size) {
    (void)tmp;
    if (target->nNumOfElements == 0 && target->arBuckets) {
        /* Into an empty table: its bucket array sized once, the source's
         * keys (unique, their hashes known) appended without a look-up. */
        uint wanted = target->nTableSize;
        while (wanted < source->nNumOfElements && wanted < (1u << 30)) wanted <<= 1;
        if (wanted != target->nTableSize) resize(target, wanted);
        for (Bucket *p = source->pListHead; p; p = p->pListNext) {
            void *stored = nullptr;
            if (insert_new(target, p->nKeyLength ? p->arKey : nullptr, p->nKeyLength, p->h, p->pData, size,
                           &stored) == FAILURE)
                continue;
            if (!p->nKeyLength && (long)p->h >= (long)target->nNextFreeElement) target->nNextFreeElement = p->h + 1;
            if (pCopyConstructor) pCopyConstructor(stored);
        }
        target->pInternalPointer = target->pListHead;
        return;
    }
    for (Bucket *p = source->pListHead; p; p = p->pListNext) {
        void *stored = nullptr;
        int rc = p->nKeyLength
                     ? zend_hash_add_or_update(target, p->arKey, p->nKeyLength, p->pData, size, &stored, HASH_UPDATE)
                     : zend_hash_index_update_or_next_insert(target, p->h, p->pData, size, &stored, HASH_UPDATE);
        if (rc == SUCCESS && pCopyConstructor) pCopyConstructor(stored);
    }
    target->pInternalPointer = target->pListHead;
}

/* Iteration. A NULL position means the table's own internal pointer. */

ZEND_API void zend_hash_internal_pointer_reset_ex(HashTable *ht, HashPosition *pos) {
    if (pos) *pos = ht->pListHead;
    else ht->pInternalPointer = ht->pListHead;
}

ZEND_API void zend_hash_internal_pointer_end_ex(HashTable *ht, HashPosition *pos) {
    if (pos) *pos = ht->pListTail;
    else ht->pInternalPointer = ht->pListTail;
}

ZEND_API int zend_hash_move_forward_ex(HashTable *ht, HashPosition *pos) {
    HashPosition *current = pos ? pos : &ht->pInternalPointer;
    if (!*current) return FAILURE;
    *current = (*current)->pListNext;
    return SUCCESS;
}

ZEND_API int zend_hash_move_backwards_ex(HashTable *ht, HashPosition *pos) {
    HashPosition *current = pos ? pos : &ht->pInternalPointer;
    if (!*current) return FAILURE;
    *current = (*current)->pListLast;
    return SUCCESS;
}

ZEND_API int zend_hash_get_current_key_ex(HashTable *ht, char **str_index, uint *str_length, ulong *num_index,
                                          zend_bool duplicate, HashPosition *pos) {
    Bucket *p = pos ? *pos : ht->pInternalPointer;
    if (!p) return HASH_KEY_NON_EXISTANT;
    if (p->nKeyLength) {
        if (str_index) *str_index = duplicate ? estrndup(p->arKey, p->nKeyLength - 1) : p->arKey;
        if (str_length) *str_length = p->nKeyLength;
        return HASH_KEY_IS_STRING;
    }
    if (num_index) *num_index = p->h;
    return HASH_KEY_IS_LONG;
}

ZEND_API int zend_hash_get_current_key_type_ex(HashTable *ht, HashPosition *pos) {
    Bucket *p = pos ? *pos : ht->pInternalPointer;
    if (!p) return HASH_KEY_NON_EXISTANT;
    return p->nKeyLength ? HASH_KEY_IS_STRING : HASH_KEY_IS_LONG;
}

ZEND_API int zend_hash_get_current_data_ex(HashTable *ht, void **pData, HashPosition *pos) {
    Bucket *p = pos ? *pos : ht->pInternalPointer;
    if (!p) return FAILURE;
    *pData = p->pData;
    return SUCCESS;
}

} // extern "C"

namespace zend {

unsigned long table_epoch = 1;
std::uint32_t watch_filter[watch_filter_size];

void reset_table_watch() {
    for (auto &count : watch_filter) count = 0;
    table_epoch++;
}

bool is_numeric_key(const char *key, uint length) {
    ulong index;
    return numeric_key(key, length, &index);
}

void **hash_find_known(const HashTable *ht, const char *key, uint length, ulong h) {
    if (!ht->arBuckets) return nullptr;
    Bucket *p = find_string(ht, key, length, h);
    return p ? static_cast<void **>(p->pData) : nullptr;
}

void **hash_insert_known(HashTable *ht, const char *key, uint length, ulong h, void *data) {
    if (!ht->arBuckets) return nullptr;
    void *stored = nullptr;
    if (insert_new(ht, key, length, h, &data, sizeof(void *), &stored) == FAILURE) return nullptr;
    return static_cast<void **>(stored);
}

} // namespace zend
