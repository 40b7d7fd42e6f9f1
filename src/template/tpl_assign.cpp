/* Tag assignment: values kept on one record until rendering. Entries live
 * in the request heap, their strings in the engine's per-request
 * allocator, so no value outlives its request. A name occurs at most once
 * in a list; the list keeps the order of first assignment. */
#include <string.h>

#include "brisko_template.h"

extern "C" {

int brisko_check_tag(brisko_tpl *tpl, const char *name)
{
    if (!brisko_template_check_tagname_f) return 1;
    size_t len = strlen(name);
    for (int k = 0; k < tpl->segnum; k++) {
        const brisko_seg *g = &tpl->segs[k];
        if ((size_t)g->tag_len == len && (len == 0 || memcmp(tpl->content + g->tag_pos + 1, name, len) == 0))
            return 1;
    }
    brisko_template_illegal_tagname(name);
    return 0;
}

int brisko_template_assign(brisko_tpl *tpl, const char *name, const char *value)
{
    if (!brisko_check_tag(tpl, name)) return 0;

    brisko_tagvalue *last = NULL;
    for (brisko_tagvalue *tv = tpl->tagvalues; tv != NULL; tv = tv->next) {
        if (strcmp(tv->name, name) == 0) {
            char *copy = brisko_strdup(value, BK_TARGET_REQUEST_HEAP);
            if (copy == NULL) return 0;
            tv->value = copy; /* the old text goes with the request */
            return 1;
        }
        last = tv;
    }

    brisko_tagvalue *tv = (brisko_tagvalue *)brisko_malloc(sizeof(brisko_tagvalue), BK_TARGET_REQUEST_HEAP);
    if (tv == NULL) {
        brisko_template_memory_warning();
        return 0;
    }
    memset(tv, 0, sizeof *tv);
    tv->name = brisko_strdup(name, BK_TARGET_REQUEST_HEAP);
    tv->value = brisko_strdup(value, BK_TARGET_REQUEST_HEAP);
    if (tv->name == NULL || tv->value == NULL) return 0;
    if (last == NULL) tpl->tagvalues = tv;
    else last->next = tv;
    tpl->tagvalues_last = tv;
    return 1;
}

int brisko_template_assign_hash(brisko_tpl *tpl, HashTable *values)
{
    int ok = 1;
    zval **data;
    zend_hash_internal_pointer_reset_ex(values, NULL);
    while (zend_hash_get_current_data_ex(values, (void **)&data, NULL) == SUCCESS) {
        char *key = NULL;
        uint key_len = 0;
        ulong index = 0;
        if (zend_hash_get_current_key_ex(values, &key, &key_len, &index, 0, NULL) == HASH_KEY_IS_STRING) {
            convert_to_string_ex(data);
            if (!brisko_template_assign(tpl, key, Z_STRVAL_P(*data))) ok = 0;
        } else {
            ok = 0;
        }
        zend_hash_move_forward_ex(values, NULL);
    }
    return ok;
}

}
