/* Errors and the request's end as scripts steer them: error handlers,
 * trigger_error, error_log, shutdown functions; the engine's calls into
 * script callables; and the "function(): message" form of warnings.
 *
 * The shutdown function list holds request-memory copies of the callables
 * and their arguments; it is emptied when it has run, and at request end
 * whatever happened. */
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "builtins.h"
#include "engine.h"
#include "executor/executor.h"

using namespace zend::builtins;

namespace {

std::string vformat(const char *format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0)
        return std::string();
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

/* "name(params): message", or with HTML errors the name linked to its
 * manual page, as the engine's library functions report. */
void raise(int type, const std::string &params, const std::string &message)
{
    std::string function = get_active_function_name();
    std::string origin = function + "(" + params + ")";
    std::string text;
    if (zend::settings.html_errors) {
        std::string page = "function." + function;
        for (char &c : page)
            if (c == '_')
                c = '-';
        text = origin + " [<a href='" + page + "'>" + page + "</a>]: " + message;
    } else {
        text = origin + ": " + message;
    }
    zend_error(type, "%s", text.c_str());
}

struct shutdown_call {
    zval *callable;
    std::vector<zval *> args;
};

std::vector<shutdown_call> shutdown_calls;

void drop_shutdown_calls()
{
    for (shutdown_call &call : shutdown_calls) {
        zval_ptr_dtor(&call.callable);
        for (zval *&arg : call.args)
            zval_ptr_dtor(&arg);
    }
    shutdown_calls.clear();
}

} // namespace

namespace zend::builtins {

void function_error(int type, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    std::string message = vformat(format, args);
    va_end(args);
    raise(type, "", message);
}

void function_error_with(const std::string &params, int type, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    std::string message = vformat(format, args);
    va_end(args);
    raise(type, params, message);
}

} // namespace zend::builtins

namespace zend {

zval *call_user_callable(const zval *callable, int argc, zval **argv)
{
    return exec::call_function_value(callable, argc, argv);
}

bool user_callable_exists(const zval *callable, std::string *name)
{
    return exec::callable_exists(callable, name);
}

/* Functions registered while the list runs are run too, after the
 * others. exit in one of them ends the list. */
void run_shutdown_functions()
{
    struct cleanup {
        ~cleanup() { drop_shutdown_calls(); }
    } guard;
    for (std::size_t i = 0; i < shutdown_calls.size(); i++) {
        zval *callable = shutdown_calls[i].callable;
        std::vector<zval *> args = shutdown_calls[i].args;
        std::string name;
        if (!user_callable_exists(callable, &name)) {
            zend_error(E_WARNING, "(Registered shutdown functions) Unable to call %s() - function does not exist",
                       name.c_str());
            continue;
        }
        zval *result = call_user_callable(callable, static_cast<int>(args.size()), args.data());
        if (result)
            zval_ptr_dtor(&result);
    }
}

} // namespace zend

/* set_error_handler(callback): the previous handler, or null. */
ZEND_FUNCTION(set_error_handler)
{
    zval *handler;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &handler))
        return;
    std::string name;
    if (!zend::user_callable_exists(handler, &name)) {
        zend_error(E_WARNING, "%s() expects the argument (%s) to be a valid callback", get_active_function_name(),
                   name.empty() ? "unknown" : name.c_str());
        return;
    }
    zval *previous = zend::set_user_error_handler(handler);
    if (previous) {
        *return_value = *previous;
        zval_copy_ctor(return_value);
        zval_ptr_dtor(&previous);
    }
}

ZEND_FUNCTION(restore_error_handler)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    zend::restore_user_error_handler();
    RETURN_TRUE;
}

/* trigger_error(message [, type]): E_USER_NOTICE unless told. */
ZEND_FUNCTION(trigger_error)
{
    std::string message;
    long given_type = E_USER_NOTICE;
    if (!parse_args(ZEND_NUM_ARGS(), "s|l", &message, &given_type))
        return;
    int type = static_cast<int>(given_type);
    if (ZEND_NUM_ARGS() == 2 && type != E_USER_ERROR && type != E_USER_WARNING && type != E_USER_NOTICE) {
        zend_error(E_WARNING, "Invalid error type specified");
        RETURN_FALSE;
    }
    /* the message ends at a NUL byte, as the engine formats it */
    zend_error(type, "%s", message.c_str());
    RETURN_TRUE;
}

/* error_log(message [, type [, destination [, headers]]]): type 0 to the
 * error_log setting's file or the server's log, 3 appended to the file
 * destination; mail (1) and the debugging connection (2) do not exist
 * here. */
ZEND_FUNCTION(error_log)
{
    std::string message, path;
    long type = 0;
    zval *headers; /* for mail, which does not exist here */
    if (!parse_args(ZEND_NUM_ARGS(), "s|lsz", &message, &type, &path, &headers))
        return;
    message.resize(message.find('\0') == std::string::npos ? message.size() : message.find('\0'));
    switch (type) {
    case 1:
        function_error(E_WARNING, "Mail option not available!");
        RETURN_FALSE;
    case 2:
        function_error(E_WARNING, "TCP/IP option not available!");
        RETURN_FALSE;
    case 3: {
        if (path.find('\0') != std::string::npos) {
            function_error(E_WARNING, "Path must not contain NUL bytes");
            RETURN_FALSE;
        }
        FILE *fp = std::fopen(path.c_str(), "ab");
        if (!fp) {
            function_error_with(path, E_WARNING, "failed to open stream: %s", std::strerror(errno));
            RETURN_FALSE;
        }
        std::fwrite(message.data(), 1, message.size(), fp);
        std::fclose(fp);
        RETURN_TRUE;
    }
    default:
        break;
    }
    const std::string &file = zend::settings.error_log;
    if (!file.empty()) {
        if (FILE *fp = std::fopen(file.c_str(), "a")) {
            char stamp[64];
            std::time_t now = std::time(nullptr);
            struct tm parts;
            std::strftime(stamp, sizeof stamp, "%d-%b-%Y %H:%M:%S", localtime_r(&now, &parts));
            std::fprintf(fp, "[%s] %s\n", stamp, message.c_str());
            std::fclose(fp);
            RETURN_TRUE;
        }
    }
    zend::log_message(message.c_str());
    RETURN_TRUE;
}

/* register_shutdown_function(callback [, args...]) */
ZEND_FUNCTION(register_shutdown_function)
{
    zval *callable;
    std::vector<zval **> args;
    if (!parse_args(ZEND_NUM_ARGS(), "z*", &callable, &args))
        return;
    bool named = callable->type == IS_STRING ||
                 (callable->type == IS_ARRAY && zend_hash_num_elements(callable->value.ht) == 2);
    if (!named) {
        std::string text = callable->type == IS_ARRAY ? "Array" : to_string(callable);
        function_error(E_WARNING, "Invalid shutdown callback '%s' passed", text.c_str());
        RETURN_FALSE;
    }
    shutdown_call call{copy_of(callable), {}};
    for (zval **arg : args)
        call.args.push_back(copy_of(*arg));

    shutdown_calls.push_back(std::move(call));
}
