/* crypt(): one-way hashing of passwords by the C library's crypt(3)
 * (libxcrypt), which knows standard and extended DES, MD5, Blowfish and
 * the SHA-2 methods; the salt's form chooses the method.
 *
 * The salt is at most CRYPT_SALT_LENGTH bytes; without one an MD5 salt is
 * made from the random generator. PHP 4 padded a short salt with '$' for
 * the C library of its day; this library reads a padded two-byte salt as
 * the start of a longer DES variant, so the salt goes as given. */
#include <crypt.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

constexpr std::size_t max_salt_length = 60; /* Blowfish's */

const char itoa64[] = "./0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

void to64(char *s, unsigned long v, int n)
{
    while (--n >= 0) {
        *s++ = itoa64[v & 0x3f];
        v >>= 6;
    }
}

} // namespace

namespace zend::builtins {

void register_crypt_constants(void (*constant)(const char *, long))
{
    constant("CRYPT_SALT_LENGTH", static_cast<long>(max_salt_length));
    constant("CRYPT_STD_DES", 1);
    constant("CRYPT_EXT_DES", 1);
    constant("CRYPT_MD5", 1);
    constant("CRYPT_BLOWFISH", 1);
}

} // namespace zend::builtins

/* crypt(str [, salt]) */
ZEND_FUNCTION(crypt)
{
    std::string text, given;
    if (!parse_args(ZEND_NUM_ARGS(), "s|s", &text, &given))
        return;
    /* at most the longest salt, up to a NUL; the rest of a whole hash
     * given as the salt is ignored by the library */
    std::string salt = given.substr(0, std::min(given.find('\0'), max_salt_length));
    if (salt.empty()) {
        std::mt19937 &random = random_generator();
        char made[13] = "$1$";
        to64(made + 3, random(), 4);
        to64(made + 7, random(), 4);
        made[11] = '$';
        salt.assign(made, 12);
    }
    /* crypt_data is large: on the heap, not the stack */
    auto data = std::make_unique<crypt_data>();
    const char *hash = crypt_r(text.c_str(), salt.c_str(), data.get());
    /* a salt the library cannot use gives a failure text, never null:
     * "*0", or "*1" when the salt was "*0" */
    if (!hash)
        hash = salt == "*0" ? "*1" : "*0";
    RETURN_STRING(hash, 1);
}
