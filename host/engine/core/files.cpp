/* Finding script files by the engine's rules: an absolute path as given;
 * a relative one first from the current directory, then along
 * include_path (colon-separated, tried in order). */
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/stat.h>

#include "engine.h"

namespace zend {
namespace {

/* Directories open with fopen on this system but cannot be read. */
FILE *open_regular(const std::string &path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return nullptr;
    return std::fopen(path.c_str(), "rb");
}

bool fill(zend_file_handle *handle, const std::string &path, FILE *fp) {
    char resolved[PATH_MAX];
    handle->type = ZEND_HANDLE_FP;
    handle->handle.fp = fp;
    handle->filename = estrndup(path.data(), (uint)path.size());
    handle->opened_path = realpath(path.c_str(), resolved) ? estrdup(resolved) : estrdup(handle->filename);
    handle->free_filename = 0;
    return true;
}

} // namespace

bool open_file_for_include(const char *filename, zend_file_handle *handle) {
    if (!filename || !*filename || !handle) return false;
    std::string name(filename);
    if (FILE *fp = open_regular(name)) return fill(handle, name, fp);
    if (name[0] == '/') return false;
    /* "./x" and "../x" name the current directory explicitly. */
    if (name.rfind("./", 0) == 0 || name.rfind("../", 0) == 0) return false;
    const std::string &paths = settings.include_path;
    std::size_t start = 0;
    while (start <= paths.size()) {
        std::size_t end = paths.find(':', start);
        if (end == std::string::npos) end = paths.size();
        std::string dir = paths.substr(start, end - start);
        if (!dir.empty() && dir != ".") {
            std::string candidate = dir + (dir.back() == '/' ? "" : "/") + name;
            if (FILE *fp = open_regular(candidate)) return fill(handle, candidate, fp);
        }
        start = end + 1;
    }
    return false;
}

} // namespace zend
