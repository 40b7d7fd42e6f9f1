/* Deep copies of values and tables into a target (a pool, or the engine's
 * per-request allocator).
 *
 * A copy shares nothing with its source but the engine's shared empty
 * string and the global symbol table. Reference counts and reference flags
 * travel unchanged; objects are not copied (they become null).
 *
 * A value can contain itself through references. The walk of a table
 * raises its apply count while it is in progress, so an array whose table
 * is met again while its own walk is under way is a cycle: the copy stores
 * null at that point and warns once per outermost copy, instead of
 * recursing without end. Arrays nested deeper than BRISKO_COPY_MAX_DEPTH
 * are cut the same way, so a hostile value cannot exhaust the stack.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "php.h"
#include "brisko_hash.h"

static int brisko_copy_depth = 0;       /* nesting of array copies in progress */
static int brisko_copy_cycle_warned = 0; /* a warning was raised in this copy */

/* Each level of nesting costs a few stack frames of the copy. */
#define BRISKO_COPY_MAX_DEPTH 2000

/* why is the warning's format; it may name the depth limit with %d. */
static void brisko_copy_cut(zval *value, const char *why)
{
    if (!brisko_copy_cycle_warned) {
        brisko_copy_cycle_warned = 1;
        zend_error(E_WARNING, why, BRISKO_COPY_MAX_DEPTH);
    }
    value->type = IS_NULL;
    value->value.ht = NULL;
}

/* Why the array src cannot be copied where the copy has got to (a cycle, or
 * too deep), as the warning's format; NULL when it can. */
static const char *brisko_copy_refusal(const HashTable *src)
{
    if (src->nApplyCount > 0) return "Cannot copy a value that contains itself: the repeated array is stored as NULL";
    if (brisko_copy_depth >= BRISKO_COPY_MAX_DEPTH)
        return "Cannot copy arrays nested more than %d levels deep: the deeper arrays are stored as NULL";
    return NULL;
}

static void brisko_copy_array(zval *value, bkpool *target)
{
    HashTable *src = value->value.ht;
    if (src == NULL || src == &EG(symbol_table)) return;

    if (brisko_copy_depth == 0) brisko_copy_cycle_warned = 0;
    const char *refusal = brisko_copy_refusal(src);
    if (refusal != NULL) {
        brisko_copy_cut(value, refusal);
        return;
    }

    /* Sized once for every element of the source. */
    HashTable *dest = brisko_init_hashtable(src->nNumOfElements, (dtor_func_t)_zval_ptr_dtor, target);
    value->value.ht = dest;

    /* The source is marked as being copied, so that a cycle through it is
     * seen. */
    src->nApplyCount++;
    brisko_copy_depth++;
    brisko_copy_hashtable(dest, src, target);
    brisko_copy_depth--;
    src->nApplyCount--;
}

/* Where the table copy in progress puts its values: the engine's copy
 * routine hands its element constructor nothing else. Saved and restored
 * around every table, so nested arrays see their own. */
static bkpool *brisko_copy_target = NULL;

/* A copy of one value in the current target, whole. */
static zval *brisko_copy_value(zval *source, bkpool *target)
{
    zval *copy;
    if (target == BK_TARGET_ENGINE || target == BK_TARGET_REQUEST_HEAP) {
        ALLOC_ZVAL(copy);
        *copy = *source;
        if (source->type == IS_STRING && source->value.str.val != NULL && source->value.str.val != empty_string &&
            source->value.str.len > 0) {
            /* The common element, copied without the general dispatch. */
            size_t length = (size_t)source->value.str.len;
            copy->value.str.val = (char *)_emalloc(length + 1);
            memcpy(copy->value.str.val, source->value.str.val, length + 1);
            return copy;
        }
    } else if ((source->type == IS_STRING || source->type == IS_CONSTANT) && source->value.str.val != NULL &&
               source->value.str.val != empty_string && source->value.str.len > 0) {
        /* In a pool a string value and its text share one block. */
        size_t length = (size_t)source->value.str.len;
        copy = (zval *)bkpool_malloc(sizeof(zval) + length + 1, target);
        *copy = *source;
        copy->value.str.val = (char *)(copy + 1);
        memcpy(copy->value.str.val, source->value.str.val, length + 1);
        return copy;
    } else {
        copy = (zval *)brisko_memdup(source, sizeof(zval), target);
    }
    brisko_copy_zval(copy, target);
    return copy;
}

