/* Perl-compatible regular expressions on PCRE2: delimited patterns with
 * trailing modifiers ("/ab+c/i", "{a(b)}x"), compiled once per process and
 * kept in a bounded cache, and matching with limits so that a pattern that
 * backtracks without end stops with a warning instead of holding the
 * process. */
#ifndef BRISKO_BUILTINS_PCRE_H
#define BRISKO_BUILTINS_PCRE_H

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace zend::builtins::pcre {

/* A compiled pattern. Shared: the cache may drop its entry while a caller
 * (say, preg_replace_callback running its callback) still uses it. */
struct pattern {
    pcre2_code *code = nullptr;
    std::size_t capture_count = 0;
    std::vector<std::string> names; /* by group number, "" when unnamed; empty when no group has a name */
    bool utf = false;               /* /u */
    bool eval = false;              /* /e, which this engine does not run */
    bool jit = false;               /* JIT-compiled */
    ~pattern();
};
using pattern_ptr = std::shared_ptr<const pattern>;

/* The compiled pattern for a delimited regular expression, from the cache
 * or compiled now. nullptr after a warning naming the running function
 * when the expression is malformed. */
pattern_ptr compile(const std::string &regex);

/* Outcome of one match attempt. */
enum class outcome { matched, no_match, limit };

/* Match state of one pattern: offsets of the last match, reused between
 * attempts on the same pattern. */
class matcher {
public:
    explicit matcher(pattern_ptr p);
    ~matcher();
    matcher(const matcher &) = delete;
    matcher &operator=(const matcher &) = delete;

    /* Tries at `offset`. With not_empty_at_start the match must be
     * anchored at offset and not empty (the retry after an empty match).
     * On `limit` a warning has been raised. */
    outcome run(const char *subject, std::size_t length, std::size_t offset, bool not_empty_at_start = false);

    /* Group i of the last match: start and end offsets, or npos when the
     * group did not take part. `groups()` counts the groups that the
     * match reached (at least 1). */
    std::size_t groups() const { return groups_; }
    std::size_t start(std::size_t i) const;
    std::size_t end(std::size_t i) const;
    const pattern &compiled() const { return *pattern_; }

private:
    pattern_ptr pattern_;
    pcre2_match_data *data_ = nullptr;
    std::size_t groups_ = 0;
};

/* Where to try next after a match that ended at `end` and was empty:
 * one character further (a whole UTF-8 sequence under /u). */
std::size_t step_past(const pattern &p, const char *subject, std::size_t length, std::size_t end);

/* The cache, for tests and benchmarks. */
std::size_t cache_entries();
void clear_cache();
constexpr std::size_t cache_limit = 4096;             /* patterns kept at most */
constexpr std::size_t cache_byte_limit = 32u << 20;   /* compiled bytes kept at most */

/* Limits on one match attempt (the idea of pcre.backtrack_limit and
 * pcre.recursion_limit). */
constexpr uint32_t backtrack_limit = 1000000;
constexpr uint32_t depth_limit = 100000;
constexpr uint32_t heap_limit_kib = 64u << 10; /* 64 MiB of backtracking memory */

} // namespace zend::builtins::pcre

#endif
