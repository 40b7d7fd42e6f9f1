/* The compile hook: serves a script from the cache when its entry is valid,
 * else lets the engine compile it and saves what the compilation made.
 *
 * An entry is valid while the file's status-change time (seconds and
 * nanoseconds) and size equal the ones recorded; a stale entry is dropped
 * on the spot. Entries are never evicted, and their pools live until the
 * process ends, so code handed to a request from an entry stays valid even
 * after the entry is replaced. */
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "cache.h"
#include "php_brisko.h"

/* Resolved paths are cached up to this length; longer ones compile
 * uncached. */
#define BRISKO_PATH_MAX 255

/* Where an engine table ended before a compilation. The compiler only
 * appends to the function and class tables (run-time keys are unique per
 * compilation), so what a compilation declared is exactly what follows
 * the old last element. */
typedef struct brisko_table_mark {
    Bucket *tail; /* the last element before, NULL for an empty table */
    uint count;
} brisko_table_mark;

static void brisko_mark_table(HashTable *ht, brisko_table_mark *mark)
{
    mark->tail = ht->pListTail;
    mark->count = ht->nNumOfElements;
}

/* Whether the table still holds the marked element, with only appended
 * elements after it: stepping back over what was added must land on it.
 * Costs the number of elements added, and never reads an element that a
 * removal may have freed. */
static int brisko_mark_holds(HashTable *ht, const brisko_table_mark *mark)
{
    if (ht->nNumOfElements < mark->count)
        return 0;
    Bucket *p = ht->pListTail;
    for (uint added = ht->nNumOfElements - mark->count; added > 0 && p != NULL; added--)
        p = p->pListLast;
    return p == mark->tail;
}

/* Pools of entries removed from the table, deleted when the next request
 * starts: by then nothing restored from them can still run. */
static bkpool **brisko_retired = NULL;
static size_t brisko_retired_count = 0, brisko_retired_capacity = 0;

void brisko_retire_pool(bkpool *pool)
{
    if (brisko_retired_count == brisko_retired_capacity) {
        size_t capacity = brisko_retired_capacity ? brisko_retired_capacity * 2 : 16;
        bkpool **grown = (bkpool **)realloc(brisko_retired, capacity * sizeof(bkpool *));
        if (grown == NULL)
            return; /* kept for the life of the process instead */
        brisko_retired = grown;
        brisko_retired_capacity = capacity;
    }
    brisko_retired[brisko_retired_count++] = pool;
}

void brisko_cache_request_startup(void)
{
    for (size_t i = 0; i < brisko_retired_count; i++)
        delete_bkpool(brisko_retired[i]);
    brisko_retired_count = 0;
}

/* Entries are dropped when a lookup finds them stale, so an entry whose
 * file is deleted, or replaced and never included again, would stay for
 * the life of the process: a site that includes a file of a new name in
 * every request (generated files, deleted after use) would grow without
 * bound. Whenever the table has doubled since the last look, every entry
 * is checked against its file's status, and those that can no longer be
 * served (the file is gone, or another file or another version of it is
 * at the path) leave the table; an entry whose file changed too recently
 * to tell is kept. Checking costs one stat per entry, at most once per
 * entry added. */
#define BRISKO_SWEEP_FIRST 256
static uint brisko_sweep_at = BRISKO_SWEEP_FIRST;

static int brisko_entry_outdated(const brisko_file_entry *entry)
{
    struct stat status;
    if (stat(entry->path, &status) != 0)
        return 1;
    const brisko_file_stamp *stamp = &entry->stamp;
    return stamp->ctime != status.st_ctime || stamp->ctime_nsec != status.st_ctim.tv_nsec ||
           stamp->size != status.st_size || stamp->dev != status.st_dev || stamp->ino != status.st_ino;
}

static void brisko_sweep_entries(void)
{
    uint count = (uint)zend_hash_num_elements(brisko_filetable);
    brisko_file_entry **outdated = (brisko_file_entry **)malloc((count ? count : 1) * sizeof(brisko_file_entry *));
    uint n = 0;
    if (outdated != NULL) {
        for (Bucket *p = brisko_filetable->pListHead; p != NULL; p = p->pListNext) {
            brisko_file_entry *entry = (brisko_file_entry *)p->pData;
            if (brisko_entry_outdated(entry))
                outdated[n++] = entry;
        }
        /* Code restored from them may still run in this request: their
         * pools go when the next one starts. */
        for (uint i = 0; i < n; i++) {
            bkpool *pool = outdated[i]->pool;
            const char *path = outdated[i]->path; /* in the pool, not in the table's copy */
            zend_hash_del_key_or_index(brisko_filetable, path, (uint)strlen(path) + 1, 0, HASH_DEL_KEY);
            brisko_retire_pool(pool);
        }
        free(outdated);
    }
    uint left = (uint)zend_hash_num_elements(brisko_filetable);
    brisko_sweep_at = left * 2 > BRISKO_SWEEP_FIRST ? left * 2 : BRISKO_SWEEP_FIRST;
}

static zend_op_array *brisko_pass_through(zend_file_handle *file_handle, int type)
{
    return brisko_org_compile_file(file_handle, type);
}

/* The engine opened the file itself: a handle it will not hand to its
 * compiler is closed here. */
static void brisko_close_opened(zend_file_handle *file_handle)
{
    if (file_handle->opened_path != NULL && file_handle->handle.fp != NULL)
        fclose(file_handle->handle.fp);
}

