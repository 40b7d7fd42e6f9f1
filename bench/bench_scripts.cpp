// The template engine and the value store as scripts use them: one
// request runs a loop of calls, and the figures are per call, per row or
// per element, loop overhead included (BM_ScriptLoopBaseline shows it).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "engine.h"
#include "php_brisko.h"

namespace fs = std::filesystem;

namespace {

void discard(const char *, std::size_t) {}

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
    for (auto _ : state)
        run(path);
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

// A table page: {title} and a repeat block of 5 tags per row, filled row
// by row with fetch-assign-array, then (when render is set) rendered to a
// string.
static void table_page(benchmark::State &state, bool render)
{
    long rows = state.range(0);
    std::string name = std::string(render ? "render_" : "fill_") + std::to_string(rows) + ".php";
    std::string p = env().script(name,
        "$t = brisko_template_load('table.tpl');\nbrisko_template_assign($t, 'title', 'Rows');\n"
        "for ($i = 0; $i < " + std::to_string(rows) + "; $i++) {\n"
        "  brisko_template_fetch_assign_array($t, 'row*', $i, array('a' => $i, 'b' => 'bee', 'c' => 'sea',"
        " 'd' => 'dee', 'e' => 'ee'));\n}\n" + (render ? "$html = brisko_template_get($t);\n" : ""));
    run_script(state, p, rows, "s_per_row");
}

static void BM_ScriptTableFill(benchmark::State &state) { table_page(state, false); }
BENCHMARK(BM_ScriptTableFill)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

static void BM_ScriptTableFillAndRender(benchmark::State &state) { table_page(state, true); }
BENCHMARK(BM_ScriptTableFillAndRender)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
