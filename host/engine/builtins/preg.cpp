/* The preg_* built-ins on the compiled patterns of pcre.cpp.
 *
 * Global matching (preg_match_all, preg_replace, preg_split) follows
 * Perl's /g: after an empty match the next attempt at the same place must
 * be non-empty and anchored; when that fails the search moves one
 * character on. Everything a callback could change (the subject, the
 * pattern list) is copied out of the script's values before the first
 * callback runs. */
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "builtins.h"
#include "engine.h"
#include "executor/executor.h"
#include "pcre.h"

using namespace zend::builtins;
using zend::builtins::pcre::matcher;
using zend::builtins::pcre::outcome;

namespace {

constexpr long pattern_order = 1;
constexpr long set_order = 2;
constexpr long offset_capture = 1 << 8;
constexpr long split_no_empty = 1 << 0;
constexpr long split_delim_capture = 1 << 1;
constexpr long split_offset_capture = 1 << 2;
constexpr long grep_invert = 1 << 0;

zval *text_value(const char *s, std::size_t n)
{
    return new_string(std::string(s, n));
}

/* Group i of the last match as text; "" when it took no part. */
std::string group_text(const matcher &m, const char *subject, std::size_t i)
{
    std::size_t a = m.start(i), b = m.end(i);
    if (a == std::string::npos || b == std::string::npos || b < a)
        return std::string();
    return std::string(subject + a, b - a);
}

long group_offset(const matcher &m, std::size_t i)
{
    std::size_t a = m.start(i);
    return a == std::string::npos ? -1 : static_cast<long>(a);
}

/* The value stored for group i: its text, or (text, offset) with
 * PREG_OFFSET_CAPTURE. */
zval *group_value(const matcher &m, const char *subject, std::size_t i, bool offsets)
{
    zval *text = new_string(group_text(m, subject, i));
    if (!offsets)
        return text;
    zval *pair = new_long(0);
    array_init(pair);
    array_append(pair->value.ht, text);
    array_append(pair->value.ht, new_long(group_offset(m, i)));
    return pair;
}

/* Adds the reached groups of the last match to `out`, a group with a
 * name under its name first and then under its number. */
void add_groups(HashTable *out, const matcher &m, const char *subject, bool offsets)
{
    const std::vector<std::string> &names = m.compiled().names;
    for (std::size_t i = 0; i < m.groups(); i++) {
        if (i < names.size() && !names[i].empty())
            array_put(out, names[i], group_value(m, subject, i, offsets));
        array_append(out, group_value(m, subject, i, offsets));
    }
}

/* Clears a by-reference result argument to an empty array. */
HashTable *fresh_array(zval *target)
{
    zval_dtor(target);
    array_init(target);
    return target->value.ht;
}

/* preg_match and preg_match_all. */
void match_impl(INTERNAL_FUNCTION_PARAMETERS, bool global)
{
    std::string regex;
    std::string_view subject; /* the argument's own text: matches, written below, is another variable */
    zval *matches = nullptr;
    long flags = 0, start = 0;
    if (global ? !parse_args(ZEND_NUM_ARGS(), "ssz|ll", &regex, &subject, &matches, &flags, &start)
               : !parse_args(ZEND_NUM_ARGS(), "ss|zll", &regex, &subject, &matches, &flags, &start))
        return;
    bool offsets = (flags & offset_capture) != 0;
    long order = flags & 0xff;
    if (global && order == 0)
        order = pattern_order;
    if ((global && order != pattern_order && order != set_order) || (!global && order != 0)) {
        zend_error(E_WARNING, "Wrong value for parameter 4 in call to %s()", global ? "preg_match_all" : "preg_match");
        return;
    }
    HashTable *result = matches ? fresh_array(matches) : nullptr;

    pcre::pattern_ptr p = pcre::compile(regex);
    if (!p)
        RETURN_FALSE;
    if (start < 0 || static_cast<std::size_t>(start) > subject.size())
        RETURN_LONG(0);
    matcher m(p);
    const char *s = subject.data();
    std::size_t length = subject.size();
    std::size_t groups = p->capture_count + 1;
    std::vector<zval *> sets; /* pattern order: one list per group */
    if (result && global && order == pattern_order)
        for (std::size_t i = 0; i < groups; i++) {
            zval *list = new_long(0);
            array_init(list);
            sets.push_back(list);
        }

    long matched = 0;
    bool failed = false;
    std::size_t offset = static_cast<std::size_t>(start);
    bool retry_not_empty = false;
    for (;;) {
        outcome o = m.run(s, length, offset, retry_not_empty);
        if (o == outcome::limit) {
            failed = true;
            break;
        }
        if (o == outcome::no_match) {
            /* after an empty match: move one character on and go again */
            if (retry_not_empty && offset < length) {
                offset = pcre::step_past(*p, s, length, offset);
                retry_not_empty = false;
                continue;
            }
            break;
        }
        matched++;
        if (result) {
            if (!global) {
                add_groups(result, m, s, offsets);
            } else if (order == pattern_order) {
                for (std::size_t i = 0; i < groups; i++) {
                    if (i < m.groups())
                        array_append(sets[i]->value.ht, group_value(m, s, i, offsets));
                    else
                        array_append(sets[i]->value.ht, new_string(std::string()));
                }
            } else {
                zval *set = new_long(0);
                array_init(set);
                add_groups(set->value.ht, m, s, offsets);
                array_append(result, set);
            }
        }
        if (!global)
            break;
        std::size_t end = m.end(0);
        retry_not_empty = end == m.start(0);
        offset = end;
    }
    if (!sets.empty()) {
        const std::vector<std::string> &names = p->names;
        for (std::size_t i = 0; i < groups; i++) {
            if (i < names.size() && !names[i].empty()) {
                sets[i]->refcount++;
                array_put(result, names[i], sets[i]);
            }
            array_append(result, sets[i]);
        }
    }
    if (failed)
        RETURN_FALSE;
    RETURN_LONG(matched);
}

} // namespace

