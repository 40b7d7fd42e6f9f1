/* Sessions: session_start() and its kin over files in a save folder.
 *
 * The id comes from the PHPSESSID cookie ($_COOKIE, which the web server
 * fills), else from $_GET or $_POST, else a new one is made and sent in a
 * Set-Cookie header. An id that is not made of the allowed characters is
 * never used to name a file: a hostile one from the request is replaced
 * by a new session. $_SESSION and $HTTP_SESSION_VARS are one array (both
 * names hold the same reference).
 *
 * State: the settings a program gave (apply_setting) live as long as the
 * process; each request starts from a copy of them, which session_name()
 * and its kin change for that request only. The open file of a started
 * session is closed, and so unlocked, when the session is written back,
 * destroyed, or at the latest when the next request starts. */
#include "session.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "builtins.h"
#include "engine.h"
#include "executor/executor.h"
#include "serialize.h"

using namespace zend::builtins;

namespace {

struct session_settings {
    std::string save_path;              /* "" means default_save_path() */
    std::string name = "PHPSESSID";
    std::string cache_limiter = "nocache";
    long cache_expire = 180;            /* minutes */
    long gc_maxlifetime = 1440;         /* seconds */
    long gc_probability = 1;
    long gc_divisor = 100;
    long cookie_lifetime = 0;
    std::string cookie_path = "/";
    std::string cookie_domain;
    bool cookie_secure = false;
};

session_settings &configured()
{
    static session_settings instance;
    return instance;
}

struct request_session {
    session_settings config;
    bool active = false;
    std::string id;       /* "" when there is none */
    std::string open_path; /* the file held open, and locked, in fd */
    int fd = -1;
};

request_session state;

/* Set while the session is written back at request end, when no function
 * is running: messages then come from "Unknown". */
bool in_shutdown = false;

std::string origin()
{
    return in_shutdown ? std::string("Unknown: ") : std::string(get_active_function_name()) + "(): ";
}

void close_file()
{
    if (state.fd >= 0)
        close(state.fd); /* drops the lock */
    state.fd = -1;
    state.open_path.clear();
}

std::string save_path()
{
    return state.config.save_path.empty() ? session::default_save_path() : state.config.save_path;
}

/* A string entry of a request array in the global symbol table. */
bool request_value(const char *array, const std::string &key, std::string &out)
{
    zval **vars, **entry;
    if (zend_hash_find(&EG(symbol_table), array, static_cast<uint>(std::strlen(array) + 1), (void **)&vars) != SUCCESS ||
        (*vars)->type != IS_ARRAY)
        return false;
    if (zend_hash_find((*vars)->value.ht, key.c_str(), static_cast<uint>(key.size() + 1), (void **)&entry) != SUCCESS ||
        (*entry)->type != IS_STRING)
        return false;
    out = to_string(*entry);
    return true;
}

void send_header(const std::string &line, bool replace)
{
    zval *name = new_string("header");
    zval *argv[2] = {new_string(line), new_long(replace ? 1 : 0)};
    argv[1]->type = IS_BOOL;
    zval *r = zend::exec::call_function_value(name, 2, argv);
    if (r)
        zval_ptr_dtor(&r);
    zval_ptr_dtor(&argv[0]);
    zval_ptr_dtor(&argv[1]);
    zval_ptr_dtor(&name);
}

std::string url_encoded(const std::string &s)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.')
            out += static_cast<char>(c);
        else if (c == ' ')
            out += '+';
        else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

/* now + seconds, held to the last second of year 9999 so that any
 * lifetime a script gives makes a date. */
long time_after(long seconds)
{
    const long last = 253402300799L;
    long now = static_cast<long>(std::time(nullptr));
    return seconds > last - now ? last : now + seconds;
}

void send_cookie()
{
    const session_settings &c = state.config;
    std::string line = "Set-Cookie: " + url_encoded(c.name) + "=" + url_encoded(state.id);
    if (c.cookie_lifetime > 0)
        line += "; expires=" + date_text("D, d-M-Y H:i:s \\G\\M\\T", time_after(c.cookie_lifetime), false);
    if (!c.cookie_path.empty())
        line += "; path=" + c.cookie_path;
    if (!c.cookie_domain.empty())
        line += "; domain=" + c.cookie_domain;
    if (c.cookie_secure)
        line += "; secure";
    send_header(line, false);
}

void send_cache_limiter()
{
    const std::string &kind = state.config.cache_limiter;
    long seconds = std::clamp(state.config.cache_expire, 0L, 1000000000L) * 60;
    const char *long_ago = "Expires: Thu, 19 Nov 1981 08:52:00 GMT";
    if (kind == "nocache") {
        send_header(long_ago, true);
        send_header("Cache-Control: no-store, no-cache, must-revalidate, post-check=0, pre-check=0", true);
        send_header("Pragma: no-cache", true);
    } else if (kind == "private" || kind == "private_no_expire") {
        if (kind == "private")
            send_header(long_ago, true);
        send_header("Cache-Control: private, max-age=" + std::to_string(seconds) + ", pre-check=" + std::to_string(seconds),
                    true);
    } else if (kind == "public") {
        send_header("Expires: " + date_text("D, d M Y H:i:s \\G\\M\\T", time_after(seconds), false), true);
        send_header("Cache-Control: public, max-age=" + std::to_string(seconds), true);
    } else if (!kind.empty()) {
        zend_error(E_WARNING, "session_start(): Unrecognized cache limiter mode '%s'", kind.c_str());
    }
}

/* The array behind $_SESSION, or nullptr when the script took it away. */
HashTable *session_vars()
{
    for (const char *name : {"_SESSION", "HTTP_SESSION_VARS"}) {
        zval **vars;
        if (zend_hash_find(&EG(symbol_table), name, static_cast<uint>(std::strlen(name) + 1), (void **)&vars) == SUCCESS &&
            (*vars)->type == IS_ARRAY)
            return (*vars)->value.ht;
    }
    return nullptr;
}

/* Makes vars (an array, whose reference the call takes) $_SESSION and
 * $HTTP_SESSION_VARS: one array under both names. */
void install_session_vars(zval *vars)
{
    vars->is_ref = 1;
    vars->refcount = 2;
    zend_hash_update(&EG(symbol_table), "HTTP_SESSION_VARS", sizeof "HTTP_SESSION_VARS", &vars, sizeof(zval *), nullptr);
    zend_hash_update(&EG(symbol_table), "_SESSION", sizeof "_SESSION", &vars, sizeof(zval *), nullptr);
}

zval *empty_array()
{
    zval *vars = new_long(0);
    array_init(vars);
    return vars;
}

/* The variables of a session text, read into an array of their own:
 * __wakeup methods that run meanwhile may do what they like with
 * $_SESSION without pulling the table from under the reader. */
zval *decoded(const std::string &text)
{
    zval *vars = empty_array();
    session::decode(text, vars->value.ht);
    return vars;
}

/* Opens and locks the session's file; -1 after a warning. */
int open_locked(const std::string &path)
{
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        int err = errno;
        zend_error(E_WARNING, "%sopen(%s, O_RDWR) failed: %s (%d)", origin().c_str(), path.c_str(), std::strerror(err),
                   err);
        return -1;
    }
    while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    return fd;
}

