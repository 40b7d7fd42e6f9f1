/* Inheritance as the engine's compiler does it, for classes saved and
 * restored by the cache.
 *
 * A class compiled with its parent known starts from a copy of the
 * parent's methods (shared op arrays, counters raised) and default values
 * (the parent's very values, one more reference each); its own members
 * replace inherited ones in place and the rest follow; a class without a
 * constructor of its own then takes the parent's under its own name. A
 * saved class keeps only its own members; a restore inherits the rest
 * from the parent of that request, which gives the compiler's result as
 * long as the own members that follow the parent's keep their order
 * (brisko_overrides_hold). */
#include <string.h>

#include "cache.h"

/* The lower-cased name of a class, as class and method tables key it, with
 * its terminating NUL: in the caller's buffer when it fits, else in request
 * memory (brisko_drop_name gives it back). */
static char *brisko_lower_name(const zend_class_entry *ce, char *buffer, size_t size, uint *key_length)
{
    uint length = ce->name != NULL ? ce->name_length : 0;
    char *name = length + 1 <= size ? buffer : (char *)_emalloc(length + 1);
    for (uint i = 0; i < length; i++) {
        char ch = ce->name[i];
        name[i] = (char)(ch >= 'A' && ch <= 'Z' ? ch + ('a' - 'A') : ch);
    }
    name[length] = '\0';
    *key_length = length + 1;
    return name;
}

static void brisko_drop_name(char *name, char *buffer)
{
    if (name != buffer)
        _efree(name);
}

static int brisko_same_function(const zend_function *a, const zend_function *b)
{
    if (a->type != b->type)
        return 0;
    if (a->type == ZEND_USER_FUNCTION)
        return a->op_array.refcount != NULL && a->op_array.refcount == b->op_array.refcount;
    return a->internal_function.handler == b->internal_function.handler;
}

int brisko_method_inherited(zend_class_entry *ce, const char *key, uint key_length, zend_function *method)
{
    zend_class_entry *parent = ce->parent;
    zend_function *theirs;
    if (parent == NULL || key_length == 0)
        return 0;
    if (zend_hash_find(&parent->function_table, key, key_length, (void **)&theirs) == SUCCESS &&
        brisko_same_function(method, theirs))
        return 1;
    /* The parent's constructor, taken under the class's own name. */
    char own_buffer[256], their_buffer[256];
    uint own_length, their_length;
    char *own = brisko_lower_name(ce, own_buffer, sizeof own_buffer, &own_length);
    char *their_name = brisko_lower_name(parent, their_buffer, sizeof their_buffer, &their_length);
    int inherited = own_length == key_length && memcmp(own, key, key_length) == 0 &&
                    zend_hash_find(&parent->function_table, their_name, their_length, (void **)&theirs) == SUCCESS &&
                    brisko_same_function(method, theirs);
    brisko_drop_name(own, own_buffer);
    brisko_drop_name(their_name, their_buffer);
    return inherited;
}

char *brisko_save_overrides(HashTable *methods, HashTable *defaults, zend_class_entry *parent, bkpool *pool)
{
    if (parent == NULL)
        return NULL;
    size_t size = 1;
    for (Bucket *p = methods->pListHead; p != NULL; p = p->pListNext)
        if (p->nKeyLength > 0 && zend_hash_exists(&parent->function_table, p->arKey, p->nKeyLength))
            size += 1 + p->nKeyLength;
    for (Bucket *p = defaults->pListHead; p != NULL; p = p->pListNext)
        if (p->nKeyLength > 0 && zend_hash_exists(&parent->default_properties, p->arKey, p->nKeyLength))
            size += 1 + p->nKeyLength;
    if (size == 1)
        return NULL;
    char *list = (char *)bkpool_malloc(size, pool), *at = list;
    for (Bucket *p = methods->pListHead; p != NULL; p = p->pListNext)
        if (p->nKeyLength > 0 && zend_hash_exists(&parent->function_table, p->arKey, p->nKeyLength)) {
            *at++ = 'm';
            memcpy(at, p->arKey, p->nKeyLength);
            at += p->nKeyLength;
        }
    for (Bucket *p = defaults->pListHead; p != NULL; p = p->pListNext)
        if (p->nKeyLength > 0 && zend_hash_exists(&parent->default_properties, p->arKey, p->nKeyLength)) {
            *at++ = 'p';
            memcpy(at, p->arKey, p->nKeyLength);
            at += p->nKeyLength;
        }
    *at = '\0';
    return list;
}

