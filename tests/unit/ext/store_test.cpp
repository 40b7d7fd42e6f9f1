// The value store through its PHP functions, as scripts call them, across
// requests of one process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brisko_hash.h"
#include "engine_testing.h"
#include "php_brisko.h"
#include "store/heap_store.h"
#include "test_values.h"

using zend::testing::call_function;
using zend::testing::dump;
using zend::testing::make_array;
using zend::testing::make_long;
using zend::testing::make_string;

namespace {

struct store_fixture : ::testing::Test {
    zend::testing::request_scope request;
    void SetUp() override { ASSERT_EQ(brisko_test_start_module(), SUCCESS); }
    static int brisko_test_start_module()
    {
        return zend_startup_module(&php_brisko_module_entry);
    }
    static void next_request()
    {
        zend::request_shutdown();
        zend::request_startup();
    }
    static zval *get(const std::string &group, const std::string &key)
    {
        auto r = call_function("brisko_heap_get", {make_string(group), make_string(key)});
        EXPECT_TRUE(r.found);
        return r.value;
    }
    static void set(const std::string &group, const std::string &key, zval *value)
    {
        auto r = call_function("brisko_heap_set", {make_string(group), make_string(key), value});
        ASSERT_TRUE(r.found);
        ASSERT_EQ(r.value->type, IS_BOOL);
        EXPECT_EQ(r.value->value.lval, 1);
        EXPECT_TRUE(r.errors.empty());
    }
    static zval *index(zval *group)
    {
        return call_function("brisko_heap_get_index", {group}).value;
    }
    static size_t global_children()
    {
        size_t n = 0;
        for (bkpool *p = bkpool_global->children; p; p = p->sibling) n++;
        return n;
    }
};

} // namespace

TEST_F(store_fixture, ValuesOutliveTheirRequest)
{
    zval *nested = make_array();
    zval *inner = make_array();
    zend::testing::array_set(inner, "deep", make_string(std::string("a\0b", 3)));
    zend::testing::array_set(nested, "inner", inner);
    zend::testing::array_set(nested, 3, zend::testing::make_double(0.25));
    std::string nested_dump = dump(nested);
    zval *objects = make_array();
    zend::testing::array_append(objects, object_value());
    zend::testing::array_append(objects, object_value());

    set("scalars", "long", make_long(42));
    set("scalars", "nul", make_string(std::string("x\0y\0", 4)));
    set("scalars", "nested", nested);
    set("scalars", "objects", objects);
    set("scalars", "object", object_value());
    next_request();

    EXPECT_EQ(dump(get("scalars", "long")), dump(make_long(42)));
    zval *nul = get("scalars", "nul");
    ASSERT_EQ(nul->type, IS_STRING);
    EXPECT_EQ(std::string(nul->value.str.val, nul->value.str.len), std::string("x\0y\0", 4));
    EXPECT_EQ(dump(get("scalars", "nested")), nested_dump);
    zval *objs = get("scalars", "objects");
    ASSERT_EQ(objs->type, IS_ARRAY);
    ASSERT_EQ(objs->value.ht->nNumOfElements, 2u);
    for (Bucket *p = objs->value.ht->pListHead; p; p = p->pListNext)
        EXPECT_EQ((*static_cast<zval **>(p->pData))->type, IS_NULL);
    EXPECT_EQ(get("scalars", "object")->type, IS_NULL);
}

TEST_F(store_fixture, ReadsAreFreshValuesThatDoNotTouchTheStoredOne)
{
    zval *a = make_array();
    zend::testing::array_set(a, "k", make_string("v"));
    set("fresh", "a", a);
    zval *first = get("fresh", "a");
    EXPECT_EQ(first->refcount, 1);
    EXPECT_EQ(first->is_ref, 0);
    zend::testing::array_set(first, "k", make_string("changed"));
    zend::testing::array_set(first, "new", make_long(1));
    zval *second = get("fresh", "a");
    EXPECT_EQ(second->value.ht->nNumOfElements, 1u);
    EXPECT_EQ(dump(second), dump(a));
}

