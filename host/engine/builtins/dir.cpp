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

/* The directory stream the call names, or nullptr after a warning. */
stream *dir_arg(const std::vector<zval **> &args)
{
    if (args.empty()) {
        long id = default_dir();
        int type = 0;
        void *handle = id ? zend::resource_find(id, &type) : nullptr;
        if (!handle || type != stream_type()) {
            function_error(E_WARNING, "no Directory resource supplied");
            return nullptr;
        }
        return static_cast<stream *>(handle);
    }
    stream *s = stream_arg(*args[0], "Directory");
    if (s && !s->dir) {
        function_error(E_WARNING, "%ld is not a valid Directory resource", (*args[0])->value.lval);
        return nullptr;
    }
    return s;
}

} // namespace

ZEND_FUNCTION(opendir)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    std::string path;
    if (!path_arg(args[0], path))
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
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 1, args))
        return;
    stream *s = dir_arg(args);
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
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 1, args))
        return;
    stream *s = dir_arg(args);
    if (!s)
        RETURN_FALSE;
    ::rewinddir(s->dir);
}

ZEND_FUNCTION(closedir)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 1, args))
        return;
    stream *s = dir_arg(args);
    if (!s)
        RETURN_FALSE;
    long id = args.empty() ? default_dir() : (*args[0])->value.lval;
    if (id == default_dir())
        last_dir = 0;
    zend::resource_close(id);
}
