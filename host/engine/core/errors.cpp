/* Error reporting: formats, filters, prints and, for fatal levels, ends the
 * request by throwing zend::bailout to whoever brackets the request. A
 * script's error handler takes the errors it may see (warnings, notices,
 * E_USER_*) instead, whatever error_reporting and "@" say: it is the
 * handler's business to ask error_reporting(). */
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "core/operators.h"
#include "engine.h"

namespace zend {

int silence_depth = 0;
int silence_outer_level = 0;

namespace {

error_observer observer = nullptr;
int request_exit_status = 0;

zval *current_handler = nullptr;     /* request memory, or null */
std::vector<zval *> earlier_handlers; /* replaced ones, oldest first; may hold null */

void default_log_sink(const char *message) {
    std::fprintf(stderr, "%s\n", message);
    std::fflush(stderr);
}
log_sink log_to = default_log_sink;

zval *copy_zval(const zval *src) {
    zval *z;
    ALLOC_ZVAL(z);
    *z = *src;
    zval_copy_ctor(z);
    INIT_PZVAL(z);
    return z;
}

zval *new_zval_long(long v) {
    zval *z;
    ALLOC_ZVAL(z);
    INIT_PZVAL(z);
    z->type = IS_LONG;
    z->value.lval = v;
    return z;
}

zval *new_zval_string(const std::string &s) {
    zval *z;
    ALLOC_ZVAL(z);
    INIT_PZVAL(z);
    z->type = IS_STRING;
    z->value.str.len = (int)s.size();
    z->value.str.val = s.empty() ? empty_string : estrndup(s.data(), (uint)s.size());
    return z;
}

/* The variables of the scope the error happened in, as an array copy. */
zval *context_array() {
    zval *z;
    ALLOC_ZVAL(z);
    INIT_PZVAL(z);
    array_init(z);
    if (HashTable *scope = EG(active_symbol_table)) {
        zval *tmp;
        zend_hash_copy(z->value.ht, scope, (copy_ctor_func_t)zval_add_ref, &tmp, sizeof(zval *));
    }
    return z;
}

bool user_handles(int type) {
    switch (type) {
    case E_ERROR: case E_PARSE: case E_CORE_ERROR: case E_CORE_WARNING: case E_COMPILE_ERROR: case E_COMPILE_WARNING:
        return false; /* not safe to hand to script code */
    default:
        return current_handler != nullptr;
    }
}

/* Calls the script's handler with (errno, errstr, errfile, errline,
 * errcontext). The handler is out of place while it runs, so errors it
 * raises itself are shown the ordinary way. false when it could not be
 * called. */
bool call_user_handler(int type, const std::string &message) {
    zval *handler = current_handler;
    current_handler = nullptr;
    const char *file = current_filename();
    zval *argv[5] = {new_zval_long(type), new_zval_string(message), new_zval_string(file ? file : "Unknown"),
                     new_zval_long(current_lineno()), context_array()};
    struct restore {
        zval *handler;
        zval **argv;
        ~restore() {
            /* a handler that installed another keeps it */
            if (current_handler) zval_ptr_dtor(&handler);
            else current_handler = handler;
            for (int i = 0; i < 5; i++) zval_ptr_dtor(&argv[i]);
        }
    } guard{handler, argv};
    zval *result = call_user_callable(handler, 5, argv);
    if (!result) return false;
    zval_ptr_dtor(&result);
    return true;
}

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

zval *user_error_handler() { return current_handler; }

zval *set_user_error_handler(const zval *handler) {
    zval *previous = current_handler ? copy_zval(current_handler) : nullptr;
    earlier_handlers.push_back(current_handler);
    current_handler = copy_zval(handler);
    return previous;
}

void restore_user_error_handler() {
    if (current_handler) zval_ptr_dtor(&current_handler);
    current_handler = nullptr;
    if (!earlier_handlers.empty()) {
        current_handler = earlier_handlers.back();
        earlier_handlers.pop_back();
    }
}

void drop_user_error_handlers() {
    if (current_handler) zval_ptr_dtor(&current_handler);
    current_handler = nullptr;
    for (zval *&z : earlier_handlers)
        if (z) zval_ptr_dtor(&z);
    earlier_handlers.clear();
}

void set_log_sink(log_sink sink) { log_to = sink ? sink : default_log_sink; }

void log_message(const char *message) { log_to(message ? message : ""); }

/* Inside "@" the level is 0; a fatal error there is judged by the level
 * outside it. */
bool error_reported(int type) {
    int level = is_fatal(type) && silence_depth > 0 ? silence_outer_level : settings.error_reporting;
    return (type & level) != 0;
}

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

    if (zend::user_handles(type) && zend::request_active() && zend::call_user_handler(type, message)) return;

    bool fatal = zend::is_fatal(type);
    bool shown = zend::error_reported(type) && zend::settings.display_errors;
    if (shown) {
        std::string text = zend::format_error(type, message, zend::current_filename(), zend::current_lineno());
        if (fatal && zend::in_output_handler()) {
            /* the handler's output is dropped; this must still be seen */
            zend::abandon_output_levels();
            zend::output_buffer().append(text);
        } else {
            zend_write(text.data(), (uint)text.size());
        }
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
