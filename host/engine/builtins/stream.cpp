/* File handles: fopen and the functions that read, write, move in and
 * close what it opened. */
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "builtins.h"
#include "builtins/stream.h"
#include "core/resources.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

constexpr std::size_t chunk_size = 8192;

void destroy_stream(void *handle)
{
    delete static_cast<stream *>(handle);
}

/* Reads one chunk into the buffer; false when nothing came (end of data,
 * or a stream that cannot be read, which counts as its end). */
bool fill(stream &s)
{
    if (s.consumed > 0 && s.consumed == s.buffer.size()) {
        s.buffer.clear();
        s.consumed = 0;
    }
    if (s.fd < 0 || !s.readable || s.eof) {
        s.eof = true;
        return false;
    }
    char chunk[chunk_size];
    ssize_t n;
    do {
        n = ::read(s.fd, chunk, sizeof chunk);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
        s.eof = true;
        return false;
    }
    if (s.consumed > chunk_size) {
        s.buffer.erase(0, s.consumed);
        s.consumed = 0;
    }
    s.buffer.append(chunk, static_cast<std::size_t>(n));
    return true;
}

/* The descriptor is moved back to where the script is and the read-ahead
 * dropped, before a write or after a seek. */
void drop_read_ahead(stream &s)
{
    if (s.unread() > 0)
        ::lseek(s.fd, s.position, SEEK_SET);
    s.buffer.clear();
    s.consumed = 0;
}

long stream_write(stream &s, const char *data, std::size_t length)
{
    if (s.fd < 0)
        return 0;
    drop_read_ahead(s);
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = ::write(s.fd, data + done, length - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    s.position += static_cast<off_t>(done);
    return static_cast<long>(done);
}

/* open(2) flags for fopen's mode letters, or -1 for a mode it rejects. */
int mode_flags(const std::string &mode)
{
    int flags;
    switch (mode.empty() ? '\0' : mode[0]) {
    case 'r': flags = 0; break;
    case 'w': flags = O_TRUNC | O_CREAT; break;
    case 'a': flags = O_CREAT | O_APPEND; break;
    case 'x': flags = O_CREAT | O_EXCL; break;
    default: return -1;
    }
    if (mode.find('+') != std::string::npos)
        flags |= O_RDWR;
    else if (flags)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    return flags;
}

/* The names fopen tries for a relative path along include_path. */
std::vector<std::string> include_candidates(const std::string &path)
{
    const std::string &paths = zend::settings.include_path;
    if (path.empty() || path[0] == '/' || path.rfind("./", 0) == 0 || path.rfind("../", 0) == 0 || paths.empty())
        return {path};
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= paths.size()) {
        std::size_t end = paths.find(':', start);
        if (end == std::string::npos)
            end = paths.size();
        std::string dir = paths.substr(start, end - start);
        if (!dir.empty())
            names.push_back(dir + (dir.back() == '/' ? "" : "/") + path);
        start = end + 1;
    }
    if (names.empty())
        names.push_back(path);
    return names;
}

} // namespace

namespace zend::builtins {

stream::~stream()
{
    if (dir)
        ::closedir(dir);
    if (fd >= 0)
        ::close(fd);
}

int stream_type()
{
    static int type = zend::register_resource_type("stream", destroy_stream);
    return type;
}

void return_stream(zval *return_value, stream *s)
{
    return_value->type = IS_RESOURCE;
    return_value->value.lval = zend::resource_insert(s, stream_type());
}

stream *stream_arg(zval *value, const char *type_name)
{
    return static_cast<stream *>(zend::fetch_resource(value, stream_type(), type_name));
}


bool path_allowed(const std::string &path)
{
    if (path.find('\0') != std::string::npos) {
        function_error(E_WARNING, "Path must not contain NUL bytes");
        return false;
    }
    return true;
}


stream *open_stream(const std::string &path, const std::string &mode, bool use_include_path)
{
    int flags = mode_flags(mode);
    if (flags < 0) {
        function_error(E_WARNING, "`%s' is not a valid mode for fopen", mode.c_str());
        return nullptr;
    }
    int fd = -1;
    for (const std::string &name : use_include_path ? include_candidates(path) : std::vector<std::string>{path}) {
        do {
            fd = ::open(name.c_str(), flags | O_CLOEXEC, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd >= 0)
            break;
    }
    struct stat st;
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        /* a directory opens, but there is nothing in it to read */
        ::close(fd);
        fd = -1;
        errno = EISDIR;
    }
    if (fd < 0) {
        function_error_with(path, E_WARNING, "failed to open stream: %s", std::strerror(errno));
        return nullptr;
    }
    auto *s = new stream;
    s->fd = fd;
    s->readable = (flags & O_ACCMODE) != O_WRONLY;
    s->writable = (flags & O_ACCMODE) != O_RDONLY;
    if (flags & O_APPEND) {
        off_t end = ::lseek(fd, 0, SEEK_END);
        s->position = end < 0 ? 0 : end;
    }
    return s;
}

std::string stream_read(stream &s, std::size_t max)
{
    std::string out;
    while (max == 0 || out.size() < max) {
        if (s.unread() == 0 && !fill(s))
            break;
        std::size_t take = s.unread();
        if (max > 0)
            take = std::min(take, max - out.size());
        out.append(s.buffer, s.consumed, take);
        s.consumed += take;
    }
    s.position += static_cast<off_t>(out.size());
    return out;
}

bool stream_get_line(stream &s, std::size_t max, std::string &line)
{
    line.clear();
    while (max == 0 || line.size() < max) {
        if (s.unread() == 0 && !fill(s))
            break;
        std::size_t take = s.unread();
        if (max > 0)
            take = std::min(take, max - line.size());
        const char *start = s.buffer.data() + s.consumed;
        const void *nl = std::memchr(start, '\n', take);
        bool done = nl != nullptr;
        if (done)
            take = static_cast<std::size_t>(static_cast<const char *>(nl) - start) + 1;
        line.append(start, take);
        s.consumed += take;
        if (done)
            break;
    }
    s.position += static_cast<off_t>(line.size());
    return !line.empty();
}

} // namespace zend::builtins

