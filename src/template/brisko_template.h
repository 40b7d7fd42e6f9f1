/* The template engine's internal routines: model and copies, parser,
 * loading and the file cache, fetch, assignment, attach and rendering.
 * The PHP handlers in template_functions.cpp and template_fill.cpp are
 * thin layers over these. */
#ifndef BRISKO_TEMPLATE_H
#define BRISKO_TEMPLATE_H

#include "php.h"
#include "brisko_tpl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Blocks nested deeper than this inside one file are not looked for: their
 * markers stay text. Real templates nest a handful of levels; the limit
 * keeps the parse linear in the text for any input. */
#define BRISKO_TPL_MAX_PARSE_DEPTH 64
/* A parse makes at most about this many records. Every single block (no
 * "*") gets an instance that copies its whole prototype, so nesting doubles
 * the record count at each level; once the budget is spent, further single
 * blocks keep their markers as text instead of being copied. */
#define BRISKO_TPL_MAX_PARSE_RECORDS 100000
/* All levels of one parse together scan at most this many times the text
 * (plus a constant) for blocks; blocks nested in many same-name blocks
 * would otherwise rescan the file once per level. */
#define BRISKO_TPL_SCAN_FACTOR 8
#define BRISKO_TPL_SCAN_EXTRA ((size_t)1 << 20)
/* Rendering and copying descend at most this deep (attach can chain
 * templates without bound); deeper records are left out with a warning. */
#define BRISKO_TPL_MAX_DEPTH 1000
/* One rendering visits at most this many records: attaching one template
 * into several instances of another, repeatedly, multiplies the work
 * without using memory. */
#define BRISKO_TPL_MAX_RENDER_RECORDS 50000000L
/* Growth step of the output buffer. */
#define BRISKO_WRITE_BUF_STEP 300000

/* ---- model (tpl_model.cpp) ---- */
brisko_tpl *_brisko_template_alloc_tpl(brisko_tpl *parent);
void _brisko_template_set_subnum(brisko_tpl *tpl, int n);
void _brisko_template_set_sub(brisko_tpl *tpl, int i, const char *name, brisko_tpl *child);
/* Per-request copy in the request heap; NULL for a NULL tpl and, with a
 * warning, when the request heap is exhausted. */
brisko_tpl *_brisko_template_dup(brisko_tpl *tpl);
/* Copies src and everything below it into target (fetch makes instances
 * with it); NULL, with the warning raised, when the copy cannot be made. */
brisko_tpl *brisko_tpl_copy_record(brisko_tpl *src, bkpool *target);
/* The deep-copy steps. They return 1 on success and 0 when memory ran out
 * (or the structure is too deep / contains itself); the record is then
 * left consistent but incomplete, and the caller must not link it in. */
int brisko_tpl_dup_tpl(brisko_tpl *t);
int brisko_tpl_dup_bnlist(bkpool *pool, brisko_sub *sub);
int brisko_tpl_dup_b(bkpool *pool, brisko_bn *node);
/* A template id names a record of the current request, or is refused. */
brisko_tpl *brisko_template_from_id(long id);
/* Raises "argument to id should be template_id". */
void brisko_template_id_warning(void);
/* Formats "Illegal tagname('%s')" and raises the text itself as an
 * E_WARNING, whatever the length of name. */
void brisko_template_illegal_tagname(const char *name);
/* The one warning for a request heap that cannot hold what a call needs. */
void brisko_template_memory_warning(void);
/* Name comparison with the stored NUL-terminated name. */
int brisko_tpl_name_eq(const char *stored, const char *name, size_t len);

/* ---- parser (tpl_parse.cpp, tpl_markers.cpp) ---- */
brisko_tpl *_brisko_template_parse(const char *text, brisko_tpl *parent);
/* Writes the escaped name into escaped and the pair pattern into pattern.
 * Both are sized by the caller: escaped at least 2 * strlen(name) + 1,
 * pattern at least brisko_tpl_pattern_size(name). */
void _brisko_template_parse_q(char *pattern, char *escaped, const char *name);
size_t brisko_tpl_pattern_size(const char *name);

/* ---- loading (tpl_load.cpp) ---- */
brisko_tpl *brisko_template_access(brisko_tpl *tpl, const char *path);
/* The cached parse of the file at path, parsed or re-parsed as needed;
 * NULL when the file cannot be resolved, stat'ed, opened or read. */
brisko_tpl *brisko_template_load_file(const char *path);

/* ---- fetch, assignment, attach ---- */
brisko_tpl *brisko_template_fetch(brisko_tpl *tpl, const char *name, int index);
/* Fetch on a block-table entry of tpl already found. */
brisko_tpl *brisko_template_fetch_sub(brisko_tpl *tpl, brisko_sub *sub, int index);
int brisko_check_tag(brisko_tpl *tpl, const char *name);
int brisko_template_assign(brisko_tpl *tpl, const char *name, const char *value);
/* Walks an array of tag => value, converting values to strings inside the
 * array; 1 when every element had a string key and was stored. */
int brisko_template_assign_hash(brisko_tpl *tpl, HashTable *values);
int brisko_template_attach(brisko_tpl *tpl, const char *name, brisko_tpl *other);

/* ---- rendering (tpl_render.cpp) ---- */
void brisko_write_b(const char *src, int n);
/* Appends the rendering of tpl to the output buffer. */
void brisko_template_get(brisko_tpl *tpl);
/* Empties the output buffer and renders tpl into it. */
void brisko_template_render(brisko_tpl *tpl);

#ifdef __cplusplus
}
#endif

#endif
