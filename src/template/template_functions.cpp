/* PHP-visible handlers of the template engine. Each checks the exact
 * argument count the engine passes before touching anything else. */
#include "php.h"
#include "php_brisko.h"
#include "brisko_tpl.h"

extern "C" {

int brisko_template_check_tagname_f = 0;
char *brisko_write_buf = NULL;
int brisko_write_buf_len = 0;
int brisko_write_buf_alloc = 0;

ZEND_FUNCTION(brisko_template_fetch)
{
    if (ZEND_NUM_ARGS() != 2 && ZEND_NUM_ARGS() != 3) WRONG_PARAM_COUNT;
}

ZEND_FUNCTION(brisko_template_get)
{
    if (ZEND_NUM_ARGS() != 1) WRONG_PARAM_COUNT;
}

ZEND_FUNCTION(brisko_template_print)
{
    if (ZEND_NUM_ARGS() != 1) WRONG_PARAM_COUNT;
}

ZEND_FUNCTION(brisko_template_assign)
{
    if (ZEND_NUM_ARGS() != 3) WRONG_PARAM_COUNT;
}

ZEND_FUNCTION(brisko_template_assign_array)
{
    if (ZEND_NUM_ARGS() != 2) WRONG_PARAM_COUNT;
}

ZEND_FUNCTION(brisko_template_fetch_assign)
{
    if (ZEND_NUM_ARGS() != 5) WRONG_PARAM_COUNT;
}

ZEND_FUNCTION(brisko_template_fetch_assign_array)
{
    if (ZEND_NUM_ARGS() != 4) WRONG_PARAM_COUNT;
}

ZEND_FUNCTION(brisko_template_attach)
{
    if (ZEND_NUM_ARGS() != 3) WRONG_PARAM_COUNT;
}

ZEND_FUNCTION(brisko_template_load)
{
    if (ZEND_NUM_ARGS() != 1 && ZEND_NUM_ARGS() != 2) WRONG_PARAM_COUNT;
}

ZEND_FUNCTION(brisko_template_check_tagname)
{
    if (ZEND_NUM_ARGS() != 0) WRONG_PARAM_COUNT;
}

}