/* The resolved path and status of the file to compile. When the engine has
 * opened the file, its opened path is already resolved and the open
 * stream gives the status of exactly the file it will read; otherwise the
 * name is resolved against the current directory. 0: pass through;
 * -1: the file cannot be looked at (null result); 1: done. */
static int brisko_locate(zend_file_handle *file_handle, char *resolved, struct stat *status)
{
    const char *opened = file_handle->opened_path;
    if (opened != NULL && opened[0] == '/' && file_handle->handle.fp != NULL) {
        size_t length = strlen(opened);
        if (length > BRISKO_PATH_MAX)
            return 0;
        memcpy(resolved, opened, length + 1);
        return fstat(fileno(file_handle->handle.fp), status) == 0 ? 1 : -1;
    }
    if (realpath(file_handle->filename, resolved) == NULL)
        return 0;
    if (strlen(resolved) > BRISKO_PATH_MAX)
        return 0;
    return stat(resolved, status) == 0 ? 1 : -1;
}

/* A file that changed in the current clock tick: the compiler is handed
 * the bytes read here, so that the hash recorded is that of exactly what
 * it compiled. 0 when the content cannot be had: then nothing is
 * recorded. */
static int brisko_pin_content(zend_file_handle *file_handle, const char *path, uint64_t *hash)
{
    FILE *source = file_handle->handle.fp != NULL ? file_handle->handle.fp : fopen(path, "rb");
    if (source == NULL)
        return 0;
    size_t length = 0;
    char *content = brisko_read_stream(source, &length);
    if (content == NULL) {
        if (source != file_handle->handle.fp)
            fclose(source);
        return 0;
    }
    FILE *pinned = length > 0 ? fmemopen(content, length, "rb") : NULL;
    if (length > 0 && pinned == NULL) {
        if (source != file_handle->handle.fp)
            fclose(source);
        return 0;
    }
    if (pinned == NULL) {
        /* An empty file: the compiler reads the original stream, at its end. */
        if (source != file_handle->handle.fp)
            file_handle->handle.fp = source;
    } else {
        fclose(source);
        file_handle->handle.fp = pinned;
    }
    *hash = brisko_content_hash(content, length);
    return 1;
}

static zend_op_array *brisko_compile_and_save(zend_file_handle *file_handle, int type, const char *path,
                                              struct stat *status)
{
    uint64_t content_hash = 0;
    int racy = brisko_change_is_recent(status);
    if (racy && !brisko_pin_content(file_handle, path, &content_hash))
        return brisko_pass_through(file_handle, type);

    brisko_table_mark functions, classes;
    brisko_mark_table(CG(function_table), &functions);
    brisko_mark_table(CG(class_table), &classes);

    zend_op_array *compiled = brisko_org_compile_file(file_handle, type);

    /* Something removed entries while the file compiled: what it declared
     * cannot be told apart, so this compilation is not recorded. */
    if (!brisko_mark_holds(CG(function_table), &functions) || !brisko_mark_holds(CG(class_table), &classes))
        return compiled;

    bkpool *pool = new_subbkpool(bkpool_global);
    brisko_file_entry *entry = (brisko_file_entry *)bkpool_malloc(sizeof(brisko_file_entry), pool);
    if (entry == NULL)
        return compiled;
    memset(entry, 0, sizeof(*entry));
    entry->pool = pool;
    entry->path = brisko_strdup(path, pool);
    entry->ctime = status->st_ctime;
    brisko_stamp_set(&entry->stamp, status, racy, content_hash);

    brisko_save_start();
    brisko_save_op(&entry->op_array, compiled, pool);
    brisko_foreach_after(CG(function_table), functions.tail, brisko_save_function1, 1, entry);
    brisko_foreach_after(CG(class_table), classes.tail, brisko_save_class1, 1, entry);
    brisko_note_late_parents(entry);
    brisko_note_literal_args(entry);
    if (brisko_save_incomplete) {
        /* Recorded without code: this version of the file is compiled
         * every time rather than served without one of its classes. */
        entry->op_array = NULL;
    }

    if ((uint)zend_hash_num_elements(brisko_filetable) >= brisko_sweep_at)
        brisko_sweep_entries();
    zend_hash_add_or_update(brisko_filetable, entry->path, strlen(entry->path) + 1, entry,
                            sizeof(brisko_file_entry), NULL, HASH_ADD);
    return compiled;
}

zend_op_array *php_brisko_compile_file(zend_file_handle *file_handle, int type)
{
    if (sapi_module.name != NULL && strcmp(sapi_module.name, "cgi") == 0)
        return brisko_pass_through(file_handle, type);
    if (file_handle == NULL || file_handle->filename == NULL)
        return brisko_pass_through(file_handle, type);
    /* A stream the engine has already read into (past a main script's
     * "#!" line) compiles to less than the file, counted from another
     * line: an entry holds what the whole file compiles to. */
    if (file_handle->handle.fp != NULL && ftello(file_handle->handle.fp) != 0)
        return brisko_pass_through(file_handle, type);

    char resolved[PATH_MAX];
    struct stat status;
    int located = brisko_locate(file_handle, resolved, &status);
    if (located == 0)
        return brisko_pass_through(file_handle, type);
    if (located < 0) {
        brisko_close_opened(file_handle);
        return NULL;
    }

    int found = 0;
    zend_op_array *cached = brisko_load_cache1(resolved, &found, &status);
    if (cached != NULL) {
        brisko_close_opened(file_handle);
        return cached;
    }
    if (found)
        return brisko_pass_through(file_handle, type);
    return brisko_compile_and_save(file_handle, type, resolved, &status);
}
