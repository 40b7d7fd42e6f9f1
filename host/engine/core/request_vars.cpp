/* The request variables a web request hands its script: $_GET from the
 * query string, $_POST from a url-encoded or multipart/form-data body,
 * $_FILES from the files of a multipart one (uploads.cpp), $_COOKIE from
 * the Cookie header, $_SERVER from the program, $_ENV from the environment
 * and $_REQUEST from GET, POST and COOKIE in that order. Each is also in
 * the global symbol table under its long name ($HTTP_GET_VARS ...), the
 * same array, shared.
 *
 * Names follow the original engine: leading blanks are dropped, blanks and
 * dots in the base name become "_", "a[]" appends to array a, "a[x][y]"
 * makes nested arrays, a "[" without its "]" becomes "_" at the first
 * level and ends the name deeper down, anything after a "]" that is not
 * "[" is ignored. Two limits guard the process against hostile requests:
 * at most max_input_vars variables per source and max_nesting levels of
 * brackets; past either, the rest is dropped with a warning. */
#include <cctype>
#include <cstring>

#include "core/request_vars.h"

extern char **environ;

namespace zend {

namespace {

constexpr int max_nesting = 64;

zval *new_array()
{
    zval *z;
    ALLOC_ZVAL(z);
    array_init(z);
    INIT_PZVAL(z);
    return z;
}

zval *new_string(const std::string &s)
{
    zval *z;
    ALLOC_ZVAL(z);
    z->type = IS_STRING;
    z->value.str.val = estrndup(s.data(), static_cast<uint>(s.size()));
    z->value.str.len = static_cast<int>(s.size());
    INIT_PZVAL(z);
    return z;
}

/* The array stored under key in table, made (or put in place of a value
 * that is no array) when missing. An empty key appends. */
HashTable *sub_array(HashTable *table, const std::string *key)
{
    zval *array = new_array();
    zval **slot = nullptr;
    if (!key) {
        if (zend_hash_next_index_insert(table, &array, sizeof(zval *), (void **)&slot) == FAILURE) {
            zval_ptr_dtor(&array);
            return nullptr;
        }
        return slot ? (*slot)->value.ht : nullptr;
    }
    if (zend_hash_find(table, key->c_str(), static_cast<uint>(key->size() + 1), (void **)&slot) == SUCCESS &&
        (*slot)->type == IS_ARRAY) {
        zval_ptr_dtor(&array);
        return (*slot)->value.ht;
    }
    zend_hash_update(table, key->c_str(), static_cast<uint>(key->size() + 1), &array, sizeof(zval *),
                     (void **)&slot);
    return slot ? (*slot)->value.ht : nullptr;
}

/* Stores z (whose reference the table takes) under key; no key appends. */
void store(HashTable *table, const std::string *key, zval *z)
{
    if (!key) {
        if (zend_hash_next_index_insert(table, &z, sizeof(zval *), nullptr) == FAILURE)
            zval_ptr_dtor(&z);
        return;
    }
    zend_hash_update(table, key->c_str(), static_cast<uint>(key->size() + 1), &z, sizeof(zval *), nullptr);
}

void store(HashTable *table, const std::string *key, const std::string &value)
{
    store(table, key, new_string(value));
}

} // namespace

/* One variable "name=value" into track. Keys are C strings in the original
 * engine, so a name ends at its first NUL byte. The track takes value's
 * reference; a name that makes no variable destroys it. */
void register_variable(HashTable *track, std::string name, zval *value)
{
    name = name.substr(0, std::strlen(name.c_str()));
    std::size_t bracket = name.find('[');
    std::string base = name.substr(0, bracket);
    std::size_t start = base.find_first_not_of(' ');
    if (start == std::string::npos) {
        zval_ptr_dtor(&value); /* empty name */
        return;
    }
    base.erase(0, start);
    for (char &c : base)
        if (c == ' ' || c == '.')
            c = '_';
    if (bracket == std::string::npos) {
        store(track, &base, value);
        return;
    }

    /* Walk the brackets: each "[key]" names the next level. */
    std::vector<std::string> keys; /* the levels below base */
    std::vector<bool> appends;
    std::size_t pos = bracket; /* at a '[' */
    bool unterminated = false;
    while (pos < name.size() && name[pos] == '[') {
        std::size_t key_start = pos + 1;
        std::size_t p = key_start;
        if (p < name.size() && std::isspace(static_cast<unsigned char>(name[p])))
            p++;
        if (p < name.size() && name[p] == ']') {
            keys.emplace_back();
            appends.push_back(true);
            pos = p + 1;
            continue;
        }
        std::size_t close = name.find(']', p);
        if (close == std::string::npos) {
            unterminated = true;
            break;
        }
        keys.push_back(name.substr(key_start, close - key_start));
        appends.push_back(false);
        pos = close + 1;
    }
    if (unterminated && keys.empty()) {
        /* "a[b" is the plain variable "a_b" */
        std::string plain = base + "_" + name.substr(bracket + 1);
        store(track, &plain, value);
        return;
    }
    if (keys.size() > static_cast<std::size_t>(max_nesting)) {
        zend_error(E_WARNING, "Input variable nesting level exceeded %d; variable %s ignored", max_nesting,
                   base.c_str());
        zval_ptr_dtor(&value);
        return;
    }
    HashTable *table = sub_array(track, &base);
    for (std::size_t level = 0; table && level + 1 < keys.size(); level++)
        table = sub_array(table, appends[level] ? nullptr : &keys[level]);
    if (table)
        store(table, appends.back() ? nullptr : &keys.back(), value);
    else
        zval_ptr_dtor(&value);
}

void register_variable(HashTable *track, const std::string &name, const std::string &value)
{
    register_variable(track, name, new_string(value));
}

namespace {

/* "a=1&b=2" (or "a=1; b=2" for cookies) into track. Empty pieces are
 * skipped; a piece without "=" is a variable with an empty value, except
 * in a request body, where the original engine skipped it. */
void parse_pairs(HashTable *track, const std::string &data, char separator, bool need_value, const char *what)
{
    int count = 0;
    std::size_t pos = 0;
    while (pos <= data.size()) {
        std::size_t end = data.find(separator, pos);
        if (end == std::string::npos)
            end = data.size();
        std::string piece = data.substr(pos, end - pos);
        pos = end + 1;
        if (piece.empty())
            continue;
        std::size_t eq = piece.find('=');
        if (eq == std::string::npos && need_value)
            continue;
        if (++count > max_input_vars) {
            zend_error(E_WARNING, "Input variables exceeded %d; the rest of the %s is ignored", max_input_vars,
                       what);
            return;
        }
        if (eq == std::string::npos)
            register_variable(track, url_decode(piece), "");
        else
            register_variable(track, url_decode(piece.substr(0, eq)), url_decode(piece.substr(eq + 1)));
    }
}

/* Puts array under both names in the global symbol table, shared. */
void publish(zval *array, const char *short_name, const char *long_name)
{
    HashTable *symbols = &EG(symbol_table);
    zend_hash_update(symbols, short_name, static_cast<uint>(std::strlen(short_name) + 1), &array, sizeof(zval *),
                     nullptr);
    if (long_name) {
        array->refcount++;
        zend_hash_update(symbols, long_name, static_cast<uint>(std::strlen(long_name) + 1), &array,
                         sizeof(zval *), nullptr);
    }
}

/* Copies every element of from into to, sharing the values; an element of
 * to with the same key is replaced. */
void merge_into(HashTable *to, HashTable *from)
{
    HashPosition pos;
    zval **data;
    for (zend_hash_internal_pointer_reset_ex(from, &pos);
         zend_hash_get_current_data_ex(from, (void **)&data, &pos) == SUCCESS; zend_hash_move_forward_ex(from, &pos)) {
        char *key;
        uint key_length;
        ulong index;
        (*data)->refcount++;
        if (zend_hash_get_current_key_ex(from, &key, &key_length, &index, 0, &pos) == HASH_KEY_IS_STRING)
            zend_hash_update(to, key, key_length, data, sizeof(zval *), nullptr);
        else
            zend_hash_index_update(to, index, data, sizeof(zval *), nullptr);
    }
}

/* register_globals: the variables themselves as globals, later sources
 * winning. Names that would replace the request arrays or $GLOBALS are
 * refused. */
bool protected_global(const char *key)
{
    static const char *const names[] = {"GLOBALS",           "_GET",           "_POST",
                                        "_COOKIE",           "_SERVER",        "_ENV",
                                        "_REQUEST",          "_FILES",         "_SESSION",
                                        "HTTP_GET_VARS",     "HTTP_POST_VARS", "HTTP_COOKIE_VARS",
                                        "HTTP_SERVER_VARS",  "HTTP_ENV_VARS",  "HTTP_POST_FILES",
                                        "HTTP_SESSION_VARS", "HTTP_RAW_POST_DATA"};
    for (const char *name : names)
        if (std::strcmp(key, name) == 0)
            return true;
    return false;
}

void import_globals(HashTable *from)
{
    HashPosition pos;
    zval **data;
    for (zend_hash_internal_pointer_reset_ex(from, &pos);
         zend_hash_get_current_data_ex(from, (void **)&data, &pos) == SUCCESS; zend_hash_move_forward_ex(from, &pos)) {
        char *key;
        uint key_length;
        ulong index;
        if (zend_hash_get_current_key_ex(from, &key, &key_length, &index, 0, &pos) != HASH_KEY_IS_STRING ||
            protected_global(key))
            continue;
        (*data)->refcount++;
        zend_hash_update(&EG(symbol_table), key, key_length, data, sizeof(zval *), nullptr);
    }
}

} // namespace

std::string url_decode(const std::string &text)
{
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); i++) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
            out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

