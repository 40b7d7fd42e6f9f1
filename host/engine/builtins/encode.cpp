/* Encodings of bytes as text and back: base64, hex, UTF-8 from and to
 * ISO-8859-1, C-style backslash escapes, regular-expression quoting, and
 * lines of fixed length. */
#include <cctype>
#include <cstdio>
#include <string>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

const char base64_digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64_encode(const std::string &in)
{
    std::string out;
    out.reserve((in.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < in.size(); i += 3) {
        unsigned v = (static_cast<unsigned char>(in[i]) << 16) | (static_cast<unsigned char>(in[i + 1]) << 8) |
                     static_cast<unsigned char>(in[i + 2]);
        out += base64_digits[v >> 18];
        out += base64_digits[(v >> 12) & 63];
        out += base64_digits[(v >> 6) & 63];
        out += base64_digits[v & 63];
    }
    if (i < in.size()) {
        unsigned v = static_cast<unsigned char>(in[i]) << 16;
        if (i + 1 < in.size())
            v |= static_cast<unsigned char>(in[i + 1]) << 8;
        out += base64_digits[v >> 18];
        out += base64_digits[(v >> 12) & 63];
        out += i + 1 < in.size() ? base64_digits[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

/* Decoding skips characters outside the alphabet and reads a space as
 * '+' (form posts turn pluses into spaces); it stops at the first '=' or
 * NUL byte. false when the padding comes where no byte can end. */
bool base64_decode(const std::string &in, std::string &out)
{
    int value[256];
    for (int &v : value)
        v = -1;
    for (int i = 0; i < 64; i++)
        value[static_cast<unsigned char>(base64_digits[i])] = i;
    unsigned bits = 0;
    int count = 0;
    bool padded = false;
    for (char c : in) {
        if (c == '\0')
            break;
        if (c == '=') {
            padded = true;
            break;
        }
        if (c == ' ')
            c = '+';
        int v = value[static_cast<unsigned char>(c)];
        if (v < 0)
            continue;
        bits = (bits << 6) | static_cast<unsigned>(v);
        count++;
        if (count % 4 == 0) {
            out += static_cast<char>((bits >> 16) & 0xff);
            out += static_cast<char>((bits >> 8) & 0xff);
            out += static_cast<char>(bits & 0xff);
            bits = 0;
        }
    }
    switch (count % 4) {
    case 1:
        if (padded)
            return false;
        break;
    case 2:
        out += static_cast<char>((bits >> 4) & 0xff);
        break;
    case 3:
        out += static_cast<char>((bits >> 10) & 0xff);
        out += static_cast<char>((bits >> 2) & 0xff);
        break;
    default:
        if (padded && count % 4 == 0)
            return false;
    }
    return true;
}

/* The byte set a character list names, with "a..z" ranges; a malformed
 * range is reported and its characters taken one by one. */
void char_list(const std::string &list, bool set[256])
{
    for (int i = 0; i < 256; i++)
        set[i] = false;
    std::size_t n = list.size();
    for (std::size_t i = 0; i < n; i++) {
        unsigned char c = static_cast<unsigned char>(list[i]);
        if (i + 3 < n && list[i + 1] == '.' && list[i + 2] == '.' && static_cast<unsigned char>(list[i + 3]) >= c) {
            for (unsigned v = c; v <= static_cast<unsigned char>(list[i + 3]); v++)
                set[v] = true;
            i += 3;
        } else if (i + 1 < n && list[i] == '.' && list[i + 1] == '.') {
            if (i == 0)
                function_error(E_WARNING, "Invalid '..'-range, no character to the left of '..'.");
            else if (i + 2 >= n)
                function_error(E_WARNING, "Invalid '..'-range, no character to the right of '..'.");
            else if (static_cast<unsigned char>(list[i - 1]) > static_cast<unsigned char>(list[i + 2]))
                function_error(E_WARNING, "Invalid '..'-range, '..'-range needs to be incrementing.");
            else
                function_error(E_WARNING, "Invalid '..'-range.");
        } else {
            set[c] = true;
        }
    }
}

} // namespace

ZEND_FUNCTION(base64_encode)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    return_string(return_value, base64_encode(s));
}

ZEND_FUNCTION(base64_decode)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    std::string out;
    if (!base64_decode(s, out))
        RETURN_FALSE;
    return_string(return_value, out);
}

ZEND_FUNCTION(bin2hex)
{
    std::string in, out;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &in))
        return;
    static const char digits[] = "0123456789abcdef";
    out.reserve(in.size() * 2);
    for (unsigned char c : in) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return_string(return_value, out);
}

