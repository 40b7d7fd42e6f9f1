/* The command lines of brisko-php and brisko-httpd, both read with CLI11:
 * the engine options they share (-z, -n, -d), the layout of their help
 * text, and the way a wrong command line is reported ("PROGRAM: message",
 * then the help, on standard error, status 1). */
#ifndef BRISKO_SAPI_COMMAND_LINE_H
#define BRISKO_SAPI_COMMAND_LINE_H

#include <string>

#include <CLI/CLI.hpp>

#include "engine_setup.h"

namespace sapi {

/* Adds -z FILE (repeatable), -n and -d NAME=VALUE (repeatable) to app.
 * setting_help describes -d for this program. */
void add_engine_options(CLI::App &app, engine_options &opts, const std::string &setting_help);

/* After parsing: splits the settings at their first "="; false with a
 * message for one without a name and "=", or for -n together with -z. */
bool check_engine_options(engine_options &opts, std::string &error);

/* Parses argv with app. Before, it gives app the common layout of help
 * text ("Usage: PROGRAM " followed by usage, the app's description, then
 * one line per option with its value's type name, its description and its
 * default when the option shows one), adds -h/--help as the last option,
 * and lets a later value of a single-valued option override an earlier
 * one. false when the program ends here with status: 0 after --help (the
 * help on standard output), 1 after a wrong command line (reported as
 * command_line_error does). */
bool parse_command_line(CLI::App &app, const std::string &usage, int argc, char **argv, int &status);

/* Reports a wrong command line: "PROGRAM: message" and the help on
 * standard error. Returns the exit status, 1. */
int command_line_error(const CLI::App &app, const std::string &message);

} // namespace sapi

#endif
