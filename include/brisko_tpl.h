/* Template records. A template is a tree of brisko_tpl: the root stands for
 * a file, each block is a record of its own in its parent's block table
 * with the list of its instances. The first node of a block's list holds
 * the prototype (never rendered); later nodes hold the instances. */
#ifndef BRISKO_TPL_H
#define BRISKO_TPL_H

#include <time.h>
#include "brisko_alloc.h"

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
    /* Fetch remembers the node it returned last and that node's place in
     * the list (0: the prototype), so filling indexes 0, 1, 2, ... or
     * fetching one index again takes constant time. bncount is the number
     * of nodes in the list. All three are reset whenever the list is
     * copied; a NULL bnhint means "start at bnlist". */
    brisko_bn *bnhint;
    int bnhint_pos;
    int bncount;
} brisko_sub;

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
    int *segsub;      /* per segment, the block-table entry its tag names
                         (-1: none), so rendering finds blocks without a
                         walk; shared by copies like segs; NULL: not known,
                         walk the table */
    int visiting;     /* nonzero while the record is on the path of a
                         rendering or a copy: a record met again there is a
                         template that contains itself */
} brisko_tpl;

typedef struct brisko_tplfile {
    time_t ctime;     /* status-change time of the file when parsed */
    brisko_tpl *tpl;  /* root record of the parse */
} brisko_tplfile;

extern int brisko_template_check_tagname_f;
extern HashTable *brisko_templatetable;

/* Output buffer of rendering; one per process. */
extern char *brisko_write_buf;
extern int brisko_write_buf_len;
extern int brisko_write_buf_alloc;

#ifdef __cplusplus
}
#endif

#endif
