/* The template parser: text -> tree of records in one pool.
 *
 * One level of a template (a file, or a block's body) is handled in four
 * steps:
 *   1. find its blocks: each BEGIN marker, left to right, with the END
 *      marker of the same name that ends last after it (the pair pattern
 *      takes the longest match); a BEGIN marker without one is text and the
 *      search goes on right after it, a block is skipped over whole;
 *   2. parse each block's body into a child record (recursively);
 *   3. fill the block table, giving every block without "*" in its name its
 *      first instance (a copy of the finished prototype);
 *   4. build the content (each block, with the blanks around its markers,
 *      replaced by "{name}") and its segment table.
 *
 * The searches are the four patterns of the format, each run on a region a
 * direct scan has bounded (see tpl_markers.h): a BEGIN marker from its
 * "<!--" to the end of the longest marker that could start there; the pair
 * and replacement patterns on the two markers with the blanks they absorb
 * (the "(.*)" between them is everything up to the END marker that ends
 * last, which the END index gives directly); a tag from its "{" to the first
 * "}". The text is thus scanned a constant number of times per level
 * instead of once per block.
 */
#include <stdlib.h>
#include <string.h>

#include "tpl_markers.h"

namespace {

struct tpl_block {
    size_t begin;     /* "<!--" of the BEGIN marker */
    size_t begin_end; /* after its "-->" */
    size_t body;      /* first byte of the body (blanks after the marker skipped) */
    size_t end;       /* "<!--" of the END marker; the body ends here */
    size_t end_end;   /* after the END marker's "-->" */
    char *name;
    brisko_tpl *child;
    int taken;
};

struct tpl_level {
    const char *text;
    size_t n;
    tpl_block *blocks;
    size_t nblocks;
    size_t cap;
    tpl_buf scratch;
};

struct tpl_tag {
    size_t pos;
    size_t len;
};

} // namespace

static brisko_tpl *tpl_parse_level(const char *text, size_t n, brisko_tpl *parent, int depth, long *records);

static int tpl_level_add(tpl_level *lv, const tpl_block *b)
{
    if (lv->nblocks == lv->cap) {
        size_t c = lv->cap ? lv->cap * 2 : 16;
        tpl_block *v = (tpl_block *)realloc(lv->blocks, c * sizeof(tpl_block));
        if (v == NULL) return 0;
        lv->blocks = v;
        lv->cap = c;
    }
    lv->blocks[lv->nblocks++] = *b;
    return 1;
}

/* Confirms the block at (c .. E) with the pair and replacement patterns of
 * its name, run over its two markers. */
static int tpl_confirm_block(tpl_level *lv, const char *name, const tpl_block *b)
{
    const char *t = lv->text;
    regmatch_t m[BRISKO_TPL_NMATCH];
    regex_t re;
    int ok;

    if (!tpl_compile_named(&re, BRISKO_TPL_PAIR_PATTERN, name)) return 0;
    ok = tpl_match_whole(&re, &lv->scratch, t + b->begin, b->body - b->begin, t + b->end, b->end_end - b->end, m) &&
         (size_t)m[1].rm_so == b->body - b->begin && m[1].rm_eo == m[1].rm_so;
    php_regfree(&re);
    if (!ok) return 0;

    if (!tpl_compile_named(&re, BRISKO_TPL_REPLACE_PATTERN, name)) return 0;
    ok = tpl_match_whole(&re, &lv->scratch, t + b->begin, b->begin_end - b->begin, t + b->end,
                         b->end_end - b->end, m);
    php_regfree(&re);
    return ok;
}