/* preg_match(pattern, subject [, &matches [, flags [, offset]]]) */
ZEND_FUNCTION(preg_match)
{
    match_impl(INTERNAL_FUNCTION_PARAM_PASSTHRU, false);
}

/* preg_match_all(pattern, subject, &matches [, flags [, offset]]) */
ZEND_FUNCTION(preg_match_all)
{
    match_impl(INTERNAL_FUNCTION_PARAM_PASSTHRU, true);
}

namespace {

/* A back reference at replacement[i] ("\n", "$n", "${n}", n up to two
 * digits): its group number, and i moved past it. */
bool back_reference(const std::string &replacement, std::size_t &i, std::size_t &group)
{
    std::size_t k = i;
    if (k + 1 >= replacement.size())
        return false;
    bool brace = replacement[k] == '$' && replacement[k + 1] == '{';
    k += brace ? 2 : 1;
    if (k >= replacement.size() || replacement[k] < '0' || replacement[k] > '9')
        return false;
    group = static_cast<std::size_t>(replacement[k++] - '0');
    if (k < replacement.size() && replacement[k] >= '0' && replacement[k] <= '9')
        group = group * 10 + static_cast<std::size_t>(replacement[k++] - '0');
    if (brace) {
        if (k >= replacement.size() || replacement[k] != '}')
            return false;
        k++;
    }
    i = k;
    return true;
}

/* Appends the replacement text with its back references filled in (with
 * slashes added when the text is to be read as PHP code, for /e). A
 * backslash before "\" or "$" makes that character literal. */
void expand(std::string &out, const std::string &replacement, const matcher &m, const char *subject,
            bool slashed = false)
{
    char last = 0;
    for (std::size_t i = 0; i < replacement.size();) {
        char c = replacement[i];
        if (c == '\\' || c == '$') {
            if (last == '\\') {
                out.back() = c;
                i++;
                last = 0;
                continue;
            }
            std::size_t group;
            if (back_reference(replacement, i, group)) {
                if (group < m.groups())
                    out += slashed ? add_slashes(group_text(m, subject, group)) : group_text(m, subject, group);
                last = 0; /* as the engine did: what follows a reference is not escaped */
                continue;
            }
        }
        out += c;
        last = c;
        i++;
    }
}

/* The /e modifier: the replacement, its back references filled in with
 * slashes added, is run as PHP code in the caller's scope, and what it
 * returns replaces the match. Code that does not compile is fatal. */
std::string eval_replacement(const std::string &replacement, const matcher &m, const char *subject)
{
    using namespace zend::exec;
    std::string code;
    expand(code, replacement, m, subject, true);
    const frame *caller = state.current;
    std::string where = caller ? compiled_string_description(*caller, caller->current, "regexp code")
                               : std::string("Unknown(0) : regexp code");
    HashTable *scope = caller && caller->symbol_table ? caller->symbol_table : &EG(symbol_table);
    zval *r = eval_string("return " + code + ";", where.c_str(), scope, caller ? caller->this_ptr : nullptr);
    if (!r) {
        zend_error(E_ERROR, "Failed evaluating code:\n%s", code.c_str());
        return std::string();
    }
    std::string text = to_string(r);
    zval_ptr_dtor(&r);
    return text;
}

/* What replaces each match: a text with references, or a callback. */
struct replacement {
    std::string text;
    const zval *callback = nullptr;
};

/* The callback's text for the last match; the match itself, after a
 * warning, when it cannot be called. */
std::string call_replacement(const zval *callback, const matcher &m, const char *subject)
{
    zval *groups = new_long(0);
    array_init(groups);
    for (std::size_t i = 0; i < m.groups(); i++)
        array_append(groups->value.ht, new_string(group_text(m, subject, i)));
    zval *r = zend::exec::call_function_value(callback, 1, &groups);
    zval_ptr_dtor(&groups);
    if (!r) {
        zend_error(E_WARNING, "%s(): Unable to call custom replacement function", "preg_replace_callback");
        return group_text(m, subject, 0);
    }
    std::string text = to_string(r);
    zval_ptr_dtor(&r);
    return text;
}

/* One pattern over one subject; nullopt after a warning. */
std::optional<std::string> replace_one(const std::string &regex, const std::string &subject, const replacement &with,
                                       long limit)
{
    pcre::pattern_ptr p = pcre::compile(regex);
    if (!p)
        return std::nullopt;
    if (p->eval && with.callback) {
        zend_error(E_WARNING, "%s(): /e modifier cannot be used with replacement callback", get_active_function_name());
        return std::nullopt;
    }
    matcher m(p);
    const char *s = subject.data();
    std::size_t length = subject.size();
    std::string out;
    out.reserve(length);
    std::size_t offset = 0;
    bool retry_not_empty = false;
    for (;;) {
        outcome o = m.run(s, length, offset, retry_not_empty);
        if (o == outcome::limit)
            return std::nullopt;
        if (o == outcome::matched && (limit == -1 || limit > 0)) {
            out.append(s + offset, m.start(0) - offset);
            if (with.callback)
                out += call_replacement(with.callback, m, s);
            else if (p->eval)
                out += eval_replacement(with.text, m, s);
            else
                expand(out, with.text, m, s);
            if (limit != -1)
                limit--;
            std::size_t end = m.end(0);
            retry_not_empty = end == m.start(0);
            offset = end;
            continue;
        }
        if (retry_not_empty && offset < length) {
            std::size_t next = pcre::step_past(*p, s, length, offset);
            out.append(s + offset, next - offset);
            offset = next;
            retry_not_empty = false;
            continue;
        }
        out.append(s + offset, length - offset);
        return out;
    }
}

/* The patterns of the first argument and what replaces each one. */
struct replace_plan {
    std::vector<std::string> patterns;
    std::vector<replacement> replacements;
};

/* Every pattern in turn over one subject. A single pattern that fails
 * gives nullopt; in a list of patterns a failing one is passed over. */
std::optional<std::string> replace_all(const replace_plan &plan, std::string subject, long limit, bool list)
{
    for (std::size_t i = 0; i < plan.patterns.size(); i++) {
        std::optional<std::string> r = replace_one(plan.patterns[i], subject, plan.replacements[i], limit);
        if (r)
            subject = std::move(*r);
        else if (!list)
            return std::nullopt;
    }
    return subject;
}

void replace_impl(INTERNAL_FUNCTION_PARAMETERS, bool with_callback)
{
    zval *regex, *replace, *subject;
    long limit = -1;
    if (!parse_args(ZEND_NUM_ARGS(), "zzz|l", &regex, &replace, &subject, &limit))
        return;

    zval *callback = nullptr;
    if (with_callback) {
        std::string name;
        if (!zend::exec::callable_exists(replace, &name)) {
            zend_error(E_WARNING, "preg_replace_callback() requires argument 2, '%s', to be a valid callback",
                       name.c_str());
            *return_value = *subject;
            zval_copy_ctor(return_value);
            INIT_PZVAL(return_value);
            return;
        }
    } else if (regex->type != IS_ARRAY && replace->type == IS_ARRAY) {
        zend_error(E_WARNING, "preg_replace(): Parameter mismatch, pattern is a string while replacement is an array");
        RETURN_FALSE;
    }

    bool list = regex->type == IS_ARRAY;
    replace_plan plan;
    std::vector<std::string> texts;
    if (!with_callback) {
        if (replace->type == IS_ARRAY)
            for (const element &e : elements(replace->value.ht))
                texts.push_back(to_string(*e.data));
        else
            texts.push_back(to_string(replace));
    }
    if (list)
        for (const element &e : elements(regex->value.ht))
            plan.patterns.push_back(to_string(*e.data));
    else
        plan.patterns.push_back(to_string(regex));
    for (std::size_t i = 0; i < plan.patterns.size(); i++) {
        replacement r;
        if (!with_callback) {
            if (replace->type != IS_ARRAY)
                r.text = texts[0];
            else if (i < texts.size())
                r.text = texts[i];
        }
        plan.replacements.push_back(std::move(r));
    }

    struct subject_entry {
        element key;
        std::string text;
    };
    bool many = subject->type == IS_ARRAY;
    std::vector<subject_entry> subjects;
    if (many) {
        for (const element &e : elements(subject->value.ht)) {
            subject_entry entry{e, to_string(*e.data)};
            entry.key.data = nullptr;
            subjects.push_back(std::move(entry));
        }
    }
    std::string single = many ? std::string() : to_string(subject);

    /* the callback is held as a copy: the script may change the original */
    if (with_callback) {
        callback = copy_of(replace);
        for (replacement &r : plan.replacements)
            r.callback = callback;
    }
    struct release_callback {
        zval *&z;
        ~release_callback()
        {
            if (z)
                zval_ptr_dtor(&z);
        }
    } holder{callback};

    if (!many) {
        std::optional<std::string> r = replace_all(plan, std::move(single), limit, list);
        if (r)
            return_string(return_value, *r);
        else
            RETVAL_NULL();
        return;
    }
    array_init(return_value);
    for (subject_entry &entry : subjects) {
        std::optional<std::string> r = replace_all(plan, std::move(entry.text), limit, list);
        if (!r)
            continue;
        if (entry.key.string_key)
            array_put(return_value->value.ht, entry.key.key, new_string(*r));
        else
            array_put(return_value->value.ht, entry.key.index, new_string(*r));
    }
}

} // namespace

