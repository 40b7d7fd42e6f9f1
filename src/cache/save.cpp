/* Saving a compiled file into its entry's pool.
 *
 * Invariant of what is saved: nothing points into request memory. Ops are
 * copied whole (they hold positions, not addresses); constants inside them,
 * strings, break/continue tables and static-variable tables are deep
 * copies in the pool; every saved op array and class gets a counter of its
 * own, started so high that the engine's per-request decrements never
 * bring it to zero, so the engine never frees pool memory. */
#include <string.h>

#include "cache.h"

int brisko_save_incomplete = 0;

static zend_uint *brisko_new_counter(bkpool *pool)
{
    zend_uint *counter = (zend_uint *)bkpool_malloc(sizeof(zend_uint), pool);
    *counter = BRISKO_SAVED_REFCOUNT;
    return counter;
}

/* Every op array of a file names the same file: the pool keeps one copy of
 * the name for all of them. The copy remembered belongs to the save in
 * progress (brisko_save_start forgets it). */
static bkpool *brisko_filename_pool = NULL;
static char *brisko_filename_copy = NULL;

void brisko_save_start(void)
{
    brisko_filename_pool = NULL;
    brisko_filename_copy = NULL;
    brisko_save_incomplete = 0;
}

static char *brisko_save_filename(const char *filename, bkpool *pool)
{
    if (pool != brisko_filename_pool || strcmp(filename, brisko_filename_copy) != 0) {
        brisko_filename_copy = brisko_strdup(filename, pool);
        brisko_filename_pool = pool;
    }
    return brisko_filename_copy;
}

void brisko_save_znode(znode *operand, bkpool *pool)
{
    if (operand->op_type == IS_CONST)
        brisko_copy_zval(&operand->u.constant, pool);
}

void brisko_save_op(zend_op_array **dest, zend_op_array *src, bkpool *pool)
{
    if (src == NULL)
        return;
    /* The record and its counter share one block. */
    zend_op_array *copy = (zend_op_array *)bkpool_malloc(sizeof(zend_function) + sizeof(zend_uint), pool);
    *dest = copy;
    memcpy(copy, src, sizeof(zend_op_array));

    if (src->refcount != NULL) {
        copy->refcount = (zend_uint *)((char *)copy + sizeof(zend_function));
        *copy->refcount = BRISKO_SAVED_REFCOUNT;
    }
    if (src->opcodes != NULL) {
        copy->opcodes = (zend_op *)brisko_memdup(src->opcodes, src->size * sizeof(zend_op), pool);
        for (zend_uint i = 0; i < copy->last; i++) {
            brisko_save_znode(&copy->opcodes[i].result, pool);
            brisko_save_znode(&copy->opcodes[i].op1, pool);
            brisko_save_znode(&copy->opcodes[i].op2, pool);
        }
    }
    if (src->function_name != NULL)
        copy->function_name = brisko_strdup(src->function_name, pool);
    if (src->arg_types != NULL)
        copy->arg_types = (zend_uchar *)brisko_memdup(src->arg_types, src->arg_types[0] + 1, pool);
    if (src->brk_cont_array != NULL)
        copy->brk_cont_array = (zend_brk_cont_element *)brisko_memdup(
            src->brk_cont_array, src->last_brk_cont * sizeof(zend_brk_cont_element), pool);
    if (src->static_variables != NULL)
        copy->static_variables = brisko_copy_statics(src->static_variables, pool);
    if (src->filename != NULL)
        copy->filename = brisko_save_filename(src->filename, pool);
}

int brisko_save_function1(void *pData, int num_args, va_list args, zend_hash_key *key)
{
    zend_function *function = (zend_function *)pData;
    brisko_file_entry *entry = va_arg(args, brisko_file_entry *);

    if (function->type != ZEND_USER_FUNCTION)
        return 0;

    brisko_function_node *node = (brisko_function_node *)bkpool_malloc(sizeof(*node), entry->pool);
    node->name = (char *)brisko_memdup(key->arKey, key->nKeyLength, entry->pool);
    node->name_length = key->nKeyLength;
    node->op_array = NULL;
    node->next = NULL;
    if (entry->functions_tail == NULL) {
        entry->functions = node;
    } else {
        entry->functions_tail->next = node;
    }
    entry->functions_tail = node;

    brisko_save_op(&node->op_array, &function->op_array, entry->pool);
    return 0;
}

/* What a class takes over from its parent is the parent's own: a method
 * shares the parent's op array (or, for a built-in parent, its handler),
 * also a constructor taken under the class's name; a default property is
 * the parent's very value. Only what the class declares itself is saved;
 * a restore inherits the rest from the parent of that request. */
static int brisko_inherited_default(zend_class_entry *parent, zend_hash_key *key, zval **value)
{
    zval **theirs;
    if (parent == NULL || key->nKeyLength == 0)
        return 0;
    if (zend_hash_find(&parent->default_properties, key->arKey, key->nKeyLength, (void **)&theirs) == FAILURE)
        return 0;
    return *theirs == *value;
}

/* A method of the class's own that is not user code has another record
 * layout; such a class is not cached. */
static int brisko_find_foreign_method(void *pData, int num_args, va_list args, zend_hash_key *key)
{
    int *foreign = va_arg(args, int *);
    zend_class_entry *ce = va_arg(args, zend_class_entry *);
    zend_function *method = (zend_function *)pData;
    if (method->type != ZEND_USER_FUNCTION && !brisko_method_inherited(ce, key->arKey, key->nKeyLength, method))
        *foreign = 1;
    return 0;
}

