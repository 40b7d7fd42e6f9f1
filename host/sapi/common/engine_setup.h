/* What the programs that drive the engine share: "-d name=value" settings
 * and the Zend extensions to load. */
#ifndef BRISKO_SAPI_ENGINE_SETUP_H
#define BRISKO_SAPI_ENGINE_SETUP_H

#include <string>
#include <utility>
#include <vector>

namespace sapi {

/* The engine options of a command line (see command_line.h). */
struct engine_options {
    std::vector<std::string> extensions;  /* -z FILE, in order */
    bool no_extensions = false;           /* -n */
    std::vector<std::string> given;       /* -d NAME=VALUE as written, in order */
    std::vector<std::pair<std::string, std::string>> settings; /* the same split, by check_engine_options */
};

/* The directory of the running program. */
std::string program_directory();

/* Applies one "-d name=value" to the engine's settings: include_path,
 * error_reporting, html_errors, max_execution_time, register_globals.
 * false for a name the engine does not know or a value it cannot use. */
bool apply_setting(const std::string &name, const std::string &value);

/* The extension files to load: those given with -z, in order (a bare file
 * name is taken in the current directory, never searched for), else the
 * php_brisko.so beside the program unless none is wanted (-n). */
std::vector<std::string> extension_paths(const std::vector<std::string> &given, bool none);

/* Loads each as a Zend extension. false with a message naming the file
 * and the reason at the first that fails. */
bool load_extensions(const std::vector<std::string> &paths, std::string &error);

} // namespace sapi

#endif