std::string read_all(int fd)
{
    std::string data;
    char buf[8192];
    off_t at = 0;
    for (;;) {
        ssize_t n = pread(fd, buf, sizeof buf, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        data.append(buf, static_cast<std::size_t>(n));
        at += n;
    }
    return data;
}

bool write_all(int fd, const std::string &data)
{
    if (ftruncate(fd, 0) != 0)
        return false;
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = pwrite(fd, data.data() + done, data.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

/* Writes the variables back and lets the file go. */
void write_session()
{
    if (!state.active)
        return;
    state.active = false;
    struct closer {
        ~closer() { close_file(); }
    } on_exit;
    HashTable *vars = session_vars();
    std::string data = vars ? session::encode(vars) : std::string();
    std::string path = session::file_path(save_path(), state.id);
    if (state.fd < 0 || path != state.open_path) {
        /* the id changed (session_id, session_regenerate_id): a new file */
        close_file();
        state.fd = open_locked(path);
        state.open_path = path;
    }
    if (state.fd < 0 || !write_all(state.fd, data))
        zend_error(E_WARNING, "Failed to write session data (files). Please verify that the current setting of "
                              "session.save_path is correct (%s)", save_path().c_str());
}

void maybe_collect_garbage()
{
    const session_settings &c = state.config;
    if (c.gc_probability <= 0 || c.gc_divisor <= 0)
        return;
    std::uniform_int_distribution<long> draw(0, c.gc_divisor - 1);
    if (draw(random_generator()) < c.gc_probability)
        session::collect_garbage(save_path(), c.gc_maxlifetime, std::time(nullptr));
}

/* Names a session variable may not bind to a global of: the request
 * arrays and $GLOBALS, which session data must never replace. */
bool reserved_global(const std::string &name)
{
    static const char *const names[] = {"GLOBALS",          "_SESSION",       "HTTP_SESSION_VARS", "_GET",
                                        "_POST",            "_COOKIE",        "_SERVER",           "_ENV",
                                        "_FILES",           "_REQUEST",       "HTTP_GET_VARS",     "HTTP_POST_VARS",
                                        "HTTP_COOKIE_VARS", "HTTP_SERVER_VARS", "HTTP_ENV_VARS",   "HTTP_POST_FILES"};
    return std::any_of(std::begin(names), std::end(names), [&](const char *n) { return name == n; });
}

/* The slot of name in a table, or nullptr. */
zval **slot_of(HashTable *table, const std::string &name)
{
    zval **slot;
    if (zend_hash_find(table, name.c_str(), static_cast<uint>(name.size() + 1), (void **)&slot) == SUCCESS)
        return slot;
    return nullptr;
}

/* Makes the value in slot a reference that other names may share (a
 * shared value is split off first). */
zval *as_reference(zval **slot)
{
    if (!(*slot)->is_ref && (*slot)->refcount > 1) {
        zval *own = zend::builtins::copy_of(*slot);
        (*slot)->refcount--;
        *slot = own;
    }
    (*slot)->is_ref = 1;
    return *slot;
}

zval *null_value()
{
    zval *z = zend::builtins::new_long(0);
    z->type = IS_NULL;
    return z;
}

void bind(HashTable *table, const std::string &name, zval *ref)
{
    ref->refcount++;
    zend_hash_update(table, name.c_str(), static_cast<uint>(name.size() + 1), &ref, sizeof(zval *), nullptr);
}

/* With register_globals, the session variable name and the global of that
 * name become one variable, as the original engine bound them: a global
 * that exists already takes the session's value. */
void bind_global(HashTable *vars, const std::string &name)
{
    if (reserved_global(name))
        return;
    zval **tracked = slot_of(vars, name);
    zval **global = slot_of(&EG(symbol_table), name);
    if (tracked && global && *tracked == *global)
        return;
    if (tracked && global) {
        zval *value = zend::builtins::copy_of(*tracked);
        zval *g = as_reference(global);
        zval_dtor(g);
        g->type = value->type;
        g->value = value->value;
        value->type = IS_NULL;
        zval_ptr_dtor(&value);
        bind(vars, name, g);
    } else if (tracked) {
        bind(&EG(symbol_table), name, as_reference(tracked));
    } else if (global) {
        bind(vars, name, as_reference(global));
    } else {
        zval *fresh = null_value();
        fresh->is_ref = 1;
        bind(vars, name, fresh);
        bind(&EG(symbol_table), name, fresh);
        zval_ptr_dtor(&fresh); /* after both bindings: a count of 1 would end the reference */
    }
}

/* session_register's work for one name: the variable joins the session
 * (null when new); with register_globals it is the global too. */
void register_name(const std::string &name)
{
    if (name == "HTTP_SESSION_VARS" || name == "_SESSION")
        return;
    HashTable *vars = session_vars();
    if (!vars)
        return;
    if (zend::settings.register_globals) {
        bind_global(vars, name);
    } else if (!slot_of(vars, name)) {
        array_put(vars, name, null_value());
    }
}

/* Names may be given as strings or in arrays, nested. */
void register_names(zval *arg, int depth)
{
    if (arg->type == IS_ARRAY) {
        if (depth >= 64)
            return;
        for (const element &e : elements(arg->value.ht))
            register_names(*e.data, depth + 1);
        return;
    }
    register_name(zend::builtins::to_string(arg));
}

bool start_session()
{
    if (state.active) {
        zend_error(E_NOTICE, "A session had already been started - ignoring session_start()");
        return true;
    }
    const std::string &name = state.config.name;
    bool from_cookie = false;
    if (state.id.empty()) {
        std::string given;
        if (request_value("_COOKIE", name, given))
            from_cookie = true;
        else if (!request_value("_GET", name, given))
            request_value("_POST", name, given);
        /* an id the request made up is not worth a warning: start afresh */
        state.id = session::valid_id(given) ? given : std::string();
        if (state.id.empty())
            from_cookie = false;
    } else if (!session::valid_id(state.id)) {
        zend_error(E_WARNING, "session_start(): The session id contains illegal characters, valid characters are "
                              "a-z, A-Z, 0-9 and '-,'");
        state.id.clear();
    }
    if (state.id.empty())
        state.id = session::new_id();

    if (state.config.save_path.empty())
        mkdir(save_path().c_str(), 0700); /* the default folder is made on first use */
    std::string path = session::file_path(save_path(), state.id);
    close_file();
    state.fd = open_locked(path);
    state.open_path = path;
    /* active from here: a __wakeup that starts the session again only gets
     * the notice */
    state.active = true;
    install_session_vars(empty_array());
    std::string data = state.fd >= 0 ? read_all(state.fd) : std::string();
    install_session_vars(decoded(data));
    if (zend::settings.register_globals)
        if (HashTable *vars = session_vars())
            for (const element &e : elements(vars))
                if (e.string_key)
                    bind_global(vars, e.key);

    if (!from_cookie)
        send_cookie();
    send_cache_limiter();
    zval sid;
    std::string sid_text = from_cookie ? std::string() : name + "=" + state.id;
    sid.type = IS_STRING;
    sid.value.str.val = const_cast<char *>(sid_text.c_str());
    sid.value.str.len = static_cast<int>(sid_text.size());
    zend::builtins::define_constant("SID", &sid, false, false);
    maybe_collect_garbage();
    return true;
}

/* Applies a string setting given to a session_* function: the old value
 * is the result. */
void string_setting(INTERNAL_FUNCTION_PARAMETERS, std::string &setting)
{
    std::string old = setting;
    if (!parse_args(ZEND_NUM_ARGS(), "|s", &setting))
        return;
    return_string(return_value, old);
}

long setting_number(const std::string &value)
{
    return std::strtol(value.c_str(), nullptr, 10);
}

} // namespace

namespace zend::builtins::session {

bool valid_id(const std::string &id)
{
    if (id.empty() || id.size() > max_id_length)
        return false;
    for (char c : id)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ',' || c == '-'))
            return false;
    return true;
}

std::string new_id()
{
    unsigned char bytes[16];
    std::size_t got = 0;
    while (got < sizeof bytes) {
        ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    if (got < sizeof bytes) {
        /* no system random source: the engine's generator, reseeded */
        std::mt19937 &g = random_generator();
        for (std::size_t i = got; i < sizeof bytes; i++)
            bytes[i] = static_cast<unsigned char>(g());
    }
    static const char hex[] = "0123456789abcdef";
    std::string id;
    for (unsigned char b : bytes) {
        id += hex[b >> 4];
        id += hex[b & 15];
    }
    return id;
}

std::string default_save_path()
{
    const char *tmp = std::getenv("TMPDIR");
    std::string dir = tmp && *tmp ? tmp : "/tmp";
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir + "/brisko-sessions";
}

std::string file_path(const std::string &save_path, const std::string &id)
{
    std::string dir = save_path;
    std::size_t depth = 0;
    std::size_t semicolon = dir.find(';');
    if (semicolon != std::string::npos) {
        depth = static_cast<std::size_t>(std::strtoul(dir.c_str(), nullptr, 10));
        dir.erase(0, semicolon + 1);
        semicolon = dir.find(';'); /* an optional file mode comes next */
        if (semicolon != std::string::npos)
            dir.erase(0, semicolon + 1);
    }
    std::string path = dir;
    for (std::size_t i = 0; i < depth && i < id.size(); i++) {
        path += '/';
        path += id[i];
    }
    return path + "/sess_" + id;
}

std::size_t collect_garbage(const std::string &dir, long max_lifetime, std::time_t now)
{
    DIR *d = opendir(dir.c_str());
    if (!d)
        return 0;
    std::size_t removed = 0;
    while (dirent *entry = readdir(d)) {
        std::string name = entry->d_name;
        if (name.compare(0, 5, "sess_") != 0 || !valid_id(name.substr(5)))
            continue;
        std::string path = dir + "/" + name;
        struct stat st;
        if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_mtime < now - max_lifetime &&
            unlink(path.c_str()) == 0)
            removed++;
    }
    closedir(d);
    return removed;
}

std::string encode(HashTable *vars)
{
    std::string out;
    value_writer writer;
    for (const element &e : elements(vars)) {
        if (!e.string_key) {
            zend_error(E_NOTICE, "Skipping numeric key %ld", static_cast<long>(e.index));
            continue;
        }
        if (e.key.find('|') != std::string::npos || (!e.key.empty() && e.key[0] == '!')) {
            zend_error(E_NOTICE, "Skipping session variable '%s': its name may not hold '|' or start with '!'",
                       e.key.c_str());
            continue;
        }
        out += e.key;
        out += '|';
        writer.write(out, *e.data);
    }
    return out;
}

void decode(const std::string &text, HashTable *vars)
{
    value_reader reader;
    std::size_t p = 0;
    while (p < text.size()) {
        std::size_t bar = text.find('|', p);
        if (bar == std::string::npos)
            break;
        bool defined = text[p] != '!';
        std::string name = text.substr(defined ? p : p + 1, bar - (defined ? p : p + 1));
        std::size_t q = bar + 1;
        if (defined) {
            if (zval *v = reader.read(text.data(), text.size(), q))
                array_put(vars, name, v);
        }
        p = q > p ? q : p + 1;
    }
}

namespace {

/* The session settings by their ini names: each one text or number field. */
struct setting_field {
    const char *name;
    std::string session_settings::*text;
    long session_settings::*number;
};

const setting_field setting_fields[] = {
    {"session.save_path", &session_settings::save_path, nullptr},
    {"session.name", &session_settings::name, nullptr},
    {"session.cache_limiter", &session_settings::cache_limiter, nullptr},
    {"session.cache_expire", nullptr, &session_settings::cache_expire},
    {"session.gc_maxlifetime", nullptr, &session_settings::gc_maxlifetime},
    {"session.gc_probability", nullptr, &session_settings::gc_probability},
    {"session.gc_divisor", nullptr, &session_settings::gc_divisor},
    {"session.cookie_lifetime", nullptr, &session_settings::cookie_lifetime},
    {"session.cookie_path", &session_settings::cookie_path, nullptr},
    {"session.cookie_domain", &session_settings::cookie_domain, nullptr},
};

const setting_field *find_field(const std::string &name)
{
    for (const setting_field &f : setting_fields)
        if (name == f.name)
            return &f;
    return nullptr;
}

void set_field(session_settings &c, const setting_field &f, const std::string &value)
{
    if (f.text)
        c.*f.text = value;
    else
        c.*f.number = setting_number(value);
}

std::string field_text(const session_settings &c, const setting_field &f)
{
    return f.text ? c.*f.text : std::to_string(c.*f.number);
}

} // namespace

bool apply_setting(const std::string &name, const std::string &value)
{
    const setting_field *f = find_field(name);
    if (!f)
        return false;
    set_field(configured(), *f, value);
    return true;
}

bool request_setting(const std::string &name, std::string &text)
{
    const setting_field *f = find_field(name);
    if (!f)
        return false;
    text = field_text(state.config, *f);
    return true;
}

bool change_request_setting(const std::string &name, const std::string &value, std::string &old)
{
    const setting_field *f = find_field(name);
    if (!f)
        return false;
    old = field_text(state.config, *f);
    set_field(state.config, *f, value);
    return true;
}

bool restore_request_setting(const std::string &name)
{
    const setting_field *f = find_field(name);
    if (!f)
        return false;
    set_field(state.config, *f, field_text(configured(), *f));
    return true;
}

} // namespace zend::builtins::session

