/* Script cache entries: a compiled file, with the functions and classes its
 * compilation added, saved in a sub-pool of its own. */
#ifndef BRISKO_CACHE_H
#define BRISKO_CACHE_H

#include <stdint.h>
#include <sys/types.h>
#include <time.h>
#include "php.h"
#include "brisko_pool.h"
#include "brisko_stamp.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The reference count a saved op array starts with. Every request that
 * runs cached code shares the saved op arrays and the engine lowers the
 * count whenever it lets go of one (destroy_op_array); a count this far
 * from zero can never reach it within a process's life (at most 10,001
 * requests), so the engine never frees pool memory, and it stays below
 * the top bit, so no count of an engine routine that adds to it wraps. */
#define BRISKO_SAVED_REFCOUNT 0x70000000

typedef struct brisko_function_node {
    char *name;               /* key bytes exactly as the engine stored them */
    uint name_length;
    zend_op_array *op_array;  /* record of the size of zend_function */
    struct brisko_function_node *next;
} brisko_function_node;

typedef struct brisko_class_node {
    char *name;
    uint name_length;
    zend_class_entry *class_entry;
    struct brisko_class_node *next;
    /* For a class bound to its parent when its declaration runs (the
     * parent was not known when the file compiled): the parent's name;
     * NULL otherwise. */
    char *late_parent;
    /* The keys of the class's own members that its parent also had when
     * the file compiled: those replaced inherited ones in place, the others
     * followed the parent's. Each is a kind byte ('m' method, 'p' default
     * property) and the key with its NUL; a 0 byte ends the list. NULL
     * when there are none. */
    char *overrides;
} brisko_class_node;

/* A call by name, in the file's code, that passes a value which is not a
 * variable as argument `arg`: while a function of that name takes that
 * argument by reference, the compiler refuses the file. */
typedef struct brisko_literal_arg {
    char *name; /* the lower-cased function name, NUL-terminated */
    uint name_length; /* with the NUL */
    uint arg;
} brisko_literal_arg;

typedef struct brisko_file_entry {
    char *path;
    bkpool *pool;
    time_t ctime;
    zend_op_array *op_array;  /* NULL when the compilation failed */
    brisko_function_node *functions;
    brisko_function_node *functions_tail;
    brisko_class_node *classes;
    brisko_class_node *classes_tail;
    /* The file's identity and status when it was compiled, to the
     * nanosecond, and for a file that had just changed, the hash of the
     * bytes compiled: what tells whether the entry still describes it. */
    brisko_file_stamp stamp;
    /* The calls of the file's code that a function declared by reference
     * would make a compile error, each name and argument once; none is a
     * built-in function's. */
    brisko_literal_arg *literal_args;
    uint literal_arg_count;
} brisko_file_entry;

extern HashTable *brisko_filetable;

#ifdef __cplusplus
}
#endif

#endif
