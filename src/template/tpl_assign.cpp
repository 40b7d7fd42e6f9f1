/* Tag assignment: values kept on one record until rendering.
 *
 * Entries and their text live in the request heap, so no value outlives
 * its request and none costs more than a bump of the heap's top. A name
 * occurs at most once in a record's list; the list keeps the order of
 * first assignment. Beside the list, a record finds the entry of a name
 * without comparing names: a name of its content (a tag, or a block's
 * name) has a slot in the content's names (brisko_tags, worked out by the
 * parser), and the record's slot array holds its entry; the entry's name
 * is the slot's own, shared, text. Other names, which render nowhere, go
 * to a small table of the record's own (others). Records without slots
 * (built by hand) keep the list alone.
 *
 * An assignment that cannot get the memory it needs (the request's
 * template memory would pass its limit) stores nothing, gives back what it
 * took and warns. */
#include <string.h>

#include "brisko_template.h"
#include "tpl_markers.h"

/* In check-tagname mode, a name must be a tag of the record's content
 * (the empty name always is: entry 0 has an empty tag). */
static int tpl_check(brisko_tpl *tpl, const char *name, size_t len, int slot)
{
    if (!brisko_template_check_tagname_f || len == 0) return 1;
    if (tpl->tags != NULL) {
        if (slot >= 0 && tpl->tags->names[slot].is_tag) return 1;
    } else {
        for (int k = 1; k < tpl->segnum; k++) {
            const brisko_seg *g = &tpl->segs[k];
            if ((size_t)g->tag_len == len && memcmp(tpl->content + g->tag_pos + 1, name, len) == 0) return 1;
        }
    }
    _brisko_template_illegal_tagname(name);
    return 0;
}

/* A copy of len bytes of text and a NUL in the request heap. */
static char *tpl_text(const char *text, size_t len)
{
    char *p = (char *)brisko_heap_malloc(len + 1);
    if (p != NULL) {
        memcpy(p, text, len);
        p[len] = '\0';
    }
    return p;
}

/* Bytes a value's block holds, its NUL included. */
static unsigned int tpl_room(size_t len) { return (unsigned int)BRISKO_HEAP_ROUND(len + 1); }

/* Gives tv the value; a value that fits the old one's block replaces it
 * in place. 0 when memory ran out (tv unchanged). A value is never longer
 * than the heap, so its length fits the entry's 32-bit fields. */
static int tpl_set_value(brisko_tagvalue *tv, const char *value, size_t len)
{
    if (tv->value != NULL && len < tv->value_room) {
        memmove(tv->value, value, len);
        tv->value[len] = '\0';
        tv->value_len = (unsigned int)len;
        return 1;
    }
    if (len >= BRISKO_HEAP_LIMIT) return 0;
    char *p = tpl_text(value, len);
    if (p == NULL) return 0;
    tv->value = p;
    tv->value_len = (unsigned int)len;
    tv->value_room = tpl_room(len);
    return 1;
}

/* A new entry, not yet in the list, with its value right behind it (one
 * bump of the heap, and the two side by side when rendering). */
static brisko_tagvalue *tpl_new_entry(char *name, const char *value, size_t len)
{
    if (len >= BRISKO_HEAP_LIMIT) return NULL;
    size_t head = BRISKO_HEAP_ROUND(sizeof(brisko_tagvalue));
    brisko_tagvalue *tv = (brisko_tagvalue *)brisko_malloc(head + len + 1, BK_TARGET_REQUEST_HEAP);
    if (tv == NULL) return NULL;
    tv->name = name;
    tv->value = (char *)tv + head;
    tv->next = NULL;
    memcpy(tv->value, value, len);
    tv->value[len] = '\0';
    tv->value_len = (unsigned int)len;
    tv->value_room = tpl_room(len);
    return tv;
}

static void tpl_append(brisko_tpl *tpl, brisko_tagvalue *tv)
{
    if (tpl->tagvalues == NULL) tpl->tagvalues = tv;
    else tpl->tagvalues_last->next = tv;
    tpl->tagvalues_last = tv;
}

/* The place of name in an others table: its entry, or the empty place
 * where it goes. */
static brisko_tagvalue **tpl_other_place(brisko_tagmap *m, const char *name, size_t len)
{
    for (unsigned long h = _brisko_template_name_hash(name, len) & m->mask;; h = (h + 1) & m->mask) {
        brisko_tagvalue **e = &m->entries[h];
        if (*e == NULL || _brisko_template_name_eq((*e)->name, name, len)) return e;
    }
}

/* The others table with room for one more entry: the record's own, or a
 * new one twice its size (not yet the record's; NULL without memory). */
static brisko_tagmap *tpl_other_room(brisko_tpl *tpl)
{
    brisko_tagmap *m = tpl->others;
    if (m != NULL && 2 * (m->count + 1) <= m->mask + 1) return m;
    unsigned long mask = m != NULL ? 2 * m->mask + 1 : 7;
    size_t size = sizeof(brisko_tagmap) + mask * sizeof(brisko_tagvalue *);
    brisko_tagmap *n = (brisko_tagmap *)brisko_heap_malloc(size);
    if (n == NULL) return NULL;
    memset(n, 0, size);
    n->mask = mask;
    if (m != NULL) {
        for (unsigned long i = 0; i <= m->mask; i++) {
            brisko_tagvalue *tv = m->entries[i];
            if (tv != NULL) *tpl_other_place(n, tv->name, strlen(tv->name)) = tv;
        }
        n->count = m->count;
    }
    return n;
}

