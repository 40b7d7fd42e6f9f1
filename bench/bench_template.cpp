// Template engine at the C level: filling and rendering a table page of
// 1,000 to 100,000 rows, parsing a 1 MB template with 1,000 blocks, and
// loading it again from the file cache.
//
// Counters: ns_per_row (fill: one fetch and five assignments per row),
// ns_per_byte (render), ns_per_load. Filling must stay linear: the
// 100,000-row figure per row close to the 10,000-row one.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <time.h>
#include <fstream>
#include <string>

#include "engine.h"
#include "engine_testing.h"
#include "php_brisko.h"
#include "template/brisko_template.h"

namespace {

/* CPU time of this thread: the machine may be shared, wall time is not. */
double cpu_ns()
{
    struct timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e9 + ts.tv_nsec;
}

const char *const table_page =
    "<html><head><title>{title}</title></head><body>\n"
    "<table>\n"
    "<!-- BEGIN row* -->\n"
    "<tr><td>{id}</td><td>{name}</td><td>{mail}</td><td>{city}</td><td>{score}</td></tr>\n"
    "<!-- END row* -->\n"
    "</table></body></html>\n";

struct engine_session {
    engine_session()
    {
        zend::engine_startup();
        zend::request_startup();
        zend_startup_module(&php_brisko_module_entry);
    }
    ~engine_session()
    {
        zend::request_shutdown();
        zend::engine_shutdown();
    }
    static void next_request()
    {
        zend::request_shutdown();
        zend::request_startup();
    }
};

engine_session &session()
{
    /* Keep freed request memory in the process between iterations, so the
     * figures measure the template engine, not the kernel's page faults. */
    static int tuned = mallopt(M_TRIM_THRESHOLD, 1 << 30) + mallopt(M_MMAP_THRESHOLD, 1 << 30);
    (void)tuned;
    static engine_session s;
    return s;
}

void fill(brisko_tpl *t, int rows)
{
    char buf[32];
    brisko_template_assign(t, "title", "Benchmark page");
    for (int i = 0; i < rows; i++) {
        brisko_tpl *row = brisko_template_fetch(t, "row*", i);
        snprintf(buf, sizeof buf, "%d", i);
        brisko_template_assign(row, "id", buf);
        brisko_template_assign(row, "name", "Ann Example");
        brisko_template_assign(row, "mail", "ann@example.org");
        brisko_template_assign(row, "city", "Lisbon");
        brisko_template_assign(row, "score", buf);
    }
}

void BM_Fill(benchmark::State &state)
{
    session();
    int rows = static_cast<int>(state.range(0));
    brisko_tpl *parsed = _brisko_template_parse(table_page, nullptr);
    double ns = 0;
    for (auto _ : state) {
        state.PauseTiming();
        engine_session::next_request(); // empties the request heap and the engine's allocator
        brisko_tpl *t = _brisko_template_dup(parsed);
        state.ResumeTiming();
        double t0 = cpu_ns();
        fill(t, rows);
        ns += cpu_ns() - t0;
    }
    state.counters["ns_per_row"] = ns / (double)state.iterations() / rows;
    delete_bkpool(parsed->pool);
}
BENCHMARK(BM_Fill)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_Render(benchmark::State &state)
{
    session();
    int rows = static_cast<int>(state.range(0));
    brisko_tpl *parsed = _brisko_template_parse(table_page, nullptr);
    engine_session::next_request();
    brisko_tpl *t = _brisko_template_dup(parsed);
    fill(t, rows);
    double bytes = 0, ns = 0;
    for (auto _ : state) {
        double t0 = cpu_ns();
        brisko_template_render(t);
        ns += cpu_ns() - t0;
        bytes += brisko_write_buf_len;
    }
    state.counters["ns_per_byte"] = ns / bytes;
    state.counters["bytes"] = brisko_write_buf_len;
    delete_bkpool(parsed->pool);
}
BENCHMARK(BM_Render)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

/* About 1 MB: 1,000 blocks (every fourth one repeated) with text and tags. */
std::string big_template()
{
    std::string t;
    std::string filler;
    for (int i = 0; i < 9; i++) filler += "<p class=\"x\">Some text {tag" + std::to_string(i) + "} and more words here.</p>\n";
    for (int b = 0; b < 1000; b++) {
        std::string name = "block" + std::to_string(b) + (b % 4 == 0 ? "*" : "");
        t += "  <!-- BEGIN " + name + " -->\n" + filler + "  <!-- END " + name + " -->\n" + filler;
    }
    return t;
}

void BM_Parse1MB(benchmark::State &state)
{
    session();
    std::string text = big_template();
    double ns = 0;
    for (auto _ : state) {
        double t0 = cpu_ns();
        brisko_tpl *t = _brisko_template_parse(text.c_str(), nullptr);
        ns += cpu_ns() - t0;
        benchmark::DoNotOptimize(t);
        state.PauseTiming();
        delete_bkpool(t->pool);
        state.ResumeTiming();
    }
    state.counters["bytes"] = (double)text.size();
    state.counters["ms_per_parse"] = ns / 1e6 / (double)state.iterations();
    state.SetBytesProcessed((int64_t)text.size() * state.iterations());
}
BENCHMARK(BM_Parse1MB)->Unit(benchmark::kMillisecond);

void BM_LoadCached1MB(benchmark::State &state)
{
    session();
    char path[] = "/tmp/brisko_bench_XXXXXX";
    int fd = mkstemp(path);
    std::string text = big_template();
    if (write(fd, text.data(), text.size()) != (ssize_t)text.size()) state.SkipWithError("write failed");
    close(fd);
    brisko_template_load_file(path); // first load parses and fills the cache
    int n = 0;
    double ns = 0;
    for (auto _ : state) {
        if (++n % 1000 == 0) {
            state.PauseTiming();
            engine_session::next_request();
            state.ResumeTiming();
        }
        double t0 = cpu_ns();
        brisko_tpl *copy = _brisko_template_dup(brisko_template_load_file(path));
        ns += cpu_ns() - t0;
        benchmark::DoNotOptimize(copy);
    }
    state.counters["ns_per_load"] = ns / (double)state.iterations();
    unlink(path);
}
BENCHMARK(BM_LoadCached1MB)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
