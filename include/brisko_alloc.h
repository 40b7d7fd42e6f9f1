/* Allocation targets. Every allocation names where its memory lives: a
 * pool (until the pool is deleted), the engine's per-request allocator
 * (target 0, released by the engine at request end) or the request heap
 * (target 1, emptied at every request start). */
#ifndef BRISKO_ALLOC_H
#define BRISKO_ALLOC_H

#include <stddef.h>
#include "brisko_pool.h"

#ifdef __cplusplus
extern "C" {
#endif

#define BK_TARGET_ENGINE ((bkpool *)0)
#define BK_TARGET_REQUEST_HEAP ((bkpool *)1)

/* Nominal size of the request heap; a request may grow past it up to
 * BRISKO_HEAP_RESERVE bytes of reserved address space. */
#define BRISKO_HEAP_SIZE 1000000
#define BRISKO_HEAP_RESERVE ((size_t)1 << 31)

extern char *brisko_heap_strage_ini; /* start of the request heap */
extern char *brisko_heap_strage;     /* top: first byte not handed out */

void *brisko_malloc(size_t size, bkpool *target);
void *brisko_memdup3(const void *src, size_t length, bkpool *target);
void *brisko_memdup(const void *src, size_t length, bkpool *target);
char *brisko_strdup(const char *s, bkpool *target);
void *brisko_calloc(int count, int size, bkpool *target);
/* NULL when the request heap cannot hold size more bytes. */
void *brisko_heap_malloc(size_t size);

/* Maps the request heap; 0 on success, -1 when it cannot be had. */
int brisko_heap_create(void);
/* Empties the request heap (request start). */
void brisko_heap_reset(void);

#ifdef __cplusplus
}
#endif

#endif
