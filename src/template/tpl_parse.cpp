/* The template parser: text -> tree of records in one pool.
 *
 * The markers of the whole text are found once (tpl_markers). A level of
 * the template (the file, or a block's body) is a range of the text, and
 * is handled in four steps:
 *   1. find its blocks: each BEGIN marker in the range, left to right,
 *      with the END marker of the same name that ends last in the range
 *      (a block takes the longest text it can); a BEGIN marker without
 *      one is text and the search goes on right after it, a block is
 *      skipped over whole;
 *   2. parse each block's body, a range of its own, into a child record
 *      (a block without "*" is kept only while its first instance fits
 *      the record limit below; otherwise it stays text);
 *   3. fill the block table, giving every block without "*" in its name its
 *      first instance (a copy of the finished prototype);
 *   4. build the content (each block, with the blanks around its markers,
 *      replaced by "{name}"), its segment table and its names (brisko_tags).
 * Each BEGIN marker is looked at in one level only (the one where it is not
 * inside a block), at the cost of two searches in the sorted marker lists,
 * and each byte of the text is copied into the content of one level only;
 * so a parse costs time in proportion to the text, whatever the nesting
 * and the names.
 *
 * Two limits keep any input's parse bounded; each is recorded in the
 * limits the caller gets, and loading warns about it:
 * BRISKO_TPL_MAX_PARSE_DEPTH levels, and BRISKO_TPL_MAX_PARSE_RECORDS
 * records plus one per BRISKO_TPL_RECORD_BYTES of text.
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
    size_t name, name_len;
    brisko_tpl *child;
    int taken;
};

/* Shared by all levels of one parse. */
struct tpl_parse_ctx {
    const char *text;
    tpl_markers markers;
    long records;     /* records made so far */
    long max_records;
    int limits;       /* BRISKO_TPL_LIMIT_* bits */
    tpl_buf name;     /* a block name, NUL-terminated */
};

struct tpl_level {
    size_t from, to; /* the range of the text */
    tpl_block *blocks;
    size_t nblocks, cap;
};

} // namespace

static brisko_tpl *tpl_parse_level(tpl_parse_ctx *ctx, size_t from, size_t to, brisko_tpl *parent, int depth);

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

/* Step 1: the blocks of this level, in the order of their BEGIN markers;
 * with `first_only`, stops at the first. 0 when memory ran out. */
static int tpl_find_blocks(tpl_parse_ctx *ctx, tpl_level *lv, int first_only)
{
    const tpl_markers *m = &ctx->markers;
    const char *t = ctx->text;
    size_t pos = lv->from;
    size_t i = _brisko_template_markers_next_begin(m, 0, pos);
    while (i < m->nbegins && m->begins[i].start < lv->to) {
        const tpl_begin *bg = &m->begins[i];
        const tpl_end *em = bg->end <= lv->to ? _brisko_template_markers_last_end(m, bg->ends, lv->to) : NULL;
        if (em == NULL || em->start < bg->end) {
            pos = bg->end; /* no END after it: the marker is text */
            i = _brisko_template_markers_next_begin(m, i + 1, pos);
            continue;
        }
        tpl_block b;
        memset(&b, 0, sizeof b);
        b.begin = bg->start;
        b.begin_end = bg->end;
        b.end = em->start;
        b.end_end = em->end;
        b.name = bg->name;
        b.name_len = bg->name_len;
        for (b.body = bg->end; b.body < b.end && tpl_is_blank(t[b.body]); b.body++) {}
        if (!tpl_level_add(lv, &b)) return 0;
        if (first_only) return 1;
        pos = b.end_end;
        i = _brisko_template_markers_next_begin(m, i + 1, pos);
    }
    return 1;
}

static int tpl_is_single(const char *name, size_t len) { return memchr(name, '*', len) == NULL; }

/* Step 2: parse the bodies; a single block is taken only while its first
 * instance (a copy of its whole tree) fits the record limit. */
static void tpl_parse_children(tpl_parse_ctx *ctx, tpl_level *lv, brisko_tpl *rec, int depth)
{
    for (size_t i = 0; i < lv->nblocks; i++) {
        tpl_block *b = &lv->blocks[i];
        long before = ctx->records;
        b->child = tpl_parse_level(ctx, b->body, b->end, rec, depth + 1);
        if (b->child == NULL) continue;
        long cost = ctx->records - before;
        if (tpl_is_single(ctx->text + b->name, b->name_len)) {
            if (ctx->records + cost > ctx->max_records) {
                ctx->limits |= BRISKO_TPL_LIMIT_RECORDS;
                continue;
            }
            ctx->records += cost;
        }
        b->taken = 1;
    }
}

