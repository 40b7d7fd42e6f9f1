// Script cache: the cost of a request that compiles a sizeable script
// against one served from the cache, and the floor of a hit (one realpath
// and one stat).
#include <benchmark/benchmark.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "engine.h"
#include "executor/executor.h"
#include "php_brisko.h"

namespace fs = std::filesystem;

static void discard(const char *, std::size_t) {}

// 200 functions and 20 classes, each with a parent, methods and array
// default properties, and a little top-level code.
static std::string generated_script()
{
    std::string s = "<?php\nclass Base0 { var $list = array(1, 2, 3); function base() { return 1; } }\n";
    for (int c = 1; c <= 20; c++) {
        s += "class Node" + std::to_string(c) + " extends Base0 {\n";
        s += "  var $tags = array('a' => 1, 'b' => array(2, 3)); var $name = 'node" + std::to_string(c) + "';\n";
        for (int m = 0; m < 5; m++)
            s += "  function m" + std::to_string(m) + "($x) { $y = $x * " + std::to_string(m) +
                 "; if ($y > 10) { return $y - 1; } return $this->base() + $y; }\n";
        s += "}\n";
    }
    for (int f = 0; f < 200; f++) {
        s += "function f" + std::to_string(f) + "($a, $b = 2) {\n";
        s += "  $r = array();\n  for ($i = 0; $i < $b; $i++) { $r[] = $a . '-' . $i; }\n";
        s += "  if (count($r) > 1) { return implode(',', $r); } else { return 'none'; }\n}\n";
    }
    s += "$total = 0;\nfor ($i = 0; $i < 10; $i++) { $total += strlen(f" "1($i)); }\n";
    s += "$n = new Node1();\n$total += $n->m2(3);\n";
    return s;
}

struct fixture {
    std::string path;
    fixture()
    {
        fs::path dir = fs::temp_directory_path() / ("bench_cache_" + std::to_string(getpid()));
        fs::create_directories(dir);
        path = (dir / "generated.php").string();
        std::ofstream(path) << generated_script();
        zend::set_output_sink(discard);
        zend::engine_startup();
        php_brisko_startup(nullptr);
    }
    ~fixture()
    {
        zend::engine_shutdown();
        fs::remove_all(fs::path(path).parent_path());
    }
};

static fixture &env()
{
    static fixture f;
    return f;
}

// The extension ends the process after 10,001 requests, as it would end a
// server worker; a benchmark runs far more, so it keeps the count low.
static void keep_process_alive() { bk_req_count = 0; }

static void run_request(const std::string &path)
{
    keep_process_alive();
    zend::request_startup();
    zend::execute_script(path.c_str());
    zend::request_shutdown();
}

static void BM_request_compiled(benchmark::State &state)
{
    fixture &f = env();
    sapi_module.name = "cgi"; // the hook passes every compilation through
    for (auto _ : state)
        run_request(f.path);
    sapi_module.name = "cli";
}
BENCHMARK(BM_request_compiled)->Unit(benchmark::kMicrosecond);

static void BM_request_cached(benchmark::State &state)
{
    fixture &f = env();
    sapi_module.name = "cli";
    run_request(f.path); // first request compiles and saves
    unsigned long before = zend::counters.compilations;
    for (auto _ : state)
        run_request(f.path);
    if (zend::counters.compilations != before)
        state.SkipWithError("cached requests compiled the script");
}
BENCHMARK(BM_request_cached)->Unit(benchmark::kMicrosecond);

// What a hit costs without running the code: a request that only goes
// through the compile hook, against an empty request.
static zend_op_array *hook(const std::string &path)
{
    zend_file_handle handle = {};
    handle.type = ZEND_HANDLE_FILENAME;
    handle.filename = const_cast<char *>(path.c_str());
    return zend_compile_file(&handle, ZEND_INCLUDE);
}

// A request that only goes through the compile hook, under the given
// server interface name ("cli": a cache hit; "cgi": a compilation).
static void hook_only_requests(benchmark::State &state, const char *sapi)
{
    fixture &f = env();
    sapi_module.name = "cli";
    run_request(f.path); // the cache holds the file from here on
    sapi_module.name = sapi;
    for (auto _ : state) {
        keep_process_alive();
        zend::request_startup();
        zend_op_array *op = hook(f.path);
        destroy_op_array(op);
        efree(op);
        zend::request_shutdown();
    }
    sapi_module.name = "cli";
}

static void BM_request_hook_hit_only(benchmark::State &state) { hook_only_requests(state, "cli"); }
BENCHMARK(BM_request_hook_hit_only)->Unit(benchmark::kMicrosecond);

static void BM_request_compile_only(benchmark::State &state) { hook_only_requests(state, "cgi"); }
BENCHMARK(BM_request_compile_only)->Unit(benchmark::kMicrosecond);

// Where a request served from the cache spends its time: the engine finding
// and opening the file, the hook (resolving, looking up, restoring), the
// file's top-level code, and the request's end (destroying what it made).
static void BM_hit_breakdown(benchmark::State &state)
{
    using clock = std::chrono::steady_clock;
    fixture &f = env();
    sapi_module.name = "cli";
    run_request(f.path);
    double open_ns = 0, hook_ns = 0, run_ns = 0, end_ns = 0;
    for (auto _ : state) {
        keep_process_alive();
        zend::request_startup();
        auto t0 = clock::now();
        zend_file_handle handle = {};
        zend::open_file_for_include(f.path.c_str(), &handle);
        auto t1 = clock::now();
        zend_op_array *op = zend_compile_file(&handle, ZEND_REQUIRE);
        auto t2 = clock::now();
        zval *rv = zend::exec::run_in_scope(op, &EG(symbol_table), nullptr);
        zval_ptr_dtor(&rv);
        destroy_op_array(op);
        efree(op);
        auto t3 = clock::now();
        zend::request_shutdown();
        auto t4 = clock::now();
        open_ns += std::chrono::duration<double, std::nano>(t1 - t0).count();
        hook_ns += std::chrono::duration<double, std::nano>(t2 - t1).count();
        run_ns += std::chrono::duration<double, std::nano>(t3 - t2).count();
        end_ns += std::chrono::duration<double, std::nano>(t4 - t3).count();
    }
    double n = (double)state.iterations() * 1000.0;
    state.counters["open_us"] = open_ns / n;
    state.counters["hook_us"] = hook_ns / n;
    state.counters["run_us"] = run_ns / n;
    state.counters["end_us"] = end_ns / n;
}
BENCHMARK(BM_hit_breakdown)->Unit(benchmark::kMicrosecond);

static void BM_request_empty(benchmark::State &state)
{
    env();
    for (auto _ : state) {
        keep_process_alive();
        zend::request_startup();
        zend::request_shutdown();
    }
}
BENCHMARK(BM_request_empty)->Unit(benchmark::kMicrosecond);

static void BM_realpath_stat_floor(benchmark::State &state)
{
    fixture &f = env();
    char resolved[PATH_MAX];
    struct stat st;
    for (auto _ : state) {
        benchmark::DoNotOptimize(realpath(f.path.c_str(), resolved));
        benchmark::DoNotOptimize(stat(resolved, &st));
    }
}
BENCHMARK(BM_realpath_stat_floor)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
