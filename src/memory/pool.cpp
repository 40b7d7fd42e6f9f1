/* Memory pools.
 *
 * A pool records every block handed out in it (the frees list) and every
 * cleanup registered on it (the cleanup list). Both lists are chains of
 * blocks, newest first: the oldest block is embedded in the pool record
 * (16 frees slots, 2 cleanup slots), every later one doubles the capacity
 * of the one before, up to 16384 slots, and only the newest block of a list
 * can have free slots. Deleting a pool runs its cleanups, deletes its
 * children (newest first, each with its whole subtree), frees its recorded
 * blocks, unlinks it from its parent and frees the record.
 *
 * Pools never use the engine's per-request allocator, so their contents
 * survive the end of a request. Each block is its own C library allocation
 * with no header in front of it, so a sanitizer sees every overrun and every
 * use after deletion exactly as it would for plain malloc/free; a debug
 * build therefore needs no separate pool mode.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "brisko_pool.h"

extern "C" {

bkpool *bkpool_global = NULL;

void *(*bkpool_sys_malloc)(size_t size) = malloc;
void (*bkpool_sys_free)(void *ptr) = free;

}

/* The C library refused memory that the pool layer cannot do without: the
 * process cannot keep its caches consistent, so it ends with a status of
 * its own that a supervising server can tell from an orderly exit. */
static void bkpool_out_of_memory(const char *what, size_t size)
{
    fprintf(stderr, "PHP Brisko: out of memory allocating %zu bytes for %s; exiting with status %d\n",
            size, what, BKPOOL_EXIT_NOMEM);
    fflush(stderr);
    exit(BKPOOL_EXIT_NOMEM);
}

static void *bkpool_sys_alloc(size_t size, const char *what)
{
    void *ptr = bkpool_sys_malloc(size);
    if (ptr == NULL) bkpool_out_of_memory(what, size);
    return ptr;
}

static void bkpool_block_init(bkpool_block *block, bkpool_block *link, unsigned capacity, unsigned is_inline)
{
    block->link = link;
    block->count = 0;
    block->capacity = capacity;
    block->is_inline = is_inline;
}

/* Capacity of the block that follows a full one of the given capacity. */
static unsigned bkpool_next_capacity(unsigned capacity)
{
    return capacity <= BKPOOL_BLOCK_MAX - 1 ? capacity * 2 : capacity;
}

static void **bkpool_frees_slots(bkpool_block *block)
{
    return (void **)(block + 1);
}

static bkpool_cleanup_slot *bkpool_cleanup_slots(bkpool_block *block)
{
    return (bkpool_cleanup_slot *)(block + 1);
}

extern "C" {

bkpool *new_bkpool(void)
{
    bkpool *pool = (bkpool *)bkpool_sys_alloc(sizeof(bkpool), "a memory pool");
    memset(pool, 0, sizeof(*pool));
    bkpool_block_init(&pool->frees_first.head, NULL, BKPOOL_FREES_FIRST, 1);
    bkpool_block_init(&pool->cleanups_first.head, NULL, BKPOOL_CLEANUPS_FIRST, 1);
    pool->frees = &pool->frees_first.head;
    pool->cleanups = &pool->cleanups_first.head;
    return pool;
}

bkpool *new_subbkpool(bkpool *parent)
{
    bkpool *pool = new_bkpool();
    pool->parent = parent;
    pool->sibling = parent->children;
    if (pool->sibling != NULL) pool->sibling->prev_sibling = pool;
    parent->children = pool;
    return pool;
}

void _bkpool_register_malloc(bkpool *pool, void *ptr)
{
    bkpool_block *block = pool->frees;
    if (block->count >= block->capacity) {
        unsigned capacity = bkpool_next_capacity(block->capacity);
        bkpool_block *next = (bkpool_block *)bkpool_sys_alloc(
            sizeof(bkpool_block) + capacity * sizeof(void *), "a pool's frees list");
        bkpool_block_init(next, block, capacity, 0);
        pool->frees = block = next;
    }
    bkpool_frees_slots(block)[block->count] = ptr;
    block->count = block->count + 1;
}

void _bkpool_register_cleanup(bkpool *pool, bkpool_cleanup_fn fn, void *data)
{
    bkpool_block *block = pool->cleanups;
    if (block->count >= block->capacity) {
        unsigned capacity = bkpool_next_capacity(block->capacity);
        bkpool_block *next = (bkpool_block *)bkpool_sys_alloc(
            sizeof(bkpool_block) + capacity * sizeof(bkpool_cleanup_slot), "a pool's cleanup list");
        bkpool_block_init(next, block, capacity, 0);
        pool->cleanups = block = next;
    }
    bkpool_cleanup_slot *slot = &bkpool_cleanup_slots(block)[block->count];
    slot->fn = fn;
    slot->data = data;
    block->count = block->count + 1;
}

void *bkpool_malloc(size_t size, bkpool *pool)
{
    void *ptr = bkpool_sys_alloc(size, "a pooled block");
    _bkpool_register_malloc(pool, ptr);
    return ptr;
}

void _do_cleanups(bkpool *pool)
{
    bkpool_block *block = pool->cleanups;
    while (block != NULL) {
        bkpool_block *older = block->link;
        bkpool_cleanup_slot *slots = bkpool_cleanup_slots(block);
        for (unsigned i = 0; i < block->count; i++) slots[i].fn(slots[i].data);
        if (!block->is_inline) bkpool_sys_free(block);
        block = older;
    }
    /* The list is spent; leave the pool consistent in case it is looked at. */
    pool->cleanups = &pool->cleanups_first.head;
    pool->cleanups_first.head.count = 0;
}

void _do_frees(bkpool *pool)
{
    bkpool_block *block = pool->frees;
    while (block != NULL) {
        bkpool_block *older = block->link;
        void **slots = bkpool_frees_slots(block);
        for (unsigned i = 0; i < block->count; i++) bkpool_sys_free(slots[i]);
        if (!block->is_inline) bkpool_sys_free(block);
        block = older;
    }
    pool->frees = &pool->frees_first.head;
    pool->frees_first.head.count = 0;
}

void delete_bkpool(bkpool *pool)
{
    _do_cleanups(pool);
    while (pool->children != NULL) delete_bkpool(pool->children);
    _do_frees(pool);

    if (pool->parent != NULL) {
        bkpool **link = pool->prev_sibling != NULL ? &pool->prev_sibling->sibling : &pool->parent->children;
        if (*link != pool) {
            /* The tree no longer describes what is allocated: nothing that
             * follows could be trusted. */
            fprintf(stderr, "PHP Brisko: memory pool %p is missing from its parent's list\n", (void *)pool);
            abort();
        }
        *link = pool->sibling;
        if (pool->sibling != NULL) pool->sibling->prev_sibling = pool->prev_sibling;
    }
    bkpool_sys_free(pool);
}

}