/* Step 3. */
static void tpl_fill_table(tpl_parse_ctx *ctx, tpl_level *lv, brisko_tpl *rec)
{
    int taken = 0;
    for (size_t i = 0; i < lv->nblocks; i++) taken += lv->blocks[i].taken;
    _brisko_template_set_subnum(rec, taken);
    int j = 0;
    for (size_t i = 0; i < lv->nblocks; i++) {
        tpl_block *b = &lv->blocks[i];
        if (!b->taken) continue;
        ctx->name.len = 0;
        if (!_brisko_template_buf_add(&ctx->name, ctx->text + b->name, b->name_len)) {
            ctx->limits |= BRISKO_TPL_LIMIT_MEMORY;
            rec->subnum = j; /* the rest stays text */
            for (; i < lv->nblocks; i++) lv->blocks[i].taken = 0;
            return;
        }
        _brisko_template_set_sub(rec, j, ctx->name.p, b->child);
        /* names are unique at one level: entry j is the one of this name */
        if (tpl_is_single(ctx->text + b->name, b->name_len)) _brisko_template_fetch_sub(rec, &rec->subs[j], 0);
        j++;
    }
}

/* Step 4, first part: the range with each taken block, and the blanks
 * right before its BEGIN marker and right after its END marker, replaced
 * by "{name}". */
static int tpl_build_content(tpl_parse_ctx *ctx, tpl_level *lv, tpl_buf *w)
{
    const char *t = ctx->text;
    size_t cursor = lv->from;
    for (size_t i = 0; i < lv->nblocks; i++) {
        tpl_block *b = &lv->blocks[i];
        if (!b->taken) continue;
        size_t rs = b->begin, re = b->end_end;
        while (rs > cursor && tpl_is_blank(t[rs - 1])) rs--;
        while (re < lv->to && tpl_is_blank(t[re])) re++;
        if (!_brisko_template_buf_add(w, t + cursor, rs - cursor) || !_brisko_template_buf_add(w, "{", 1) ||
            !_brisko_template_buf_add(w, t + b->name, b->name_len) || !_brisko_template_buf_add(w, "}", 1))
            return 0;
        cursor = re;
    }
    return _brisko_template_buf_add(w, t + cursor, lv->to - cursor);
}

/* The slot of a name in the table being built, or the empty place for it. */
static int *tpl_tags_place(brisko_tags *tags, const char *name, size_t len)
{
    return &tags->hash[tpl_probe(tags->hash, tags->mask, name, len, tpl_tag_named, tags)];
}

/* Step 4, last part: the record's names. Every distinct tag name and
 * every block name gets a slot; a tag's name text is copied once, NUL-
 * terminated, a block's is the block table's own. One pool block holds
 * it all. */
static void tpl_build_tags(brisko_tpl *rec)
{
    size_t nseg = (size_t)rec->segnum, nsub = (size_t)(rec->subnum > 0 ? rec->subnum : 0);
    size_t most = nseg + nsub, text = 0;
    for (size_t k = 1; k < nseg; k++) text += (size_t)rec->segs[k].tag_len + 1;
    size_t cap = 8;
    while (cap < 2 * most) cap *= 2;
    size_t bytes = sizeof(brisko_tags) + most * sizeof(brisko_tagname) + nseg * sizeof(int) + cap * sizeof(int) + text;
    char *block = (char *)brisko_malloc(bytes, rec->pool);
    if (block == NULL) return; /* names are then compared (tags stays NULL) */
    brisko_tags *tags = (brisko_tags *)block;
    tags->names = (brisko_tagname *)(tags + 1);
    tags->segslot = (int *)(tags->names + most);
    tags->hash = tags->segslot + nseg;
    tags->mask = cap - 1;
    tags->count = 0;
    char *names_text = (char *)(tags->hash + cap);
    for (size_t h = 0; h < cap; h++) tags->hash[h] = -1;

    tags->segslot[0] = -1;
    for (size_t k = 1; k < nseg; k++) {
        const brisko_seg *g = &rec->segs[k];
        const char *name = rec->content + g->tag_pos + 1;
        size_t len = (size_t)g->tag_len;
        if (len == 0) {
            tags->segslot[k] = -1; /* "{}" is never looked up */
            continue;
        }
        int *place = tpl_tags_place(tags, name, len);
        if (*place < 0) {
            brisko_tagname *tn = &tags->names[tags->count];
            memcpy(names_text, name, len);
            names_text[len] = '\0';
            tn->name = names_text;
            tn->len = (int)len;
            tn->sub = -1;
            tn->is_tag = 1;
            names_text += len + 1;
            *place = tags->count++;
        }
        tags->segslot[k] = *place;
    }
    for (size_t j = 0; j < nsub; j++) {
        const char *name = rec->subs[j].name;
        size_t len = strlen(name);
        int *place = tpl_tags_place(tags, name, len);
        if (*place < 0) {
            brisko_tagname *tn = &tags->names[tags->count];
            tn->name = name;
            tn->len = (int)len;
            tn->sub = -1;
            tn->is_tag = 0;
            *place = tags->count++;
        }
        if (tags->names[*place].sub < 0) tags->names[*place].sub = (int)j;
    }
    rec->tags = tags;
}

