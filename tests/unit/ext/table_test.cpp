// Pool-resident tables: sizes from hints, where record and buckets live,
// walks that keep or remove, and deleting a pool whose tables the engine
// grew (run under the sanitizer build to see it free everything once).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "brisko_hash.h"
#include "engine_testing.h"

namespace {

struct table_fixture : ::testing::Test {
    zend::testing::request_scope request;
    bkpool *pool = new_bkpool();
    void TearDown() override
    {
        if (pool) delete_bkpool(pool);
    }
};

void put(HashTable *ht, const std::string &key, long value)
{
    void *data = reinterpret_cast<void *>(value);
    ASSERT_EQ(zend_hash_add_or_update(ht, key.c_str(), key.size() + 1, &data, sizeof data, nullptr, HASH_UPDATE),
              SUCCESS);
}

std::vector<std::string> keys(HashTable *ht)
{
    std::vector<std::string> out;
    for (Bucket *p = ht->pListHead; p; p = p->pListNext)
        out.push_back(p->nKeyLength ? std::string(p->arKey, p->nKeyLength - 1) : std::to_string(p->h));
    return out;
}

struct walk_log {
    std::vector<std::string> keys;
    std::vector<int> apply_counts;
    HashTable *table;
};

int record_and_keep(void *pData, int num_args, va_list args, zend_hash_key *key)
{
    EXPECT_EQ(num_args, 2);
    walk_log *log = va_arg(args, walk_log *);
    int result = va_arg(args, int);
    log->keys.push_back(key->nKeyLength ? std::string(key->arKey, key->nKeyLength - 1) : std::to_string(key->h));
    log->apply_counts.push_back(log->table->nApplyCount);
    return result;
}

} // namespace

TEST_F(table_fixture, SizeHintsRoundToPowersOfTwoFromEight)
{
    const unsigned hints[] = {0, 2, 8, 10, 100, 128, 129};
    const unsigned sizes[] = {8, 8, 8, 16, 128, 128, 256};
    for (size_t i = 0; i < sizeof hints / sizeof hints[0]; i++) {
        HashTable *ht = brisko_init_hashtable(hints[i], nullptr, pool);
        EXPECT_EQ(ht->nTableSize, sizes[i]) << "hint " << hints[i];
        EXPECT_EQ(ht->nTableMask, sizes[i] - 1);
        EXPECT_TRUE(ht->persistent);
        EXPECT_EQ(ht->bApplyProtection, 1);
        for (unsigned b = 0; b < sizes[i]; b++) EXPECT_EQ(ht->arBuckets[b], nullptr);
    }
    HashTable *engine = brisko_init_hashtable(100, nullptr, BK_TARGET_ENGINE);
    EXPECT_EQ(engine->nTableSize, 128u);
    EXPECT_FALSE(engine->persistent);
    zend_hash_destroy(engine);
}

TEST_F(table_fixture, StaticInitClearsAnEmbeddedRecord)
{
    struct holder {
        int before;
        HashTable table;
        int after;
    } h;
    std::memset(&h, 0xab, sizeof h);
    ASSERT_EQ(brisko_init_hashtable_static(&h.table, 10, (dtor_func_t)_zval_ptr_dtor, pool), SUCCESS);
    EXPECT_EQ(h.table.nTableSize, 16u);
    EXPECT_EQ(h.table.pListHead, nullptr);
    EXPECT_EQ(h.table.nNumOfElements, 0u);
    EXPECT_EQ(h.table.nNextFreeElement, 0u);
    EXPECT_EQ(h.table.pDestructor, (dtor_func_t)_zval_ptr_dtor);
    EXPECT_EQ(h.before, static_cast<int>(0xabababab));
    EXPECT_EQ(h.after, static_cast<int>(0xabababab));
    put(&h.table, "x", 1);
    // The pool's cleanup frees the element and bucket array; the record is
    // the caller's. Delete now, while h is alive.
    delete_bkpool(pool);
    pool = nullptr;
}

