/* File built-ins that work on paths: tests, status, whole-file reading and
 * writing, copying, renaming, directories and path parts. Relative paths
 * are taken from the process's working directory. Nothing is cached here,
 * so clearstatcache() has nothing to clear. */
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

#include <vector>

#include "builtins.h"
#include "builtins/stream.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

/* The whole content of a file opened by fopen's rules; false after the
 * warning. */
bool read_file(const std::string &path, bool use_include_path, std::string &content)
{
    stream *s = open_stream(path, "rb", use_include_path);
    if (!s)
        return false;
    content = stream_read(*s, 0);
    delete s;
    return true;
}

/* The stat-based tests. */
enum stat_test { exists, regular, directory, link_test, readable, writable, executable };

void test_path(INTERNAL_FUNCTION_PARAMETERS, stat_test what)
{
    std::string path;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &path))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    struct stat st;
    switch (what) {
    case exists: RETURN_BOOL(stat(path.c_str(), &st) == 0);
    case regular: RETURN_BOOL(stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode));
    case directory: RETURN_BOOL(stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
    case link_test: RETURN_BOOL(lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode));
    case readable: RETURN_BOOL(access(path.c_str(), R_OK) == 0);
    case writable: RETURN_BOOL(access(path.c_str(), W_OK) == 0);
    case executable: RETURN_BOOL(access(path.c_str(), X_OK) == 0);
    }
}

enum stat_field {
    field_mtime, field_ctime, field_atime, field_size, field_perms, field_inode, field_owner, field_group,
    field_type,  /* filetype(): of the link itself */
    field_all,   /* stat() */
    field_link_all, /* lstat() */
};

/* filetype()'s names of the kinds of file. */
const char *file_type_name(mode_t mode)
{
    if (S_ISFIFO(mode)) return "fifo";
    if (S_ISCHR(mode)) return "char";
    if (S_ISDIR(mode)) return "dir";
    if (S_ISBLK(mode)) return "block";
    if (S_ISREG(mode)) return "file";
    if (S_ISLNK(mode)) return "link";
    return "unknown";
}

void stat_value(INTERNAL_FUNCTION_PARAMETERS, stat_field what)
{
    std::string path;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &path))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    struct stat st;
    bool of_link = what == field_type || what == field_link_all;
    if ((of_link ? lstat(path.c_str(), &st) : stat(path.c_str(), &st)) != 0) {
        function_error(E_NOTICE, "Stat failed for %s (errno=%d - %s)", path.c_str(), errno, std::strerror(errno));
        RETURN_FALSE;
    }
    switch (what) {
    case field_mtime: RETURN_LONG(static_cast<long>(st.st_mtime));
    case field_ctime: RETURN_LONG(static_cast<long>(st.st_ctime));
    case field_atime: RETURN_LONG(static_cast<long>(st.st_atime));
    case field_size: RETURN_LONG(static_cast<long>(st.st_size));
    case field_perms: RETURN_LONG(static_cast<long>(st.st_mode));
    case field_inode: RETURN_LONG(static_cast<long>(st.st_ino));
    case field_owner: RETURN_LONG(static_cast<long>(st.st_uid));
    case field_group: RETURN_LONG(static_cast<long>(st.st_gid));
    case field_type: RETURN_STRING(const_cast<char *>(file_type_name(st.st_mode)), 1);
    case field_all:
    case field_link_all: add_stat_array(return_value, st); return;
    }
}