/* fopen(filename, mode [, use_include_path]) */
ZEND_FUNCTION(fopen)
{
    std::string path, mode;
    bool use_include_path = false;
    if (!parse_args(ZEND_NUM_ARGS(), "ss|b", &path, &mode, &use_include_path))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    stream *s = open_stream(path, mode, use_include_path);
    if (!s)
        RETURN_FALSE;
    return_stream(return_value, s);
}

/* tmpfile(): a read-write file that is gone when it is closed. */
ZEND_FUNCTION(tmpfile)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    const char *dir = std::getenv("TMPDIR");
    std::string name = std::string(dir && *dir ? dir : "/tmp") + "/phpXXXXXX";
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        function_error(E_WARNING, "%s", std::strerror(errno));
        RETURN_FALSE;
    }
    ::unlink(name.c_str());
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    auto *s = new stream;
    s->fd = fd;
    s->readable = s->writable = true;
    return_stream(return_value, s);
}

ZEND_FUNCTION(fclose)
{
    zval *handle;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &handle))
        return;
    if (!stream_arg(handle))
        RETURN_FALSE;
    zend::resource_close(handle->value.lval);
    RETURN_TRUE;
}

ZEND_FUNCTION(feof)
{
    zval *handle;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &handle))
        return;
    stream *s = stream_arg(handle);
    if (!s)
        RETURN_FALSE;
    RETURN_BOOL(s->unread() == 0 && s->eof);
}

/* fgets(fp [, length]): a line, or at most length - 1 bytes of it. */
ZEND_FUNCTION(fgets)
{
    zval *handle;
    long length = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "z|l", &handle, &length))
        return;
    stream *s = stream_arg(handle);
    if (!s)
        RETURN_FALSE;
    std::size_t max = 0;
    if (ZEND_NUM_ARGS() == 2) {
        if (length <= 0) {
            function_error(E_WARNING, "Length parameter must be greater than 0.");
            RETURN_FALSE;
        }
        if (length == 1)
            RETURN_FALSE; /* room for nothing */
        max = static_cast<std::size_t>(length - 1);
    }
    std::string line;
    if (!stream_get_line(*s, max, line))
        RETURN_FALSE;
    return_string(return_value, line);
}

ZEND_FUNCTION(fgetc)
{
    zval *handle;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &handle))
        return;
    stream *s = stream_arg(handle);
    if (!s)
        RETURN_FALSE;
    std::string c = stream_read(*s, 1);
    if (c.empty())
        RETURN_FALSE;
    return_string(return_value, c);
}

/* fread(fp, length): up to length bytes; "" at the end of the data. */
ZEND_FUNCTION(fread)
{
    zval *handle;
    long length;
    if (!parse_args(ZEND_NUM_ARGS(), "zl", &handle, &length))
        return;
    stream *s = stream_arg(handle);
    if (!s)
        RETURN_FALSE;
    if (length <= 0) {
        function_error(E_WARNING, "Length parameter must be greater than 0.");
        RETURN_FALSE;
    }
    return_string(return_value, stream_read(*s, static_cast<std::size_t>(length)));
}

