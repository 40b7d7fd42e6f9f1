/* Delimited patterns, their cache and matching with limits.
 *
 * The cache maps the whole expression text (delimiters and modifiers
 * included) to its compiled pattern. It is process memory, outside every
 * request, and holds at most cache_limit patterns and cache_byte_limit
 * compiled bytes; past either bound the least recently used go. Entries
 * are shared pointers, so a pattern evicted while a caller still matches
 * with it lives until that caller lets it go. The match context (limits
 * and JIT stack) is made once per process and kept until it exits. */
#include "pcre.h"

#include <cctype>
#include <cstring>
#include <list>
#include <unordered_map>

#include "php.h"

namespace zend::builtins::pcre {

pattern::~pattern()
{
    pcre2_code_free(code);
}

namespace {

struct cache_entry {
    std::string key;
    pattern_ptr compiled;
    std::size_t bytes;
};

struct pattern_cache {
    std::list<cache_entry> order; /* most recently used first */
    std::unordered_map<std::string, std::list<cache_entry>::iterator> index;
    std::size_t bytes = 0;

    pattern_ptr find(const std::string &key)
    {
        auto it = index.find(key);
        if (it == index.end())
            return nullptr;
        order.splice(order.begin(), order, it->second);
        return it->second->compiled;
    }

    void add(const std::string &key, pattern_ptr p, std::size_t size)
    {
        order.push_front({key, std::move(p), size});
        index[key] = order.begin();
        bytes += size;
        while (order.size() > cache_limit || (bytes > cache_byte_limit && order.size() > 1)) {
            bytes -= order.back().bytes;
            index.erase(order.back().key);
            order.pop_back();
        }
    }

    void clear()
    {
        index.clear();
        order.clear();
        bytes = 0;
    }
};

pattern_cache &cache()
{
    static pattern_cache instance;
    return instance;
}

/* Limits and the JIT stack, shared by every match in the process. */
struct match_setup {
    pcre2_match_context *context = nullptr;
    pcre2_jit_stack *jit_stack = nullptr;