namespace zend::builtins {

void session_request_startup()
{
    close_file();
    state = request_session{};
    state.config = configured();
}

void session_request_shutdown()
{
    in_shutdown = true;
    struct reset {
        ~reset() { in_shutdown = false; }
    } on_exit;
    write_session();
    close_file();
}

} // namespace zend::builtins

/* session_start(): always true. */
ZEND_FUNCTION(session_start)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    RETURN_BOOL(start_session());
}

/* session_id([id]): the current id ("" before there is one). */
ZEND_FUNCTION(session_id)
{
    string_setting(INTERNAL_FUNCTION_PARAM_PASSTHRU, state.id);
}

ZEND_FUNCTION(session_name)
{
    string_setting(INTERNAL_FUNCTION_PARAM_PASSTHRU, state.config.name);
}

ZEND_FUNCTION(session_save_path)
{
    string_setting(INTERNAL_FUNCTION_PARAM_PASSTHRU, state.config.save_path);
}

ZEND_FUNCTION(session_cache_limiter)
{
    string_setting(INTERNAL_FUNCTION_PARAM_PASSTHRU, state.config.cache_limiter);
}

/* session_write_close(): writes the session now and lets its file go. */
ZEND_FUNCTION(session_write_close)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    write_session();
}

/* session_destroy(): removes the session's file; $_SESSION stays. */
ZEND_FUNCTION(session_destroy)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    if (!state.active) {
        zend_error(E_WARNING, "session_destroy(): Trying to destroy uninitialized session");
        RETURN_FALSE;
    }
    std::string path = session::file_path(save_path(), state.id);
    bool ok = unlink(path.c_str()) == 0 || errno == ENOENT;
    close_file();
    state.active = false;
    state.id.clear();
    if (!ok) {
        zend_error(E_WARNING, "session_destroy(): Session object destruction failed");
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

/* session_unset(): empties $_SESSION. */
ZEND_FUNCTION(session_unset)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    if (!state.active)
        RETURN_FALSE;
    if (HashTable *vars = session_vars())
        zend_hash_clean(vars);
}

