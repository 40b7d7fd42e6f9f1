// Differential test of the script cache: a script run as several requests in
// one process must print exactly the same with the extension loaded as
// without it, and with the extension every unchanged file is compiled once.
//
//   cache_differential --php BRISKO_PHP [--wrap COMMAND] CASE_DIR
//
// CASE_DIR holds main.php and the files it includes. Each run works on a
// fresh copy of the folder, so a case may rewrite its own files. An
// optional CASE_DIR/expect file sets, one per line:
//   requests N       requests in the process (default 3)
//   compilations N   compilations with the extension (default: one per .php file)
//   errors           the script's own output may hold errors and warnings
// --wrap runs the process with the extension under COMMAND (valgrind, say),
// whose own exit status must be 0.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

struct run_result {
    std::string out;
    std::string err;
    int status = -1;
};

struct expectations {
    int requests = 3;
    long compilations = -1;
    bool errors = false;
};

static std::string read_file(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

static expectations read_expectations(const fs::path &dir)
{
    expectations e;
    std::ifstream in(dir / "expect");
    std::string word;
    while (in >> word) {
        if (word == "requests")
            in >> e.requests;
        else if (word == "compilations")
            in >> e.compilations;
        else if (word == "errors")
            e.errors = true;
        else
            std::cerr << "expect: unknown word " << word << "\n";
    }
    return e;
}

// Runs the command in a fresh copy of the case folder.
static run_result run(const std::string &command, const fs::path &dir)
{
    // Both runs use the same folder name: paths show up in messages.
    fs::path work = fs::temp_directory_path() / ("cache_diff_" + std::to_string(getpid()));
    fs::remove_all(work);
    fs::copy(dir, work, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    fs::path err_file = work / ".stderr";
    std::string full = "cd '" + work.string() + "' && " + command + " 2>'" + err_file.string() + "'";
    run_result r;
    FILE *p = popen(full.c_str(), "r");
    if (p) {
        char buf[65536];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            r.out.append(buf, n);
        int st = pclose(p);
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        r.err = read_file(err_file);
    }
    fs::remove_all(work);
    return r;
}

static long stat_value(const std::string &err, const std::string &name)
{
    auto pos = err.rfind(name + "=");
    if (pos == std::string::npos)
        return -1;
    return std::strtol(err.c_str() + pos + name.size() + 1, nullptr, 10);
}

int main(int argc, char **argv)
{
    std::string php, wrap;
    fs::path dir;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "--php" && i + 1 < argc)
            php = argv[++i];
        else if (a == "--wrap" && i + 1 < argc)
            wrap = argv[++i];
        else
            dir = a;
    }
    if (php.empty() || dir.empty()) {
        std::cerr << "usage: cache_differential --php BRISKO_PHP [--wrap COMMAND] CASE_DIR\n";
        return 2;
    }
    php = fs::absolute(php).string();
    expectations expect = read_expectations(dir);

    long files = 0;
    for (auto &e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file() && e.path().extension() == ".php")
            files++;
    long compilations = expect.compilations >= 0 ? expect.compilations : files;

    std::string args = " --repeat " + std::to_string(expect.requests) + " --stats main.php";
    run_result plain = run("'" + php + "' -n" + args, dir);
    run_result cached = run((wrap.empty() ? "" : wrap + " ") + "'" + php + "'" + args, dir);

    int failures = 0;
    auto fail = [&](const std::string &what) {
        std::cerr << "FAIL: " << what << "\n";
        failures++;
    };
    if (plain.status != cached.status)
        fail("exit status " + std::to_string(plain.status) + " without the extension, " +
             std::to_string(cached.status) + " with it");
    if (!expect.errors && plain.status != 0)
        fail("exit status " + std::to_string(plain.status));
    if (plain.out.empty())
        fail("no output");
    if (!expect.errors)
        for (const char *bad : {"Fatal error", "Warning:", "Parse error", "Notice:"})
            if (plain.out.find(bad) != std::string::npos)
                fail(std::string("the script itself reports \"") + bad + "\"");
    if (plain.out != cached.out) {
        fail("output differs with the extension loaded");
        std::cerr << "--- without extension\n" << plain.out << "--- with extension\n" << cached.out << "---\n";
    }
    if (!wrap.empty() && cached.err.find("==") != std::string::npos)
        std::cerr << cached.err;
    long compiled_cached = stat_value(cached.err, "compilations");
    long compiled_plain = stat_value(plain.err, "compilations");
    if (compiled_cached != compilations)
        fail("with the extension " + std::to_string(compiled_cached) + " compilations, expected " +
             std::to_string(compilations));
    // Without the extension every include compiles.
    if (compiled_plain < expect.requests || (expect.requests > 1 && compiled_plain <= compiled_cached))
        fail("without the extension only " + std::to_string(compiled_plain) + " compilations");
    if (failures == 0)
        std::cout << "ok: " << dir.filename().string() << ", " << files << " files, " << expect.requests
                  << " requests, " << compiled_plain << " compilations without the cache, " << compiled_cached
                  << " with it\n";
    return failures ? 1 : 0;
}
