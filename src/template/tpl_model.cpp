/* Template records: making them, the deep copy that turns a cached parse
 * (or a block prototype) into request records, and template ids.
 *
 * Invariants kept by every routine here, also when memory runs out half way:
 * a record reachable from a template id has subnum valid entries, each with
 * a name and a node list whose records are its own copies (never records of
 * the cached parse); a copy that fails is left truncated (subnum cut at the
 * entry that failed) and is not linked in by the caller. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "brisko_template.h"

/* Why the last copy failed, for the one warning the caller raises. */
enum { COPY_OK, COPY_NO_MEMORY, COPY_TOO_DEEP, COPY_CYCLE };
static int brisko_tpl_copy_error = COPY_OK;
static int brisko_tpl_copy_depth = 0;

extern "C" {

brisko_tpl *_brisko_template_alloc_tpl(brisko_tpl *parent)
{
    bkpool *pool = parent ? parent->pool : new_bkpool();
    brisko_tpl *tpl = (brisko_tpl *)brisko_calloc(1, sizeof(brisko_tpl), pool);
    if (tpl == NULL) return NULL;
    tpl->magic = BRISKO_TPL_MAGIC;
    tpl->pool = pool;
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
    sub->bnhint = NULL;
    sub->bnhint_pos = 0;
    sub->bncount = 1;
}

static int brisko_tpl_copy_fail(int why)
{
    brisko_tpl_copy_error = why;
    return 0;
}

int brisko_tpl_dup_b(bkpool *pool, brisko_bn *node)
{
    brisko_tpl *src = node->tpl;
    if (src->visiting) return brisko_tpl_copy_fail(COPY_CYCLE);
    brisko_tpl *copy = (brisko_tpl *)brisko_memdup3(src, sizeof(brisko_tpl), pool);
    if (copy == NULL) return brisko_tpl_copy_fail(COPY_NO_MEMORY);
    copy->magic = BRISKO_TPL_MAGIC;
    copy->pool = pool;
    copy->visiting = 0;
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
    int count = 0;

    sub->bnhint = NULL;
    sub->bnhint_pos = 0;
    sub->bncount = 0;
    sub->bnlast = NULL;
    while (src != NULL) {
        brisko_bn *next = src->next;
        brisko_bn *copy = (brisko_bn *)brisko_memdup3(src, sizeof(brisko_bn), pool);
        if (copy == NULL) return brisko_tpl_copy_fail(COPY_NO_MEMORY);
        copy->next = NULL;
        if (prev) prev->next = copy;
        else sub->bnlist = copy;
        if (!brisko_tpl_dup_b(pool, copy)) return 0;
        sub->bnlast = copy;
        prev = copy;
        count++;
        src = next;
    }
    sub->bncount = count;
    if (prev) {
        sub->bnhint = prev;
        sub->bnhint_pos = count - 1;
    }
    return 1;
}

int brisko_tpl_dup_tpl(brisko_tpl *t)
{
    t->tagvalues_last = NULL;
    t->tagvalues = NULL;
    t->visiting = 0;
    if (t->subnum <= 0) {
        t->subnum = 0;
        t->subs = NULL;
        return 1;
    }
    if (brisko_tpl_copy_depth >= BRISKO_TPL_MAX_DEPTH) {
        t->subnum = 0;
        t->subs = NULL;
        return brisko_tpl_copy_fail(COPY_TOO_DEEP);
    }
    brisko_sub *subs = (brisko_sub *)brisko_memdup3(t->subs, (size_t)t->subnum * sizeof(brisko_sub), t->pool);
    if (subs == NULL) {
        t->subnum = 0;
        t->subs = NULL;
        return brisko_tpl_copy_fail(COPY_NO_MEMORY);
    }
    t->subs = subs;
    brisko_tpl_copy_depth++;
    for (int i = 0; i < t->subnum; i++) {
        if (!brisko_tpl_dup_bnlist(t->pool, &subs[i])) {
            t->subnum = i; /* entries from i on may still share the source's nodes */
            brisko_tpl_copy_depth--;
            return 0;
        }
    }
    brisko_tpl_copy_depth--;
    return 1;
}

/* Raises the warning for the copy that just failed. */
static void brisko_tpl_copy_warning(void)
{
    switch (brisko_tpl_copy_error) {
    case COPY_TOO_DEEP:
        zend_error(E_WARNING, "Template nesting too deep to copy (more than %d levels)", BRISKO_TPL_MAX_DEPTH);
        break;
    case COPY_CYCLE:
        zend_error(E_WARNING, "Template contains itself (attached into its own block) and cannot be copied");
        break;
    default:
        brisko_template_memory_warning();
        break;
    }
    brisko_tpl_copy_error = COPY_OK;
}

/* Copies src (its nine fields and everything below) into target; the copy
 * is returned only when complete. Fetch uses it for new instances. */
brisko_tpl *brisko_tpl_copy_record(brisko_tpl *src, bkpool *target)
{
    if (src->visiting) {
        brisko_tpl_copy_error = COPY_CYCLE;
        brisko_tpl_copy_warning();
        return NULL;
    }
    brisko_tpl *t = (brisko_tpl *)brisko_memdup3(src, sizeof(brisko_tpl), target);
    if (t == NULL) {
        brisko_template_memory_warning();
        return NULL;
    }
    t->magic = BRISKO_TPL_MAGIC;
    t->pool = target;
    t->visiting = 0;
    src->visiting = 1;
    int ok = brisko_tpl_dup_tpl(t);
    src->visiting = 0;
    if (!ok) {
        brisko_tpl_copy_warning();
        return NULL;
    }
    return t;
}

brisko_tpl *_brisko_template_dup(brisko_tpl *tpl)
{
    if (tpl == NULL) return NULL;
    return brisko_tpl_copy_record(tpl, BK_TARGET_REQUEST_HEAP);
}

brisko_tpl *brisko_template_from_id(long id)
{
    uintptr_t a = (uintptr_t)id;
    uintptr_t lo = (uintptr_t)brisko_heap_strage_ini;
    uintptr_t hi = (uintptr_t)brisko_heap_strage;
    if (lo == 0 || a < lo || a >= hi) return NULL;
    /* Records start at multiples of 8 and lie wholly below the top; only
     * then may the address be read as one. */
    if ((a - lo) % 8 != 0 || hi - a < sizeof(brisko_tpl)) return NULL;
    brisko_tpl *t = (brisko_tpl *)a;
    if (t->magic != BRISKO_TPL_MAGIC) return NULL;
    /* Every record a script can name lives in the request heap and says
     * so; this also refuses other heap words that happen to hold 23456. */
    if (t->pool != BK_TARGET_REQUEST_HEAP || t->segnum < 1 || t->subnum < 0) return NULL;
    return t;
}

void brisko_template_id_warning(void)
{
    zend_error(E_WARNING, "argument to id should be template_id");
}

void brisko_template_illegal_tagname(const char *name)
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

void brisko_template_memory_warning(void)
{
    zend_error(E_WARNING, "Template memory exhausted: the request heap cannot hold more template records");
}

int brisko_tpl_name_eq(const char *stored, const char *name, size_t len)
{
    return stored != NULL && strncmp(stored, name, len) == 0 && stored[len] == '\0';
}

}
