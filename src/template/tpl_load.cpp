/* Loading and the template file cache.
 *
 * brisko_templatetable maps a file's resolved path (its NUL counted in the
 * key) to a brisko_tplfile in a sub-pool of bkpool_global; the parse it
 * points to has a root pool of its own. An entry is used while the file's
 * status-change time equals the stored one and replaced when it differs.
 * Copies made from the old parse earlier in the request keep working: the
 * old parse and its entry are retired, and freed at the next request start,
 * when no request record can point into them any more. Paths and block
 * paths of any length are handled: the resolved path and the scratch copy
 * of a block path are allocated to fit. */
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include "brisko_template.h"

/* Pools of replaced parses and entries, to delete at the next request
 * start (a C-library array: it outlives requests). */
static bkpool **tpl_retired = NULL;
static size_t tpl_nretired = 0, tpl_capretired = 0;

static void tpl_retire(bkpool *pool)
{
    if (tpl_nretired == tpl_capretired) {
        size_t cap = tpl_capretired ? 2 * tpl_capretired : 16;
        bkpool **v = (bkpool **)realloc(tpl_retired, cap * sizeof(bkpool *));
        if (v == NULL) return; /* kept until the process ends, as if never retired */
        tpl_retired = v;
        tpl_capretired = cap;
    }
    tpl_retired[tpl_nretired++] = pool;
}

extern "C" void _brisko_template_request_startup(void)
{
    for (size_t i = 0; i < tpl_nretired; i++) delete_bkpool(tpl_retired[i]);
    tpl_nretired = 0;
    _brisko_template_output_trim();
}

/* Each load of a parse that ran into a limit says so. */
static void tpl_limit_warnings(const char *path, int limits, long long size)
{
    if (limits & BRISKO_TPL_LIMIT_DEPTH)
        zend_error(E_WARNING, "Template %s: blocks nested more than %d levels deep are left as text", path,
                   BRISKO_TPL_MAX_PARSE_DEPTH);
    if (limits & BRISKO_TPL_LIMIT_RECORDS)
        zend_error(E_WARNING,
                   "Template %s: its blocks and their first instances would pass %lld records; the single blocks "
                   "past them are left as text",
                   path, (long long)BRISKO_TPL_MAX_PARSE_RECORDS + size / BRISKO_TPL_RECORD_BYTES);
    if (limits & BRISKO_TPL_LIMIT_MEMORY)
        zend_error(E_WARNING, "Template %s: out of memory while parsing; some of its blocks are left as text", path);
}

/* The text of a regular file up to its first NUL, in a malloc'd buffer;
 * NULL when it cannot be opened or read. */
static char *tpl_read_file(const char *path, const struct stat *st, size_t *length)
{
    if (!S_ISREG(st->st_mode) || st->st_size < 0) return NULL;
    if (st->st_size > BRISKO_TPL_MAX_FILE) {
        zend_error(E_WARNING, "Template %s: %lld bytes is more than the %lld bytes a template file may have", path,
                   (long long)st->st_size, BRISKO_TPL_MAX_FILE);
        return NULL;
    }
    size_t size = (size_t)st->st_size;
    char *buf = (char *)calloc(size + 1, 1);
    if (buf == NULL) return NULL;
    FILE *f = fopen(path, "r");
    if (f == NULL) {
        free(buf);
        return NULL;
    }
    size_t got = size ? fread(buf, 1, size, f) : 0;
    int failed = ferror(f);
    fclose(f);
    if (failed || got > size) {
        free(buf);
        return NULL;
    }
    *length = got;
    return buf;
}

extern "C" brisko_tpl *_brisko_template_load_file(const char *path)
{
    char *resolved = realpath(path, NULL);
    if (resolved == NULL) return NULL;
    struct stat st;
    if (stat(resolved, &st) == -1) {
        free(resolved);
        return NULL;
    }
    uint key_len = (uint)strlen(resolved) + 1;
    void *found = NULL;
    brisko_tplfile *old = NULL;
    if (brisko_templatetable != NULL && zend_hash_find(brisko_templatetable, resolved, key_len, &found) == SUCCESS) {
        old = *(brisko_tplfile **)found;
        if (brisko_stamp_matches(&old->stamp, &st, resolved)) {
            tpl_limit_warnings(resolved, old->limits, (long long)st.st_size);
            free(resolved);
            return old->tpl;
        }
    }

    size_t length = 0;
    char *text = tpl_read_file(resolved, &st, &length);
    if (text == NULL) {
        free(resolved);
        return NULL;
    }
    int racy = brisko_change_is_recent(&st);
    uint64_t content_hash = racy ? brisko_content_hash(text, length) : 0;
    int limits = 0;
    brisko_tpl *tpl = _brisko_template_parse_file(text, strlen(text), &limits);
    free(text);
    if (tpl != NULL && brisko_templatetable != NULL && bkpool_global != NULL) {
        bkpool *pool = new_subbkpool(bkpool_global);
        brisko_tplfile *entry = (brisko_tplfile *)bkpool_malloc(sizeof(brisko_tplfile), pool);
        entry->ctime = st.st_ctime;
        brisko_stamp_set(&entry->stamp, &st, racy, content_hash);
        entry->tpl = tpl;
        entry->pool = pool;
        entry->limits = limits;
        zend_hash_add_or_update(brisko_templatetable, resolved, key_len, &entry, sizeof(entry), NULL, HASH_UPDATE);
        if (old != NULL) {
            tpl_retire(old->tpl->pool);
            tpl_retire(old->pool);
        }
    }
    if (tpl != NULL) tpl_limit_warnings(resolved, limits, (long long)st.st_size);
    free(resolved);
    return tpl;
}

extern "C" brisko_tpl *brisko_template_access(brisko_tpl *tpl, const char *path)
{
    size_t len = strlen(path);
    char *copy = (char *)malloc(len + 1);
    if (copy == NULL) return NULL;
    memcpy(copy, path, len + 1);

    brisko_tpl *cur = tpl;
    for (char *name = strtok(copy, "->"); name != NULL && cur != NULL; name = strtok(NULL, "->")) {
        brisko_sub *sub = _brisko_template_find_sub(cur, name, strlen(name));
        cur = sub != NULL ? sub->bnlist->tpl : NULL;
    }
    free(copy);
    if (cur == NULL && brisko_template_check_tagname_f) _brisko_template_illegal_tagname(path);
    return cur;
}
