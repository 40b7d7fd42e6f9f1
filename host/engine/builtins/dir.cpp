/* Directory handles: opendir and the functions that read, rewind and
 * close what it opened. Called without a handle they use the directory
 * opened last in the request. */
#include <cerrno>
#include <cstring>

#include "builtins.h"
#include "builtins/stream.h"
#include "core/resources.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

/* The last directory opendir gave, 0 when none: an id in the request's
 * resource list, reset when the list starts again. */
long last_dir = 0;
unsigned long last_dir_request = 0;

long default_dir()
{
    if (last_dir_request != zend::counters.requests)
        last_dir = 0;
    return last_dir;
}

/* The directory stream the call names (given: null when it names none),
 * or nullptr after a warning. */
stream *dir_arg(zval *given)
{
    if (!given) {
        long id = default_dir();
        int type = 0;
        void *handle = id ? zend::resource_find(id, &type) : nullptr;
        if (!handle || type != stream_type()) {
            function_error(E_WARNING, "no Directory resource supplied");
            return nullptr;
        }
        return static_cast<stream *>(handle);
    }
    stream *s = stream_arg(given, "Directory");
    if (s && !s->dir) {
        function_error(E_WARNING, "%ld is not a valid Directory resource", given->value.lval);
        return nullptr;
    }
    return s;
}

} // namespace

ZEND_FUNCTION(opendir)
{
    std::string path;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &path))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    DIR *dir = ::opendir(path.c_str());
    if (!dir) {
        function_error_with(path, E_WARNING, "failed to open dir: %s", std::strerror(errno));
        RETURN_FALSE;
    }
    auto *s = new stream;
    s->dir = dir;
    return_stream(return_value, s);
    last_dir = return_value->value.lval;
    last_dir_request = zend::counters.requests;
}

/* readdir([dir]): the next entry's name, "." and ".." included; false
 * after the last. */
ZEND_FUNCTION(readdir)
{
    zval *given = nullptr;
    if (!parse_args(ZEND_NUM_ARGS(), "|z", &given))
        return;
    stream *s = dir_arg(given);
    if (!s)
        RETURN_FALSE;
    errno = 0;
    struct dirent *entry = ::readdir(s->dir);
    if (!entry)
        RETURN_FALSE;
    RETURN_STRING(entry->d_name, 1);
}

ZEND_FUNCTION(rewinddir)
{
    zval *given = nullptr;
    if (!parse_args(ZEND_NUM_ARGS(), "|z", &given))
        return;
    stream *s = dir_arg(given);
    if (!s)
        RETURN_FALSE;
    ::rewinddir(s->dir);
}

ZEND_FUNCTION(closedir)
{
    zval *given = nullptr;
    if (!parse_args(ZEND_NUM_ARGS(), "|z", &given))
        return;
    stream *s = dir_arg(given);
    if (!s)
        RETURN_FALSE;
    long id = given ? given->value.lval : default_dir();

    if (id == default_dir())
        last_dir = 0;
    zend::resource_close(id);
}
