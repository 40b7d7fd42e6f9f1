/* The PHP module "PHP Brisko": its function table, its lifecycle hooks and
 * the process-global state they create.
 *
 * Start-up makes everything the other parts keep for the life of the
 * process (the global pool, the value-store, script-cache and template
 * tables, the output buffer, the request heap) and installs the compile
 * hook. Nothing of it is ever freed: it ends with the process, which the
 * request shut-down ends after its 10,001st request so that the server
 * starts a fresh one with empty caches.
 */
#include <stdlib.h>

#include "php.h"
#include "php_brisko.h"
#include "cache/cache.h"
#include "brisko_alloc.h"
#include "brisko_hash.h"
#include "brisko_cache.h"
#include "brisko_tpl.h"

extern "C" {

int bk_req_count = 0;
zend_op_array *(*brisko_org_compile_file)(zend_file_handle *file_handle, int type) = NULL;
HashTable *brisko_heaptable = NULL;
HashTable *brisko_filetable = NULL;
HashTable *brisko_templatetable = NULL;

zend_function_entry php_brisko_functions[] = {
    ZEND_FE(brisko_template_fetch, NULL)
    ZEND_FE(brisko_template_get, NULL)
    ZEND_FE(brisko_template_print, NULL)
    ZEND_FE(brisko_template_assign, NULL)
    ZEND_FE(brisko_template_assign_array, NULL)
    ZEND_FE(brisko_template_fetch_assign, NULL)
    ZEND_FE(brisko_template_fetch_assign_array, NULL)
    ZEND_FE(brisko_template_attach, NULL)
    ZEND_FE(brisko_template_load, NULL)
    ZEND_FE(brisko_template_check_tagname, NULL)
    ZEND_FE(brisko_heap_set, NULL)
    ZEND_FE(brisko_heap_get, NULL)
    ZEND_FE(brisko_heap_get_index, NULL)
    {NULL, NULL, NULL}
};

zend_module_entry php_brisko_module_entry = {
    STANDARD_MODULE_HEADER,
    PHP_BRISKO_NAME,
    php_brisko_functions,
    zm_startup_php_brisko,
    zm_shutdown_php_brisko,
    zm_activate_php_brisko,
    zm_deactivate_php_brisko,
    zm_info_php_brisko,
    PHP_BRISKO_VERSION,
    STANDARD_MODULE_PROPERTIES
};

int zm_startup_php_brisko(INIT_FUNC_ARGS)
{
    bk_req_count = 0;

    /* An engine started again in the same process finds the state of its
     * first start-up still in place; it is kept rather than leaked. */
    if (bkpool_global == NULL) {
        bkpool_global = new_bkpool();
        brisko_heaptable = brisko_init_hashtable(BRISKO_TABLE_SIZE_HINT, NULL, bkpool_global);
        brisko_filetable = brisko_init_hashtable(BRISKO_TABLE_SIZE_HINT, NULL, bkpool_global);
        brisko_templatetable = brisko_init_hashtable(BRISKO_TABLE_SIZE_HINT, NULL, bkpool_global);
    }

    if (zend_compile_file != php_brisko_compile_file) {
        brisko_org_compile_file = zend_compile_file;
        zend_compile_file = php_brisko_compile_file;
    }

    if (_brisko_template_startup() != SUCCESS) {
        zend_compile_file = brisko_org_compile_file;
        return FAILURE;
    }

    if (brisko_heap_create() != 0) {
        zend_compile_file = brisko_org_compile_file;
        zend_error(E_CORE_WARNING, "PHP Brisko: cannot reserve the request heap (%d bytes)", BRISKO_HEAP_SIZE);
        return FAILURE;
    }
    return SUCCESS;
}

int zm_shutdown_php_brisko(SHUTDOWN_FUNC_ARGS)
{
    if (brisko_org_compile_file != NULL) zend_compile_file = brisko_org_compile_file;
    return SUCCESS;
}

int zm_activate_php_brisko(INIT_FUNC_ARGS)
{
    bk_req_count++;
    brisko_heap_reset();
    _brisko_template_request_startup();
    brisko_copy_request_startup();
    brisko_cache_request_startup();
    return SUCCESS;
}

int zm_deactivate_php_brisko(SHUTDOWN_FUNC_ARGS)
{
    if (bk_req_count > BRISKO_MAX_REQUESTS) exit(0);
    return SUCCESS;
}

void zm_info_php_brisko(ZEND_MODULE_INFO_FUNC_ARGS)
{
    php_info_print_table_start();
    php_info_print_table_row(2, "PHP Brisko Version", PHP_BRISKO_VERSION);
    php_info_print_table_end();
}

}
