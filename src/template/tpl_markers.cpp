/* Marker shapes, escaped names and pattern building for the parser.
 *
 * An escaped name puts a backslash before every character that has a
 * meaning in an extended regular expression, so a block name is always
 * matched literally: "a.b" matches only a.b, "a(b" does not shift the body
 * group, and "x+" or "a|b" are names, not operators. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tpl_markers.h"

int tpl_buf_add(tpl_buf *b, const char *src, size_t n)
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

void tpl_buf_free(tpl_buf *b)
{
    free(b->p);
    b->p = NULL;
    b->len = b->cap = 0;
}

static int tpl_is_special(char c)
{
    return strchr(".*?[](){}+|^$\\", c) != NULL && c != '\0';
}

size_t tpl_find_comment(const char *text, size_t from, size_t n)
{
    while (from + 4 <= n) {
        const char *lt = (const char *)memchr(text + from, '<', n - from - 3);
        if (lt == NULL) break;
        if (lt[1] == '!' && lt[2] == '-' && lt[3] == '-') return (size_t)(lt - text);
        from = (size_t)(lt - text) + 1;
    }
    return n;
}

/* escaped must hold 2 * strlen(name) + 1 bytes */
static void tpl_escape(char *escaped, const char *name)
{
    char *e = escaped;
    for (const char *p = name; *p; p++) {
        if (tpl_is_special(*p)) *e++ = '\\';
        *e++ = *p;
    }
    *e = '\0';
}

extern "C" {

void _brisko_template_parse_q(char *pattern, char *escaped, const char *name)
{
    tpl_escape(escaped, name);
    sprintf(pattern, BRISKO_TPL_PAIR_PATTERN, escaped, escaped);
}

size_t brisko_tpl_pattern_size(const char *name)
{
    size_t fixed = sizeof(BRISKO_TPL_PAIR_PATTERN) > sizeof(BRISKO_TPL_REPLACE_PATTERN)
                       ? sizeof(BRISKO_TPL_PAIR_PATTERN)
                       : sizeof(BRISKO_TPL_REPLACE_PATTERN);
    return fixed + 4 * strlen(name) + 1;
}

}

int tpl_compile_generic(regex_t *re, const char *fmt)
{
    size_t size = strlen(fmt) + 2 * sizeof(BRISKO_TPL_NAME_GROUP);
    char *pattern = (char *)malloc(size);
    if (pattern == NULL) return 0;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    snprintf(pattern, size, fmt, BRISKO_TPL_NAME_GROUP, BRISKO_TPL_NAME_GROUP);
#pragma GCC diagnostic pop
    int ok = php_regcomp(re, pattern, REG_EXTENDED) == 0;
    free(pattern);
    return ok;
}

int tpl_match_region(const regex_t *re, tpl_buf *scratch, const char *a, size_t alen, const char *b, size_t blen,
                     regmatch_t *m)
{
    scratch->len = 0;
    if (!tpl_buf_add(scratch, a, alen) || !tpl_buf_add(scratch, b, blen)) return 0;
    if (php_regexec(re, scratch->p, BRISKO_TPL_NMATCH, m, 0) != 0) return 0;
    return m[0].rm_so == 0;
}

int tpl_match_whole(const regex_t *re, tpl_buf *scratch, const char *a, size_t alen, const char *b, size_t blen,
                    regmatch_t *m)
{
    return tpl_match_region(re, scratch, a, alen, b, blen, m) && (size_t)m[0].rm_eo == scratch->len;
}

size_t tpl_begin_limit(const char *text, size_t n, size_t c)
{
    size_t i = c + 4, j;
    for (j = i; j < n && tpl_is_blank(text[j]); j++) {}
    if (j == i || n - j < 5 || memcmp(text + j, "BEGIN", 5) != 0) return 0;
    i = j + 5;
    for (j = i; j < n && tpl_is_blank(text[j]); j++) {}
    if (j == i) return 0;
    /* the name run, the blanks after it and "-->" bound any match at c */
    for (; j < n && !tpl_is_blank(text[j]); j++) {}
    for (; j < n && tpl_is_blank(text[j]); j++) {}
    return j + 3 < n ? j + 3 : n;
}

