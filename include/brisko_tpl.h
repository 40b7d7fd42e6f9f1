/* Template records. A template is a tree of brisko_tpl: the root stands for
 * a file, each block is a record of its own in its parent's block table
 * with the list of its instances. The first node of a block's list holds
 * the prototype (never rendered); later nodes hold the instances. */
#ifndef BRISKO_TPL_H
#define BRISKO_TPL_H

#include <time.h>
#include "php.h"
#include "brisko_alloc.h"
#include "brisko_stamp.h"

#ifdef __cplusplus
extern "C" {
#endif

#define BRISKO_TPL_MAGIC 23456

typedef struct brisko_seg {
    int tag_pos;  /* offset in content of the tag's "{" */
    int text_len; /* literal text after the tag's "}" */
    int tag_len;  /* characters between the braces */
} brisko_seg;

typedef struct brisko_tagvalue {
    char *name;
    char *value;
    struct brisko_tagvalue *next;
    unsigned int value_len;  /* bytes of value before its NUL */
    unsigned int value_room; /* bytes value's block holds, its NUL included:
                                a value that fits replaces the old one in
                                place */
} brisko_tagvalue;

struct brisko_tpl;

typedef struct brisko_bn {
    struct brisko_tpl *tpl;
    struct brisko_bn *next;
} brisko_bn;

typedef struct brisko_sub {
    char *name;
    brisko_bn *bnlist; /* first node: the prototype */
    brisko_bn *bnlast; /* last node; NULL until appended to or copied */
    /* The list's nodes by place (0: the prototype), so fetch finds any
     * index in constant time: bnindex[i] is node i for i < bncount. Built
     * by the first fetch that needs it and kept up to date as nodes are
     * appended; NULL after a copy (the copy's nodes are new). */
    brisko_bn **bnindex;
    long bncount; /* nodes in the list, while bnindex is set */
    long bncap;   /* entries bnindex has room for */
} brisko_sub;

/* A name a content knows: one of its tags, or the name of one of its
 * blocks (a block's placeholder is a tag unless its name holds "}"). */
typedef struct brisko_tagname {
    const char *name; /* NUL-terminated, in the parse's pool */
    int len;
    int sub;    /* first block-table entry of this name, or -1 */
    int is_tag; /* 1 when a tag of the content has this name */
} brisko_tagname;

/* What a parse works out once about a content, so that assignment and
 * rendering need no name comparisons: every distinct name gets a slot,
 * every segment knows its tag's slot. Shared, like content and segs, by
 * every copy of the record. */
typedef struct brisko_tags {
    int count;              /* slots */
    brisko_tagname *names;  /* count entries */
    int *segslot;           /* per segment, its tag's slot; -1 for entry 0
                               and for empty names */
    int *hash;              /* mask + 1 entries: a slot, or -1 */
    unsigned long mask;
} brisko_tags;

/* Assigned values of names that are no slot of the record's content
 * (stored, never rendered): an open-addressing table in the request heap. */
typedef struct brisko_tagmap {
    unsigned long mask;
    unsigned long count;
    brisko_tagvalue *entries[1]; /* mask + 1 */
} brisko_tagmap;

typedef struct brisko_tpl {
    int magic;        /* always BRISKO_TPL_MAGIC */
    bkpool *pool;     /* target for everything allocated later for this record */
    char *content;    /* text with each block replaced by "{name}" */
    int segnum;       /* entries in segs; at least 1 */
    brisko_seg *segs;
    int subnum;       /* blocks directly inside */
    brisko_sub *subs;
    brisko_tagvalue *tagvalues;
    brisko_tagvalue *tagvalues_last;
    const brisko_tags *tags; /* slots of content's names; shared by copies
                                like segs; NULL: not known, names are
                                compared instead */
    brisko_tagvalue **slots; /* per slot, its assigned value; NULL until the
                                first assignment */
    brisko_tagmap *others;   /* values of other names; NULL when none */
    int visiting;     /* nonzero while the record is on the path of a
                         rendering or a copy: a record met again there is a
                         template that contains itself */
    unsigned long request; /* brisko_heap_request when the record was made:
                              an id is valid only in that request */
} brisko_tpl;

typedef struct brisko_tplfile {
    time_t ctime;     /* status-change time of the file when parsed */
    brisko_tpl *tpl;  /* root record of the parse */
    bkpool *pool;     /* the entry's own pool */
    int limits;       /* BRISKO_TPL_LIMIT_* bits the parse ran into */
    brisko_file_stamp stamp; /* the file as it was read: what tells a rewrite, also
                                within the same second */
} brisko_tplfile;

/* Limits a parse can run into; each load of such a parse warns. */
#define BRISKO_TPL_LIMIT_DEPTH 1   /* blocks nested too deep stayed text */
#define BRISKO_TPL_LIMIT_RECORDS 2 /* single blocks past the record limit stayed text */
#define BRISKO_TPL_LIMIT_MEMORY 4  /* the C library refused memory: blocks stayed text */

extern int brisko_template_check_tagname_f;
extern HashTable *brisko_templatetable;

/* Output buffer of rendering; one per process. */
extern char *brisko_write_buf;
extern int brisko_write_buf_len;
extern int brisko_write_buf_alloc;

/* The template engine's part of module start-up: the output buffer.
 * FAILURE, with a core warning raised, when the C library refuses it. */
int _brisko_template_startup(void);

/* The template engine's part of request start: frees the parses that
 * loading replaced (no request can reach them any more) and gives a grown
 * output buffer back. Called after the request heap is reset. */
void _brisko_template_request_startup(void);

#ifdef __cplusplus
}
#endif

#endif