/* utf8_encode: ISO-8859-1 bytes as UTF-8. */
ZEND_FUNCTION(utf8_encode)
{
    std::string in, out;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &in))
        return;
    for (unsigned char c : in) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xc0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3f));
        }
    }
    return_string(return_value, out);
}

/* utf8_decode: UTF-8 as ISO-8859-1; a character beyond it, or a sequence
 * cut short at the end, becomes '?'. */
ZEND_FUNCTION(utf8_decode)
{
    std::string in, out;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &in))
        return;
    std::size_t i = 0;
    while (i < in.size()) {
        const unsigned char *s = reinterpret_cast<const unsigned char *>(in.data()) + i;
        std::size_t left = in.size() - i;
        unsigned long c = s[0];
        std::size_t used = 1;
        if (c >= 0xf0)
            used = 4;
        else if (c >= 0xe0)
            used = 3;
        else if (c >= 0xc0)
            used = 2;
        if (used > left) {
            out += '?';
            break;
        }
        if (used == 4)
            c = ((s[0] & 7ul) << 18) | ((s[1] & 63ul) << 12) | ((s[2] & 63ul) << 6) | (s[3] & 63ul);
        else if (used == 3)
            c = ((s[0] & 63ul) << 12) | ((s[1] & 63ul) << 6) | (s[2] & 63ul);
        else if (used == 2)
            c = ((s[0] & 63ul) << 6) | (s[1] & 63ul);
        out += c > 0xff ? '?' : static_cast<char>(c);
        i += used;
    }
    return_string(return_value, out);
}

/* quotemeta: a backslash before each of . \ + * ? [ ^ ] $ ( ); false for
 * the empty string. */
ZEND_FUNCTION(quotemeta)
{
    std::string in, out;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &in))
        return;
    if (in.empty())
        RETURN_FALSE;
    for (char c : in) {
        switch (c) {
        case '.': case '\\': case '+': case '*': case '?': case '[': case '^': case ']': case '$': case '(': case ')':
            out += '\\';
            break;
        default:
            break;
        }
        out += c;
    }
    return_string(return_value, out);
}

/* addcslashes(string, charlist): a backslash before every listed byte;
 * listed control and high bytes are written as \n \t \r \a \v \b \f or
 * three octal digits. */
ZEND_FUNCTION(addcslashes)
{
    std::string in, list;
    if (!parse_args(ZEND_NUM_ARGS(), "ss", &in, &list))
        return;
    if (in.empty() || list.empty()) {
        return_string(return_value, in);
        return;
    }
    bool set[256];
    char_list(list, set);
    std::string out;
    for (char ch : in) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (!set[c]) {
            out += ch;
            continue;
        }
        out += '\\';
        if (c >= 32 && c <= 126) {
            out += ch;
            continue;
        }
        switch (ch) {
        case '\n': out += 'n'; break;
        case '\t': out += 't'; break;
        case '\r': out += 'r'; break;
        case '\a': out += 'a'; break;
        case '\v': out += 'v'; break;
        case '\b': out += 'b'; break;
        case '\f': out += 'f'; break;
        default: {
            char octal[4];
            std::snprintf(octal, sizeof octal, "%03o", c);
            out += octal;
        }
        }
    }
    return_string(return_value, out);
}

