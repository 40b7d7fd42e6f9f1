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
    struct tpl_parse_ctx *ctx;
};

/* Shared by all levels of one parse: the four patterns, compiled once, and
 * the budgets that keep any input's parse linear. */
struct tpl_parse_ctx {
    regex_t begin_re, pair_re, replace_re, tag_re;
    int compiled;
    long records; /* records made so far */
    size_t bytes; /* text the levels may still scan for blocks */
};

struct tpl_tag {
    size_t pos;
    size_t len;
};

} // namespace

static brisko_tpl *tpl_parse_level(const char *text, size_t n, brisko_tpl *parent, int depth, tpl_parse_ctx *ctx);

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
static int tpl_group_is(const tpl_level *lv, const regmatch_t *g, const char *name, size_t len)
{
    return g->rm_so >= 0 && (size_t)(g->rm_eo - g->rm_so) == len && memcmp(lv->scratch.p + g->rm_so, name, len) == 0;
}

/* Confirms the block at (begin .. end_end) with the pair and replacement
 * patterns, run over its two markers: both must match them whole, with the
 * block's name in every name group. */
static int tpl_confirm_block(tpl_level *lv, const char *name, const tpl_block *b)
{
    const char *t = lv->text;
    size_t len = strlen(name);
    regmatch_t m[BRISKO_TPL_NMATCH];
    if (!tpl_match_whole(&lv->ctx->pair_re, &lv->scratch, t + b->begin, b->body - b->begin, t + b->end,
                         b->end_end - b->end, m) ||
        !tpl_group_is(lv, &m[1], name, len) || !tpl_group_is(lv, &m[3], name, len) ||
        (size_t)m[2].rm_so != b->body - b->begin || m[2].rm_eo != m[2].rm_so)
        return 0;
    return tpl_match_whole(&lv->ctx->replace_re, &lv->scratch, t + b->begin, b->begin_end - b->begin, t + b->end,
                           b->end_end - b->end, m) &&
           tpl_group_is(lv, &m[2], name, len) && tpl_group_is(lv, &m[4], name, len);
}

