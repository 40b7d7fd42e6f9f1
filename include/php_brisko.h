/* The module: process-global state created at start-up and the handlers of
 * the PHP functions. */
#ifndef PHP_BRISKO_H
#define PHP_BRISKO_H

#include "php.h"
#include "brisko_pool.h"

#ifdef __cplusplus
extern "C" {
#endif

#define PHP_BRISKO_NAME "PHP Brisko"
#define PHP_BRISKO_VERSION "1.02"
/* The process ends at the end of the request after this many have started. */
#define BRISKO_MAX_REQUESTS 10000

extern zend_module_entry php_brisko_module_entry;
extern zend_function_entry php_brisko_functions[];
extern int bk_req_count;
extern zend_op_array *(*brisko_org_compile_file)(zend_file_handle *file_handle, int type);
extern HashTable *brisko_heaptable;

int php_brisko_startup(zend_extension *extension);
int zm_startup_php_brisko(INIT_FUNC_ARGS);
int zm_shutdown_php_brisko(SHUTDOWN_FUNC_ARGS);
int zm_activate_php_brisko(INIT_FUNC_ARGS);
int zm_deactivate_php_brisko(SHUTDOWN_FUNC_ARGS);
void zm_info_php_brisko(ZEND_MODULE_INFO_FUNC_ARGS);

zend_op_array *php_brisko_compile_file(zend_file_handle *file_handle, int type);

ZEND_FUNCTION(brisko_template_fetch);
ZEND_FUNCTION(brisko_template_get);
ZEND_FUNCTION(brisko_template_print);
ZEND_FUNCTION(brisko_template_assign);
ZEND_FUNCTION(brisko_template_assign_array);
ZEND_FUNCTION(brisko_template_fetch_assign);
ZEND_FUNCTION(brisko_template_fetch_assign_array);
ZEND_FUNCTION(brisko_template_attach);
ZEND_FUNCTION(brisko_template_load);
ZEND_FUNCTION(brisko_template_check_tagname);
ZEND_FUNCTION(brisko_heap_set);
ZEND_FUNCTION(brisko_heap_get);
ZEND_FUNCTION(brisko_heap_get_index);

#ifdef __cplusplus
}
#endif

#endif
