/* Conversions, copying and the operators' type rules. */
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "core/operators.h"
#include "engine_testing.h"

using namespace zend::testing;

namespace {

struct ValuesTest : ::testing::Test {
    request_scope scope;
    std::vector<error_record> errors;
    static ValuesTest *current;
    void SetUp() override {
        current = this;
        zend::set_error_observer([](int type, const char *m) { current->errors.push_back({type, m}); });
    }
    void TearDown() override {
        zend::set_error_observer(nullptr);
        zend::output_buffer().clear();
    }
};
ValuesTest *ValuesTest::current;

zval local_string(const char *s) {
    zval z;
    z.type = IS_STRING;
    z.value.str.len = (int)std::strlen(s);
    z.value.str.val = estrndup(s, (uint)z.value.str.len);
    INIT_PZVAL(&z);
    return z;
}

TEST_F(ValuesTest, StringToNumberConversions) {
    const struct {
        const char *text;
        long as_long;
        double as_double;
    } cases[] = {
        {"42", 42, 42.0},       {"  -7", -7, -7.0},     {"3.9", 3, 3.9},         {"1e3", 1, 1000.0},
        {"12abc", 12, 12.0},    {"abc", 0, 0.0},        {"", 0, 0.0},            {"0x1A", 0, 0.0},
        {"99999999999999999999", LONG_MAX, 1e20},       {"-99999999999999999999", LONG_MIN, -1e20},
        {".5", 0, 0.5},         {"inf", 0, 0.0},
    };
    for (const auto &c : cases) {
        zval a = local_string(c.text), b = local_string(c.text);
        convert_to_long(&a);
        convert_to_double(&b);
        EXPECT_EQ(IS_LONG, a.type);
        EXPECT_EQ(c.as_long, a.value.lval) << c.text;
        EXPECT_DOUBLE_EQ(c.as_double, b.value.dval) << c.text;
    }
}

TEST_F(ValuesTest, ToStringUsesTheEngineFormats) {
    const struct {
        double d;
        const char *text;
    } doubles[] = {{1.5, "1.5"},     {0.1 + 0.2, "0.3"}, {1e15, "1E+15"}, {-0.0, "-0"},
                   {100000000000000.0, "1E+14"}, {12345678901234.0, "12345678901234"}, {1.0 / 3, "0.33333333333333"}};
    for (const auto &c : doubles) {
        zval z;
        z.type = IS_DOUBLE;
        z.value.dval = c.d;
        convert_to_string(&z);
        EXPECT_EQ(std::string(c.text), std::string(z.value.str.val, z.value.str.len)) << c.d;
        zval_dtor(&z);
    }
    zval z;
    z.type = IS_BOOL;
    z.value.lval = 0;
    convert_to_string(&z);
    EXPECT_EQ(0, z.value.str.len);
    EXPECT_EQ(empty_string, z.value.str.val);
    zval_dtor(&z); /* must not free the shared empty string */
    z.type = IS_LONG;
    z.value.lval = LONG_MIN;
    convert_to_string(&z);
    EXPECT_STREQ("-9223372036854775808", z.value.str.val);
    zval_dtor(&z);
    zval *arr = make_array();
    convert_to_string(arr);
    EXPECT_STREQ("Array", arr->value.str.val);
    release(arr);
}

TEST_F(ValuesTest, DoubleToLongSaturatesInsteadOfOverflowing) {
    EXPECT_EQ(LONG_MAX, zend::double_to_long(1e300));
    EXPECT_EQ(LONG_MIN, zend::double_to_long(-1e300));
    EXPECT_EQ(0, zend::double_to_long(NAN));
    EXPECT_EQ(-3, zend::double_to_long(-3.99));
}

TEST_F(ValuesTest, TruthAndArrays) {
    const char *falsy[] = {"", "0"};
    const char *truthy[] = {"0.0", " ", "a", "00"};
    for (const char *s : falsy) {
        zval z = local_string(s);
        EXPECT_FALSE(zend_is_true(&z)) << s;
        zval_dtor(&z);
    }
    for (const char *s : truthy) {
        zval z = local_string(s);
        EXPECT_TRUE(zend_is_true(&z)) << s;
        zval_dtor(&z);
    }
    zval *arr = make_array();
    EXPECT_FALSE(zend_is_true(arr));
    array_append(arr, make_long(0));
    EXPECT_TRUE(zend_is_true(arr));
    convert_to_long(arr);
    EXPECT_EQ(1, arr->value.lval);
    release(arr);

    zval *s = make_string("x");
    convert_to_array(s);
    ASSERT_EQ(IS_ARRAY, s->type);
    EXPECT_EQ("array(1) {\n  [0]=>\n  string(1) \"x\"\n}\n", dump(s));
    release(s);
}

TEST_F(ValuesTest, CopyConstructorSharesElementsByReferenceCount) {
    zval *arr = make_array();
    zval *element = make_string("shared");
    array_set(arr, "k", element);
    zval copy = *arr;
    zval_copy_ctor(&copy);
    EXPECT_NE(arr->value.ht, copy.value.ht);
    EXPECT_EQ(2, element->refcount);
    zval_dtor(&copy);
    EXPECT_EQ(1, element->refcount);
    release(arr);

    zval empty = local_string("");
    efree(empty.value.str.val);
    empty.value.str.val = empty_string;
    zval_copy_ctor(&empty);
    EXPECT_EQ(empty_string, empty.value.str.val);
}

TEST_F(ValuesTest, PtrDtorDropsReferenceFlagAtOne) {
    zval *z = make_long(1);
    z->refcount = 2;
    z->is_ref = 1;
    zval *p = z;
    zval_ptr_dtor(&p);
    EXPECT_EQ(1, z->refcount);
    EXPECT_EQ(0, z->is_ref);
    release(z);
}

int cmp(zval *a, zval *b) { return zend::compare_values(a, b); }

TEST_F(ValuesTest, LooseComparisonRules) {
    zval *null = make_null(), *f = make_bool(false), *t = make_bool(true), *empty = make_string(""),
         *zero = make_string("0"), *ten = make_string("10"), *ten_f = make_string("1e1"), *abc = make_string("abc"),
         *nine = make_string("9"), *l0 = make_long(0), *l10 = make_long(10), *d10 = make_double(10.0);
    EXPECT_EQ(0, cmp(null, f));
    EXPECT_EQ(0, cmp(null, empty));
    EXPECT_NE(0, cmp(null, zero)); /* null <=> string compares as "" */
    EXPECT_EQ(0, cmp(f, zero));
    EXPECT_EQ(0, cmp(ten, ten_f)); /* both numeric */
    EXPECT_EQ(1, cmp(ten, nine));
    EXPECT_EQ(0, cmp(abc, l0));    /* "abc" is 0 as a number */
    EXPECT_EQ(0, cmp(l10, d10));
    EXPECT_EQ(0, cmp(ten, l10));
    EXPECT_EQ(1, cmp(t, l0));
    EXPECT_EQ(-1, cmp(abc, make_string("abd")));

    zval *a = make_array(), *b = make_array();
    array_set(a, "x", make_long(1));
    EXPECT_EQ(1, cmp(a, b)); /* by count first */
    array_set(b, "x", make_string("1"));
    EXPECT_EQ(0, cmp(a, b));
    EXPECT_FALSE(zend::values_identical(a, b));
    EXPECT_EQ(1, cmp(a, l10)); /* arrays above scalars */
    EXPECT_EQ(-1, cmp(l10, a));
}

TEST_F(ValuesTest, ArithmeticTypesAndDivisionByZero) {
    zval r;
    zval *big = make_long(LONG_MAX), *one = make_long(1), *half = make_string("0.5"), *zero = make_long(0);
    zend::add_function(&r, big, one);
    EXPECT_EQ(IS_DOUBLE, r.type); /* overflow turns into a double */
    zend::add_function(&r, one, half);
    EXPECT_EQ(IS_DOUBLE, r.type);
    EXPECT_DOUBLE_EQ(1.5, r.value.dval);
    zend::div_function(&r, make_long(6), make_long(3));
    EXPECT_EQ(IS_LONG, r.type);
    EXPECT_EQ(2, r.value.lval);
    zend::div_function(&r, make_long(7), make_long(2));
    EXPECT_EQ(IS_DOUBLE, r.type);
    errors.clear();
    zend::div_function(&r, one, zero);
    EXPECT_EQ(IS_BOOL, r.type);
    EXPECT_EQ(0, r.value.lval);
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("Division by zero", errors[0].message);
    zend::mod_function(&r, make_long(LONG_MIN), make_long(-1));
    EXPECT_EQ(0, r.value.lval);
    zend::shift_left_function(&r, one, make_long(200)); /* defined for any count */
    EXPECT_EQ(IS_LONG, r.type);
}

TEST_F(ValuesTest, ConcatIntoTheLeftOperand) {
    zval *s = make_string("ab");
    zend::concat_function(s, s, make_long(12));
    EXPECT_EQ("ab12", std::string(s->value.str.val, s->value.str.len));
    zend::concat_function(s, s, s);
    EXPECT_EQ("ab12ab12", std::string(s->value.str.val, s->value.str.len));
    zval r;
    zend::concat_function(&r, make_double(1.5), make_null());
    EXPECT_STREQ("1.5", r.value.str.val);
    zval_dtor(&r);
}

TEST_F(ValuesTest, IncrementAndDecrement) {
    const struct {
        const char *before, *after;
    } strings[] = {{"a", "b"}, {"Az", "Ba"}, {"zz", "aaa"}, {"a9", "b0"}, {"Zz", "AAa"}, {"9z", "10a"}, {"a-z", "a-a"}};
    for (const auto &c : strings) {
        zval *z = make_string(c.before);
        zend::increment_function(z);
        ASSERT_EQ(IS_STRING, z->type);
        EXPECT_STREQ(c.after, z->value.str.val) << c.before;
        release(z);
    }
    zval *n = make_null();
    zend::decrement_function(n);
    EXPECT_EQ(IS_NULL, n->type);
    zend::increment_function(n);
    EXPECT_EQ(IS_LONG, n->type);
    EXPECT_EQ(1, n->value.lval);
    zval *num = make_string("41");
    zend::increment_function(num);
    EXPECT_EQ(IS_LONG, num->type);
    EXPECT_EQ(42, num->value.lval);
    zval *m = make_long(LONG_MIN);
    zend::decrement_function(m);
    EXPECT_EQ(IS_DOUBLE, m->type);
}

TEST_F(ValuesTest, DeepNestingNeitherOverflowsNorLeavesCountersBehind) {
    zval *a = make_array(), *b = make_array();
    for (int i = 0; i < 100000; i++) {
        zval *wa = make_array(), *wb = make_array();
        array_append(wa, a);
        array_append(wb, b);
        a = wa;
        b = wb;
    }
    bool bailed = false;
    try {
        zend::compare_values(a, b);
    } catch (const zend::bailout &) {
        bailed = true;
    }
    EXPECT_TRUE(bailed);
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(E_ERROR, errors.back().type);
    EXPECT_EQ("Nesting level too deep - recursive dependency?", errors.back().message);
    EXPECT_EQ(0, a->value.ht->nApplyCount);
    zval *x = make_array(), *y = make_array();
    array_append(x, make_long(1));
    array_append(y, make_long(1));
    EXPECT_EQ(0, zend::compare_values(x, y)); /* the depth count was unwound */
    std::size_t before = zend::request_memory_blocks();
    release(a); /* destroyed without recursing 100000 levels deep */
    release(b);
    EXPECT_LT(zend::request_memory_blocks(), before - 300000);
}

} // namespace
