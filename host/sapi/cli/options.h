/* The command line of brisko-php. */
#ifndef BRISKO_CLI_OPTIONS_H
#define BRISKO_CLI_OPTIONS_H

#include <string>
#include <vector>

#include "engine_setup.h"

namespace cli {

struct options {
    sapi::engine_options engine;          /* -z FILE, -n, -d name=value */
    long repeat = 1;                      /* --repeat N, at least 1 */
    std::string sapi_name = "cli";        /* --sapi NAME */
    bool stats = false;                   /* --stats */
    std::vector<std::string> scripts;     /* at least one */
};

/* Fills opts from argv. false when the program ends here with status:
 * after --help, or after a wrong command line (reported on standard
 * error with the help text). */
bool parse_options(int argc, char **argv, options &opts, int &status);

} // namespace cli

#endif
