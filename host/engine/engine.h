/* The engine's inside, as its programs, its parts and its tests see it.
 * Extensions never include this: they see the engine only through
 * host/include/. */
#ifndef BRISKO_ENGINE_H
#define BRISKO_ENGINE_H

#include <csignal>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "php.h"

namespace zend {

/* Thrown by zend_bailout(): a fatal error or exit ends the request. Caught
 * only where a request (or a test call) ends. */
struct bailout {};

struct counters_t {
    unsigned long compilations = 0; /* times the engine's own compiler ran */
    unsigned long requests = 0;     /* requests started */
    unsigned long fatal_errors = 0;
    unsigned long compilations_at_request_start = 0; /* compilations when this request began */
};
extern counters_t counters;

struct settings_t {
    std::string include_path = ".";
    int error_reporting = E_ALL & ~E_NOTICE;
    bool html_errors = false;
    bool display_errors = true;
    int precision = 14;              /* significant digits of printed floats */
    long max_execution_time = 0;     /* seconds a request's script may run; 0: no limit.
                                        The web server sets 30, the command line 0 */
    std::string error_log;           /* error_log()'s file; empty: the log sink */
    bool register_globals = false;   /* request variables also as plain globals */
    long upload_max_filesize = 2L << 20; /* bytes of one uploaded file; larger ones are not kept */
    std::string upload_tmp_dir;      /* where uploads are saved; empty: $TMPDIR, else /tmp */
};
extern settings_t settings;
/* The settings as the current request found them; they are put back when it
 * ends, so a script's changes last one request. */
const settings_t &request_start_settings();

/* Sets a setting by its ini name from text ("1", "On", "14"...), as a
 * program's configuration does between requests; false for a name the
 * engine does not have. Scripts' own changes last for their request. */
bool configure_setting(const std::string &name, const std::string &value);

/* A size in bytes as configurations write it: "2097152", "512K", "2M",
 * "1G". False (out unchanged) for anything else. */
bool parse_byte_size(const std::string &text, long &out);

/* getenv() asks the serving program first (a web server answers with the
 * request's variables, REMOTE_ADDR and the like), then the process
 * environment. The source returns false when it has no such variable. */
using environment_source = bool (*)(const std::string &name, std::string &value);
void set_environment_source(environment_source source);

/* Lifecycle. engine_startup makes the function and class tables and
 * registers the built-in functions; request_startup/request_shutdown
 * bracket one request and run every module's request hooks;
 * engine_shutdown runs every module's and Zend extension's shut-down. */
bool engine_startup();
void engine_shutdown();
void request_startup();
/* Delivers the request's output through the output sink, then runs the
 * modules' request shut-down hooks, destroys user functions and classes
 * and releases all request memory. */
void request_shutdown();
bool request_active();

/* The program's side of a request: what it knows of the request it serves
 * and the response the script builds (the server interface of the original
 * engine, SAPI). The command-line runner has neither. */

struct request_info {
    std::string method;         /* "GET" */
    std::string query_string;   /* undecoded, without "?" */
    std::string cookie_data;    /* the Cookie header */
    std::string content_type;
    std::string post_data;      /* the request body */
    std::vector<std::pair<std::string, std::string>> server; /* $_SERVER, in order */
};

/* Makes $_GET, $_POST, $_COOKIE, $_SERVER, $_ENV and $_REQUEST with their
 * long forms ($HTTP_GET_VARS ...) in the global symbol table, by the
 * engine's rules for names ("a[]", "b[x][y]"); with register_globals the
 * variables themselves too. Between request_startup and the script. */
void register_request_variables(const request_info &info);

/* The temporary files of this request's form uploads: is_uploaded_file
 * knows them, move_uploaded_file forgets the one it moves, and the end of
 * the request removes the rest. */
bool is_uploaded_file(const std::string &path);
bool is_uploaded_file_pending(); /* any upload not yet moved or removed */
void forget_uploaded_file(const std::string &path);
void remove_uploaded_files();

/* The response headers of the running request, as header() and
 * setcookie() leave them; reset at every request start. */
struct response_headers {
    int status = 200;
    std::string status_line;        /* "HTTP/1.0 404 Not Found" when a script gave one */
    std::vector<std::string> lines; /* "Name: value", in order */
};
response_headers &response();
void reset_response(); /* request_startup: status 200, no headers */
/* header(line, replace, status): a status line sets the status; Location
 * makes a 302 unless a redirect status is set; a header replaces those of
 * its name unless replace is false. Refuses (warning, false) a line with a
 * line break or a NUL byte. */
bool add_response_header(std::string line, bool replace, long status);

/* Runs inside request_shutdown once the request's output is complete:
 * after the last flush, before any end hook, so that the program can
 * deliver the whole response before a hook ends the process. */
using response_writer = void (*)();
void set_response_writer(response_writer writer);

/* The running request's time limit (max_execution_time). A wall-clock
 * timer sets time_limit_expired; the executor checks it before every op
 * and calls time_limit_exceeded, which ends the request with a fatal
 * error. A call that does not return to the executor in time ends the
 * process. request_startup starts the limit, request_shutdown stops it. */
extern volatile std::sig_atomic_t time_limit_expired;
void start_time_limit(long seconds); /* from now; 0: none */
void stop_time_limit();
void time_limit_exceeded();

/* URL decoding as request variables use it: "+" is a space, "%XX" a byte. */
std::string url_decode(const std::string &text);

/* text without the white space (isspace) at either end. */
std::string_view trim_space(std::string_view text);

/* Loads a Zend extension from a shared object: looks up
 * extension_version_info and zend_extension_entry, checks the API number
 * and calls the extension's start-up. On failure returns false and sets
 * error to a message that names the file and the reason. */
bool load_zend_extension(const std::string &path, std::string &error);

/* Registered modules, in registration order (the engine's own first). */
const std::vector<zend_module_entry *> &modules();

/* Output. zend_write appends to the innermost output buffering level, or
 * else to the request's buffer; the sink receives the buffer at request
 * end (and on flush). Default sink: stdout. */
using output_sink = void (*)(const char *data, std::size_t length);
void set_output_sink(output_sink sink);
std::string &output_buffer();
void flush_output();

/* Output buffering levels (ob_start and its kin), innermost last. A
 * level's handler, a script callable, gets the text and the
 * OUTPUT_HANDLER_* flags and returns the text to pass on (false: the text
 * unchanged). */
enum { OUTPUT_HANDLER_START = 1, OUTPUT_HANDLER_CONT = 2, OUTPUT_HANDLER_END = 4 };
struct output_level {
    std::string text;
    zval *handler = nullptr;    /* request-memory copy of the callable, or null */
    std::string name;           /* as ob_list_handlers shows it */
    std::size_t chunk_size = 0; /* flush once the text reaches it; 0: never */
    bool erase = true;          /* the script may clean or end the level */
    int status = 0;             /* flags of the handler calls so far */
};
void start_output_level(zval *handler, const std::string &name, std::size_t chunk_size, bool erase);
/* Ends the innermost level, or with just_flush empties it; its text, passed
 * through the handler, goes to the level below when send is set. */
void end_output_level(bool send, bool just_flush);
std::vector<output_level> &output_levels();
bool in_output_handler();
/* Flush the request's output after every write outside any level. */
void set_implicit_flush(bool on);
/* Request end: every level ended and sent, innermost first; then, after
 * a failure, whatever is left dropped without output. */
void end_output_buffers();
void discard_output_buffers();
/* A fatal error inside a handler: every level goes, unsent. */
void abandon_output_levels();

/* The server's error log: error_log() without a file of its own writes
 * the message here. Default: the message and a newline on stderr. */
using log_sink = void (*)(const char *message);
void set_log_sink(log_sink sink);
void log_message(const char *message);

/* Errors raised through zend_error, as (type, message) pairs, are also
 * handed to this observer when set (tests use it). */
using error_observer = void (*)(int type, const char *message);
void set_error_observer(error_observer observer);
error_observer current_error_observer();

/* The script's error handler (set_error_handler): warnings, notices and
 * E_USER_* errors go to it instead of being shown, whatever the
 * error_reporting level; E_USER_ERROR then does not end the request. The
 * handlers it replaced are kept for restore_user_error_handler. All are
 * request-memory copies, dropped at request end. */
zval *user_error_handler();
/* Installs a copy of handler; returns the previous one (a fresh copy for
 * the caller) or nullptr. */
zval *set_user_error_handler(const zval *handler);
void restore_user_error_handler();
void drop_user_error_handlers();

/* Script callables, for the engine's parts that call back into scripts
 * (error and output handlers, shutdown functions): argv is passed by
 * value; the counted result, or nullptr when the value names nothing
 * callable. */
zval *call_user_callable(const zval *callable, int argc, zval **argv);
bool user_callable_exists(const zval *callable, std::string *name);

/* Request end, before the output goes out: the functions the script
 * registered with register_shutdown_function, in order. */
void run_shutdown_functions();

/* Where the running script is, for error messages. */
const char *current_filename();
int current_lineno();

/* Runs a script file as the body of the current request: compiles it
 * through zend_compile_file, runs it, destroys it. Returns the request's
 * exit status: the value given to exit, 255 after a fatal error, else 0. */
int execute_script(const char *filename);
/* The request's exit status so far. */
int exit_status();
/* Records the request's exit status (exit/die; fatal errors set 255).
 * request_startup resets it to 0. */
void set_exit_status(int status);

/* Depth of "@" operators being evaluated. "@" sets error_reporting to 0
 * for the expression it silences, so warnings and notices are not printed
 * (the error observer still sees them); fatal errors are printed by the
 * level that was set before the outermost "@" (silence_outer_level). The
 * executor raises and lowers the depth; a request that ends inside "@"
 * gets that level back, and request_startup resets the depth to 0. */
extern int silence_depth;
extern int silence_outer_level;
/* Whether an error of this type is reported at the current level. */
bool error_reported(int type);

/* Request memory accounting: blocks and bytes handed out by the
 * per-request allocator and not yet given back. */
std::size_t request_memory_blocks();
std::size_t request_memory_bytes();

/* Opens a file by the engine's rules: as given when absolute or when it
 * exists relative to the current directory, else along include_path.
 * Fills the handle (filename, opened_path, fp). false when not found. */
bool open_file_for_include(const char *filename, zend_file_handle *handle);

} // namespace zend