/* Step 4, second part: tags left to right, each from a "{" to the first
 * "}" after it, then the segment table. */
static void tpl_build_segments(brisko_tpl *rec, tpl_buf *w)
{
    const char *s = w->p;
    size_t n = w->len, pos = 0, ntags = 0;
    /* count first, then fill: no second buffer */
    for (;;) {
        const char *open = (const char *)memchr(s + pos, '{', n - pos);
        if (open == NULL) break;
        const char *close = (const char *)memchr(open + 1, '}', n - (size_t)(open + 1 - s));
        if (close == NULL) break; /* no "}" left: no further tag */
        ntags++;
        pos = (size_t)(close - s) + 1;
    }
    rec->content = brisko_strdup(s, rec->pool);
    rec->segnum = (int)ntags + 1;
    size_t seg_bytes = (ntags + 1) * sizeof(brisko_seg);
    rec->segs = (brisko_seg *)brisko_malloc(seg_bytes, rec->pool);
    memset(rec->segs, 0, seg_bytes);
    brisko_seg *prev = &rec->segs[0];
    size_t prev_end = 0; /* where the literal after the previous tag starts */
    pos = 0;
    for (size_t k = 1; k <= ntags; k++) {
        const char *open = (const char *)memchr(s + pos, '{', n - pos);
        const char *close = (const char *)memchr(open + 1, '}', n - (size_t)(open + 1 - s));
        brisko_seg *g = &rec->segs[k];
        g->tag_pos = (int)(open - s);
        g->tag_len = (int)(close - open - 1);
        prev->text_len = (int)((size_t)(open - s) - prev_end);
        prev = g;
        prev_end = (size_t)(close - s) + 1;
        pos = prev_end;
    }
    prev->text_len = (int)(n - prev_end);
    tpl_build_tags(rec);
}

static brisko_tpl *tpl_parse_level(tpl_parse_ctx *ctx, size_t from, size_t to, brisko_tpl *parent, int depth)
{
    brisko_tpl *rec = _brisko_template_alloc_tpl(parent);
    if (rec == NULL) return NULL;
    ctx->records++;

    tpl_level lv;
    memset(&lv, 0, sizeof lv);
    lv.from = from;
    lv.to = to;
    if (depth < BRISKO_TPL_MAX_PARSE_DEPTH) {
        if (tpl_find_blocks(ctx, &lv, 0)) tpl_parse_children(ctx, &lv, rec, depth);
        else ctx->limits |= BRISKO_TPL_LIMIT_MEMORY;
    } else if (tpl_find_blocks(ctx, &lv, 1) && lv.nblocks > 0) {
        ctx->limits |= BRISKO_TPL_LIMIT_DEPTH; /* the blocks of this level stay text */
    }
    tpl_fill_table(ctx, &lv, rec);

    tpl_buf w = {NULL, 0, 0};
    if (!tpl_build_content(ctx, &lv, &w)) {
        /* out of C-library memory: keep the text as it is, without blocks */
        ctx->limits |= BRISKO_TPL_LIMIT_MEMORY;
        w.len = 0;
        rec->subnum = 0;
        if (!_brisko_template_buf_add(&w, ctx->text + from, to - from)) {
            _brisko_template_buf_free(&w);
            free(lv.blocks);
            return NULL;
        }
    }
    tpl_build_segments(rec, &w);
    _brisko_template_buf_free(&w);
    free(lv.blocks);
    return rec;
}

static brisko_tpl *tpl_parse(const char *text, size_t n, brisko_tpl *parent, int *limits)
{
    tpl_parse_ctx ctx;
    memset(&ctx, 0, sizeof ctx);
    ctx.text = text;
    ctx.max_records = BRISKO_TPL_MAX_PARSE_RECORDS + (long)(n / BRISKO_TPL_RECORD_BYTES);
    if (!_brisko_template_markers_build(&ctx.markers, text, n)) ctx.limits |= BRISKO_TPL_LIMIT_MEMORY; /* no markers: all text */
    brisko_tpl *tpl = tpl_parse_level(&ctx, 0, n, parent, 0);
    _brisko_template_markers_free(&ctx.markers);
    _brisko_template_buf_free(&ctx.name);
    if (limits) *limits = ctx.limits;
    return tpl;
}

extern "C" brisko_tpl *_brisko_template_parse(const char *text, brisko_tpl *parent)
{
    return tpl_parse(text, strlen(text), parent, NULL);
}

extern "C" brisko_tpl *_brisko_template_parse_file(const char *text, size_t n, int *limits)
{
    return tpl_parse(text, n, NULL, limits);
}
