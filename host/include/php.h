/* Everything an extension may use of the engine. */
#ifndef PHP_H
#define PHP_H

#include "zend.h"
#include "zend_alloc.h"
#include "zend_API.h"
#include "zend_compile.h"
#include "zend_extensions.h"
#include "zend_globals.h"
#include "zend_hash.h"
#include "zend_modules.h"
#include "zend_operators.h"
#include "php_info.h"
#include "php_regex.h"
#include "php_version.h"
#include "SAPI.h"

#define PHP_FUNCTION ZEND_FUNCTION
#define PHP_FE ZEND_FE
#define PHP_MINIT_FUNCTION(module) int ZEND_MODULE_STARTUP_N(module)(INIT_FUNC_ARGS)
#define PHP_MSHUTDOWN_FUNCTION(module) int ZEND_MODULE_SHUTDOWN_N(module)(SHUTDOWN_FUNC_ARGS)
#define PHP_RINIT_FUNCTION(module) int ZEND_MODULE_ACTIVATE_N(module)(INIT_FUNC_ARGS)
#define PHP_RSHUTDOWN_FUNCTION(module) int ZEND_MODULE_DEACTIVATE_N(module)(SHUTDOWN_FUNC_ARGS)
#define PHP_MINFO_FUNCTION(module) void ZEND_MODULE_INFO_N(module)(ZEND_MODULE_INFO_FUNC_ARGS)

#endif
