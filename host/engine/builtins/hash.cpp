/* Message digests and checksums: md5 (RFC 1321), sha1 (FIPS 180-1) and
 * crc32 (the polynomial of zlib and PNG), each over the string's bytes and
 * given as lower-case hex, or for crc32 as a non-negative integer. */
#include <cstdint>
#include <cstring>
#include <string>

#include "builtins.h"
#include "builtins/stream.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

uint32_t rotl(uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

/* The message padded as both digests want it: a 1 bit, zeros, then the
 * bit length in 64 bits, big- or little-endian. */
std::string padded(const std::string &message, bool big_endian)
{
    std::string m = message;
    uint64_t bits = static_cast<uint64_t>(message.size()) * 8;
    m += static_cast<char>(0x80);
    while (m.size() % 64 != 56)
        m += '\0';
    for (int i = 0; i < 8; i++) {
        int shift = big_endian ? 56 - 8 * i : 8 * i;
        m += static_cast<char>((bits >> shift) & 0xff);
    }
    return m;
}

std::string hex(const unsigned char *bytes, std::size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < n; i++) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

std::string md5_hex(const std::string &message)
{
    static const uint32_t k[64] = {
        0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
        0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
        0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
        0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
        0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
        0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
        0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
        0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
    static const int r[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                              5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                              4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                              6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
    uint32_t h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    std::string m = padded(message, false);
    for (std::size_t block = 0; block < m.size(); block += 64) {
        uint32_t w[16];
        for (int i = 0; i < 16; i++) {
            const unsigned char *p = reinterpret_cast<const unsigned char *>(m.data() + block + 4 * i);
            w[i] = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
        }
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
        for (int i = 0; i < 64; i++) {
            uint32_t f;
            int g;
            if (i < 16) {
                f = (b & c) | (~b & d);
                g = i;
            } else if (i < 32) {
                f = (d & b) | (~d & c);
                g = (5 * i + 1) % 16;
            } else if (i < 48) {
                f = b ^ c ^ d;
                g = (3 * i + 5) % 16;
            } else {
                f = c ^ (b | ~d);
                g = (7 * i) % 16;
            }
            uint32_t next = d;
            d = c;
            c = b;
            b = b + rotl(a + f + k[i] + w[g], r[i]);
            a = next;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
    }
    unsigned char digest[16];
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            digest[4 * i + j] = static_cast<unsigned char>((h[i] >> (8 * j)) & 0xff);
    return hex(digest, 16);
}

std::string sha1_hex(const std::string &message)
{
    uint32_t h[5] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476, 0xc3d2e1f0};
    std::string m = padded(message, true);
    for (std::size_t block = 0; block < m.size(); block += 64) {
        uint32_t w[80];
        for (int i = 0; i < 16; i++) {
            const unsigned char *p = reinterpret_cast<const unsigned char *>(m.data() + block + 4 * i);
            w[i] = (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
        }
        for (int i = 16; i < 80; i++)
            w[i] = rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (int i = 0; i < 80; i++) {
            uint32_t f, k;
            if (i < 20) {
                f = (b & c) | (~b & d);
                k = 0x5a827999;
            } else if (i < 40) {
                f = b ^ c ^ d;
                k = 0x6ed9eba1;
            } else if (i < 60) {
                f = (b & c) | (b & d) | (c & d);
                k = 0x8f1bbcdc;
            } else {
                f = b ^ c ^ d;
                k = 0xca62c1d6;
            }
            uint32_t t = rotl(a, 5) + f + e + k + w[i];
            e = d;
            d = c;
            c = rotl(b, 30);
            b = a;
            a = t;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
        h[4] += e;
    }
    unsigned char digest[20];
    for (int i = 0; i < 5; i++)
        for (int j = 0; j < 4; j++)
            digest[4 * i + j] = static_cast<unsigned char>((h[i] >> (24 - 8 * j)) & 0xff);
    return hex(digest, 20);
}

uint32_t crc32_of(const std::string &data)
{
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t n = 0; n < 256; n++) {
            uint32_t c = n;
            for (int k = 0; k < 8; k++)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    uint32_t crc = 0xffffffffu;
    for (unsigned char c : data)
        crc = table[(crc ^ c) & 0xff] ^ (crc >> 8);
    return crc ^ 0xffffffffu;
}

/* The digest of a file's content, or false after the open warning. */
void file_digest(INTERNAL_FUNCTION_PARAMETERS, std::string (*digest)(const std::string &))
{
    std::string path;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &path))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;

    stream *s = open_stream(path, "rb", false);
    if (!s)
        RETURN_FALSE;
    std::string content = stream_read(*s, 0);
    delete s;
    return_string(return_value, digest(content));
}

} // namespace

ZEND_FUNCTION(md5)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    return_string(return_value, md5_hex(s));
}

ZEND_FUNCTION(sha1)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    return_string(return_value, sha1_hex(s));
}

ZEND_FUNCTION(crc32)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    RETURN_LONG(static_cast<long>(crc32_of(s)));
}

ZEND_FUNCTION(md5_file) { file_digest(INTERNAL_FUNCTION_PARAM_PASSTHRU, md5_hex); }
ZEND_FUNCTION(sha1_file) { file_digest(INTERNAL_FUNCTION_PARAM_PASSTHRU, sha1_hex); }