/* Arguments: the copy destination, then the class being saved. */
static int brisko_save_default1(void *pData, int num_args, va_list args, zend_hash_key *key)
{
    va_list mine;
    va_copy(mine, args);
    (void)va_arg(mine, brisko_copy_dest *);
    zend_class_entry *ce = va_arg(mine, zend_class_entry *);
    va_end(mine);
    if (brisko_inherited_default(ce->parent, key, (zval **)pData))
        return 0;
    return brisko_copy_hashtable1(pData, 1, args, key);
}

int brisko_save_class1(void *pData, int num_args, va_list args, zend_hash_key *key)
{
    zend_class_entry *ce = (zend_class_entry *)pData;
    brisko_file_entry *entry = va_arg(args, brisko_file_entry *);
    bkpool *pool = entry->pool;

    if (ce->type != ZEND_USER_CLASS)
        return 0;

    int foreign = 0;
    brisko_foreach(&ce->function_table, brisko_find_foreign_method, 2, &foreign, ce);
    if (foreign) {
        brisko_save_incomplete = 1;
        return 0;
    }

    brisko_class_node *node = (brisko_class_node *)bkpool_malloc(sizeof(*node), pool);
    node->name = (char *)brisko_memdup(key->arKey, key->nKeyLength, pool);
    node->name_length = key->nKeyLength;
    node->next = NULL;
    if (entry->classes_tail == NULL) {
        entry->classes = node;
    } else {
        entry->classes_tail->next = node;
    }
    entry->classes_tail = node;

    zend_class_entry *copy = (zend_class_entry *)bkpool_malloc(sizeof(zend_class_entry), pool);
    node->class_entry = copy;
    memcpy(copy, ce, sizeof(zend_class_entry));

    if (ce->name != NULL)
        copy->name = (char *)brisko_memdup(ce->name, ce->name_length + 1, pool);
    if (ce->parent != NULL && ce->parent->name != NULL) {
        /* The saved class names its parent; restoring turns the name back
         * into the parent's record of that request. */
        copy->parent = (zend_class_entry *)brisko_memdup(ce->parent->name, ce->parent->name_length + 1, pool);
    } else {
        copy->parent = NULL;
    }
    if (ce->refcount != NULL)
        copy->refcount = (int *)brisko_new_counter(pool);

    brisko_class_tables_init(copy, pool);
    brisko_copy_dest methods = {&copy->function_table, pool};
    brisko_foreach(&ce->function_table, brisko_save_op1, 2, &methods, ce);

    brisko_copy_dest defaults = {&copy->default_properties, pool};
    brisko_foreach(&ce->default_properties, brisko_save_default1, 2, &defaults, ce);

    node->late_parent = NULL;
    node->overrides = brisko_save_overrides(&copy->function_table, &copy->default_properties, ce->parent, pool);
    return 0;
}

/* Classes whose parent was not known when the file compiled are bound by
 * an op when their declaration runs: each such op names the class's
 * run-time key and its parent. Restoring the file is right only while
 * that parent is still unknown when the file is included. */
static void brisko_note_late_parents_in(brisko_file_entry *entry, zend_op_array *op_array)
{
    if (op_array == NULL || op_array->opcodes == NULL)
        return;
    for (zend_uint i = 0; i < op_array->last; i++) {
        zend_op *op = &op_array->opcodes[i];
        if (op->opcode != ZEND_LATE_CLASS_BINDING || op->op1.op_type != IS_CONST || op->op2.op_type != IS_CONST ||
            op->op1.u.constant.type != IS_STRING || op->op2.u.constant.type != IS_STRING)
            continue;
        const zval *key = &op->op1.u.constant, *names = &op->op2.u.constant;
        const char *colon = (const char *)memchr(names->value.str.val, ':', (size_t)names->value.str.len);
        if (colon == NULL)
            continue;
        for (brisko_class_node *node = entry->classes; node != NULL; node = node->next) {
            if (node->name_length == (uint)key->value.str.len + 1 &&
                memcmp(node->name, key->value.str.val, node->name_length) == 0) {
                size_t length = (size_t)(colon - names->value.str.val);
                node->late_parent = (char *)bkpool_malloc(length + 1, entry->pool);
                memcpy(node->late_parent, names->value.str.val, length);
                node->late_parent[length] = '\0';
            }
        }
    }
}

void brisko_note_late_parents(brisko_file_entry *entry)
{
    brisko_note_late_parents_in(entry, entry->op_array);
    for (brisko_function_node *node = entry->functions; node != NULL; node = node->next)
        brisko_note_late_parents_in(entry, node->op_array);
}

/* Arguments: the copy destination, then the class whose method this is. */
int brisko_save_op1(void *pData, int num_args, va_list args, zend_hash_key *key)
{
    brisko_copy_dest *dest = va_arg(args, brisko_copy_dest *);
    zend_class_entry *ce = va_arg(args, zend_class_entry *);
    zend_op_array *saved = NULL;

    if (brisko_method_inherited(ce, key->arKey, key->nKeyLength, (zend_function *)pData))
        return 0;
    brisko_save_op(&saved, (zend_op_array *)pData, dest->target);
    zend_hash_add_or_update(dest->dest, key->arKey, key->nKeyLength, saved, sizeof(zend_function), NULL,
                            HASH_UPDATE);
    return 0;
}
