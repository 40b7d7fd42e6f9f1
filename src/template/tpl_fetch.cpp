/* Block fetch: the instance of a block with a given index, made (with every
 * instance before it) when missing. Instances are copies of the block's
 * prototype in the fetched template's target.
 *
 * Each block entry keeps, beside its node list, an index of the list's
 * nodes (bnindex: node i at [i], 0 the prototype), grown by doubling as
 * nodes are appended, so a fetch finds any index in constant time and
 * filling a block in any order costs time in proportion to the instances
 * made. A fetch that cannot make every instance it needs (the request's
 * template memory would pass its limit) makes none: a hopeless index is
 * refused before anything is made, and a fetch that runs out half way
 * gives back all it took. */
#include <limits.h>
#include <string.h>

#include "brisko_template.h"

/* Room for need entries in the node index; 0 when memory ran out. Old
 * arrays stay where they are (in the request heap, until it is reset), so
 * a failed fetch can go back to the one it started with. */
static int tpl_index_reserve(brisko_sub *sub, long need, bkpool *pool)
{
    if (need <= sub->bncap) return 1;
    long cap = sub->bncap > 8 ? sub->bncap : 8;
    while (cap < need) {
        if (cap > LONG_MAX / 2 / (long)sizeof(brisko_bn *)) return 0;
        cap *= 2;
    }
    brisko_bn **v = (brisko_bn **)brisko_malloc((size_t)cap * sizeof(brisko_bn *), pool);
    if (v == NULL) return 0;
    if (sub->bncount > 0) memcpy(v, sub->bnindex, (size_t)sub->bncount * sizeof(brisko_bn *));
    sub->bnindex = v;
    sub->bncap = cap;
    return 1;
}

/* The index of a list that has none yet (a copied list, or a new one). */
static int tpl_index_build(brisko_sub *sub, bkpool *pool)
{
    long n = 0;
    for (brisko_bn *bn = sub->bnlist; bn != NULL; bn = bn->next) n++;
    sub->bncount = 0;
    sub->bncap = 0;
    if (!tpl_index_reserve(sub, n > 1 ? n : 2, pool)) return 0;
    for (brisko_bn *bn = sub->bnlist; bn != NULL; bn = bn->next) sub->bnindex[sub->bncount++] = bn;
    return 1;
}

/* Whether the request heap can still hold `missing` more instances; the
 * estimate counts only their nodes, records and index entries, a lower
 * bound, so a huge index is refused up front instead of filling the whole
 * heap first. */
static int tpl_heap_has_room(long missing)
{
    size_t each = BRISKO_HEAP_ROUND(sizeof(brisko_bn)) + BRISKO_HEAP_ROUND(sizeof(brisko_tpl)) +
                  2 * sizeof(brisko_bn *);
    return missing <= 0 || (unsigned long)missing <= brisko_heap_room() / each;
}

static void tpl_index_too_large(const brisko_sub *sub, long index)
{
    zend_error(E_WARNING,
               "Template memory exhausted: instance %ld of block '%s' would pass the %lu bytes a request's "
               "templates may take",
               index, sub->name, (unsigned long)BRISKO_HEAP_LIMIT);
}

extern "C" brisko_tpl *brisko_template_fetch(brisko_tpl *tpl, const char *name, long index)
{
    brisko_sub *sub = _brisko_template_find_sub(tpl, name, strlen(name));
    if (sub == NULL) {
        if (brisko_template_check_tagname_f) _brisko_template_illegal_tagname(name);
        return NULL;
    }
    return _brisko_template_fetch_sub(tpl, sub, index);
}

extern "C" brisko_tpl *_brisko_template_fetch_sub(brisko_tpl *tpl, brisko_sub *sub, long index)
{
    if (strchr(sub->name, '*') == NULL) index = 0;
    bkpool *pool = tpl->pool;
    int in_heap = pool == BK_TARGET_REQUEST_HEAP;

    /* Place in the node list: 0 is the prototype, i + 1 instance i. */
    long target = index < 0 ? 0 : index;
    if (index >= 0) {
        if (index == LONG_MAX) {
            tpl_index_too_large(sub, index);
            return NULL;
        }
        target = index + 1;
    }
    if (sub->bnindex == NULL && !tpl_index_build(sub, pool)) {
        _brisko_template_memory_warning();
        return NULL;
    }
    if (target < sub->bncount) return sub->bnindex[target]->tpl;
    if (in_heap && !tpl_heap_has_room(target - sub->bncount + 1)) {
        tpl_index_too_large(sub, index);
        return NULL;
    }

    /* Everything this fetch takes lies above mark; on failure the list,
     * its index and the heap go back to how they were. */
    char *mark = in_heap ? brisko_heap_strage : NULL;
    brisko_bn **old_index = sub->bnindex;
    long old_count = sub->bncount, old_cap = sub->bncap;
    brisko_bn *old_last = sub->bnindex[old_count - 1];
    brisko_bn *old_bnlast = sub->bnlast;
    if (!tpl_index_reserve(sub, target + 1, pool)) {
        _brisko_template_memory_warning();
        brisko_heap_release(mark);
        return NULL;
    }
    brisko_tpl *proto = sub->bnlist->tpl;
    while (sub->bncount <= target) {
        brisko_bn *bn = (brisko_bn *)brisko_calloc(1, sizeof(brisko_bn), pool);
        brisko_tpl *copy = bn != NULL ? _brisko_template_copy(proto, pool) : NULL;
        if (copy == NULL) {
            if (bn == NULL) _brisko_template_memory_warning();
            old_last->next = NULL;
            sub->bnlast = old_bnlast;
            sub->bnindex = old_index;
            sub->bncount = old_count;
            sub->bncap = old_cap;
            brisko_heap_release(mark);
            return NULL;
        }
        bn->tpl = copy;
        sub->bnindex[sub->bncount - 1]->next = bn;
        sub->bnindex[sub->bncount++] = bn;
        sub->bnlast = bn;
    }
    return sub->bnindex[target]->tpl;
}
