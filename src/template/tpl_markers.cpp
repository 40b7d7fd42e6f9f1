/* Marker index, the parser's growable buffer and the hash of names.
 *
 * _brisko_template_markers_build reads the text once: it stops at every "<!--" and
 * reads the marker shape that follows. Runs of blanks and name runs of one
 * marker are never read again for another: a marker can only start inside
 * a name run at its last four bytes, and its own runs begin after the
 * ones it starts in. END markers are then grouped by name through a hash
 * of the names, so each name's bytes are hashed once. Names are compared
 * byte for byte: a block name is always taken literally ("a.b" is only
 * a.b; "x+" or "a|b" are names, not operators). */
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include "tpl_markers.h"

int _brisko_template_buf_add(tpl_buf *b, const char *src, size_t n)
{
    if (b->len + n + 1 > b->cap) {
        size_t cap = b->cap ? b->cap : 256;
        while (cap < b->len + n + 1) cap *= 2;
        char *p = (char *)realloc(b->p, cap);
        if (p == NULL) return 0;
        b->p = p;
        b->cap = cap;
    }
    if (n) memcpy(b->p + b->len, src, n);
    b->len += n;
    b->p[b->len] = '\0';
    return 1;
}

void _brisko_template_buf_free(tpl_buf *b)
{
    free(b->p);
    b->p = NULL;
    b->len = b->cap = 0;
}

size_t _brisko_template_find_comment(const char *text, size_t from, size_t n)
{
    while (from + 4 <= n) {
        const char *lt = (const char *)memchr(text + from, '<', n - from - 3);
        if (lt == NULL) break;
        if (lt[1] == '!' && lt[2] == '-' && lt[3] == '-') return (size_t)(lt - text);
        from = (size_t)(lt - text) + 1;
    }
    return n;
}

size_t _brisko_template_name_hash(const char *name, size_t len)
{
    size_t h = 1469598103934665603ULL;
    for (size_t i = 0; i < len; i++) h = (h ^ (unsigned char)name[i]) * 1099511628211ULL;
    /* the multiplications only carry upwards: fold the high bits down */
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return h;
}

/* ---- the marker scan ---- */

static size_t tpl_skip_blanks(const char *t, size_t i, size_t n)
{
    while (i < n && tpl_is_blank(t[i])) i++;
    return i;
}

static size_t tpl_skip_name(const char *t, size_t i, size_t n)
{
    while (i < n && !tpl_is_blank(t[i])) i++;
    return i;
}

static int tpl_at(const char *t, size_t i, size_t n, const char *word, size_t len)
{
    return n - i >= len && memcmp(t + i, word, len) == 0;
}

/* An END marker as found, before grouping. */
typedef struct tpl_raw_end {
    size_t name, len, start, end;
} tpl_raw_end;

typedef struct tpl_scan {
    tpl_begin *begins;
    size_t nbegins, capbegins;
    tpl_raw_end *ends;
    size_t nends, capends;
} tpl_scan;

static int tpl_grow(void **v, size_t *cap, size_t need, size_t size)
{
    if (need <= *cap) return 1;
    size_t c = *cap ? *cap * 2 : 64;
    while (c < need) c *= 2;
    void *p = realloc(*v, c * size);
    if (p == NULL) return 0;
    *v = p;
    *cap = c;
    return 1;
}

/* The marker (if any) whose "<!--" is at c. */
static int tpl_scan_marker(tpl_scan *s, const char *t, size_t n, size_t c)
{
    size_t j = tpl_skip_blanks(t, c + 4, n);
    if (j == c + 4) return 1;
    int begin = tpl_at(t, j, n, "BEGIN", 5);
    if (!begin && !tpl_at(t, j, n, "END", 3)) return 1;
    size_t r = j + (begin ? 5 : 3);       /* the blank run R */
    size_t w = tpl_skip_blanks(t, r, n);  /* the name run W */
    if (w == r) return 1;
    size_t w_end = tpl_skip_name(t, w, n);
    size_t close = tpl_skip_blanks(t, w_end, n);
    int named = w_end > w && close > w_end && tpl_at(t, close, n, "-->", 3);
    int unnamed = w - r >= 2 && tpl_at(t, w, n, "-->", 3);
    if (begin) {
        if (!named && !unnamed) return 1;
        if (!tpl_grow((void **)&s->begins, &s->capbegins, s->nbegins + 1, sizeof(tpl_begin))) return 0;
        tpl_begin *b = &s->begins[s->nbegins++];
        b->start = c;
        b->ends = -1;
        if (named) { /* the longer match wins */
            b->name = w;
            b->name_len = w_end - w;
            b->end = close + 3;
        } else {
            b->name = w;
            b->name_len = 0;
            b->end = w + 3;
        }
        return 1;
    }
    if (!tpl_grow((void **)&s->ends, &s->capends, s->nends + 2, sizeof(tpl_raw_end))) return 0;
    if (named) s->ends[s->nends++] = tpl_raw_end{w, w_end - w, c, close + 3};
    if (unnamed) s->ends[s->nends++] = tpl_raw_end{w, 0, c, w + 3};
    return 1;
}