/* The element constructor: the new element still holds the source's value
 * and gets a copy of its own. */
static void brisko_copy_element(void *pElement)
{
    zval **slot = (zval **)pElement;
    *slot = brisko_copy_value(*slot, brisko_copy_target);
}

extern "C" {

void brisko_copy_request_startup(void)
{
    brisko_copy_depth = 0;
    brisko_copy_cycle_warned = 0;
    brisko_copy_target = NULL;
}

void brisko_copy_zval(zval *value, bkpool *target)
{
    switch (value->type) {
    case IS_STRING:
    case IS_CONSTANT:
        if (value->value.str.val == NULL || value->value.str.val == empty_string) break;
        if (value->value.str.len == 0) {
            value->value.str.val = empty_string;
        } else {
            value->value.str.val =
                (char *)brisko_memdup(value->value.str.val, (size_t)value->value.str.len + 1, target);
        }
        break;
    case IS_ARRAY:
    case IS_CONSTANT_ARRAY:
        brisko_copy_array(value, target);
        break;
    case IS_OBJECT:
        value->type = IS_NULL;
        break;
    default:
        break;
    }
}

/* The engine's table copy keeps the order, the keys and their hashes, and
 * fills an empty destination without looking keys up. */
void brisko_copy_hashtable(HashTable *dest, HashTable *src, bkpool *target)
{
    bkpool *outer = brisko_copy_target;
    brisko_copy_target = target;
    zval *tmp;
    zend_hash_copy(dest, src, brisko_copy_element, &tmp, sizeof(zval *));
    brisko_copy_target = outer;
}

int brisko_copy_hashtable1(void *pData, int num_args, va_list args, zend_hash_key *key)
{
    (void)num_args;
    brisko_copy_dest *arg = va_arg(args, brisko_copy_dest *);
    zval *copy = brisko_copy_value(*(zval **)pData, arg->target);

    if (key->nKeyLength != 0) {
        zend_hash_add_or_update(arg->dest, key->arKey, key->nKeyLength, &copy, sizeof(zval *), NULL, HASH_UPDATE);
    } else {
        zend_hash_index_update_or_next_insert(arg->dest, key->h, &copy, sizeof(zval *), NULL, HASH_UPDATE);
    }
    return 0;
}

}

/* Frozen copies.
 *
 * A stored value is never changed once stored: it is only copied out, and
 * deleted with its pool when replaced. Its copy is therefore laid out in one
 * pooled block, measured first and then filled: value records, texts, and
 * for every array its table record, bucket array and elements, built as the
 * engine's own copy into an empty table builds them (same keys, hashes,
 * order and chains, the next free index of the integer keys, the internal
 * pointer at the first element). Storing takes one allocation instead of
 * two per element, deleting the pool frees one block, and reading walks
 * contiguous memory. The tables are persistent and own nothing outside the
 * block, so nothing may insert into them or delete from them.
 *
 * Measuring and filling take the same decisions (a cycle or too deep a
 * nesting cuts the array to NULL), so the block is exactly the size filled. */

