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
 * BRISKO_HEAP_LIMIT bytes. At a reset, what both of the last two requests
 * used stays committed for the next one, up to BRISKO_HEAP_KEEP bytes; the
 * rest goes back to the system. */
#define BRISKO_HEAP_SIZE 1000000
#define BRISKO_HEAP_LIMIT ((size_t)512 << 20)
#define BRISKO_HEAP_KEEP ((size_t)128 << 20)
/* The heap hands out multiples of this many bytes, each at an address
 * that is a multiple of it; BRISKO_HEAP_ROUND(n) is what n bytes take. */
#define BRISKO_HEAP_ALIGN 8
#define BRISKO_HEAP_ROUND(n) (((size_t)(n) + BRISKO_HEAP_ALIGN - 1) & ~(size_t)(BRISKO_HEAP_ALIGN - 1))

extern char *brisko_heap_strage_ini; /* start of the request heap */
extern char *brisko_heap_strage;     /* top: first byte not handed out */
/* Resets of the heap so far: the request whose records it holds now. */
extern unsigned long brisko_heap_request;

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
/* Bytes the request may still take from the heap. */
size_t brisko_heap_room(void);
/* Gives back everything handed out above mark (an earlier top of this
 * request), so that a failed operation leaves the heap as it found it. */
void brisko_heap_release(char *mark);
/* The record map: one bit per 8-byte slot of the heap, set where a record
 * that may be named by an id begins. Only records are marked, never text
 * or tables that share the heap with them, and a reset clears the map. */
void brisko_heap_mark_record(const void *p);
int brisko_heap_is_record(const void *p);

#ifdef __cplusplus
}
#endif

#endif
