/* File and directory handles as scripts hold them: resources of the type
 * "stream" in the request's resource list.
 *
 * A file stream reads ahead into its own buffer; `position` is where the
 * script is, which is the descriptor's offset minus what the buffer still
 * holds. `eof` is set once a read found no more data (or the stream cannot
 * be read), as feof() reports it; seeking clears it. A directory stream
 * holds an open directory instead of a descriptor. The record is C++ heap
 * memory, freed by the resource list's destructor. */
#ifndef BRISKO_BUILTINS_STREAM_H
#define BRISKO_BUILTINS_STREAM_H

#include <sys/stat.h>
#include <dirent.h>
#include <sys/types.h>

#include <string>

#include "php.h"

namespace zend::builtins {

struct stream {
    int fd = -1;
    DIR *dir = nullptr;         /* directory streams only */
    bool readable = false;
    bool writable = false;
    std::string buffer;         /* read ahead, from `consumed` on unread */
    std::size_t consumed = 0;
    off_t position = 0;
    bool eof = false;

    ~stream();
    std::size_t unread() const { return buffer.size() - consumed; }
};

/* The resource type all streams share. */
int stream_type();

/* A new resource for s in return_value. */
void return_stream(zval *return_value, stream *s);

/* The stream an argument names, or nullptr after the engine's warning
 * (the type name shown is "stream" or, for the directory functions,
 * "Directory"). */
stream *stream_arg(zval *value, const char *type_name = "stream");

/* Paths the script names: a NUL byte inside is refused with a warning. */
bool path_allowed(const std::string &path);



/* Opens a file with fopen()'s mode letters (r, w, a, x, each with an
 * optional +; b and t are ignored), along include_path when asked. false
 * with the engine's "failed to open stream" warning, naming `path`. */
/* The array stat(), lstat() and fstat() return: the thirteen fields by
 * number, then by name. */
void add_stat_array(zval *return_value, const struct stat &st);
stream *open_stream(const std::string &path, const std::string &mode, bool use_include_path);

/* Reading as the script sees it: at most max bytes (0: to the end). */
std::string stream_read(stream &s, std::size_t max);
/* One line with its newline; at most max bytes when max > 0. false at the
 * end of the data. */
bool stream_get_line(stream &s, std::size_t max, std::string &line);

} // namespace zend::builtins

#endif