/* session_regenerate_id(): a new id for the running session, sent in a
 * new cookie; its data is written under the new id. */
ZEND_FUNCTION(session_regenerate_id)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    if (!state.active)
        RETURN_FALSE;
    state.id = session::new_id();
    send_cookie();
    RETURN_TRUE;
}

ZEND_FUNCTION(session_encode)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    HashTable *vars = state.active ? session_vars() : nullptr;
    if (!vars) {
        zend_error(E_WARNING, "session_encode(): Cannot encode non-existent session.");
        RETURN_FALSE;
    }
    return_string(return_value, session::encode(vars));
}

/* session_decode(text): the variables of a session text into $_SESSION. */
ZEND_FUNCTION(session_decode)
{
    std::string text;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &text))
        return;
    if (!state.active)
        RETURN_FALSE;
    zval *vars = decoded(text);
    HashTable *target = session_vars();
    if (!target) {
        install_session_vars(vars);
        RETURN_TRUE;
    }
    for (const element &e : elements(vars->value.ht)) {
        (*e.data)->refcount++;
        array_put(target, e.key, *e.data);
    }
    zval_ptr_dtor(&vars);
    RETURN_TRUE;
}

/* session_register(name, ...): each name (or array of names) joins the
 * session, which starts if it has not; always true. */