TEST_F(store_fixture, ReplacingKeepsPositionAndFreesTheOldPool)
{
    set("order", "b", make_long(1));
    set("order", "a", make_long(2));
    size_t pools = global_children();
    zval *big = make_array();
    for (int i = 0; i < 100; i++) zend::testing::array_append(big, make_string("element" + std::to_string(i)));
    set("order", "b", big);
    set("order", "b", make_string("third"));
    EXPECT_EQ(global_children(), pools) << "each replacement deleted the pool of the value it replaced";
    EXPECT_EQ(dump(get("order", "b")), dump(make_string("third")));

    zval *keys = index(make_string("order"));
    ASSERT_EQ(keys->type, IS_ARRAY);
    zval *expected = make_array();
    zend::testing::array_append(expected, make_string("b"));
    zend::testing::array_append(expected, make_string("a"));
    EXPECT_EQ(dump(keys), dump(expected));
}

TEST_F(store_fixture, MissingGroupsAndKeysAreNull)
{
    set("present", "k", make_long(1));
    EXPECT_EQ(get("absent", "k")->type, IS_NULL);
    EXPECT_EQ(get("present", "other")->type, IS_NULL);
    EXPECT_EQ(index(make_string("absent"))->type, IS_NULL);
}

TEST_F(store_fixture, IntegerLikeKeysAreFoundButNotListed)
{
    set("ints", "5", make_string("five"));
    set("ints", "x", make_string("ex"));
    EXPECT_EQ(dump(get("ints", "5")), dump(make_string("five")));
    auto r = call_function("brisko_heap_get", {make_string("ints"), make_long(5)});
    EXPECT_EQ(dump(r.value), dump(make_string("five")));
    zval *expected = make_array();
    zend::testing::array_append(expected, make_string("x"));
    EXPECT_EQ(dump(index(make_string("ints"))), dump(expected));
}

TEST_F(store_fixture, GroupNameWithNulIsStoredShortButListedWhole)
{
    std::string whole("grp\0tail", 8);
    set(whole, "k", make_long(7));
    EXPECT_EQ(dump(get("grp", "k")), dump(make_long(7)));
    EXPECT_EQ(index(make_string(whole))->type, IS_NULL);
    EXPECT_EQ(index(make_string("grp"))->type, IS_ARRAY);
}

TEST_F(store_fixture, ReferenceArgumentsAreLeftConverted)
{
    zval *group = make_long(12);
    group->is_ref = 1;
    zval *key = make_long(34);
    key->is_ref = 1;
    auto r = call_function("brisko_heap_set", {group, key, make_long(1)});
    EXPECT_EQ(group->type, IS_STRING);
    EXPECT_EQ(key->type, IS_STRING);
    EXPECT_STREQ(group->value.str.val, "12");
    zval *plain = make_long(12); // shared, not a reference: separated, left as it was
    call_function("brisko_heap_get", {plain, make_string("34")});
    EXPECT_EQ(plain->type, IS_LONG);
    EXPECT_EQ(dump(get("12", "34")), dump(make_long(1)));
}

TEST_F(store_fixture, WrongArgumentCountsAreReportedAndReturnNull)
{
    struct call {
        const char *name;
        int count;
    } calls[] = {{"brisko_heap_set", 2}, {"brisko_heap_set", 4}, {"brisko_heap_get", 1},
                 {"brisko_heap_get", 3}, {"brisko_heap_get_index", 0}, {"brisko_heap_get_index", 2}};
    for (const call &c : calls) {
        std::vector<zval *> args;
        for (int i = 0; i < c.count; i++) args.push_back(make_string("g"));
        auto r = call_function(c.name, args);
        ASSERT_TRUE(r.found) << c.name;
        EXPECT_EQ(r.value->type, IS_NULL) << c.name << " with " << c.count;
        ASSERT_EQ(r.errors.size(), 1u) << c.name;
        EXPECT_EQ(r.errors[0].type, E_WARNING);
        EXPECT_NE(r.errors[0].message.find("Wrong parameter count"), std::string::npos);
    }
    EXPECT_EQ(get("g", "g")->type, IS_NULL) << "nothing was stored";
}
