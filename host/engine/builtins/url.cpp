/* URLs and query strings: parse_url splits a URL by the generic syntax
 * (RFC 2396, appendix B) and the authority into user, password, host and
 * port; parse_str reads a query string into variables or an array, with
 * the request parser's rules for names ("a.b" and "a b" become "a_b",
 * "a[x][]" builds arrays). */
#include <regex.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

struct url_parts {
    bool has_scheme = false, has_user = false, has_pass = false, has_host = false, has_path = false,
         has_query = false, has_fragment = false;
    std::string scheme, user, pass, host, path, query, fragment;
    long port = 0;
};

/* The compiled patterns live as long as the process: they never change. */
const regex_t *compiled(const char *pattern)
{
    auto *re = new regex_t;
    if (regcomp(re, pattern, REG_EXTENDED) != 0) {
        delete re;
        return nullptr;
    }
    return re;
}

bool group(const regmatch_t *m, int i, const std::string &s, std::string &out)
{
    if (m[i].rm_so < 0 || static_cast<std::size_t>(m[i].rm_so) > s.size())
        return false;
    out = s.substr(static_cast<std::size_t>(m[i].rm_so), static_cast<std::size_t>(m[i].rm_eo - m[i].rm_so));
    return true;
}

bool parse_url(const std::string &url, url_parts &parts)
{
    static const regex_t *generic = compiled("^(([^:/?#]+):)?(//([^/?#]*))?([^?#]*)(\\?([^#]*))?(#(.*))?");
    static const regex_t *authority = compiled("^(([^@:]+)(:([^@:]+))?@)?((\\[([^]]+)\\])|([^:@]+))(:([^:@]+))?");
    if (!generic || !authority)
        return false;
    regmatch_t m[11];
    if (regexec(generic, url.c_str(), 11, m, 0) != 0)
        return false;
    parts.has_scheme = group(m, 2, url, parts.scheme);
    parts.has_path = group(m, 5, url, parts.path);
    parts.has_query = group(m, 7, url, parts.query);
    parts.has_fragment = group(m, 9, url, parts.fragment);
    std::string auth;
    if (!group(m, 4, url, auth))
        return !(parts.has_scheme && parts.scheme == "http");
    if (regexec(authority, auth.c_str(), 11, m, 0) != 0)
        return false;
    parts.has_user = group(m, 2, auth, parts.user) && !parts.user.empty();
    parts.has_pass = group(m, 4, auth, parts.pass) && !parts.pass.empty();
    parts.has_host = group(m, 7, auth, parts.host) || group(m, 8, auth, parts.host);
    std::string port;
    if (group(m, 10, auth, port)) {
        char *end = nullptr;
        long value = std::strtol(port.c_str(), &end, 10);
        if (value < 0 || value > 65535)
            return false; /* a port that cannot be */
        parts.port = value;
    }
    return true;
}

} // namespace

/* parse_url(url): scheme, host, port, user, pass, path, query and
 * fragment, those the URL has; false with a warning when it cannot be
 * read. The URL ends at a NUL byte. */
ZEND_FUNCTION(parse_url)
{
    std::string full;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &full))
        return;
    std::string url = full.substr(0, full.find('\0'));
    url_parts p;
    if (!parse_url(url, p)) {
        function_error_with(url, E_WARNING, "Unable to parse url.");
        RETURN_FALSE;
    }
    array_init(return_value);
    HashTable *parts_table = return_value->value.ht;
    if (p.has_scheme)
        array_put(parts_table, "scheme", new_string(p.scheme));
    if (p.has_host)
        array_put(parts_table, "host", new_string(p.host));
    if (p.port != 0)
        array_put(parts_table, "port", new_long(p.port));
    if (p.has_user)
        array_put(parts_table, "user", new_string(p.user));
    if (p.has_pass)
        array_put(parts_table, "pass", new_string(p.pass));
    if (p.has_path)
        array_put(parts_table, "path", new_string(p.path));
    if (p.has_query)
        array_put(parts_table, "query", new_string(p.query));
    if (p.has_fragment)
        array_put(parts_table, "fragment", new_string(p.fragment));
}

