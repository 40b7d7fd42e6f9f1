/* File built-ins, enough for scripts and tests to change what the caches
 * see. Relative paths are taken from the process's working directory.
 * Nothing is cached here, so clearstatcache() has nothing to clear. */
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

/* Reads a path argument; NUL bytes would silently cut the path short, so
 * such a path is refused. */
bool path_arg(zval **slot, std::string &path)
{
    path = to_string(*slot);
    if (path.find('\0') != std::string::npos) {
        zend_error(E_WARNING, "%s(): Path must not contain NUL bytes", get_active_function_name());
        return false;
    }
    return true;
}

bool read_file(const std::string &path, std::string &content)
{
    FILE *fp = std::fopen(path.c_str(), "rb");
    if (!fp)
        return false;
    struct stat st;
    if (fstat(fileno(fp), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(fp);
        errno = EISDIR;
        return false;
    }
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0)
        content.append(buf, n);
    std::fclose(fp);
    return true;
}

void open_failed(const std::string &path)
{
    zend_error(E_WARNING, "%s(\"%s\") - %s", get_active_function_name(), path.c_str(), std::strerror(errno));
}

/* The stat-based tests. */
enum stat_test { exists, regular, directory, link_test, readable, writable };

void test_path(INTERNAL_FUNCTION_PARAMETERS, stat_test what)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    std::string path;
    if (!path_arg(args[0], path))
        RETURN_FALSE;
    struct stat st;
    switch (what) {
    case exists: RETURN_BOOL(stat(path.c_str(), &st) == 0);
    case regular: RETURN_BOOL(stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode));
    case directory: RETURN_BOOL(stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
    case link_test: RETURN_BOOL(lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode));
    case readable: RETURN_BOOL(access(path.c_str(), R_OK) == 0);
    case writable: RETURN_BOOL(access(path.c_str(), W_OK) == 0);
    }
}

enum stat_field { field_mtime, field_ctime, field_atime, field_size, field_perms };

void stat_value(INTERNAL_FUNCTION_PARAMETERS, stat_field what)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    std::string path;
    if (!path_arg(args[0], path))
        RETURN_FALSE;
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        zend_error(E_WARNING, "stat failed for %s (errno=%d - %s)", path.c_str(), errno, std::strerror(errno));
        RETURN_FALSE;
    }
    switch (what) {
    case field_mtime: RETURN_LONG(static_cast<long>(st.st_mtime));
    case field_ctime: RETURN_LONG(static_cast<long>(st.st_ctime));
    case field_atime: RETURN_LONG(static_cast<long>(st.st_atime));
    case field_size: RETURN_LONG(static_cast<long>(st.st_size));
    case field_perms: RETURN_LONG(static_cast<long>(st.st_mode));
    }
}

/* Runs one path system call; on failure warns "<Label> failed (reason)". */
void path_call(INTERNAL_FUNCTION_PARAMETERS, const char *label, int (*call)(const char *))
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    std::string path;
    if (!path_arg(args[0], path))
        RETURN_FALSE;
    if (call(path.c_str()) != 0) {
        zend_error(E_WARNING, "%s failed (%s)", label, std::strerror(errno));
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

} // namespace

ZEND_FUNCTION(file_exists) { test_path(INTERNAL_FUNCTION_PARAM_PASSTHRU, exists); }
ZEND_FUNCTION(is_file) { test_path(INTERNAL_FUNCTION_PARAM_PASSTHRU, regular); }
ZEND_FUNCTION(is_dir) { test_path(INTERNAL_FUNCTION_PARAM_PASSTHRU, directory); }
ZEND_FUNCTION(is_link) { test_path(INTERNAL_FUNCTION_PARAM_PASSTHRU, link_test); }
ZEND_FUNCTION(is_readable) { test_path(INTERNAL_FUNCTION_PARAM_PASSTHRU, readable); }
ZEND_FUNCTION(is_writable) { test_path(INTERNAL_FUNCTION_PARAM_PASSTHRU, writable); }
ZEND_FUNCTION(filemtime) { stat_value(INTERNAL_FUNCTION_PARAM_PASSTHRU, field_mtime); }
ZEND_FUNCTION(filectime) { stat_value(INTERNAL_FUNCTION_PARAM_PASSTHRU, field_ctime); }
ZEND_FUNCTION(fileatime) { stat_value(INTERNAL_FUNCTION_PARAM_PASSTHRU, field_atime); }
ZEND_FUNCTION(filesize) { stat_value(INTERNAL_FUNCTION_PARAM_PASSTHRU, field_size); }
ZEND_FUNCTION(fileperms) { stat_value(INTERNAL_FUNCTION_PARAM_PASSTHRU, field_perms); }
ZEND_FUNCTION(unlink) { path_call(INTERNAL_FUNCTION_PARAM_PASSTHRU, "Unlink", ::unlink); }
ZEND_FUNCTION(rmdir) { path_call(INTERNAL_FUNCTION_PARAM_PASSTHRU, "RmDir", ::rmdir); }

ZEND_FUNCTION(clearstatcache)
{
    std::vector<zval **> args;
    fetch_args(ZEND_NUM_ARGS(), 0, 2, args);
}

ZEND_FUNCTION(file_get_contents)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 2, args))
        return;
    std::string path, content;
    if (!path_arg(args[0], path))
        RETURN_FALSE;
    if (!read_file(path, content)) {
        open_failed(path);
        RETURN_FALSE;
    }
    return_string(return_value, content);
}

