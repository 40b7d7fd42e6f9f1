/* The two records by which the engine finds and checks the extension, and
 * its start-up, which registers and starts the PHP module. The engine looks
 * them up by name; the object offers no other way in. */
#include "php.h"
#include "php_brisko.h"

extern "C" {

ZEND_DLEXPORT zend_extension_version_info extension_version_info = {
    ZEND_EXTENSION_API_NO,
    ZEND_VERSION,
    0, /* not thread-safe */
    0, /* not a debug build */
};

ZEND_DLEXPORT zend_extension zend_extension_entry = {
    PHP_BRISKO_NAME,
    PHP_BRISKO_VERSION,
    "The php_brisko developers",
    "https://github.com/php-brisko/php_brisko",
    "Copyright (c) the php_brisko developers",
    php_brisko_startup,
    NULL, /* shutdown */
    NULL, /* activate */
    NULL, /* deactivate */
    NULL, /* message_handler */
    NULL, /* op_array_handler */
    NULL, /* statement_handler */
    NULL, /* fcall_begin_handler */
    NULL, /* fcall_end_handler */
    NULL, /* op_array_ctor */
    NULL, /* op_array_dtor */
    NULL, /* api_no_check */
    NULL, NULL, NULL, NULL, NULL, NULL, NULL, /* reserved2 .. reserved8 */
    NULL, /* handle */
    0,    /* resource_number */
};

int php_brisko_startup(zend_extension *extension)
{
    (void)extension;
    return zend_startup_module(&php_brisko_module_entry);
}

}