/* fwrite(fp, string [, length]): the bytes written. */
ZEND_FUNCTION(fwrite)
{
    zval *handle;
    std::string data;
    long limit = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "zs|l", &handle, &data, &limit))
        return;
    std::size_t length = data.size();
    if (ZEND_NUM_ARGS() == 3)
        length = limit <= 0 ? 0 : std::min(length, static_cast<std::size_t>(limit));
    stream *s = stream_arg(handle);
    if (!s)
        RETURN_FALSE;
    if (!s->writable)
        RETURN_LONG(0);
    RETURN_LONG(stream_write(*s, data.data(), length));
}

ZEND_FUNCTION(fflush)
{
    zval *handle;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &handle))
        return;
    if (!stream_arg(handle))
        RETURN_FALSE;
    RETURN_TRUE; /* writes are not buffered */
}

ZEND_FUNCTION(ftell)
{
    zval *handle;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &handle))
        return;
    stream *s = stream_arg(handle);
    if (!s)
        RETURN_FALSE;
    if (s->fd < 0)
        RETURN_FALSE;
    RETURN_LONG(static_cast<long>(s->position));
}

namespace {

/* 0, or -1 when the descriptor cannot go there. */
long seek(stream &s, long offset, int whence)
{
    if (s.fd < 0)
        return -1;
    if (whence == SEEK_CUR) {
        offset += static_cast<long>(s.position);
        whence = SEEK_SET;
    }
    if (whence != SEEK_SET && whence != SEEK_END)
        return -1;
    off_t target = ::lseek(s.fd, offset, whence);
    if (target < 0) {
        ::lseek(s.fd, s.position + static_cast<off_t>(s.unread()), SEEK_SET);
        return -1;
    }
    s.buffer.clear();
    s.consumed = 0;
    s.position = target;
    s.eof = false;
    return 0;
}

} // namespace

void zend::builtins::add_stat_array(zval *return_value, const struct stat &st)
{
    static const char *const names[13] = {"dev",  "ino",   "mode",  "nlink", "uid",     "gid",   "rdev",
                                          "size", "atime", "mtime", "ctime", "blksize", "blocks"};
    const long values[13] = {static_cast<long>(st.st_dev),     static_cast<long>(st.st_ino),
                             static_cast<long>(st.st_mode),    static_cast<long>(st.st_nlink),
                             static_cast<long>(st.st_uid),     static_cast<long>(st.st_gid),
                             static_cast<long>(st.st_rdev),    static_cast<long>(st.st_size),
                             static_cast<long>(st.st_atime),   static_cast<long>(st.st_mtime),
                             static_cast<long>(st.st_ctime),   static_cast<long>(st.st_blksize),
                             static_cast<long>(st.st_blocks)};
    array_init(return_value);
    for (long v : values)
        array_append(return_value->value.ht, new_long(v));
    for (int i = 0; i < 13; i++)
        array_put(return_value->value.ht, names[i], new_long(values[i]));
}

namespace {

} // namespace

/* fseek(fp, offset [, whence]): 0, or -1 on failure. */
ZEND_FUNCTION(fseek)
{
    zval *handle;
    long offset, whence = SEEK_SET;
    if (!parse_args(ZEND_NUM_ARGS(), "zl|l", &handle, &offset, &whence))
        return;
    stream *s = stream_arg(handle);
    if (!s)
        RETURN_FALSE;
    RETURN_LONG(seek(*s, offset, static_cast<int>(whence)));
}

ZEND_FUNCTION(rewind)
{
    zval *handle;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &handle))
        return;
    stream *s = stream_arg(handle);
    if (!s)
        RETURN_FALSE;
    RETURN_BOOL(seek(*s, 0, SEEK_SET) == 0);
}

/* flock(fp, operation [, &wouldblock]): LOCK_SH 1, LOCK_EX 2, LOCK_UN 3,
 * with LOCK_NB (4) added not to wait. */
