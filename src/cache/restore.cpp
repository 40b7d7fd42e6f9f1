/* Restoring a cached file into the current request.
 *
 * The request gets fresh headers (op arrays, class records, method tables,
 * default properties) in the engine's per-request allocator; ops,
 * constants, strings, static-variable tables and counters stay shared with
 * the entry's pool, which the engine only reads. */
#include <string.h>

#include "cache.h"

void brisko_load_op(zend_op_array **dest, zend_op_array *saved)
{
    zend_op_array *copy = (zend_op_array *)_emalloc(sizeof(zend_function));
    memcpy(copy, saved, sizeof(zend_op_array));
    *dest = copy;
}

/* The table insert copies the record: the saved header goes in as it is,
 * with no intermediate copy. */
void brisko_load_function(brisko_function_node *node)
{
    zend_hash_add_or_update(CG(function_table), node->name, node->name_length, node->op_array,
                            sizeof(zend_function), NULL, HASH_UPDATE);
}

int brisko_load_op1(void *pData, int num_args, va_list args, zend_hash_key *key)
{
    brisko_copy_dest *dest = va_arg(args, brisko_copy_dest *);
    zend_hash_add_or_update(dest->dest, key->arKey, key->nKeyLength, pData, sizeof(zend_function), NULL,
                            HASH_UPDATE);
    return 0;
}

/* Class tables hold lower-cased names; a saved parent name may carry the
 * case it was declared with. */
static zend_class_entry *brisko_find_class(const char *name)
{
    char small[256];
    size_t length = strlen(name);
    char *key = length < sizeof(small) ? small : (char *)_emalloc(length + 1);
    for (size_t i = 0; i <= length; i++)
        key[i] = (char)((name[i] >= 'A' && name[i] <= 'Z') ? name[i] + ('a' - 'A') : name[i]);
    void *found = NULL;
    if (zend_hash_find(CG(class_table), key, length + 1, &found) == FAILURE)
        found = NULL;
    if (key != small)
        _efree(key);
    return (zend_class_entry *)found;
}

static int brisko_parent_known(const char *parent_name, brisko_class_node *earlier, brisko_class_node *upto)
{
    if (brisko_find_class(parent_name) != NULL)
        return 1;
    size_t length = strlen(parent_name);
    for (brisko_class_node *node = earlier; node != upto; node = node->next) {
        if (node->name_length != length + 1)
            continue;
        size_t i = 0;
        while (i < length && node->name[i] == ((parent_name[i] >= 'A' && parent_name[i] <= 'Z')
                                                   ? parent_name[i] + ('a' - 'A') : parent_name[i]))
            i++;
        if (i == length)
            return 1;
    }
    return 0;
}

/* Inheritance as the engine's compiler does it for `extends`: what the
 * class does not declare itself is taken from the parent, methods shared
 * with their counter raised, default values shared with one more
 * reference; the class's own entries come first and take precedence. */
static int brisko_inherit_method1(void *pData, int num_args, va_list args, zend_hash_key *key)
{
    HashTable *methods = va_arg(args, HashTable *);
    if (key->nKeyLength == 0 || zend_hash_exists(methods, key->arKey, key->nKeyLength))
        return 0;
    zend_function copy;
    memcpy(&copy, pData, sizeof(zend_function));
    function_add_ref(&copy);
    zend_hash_add_or_update(methods, key->arKey, key->nKeyLength, &copy, sizeof(zend_function), NULL, HASH_ADD);
    return 0;
}

static int brisko_inherit_default1(void *pData, int num_args, va_list args, zend_hash_key *key)
{
    HashTable *defaults = va_arg(args, HashTable *);
    if (key->nKeyLength == 0 || zend_hash_exists(defaults, key->arKey, key->nKeyLength))
        return 0;
    zval *value = *(zval **)pData;
    value->refcount++;
    zend_hash_add_or_update(defaults, key->arKey, key->nKeyLength, &value, sizeof(zval *), NULL, HASH_ADD);
    return 0;
}

