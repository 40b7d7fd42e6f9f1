/* Output control: response headers kept for the program that serves the
 * request, and output buffering on top of the request's output buffer.
 *
 * An output buffer level is a mark: the length of the request's output
 * when ob_start ran. Everything written after it belongs to that level
 * until it is cleaned or ended. A flush of the request's output can only
 * shorten the text, so marks are clamped to its length when read. Both
 * lists are reset at every request start. */
#include <algorithm>
#include <cctype>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

std::vector<std::string> header_list;
std::vector<std::size_t> buffer_marks;

std::size_t top_mark()
{
    std::size_t size = zend::output_buffer().size();
    std::size_t &mark = buffer_marks.back();
    mark = std::min(mark, size);
    return mark;
}

std::string header_name(const std::string &line)
{
    std::string name = line.substr(0, line.find(':'));
    for (char &c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

} // namespace

namespace zend::builtins {

const std::vector<std::string> &headers()
{
    return header_list;
}

void reset_request_output_state()
{
    header_list.clear();
    buffer_marks.clear();
}

} // namespace zend::builtins

/* header(line [, replace]): a header of the same name is replaced unless
 * replace is false. */
ZEND_FUNCTION(header)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 2, args))
        return;
    std::string line = to_string(*args[0]);
    if (line.find('\n') != std::string::npos || line.find('\r') != std::string::npos) {
        zend_error(E_WARNING, "Header may not contain more than a single header, new line detected.");
        return;
    }
    bool replace = args.size() < 2 || zend_is_true(*args[1]);
    if (replace && line.find(':') != std::string::npos) {
        std::string name = header_name(line);
        header_list.erase(std::remove_if(header_list.begin(), header_list.end(),
                                         [&](const std::string &h) { return header_name(h) == name; }),
                          header_list.end());
    }
    header_list.push_back(line);
}

ZEND_FUNCTION(headers_sent)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
        return;
    RETURN_FALSE; /* the response goes out whole at request end */
}

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
