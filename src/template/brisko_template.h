/* The template engine's internal routines: model and copies, parser,
 * loading and the file cache, fetch, assignment, attach and rendering.
 * The PHP functions in template_functions.cpp are thin layers over these.
 *
 * Names: a routine that other files of the engine (or the frame) call
 * begins with _brisko_template_, as the engine's internal routines always
 * have; routines, variables and types private to one file, and the
 * parser's own types, begin with tpl_. A few routines keep their
 * established names: brisko_template_fetch, brisko_template_assign and
 * brisko_template_get (each the internal side of the PHP function of that
 * name), brisko_template_access, brisko_tpl_dup_* and brisko_write_b.
 * Records shared with other folders are brisko_* (include/brisko_tpl.h). */
#ifndef BRISKO_TEMPLATE_H
#define BRISKO_TEMPLATE_H

#include "php.h"
#include "brisko_tpl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Limits, each with the warning it gives when hit:
 *
 * Blocks nested deeper than this inside one file are not looked for: their
 * markers stay text, and each load of the file warns. */
#define BRISKO_TPL_MAX_PARSE_DEPTH 64
/* A parse makes at most this many records plus one per 8 bytes of the
 * file. Every single block (no "*") gets an instance that copies its whole
 * prototype, so single blocks nested in single blocks double the count at
 * each level; a single block whose instance would pass the limit keeps its
 * markers as text, and each load of the file warns. A flat template never
 * reaches the limit: each block takes more than 16 bytes of text. */
#define BRISKO_TPL_MAX_PARSE_RECORDS 100000L
#define BRISKO_TPL_RECORD_BYTES 8
/* Files larger than this are not parsed (offsets in a parse are 32-bit). */
#define BRISKO_TPL_MAX_FILE ((long long)1 << 30)
/* Rendering and copying descend at most this deep (attach can chain
 * templates without bound); deeper records are left out with a warning. */
#define BRISKO_TPL_MAX_DEPTH 1000
/* One rendering visits at most this many records: attaching one template
 * into several instances of another, repeatedly, multiplies the work
 * without using memory. */
#define BRISKO_TPL_MAX_RENDER_RECORDS 50000000L
/* Growth step of the output buffer, its size at start-up, and the size
 * past which request start gives it back to that size. */
#define BRISKO_WRITE_BUF_STEP 300000
#define BRISKO_WRITE_BUF_SIZE 300000
#define BRISKO_WRITE_BUF_KEEP (16 * BRISKO_WRITE_BUF_SIZE)
/* Template ids carry the request that made them above the record's
 * address: bits 48 to 62 hold brisko_heap_request modulo
 * BRISKO_TPL_ID_REQUESTS, plus 1, so no id of one request is an id of the
 * next, and a bare address is no id at all. */
#define BRISKO_TPL_ID_SHIFT 48
#define BRISKO_TPL_ID_REQUESTS 32767UL

/* ---- model (tpl_model.cpp) ---- */
brisko_tpl *_brisko_template_alloc_tpl(brisko_tpl *parent);
void _brisko_template_set_subnum(brisko_tpl *tpl, int n);
void _brisko_template_set_sub(brisko_tpl *tpl, int i, const char *name, brisko_tpl *child);
/* Per-request copy in the request heap; NULL for a NULL tpl and, with a
 * warning and the heap as it was, when the copy cannot be made. */
brisko_tpl *_brisko_template_dup(brisko_tpl *tpl);
/* Copies src and everything below it into target (fetch makes instances
 * with it); NULL, with the warning raised, when the copy cannot be made. */
brisko_tpl *_brisko_template_copy(brisko_tpl *src, bkpool *target);
/* The deep-copy steps. They return 1 on success and 0 when memory ran out
 * (or the structure is too deep / contains itself); the record is then
 * left consistent but incomplete, and the caller must not link it in. */
int brisko_tpl_dup_tpl(brisko_tpl *t);
int brisko_tpl_dup_bnlist(bkpool *pool, brisko_sub *sub);
int brisko_tpl_dup_b(bkpool *pool, brisko_bn *node);
/* A template id names a record of the current request, or is refused. */
brisko_tpl *_brisko_template_from_id(long id);
/* The id of a record in the request heap. */
long _brisko_template_id(const brisko_tpl *tpl);
/* Raises "argument to id should be template_id". */
void _brisko_template_id_warning(void);
/* Formats "Illegal tagname('%s')" and raises the text itself as an
 * E_WARNING, whatever the length of name. */
void _brisko_template_illegal_tagname(const char *name);
/* The one warning for a request whose templates would pass the request
 * heap's limit. */
void _brisko_template_memory_warning(void);
/* Name comparison with the stored NUL-terminated name. */
int _brisko_template_name_eq(const char *stored, const char *name, size_t len);
/* The slot of a name in a content's names, or -1. */
int _brisko_template_slot(const brisko_tags *tags, const char *name, size_t len);
/* The assigned value of that name, searched in the list (records without
 * slots keep their values there alone), or NULL. */
brisko_tagvalue *_brisko_template_find_value(brisko_tpl *tpl, const char *name, size_t len);
/* The block-table entry of that name, or NULL: the one place where a
 * block is looked up by name. */
brisko_sub *_brisko_template_find_sub(brisko_tpl *tpl, const char *name, size_t len);

/* ---- parser (tpl_parse.cpp, tpl_markers.cpp) ---- */
brisko_tpl *_brisko_template_parse(const char *text, brisko_tpl *parent);
/* The parse of the first n bytes of text (no NUL among them) as a file;
 * *limits gets the BRISKO_TPL_LIMIT_* bits of the limits it ran into. */
brisko_tpl *_brisko_template_parse_file(const char *text, size_t n, int *limits);

/* ---- loading (tpl_load.cpp) ---- */
brisko_tpl *brisko_template_access(brisko_tpl *tpl, const char *path);
/* The cached parse of the file at path, parsed or re-parsed as needed;
 * NULL when the file cannot be resolved, stat'ed, opened or read. Warns
 * when the parse ran into a limit. */
brisko_tpl *_brisko_template_load_file(const char *path);

/* ---- fetch, assignment, attach ---- */
brisko_tpl *brisko_template_fetch(brisko_tpl *tpl, const char *name, long index);
/* Fetch on a block-table entry of tpl already found. */
brisko_tpl *_brisko_template_fetch_sub(brisko_tpl *tpl, brisko_sub *sub, long index);
int brisko_template_assign(brisko_tpl *tpl, const char *name, const char *value);
/* Assignment with lengths known (neither text holds a NUL). */
int _brisko_template_assign_n(brisko_tpl *tpl, const char *name, size_t name_len, const char *value,
                             size_t value_len);
/* Walks an array of tag => value, assigning each string-keyed element's
 * value as a string (converted on a copy: the array is not changed); 1
 * when every element had a string key and was stored. */
int _brisko_template_assign_hash(brisko_tpl *tpl, HashTable *values);
int _brisko_template_attach(brisko_tpl *tpl, const char *name, brisko_tpl *other);

/* ---- rendering (tpl_render.cpp) ---- */
void brisko_write_b(const char *src, int n);
/* Appends the rendering of tpl to the output buffer. */
void brisko_template_get(brisko_tpl *tpl);
/* Empties the output buffer and renders tpl into it. */
void _brisko_template_render(brisko_tpl *tpl);
/* Gives a buffer grown past BRISKO_WRITE_BUF_KEEP back to its start-up
 * size (request start). */
void _brisko_template_output_trim(void);

#ifdef __cplusplus
}
#endif

#endif