ZEND_FUNCTION(session_register)
{
    std::vector<zval **> args;
    if (!parse_args(ZEND_NUM_ARGS(), "+", &args))
        return;
    if (!state.active)
        start_session();
    for (zval **arg : args)
        register_names(*arg, 0);
    RETURN_TRUE;
}

/* session_unregister(name): the variable leaves the session (a global of
 * that name stays); true. */
ZEND_FUNCTION(session_unregister)
{
    std::string name;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &name))
        return;
    if (HashTable *vars = session_vars())
        zend_hash_del(vars, name.c_str(), static_cast<uint>(name.size() + 1));
    RETURN_TRUE;
}

/* session_is_registered(name): whether the session has that variable. */
ZEND_FUNCTION(session_is_registered)
{
    std::string name;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &name))
        return;
    HashTable *vars = session_vars();
    RETURN_BOOL(vars && slot_of(vars, name));
}

ZEND_FUNCTION(session_get_cookie_params)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    const session_settings &c = state.config;
    array_init(return_value);
    add_assoc_long(return_value, "lifetime", c.cookie_lifetime);
    add_assoc_string(return_value, "path", c.cookie_path.c_str(), 1);
    add_assoc_string(return_value, "domain", c.cookie_domain.c_str(), 1);
    add_assoc_bool(return_value, "secure", c.cookie_secure);
}

/* session_set_cookie_params(lifetime [, path [, domain [, secure]]]) */
ZEND_FUNCTION(session_set_cookie_params)
{
    session_settings &c = state.config;
    parse_args(ZEND_NUM_ARGS(), "l|ssb", &c.cookie_lifetime, &c.cookie_path, &c.cookie_domain, &c.cookie_secure);

}
