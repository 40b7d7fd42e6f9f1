// Pool bookkeeping: frees-list growth, header words, deletion order,
// unlinking, cleanups, and the exit on allocator failure.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "brisko_pool.h"

namespace {

uint32_t header_word(const bkpool_block *block)
{
    uint32_t word;
    static_assert(sizeof(bkpool_block) == 2 * sizeof(void *), "link plus one header word, padded");
    std::memcpy(&word, reinterpret_cast<const char *>(block) + sizeof(void *), sizeof(word));
    return word;
}

std::vector<unsigned> frees_capacities(const bkpool *pool)
{
    std::vector<unsigned> caps;
    for (const bkpool_block *b = pool->frees; b != nullptr; b = b->link) caps.insert(caps.begin(), b->capacity);
    return caps;
}

// Records every pointer the pool layer gives back, in order.
std::vector<void *> *freed_log = nullptr;
void logging_free(void *p)
{
    if (freed_log) freed_log->push_back(p);
    std::free(p);
}

struct free_logger {
    std::vector<void *> log;
    free_logger() { freed_log = &log; bkpool_sys_free = logging_free; }
    ~free_logger() { bkpool_sys_free = std::free; freed_log = nullptr; }
    size_t index_of(void *p) const
    {
        for (size_t i = 0; i < log.size(); i++)
            if (log[i] == p) return i;
        return SIZE_MAX;
    }
};

} // namespace

TEST(Pool, NewPoolHeaderWords)
{
    bkpool *pool = new_bkpool();
    EXPECT_EQ(pool->parent, nullptr);
    EXPECT_EQ(pool->sibling, nullptr);
    EXPECT_EQ(pool->children, nullptr);
    EXPECT_EQ(pool->frees, &pool->frees_first.head);
    EXPECT_EQ(pool->cleanups, &pool->cleanups_first.head);
    EXPECT_EQ(header_word(&pool->frees_first.head), 0x80100000u);
    EXPECT_EQ(header_word(&pool->cleanups_first.head), 0x80020000u);
    delete_bkpool(pool);
}

TEST(Pool, FreesBlocksDoubleUpTo16384ThenStay)
{
    bkpool *pool = new_bkpool();
    for (int i = 0; i < 16; i++) bkpool_malloc(1, pool);
    EXPECT_EQ(pool->frees, &pool->frees_first.head) << "16 allocations fit the embedded block";
    bkpool_malloc(1, pool);
    EXPECT_EQ(frees_capacities(pool), (std::vector<unsigned>{16, 32}));
    EXPECT_EQ(header_word(pool->frees), (32u << 16) | 1u);
    for (int i = 17; i < 48; i++) bkpool_malloc(1, pool);
    EXPECT_EQ(frees_capacities(pool).size(), 2u);
    bkpool_malloc(1, pool); // the 49th
    EXPECT_EQ(frees_capacities(pool), (std::vector<unsigned>{16, 32, 64}));

    // Register (without allocating) until two blocks past the 16384 one.
    size_t total = 49;
    size_t want = 16 + 32 + 64 + 128 + 256 + 512 + 1024 + 2048 + 4096 + 8192 + 16384 + 16384 + 1;
    static char dummy;
    while (total < want) {
        _bkpool_register_malloc(pool, &dummy);
        total++;
    }
    EXPECT_EQ(frees_capacities(pool), (std::vector<unsigned>{16, 32, 64, 128, 256, 512, 1024, 2048, 4096, 8192,
                                                              16384, 16384, 16384}));
    EXPECT_EQ(pool->frees->count, 1u);
    // The dummies must not be freed: drop them from the list before deleting.
    for (bkpool_block *b = pool->frees; b != nullptr; b = b->link) {
        void **slots = reinterpret_cast<void **>(b + 1);
        for (unsigned i = 0; i < b->count; i++)
            if (slots[i] == &dummy) slots[i] = nullptr;
    }
    delete_bkpool(pool);
}

TEST(Pool, DeletionOrderChildrenNewestFirstBeforeOwnBlocks)
{
    bkpool *root = new_bkpool();
    void *root_block = bkpool_malloc(8, root);
    bkpool *older = new_subbkpool(root);
    void *older_block = bkpool_malloc(8, older);
    bkpool *grandchild = new_subbkpool(older);
    void *grand_block = bkpool_malloc(8, grandchild);
    bkpool *newer = new_subbkpool(root);
    void *newer_block = bkpool_malloc(8, newer);
    EXPECT_EQ(root->children, newer);
    EXPECT_EQ(newer->sibling, older);

    free_logger logger;
    delete_bkpool(root);
    std::vector<void *> expected = {newer_block, newer, grand_block, grandchild, older_block, older, root_block, root};
    EXPECT_EQ(logger.log, expected);
}