TEST_F(table_fixture, WalkThatKeepsLeavesTableAndApplyCount)
{
    HashTable *ht = brisko_init_hashtable(0, nullptr, pool);
    put(ht, "b", 1);
    put(ht, "a", 2);
    put(ht, "7", 3);
    walk_log log{{}, {}, ht};
    brisko_foreach(ht, record_and_keep, 2, &log, 0);
    EXPECT_EQ(log.keys, (std::vector<std::string>{"b", "a", "7"}));
    EXPECT_EQ(log.apply_counts, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(ht->nApplyCount, 0);
    EXPECT_EQ(keys(ht), log.keys);

    ht->bApplyProtection = 0;
    log = walk_log{{}, {}, ht};
    brisko_foreach(ht, record_and_keep, 2, &log, 0);
    EXPECT_EQ(log.apply_counts, (std::vector<int>{0, 0, 0}));
}

TEST_F(table_fixture, WalkThatRemovesEmptiesTheTable)
{
    for (int target = 0; target < 2; target++) {
        HashTable *ht = brisko_init_hashtable(0, nullptr, target ? pool : BK_TARGET_ENGINE);
        for (int i = 0; i < 20; i++) put(ht, "k" + std::to_string(i), i);
        zend_hash_internal_pointer_reset(ht);
        walk_log log{{}, {}, ht};
        brisko_foreach(ht, record_and_keep, 2, &log, 1);
        EXPECT_EQ(log.keys.size(), 20u);
        EXPECT_EQ(ht->nNumOfElements, 0u);
        EXPECT_EQ(ht->pListHead, nullptr);
        EXPECT_EQ(ht->pListTail, nullptr);
        EXPECT_EQ(ht->pInternalPointer, nullptr);
        for (unsigned b = 0; b < ht->nTableSize; b++) EXPECT_EQ(ht->arBuckets[b], nullptr);
        if (!target) zend_hash_destroy(ht);
    }
}

namespace {
int remove_odd(void *pData, int, va_list, zend_hash_key *)
{
    return (reinterpret_cast<long>(*static_cast<void **>(pData)) & 1) != 0;
}
std::vector<long> *destroyed;
void record_destroy(void *pData) { destroyed->push_back(reinterpret_cast<long>(*static_cast<void **>(pData))); }
} // namespace

TEST_F(table_fixture, WalkRemovesSomeCallingTheDestructor)
{
    std::vector<long> gone;
    destroyed = &gone;
    HashTable *ht = brisko_init_hashtable(0, record_destroy, pool);
    for (int i = 0; i < 6; i++) put(ht, "k" + std::to_string(i), i);
    brisko_foreach(ht, remove_odd, 0);
    EXPECT_EQ(gone, (std::vector<long>{1, 3, 5}));
    EXPECT_EQ(keys(ht), (std::vector<std::string>{"k0", "k2", "k4"}));
    void *found;
    EXPECT_EQ(zend_hash_find(ht, "k3", 3, &found), FAILURE);
    EXPECT_EQ(zend_hash_find(ht, "k4", 3, &found), SUCCESS);
    gone.clear();
    delete_bkpool(pool);
    pool = nullptr;
    EXPECT_TRUE(gone.empty()) << "pool deletion never runs the table's destructor";
}

TEST_F(table_fixture, GrownTablesWithSeparateDataDieWithTheirPool)
{
    bkpool *sub = new_subbkpool(pool);
    HashTable *ht = brisko_init_hashtable(0, nullptr, sub);
    struct wide {
        long a, b, c;
    };
    for (long i = 0; i < 1000; i++) {
        std::string key = "key" + std::to_string(i);
        wide w{i, i * 2, i * 3};
        zend_hash_add_or_update(ht, key.c_str(), key.size() + 1, &w, sizeof w, nullptr, HASH_UPDATE);
        zend_hash_index_update_or_next_insert(ht, 0, &w, sizeof w, nullptr, HASH_NEXT_INSERT);
    }
    EXPECT_EQ(ht->nNumOfElements, 2000u);
    EXPECT_GE(ht->nTableSize, 2048u) << "the engine enlarged the bucket array";
    void *found;
    ASSERT_EQ(zend_hash_find(ht, "key999", 7, &found), SUCCESS);
    EXPECT_EQ(static_cast<wide *>(found)->c, 2997);
    delete_bkpool(sub); // under ASan: no leak, no double free, no free of a moved array
    EXPECT_EQ(pool->children, nullptr);
}