/* The table of END names: its slots hold group numbers; a group's name is
 * that of its first END marker. */
typedef struct tpl_groups {
    const char *text;
    const tpl_raw_end *ends;
    const size_t *first; /* first END of each group */
} tpl_groups;

static int tpl_group_named(const void *table, int g, const char *name, size_t len)
{
    const tpl_groups *gs = (const tpl_groups *)table;
    const tpl_raw_end *e = &gs->ends[gs->first[g]];
    return e->len == len && memcmp(gs->text + e->name, name, len) == 0;
}

int _brisko_template_markers_build(tpl_markers *m, const char *text, size_t n)
{
    memset(m, 0, sizeof *m);
    tpl_scan s;
    memset(&s, 0, sizeof s);
    int ok = 1;
    for (size_t c = _brisko_template_find_comment(text, 0, n); c < n && ok; c = _brisko_template_find_comment(text, c + 1, n))
        ok = tpl_scan_marker(&s, text, n, c);

    int *slots = NULL;
    long *group_of = NULL;
    size_t *first = NULL, *count = NULL, mask = 0, ngroups = 0;
    if (ok && s.nends > (size_t)INT_MAX) ok = 0; /* group numbers are ints */
    if (ok && s.nends > 0) {
        size_t cap = 16;
        while (cap < 2 * s.nends) cap *= 2;
        mask = cap - 1;
        slots = (int *)malloc(cap * sizeof(int));
        group_of = (long *)malloc(s.nends * sizeof(long));
        first = (size_t *)malloc(s.nends * sizeof(size_t)); /* first END of each group */
        m->ends = (tpl_end *)malloc(s.nends * sizeof(tpl_end));
        m->group = (size_t *)calloc(s.nends + 1, sizeof(size_t));
        ok = slots && group_of && first && m->ends && m->group;
    }
    if (ok && s.nends > 0) {
        tpl_groups groups = {text, s.ends, first};
        for (size_t i = 0; i <= mask; i++) slots[i] = -1;
        for (size_t i = 0; i < s.nends; i++) {
            size_t place = tpl_probe(slots, mask, text + s.ends[i].name, s.ends[i].len, tpl_group_named, &groups);
            long g = slots[place];
            if (g < 0) {
                g = (long)ngroups++;
                slots[place] = (int)g;
                first[g] = i;
            }
            group_of[i] = g;
            m->group[g + 1]++;
        }
        for (size_t g = 0; g < ngroups; g++) m->group[g + 1] += m->group[g];
        count = first; /* reused: the next free place of each group */
        for (size_t g = 0; g < ngroups; g++) count[g] = m->group[g];
        for (size_t i = 0; i < s.nends; i++) {
            /* a stable scatter: each group keeps text order */
            tpl_end *e = &m->ends[count[group_of[i]]++];
            e->start = s.ends[i].start;
            e->end = s.ends[i].end;
        }
        m->ngroups = ngroups;
        /* restore each group's first END for the name lookups below */
        for (size_t i = s.nends; i-- > 0;) first[group_of[i]] = i;
        for (size_t i = 0; i < s.nbegins; i++)
            s.begins[i].ends =
                slots[tpl_probe(slots, mask, text + s.begins[i].name, s.begins[i].name_len, tpl_group_named, &groups)];
    }
    free(slots);
    free(group_of);
    free(first);
    free(s.ends);
    if (!ok) {
        free(s.begins);
        _brisko_template_markers_free(m);
        return 0;
    }
    m->begins = s.begins;
    m->nbegins = s.nbegins;
    return 1;
}

void _brisko_template_markers_free(tpl_markers *m)
{
    free(m->begins);
    free(m->ends);
    free(m->group);
    memset(m, 0, sizeof *m);
}

const tpl_end *_brisko_template_markers_last_end(const tpl_markers *m, long k, size_t limit)
{
    if (k < 0 || (size_t)k >= m->ngroups) return NULL;
    size_t lo = m->group[k], hi = m->group[k + 1]; /* the answer is below hi */
    while (lo < hi) {
        size_t mid = lo + (hi - lo) / 2;
        if (m->ends[mid].end <= limit) lo = mid + 1;
        else hi = mid;
    }
    return lo > m->group[k] ? &m->ends[lo - 1] : NULL;
}

size_t _brisko_template_markers_next_begin(const tpl_markers *m, size_t i, size_t pos)
{
    /* gallop from i, then halve: the cost grows with the log of the
     * distance moved, not of the whole list */
    size_t n = m->nbegins, step = 1, lo = i;
    if (lo >= n || m->begins[lo].start >= pos) return lo;
    while (lo + step < n && m->begins[lo + step].start < pos) {
        lo += step;
        step *= 2;
    }
    size_t hi = lo + step < n ? lo + step : n; /* begins[lo] < pos, begins[hi] >= pos (or hi == n) */
    while (hi - lo > 1) {
        size_t mid = lo + (hi - lo) / 2;
        if (m->begins[mid].start < pos) lo = mid;
        else hi = mid;
    }
    return hi;
}