TEST(Pool, UnlinkKeepsSiblingOrderAndRootTouchesNoList)
{
    bkpool *root = new_bkpool();
    bkpool *a = new_subbkpool(root);
    bkpool *b = new_subbkpool(root);
    bkpool *c = new_subbkpool(root);
    delete_bkpool(b);
    EXPECT_EQ(root->children, c);
    EXPECT_EQ(c->sibling, a);
    EXPECT_EQ(a->sibling, nullptr);
    delete_bkpool(c);
    EXPECT_EQ(root->children, a);

    // A second root beside a tree: deleting it leaves the tree's lists alone.
    bkpool *other = new_bkpool();
    delete_bkpool(other);
    EXPECT_EQ(root->children, a);
    EXPECT_EQ(a->sibling, nullptr);
    delete_bkpool(root);
}

// Children are unlinked through their back link: whichever one goes, the
// list reads the same forwards and backwards.
TEST(Pool, BackLinksFollowEveryUnlink)
{
    bkpool *root = new_bkpool();
    std::vector<bkpool *> kids;
    for (int i = 0; i < 6; i++) kids.push_back(new_subbkpool(root));
    for (int victim : {0, 5, 2}) { // the oldest, the newest, one between
        delete_bkpool(kids[victim]);
        kids[victim] = nullptr;
    }
    std::vector<bkpool *> forwards, expected = {kids[4], kids[3], kids[1]};
    bkpool *last = nullptr;
    for (bkpool *p = root->children; p; p = p->sibling) {
        EXPECT_EQ(p->prev_sibling, last);
        forwards.push_back(p);
        last = p;
    }
    EXPECT_EQ(forwards, expected);
    delete_bkpool(root);
}

TEST(Pool, SizeZeroAndContentsNotCleared)
{
    bkpool *pool = new_bkpool();
    void *zero = bkpool_malloc(0, pool);
    EXPECT_EQ(pool->frees->count, 1u);
    EXPECT_EQ(reinterpret_cast<void **>(pool->frees + 1)[0], zero);
    free_logger logger;
    delete_bkpool(pool);
    EXPECT_NE(logger.index_of(zero), SIZE_MAX);
}

namespace {
std::vector<std::string> *cleanup_log;
void log_cleanup(void *data) { cleanup_log->push_back(static_cast<const char *>(data)); }
} // namespace

TEST(Pool, CleanupsRunFirstNewestBlockFirstAndGrowByDoubling)
{
    std::vector<std::string> log;
    cleanup_log = &log;
    bkpool *parent = new_bkpool();
    bkpool *child = new_subbkpool(parent);
    static const char *names[] = {"p0", "p1", "p2", "p3", "p4", "p5", "p6"};
    for (const char *n : names) _bkpool_register_cleanup(parent, log_cleanup, const_cast<char *>(n));
    _bkpool_register_cleanup(child, log_cleanup, const_cast<char *>("child"));
    // 2 embedded, then a block of 4, then 8.
    EXPECT_EQ(parent->cleanups->capacity, 8u);
    EXPECT_EQ(parent->cleanups->link->capacity, 4u);
    EXPECT_EQ(parent->cleanups->link->link, &parent->cleanups_first.head);

    delete_bkpool(parent);
    EXPECT_EQ(log, (std::vector<std::string>{"p6", "p2", "p3", "p4", "p5", "p0", "p1", "child"}));
}

TEST(PoolDeathTest, MissingFromParentAborts)
{
    bkpool *parent = new_bkpool();
    bkpool *child = new_subbkpool(parent);
    parent->children = nullptr; // the tree no longer lists the child
    EXPECT_DEATH(delete_bkpool(child), "missing from its parent");
    parent->children = child;
    delete_bkpool(parent);
}

namespace {
void *refusing_malloc(size_t) { return nullptr; }
} // namespace

TEST(PoolDeathTest, AllocatorFailureExitsWithItsOwnStatus)
{
    EXPECT_EXIT(
        {
            bkpool *pool = new_bkpool();
            bkpool_sys_malloc = refusing_malloc;
            bkpool_malloc(64, pool);
        },
        ::testing::ExitedWithCode(BKPOOL_EXIT_NOMEM), "out of memory allocating 64 bytes");
}
