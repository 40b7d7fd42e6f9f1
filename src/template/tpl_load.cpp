/* Loading and the template file cache.
 *
 * brisko_templatetable maps a file's resolved path (its NUL counted in the
 * key) to a brisko_tplfile in a sub-pool of bkpool_global; the parse it
 * points to has a root pool of its own. An entry is used while the file's
 * status-change time equals the stored one and replaced (never freed) when
 * it differs: copies made from the old parse earlier in the request keep
 * working. Paths and block paths of any length are handled: the resolved
 * path and the scratch copy of a block path are allocated to fit. */
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include "brisko_template.h"

/* Offsets in a parse are 32-bit; larger files are not templates. */
#define BRISKO_TPL_MAX_FILE ((off_t)1 << 30)

/* The text of a regular file up to its first NUL, in a malloc'd buffer;
 * NULL when it cannot be opened or read. */
static char *tpl_read_file(const char *path, const struct stat *st)
{
    if (!S_ISREG(st->st_mode) || st->st_size < 0 || st->st_size > BRISKO_TPL_MAX_FILE) return NULL;
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
    return buf;
}

extern "C" brisko_tpl *brisko_template_load_file(const char *path)
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
    if (brisko_templatetable != NULL && zend_hash_find(brisko_templatetable, resolved, key_len, &found) == SUCCESS) {
        brisko_tplfile *entry = *(brisko_tplfile **)found;
        if (entry->ctime == st.st_ctime) {
            free(resolved);
            return entry->tpl;
        }
    }

    char *text = tpl_read_file(resolved, &st);
    if (text == NULL) {
        free(resolved);
        return NULL;
    }
    brisko_tpl *tpl = _brisko_template_parse(text, NULL);
    free(text);
    if (tpl != NULL && brisko_templatetable != NULL && bkpool_global != NULL) {
        bkpool *pool = new_subbkpool(bkpool_global);
        brisko_tplfile *entry = (brisko_tplfile *)bkpool_malloc(sizeof(brisko_tplfile), pool);
        entry->ctime = st.st_ctime;
        entry->tpl = tpl;
        zend_hash_add_or_update(brisko_templatetable, resolved, key_len, &entry, sizeof(entry), NULL, HASH_UPDATE);
    }
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
        brisko_tpl *next = NULL;
        for (int i = 0; i < cur->subnum; i++) {
            if (cur->subs[i].name != NULL && strcmp(cur->subs[i].name, name) == 0) {
                next = cur->subs[i].bnlist->tpl;
                break;
            }
        }
        cur = next;
    }
    free(copy);
    if (cur == NULL && brisko_template_check_tagname_f) brisko_template_illegal_tagname(path);
    return cur;
}