    match_setup()
    {
        context = pcre2_match_context_create(nullptr);
        if (!context)
            return;
        pcre2_set_match_limit(context, backtrack_limit);
        pcre2_set_depth_limit(context, depth_limit);
        pcre2_set_heap_limit(context, heap_limit_kib);
        jit_stack = pcre2_jit_stack_create(32 * 1024, 512 * 1024, nullptr);
        if (jit_stack)
            pcre2_jit_stack_assign(context, nullptr, jit_stack);
    }
    ~match_setup()
    {
        pcre2_jit_stack_free(jit_stack);
        pcre2_match_context_free(context);
    }
};

pcre2_match_context *match_context()
{
    static match_setup setup;
    return setup.context;
}

const char *function_name()
{
    const char *name = get_active_function_name();
    return name ? name : "preg";
}

/* The closing delimiter for an opening one: brackets pair up, anything
 * else closes itself. */
char closing_delimiter(char open)
{
    switch (open) {
    case '(': return ')';
    case '[': return ']';
    case '{': return '}';
    case '<': return '>';
    default: return open;
    }
}

/* Splits "<d>body<d>modifiers" into body and modifiers; false after a
 * warning. Paired delimiters nest; a backslash hides the next byte. */
bool split_expression(const std::string &regex, std::string &body, std::string &modifiers)
{
    std::size_t p = 0, n = regex.size();
    while (p < n && std::isspace(static_cast<unsigned char>(regex[p])))
        p++;
    if (p == n) {
        zend_error(E_WARNING, "%s(): Empty regular expression", function_name());
        return false;
    }
    char open = regex[p++];
    if (std::isalnum(static_cast<unsigned char>(open)) || open == '\\') {
        zend_error(E_WARNING, "%s(): Delimiter must not be alphanumeric or backslash", function_name());
        return false;
    }
    char close = closing_delimiter(open);
    std::size_t start = p;
    int nesting = 1;
    for (; p < n; p++) {
        char c = regex[p];
        if (c == '\\' && p + 1 < n)
            p++;
        else if (c == close && --nesting == 0)
            break;
        else if (c == open && open != close)
            nesting++;
    }
    if (p >= n) {
        if (open == close)
            zend_error(E_WARNING, "%s(): No ending delimiter '%c' found", function_name(), close);
        else
            zend_error(E_WARNING, "%s(): No ending matching delimiter '%c' found", function_name(), close);
        return false;
    }
    body.assign(regex, start, p - start);
    modifiers.assign(regex, p + 1, std::string::npos);
    return true;
}

struct options {
    uint32_t compile = 0;
    uint32_t extra = PCRE2_EXTRA_BAD_ESCAPE_IS_LITERAL; /* as PCRE did before 'X' */
    bool eval = false;
};

bool parse_modifiers(const std::string &modifiers, options &o)
{
    for (char m : modifiers) {
        switch (m) {
        case 'i': o.compile |= PCRE2_CASELESS; break;
        case 'm': o.compile |= PCRE2_MULTILINE; break;
        case 's': o.compile |= PCRE2_DOTALL; break;
        case 'x': o.compile |= PCRE2_EXTENDED; break;
        case 'A': o.compile |= PCRE2_ANCHORED; break;
        case 'D': o.compile |= PCRE2_DOLLAR_ENDONLY; break;
        case 'S': break; /* every pattern is studied (JIT-compiled) anyway */
        case 'U': o.compile |= PCRE2_UNGREEDY; break;
        case 'X': o.extra &= ~PCRE2_EXTRA_BAD_ESCAPE_IS_LITERAL; break;
        case 'u': o.compile |= PCRE2_UTF; break;
        case 'e': o.eval = true; break;
        case ' ':
        case '\n': break;
        default:
            zend_error(E_WARNING, "%s(): Unknown modifier '%c'", function_name(), m);
            return false;
        }
    }
    return true;
}

/* The library's words for the mistakes people make most, as scripts
 * have always seen them. */
const char *classic_message(int error, const char *message)
{
    switch (error) {
    case PCRE2_ERROR_QUANTIFIER_INVALID: return "nothing to repeat";
    case PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS: return "missing )";
    case PCRE2_ERROR_UNMATCHED_CLOSING_PARENTHESIS: return "unmatched parentheses";
    default: return message;
    }
}

std::vector<std::string> group_names(pcre2_code *code, std::size_t captures)
{
    uint32_t count = 0, entry_size = 0;
    PCRE2_SPTR table = nullptr;
    pcre2_pattern_info(code, PCRE2_INFO_NAMECOUNT, &count);
    if (count == 0)
        return {};
    pcre2_pattern_info(code, PCRE2_INFO_NAMEENTRYSIZE, &entry_size);
    pcre2_pattern_info(code, PCRE2_INFO_NAMETABLE, &table);
    std::vector<std::string> names(captures + 1);
    for (uint32_t i = 0; i < count; i++, table += entry_size) {
        std::size_t group = (static_cast<std::size_t>(table[0]) << 8) | table[1];
        if (group <= captures)
            names[group] = reinterpret_cast<const char *>(table + 2);
    }
    return names;
}

} // namespace

pattern_ptr compile(const std::string &regex)
{
    if (pattern_ptr hit = cache().find(regex))
        return hit;
    if (regex.find('\0') != std::string::npos) {
        zend_error(E_WARNING, "%s(): Null byte in regex", function_name());
        return nullptr;
    }
    std::string body, modifiers;
    options o;
    if (!split_expression(regex, body, modifiers) || !parse_modifiers(modifiers, o))
        return nullptr;

    pcre2_compile_context *context = pcre2_compile_context_create(nullptr);
    if (!context) {
        zend_error(E_WARNING, "%s(): Out of memory compiling the pattern", function_name());
        return nullptr;
    }
    pcre2_set_compile_extra_options(context, o.extra);
    pcre2_set_newline(context, PCRE2_NEWLINE_LF);
    int error = 0;
    PCRE2_SIZE error_offset = 0;
    pcre2_code *code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(body.data()), body.size(), o.compile, &error,
                                     &error_offset, context);
    pcre2_compile_context_free(context);
    if (!code) {
        PCRE2_UCHAR message[256];
        if (pcre2_get_error_message(error, message, sizeof message) < 0)
            std::strcpy(reinterpret_cast<char *>(message), "unknown error");
        zend_error(E_WARNING, "%s(): Compilation failed: %s at offset %zu", function_name(),
                   classic_message(error, reinterpret_cast<const char *>(message)),
                   static_cast<std::size_t>(error_offset));
        return nullptr;
    }
    auto p = std::make_shared<pattern>();
    p->code = code;
    uint32_t captures = 0;
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &captures);
    p->capture_count = captures;
    p->names = group_names(code, captures);
    p->utf = (o.compile & PCRE2_UTF) != 0;
    p->eval = o.eval;
    p->jit = pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0;
    std::size_t size = 0, jit_size = 0;
    pcre2_pattern_info(code, PCRE2_INFO_SIZE, &size);
    if (p->jit)
        pcre2_pattern_info(code, PCRE2_INFO_JITSIZE, &jit_size);
    cache().add(regex, p, size + jit_size + regex.size());
    return p;
}

