// Allocation targets and the request heap: bump arithmetic, routing of
// targets 0 and 1, growth past the nominal size, exhaustion and trimming.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "brisko_alloc.h"
#include "engine_testing.h"

namespace {

struct heap_fixture : ::testing::Test {
    zend::testing::request_scope request;
    void SetUp() override
    {
        ASSERT_EQ(brisko_heap_create(), 0);
        brisko_heap_reset();
    }
    static size_t used() { return static_cast<size_t>(brisko_heap_strage - brisko_heap_strage_ini); }
};

size_t page_round(size_t n)
{
    size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    return (n + page - 1) / page * page;
}

} // namespace

TEST_F(heap_fixture, BumpsInMultiplesOfEight)
{
    char *first = static_cast<char *>(brisko_heap_malloc(0));
    EXPECT_EQ(first, brisko_heap_strage_ini) << "first allocation after a reset is the start";
    EXPECT_EQ(used(), 0u);
    EXPECT_EQ(brisko_heap_malloc(1), first) << "size 0 did not move the top";
    EXPECT_EQ(used(), 8u);
    brisko_heap_malloc(8);
    EXPECT_EQ(used(), 16u);
    brisko_heap_malloc(9);
    EXPECT_EQ(used(), 32u);
    char *p = static_cast<char *>(brisko_heap_malloc(3));
    EXPECT_EQ((p - brisko_heap_strage_ini) % 8, 0);

    brisko_heap_reset();
    EXPECT_EQ(brisko_heap_strage, brisko_heap_strage_ini);
    EXPECT_EQ(brisko_heap_malloc(5), brisko_heap_strage_ini);
}

TEST_F(heap_fixture, TargetOneMeansHeapOnlyForMallocMemdup3AndCalloc)
{
    const char text[] = "abcdefghij";
    size_t before = zend::request_memory_blocks();

    char *engine_copy = static_cast<char *>(brisko_memdup(text, sizeof text, BK_TARGET_REQUEST_HEAP));
    char *engine_str = brisko_strdup(text, BK_TARGET_REQUEST_HEAP);
    EXPECT_EQ(used(), 0u) << "memdup and strdup read target 1 as the engine";
    EXPECT_EQ(zend::request_memory_blocks(), before + 2);
    EXPECT_STREQ(engine_copy, text);
    EXPECT_STREQ(engine_str, text);

    char *heap_copy = static_cast<char *>(brisko_memdup3(text, sizeof text, BK_TARGET_REQUEST_HEAP));
    EXPECT_EQ(heap_copy, brisko_heap_strage_ini);
    EXPECT_STREQ(heap_copy, text);
    EXPECT_EQ(used(), 16u);

    unsigned char *zeros = static_cast<unsigned char *>(brisko_calloc(3, 5, BK_TARGET_REQUEST_HEAP));
    EXPECT_EQ(used(), 32u);
    for (int i = 0; i < 15; i++) EXPECT_EQ(zeros[i], 0);
    EXPECT_EQ(brisko_calloc(0, 40, BK_TARGET_REQUEST_HEAP), brisko_heap_strage) << "count 0: the top, unmoved";
    EXPECT_EQ(used(), 32u);

    char *empty = brisko_strdup("", BK_TARGET_ENGINE);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty[0], '\0');
    EXPECT_EQ(zend::request_memory_blocks(), before + 3);
}

TEST_F(heap_fixture, PoolTargetsRecordInThePool)
{
    bkpool *pool = new_bkpool();
    void *a = brisko_malloc(10, pool);
    char *s = brisko_strdup("pooled", pool);
    void *z = brisko_calloc(2, 4, pool);
    EXPECT_EQ(pool->frees->count, 3u);
    void **slots = reinterpret_cast<void **>(pool->frees + 1);
    EXPECT_EQ(slots[0], a);
    EXPECT_EQ(slots[1], s);
    EXPECT_EQ(slots[2], z);
    EXPECT_STREQ(s, "pooled");
    EXPECT_EQ(used(), 0u);
    delete_bkpool(pool);
}

TEST_F(heap_fixture, GrowsPastNominalSizeAndStaysInRange)
{
    std::vector<char *> blocks;
    for (int i = 0; i < 300; i++) {
        char *p = static_cast<char *>(brisko_heap_malloc(10000));
        ASSERT_NE(p, nullptr);
        std::memset(p, i & 0xff, 10000);
        blocks.push_back(p);
    }
    EXPECT_EQ(used(), 300u * 10000u);
    for (int i = 0; i < 300; i++) {
        EXPECT_GE(blocks[i], brisko_heap_strage_ini);
        EXPECT_LE(blocks[i] + 10000, brisko_heap_strage);
        EXPECT_EQ(static_cast<unsigned char>(blocks[i][9999]), i & 0xff);
    }
}

