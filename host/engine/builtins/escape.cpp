/* Escaping built-ins: line breaks as HTML, backslash quoting, URL encoding
 * and decoding. */
#include <cctype>
#include <string>

#include "builtins.h"
#include "engine.h"

using zend::builtins::parse_args;
using zend::builtins::return_string;

/* nl2br: "<br />" before every line break (\n, \r, \r\n or \n\r). */
ZEND_FUNCTION(nl2br)
{
    std::string s, out;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    for (std::size_t i = 0; i < s.size(); i++) {
        if (s[i] == '\n' || s[i] == '\r') {
            out += "<br />";
            out += s[i];
            if (i + 1 < s.size() && (s[i + 1] == '\n' || s[i + 1] == '\r') && s[i + 1] != s[i])
                out += s[++i];
        } else {
            out += s[i];
        }
    }
    return_string(return_value, out);
}

std::string zend::builtins::add_slashes(std::string_view s)
{
    std::string out;
    for (char c : s) {
        if (c == '\0') {
            out += "\\0";
            continue;
        }
        if (c == '\'' || c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

ZEND_FUNCTION(addslashes)
{
    std::string_view s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    return_string(return_value, zend::builtins::add_slashes(s));
}

ZEND_FUNCTION(stripslashes)
{
    std::string s, out;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    for (std::size_t i = 0; i < s.size(); i++) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            i++;
            out += s[i] == '0' ? '\0' : s[i];
        } else if (s[i] != '\\') {
            out += s[i];
        }
    }
    return_string(return_value, out);
}

namespace {

std::string url_encode(const std::string &s, bool raw)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : s) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.')
            out += ch;
        else if (c == ' ' && !raw)
            out += '+';
        else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

} // namespace

ZEND_FUNCTION(urlencode)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    return_string(return_value, url_encode(s, false));
}

ZEND_FUNCTION(rawurlencode)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    return_string(return_value, url_encode(s, true));
}

namespace {

std::string url_decode(const std::string &s, bool raw)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); i++) {
        if (s[i] == '+' && !raw) {
            out += ' ';
        } else if (s[i] == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
                   std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

} // namespace

ZEND_FUNCTION(urldecode)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    return_string(return_value, url_decode(s, false));
}

ZEND_FUNCTION(rawurldecode)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    return_string(return_value, url_decode(s, true));
}