/* Step 1: the blocks of this level, in the order of their BEGIN markers. */
static int tpl_find_blocks(tpl_level *lv)
{
    const char *t = lv->text;
    size_t n = lv->n, pos = 0;
    tpl_end_index ends;
    const regex_t *begin_re = &lv->ctx->begin_re;
    regmatch_t m[BRISKO_TPL_NMATCH];
    int ok = 1;

    if (tpl_find_comment(t, 0, n) == n) return 1;
    if (!tpl_end_index_build(&ends, t, n)) return 0;
    while (pos < n) {
        size_t c = tpl_find_comment(t, pos, n);
        if (c == n) break;
        size_t limit = tpl_begin_limit(t, n, c);
        if (limit == 0 || !tpl_match_region(begin_re, &lv->scratch, t + c, limit - c, "", 0, m)) {
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
    return ok;
}

/* Step 2: parse the bodies; a single block is taken only while its first
 * instance (a copy of its whole tree) fits the record budget. */
static void tpl_parse_children(tpl_level *lv, brisko_tpl *rec, int depth)
{
    long *records = &lv->ctx->records;
    for (size_t i = 0; i < lv->nblocks; i++) {
        tpl_block *b = &lv->blocks[i];
        size_t len = b->end - b->body;
        char *body = (char *)calloc(len + 4, 1);
        if (body == NULL) continue;
        memcpy(body, lv->text + b->body, len);
        long before = *records;
        b->child = tpl_parse_level(body, len, rec, depth + 1, lv->ctx);
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
        /* names are unique at one level: entry j is the one of this name */
        if (strchr(b->name, '*') == NULL) brisko_template_fetch_sub(rec, &rec->subs[j], 0);
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

/* For each tag, the first block-table entry of that name (or -1): what
 * rendering would find walking the table, found once here through a hash
 * of the names. */
static void tpl_link_segments(brisko_tpl *rec)
{
    rec->segsub = (int *)brisko_malloc((size_t)rec->segnum * sizeof(int), rec->pool);
    size_t cap = 16;
    while (cap < 2 * (size_t)rec->subnum) cap *= 2;
    int *slots = (int *)malloc(cap * sizeof(int));
    if (slots == NULL) {
        rec->segsub = NULL;
        return;
    }
    for (size_t i = 0; i < cap; i++) slots[i] = -1;
    for (int i = 0; i < rec->subnum; i++) {
        const char *name = rec->subs[i].name;
        size_t h = tpl_name_hash(name, strlen(name)) & (cap - 1);
        while (slots[h] != -1 && strcmp(rec->subs[slots[h]].name, name) != 0) h = (h + 1) & (cap - 1);
        if (slots[h] == -1) slots[h] = i; /* the first entry of a name wins */
    }
    for (int k = 0; k < rec->segnum; k++) {
        const brisko_seg *g = &rec->segs[k];
        const char *name = rec->content + g->tag_pos + 1;
        int found = -1;
        if (k > 0 && g->tag_len > 0) {
            size_t h = tpl_name_hash(name, (size_t)g->tag_len) & (cap - 1);
            for (; slots[h] != -1; h = (h + 1) & (cap - 1)) {
                if (brisko_tpl_name_eq(rec->subs[slots[h]].name, name, (size_t)g->tag_len)) {
                    found = slots[h];
                    break;
                }
            }
        }
        rec->segsub[k] = found;
    }
    free(slots);
}

/* Step 4, second half: tags left to right, each from a "{" to the first "}"
 * after it, then the segment table. */
static void tpl_build_segments(brisko_tpl *rec, tpl_buf *w, const regex_t *tag_re)
{
    regmatch_t m[BRISKO_TPL_NMATCH];
    tpl_tag *tags = NULL;
    size_t ntags = 0, cap = 0, pos = 0;
    char *s = w->p;
    size_t n = w->len;
    while (pos < n) {
        char *open = (char *)memchr(s + pos, '{', n - pos);
        if (open == NULL) break;
        char *close = (char *)memchr(open + 1, '}', n - (size_t)(open + 1 - s));
        if (close == NULL) break; /* no "}" left: no further tag */
        char saved = close[1];
        close[1] = '\0';
        int hit = php_regexec(tag_re, open, BRISKO_TPL_NMATCH, m, 0) == 0 && m[0].rm_so == 0 &&
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
    tpl_link_segments(rec);
}

static brisko_tpl *tpl_parse_level(const char *text, size_t n, brisko_tpl *parent, int depth, tpl_parse_ctx *ctx)
{
    brisko_tpl *rec = _brisko_template_alloc_tpl(parent);
    if (rec == NULL) return NULL;
    ctx->records++;

    tpl_level lv;
    memset(&lv, 0, sizeof lv);
    lv.text = text;
    lv.n = n;
    lv.ctx = ctx;
    int scan = depth < BRISKO_TPL_MAX_PARSE_DEPTH && n <= ctx->bytes;
    if (scan) ctx->bytes -= n;
    if (scan && tpl_find_blocks(&lv)) {
        tpl_parse_children(&lv, rec, depth);
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
    tpl_build_segments(rec, &w, &ctx->tag_re);
    tpl_buf_free(&w);
    for (size_t i = 0; i < lv.nblocks; i++) free(lv.blocks[i].name);
    free(lv.blocks);
    tpl_buf_free(&lv.scratch);
    return rec;
}

extern "C" brisko_tpl *_brisko_template_parse(const char *text, brisko_tpl *parent)
{
    tpl_parse_ctx ctx;
    memset(&ctx, 0, sizeof ctx);
    size_t n = strlen(text);
    /* every level together scans at most this much text for blocks */
    ctx.bytes = BRISKO_TPL_SCAN_FACTOR * n + BRISKO_TPL_SCAN_EXTRA;
    int begin_ok = php_regcomp(&ctx.begin_re, BRISKO_TPL_BEGIN_PATTERN, REG_EXTENDED) == 0;
    int pair_ok = tpl_compile_generic(&ctx.pair_re, BRISKO_TPL_PAIR_PATTERN);
    int replace_ok = tpl_compile_generic(&ctx.replace_re, BRISKO_TPL_REPLACE_PATTERN);
    int tag_ok = php_regcomp(&ctx.tag_re, BRISKO_TPL_TAG_PATTERN, REG_EXTENDED) == 0;
    brisko_tpl *tpl = NULL;
    if (begin_ok && pair_ok && replace_ok && tag_ok) tpl = tpl_parse_level(text, n, parent, 0, &ctx);
    if (begin_ok) php_regfree(&ctx.begin_re);
    if (pair_ok) php_regfree(&ctx.pair_re);
    if (replace_ok) php_regfree(&ctx.replace_re);
    if (tag_ok) php_regfree(&ctx.tag_re);
    return tpl;
}
