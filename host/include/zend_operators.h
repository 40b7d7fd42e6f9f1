/* Value routines: copy, destroy, convert. */
#ifndef ZEND_OPERATORS_H
#define ZEND_OPERATORS_H

#include "zend.h"

BEGIN_EXTERN_C()

/* Makes what the record points to (string, table) its own. */
ZEND_API int _zval_copy_ctor(zval *zvalue);
/* Frees what the record points to; the record stays. */
ZEND_API void _zval_dtor(zval *zvalue);
/* Drops one reference; destroys and frees the record at zero. A record
 * left with one reference stops being a reference. */
ZEND_API void _zval_ptr_dtor(zval **zval_ptr);

ZEND_API void convert_to_long(zval *op);
ZEND_API void convert_to_double(zval *op);
ZEND_API void convert_to_boolean(zval *op);
ZEND_API void convert_to_array(zval *op);
ZEND_API void convert_to_null(zval *op);
ZEND_API void _convert_to_string(zval *op);

ZEND_API int zend_is_true(zval *op);

END_EXTERN_C()

#define zval_copy_ctor(z) _zval_copy_ctor(z)
#define zval_dtor(z) _zval_dtor(z)
#define zval_ptr_dtor(zpp) _zval_ptr_dtor(zpp)
#define convert_to_string(z) _convert_to_string(z)

#define INIT_PZVAL(z) ((z)->refcount = 1, (z)->is_ref = 0)
#define PZVAL_IS_REF(z) ((z)->is_ref)

/* Gives *ppzv a private copy when it is shared and not a reference. */
#define SEPARATE_ZVAL(ppzv)                                                    \
    do {                                                                       \
        zval *orig_ptr = *(ppzv);                                              \
        if (orig_ptr->refcount > 1) {                                          \
            orig_ptr->refcount--;                                              \
            ALLOC_ZVAL(*(ppzv));                                               \
            **(ppzv) = *orig_ptr;                                              \
            zval_copy_ctor(*(ppzv));                                           \
            (*(ppzv))->refcount = 1;                                           \
            (*(ppzv))->is_ref = 0;                                             \
        }                                                                      \
    } while (0)

#define SEPARATE_ZVAL_IF_NOT_REF(ppzv)                                         \
    if (!PZVAL_IS_REF(*(ppzv))) {                                              \
        SEPARATE_ZVAL(ppzv);                                                   \
    }

#define convert_to_long_ex(ppzv)                                               \
    if ((*(ppzv))->type != IS_LONG) {                                          \
        SEPARATE_ZVAL_IF_NOT_REF(ppzv);                                        \
        convert_to_long(*(ppzv));                                              \
    }

#define convert_to_string_ex(ppzv)                                             \
    if ((*(ppzv))->type != IS_STRING) {                                        \
        SEPARATE_ZVAL_IF_NOT_REF(ppzv);                                        \
        convert_to_string(*(ppzv));                                            \
    }

#define Z_LVAL_P(z) ((z)->value.lval)
#define Z_DVAL_P(z) ((z)->value.dval)
#define Z_STRVAL_P(z) ((z)->value.str.val)
#define Z_STRLEN_P(z) ((z)->value.str.len)
#define Z_ARRVAL_P(z) ((z)->value.ht)
#define Z_TYPE_P(z) ((z)->type)

#endif
