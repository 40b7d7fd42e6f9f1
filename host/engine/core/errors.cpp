/* Error reporting: formats, filters, prints and, for fatal levels, ends the
 * request by throwing zend::bailout to whoever brackets the request. */
#include <cstdarg>
#include <cstdio>
#include <string>

#include "engine.h"
#include "engine_testing.h"

namespace zend {

int silence_depth = 0;
int silence_outer_level = 0;

namespace {

error_observer observer = nullptr;
int request_exit_status = 0;

void unknown_position(const char **filename, int *lineno) {
    *filename = nullptr;
    *lineno = 0;
}
position_fn position_provider = unknown_position;

bool is_fatal(int type) {
    return type & (E_ERROR | E_CORE_ERROR | E_COMPILE_ERROR | E_USER_ERROR);
}

const char *label_of(int type) {
    switch (type) {
    case E_ERROR: case E_CORE_ERROR: case E_COMPILE_ERROR: case E_USER_ERROR: return "Fatal error";
    case E_WARNING: case E_CORE_WARNING: case E_COMPILE_WARNING: case E_USER_WARNING: return "Warning";
    case E_NOTICE: case E_USER_NOTICE: return "Notice";
    case E_PARSE: return "Parse error";
    default: return "Unknown error";
    }
}

std::string format_message(const char *format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    char small[512];
    int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0) return std::string(format);
    if ((std::size_t)n < sizeof small) return std::string(small, (std::size_t)n);
    std::string big((std::size_t)n + 1, '\0');
    std::vsnprintf(big.data(), big.size(), format, args);
    big.resize((std::size_t)n);
    return big;
}

} // namespace

position_fn set_position_provider(position_fn provider) {
    position_fn previous = position_provider;
    position_provider = provider ? provider : unknown_position;
    return previous == unknown_position ? nullptr : previous;
}

const char *current_filename() {
    const char *filename = nullptr;
    int lineno = 0;
    position_provider(&filename, &lineno);
    return filename ? filename : "Unknown";
}

int current_lineno() {
    const char *filename = nullptr;
    int lineno = 0;
    position_provider(&filename, &lineno);
    return filename ? lineno : 0;
}

void set_error_observer(error_observer o) { observer = o; }

void set_exit_status(int status) { request_exit_status = status; }
int exit_status() { return request_exit_status; }

std::string format_error(int type, const std::string &message, const char *filename, int lineno) {
    char line[32];
    std::snprintf(line, sizeof line, "%d", lineno);
    if (settings.html_errors)
        return std::string("<br />\n<b>") + label_of(type) + "</b>:  " + message + " in <b>" + filename +
               "</b> on line <b>" + line + "</b><br />\n";
    return std::string("\n") + label_of(type) + ": " + message + " in " + filename + " on line " + line + "\n";
}

} // namespace zend

extern "C" {

ZEND_API void zend_error(int type, const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = zend::format_message(format ? format : "", args);
    va_end(args);

    if (zend::observer) zend::observer(type, message.c_str());

    bool fatal = zend::is_fatal(type);
    int level = fatal && zend::silence_depth > 0 ? zend::silence_outer_level : zend::settings.error_reporting;
    bool shown = (type & level) != 0;
    if (shown) {
        std::string text = zend::format_error(type, message, zend::current_filename(), zend::current_lineno());
        zend_write(text.data(), (uint)text.size());
        if (!zend::request_active()) zend::flush_output();
    }
    if (fatal) {
        zend::counters.fatal_errors++;
        zend::set_exit_status(255);
        zend_bailout();
    }
}

ZEND_API void zend_bailout(void) { throw zend::bailout{}; }

} // extern "C"

namespace zend {
error_observer current_error_observer() { return observer; }
} // namespace zend
