/* Output control: output buffering on top of the request's output buffer.
 *
 * An output buffer level is a mark: the length of the request's output
 * when ob_start ran. Everything written after it belongs to that level
 * until it is cleaned or ended. A flush of the request's output can only
 * shorten the text, so marks are clamped to its length when read. The
 * marks are reset at every request start. */
#include <algorithm>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

std::vector<std::size_t> buffer_marks;

std::size_t top_mark()
{
    std::size_t size = zend::output_buffer().size();
    std::size_t &mark = buffer_marks.back();
    mark = std::min(mark, size);
    return mark;
}

} // namespace

namespace zend::builtins {

void reset_request_output_state()
{
    buffer_marks.clear();
}

} // namespace zend::builtins

ZEND_FUNCTION(ob_start)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 3, args))
        return;
    buffer_marks.push_back(zend::output_buffer().size());
    RETURN_TRUE;
}

ZEND_FUNCTION(ob_get_contents)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
        return;
    if (buffer_marks.empty())
        RETURN_FALSE;
    return_string(return_value, zend::output_buffer().substr(top_mark()));
}

ZEND_FUNCTION(ob_get_length)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
        return;
    if (buffer_marks.empty())
        RETURN_FALSE;
    RETURN_LONG(static_cast<long>(zend::output_buffer().size() - top_mark()));
}

ZEND_FUNCTION(ob_get_level)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
        return;
    RETURN_LONG(static_cast<long>(buffer_marks.size()));
}

namespace {

/* Ends the innermost level; its text is dropped when clean. false with a
 * notice when there is none. */
bool end_level(bool clean, const char *verb)
{
    if (buffer_marks.empty()) {
        zend_error(E_NOTICE, "%s(): failed to %s buffer. No buffer to %s.", get_active_function_name(), verb, verb);
        return false;
    }
    std::size_t mark = top_mark();
    if (clean)
        zend::output_buffer().resize(mark);
    buffer_marks.pop_back();
    return true;
}

} // namespace

ZEND_FUNCTION(ob_end_clean)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
        return;
    RETURN_BOOL(end_level(true, "delete"));
}

ZEND_FUNCTION(ob_end_flush)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
        return;
    RETURN_BOOL(end_level(false, "delete and flush"));
}

ZEND_FUNCTION(ob_clean)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
        return;
    if (buffer_marks.empty()) {
        zend_error(E_NOTICE, "ob_clean(): failed to delete buffer. No buffer to delete.");
        RETURN_FALSE;
    }
    zend::output_buffer().resize(top_mark());
    RETURN_TRUE;
}

ZEND_FUNCTION(ob_get_clean)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
        return;
    if (buffer_marks.empty())
        RETURN_FALSE;
    std::string text = zend::output_buffer().substr(top_mark());
    end_level(true, "delete");
    return_string(return_value, text);
}

/* flush(): hands the output so far to the program, unless a buffer level
 * is holding it. */
ZEND_FUNCTION(flush)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
        return;
    if (buffer_marks.empty())
        zend::flush_output();
}