namespace zend {

/* The arguments of the internal function being called: count slots that
 * stay in place for the whole call. zend_get_parameters_ex hands out
 * pointers to these slots, so a conversion that separates a value
 * replaces the slot's pointer. Set by whoever calls an internal function
 * (the executor, the testing facility), restored afterwards. */
struct internal_call {
    zval **args = nullptr;
    int count = 0;
    const char *function_name = nullptr;
};
extern internal_call current_call;

/* Where errors say they happened. The compiler installs its provider while
 * it compiles, the executor while it runs. */
using position_fn = void (*)(const char **filename, int *lineno);
position_fn set_position_provider(position_fn provider);

/* Constants: define(), built-in ones (E_WARNING, PHP_VERSION, ...). Names
 * are case-sensitive unless registered case-insensitive. */
bool register_constant(const char *name, std::size_t length, const zval *value, bool case_insensitive,
                       bool persistent);
bool register_constant(const char *name, const zval *value, bool case_insensitive, bool persistent);
bool get_constant(const char *name, std::size_t length, zval *result); /* result is a copy */

/* Compiles code given to eval() (it starts inside the PHP tags); errors
 * in it name `description` as their file ("FILE(N) : eval()'d code"). A
 * syntax error is reported as a parse error and gives null. */
zend_op_array *compile_string(const std::string &code, const char *description);
/* The number the engine's compiler gives the first line of the next file
 * it compiles (2 when the runner skipped a "#!" line); reset to 1 by that
 * compilation. */
extern int compile_first_line;

/* How a function takes argument `index` (0-based) by its arg_types:
 * BYREF_NONE, BYREF_FORCE (a variable is required) or BYREF_ALLOW (by
 * reference when the argument is a variable, by value otherwise). */
int argument_passing(const zend_uchar *arg_types, int index);

/* The built-in functions module; the engine registers it at start-up. */
zend_module_entry *builtin_module();

/* The executor's part of request end: destroys what the request's scripts
 * made (symbol tables, statics, included-files list). */
void executor_request_startup();
void executor_request_shutdown();
/* The files the request has run, main script first, each once, in the
 * order of their first inclusion (get_included_files). */
const std::vector<std::string> &included_files();
/* An op array's ops are about to be freed: what the executor prepared for
 * them goes, so that code allocated at the same address later is prepared
 * afresh. */
void executor_forget_code(const zend_op_array *op_array);

} // namespace zend

#endif
