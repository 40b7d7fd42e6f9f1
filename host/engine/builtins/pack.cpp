/* pack() and unpack(): values to and from binary strings by a format of
 * one-letter codes, each with an optional count ("*" for all):
 *
 *   a A   a string padded with NULs or blanks to the count (unpack takes
 *         the padding off again)
 *   h H   a hex string, low or high nibble first; the count is in nibbles
 *   c C   signed and unsigned char
 *   s S   16 bits, machine order; n and v big and little endian
 *   i I   machine int; l L 32 bits, machine order; N and V big and little
 *         endian
 *   f d   float and double, machine format
 *   x X @ a NUL byte, one byte back, NULs up to an absolute position
 *
 * For numbers the count is how many arguments (pack) or values (unpack)
 * the code takes. unpack's format names each value: "Cx" gives "x", and
 * with a count, "C2x" gives "x1" and "x2". Bad formats and data too short
 * give the original's warnings; a pack() result larger than 64 MiB is
 * refused with a warning. */
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "builtins.h"

using namespace zend::builtins;

namespace {

constexpr long all = -1;  /* the "*" count */
constexpr long none = -2; /* no count given */
constexpr std::size_t max_output = std::size_t(1) << 26; /* bytes pack() makes at most */

/* The count after a code at format[i]: digits, all ("*") or none; i moves
 * past it. */
long read_count(const std::string &format, std::size_t &i)
{
    if (i < format.size() && format[i] == '*') {
        i++;
        return all;
    }
    if (i >= format.size() || format[i] < '0' || format[i] > '9')
        return none;
    long n = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
        if (n < 100000000)
            n = n * 10 + (format[i] - '0');
        i++;
    }
    return n;
}

int width_of(char code)
{
    switch (code) {
    case 'c': case 'C': return 1;
    case 's': case 'S': case 'n': case 'v': return 2;
    case 'i': case 'I': return static_cast<int>(sizeof(int));
    case 'l': case 'L': case 'N': case 'V': return 4;
    case 'f': return static_cast<int>(sizeof(float));
    case 'd': return static_cast<int>(sizeof(double));
    default: return 0;
    }
}

/* Whether a code's bytes go most significant first: n and N always, v and
 * V never, the others as the machine orders them. */
bool is_big_endian(char code)
{
    if (code == 'n' || code == 'N')
        return true;
    if (code == 'v' || code == 'V')
        return false;
    return __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__;
}

/* Appends the low `width` bytes of v in the code's byte order. */
void put_integer(std::string &out, char code, long v, int width)
{
    unsigned long u = static_cast<unsigned long>(v);
    unsigned char bytes[8];
    bool big = is_big_endian(code);
    for (int k = 0; k < width; k++)
        bytes[big ? width - 1 - k : k] = static_cast<unsigned char>(u >> (8 * k));
    out.append(reinterpret_cast<const char *>(bytes), static_cast<std::size_t>(width));
}

long get_integer(const unsigned char *p, char code, int width)
{
    bool big = is_big_endian(code);
    unsigned long u = 0;
    for (int k = 0; k < width; k++)
        u |= static_cast<unsigned long>(p[big ? width - 1 - k : k]) << (8 * k);
    switch (code) {
    case 'c': return static_cast<signed char>(u);
    case 's': return static_cast<std::int16_t>(u);
    case 'i': return static_cast<int>(u);
    case 'l': return static_cast<std::int32_t>(u);
    default: return static_cast<long>(u);
    }
}