/* Runs one path system call; on failure warns "name(path): reason". */
void path_call(INTERNAL_FUNCTION_PARAMETERS, int (*call)(const char *))
{
    std::string path;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &path))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    if (call(path.c_str()) != 0) {
        function_error_with(path, E_WARNING, "%s", std::strerror(errno));
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
ZEND_FUNCTION(is_executable) { test_path(INTERNAL_FUNCTION_PARAM_PASSTHRU, executable); }
ZEND_FUNCTION(filemtime) { stat_value(INTERNAL_FUNCTION_PARAM_PASSTHRU, field_mtime); }
ZEND_FUNCTION(filectime) { stat_value(INTERNAL_FUNCTION_PARAM_PASSTHRU, field_ctime); }
ZEND_FUNCTION(fileatime) { stat_value(INTERNAL_FUNCTION_PARAM_PASSTHRU, field_atime); }
ZEND_FUNCTION(filesize) { stat_value(INTERNAL_FUNCTION_PARAM_PASSTHRU, field_size); }
ZEND_FUNCTION(fileperms) { stat_value(INTERNAL_FUNCTION_PARAM_PASSTHRU, field_perms); }
ZEND_FUNCTION(fileinode) { stat_value(INTERNAL_FUNCTION_PARAM_PASSTHRU, field_inode); }
ZEND_FUNCTION(fileowner) { stat_value(INTERNAL_FUNCTION_PARAM_PASSTHRU, field_owner); }
ZEND_FUNCTION(filegroup) { stat_value(INTERNAL_FUNCTION_PARAM_PASSTHRU, field_group); }
ZEND_FUNCTION(filetype) { stat_value(INTERNAL_FUNCTION_PARAM_PASSTHRU, field_type); }
ZEND_FUNCTION(stat) { stat_value(INTERNAL_FUNCTION_PARAM_PASSTHRU, field_all); }
ZEND_FUNCTION(lstat) { stat_value(INTERNAL_FUNCTION_PARAM_PASSTHRU, field_link_all); }
ZEND_FUNCTION(unlink) { path_call(INTERNAL_FUNCTION_PARAM_PASSTHRU, ::unlink); }
ZEND_FUNCTION(rmdir) { path_call(INTERNAL_FUNCTION_PARAM_PASSTHRU, ::rmdir); }

ZEND_FUNCTION(clearstatcache)
{
    zval *ignored;
    parse_args(ZEND_NUM_ARGS(), "|zz", &ignored, &ignored);
}

/* file_get_contents(path [, use_include_path]) */
ZEND_FUNCTION(file_get_contents)
{
    std::string path, content;
    bool use_include_path = false;
    if (!parse_args(ZEND_NUM_ARGS(), "s|b", &path, &use_include_path))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    if (!read_file(path, use_include_path, content))
        RETURN_FALSE;
    return_string(return_value, content);
}

/* file(path [, use_include_path]): the lines, each with its newline. */
ZEND_FUNCTION(file)
{
    std::string path, content;
    bool use_include_path = false;
    if (!parse_args(ZEND_NUM_ARGS(), "s|b", &path, &use_include_path))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    if (!read_file(path, use_include_path, content))
        RETURN_FALSE;
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
    std::string path;
    zval *given;
    long flags = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "sz|l", &path, &given, &flags))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    std::string data;
    if (given->type == IS_ARRAY) {
        for (const element &e : elements(given->value.ht))
            data += to_string(*e.data);
    } else {
        data = to_string(given);
    }
    bool append = flags & 8;
    FILE *fp = std::fopen(path.c_str(), append ? "ab" : "wb");
    if (!fp) {
        function_error_with(path, E_WARNING, "failed to open stream: %s", std::strerror(errno));
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
    std::string path;
    long mtime = 0, atime = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "s|ll", &path, &mtime, &atime))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    if (access(path.c_str(), F_OK) != 0) {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0666);
        if (fd < 0) {
            function_error(E_WARNING, "Unable to create file %s because %s", path.c_str(), std::strerror(errno));
            RETURN_FALSE;
        }
        ::close(fd);
    }
    struct utimbuf times;
    times.modtime = ZEND_NUM_ARGS() >= 2 ? static_cast<time_t>(mtime) : time(nullptr);
    times.actime = ZEND_NUM_ARGS() == 3 ? static_cast<time_t>(atime) : times.modtime;
    if (utime(path.c_str(), &times) != 0) {
        function_error(E_WARNING, "Utime failed: %s", std::strerror(errno));
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

ZEND_FUNCTION(chmod)
{
    std::string path;
    long mode;
    if (!parse_args(ZEND_NUM_ARGS(), "sl", &path, &mode))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    if (::chmod(path.c_str(), static_cast<mode_t>(mode & 07777)) != 0) {
        function_error(E_WARNING, "%s", std::strerror(errno));
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

/* mkdir(path [, mode]) */
ZEND_FUNCTION(mkdir)
{
    std::string path;
    long mode = 0777;
    if (!parse_args(ZEND_NUM_ARGS(), "s|l", &path, &mode))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    if (::mkdir(path.c_str(), static_cast<mode_t>(mode & 07777)) != 0) {
        function_error_with(path, E_WARNING, "%s", std::strerror(errno));
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

/* symlink(target, link) */
ZEND_FUNCTION(symlink)
{
    std::string target, link;
    if (!parse_args(ZEND_NUM_ARGS(), "ss", &target, &link))
        return;
    if (!path_allowed(target) || !path_allowed(link))
        RETURN_FALSE;
    if (::symlink(target.c_str(), link.c_str()) != 0) {
        function_error(E_WARNING, "%s", std::strerror(errno));
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

namespace {

/* Copies src to dest through file handles; false after a warning. A file
 * is not copied onto itself. */
bool copy_file(const std::string &src, const std::string &dest)
{
    struct stat from, to;
    if (stat(src.c_str(), &from) == 0 && stat(dest.c_str(), &to) == 0 && from.st_ino == to.st_ino &&
        from.st_dev == to.st_dev)
        return false;
    stream *in = open_stream(src, "rb", false);
    if (!in)
        return false;
    stream *out = open_stream(dest, "wb", false);
    if (!out) {
        delete in;
        return false;
    }
    bool ok = true;
    while (ok) {
        std::string chunk = stream_read(*in, 65536);
        if (chunk.empty())
            break;
        std::size_t done = 0;
        while (done < chunk.size()) {
            ssize_t n = ::write(out->fd, chunk.data() + done, chunk.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                function_error_with(dest, E_WARNING, "%s", std::strerror(errno));
                ok = false;
                break;
            }
            done += static_cast<std::size_t>(n);
        }
    }
    delete in;
    delete out;
    return ok;
}

} // namespace

ZEND_FUNCTION(copy)
{
    std::string from, to;
    if (!parse_args(ZEND_NUM_ARGS(), "ss", &from, &to))
        return;
    if (!path_allowed(from) || !path_allowed(to))
        RETURN_FALSE;
    RETURN_BOOL(copy_file(from, to));
}

/* rename(old, new): across file systems by copying, with the old file's
 * permissions kept. */
ZEND_FUNCTION(rename)
{
    std::string from, to;
    if (!parse_args(ZEND_NUM_ARGS(), "ss", &from, &to))
        return;
    if (!path_allowed(from) || !path_allowed(to))
        RETURN_FALSE;
    if (std::rename(from.c_str(), to.c_str()) == 0)
        RETURN_TRUE;
    std::string both = from + "," + to;
    if (errno == EXDEV) {
        struct stat st;
        if (stat(from.c_str(), &st) == 0 && S_ISREG(st.st_mode) && copy_file(from, to)) {
            ::chmod(to.c_str(), st.st_mode & 07777);
            ::unlink(from.c_str());
            RETURN_TRUE;
        }
    }
    function_error_with(both, E_WARNING, "%s", std::strerror(errno));
    RETURN_FALSE;
}

/* is_uploaded_file(path): whether path is a file this request's form
 * upload saved. Like the original, false at once when the request
 * uploaded nothing. */
ZEND_FUNCTION(is_uploaded_file)
{
    std::string path;
    if (!zend::is_uploaded_file_pending())
        RETURN_FALSE;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &path))
        return;
    RETURN_BOOL(zend::is_uploaded_file(path));
}

/* move_uploaded_file(from, to): moves an uploaded file (by rename, or by
 * copy across file systems); false for any other file. */
ZEND_FUNCTION(move_uploaded_file)
{
    std::string from, to;
    if (!zend::is_uploaded_file_pending())
        RETURN_FALSE;
    if (!parse_args(ZEND_NUM_ARGS(), "ss", &from, &to))
        return;
    if (!zend::is_uploaded_file(from) || !path_allowed(to))
        RETURN_FALSE;
    ::unlink(to.c_str());
    bool moved = std::rename(from.c_str(), to.c_str()) == 0;
    if (!moved && errno == EXDEV && copy_file(from, to)) {
        ::unlink(from.c_str());
        moved = true;
    }
    if (!moved) {
        function_error(E_WARNING, "Unable to move '%s' to '%s'", from.c_str(), to.c_str());
        RETURN_FALSE;
    }
    zend::forget_uploaded_file(from);
    RETURN_TRUE;
}

/* readfile(path [, use_include_path]): the file to the output; the bytes
 * sent. */
ZEND_FUNCTION(readfile)
{
    std::string path;
    long use_include_path = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "s|l", &path, &use_include_path))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    stream *s = open_stream(path, "rb", use_include_path != 0);
    if (!s)
        RETURN_FALSE;
    long total = 0;
    while (true) {
        std::string chunk = stream_read(*s, 65536);
        if (chunk.empty())
            break;
        zend_write(chunk.data(), static_cast<uint>(chunk.size()));
        total += static_cast<long>(chunk.size());
    }
    delete s;
    RETURN_LONG(total);
}

/* tempnam(dir, prefix): a new empty file's name. A directory that cannot
 * take it gives way to the system's temporary directory; the prefix is its
 * base name, at most 63 bytes. */
ZEND_FUNCTION(tempnam)
{
    std::string dir, prefix;
    if (!parse_args(ZEND_NUM_ARGS(), "ss", &dir, &prefix))
        return;
    if (!path_allowed(dir) || !path_allowed(prefix))
        RETURN_FALSE;
    std::size_t slash = prefix.rfind('/');
    if (slash != std::string::npos)
        prefix.erase(0, slash + 1);
    if (prefix.size() > 63)
        prefix.resize(63);
    const char *tmp = std::getenv("TMPDIR");
    std::vector<std::string> dirs;
    if (!dir.empty())
        dirs.push_back(dir);
    dirs.push_back(tmp && *tmp ? tmp : "/tmp");
    for (std::string d : dirs) {
        while (d.size() > 1 && d.back() == '/')
            d.pop_back();
        std::string name = d + (d == "/" ? "" : "/") + prefix + "XXXXXX";
        int fd = ::mkstemp(name.data());
        if (fd >= 0) {
            ::close(fd);
            return_string(return_value, name);
            return;
        }
    }
    RETURN_FALSE;
}

ZEND_FUNCTION(realpath)
{
    std::string path;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &path))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved))
        RETURN_FALSE;
    RETURN_STRING(resolved, 1);
}

