// The template engine and the value store as scripts use them: one
// request runs a loop of calls, and the figures are per call, per row or
// per element, loop overhead included (BM_ScriptLoopBaseline shows it).
//
// The table page is also built by hand in a script, with str_replace and
// with strtr in a loop, as a PHP user would without templates; after the
// run the program prints how many times faster the template page is than
// each, measured in this same run.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

#include "engine.h"
#include "php_brisko.h"
#include "store/heap_store.h"

namespace fs = std::filesystem;

namespace {

void discard(const char *, std::size_t) {}

std::string captured;
void capture(const char *data, std::size_t length) { captured.append(data, length); }

/* CPU seconds per run of each benchmarked script (by file name), for the
 * ratios printed after the run. */
std::map<std::string, double> seconds_per_run;

double cpu_seconds()
{
    struct timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return (double)ts.tv_sec + (double)ts.tv_nsec / 1e9;
}

struct fixture {
    fs::path dir;
    fixture()
    {
        dir = fs::temp_directory_path() / ("bench_scripts_" + std::to_string(getpid()));
        fs::create_directories(dir);
        std::ofstream(dir / "table.tpl") << "<html><h1>{title}</h1><table>\n"
                                            "<!-- BEGIN row* --><tr><td>{a}</td><td>{b}</td><td>{c}</td>"
                                            "<td>{d}</td><td>{e}</td></tr>\n<!-- END row* -->\n</table></html>\n";
        fs::current_path(dir);
        zend::set_output_sink(discard);
        zend::engine_startup();
        php_brisko_startup(nullptr);
    }
    ~fixture()
    {
        zend::engine_shutdown();
        fs::remove_all(dir);
    }
    std::string script(const std::string &name, const std::string &body)
    {
        fs::path p = dir / name;
        std::ofstream(p) << "<?php\n" << body;
        return p.string();
    }
};

fixture &env()
{
    static fixture f;
    return f;
}

void run(const std::string &path)
{
    bk_req_count = 0; // the extension would end the process after 10,001 requests
    zend::request_startup();
    zend::execute_script(path.c_str());
    zend::request_shutdown();
}

// Runs the script once per iteration; `per` units of work per run.
void run_script(benchmark::State &state, const std::string &path, double per, const char *unit)
{
    run(path); // warm: compiled once, template parsed once
    double cpu = 0;
    for (auto _ : state) {
        double t0 = cpu_seconds();
        run(path);
        cpu += cpu_seconds() - t0;
    }
    seconds_per_run[fs::path(path).filename().string()] = cpu / (double)state.iterations();
    state.counters[unit] = benchmark::Counter(per * state.iterations(),
                                              benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

static void BM_ScriptLoopBaseline(benchmark::State &state)
{
    long n = state.range(0);
    std::string p = env().script("loop.php", "for ($i = 0; $i < " + std::to_string(n) + "; $i++) { $x = $i; }\n");
    run_script(state, p, n, "s_per_iteration");
}
BENCHMARK(BM_ScriptLoopBaseline)->Arg(10000)->Unit(benchmark::kMillisecond);

static void BM_ScriptStoreScalar(benchmark::State &state)
{
    long n = state.range(0);
    std::string p = env().script("store_scalar.php", "for ($i = 0; $i < " + std::to_string(n) +
                                                         "; $i++) { brisko_heap_set('g', 'k', $i); }\n");
    run_script(state, p, n, "s_per_call");
}
BENCHMARK(BM_ScriptStoreScalar)->Arg(10000)->Unit(benchmark::kMillisecond);

static void BM_ScriptReadScalar(benchmark::State &state)
{
    long n = state.range(0);
    std::string p = env().script("read_scalar.php", "brisko_heap_set('g', 'k', 42);\nfor ($i = 0; $i < " +
                                                        std::to_string(n) + "; $i++) { $v = brisko_heap_get('g', 'k'); }\n");
    run_script(state, p, n, "s_per_call");
}
BENCHMARK(BM_ScriptReadScalar)->Arg(10000)->Unit(benchmark::kMillisecond);

// The same read in C, inside one request: what a script's call adds on
// top of it is the engine's cost of calling an internal function with two
// arguments and taking its result.
static void BM_CReadScalar(benchmark::State &state)
{
    long n = state.range(0);
    bk_req_count = 0;
    zend::request_startup();
    zval *v;
    ALLOC_ZVAL(v);
    INIT_PZVAL(v);
    v->type = IS_LONG;
    v->value.lval = 42;
    brisko_heap_set("g", "k", &v);
    double cpu = 0;
    for (auto _ : state) {
        double t0 = cpu_seconds();
        for (long i = 0; i < n; i++) {
            zval *copy = brisko_heap_get("g", "k");
            zval_dtor(copy);
            efree(copy);
        }
        cpu += cpu_seconds() - t0;
    }
    zval_ptr_dtor(&v);
    zend::request_shutdown();
    seconds_per_run["c_read_scalar"] = cpu / (double)state.iterations();
    state.counters["s_per_call"] = benchmark::Counter((double)n * state.iterations(),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CReadScalar)->Arg(10000)->Unit(benchmark::kMillisecond);

static void BM_ScriptStoreArray1000(benchmark::State &state)
{
    long n = state.range(0);
    std::string p = env().script("store_array.php",
                                 "$a = array();\nfor ($j = 0; $j < 1000; $j++) { $a[] = 'item' . $j; }\n"
                                 "for ($i = 0; $i < " + std::to_string(n) + "; $i++) { brisko_heap_set('g', 'a', $a); }\n");
    run_script(state, p, n * 1000.0, "s_per_element");
}
BENCHMARK(BM_ScriptStoreArray1000)->Arg(100)->Unit(benchmark::kMillisecond);

static void BM_ScriptReadArray1000(benchmark::State &state)
{
    long n = state.range(0);
    std::string p = env().script("read_array.php",
                                 "$a = array();\nfor ($j = 0; $j < 1000; $j++) { $a[] = 'item' . $j; }\n"
                                 "brisko_heap_set('g', 'a', $a);\n"
                                 "for ($i = 0; $i < " + std::to_string(n) + "; $i++) { $b = brisko_heap_get('g', 'a'); }\n");
    run_script(state, p, n * 1000.0, "s_per_element");
}
BENCHMARK(BM_ScriptReadArray1000)->Arg(100)->Unit(benchmark::kMillisecond);

namespace {

// A table page: {title} and a repeat block of 5 tags per row, filled row
// by row with fetch-assign-array, then (when render is set) rendered to a
// string.
std::string template_page(long rows, bool render)
{
    return "$t = brisko_template_load('table.tpl');\nbrisko_template_assign($t, 'title', 'Rows');\n"
           "for ($i = 0; $i < " + std::to_string(rows) + "; $i++) {\n"
           "  brisko_template_fetch_assign_array($t, 'row*', $i, array('a' => $i, 'b' => 'bee', 'c' => 'sea',"
           " 'd' => 'dee', 'e' => 'ee'));\n}\n" + (render ? "$html = brisko_template_get($t);\n" : "");
}

// The same page by hand: the row text with its five tags replaced by
// str_replace (or strtr) and appended, then the title put in.
std::string hand_page(long rows, bool use_strtr)
{
    std::string row = use_strtr ? "strtr($row, array('{a}' => $i, '{b}' => 'bee', '{c}' => 'sea', '{d}' => 'dee',"
                                  " '{e}' => 'ee'))"
                                : "str_replace($search, array($i, 'bee', 'sea', 'dee', 'ee'), $row)";
    return "$head = \"<html><h1>{title}</h1><table>\\n\";\n"
           "$row = \"<tr><td>{a}</td><td>{b}</td><td>{c}</td><td>{d}</td><td>{e}</td></tr>\\n\";\n"
           "$search = array('{a}', '{b}', '{c}', '{d}', '{e}');\n$rows = '';\n"
           "for ($i = 0; $i < " + std::to_string(rows) + "; $i++) {\n  $rows .= " + row + ";\n}\n"
           "$html = str_replace('{title}', 'Rows', $head) . $rows . \"\\n</table></html>\\n\";\n";
}

/* What a page script leaves in $html, run once with its output kept. */
std::string page_text(const std::string &name, const std::string &body)
{
    std::string p = env().script("check_" + name, body + "echo $html;\n");
    captured.clear();
    zend::set_output_sink(capture);
    run(p);
    zend::set_output_sink(discard);
    return captured;
}

} // namespace

static void table_page(benchmark::State &state, bool render)
{
    long rows = state.range(0);
    std::string name = std::string(render ? "render_" : "fill_") + std::to_string(rows) + ".php";
    run_script(state, env().script(name, template_page(rows, render)), rows, "s_per_row");
}

static void BM_ScriptTableFill(benchmark::State &state) { table_page(state, false); }
BENCHMARK(BM_ScriptTableFill)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

static void BM_ScriptTableFillAndRender(benchmark::State &state) { table_page(state, true); }
BENCHMARK(BM_ScriptTableFillAndRender)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

static void hand_table_page(benchmark::State &state, bool use_strtr)
{
    long rows = state.range(0);
    std::string name = std::string(use_strtr ? "strtr_" : "str_replace_") + std::to_string(rows) + ".php";
    std::string body = hand_page(rows, use_strtr);
    if (page_text(name, body) != page_text("template_" + std::to_string(rows) + ".php", template_page(rows, true))) {
        state.SkipWithError("the hand-made page differs from the template page");
        return;
    }
    run_script(state, env().script(name, body), rows, "s_per_row");
}

static void BM_ScriptTableStrReplace(benchmark::State &state) { hand_table_page(state, false); }
BENCHMARK(BM_ScriptTableStrReplace)->Arg(10000)->Unit(benchmark::kMillisecond);

static void BM_ScriptTableStrtr(benchmark::State &state) { hand_table_page(state, true); }
BENCHMARK(BM_ScriptTableStrtr)->Arg(10000)->Unit(benchmark::kMillisecond);

// The part of the template page that is the engine's own work: the same
// loop building the same row arrays and passing them, with the same four
// arguments, to a built-in that does next to nothing (sprintf with an
// empty format). No template page can be faster than this floor.
static void BM_ScriptTableCallFloor(benchmark::State &state)
{
    long rows = state.range(0);
    std::string body = "$t = 1;\nfor ($i = 0; $i < " + std::to_string(rows) + "; $i++) {\n"
                       "  sprintf('', $t, 'row*', $i, array('a' => $i, 'b' => 'bee', 'c' => 'sea', 'd' => 'dee',"
                       " 'e' => 'ee'));\n}\n";
    run_script(state, env().script("floor_" + std::to_string(rows) + ".php", body), rows, "s_per_row");
}
BENCHMARK(BM_ScriptTableCallFloor)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    if (seconds_per_run.count("read_scalar.php") && seconds_per_run.count("loop.php") &&
        seconds_per_run.count("c_read_scalar")) {
        /* each run is 10,000 iterations */
        double script = (seconds_per_run["read_scalar.php"] - seconds_per_run["loop.php"]) / 1e4 * 1e9;
        double c = seconds_per_run["c_read_scalar"] / 1e4 * 1e9;
        std::printf("\nbrisko_heap_get('g', 'k') from a script: %.0f ns a call over the loop's own cost; "
                    "in C: %.0f ns; the script's call adds %.0f ns\n",
                    script, c, script - c);
    }

    const char *page = "render_10000.php";
    if (seconds_per_run.count(page)) {
        /* A peer's time over the template page's: above 1 the template page
         * is faster. The floor (the engine's loop, arrays and calls alone)
         * bounds what any template page can reach against str_replace. */
        double t = seconds_per_run[page];
        std::printf("\ntemplate page, 10,000 rows, fill and render: %.2f ms\n", t * 1e3);
        for (const char *peer : {"str_replace_10000.php", "strtr_10000.php", "floor_10000.php"}) {
            if (seconds_per_run.count(peer))
                std::printf("  %5.2fx the speed of %s (%.2f ms)\n", seconds_per_run[peer] / t, peer,
                            seconds_per_run[peer] * 1e3);
        }
    }
    return 0;
}
