/* Built-ins about the engine itself: constants, error reporting,
 * settings, versions, the information page. Settings a script changes
 * hold for the rest of its request only. */
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "builtins.h"
#include "session.h"
#include "engine.h"

using zend::builtins::parse_args;
using zend::builtins::lowercase;
using zend::builtins::to_string;

namespace {

/* The names of the constants the engine knows, in the order they were
 * defined: get_defined_constants() lists them so. The constants table
 * itself is unordered; this log names what it holds. Names of a
 * request's own constants go at its end, as the constants do. */
struct constant_log {
    std::vector<std::string> persistent;
    std::vector<std::string> request;
};

constant_log &defined_names()
{
    static constant_log log;
    return log;
}

} // namespace

namespace zend::builtins {

bool define_constant(std::string_view name, const zval *value, bool case_insensitive, bool persistent)
{
    if (!zend::register_constant(name.data(), name.size(), value, case_insensitive, persistent))
        return false;
    constant_log &log = defined_names();
    (persistent ? log.persistent : log.request).emplace_back(name);
    return true;
}

void forget_request_constants()
{
    defined_names().request.clear();
}

std::size_t noted_constant_names()
{
    return defined_names().persistent.size() + defined_names().request.size();
}

void forget_all_constants()
{
    defined_names().persistent.clear();
    defined_names().request.clear();
}

} // namespace zend::builtins

/* get_defined_constants(): every constant by name, in the order defined. */
ZEND_FUNCTION(get_defined_constants)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    array_init(return_value);
    const constant_log &log = defined_names();
    for (const auto *names : {&log.persistent, &log.request})
        for (const std::string &name : *names) {
            zval *value;
            ALLOC_ZVAL(value);
            INIT_PZVAL(value);
            if (!zend::get_constant(name.data(), name.size(), value)) {
                FREE_ZVAL(value);
                continue;
            }
            zend::builtins::array_put(return_value->value.ht, name, value);
        }
}

/* define(name, value [, case_insensitive]) */
ZEND_FUNCTION(define)
{
    std::string name;
    zval *value;
    bool ci = false;
    if (!parse_args(ZEND_NUM_ARGS(), "sz|b", &name, &value, &ci))
        return;
    switch (value->type) {
    case IS_LONG:
    case IS_DOUBLE:
    case IS_STRING:
    case IS_BOOL:
    case IS_NULL:
        break;
    default:
        zend_error(E_WARNING, "Constants may only evaluate to scalar values");
        RETURN_FALSE;
    }
    if (!zend::builtins::define_constant(name, value, ci, false)) {
        zend_error(E_NOTICE, "Constant %s already defined", name.c_str());
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

ZEND_FUNCTION(defined)
{
    std::string name;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &name))
        return;
    zval tmp;
    if (zend::get_constant(name.c_str(), name.size(), &tmp)) {
        zval_dtor(&tmp);
        RETURN_TRUE;
    }
    RETURN_FALSE;
}

ZEND_FUNCTION(constant)
{
    std::string name;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &name))
        return;
    if (!zend::get_constant(name.c_str(), name.size(), return_value)) {
        zend_error(E_WARNING, "Couldn't find constant %s", name.c_str());
        RETURN_NULL();
    }
}

/* error_reporting([level]): returns the old level. */
ZEND_FUNCTION(error_reporting)
{
    long level = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "|l", &level))
        return;
    long old = zend::settings.error_reporting;
    if (ZEND_NUM_ARGS() == 1)
        zend::builtins::change_setting("error_reporting", std::to_string(level));
    RETURN_LONG(old);
}

namespace {

/* The settings a script may read and change. A value reads back as the
 * text it was set with; one the script did not set reads as the setting's
 * own value. The engine puts every setting back at request end. */
struct setting {
    const char *name;
    std::string (*get)();
    void (*set)(const std::string &);
};


bool as_bool(const std::string &v)
{
    std::string l = lowercase(v);
    return l == "on" || l == "yes" || l == "true" || std::atol(v.c_str()) != 0;
}

const setting known_settings[] = {
    {"include_path", [] { return zend::settings.include_path; },
     [](const std::string &v) { zend::settings.include_path = v; }},
    {"error_reporting", [] { return std::to_string(zend::settings.error_reporting); },
     [](const std::string &v) { zend::settings.error_reporting = static_cast<int>(std::atol(v.c_str())); }},
    {"display_errors", [] { return std::string(zend::settings.display_errors ? "1" : ""); },
     [](const std::string &v) { zend::settings.display_errors = as_bool(v); }},
    {"html_errors", [] { return std::string(zend::settings.html_errors ? "1" : ""); },
     [](const std::string &v) { zend::settings.html_errors = as_bool(v); }},
    {"precision", [] { return std::to_string(zend::settings.precision); },
     [](const std::string &v) { zend::settings.precision = static_cast<int>(std::atol(v.c_str())); }},
    {"max_execution_time", [] { return std::to_string(zend::settings.max_execution_time); },
     [](const std::string &v) {
         zend::settings.max_execution_time = std::atol(v.c_str());
         /* the count starts again from zero with the new limit */
         if (zend::request_active())
             zend::start_time_limit(zend::settings.max_execution_time);
     }},
    {"error_log", [] { return zend::settings.error_log; },
     [](const std::string &v) { zend::settings.error_log = v; }},
    {"upload_max_filesize", [] { return std::to_string(zend::settings.upload_max_filesize); },
     [](const std::string &v) { zend::parse_byte_size(v, zend::settings.upload_max_filesize); }},
    {"upload_tmp_dir", [] { return zend::settings.upload_tmp_dir; },
     [](const std::string &v) { zend::settings.upload_tmp_dir = v; }},
};

/* Texts the script set, by setting name, kept from request start to
 * request end. */
std::map<std::string, std::string> set_texts;

std::map<std::string, std::string> &texts()
{
    return set_texts;
}

/* A setting's own value as the request started. */
std::string start_text(const setting &s)
{
    zend::settings_t now = zend::settings;
    zend::settings = zend::request_start_settings();
    std::string text = s.get();
    zend::settings = now;
    return text;
}

const setting *find_setting(const std::string &name)
{
    for (const setting &s : known_settings)
        if (name == s.name)
            return &s;
    return nullptr;
}

std::string current_text(const setting &s)
{
    auto it = texts().find(s.name);
    return it != texts().end() ? it->second : s.get();
}

} // namespace