/* stripcslashes: C escapes (\n \r \a \t \v \b \f \\, \xHH, octal \NNN)
 * become their bytes; any other escaped character stands for itself. */
ZEND_FUNCTION(stripcslashes)
{
    std::string in, out;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &in))
        return;
    std::size_t n = in.size();
    for (std::size_t i = 0; i < n; i++) {
        if (in[i] != '\\' || i + 1 >= n) {
            out += in[i];
            continue;
        }
        char c = in[++i];
        switch (c) {
        case 'n': out += '\n'; continue;
        case 'r': out += '\r'; continue;
        case 'a': out += '\a'; continue;
        case 't': out += '\t'; continue;
        case 'v': out += '\v'; continue;
        case 'b': out += '\b'; continue;
        case 'f': out += '\f'; continue;
        case '\\': out += '\\'; continue;
        case 'x':
            if (i + 1 < n && std::isxdigit(static_cast<unsigned char>(in[i + 1]))) {
                std::size_t digits = i + 2 < n && std::isxdigit(static_cast<unsigned char>(in[i + 2])) ? 2 : 1;
                out += static_cast<char>(std::stoi(in.substr(i + 1, digits), nullptr, 16));
                i += digits;
                continue;
            }
            break;
        default:
            break;
        }
        std::size_t digits = 0;
        while (digits < 3 && i + digits < n && in[i + digits] >= '0' && in[i + digits] <= '7')
            digits++;
        if (digits) {
            out += static_cast<char>(std::stoi(in.substr(i, digits), nullptr, 8) & 0xff);
            i += digits - 1;
        } else {
            out += c;
        }
    }
    return_string(return_value, out);
}

/* chunk_split(string [, length [, end]]): end after every length bytes
 * and after the rest. */
ZEND_FUNCTION(chunk_split)
{
    std::string in, end = "\r\n";
    long length = 76;
    if (!parse_args(ZEND_NUM_ARGS(), "s|ls", &in, &length, &end))
        return;

    if (length <= 0) {
        function_error(E_WARNING, "Chunk length should be greater than zero.");
        RETURN_FALSE;
    }
    if (in.empty()) {
        return_string(return_value, "");
        return;
    }
    std::size_t chunk = static_cast<std::size_t>(length);
    std::size_t pieces = (in.size() + chunk - 1) / chunk;
    if (!end.empty() && pieces > (std::size_t(1) << 27) / end.size()) {
        function_error(E_WARNING, "Result is too big");
        RETURN_FALSE;
    }
    std::string out;
    out.reserve(in.size() + pieces * end.size());
    for (std::size_t i = 0; i < in.size(); i += chunk) {
        out.append(in, i, chunk);
        out += end;
    }
    return_string(return_value, out);
}

/* quoted_printable_decode(str): "=XX" becomes the byte XX; '=' at the end
 * of a line (after optional blanks) joins it to the next; anything else is
 * kept. The text ends at its first NUL byte. */
ZEND_FUNCTION(quoted_printable_decode)
{
    std::string_view in;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &in))
        return;
    in = in.substr(0, in.find('\0'));
    auto hex = [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
    };
    std::string out;
    out.reserve(in.size());
    std::size_t i = 0, n = in.size();
    while (i < n) {
        if (in[i] != '=') {
            out += in[i++];
            continue;
        }
        if (i + 2 < n && std::isxdigit(static_cast<unsigned char>(in[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(in[i + 2]))) {
            out += static_cast<char>((hex(in[i + 1]) << 4) + hex(in[i + 2]));
            i += 3;
            continue;
        }
        std::size_t k = 1;
        while (i + k < n && (in[i + k] == ' ' || in[i + k] == '\t'))
            k++;
        if (i + k == n)
            i += k;
        else if (in[i + k] == '\r' && i + k + 1 < n && in[i + k + 1] == '\n')
            i += k + 2;
        else if (in[i + k] == '\r' || in[i + k] == '\n')
            i += k + 1;
        else
            out += in[i++];
    }
    return_string(return_value, out);
}
