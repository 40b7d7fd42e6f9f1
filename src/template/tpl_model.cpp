/* Template records: making them, the deep copy that turns a cached parse
 * (or a block prototype) into request records, and template ids.
 *
 * Invariants kept by every routine here, also when memory runs out half way:
 * a record reachable from a template id has subnum valid entries, each with
 * a name and a node list whose records are its own copies (never records of
 * the cached parse); a copy that fails is left truncated (subnum cut at the
 * entry that failed), is not linked in by the caller, and when it was made
 * in the request heap, the heap is given back to where it stood before.
 *
 * Every record made in the request heap carries the request it was made in
 * and is marked in the heap's record map; an id names a record only when
 * both agree with the current request (see _brisko_template_from_id). */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "brisko_template.h"
#include "tpl_markers.h"

/* Why the last copy failed, for the one warning the caller raises. */
enum { COPY_OK, COPY_NO_MEMORY, COPY_TOO_DEEP, COPY_CYCLE };
static int tpl_copy_error = COPY_OK;
static int tpl_copy_depth = 0;

/* A record just made in target: its own fields set, no values. */
static void tpl_stamp(brisko_tpl *t, bkpool *target)
{
    t->magic = BRISKO_TPL_MAGIC;
    t->pool = target;
    t->tagvalues = NULL;
    t->tagvalues_last = NULL;
    t->slots = NULL;
    t->others = NULL;
    t->visiting = 0;
    t->request = brisko_heap_request;
    if (target == BK_TARGET_REQUEST_HEAP) brisko_heap_mark_record(t);
}