ZEND_FUNCTION(flock)
{
    zval *handle, *wouldblock = nullptr;
    long operation;
    if (!parse_args(ZEND_NUM_ARGS(), "zl|z", &handle, &operation, &wouldblock))
        return;
    stream *s = stream_arg(handle);
    if (!s)
        RETURN_FALSE;
    long act = operation & 3;
    if (act < 1 || act > 3) {
        function_error(E_WARNING, "Illegal operation argument");
        RETURN_FALSE;
    }
    if (wouldblock) {
        zval_dtor(wouldblock);
        wouldblock->type = IS_LONG;
        wouldblock->value.lval = 0;
    }
    static const int actions[] = {LOCK_SH, LOCK_EX, LOCK_UN};
    int how = actions[act - 1] | ((operation & 4) ? LOCK_NB : 0);
    if (s->fd < 0)
        RETURN_FALSE;
    int r;
    do {
        r = ::flock(s->fd, how);
    } while (r != 0 && errno == EINTR);
    if (r != 0) {
        /* a lock not had is a failure, also when the caller learns why */
        if (errno == EWOULDBLOCK && wouldblock)
            wouldblock->value.lval = 1;
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

/* ftruncate(fp, size): 1 when the file now has that size, 0 when the
 * system refused (a negative size, a file not open for writing), as the
 * original engine returned the system call's result plus one. The
 * script's position stays where it was. */
ZEND_FUNCTION(ftruncate)
{
    zval *handle;
    long size;
    if (!parse_args(ZEND_NUM_ARGS(), "zl", &handle, &size))
        return;
    stream *s = stream_arg(handle);
    if (!s)
        RETURN_FALSE;
    if (s->fd < 0)
        RETURN_FALSE;
    drop_read_ahead(*s);
    int r;
    do {
        r = ::ftruncate(s->fd, static_cast<off_t>(size));
    } while (r != 0 && errno == EINTR);
    RETURN_LONG(r == 0 ? 1 : 0);
}

/* fpassthru(fp): the rest of the file to the output; the bytes sent. */
ZEND_FUNCTION(fpassthru)
{
    zval *handle;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &handle))
        return;
    stream *s = stream_arg(handle);
    if (!s)
        RETURN_FALSE;
    long total = 0;
    while (true) {
        std::string chunk = stream_read(*s, chunk_size * 8);
        if (chunk.empty())
            break;
        zend_write(chunk.data(), static_cast<uint>(chunk.size()));
        total += static_cast<long>(chunk.size());
    }
    RETURN_LONG(total);
}

/* fstat(fp): the status fields by number and by name. */
ZEND_FUNCTION(fstat)
{
    zval *handle;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &handle))
        return;
    stream *s = stream_arg(handle);
    if (!s)
        RETURN_FALSE;
    struct stat st;
    int fd = s->dir ? ::dirfd(s->dir) : s->fd;
    if (fd < 0 || ::fstat(fd, &st) != 0)
        RETURN_FALSE;
    add_stat_array(return_value, st);
}

/* fgetcsv(fp, length [, delimiter [, enclosure]]): one record's fields. A
 * field in enclosures may hold delimiters and line breaks (the record then
 * goes on over the next lines); a doubled enclosure inside stands for one.
 * length bounds each line read (0: no bound). A blank line gives one empty
 * field; false at the end of the data. */
ZEND_FUNCTION(fgetcsv)
{
    zval *handle;
    long length;
    std::string d = ",", e = "\"";
    if (!parse_args(ZEND_NUM_ARGS(), "zl|ss", &handle, &length, &d, &e))
        return;
    if (d.empty()) {
        function_error(E_WARNING, "delimiter must be a character");
        RETURN_FALSE;
    }
    char delimiter = d[0], enclosure = e.empty() ? '\0' : e[0];
    stream *s = stream_arg(handle);
    if (!s)
        RETURN_FALSE;

    if (length < 0) {
        function_error(E_WARNING, "Length parameter may not be negative");
        RETURN_FALSE;
    }
    std::size_t max = length > 1 ? static_cast<std::size_t>(length - 1) : 0;
    std::string line;
    if (!stream_get_line(*s, max, line))
        RETURN_FALSE;
    auto chop = [](std::string &text) {
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
    };
    array_init(return_value);
    std::string text = line;
    chop(text);
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])) && text[i] != delimiter)
        i++;
    while (true) {
        std::string field;
        std::size_t start = i;
        while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start])) && text[start] != delimiter)
            start++;
        if (enclosure && start < text.size() && text[start] == enclosure) {
            i = start + 1;
            bool closed = false;
            while (!closed) {
                if (i >= text.size()) {
                    /* the field goes on over the next line */
                    field += line.substr(text.size());
                    std::string next;
                    if (!stream_get_line(*s, max, next))
                        break;
                    line = next;
                    text = next;
                    chop(text);
                    i = 0;
                    continue;
                }
                char c = text[i];
                if (c == '\\' && i + 1 < text.size() && text[i + 1] == enclosure) {
                    field += c;
                    field += text[i + 1];
                    i += 2;
                } else if (c == enclosure) {
                    if (i + 1 < text.size() && text[i + 1] == enclosure) {
                        field += enclosure;
                        i += 2;
                    } else {
                        closed = true;
                        i++;
                    }
                } else {
                    field += c;
                    i++;
                }
            }
            /* text after the closing enclosure belongs to the field */
            std::size_t end = text.find(delimiter, i);
            field.append(text, i, (end == std::string::npos ? text.size() : end) - i);
            i = end;
        } else {
            std::size_t end = text.find(delimiter, i);
            field = text.substr(i, (end == std::string::npos ? text.size() : end) - i);
            i = end;
        }
        array_append(return_value->value.ht, new_string(field));
        if (i == std::string::npos || i >= text.size() + 1)
            break;
        i++; /* past the delimiter */
    }
}