TEST_F(heap_fixture, ExhaustionReturnsNullAndKeepsTheTop)
{
    brisko_heap_malloc(24);
    char *top = brisko_heap_strage;
    EXPECT_EQ(brisko_heap_malloc(BRISKO_HEAP_LIMIT), nullptr);
    EXPECT_EQ(brisko_heap_malloc(static_cast<size_t>(-1)), nullptr);
    EXPECT_EQ(brisko_malloc(static_cast<size_t>(-8), BK_TARGET_REQUEST_HEAP), nullptr);
    EXPECT_EQ(brisko_memdup3("x", static_cast<size_t>(-1), BK_TARGET_REQUEST_HEAP), nullptr);
    EXPECT_EQ(brisko_calloc(-1, 8, BK_TARGET_REQUEST_HEAP), nullptr);
    EXPECT_EQ(brisko_calloc(0x10000, 0x10000, BK_TARGET_REQUEST_HEAP), nullptr);
    EXPECT_EQ(brisko_heap_strage, top);
    EXPECT_NE(brisko_heap_malloc(8), nullptr) << "still usable afterwards";
}

TEST_F(heap_fixture, ResetKeepsWhatTheLastTwoRequestsBothUsed)
{
    const size_t big = 16u << 20;
    char *nominal_end = brisko_heap_strage_ini + page_round(BRISKO_HEAP_SIZE);
    size_t excess = page_round(big) - page_round(BRISKO_HEAP_SIZE);
    size_t pages = excess / static_cast<size_t>(sysconf(_SC_PAGESIZE));
    std::vector<unsigned char> resident(pages);
    auto resident_pages = [&] {
        EXPECT_EQ(mincore(nominal_end, excess, resident.data()), 0);
        size_t n = 0;
        for (unsigned char r : resident) n += r & 1;
        return n;
    };
    auto big_request = [&] {
        char *p = static_cast<char *>(brisko_heap_malloc(big));
        ASSERT_EQ(p, brisko_heap_strage_ini);
        std::memset(p, 1, big);
        EXPECT_EQ(p[big - 1], 1);
    };

    // One large request after small ones is an outlier: its pages go back
    // at the next request start...
    brisko_heap_reset();
    big_request();
    EXPECT_GT(resident_pages(), pages / 2);
    brisko_heap_reset();
    EXPECT_EQ(resident_pages(), 0u);

    // ...while two in a row keep them for the next, and a small request
    // after them gives them back.
    big_request();
    brisko_heap_reset();
    big_request();
    brisko_heap_reset();
    EXPECT_GT(resident_pages(), pages / 2);
    brisko_heap_malloc(64);
    brisko_heap_reset();
    EXPECT_EQ(resident_pages(), 0u);

    // The next request can grow again.
    big_request();
    EXPECT_EQ(brisko_heap_room(), BRISKO_HEAP_LIMIT - big);
}

TEST_F(heap_fixture, RecordMapAndRelease)
{
    brisko_heap_malloc(16);
    char *rec = static_cast<char *>(brisko_heap_malloc(64));
    char *mark = brisko_heap_strage;
    char *later = static_cast<char *>(brisko_heap_malloc(64));
    brisko_heap_mark_record(rec);
    brisko_heap_mark_record(later);
    EXPECT_TRUE(brisko_heap_is_record(rec));
    EXPECT_FALSE(brisko_heap_is_record(rec + 8)) << "only where a record begins";
    EXPECT_FALSE(brisko_heap_is_record(brisko_heap_strage_ini));
    EXPECT_TRUE(brisko_heap_is_record(later));

    size_t room = brisko_heap_room();
    brisko_heap_release(mark);
    EXPECT_EQ(brisko_heap_strage, mark);
    EXPECT_EQ(brisko_heap_room(), room + 64);
    EXPECT_FALSE(brisko_heap_is_record(later)) << "given back: no record any more";
    EXPECT_EQ(brisko_heap_malloc(64), later) << "the same place is handed out again";
    EXPECT_FALSE(brisko_heap_is_record(later));

    unsigned long request = brisko_heap_request;
    brisko_heap_reset();
    EXPECT_EQ(brisko_heap_request, request + 1);
    brisko_heap_malloc(128);
    EXPECT_FALSE(brisko_heap_is_record(rec)) << "a reset clears the map";
}
