/* The per-request allocator. Every block handed out is given back when the
 * request ends, whether or not it was freed. Persistent variants use the
 * C library and outlive requests. */
#ifndef ZEND_ALLOC_H
#define ZEND_ALLOC_H

#include <stdlib.h>
#include "zend.h"

BEGIN_EXTERN_C()

ZEND_API void *_emalloc(size_t size);
ZEND_API void *_ecalloc(size_t nmemb, size_t size);
ZEND_API void *_erealloc(void *ptr, size_t size, int allow_failure);
ZEND_API void _efree(void *ptr);
ZEND_API char *_estrdup(const char *s);
ZEND_API char *_estrndup(const char *s, uint length);

/* Free lists of value records and table records. A record taken from a
 * list is request memory like any other. */
#define ZVAL_CACHE_LIST 0
#define HASHTABLE_CACHE_LIST 1
#define MAX_FAST_CACHE_TYPES 2
ZEND_API extern void *zend_fast_cache_list_head[MAX_FAST_CACHE_TYPES];

END_EXTERN_C()

#define emalloc(size) _emalloc(size)
#define ecalloc(nmemb, size) _ecalloc((nmemb), (size))
#define erealloc(ptr, size) _erealloc((ptr), (size), 0)
#define efree(ptr) _efree(ptr)
#define estrdup(s) _estrdup(s)
#define estrndup(s, length) _estrndup((s), (length))

#define pemalloc(size, persistent) ((persistent) ? malloc(size) : emalloc(size))
#define pefree(ptr, persistent) ((persistent) ? free(ptr) : efree(ptr))
#define perealloc(ptr, size, persistent) ((persistent) ? realloc((ptr), (size)) : erealloc((ptr), (size)))

typedef struct _zend_fast_cache_list_entry {
    struct _zend_fast_cache_list_entry *next;
} zend_fast_cache_list_entry;

#define ZEND_FAST_ALLOC(p, type, fc_type)                                          \
    do {                                                                           \
        if (zend_fast_cache_list_head[fc_type]) {                                  \
            (p) = (type *)zend_fast_cache_list_head[fc_type];                      \
            zend_fast_cache_list_head[fc_type] =                                   \
                ((zend_fast_cache_list_entry *)(p))->next;                         \
        } else {                                                                   \
            (p) = (type *)emalloc(sizeof(type));                                   \
        }                                                                          \
    } while (0)

#define ALLOC_ZVAL(z) ZEND_FAST_ALLOC(z, zval, ZVAL_CACHE_LIST)
#define ALLOC_HASHTABLE(ht) ZEND_FAST_ALLOC(ht, HashTable, HASHTABLE_CACHE_LIST)

BEGIN_EXTERN_C()
/* Give a record back to its free list (or to the allocator). */
ZEND_API void zend_fast_free(void *p, int fc_type);
END_EXTERN_C()
#define FREE_ZVAL(z) zend_fast_free((z), ZVAL_CACHE_LIST)
#define FREE_HASHTABLE(ht) zend_fast_free((ht), HASHTABLE_CACHE_LIST)

#endif
