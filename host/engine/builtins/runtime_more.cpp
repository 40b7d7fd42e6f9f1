/* Runtime built-ins old scripts call on their first lines: locales
 * (setlocale, localeconv), set_magic_quotes_runtime, the loaded modules,
 * the connection's state, call_user_method and its array form, and the
 * shell quoting functions. */
#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <sys/time.h>

#include "builtins.h"
#include "engine.h"
#include "executor/executor.h"

using namespace zend::builtins;

namespace {

/* The locales this engine can run in: it stays in the "C" locale, so
 * that number formatting never changes under a running page. */
bool c_locale_name(const std::string &name)
{
    return name.empty() || name == "0" || name == "C" || name == "POSIX";
}

} // namespace

/* setlocale(category, locale [, locale ...]): "C" when one of the names
 * is the C locale (or "" or "0", which ask for the current one), false
 * for any other locale. A locale given as an array tries its elements. */
ZEND_FUNCTION(setlocale)
{
    zval *category;
    std::vector<zval **> locales;
    if (!parse_args(ZEND_NUM_ARGS(), "z+", &category, &locales))
        return;
    if (category->type == IS_STRING) {
        static const char *const names[] = {"LC_ALL", "LC_COLLATE", "LC_CTYPE", "LC_MONETARY", "LC_NUMERIC",
                                            "LC_TIME", "LC_MESSAGES"};
        std::string name = to_string(category);
        bool known = false;
        for (const char *n : names)
            known = known || name == n;
        if (!known && !std::isdigit(static_cast<unsigned char>(name.c_str()[0]))) {
            zend_error(E_WARNING, "setlocale(): Invalid locale category name %s, must be one of LC_ALL, LC_COLLATE, "
                                  "LC_CTYPE, LC_MONETARY, LC_NUMERIC, or LC_TIME.",
                       name.c_str());
            RETURN_FALSE;
        }
    }
    for (zval **slot : locales) {
        zval *locale = *slot;
        if (locale->type == IS_ARRAY) {
            for (const element &e : elements(locale->value.ht))
                if (c_locale_name(to_string(*e.data)))
                    RETURN_STRING("C", 1);
        } else if (c_locale_name(to_string(locale))) {
            RETURN_STRING("C", 1);
        }
    }
    RETURN_FALSE;
}

/* localeconv(): the C locale's number formatting conventions. */
ZEND_FUNCTION(localeconv)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    array_init(return_value);
    static const char *const texts[][2] = {{"decimal_point", "."}, {"thousands_sep", ""}, {"int_curr_symbol", ""},
                                           {"currency_symbol", ""}, {"mon_decimal_point", ""},
                                           {"mon_thousands_sep", ""}, {"positive_sign", ""}, {"negative_sign", ""}};
    for (const auto &t : texts)
        add_assoc_stringl(return_value, t[0], t[1], static_cast<uint>(std::strlen(t[1])), 1);
    static const char *const numbers[] = {"int_frac_digits", "frac_digits", "p_cs_precedes", "p_sep_by_space",
                                          "n_cs_precedes", "n_sep_by_space", "p_sign_posn", "n_sign_posn"};
    for (const char *n : numbers)
        add_assoc_long(return_value, n, 127);
    zval *grouping = new_long(0);
    array_init(grouping);
    add_assoc_zval(return_value, "grouping", grouping);
    zval *mon_grouping = new_long(0);
    array_init(mon_grouping);
    add_assoc_zval(return_value, "mon_grouping", mon_grouping);
}

/* set_magic_quotes_runtime(setting): the engine never adds backslashes to
 * what files give, so turning the setting off succeeds and turning it on
 * is refused with a warning. */
ZEND_FUNCTION(set_magic_quotes_runtime)
{
    bool on;
    if (!parse_args(ZEND_NUM_ARGS(), "b", &on))
        return;
    if (on) {
        zend_error(E_WARNING, "set_magic_quotes_runtime(): magic_quotes_runtime is not supported by this engine");
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

ZEND_FUNCTION(extension_loaded)
{
    std::string name;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &name))
        return;
    name = lowercase(name);
    for (const zend_module_entry *m : zend::modules())
        if (m && m->name && lowercase(m->name) == name)
            RETURN_TRUE;
    RETURN_FALSE;
}

