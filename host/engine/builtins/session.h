/* Sessions in files: one file "sess_<id>" per session in the save folder,
 * holding the session's variables as name|value pairs in the engine's
 * serialization format. A started session keeps its file open and locked
 * (flock, exclusive) until it is written back: at session_write_close()
 * or when the request ends. */
#ifndef BRISKO_BUILTINS_SESSION_H
#define BRISKO_BUILTINS_SESSION_H

#include <ctime>
#include <string>

#include "php.h"

namespace zend::builtins::session {

/* A session id may only hold a-z, A-Z, 0-9, "," and "-" and is at most
 * max_id_length long, so that it can never name a path outside the save
 * folder. */
constexpr std::size_t max_id_length = 128;
bool valid_id(const std::string &id);

/* 32 hex digits from the system's random source. */
std::string new_id();

/* The save folder when none is set: "brisko-sessions" under the system's
 * temporary folder (TMPDIR, else /tmp). */
std::string default_save_path();

/* Where the file of a session lives for a save path ("[depth;[mode;]]dir":
 * with a depth, that many levels of one-character folders named after
 * the first characters of the id). */
std::string file_path(const std::string &save_path, const std::string &id);

/* Removes session files in dir last changed before now - max_lifetime;
 * returns how many went. */
std::size_t collect_garbage(const std::string &dir, long max_lifetime, std::time_t now);

/* Session text of a table of variables, and back. Keys that cannot be
 * written (numbers, names holding "|" or "!") are left out with a notice. */
std::string encode(HashTable *vars);
void decode(const std::string &text, HashTable *vars);

/* Settings a program may give before requests run, by their ini names
 * (session.save_path, session.name, session.gc_maxlifetime,
 * session.gc_probability, session.gc_divisor, session.cache_limiter,
 * session.cookie_lifetime, session.cookie_path, session.cookie_domain).
 * false for a name that is not one of them. */
bool apply_setting(const std::string &name, const std::string &value);

/* The same settings for the running request only (ini_get, ini_set,
 * ini_restore): its value as text, a change that returns the old text,
 * and the way back to what the program configured. false for a name that
 * is not a session setting. */
bool request_setting(const std::string &name, std::string &text);
bool change_request_setting(const std::string &name, const std::string &value, std::string &old);
bool restore_request_setting(const std::string &name);

} // namespace zend::builtins::session

#endif
