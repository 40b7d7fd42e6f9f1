/* Value records: copying, destroying and converting them.
 *
 * A string value owns its bytes (request memory, NUL-terminated) unless it
 * points at the shared empty_string, which is never freed. An array value
 * owns its table unless the table is the global symbol table, which the
 * executor owns. Array elements are zval* with reference counts; copying a
 * table raises the elements' counts instead of copying them, and a writer
 * separates an element before changing it. A resource value holds one
 * count of its entry in the request's resource list. */
#include <cerrno>
#include <cmath>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/operators.h"
#include "core/resources.h"
#include "core/values_internal.h"
#include "engine.h"

namespace zend {

zval *share(zval *z) {
    if (z->refcount < max_shares) {
        z->refcount++;
        return z;
    }
    if (z->is_ref) zend_error(E_ERROR, "Too many references to one value");
    zval *copy;
    ALLOC_ZVAL(copy);
    *copy = *z;
    _zval_copy_ctor(copy);
    copy->refcount = 1;
    copy->is_ref = 0;
    return copy;
}

void zval_add_ref(zval **p) { *p = share(*p); }

long double_to_long(double d) {
    if (std::isnan(d)) return 0;
    if (d >= 9223372036854775807.0) return LONG_MAX;
    if (d <= -9223372036854775808.0) return LONG_MIN;
    return (long)d;
}

/* %G with the precision setting's significant digits (14 unless a
 * script or the configuration changed it). */
std::string double_to_string(double d) {
    int precision = settings.precision;
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%.*G", precision, d);
    if (n >= 0 && (std::size_t)n < sizeof buf) return std::string(buf, (std::size_t)n);
    if (n < 0) return std::string();
    std::string big((std::size_t)n + 1, '\0');
    std::snprintf(big.data(), big.size(), "%.*G", precision, d);
    big.resize((std::size_t)n);
    return big;
}

/* Length of the longest prefix of s (after leading white space) that reads
 * as a decimal number: [+-] digits [. digits] [e [+-] digits]. Hex, "inf"
 * and "nan", which the C library would take, are not numbers here. */
std::size_t scan_decimal(const char *s, std::size_t length, bool *is_integer) {
    std::size_t i = 0;
    while (i < length && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' || s[i] == '\v' || s[i] == '\f'))
        i++;
    if (i < length && (s[i] == '+' || s[i] == '-')) i++;
    std::size_t digits = 0;
    while (i < length && s[i] >= '0' && s[i] <= '9') i++, digits++;
    *is_integer = true;
    if (i < length && s[i] == '.') {
        std::size_t j = i + 1, frac = 0;
        while (j < length && s[j] >= '0' && s[j] <= '9') j++, frac++;
        if (digits + frac > 0) {
            i = j;
            digits += frac;
            *is_integer = false;
        }
    }
    if (digits == 0) return 0;
    if (i < length && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < length && (s[j] == '+' || s[j] == '-')) j++;
        if (j < length && s[j] >= '0' && s[j] <= '9') {
            while (j < length && s[j] >= '0' && s[j] <= '9') j++;
            i = j;
            *is_integer = false;
        }
    }
    return i;
}

namespace {

/* strtol/strtod want a terminated string; the value's bytes may hold NULs
 * or lack a terminator, so parse a bounded copy of the numeric prefix. */
double prefix_to_double(const char *s, std::size_t length) {
    bool integer;
    std::size_t n = scan_decimal(s, length, &integer);
    if (n == 0) return 0.0;
    std::string copy(s, n);
    return std::strtod(copy.c_str(), nullptr);
}

long prefix_to_long(const char *s, std::size_t length) {
    bool integer;
    std::size_t n = scan_decimal(s, length, &integer);
    if (n == 0) return 0;
    std::string copy(s, n);
    /* strtol stops at '.' or 'e' and saturates on overflow, as the engine's
     * string-to-integer rule wants. */
    return std::strtol(copy.c_str(), nullptr, 10);
}

} // namespace

int is_numeric_string(const char *str, int length, long *lval, double *dval) {
    if (!str || length <= 0) return 0;
    /* "0x1A" as a whole is a hexadecimal integer here (not in casts, which
     * read decimal only); one too big for an integer is no number. */
    if (length >= 2 && str[0] == '0' && (str[1] == 'x' || str[1] == 'X')) {
        std::string copy(str, (std::size_t)length);
        char *end = nullptr;
        errno = 0;
        long l = std::strtol(copy.c_str(), &end, 16);
        if (errno == ERANGE || end != copy.c_str() + copy.size() || length == 2) return 0;
        if (lval) *lval = l;
        return IS_LONG;
    }
    bool integer;
    std::size_t n = scan_decimal(str, (std::size_t)length, &integer);
    if (n == 0 || n != (std::size_t)length) return 0;
    std::string copy(str, n);
    if (integer) {
        errno = 0;
        long l = std::strtol(copy.c_str(), nullptr, 10);
        if (errno != ERANGE) {
            if (lval) *lval = l;
            return IS_LONG;
        }
    }
    errno = 0;
    double d = std::strtod(copy.c_str(), nullptr);
    if (!std::isfinite(d)) return 0;
    if (dval) *dval = d;
    return IS_DOUBLE;
}

long zval_get_long(const zval *z) {
    switch (z->type) {
    case IS_NULL: return 0;
    case IS_LONG: case IS_BOOL: case IS_RESOURCE: return z->value.lval;
    case IS_DOUBLE: return double_to_long(z->value.dval);
    case IS_STRING: case IS_CONSTANT:
        return z->value.str.val ? prefix_to_long(z->value.str.val, (std::size_t)z->value.str.len) : 0;
    case IS_ARRAY: case IS_CONSTANT_ARRAY:
        return z->value.ht && zend_hash_num_elements(z->value.ht) ? 1 : 0;
    case IS_OBJECT:
        return z->value.obj.properties && zend_hash_num_elements(z->value.obj.properties) ? 1 : 0;
    }
    return 0;
}

double zval_get_double(const zval *z) {
    switch (z->type) {
    case IS_DOUBLE: return z->value.dval;
    case IS_STRING: case IS_CONSTANT:
        return z->value.str.val ? prefix_to_double(z->value.str.val, (std::size_t)z->value.str.len) : 0.0;
    default: return (double)zval_get_long(z);
    }
}

bool zval_get_bool(const zval *z) {
    switch (z->type) {
    case IS_NULL: return false;
    case IS_LONG: case IS_BOOL: case IS_RESOURCE: return z->value.lval != 0;
    case IS_DOUBLE: return z->value.dval != 0.0;
    case IS_STRING: case IS_CONSTANT:
        return !(z->value.str.len == 0 || (z->value.str.len == 1 && z->value.str.val[0] == '0'));
    case IS_ARRAY: case IS_CONSTANT_ARRAY:
        return z->value.ht && zend_hash_num_elements(z->value.ht) > 0;
    case IS_OBJECT:
        return z->value.obj.properties && zend_hash_num_elements(z->value.obj.properties) > 0;
    }
    return false;
}

number to_number(const zval *z) {
    number n{false, 0, 0.0};
    switch (z->type) {
    case IS_DOUBLE:
        n.is_double = true;
        n.d = z->value.dval;
        break;
    case IS_STRING:
    case IS_CONSTANT: {
        long l;
        double d;
        int kind = is_numeric_string(z->value.str.val, z->value.str.len, &l, &d);
        if (kind == IS_DOUBLE) {
            n.is_double = true;
            n.d = d;
        } else if (kind == IS_LONG) {
            n.l = l;
        } else {
            n.l = zval_get_long(z);
        }
        break;
    }
    default:
        n.l = zval_get_long(z);
        break;
    }
    return n;
}

std::string zval_to_string(const zval *z) {
    char buf[32];
    switch (z->type) {
    case IS_NULL: return std::string();
    case IS_BOOL: return z->value.lval ? "1" : "";
    case IS_LONG:
        std::snprintf(buf, sizeof buf, "%ld", z->value.lval);
        return buf;
    case IS_RESOURCE:
        std::snprintf(buf, sizeof buf, "Resource id #%ld", z->value.lval);
        return buf;
    case IS_DOUBLE: return double_to_string(z->value.dval);
    case IS_STRING: case IS_CONSTANT:
        return z->value.str.val ? std::string(z->value.str.val, (std::size_t)z->value.str.len) : std::string();
    case IS_ARRAY: case IS_CONSTANT_ARRAY: return "Array";
    case IS_OBJECT: return "Object";
    }
    return std::string();
}

void print_zval(const zval *z) {
    if (z->type == IS_STRING) {
        if (z->value.str.len > 0) zend_write(z->value.str.val, (uint)z->value.str.len);
        return;
    }
    std::string s = zval_to_string(z);
    if (!s.empty()) zend_write(s.data(), (uint)s.size());
}

/* Points a value at a fresh copy of s (the empty string is shared). */
void set_string(zval *z, const std::string &s) {
    z->type = IS_STRING;
    z->value.str.len = (int)s.size();
    z->value.str.val = s.empty() ? empty_string : estrndup(s.data(), (uint)s.size());
}

} // namespace zend

