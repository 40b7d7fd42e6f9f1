/* URL path resolution and content types. */
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "resolve.h"

namespace httpd {

namespace {

int hex_value(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

/* Percent-decodes a URL path ("+" stays). false on a malformed escape or
 * a NUL byte. */
bool decode_path(const std::string &in, std::string &out)
{
    out.clear();
    for (std::size_t i = 0; i < in.size(); i++) {
        if (in[i] != '%') {
            out += in[i];
            continue;
        }
        if (i + 2 >= in.size() || hex_value(in[i + 1]) < 0 || hex_value(in[i + 2]) < 0)
            return false;
        char c = static_cast<char>(hex_value(in[i + 1]) * 16 + hex_value(in[i + 2]));
        if (c == '\0')
            return false;
        out += c;
        i += 2;
    }
    return true;
}

bool is_script_name(const std::string &name)
{
    if (name.size() < 4)
        return false;
    std::string ext = name.substr(name.size() - 4);
    for (char &c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".php";
}

/* The real path of path lies inside root. */
bool inside(const std::string &root, const std::string &path)
{
    char buf[PATH_MAX];
    if (!realpath(path.c_str(), buf))
        return false;
    std::size_t n = root.size();
    return std::strncmp(buf, root.c_str(), n) == 0 && (buf[n] == '\0' || buf[n] == '/' || root == "/");
}

resolved refusal(resolved::kind_t kind)
{
    resolved r;
    r.kind = kind;
    return r;
}

/* Looks at one name on the way down from the root: a symbolic link is
 * followed only when where it leads is inside the root. 0 and the status
 * of what the name stands for, or the refusal. Every step below the real
 * root is a plain name or a link checked here, and ".." never occurs, so
 * a path walked this way stays inside. */
resolved::kind_t step(const std::string &root, const std::string &path, struct stat &st)
{
    if (lstat(path.c_str(), &st) != 0)
        return errno == EACCES ? resolved::forbidden : resolved::not_found;
    if (S_ISLNK(st.st_mode)) {
        if (!inside(root, path))
            return resolved::forbidden;
        if (stat(path.c_str(), &st) != 0)
            return resolved::not_found;
    }
    return resolved::file;
}

/* A regular file found at path, reached through url (its URL path). */
resolved regular_file(const std::string &path, const std::string &url, const std::string &path_info)
{
    resolved r;
    r.path = path;
    if (is_script_name(path)) {
        r.kind = resolved::script;
        r.script_name = url;
        r.path_info = path_info;
    } else if (!path_info.empty()) {
        return refusal(resolved::not_found);
    } else {
        r.kind = resolved::file;
    }
    return r;
}

} // namespace

std::string target_path(const std::string &target)
{
    std::string t = target;
    /* absolute form: drop scheme and authority */
    std::size_t scheme = t.find("://");
    if (scheme != std::string::npos && t.find('/') > scheme) {
        std::size_t slash = t.find('/', scheme + 3);
        t = slash == std::string::npos ? "/" : t.substr(slash);
    }
    return t.substr(0, t.find('?'));
}

std::string target_query(const std::string &target)
{
    std::size_t q = target.find('?');
    return q == std::string::npos ? "" : target.substr(q + 1);
}

resolved resolve(const std::string &docroot, const std::string &target)
{
    std::string url = target_path(target);
    if (url.empty() || url[0] != '/')
        return refusal(resolved::bad_request);
    std::string decoded;
    if (!decode_path(url, decoded))
        return refusal(resolved::bad_request);

    std::vector<std::string> segments;
    for (std::size_t pos = 0; pos <= decoded.size();) {
        std::size_t slash = decoded.find('/', pos);
        if (slash == std::string::npos)
            slash = decoded.size();
        std::string segment = decoded.substr(pos, slash - pos);
        pos = slash + 1;
        if (segment.empty() || segment == ".")
            continue;
        if (segment[0] == '.') /* "..", and hidden files such as .htaccess */
            return refusal(resolved::forbidden);
        segments.push_back(segment);
    }

    std::string path = docroot;
    std::string url_path;
    for (std::size_t i = 0; i < segments.size(); i++) {
        path += "/" + segments[i];
        url_path += "/" + segments[i];
        struct stat st;
        resolved::kind_t found = step(docroot, path, st);
        if (found != resolved::file)
            return refusal(found);
        if (S_ISDIR(st.st_mode))
            continue;
        if (!S_ISREG(st.st_mode))
            return refusal(resolved::forbidden);
        std::string path_info;
        for (std::size_t j = i + 1; j < segments.size(); j++)
            path_info += "/" + segments[j];
        if (decoded.back() == '/') /* "/a.php/" has the path info "/" */
            path_info += "/";
        return regular_file(path, url_path, path_info);
    }

    /* A directory. */
    if (url.back() != '/') {
        resolved r;
        r.kind = resolved::redirect;
        r.location = url + "/";
        std::string query = target_query(target);
        if (!query.empty())
            r.location += "?" + query;
        return r;
    }
    for (const char *index : {"index.php", "index.html"}) {
        struct stat st;
        std::string candidate = path + "/" + index;
        resolved::kind_t found = step(docroot, candidate, st);
        if (found == resolved::forbidden)
            return refusal(found);
        if (found == resolved::file && S_ISREG(st.st_mode))
            return regular_file(candidate, url_path + "/" + index, "");
    }
    return refusal(resolved::forbidden); /* no index, and no listings */
}

const char *content_type_of(const std::string &path)
{
    static const struct {
        const char *extension;
        const char *type;
    } types[] = {
        {"html", "text/html"},        {"htm", "text/html"},         {"css", "text/css"},
        {"js", "application/javascript"}, {"mjs", "application/javascript"}, {"json", "application/json"},
        {"txt", "text/plain"},        {"xml", "application/xml"},   {"csv", "text/csv"},
        {"png", "image/png"},         {"jpg", "image/jpeg"},        {"jpeg", "image/jpeg"},
        {"gif", "image/gif"},         {"svg", "image/svg+xml"},     {"ico", "image/x-icon"},
        {"webp", "image/webp"},       {"pdf", "application/pdf"},   {"woff", "font/woff"},
        {"woff2", "font/woff2"},      {"wasm", "application/wasm"}, {"mp4", "video/mp4"},
        {"zip", "application/zip"},   {"gz", "application/gzip"},
    };
    std::size_t slash = path.rfind('/');
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "application/octet-stream";
    std::string ext = path.substr(dot + 1);
    for (char &c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto &t : types)
        if (ext == t.extension)
            return t.type;
    return "application/octet-stream";
}

} // namespace httpd
