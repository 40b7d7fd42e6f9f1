/* Compiled code: operands, ops, op arrays, functions, file handles and the
 * compile-file hook. Ops hold positions, never addresses: jump targets are
 * op numbers, temporaries are indexes, loops name their brk_cont_array
 * entry by index, and an IS_CONST operand carries its value inside the
 * operand. A byte copy of the op table is valid wherever it lives. */
#ifndef ZEND_COMPILE_H
#define ZEND_COMPILE_H

#include "zend.h"

#define IS_CONST (1 << 0)
#define IS_TMP_VAR (1 << 1)
#define IS_VAR (1 << 2)
#define IS_UNUSED (1 << 3)

#define ZEND_INTERNAL_FUNCTION 1
#define ZEND_USER_FUNCTION 2
#define ZEND_OVERLOADED_FUNCTION 3
#define ZEND_EVAL_CODE 4

#define ZEND_INTERNAL_CLASS 1
#define ZEND_USER_CLASS 2

/* Include types */
#define ZEND_EVAL (1 << 0)
#define ZEND_INCLUDE (1 << 1)
#define ZEND_INCLUDE_ONCE (1 << 2)
#define ZEND_REQUIRE (1 << 3)
#define ZEND_REQUIRE_ONCE (1 << 4)

/* arg_types entries */
#define BYREF_NONE 0
#define BYREF_FORCE 1
#define BYREF_ALLOW 2
#define BYREF_FORCE_REST 3
/* Every further argument by reference when it is a variable, by value
 * otherwise (array_multisort's flags). */
#define BYREF_ALLOW_REST 4

#define ZEND_MAX_RESERVED_RESOURCES 4

/* The opcode that binds, when it runs, a class whose parent was not known
 * when it was compiled: op1 is the class's run-time key, op2 the text
 * "parent:name", both constant strings. */
#define ZEND_LATE_CLASS_BINDING 73

/* The ops of a call, for code that reads op arrays. A call starts with one
 * of the four call-start ops, passes its arguments and ends with the
 * call-end op; calls nest. The call by name has the lower-cased function
 * name as op1 when it is a constant. The value-passing op passes op1 as
 * argument extended_value (counted from 0). */
#define ZEND_CALL_BY_NAME_START 55
#define ZEND_CALL_METHOD_START 56
#define ZEND_CALL_STATIC_START 57
#define ZEND_CALL_CONSTRUCTOR_START 58
#define ZEND_CALL_PASS_VALUE 59
#define ZEND_CALL_END 61

typedef struct _znode {
    int op_type;                  /* IS_CONST, IS_TMP_VAR, IS_VAR or IS_UNUSED */
    union {
        zval constant;            /* IS_CONST: the value itself */
        zend_uint var;            /* IS_TMP_VAR, IS_VAR: temporary index */
        zend_uint opline_num;     /* jump target: an op number */
        zend_uint fetch_type;
        struct _zend_op_array *op_array;
        struct {
            zend_uint var;
            zend_uint type;
        } EA;
    } u;
} znode;

typedef struct _zend_op {
    zend_uchar opcode;
    znode result;
    znode op1;
    znode op2;
    ulong extended_value;
    uint lineno;
} zend_op;

typedef struct _zend_brk_cont_element {
    int brk;                      /* op number to jump to on break */
    int cont;                     /* op number to jump to on continue */
    int parent;                   /* enclosing loop's index, -1 at the outermost */
} zend_brk_cont_element;

typedef struct _zend_op_array zend_op_array;

struct _zend_op_array {
    zend_uchar type;              /* must stay first: ZEND_USER_FUNCTION */
    zend_uchar *arg_types;        /* [0] = count, then one BYREF_* per parameter */
    char *function_name;          /* NULL for a file's top-level code */

    zend_uint *refcount;          /* shared by every copy of the record */

    zend_op *opcodes;
    zend_uint last, size;         /* ops in use, ops allocated */

    zend_uint T;                  /* number of temporaries */

    zend_brk_cont_element *brk_cont_array;
    zend_uint last_brk_cont;
    zend_uint current_brk_cont;
    zend_bool uses_globals;

    HashTable *static_variables;  /* initial values only: never changed by a run */

    zend_op *start_op;
    int backpatch_count;

    zend_bool return_reference;
    zend_bool done_pass_two;

    char *filename;

    void *reserved[ZEND_MAX_RESERVED_RESOURCES];
};

typedef struct _zend_internal_function {
    zend_uchar type;              /* ZEND_INTERNAL_FUNCTION */
    zend_uchar *arg_types;
    char *function_name;
    void (*handler)(INTERNAL_FUNCTION_PARAMETERS);
} zend_internal_function;

typedef union _zend_function {
    zend_uchar type;
    struct {
        zend_uchar type;
        zend_uchar *arg_types;
        char *function_name;
    } common;
    zend_op_array op_array;
    zend_internal_function internal_function;
} zend_function;

#define ZEND_HANDLE_FILENAME 0
#define ZEND_HANDLE_FD 1
#define ZEND_HANDLE_FP 2

typedef struct _zend_file_handle {
    zend_uchar type;
    char *filename;
    char *opened_path;            /* resolved path when the engine opened the file */
    union {
        int fd;
        FILE *fp;
    } handle;
    zend_bool free_filename;
} zend_file_handle;

BEGIN_EXTERN_C()

/* The compile-file hook: starts out as compile_file, the engine's own
 * compiler. Every script and include is compiled through it. */
ZEND_API extern zend_op_array *(*zend_compile_file)(zend_file_handle *file_handle, int type);
ZEND_API zend_op_array *compile_file(zend_file_handle *file_handle, int type);

/* Lowers the shared counter and frees the parts when it reaches zero; the
 * record itself belongs to the caller. */
ZEND_API void destroy_op_array(zend_op_array *op_array);
ZEND_API void destroy_zend_function(zend_function *function);
ZEND_API void destroy_zend_class(zend_class_entry *ce);
ZEND_API void function_add_ref(zend_function *function);

END_EXTERN_C()

#endif
