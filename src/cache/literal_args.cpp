/* Calls that make a compilation depend on the functions around it.
 *
 * The compiler refuses f(1) when a function f that takes that argument by
 * reference exists while the file compiles; when f is declared later, the
 * file compiles and the call fails only if it runs. A saved file was
 * compiled with the functions of one request around it: before it is
 * served to another, each such call is checked against the functions of
 * that request, and a file the compiler would refuse now is compiled
 * instead. Built-in functions never change, so calls of those are not
 * recorded. */
#include <stdlib.h>
#include <string.h>

#include "cache.h"

/* The (name, argument) pairs found so far, in C library memory while a
 * save walks the file's code. */
typedef struct brisko_literal_list {
    brisko_literal_arg *items;
    uint count, capacity;
    int failed;
} brisko_literal_list;

static void brisko_literal_add(brisko_literal_list *list, const zval *name, uint arg)
{
    uint name_length = (uint)name->value.str.len + 1;
    for (uint i = 0; i < list->count; i++)
        if (list->items[i].arg == arg && list->items[i].name_length == name_length &&
            memcmp(list->items[i].name, name->value.str.val, name_length) == 0)
            return;
    /* A built-in function is known to every compilation alike. */
    zend_function *function;
    if (zend_hash_find(CG(function_table), name->value.str.val, name_length, (void **)&function) == SUCCESS &&
        function->type == ZEND_INTERNAL_FUNCTION)
        return;
    if (list->count == list->capacity) {
        uint capacity = list->capacity ? list->capacity * 2 : 8;
        brisko_literal_arg *grown =
            (brisko_literal_arg *)realloc(list->items, capacity * sizeof(brisko_literal_arg));
        if (grown == NULL) {
            list->failed = 1;
            return;
        }
        list->items = grown;
        list->capacity = capacity;
    }
    /* The name points into the saved op for now; the entry gets copies. */
    list->items[list->count].name = name->value.str.val;
    list->items[list->count].name_length = name_length;
    list->items[list->count].arg = arg;
    list->count++;
}

/* Walks one op array with a stack of the calls open at each op: for each
 * a constant function name, or NULL for calls not made by a constant
 * name (methods, constructors, $f(...)). */
static void brisko_literal_scan(brisko_literal_list *list, zend_op_array *op_array)
{
    if (op_array == NULL || op_array->opcodes == NULL)
        return;
    const zval **open = NULL;
    uint depth = 0, capacity = 0;
    for (zend_uint i = 0; i < op_array->last && !list->failed; i++) {
        zend_op *op = &op_array->opcodes[i];
        switch (op->opcode) {
        case ZEND_CALL_BY_NAME_START:
        case ZEND_CALL_METHOD_START:
        case ZEND_CALL_STATIC_START:
        case ZEND_CALL_CONSTRUCTOR_START: {
            if (depth == capacity) {
                capacity = capacity ? capacity * 2 : 16;
                const zval **grown = (const zval **)realloc(open, capacity * sizeof(const zval *));
                if (grown == NULL) {
                    list->failed = 1;
                    break;
                }
                open = grown;
            }
            int by_name = op->opcode == ZEND_CALL_BY_NAME_START && op->op1.op_type == IS_CONST &&
                          op->op1.u.constant.type == IS_STRING;
            open[depth++] = by_name ? &op->op1.u.constant : NULL;
            break;
        }
        case ZEND_CALL_END:
            if (depth > 0)
                depth--;
            break;
        case ZEND_CALL_PASS_VALUE:
            /* A call's result (a variable operand) may be passed by reference. */
            if (depth > 0 && open[depth - 1] != NULL && op->op1.op_type != IS_VAR)
                brisko_literal_add(list, open[depth - 1], (uint)op->extended_value);
            break;
        default:
            break;
        }
    }
    free(open);
}

static int brisko_literal_scan_method(void *pData, int num_args, va_list args, zend_hash_key *key)
{
    brisko_literal_list *list = va_arg(args, brisko_literal_list *);
    zend_function *method = (zend_function *)pData;
    if (method->type == ZEND_USER_FUNCTION)
        brisko_literal_scan(list, &method->op_array);
    return 0;
}

void brisko_note_literal_args(brisko_file_entry *entry)
{
    brisko_literal_list list = {NULL, 0, 0, 0};
    brisko_literal_scan(&list, entry->op_array);
    for (brisko_function_node *node = entry->functions; node != NULL; node = node->next)
        brisko_literal_scan(&list, node->op_array);
    for (brisko_class_node *node = entry->classes; node != NULL; node = node->next)
        brisko_foreach(&node->class_entry->function_table, brisko_literal_scan_method, 1, &list);

    if (list.failed) {
        /* What the file depends on is not known: it is not served. */
        brisko_save_incomplete = 1;
    } else if (list.count > 0) {
        entry->literal_args =
            (brisko_literal_arg *)bkpool_malloc(list.count * sizeof(brisko_literal_arg), entry->pool);
        for (uint i = 0; i < list.count; i++) {
            entry->literal_args[i].name = (char *)brisko_memdup(list.items[i].name, list.items[i].name_length,
                                                                entry->pool);
            entry->literal_args[i].name_length = list.items[i].name_length;
            entry->literal_args[i].arg = list.items[i].arg;
        }
        entry->literal_arg_count = list.count;
    }
    free(list.items);
}

/* Whether argument `arg` of a function with these argument types must be
 * a variable (arg_types: the count, then one BYREF_* per parameter, the
 * last of which may stand for all further ones). */
static int brisko_forced_reference(const zend_uchar *arg_types, uint arg)
{
    if (arg_types == NULL)
        return 0;
    uint count = arg_types[0];
    if (arg < count)
        return arg_types[arg + 1] == BYREF_FORCE || arg_types[arg + 1] == BYREF_FORCE_REST;
    return count > 0 && arg_types[count] == BYREF_FORCE_REST;
}

int brisko_literal_arg_refused(brisko_file_entry *entry)
{
    for (uint i = 0; i < entry->literal_arg_count; i++) {
        brisko_literal_arg *call = &entry->literal_args[i];
        zend_function *function;
        if (zend_hash_find(CG(function_table), call->name, call->name_length, (void **)&function) == SUCCESS &&
            brisko_forced_reference(function->common.arg_types, call->arg))
            return 1;
    }
    return 0;
}
