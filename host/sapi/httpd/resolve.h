/* From a request's URL path to what answers it: a static file, a script,
 * a redirect or a refusal. Nothing outside the document root is ever
 * opened: a ".." segment (also percent-encoded), a name beginning with a
 * dot, and any path whose real location (after symbolic links) leaves the
 * root are refused. */
#ifndef BRISKO_HTTPD_RESOLVE_H
#define BRISKO_HTTPD_RESOLVE_H

#include <string>

namespace httpd {

struct resolved {
    enum kind_t { file, script, redirect, bad_request, forbidden, not_found } kind = not_found;
    std::string path;        /* file system path of the file or script */
    std::string script_name; /* URL path of the script: SCRIPT_NAME */
    std::string path_info;   /* what follows the script in the URL path, decoded */
    std::string location;    /* redirect: where to */
};

/* docroot is a real path without a trailing slash; target is the request
 * target as sent (origin form "/a/b?q" or absolute form). */
resolved resolve(const std::string &docroot, const std::string &target);

/* The path part of a request target, undecoded, and its query. */
std::string target_path(const std::string &target);
std::string target_query(const std::string &target);

/* The content type of a static file, by its extension. */
const char *content_type_of(const std::string &path);

} // namespace httpd

#endif