namespace {

std::string url_decode(const std::string &s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); i++) {
        if (s[i] == '+') {
            out += ' ';
        } else if (s[i] == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
                   std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

/* The array a variable or element holds, made one when it is not. */
HashTable *array_at(HashTable *table, const std::string *key, ulong index, bool append)
{
    zval *fresh;
    ALLOC_ZVAL(fresh);
    INIT_PZVAL(fresh);
    array_init(fresh);
    if (append) {
        array_append(table, fresh);
        return fresh->value.ht;
    }
    zval **found = nullptr;
    bool exists = key ? zend_hash_find(table, key->c_str(), static_cast<uint>(key->size() + 1), (void **)&found) ==
                            SUCCESS
                      : zend_hash_index_find(table, index, (void **)&found) == SUCCESS;
    if (exists && (*found)->type == IS_ARRAY) {
        zval_ptr_dtor(&fresh);
        SEPARATE_ZVAL_IF_NOT_REF(found);
        return (*found)->value.ht;
    }
    if (key)
        array_put(table, *key, fresh);
    else
        array_put(table, index, fresh);
    return fresh->value.ht;
}

/* The key text as a table key: integer keys stay integers. */
void put_key(HashTable *table, const std::string &key, zval *value)
{
    long l;
    double d;
    if (!key.empty() && numeric_string(key.data(), key.size(), &l, &d) == IS_LONG && std::to_string(l) == key)
        array_put(table, static_cast<ulong>(l), value);
    else
        array_put(table, key, value);
}

/* Stores one name=value pair as the request parser does. */
void register_variable(HashTable *target, bool in_scope, std::string name, const std::string &value)
{
    std::size_t start = name.find_first_not_of(' ');
    if (start == std::string::npos)
        return;
    name.erase(0, start);
    std::size_t bracket = name.find('[');
    std::string base = name.substr(0, bracket);
    for (char &c : base)
        if (c == ' ' || c == '.')
            c = '_';
    if (base.empty())
        return;
    /* a scope's own special variables stay as they are */
    if (in_scope && (base == "GLOBALS" || base == "this"))
        return;
    std::vector<std::string> indexes;
    std::vector<bool> appends;
    std::size_t i = bracket;
    while (i != std::string::npos && i < name.size() && name[i] == '[') {
        std::size_t close = name.find(']', i + 1);
        if (close == std::string::npos) {
            if (indexes.empty())
                base += "_" + name.substr(i + 1); /* a lone '[' is part of the name */
            break;
        }
        std::string index = name.substr(i + 1, close - i - 1);
        appends.push_back(index.empty());
        indexes.push_back(index);
        i = close + 1;
    }
    if (indexes.empty()) {
        array_put(target, base, new_string(value));
        return;
    }
    HashTable *table = array_at(target, &base, 0, false);
    for (std::size_t k = 0; k + 1 < indexes.size(); k++) {
        if (appends[k]) {
            table = array_at(table, nullptr, 0, true);
            continue;
        }
        long l;
        double d;
        const std::string &key = indexes[k];
        if (numeric_string(key.data(), key.size(), &l, &d) == IS_LONG && std::to_string(l) == key)
            table = array_at(table, nullptr, static_cast<ulong>(l), false);
        else
            table = array_at(table, &key, 0, false);
    }
    if (appends.back())
        array_append(table, new_string(value));
    else
        put_key(table, indexes.back(), new_string(value));
}

/* The variables of the scope that called the running built-in. */
HashTable *calling_scope()
{
    return EG(active_symbol_table) ? EG(active_symbol_table) : &EG(symbol_table);
}

} // namespace

/* parse_str(string [, &array]): the pairs of a query string as variables
 * of the calling scope, or as elements of the array. */
ZEND_FUNCTION(parse_str)
{
    std::string query;
    zval *array = nullptr;
    if (!parse_args(ZEND_NUM_ARGS(), "s|z", &query, &array))
        return;
    HashTable *target;
    if (array) {
        zval_dtor(array);
        array_init(array);
        target = array->value.ht;
    } else {
        target = calling_scope();
    }
    std::size_t from = 0;
    while (from <= query.size()) {
        std::size_t amp = query.find('&', from);
        std::string pair = query.substr(from, amp == std::string::npos ? std::string::npos : amp - from);
        if (!pair.empty()) {
            std::size_t eq = pair.find('=');
            std::string name = url_decode(pair.substr(0, eq));
            std::string value = eq == std::string::npos ? std::string() : url_decode(pair.substr(eq + 1));
            register_variable(target, array == nullptr, name, value);

        }
        if (amp == std::string::npos)
            break;
        from = amp + 1;
    }
}
