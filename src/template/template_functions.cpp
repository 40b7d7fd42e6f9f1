/* PHP-visible handlers of the template engine: load, check_tagname, get,
 * print and attach (the filling functions are in template_fill.cpp). Each
 * checks the exact argument count first; arguments are converted in place
 * in the documented order (a shared, non-reference value is separated
 * first, a reference is converted where it is). */
#include <stdint.h>

#include "php.h"
#include "php_brisko.h"
#include "brisko_template.h"

extern "C" {

int brisko_template_check_tagname_f = 0;

ZEND_FUNCTION(brisko_template_load)
{
    zval **path, **block_path = NULL;
    int argc = ZEND_NUM_ARGS();
    if (argc == 1) {
        if (zend_get_parameters_ex(1, &path) == FAILURE) WRONG_PARAM_COUNT;
    } else if (argc == 2) {
        if (zend_get_parameters_ex(2, &path, &block_path) == FAILURE) WRONG_PARAM_COUNT;
    } else {
        WRONG_PARAM_COUNT;
    }
    convert_to_string_ex(path);
    if (block_path) {
        convert_to_string_ex(block_path);
    }

    brisko_tpl *parsed = brisko_template_load_file(Z_STRVAL_P(*path));
    if (parsed == NULL) RETURN_NULL();
    brisko_tpl *src = parsed;
    if (block_path) {
        src = brisko_template_access(parsed, Z_STRVAL_P(*block_path));
        if (src == NULL) RETURN_LONG(0);
    }
    brisko_tpl *copy = _brisko_template_dup(src);
    if (copy == NULL) RETURN_NULL();
    RETURN_LONG(brisko_template_id(copy));
}

ZEND_FUNCTION(brisko_template_check_tagname)
{
    if (ZEND_NUM_ARGS() != 0) WRONG_PARAM_COUNT;
    brisko_template_check_tagname_f = 1;
}

/* Shared by get and print: the id's record rendered into the buffer, or
 * NULL (warning raised, buffer untouched) for an invalid id. */
static brisko_tpl *tpl_render_arg(zval **id)
{
    convert_to_long_ex(id);
    brisko_tpl *tpl = brisko_template_from_id(Z_LVAL_P(*id));
    if (tpl == NULL) {
        brisko_template_id_warning();
        return NULL;
    }
    brisko_template_render(tpl);
    return tpl;
}

ZEND_FUNCTION(brisko_template_get)
{
    zval **id;
    if (ZEND_NUM_ARGS() != 1 || zend_get_parameters_ex(1, &id) == FAILURE) WRONG_PARAM_COUNT;
    if (tpl_render_arg(id) == NULL) RETURN_NULL();
    const char *text = brisko_write_buf ? brisko_write_buf : "";
    uint len = (uint)strlen(text);
    RETURN_STRINGL(_estrndup(text, len), len, 0);
}

ZEND_FUNCTION(brisko_template_print)
{
    zval **id;
    if (ZEND_NUM_ARGS() != 1 || zend_get_parameters_ex(1, &id) == FAILURE) WRONG_PARAM_COUNT;
    if (tpl_render_arg(id) == NULL) RETURN_NULL();
    if (brisko_write_buf != NULL) zend_write(brisko_write_buf, (uint)brisko_write_buf_len);
    RETURN_NULL();
}

ZEND_FUNCTION(brisko_template_attach)
{
    zval **id, **name, **other_id;
    if (ZEND_NUM_ARGS() != 3 || zend_get_parameters_ex(3, &id, &name, &other_id) == FAILURE) WRONG_PARAM_COUNT;
    convert_to_long_ex(id);
    brisko_tpl *tpl = brisko_template_from_id(Z_LVAL_P(*id));
    if (tpl == NULL) {
        brisko_template_id_warning();
        RETURN_FALSE;
    }
    convert_to_string_ex(name);
    convert_to_long_ex(other_id);
    brisko_tpl *other = brisko_template_from_id(Z_LVAL_P(*other_id));
    if (other == NULL) {
        brisko_template_id_warning();
        RETURN_FALSE;
    }
    RETURN_BOOL(brisko_template_attach(tpl, Z_STRVAL_P(*name), other));
}

}
