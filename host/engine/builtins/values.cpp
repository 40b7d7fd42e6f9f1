/* Reading, comparing and making values for the built-ins. Values made here
 * are request memory; tables own the records put into them. */
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "builtins.h"
#include "engine.h"

namespace zend::builtins {

int numeric_string(const char *s, std::size_t len, long *lval, double *dval)
{
    std::size_t i = 0;
    while (i < len && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' ||
                       s[i] == '\v' || s[i] == '\f'))
        i++;
    if (i == len)
        return 0;
    std::string text(s + i, len - i);
    if (text.find('\0') != std::string::npos)
        return 0;
    const char *begin = text.c_str();
    /* hexadecimal strings count as numbers in this engine generation */
    std::size_t sign = (begin[0] == '-' || begin[0] == '+') ? 1 : 0;
    if (text.size() > sign + 2 && begin[sign] == '0' && (begin[sign + 1] == 'x' || begin[sign + 1] == 'X')) {
        char *end = nullptr;
        errno = 0;
        long v = std::strtol(begin, &end, 16);
        if (*end == '\0' && errno == 0) {
            if (lval) *lval = v;
            if (dval) *dval = static_cast<double>(v);
            return IS_LONG;
        }
        return 0;
    }
    bool integral = true;
    std::size_t k = sign, digits = 0;
    while (k < text.size() && text[k] >= '0' && text[k] <= '9') {
        k++;
        digits++;
    }
    if (k < text.size() && text[k] == '.') {
        integral = false;
        k++;
        while (k < text.size() && text[k] >= '0' && text[k] <= '9') {
            k++;
            digits++;
        }
    }
    if (digits == 0)
        return 0;
    if (k < text.size() && (text[k] == 'e' || text[k] == 'E')) {
        std::size_t e = k + 1;
        if (e < text.size() && (text[e] == '-' || text[e] == '+'))
            e++;
        if (e < text.size() && text[e] >= '0' && text[e] <= '9') {
            integral = false;
            k = e;
            while (k < text.size() && text[k] >= '0' && text[k] <= '9')
                k++;
        }
    }
    if (k != text.size())
        return 0;
    if (integral) {
        errno = 0;
        long v = std::strtol(begin, nullptr, 10);
        if (errno == 0) {
            if (lval) *lval = v;
            if (dval) *dval = static_cast<double>(v);
            return IS_LONG;
        }
    }
    double d = std::strtod(begin, nullptr);
    if (dval) *dval = d;
    if (lval) *lval = static_cast<long>(d);
    return IS_DOUBLE;
}

