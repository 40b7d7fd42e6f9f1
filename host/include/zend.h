/* The engine's value record and the records every part of the engine and
 * its extensions share. Layouts follow Zend Engine 1. */
#ifndef ZEND_H
#define ZEND_H

#include <stdio.h>
#include "zend_types.h"
#include "zend_hash.h"

#define ZEND_VERSION "1.1.0a"

/* Value types */
#define IS_NULL 0
#define IS_LONG 1
#define IS_DOUBLE 2
#define IS_STRING 3
#define IS_ARRAY 4
#define IS_OBJECT 5
#define IS_BOOL 6
#define IS_RESOURCE 7
#define IS_CONSTANT 8
#define IS_CONSTANT_ARRAY 9

/* Error levels */
#define E_ERROR (1 << 0L)
#define E_WARNING (1 << 1L)
#define E_PARSE (1 << 2L)
#define E_NOTICE (1 << 3L)
#define E_CORE_ERROR (1 << 4L)
#define E_CORE_WARNING (1 << 5L)
#define E_COMPILE_ERROR (1 << 6L)
#define E_COMPILE_WARNING (1 << 7L)
#define E_USER_ERROR (1 << 8L)
#define E_USER_WARNING (1 << 9L)
#define E_USER_NOTICE (1 << 10L)
#define E_ALL (E_ERROR | E_WARNING | E_PARSE | E_NOTICE | E_CORE_ERROR | E_CORE_WARNING | \
               E_COMPILE_ERROR | E_COMPILE_WARNING | E_USER_ERROR | E_USER_WARNING | E_USER_NOTICE)

typedef struct _zval_struct zval;
typedef struct _zend_class_entry zend_class_entry;

typedef union _zvalue_value {
    long lval;                     /* IS_LONG, IS_BOOL, IS_RESOURCE */
    double dval;                   /* IS_DOUBLE */
    struct {
        char *val;                 /* IS_STRING, IS_CONSTANT: NUL-terminated */
        int len;
    } str;
    HashTable *ht;                 /* IS_ARRAY, IS_CONSTANT_ARRAY */
    struct {
        zend_class_entry *ce;      /* IS_OBJECT: a value, copied on assignment */
        HashTable *properties;
    } obj;
} zvalue_value;

struct _zval_struct {
    zvalue_value value;
    zend_uchar type;
    zend_uchar is_ref;
    zend_ushort refcount;
};

#define INTERNAL_FUNCTION_PARAMETERS int ht, zval *return_value, zval *this_ptr, int return_value_used
#define INTERNAL_FUNCTION_PARAM_PASSTHRU ht, return_value, this_ptr, return_value_used

typedef struct _zend_function_entry {
    const char *fname;
    void (*handler)(INTERNAL_FUNCTION_PARAMETERS);
    unsigned char *func_arg_types;
} zend_function_entry;

typedef struct _zend_property_reference zend_property_reference;

struct _zend_class_entry {
    char type;                    /* ZEND_INTERNAL_CLASS or ZEND_USER_CLASS */
    char *name;                   /* as declared; the class table key is lower-cased */
    uint name_length;
    struct _zend_class_entry *parent;
    int *refcount;                /* shared by every copy of the record */
    zend_bool constants_updated;

    HashTable function_table;     /* methods, by lower-cased name */
    HashTable default_properties; /* zval* by property name */

    zend_function_entry *builtin_functions;
    void (*handle_function_call)(INTERNAL_FUNCTION_PARAMETERS, zend_property_reference *property_reference);
    zval (*handle_property_get)(zend_property_reference *property_reference);
    int (*handle_property_set)(zend_property_reference *property_reference, zval *value);
};

BEGIN_EXTERN_C()

/* Errors. Warnings and notices print and return; E_ERROR, E_CORE_ERROR,
 * E_COMPILE_ERROR and E_USER_ERROR print and end the request through
 * zend_bailout(), so the call does not return. */
ZEND_API void zend_error(int type, const char *format, ...) __attribute__((format(printf, 2, 3)));
ZEND_API void zend_bailout(void) __attribute__((noreturn));

/* Appends to the current request's output. */
ZEND_API int zend_write(const char *str, uint str_length);

ZEND_API extern char *empty_string;

END_EXTERN_C()

#define ZEND_PUTS(s) zend_write((s), strlen(s))

#endif
