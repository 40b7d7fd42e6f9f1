/* Restoring a cached file into the current request.
 *
 * The request gets fresh headers (op arrays, class records, method tables,
 * default properties) in the engine's per-request allocator; ops,
 * constants, strings, static-variable tables and counters stay shared with
 * the entry's pool, which the engine only reads. */
#include <stdio.h>
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

/* The parent a saved class gets when its file is included now, found as
 * the compiler finds it: among the classes declared earlier in the same
 * file under their own names (built[] holds them, in list order), then in
 * the request's class table. NULL when there is none. */
static zend_class_entry *brisko_parent_now(const char *parent_name, brisko_file_entry *entry, brisko_class_node *upto,
                                           zend_class_entry **built)
{
    size_t length = strlen(parent_name);
    int i = 0;
    for (brisko_class_node *node = entry->classes; node != upto; node = node->next, i++) {
        if (node->name_length != length + 1 || node->name[0] == '\0')
            continue;
        size_t k = 0;
        while (k < length && node->name[k] == (parent_name[k] >= 'A' && parent_name[k] <= 'Z'
                                                   ? parent_name[k] + ('a' - 'A') : parent_name[k]))
            k++;
        if (k == length)
            return built[i];
    }
    return brisko_find_class(parent_name);
}

/* A request's record of a saved class with the given parent (NULL for
 * none): the parent's members first, the class's own replacing or
 * following them, a constructor taken from the parent when the class has
 * none, exactly as the compiler builds it. */
static zend_class_entry *brisko_build_class(brisko_class_node *node, zend_class_entry *parent)
{
    zend_class_entry *saved = node->class_entry;
    zend_class_entry *ce = (zend_class_entry *)_emalloc(sizeof(zend_class_entry));
    memcpy(ce, saved, sizeof(zend_class_entry));
    ce->parent = NULL;

    brisko_class_tables_init(ce, BK_TARGET_ENGINE);
    if (parent != NULL)
        brisko_inherit_copy(ce, parent);

    brisko_copy_dest methods = {&ce->function_table, BK_TARGET_ENGINE};
    brisko_foreach(&saved->function_table, brisko_load_op1, 1, &methods);
    brisko_copy_hashtable(&ce->default_properties, &saved->default_properties, BK_TARGET_ENGINE);
    if (parent != NULL)
        brisko_inherit_constructor(ce);
    return ce;
}

void brisko_load_class(brisko_class_node *node)
{
    zend_class_entry *saved = node->class_entry;
    zend_class_entry *parent = saved->parent != NULL ? brisko_find_class((const char *)saved->parent) : NULL;
    zend_class_entry *ce = brisko_build_class(node, parent);
    zend_hash_add_or_update(CG(class_table), node->name, node->name_length, ce, sizeof(zend_class_entry), NULL,
                            HASH_UPDATE);
}

/* Builds every class of the entry for this request, or none: NULL when
 * one of them would come out otherwise than the compiler would make it
 * now (its parent missing, a class bound late whose parent is known now,
 * other own members replacing inherited ones). The records are not in
 * the class table yet. */
static zend_class_entry **brisko_build_classes(brisko_file_entry *entry, int *count)
{
    int n = 0;
    for (brisko_class_node *node = entry->classes; node != NULL; node = node->next)
        n++;
    *count = n;
    if (n == 0)
        return NULL;
    zend_class_entry **built = (zend_class_entry **)_emalloc((size_t)n * sizeof(zend_class_entry *));
    int i = 0;
    for (brisko_class_node *node = entry->classes; node != NULL; node = node->next, i++) {
        zend_class_entry *saved = node->class_entry;
        if (node->late_parent != NULL && brisko_parent_now(node->late_parent, entry, node, built) != NULL)
            return NULL;
        zend_class_entry *parent = NULL;
        if (saved->parent != NULL) {
            parent = brisko_parent_now((const char *)saved->parent, entry, node, built);
            if (parent == NULL)
                return NULL;
        }
        if (parent != NULL && !brisko_overrides_hold(saved, node->overrides, parent))
            return NULL;
        built[i] = brisko_build_class(node, parent);
    }
    return built;
}

/* Removes an entry that no longer describes what the file compiles to.
 * Code restored from it may still run in this request, so its pool is
 * deleted only when the next request starts. */
static void brisko_drop_entry(const char *path, brisko_file_entry *entry)
{
    bkpool *pool = entry->pool;
    zend_hash_del_key_or_index(brisko_filetable, path, strlen(path) + 1, 0, HASH_DEL_KEY);
    brisko_retire_pool(pool);
}

