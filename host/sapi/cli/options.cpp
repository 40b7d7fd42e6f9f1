/* Command-line parsing for brisko-php, through CLI11. Options come before
 * the scripts: the first script, or "--", ends them, and every argument
 * after it is a script, even one whose name starts with "-". Values may be
 * attached ("-dx=y", "--repeat=3") or follow ("-d x=y", "--repeat 3"). */
#include <cerrno>
#include <cstdlib>

#include "command_line.h"
#include "options.h"

namespace cli {

namespace {

bool parse_count(const std::string &text, long &out)
{
    if (text.empty())
        return false;
    char *end = nullptr;
    errno = 0;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < 1)
        return false;
    out = v;
    return true;
}

} // namespace

bool parse_options(int argc, char **argv, options &opts, int &status)
{
    CLI::App app{"Runs each SCRIPT as one request, in order, in one process.", "brisko-php"};
    sapi::add_engine_options(app, opts.engine,
                             "set include_path, error_reporting, html_errors,\n"
                             "max_execution_time or register_globals (repeatable)");
    std::string repeat = "1";
    app.add_option("--repeat", repeat, "run the list of scripts N times")->type_name("N");
    app.add_option("--sapi", opts.sapi_name, "server interface name")->type_name("NAME")->capture_default_str();
    app.add_flag("--stats", opts.stats, "print the engine's counters on standard error at exit");
    app.add_option("scripts", opts.scripts, "the scripts, each run as one request");
    app.positionals_at_end();
    if (!sapi::parse_command_line(app, "[options] SCRIPT...", argc, argv, status))
        return false;

    std::string error;
    if (!parse_count(repeat, opts.repeat))
        error = "--repeat needs a positive number, not \"" + repeat + "\"";
    else if (opts.sapi_name.empty())
        error = "--sapi needs a name";
    else if (!sapi::check_engine_options(opts.engine, error))
        ;
    else if (opts.scripts.empty())
        error = "no script given";
    if (error.empty())
        return true;
    status = sapi::command_line_error(app, error);
    return false;
}

} // namespace cli