void register_request_variables(const request_info &info)
{
    zval *get = new_array();
    parse_pairs(get->value.ht, info.query_string, '&', false, "query string");
    /* Only a POST fills $_POST; any other body, or a POST that is no
     * form, is there as it came, in $HTTP_RAW_POST_DATA. */
    zval *post = new_array();
    zval *files = new_array();
    zval *file_globals = new_array();
    if (info.method == "POST" && has_media_type(info.content_type, "application/x-www-form-urlencoded"))
        parse_pairs(post->value.ht, info.post_data, '&', true, "request body");
    else if (info.method == "POST" && has_media_type(info.content_type, "multipart/form-data"))
        parse_multipart(post->value.ht, files->value.ht, file_globals->value.ht, info.content_type,
                        info.post_data);
    else if (!info.post_data.empty())
        publish(new_string(info.post_data), "HTTP_RAW_POST_DATA", nullptr);
    zval *cookie = new_array();
    parse_pairs(cookie->value.ht, info.cookie_data, ';', false, "Cookie header");

    zval *server = new_array();
    for (const auto &entry : info.server)
        store(server->value.ht, &entry.first, entry.second);
    /* argv and argc as the original engine registered them for a web
     * request: the query string is the one argument. */
    zval *argv = new_array();
    store(argv->value.ht, nullptr, info.query_string);
    zend_hash_update(server->value.ht, "argv", sizeof "argv", &argv, sizeof(zval *), nullptr);
    zval *argc;
    ALLOC_ZVAL(argc);
    argc->type = IS_LONG;
    argc->value.lval = 1;
    INIT_PZVAL(argc);
    zend_hash_update(server->value.ht, "argc", sizeof "argc", &argc, sizeof(zval *), nullptr);

    zval *env = new_array();
    for (char **e = environ; e && *e; e++) {
        const char *eq = std::strchr(*e, '=');
        if (!eq)
            continue;
        std::string name(*e, static_cast<std::size_t>(eq - *e));
        store(env->value.ht, &name, eq + 1);
    }

    zval *request = new_array();
    merge_into(request->value.ht, get->value.ht);
    merge_into(request->value.ht, post->value.ht);
    merge_into(request->value.ht, cookie->value.ht);

    if (settings.register_globals)
        for (zval *source : {env, get, post, file_globals, cookie, server})
            import_globals(source->value.ht);
    zval_ptr_dtor(&file_globals);

    publish(env, "_ENV", "HTTP_ENV_VARS");
    publish(get, "_GET", "HTTP_GET_VARS");
    publish(post, "_POST", "HTTP_POST_VARS");
    publish(cookie, "_COOKIE", "HTTP_COOKIE_VARS");
    publish(files, "_FILES", "HTTP_POST_FILES");
    publish(server, "_SERVER", "HTTP_SERVER_VARS");
    publish(request, "_REQUEST", nullptr);
}

} // namespace zend
