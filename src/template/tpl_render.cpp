/* Rendering into the output buffer.
 *
 * The buffer is one C-library block per process that only grows: after
 * every append the byte at brisko_write_buf_len is NUL and the capacity is
 * at least the length plus 4. A rendering walks a record's segments once:
 * literal text as it is, a tag by its assigned value, else by the
 * instances of the block of that name, else as written.
 *
 * A rendering never runs away: a record met again on its own path (a
 * template attached inside itself) is left out with a warning, as are
 * records nested deeper than BRISKO_TPL_MAX_DEPTH; a rendering stops with
 * a warning when the buffer cannot grow or after BRISKO_TPL_MAX_RENDER_RECORDS
 * records. Each warning is raised once per rendering. */
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include "brisko_template.h"

extern "C" {
char *brisko_write_buf = NULL;
int brisko_write_buf_len = 0;
int brisko_write_buf_alloc = 0;
}

static int tpl_render_depth = 0;
static int tpl_render_stopped = 0;
static long tpl_render_records = 0;
static int tpl_render_warned_cycle = 0;
static int tpl_render_warned_depth = 0;

static void tpl_render_stop(const char *why, long value)
{
    if (!tpl_render_stopped) zend_error(E_WARNING, why, value);
    tpl_render_stopped = 1;
}

extern "C" void brisko_write_b(const char *src, int n)
{
    if (tpl_render_stopped) return;
    if (n < 0) n = 0;
    if ((long)brisko_write_buf_alloc < (long)brisko_write_buf_len + n + 4) {
        long cap = (long)brisko_write_buf_alloc + n + BRISKO_WRITE_BUF_STEP;
        if (cap > INT_MAX) {
            tpl_render_stop("Template output truncated: it would exceed %ld bytes", (long)INT_MAX);
            return;
        }
        char *p = (char *)realloc(brisko_write_buf, (size_t)cap);
        if (p == NULL) {
            tpl_render_stop("Template output truncated: out of memory (tried to allocate %ld bytes)", cap);
            return;
        }
        brisko_write_buf = p;
        brisko_write_buf_alloc = (int)cap;
    }
    if (n) memcpy(brisko_write_buf + brisko_write_buf_len, src, (size_t)n);
    brisko_write_buf_len += n;
    brisko_write_buf[brisko_write_buf_len] = '\0';
}

static void tpl_render(brisko_tpl *t);

/* The instances of one block, in list order; the first node holds the
 * prototype and is never rendered. */
static void tpl_render_block(brisko_sub *sub)
{
    for (brisko_bn *bn = sub->bnlist->next; bn != NULL && !tpl_render_stopped; bn = bn->next) {
        brisko_tpl *child = bn->tpl;
        if (child->visiting) {
            if (!tpl_render_warned_cycle)
                zend_error(E_WARNING, "Template contains itself through block '%s'; the repeated part is left out",
                           sub->name);
            tpl_render_warned_cycle = 1;
            continue;
        }
        if (tpl_render_depth >= BRISKO_TPL_MAX_DEPTH) {
            if (!tpl_render_warned_depth)
                zend_error(E_WARNING, "Template nesting too deep to render (more than %d levels); block '%s' is left out",
                           BRISKO_TPL_MAX_DEPTH, sub->name);
            tpl_render_warned_depth = 1;
            continue;
        }
        tpl_render(child);
    }
}

static void tpl_render(brisko_tpl *t)
{
    if (tpl_render_stopped) return;
    if (++tpl_render_records > BRISKO_TPL_MAX_RENDER_RECORDS) {
        tpl_render_stop("Template rendering stopped after %ld records", BRISKO_TPL_MAX_RENDER_RECORDS);
        return;
    }
    t->visiting = 1;
    tpl_render_depth++;
    for (int k = 0; k < t->segnum && !tpl_render_stopped; k++) {
        const brisko_seg *g = &t->segs[k];
        const char *p = t->content + g->tag_pos;
        int n = g->tag_len, l = g->text_len;
        if (k == 0) {
            brisko_write_b(p, l);
            continue;
        }
        if (n == 0) {
            brisko_write_b(p, n + 2 + l);
            continue;
        }
        /* The name is compared where it stands in the content, so a name of
         * any length is looked up whole. */
        const char *name = p + 1;
        brisko_tagvalue *tv;
        for (tv = t->tagvalues; tv != NULL; tv = tv->next)
            if (brisko_tpl_name_eq(tv->name, name, (size_t)n)) break;
        if (tv != NULL) {
            brisko_write_b(tv->value, (int)strlen(tv->value));
            brisko_write_b(p + n + 2, l);
            continue;
        }
        int i;
        if (t->segsub != NULL) {
            i = t->segsub[k] >= 0 && t->segsub[k] < t->subnum ? t->segsub[k] : t->subnum;
        } else {
            for (i = 0; i < t->subnum; i++)
                if (brisko_tpl_name_eq(t->subs[i].name, name, (size_t)n)) break;
        }
        if (i < t->subnum) {
            tpl_render_block(&t->subs[i]);
            brisko_write_b(p + n + 2, l);
            continue;
        }
        brisko_write_b(p, n + 2 + l);
    }
    tpl_render_depth--;
    t->visiting = 0;
}

extern "C" void brisko_template_get(brisko_tpl *tpl)
{
    if (tpl_render_depth == 0) {
        tpl_render_stopped = 0;
        tpl_render_records = 0;
        tpl_render_warned_cycle = 0;
        tpl_render_warned_depth = 0;
    }
    tpl_render(tpl);
    if (tpl_render_depth == 0) tpl_render_stopped = 0;
}

extern "C" void brisko_template_render(brisko_tpl *tpl)
{
    brisko_write_buf_len = 0;
    brisko_template_get(tpl);
    if (brisko_write_buf != NULL) brisko_write_buf[brisko_write_buf_len] = '\0';
}
