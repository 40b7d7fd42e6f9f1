/* The process and its environment as scripts see them: environment
 * variables, the system's name, the process id, the request's memory.
 *
 * putenv changes last for the request: the first change of a variable
 * records its value from before, and the module puts every recorded value
 * back at request end. */
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <string>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

struct saved_variable {
    bool existed;
    std::string value;
};

std::map<std::string, saved_variable> saved_environment;
zend::environment_source server_environment = nullptr;

} // namespace

void zend::set_environment_source(environment_source source)
{
    server_environment = source;
}

namespace zend::builtins {

void restore_environment()
{
    for (const auto &entry : saved_environment) {
        if (entry.second.existed)
            ::setenv(entry.first.c_str(), entry.second.value.c_str(), 1);
        else
            ::unsetenv(entry.first.c_str());
    }
    saved_environment.clear();
}

} // namespace zend::builtins

ZEND_FUNCTION(getenv)
{
    std::string name;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &name))
        return;
    if (name.find('\0') != std::string::npos)
        RETURN_FALSE;
    std::string from_server;
    if (server_environment && server_environment(name, from_server)) {
        return_string(return_value, from_server);
        return;
    }
    const char *value = std::getenv(name.c_str());
    if (!value)
        RETURN_FALSE;
    RETURN_STRING(value, 1);
}

/* putenv("NAME=value") sets a variable, putenv("NAME") removes it. */
ZEND_FUNCTION(putenv)
{
    std::string setting;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &setting))
        return;
    std::size_t eq = setting.find('=');
    std::string name = setting.substr(0, eq);
    if (name.empty() || setting.find('\0') != std::string::npos) {
        function_error(E_WARNING, "Invalid parameter syntax.");
        RETURN_FALSE;
    }
    if (!saved_environment.count(name)) {
        const char *old = std::getenv(name.c_str());
        saved_environment[name] = saved_variable{old != nullptr, old ? old : ""};
    }
    int r = eq == std::string::npos ? ::unsetenv(name.c_str())
                                    : ::setenv(name.c_str(), setting.c_str() + eq + 1, 1);
    RETURN_BOOL(r == 0);
}

/* php_uname([mode]): "a" for all of "s n r v m", or one of them. */
ZEND_FUNCTION(php_uname)
{
    std::string mode = "a";
    if (!parse_args(ZEND_NUM_ARGS(), "|s", &mode))
        return;

    struct utsname u;
    if (::uname(&u) != 0)
        RETURN_STRING("Linux", 1);
    switch (mode.empty() ? 'a' : mode[0]) {
    case 's': RETURN_STRING(u.sysname, 1);
    case 'n': RETURN_STRING(u.nodename, 1);
    case 'r': RETURN_STRING(u.release, 1);
    case 'v': RETURN_STRING(u.version, 1);
    case 'm': RETURN_STRING(u.machine, 1);
    default:
        return_string(return_value, std::string(u.sysname) + " " + u.nodename + " " + u.release + " " + u.version +
                                        " " + u.machine);
    }
}

ZEND_FUNCTION(getmypid)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    RETURN_LONG(static_cast<long>(::getpid()));
}

/* memory_get_usage(): the bytes the request holds of the engine's
 * per-request memory. */
ZEND_FUNCTION(memory_get_usage)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    RETURN_LONG(static_cast<long>(zend::request_memory_bytes()));
}

/* Request data and file reads reach scripts exactly as they came: the
 * engine never adds the backslashes of "magic quotes", so both settings
 * read as off. As in the original engine, arguments are not looked at. */
ZEND_FUNCTION(get_magic_quotes_gpc)
{
    RETURN_LONG(0);
}

ZEND_FUNCTION(get_magic_quotes_runtime)
{
    RETURN_LONG(0);
}
