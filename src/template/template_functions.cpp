/* The PHP functions of the template engine: thin layers over the internal
 * routines. Each checks the exact argument count first; arguments are
 * converted in place (a shared, non-reference value is separated first, a
 * reference is converted where it is). Their argument orders differ on
 * purpose: which argument is converted and checked first decides which
 * warning a script sees, and each function keeps its own documented order. */
#include <stdint.h>
#include <string.h>

#include "php.h"
#include "php_brisko.h"
#include "brisko_template.h"

/* The id argument converted to an integer and checked; NULL with the
 * warning raised when it names no template record. */
static brisko_tpl *tpl_id_arg(zval **id)
{
    convert_to_long_ex(id);
    brisko_tpl *tpl = _brisko_template_from_id(Z_LVAL_P(*id));
    if (tpl == NULL) _brisko_template_id_warning();
    return tpl;
}

static void tpl_keys_warning(void)
{
    zend_error(E_WARNING, "argument to keys() should be an array");
}

/* Length of a string argument as a NUL-terminated text: up to a NUL it
 * holds. */
static size_t tpl_text_len(zval *s)
{
    size_t len = Z_STRLEN_P(s) > 0 ? (size_t)Z_STRLEN_P(s) : 0;
    const char *nul = (const char *)memchr(Z_STRVAL_P(s), '\0', len);
    return nul ? (size_t)(nul - Z_STRVAL_P(s)) : len;
}

static int tpl_assign_args(brisko_tpl *tpl, zval *tag, zval *value)
{
    return _brisko_template_assign_n(tpl, Z_STRVAL_P(tag), tpl_text_len(tag), Z_STRVAL_P(value), tpl_text_len(value));
}

