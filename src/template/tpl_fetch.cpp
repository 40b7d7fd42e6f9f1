/* Block fetch: the instance of a block with a given index, made (with every
 * instance before it) when missing. Instances are copies of the block's
 * prototype in the fetched template's target.
 *
 * Each block entry remembers the node fetch returned last and its place in
 * the list (bnhint, bnhint_pos), so fetching indexes 0, 1, 2, ... in turn,
 * or one index again, walks one step or none instead of the whole list. */
#include <string.h>

#include "brisko_template.h"

static brisko_sub *tpl_find_sub(brisko_tpl *tpl, const char *name)
{
    for (int i = 0; i < tpl->subnum; i++) {
        brisko_sub *sub = &tpl->subs[i];
        if (sub->name != NULL && strcmp(sub->name, name) == 0) return sub;
    }
    return NULL;
}

/* Whether the request heap can still hold `missing` more instances; the
 * estimate counts only their nodes and records, a lower bound, so a huge
 * index is refused up front instead of filling the whole heap first. */
static int tpl_heap_has_room(long missing)
{
    if (missing <= 0) return 1;
    size_t used = (size_t)(brisko_heap_strage - brisko_heap_strage_ini);
    size_t room = BRISKO_HEAP_RESERVE > used ? BRISKO_HEAP_RESERVE - used : 0;
    size_t each = ((sizeof(brisko_bn) + 7) & ~(size_t)7) + ((sizeof(brisko_tpl) + 7) & ~(size_t)7);
    return (size_t)missing <= room / each;
}

extern "C" brisko_tpl *brisko_template_fetch(brisko_tpl *tpl, const char *name, int index)
{
    brisko_sub *sub = tpl_find_sub(tpl, name);
    if (sub == NULL) {
        if (brisko_template_check_tagname_f) brisko_template_illegal_tagname(name);
        return NULL;
    }
    return brisko_template_fetch_sub(tpl, sub, index);
}

extern "C" brisko_tpl *brisko_template_fetch_sub(brisko_tpl *tpl, brisko_sub *sub, int index)
{
    if (strchr(sub->name, '*') == NULL) index = 0;

    /* Place in the node list: 0 is the prototype, i + 1 instance i. */
    long target = (long)index + 1;
    if (target < 0) target = 0;
    brisko_bn *node = sub->bnlist;
    long pos = 0;
    if (sub->bnhint != NULL && sub->bnhint_pos <= target) {
        node = sub->bnhint;
        pos = sub->bnhint_pos;
    }
    if (tpl->pool == BK_TARGET_REQUEST_HEAP && !tpl_heap_has_room(target - (sub->bncount - 1))) {
        brisko_template_memory_warning();
        return NULL;
    }

    while (pos < target) {
        if (node->next == NULL) {
            /* The node is linked only once its record is complete, so a
             * failure leaves the list as it was. */
            brisko_bn *bn = (brisko_bn *)brisko_calloc(1, sizeof(brisko_bn), tpl->pool);
            if (bn == NULL) {
                brisko_template_memory_warning();
                break;
            }
            brisko_tpl *copy = brisko_tpl_copy_record(sub->bnlist->tpl, tpl->pool);
            if (copy == NULL) break;
            bn->tpl = copy;
            node->next = bn;
            sub->bnlast = bn;
            sub->bncount++;
        }
        node = node->next;
        pos++;
    }
    sub->bnhint = node;
    sub->bnhint_pos = (int)pos;
    return pos == target ? node->tpl : NULL;
}