extern "C" {

brisko_tpl *_brisko_template_alloc_tpl(brisko_tpl *parent)
{
    bkpool *pool = parent ? parent->pool : new_bkpool();
    brisko_tpl *tpl = (brisko_tpl *)brisko_calloc(1, sizeof(brisko_tpl), pool);
    if (tpl == NULL) return NULL;
    tpl_stamp(tpl, pool);
    return tpl;
}

void _brisko_template_set_subnum(brisko_tpl *tpl, int n)
{
    tpl->subnum = n;
    tpl->subs = n > 0 ? (brisko_sub *)brisko_calloc(n, sizeof(brisko_sub), tpl->pool) : NULL;
}

void _brisko_template_set_sub(brisko_tpl *tpl, int i, const char *name, brisko_tpl *child)
{
    brisko_sub *sub = &tpl->subs[i];
    brisko_bn *bn = (brisko_bn *)brisko_calloc(1, sizeof(brisko_bn), tpl->pool);
    sub->name = brisko_strdup(name, tpl->pool);
    bn->tpl = child;
    sub->bnlist = bn;
    sub->bnlast = NULL;
    sub->bnindex = NULL;
    sub->bncount = 0;
    sub->bncap = 0;
}

static int tpl_copy_fail(int why)
{
    tpl_copy_error = why;
    return 0;
}

int brisko_tpl_dup_b(bkpool *pool, brisko_bn *node)
{
    brisko_tpl *src = node->tpl;
    if (src->visiting) return tpl_copy_fail(COPY_CYCLE);
    brisko_tpl *copy = (brisko_tpl *)brisko_memdup3(src, sizeof(brisko_tpl), pool);
    if (copy == NULL) return tpl_copy_fail(COPY_NO_MEMORY);
    tpl_stamp(copy, pool);
    node->tpl = copy;
    src->visiting = 1;
    int ok = brisko_tpl_dup_tpl(copy);
    src->visiting = 0;
    return ok;
}

int brisko_tpl_dup_bnlist(bkpool *pool, brisko_sub *sub)
{
    brisko_bn *src = sub->bnlist;
    brisko_bn *prev = NULL;

    sub->bnindex = NULL;
    sub->bncount = 0;
    sub->bncap = 0;
    sub->bnlast = NULL;
    while (src != NULL) {
        brisko_bn *next = src->next;
        brisko_bn *copy = (brisko_bn *)brisko_memdup3(src, sizeof(brisko_bn), pool);
        if (copy == NULL) return tpl_copy_fail(COPY_NO_MEMORY);
        copy->next = NULL;
        if (prev) prev->next = copy;
        else sub->bnlist = copy;
        if (!brisko_tpl_dup_b(pool, copy)) return 0;
        sub->bnlast = copy;
        prev = copy;
        src = next;
    }
    return 1;
}

int brisko_tpl_dup_tpl(brisko_tpl *t)
{
    t->tagvalues_last = NULL;
    t->tagvalues = NULL;
    t->slots = NULL;
    t->others = NULL;
    t->visiting = 0;
    if (t->subnum <= 0) {
        t->subnum = 0;
        t->subs = NULL;
        return 1;
    }
    if (tpl_copy_depth >= BRISKO_TPL_MAX_DEPTH) {
        t->subnum = 0;
        t->subs = NULL;
        return tpl_copy_fail(COPY_TOO_DEEP);
    }
    brisko_sub *subs = (brisko_sub *)brisko_memdup3(t->subs, (size_t)t->subnum * sizeof(brisko_sub), t->pool);
    if (subs == NULL) {
        t->subnum = 0;
        t->subs = NULL;
        return tpl_copy_fail(COPY_NO_MEMORY);
    }
    t->subs = subs;
    tpl_copy_depth++;
    for (int i = 0; i < t->subnum; i++) {
        if (!brisko_tpl_dup_bnlist(t->pool, &subs[i])) {
            t->subnum = i; /* entries from i on may still share the source's nodes */
            tpl_copy_depth--;
            return 0;
        }
    }
    tpl_copy_depth--;
    return 1;
}

/* Raises the warning for the copy that just failed. */
static void tpl_copy_warning(void)
{
    switch (tpl_copy_error) {
    case COPY_TOO_DEEP:
        zend_error(E_WARNING, "Template nesting too deep to copy (more than %d levels)", BRISKO_TPL_MAX_DEPTH);
        break;
    case COPY_CYCLE:
        zend_error(E_WARNING, "Template contains itself (attached into its own block) and cannot be copied");
        break;
    default:
        _brisko_template_memory_warning();
        break;
    }
    tpl_copy_error = COPY_OK;
}

/* Copies src (its nine fields and everything below) into target; the copy
 * is returned only when complete. Fetch uses it for new instances. A copy
 * into the request heap that fails gives back what it took. */
brisko_tpl *_brisko_template_copy(brisko_tpl *src, bkpool *target)
{
    if (src->visiting) {
        tpl_copy_error = COPY_CYCLE;
        tpl_copy_warning();
        return NULL;
    }
    char *mark = target == BK_TARGET_REQUEST_HEAP ? brisko_heap_strage : NULL;
    brisko_tpl *t = (brisko_tpl *)brisko_memdup3(src, sizeof(brisko_tpl), target);
    if (t == NULL) {
        _brisko_template_memory_warning();
        return NULL;
    }
    tpl_stamp(t, target);
    src->visiting = 1;
    int ok = brisko_tpl_dup_tpl(t);
    src->visiting = 0;
    if (!ok) {
        tpl_copy_warning();
        brisko_heap_release(mark);
        return NULL;
    }
    return t;
}

brisko_tpl *_brisko_template_dup(brisko_tpl *tpl)
{
    if (tpl == NULL) return NULL;
    return _brisko_template_copy(tpl, BK_TARGET_REQUEST_HEAP);
}

/* The request tag of ids made now: 1 to BRISKO_TPL_ID_REQUESTS. Ids carry
 * none (the bare address) on a system whose heap lies above the tag bits. */
static uintptr_t tpl_id_tag(void)
{
    uintptr_t end = (uintptr_t)brisko_heap_strage_ini + BRISKO_HEAP_LIMIT;
    if (sizeof(uintptr_t) < 8 || (end >> BRISKO_TPL_ID_SHIFT) != 0) return 0;
    return (uintptr_t)(brisko_heap_request % BRISKO_TPL_ID_REQUESTS + 1) << BRISKO_TPL_ID_SHIFT;
}

long _brisko_template_id(const brisko_tpl *tpl)
{
    return (long)((uintptr_t)tpl | tpl_id_tag());
}

brisko_tpl *_brisko_template_from_id(long id)
{
    uintptr_t tag = tpl_id_tag();
    uintptr_t mask = tag ? ((uintptr_t)1 << BRISKO_TPL_ID_SHIFT) - 1 : ~(uintptr_t)0;
    if (((uintptr_t)id & ~mask) != tag) return NULL; /* another request's id, or none */
    uintptr_t a = (uintptr_t)id & mask;
    uintptr_t lo = (uintptr_t)brisko_heap_strage_ini;
    uintptr_t hi = (uintptr_t)brisko_heap_strage;
    if (lo == 0 || a < lo || a >= hi) return NULL;
    /* Records start at multiples of 8, lie wholly below the top and are
     * marked in the record map; only then may the address be read as one.
     * The map refuses the heap's other words (text, tables, nodes), also
     * those that hold 23456. */
    if ((a - lo) % 8 != 0 || hi - a < sizeof(brisko_tpl) || !brisko_heap_is_record((const void *)a)) return NULL;
    brisko_tpl *t = (brisko_tpl *)a;
    if (t->magic != BRISKO_TPL_MAGIC || t->pool != BK_TARGET_REQUEST_HEAP || t->request != brisko_heap_request ||
        t->segnum < 1 || t->subnum < 0)
        return NULL;
    return t;
}

void _brisko_template_id_warning(void)
{
    zend_error(E_WARNING, "argument to id should be template_id");
}

void _brisko_template_illegal_tagname(const char *name)
{
    static const char fmt[] = "Illegal tagname('%s')";
    int n = snprintf(NULL, 0, fmt, name);
    char *text = n >= 0 ? (char *)malloc((size_t)n + 1) : NULL;
    if (text == NULL) {
        zend_error(E_WARNING, fmt, name);
        return;
    }
    snprintf(text, (size_t)n + 1, fmt, name);
    zend_error(E_WARNING, "%s", text);
    free(text);
}

void _brisko_template_memory_warning(void)
{
    zend_error(E_WARNING, "Template memory exhausted: a request's templates may take at most %lu bytes",
               (unsigned long)BRISKO_HEAP_LIMIT);
}

int _brisko_template_name_eq(const char *stored, const char *name, size_t len)
{
    return stored != NULL && strncmp(stored, name, len) == 0 && stored[len] == '\0';
}

int _brisko_template_slot(const brisko_tags *tags, const char *name, size_t len)
{
    if (tags == NULL || tags->hash == NULL) return -1;
    return tags->hash[tpl_probe(tags->hash, tags->mask, name, len, tpl_tag_named, tags)];
}

brisko_tagvalue *_brisko_template_find_value(brisko_tpl *tpl, const char *name, size_t len)
{
    for (brisko_tagvalue *tv = tpl->tagvalues; tv != NULL; tv = tv->next)
        if (_brisko_template_name_eq(tv->name, name, len)) return tv;
    return NULL;
}

brisko_sub *_brisko_template_find_sub(brisko_tpl *tpl, const char *name, size_t len)
{
    if (tpl->tags != NULL) {
        /* every block's name is a slot of its parent's content */
        int s = _brisko_template_slot(tpl->tags, name, len);
        int i = s >= 0 ? tpl->tags->names[s].sub : -1;
        if (i < 0 || i >= tpl->subnum) return NULL;
        return &tpl->subs[i];
    }
    for (int i = 0; i < tpl->subnum; i++) {
        brisko_sub *sub = &tpl->subs[i];
        if (_brisko_template_name_eq(sub->name, name, len)) return sub;
    }
    return NULL;
}

}
