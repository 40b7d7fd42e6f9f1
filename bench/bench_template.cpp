// Template engine at the C level: filling and rendering a table page of
// 1,000 to 100,000 rows, parsing a 1 MB template with 1,000 blocks, and
// loading it again from the file cache.
//
// Counters: ns_per_row (fill: one fetch and five assignments per row),
// ns_per_byte (render), ns_per_load. Filling must stay linear: the
// 100,000-row figure per row close to the 10,000-row one; so must filling
// the rows in reverse or in a random order.
//
// Rendering is compared with its floor: appending the very pieces the
// rendering is made of (literal runs and values, in order) to a buffer
// with memcpy, nothing else. The ratio is printed after the run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <vector>

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

/* CPU nanoseconds per iteration of some benchmarks, for the ratios. */
std::map<std::string, double> ns_per_iteration;

enum row_order { FORWARD, REVERSE, RANDOM };

std::vector<int> row_indexes(int rows, row_order order)
{
    std::vector<int> v(rows);
    for (int i = 0; i < rows; i++) v[i] = i;
    if (order == REVERSE) std::reverse(v.begin(), v.end());
    if (order == RANDOM) std::shuffle(v.begin(), v.end(), std::mt19937(42));
    return v;
}

void fill(brisko_tpl *t, int rows, row_order order = FORWARD)
{
    char buf[32];
    static std::vector<int> indexes;
    if ((int)indexes.size() != rows || order != FORWARD) indexes = row_indexes(rows, order);
    brisko_template_assign(t, "title", "Benchmark page");
    for (int i : indexes) {
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

void BM_FillOutOfOrder(benchmark::State &state)
{
    session();
    int rows = static_cast<int>(state.range(0));
    row_order order = state.range(1) ? RANDOM : REVERSE;
    brisko_tpl *parsed = _brisko_template_parse(table_page, nullptr);
    double ns = 0;
    for (auto _ : state) {
        state.PauseTiming();
        engine_session::next_request();
        brisko_tpl *t = _brisko_template_dup(parsed);
        state.ResumeTiming();
        double t0 = cpu_ns();
        fill(t, rows, order);
        ns += cpu_ns() - t0;
    }
    state.counters["ns_per_row"] = ns / (double)state.iterations() / rows;
    delete_bkpool(parsed->pool);
}
/* second argument: 0 reverse, 1 random */
BENCHMARK(BM_FillOutOfOrder)->Args({10000, 0})->Args({100000, 0})->Args({100000, 1})->Unit(benchmark::kMillisecond);

/* The table page of 10,000 rows filled and rendered, as one page request
 * does it. */
void BM_FillAndRender(benchmark::State &state)
{
    session();
    int rows = static_cast<int>(state.range(0));
    brisko_tpl *parsed = _brisko_template_parse(table_page, nullptr);
    double ns = 0;
    for (auto _ : state) {
        state.PauseTiming();
        engine_session::next_request();
        brisko_tpl *t = _brisko_template_dup(parsed);
        state.ResumeTiming();
        double t0 = cpu_ns();
        fill(t, rows);
        _brisko_template_render(t);
        ns += cpu_ns() - t0;
    }
    ns_per_iteration["fill_and_render"] = ns / (double)state.iterations();
    state.counters["ns_per_row"] = ns / (double)state.iterations() / rows;
    delete_bkpool(parsed->pool);
}
BENCHMARK(BM_FillAndRender)->Arg(10000)->Unit(benchmark::kMillisecond);

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
        _brisko_template_render(t);
        ns += cpu_ns() - t0;
        bytes += brisko_write_buf_len;
    }
    if (rows == 10000) ns_per_iteration["render"] = ns / (double)state.iterations();
    state.counters["ns_per_byte"] = ns / bytes;
    state.counters["bytes"] = brisko_write_buf_len;
    delete_bkpool(parsed->pool);
}
BENCHMARK(BM_Render)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

/* The pieces a rendering of t appends, in order: what the documented
 * rendering walk produces (value, else block instances, else the tag as
 * written), gathered once. */
void gather_pieces(brisko_tpl *t, std::vector<std::pair<const char *, size_t>> &out)
{
    for (int k = 0; k < t->segnum; k++) {
        const brisko_seg &g = t->segs[k];
        const char *p = t->content + g.tag_pos;
        if (k == 0 || g.tag_len == 0) {
            out.emplace_back(p, k == 0 ? g.text_len : g.tag_len + 2 + g.text_len);
            continue;
        }
        std::string name(p + 1, g.tag_len);
        brisko_tagvalue *tv = t->tagvalues;
        while (tv && name != tv->name) tv = tv->next;
        int sub = -1;
        for (int i = 0; !tv && i < t->subnum; i++)
            if (name == t->subs[i].name) sub = i;
        if (tv) {
            out.emplace_back(tv->value, strlen(tv->value));
        } else if (sub >= 0) {
            for (brisko_bn *bn = t->subs[sub].bnlist->next; bn; bn = bn->next) gather_pieces(bn->tpl, out);
        } else {
            out.emplace_back(p, g.tag_len + 2);
        }
        out.emplace_back(p + g.tag_len + 2, g.text_len);
    }
}

/* The floor of rendering: the same pieces appended with memcpy to a
 * buffer kept from one iteration to the next. */
