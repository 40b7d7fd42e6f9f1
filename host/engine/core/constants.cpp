/* Constants: define()d and built-in ones. Values are kept outside request
 * memory (a std::string holds string values), so persistent constants
 * survive requests; get_constant hands out a request-memory copy. Only
 * scalars and null can be constants. Names are byte strings: a NUL inside
 * one is part of the name. */
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <unordered_map>

#include "core/constants.h"
#include "engine.h"

namespace zend {
namespace {

struct constant {
    zend_uchar type;
    long lval;
    double dval;
    std::string str;
    bool persistent;
    bool case_insensitive;
};

/* Case-sensitive constants under their name; case-insensitive ones under
 * the lower-cased name in the second map. */
std::unordered_map<std::string, constant> &sensitive() {
    static std::unordered_map<std::string, constant> table;
    return table;
}
std::unordered_map<std::string, constant> &insensitive() {
    static std::unordered_map<std::string, constant> table;
    return table;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return (char)std::tolower(c); });
    return s;
}

} // namespace

bool register_constant(const char *name, std::size_t length, const zval *value, bool case_insensitive,
                       bool persistent) {
    if (!name || !value) return false;
    constant c{value->type, 0, 0.0, std::string(), persistent, case_insensitive};
    switch (value->type) {
    case IS_NULL: break;
    case IS_LONG: case IS_BOOL: case IS_RESOURCE: c.lval = value->value.lval; break;
    case IS_DOUBLE: c.dval = value->value.dval; break;
    case IS_STRING:
        c.str.assign(value->value.str.val ? value->value.str.val : "", (std::size_t)value->value.str.len);
        break;
    default:
        return false;
    }
    std::string key(name, length);
    if (sensitive().count(key) || insensitive().count(lower(key))) return false;
    if (case_insensitive) insensitive().emplace(lower(key), std::move(c));
    else sensitive().emplace(key, std::move(c));
    return true;
}

bool register_constant(const char *name, const zval *value, bool case_insensitive, bool persistent) {
    return name && register_constant(name, std::strlen(name), value, case_insensitive, persistent);
}

bool get_constant(const char *name, std::size_t length, zval *result) {
    std::string key(name, length);
    auto it = sensitive().find(key);
    if (it == sensitive().end()) {
        it = insensitive().find(lower(key));
        if (it == insensitive().end()) return false;
    }
    const constant &c = it->second;
    result->type = c.type;
    switch (c.type) {
    case IS_DOUBLE: result->value.dval = c.dval; break;
    case IS_STRING:
        result->value.str.len = (int)c.str.size();
        result->value.str.val = c.str.empty() ? empty_string : estrndup(c.str.data(), (uint)c.str.size());
        break;
    default: result->value.lval = c.lval; break;
    }
    return true;
}

void drop_request_constants() {
    for (auto *table : {&sensitive(), &insensitive()})
        for (auto it = table->begin(); it != table->end();)
            it = it->second.persistent ? std::next(it) : table->erase(it);
}

void drop_all_constants() {
    sensitive().clear();
    insensitive().clear();
}

} // namespace zend
