/* Owners, disks and the running page: getlastmod() and its kin describe
 * the main script's file (its owner, group, inode and modification time),
 * chown() and chgrp() change a file's owner by name or number, and
 * disk_free_space() and disk_total_space() measure a file system. Also
 * fnmatch() and strcoll(), thin layers over the C library. */
#include <fnmatch.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "builtins.h"
#include "engine.h"
#include "stream.h"

using namespace zend::builtins;

namespace {

/* The status of the request's main script; false when there is none or
 * it cannot be read. */
bool page_status(struct stat &st)
{
    const std::vector<std::string> &files = zend::included_files();
    return !files.empty() && stat(files.front().c_str(), &st) == 0;
}

enum page_field { page_mtime, page_uid, page_gid, page_inode };

void page_info(INTERNAL_FUNCTION_PARAMETERS, page_field field)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    struct stat st;
    if (!page_status(st))
        RETURN_FALSE;
    switch (field) {
    case page_mtime: RETURN_LONG(static_cast<long>(st.st_mtime));
    case page_uid: RETURN_LONG(static_cast<long>(st.st_uid));
    case page_gid: RETURN_LONG(static_cast<long>(st.st_gid));
    case page_inode: RETURN_LONG(static_cast<long>(st.st_ino));
    }
}

/* A user or group given by name or by number; false after a warning. */
bool owner_id(zval *given, bool group, long &id)
{
    if (given->type != IS_STRING) {
        id = to_long(given);
        return true;
    }
    const char *name = given->value.str.val;
    if (group) {
        if (struct group *g = getgrnam(name)) {
            id = static_cast<long>(g->gr_gid);
            return true;
        }
    } else if (struct passwd *p = getpwnam(name)) {
        id = static_cast<long>(p->pw_uid);
        return true;
    }
    function_error(E_WARNING, group ? "Unable to find gid for %s" : "Unable to find uid for %s", name);
    return false;
}

void change_owner(INTERNAL_FUNCTION_PARAMETERS, bool group)
{
    std::string path;
    zval *who;
    if (!parse_args(ZEND_NUM_ARGS(), "sz", &path, &who))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    long id;
    if (!owner_id(who, group, id))
        RETURN_FALSE;
    int rc = group ? ::chown(path.c_str(), static_cast<uid_t>(-1), static_cast<gid_t>(id))
                   : ::chown(path.c_str(), static_cast<uid_t>(id), static_cast<gid_t>(-1));
    if (rc != 0) {
        function_error(E_WARNING, "%s", std::strerror(errno));
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

void disk_space(INTERNAL_FUNCTION_PARAMETERS, bool free_only)
{
    std::string path;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &path))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    struct statvfs vfs;
    if (statvfs(path.c_str(), &vfs) != 0) {
        function_error(E_WARNING, "%s", std::strerror(errno));
        RETURN_FALSE;
    }
    double blocks = static_cast<double>(free_only ? vfs.f_bavail : vfs.f_blocks);
    RETURN_DOUBLE(blocks * static_cast<double>(vfs.f_frsize));
}

} // namespace

ZEND_FUNCTION(getlastmod) { page_info(INTERNAL_FUNCTION_PARAM_PASSTHRU, page_mtime); }
ZEND_FUNCTION(getmyuid) { page_info(INTERNAL_FUNCTION_PARAM_PASSTHRU, page_uid); }
ZEND_FUNCTION(getmygid) { page_info(INTERNAL_FUNCTION_PARAM_PASSTHRU, page_gid); }
ZEND_FUNCTION(getmyinode) { page_info(INTERNAL_FUNCTION_PARAM_PASSTHRU, page_inode); }

/* get_current_user(): the name of the main script's owner; "" when it has
 * none. */
ZEND_FUNCTION(get_current_user)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    struct stat st;
    struct passwd *p = page_status(st) ? getpwuid(st.st_uid) : nullptr;
    return_string(return_value, p ? p->pw_name : "");
}

ZEND_FUNCTION(chown) { change_owner(INTERNAL_FUNCTION_PARAM_PASSTHRU, false); }
ZEND_FUNCTION(chgrp) { change_owner(INTERNAL_FUNCTION_PARAM_PASSTHRU, true); }

ZEND_FUNCTION(disk_free_space) { disk_space(INTERNAL_FUNCTION_PARAM_PASSTHRU, true); }
ZEND_FUNCTION(diskfreespace) { disk_space(INTERNAL_FUNCTION_PARAM_PASSTHRU, true); }
ZEND_FUNCTION(disk_total_space) { disk_space(INTERNAL_FUNCTION_PARAM_PASSTHRU, false); }

/* fnmatch(pattern, string [, flags]): whether string matches the shell
 * pattern. */
ZEND_FUNCTION(fnmatch)
{
    std::string pattern, text;
    long flags = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "ss|l", &pattern, &text, &flags))
        return;
    RETURN_BOOL(::fnmatch(pattern.c_str(), text.c_str(), static_cast<int>(flags)) == 0);
}

/* strcoll(a, b): the locale's order, which in the engine's C locale is
 * the bytes' order. */
ZEND_FUNCTION(strcoll)
{
    std::string a, b;
    if (!parse_args(ZEND_NUM_ARGS(), "ss", &a, &b))
        return;
    RETURN_LONG(std::strcoll(a.c_str(), b.c_str()));
}
