/* Form uploads: multipart/form-data bodies, as the original engine read
 * them.
 *
 * A body is a run of parts, each opened by a line "--boundary", with its
 * headers, an empty line and its data, which ends before the "\n" (and a
 * "\r" before it) of the next boundary line; "--boundary--" closes the
 * body. A line that only starts like a boundary is data. A part whose
 * Content-Disposition names no field is skipped. A part without a filename
 * is a field, registered into $_POST by the same naming rules as a
 * url-encoded body; the field MAX_FILE_SIZE also sets the size limit of
 * the files after it. A part with a filename is a file: its data goes to a
 * fresh file "phpXXXXXX" in the upload directory, and $_FILES gets, under
 * the field's name, the file's base name, its type, the temporary file's
 * path, an error code and the size. An empty filename is "no file"
 * (UPLOAD_ERR_NO_FILE); a file over upload_max_filesize or over
 * MAX_FILE_SIZE is not kept (UPLOAD_ERR_INI_SIZE, UPLOAD_ERR_FORM_SIZE); a
 * file whose part the body cuts off is not kept either (UPLOAD_ERR_PARTIAL).
 *
 * The temporary files belong to the request: move_uploaded_file takes one
 * away, and the end of the request removes the rest. A request may carry
 * at most max_file_uploads files, and no more than max_input_vars fields;
 * past either, the rest is dropped with a warning. */
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "core/request_vars.h"

namespace zend {

namespace {

constexpr int max_file_uploads = 20;
constexpr std::size_t max_boundary = 1024;

enum upload_error { upload_ok = 0, upload_ini_size = 1, upload_form_size = 2, upload_partial = 3,
                    upload_no_file = 4, upload_no_tmp_dir = 6 };

/* The temporary files of this request that no script moved yet. */
std::vector<std::string> &pending_files()
{
    static std::vector<std::string> files;
    return files;
}

std::string lowercase(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

/* The next word of text up to stop, outside quotes; text moves past the
 * stop character. */
std::string_view next_word(std::string_view &text, char stop)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] != stop) {
        char quote = text[i];
        if (quote == '"' || quote == '\'') {
            for (i++; i < text.size() && text[i] != quote; i++)
                if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == quote)
                    i++;
        }
        if (i < text.size())
            i++;
    }
    std::string_view word = text.substr(0, i);
    text.remove_prefix(i < text.size() ? i + 1 : i);
    return word;
}

/* A parameter's value: quotes taken off, a backslash before the quote
 * character dropped. */
std::string unquote(std::string_view value)
{
    value = trim_space(value);
    if (value.empty() || (value[0] != '"' && value[0] != '\''))
        return std::string(value);
    char quote = value[0];
    std::string out;
    for (std::size_t i = 1; i < value.size() && value[i] != quote; i++) {
        if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == quote)
            i++;
        out += value[i];
    }
    return out;
}

/* The boundary parameter of a Content-Type, without quotes; empty when
 * there is none. */
