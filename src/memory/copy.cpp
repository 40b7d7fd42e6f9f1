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

static void brisko_copy_array(zval *value, bkpool *target)
{
    HashTable *src = value->value.ht;
    if (src == NULL || src == &EG(symbol_table)) return;

    if (brisko_copy_depth == 0) brisko_copy_cycle_warned = 0;
    if (src->nApplyCount > 0) {
        brisko_copy_cut(value, "Cannot copy a value that contains itself: the repeated array is stored as NULL");
        return;
    }
    if (brisko_copy_depth >= BRISKO_COPY_MAX_DEPTH) {
        brisko_copy_cut(value, "Cannot copy arrays nested more than %d levels deep: the deeper arrays are stored as NULL");
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