/* Step 1: the blocks of this level, in the order of their BEGIN markers. */
static int tpl_find_blocks(tpl_level *lv)
{
    const char *t = lv->text;
    size_t n = lv->n, pos = 0;
    tpl_end_index ends;
    regex_t begin_re;
    regmatch_t m[BRISKO_TPL_NMATCH];
    int ok = 1;

    if (tpl_find_comment(t, 0, n) == n) return 1;
    if (php_regcomp(&begin_re, BRISKO_TPL_BEGIN_PATTERN, REG_EXTENDED) != 0) return 1;
    if (!tpl_end_index_build(&ends, t, n)) {
        php_regfree(&begin_re);
        return 0;
    }
    while (pos < n) {
        size_t c = tpl_find_comment(t, pos, n);
        if (c == n) break;
        size_t limit = tpl_begin_limit(t, n, c);
        if (limit == 0 || !tpl_match_region(&begin_re, &lv->scratch, t + c, limit - c, "", 0, m)) {
            pos = c + 1;
            continue;
        }
        size_t e = c + (size_t)m[0].rm_eo;
        size_t name_len = (size_t)(m[1].rm_eo - m[1].rm_so);
        const char *name_at = t + c + m[1].rm_so;
        const tpl_end_marker *em = tpl_end_index_last(&ends, name_at, name_len);
        if (em == NULL || em->start < e || name_len > BRISKO_TPL_MAX_NAME) {
            pos = e; /* no END after it: the marker is text */
            continue;
        }
        tpl_block b;
        memset(&b, 0, sizeof b);
        b.begin = c;
        b.begin_end = e;
        b.end = em->start;
        b.end_end = em->end;
        for (b.body = e; b.body < b.end && tpl_is_blank(t[b.body]); b.body++) {}
        b.name = (char *)malloc(name_len + 1);
        if (b.name == NULL) {
            ok = 0;
            break;
        }
        memcpy(b.name, name_at, name_len);
        b.name[name_len] = '\0';
        if (!tpl_confirm_block(lv, b.name, &b)) {
            free(b.name);
            pos = e;
            continue;
        }
        if (!tpl_level_add(lv, &b)) {
            free(b.name);
            ok = 0;
            break;
        }
        pos = b.end_end;
    }
    tpl_end_index_free(&ends);
    php_regfree(&begin_re);
    return ok;
}

/* Step 2: parse the bodies; a single block is taken only while its first
 * instance (a copy of its whole tree) fits the record budget. */
static void tpl_parse_children(tpl_level *lv, brisko_tpl *rec, int depth, long *records)
{
    for (size_t i = 0; i < lv->nblocks; i++) {
        tpl_block *b = &lv->blocks[i];
        size_t len = b->end - b->body;
        char *body = (char *)calloc(len + 4, 1);
        if (body == NULL) continue;
        memcpy(body, lv->text + b->body, len);
        long before = *records;
        b->child = tpl_parse_level(body, len, rec, depth + 1, records);
        free(body);
        if (b->child == NULL) continue;
        long cost = *records - before;
        if (strchr(b->name, '*') == NULL) {
            if (*records + cost > BRISKO_TPL_MAX_PARSE_RECORDS) continue;
            *records += cost;
        }
        b->taken = 1;
    }
}

/* Step 3. */
static void tpl_fill_table(tpl_level *lv, brisko_tpl *rec)
{
    int taken = 0;
    for (size_t i = 0; i < lv->nblocks; i++) taken += lv->blocks[i].taken;
    _brisko_template_set_subnum(rec, taken);
    int j = 0;
    for (size_t i = 0; i < lv->nblocks; i++) {
        tpl_block *b = &lv->blocks[i];
        if (!b->taken) continue;
        _brisko_template_set_sub(rec, j, b->name, b->child);
        if (strchr(b->name, '*') == NULL) brisko_template_fetch(rec, b->name, 0);
        j++;
    }
}

/* Step 4, first half: the text with each taken block, and the blanks right
 * before its BEGIN marker and right after its END marker, replaced by
 * "{name}". */
static int tpl_build_content(tpl_level *lv, tpl_buf *w)
{
    const char *t = lv->text;
    size_t cursor = 0;
    for (size_t i = 0; i < lv->nblocks; i++) {
        tpl_block *b = &lv->blocks[i];
        if (!b->taken) continue;
        size_t rs = b->begin, re = b->end_end;
        while (rs > cursor && tpl_is_blank(t[rs - 1])) rs--;
        while (re < lv->n && tpl_is_blank(t[re])) re++;
        if (!tpl_buf_add(w, t + cursor, rs - cursor) || !tpl_buf_add(w, "{", 1) ||
            !tpl_buf_add(w, b->name, strlen(b->name)) || !tpl_buf_add(w, "}", 1))
            return 0;
        cursor = re;
    }
    return tpl_buf_add(w, t + cursor, lv->n - cursor);
}