/* A key of the file's own that the request already has: compiled, the
 * file would stop with the engine's redeclaration error. Run-time keys
 * (a NUL byte first) never clash: a restore adds them once more under
 * keys of their own (brisko_put_runtime), as a compilation does. */
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

/* Puts a record in under a run-time key (a NUL byte first). The first
 * restore of the file in a request takes the saved key, which the file's
 * declaring ops name. A compilation of the file adds its declarations
 * under keys of its own every time, and the engine lists classes by every
 * entry of the class table: when the saved key is taken already (the
 * file is included again), the record goes in once more under a key that
 * no op names, as the compiler's would. */
static unsigned long brisko_again_count = 0;

static void brisko_put_runtime(HashTable *table, const char *name, uint name_length, void *record, uint size,
                               void **stored)
{
    if (!zend_hash_exists(table, name, name_length)) {
        zend_hash_add_or_update(table, name, name_length, record, size, stored, HASH_ADD);
        return;
    }
    char suffix[32];
    for (;;) {
        int suffix_length = snprintf(suffix, sizeof suffix, ":again%lu", ++brisko_again_count);
        uint key_length = name_length + (uint)suffix_length;
        char *key = (char *)_emalloc(key_length);
        memcpy(key, name, name_length - 1);
        memcpy(key + name_length - 1, suffix, (size_t)suffix_length + 1);
        int added = zend_hash_add_or_update(table, key, key_length, record, size, stored, HASH_ADD);
        _efree(key);
        if (added == SUCCESS)
            return;
    }
}

static int brisko_runtime_key(const char *name, uint name_length)
{
    return name_length > 0 && name[0] == '\0';
}

/* Every include of compiled code starts its top-level statics afresh:
 * the executor keeps their values by the op array's table of initial
 * values, so each restored copy gets a table of its own. */
static void brisko_fresh_statics(zend_op_array *op_array)
{
    if (op_array->static_variables == NULL)
        return;
    op_array->static_variables = brisko_copy_statics(op_array->static_variables, BK_TARGET_ENGINE);
}

zend_op_array *brisko_load_cache1(const char *path, int *found, struct stat *status)
{
    void *data;
    *found = 0;
    if (zend_hash_find(brisko_filetable, path, strlen(path) + 1, &data) == FAILURE)
        return NULL;

    brisko_file_entry *entry = (brisko_file_entry *)data;
    if (!brisko_stamp_matches(&entry->stamp, status, path)) {
        brisko_drop_entry(path, entry);
        return NULL;
    }

    *found = 1;
    if (entry->op_array == NULL)
        return NULL;
    /* The engine reports a redeclaration itself. */
    if (brisko_would_redeclare(entry))
        return NULL;
    /* The same for a call that a function declared since would refuse. */
    if (brisko_literal_arg_refused(entry))
        return NULL;
    /* Classes that would not come out as the compiler would make them now
     * (see brisko_build_classes): the file is compiled, and saved, for the
     * classes it now has around it. */
    int class_count = 0;
    zend_class_entry **classes = brisko_build_classes(entry, &class_count);
    if (class_count > 0 && classes == NULL) {
        *found = 0;
        brisko_drop_entry(path, entry);
        return NULL;
    }

    zend_op_array *result = NULL;
    brisko_load_op(&result, entry->op_array);
    brisko_fresh_statics(result);
    for (brisko_function_node *node = entry->functions; node != NULL; node = node->next) {
        if (brisko_runtime_key(node->name, node->name_length))
            brisko_put_runtime(CG(function_table), node->name, node->name_length, node->op_array,
                               sizeof(zend_function), NULL);
        else
            brisko_load_function(node);
    }
    /* The table keeps copies of the records: a class whose parent came
     * earlier in the file points at the parent's copy there, as it would
     * compiled. */
    zend_class_entry **stored = class_count > 0
                                    ? (zend_class_entry **)_emalloc((size_t)class_count * sizeof(zend_class_entry *))
                                    : NULL;
    int i = 0;
    for (brisko_class_node *node = entry->classes; node != NULL; node = node->next, i++) {
        for (int k = 0; k < i; k++)
            if (classes[i]->parent == classes[k])
                classes[i]->parent = stored[k];
        void *copy = NULL;
        if (brisko_runtime_key(node->name, node->name_length))
            brisko_put_runtime(CG(class_table), node->name, node->name_length, classes[i], sizeof(zend_class_entry),
                               &copy);
        else
            zend_hash_add_or_update(CG(class_table), node->name, node->name_length, classes[i],
                                    sizeof(zend_class_entry), &copy, HASH_UPDATE);
        stored[i] = (zend_class_entry *)copy;
    }
    return result;
}
