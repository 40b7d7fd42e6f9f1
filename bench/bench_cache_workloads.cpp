// Whole-process workloads of the script cache, each run in a fresh child
// process with the extension and without it (no extension loaded):
//
//   cold start   N files of one function each, all included by one script:
//                the first request of a process (again after every recycle);
//   hierarchy    a base class of 60 methods and 200 one-line subclasses, one
//                file each, over many requests: time per request once
//                everything is cached, and resident memory at the end.
//
// Figures are CPU time (user + system) of the child, so other load on the
// machine counts little. Usage: bench_cache_workloads [N ...] (cold-start
// sizes; default 5000 20000).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

#include "engine.h"
#include "php_brisko.h"

namespace fs = std::filesystem;

namespace {

void discard(const char *, std::size_t) {}

double cpu_seconds()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

long resident_kb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

struct figures {
    double first = 0;  // CPU seconds of the first request
    double later = 0;  // CPU seconds per request after the first
    long rss_kb = 0;   // resident memory at the end
    long start_kb = 0; // resident memory before the first request
};

// Runs `requests` requests of main.php in dir, in a child process, with or
// without the extension.
figures run_child(const fs::path &dir, int requests, bool extension)
{
    int fds[2];
    if (pipe(fds) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        fs::current_path(dir);
        zend::set_output_sink(discard);
        zend::engine_startup();
        if (extension)
            php_brisko_startup(nullptr);
        figures f;
        f.start_kb = resident_kb();
        for (int i = 0; i < requests; i++) {
            if (extension)
                bk_req_count = 0; // a benchmark runs longer than a worker lives
            double t0 = cpu_seconds();
            zend::request_startup();
            zend::execute_script("main.php");
            zend::request_shutdown();
            double t = cpu_seconds() - t0;
            if (i == 0)
                f.first = t;
            else
                f.later += t;
        }
        if (requests > 1)
            f.later /= requests - 1;
        f.rss_kb = resident_kb();
        if (write(fds[1], &f, sizeof f) != (ssize_t)sizeof f)
            _exit(1);
        _exit(0);
    }
    close(fds[1]);
    figures f;
    if (read(fds[0], &f, sizeof f) != (ssize_t)sizeof f)
        std::fprintf(stderr, "child failed\n");
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return f;
}

fs::path fresh_dir(const std::string &name)
{
    fs::path dir = fs::temp_directory_path() / ("bench_cache_" + name + "_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void cold_start(int files)
{
    fs::path dir = fresh_dir("cold");
    std::ofstream main(dir / "main.php");
    main << "<?php\n$t = 0;\n";
    for (int i = 0; i < files; i++) {
        std::string name = "f" + std::to_string(i);
        std::ofstream(dir / (name + ".php")) << "<?php\nfunction " << name << "($x) { return $x + " << i << "; }\n";
        main << "include '" << name << ".php';\n";
    }
    main << "$t += f0(1);\necho $t;\n";
    main.close();
    figures with = run_child(dir, 1, true);
    figures without = run_child(dir, 1, false);
    std::printf("cold start, %6d one-function files: first request %8.3f s with the extension, %8.3f s without"
                " (ratio %.2f)\n", files, with.first, without.first, with.first / without.first);
    fs::remove_all(dir);
}

void hierarchy()
{
    fs::path dir = fresh_dir("hierarchy");
    {
        std::ofstream base(dir / "base.php");
        base << "<?php\nclass Base {\n  var $list = array(1, 2, 3); var $name = 'base';\n";
        for (int m = 0; m < 60; m++)
            base << "  function m" << m << "($x) { $y = $x + " << m << "; if ($y > 10) { return $y * 2; } return $y; }\n";
        base << "}\n";
        std::ofstream main(dir / "main.php");
        main << "<?php\ninclude 'base.php';\n";
        for (int c = 0; c < 200; c++) {
            std::ofstream(dir / ("sub" + std::to_string(c) + ".php"))
                << "<?php\nclass Sub" << c << " extends Base { function own" << c << "() { return " << c << "; } }\n";
            main << "include 'sub" << c << ".php';\n";
        }
        main << "$t = 0;\nfor ($i = 0; $i < 200; $i += 10) { $c = 'Sub' . $i; $o = new $c(); $t += $o->m5($i); }\n"
                "echo $t;\n";
    }
    const int requests = 200;
    figures with = run_child(dir, requests, true);
    figures without = run_child(dir, requests, false);
    std::printf("hierarchy, 60-method base and 200 subclasses, %d requests:\n", requests);
    std::printf("  per request %8.3f ms with the extension, %8.3f ms without (ratio %.2f)\n", with.later * 1e3,
                without.later * 1e3, with.later / without.later);
    std::printf("  resident    %8ld KB with the extension, %8ld KB without (ratio %.2f)\n", with.rss_kb,
                without.rss_kb, (double)with.rss_kb / (double)without.rss_kb);
    std::printf("  of which    %8ld KB with the extension, %8ld KB without before the first request\n",
                with.start_kb, without.start_kb);
    fs::remove_all(dir);
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<int> sizes;
    for (int i = 1; i < argc; i++)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {5000, 20000};
    hierarchy();
    for (int n : sizes)
        cold_start(n);
    return 0;
}
