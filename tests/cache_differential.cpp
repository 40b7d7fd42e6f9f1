// Differential test of the script cache: a script run as several requests in
// one process must print exactly the same with the extension loaded as
// without it, and with the extension every file is compiled once.
//
//   cache_differential --php BRISKO_PHP CASE_DIR
//
// CASE_DIR holds main.php and the files it includes.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

struct run_result {
    std::string out;
    std::string err;
    int status = -1;
};

static std::string read_file(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

static run_result run(const std::string &command, const fs::path &dir)
{
    fs::path err_file = fs::temp_directory_path() / ("cache_diff_" + std::to_string(getpid()) + ".err");
    std::string full = "cd '" + dir.string() + "' && " + command + " 2>'" + err_file.string() + "'";
    run_result r;
    FILE *p = popen(full.c_str(), "r");
    if (!p)
        return r;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    r.err = read_file(err_file);
    fs::remove(err_file);
    return r;
}

static long stat_value(const std::string &err, const std::string &name)
{
    auto pos = err.find(name + "=");
    if (pos == std::string::npos)
        return -1;
    return std::strtol(err.c_str() + pos + name.size() + 1, nullptr, 10);
}

int main(int argc, char **argv)
{
    if (argc != 4 || std::string(argv[1]) != "--php") {
        std::cerr << "usage: cache_differential --php BRISKO_PHP CASE_DIR\n";
        return 2;
    }
    std::string php = argv[2];
    fs::path dir = argv[3];
    const int requests = 3;

    long files = 0;
    for (auto &e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file() && e.path().extension() == ".php")
            files++;

    std::string args = " --repeat " + std::to_string(requests) + " --stats main.php";
    run_result plain = run("'" + php + "' -n" + args, dir);
    run_result cached = run("'" + php + "'" + args, dir);

    int failures = 0;
    auto fail = [&](const std::string &what) {
        std::cerr << "FAIL: " << what << "\n";
        failures++;
    };
    if (plain.status != 0 || cached.status != 0)
        fail("exit status " + std::to_string(plain.status) + " without the extension, " +
             std::to_string(cached.status) + " with it");
    if (plain.out.empty())
        fail("no output");
    for (const char *bad : {"Fatal error", "Warning:", "Parse error"})
        if (plain.out.find(bad) != std::string::npos)
            fail(std::string("the script itself reports \"") + bad + "\"");
    if (plain.out != cached.out) {
        fail("output differs with the extension loaded");
        std::cerr << "--- without extension\n" << plain.out << "--- with extension\n" << cached.out << "---\n";
    }
    long compiled_cached = stat_value(cached.err, "compilations");
    long compiled_plain = stat_value(plain.err, "compilations");
    if (compiled_cached != files)
        fail("with the extension " + std::to_string(compiled_cached) + " compilations for " +
             std::to_string(files) + " files");
    if (compiled_plain < files * requests)
        fail("without the extension only " + std::to_string(compiled_plain) + " compilations");
    if (failures == 0)
        std::cout << "ok: " << dir.filename().string() << ", " << files << " files, " << requests
                  << " requests, " << compiled_plain << " compilations without the cache, " << compiled_cached
                  << " with it\n";
    return failures ? 1 : 0;
}
