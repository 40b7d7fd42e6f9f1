/* Command-line parsing for brisko-php. Options come before the scripts;
 * "--" ends them. Both "-d x=y" and "-dx=y", "--repeat 3" and
 * "--repeat=3" are accepted. */
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "options.h"

namespace cli {

namespace {

/* The value of an option that takes one: attached ("-dx", "--sapi=cgi")
 * or the next argument. */
bool option_value(int argc, char **argv, int &i, const std::string &attached, bool has_attached,
                  std::string &value, std::string &error)
{
    if (has_attached) {
        value = attached;
        return true;
    }
    if (i + 1 >= argc) {
        error = std::string("option ") + argv[i] + " needs a value";
        return false;
    }
    value = argv[++i];
    return true;
}

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

bool parse_options(int argc, char **argv, options &opts, std::string &error)
{
    int i = 1;
    for (; i < argc; i++) {
        std::string arg = argv[i];
        if (arg == "--") {
            i++;
            break;
        }
        if (arg.size() < 2 || arg[0] != '-')
            break;
        std::string name = arg, attached;
        bool has_attached = false;
        if (arg.compare(0, 2, "--") == 0) {
            std::size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                name = arg.substr(0, eq);
                attached = arg.substr(eq + 1);
                has_attached = true;
            }
        } else if (arg.size() > 2) {
            name = arg.substr(0, 2);
            attached = arg.substr(2);
            has_attached = true;
        }
        std::string value;
        if (name == "-h" || name == "--help") {
            opts.help = true;
        } else if (name == "-n" && !has_attached) {
            opts.no_extensions = true;
        } else if (name == "--stats" && !has_attached) {
            opts.stats = true;
        } else if (name == "-z") {
            if (!option_value(argc, argv, i, attached, has_attached, value, error))
                return false;
            opts.extensions.push_back(value);
        } else if (name == "--repeat") {
            if (!option_value(argc, argv, i, attached, has_attached, value, error))
                return false;
            if (!parse_count(value, opts.repeat)) {
                error = "--repeat needs a positive number, not \"" + value + "\"";
                return false;
            }
        } else if (name == "--sapi") {
            if (!option_value(argc, argv, i, attached, has_attached, value, error))
                return false;
            if (value.empty()) {
                error = "--sapi needs a name";
                return false;
            }
            opts.sapi_name = value;
        } else if (name == "-d") {
            if (!option_value(argc, argv, i, attached, has_attached, value, error))
                return false;
            std::size_t eq = value.find('=');
            if (eq == std::string::npos || eq == 0) {
                error = "-d needs name=value, not \"" + value + "\"";
                return false;
            }
            opts.settings.emplace_back(value.substr(0, eq), value.substr(eq + 1));
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    for (; i < argc; i++)
        opts.scripts.push_back(argv[i]);
    if (opts.no_extensions && !opts.extensions.empty()) {
        error = "-n and -z exclude each other";
        return false;
    }
    opts.default_extension = !opts.no_extensions && opts.extensions.empty();
    return true;
}

const char *usage_text()
{
    return "Usage: brisko-php [options] SCRIPT...\n"
           "Runs each SCRIPT as one request, in order, in one process.\n"
           "\n"
           "  -z FILE          load FILE as a Zend extension (repeatable) instead of\n"
           "                   the php_brisko.so beside this program\n"
           "  -n               load no extension\n"
           "  --repeat N       run the list of scripts N times\n"
           "  --sapi NAME      server interface name (default \"cli\")\n"
           "  -d NAME=VALUE    set include_path, error_reporting, html_errors,\n"
           "                   max_execution_time or register_globals\n"
           "  --stats          print the engine's counters on standard error at exit\n"
           "  --help           show this text\n";
}

} // namespace cli