ZEND_FUNCTION(get_loaded_extensions)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    array_init(return_value);
    for (const zend_module_entry *m : zend::modules())
        if (m && m->name)
            add_next_index_string(return_value, m->name, 1);
}

/* The whole response is written after the script ends, so a script never
 * sees its client go: the connection reads as normal (0). ignore_user_abort
 * has nothing to change and returns the setting's default, off. */
ZEND_FUNCTION(connection_status)
{
    RETURN_LONG(0);
}

ZEND_FUNCTION(connection_aborted)
{
    RETURN_LONG(0);
}

ZEND_FUNCTION(ignore_user_abort)
{
    bool setting = false;
    if (!parse_args(ZEND_NUM_ARGS(), "|b", &setting))
        return;
    RETURN_LONG(0);
}

namespace {

/* Calls method_name on object (a class name calls it statically), the
 * object itself shared so that the method changes the caller's. */
void call_method(zval *return_value, zval *method, zval *object, const std::vector<zval *> &argv,
                 const char *function)
{
    if (object->type != IS_OBJECT && object->type != IS_STRING) {
        zend_error(E_WARNING, "%s(): Second argument is not an object or class name", function);
        return;
    }
    zval *callback = new_long(0);
    array_init(callback);
    object->refcount++;
    array_append(callback->value.ht, object);
    array_append(callback->value.ht, copy_of(method));
    zval *r = zend::exec::call_function_value(callback, static_cast<int>(argv.size()),
                                              const_cast<zval **>(argv.data()));
    if (!r)
        zend_error(E_WARNING, "Unable to call %s()", to_string(method).c_str());
    zval_ptr_dtor(&callback);
    if (!r)
        return;
    *return_value = *r;
    zval_copy_ctor(return_value);
    INIT_PZVAL(return_value);
    zval_ptr_dtor(&r);
}

} // namespace

/* call_user_method(method_name, object [, parameter ...]) */
ZEND_FUNCTION(call_user_method)
{
    zval *method, *object;
    std::vector<zval **> rest;
    if (!parse_args(ZEND_NUM_ARGS(), "zz*", &method, &object, &rest))
        return;
    std::vector<zval *> argv;
    for (zval **slot : rest)
        argv.push_back(*slot);
    call_method(return_value, method, object, argv, "call_user_method");
}

/* call_user_method_array(method_name, object, parameters) */
ZEND_FUNCTION(call_user_method_array)
{
    zval *method, *object, *list;
    if (!parse_args(ZEND_NUM_ARGS(), "zzz", &method, &object, &list))
        return;
    if (list->type != IS_ARRAY) {
        zend_error(E_WARNING, "call_user_method_array(): Argument is not an array");
        return;
    }
    zval *params = copy_of(list);
    std::vector<zval *> argv;
    for (const element &e : elements(params->value.ht))
        argv.push_back(*e.data);
    call_method(return_value, method, object, argv, "call_user_method_array");
    zval_ptr_dtor(&params);
}

/* escapeshellarg(arg): arg in single quotes, each quote in it closed,
 * escaped and reopened. */
ZEND_FUNCTION(escapeshellarg)
{
    std::string arg;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &arg))
        return;
    std::string out = "'";
    for (char c : arg) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    out += '\'';
    return_string(return_value, out);
}

/* escapeshellcmd(command): a backslash before each character the shell
 * would read specially, quotes included. */
ZEND_FUNCTION(escapeshellcmd)
{
    std::string cmd;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &cmd))
        return;
    static const char special[] = "#&;`'\"|*?~<>^()[]{}$\\\x0A\xFF";
    std::string out;
    for (char c : cmd) {
        if (std::memchr(special, c, sizeof special - 1))
            out += '\\';
        out += c;
    }
    return_string(return_value, out);
}

/* gettimeofday(): sec, usec, minuteswest, dsttime. */
ZEND_FUNCTION(gettimeofday)
{
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    std::time_t now = tv.tv_sec;
    std::tm t{};
    localtime_r(&now, &t);
    array_init(return_value);
    add_assoc_long(return_value, "sec", static_cast<long>(tv.tv_sec));
    add_assoc_long(return_value, "usec", static_cast<long>(tv.tv_usec));
    add_assoc_long(return_value, "minuteswest", -t.tm_gmtoff / 60);
    add_assoc_long(return_value, "dsttime", t.tm_isdst > 0 ? 1 : 0);
}
