/* Rendering into the output buffer.
 *
 * The buffer is one C-library block per process, made at module start-up
 * and grown by renderings as they need (never shrunk during one). After
 * every append the byte at brisko_write_buf_len is NUL and the capacity is
 * at least the length plus 4. A rendering walks a record's segments once:
 * literal text as it is, a tag by its assigned value, else by the
 * instances of the block of that name, else as written. A segment knows
 * its tag's slot (brisko_tags), and the record its slots' values, so no
 * name is compared and no length counted while rendering.
 *
 * A rendering never runs away: a record met again on its own path (a
 * template attached inside itself) is left out with a warning, as are
 * records nested deeper than BRISKO_TPL_MAX_DEPTH; a rendering stops with
 * a warning when the buffer cannot grow or after BRISKO_TPL_MAX_RENDER_RECORDS
 * records. Each warning is raised once per rendering. Records without
 * slots (built by hand) are rendered by comparing names instead.
 *
 * A buffer that one rendering made larger than BRISKO_WRITE_BUF_KEEP goes
 * back to its start-up size at the next request start, so the largest
 * page a process ever rendered does not stay resident in it. */
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

/* The append of the rendering loop: the common case inline, growth in
 * brisko_write_b. */
static inline void tpl_put(const char *src, size_t n)
{
    if (__builtin_expect((size_t)(brisko_write_buf_alloc - brisko_write_buf_len) >= n + 4 && !tpl_render_stopped, 1)) {
        memcpy(brisko_write_buf + brisko_write_buf_len, src, n);
        brisko_write_buf_len += (int)n;
        brisko_write_buf[brisko_write_buf_len] = '\0';
        return;
    }
    brisko_write_b(src, n > (size_t)INT_MAX ? INT_MAX : (int)n);
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

/* Records without slots (built by hand) look names up by comparing them. */
static void tpl_render_by_name(brisko_tpl *t)
{
    for (int k = 1; k < t->segnum && !tpl_render_stopped; k++) {
        const brisko_seg *g = &t->segs[k];
        const char *p = t->content + g->tag_pos;
        size_t n = (size_t)g->tag_len, l = (size_t)g->text_len;
        if (n == 0) {
            tpl_put(p, n + 2 + l);
            continue;
        }
        const char *name = p + 1;
        brisko_tagvalue *tv = _brisko_template_find_value(t, name, n);
        if (tv != NULL) {
            tpl_put(tv->value, strlen(tv->value));
            tpl_put(p + n + 2, l);
            continue;
        }
        brisko_sub *sub = _brisko_template_find_sub(t, name, n);
        if (sub != NULL) {
            tpl_render_block(sub);
            tpl_put(p + n + 2, l);
            continue;
        }
        tpl_put(p, n + 2 + l);
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
    const char *content = t->content;
    const brisko_seg *segs = t->segs;
    if (t->segnum > 0) tpl_put(content, (size_t)segs[0].text_len);
    const brisko_tags *tags = t->tags;
    if (tags == NULL) {
        tpl_render_by_name(t);
    } else {
        const int *segslot = tags->segslot;
        brisko_tagvalue **slots = t->slots;
        for (int k = 1; k < t->segnum && !tpl_render_stopped; k++) {
            const char *p = content + segs[k].tag_pos;
            size_t n = (size_t)segs[k].tag_len, l = (size_t)segs[k].text_len;
            int s = segslot[k];
            if (s >= 0) {
                brisko_tagvalue *tv = slots != NULL ? slots[s] : NULL;
                if (tv != NULL) {
                    tpl_put(tv->value, tv->value_len);
                    tpl_put(p + n + 2, l);
                    continue;
                }
                int b = tags->names[s].sub;
                if (b >= 0 && b < t->subnum) {
                    tpl_render_block(&t->subs[b]);
                    tpl_put(p + n + 2, l);
                    continue;
                }
            }
            tpl_put(p, n + 2 + l);
        }
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

extern "C" int _brisko_template_startup(void)
{
    /* An engine started again in the same process keeps the buffer. */
    if (brisko_write_buf == NULL) {
        brisko_write_buf = (char *)malloc(BRISKO_WRITE_BUF_SIZE);
        if (brisko_write_buf == NULL) {
            zend_error(E_CORE_WARNING, "PHP Brisko: cannot allocate the %d-byte output buffer", BRISKO_WRITE_BUF_SIZE);
            return FAILURE;
        }
        brisko_write_buf_alloc = BRISKO_WRITE_BUF_SIZE;
    }
    brisko_write_buf_len = 0;
    return SUCCESS;
}

extern "C" void _brisko_template_output_trim(void)
{
    if (brisko_write_buf == NULL || brisko_write_buf_alloc <= BRISKO_WRITE_BUF_KEEP) return;
    /* A new block rather than realloc: nothing in the buffer is needed, and
     * a large block given back whole returns its pages to the system. */
    char *p = (char *)malloc(BRISKO_WRITE_BUF_SIZE);
    if (p == NULL) return;
    free(brisko_write_buf);
    brisko_write_buf = p;
    brisko_write_buf_alloc = BRISKO_WRITE_BUF_SIZE;
    brisko_write_buf_len = 0;
    brisko_write_buf[0] = '\0';
}

extern "C" void _brisko_template_render(brisko_tpl *tpl)
{
    brisko_write_buf_len = 0;
    brisko_template_get(tpl);
    if (brisko_write_buf != NULL) brisko_write_buf[brisko_write_buf_len] = '\0';
}
