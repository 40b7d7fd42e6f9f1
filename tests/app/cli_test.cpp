// The guestbook application driven from the command line: every NN-*.php
// script in the requests folder is one request (a browser's GET or POST,
// with its session cookie), all of them in order in one brisko-php process,
// once without the extension and once with it. Both outputs must equal the
// expected page text byte for byte; with the extension every file is
// compiled once, however many requests include it.
//
//   app_cli_test --php BRISKO_PHP --app APP_DIR --requests DIR --expect FILE
//
// The application and the request scripts are copied to a fresh folder for
// each run (the application keeps its data and sessions under its own
// folder), which is also the working directory. Dates are shown in UTC.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int time_limit_seconds = 120;

struct run_result {
    std::string out;
    std::string err;
    int status = -1;
    bool timed_out = false;
};

std::string read_file(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs argv in dir with TZ=UTC, collecting both outputs; killed after the
// time limit.
run_result run(const std::vector<std::string> &argv, const fs::path &dir)
{
    run_result r;
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        return r;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        if (chdir(dir.c_str()) != 0)
            _exit(126);
        setenv("TZ", "UTC", 1);
        std::vector<char *> args;
        for (const std::string &a : argv)
            args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(time_limit_seconds);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string *sinks[2] = {&r.out, &r.err};
    int open_fds = 2;
    while (open_fds > 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            kill(pid, SIGKILL);
            r.timed_out = true;
            break;
        }
        if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR)
            break;
        for (int i = 0; i < 2; i++) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buf[65536];
            ssize_t n = read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                sinks[i]->append(buf, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                open_fds--;
            }
        }
    }
    for (pollfd &f : fds)
        if (f.fd >= 0)
            close(f.fd);
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + (WIFSIGNALED(wstatus) ? WTERMSIG(wstatus) : 0);
    return r;
}

long stat_value(const std::string &err, const std::string &name)
{
    auto pos = err.rfind(name + "=");
    if (pos == std::string::npos)
        return -1;
    return std::strtol(err.c_str() + pos + name.size() + 1, nullptr, 10);
}

std::vector<std::string> lines_of(const std::string &s)
{
    std::vector<std::string> out;
    std::istringstream in(s);
    std::string line;
    while (std::getline(in, line))
        out.push_back(line);
    return out;
}

// Where the outputs part, with the request that printed it and a few lines
// around.
void show_difference(const std::string &expected, const std::string &actual)
{
    std::vector<std::string> a = lines_of(expected), b = lines_of(actual);
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        i++;
    std::string request = "(before the first request)";
    for (std::size_t k = 0; k < i && k < a.size(); k++)
        if (a[k].rfind("==== ", 0) == 0)
            request = a[k];
    std::cerr << "first difference at line " << i + 1 << ", in " << request << "\n";
    std::size_t from = i >= 3 ? i - 3 : 0;
    for (std::size_t k = from; k < i; k++)
        std::cerr << "  " << a[k] << "\n";
    for (std::size_t k = i; k < std::min(a.size(), i + 6); k++)
        std::cerr << "- " << a[k] << "\n";
    for (std::size_t k = i; k < std::min(b.size(), i + 6); k++)
        std::cerr << "+ " << b[k] << "\n";
}

} // namespace

int main(int argc, char **argv)
{
    std::string php;
    fs::path app, requests, expect_file;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--php")
            php = argv[i + 1];
        else if (a == "--app")
            app = argv[i + 1];
        else if (a == "--requests")
            requests = argv[i + 1];
        else if (a == "--expect")
            expect_file = argv[i + 1];
    }
    if (php.empty() || app.empty() || requests.empty() || expect_file.empty()) {
        std::cerr << "usage: app_cli_test --php BRISKO_PHP --app APP_DIR --requests DIR --expect FILE\n";
        return 2;
    }
    php = fs::absolute(php).string();
    app = fs::absolute(app).lexically_normal();
    if (app.filename().empty())
        app = app.parent_path();
    std::string expected = read_file(expect_file);
    if (expected.empty()) {
        std::cerr << "cannot read " << expect_file << "\n";
        return 2;
    }

    std::vector<fs::path> scripts, helpers;
    for (const auto &e : fs::directory_iterator(requests)) {
        if (e.path().extension() != ".php")
            continue;
        std::string name = e.path().filename().string();
        (name.size() > 3 && std::isdigit(static_cast<unsigned char>(name[0])) ? scripts : helpers).push_back(e.path());
    }
    std::sort(scripts.begin(), scripts.end());
    if (scripts.empty()) {
        std::cerr << "no request scripts in " << requests << "\n";
        return 2;
    }

    // Both runs use the same folder: its path could show in messages.
    fs::path work = fs::temp_directory_path() / ("app_cli_" + std::to_string(getpid()));
    auto fresh_copy = [&] {
        fs::remove_all(work);
        fs::create_directories(work);
        fs::copy(app, work / app.filename(), fs::copy_options::recursive);
        fs::remove_all(work / app.filename() / "data");  // any data left from trying the site by hand
        for (const fs::path &p : scripts)
            fs::copy_file(p, work / p.filename());
        for (const fs::path &p : helpers)
            fs::copy_file(p, work / p.filename());
    };
    long php_files = 0;
    fresh_copy();
    for (const auto &e : fs::recursive_directory_iterator(work))
        if (e.is_regular_file() && e.path().extension() == ".php")
            php_files++;

    int failures = 0;
    for (bool extension : {false, true}) {
        fresh_copy();
        std::vector<std::string> args = {php};
        if (!extension)
            args.push_back("-n");
        args.push_back("--stats");
        for (const fs::path &p : scripts)
            args.push_back((work / p.filename()).string());  // the pages change directory
        run_result r = run(args, work);
        const char *label = extension ? "with the extension" : "without the extension";
        auto fail = [&](const std::string &what) {
            std::cerr << "FAIL (" << label << "): " << what << "\n";
            failures++;
        };
        if (r.timed_out)
            fail("still running after " + std::to_string(time_limit_seconds) + " seconds");
        if (r.status != 0)
            fail("exit status " + std::to_string(r.status));
        if (stat_value(r.err, "requests") != static_cast<long>(scripts.size()))
            fail("expected " + std::to_string(scripts.size()) + " requests; standard error:\n" + r.err);
        std::string rest = r.err.substr(0, r.err.find("compilations="));
        if (!rest.empty())
            fail("standard error holds more than the counters:\n" + rest);
        long compilations = stat_value(r.err, "compilations");
        if (extension && compilations != php_files)
            fail("each of the " + std::to_string(php_files) + " files compiled once, but there were " +
                 std::to_string(compilations) + " compilations");
        if (!extension && compilations <= php_files)
            fail("without the extension each request compiles its files again, but there were only " +
                 std::to_string(compilations) + " compilations");
        if (r.out != expected) {
            fail("the pages differ from " + expect_file.string());
            show_difference(expected, r.out);
            std::ofstream(fs::path(work.string() + (extension ? ".with.out" : ".without.out")), std::ios::binary)
                << r.out;
            std::cerr << "full output kept in " << work.string() << (extension ? ".with.out" : ".without.out")
                      << "\n";
        }
    }
    fs::remove_all(work);
    if (failures == 0)
        std::cout << "PASS: " << scripts.size() << " requests, the same pages with and without the extension\n";
    return failures == 0 ? 0 : 1;
}
