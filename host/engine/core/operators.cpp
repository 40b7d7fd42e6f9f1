/* Arithmetic, string, bitwise and logical operators.
 *
 * Operands are never changed: each operator works on converted copies or
 * on numbers read out of the operands. Integer arithmetic that would
 * overflow a long gives a double, as the engine does; nothing here relies
 * on undefined behaviour for any input. */
#include <climits>
#include <cmath>
#include <cstring>

#include "core/operators.h"
#include "core/values_internal.h"

namespace zend {
namespace {

bool is_array_like(const zval *z) { return z->type == IS_ARRAY || z->type == IS_CONSTANT_ARRAY; }

/* Stores a computed value into result, destroying the old value when the
 * result is one of the operands. */
void store(zval *result, const zval &value, const zval *op1, const zval *op2) {
    if (result == op1 || result == op2) _zval_dtor(result);
    result->value = value.value;
    result->type = value.type;
}

zval make_long(long l) {
    zval z;
    z.type = IS_LONG;
    z.value.lval = l;
    return z;
}
zval make_double(double d) {
    zval z;
    z.type = IS_DOUBLE;
    z.value.dval = d;
    return z;
}
zval make_bool(bool b) {
    zval z;
    z.type = IS_BOOL;
    z.value.lval = b ? 1 : 0;
    return z;
}

int unsupported_operands() {
    zend_error(E_ERROR, "Unsupported operand types");
    return FAILURE;
}

/* array + array: op1's elements, then op2's under keys op1 lacks. */
zval array_union(zval *op1, zval *op2) {
    zval r = *op1;
    _zval_copy_ctor(&r);
    HashTable *target = r.value.ht, *source = op2->value.ht;
    r.type = IS_ARRAY;
    for (Bucket *p = source->pListHead; p; p = p->pListNext) {
        bool taken = p->nKeyLength ? zend_hash_exists(target, p->arKey, p->nKeyLength)
                                   : zend_hash_index_exists(target, p->h);
        if (taken) continue;
        zval *element = share(*(zval **)p->pData);
        if (p->nKeyLength) zend_hash_add(target, p->arKey, p->nKeyLength, &element, sizeof(zval *), nullptr);
        else zend_hash_index_update(target, p->h, &element, sizeof(zval *), nullptr);
    }
    return r;
}

enum class arith { add, sub, mul };

int arithmetic(zval *result, zval *op1, zval *op2, arith op) {
    if (is_array_like(op1) || is_array_like(op2)) {
        if (op == arith::add && is_array_like(op1) && is_array_like(op2)) {
            zval r = array_union(op1, op2);
            store(result, r, op1, op2);
            return SUCCESS;
        }
        return unsupported_operands();
    }
    number a = to_number(op1), b = to_number(op2);
    zval r;
    if (!a.is_double && !b.is_double) {
        long l;
        bool overflow = op == arith::add   ? __builtin_add_overflow(a.l, b.l, &l)
                        : op == arith::sub ? __builtin_sub_overflow(a.l, b.l, &l)
                                           : __builtin_mul_overflow(a.l, b.l, &l);
        if (!overflow) {
            r = make_long(l);
            store(result, r, op1, op2);
            return SUCCESS;
        }
    }
    double x = a.as_double(), y = b.as_double();
    r = make_double(op == arith::add ? x + y : op == arith::sub ? x - y : x * y);
    store(result, r, op1, op2);
    return SUCCESS;
}

} // namespace

int add_function(zval *result, zval *op1, zval *op2) { return arithmetic(result, op1, op2, arith::add); }
int sub_function(zval *result, zval *op1, zval *op2) { return arithmetic(result, op1, op2, arith::sub); }
int mul_function(zval *result, zval *op1, zval *op2) { return arithmetic(result, op1, op2, arith::mul); }

int div_function(zval *result, zval *op1, zval *op2) {
    if (is_array_like(op1) || is_array_like(op2)) return unsupported_operands();
    number a = to_number(op1), b = to_number(op2);
    if (b.as_double() == 0.0) {
        zend_error(E_WARNING, "Division by zero");
        store(result, make_bool(false), op1, op2);
        return FAILURE;
    }
    if (!a.is_double && !b.is_double && !(a.l == LONG_MIN && b.l == -1) && a.l % b.l == 0) {
        store(result, make_long(a.l / b.l), op1, op2);
        return SUCCESS;
    }
    store(result, make_double(a.as_double() / b.as_double()), op1, op2);
    return SUCCESS;
}

int mod_function(zval *result, zval *op1, zval *op2) {
    long a = zval_get_long(op1), b = zval_get_long(op2);
    if (b == 0) {
        zend_error(E_WARNING, "Division by zero");
        store(result, make_bool(false), op1, op2);
        return FAILURE;
    }
    store(result, make_long(b == -1 ? 0 : a % b), op1, op2);
    return SUCCESS;
}

int concat_function(zval *result, zval *op1, zval *op2) {
    std::string right = zval_to_string(op2);
    if (result == op1 && op1->type == IS_STRING && op1 != op2) {
        /* $a .= ...: grow the string where it is. */
        std::size_t old_len = (std::size_t)op1->value.str.len;
        if (right.empty()) return SUCCESS;
        std::size_t new_len = old_len + right.size();
        if (new_len > INT_MAX) {
            zend_error(E_ERROR, "String size overflow");
            return FAILURE;
        }
        char *buf;
        if (op1->value.str.val == empty_string || !op1->value.str.val) {
            buf = (char *)emalloc(new_len + 1);
        } else {
            buf = (char *)erealloc(op1->value.str.val, new_len + 1);
        }
        std::memcpy(buf + old_len, right.data(), right.size());
        buf[new_len] = '\0';
        op1->value.str.val = buf;
        op1->value.str.len = (int)new_len;
        return SUCCESS;
    }
    std::string s = zval_to_string(op1);
    s += right;
    if (s.size() > INT_MAX) {
        zend_error(E_ERROR, "String size overflow");
        return FAILURE;
    }
    zval r;
    set_string(&r, s);
    store(result, r, op1, op2);
    return SUCCESS;
}

namespace {

enum class bitop { bor, band, bxor };

int bitwise(zval *result, zval *op1, zval *op2, bitop op) {
    if (op1->type == IS_STRING && op2->type == IS_STRING) {
        /* Strings combine byte by byte: | keeps the longer length, & and ^
         * the shorter. */
        const zval *longer = op1->value.str.len >= op2->value.str.len ? op1 : op2;
        const zval *shorter = longer == op1 ? op2 : op1;
        int len = op == bitop::bor ? longer->value.str.len : shorter->value.str.len;
        std::string s(longer->value.str.val, (std::size_t)len);
        for (int i = 0; i < shorter->value.str.len && i < len; i++) {
            unsigned char a = (unsigned char)longer->value.str.val[i], b = (unsigned char)shorter->value.str.val[i];
            s[(std::size_t)i] = (char)(op == bitop::bor ? (a | b) : op == bitop::band ? (a & b) : (a ^ b));
        }
        zval r;
        set_string(&r, s);
        store(result, r, op1, op2);
        return SUCCESS;
    }
    long a = zval_get_long(op1), b = zval_get_long(op2);
    store(result, make_long(op == bitop::bor ? (a | b) : op == bitop::band ? (a & b) : (a ^ b)), op1, op2);
    return SUCCESS;
}

} // namespace

int bitwise_or_function(zval *result, zval *op1, zval *op2) { return bitwise(result, op1, op2, bitop::bor); }
int bitwise_and_function(zval *result, zval *op1, zval *op2) { return bitwise(result, op1, op2, bitop::band); }
int bitwise_xor_function(zval *result, zval *op1, zval *op2) { return bitwise(result, op1, op2, bitop::bxor); }

int bitwise_not_function(zval *result, zval *op1) {
    switch (op1->type) {
    case IS_LONG:
        store(result, make_long(~op1->value.lval), op1, nullptr);
        return SUCCESS;
    case IS_DOUBLE:
        store(result, make_long(~double_to_long(op1->value.dval)), op1, nullptr);
        return SUCCESS;
    case IS_STRING: {
        std::string s(op1->value.str.val, (std::size_t)op1->value.str.len);
        for (char &c : s) c = (char)~(unsigned char)c;
        zval r;
        set_string(&r, s);
        store(result, r, op1, nullptr);
        return SUCCESS;
    }
    default:
        zend_error(E_ERROR, "Unsupported operand types");
        return FAILURE;
    }
}

/* Shift counts are taken modulo the width of a long, as the hardware does,
 * so that no count is undefined. */
int shift_left_function(zval *result, zval *op1, zval *op2) {
    unsigned long a = (unsigned long)zval_get_long(op1);
    unsigned n = (unsigned)zval_get_long(op2) & 63u;
    store(result, make_long((long)(a << n)), op1, op2);
    return SUCCESS;
}

int shift_right_function(zval *result, zval *op1, zval *op2) {
    long a = zval_get_long(op1);
    unsigned n = (unsigned)zval_get_long(op2) & 63u;
    store(result, make_long(a >> n), op1, op2);
    return SUCCESS;
}

int boolean_not_function(zval *result, zval *op1) {
    store(result, make_bool(!zval_get_bool(op1)), op1, nullptr);
    return SUCCESS;
}

int boolean_xor_function(zval *result, zval *op1, zval *op2) {
    store(result, make_bool(zval_get_bool(op1) != zval_get_bool(op2)), op1, op2);
    return SUCCESS;
}

} // namespace zend
