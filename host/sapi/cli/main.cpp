/* brisko-php: runs scripts through the engine, one request per script,
 * all in one process so that what the extension keeps in memory carries
 * over from one request to the next.
 *
 * Exit status: the last request's (the value given to exit, 255 after a
 * fatal error), 1 when a script cannot be opened or an extension cannot
 * be loaded. An extension that ends the process itself decides the status
 * on its own; the counters are printed from an exit handler so that
 * --stats reports them in that case too. */
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "engine.h"
#include "options.h"

namespace {

bool print_stats = false;

void stats_at_exit()
{
    if (print_stats)
        std::fprintf(stderr, "compilations=%lu\nrequests=%lu\n", zend::counters.compilations,
                     zend::counters.requests);
}

/* The directory of the running program, from /proc/self/exe. */
std::string program_directory()
{
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return ".";
    std::string path(buf, static_cast<std::size_t>(n));
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

bool apply_setting(const std::string &name, const std::string &value)
{
    if (name == "include_path")
        zend::settings.include_path = value;
    else if (name == "error_reporting")
        zend::settings.error_reporting = static_cast<int>(std::strtol(value.c_str(), nullptr, 0));
    else if (name == "html_errors")
        zend::settings.html_errors = value == "1" || value == "On" || value == "on" || value == "true";
    else
        return false;
    return true;
}

/* One request for one script. A script that cannot be opened starts no
 * request: the message goes straight out, as the command-line server of
 * the original engine printed it before starting up. */
int run_script(const std::string &script)
{
    if (access(script.c_str(), R_OK) != 0) {
        std::fprintf(stdout, "Could not open input file: %s\n", script.c_str());
        std::fflush(stdout);
        return 1;
    }
    zend::request_startup();
    int status = zend::execute_script(script.c_str());
    zend::request_shutdown();
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    cli::options opts;
    std::string error;
    if (!cli::parse_options(argc, argv, opts, error)) {
        std::fprintf(stderr, "brisko-php: %s\n%s", error.c_str(), cli::usage_text());
        return 1;
    }
    if (opts.help) {
        std::fputs(cli::usage_text(), stdout);
        return 0;
    }
    if (opts.scripts.empty()) {
        std::fprintf(stderr, "brisko-php: no script given\n%s", cli::usage_text());
        return 1;
    }

    static std::string sapi_name = opts.sapi_name; /* sapi_module keeps the pointer */
    sapi_module.name = sapi_name.c_str();
    for (const auto &setting : opts.settings)
        if (!apply_setting(setting.first, setting.second))
            std::fprintf(stderr, "brisko-php: unknown setting %s ignored\n", setting.first.c_str());

    print_stats = opts.stats;
    std::atexit(stats_at_exit);

    if (!zend::engine_startup()) {
        std::fprintf(stderr, "brisko-php: the engine could not start\n");
        return 1;
    }
    std::vector<std::string> extensions;
    for (const std::string &path : opts.extensions) /* a file, never a library search */
        extensions.push_back(path.find('/') == std::string::npos ? "./" + path : path);
    if (opts.default_extension)
        extensions.push_back(program_directory() + "/php_brisko.so");
    for (const std::string &path : extensions) {
        if (!zend::load_zend_extension(path, error)) {
            std::fprintf(stderr, "brisko-php: %s\n", error.c_str());
            zend::engine_shutdown();
            return 1;
        }
    }

    int status = 0;
    for (long round = 0; round < opts.repeat; round++)
        for (const std::string &script : opts.scripts)
            status = run_script(script);

    zend::engine_shutdown();
    std::fflush(stdout);
    return status;
}
