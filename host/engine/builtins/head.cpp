/* Response headers from scripts: header(), headers_sent() and setcookie().
 * The headers go to the request's response record (core/response.cpp),
 * which the program serving the request sends. The whole response is held
 * until the script ends, so headers are never sent while a script runs. */
#include <cctype>
#include <cstdio>
#include <ctime>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

/* urlencode()'s encoding, as the original engine applied it to cookie
 * values. */
std::string url_encode(const std::string &s)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : s) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.') {
            out += ch;
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

/* "Sun, 01-Jan-2006 00:00:00 GMT", the cookie expiry form; empty when the
 * time has no calendar date of four digits. */
std::string cookie_date(time_t t)
{
    static const char *const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    struct tm tm;
    if (!gmtime_r(&t, &tm) || tm.tm_year + 1900 > 9999)
        return "";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s, %02d-%s-%04d %02d:%02d:%02d GMT", days[tm.tm_wday], tm.tm_mday,
                  months[tm.tm_mon], tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

} // namespace

/* header(line [, replace [, http_response_code]]) */
ZEND_FUNCTION(header)
{
    std::string line;
    bool replace = true;
    long status = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "s|bl", &line, &replace, &status))
        return;
    zend::add_response_header(line, replace, status);
}

/* headers_sent(): false while the script runs, since the response goes out
 * whole when it ends. */
ZEND_FUNCTION(headers_sent)
{
    zval *file, *line; /* where output started: never, so never set */
    if (!parse_args(ZEND_NUM_ARGS(), "|zz", &file, &line))
        return;
    RETURN_FALSE;
}

/* setcookie(name [, value [, expire [, path [, domain [, secure]]]]]): the
 * value goes out url-encoded; an empty value deletes the cookie with an
 * expiry a year and a second in the past. Characters that would end the
 * header or the cookie early are refused in the name, path and domain. */
ZEND_FUNCTION(setcookie)
{
    std::string name, value, path, domain;
    long expires = 0;
    bool secure = false;
    if (!parse_args(ZEND_NUM_ARGS(), "s|slssb", &name, &value, &expires, &path, &domain, &secure))
        return;
    bool has_value = ZEND_NUM_ARGS() >= 2;


    static const char forbidden[] = "=,; \t\r\n\013\014";
    if (name.empty()) {
        zend_error(E_WARNING, "Cookie names must not be empty");
        RETURN_FALSE;
    }
    if (name.find_first_of(forbidden, 0, sizeof forbidden - 1) != std::string::npos ||
        name.find('\0') != std::string::npos) {
        zend_error(E_WARNING, "Cookie names can not contain any of the following '=,; \\t\\r\\n\\013\\014'");
        RETURN_FALSE;
    }
    if (path.find_first_of(forbidden + 1, 0, sizeof forbidden - 2) != std::string::npos ||
        path.find('\0') != std::string::npos) {
        zend_error(E_WARNING, "Cookie paths cannot contain any of the following ',; \\t\\r\\n\\013\\014'");
        RETURN_FALSE;
    }
    if (domain.find_first_of(forbidden + 1, 0, sizeof forbidden - 2) != std::string::npos ||
        domain.find('\0') != std::string::npos) {
        zend_error(E_WARNING, "Cookie domains cannot contain any of the following ',; \\t\\r\\n\\013\\014'");
        RETURN_FALSE;
    }

    std::string cookie = "Set-Cookie: " + name + "=";
    if (has_value && value.empty()) {
        cookie += "deleted; expires=" + cookie_date(std::time(nullptr) - 31536001);
    } else {
        cookie += url_encode(value);
        if (expires > 0) {
            std::string date = cookie_date(static_cast<time_t>(expires));
            if (date.empty()) {
                zend_error(E_WARNING, "Expiry date cannot have a year greater than 9999");
                RETURN_FALSE;
            }
            cookie += "; expires=" + date;
        }
    }
    if (!path.empty())
        cookie += "; path=" + path;
    if (!domain.empty())
        cookie += "; domain=" + domain;
    if (secure)
        cookie += "; secure";
    RETURN_BOOL(zend::add_response_header(cookie, false, 0));
}
