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
#include "engine_setup.h"
#include "options.h"

namespace {

bool print_stats = false;

void stats_at_exit()
{
    if (print_stats)
        std::fprintf(stderr, "compilations=%lu\nrequests=%lu\n", zend::counters.compilations,
                     zend::counters.requests);
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
    int exit_status = 0;
    if (!cli::parse_options(argc, argv, opts, exit_status))
        return exit_status;

    static std::string sapi_name = opts.sapi_name; /* sapi_module keeps the pointer */
    sapi_module.name = sapi_name.c_str();
    zend::settings.max_execution_time = 0; /* the command line has no time limit unless asked */
    for (const auto &setting : opts.engine.settings)
        if (!sapi::apply_setting(setting.first, setting.second))
            std::fprintf(stderr, "brisko-php: setting %s=%s ignored\n", setting.first.c_str(),
                         setting.second.c_str());

    print_stats = opts.stats;
    std::atexit(stats_at_exit);

    if (!zend::engine_startup()) {
        std::fprintf(stderr, "brisko-php: the engine could not start\n");
        return 1;
    }
    std::string error;
    if (!sapi::load_extensions(sapi::extension_paths(opts.engine.extensions, opts.engine.no_extensions), error)) {
        std::fprintf(stderr, "brisko-php: %s\n", error.c_str());
        zend::engine_shutdown();
        return 1;
    }

    int status = 0;
    for (long round = 0; round < opts.repeat; round++)
        for (const std::string &script : opts.scripts)
            status = run_script(script);

    zend::engine_shutdown();
    std::fflush(stdout);
    return status;
}