/* Step 4, second half: tags left to right, each from a "{" to the first "}"
 * after it, then the segment table. */
static void tpl_build_segments(brisko_tpl *rec, tpl_buf *w)
{
    regex_t tag_re;
    regmatch_t m[BRISKO_TPL_NMATCH];
    tpl_tag *tags = NULL;
    size_t ntags = 0, cap = 0, pos = 0;
    char *s = w->p;
    size_t n = w->len;
    int have_re = php_regcomp(&tag_re, BRISKO_TPL_TAG_PATTERN, REG_EXTENDED) == 0;

    while (have_re && pos < n) {
        char *open = (char *)memchr(s + pos, '{', n - pos);
        if (open == NULL) break;
        char *close = (char *)memchr(open + 1, '}', n - (size_t)(open + 1 - s));
        if (close == NULL) break; /* no "}" left: no further tag */
        char saved = close[1];
        close[1] = '\0';
        int hit = php_regexec(&tag_re, open, BRISKO_TPL_NMATCH, m, 0) == 0 && m[0].rm_so == 0 &&
                  m[0].rm_eo == close + 1 - open;
        close[1] = saved;
        if (!hit) {
            pos = (size_t)(open - s) + 1;
            continue;
        }
        if (ntags == cap) {
            size_t c = cap ? cap * 2 : 64;
            tpl_tag *v = (tpl_tag *)realloc(tags, c * sizeof(tpl_tag));
            if (v == NULL) break;
            tags = v;
            cap = c;
        }
        tags[ntags].pos = (size_t)(open - s);
        tags[ntags].len = (size_t)(close - open) - 1;
        ntags++;
        pos = (size_t)(close - s) + 1;
    }
    if (have_re) php_regfree(&tag_re);

    rec->content = brisko_strdup(s, rec->pool);
    rec->segnum = (int)ntags + 1;
    size_t bytes = (size_t)rec->segnum * sizeof(brisko_seg);
    rec->segs = (brisko_seg *)brisko_malloc(bytes, rec->pool);
    memset(rec->segs, 0, bytes);
    rec->segs[0].text_len = (int)(ntags ? tags[0].pos : n);
    for (size_t k = 0; k < ntags; k++) {
        brisko_seg *g = &rec->segs[k + 1];
        size_t after = tags[k].pos + tags[k].len + 2;
        g->tag_pos = (int)tags[k].pos;
        g->tag_len = (int)tags[k].len;
        g->text_len = (int)((k + 1 < ntags ? tags[k + 1].pos : n) - after);
    }
    free(tags);
}

static brisko_tpl *tpl_parse_level(const char *text, size_t n, brisko_tpl *parent, int depth, long *records)
{
    brisko_tpl *rec = _brisko_template_alloc_tpl(parent);
    if (rec == NULL) return NULL;
    (*records)++;

    tpl_level lv;
    memset(&lv, 0, sizeof lv);
    lv.text = text;
    lv.n = n;
    if (depth < BRISKO_TPL_MAX_PARSE_DEPTH && tpl_find_blocks(&lv)) {
        tpl_parse_children(&lv, rec, depth, records);
    } else {
        for (size_t i = 0; i < lv.nblocks; i++) lv.blocks[i].taken = 0;
    }
    tpl_fill_table(&lv, rec);

    tpl_buf w = {NULL, 0, 0};
    if (!tpl_build_content(&lv, &w)) {
        /* out of C-library memory: keep the text as it is, without blocks */
        w.len = 0;
        for (size_t i = 0; i < lv.nblocks; i++) lv.blocks[i].taken = 0;
        rec->subnum = 0;
        if (!tpl_buf_add(&w, "", 0)) {
            tpl_buf_free(&w);
            tpl_buf_free(&lv.scratch);
            return NULL;
        }
    }
    tpl_build_segments(rec, &w);
    tpl_buf_free(&w);
    for (size_t i = 0; i < lv.nblocks; i++) free(lv.blocks[i].name);
    free(lv.blocks);
    tpl_buf_free(&lv.scratch);
    return rec;
}

extern "C" brisko_tpl *_brisko_template_parse(const char *text, brisko_tpl *parent)
{
    long records = 0;
    return tpl_parse_level(text, strlen(text), parent, 0, &records);
}
