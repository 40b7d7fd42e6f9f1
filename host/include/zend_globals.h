/* Compiler and executor globals. One request at a time runs in a process,
 * so they are plain process globals. */
#ifndef ZEND_GLOBALS_H
#define ZEND_GLOBALS_H

#include "zend_compile.h"

typedef struct _zend_compiler_globals {
    HashTable *function_table;    /* zend_function by lower-cased name */
    HashTable *class_table;       /* zend_class_entry by lower-cased name */
} zend_compiler_globals;

typedef struct _zend_executor_globals {
    HashTable symbol_table;       /* the script's global variables */
    HashTable *active_symbol_table;
    HashTable *function_table;
    HashTable *class_table;
} zend_executor_globals;

BEGIN_EXTERN_C()
ZEND_API extern zend_compiler_globals compiler_globals;
ZEND_API extern zend_executor_globals executor_globals;
END_EXTERN_C()

#define CG(v) (compiler_globals.v)
#define EG(v) (executor_globals.v)

#endif