void BM_RenderFloor(benchmark::State &state)
{
    session();
    int rows = static_cast<int>(state.range(0));
    brisko_tpl *parsed = _brisko_template_parse(table_page, nullptr);
    engine_session::next_request();
    brisko_tpl *t = _brisko_template_dup(parsed);
    fill(t, rows);
    std::vector<std::pair<const char *, size_t>> pieces;
    gather_pieces(t, pieces);
    _brisko_template_render(t);
    std::string rendered(brisko_write_buf, brisko_write_buf_len);
    std::vector<char> buf(BRISKO_WRITE_BUF_STEP);
    size_t len = 0;
    double ns = 0;
    for (auto _ : state) {
        double t0 = cpu_ns();
        len = 0;
        for (auto &piece : pieces) {
            if (buf.size() < len + piece.second + 1) buf.resize(len + piece.second + BRISKO_WRITE_BUF_STEP);
            memcpy(buf.data() + len, piece.first, piece.second);
            len += piece.second;
        }
        buf[len] = '\0';
        ns += cpu_ns() - t0;
        benchmark::DoNotOptimize(buf.data());
    }
    if (std::string(buf.data(), len) != rendered) state.SkipWithError("the pieces differ from the rendering");
    ns_per_iteration["render_floor"] = ns / (double)state.iterations();
    state.counters["pieces"] = (double)pieces.size();
    delete_bkpool(parsed->pool);
}
BENCHMARK(BM_RenderFloor)->Arg(10000)->Unit(benchmark::kMillisecond);

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

/* 1,000 blocks whose names are range(0) bytes long: parsing must cost the
 * same per byte whatever the names. */
void BM_ParseNames(benchmark::State &state)
{
    session();
    size_t len = static_cast<size_t>(state.range(0));
    std::string text;
    for (int b = 0; b < 1000; b++) {
        std::string n = std::string(len - 6, 'n') + std::to_string(100000 + b);
        text += "<!-- BEGIN " + n + " -->x{v}<!-- END " + n + " -->\n";
    }
    double ns = 0;
    for (auto _ : state) {
        double t0 = cpu_ns();
        brisko_tpl *t = _brisko_template_parse(text.c_str(), nullptr);
        ns += cpu_ns() - t0;
        state.PauseTiming();
        delete_bkpool(t->pool);
        state.ResumeTiming();
    }
    state.counters["ns_per_byte"] = ns / (double)state.iterations() / (double)text.size();
}
BENCHMARK(BM_ParseNames)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

/* Template memory of a 100,000-row page with ten tags per row, against the
 * per-request limit. */
void BM_TenTagPageMemory(benchmark::State &state)
{
    session();
    const int rows = 100000;
    std::string text = "<table>\n<!-- BEGIN row* --><tr>";
    for (int k = 0; k < 10; k++) text += "<td>{t" + std::to_string(k) + "}</td>";
    text += "</tr>\n<!-- END row* --></table>\n";
    brisko_tpl *parsed = _brisko_template_parse(text.c_str(), nullptr);
    double used = 0;
    for (auto _ : state) {
        engine_session::next_request();
        brisko_tpl *t = _brisko_template_dup(parsed);
        char name[8], value[32];
        for (int i = 0; i < rows; i++) {
            brisko_tpl *row = brisko_template_fetch(t, "row*", i);
            for (int k = 0; k < 10; k++) {
                snprintf(name, sizeof name, "t%d", k);
                snprintf(value, sizeof value, "value %d.%d", i, k);
                brisko_template_assign(row, name, value);
            }
        }
        used = (double)(brisko_heap_strage - brisko_heap_strage_ini);
    }
    ns_per_iteration["ten_tag_bytes"] = used;
    state.counters["heap_MB"] = used / 1e6;
    state.counters["bytes_per_row"] = used / rows;
    delete_bkpool(parsed->pool);
}
BENCHMARK(BM_TenTagPageMemory)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_LoadCached1MB(benchmark::State &state)
{
    session();
    char path[] = "/tmp/brisko_bench_XXXXXX";
    int fd = mkstemp(path);
    std::string text = big_template();
    if (write(fd, text.data(), text.size()) != (ssize_t)text.size()) state.SkipWithError("write failed");
    close(fd);
    _brisko_template_load_file(path); // first load parses and fills the cache
    int n = 0;
    double ns = 0;
    for (auto _ : state) {
        if (++n % 100 == 0) { // a request loads the page at most 100 times
            state.PauseTiming();
            engine_session::next_request();
            state.ResumeTiming();
        }
        double t0 = cpu_ns();
        brisko_tpl *copy = _brisko_template_dup(_brisko_template_load_file(path));
        ns += cpu_ns() - t0;
        benchmark::DoNotOptimize(copy);
    }
    state.counters["ns_per_load"] = ns / (double)state.iterations();
    unlink(path);
}
BENCHMARK(BM_LoadCached1MB)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (ns_per_iteration.count("render") && ns_per_iteration.count("render_floor"))
        std::printf("\nrender of the 10,000-row page: %.2f ms, %.2fx its memcpy-and-append floor (%.2f ms)\n",
                    ns_per_iteration["render"] / 1e6, ns_per_iteration["render"] / ns_per_iteration["render_floor"],
                    ns_per_iteration["render_floor"] / 1e6);
    if (ns_per_iteration.count("fill_and_render"))
        std::printf("fill and render of the 10,000-row page: %.2f ms\n", ns_per_iteration["fill_and_render"] / 1e6);
    if (ns_per_iteration.count("ten_tag_bytes"))
        std::printf("100,000 rows of ten tags take %.1f MB of template memory; a request may take %.1fx that\n",
                    ns_per_iteration["ten_tag_bytes"] / 1e6, (double)BRISKO_HEAP_LIMIT / ns_per_iteration["ten_tag_bytes"]);
    return 0;
}
