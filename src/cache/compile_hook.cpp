/* The compile hook. Installed in place of the engine's zend_compile_file
 * at module start-up; hands every compilation to the hook it replaced. */
#include "php.h"
#include "php_brisko.h"

extern "C" {

zend_op_array *php_brisko_compile_file(zend_file_handle *file_handle, int type)
{
    return brisko_org_compile_file(file_handle, type);
}

}