ZEND_FUNCTION(getcwd)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    char buf[PATH_MAX];
    if (!::getcwd(buf, sizeof buf))
        RETURN_FALSE;
    RETURN_STRING(buf, 1);
}

ZEND_FUNCTION(chdir)
{
    std::string path;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &path))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    if (::chdir(path.c_str()) != 0) {
        function_error(E_WARNING, "%s (errno %d)", std::strerror(errno), errno);
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

ZEND_FUNCTION(basename)
{
    std::string path, suffix;
    if (!parse_args(ZEND_NUM_ARGS(), "s|s", &path, &suffix))
        return;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    std::size_t slash = path.rfind('/');
    std::string base = slash == std::string::npos || path.size() == 1 ? path : path.substr(slash + 1);
    if (!suffix.empty() && base.size() > suffix.size() &&
        base.compare(base.size() - suffix.size(), suffix.size(), suffix) == 0)
        base.resize(base.size() - suffix.size());
    return_string(return_value, base);
}

ZEND_FUNCTION(dirname)
{
    std::string path;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &path))
        return;
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

namespace {

/* The last path component, trailing slashes ignored. */
std::string base_of(const std::string &path)
{
    std::size_t end = path.size();
    while (end > 0 && path[end - 1] == '/')
        end--;
    std::size_t slash = path.rfind('/', end == 0 ? 0 : end - 1);
    if (end == 0)
        return path.empty() ? "" : std::string();
    return slash == std::string::npos ? path.substr(0, end) : path.substr(slash + 1, end - slash - 1);
}

/* The directory part: "." without a slash, "/" for the root. */
std::string dir_of(const std::string &path)
{
    if (path.empty())
        return "";
    std::size_t end = path.size();
    while (end > 0 && path[end - 1] == '/')
        end--;
    if (end == 0)
        return "/";
    while (end > 0 && path[end - 1] != '/')
        end--;
    if (end == 0)
        return ".";
    while (end > 0 && path[end - 1] == '/')
        end--;
    return end == 0 ? "/" : path.substr(0, end);
}

} // namespace

