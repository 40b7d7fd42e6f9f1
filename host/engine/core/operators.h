/* Operators and value helpers for the executor and the built-in functions,
 * with the engine's rules for mixing types (numeric strings count as
 * numbers, null == false == "", arrays compare by size then by element).
 *
 * Binary operators read op1 and op2 without changing them and store the
 * result's value and type in *result; its reference count and reference
 * flag are left as they were. result may be op1 or op2: the old value is
 * destroyed once the new one is known. */
#ifndef BRISKO_CORE_OPERATORS_H
#define BRISKO_CORE_OPERATORS_H

#include <string>

#include "php.h"

namespace zend {

int add_function(zval *result, zval *op1, zval *op2);
int sub_function(zval *result, zval *op1, zval *op2);
int mul_function(zval *result, zval *op1, zval *op2);
int div_function(zval *result, zval *op1, zval *op2);  /* by zero: warning, false */
int mod_function(zval *result, zval *op1, zval *op2);  /* by zero: warning, false */
int concat_function(zval *result, zval *op1, zval *op2);

int bitwise_or_function(zval *result, zval *op1, zval *op2);
int bitwise_and_function(zval *result, zval *op1, zval *op2);
int bitwise_xor_function(zval *result, zval *op1, zval *op2);
int bitwise_not_function(zval *result, zval *op1);
int shift_left_function(zval *result, zval *op1, zval *op2);
int shift_right_function(zval *result, zval *op1, zval *op2);

int boolean_not_function(zval *result, zval *op1);
int boolean_xor_function(zval *result, zval *op1, zval *op2);

/* Comparison results are booleans. */
int is_identical_function(zval *result, zval *op1, zval *op2);
int is_not_identical_function(zval *result, zval *op1, zval *op2);
int is_equal_function(zval *result, zval *op1, zval *op2);
int is_not_equal_function(zval *result, zval *op1, zval *op2);
int is_smaller_function(zval *result, zval *op1, zval *op2);
int is_smaller_or_equal_function(zval *result, zval *op1, zval *op2);

/* -1, 0 or 1 by the loose comparison rules. Arrays of different keys are
 * uncomparable and give 1 (either way round, as the engine did). */
int compare_values(zval *op1, zval *op2);
/* Strict equality (===). */
bool values_identical(zval *op1, zval *op2);

/* In place: ++ and -- ("a" -> "b", "Az" -> "Ba", "zz" -> "aaa", null++ is
 * 1, null-- stays null). FAILURE when the type does not change (arrays,
 * objects, booleans). */
int increment_function(zval *op);
int decrement_function(zval *op);

/* IS_LONG or IS_DOUBLE when the whole string is a number (leading
 * white space allowed), filling lval/dval (either may be null); else 0. */
int is_numeric_string(const char *str, int length, long *lval, double *dval);
/* Byte comparison, then length: <0, 0, >0. */
int binary_strcmp(const char *s1, int len1, const char *s2, int len2);
/* Two numeric strings compare as numbers, others as bytes: -1, 0 or 1. */
int smart_strcmp(const zval *s1, const zval *s2);

/* The value as echo prints it (arrays "Array", objects "Object"). */
std::string zval_to_string(const zval *z);
void print_zval(const zval *z);

/* Number conversions by the engine's rules, without touching the value. */
long zval_get_long(const zval *z);
double zval_get_double(const zval *z);
/* Saturating double -> long (NaN gives 0). */
long double_to_long(double d);
/* "%.14G" as the engine prints doubles. */
std::string double_to_string(double d);

/* Reference counts are 16 bits wide. share() gives one more holder a
 * value: the value itself, its count raised, or once the count is at
 * max_shares a fresh copy (count 1), so a count never wraps. A reference
 * cannot be copied without breaking it: sharing one past the bound is a
 * fatal error. */
constexpr zend_ushort max_shares = 0xFFFE;
zval *share(zval *z);

/* zval_add_ref as a table copy constructor: one more holder, through
 * share() (the slot may get a copy). */
void zval_add_ref(zval **p);

} // namespace zend

#endif