/* file(path): the lines, each with its newline. */
ZEND_FUNCTION(file)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 2, args))
        return;
    std::string path, content;
    if (!path_arg(args[0], path))
        RETURN_FALSE;
    if (!read_file(path, content)) {
        open_failed(path);
        RETURN_FALSE;
    }
    array_init(return_value);
    std::size_t from = 0;
    while (from < content.size()) {
        std::size_t nl = content.find('\n', from);
        std::size_t end = nl == std::string::npos ? content.size() : nl + 1;
        array_append(return_value->value.ht, new_string(content.substr(from, end - from)));
        from = end;
    }
}

/* file_put_contents(path, data [, flags]): bytes written; FILE_APPEND (8)
 * appends. An array is written as its elements joined. */
ZEND_FUNCTION(file_put_contents)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 2, 3, args))
        return;
    std::string path;
    if (!path_arg(args[0], path))
        RETURN_FALSE;
    std::string data;
    if ((*args[1])->type == IS_ARRAY) {
        for (const element &e : elements((*args[1])->value.ht))
            data += to_string(*e.data);
    } else {
        data = to_string(*args[1]);
    }
    bool append = args.size() == 3 && (to_long(*args[2]) & 8);
    FILE *fp = std::fopen(path.c_str(), append ? "ab" : "wb");
    if (!fp) {
        open_failed(path);
        RETURN_FALSE;
    }
    std::size_t written = std::fwrite(data.data(), 1, data.size(), fp);
    if (std::fclose(fp) != 0 || written != data.size()) {
        zend_error(E_WARNING, "Only %lu of %lu bytes written, possibly out of free disk space",
                   static_cast<unsigned long>(written), static_cast<unsigned long>(data.size()));
        RETURN_FALSE;
    }
    RETURN_LONG(static_cast<long>(written));
}

/* touch(path [, mtime [, atime]]): creates the file when missing. */
ZEND_FUNCTION(touch)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 3, args))
        return;
    std::string path;
    if (!path_arg(args[0], path))
        RETURN_FALSE;
    if (access(path.c_str(), F_OK) != 0) {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0666);
        if (fd < 0) {
            zend_error(E_WARNING, "Unable to create file %s because %s", path.c_str(), std::strerror(errno));
            RETURN_FALSE;
        }
        ::close(fd);
    }
    struct utimbuf times;
    times.modtime = args.size() >= 2 ? static_cast<time_t>(to_long(*args[1])) : time(nullptr);
    times.actime = args.size() == 3 ? static_cast<time_t>(to_long(*args[2])) : times.modtime;
    if (utime(path.c_str(), &times) != 0) {
        zend_error(E_WARNING, "Utime failed: %s", std::strerror(errno));
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

ZEND_FUNCTION(chmod)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 2, 2, args))
        return;
    std::string path;
    if (!path_arg(args[0], path))
        RETURN_FALSE;
    if (::chmod(path.c_str(), static_cast<mode_t>(to_long(*args[1]) & 07777)) != 0) {
        zend_error(E_WARNING, "chmod failed (%s)", std::strerror(errno));
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

/* mkdir(path [, mode]) */
ZEND_FUNCTION(mkdir)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 2, args))
        return;
    std::string path;
    if (!path_arg(args[0], path))
        RETURN_FALSE;
    mode_t mode = args.size() == 2 ? static_cast<mode_t>(to_long(*args[1]) & 07777) : 0777;
    if (::mkdir(path.c_str(), mode) != 0) {
        zend_error(E_WARNING, "MkDir failed (%s)", std::strerror(errno));
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

/* symlink(target, link) */
ZEND_FUNCTION(symlink)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 2, 2, args))
        return;
    std::string target, link;
    if (!path_arg(args[0], target) || !path_arg(args[1], link))
        RETURN_FALSE;
    if (::symlink(target.c_str(), link.c_str()) != 0) {
        zend_error(E_WARNING, "Symlink failed (%s)", std::strerror(errno));
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

ZEND_FUNCTION(rename)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 2, 2, args))
        return;
    std::string from, to;
    if (!path_arg(args[0], from) || !path_arg(args[1], to))
        RETURN_FALSE;
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        zend_error(E_WARNING, "Rename failed (%s)", std::strerror(errno));
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

ZEND_FUNCTION(realpath)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    std::string path;
    if (!path_arg(args[0], path))
        RETURN_FALSE;
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved))
        RETURN_FALSE;
    RETURN_STRING(resolved, 1);
}

ZEND_FUNCTION(getcwd)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 0, 0, args))
        return;
    char buf[PATH_MAX];
    if (!::getcwd(buf, sizeof buf))
        RETURN_FALSE;
    RETURN_STRING(buf, 1);
}

ZEND_FUNCTION(chdir)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    std::string path;
    if (!path_arg(args[0], path))
        RETURN_FALSE;
    if (::chdir(path.c_str()) != 0) {
        zend_error(E_WARNING, "ChDir: %s (errno %d)", std::strerror(errno), errno);
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

ZEND_FUNCTION(basename)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 2, args))
        return;
    std::string path = to_string(*args[0]);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    std::size_t slash = path.rfind('/');
    std::string base = slash == std::string::npos || path.size() == 1 ? path : path.substr(slash + 1);
    if (args.size() == 2) {
        std::string suffix = to_string(*args[1]);
        if (!suffix.empty() && base.size() > suffix.size() &&
            base.compare(base.size() - suffix.size(), suffix.size(), suffix) == 0)
            base.resize(base.size() - suffix.size());
    }
    return_string(return_value, base);
}

ZEND_FUNCTION(dirname)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    std::string path = to_string(*args[0]);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return_string(return_value, path.empty() ? "" : ".");
        return;
    }
    path.resize(slash);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return_string(return_value, path.empty() ? "/" : path);
}