extern "C" {

int brisko_template_check_tagname_f = 0;

ZEND_FUNCTION(brisko_template_fetch)
{
    zval **id, **name, **index = NULL;
    int argc = ZEND_NUM_ARGS();
    if (argc == 2) {
        if (zend_get_parameters_ex(2, &id, &name) == FAILURE) WRONG_PARAM_COUNT;
    } else if (argc == 3) {
        if (zend_get_parameters_ex(3, &id, &name, &index) == FAILURE) WRONG_PARAM_COUNT;
    } else {
        WRONG_PARAM_COUNT;
    }
    long i = 0;
    if (index) {
        convert_to_long_ex(index);
        i = Z_LVAL_P(*index);
    }
    brisko_tpl *tpl = tpl_id_arg(id);
    if (tpl == NULL) RETURN_NULL();
    convert_to_string_ex(name);
    brisko_tpl *inst = brisko_template_fetch(tpl, Z_STRVAL_P(*name), i);
    if (inst == NULL) RETURN_NULL();
    RETURN_LONG(_brisko_template_id(inst));
}

ZEND_FUNCTION(brisko_template_get)
{
    zval **id;
    if (ZEND_NUM_ARGS() != 1 || zend_get_parameters_ex(1, &id) == FAILURE) WRONG_PARAM_COUNT;
    brisko_tpl *tpl = tpl_id_arg(id);
    if (tpl == NULL) RETURN_NULL();
    _brisko_template_render(tpl);
    const char *text = brisko_write_buf ? brisko_write_buf : "";
    uint len = (uint)strlen(text);
    RETURN_STRINGL(_estrndup(text, len), len, 0);
}

ZEND_FUNCTION(brisko_template_print)
{
    zval **id;
    if (ZEND_NUM_ARGS() != 1 || zend_get_parameters_ex(1, &id) == FAILURE) WRONG_PARAM_COUNT;
    brisko_tpl *tpl = tpl_id_arg(id);
    if (tpl == NULL) RETURN_NULL();
    _brisko_template_render(tpl);
    if (brisko_write_buf != NULL) zend_write(brisko_write_buf, (uint)brisko_write_buf_len);
    RETURN_NULL();
}

ZEND_FUNCTION(brisko_template_assign)
{
    zval **id, **tag, **value;
    if (ZEND_NUM_ARGS() != 3 || zend_get_parameters_ex(3, &id, &tag, &value) == FAILURE) WRONG_PARAM_COUNT;
    brisko_tpl *tpl = tpl_id_arg(id);
    if (tpl == NULL) RETURN_FALSE;
    convert_to_string_ex(tag);
    convert_to_string_ex(value);
    RETURN_BOOL(tpl_assign_args(tpl, *tag, *value));
}

ZEND_FUNCTION(brisko_template_assign_array)
{
    zval **id, **values;
    if (ZEND_NUM_ARGS() != 2 || zend_get_parameters_ex(2, &id, &values) == FAILURE) WRONG_PARAM_COUNT;
    if (Z_TYPE_P(*values) != IS_ARRAY) {
        tpl_keys_warning();
        RETURN_NULL();
    }
    brisko_tpl *tpl = tpl_id_arg(id);
    if (tpl == NULL) RETURN_FALSE;
    RETURN_BOOL(_brisko_template_assign_hash(tpl, Z_ARRVAL_P(*values)));
}

ZEND_FUNCTION(brisko_template_fetch_assign)
{
    zval **id, **name, **index, **tag, **value;
    if (ZEND_NUM_ARGS() != 5 || zend_get_parameters_ex(5, &id, &name, &index, &tag, &value) == FAILURE)
        WRONG_PARAM_COUNT;
    brisko_tpl *tpl = tpl_id_arg(id);
    if (tpl == NULL) RETURN_FALSE;
    convert_to_long_ex(index);
    convert_to_string_ex(name);
    convert_to_string_ex(tag);
    convert_to_string_ex(value);
    brisko_tpl *inst = brisko_template_fetch(tpl, Z_STRVAL_P(*name), Z_LVAL_P(*index));
    if (inst == NULL) RETURN_FALSE;
    RETURN_BOOL(tpl_assign_args(inst, *tag, *value));
}

ZEND_FUNCTION(brisko_template_fetch_assign_array)
{
    zval **id, **name, **index, **values;
    if (ZEND_NUM_ARGS() != 4 || zend_get_parameters_ex(4, &id, &name, &index, &values) == FAILURE)
        WRONG_PARAM_COUNT;
    brisko_tpl *tpl = tpl_id_arg(id);
    if (tpl == NULL) RETURN_FALSE;
    convert_to_long_ex(index);
    convert_to_string_ex(name);
    if (Z_TYPE_P(*values) != IS_ARRAY) {
        tpl_keys_warning();
        RETURN_FALSE;
    }
    brisko_tpl *inst = brisko_template_fetch(tpl, Z_STRVAL_P(*name), Z_LVAL_P(*index));
    if (inst == NULL) RETURN_FALSE;
    RETURN_BOOL(_brisko_template_assign_hash(inst, Z_ARRVAL_P(*values)));
}

ZEND_FUNCTION(brisko_template_attach)
{
    zval **id, **name, **other_id;
    if (ZEND_NUM_ARGS() != 3 || zend_get_parameters_ex(3, &id, &name, &other_id) == FAILURE) WRONG_PARAM_COUNT;
    brisko_tpl *tpl = tpl_id_arg(id);
    if (tpl == NULL) RETURN_FALSE;
    convert_to_string_ex(name);
    brisko_tpl *other = tpl_id_arg(other_id);
    if (other == NULL) RETURN_FALSE;
    RETURN_BOOL(_brisko_template_attach(tpl, Z_STRVAL_P(*name), other));
}

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

    brisko_tpl *parsed = _brisko_template_load_file(Z_STRVAL_P(*path));
    if (parsed == NULL) RETURN_NULL();
    brisko_tpl *src = parsed;
    if (block_path) {
        src = brisko_template_access(parsed, Z_STRVAL_P(*block_path));
        if (src == NULL) RETURN_LONG(0);
    }
    brisko_tpl *copy = _brisko_template_dup(src);
    if (copy == NULL) RETURN_NULL();
    RETURN_LONG(_brisko_template_id(copy));
}

ZEND_FUNCTION(brisko_template_check_tagname)
{
    if (ZEND_NUM_ARGS() != 0) WRONG_PARAM_COUNT;
    brisko_template_check_tagname_f = 1;
}

}
