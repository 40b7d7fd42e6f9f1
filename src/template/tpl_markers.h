/* Parser internals: the four patterns, escaped names, marker shapes and a
 * growable byte buffer. Only tpl_parse.cpp and tpl_markers.cpp use them.
 *
 * Every regular-expression search of the parser runs on a bounded region
 * that a direct scan has shown to hold the whole match (or none), so each
 * search costs the length of that region and never the rest of the text. */
#ifndef BRISKO_TPL_MARKERS_H
#define BRISKO_TPL_MARKERS_H

#include <regex.h>
#include <stddef.h>

#include "brisko_template.h"

/* Names longer than this are not taken as block names: their markers stay
 * text. */
#define BRISKO_TPL_MAX_NAME 1024
#define BRISKO_TPL_NMATCH 5

#define BRISKO_TPL_BEGIN_PATTERN "<!--[[:blank:]]+BEGIN[[:blank:]]+([^[:blank:]]*)[[:blank:]]+-->"
#define BRISKO_TPL_TAG_PATTERN "{[^}]*}"
#define BRISKO_TPL_PAIR_PATTERN                                                \
    "<!--[[:blank:]]+BEGIN[[:blank:]]+%s[[:blank:]]+-->[[:blank:]]*(.*)[[:blank:]]*" \
    "<!--[[:blank:]]+END[[:blank:]]+%s[[:blank:]]+-->"
#define BRISKO_TPL_REPLACE_PATTERN                                             \
    "[[:blank:]]*<!--[[:blank:]]+BEGIN[[:blank:]]+(%s)[[:blank:]]+-->(.*)"     \
    "<!--[[:blank:]]+END[[:blank:]]+%s[[:blank:]]+-->[[:blank:]]*"
/* The pair and replacement patterns with the name in a group of its own
 * (the group of a BEGIN marker's name), compiled once per parse instead of
 * once per block: a match whose name groups equal the block name, byte for
 * byte, is the match of the patterns with that name escaped. */
#define BRISKO_TPL_NAME_GROUP "([^[:blank:]]*)"

typedef struct tpl_buf {
    char *p;
    size_t len;
    size_t cap;
} tpl_buf;

/* Appends n bytes; the buffer always stays NUL-terminated. 0 when the C
 * library refuses memory. */
int tpl_buf_add(tpl_buf *b, const char *src, size_t n);
void tpl_buf_free(tpl_buf *b);

static inline int tpl_is_blank(char c) { return c == ' ' || c == '\t'; }

size_t tpl_name_hash(const char *name, size_t len);

/* Position of the first "<!--" at or after from, or n. (memchr-based: a
 * search that reads only up to what it finds.) */
size_t tpl_find_comment(const char *text, size_t from, size_t n);

/* An END marker as the pair pattern sees it: "<!--" at start, the marker
 * ending at end, for the name of len bytes at name. A marker whose name run
 * starts with "-->" after two or more blanks also closes the empty name and
 * is indexed under both. */
typedef struct tpl_end_marker {
    const char *name;
    size_t len;
    size_t start;
    size_t end;
} tpl_end_marker;

typedef struct tpl_end_index {
    tpl_end_marker *v; /* hash slots by name; an empty slot has a NULL name */
    size_t n;          /* slots, a power of two */
} tpl_end_index;

/* Indexes every END marker of text (n bytes); 0 when out of memory. */
int tpl_end_index_build(tpl_end_index *ix, const char *text, size_t n);
/* The END marker of that name that ends last, or NULL. */
const tpl_end_marker *tpl_end_index_last(const tpl_end_index *ix, const char *name, size_t len);
void tpl_end_index_free(tpl_end_index *ix);

/* Where a BEGIN marker starting at c could end at the latest, or 0 when the
 * text at c cannot start one ("<!--", blanks, "BEGIN", blanks). */
size_t tpl_begin_limit(const char *text, size_t n, size_t c);

/* Compiles fmt with the name group in both name places; 0 when it does not
 * compile. */
int tpl_compile_generic(regex_t *re, const char *fmt);

/* Runs re over the concatenation of two pieces copied into scratch; 1 when
 * a match starts at the first byte (m then holds the groups). */
int tpl_match_region(const regex_t *re, tpl_buf *scratch, const char *a, size_t alen, const char *b, size_t blen,
                     regmatch_t *m);
/* Runs re over the concatenation of two pieces (the second may be empty),
 * copied into scratch. 1 when the match covers exactly the whole
 * concatenation; m then holds the groups. */
int tpl_match_whole(const regex_t *re, tpl_buf *scratch, const char *a, size_t alen, const char *b, size_t blen,
                    regmatch_t *m);

#endif