std::string boundary_of(const std::string &content_type)
{
    std::size_t at = lowercase(content_type).find("boundary");
    if (at == std::string::npos)
        return {};
    std::size_t eq = content_type.find('=', at);
    if (eq == std::string::npos)
        return {};
    std::string_view rest = std::string_view(content_type).substr(eq + 1);
    if (!rest.empty() && rest[0] == '"') {
        std::size_t close = rest.find('"', 1);
        return std::string(rest.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    }
    return std::string(rest.substr(0, rest.find_first_of(";, \t")));
}

/* The next "\n--boundary" at or after from that is a boundary line: the
 * delimiter followed by "--", or by blanks up to the end of the line or
 * of the body. Text that merely starts like one is data. */
std::size_t find_delimiter(std::string_view text, const std::string &next_delimiter, std::size_t from)
{
    for (std::size_t at = text.find(next_delimiter, from); at != std::string_view::npos;
         at = text.find(next_delimiter, at + 1)) {
        std::size_t after = at + next_delimiter.size();
        if (text.substr(after, 2) == "--")
            return at;
        while (after < text.size() && (text[after] == ' ' || text[after] == '\t'))
            after++;
        if (after == text.size() || text[after] == '\n' || text.substr(after, 2) == "\r\n")
            return at;
    }
    return std::string_view::npos;
}

struct form_part {
    bool named = false;
    std::string name;
    bool is_file = false;
    std::string filename;
    std::string type;
    std::string_view data;
    bool complete = false; /* a boundary line followed the data */
};

/* Reads the Content-Disposition and Content-Type headers of a part. */
void read_header(form_part &part, std::string_view line)
{
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return;
    std::string key = lowercase(trim_space(line.substr(0, colon)));
    std::string_view value = trim_space(line.substr(colon + 1));
    if (key == "content-type") {
        part.type = std::string(value);
        return;
    }
    if (key != "content-disposition")
        return;
    while (!value.empty()) {
        std::string_view pair = trim_space(next_word(value, ';'));
        std::size_t eq = pair.find('=');
        if (eq == std::string_view::npos)
            continue;
        std::string param = lowercase(trim_space(pair.substr(0, eq)));
        if (param == "name") {
            part.named = true;
            part.name = unquote(pair.substr(eq + 1));
        } else if (param == "filename") {
            part.is_file = true;
            part.filename = unquote(pair.substr(eq + 1));
        }
    }
}

/* The name a browser sent, without the directories some put before it. */
std::string base_name(const std::string &filename)
{
    std::size_t slash = filename.find_last_of("/\\");
    return slash == std::string::npos ? filename : filename.substr(slash + 1);
}

std::string upload_directory()
{
    if (!settings.upload_tmp_dir.empty())
        return settings.upload_tmp_dir;
    const char *tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

/* Writes data to a fresh temporary file; its path, or empty with a
 * warning when it cannot be made or written. */
std::string save_upload(std::string_view data)
{
    std::string path = upload_directory() + "/phpXXXXXX";
    int fd = mkstemp(path.data());
    if (fd < 0) {
        zend_error(E_WARNING, "File upload error - unable to create a temporary file");
        return {};
    }
    std::size_t written = 0;
    while (written < data.size()) {
        ssize_t n = write(fd, data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    close(fd);
    if (written < data.size()) {
        zend_error(E_WARNING, "Only %zu bytes were written, expected to write %zu", written, data.size());
        unlink(path.c_str());
        return {};
    }
    pending_files().push_back(path);
    return path;
}

zval *long_value(long n)
{
    zval *z;
    ALLOC_ZVAL(z);
    z->type = IS_LONG;
    z->value.lval = n;
    INIT_PZVAL(z);
    return z;
}

/* One file part into $_FILES (and the old-style globals). */
void register_file(HashTable *files, HashTable *file_globals, const form_part &part, long max_file_size)
{
    std::size_t bracket = part.name.find('[');
    std::string base = part.name.substr(0, bracket);
    std::string index = bracket == std::string::npos ? "" : part.name.substr(bracket);

    int error = upload_ok;
    if (part.filename.empty())
        error = upload_no_file;
    else if (!part.complete)
        error = upload_partial;
    else if (settings.upload_max_filesize > 0 && part.data.size() > (std::size_t)settings.upload_max_filesize)
        error = upload_ini_size;
    else if (max_file_size > 0 && part.data.size() > (std::size_t)max_file_size)
        error = upload_form_size;
    std::string path;
    if (error == upload_ok) {
        path = save_upload(part.data);
        if (path.empty())
            error = upload_no_tmp_dir;
    }
    /* A browser's "type; charset=..." keeps only the type. */
    std::string type = error == upload_ok ? std::string(trim_space(part.type.substr(0, part.type.find(';')))) : "";
    long size = error == upload_ok ? static_cast<long>(part.data.size()) : 0;
    std::string name = base_name(part.filename);

    register_variable(files, base + "[name]" + index, name);
    register_variable(files, base + "[type]" + index, type);
    register_variable(files, base + "[tmp_name]" + index, path);
    register_variable(files, base + "[error]" + index, long_value(error));
    register_variable(files, base + "[size]" + index, long_value(size));

    register_variable(file_globals, base + index, path.empty() ? std::string("none") : path);
    register_variable(file_globals, base + "_name" + index, name);
    register_variable(file_globals, base + "_type" + index, type);
    register_variable(file_globals, base + "_size" + index, long_value(size));
}

} // namespace

std::string_view trim_space(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool has_media_type(const std::string &content_type, const char *media)
{
    return lowercase(trim_space(std::string_view(content_type).substr(0, content_type.find(';')))) == media;
}

void parse_multipart(HashTable *post, HashTable *files, HashTable *file_globals, const std::string &content_type,
                     const std::string &body)
{
    std::string boundary = boundary_of(content_type);
    if (boundary.empty()) {
        zend_error(E_WARNING, "Missing boundary in multipart/form-data POST data");
        return;
    }
    if (boundary.size() > max_boundary) {
        zend_error(E_WARNING, "Boundary too large in multipart/form-data POST data");
        return;
    }
    const std::string delimiter = "--" + boundary;
    const std::string next_delimiter = "\n" + delimiter;
    std::string_view text(body);

    std::size_t pos;
    if (text.substr(0, delimiter.size()) == delimiter) {
        pos = 0;
    } else {
        pos = find_delimiter(text, next_delimiter, 0);
        if (pos == std::string_view::npos)
            return;
        pos++;
    }
    long max_file_size = 0;
    int fields = 0, uploads = 0;
    bool warned_fields = false, warned_uploads = false;
    for (;;) {
        pos += delimiter.size();
        if (text.substr(pos, 2) == "--")
            return;
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos)
            return;
        pos = eol + 1;

        form_part part;
        std::string header; /* a header with its continuation lines */
        for (;;) {
            eol = text.find('\n', pos);
            if (eol == std::string_view::npos)
                return; /* the body ends inside the headers */
            std::string_view line = text.substr(pos, eol - pos);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            pos = eol + 1;
            if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && !header.empty()) {
                header += line;
                continue;
            }
            if (!header.empty())
                read_header(part, header);
            header = line;
            if (line.empty())
                break;
        }
        std::size_t end = find_delimiter(text, next_delimiter, pos);
        part.complete = end != std::string_view::npos;
        part.data = text.substr(pos, part.complete ? end - pos : std::string_view::npos);
        if (part.complete && !part.data.empty() && part.data.back() == '\r')
            part.data.remove_suffix(1);

        if (part.named && !part.name.empty()) {
            if (part.is_file) {
                if (++uploads <= max_file_uploads) {
                    register_file(files, file_globals, part, max_file_size);
                } else if (!warned_uploads) {
                    zend_error(E_WARNING, "Maximum number of allowable file uploads has been exceeded");
                    warned_uploads = true;
                }
            } else if (part.complete) {
                if (++fields <= max_input_vars) {
                    std::string value(part.data);
                    if (lowercase(part.name) == "max_file_size")
                        max_file_size = std::atol(value.c_str());
                    register_variable(post, part.name, value);
                } else if (!warned_fields) {
                    zend_error(E_WARNING, "Input variables exceeded %d; the rest of the request body is ignored",
                               max_input_vars);
                    warned_fields = true;
                }
            }
        }
        if (!part.complete)
            return;
        pos = end + 1;
    }
}

bool is_uploaded_file(const std::string &path)
{
    const auto &files = pending_files();
    return std::find(files.begin(), files.end(), path) != files.end();
}

bool is_uploaded_file_pending()
{
    return !pending_files().empty();
}

void forget_uploaded_file(const std::string &path)
{
    auto &files = pending_files();
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
}

void remove_uploaded_files()
{
    for (const std::string &path : pending_files())
        unlink(path.c_str());
    pending_files().clear();
}

} // namespace zend
