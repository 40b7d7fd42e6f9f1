// The value store at the level of its internal routines: storing and
// reading a scalar and a 1,000-element array of short strings, and a soak
// that replaces a 1,000-element array 10,000 times and prints the resident
// set size, to show that replacing a value gives its memory back.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine_testing.h"
#include "php_brisko.h"
#include "store/heap_store.h"

namespace {

struct store_env {
    zend::testing::request_scope *request = nullptr;
    store_env()
    {
        request = new zend::testing::request_scope();
        zend_startup_module(&php_brisko_module_entry);
    }
};

store_env &env()
{
    static store_env e;
    return e;
}

zval *string_array(int n)
{
    zval *a = zend::testing::make_array();
    for (int i = 0; i < n; i++) zend::testing::array_append(a, zend::testing::make_string("s" + std::to_string(i)));
    return a;
}

// The record came from _emalloc, its elements from the value free list:
// give each back the way it came, as zif_brisko_heap_get does.
void drop(zval *copy)
{
    zval_dtor(copy);
    efree(copy);
}

long rss_kib()
{
    long pages = 0, resident = 0;
    FILE *f = std::fopen("/proc/self/statm", "r");
    if (!f) return -1;
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = -1;
    std::fclose(f);
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace

static void BM_StoreScalar(benchmark::State &state)
{
    env();
    zval *v = zend::testing::make_long(42);
    for (auto _ : state) brisko_heap_set("bench", "scalar", &v);
}
BENCHMARK(BM_StoreScalar);

static void BM_ReadScalar(benchmark::State &state)
{
    env();
    zval *v = zend::testing::make_long(42);
    brisko_heap_set("bench", "scalar", &v);
    for (auto _ : state) drop(brisko_heap_get("bench", "scalar"));
}
BENCHMARK(BM_ReadScalar);

static void BM_StoreArray(benchmark::State &state)
{
    env();
    zval *v = string_array(static_cast<int>(state.range(0)));
    for (auto _ : state) brisko_heap_set("bench", "array", &v);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StoreArray)->Arg(1000);

static void BM_ReadArray(benchmark::State &state)
{
    env();
    zval *v = string_array(static_cast<int>(state.range(0)));
    brisko_heap_set("bench", "array", &v);
    for (auto _ : state) drop(brisko_heap_get("bench", "array"));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadArray)->Arg(1000);

// Replacing a value deletes its pool: the cost must not depend on how many
// other values (pools) the store holds. The keys are replaced in turn, so
// the pool deleted is always the oldest of them.
static void BM_ReplaceAmongStored(benchmark::State &state)
{
    env();
    std::string group = "among" + std::to_string(state.range(0));
    std::vector<std::string> keys;
    for (long i = 0; i < state.range(0); i++) keys.push_back("k" + std::to_string(i));
    zval *v = zend::testing::make_long(7);
    for (const std::string &k : keys) brisko_heap_set(group.c_str(), k.c_str(), &v);
    std::size_t next = 0;
    for (auto _ : state) {
        brisko_heap_set(group.c_str(), keys[next].c_str(), &v);
        next = next + 1 == keys.size() ? 0 : next + 1;
    }
}
BENCHMARK(BM_ReplaceAmongStored)->Arg(100)->Arg(5000)->Arg(40000);

static void soak()
{
    env();
    std::printf("soak: RSS before: %ld KiB\n", rss_kib());
    zval *v = string_array(1000);
    for (int i = 1; i <= 10000; i++) {
        brisko_heap_set("soak", "array", &v);
        if (i == 100 || i == 10000) std::printf("soak: RSS after %5d replacements of a 1000-element array: %ld KiB\n", i, rss_kib());
    }
}

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    soak();
    return 0;
}
