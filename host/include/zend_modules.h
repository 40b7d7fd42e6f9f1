/* Module entries: how a module names its functions and lifecycle hooks. */
#ifndef ZEND_MODULES_H
#define ZEND_MODULES_H

#include "zend.h"

#define ZEND_MODULE_API_NO 20010901

#define INIT_FUNC_ARGS int type, int module_number
#define INIT_FUNC_ARGS_PASSTHRU type, module_number
#define SHUTDOWN_FUNC_ARGS int type, int module_number
#define ZEND_MODULE_INFO_FUNC_ARGS struct _zend_module_entry *zend_module

#define MODULE_PERSISTENT 1
#define MODULE_TEMPORARY 2

typedef struct _zend_module_entry zend_module_entry;

struct _zend_module_entry {
    unsigned short size;
    unsigned int zend_api;
    unsigned char zend_debug;
    unsigned char zts;
    const char *name;
    zend_function_entry *functions;
    int (*module_startup_func)(INIT_FUNC_ARGS);
    int (*module_shutdown_func)(SHUTDOWN_FUNC_ARGS);
    int (*request_startup_func)(INIT_FUNC_ARGS);
    int (*request_shutdown_func)(SHUTDOWN_FUNC_ARGS);
    void (*info_func)(ZEND_MODULE_INFO_FUNC_ARGS);
    const char *version;
    int (*global_startup_func)(void);
    int (*global_shutdown_func)(void);
    int globals_id;
    int module_started;
    unsigned char type;
    void *handle;
    int module_number;
};

#define STANDARD_MODULE_HEADER sizeof(zend_module_entry), ZEND_MODULE_API_NO, 0, 0
#define STANDARD_MODULE_PROPERTIES NULL, NULL, 0, 0, 0, NULL, 0

BEGIN_EXTERN_C()
/* Registers the module's functions as internal functions, then runs its
 * start-up. SUCCESS or FAILURE. */
ZEND_API int zend_startup_module(zend_module_entry *module);
END_EXTERN_C()

#endif