/* preg_replace(pattern, replacement, subject [, limit]) */
ZEND_FUNCTION(preg_replace)
{
    replace_impl(INTERNAL_FUNCTION_PARAM_PASSTHRU, false);
}

/* preg_replace_callback(pattern, callback, subject [, limit]) */
ZEND_FUNCTION(preg_replace_callback)
{
    replace_impl(INTERNAL_FUNCTION_PARAM_PASSTHRU, true);
}

/* preg_split(pattern, subject [, limit [, flags]]) */
ZEND_FUNCTION(preg_split)
{
    std::string regex, subject;
    long limit = -1, flags = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "ss|ll", &regex, &subject, &limit, &flags))
        return;
    if (limit == 0)
        limit = -1;
    bool no_empty = flags & split_no_empty, delimiters = flags & split_delim_capture,
         offsets = flags & split_offset_capture;
    pcre::pattern_ptr p = pcre::compile(regex);
    if (!p)
        RETURN_FALSE;
    array_init(return_value);
    HashTable *out = return_value->value.ht;
    /* from == npos: a group that took no part, "" at offset -1 */
    auto add_piece = [&](std::size_t from, std::size_t to) {
        bool unset = from == std::string::npos;
        zval *text = unset ? new_string(std::string()) : text_value(subject.data() + from, to - from);
        if (!offsets) {
            array_append(out, text);
            return;
        }
        zval *pair = new_long(0);
        array_init(pair);
        array_append(pair->value.ht, text);
        array_append(pair->value.ht, new_long(unset ? -1L : static_cast<long>(from)));
        array_append(out, pair);
    };

    matcher m(p);
    const char *s = subject.data();
    std::size_t length = subject.size();
    std::size_t offset = 0, last = 0;
    bool retry_not_empty = false;
    while (limit == -1 || limit > 1) {
        outcome o = m.run(s, length, offset, retry_not_empty);
        if (o == outcome::limit) {
            zval_dtor(return_value);
            RETURN_FALSE;
        }
        if (o == outcome::no_match) {
            if (retry_not_empty && offset < length) {
                offset = pcre::step_past(*p, s, length, offset);
                retry_not_empty = false;
                continue;
            }
            break;
        }
        std::size_t start = m.start(0), end = m.end(0);
        if (!no_empty || start != last) {
            add_piece(last, start);
            if (limit != -1)
                limit--;
        }
        last = end;
        if (delimiters)
            for (std::size_t i = 1; i < m.groups(); i++) {
                std::size_t a = m.start(i), b = m.end(i);
                bool unset = a == std::string::npos || b == std::string::npos || b < a;
                if (no_empty && (unset || a == b))
                    continue;
                add_piece(unset ? std::string::npos : a, b);
            }
        retry_not_empty = end == start;
        offset = end;
    }
    if (!no_empty || offset != length)
        add_piece(offset, length);
}

