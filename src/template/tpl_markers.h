/* Parser internals: the markers of a text, found once, a growable byte
 * buffer and the names' hash. Only the parser, the model and assignment
 * use them.
 *
 * The BEGIN and END patterns of the template format are recognised by a
 * direct scan that reads each byte of the text a bounded number of times:
 *
 *   BEGIN at c: "<!--", blanks, "BEGIN", a blank run R, then either a
 *     non-blank run W, blanks and "-->" (the name is W: the longest match),
 *     or, when R has two blanks or more, "-->" right after R (the name is
 *     empty: the two blank groups of the pattern share R);
 *   END at c, for a name N: the same shape with "END", W equal to N; for
 *     the empty name, R of two blanks or more followed by "-->".
 *
 * A level of the template (the file, or a block's body) is a range of the
 * text; since a marker never reaches across the "<!--" of an END marker,
 * the markers found in the whole text are exactly those of each range. */
#ifndef BRISKO_TPL_MARKERS_H
#define BRISKO_TPL_MARKERS_H

#include <stddef.h>
#include <string.h>

#include "brisko_template.h"

typedef struct tpl_buf {
    char *p;
    size_t len;
    size_t cap;
} tpl_buf;

/* Appends n bytes; the buffer always stays NUL-terminated. 0 when the C
 * library refuses memory. */
int _brisko_template_buf_add(tpl_buf *b, const char *src, size_t n);
void _brisko_template_buf_free(tpl_buf *b);

static inline int tpl_is_blank(char c) { return c == ' ' || c == '\t'; }

size_t _brisko_template_name_hash(const char *name, size_t len);

/* The open-addressing tables of names (the names of a parsed content, the
 * groups of END markers): mask + 1 slots, each an entry's number or -1,
 * probed linearly from the name's hash; a table always keeps an empty
 * slot. same() tells whether an entry has the name. The result is the
 * slot holding the entry of that name, or the empty slot where it goes. */
typedef int (*tpl_same_name)(const void *table, int entry, const char *name, size_t len);

static inline size_t tpl_probe(const int *slots, size_t mask, const char *name, size_t len, tpl_same_name same,
                               const void *table)
{
    for (size_t h = _brisko_template_name_hash(name, len) & mask;; h = (h + 1) & mask)
        if (slots[h] < 0 || same(table, slots[h], name, len)) return h;
}

/* same() for the names of a parsed content (brisko_tags). */
static inline int tpl_tag_named(const void *table, int slot, const char *name, size_t len)
{
    const brisko_tagname *tn = &((const brisko_tags *)table)->names[slot];
    return (size_t)tn->len == len && memcmp(tn->name, name, len) == 0;
}

/* Position of the first "<!--" at or after from, or n. */
size_t _brisko_template_find_comment(const char *text, size_t from, size_t n);

/* A BEGIN marker: from start to end, its name at [name, name + name_len)
 * of the text; ends is the group of END markers with that name, -1 when
 * there is none. */
typedef struct tpl_begin {
    size_t start, end;
    size_t name, name_len;
    long ends;
} tpl_begin;

typedef struct tpl_end {
    size_t start, end;
} tpl_end;

/* Every marker of a text: the BEGIN markers in text order, and the END
 * markers grouped by name, each group in text order (which is also the
 * order of their ends: two END markers of one name never overlap). */
typedef struct tpl_markers {
    tpl_begin *begins;
    size_t nbegins;
    tpl_end *ends;
    size_t *group; /* group k is ends[group[k]] to ends[group[k + 1] - 1] */
    size_t ngroups;
} tpl_markers;

/* 0 when the C library refuses memory (m is then empty). */
int _brisko_template_markers_build(tpl_markers *m, const char *text, size_t n);
void _brisko_template_markers_free(tpl_markers *m);
/* The END marker of group k that ends last at or before limit, or NULL. */
const tpl_end *_brisko_template_markers_last_end(const tpl_markers *m, long k, size_t limit);
/* The first BEGIN marker from index i on that starts at or after pos (an
 * index; nbegins when there is none). */
size_t _brisko_template_markers_next_begin(const tpl_markers *m, size_t i, size_t pos);

#endif