/* pathinfo(path [, options]): dirname, basename and extension (when the
 * base name has a dot); with one PATHINFO_* option, that part alone ("" when
 * missing). */
ZEND_FUNCTION(pathinfo)
{
    std::string path;
    long options = 7;
    if (!parse_args(ZEND_NUM_ARGS(), "s|l", &path, &options))
        return;

    zval *parts;
    ALLOC_ZVAL(parts);
    INIT_PZVAL(parts);
    array_init(parts);
    if (options & 1) {
        std::string dir = dir_of(path);
        if (!dir.empty())
            array_put(parts->value.ht, "dirname", new_string(dir));
    }
    std::string base = base_of(path);
    if (options & 2)
        array_put(parts->value.ht, "basename", new_string(base));
    if (options & 4) {
        std::size_t dot = base.rfind('.');
        if (dot != std::string::npos)
            array_put(parts->value.ht, "extension", new_string(base.substr(dot + 1)));
    }
    if (options == 7) {
        return_value->type = IS_ARRAY;
        return_value->value.ht = parts->value.ht;
        FREE_ZVAL(parts);
        return;
    }
    std::vector<element> found = elements(parts->value.ht);
    if (found.empty())
        return_string(return_value, "");
    else
        return_string(return_value, to_string(*found.front().data));
    zval_ptr_dtor(&parts);
}