int hex_value(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

/* pack(format, args...): the binary string; false for an unknown code. */
ZEND_FUNCTION(pack)
{
    std::vector<zval **> args;
    if (!parse_args(ZEND_NUM_ARGS(), "+", &args))
        return;
    std::string format = to_string(*args[0]);
    std::size_t next = 1; /* the next argument to take */
    std::string out;
    for (std::size_t i = 0; i < format.size();) {
        char code = format[i++];
        long count = read_count(format, i);
        switch (code) {
        case 'a': case 'A': case 'h': case 'H': {
            if (next >= args.size()) {
                function_error(E_WARNING, "Type %c: not enough arguments", code);
                RETURN_FALSE;
            }
            std::string s = to_string(*args[next++]);
            if (count == none) count = 1;
            if (code == 'a' || code == 'A') {
                std::size_t n = count == all ? s.size() : static_cast<std::size_t>(count);
                if (n > max_output) n = max_output + 1; /* refused below */
                std::string field = s.substr(0, n);
                field.resize(n, code == 'a' ? '\0' : ' ');
                out += field;
                break;
            }
            std::size_t nibbles = count == all ? s.size() : static_cast<std::size_t>(count);
            if (nibbles > s.size()) {
                function_error(E_WARNING, "Type %c: not enough characters in string", code);
                nibbles = s.size();
            }
            std::string bytes((nibbles + 1) / 2, '\0');
            for (std::size_t k = 0; k < nibbles; k++) {
                int v = hex_value(s[k]);
                if (v < 0) {
                    function_error(E_WARNING, "Type %c: illegal hex digit %c", code, s[k]);
                    v = 0;
                }
                bool high = (code == 'H') == (k % 2 == 0);
                bytes[k / 2] = static_cast<char>(bytes[k / 2] | (high ? v << 4 : v));
            }
            out += bytes;
            break;
        }
        case 'c': case 'C': case 's': case 'S': case 'n': case 'v': case 'i': case 'I':
        case 'l': case 'L': case 'N': case 'V': case 'f': case 'd': {
            std::size_t want = count == all ? args.size() - next : count == none ? 1 : static_cast<std::size_t>(count);
            if (next + want > args.size()) {
                function_error(E_WARNING, "Type %c: too few arguments", code);
                RETURN_FALSE;
            }
            for (std::size_t k = 0; k < want; k++) {
                const zval *v = *args[next++];
                if (code == 'f') {
                    float f = static_cast<float>(to_double(v));
                    out.append(reinterpret_cast<const char *>(&f), sizeof f);
                } else if (code == 'd') {
                    double d = to_double(v);
                    out.append(reinterpret_cast<const char *>(&d), sizeof d);
                } else {
                    put_integer(out, code, to_long(v), width_of(code));
                }
            }
            break;
        }
        case 'x': case 'X': case '@': {
            if (count == all) {
                function_error(E_WARNING, "Type %c: '*' ignored", code);
                count = 1;
            }
            if (count == none) count = code == '@' ? 0 : 1;
            if (count > static_cast<long>(max_output)) count = static_cast<long>(max_output) + 1; /* refused below */
            if (code == 'x') {
                out.append(static_cast<std::size_t>(count), '\0');
            } else if (code == 'X') {
                if (static_cast<std::size_t>(count) > out.size()) {
                    function_error(E_WARNING, "Type %c: outside of string", code);
                    count = static_cast<long>(out.size());
                }
                out.resize(out.size() - static_cast<std::size_t>(count));
            } else {
                out.resize(static_cast<std::size_t>(count), '\0');
            }
            break;
        }
        default:
            function_error(E_WARNING, "Type %c: unknown format code", code);
            RETURN_FALSE;
        }
        if (out.size() > max_output) {
            function_error(E_WARNING, "Type %c: the result would exceed %d bytes", code, static_cast<int>(max_output));
            RETURN_FALSE;
        }
    }
    if (next < args.size())
        function_error(E_WARNING, "%d arguments unused", static_cast<int>(args.size() - next));
    return_string(return_value, out);
}

/* unpack(format, data): the values as an array; false when the data is
 * too short or the format has an unknown code. */
ZEND_FUNCTION(unpack)
{
    std::string format, data;
    if (!parse_args(ZEND_NUM_ARGS(), "ss", &format, &data))
        return;
    array_init(return_value);
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.data());
    std::size_t pos = 0;
    std::size_t i = 0;
    while (i < format.size()) {
        char code = format[i++];
        long count = read_count(format, i);
        std::size_t slash = format.find('/', i);
        std::string name = format.substr(i, slash == std::string::npos ? std::string::npos : slash - i);
        i = slash == std::string::npos ? format.size() : slash + 1;
        auto need = [&](std::size_t n) {
            if (pos + n <= data.size())
                return true;
            function_error(E_WARNING, "Type %c: not enough input, need %d, have %d", code, static_cast<int>(n),
                           static_cast<int>(data.size() - pos));
            return false;
        };
        switch (code) {
        case 'a': case 'A': case 'h': case 'H': {
            bool text = code == 'a' || code == 'A';
            std::size_t left = text ? data.size() - pos : (data.size() - pos) * 2; /* bytes or nibbles */
            std::size_t n = count == all ? left : count == none ? 1 : static_cast<std::size_t>(count);
            std::size_t size = text ? n : (n + 1) / 2;
            if (!need(size)) {
                zval_dtor(return_value);
                RETURN_FALSE;
            }
            std::string value;
            if (text) {
                value = data.substr(pos, n);
                char pad = code == 'a' ? '\0' : ' ';
                while (!value.empty() && value.back() == pad)
                    value.pop_back();
            } else {
                static const char digits[] = "0123456789abcdef";
                for (std::size_t k = 0; k < n; k++) {
                    unsigned char b = bytes[pos + k / 2];
                    bool high = (code == 'H') == (k % 2 == 0);
                    value += digits[high ? b >> 4 : b & 15];
                }
            }
            array_put(return_value->value.ht, name, new_string(value));
            pos += size;
            break;
        }
        case 'c': case 'C': case 's': case 'S': case 'n': case 'v': case 'i': case 'I':
        case 'l': case 'L': case 'N': case 'V': case 'f': case 'd': {
            std::size_t width = static_cast<std::size_t>(width_of(code));
            long times = count == all ? static_cast<long>((data.size() - pos) / width) : count == none ? 1 : count;
            for (long k = 0; k < times; k++) {
                if (!need(width)) {
                    zval_dtor(return_value);
                    RETURN_FALSE;
                }
                zval *v;
                if (code == 'f') {
                    float f;
                    std::memcpy(&f, bytes + pos, sizeof f);
                    v = new_long(0);
                    v->type = IS_DOUBLE;
                    v->value.dval = f;
                } else if (code == 'd') {
                    v = new_long(0);
                    v->type = IS_DOUBLE;
                    std::memcpy(&v->value.dval, bytes + pos, sizeof(double));
                } else {
                    v = new_long(get_integer(bytes + pos, code, static_cast<int>(width)));
                }
                bool numbered = count != none && count != 1;
                std::string key = numbered || name.empty() ? name + std::to_string(k + 1) : name;
                array_put(return_value->value.ht, key, v);
                pos += width;
            }
            break;
        }
        case 'x': case 'X': case '@': {
            long n = count == all || count == none ? (code == '@' ? 0 : 1) : count;
            if (code == 'x') {
                if (!need(static_cast<std::size_t>(n))) {
                    zval_dtor(return_value);
                    RETURN_FALSE;
                }
                pos += static_cast<std::size_t>(n);
            } else if (code == 'X') {
                if (static_cast<std::size_t>(n) > pos) {
                    function_error(E_WARNING, "Type %c: outside of string", code);
                    n = static_cast<long>(pos);
                }
                pos -= static_cast<std::size_t>(n);
            } else {
                if (static_cast<std::size_t>(n) > data.size()) {
                    function_error(E_WARNING, "Type %c: outside of string", code);
                    n = static_cast<long>(data.size());
                }
                pos = static_cast<std::size_t>(n);
            }
            break;
        }
        default:
            function_error(E_WARNING, "Invalid format type %c", code);
            zval_dtor(return_value);
            RETURN_FALSE;
        }
    }
}