/* A name that is no slot of the record's content. */
static int tpl_assign_other(brisko_tpl *tpl, const char *name, size_t len, const char *value, size_t vlen)
{
    if (tpl->tags == NULL) {
        brisko_tagvalue *old = _brisko_template_find_value(tpl, name, len);
        if (old != NULL) return tpl_set_value(old, value, vlen);
        char *copy = tpl_text(name, len);
        brisko_tagvalue *tv = copy ? tpl_new_entry(copy, value, vlen) : NULL;
        if (tv == NULL) return 0;
        tpl_append(tpl, tv);
        return 1;
    }
    if (tpl->others != NULL) {
        brisko_tagvalue *tv = *tpl_other_place(tpl->others, name, len);
        if (tv != NULL) return tpl_set_value(tv, value, vlen);
    }
    brisko_tagmap *m = tpl_other_room(tpl);
    char *copy = m ? tpl_text(name, len) : NULL;
    brisko_tagvalue *tv = copy ? tpl_new_entry(copy, value, vlen) : NULL;
    if (tv == NULL) return 0;
    *tpl_other_place(m, name, len) = tv;
    m->count++;
    tpl->others = m;
    tpl_append(tpl, tv);
    return 1;
}

extern "C" {

int brisko_template_assign(brisko_tpl *tpl, const char *name, const char *value)
{
    return _brisko_template_assign_n(tpl, name, strlen(name), value, strlen(value));
}

int _brisko_template_assign_n(brisko_tpl *tpl, const char *name, size_t name_len, const char *value,
                             size_t value_len)
{
    int s = _brisko_template_slot(tpl->tags, name, name_len);
    if (!tpl_check(tpl, name, name_len, s)) return 0;

    /* Everything is allocated before anything is linked, so a failure
     * leaves the record as it was and the heap can be given back. */
    char *mark = brisko_heap_strage;
    int ok;
    if (s >= 0) {
        brisko_tagvalue **slots = tpl->slots;
        if (slots == NULL) {
            size_t bytes = (size_t)tpl->tags->count * sizeof(brisko_tagvalue *);
            slots = (brisko_tagvalue **)brisko_heap_malloc(bytes);
            if (slots != NULL) memset(slots, 0, bytes);
        }
        brisko_tagvalue *tv = slots != NULL ? slots[s] : NULL;
        if (tv != NULL) {
            ok = tpl_set_value(tv, value, value_len);
        } else {
            tv = slots != NULL ? tpl_new_entry((char *)tpl->tags->names[s].name, value, value_len) : NULL;
            ok = tv != NULL;
            if (ok) {
                slots[s] = tv;
                tpl_append(tpl, tv);
            }
        }
        if (ok) tpl->slots = slots;
    } else {
        ok = tpl_assign_other(tpl, name, name_len, value, value_len);
    }
    if (!ok) {
        brisko_heap_release(mark);
        _brisko_template_memory_warning();
    }
    return ok;
}

/* Text of a value for assignment, without changing the value: strings as
 * they are (up to a NUL they hold), integers formatted here, anything else
 * converted on a copy by the engine's rule. */
static int tpl_assign_zval(brisko_tpl *tpl, const char *name, size_t name_len, zval *v)
{
    if (Z_TYPE_P(v) == IS_STRING) {
        const char *s = Z_STRVAL_P(v);
        size_t len = Z_STRLEN_P(v) > 0 ? (size_t)Z_STRLEN_P(v) : 0;
        const char *nul = (const char *)memchr(s, '\0', len);
        return _brisko_template_assign_n(tpl, name, name_len, s, nul ? (size_t)(nul - s) : len);
    }
    if (Z_TYPE_P(v) == IS_LONG) {
        char buf[24], *p = buf + sizeof buf;
        long n = Z_LVAL_P(v);
        unsigned long u = n < 0 ? 0UL - (unsigned long)n : (unsigned long)n;
        *--p = '\0';
        do {
            *--p = (char)('0' + u % 10);
            u /= 10;
        } while (u != 0);
        if (n < 0) *--p = '-';
        return _brisko_template_assign_n(tpl, name, name_len, p, (size_t)(buf + sizeof buf - 1 - p));
    }
    zval copy = *v;
    zval_copy_ctor(&copy);
    convert_to_string(&copy);
    int ok = Z_TYPE_P(&copy) == IS_STRING ? tpl_assign_zval(tpl, name, name_len, &copy)
                                          : _brisko_template_assign_n(tpl, name, name_len, "", 0);
    zval_dtor(&copy);
    return ok;
}

int _brisko_template_assign_hash(brisko_tpl *tpl, HashTable *values)
{
    int ok = 1;
    zval **data;
    zend_hash_internal_pointer_reset_ex(values, NULL);
    while (zend_hash_get_current_data_ex(values, (void **)&data, NULL) == SUCCESS) {
        char *key = NULL;
        uint key_len = 0;
        ulong index = 0;
        if (zend_hash_get_current_key_ex(values, &key, &key_len, &index, 0, NULL) == HASH_KEY_IS_STRING) {
            if (!tpl_assign_zval(tpl, key, strlen(key), *data)) ok = 0;
        } else {
            ok = 0;
        }
        zend_hash_move_forward_ex(values, NULL);
    }
    return ok;
}

}
