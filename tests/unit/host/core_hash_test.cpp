/* Hash-table semantics the extension and the executor rely on. */
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine_testing.h"

namespace {

struct HashTest : ::testing::Test {
    zend::testing::request_scope scope;
    HashTable ht;
    void SetUp() override { zend_hash_init(&ht, 0, nullptr, nullptr, 0); }
    void TearDown() override { zend_hash_destroy(&ht); }

    void put(const std::string &key, long v) {
        zend_hash_update(&ht, key.c_str(), (uint)key.size() + 1, &v, sizeof v, nullptr);
    }
    std::vector<std::string> keys() {
        std::vector<std::string> out;
        HashPosition pos;
        zend_hash_internal_pointer_reset_ex(&ht, &pos);
        char *s;
        uint len;
        ulong n;
        for (;;) {
            int kind = zend_hash_get_current_key_ex(&ht, &s, &len, &n, 0, &pos);
            if (kind == HASH_KEY_NON_EXISTANT) break;
            out.push_back(kind == HASH_KEY_IS_STRING ? "s:" + std::string(s, len - 1) : "i:" + std::to_string((long)n));
            zend_hash_move_forward_ex(&ht, &pos);
        }
        return out;
    }
};

TEST_F(HashTest, CanonicalIntegerStringsAreIntegerKeys) {
    const char *integer[] = {"0", "7", "-5", "123", "9223372036854775807", "-9223372036854775808"};
    const char *string[] = {"", "007", "-0", "1.5", " 1", "1 ", "+1", "9223372036854775808", "-9223372036854775809", "12a"};
    for (const char *k : integer) {
        put(k, 1);
        ulong expected = (ulong)std::strtol(k, nullptr, 10);
        EXPECT_TRUE(zend_hash_index_exists(&ht, expected)) << k;
    }
    for (const char *k : string) {
        put(k, 2);
        EXPECT_TRUE(zend_hash_exists(&ht, k, (uint)std::strlen(k) + 1)) << k;
    }
    for (Bucket *p = ht.pListHead; p; p = p->pListNext) {
        long *v = (long *)p->pData;
        EXPECT_EQ(*v == 1, p->nKeyLength == 0) << p->arKey;
    }
    /* Lookup and delete by the string spelling reach the integer key. */
    void *data;
    EXPECT_EQ(SUCCESS, zend_hash_find(&ht, "123", 4, &data));
    EXPECT_EQ(SUCCESS, zend_hash_del(&ht, "-5", 3));
    EXPECT_FALSE(zend_hash_index_exists(&ht, (ulong)-5L));
}

TEST_F(HashTest, OrderAddUpdateAndNextFreeElement) {
    put("b", 1);
    put("a", 2);
    long v = 3;
    EXPECT_EQ(SUCCESS, zend_hash_index_update(&ht, 5, &v, sizeof v, nullptr));
    EXPECT_EQ(SUCCESS, zend_hash_next_index_insert(&ht, &v, sizeof v, nullptr));
    EXPECT_EQ(FAILURE, zend_hash_add(&ht, "a", 2, &v, sizeof v, nullptr));
    put("b", 9); /* update keeps the position */
    EXPECT_EQ((std::vector<std::string>{"s:b", "s:a", "i:5", "i:6"}), keys());
    void *data;
    ASSERT_EQ(SUCCESS, zend_hash_find(&ht, "b", 2, &data));
    EXPECT_EQ(9, *(long *)data);
    EXPECT_EQ(7u, zend_hash_next_free_element(&ht));
    v = -3;
    zend_hash_index_update(&ht, (ulong)-3L, &v, sizeof v, nullptr);
    EXPECT_EQ(7u, zend_hash_next_free_element(&ht));
}

TEST_F(HashTest, PointerSizedDataLivesInTheElement) {
    void *ptr = &ht;
    zend_hash_update(&ht, "p", 2, &ptr, sizeof ptr, nullptr);
    long big[3] = {1, 2, 3};
    zend_hash_update(&ht, "q", 2, big, sizeof big, nullptr);
    Bucket *p = ht.pListHead, *q = p->pListNext;
    EXPECT_EQ(&p->pDataPtr, p->pData);
    EXPECT_EQ(ptr, p->pDataPtr);
    EXPECT_EQ(nullptr, q->pDataPtr);
    EXPECT_EQ(3, ((long *)q->pData)[2]);
}

void grow_and_check(HashTable *t) {
    EXPECT_EQ(8u, t->nTableSize);
    for (long i = 0; i < 100; i++) {
        std::string key = "k" + std::to_string(i);
        zend_hash_update(t, key.c_str(), (uint)key.size() + 1, &i, sizeof i, nullptr);
        EXPECT_LE(t->nNumOfElements, t->nTableSize);
    }
    EXPECT_EQ(128u, t->nTableSize);
    EXPECT_EQ(127u, t->nTableMask);
    for (long i = 0; i < 100; i++) {
        std::string key = "k" + std::to_string(i);
        void *data;
        ASSERT_EQ(SUCCESS, zend_hash_find(t, key.c_str(), (uint)key.size() + 1, &data));
        EXPECT_EQ(i, *(long *)data);
    }
}

TEST_F(HashTest, BucketArrayDoublesForRequestAndPersistentTables) {
    grow_and_check(&ht);
    std::size_t before = zend::request_memory_blocks();
    HashTable persistent;
    zend_hash_init(&persistent, 3, nullptr, nullptr, 1);
    grow_and_check(&persistent);
    EXPECT_EQ(before, zend::request_memory_blocks()); /* all from the C library */
    zend_hash_destroy(&persistent);
}

TEST_F(HashTest, InitialSizeIsPowerOfTwoAtLeastEight) {
    const std::pair<uint, uint> sizes[] = {{0, 8}, {2, 8}, {8, 8}, {9, 16}, {100, 128}, {129, 256}};
    for (auto [hint, size] : sizes) {
        HashTable t;
        zend_hash_init(&t, hint, nullptr, nullptr, 0);
        EXPECT_EQ(size, t.nTableSize) << hint;
        EXPECT_EQ(1, t.bApplyProtection);
        zend_hash_destroy(&t);
    }
}

int destroyed = 0;
void count_dtor(void *) { destroyed++; }
int remove_all(void *) { return ZEND_HASH_APPLY_REMOVE; }

TEST_F(HashTest, ApplyRemovingEverythingEmptiesTheTable) {
    destroyed = 0;
    ht.pDestructor = count_dtor;
    for (int i = 0; i < 20; i++) put("x" + std::to_string(i), i);
    zend_hash_apply(&ht, remove_all);
    EXPECT_EQ(20, destroyed);
    EXPECT_EQ(0u, ht.nNumOfElements);
    EXPECT_EQ(nullptr, ht.pListHead);
    EXPECT_EQ(nullptr, ht.pListTail);
    EXPECT_EQ(nullptr, ht.pInternalPointer);
    for (uint i = 0; i < ht.nTableSize; i++) EXPECT_EQ(nullptr, ht.arBuckets[i]);
    EXPECT_EQ(0, ht.nApplyCount);
}

TEST_F(HashTest, DestructorRunsOnUpdateDeleteAndDestroy) {
    destroyed = 0;
    ht.pDestructor = count_dtor;
    put("a", 1);
    put("a", 2);
    EXPECT_EQ(1, destroyed);
    zend_hash_index_update(&ht, 3, &destroyed, sizeof destroyed, nullptr);
    zend_hash_index_del(&ht, 3);
    EXPECT_EQ(2, destroyed);
    put("b", 1);
    zend_hash_clean(&ht);
    EXPECT_EQ(4, destroyed);
}

HashTable *nested_table;
int recurse(void *) {
    zend_hash_apply(nested_table, recurse);
    return ZEND_HASH_APPLY_KEEP;
}

TEST_F(HashTest, ApplyNestingIsLimited) {
    put("a", 1);
    nested_table = &ht;
    std::vector<int> types;
    static std::vector<int> *sink;
    sink = &types;
    zend::set_error_observer([](int type, const char *) { sink->push_back(type); });
    zend_hash_apply(&ht, recurse);
    zend::set_error_observer(nullptr);
    ASSERT_EQ(1u, types.size());
    EXPECT_EQ(E_WARNING, types[0]);
    EXPECT_EQ(0, ht.nApplyCount);
    zend::output_buffer().clear();
}

TEST_F(HashTest, InternalPointerAndDuplicatedKeys) {
    put("one", 1);
    zend_hash_index_update(&ht, 2, &ht, sizeof(void *), nullptr);
    zend_hash_internal_pointer_reset(&ht);
    char *key = nullptr;
    ulong n;
    ASSERT_EQ(HASH_KEY_IS_STRING, zend_hash_get_current_key(&ht, &key, &n, 1));
    EXPECT_STREQ("one", key);
    EXPECT_NE(ht.pListHead->arKey, key); /* a copy */
    efree(key);
    zend_hash_move_forward(&ht);
    EXPECT_EQ(HASH_KEY_IS_LONG, zend_hash_get_current_key(&ht, &key, &n, 0));
    EXPECT_EQ(2u, n);
    zend_hash_move_forward(&ht);
    void *data;
    EXPECT_EQ(FAILURE, zend_hash_get_current_data(&ht, &data));
}

TEST_F(HashTest, CopyRunsTheConstructorOnEachCopy) {
    put("a", 1);
    put("b", 2);
    HashTable target;
    zend_hash_init(&target, 0, nullptr, nullptr, 0);
    static int copies;
    copies = 0;
    long tmp;
    zend_hash_copy(&target, &ht, [](void *p) { copies++; *(long *)p *= 10; }, &tmp, sizeof(long));
    EXPECT_EQ(2, copies);
    void *data;
    ASSERT_EQ(SUCCESS, zend_hash_find(&target, "b", 2, &data));
    EXPECT_EQ(20, *(long *)data);
    ASSERT_EQ(SUCCESS, zend_hash_find(&ht, "b", 2, &data));
    EXPECT_EQ(2, *(long *)data);
    zend_hash_destroy(&target);
}

int blocked = 0, unblocked = 0;
TEST_F(HashTest, DeletionCallsInterruptionHooksOnlyWhenSet) {
    put("a", 1);
    put("b", 1);
    zend_hash_del(&ht, "a", 2); /* hooks unset: nothing to call */
    zend_block_interruptions = [] { blocked++; };
    zend_unblock_interruptions = [] { unblocked++; };
    zend_hash_del(&ht, "b", 2);
    zend_block_interruptions = nullptr;
    zend_unblock_interruptions = nullptr;
    EXPECT_GT(blocked, 0);
    EXPECT_EQ(blocked, unblocked);
    EXPECT_EQ(0u, ht.nNumOfElements);
}

} // namespace
