/* Memory pools: a tree of pools, each recording every block allocated in it
 * and giving them all back to the C library when it is deleted, after its
 * child pools. Nothing in a pool is freed on its own. */
#ifndef BRISKO_POOL_H
#define BRISKO_POOL_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct bkpool_block {
    struct bkpool_block *link; /* next older block of the list; NULL at the embedded one */
    uint32_t count : 16;       /* slots in use */
    uint32_t capacity : 15;    /* slots the block has */
    uint32_t is_inline : 1;    /* embedded in the pool record, never freed alone */
    /* capacity slots follow: a pointer each in a frees block, a
     * (function, pointer) pair each in a cleanup block */
} bkpool_block;

typedef void (*bkpool_cleanup_fn)(void *data);

typedef struct bkpool_cleanup_slot {
    bkpool_cleanup_fn fn;
    void *data;
} bkpool_cleanup_slot;

#define BKPOOL_FREES_FIRST 16
#define BKPOOL_CLEANUPS_FIRST 2
#define BKPOOL_BLOCK_MAX 16384

/* Exit status of the process when the C library refuses memory to the pool
 * layer (a pool record, a bookkeeping block or a pooled block). */
#define BKPOOL_EXIT_NOMEM 70

typedef struct bkpool {
    struct bkpool *parent;   /* NULL for a root pool */
    struct bkpool *sibling;  /* next pool in the parent's child list */
    struct bkpool *children; /* newest child first */
    bkpool_block *frees;     /* newest frees block */
    bkpool_block *cleanups;  /* newest cleanup block */
    struct {
        bkpool_block head;
        void *slots[BKPOOL_FREES_FIRST];
    } frees_first;
    struct {
        bkpool_block head;
        bkpool_cleanup_slot slots[BKPOOL_CLEANUPS_FIRST];
    } cleanups_first;
    struct bkpool *prev_sibling; /* the pool before this one in the parent's child list;
                                    NULL when first: unlinking takes constant time */
} bkpool;

extern bkpool *bkpool_global;

/* The C library routines the pool layer allocates and frees with; tests
 * replace them to watch the order of frees or to simulate exhaustion. */
extern void *(*bkpool_sys_malloc)(size_t size);
extern void (*bkpool_sys_free)(void *ptr);

bkpool *new_bkpool(void);
bkpool *new_subbkpool(bkpool *parent);
void *bkpool_malloc(size_t size, bkpool *pool);
void _bkpool_register_malloc(bkpool *pool, void *ptr);
void _bkpool_register_cleanup(bkpool *pool, bkpool_cleanup_fn fn, void *data);
void delete_bkpool(bkpool *pool);
void _do_cleanups(bkpool *pool);
void _do_frees(bkpool *pool);

#ifdef __cplusplus
}
#endif

#endif
