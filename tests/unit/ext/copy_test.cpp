// Deep copy of values and tables: every row of the type table, nesting,
// sharing only empty_string and the global symbol table, and the cut of a
// value that contains itself.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "brisko_hash.h"
#include "engine_testing.h"
#include "test_values.h"

namespace {

std::vector<std::string> *warnings;
void collect_warning(int type, const char *message)
{
    if (warnings && type == E_WARNING) warnings->push_back(message);
}

struct copy_fixture : ::testing::Test {
    zend::testing::request_scope request;
    bkpool *pool = new_bkpool();
    std::vector<std::string> seen;
    void SetUp() override
    {
        warnings = &seen;
        zend::set_error_observer(collect_warning);
    }
    void TearDown() override
    {
        zend::set_error_observer(nullptr);
        warnings = nullptr;
        delete_bkpool(pool);
    }
    // A copy as the callers make it: the record by memdup, then its contents.
    zval *copy_into(const zval *source, bkpool *target)
    {
        zval *copy = static_cast<zval *>(brisko_memdup(source, sizeof(zval), target));
        brisko_copy_zval(copy, target);
        return copy;
    }
    bool recorded_in_pool(const void *p) const
    {
        for (const bkpool_block *b = pool->frees; b; b = b->link) {
            void *const *slots = reinterpret_cast<void *const *>(b + 1);
            for (unsigned i = 0; i < b->count; i++)
                if (slots[i] == p) return true;
        }
        return false;
    }
};

zval *element(zval *array, const char *key)
{
    void *data;
    if (zend_hash_find(array->value.ht, key, std::strlen(key) + 1, &data) != SUCCESS) return nullptr;
    return *static_cast<zval **>(data);
}

} // namespace

TEST_F(copy_fixture, ScalarsAreCompleteInThemselves)
{
    zval *values[] = {zend::testing::make_null(), zend::testing::make_long(-42), zend::testing::make_double(2.5),
                      zend::testing::make_bool(true)};
    for (zval *v : values) {
        v->refcount = 7;
        v->is_ref = 1;
        zval *c = copy_into(v, pool);
        EXPECT_EQ(std::memcmp(c, v, sizeof(zval)), 0) << zend::testing::dump(v);
    }
    zval resource = *zend::testing::make_long(0);
    resource.type = IS_RESOURCE;
    resource.value.lval = 12;
    zval *c = copy_into(&resource, pool);
    EXPECT_EQ(c->type, IS_RESOURCE);
    EXPECT_EQ(c->value.lval, 12);
}

TEST_F(copy_fixture, StringsAndConstantsAreCopiedWithTheirTerminator)
{
    for (int type : {IS_STRING, IS_CONSTANT}) {
        zval *s = zend::testing::make_string(std::string("ab\0", 3));
        s->type = type;
        zval *c = copy_into(s, pool);
        EXPECT_EQ(c->type, type);
        EXPECT_EQ(c->value.str.len, 3);
        EXPECT_NE(c->value.str.val, s->value.str.val);
        EXPECT_EQ(std::memcmp(c->value.str.val, "ab\0\0", 4), 0);
        EXPECT_TRUE(recorded_in_pool(c->value.str.val));
    }
    zval *empty = zend::testing::make_string("");
    zval *c = copy_into(empty, pool);
    EXPECT_EQ(c->value.str.val, empty_string);
    zval *null_str = zend::testing::make_string("x");
    null_str->value.str.val = nullptr;
    EXPECT_EQ(copy_into(null_str, pool)->value.str.val, nullptr);
}

TEST_F(copy_fixture, NestedArraysAreCopiedAtEveryLevel)
{
    zval *inner = zend::testing::make_array();
    for (int i = 0; i < 40; i++) zend::testing::array_append(inner, zend::testing::make_long(i));
    zval *outer = zend::testing::make_array();
    zend::testing::array_set(outer, "name", zend::testing::make_string("brisko"));
    zend::testing::array_set(outer, "list", inner);
    zend::testing::array_set(outer, 5, zend::testing::make_double(1.5));
    inner->refcount = 3;
    outer->is_ref = 1;

    zval *c = copy_into(outer, pool);
    EXPECT_NE(c->value.ht, outer->value.ht);
    EXPECT_EQ(c->is_ref, 1);
    EXPECT_TRUE(c->value.ht->persistent);
    EXPECT_EQ(c->value.ht->pDestructor, (dtor_func_t)_zval_ptr_dtor);
    EXPECT_EQ(zend::testing::dump(c), zend::testing::dump(outer));

    zval *list = element(c, "list");
    ASSERT_NE(list, nullptr);
    EXPECT_NE(list, inner);
    EXPECT_NE(list->value.ht, inner->value.ht);
    EXPECT_EQ(list->refcount, 3) << "reference counts travel unchanged";
    EXPECT_EQ(list->value.ht->nNumOfElements, 40u);
    EXPECT_TRUE(recorded_in_pool(list));
    EXPECT_TRUE(recorded_in_pool(c->value.ht));

    // Back into request memory, then the pool goes: the request copy stands alone.
    zval *back = copy_into(c, BK_TARGET_ENGINE);
    EXPECT_FALSE(back->value.ht->persistent);
    EXPECT_EQ(element(back, "list")->value.ht->nTableSize, 64u) << "grown by the engine from 8 as elements went in";
    delete_bkpool(pool);
    pool = new_bkpool();
    EXPECT_EQ(zend::testing::dump(back), zend::testing::dump(outer));
}