namespace zend {

bool parse_byte_size(const std::string &text, long &out)
{
    char *end = nullptr;
    errno = 0;
    long n = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || n < 0)
        return false;
    int shift = 0;
    switch (*end) {
    case 'g': case 'G': shift = 30; end++; break;
    case 'm': case 'M': shift = 20; end++; break;
    case 'k': case 'K': shift = 10; end++; break;
    default: break;
    }
    if (*end != '\0' || n > LONG_MAX >> shift)
        return false;
    out = n << shift;
    return true;
}

bool configure_setting(const std::string &name, const std::string &value)
{
    const setting *s = find_setting(name);
    if (!s)
        return false;
    s->set(value);
    return true;
}

} // namespace zend

namespace zend::builtins {

void change_setting(const std::string &name, const std::string &value)
{
    if (const setting *s = find_setting(name)) {
        s->set(value);
        texts()[name] = value;
    }
}

/* The engine puts the settings themselves back at request end. */
void begin_request_settings()
{
    set_texts.clear();
}

void end_request_settings()
{
    set_texts.clear();
}

} // namespace zend::builtins

/* ini_set(name, value): the old value as a string, false for a setting
 * the engine does not have. */
ZEND_FUNCTION(ini_set)
{
    std::string name, value;
    if (!parse_args(ZEND_NUM_ARGS(), "ss", &name, &value))
        return;
    const setting *s = find_setting(name);
    if (!s) {
        std::string old;
        if (!zend::builtins::session::change_request_setting(name, value, old))
            RETURN_FALSE;
        zend::builtins::return_string(return_value, old);
        return;
    }
    std::string old = current_text(*s);
    zend::builtins::change_setting(s->name, value);
    zend::builtins::return_string(return_value, old);
}

ZEND_FUNCTION(ini_get)
{
    std::string name;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &name))
        return;
    const setting *s = find_setting(name);
    if (!s) {
        std::string text;
        if (!zend::builtins::session::request_setting(name, text))
            RETURN_FALSE;
        zend::builtins::return_string(return_value, text);
        return;
    }
    zend::builtins::return_string(return_value, current_text(*s));
}

/* ini_restore(name): the setting as the request started with it. */
ZEND_FUNCTION(ini_restore)
{
    std::string name;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &name))
        return;
    const setting *s = find_setting(name);
    if (!s) {
        zend::builtins::session::restore_request_setting(name);
        return;
    }
    if (!texts().count(name))
        return;
    s->set(start_text(*s));
    texts().erase(name);
}

/* set_time_limit(seconds): the limit from now on; the program serving
 * the request applies it. */
ZEND_FUNCTION(set_time_limit)
{
    long seconds;
    if (!parse_args(ZEND_NUM_ARGS(), "l", &seconds))
        return;
    zend::builtins::change_setting("max_execution_time", std::to_string(seconds));
}

ZEND_FUNCTION(set_include_path)
{
    std::string path;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &path))
        return;
    std::string old = zend::settings.include_path;
    zend::builtins::change_setting("include_path", path);
    RETURN_STRINGL(old.data(), static_cast<uint>(old.size()), 1);
}

ZEND_FUNCTION(get_include_path)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    const std::string &path = zend::settings.include_path;
    RETURN_STRINGL(path.data(), static_cast<uint>(path.size()), 1);
}

/* phpinfo(): a header, then every module's own section. */
ZEND_FUNCTION(phpinfo)
{
    zval *ignored;
    if (!parse_args(ZEND_NUM_ARGS(), "|z", &ignored))
        return;
    ZEND_PUTS("phpinfo()\nPHP Version => " PHP_VERSION "\n\n");
    ZEND_PUTS("Server API => ");
    ZEND_PUTS(sapi_module.name ? sapi_module.name : "cli");
    ZEND_PUTS("\nZend Engine => " ZEND_VERSION "\n");
    for (zend_module_entry *module : zend::modules()) {
        ZEND_PUTS("\n");
        ZEND_PUTS(module->name ? module->name : "(unnamed)");
        ZEND_PUTS("\n\n");
        if (module->info_func)
            module->info_func(module);
    }
    RETURN_TRUE;
}

ZEND_FUNCTION(php_sapi_name)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    RETURN_STRING(sapi_module.name ? sapi_module.name : "cli", 1);
}

ZEND_FUNCTION(phpversion)
{
    std::string extension;
    if (!parse_args(ZEND_NUM_ARGS(), "|s", &extension))
        return;
    if (ZEND_NUM_ARGS() == 1) {
        std::string name = lowercase(extension);

        for (zend_module_entry *module : zend::modules())
            if (module->name && lowercase(module->name) == name) {
                if (!module->version)
                    RETURN_FALSE;
                RETURN_STRING(module->version, 1);
            }
        RETURN_FALSE;
    }
    RETURN_STRING(PHP_VERSION, 1);
}

ZEND_FUNCTION(zend_version)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    RETURN_STRING(ZEND_VERSION, 1);
}