void brisko_load_class(brisko_class_node *node)
{
    zend_class_entry *saved = node->class_entry;
    /* Built here; the class table's insert copies it. */
    zend_class_entry record;
    zend_class_entry *ce = &record;
    memcpy(ce, saved, sizeof(zend_class_entry));

    /* The saved record holds its parent's name; the request's record of
     * that name takes its place. brisko_classes_restorable has made sure
     * it is there. */
    ce->parent = saved->parent != NULL ? brisko_find_class((const char *)saved->parent) : NULL;

    brisko_copy_dest methods = {&ce->function_table, BK_TARGET_ENGINE};
    brisko_init_hashtable_static(&ce->function_table, 10, (dtor_func_t)destroy_zend_function, BK_TARGET_ENGINE);
    brisko_foreach(&saved->function_table, brisko_load_op1, 1, &methods);

    brisko_init_hashtable_static(&ce->default_properties, 10, (dtor_func_t)_zval_ptr_dtor, BK_TARGET_ENGINE);
    brisko_copy_hashtable(&ce->default_properties, &saved->default_properties, BK_TARGET_ENGINE);

    if (ce->parent != NULL) {
        brisko_foreach(&ce->parent->function_table, brisko_inherit_method1, 1, &ce->function_table);
        brisko_foreach(&ce->parent->default_properties, brisko_inherit_default1, 1, &ce->default_properties);
    }

    zend_hash_add_or_update(CG(class_table), node->name, node->name_length, ce, sizeof(zend_class_entry), NULL,
                            HASH_UPDATE);
}

int brisko_classes_restorable(brisko_file_entry *entry)
{
    for (brisko_class_node *node = entry->classes; node != NULL; node = node->next) {
        zend_class_entry *saved = node->class_entry;
        if (saved->parent != NULL && !brisko_parent_known((const char *)saved->parent, entry->classes, node))
            return 0;
    }
    return 1;
}

/* A key of the file's own that the request already has: compiled, the
 * file would stop with the engine's redeclaration error. Run-time keys
 * (a NUL byte first) are replaced, as a compilation replaces them. */
static int brisko_key_taken(HashTable *table, const char *name, uint name_length)
{
    return name_length > 0 && name[0] != '\0' && zend_hash_exists(table, name, name_length);
}

int brisko_would_redeclare(brisko_file_entry *entry)
{
    for (brisko_function_node *node = entry->functions; node != NULL; node = node->next)
        if (brisko_key_taken(CG(function_table), node->name, node->name_length))
            return 1;
    for (brisko_class_node *node = entry->classes; node != NULL; node = node->next)
        if (brisko_key_taken(CG(class_table), node->name, node->name_length))
            return 1;
    return 0;
}

/* Every include of compiled code starts its top-level statics afresh:
 * the executor keeps their values by the op array's table of initial
 * values, so each restored copy gets a table of its own. */
static void brisko_fresh_statics(zend_op_array *op_array)
{
    if (op_array->static_variables == NULL)
        return;
    HashTable *initial = op_array->static_variables;
    op_array->static_variables = brisko_init_hashtable(2, (dtor_func_t)_zval_ptr_dtor, BK_TARGET_ENGINE);
    brisko_copy_hashtable(op_array->static_variables, initial, BK_TARGET_ENGINE);
}

zend_op_array *brisko_load_cache1(const char *path, int *found, struct stat *status)
{
    void *data;
    *found = 0;
    if (zend_hash_find(brisko_filetable, path, strlen(path) + 1, &data) == FAILURE)
        return NULL;

    brisko_file_entry *entry = (brisko_file_entry *)data;
    if (!brisko_entry_current(entry, status)) {
        /* Stale. The table has no destructor: the entry's pool, and what
         * earlier requests restored from it, stay valid. */
        zend_hash_del_key_or_index(brisko_filetable, path, strlen(path) + 1, 0, HASH_DEL_KEY);
        return NULL;
    }

    *found = 1;
    if (entry->op_array == NULL)
        return NULL;
    /* A class whose parent this request has not declared yet: the engine
     * compiles the file and reports the missing parent itself. */
    if (!brisko_classes_restorable(entry))
        return NULL;
    /* The engine reports a redeclaration itself. */
    if (brisko_would_redeclare(entry))
        return NULL;

    zend_op_array *result = NULL;
    brisko_load_op(&result, entry->op_array);
    brisko_fresh_statics(result);
    for (brisko_function_node *node = entry->functions; node != NULL; node = node->next)
        brisko_load_function(node);
    for (brisko_class_node *node = entry->classes; node != NULL; node = node->next)
        brisko_load_class(node);
    return result;
}
