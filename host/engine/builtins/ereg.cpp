/* POSIX regular expressions for scripts: ereg, eregi, ereg_replace,
 * eregi_replace, split, spliti, sql_regcase, through the engine's
 * php_regcomp/php_regexec wrappers.
 *
 * These functions read patterns and subjects as C strings, as the engine
 * always did: matching stops at the first NUL byte. Compiled patterns are
 * kept in a small per-process cache (no user code runs while one is in
 * use, so eviction cannot pull one from under a match). */
#include <cctype>
#include <cstring>
#include <list>
#include <string>

#include "builtins.h"
#include "engine.h"
#include "php_regex.h"

using namespace zend::builtins;

namespace {

struct compiled_regex {
    std::string pattern;
    int flags;
    regex_t re;
};

/* Most recently used first; entries own their regex_t. */
class regex_cache {
public:
    ~regex_cache()
    {
        for (compiled_regex &c : entries_)
            php_regfree(&c.re);
    }

    /* The compiled pattern, or nullptr with the error code in *error. */
    const regex_t *get(const std::string &pattern, int flags, int *error)
    {
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (it->flags == flags && it->pattern == pattern) {
                entries_.splice(entries_.begin(), entries_, it);
                return &entries_.front().re;
            }
        compiled_regex c{pattern, flags, {}};
        *error = php_regcomp(&c.re, pattern.c_str(), flags);
        if (*error)
            return nullptr;
        entries_.push_front(std::move(c));
        if (entries_.size() > limit) {
            php_regfree(&entries_.back().re);
            entries_.pop_back();
        }
        return &entries_.front().re;
    }

private:
    static constexpr std::size_t limit = 256;
    std::list<compiled_regex> entries_;
};

regex_cache &cache()
{
    static regex_cache instance;
    return instance;
}

const char *error_name(int code)
{
    switch (code) {
    case REG_BADPAT: return "REG_BADPAT";
    case REG_ECOLLATE: return "REG_ECOLLATE";
    case REG_ECTYPE: return "REG_ECTYPE";
    case REG_EESCAPE: return "REG_EESCAPE";
    case REG_ESUBREG: return "REG_ESUBREG";
    case REG_EBRACK: return "REG_EBRACK";
    case REG_EPAREN: return "REG_EPAREN";
    case REG_EBRACE: return "REG_EBRACE";
    case REG_BADBR: return "REG_BADBR";
    case REG_ERANGE: return "REG_ERANGE";
    case REG_ESPACE: return "REG_ESPACE";
    case REG_BADRPT: return "REG_BADRPT";
    default: return "REG_ASSERT";
    }
}

/* The compiled pattern; nullptr after the engine's warning, which names
 * the error code ("ereg(): REG_EPAREN"). */
const regex_t *compile(std::string pattern, int flags)
{
    /* the pattern ends at its first NUL byte; an empty one is refused, as
     * the engine's own regular-expression library did */
    pattern.resize(std::strlen(pattern.c_str()));
    if (pattern.empty()) {
        zend_error(E_WARNING, "%s(): REG_EMPTY", get_active_function_name());
        return nullptr;
    }
    int error = 0;
    const regex_t *re = cache().get(pattern, flags, &error);
    if (!re)
        zend_error(E_WARNING, "%s(): %s", get_active_function_name(), error_name(error));
    return re;
}

/* ereg and eregi. */
void ereg_impl(INTERNAL_FUNCTION_PARAMETERS, bool icase)
{
    zval *pattern_arg, *regs = nullptr;
    std::string subject;
    if (!parse_args(ZEND_NUM_ARGS(), "zs|z", &pattern_arg, &subject, &regs))
        return;
    int flags = icase ? REG_ICASE : 0;
    if (!regs)
        flags |= REG_NOSUB; /* only whether it matches */
    std::string pattern;
    if (pattern_arg->type == IS_STRING) {
        pattern = to_string(pattern_arg);
        flags |= REG_EXTENDED;
    } else {
        /* a number is its integer digits, matched as a basic expression */
        pattern = pattern_arg->type == IS_DOUBLE ? std::to_string(to_long(pattern_arg)) : to_string(pattern_arg);
    }
    const regex_t *re = compile(pattern, flags);
    if (!re)
        RETURN_FALSE;
    std::vector<regmatch_t> subs(re->re_nsub + 1);
    int err = php_regexec(re, subject.c_str(), subs.size(), subs.data(), 0);
    if (err == REG_NOMATCH)
        RETURN_FALSE;
    if (err) {
        zend_error(E_WARNING, "%s(): %s", get_active_function_name(), error_name(err));
        RETURN_FALSE;
    }
    long length = 1;
    if (regs) {
        length = static_cast<long>(subs[0].rm_eo - subs[0].rm_so);
        zval_dtor(regs);
        array_init(regs);
        long limit = static_cast<long>(std::strlen(subject.c_str())) + 1;
        for (std::size_t i = 0; i < subs.size(); i++) {
            long start = subs[i].rm_so, end = subs[i].rm_eo;
            zval *v;
            if (start != -1 && end > 0 && start < limit && end < limit && start < end) {
                v = new_string(subject.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
            } else {
                v = new_long(0);
                v->type = IS_BOOL;
            }
            array_put(regs->value.ht, static_cast<ulong>(i), v);
        }
    }
    RETURN_LONG(length == 0 ? 1 : length);
}

/* The replacement text with "\0".."\9" filled from the match at
 * string[pos]. */
void expand(std::string &out, const std::string &replace, const regex_t *re, const regmatch_t *subs,
            const char *string)
{
    for (std::size_t i = 0; i < replace.size();) {
        char c = replace[i];
        if (c == '\\' && i + 1 < replace.size() && std::isdigit(static_cast<unsigned char>(replace[i + 1])) &&
            static_cast<std::size_t>(replace[i + 1] - '0') <= re->re_nsub) {
            const regmatch_t &g = subs[replace[i + 1] - '0'];
            if (g.rm_so > -1 && g.rm_eo > -1 && g.rm_so <= g.rm_eo)
                out.append(string + g.rm_so, static_cast<std::size_t>(g.rm_eo - g.rm_so));
            i += 2;
        } else {
            out += c;
            i++;
        }
    }
}

/* A pattern or replacement argument: strings as they are (up to a NUL),
 * anything else as the one character its integer value names. */
std::string char_or_string(const zval *z)
{
    if (z->type == IS_STRING) {
        std::string s = to_string(z);
        s.resize(std::strlen(s.c_str()));
        return s;
    }
    return std::string(1, static_cast<char>(to_long(z)));
}

void ereg_replace_impl(INTERNAL_FUNCTION_PARAMETERS, bool icase)
{
    zval *pattern_arg, *replace_arg;
    std::string subject;
    if (!parse_args(ZEND_NUM_ARGS(), "zzs", &pattern_arg, &replace_arg, &subject))
        return;
    std::string pattern = char_or_string(pattern_arg);
    std::string replace = char_or_string(replace_arg);
    subject.resize(std::strlen(subject.c_str()));
    const regex_t *re = compile(pattern, REG_EXTENDED | (icase ? REG_ICASE : 0));
    if (!re)
        RETURN_FALSE;
    std::vector<regmatch_t> subs(re->re_nsub + 1);
    std::string out;
    std::size_t pos = 0, length = subject.size();
    for (;;) {
        int err = php_regexec(re, subject.c_str() + pos, subs.size(), subs.data(), pos ? REG_NOTBOL : 0);
        if (err == REG_NOMATCH) {
            out.append(subject, pos, std::string::npos);
            break;
        }
        if (err) {
            zend_error(E_WARNING, "%s(): %s", get_active_function_name(), error_name(err));
            RETURN_FALSE;
        }
        const char *here = subject.c_str() + pos;
        out.append(here, static_cast<std::size_t>(subs[0].rm_so));
        expand(out, replace, re, subs.data(), here);
        if (subs[0].rm_so == subs[0].rm_eo) {
            /* an empty match: copy one character and look again after it */
            if (pos + static_cast<std::size_t>(subs[0].rm_so) >= length)
                break;
            pos += static_cast<std::size_t>(subs[0].rm_eo) + 1;
            out += subject[pos - 1];
        } else {
            pos += static_cast<std::size_t>(subs[0].rm_eo);
        }
    }
    return_string(return_value, out);
}

void split_impl(INTERNAL_FUNCTION_PARAMETERS, bool icase)
{
    std::string pattern, subject;
    long count = -1;
    if (!parse_args(ZEND_NUM_ARGS(), "ss|l", &pattern, &subject, &count))
        return;
    const regex_t *re = compile(pattern, REG_EXTENDED | (icase ? REG_ICASE : 0));
    if (!re)
        RETURN_FALSE;
    array_init(return_value);
    std::size_t pos = 0;
    regmatch_t subs[1];
    int err = 0;
    while ((count == -1 || count > 1) && !(err = php_regexec(re, subject.c_str() + pos, 1, subs, 0))) {
        if (subs[0].rm_so == 0 && subs[0].rm_eo) {
            /* a match at the start: an empty piece */
            array_append(return_value->value.ht, new_string(std::string()));
            pos += static_cast<std::size_t>(subs[0].rm_eo);
        } else if (subs[0].rm_so == 0 && subs[0].rm_eo == 0) {
            zend_error(E_WARNING, "%s(): Invalid Regular Expression to split()", get_active_function_name());
            zval_dtor(return_value);
            RETURN_FALSE;
        } else {
            array_append(return_value->value.ht, new_string(subject.substr(pos, static_cast<std::size_t>(subs[0].rm_so))));
            pos += static_cast<std::size_t>(subs[0].rm_eo);
        }
        if (count != -1)
            count--;
    }
    if (err && err != REG_NOMATCH) {
        zend_error(E_WARNING, "%s(): %s", get_active_function_name(), error_name(err));
        zval_dtor(return_value);
        RETURN_FALSE;
    }
    array_append(return_value->value.ht, new_string(subject.substr(pos)));
}

} // namespace

/* ereg(pattern, string [, &regs]): the length of the match (1 when it is
 * empty or regs is not asked for), false when there is none. */
ZEND_FUNCTION(ereg)
{
    ereg_impl(INTERNAL_FUNCTION_PARAM_PASSTHRU, false);
}

ZEND_FUNCTION(eregi)
{
    ereg_impl(INTERNAL_FUNCTION_PARAM_PASSTHRU, true);
}

/* ereg_replace(pattern, replacement, string) */
ZEND_FUNCTION(ereg_replace)
{
    ereg_replace_impl(INTERNAL_FUNCTION_PARAM_PASSTHRU, false);
}

ZEND_FUNCTION(eregi_replace)
{
    ereg_replace_impl(INTERNAL_FUNCTION_PARAM_PASSTHRU, true);
}

/* split(pattern, string [, limit]) */
ZEND_FUNCTION(split)
{
    split_impl(INTERNAL_FUNCTION_PARAM_PASSTHRU, false);
}

ZEND_FUNCTION(spliti)
{
    split_impl(INTERNAL_FUNCTION_PARAM_PASSTHRU, true);
}

/* sql_regcase("Foo") is "[Ff][Oo][Oo]". */
ZEND_FUNCTION(sql_regcase)
{
    std::string in, out;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &in))
        return;

    for (char c : in) {
        unsigned char u = static_cast<unsigned char>(c);
        if (std::isalpha(u)) {
            out += '[';
            out += static_cast<char>(std::toupper(u));
            out += static_cast<char>(std::tolower(u));
            out += ']';
        } else {
            out += c;
        }
    }
    return_string(return_value, out);
}