namespace {

int sign_of(double d)
{
    return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

int compare_strings(const zval *a, const zval *b)
{
    long la, lb;
    double da, db;
    int ta = numeric_string(a->value.str.val, a->value.str.len, &la, &da);
    int tb = ta ? numeric_string(b->value.str.val, b->value.str.len, &lb, &db) : 0;
    if (ta && tb) {
        if (ta == IS_LONG && tb == IS_LONG)
            return la < lb ? -1 : (la > lb ? 1 : 0);
        return sign_of(da - db);
    }
    std::size_t n = std::min(a->value.str.len, b->value.str.len);
    int c = std::memcmp(a->value.str.val, b->value.str.val, n);
    if (c != 0)
        return c < 0 ? -1 : 1;
    return a->value.str.len < b->value.str.len ? -1 : (a->value.str.len > b->value.str.len ? 1 : 0);
}

int compare_arrays(HashTable *a, HashTable *b)
{
    int na = zend_hash_num_elements(a), nb = zend_hash_num_elements(b);
    if (na != nb)
        return na < nb ? -1 : 1;
    for (const element &e : elements(a)) {
        void *other = nullptr;
        int found = e.string_key
            ? zend_hash_find(b, e.key.c_str(), static_cast<uint>(e.key.size() + 1), &other)
            : zend_hash_index_find(b, e.index, &other);
        if (found != SUCCESS)
            return 1;
        int c = compare_values(*e.data, *static_cast<zval **>(other));
        if (c != 0)
            return c;
    }
    return 0;
}

} // namespace

int compare_values(const zval *a, const zval *b)
{
    int ta = a->type, tb = b->type;
    if (ta == IS_STRING && tb == IS_STRING)
        return compare_strings(a, b);
    if (ta == IS_NULL && tb == IS_STRING)
        return b->value.str.len == 0 ? 0 : -1;
    if (ta == IS_STRING && tb == IS_NULL)
        return a->value.str.len == 0 ? 0 : 1;
    if (ta == IS_BOOL || tb == IS_BOOL || ta == IS_NULL || tb == IS_NULL) {
        bool ba = zend_is_true(const_cast<zval *>(a)) != 0;
        bool bb = zend_is_true(const_cast<zval *>(b)) != 0;
        return ba == bb ? 0 : (ba ? 1 : -1);
    }
    if (ta == IS_ARRAY && tb == IS_ARRAY)
        return compare_arrays(a->value.ht, b->value.ht);
    if (ta == IS_ARRAY)
        return 1;
    if (tb == IS_ARRAY)
        return -1;
    if (ta == IS_OBJECT && tb == IS_OBJECT) {
        if (a->value.obj.ce != b->value.obj.ce)
            return 1;
        return compare_arrays(a->value.obj.properties, b->value.obj.properties);
    }
    if (ta == IS_OBJECT)
        return 1;
    if (tb == IS_OBJECT)
        return -1;
    if (ta == IS_LONG && tb == IS_LONG)
        return a->value.lval < b->value.lval ? -1 : (a->value.lval > b->value.lval ? 1 : 0);
    double da = to_double(a), db = to_double(b);
    return sign_of(da - db);
}

bool loose_equal(const zval *a, const zval *b)
{
    return compare_values(a, b) == 0;
}

bool strict_equal(const zval *a, const zval *b)
{
    if (a->type != b->type)
        return false;
    switch (a->type) {
    case IS_NULL:
        return true;
    case IS_LONG:
    case IS_BOOL:
    case IS_RESOURCE:
        return a->value.lval == b->value.lval;
    case IS_DOUBLE:
        return a->value.dval == b->value.dval;
    case IS_STRING:
        return a->value.str.len == b->value.str.len &&
               std::memcmp(a->value.str.val, b->value.str.val, a->value.str.len) == 0;
    default:
        return compare_values(a, b) == 0;
    }
}

zval *copy_of(const zval *src)
{
    zval *z;
    ALLOC_ZVAL(z);
    *z = *src;
    zval_copy_ctor(z);
    INIT_PZVAL(z);
    return z;
}

zval *new_long(long v)
{
    zval *z;
    ALLOC_ZVAL(z);
    z->type = IS_LONG;
    z->value.lval = v;
    INIT_PZVAL(z);
    return z;
}

zval *new_string(const std::string &s)
{
    zval *z;
    ALLOC_ZVAL(z);
    z->type = IS_STRING;
    z->value.str.val = estrndup(s.data(), static_cast<uint>(s.size()));
    z->value.str.len = static_cast<int>(s.size());
    INIT_PZVAL(z);
    return z;
}

void array_put(HashTable *ht, const std::string &key, zval *value)
{
    zend_hash_update(ht, key.c_str(), static_cast<uint>(key.size() + 1), &value, sizeof(zval *), nullptr);
}

void array_put(HashTable *ht, ulong index, zval *value)
{
    zend_hash_index_update(ht, index, &value, sizeof(zval *), nullptr);
}

void array_append(HashTable *ht, zval *value)
{
    if (zend_hash_next_index_insert(ht, &value, sizeof(zval *), nullptr) == FAILURE)
        zval_ptr_dtor(&value);
}

std::vector<element> elements(HashTable *ht)
{
    std::vector<element> out;
    if (!ht)
        return out;
    out.reserve(zend_hash_num_elements(ht));
    HashPosition pos;
    zend_hash_internal_pointer_reset_ex(ht, &pos);
    void *data;
    while (zend_hash_get_current_data_ex(ht, &data, &pos) == SUCCESS) {
        element e{};
        char *key = nullptr;
        uint key_length = 0;
        ulong index = 0;
        int kind = zend_hash_get_current_key_ex(ht, &key, &key_length, &index, 0, &pos);
        if (kind == HASH_KEY_IS_STRING) {
            e.string_key = true;
            e.key.assign(key, key_length ? key_length - 1 : 0);
        } else {
            e.index = index;
        }
        e.data = static_cast<zval **>(data);
        out.push_back(std::move(e));
        zend_hash_move_forward_ex(ht, &pos);
    }
    return out;
}

std::string key_text(const element &e)
{
    return e.string_key ? e.key : std::to_string(static_cast<long>(e.index));
}

void return_string(zval *return_value, const std::string &s)
{
    RETVAL_STRINGL(s.data(), static_cast<uint>(s.size()), 1);
}

} // namespace zend::builtins
