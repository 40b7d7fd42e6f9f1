/* The compile hook: serves a script from the cache when its entry is valid,
 * else lets the engine compile it and saves what the compilation made.
 *
 * An entry is valid while the file's status-change time equals the one
 * recorded; a stale entry is dropped on the spot. Entries are never
 * evicted, and their pools live until the process ends, so code handed to
 * a request from an entry stays valid even after the entry is replaced. */
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include "cache.h"
#include "php_brisko.h"

/* Resolved paths are cached up to this length; longer ones compile
 * uncached. */
#define BRISKO_PATH_MAX 255


static zend_op_array *brisko_pass_through(zend_file_handle *file_handle, int type)
{
    return brisko_org_compile_file(file_handle, type);
}

/* The engine opened the file itself (include_once): a handle it will not
 * hand to its compiler is closed here. */
static void brisko_close_opened(zend_file_handle *file_handle)
{
    if (file_handle->opened_path != NULL && file_handle->handle.fp != NULL)
        fclose(file_handle->handle.fp);
}

static void brisko_drop_snapshots(void)
{
    if (bk_tmp_class_table != NULL) {
        zend_hash_destroy(bk_tmp_class_table);
        _efree(bk_tmp_class_table);
        bk_tmp_class_table = NULL;
    }
    if (bk_tmp_function_table != NULL) {
        zend_hash_destroy(bk_tmp_function_table);
        _efree(bk_tmp_function_table);
        bk_tmp_function_table = NULL;
    }
}

void brisko_cache_request_startup(void)
{
    /* A fatal compile error never returns to the hook; the request that
     * had the snapshots has released their memory. */
    bk_tmp_function_table = NULL;
    bk_tmp_class_table = NULL;
}

static zend_op_array *brisko_compile_and_save(zend_file_handle *file_handle, int type, const char *path,
                                              struct stat *status)
{
    if (bk_tmp_function_table == NULL) {
        bk_tmp_function_table = brisko_init_hashtable(100, NULL, BK_TARGET_ENGINE);
        if (bk_tmp_function_table == NULL)
            return NULL;
    }
    brisko_foreach(CG(function_table), brisko_save_tmp_function1, 1, 0);
    if (bk_tmp_class_table == NULL) {
        bk_tmp_class_table = brisko_init_hashtable(100, NULL, BK_TARGET_ENGINE);
        if (bk_tmp_class_table == NULL)
            return NULL;
    }
    brisko_foreach(CG(class_table), brisko_save_tmp_class1, 1, 0);

    zend_op_array *compiled = brisko_org_compile_file(file_handle, type);

    bkpool *pool = new_subbkpool(bkpool_global);
    brisko_file_entry *entry = (brisko_file_entry *)bkpool_malloc(sizeof(brisko_file_entry), pool);
    if (entry == NULL) {
        brisko_drop_snapshots();
        return compiled;
    }
    memset(entry, 0, sizeof(*entry));
    entry->pool = pool;
    entry->path = brisko_strdup(path, pool);
    entry->ctime = status->st_ctime;

    brisko_save_incomplete = 0;
    brisko_save_op(&entry->op_array, compiled, pool);
    brisko_foreach(CG(function_table), brisko_save_function1, 1, entry);
    brisko_foreach(CG(class_table), brisko_save_class1, 1, entry);
    if (brisko_save_incomplete) {
        /* Recorded without code: this version of the file is compiled
         * every time rather than served without one of its classes. */
        entry->op_array = NULL;
    }

    zend_hash_add_or_update(brisko_filetable, entry->path, strlen(entry->path) + 1, entry,
                            sizeof(brisko_file_entry), NULL, HASH_ADD);
    brisko_drop_snapshots();
    return compiled;
}

zend_op_array *php_brisko_compile_file(zend_file_handle *file_handle, int type)
{
    if (sapi_module.name != NULL && strcmp(sapi_module.name, "cgi") == 0)
        return brisko_pass_through(file_handle, type);
    if (file_handle == NULL || file_handle->filename == NULL)
        return brisko_pass_through(file_handle, type);

    char resolved[PATH_MAX];
    if (realpath(file_handle->filename, resolved) == NULL)
        return brisko_pass_through(file_handle, type);
    if (strlen(resolved) > BRISKO_PATH_MAX)
        return brisko_pass_through(file_handle, type);

    struct stat status;
    if (stat(resolved, &status) == -1) {
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