std::size_t cache_entries()
{
    return cache().order.size();
}

void clear_cache()
{
    cache().clear();
}

matcher::matcher(pattern_ptr p) : pattern_(std::move(p))
{
    data_ = pcre2_match_data_create_from_pattern(pattern_->code, nullptr);
}

matcher::~matcher()
{
    pcre2_match_data_free(data_);
}

outcome matcher::run(const char *subject, std::size_t length, std::size_t offset, bool not_empty_at_start)
{
    groups_ = 0;
    if (!data_ || offset > length)
        return outcome::no_match;
    uint32_t options = not_empty_at_start ? (PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED) : 0;
    auto text = reinterpret_cast<PCRE2_SPTR>(subject ? subject : "");
    int rc = pcre2_match(pattern_->code, text, length, offset, options, data_, match_context());
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT)
        rc = pcre2_match(pattern_->code, text, length, offset, options | PCRE2_NO_JIT, data_, match_context());
    if (rc > 0) {
        groups_ = static_cast<std::size_t>(rc);
        return outcome::matched;
    }
    switch (rc) {
    case PCRE2_ERROR_MATCHLIMIT:
    case PCRE2_ERROR_DEPTHLIMIT:
    case PCRE2_ERROR_HEAPLIMIT:
    case PCRE2_ERROR_JIT_STACKLIMIT:
        zend_error(E_WARNING, "%s(): Matching stopped at the backtracking limit: the pattern is too costly for this subject",
                   function_name());
        return outcome::limit;
    case PCRE2_ERROR_NOMEMORY:
        zend_error(E_WARNING, "%s(): Matching stopped: out of memory", function_name());
        return outcome::limit;
    default:
        /* no match, or a subject that is not valid UTF-8 under /u */
        return outcome::no_match;
    }
}

std::size_t matcher::start(std::size_t i) const
{
    if (i >= groups_)
        return std::string::npos;
    PCRE2_SIZE v = pcre2_get_ovector_pointer(data_)[2 * i];
    return v == PCRE2_UNSET ? std::string::npos : static_cast<std::size_t>(v);
}

std::size_t matcher::end(std::size_t i) const
{
    if (i >= groups_)
        return std::string::npos;
    PCRE2_SIZE v = pcre2_get_ovector_pointer(data_)[2 * i + 1];
    return v == PCRE2_UNSET ? std::string::npos : static_cast<std::size_t>(v);
}

std::size_t step_past(const pattern &p, const char *subject, std::size_t length, std::size_t end)
{
    std::size_t next = end + 1;
    if (p.utf)
        while (next < length && (static_cast<unsigned char>(subject[next]) & 0xC0) == 0x80)
            next++;
    return next;
}

} // namespace zend::builtins::pcre
