/* Directory handles: opendir and dir(), and the functions that read,
 * rewind and close what they opened. Called without a handle they use the
 * directory opened last in the request, or, as methods of a Directory
 * object, the object's "handle" property. Also glob() and umask().
 *
 * umask() changes the process's mask; the mask the request found is put
 * back when the request ends, so the next one starts from it. */
#include <glob.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "builtins.h"
#include "builtins/stream.h"
#include "core/resources.h"
#include "engine.h"
#include "executor/executor.h"

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

/* The directory stream the call names (given: null when it names none;
 * this_ptr: the object of a method call), or nullptr after a warning. id
 * receives the resource's id. */
stream *dir_arg(zval *given, zval *this_ptr, long &id)
{
    if (!given && this_ptr && this_ptr->type == IS_OBJECT) {
        zval **handle;
        if (zend_hash_find(this_ptr->value.obj.properties, "handle", sizeof "handle", (void **)&handle) == FAILURE) {
            function_error(E_WARNING, "Unable to find my handle property");
            return nullptr;
        }
        given = *handle;
    }
    if (!given) {
        id = default_dir();
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
    if (s)
        id = given->value.lval;
    return s;
}

/* Opens the directory for opendir() and dir(): false with the stream's
 * warning, else the resource in return_value, remembered as the default. */
bool open_directory(zval *return_value, const std::string &path)
{
    if (!path_allowed(path))
        return false;
    DIR *dir = ::opendir(path.c_str());
    if (!dir) {
        function_error_with(path, E_WARNING, "failed to open dir: %s", std::strerror(errno));
        return false;
    }
    auto *s = new stream;
    s->dir = dir;
    return_stream(return_value, s);
    last_dir = return_value->value.lval;
    last_dir_request = zend::counters.requests;
    return true;
}

zend_class_entry *directory_class = nullptr;

/* The process's mask as the request found it; -1 while umask() has not
 * changed it. */
long request_umask = -1;

} // namespace

namespace zend::builtins {

/* The Directory class dir() makes objects of: an internal class in the
 * engine's class table, from start-up to shut-down, whose methods are the
 * directory functions themselves. */
void register_directory_class()
{
    static const struct {
        const char *name;
        void (*handler)(INTERNAL_FUNCTION_PARAMETERS);
    } methods[] = {{"close", ZEND_FN(closedir)}, {"rewind", ZEND_FN(rewinddir)}, {"read", ZEND_FN(readdir)}};
    zend_class_entry entry;
    std::memset(&entry, 0, sizeof entry);
    entry.type = ZEND_INTERNAL_CLASS;
    entry.name = strdup("Directory");
    entry.name_length = sizeof "Directory" - 1;
    entry.refcount = static_cast<int *>(std::malloc(sizeof(int)));
    if (!entry.name || !entry.refcount)
        zend_error(E_CORE_ERROR, "Out of memory");
    *entry.refcount = 1;
    zend_hash_init(&entry.function_table, 4, nullptr, (dtor_func_t)destroy_zend_function, 1);
    zend_hash_init(&entry.default_properties, 0, nullptr, (dtor_func_t)_zval_ptr_dtor, 1);
    for (const auto &m : methods) {
        zend_function function{};
        function.internal_function.type = ZEND_INTERNAL_FUNCTION;
        function.internal_function.function_name = const_cast<char *>(m.name);
        function.internal_function.handler = m.handler;
        zend_hash_add(&entry.function_table, const_cast<char *>(m.name), static_cast<uint>(std::strlen(m.name)) + 1,
                      &function, sizeof function, nullptr);
    }
    zend_hash_add(CG(class_table), const_cast<char *>("directory"), sizeof "directory", &entry, sizeof entry,
                  (void **)&directory_class);
}

void restore_umask()
{
    if (request_umask != -1)
        ::umask(static_cast<mode_t>(request_umask));
    request_umask = -1;
}

} // namespace zend::builtins


ZEND_FUNCTION(opendir)
{
    std::string path;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &path))
        return;
    if (!open_directory(return_value, path))
        RETURN_FALSE;
}

/* dir(path): a Directory object with the path and the handle. */
ZEND_FUNCTION(dir)
{
    std::string path;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &path))
        return;
    if (!open_directory(return_value, path))
        RETURN_FALSE;
    long id = return_value->value.lval;
    zend::exec::object_init(return_value, directory_class);
    HashTable *props = return_value->value.obj.properties;
    array_put(props, "path", new_string(path));
    zval *handle = new_long(id);
    handle->type = IS_RESOURCE;
    array_put(props, "handle", handle);
}

/* readdir([dir]): the next entry's name, "." and ".." included; false
 * after the last. */
ZEND_FUNCTION(readdir)
{
    zval *given = nullptr;
    if (!parse_args(ZEND_NUM_ARGS(), "|z", &given))
        return;
    long id = 0;
    stream *s = dir_arg(given, this_ptr, id);
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
    long id = 0;
    stream *s = dir_arg(given, this_ptr, id);
    if (!s)
        RETURN_FALSE;
    ::rewinddir(s->dir);
}

ZEND_FUNCTION(closedir)
{
    zval *given = nullptr;
    if (!parse_args(ZEND_NUM_ARGS(), "|z", &given))
        return;
    long id = 0;
    if (!dir_arg(given, this_ptr, id))
        RETURN_FALSE;
    if (id == default_dir())
        last_dir = 0;
    zend::resource_close(id);
}

/* glob(pattern [, flags]): the C library's glob(3) with the flags scripts
 * may give (others are dropped: some would make it read memory it was
 * never given). No match is an empty array; an error false. */
ZEND_FUNCTION(glob)
{
    std::string pattern;
    long flags = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "s|l", &pattern, &flags))
        return;
    if (!path_allowed(pattern))
        RETURN_FALSE;
    constexpr long allowed = GLOB_MARK | GLOB_NOSORT | GLOB_NOCHECK | GLOB_NOESCAPE | GLOB_BRACE | GLOB_ONLYDIR;
    glob_t found;
    std::memset(&found, 0, sizeof found);
    int status = ::glob(pattern.c_str(), static_cast<int>(flags & allowed), nullptr, &found);
    if (status == GLOB_NOMATCH) {
        globfree(&found);
        array_init(return_value);
        return;
    }
    if (status != 0) {
        globfree(&found);
        RETURN_FALSE;
    }
    array_init(return_value);
    for (std::size_t i = 0; i < found.gl_pathc; i++) {
        const char *name = found.gl_pathv[i];
        /* the C library takes GLOB_ONLYDIR as a hint only */
        if (flags & GLOB_ONLYDIR) {
            struct stat st;
            if (::stat(name, &st) != 0 || !S_ISDIR(st.st_mode))
                continue;
        }
        add_next_index_string(return_value, name, 1);
    }
    globfree(&found);
}

/* umask([mask]): the mask before the call; with a mask, sets it (its
 * permission bits). */
ZEND_FUNCTION(umask)
{
    long mask = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "|l", &mask))
        return;
    mode_t old = ::umask(077);
    if (request_umask == -1)
        request_umask = static_cast<long>(old);
    ::umask(ZEND_NUM_ARGS() ? static_cast<mode_t>(mask & 0777) : old);
    RETURN_LONG(static_cast<long>(old));
}
