/* Reading, comparing and making values for the built-ins (comparison by
 * the core's rules, so built-ins agree with the operators). Values made
 * here are request memory; tables own the records put into them. */
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "builtins.h"
#include "core/operators.h"
#include "engine.h"

namespace zend::builtins {

int numeric_string(const char *s, std::size_t len, long *lval, double *dval)
{
    return zend::is_numeric_string(s, static_cast<int>(len), lval, dval);
}

int compare_values(const zval *a, const zval *b)
{
    return zend::compare_values(const_cast<zval *>(a), const_cast<zval *>(b));
}

bool loose_equal(const zval *a, const zval *b)
{
    return compare_values(a, b) == 0;
}

bool strict_equal(const zval *a, const zval *b)
{
    return zend::values_identical(const_cast<zval *>(a), const_cast<zval *>(b));
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

zval *new_string(std::string_view s)
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

void return_string(zval *return_value, std::string_view s)
{
    RETVAL_STRINGL(s.data(), static_cast<uint>(s.size()), 1);
}

} // namespace zend::builtins
