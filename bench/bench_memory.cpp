// The memory layer: allocation in a pool and deleting it, request-heap
// bump allocation, and insert+find in a pool-resident table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "brisko_alloc.h"
#include "brisko_hash.h"

static void BM_PoolAllocAndDelete(benchmark::State &state)
{
    const int blocks = static_cast<int>(state.range(0));
    for (auto _ : state) {
        bkpool *pool = new_bkpool();
        for (int i = 0; i < blocks; i++) benchmark::DoNotOptimize(bkpool_malloc(32, pool));
        delete_bkpool(pool);
    }
    state.SetItemsProcessed(state.iterations() * blocks);
}
BENCHMARK(BM_PoolAllocAndDelete)->Arg(16)->Arg(1000)->Arg(100000);

static void BM_RequestHeapAlloc(benchmark::State &state)
{
    if (brisko_heap_create() != 0) {
        state.SkipWithError("no request heap");
        return;
    }
    const size_t size = static_cast<size_t>(state.range(0));
    // Stay inside the nominal size: reset (one assignment) before it is used up.
    const size_t per_request = (BRISKO_HEAP_SIZE / ((size + 7) & ~size_t(7))) - 1;
    size_t n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(brisko_heap_malloc(size));
        if (++n == per_request) {
            brisko_heap_reset();
            n = 0;
        }
    }
    brisko_heap_reset();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RequestHeapAlloc)->Arg(24)->Arg(100);

static void BM_PoolTableInsertFind(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    std::vector<std::string> keys;
    for (int i = 0; i < count; i++) keys.push_back("key_" + std::to_string(i * 7919));
    for (auto _ : state) {
        bkpool *pool = new_bkpool();
        HashTable *ht = brisko_init_hashtable(100, nullptr, pool);
        for (int i = 0; i < count; i++) {
            void *data = &keys[i];
            zend_hash_add_or_update(ht, keys[i].c_str(), keys[i].size() + 1, &data, sizeof data, nullptr,
                                    HASH_UPDATE);
        }
        for (int i = 0; i < count; i++) {
            void *found;
            zend_hash_find(ht, keys[i].c_str(), keys[i].size() + 1, &found);
            benchmark::DoNotOptimize(found);
        }
        delete_bkpool(pool);
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_PoolTableInsertFind)->Arg(100)->Arg(10000);

BENCHMARK_MAIN();
