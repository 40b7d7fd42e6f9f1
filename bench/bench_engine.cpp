// The stand-in engine's executor: one request per iteration running a
// script that repeats one kind of work, reported per repeated step
// (items/s). Calls, bare loops, string building, array writes and reads,
// method calls on an object. No extension is loaded.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "engine.h"

namespace fs = std::filesystem;

namespace {

void discard(const char *, std::size_t) {}

struct engine_fixture {
    fs::path dir;
    engine_fixture() {
        dir = fs::temp_directory_path() / ("bench_engine_" + std::to_string(getpid()));
        fs::create_directories(dir);
        zend::set_output_sink(discard);
        zend::engine_startup();
    }
    ~engine_fixture() {
        zend::engine_shutdown();
        fs::remove_all(dir);
    }
    std::string script(const std::string &name, const std::string &body) {
        fs::path p = dir / (name + ".php");
        std::ofstream(p) << "<?php\n" << body;
        return p.string();
    }
};

engine_fixture &fixture() {
    static engine_fixture f;
    return f;
}

void run_script(benchmark::State &state, const std::string &name, const std::string &body) {
    std::string path = fixture().script(name, body);
    for (auto _ : state) {
        zend::request_startup();
        int status = zend::execute_script(path.c_str());
        zend::request_shutdown();
        if (status != 0) state.SkipWithError("script failed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Calls(benchmark::State &state) {
    run_script(state, "calls",
               "function add($a, $b) { return $a + $b; }\n$t = 0;\nfor ($i = 0; $i < " +
                   std::to_string(state.range(0)) + "; $i++) { $t = add($t, $i); }\n");
}
BENCHMARK(BM_Calls)->Arg(100000);

void BM_Loop(benchmark::State &state) {
    run_script(state, "loop",
               "$t = 0;\nfor ($i = 0; $i < " + std::to_string(state.range(0)) + "; $i++) { $t += $i * 2; }\n");
}
BENCHMARK(BM_Loop)->Arg(100000);

void BM_StringBuilding(benchmark::State &state) {
    run_script(state, "strings",
               "$s = '';\nfor ($i = 0; $i < " + std::to_string(state.range(0)) +
                   "; $i++) { $s .= \"<td>$i</td>\"; }\n");
}
BENCHMARK(BM_StringBuilding)->Arg(100000);

void BM_ArrayAccess(benchmark::State &state) {
    run_script(state, "arrays",
               "$a = array();\n$n = " + std::to_string(state.range(0)) +
                   ";\nfor ($i = 0; $i < $n; $i++) { $a[$i % 100]['k'] = $i; }\n"
                   "$t = 0;\nfor ($i = 0; $i < $n; $i++) { $t += $a[$i % 100]['k']; }\n");
}
BENCHMARK(BM_ArrayAccess)->Arg(100000);

void BM_MethodCalls(benchmark::State &state) {
    run_script(state, "methods",
               "class Counter { var $n = 0; function bump($by) { $this->n += $by; return $this->n; } }\n"
               "$c = new Counter;\nfor ($i = 0; $i < " +
                   std::to_string(state.range(0)) + "; $i++) { $c->bump(1); }\n");
}
BENCHMARK(BM_MethodCalls)->Arg(100000);

} // namespace

BENCHMARK_MAIN();