/* Own members that follow the parent's under this parent, counted. */
static int brisko_count_following(HashTable *own, HashTable *parents)
{
    int count = 0;
    for (Bucket *p = own->pListHead; p != NULL; p = p->pListNext)
        if (p->nKeyLength > 0 && !zend_hash_exists(parents, p->arKey, p->nKeyLength))
            count++;
    return count;
}

int brisko_overrides_hold(zend_class_entry *saved, const char *overrides, zend_class_entry *parent)
{
    /* The own members that follow the parent's keep the order they had. It
     * can only change when one that replaced an inherited member then
     * follows now, next to others. */
    int lost = 0;
    for (const char *at = overrides; at != NULL && *at != '\0';) {
        HashTable *table = *at == 'm' ? &parent->function_table : &parent->default_properties;
        const char *key = at + 1;
        uint length = (uint)strlen(key) + 1;
        if (!zend_hash_exists(table, key, length))
            lost++;
        at = key + length;
    }
    if (lost == 0)
        return 1;
    return brisko_count_following(&saved->function_table, &parent->function_table) +
               brisko_count_following(&saved->default_properties, &parent->default_properties) <= 1;
}

void brisko_inherit_copy(zend_class_entry *ce, zend_class_entry *parent)
{
    for (Bucket *p = parent->function_table.pListHead; p != NULL; p = p->pListNext) {
        if (p->nKeyLength == 0)
            continue;
        zend_function copy;
        memcpy(&copy, p->pData, sizeof(zend_function));
        function_add_ref(&copy);
        zend_hash_add_or_update(&ce->function_table, p->arKey, p->nKeyLength, &copy, sizeof(zend_function), NULL,
                                HASH_ADD);
    }
    for (Bucket *p = parent->default_properties.pListHead; p != NULL; p = p->pListNext) {
        if (p->nKeyLength == 0)
            continue;
        zval *value = *(zval **)p->pData;
        value->refcount++;
        zend_hash_add_or_update(&ce->default_properties, p->arKey, p->nKeyLength, &value, sizeof(zval *), NULL,
                                HASH_ADD);
    }
    ce->parent = parent;
}

void brisko_inherit_constructor(zend_class_entry *ce)
{
    if (ce->parent == NULL)
        return;
    char own_buffer[256], their_buffer[256];
    uint own_length, their_length;
    char *own = brisko_lower_name(ce, own_buffer, sizeof own_buffer, &own_length);
    char *their_name = brisko_lower_name(ce->parent, their_buffer, sizeof their_buffer, &their_length);
    zend_function *ctor;
    if (!zend_hash_exists(&ce->function_table, own, own_length) &&
        zend_hash_find(&ce->parent->function_table, their_name, their_length, (void **)&ctor) == SUCCESS) {
        zend_function copy;
        memcpy(&copy, ctor, sizeof(zend_function));
        function_add_ref(&copy);
        zend_hash_add_or_update(&ce->function_table, own, own_length, &copy, sizeof(zend_function), NULL,
                                HASH_UPDATE);
    }
    brisko_drop_name(own, own_buffer);
    brisko_drop_name(their_name, their_buffer);
}

/* The compiler starts a class's tables with room for ten members. */
#define BRISKO_CLASS_TABLE_SIZE 10
/* and a function's static variables with room for two */
#define BRISKO_STATICS_TABLE_SIZE 2

void brisko_class_tables_init(zend_class_entry *ce, bkpool *target)
{
    brisko_init_hashtable_static(&ce->function_table, BRISKO_CLASS_TABLE_SIZE, (dtor_func_t)destroy_zend_function,
                                 target);
    brisko_init_hashtable_static(&ce->default_properties, BRISKO_CLASS_TABLE_SIZE, (dtor_func_t)_zval_ptr_dtor,
                                 target);
}

HashTable *brisko_copy_statics(HashTable *statics, bkpool *target)
{
    HashTable *copy = brisko_init_hashtable(BRISKO_STATICS_TABLE_SIZE, (dtor_func_t)_zval_ptr_dtor, target);
    brisko_copy_hashtable(copy, statics, target);
    return copy;
}