/* preg_quote(text [, delimiter]) */
ZEND_FUNCTION(preg_quote)
{
    std::string in, delimiter;
    if (!parse_args(ZEND_NUM_ARGS(), "s|s", &in, &delimiter))
        return;
    std::string out;
    out.reserve(in.size() * 2);
    for (char c : in) {
        if (c == '\0') {
            out += "\\000"; /* a NUL byte is not allowed in a pattern */
            continue;
        }
        if (std::strchr(".\\+*?[^]$(){}=!<>|:", c) || (!delimiter.empty() && c == delimiter[0]))
            out += '\\';
        out += c;
    }
    return_string(return_value, out);
}

/* preg_grep(pattern, array [, flags]): the entries (as strings) that
 * match, or with PREG_GREP_INVERT those that do not; keys kept. */
ZEND_FUNCTION(preg_grep)
{
    std::string regex;
    HashTable *entries;
    long flags = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "sa|l;Second argument to preg_grep() should be an array", &regex, &entries,
                    &flags))
        return;
    bool invert = flags & grep_invert;
    pcre::pattern_ptr p = pcre::compile(regex);
    if (!p)
        RETURN_FALSE;
    matcher m(p);
    array_init(return_value);
    for (const element &e : elements(entries)) {

        std::string text = to_string(*e.data);
        outcome o = m.run(text.data(), text.size(), 0);
        if (o == outcome::limit)
            continue;
        if ((o == outcome::matched) != invert) {
            if (e.string_key)
                array_put(return_value->value.ht, e.key, new_string(text));
            else
                array_put(return_value->value.ht, e.index, new_string(text));
        }
    }
}