TEST_F(copy_fixture, CopiedTablesStartAtEightBuckets)
{
    zval *a = zend::testing::make_array();
    zend::testing::array_set(a, "k", zend::testing::make_long(1));
    zval *c = copy_into(a, pool);
    EXPECT_EQ(c->value.ht->nTableSize, 8u);
}

TEST_F(copy_fixture, ObjectsBecomeNullAlsoInsideArrays)
{
    zval *obj = object_value();
    zval *c = copy_into(obj, pool);
    EXPECT_EQ(c->type, IS_NULL);

    zval *a = zend::testing::make_array();
    zend::testing::array_append(a, object_value());
    zend::testing::array_append(a, object_value());
    zval *ca = copy_into(a, pool);
    ASSERT_EQ(ca->value.ht->nNumOfElements, 2u);
    for (Bucket *p = ca->value.ht->pListHead; p; p = p->pListNext)
        EXPECT_EQ((*static_cast<zval **>(p->pData))->type, IS_NULL);
    EXPECT_EQ((*static_cast<zval **>(a->value.ht->pListHead->pData))->type, IS_OBJECT) << "source untouched";
}

TEST_F(copy_fixture, GlobalSymbolTableAndNullTablesAreShared)
{
    zval globals = *zend::testing::make_null();
    globals.type = IS_ARRAY;
    globals.value.ht = &EG(symbol_table);
    EXPECT_EQ(copy_into(&globals, pool)->value.ht, &EG(symbol_table));
    globals.type = IS_CONSTANT_ARRAY;
    globals.value.ht = nullptr;
    EXPECT_EQ(copy_into(&globals, pool)->value.ht, nullptr);
}

TEST_F(copy_fixture, ConstantArrayIsCopiedLikeAnArray)
{
    zval *a = zend::testing::make_array();
    zend::testing::array_set(a, "x", zend::testing::make_string("y"));
    a->type = IS_CONSTANT_ARRAY;
    zval *c = copy_into(a, pool);
    EXPECT_EQ(c->type, IS_CONSTANT_ARRAY);
    EXPECT_NE(c->value.ht, a->value.ht);
    EXPECT_STREQ(element(c, "x")->value.str.val, "y");
}

TEST_F(copy_fixture, ValueContainingItselfIsCutWithOneWarning)
{
    // $a = array(1); $a['self'] = &$a; $a['again'] = &$a;
    zval *a = zend::testing::make_array();
    zend::testing::array_set(a, "one", zend::testing::make_long(1));
    a->is_ref = 1;
    zend::testing::array_set(a, "self", a);
    zend::testing::array_set(a, "again", a);
    a->refcount = 3;

    zval *c = copy_into(a, pool);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].find("contains itself"), std::string::npos);
    EXPECT_EQ(element(c, "one")->value.lval, 1);
    EXPECT_EQ(element(c, "self")->type, IS_NULL);
    EXPECT_EQ(element(c, "again")->type, IS_NULL);
    EXPECT_EQ(a->value.ht->nApplyCount, 0) << "the walk left the source as it was";

    // Through a second level and an unprotected table.
    zval *b = zend::testing::make_array();
    zval *inner = zend::testing::make_array();
    inner->value.ht->bApplyProtection = 0;
    b->is_ref = 1;
    zend::testing::array_set(inner, "back", b);
    zend::testing::array_set(b, "inner", inner);
    seen.clear();
    zval *cb = copy_into(b, BK_TARGET_ENGINE);
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(element(element(cb, "inner"), "back")->type, IS_NULL);
    EXPECT_EQ(inner->value.ht->nApplyCount, 0);
}