/* The index is an open-addressing hash table keyed by name, keeping for
 * each name the marker that ends last; tpl_end_index.n is its capacity (a
 * power of two), an empty slot has a NULL name. */
size_t tpl_name_hash(const char *name, size_t len)
{
    size_t h = 1469598103934665603ULL;
    for (size_t i = 0; i < len; i++) h = (h ^ (unsigned char)name[i]) * 1099511628211ULL;
    /* the multiplications only carry upwards: fold the high bits down */
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return h;
}

static tpl_end_marker *tpl_end_slot(const tpl_end_index *ix, const char *name, size_t len)
{
    size_t mask = ix->n - 1;
    for (size_t i = tpl_name_hash(name, len) & mask;; i = (i + 1) & mask) {
        tpl_end_marker *m = &ix->v[i];
        if (m->name == NULL || (m->len == len && memcmp(m->name, name, len) == 0)) return m;
    }
}

static void tpl_end_put(tpl_end_index *ix, const char *name, size_t len, size_t start, size_t end)
{
    tpl_end_marker *m = tpl_end_slot(ix, name, len);
    if (m->name == NULL || end > m->end) {
        m->name = name;
        m->len = len;
        m->start = start;
        m->end = end;
    }
}

int tpl_end_index_build(tpl_end_index *ix, const char *text, size_t n)
{
    tpl_end_marker *found = NULL;
    size_t nfound = 0, capfound = 0;
    ix->v = NULL;
    ix->n = 0;
    for (size_t c = tpl_find_comment(text, 0, n); c < n; c = tpl_find_comment(text, c + 1, n)) {
        size_t i = c + 4, j;
        for (j = i; j < n && tpl_is_blank(text[j]); j++) {}
        if (j == i || n - j < 3 || memcmp(text + j, "END", 3) != 0) continue;
        i = j + 3;
        for (j = i; j < n && tpl_is_blank(text[j]); j++) {}
        size_t b1 = j - i;
        if (b1 == 0) continue;
        size_t r = j;
        for (; j < n && !tpl_is_blank(text[j]); j++) {}
        size_t rl = j - r;
        size_t b2s = j;
        for (; j < n && tpl_is_blank(text[j]); j++) {}
        int named = rl > 0 && j > b2s && n - j >= 3 && memcmp(text + j, "-->", 3) == 0;
        int unnamed = b1 >= 2 && rl >= 3 && memcmp(text + r, "-->", 3) == 0;
        if (nfound + 2 > capfound) {
            size_t cap = capfound ? capfound * 2 : 64;
            tpl_end_marker *v = (tpl_end_marker *)realloc(found, cap * sizeof(tpl_end_marker));
            if (v == NULL) {
                free(found);
                return 0;
            }
            found = v;
            capfound = cap;
        }
        if (named) found[nfound++] = tpl_end_marker{text + r, rl, c, j + 3};
        if (unnamed) found[nfound++] = tpl_end_marker{text + r, 0, c, r + 3};
    }
    if (nfound > 0) {
        size_t cap = 16;
        while (cap < 2 * nfound) cap *= 2;
        ix->v = (tpl_end_marker *)calloc(cap, sizeof(tpl_end_marker));
        if (ix->v == NULL) {
            free(found);
            return 0;
        }
        ix->n = cap;
        for (size_t k = 0; k < nfound; k++) tpl_end_put(ix, found[k].name, found[k].len, found[k].start, found[k].end);
    }
    free(found);
    return 1;
}

const tpl_end_marker *tpl_end_index_last(const tpl_end_index *ix, const char *name, size_t len)
{
    if (ix->n == 0) return NULL;
    const tpl_end_marker *m = tpl_end_slot(ix, name, len);
    return m->name != NULL ? m : NULL;
}

void tpl_end_index_free(tpl_end_index *ix)
{
    free(ix->v);
    ix->v = NULL;
    ix->n = 0;
}
