/* Comparison and increment rules.
 *
 * Loose comparison, in the order the rules are tried:
 *   null <=> bool, or anything <=> bool/null: both as booleans
 *   (except null <=> string, which compares "" with the string);
 *   string <=> string: numerically when both are numeric strings, else
 *   bytewise; array <=> array: by element count, then element by element
 *   under op1's keys (a key op2 lacks makes them uncomparable: 1);
 *   an array is greater than any scalar, an object greater than any
 *   non-array; the rest compare as numbers.
 * Array walks are guarded with the table's apply counter, so a table that
 * contains itself ends in an error instead of a stack overflow. */
#include <climits>
#include <cstring>

#include "core/operators.h"
#include "core/values_internal.h"

namespace zend {
namespace {

int sign(long v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }
int sign(double v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

bool is_array_like(const zval *z) { return z->type == IS_ARRAY || z->type == IS_CONSTANT_ARRAY; }

/* Nested arrays are compared recursively; the depth is bounded so that
 * neither a table reaching itself nor a very deep nesting can exhaust the
 * C stack. Going too deep is a fatal error, which unwinds through the
 * guards below and leaves every counter as it was. */
constexpr int max_compare_depth = 2048;
int compare_depth = 0;

struct walk_guard {
    HashTable *a, *b;
    walk_guard(HashTable *x, HashTable *y) : a(x), b(y) {
        if (a->nApplyCount > 3 || b->nApplyCount > 3 || compare_depth >= max_compare_depth)
            zend_error(E_ERROR, "Nesting level too deep - recursive dependency?");
        a->nApplyCount++;
        b->nApplyCount++;
        compare_depth++;
    }
    ~walk_guard() {
        a->nApplyCount--;
        b->nApplyCount--;
        compare_depth--;
    }
    walk_guard(const walk_guard &) = delete;
    walk_guard &operator=(const walk_guard &) = delete;
};

/* Loose comparison of two tables of zval*. */
int compare_tables(HashTable *a, HashTable *b) {
    if (a == b) return 0;
    int count = zend_hash_num_elements(a) - zend_hash_num_elements(b);
    if (count) return count < 0 ? -1 : 1;
    walk_guard guard(a, b);
    for (Bucket *p = a->pListHead; p; p = p->pListNext) {
        void *other;
        int found = p->nKeyLength ? zend_hash_find(b, p->arKey, p->nKeyLength, &other)
                                  : zend_hash_index_find(b, p->h, &other);
        if (found != SUCCESS) return 1;
        if (int result = compare_values(*(zval **)p->pData, *(zval **)other)) return result;
    }
    return 0;
}

/* Identity of tables: same keys in the same order, identical values. */
bool identical_tables(HashTable *a, HashTable *b) {
    if (a == b) return true;
    if (zend_hash_num_elements(a) != zend_hash_num_elements(b)) return false;
    walk_guard guard(a, b);
    for (Bucket *p = a->pListHead, *q = b->pListHead; p && q; p = p->pListNext, q = q->pListNext) {
        if (p->nKeyLength != q->nKeyLength || p->h != q->h ||
            (p->nKeyLength && std::memcmp(p->arKey, q->arKey, p->nKeyLength) != 0))
            return false;
        if (!values_identical(*(zval **)p->pData, *(zval **)q->pData)) return false;
    }
    return true;
}

HashTable *properties_or_empty(const zval *z, HashTable *empty) {
    return z->value.obj.properties ? z->value.obj.properties : empty;
}

} // namespace

int binary_strcmp(const char *s1, int len1, const char *s2, int len2) {
    int n = len1 < len2 ? len1 : len2;
    int r = n > 0 ? std::memcmp(s1, s2, (std::size_t)n) : 0;
    if (r) return r;
    return len1 - len2;
}

int smart_strcmp(const zval *s1, const zval *s2) {
    long l1, l2;
    double d1, d2;
    int t1 = is_numeric_string(s1->value.str.val, s1->value.str.len, &l1, &d1);
    int t2 = t1 ? is_numeric_string(s2->value.str.val, s2->value.str.len, &l2, &d2) : 0;
    if (t1 && t2) {
        if (t1 == IS_LONG && t2 == IS_LONG) return l1 < l2 ? -1 : l1 > l2 ? 1 : 0;
        double a = t1 == IS_DOUBLE ? d1 : (double)l1, b = t2 == IS_DOUBLE ? d2 : (double)l2;
        return sign(a - b);
    }
    return sign((long)binary_strcmp(s1->value.str.val, s1->value.str.len, s2->value.str.val, s2->value.str.len));
}

int compare_values(zval *op1, zval *op2) {
    int t1 = op1->type == IS_CONSTANT ? IS_STRING : op1->type;
    int t2 = op2->type == IS_CONSTANT ? IS_STRING : op2->type;

    if (t1 == IS_NULL && t2 == IS_STRING)
        return sign((long)binary_strcmp("", 0, op2->value.str.val, op2->value.str.len));
    if (t2 == IS_NULL && t1 == IS_STRING)
        return sign((long)binary_strcmp(op1->value.str.val, op1->value.str.len, "", 0));
    if (t1 == IS_STRING && t2 == IS_STRING) return smart_strcmp(op1, op2);
    if (t1 == IS_BOOL || t2 == IS_BOOL || t1 == IS_NULL || t2 == IS_NULL)
        return (int)zval_get_bool(op1) - (int)zval_get_bool(op2);
    if (is_array_like(op1) && is_array_like(op2)) return compare_tables(op1->value.ht, op2->value.ht);
    if (t1 == IS_OBJECT && t2 == IS_OBJECT) {
        HashTable empty;
        zend_hash_init(&empty, 0, nullptr, nullptr, 0);
        int r = compare_tables(properties_or_empty(op1, &empty), properties_or_empty(op2, &empty));
        zend_hash_destroy(&empty);
        return r;
    }
    if (is_array_like(op1)) return 1;
    if (is_array_like(op2)) return -1;
    if (t1 == IS_OBJECT) return 1;
    if (t2 == IS_OBJECT) return -1;

    /* Numbers, and numeric strings against numbers. */
    number a = to_number(op1), b = to_number(op2);
    if (!a.is_double && !b.is_double) return a.l < b.l ? -1 : a.l > b.l ? 1 : 0;
    return sign(a.as_double() - b.as_double());
}

bool values_identical(zval *op1, zval *op2) {
    if (op1->type != op2->type) return false;
    switch (op1->type) {
    case IS_NULL: return true;
    case IS_LONG: case IS_BOOL: case IS_RESOURCE: return op1->value.lval == op2->value.lval;
    case IS_DOUBLE: return op1->value.dval == op2->value.dval;
    case IS_STRING: case IS_CONSTANT:
        return op1->value.str.len == op2->value.str.len &&
               (op1->value.str.len == 0 ||
                std::memcmp(op1->value.str.val, op2->value.str.val, (std::size_t)op1->value.str.len) == 0);
    case IS_ARRAY: case IS_CONSTANT_ARRAY: return identical_tables(op1->value.ht, op2->value.ht);
    case IS_OBJECT: {
        if (op1->value.obj.ce != op2->value.obj.ce) return false;
        HashTable empty;
        zend_hash_init(&empty, 0, nullptr, nullptr, 0);
        bool r = identical_tables(properties_or_empty(op1, &empty), properties_or_empty(op2, &empty));
        zend_hash_destroy(&empty);
        return r;
    }
    }
    return false;
}

namespace {
void set_bool(zval *result, bool b, zval *op1, zval *op2) {
    if (result == op1 || result == op2) _zval_dtor(result);
    result->type = IS_BOOL;
    result->value.lval = b ? 1 : 0;
}
} // namespace

int is_identical_function(zval *result, zval *op1, zval *op2) {
    set_bool(result, values_identical(op1, op2), op1, op2);
    return SUCCESS;
}
int is_not_identical_function(zval *result, zval *op1, zval *op2) {
    set_bool(result, !values_identical(op1, op2), op1, op2);
    return SUCCESS;
}
int is_equal_function(zval *result, zval *op1, zval *op2) {
    set_bool(result, compare_values(op1, op2) == 0, op1, op2);
    return SUCCESS;
}
int is_not_equal_function(zval *result, zval *op1, zval *op2) {
    set_bool(result, compare_values(op1, op2) != 0, op1, op2);
    return SUCCESS;
}
int is_smaller_function(zval *result, zval *op1, zval *op2) {
    set_bool(result, compare_values(op1, op2) < 0, op1, op2);
    return SUCCESS;
}
int is_smaller_or_equal_function(zval *result, zval *op1, zval *op2) {
    set_bool(result, compare_values(op1, op2) <= 0, op1, op2);
    return SUCCESS;
}

namespace {

/* "a" -> "b", "Az" -> "Ba", "zz" -> "aaa", "a9" -> "b0": the rightmost
 * alphanumeric run counts like an odometer; a carry out of the first
 * character prepends "1", "A" or "a" by that character's kind. */
void increment_string(zval *op) {
    std::string s(op->value.str.val, (std::size_t)op->value.str.len);
    enum { none, lower, upper, digit } last = none;
    bool carry = false;
    for (std::size_t pos = s.size(); pos-- > 0;) {
        char c = s[pos];
        if (c >= 'a' && c <= 'z') {
            last = lower;
            carry = c == 'z';
            s[pos] = carry ? 'a' : char(c + 1);
        } else if (c >= 'A' && c <= 'Z') {
            last = upper;
            carry = c == 'Z';
            s[pos] = carry ? 'A' : char(c + 1);
        } else if (c >= '0' && c <= '9') {
            last = digit;
            carry = c == '9';
            s[pos] = carry ? '0' : char(c + 1);
        } else {
            carry = false;
            break;
        }
        if (!carry) break;
    }
    if (carry) s.insert(s.begin(), last == digit ? '1' : last == upper ? 'A' : 'a');
    _zval_dtor(op);
    set_string(op, s);
}

/* ++ and -- of a string that is empty (it becomes the step) or numeric (its
 * number moves by the step, turning to a double past the integer range).
 * false for any other string, which stays as it is. */
bool step_numeric_string(zval *op, int step) {
    long l = 0;
    double d = 0;
    int kind = op->value.str.len == 0 ? IS_LONG
                                      : is_numeric_string(op->value.str.val, op->value.str.len, &l, &d);
    if (kind != IS_LONG && kind != IS_DOUBLE) return false;
    _zval_dtor(op);
    if (kind == IS_DOUBLE) {
        op->type = IS_DOUBLE;
        op->value.dval = d + step;
    } else if ((step > 0 && l == LONG_MAX) || (step < 0 && l == LONG_MIN)) {
        op->type = IS_DOUBLE;
        op->value.dval = (double)l + step;
    } else {
        op->type = IS_LONG;
        op->value.lval = l + step;
    }
    return true;
}

} // namespace

int increment_function(zval *op) {
    switch (op->type) {
    case IS_LONG:
        if (op->value.lval == LONG_MAX) {
            op->type = IS_DOUBLE;
            op->value.dval = (double)LONG_MAX + 1.0;
        } else {
            op->value.lval++;
        }
        return SUCCESS;
    case IS_DOUBLE:
        op->value.dval += 1;
        return SUCCESS;
    case IS_NULL:
        op->type = IS_LONG;
        op->value.lval = 1;
        return SUCCESS;
    case IS_STRING:
        if (step_numeric_string(op, 1)) return SUCCESS;
        increment_string(op);
        return SUCCESS;
    default:
        return FAILURE;
    }
}

int decrement_function(zval *op) {
    switch (op->type) {
    case IS_LONG:
        if (op->value.lval == LONG_MIN) {
            op->type = IS_DOUBLE;
            op->value.dval = (double)LONG_MIN - 1.0;
        } else {
            op->value.lval--;
        }
        return SUCCESS;
    case IS_DOUBLE:
        op->value.dval -= 1;
        return SUCCESS;
    case IS_STRING:
        /* non-numeric strings are left alone */
        return step_numeric_string(op, -1) ? SUCCESS : FAILURE;
    default:
        return FAILURE; /* null-- stays null; arrays, objects, booleans unchanged */
    }
}

} // namespace zend
