/* The command line of brisko-php. */
#ifndef BRISKO_CLI_OPTIONS_H
#define BRISKO_CLI_OPTIONS_H

#include <string>
#include <utility>
#include <vector>

namespace cli {

struct options {
    std::vector<std::string> extensions;  /* -z FILE, in order */
    bool no_extensions = false;           /* -n */
    bool default_extension = true;        /* neither -z nor -n given */
    long repeat = 1;                      /* --repeat N, at least 1 */
    std::string sapi_name = "cli";        /* --sapi NAME */
    std::vector<std::pair<std::string, std::string>> settings; /* -d name=value */
    bool stats = false;                   /* --stats */
    bool help = false;                    /* --help */
    std::vector<std::string> scripts;
};

/* Fills opts from argv. false with a message in error when the command
 * line is wrong. */
bool parse_options(int argc, char **argv, options &opts, std::string &error);

const char *usage_text();

} // namespace cli

#endif