using namespace zend;

namespace {

/* Destroying a value destroys what it holds, and arrays nest without
 * limit ($a = array($a) in a loop). To keep the C stack flat, a container
 * whose count drops to zero while another value is being destroyed is put
 * aside and destroyed by the outermost destruction, one at a time. Values
 * have no destructors of their own, so the order is not observable. */
int destroy_depth = 0;
std::vector<zval *> &deferred() {
    static std::vector<zval *> list;
    return list;
}

bool is_container(const zval *z) {
    return z->type == IS_ARRAY || z->type == IS_CONSTANT_ARRAY || z->type == IS_OBJECT;
}

void destroy_table(HashTable *ht) {
    destroy_depth++;
    zend_hash_destroy(ht);
    FREE_HASHTABLE(ht);
    destroy_depth--;
    if (destroy_depth > 0) return;
    destroy_depth++;
    while (!deferred().empty()) {
        zval *z = deferred().back();
        deferred().pop_back();
        _zval_dtor(z);
        FREE_ZVAL(z);
    }
    destroy_depth--;
}

} // namespace

extern "C" {

ZEND_API int _zval_copy_ctor(zval *zvalue) {
    switch (zvalue->type) {
    case IS_STRING:
    case IS_CONSTANT:
        if (!zvalue->value.str.val || zvalue->value.str.len <= 0) {
            zvalue->value.str.val = empty_string;
            zvalue->value.str.len = 0;
        } else {
            zvalue->value.str.val = estrndup(zvalue->value.str.val, (uint)zvalue->value.str.len);
        }
        break;
    case IS_ARRAY:
    case IS_CONSTANT_ARRAY: {
        HashTable *original = zvalue->value.ht;
        if (!original || original == &EG(symbol_table)) break;
        HashTable *copy;
        ALLOC_HASHTABLE(copy);
        zend_hash_init(copy, original->nNumOfElements, nullptr, (dtor_func_t)_zval_ptr_dtor, 0);
        zval *tmp;
        zend_hash_copy(copy, original, (copy_ctor_func_t)zval_add_ref, &tmp, sizeof(zval *));
        zvalue->value.ht = copy;
        break;
    }
    case IS_OBJECT: {
        HashTable *original = zvalue->value.obj.properties;
        if (!original) break;
        HashTable *copy;
        ALLOC_HASHTABLE(copy);
        zend_hash_init(copy, original->nNumOfElements, nullptr, (dtor_func_t)_zval_ptr_dtor, 0);
        zval *tmp;
        zend_hash_copy(copy, original, (copy_ctor_func_t)zval_add_ref, &tmp, sizeof(zval *));
        zvalue->value.obj.properties = copy;
        break;
    }
    case IS_RESOURCE:
        resource_addref(zvalue->value.lval);
        break;
    default:
        break;
    }
    return SUCCESS;
}

ZEND_API void _zval_dtor(zval *zvalue) {
    switch (zvalue->type) {
    case IS_STRING:
    case IS_CONSTANT:
        if (zvalue->value.str.val && zvalue->value.str.val != empty_string) efree(zvalue->value.str.val);
        break;
    case IS_ARRAY:
    case IS_CONSTANT_ARRAY: {
        HashTable *ht = zvalue->value.ht;
        if (ht && ht != &EG(symbol_table)) destroy_table(ht);
        break;
    }
    case IS_OBJECT:
        if (HashTable *ht = zvalue->value.obj.properties) destroy_table(ht);
        break;
    case IS_RESOURCE:
        resource_delete(zvalue->value.lval);
        break;
    default:
        break;
    }
}

ZEND_API void _zval_ptr_dtor(zval **zval_ptr) {
    zval *z = *zval_ptr;
    if (z->refcount > 0) z->refcount--;
    if (z->refcount == 0) {
        if (destroy_depth > 0 && is_container(z)) {
            deferred().push_back(z);
            return;
        }
        _zval_dtor(z);
        FREE_ZVAL(z);
    } else if (z->refcount == 1) {
        z->is_ref = 0;
    }
}

ZEND_API void convert_to_long(zval *op) {
    long l = zval_get_long(op);
    if (op->type != IS_LONG) _zval_dtor(op);
    op->type = IS_LONG;
    op->value.lval = l;
}

ZEND_API void convert_to_double(zval *op) {
    double d = zval_get_double(op);
    if (op->type != IS_DOUBLE) _zval_dtor(op);
    op->type = IS_DOUBLE;
    op->value.dval = d;
}

ZEND_API void convert_to_boolean(zval *op) {
    bool b = zval_get_bool(op);
    if (op->type != IS_BOOL) _zval_dtor(op);
    op->type = IS_BOOL;
    op->value.lval = b ? 1 : 0;
}

ZEND_API void _convert_to_string(zval *op) {
    if (op->type == IS_STRING) return;
    if (op->type == IS_CONSTANT) {
        op->type = IS_STRING;
        return;
    }
    std::string s = zval_to_string(op);
    _zval_dtor(op);
    set_string(op, s);
}

ZEND_API void convert_to_null(zval *op) {
    _zval_dtor(op);
    op->type = IS_NULL;
}

ZEND_API void convert_to_array(zval *op) {
    switch (op->type) {
    case IS_ARRAY:
        return;
    case IS_CONSTANT_ARRAY:
        op->type = IS_ARRAY;
        return;
    case IS_OBJECT: {
        HashTable *properties = op->value.obj.properties;
        if (!properties) {
            ALLOC_HASHTABLE(properties);
            zend_hash_init(properties, 0, nullptr, (dtor_func_t)_zval_ptr_dtor, 0);
        }
        op->value.ht = properties;
        op->type = IS_ARRAY;
        return;
    }
    case IS_NULL: {
        HashTable *ht;
        ALLOC_HASHTABLE(ht);
        zend_hash_init(ht, 0, nullptr, (dtor_func_t)_zval_ptr_dtor, 0);
        op->value.ht = ht;
        op->type = IS_ARRAY;
        return;
    }
    default: {
        zval *element;
        ALLOC_ZVAL(element);
        *element = *op;
        INIT_PZVAL(element);
        if (element->type == IS_CONSTANT) element->type = IS_STRING;
        HashTable *ht;
        ALLOC_HASHTABLE(ht);
        zend_hash_init(ht, 0, nullptr, (dtor_func_t)_zval_ptr_dtor, 0);
        zend_hash_index_update(ht, 0, &element, sizeof(zval *), nullptr);
        op->value.ht = ht;
        op->type = IS_ARRAY;
        return;
    }
    }
}

ZEND_API int zend_is_true(zval *op) { return zval_get_bool(op) ? 1 : 0; }

} // extern "C"