// A frozen copy (the value store's) must be indistinguishable, to the
// engine's routines, from the general copy into a pool: same dump, keys
// found by the engine's look-ups, same order and next free index, the
// internal pointer at the first element; and it is one pooled block.
TEST_F(copy_fixture, FrozenCopyIsOneBlockThatTheEngineReadsAsTheGeneralCopy)
{
    zval *inner = zend::testing::make_array();
    for (int i = 0; i < 300; i++) zend::testing::array_append(inner, zend::testing::make_string("s" + std::to_string(i)));
    zval *shared = zend::testing::make_long(9);
    shared->is_ref = 1;
    shared->refcount = 2;
    zval *outer = zend::testing::make_array();
    zend::testing::array_set(outer, "name", zend::testing::make_string("brisko"));
    zend::testing::array_set(outer, "empty", zend::testing::make_string(""));
    zend::testing::array_set(outer, -7, zend::testing::make_double(1.5));
    zend::testing::array_set(outer, 40, shared);
    zend::testing::array_set(outer, "ref", shared);
    zend::testing::array_set(outer, "list", inner);
    zend::testing::array_set(outer, "object", object_value());
    zend::testing::array_set(outer, "nested", zend::testing::make_array());
    zend_hash_del_key_or_index(outer->value.ht, nullptr, 0, 40, HASH_DEL_INDEX); // the next free index stays 41
    zend::testing::array_set(outer, 3, zend::testing::make_bool(true));
    outer->refcount = 5;

    zval *general = copy_into(outer, pool);
    bkpool *frozen_pool = new_bkpool();
    zval *frozen = brisko_copy_frozen(outer, frozen_pool);
    EXPECT_EQ(frozen_pool->frees->count, 1u) << "one pooled block";
    EXPECT_EQ(frozen_pool->frees->link, nullptr);

    EXPECT_EQ(frozen->refcount, 1);
    EXPECT_EQ(frozen->is_ref, 0);
    EXPECT_EQ(zend::testing::dump(frozen), zend::testing::dump(general));
    HashTable *f = frozen->value.ht, *g = general->value.ht;
    EXPECT_EQ(f->nNumOfElements, g->nNumOfElements);
    EXPECT_EQ(f->nNextFreeElement, g->nNextFreeElement);
    EXPECT_EQ(f->pInternalPointer, f->pListHead);
    EXPECT_TRUE(f->persistent);
    EXPECT_EQ(f->pDestructor, (dtor_func_t)_zval_ptr_dtor);
    EXPECT_GE(f->nTableSize, f->nNumOfElements);

    // Every key found through the engine, each element a value of its own.
    for (Bucket *p = g->pListHead; p; p = p->pListNext) {
        void *data = nullptr;
        int found = p->nKeyLength ? zend_hash_find(f, p->arKey, p->nKeyLength, &data)
                                  : zend_hash_index_find(f, p->h, &data);
        ASSERT_EQ(found, SUCCESS) << (p->nKeyLength ? p->arKey : std::to_string(p->h));
        zval *e = *static_cast<zval **>(data);
        EXPECT_EQ(e->refcount, 1);
        EXPECT_EQ(e->is_ref, 0);
    }
    EXPECT_EQ(element(frozen, "empty")->value.str.val, empty_string);
    EXPECT_EQ(element(frozen, "object")->type, IS_NULL);
    zval *list = element(frozen, "list");
    EXPECT_EQ(list->value.ht->nNumOfElements, 300u);
    void *data = nullptr;
    ASSERT_EQ(zend_hash_index_find(list->value.ht, 299, &data), SUCCESS);
    EXPECT_STREQ((*static_cast<zval **>(data))->value.str.val, "s299");

    // Read back into request memory, the pool deleted: the copy stands alone
    // and takes new elements where the source would.
    zval *back = copy_into(frozen, BK_TARGET_ENGINE);
    delete_bkpool(frozen_pool);
    EXPECT_EQ(zend::testing::dump(back), zend::testing::dump(general));
    zend::testing::array_append(back, zend::testing::make_long(1));
    zend::testing::array_append(general, zend::testing::make_long(1));
    EXPECT_EQ(zend::testing::dump(back), zend::testing::dump(general));
}

TEST_F(copy_fixture, FrozenCopyCutsCyclesAndDepthAsTheGeneralCopy)
{
    zval *a = zend::testing::make_array();
    zend::testing::array_set(a, "one", zend::testing::make_long(1));
    a->is_ref = 1;
    zend::testing::array_set(a, "self", a);
    a->refcount = 2;
    bkpool *frozen_pool = new_bkpool();
    zval *c = brisko_copy_frozen(a, frozen_pool);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(element(c, "self")->type, IS_NULL);
    EXPECT_EQ(a->value.ht->nApplyCount, 0);

    // Deeper than the copy goes: cut at the limit, one warning, no overrun
    // of the measured block (the copy checks that it filled it exactly).
    zval *deep = zend::testing::make_array();
    zval *level = deep;
    for (int i = 0; i < 2100; i++) {
        zval *next = zend::testing::make_array();
        zend::testing::array_set(level, "d", next);
        zend::testing::array_set(level, "s", zend::testing::make_string("x" + std::to_string(i)));
        level = next;
    }
    seen.clear();
    zval *cd = brisko_copy_frozen(deep, frozen_pool);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].find("nested more than"), std::string::npos);
    int depth = 0;
    for (zval *v = cd; v->type == IS_ARRAY; v = element(v, "d")) depth++;
    EXPECT_EQ(depth, 2000);
    delete_bkpool(frozen_pool);
}
