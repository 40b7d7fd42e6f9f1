/* Output control: the script's side of output buffering, whose levels the
 * engine's output layer keeps. */
#include <algorithm>
#include <cctype>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

const char default_handler_name[] = "default output handler";

/* Starts one level per handler the value names: a callable, a list of
 * names separated by commas, or an array of such. */
void start_levels(zval *handler, std::size_t chunk_size, bool erase)
{
    if (!handler || handler->type == IS_NULL || handler->type == IS_BOOL || handler->type == IS_LONG ||
        handler->type == IS_DOUBLE || (handler->type == IS_STRING && handler->value.str.len == 0)) {
        zend::start_output_level(nullptr, default_handler_name, chunk_size, erase);
        return;
    }
    if (handler->type == IS_OBJECT) {
        const char *cls = handler->value.obj.ce && handler->value.obj.ce->name ? handler->value.obj.ce->name : "stdClass";
        function_error(E_ERROR,
                       "No method name given: use ob_start(array($object,'method')) to specify instance $object and "
                       "the name of a method of class %s to use as output handler",
                       cls);
        return;
    }
    if (handler->type == IS_ARRAY) {
        std::string name;
        if (zend::user_callable_exists(handler, &name)) {
            zend::start_output_level(handler, name, chunk_size, erase);
            return;
        }
        for (const element &e : elements(handler->value.ht))
            start_levels(*e.data, chunk_size, erase);
        return;
    }
    std::string names = to_string(handler);
    std::size_t from = 0;
    while (true) {
        std::size_t comma = names.find(',', from);
        std::string name = names.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        zval *one = new_string(name);
        zend::start_output_level(one, name.empty() ? default_handler_name : name, chunk_size, erase);
        zval_ptr_dtor(&one);
        if (comma == std::string::npos)
            break;
        from = comma + 1;
    }
}

/* The checks before a level is cleaned, flushed or ended. */
bool level_changeable(const char *failure)
{
    if (zend::in_output_handler()) {
        function_error(E_WARNING, "Cannot use output buffering in output buffering display handlers");
        return false;
    }
    auto &levels = zend::output_levels();
    if (levels.empty()) {
        function_error(E_NOTICE, "%s", failure);
        return false;
    }
    const zend::output_level &top = levels.back();
    if (top.status == 0 && !top.erase) {
        function_error(E_NOTICE, "failed to delete buffer %s.", top.name.c_str());
        return false;
    }
    return true;
}

bool top_text(zval *return_value)
{
    auto &levels = zend::output_levels();
    if (levels.empty())
        return false;
    return_string(return_value, levels.back().text);
    return true;
}

} // namespace

/* ob_start([handler [, chunk_size [, erase]]]): a chunk size of 1 means
 * 4096 bytes. */
ZEND_FUNCTION(ob_start)
{
    zval *handler = nullptr;
    long chunk = 0;
    bool erase = true;
    if (!parse_args(ZEND_NUM_ARGS(), "|zlb", &handler, &chunk, &erase))
        return;
    if (zend::in_output_handler()) {
        function_error(E_ERROR, "Cannot use output buffering in output buffering display handlers");
        RETURN_FALSE;
    }
    std::size_t chunk_size = chunk == 1 ? 4096 : chunk < 0 ? 0 : static_cast<std::size_t>(chunk);
    start_levels(handler, chunk_size, erase);
    RETURN_TRUE;
}

ZEND_FUNCTION(ob_flush)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    if (zend::in_output_handler()) {
        function_error(E_WARNING, "Cannot use output buffering in output buffering display handlers");
        RETURN_FALSE;
    }
    if (zend::output_levels().empty()) {
        function_error(E_NOTICE, "failed to flush buffer. No buffer to flush.");
        RETURN_FALSE;
    }
    zend::end_output_level(true, true);
    RETURN_TRUE;
}

/* ob_clean: the handler still sees the text it loses. */
ZEND_FUNCTION(ob_clean)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    if (!level_changeable("failed to delete buffer. No buffer to delete."))
        RETURN_FALSE;
    zend::end_output_level(false, true);
    RETURN_TRUE;
}

ZEND_FUNCTION(ob_end_flush)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    if (!level_changeable("failed to delete and flush buffer. No buffer to delete or flush."))
        RETURN_FALSE;
    zend::end_output_level(true, false);
    RETURN_TRUE;
}

ZEND_FUNCTION(ob_end_clean)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    if (!level_changeable("failed to delete buffer. No buffer to delete."))
        RETURN_FALSE;
    zend::end_output_level(false, false);
    RETURN_TRUE;
}

/* ob_get_flush and ob_get_clean: false, quietly, without a level. */
ZEND_FUNCTION(ob_get_flush)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    if (!top_text(return_value))
        RETURN_FALSE;
    if (!level_changeable("failed to delete and flush buffer. No buffer to delete or flush.")) {
        zval_dtor(return_value);
        RETURN_FALSE;
    }
    zend::end_output_level(true, false);
}

ZEND_FUNCTION(ob_get_clean)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    if (!top_text(return_value))
        RETURN_FALSE;
    if (!level_changeable("failed to delete buffer. No buffer to delete.")) {
        zval_dtor(return_value);
        RETURN_FALSE;
    }
    zend::end_output_level(false, false);
}

ZEND_FUNCTION(ob_get_contents)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    if (!top_text(return_value))
        RETURN_FALSE;
}

ZEND_FUNCTION(ob_get_length)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    auto &levels = zend::output_levels();
    if (levels.empty())
        RETURN_FALSE;
    RETURN_LONG(static_cast<long>(levels.back().text.size()));
}

ZEND_FUNCTION(ob_get_level)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    RETURN_LONG(static_cast<long>(zend::output_levels().size()));
}

ZEND_FUNCTION(ob_list_handlers)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    array_init(return_value);
    for (const zend::output_level &level : zend::output_levels())
        array_append(return_value->value.ht, new_string(level.name));
}

/* ob_implicit_flush([flag]): on unless the flag is 0. */
ZEND_FUNCTION(ob_implicit_flush)
{
    long flag = 1;
    if (!parse_args(ZEND_NUM_ARGS(), "|l", &flag))
        return;
    zend::set_implicit_flush(flag != 0);

}

/* flush(): hands what left the buffering levels to the program. */
ZEND_FUNCTION(flush)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    zend::flush_output();
}