namespace {

size_t frozen_round(size_t n)
{
    return (n + 7) & ~(size_t)7;
}

uint frozen_table_size(uint count)
{
    uint size = 8;
    while (size < count && size < 0x80000000u) size <<= 1;
    return size;
}

size_t frozen_bucket_size(uint key_length)
{
    return frozen_round(sizeof(Bucket) - 1 + (key_length != 0 ? key_length : 1));
}

bool frozen_has_text(const zval *value)
{
    return (value->type == IS_STRING || value->type == IS_CONSTANT) && value->value.str.val != NULL &&
           value->value.str.val != empty_string && value->value.str.len > 0;
}

bool frozen_has_table(const zval *value)
{
    return (value->type == IS_ARRAY || value->type == IS_CONSTANT_ARRAY) && value->value.ht != NULL &&
           value->value.ht != &EG(symbol_table);
}

void *frozen_take(char **cursor, size_t size)
{
    void *p = *cursor;
    *cursor += frozen_round(size);
    return p;
}

/* Bytes that the contents of value take in a frozen copy (not counting the
 * value record itself). */
size_t frozen_size(const zval *value)
{
    if (frozen_has_text(value)) return frozen_round((size_t)value->value.str.len + 1);
    if (!frozen_has_table(value)) return 0;
    HashTable *src = value->value.ht;
    if (brisko_copy_refusal(src) != NULL) return 0;

    size_t size = frozen_round(sizeof(HashTable)) + frozen_round(sizeof(Bucket *) * frozen_table_size(src->nNumOfElements));
    src->nApplyCount++;
    brisko_copy_depth++;
    for (Bucket *p = src->pListHead; p != NULL; p = p->pListNext)
        size += frozen_bucket_size(p->nKeyLength) + frozen_round(sizeof(zval)) + frozen_size(*(zval **)p->pData);
    brisko_copy_depth--;
    src->nApplyCount--;
    return size;
}

/* Replaces what the record copy (a byte copy of its source) points at with
 * copies carved from *cursor. Elements become values of their own: count 1,
 * not references. */
void frozen_fill(zval *copy, char **cursor)
{
    if (frozen_has_text(copy)) {
        size_t length = (size_t)copy->value.str.len;
        char *text = (char *)frozen_take(cursor, length + 1);
        memcpy(text, copy->value.str.val, length + 1);
        copy->value.str.val = text;
        return;
    }
    if (!frozen_has_table(copy)) {
        /* The cases the general copy settles without allocating. */
        brisko_copy_zval(copy, BK_TARGET_ENGINE);
        return;
    }

    HashTable *src = copy->value.ht;
    if (brisko_copy_depth == 0) brisko_copy_cycle_warned = 0;
    const char *refusal = brisko_copy_refusal(src);
    if (refusal != NULL) {
        brisko_copy_cut(copy, refusal);
        return;
    }

    uint size = frozen_table_size(src->nNumOfElements);
    HashTable *ht = (HashTable *)frozen_take(cursor, sizeof(HashTable));
    memset(ht, 0, sizeof(*ht));
    ht->nTableSize = size;
    ht->nTableMask = size - 1;
    ht->arBuckets = (Bucket **)frozen_take(cursor, sizeof(Bucket *) * size);
    memset(ht->arBuckets, 0, sizeof(Bucket *) * size);
    ht->pDestructor = (dtor_func_t)_zval_ptr_dtor;
    ht->persistent = 1;
    ht->bApplyProtection = 1;

    src->nApplyCount++;
    brisko_copy_depth++;
    for (Bucket *p = src->pListHead; p != NULL; p = p->pListNext) {
        Bucket *b = (Bucket *)frozen_take(cursor, sizeof(Bucket) - 1 + (p->nKeyLength != 0 ? p->nKeyLength : 1));
        b->h = p->h;
        b->nKeyLength = p->nKeyLength;
        if (p->nKeyLength != 0) memcpy(b->arKey, p->arKey, p->nKeyLength);
        else b->arKey[0] = '\0';

        zval *element = (zval *)frozen_take(cursor, sizeof(zval));
        *element = **(zval **)p->pData;
        element->refcount = 1;
        element->is_ref = 0;
        frozen_fill(element, cursor);
        b->pDataPtr = element;
        b->pData = &b->pDataPtr;

        Bucket **chain = &ht->arBuckets[b->h & ht->nTableMask];
        b->pLast = NULL;
        b->pNext = *chain;
        if (b->pNext != NULL) b->pNext->pLast = b;
        *chain = b;
        b->pListNext = NULL;
        b->pListLast = ht->pListTail;
        if (ht->pListTail != NULL) ht->pListTail->pListNext = b;
        else ht->pListHead = b;
        ht->pListTail = b;
        ht->nNumOfElements++;
        if (p->nKeyLength == 0 && (long)p->h >= (long)ht->nNextFreeElement) ht->nNextFreeElement = p->h + 1;
    }
    brisko_copy_depth--;
    src->nApplyCount--;
    ht->pInternalPointer = ht->pListHead;
    copy->value.ht = ht;
}

} // namespace

extern "C" zval *brisko_copy_frozen(const zval *value, bkpool *pool)
{
    size_t size = frozen_round(sizeof(zval)) + frozen_size(value);
    char *cursor = (char *)bkpool_malloc(size, pool);
    char *end = cursor + size;
    zval *copy = (zval *)frozen_take(&cursor, sizeof(zval));
    *copy = *value;
    copy->refcount = 1;
    copy->is_ref = 0;
    frozen_fill(copy, &cursor);
    if (cursor != end) {
        /* Measuring and filling disagreed: the block cannot be trusted. */
        fprintf(stderr, "PHP Brisko: a frozen copy filled %td of its %zu bytes\n", cursor - (end - size), size);
        abort();
    }
    return copy;
}
