/* Scanner for the script language.
 *
 * Works like the engine's own scanner: a stack of modes. The bottom frame
 * alternates between html (text outside the tags) and script. A string
 * with interpolation pushes a dquote or heredoc frame that yields literal
 * pieces and variables; "{$" and "${" inside it push a script frame that
 * the matching '}' pops. A '{' in script mode pushes a script frame too,
 * so braces stay balanced across the nesting.
 *
 * Invariants: the frame stack is never empty; p never passes end; every
 * newline consumed bumps line exactly once. */
#include "lexer.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>

namespace zend::ast {

namespace {

const char *const token_names[] = {
#define TOKEN(id, shown) shown,
#define KEYWORD(id, word) #id,
#include "tokens.def"
};

struct keyword_entry {
    const char *word;
    tk kind;
};

const keyword_entry keywords[] = {
#define KEYWORD(id, word) {word, tk::id},
#define ALIAS(id, word) {word, tk::id},
#include "tokens.def"
};

constexpr std::size_t longest_keyword = 12; /* "include_once", "require_once", "__function__" */

bool label_start(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x7f;
}
bool label_char(unsigned char c) { return label_start(c) || (c >= '0' && c <= '9'); }
bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }
bool is_hex(unsigned char c) {
    return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int hex_value(unsigned char c) {
    if (is_digit(c)) return c - '0';
    return (c | 0x20) - 'a' + 10;
}
char lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

tk keyword_kind(const char *s, std::size_t n) {
    if (n > longest_keyword) return tk::T_STRING;
    char buf[longest_keyword + 1];
    for (std::size_t i = 0; i < n; i++) buf[i] = lower(s[i]);
    buf[n] = '\0';
    for (const keyword_entry &k : keywords)
        if (k.word[0] == buf[0] && std::strcmp(k.word, buf) == 0) return k.kind;
    return tk::T_STRING;
}

/* Resolves the escapes of a double-quoted string or heredoc piece. Unknown
 * escapes keep their backslash; in a heredoc \" is not an escape. */
std::string unescape_double(const char *s, std::size_t n, bool heredoc) {
    std::string r;
    r.reserve(n);
    for (std::size_t i = 0; i < n; i++) {
        const void *slash = std::memchr(s + i, '\\', n - i);
        std::size_t stop = slash ? std::size_t(static_cast<const char *>(slash) - s) : n;
        r.append(s + i, stop - i);
        i = stop;
        if (i + 1 >= n) {
            if (i < n) r += s[i];
            continue;
        }
        char e = s[i + 1];
        switch (e) {
        case 'n': r += '\n'; i++; break;
        case 't': r += '\t'; i++; break;
        case 'r': r += '\r'; i++; break;
        case '\\': r += '\\'; i++; break;
        case '$': r += '$'; i++; break;
        case '"':
            if (heredoc) r += '\\';
            r += '"';
            i++;
            break;
        case 'x':
            if (i + 2 < n && is_hex(s[i + 2])) {
                int v = hex_value(s[i + 2]);
                i += 2;
                if (i + 1 < n && is_hex(s[i + 1])) v = v * 16 + hex_value(s[++i]);
                r += char(v);
            } else {
                r += '\\';
            }
            break;
        default:
            if (e >= '0' && e <= '7') {
                int v = 0, k = 0;
                while (k < 3 && i + 1 < n && s[i + 1] >= '0' && s[i + 1] <= '7') {
                    v = v * 8 + (s[++i] - '0');
                    k++;
                }
                r += char(v & 0xff);
            } else {
                r += '\\';
            }
        }
    }
    return r;
}

std::string unescape_single(const char *s, std::size_t n) {
    std::string r;
    r.reserve(n);
    for (std::size_t i = 0; i < n; i++) {
        const void *slash = std::memchr(s + i, '\\', n - i);
        std::size_t stop = slash ? std::size_t(static_cast<const char *>(slash) - s) : n;
        r.append(s + i, stop - i);
        i = stop;
        if (i >= n) break;
        if (i + 1 < n && (s[i + 1] == '\\' || s[i + 1] == '\'')) i++;
        r += s[i];
    }
    return r;
}

} // namespace

enum class scan_mode { html, script, dquote, heredoc };

struct scan_frame {
    scan_mode m;
    int start_line;     /* where the string began, for "unterminated" errors */
    std::string label;  /* heredoc closing label */
};

struct scanner {
    const char *p;
    const char *end;
    int line = 1;
    bool done = false;
    bool after_arrow = false; /* a name after "->" is a property, never a keyword */
    std::deque<token> out;   /* scanned, not yet passed by the parser */
    std::vector<scan_frame> stack;

    scanner(const char *s, std::size_t n, bool in_script, int first_line) : p(s), end(s + n), line(first_line) {
        stack.push_back({in_script ? scan_mode::script : scan_mode::html, first_line, {}});
    }

    token &emit(tk kind, int at) {
        out.push_back(token{kind, at, 0, 0, {}});
        return out.back();
    }
    void fail(const std::string &message, int at) {
        emit(tk::ERROR, at).text = message;
        done = true;
    }
    void count_lines(const char *from, const char *to) {
        for (const char *q = from; q < to; q++)
            if (*q == '\n') line++;
    }
    bool starts(const char *s) const {
        std::size_t n = std::strlen(s);
        return std::size_t(end - p) >= n && std::memcmp(p, s, n) == 0;
    }

    /* Scans until more than n tokens are waiting or the input is done. */
    void fill(std::size_t n) {
        while (out.size() <= n && !done) {
            switch (stack.back().m) {
            case scan_mode::html: scan_html(); break;
            case scan_mode::script: scan_script(); break;
            case scan_mode::dquote:
            case scan_mode::heredoc: scan_string(); break;
            }
        }
    }

    void scan_html();
    void scan_script();
    void scan_string();
    bool skip_blanks_and_comments();
    void scan_number();
    void scan_single_quoted();
    void scan_double_quoted();
    bool scan_heredoc_start();
    bool scan_cast();
    bool scan_operator();
    void scan_string_variable();
    bool at_heredoc_end(const char *q, const std::string &label) const;
};

void scanner::scan_html() {
    const char *start = p;
    int start_line = line;
    const char *q = p;
    while (q < end) {
        q = static_cast<const char *>(std::memchr(q, '<', std::size_t(end - q)));
        if (!q || (q + 1 < end && q[1] == '?')) break;
        q++;
    }
    if (!q || q >= end) q = end;
    if (q > start) {
        emit(tk::T_INLINE_HTML, start_line).text.assign(start, q);
        count_lines(start, q);
    }
    p = q;
    if (p >= end) {
        emit(tk::END, line);
        done = true;
        return;
    }
    p += 2; /* "<?" */
    if (p < end && *p == '=') {
        p++;
        emit(tk::T_ECHO, line);
    } else if (end - p >= 3 && lower(p[0]) == 'p' && lower(p[1]) == 'h' && lower(p[2]) == 'p' &&
               (end - p == 3 || p[3] == ' ' || p[3] == '\t' || p[3] == '\n' || p[3] == '\r')) {
        p += 3;
        if (p < end) {
            if (*p == '\r' && p + 1 < end && p[1] == '\n') p++;
            if (*p == '\n') line++;
            p++;
        }
    }
    stack.back().m = scan_mode::script;
}

/* Skips white space and comments; false when a comment is unterminated. */
bool scanner::skip_blanks_and_comments() {
    while (p < end) {
        char c = *p;
        if (c == '\n') {
            line++;
            p++;
        } else if (c == ' ' || c == '\t' || c == '\r') {
            p++;
        } else if (c == '#' || (c == '/' && p + 1 < end && p[1] == '/')) {
            /* a line comment ends at the newline or before "?>" */
            while (p < end && *p != '\n' && !(*p == '?' && p + 1 < end && p[1] == '>')) p++;
        } else if (c == '/' && p + 1 < end && p[1] == '*') {
            int start_line = line;
            const char *q = p + 2;
            while (q + 1 < end && !(q[0] == '*' && q[1] == '/')) q++;
            if (q + 1 >= end) {
                fail("parse error, unterminated comment", start_line);
                return false;
            }
            count_lines(p, q);
            p = q + 2;
        } else {
            break;
        }
    }
    return true;
}

void scanner::scan_script() {
    if (!skip_blanks_and_comments()) return;
    if (p >= end) {
        for (auto f = stack.rbegin(); f != stack.rend(); ++f) {
            if (f->m == scan_mode::dquote || f->m == scan_mode::heredoc) {
                fail("parse error, unterminated string", f->start_line);
                return;
            }
        }
        emit(tk::END, line);
        done = true;
        return;
    }
    unsigned char c = static_cast<unsigned char>(*p);
    bool arrow = after_arrow;
    after_arrow = false;

    if (label_start(c)) {
        const char *s = p;
        while (p < end && label_char(static_cast<unsigned char>(*p))) p++;
        tk kind = arrow ? tk::T_STRING : keyword_kind(s, std::size_t(p - s));
        token &t = emit(kind, line);
        if (kind == tk::T_STRING || kind == tk::T_LINE) t.text.assign(s, p);
        if (kind == tk::T_LINE) t.lval = line;
        return;
    }
    if (c == '$') {
        if (p + 1 < end && label_start(static_cast<unsigned char>(p[1]))) {
            const char *s = ++p;
            while (p < end && label_char(static_cast<unsigned char>(*p))) p++;
            emit(tk::T_VARIABLE, line).text.assign(s, p);
        } else {
            p++;
            emit(tk::DOLLAR, line);
        }
        return;
    }
    if (is_digit(c) || (c == '.' && p + 1 < end && is_digit(static_cast<unsigned char>(p[1])))) {
        scan_number();
        return;
    }
    switch (c) {
    case '\'': scan_single_quoted(); return;
    case '"': scan_double_quoted(); return;
    case '`': p++; emit(tk::BACKQUOTE, line); return;
    case '{':
        p++;
        emit(tk::LBRACE, line);
        stack.push_back({scan_mode::script, line, {}});
        return;
    case '}':
        p++;
        emit(tk::RBRACE, line);
        if (stack.size() > 1) stack.pop_back();
        return;
    case '?':
        if (p + 1 < end && p[1] == '>') {
            /* the closing tag ends a statement and eats one newline */
            emit(tk::SEMICOLON, line);
            p += 2;
            if (p < end && *p == '\r') p++;
            if (p < end && *p == '\n') {
                p++;
                line++;
            }
            stack.back().m = scan_mode::html;
            return;
        }
        break;
    case '<':
        if (starts("<<<") && scan_heredoc_start()) return;
        break;
    case '(':
        if (scan_cast()) return;
        break;
    default:
        break;
    }
    if (scan_operator()) {
        if (out.back().kind == tk::T_OBJECT_OPERATOR) after_arrow = true;
        return;
    }
    char buf[96];
    if (c >= 0x20 && c < 0x7f)
        std::snprintf(buf, sizeof buf, "parse error, unexpected character in input: '%c' (ASCII=%d)", c, c);
    else
        std::snprintf(buf, sizeof buf, "parse error, unexpected character in input (ASCII=%d)", c);
    fail(buf, line);
}

void scanner::scan_number() {
    const char *s = p;
    if (*p == '0' && p + 2 < end && (p[1] == 'x' || p[1] == 'X') && is_hex(static_cast<unsigned char>(p[2]))) {
        p += 2;
        unsigned long v = 0;
        double d = 0;
        bool big = false;
        for (; p < end && is_hex(static_cast<unsigned char>(*p)); p++) {
            int h = hex_value(static_cast<unsigned char>(*p));
            d = d * 16 + h;
            if (!big && v > (static_cast<unsigned long>(LONG_MAX) - h) / 16) big = true;
            if (!big) v = v * 16 + h;
        }
        if (big) emit(tk::T_DNUMBER, line).dval = d;
        else emit(tk::T_LNUMBER, line).lval = long(v);
        return;
    }
    bool is_float = false;
    while (p < end && is_digit(static_cast<unsigned char>(*p))) p++;
    if (p < end && *p == '.' && (p > s || (p + 1 < end && is_digit(static_cast<unsigned char>(p[1]))))) {
        is_float = true;
        p++;
        while (p < end && is_digit(static_cast<unsigned char>(*p))) p++;
    }
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char *q = p + 1;
        if (q < end && (*q == '+' || *q == '-')) q++;
        if (q < end && is_digit(static_cast<unsigned char>(*q))) {
            is_float = true;
            p = q;
            while (p < end && is_digit(static_cast<unsigned char>(*p))) p++;
        }
    }
    std::string text(s, p);
    if (is_float) {
        emit(tk::T_DNUMBER, line).dval = std::strtod(text.c_str(), nullptr);
        return;
    }
    /* base 0: a leading zero means octal, read up to the first non-octal digit */
    errno = 0;
    long v = std::strtol(text.c_str(), nullptr, 0);
    if (errno != ERANGE) {
        emit(tk::T_LNUMBER, line).lval = v;
        return;
    }
    double d = 0;
    if (text.size() > 1 && text[0] == '0') {
        for (std::size_t i = 1; i < text.size() && text[i] >= '0' && text[i] <= '7'; i++) d = d * 8 + (text[i] - '0');
    } else {
        d = std::strtod(text.c_str(), nullptr);
    }
    emit(tk::T_DNUMBER, line).dval = d;
}

void scanner::scan_single_quoted() {
    int start_line = line;
    const char *s = p + 1;
    const char *q = s;
    while (q < end && *q != '\'') q += (*q == '\\' && q + 1 < end) ? 2 : 1;
    if (q >= end) {
        fail("parse error, unterminated string", start_line);
        return;
    }
    emit(tk::T_CONSTANT_ENCAPSED_STRING, start_line).text = unescape_single(s, std::size_t(q - s));
    count_lines(s, q);
    p = q + 1;
}

/* A double-quoted string without interpolation is one token; otherwise the
 * opening quote is emitted and a dquote frame scans the pieces. */
void scanner::scan_double_quoted() {
    int start_line = line;
    const char *s = p + 1;
    const char *q = s;
    bool interpolated = false;
    while (q < end && *q != '"') {
        if (*q == '\\') {
            q += (q + 1 < end) ? 2 : 1;
            continue;
        }
        if (q + 1 < end && ((*q == '$' && (label_start(static_cast<unsigned char>(q[1])) || q[1] == '{')) ||
                            (*q == '{' && q[1] == '$'))) {
            interpolated = true;
            break;
        }
        q++;
    }
    if (interpolated) {
        p++;
        emit(tk::QUOTE, start_line);
        stack.push_back({scan_mode::dquote, start_line, {}});
        return;
    }
    if (q >= end) {
        fail("parse error, unterminated string", start_line);
        return;
    }
    emit(tk::T_CONSTANT_ENCAPSED_STRING, start_line).text = unescape_double(s, std::size_t(q - s), false);
    count_lines(s, q);
    p = q + 1;
}

/* "<<<" [ \t]* LABEL NEWLINE opens a heredoc */
bool scanner::scan_heredoc_start() {
    const char *q = p + 3;
    while (q < end && (*q == ' ' || *q == '\t')) q++;
    const char *l = q;
    if (q >= end || !label_start(static_cast<unsigned char>(*q))) return false;
    while (q < end && label_char(static_cast<unsigned char>(*q))) q++;
    std::string label(l, q);
    if (q < end && *q == '\r') q++;
    if (q >= end || *q != '\n') return false;
    emit(tk::T_START_HEREDOC, line);
    stack.push_back({scan_mode::heredoc, line, label});
    line++;
    p = q + 1;
    return true;
}

/* A line that holds just the label, optionally followed by ';'. */
bool scanner::at_heredoc_end(const char *q, const std::string &label) const {
    std::size_t n = label.size();
    if (std::size_t(end - q) < n || std::memcmp(q, label.data(), n) != 0) return false;
    q += n;
    if (q < end && *q == ';') q++;
    return q >= end || *q == '\n' || *q == '\r';
}

bool scanner::scan_cast() {
    static const struct {
        const char *word;
        tk kind;
    } casts[] = {
        {"int", tk::T_INT_CAST},       {"integer", tk::T_INT_CAST},   {"float", tk::T_DOUBLE_CAST},
        {"double", tk::T_DOUBLE_CAST}, {"real", tk::T_DOUBLE_CAST},   {"string", tk::T_STRING_CAST},
        {"bool", tk::T_BOOL_CAST},     {"boolean", tk::T_BOOL_CAST},  {"array", tk::T_ARRAY_CAST},
        {"object", tk::T_OBJECT_CAST},
    };
    const char *q = p + 1;
    while (q < end && (*q == ' ' || *q == '\t')) q++;
    const char *w = q;
    while (q < end && q - w < 8 && ((*q >= 'a' && *q <= 'z') || (*q >= 'A' && *q <= 'Z'))) q++;
    std::size_t n = std::size_t(q - w);
    while (q < end && (*q == ' ' || *q == '\t')) q++;
    if (n == 0 || q >= end || *q != ')') return false;
    char buf[9];
    for (std::size_t i = 0; i < n; i++) buf[i] = lower(w[i]);
    buf[n] = '\0';
    for (const auto &c : casts) {
        if (std::strcmp(c.word, buf) == 0) {
            emit(c.kind, line);
            p = q + 1;
            return true;
        }
    }
    return false;
}

bool scanner::scan_operator() {
    static const struct {
        const char *text;
        tk kind;
    } ops[] = {
        {"===", tk::T_IS_IDENTICAL}, {"!==", tk::T_IS_NOT_IDENTICAL}, {"<<=", tk::T_SL_EQUAL},
        {">>=", tk::T_SR_EQUAL},     {"==", tk::T_IS_EQUAL},          {"!=", tk::T_IS_NOT_EQUAL},
        {"<>", tk::T_IS_NOT_EQUAL},  {"<=", tk::T_IS_SMALLER_OR_EQUAL}, {">=", tk::T_IS_GREATER_OR_EQUAL},
        {"<<", tk::T_SL},            {">>", tk::T_SR},                {"++", tk::T_INC},
        {"--", tk::T_DEC},           {"+=", tk::T_PLUS_EQUAL},        {"-=", tk::T_MINUS_EQUAL},
        {"*=", tk::T_MUL_EQUAL},     {"/=", tk::T_DIV_EQUAL},         {".=", tk::T_CONCAT_EQUAL},
        {"%=", tk::T_MOD_EQUAL},     {"&=", tk::T_AND_EQUAL},         {"|=", tk::T_OR_EQUAL},
        {"^=", tk::T_XOR_EQUAL},     {"||", tk::T_BOOLEAN_OR},        {"&&", tk::T_BOOLEAN_AND},
        {"->", tk::T_OBJECT_OPERATOR}, {"=>", tk::T_DOUBLE_ARROW},    {"::", tk::T_PAAMAYIM_NEKUDOTAYIM},
        {";", tk::SEMICOLON}, {":", tk::COLON}, {",", tk::COMMA},   {".", tk::DOT},
        {"[", tk::LBRACKET},  {"]", tk::RBRACKET}, {"(", tk::LPAREN}, {")", tk::RPAREN},
        {"|", tk::PIPE},      {"^", tk::CARET},  {"&", tk::AMP},    {"+", tk::PLUS},
        {"-", tk::MINUS},     {"/", tk::SLASH},  {"*", tk::STAR},   {"=", tk::EQUALS},
        {"%", tk::PERCENT},   {"!", tk::BANG},   {"~", tk::TILDE},  {"<", tk::LT},
        {">", tk::GT},        {"?", tk::QUESTION}, {"@", tk::AT},
    };
    for (const auto &o : ops) {
        if (o.text[0] == *p && starts(o.text)) {
            emit(o.kind, line);
            p += std::strlen(o.text);
            return true;
        }
    }
    return false;
}

/* "$name" inside a string, with at most one "[key]" or "->name" after it. */
void scanner::scan_string_variable() {
    const char *s = ++p;
    while (p < end && label_char(static_cast<unsigned char>(*p))) p++;
    emit(tk::T_VARIABLE, line).text.assign(s, p);
    if (p < end && *p == '[') {
        emit(tk::LBRACKET, line);
        p++;
        if (p < end && label_start(static_cast<unsigned char>(*p))) {
            s = p;
            while (p < end && label_char(static_cast<unsigned char>(*p))) p++;
            emit(tk::T_STRING, line).text.assign(s, p);
        } else if (p < end && is_digit(static_cast<unsigned char>(*p))) {
            s = p;
            while (p < end && is_digit(static_cast<unsigned char>(*p))) p++;
            emit(tk::T_NUM_STRING, line).text.assign(s, p);
        } else if (p + 1 < end && *p == '$' && label_start(static_cast<unsigned char>(p[1]))) {
            s = ++p;
            while (p < end && label_char(static_cast<unsigned char>(*p))) p++;
            emit(tk::T_VARIABLE, line).text.assign(s, p);
        }
        if (p < end && *p == ']') {
            emit(tk::RBRACKET, line);
            p++;
        }
    } else if (p + 2 < end && p[0] == '-' && p[1] == '>' && label_start(static_cast<unsigned char>(p[2]))) {
        emit(tk::T_OBJECT_OPERATOR, line);
        s = p += 2;
        while (p < end && label_char(static_cast<unsigned char>(*p))) p++;
        emit(tk::T_STRING, line).text.assign(s, p);
    }
}

void scanner::scan_string() {
    scan_frame &f = stack.back();
    bool heredoc = f.m == scan_mode::heredoc;
    auto at_line_start = [&](const char *q) { return heredoc && q[-1] == '\n'; };
    if (p >= end) {
        fail(heredoc ? "parse error, unterminated heredoc" : "parse error, unterminated string", f.start_line);
        return;
    }
    if (at_line_start(p) && at_heredoc_end(p, f.label)) {
        emit(tk::T_END_HEREDOC, line);
        p += f.label.size();
        stack.pop_back();
        return;
    }
    char c = *p;
    char next = p + 1 < end ? p[1] : '\0';
    if (!heredoc && c == '"') {
        emit(tk::QUOTE, line);
        p++;
        stack.pop_back();
        return;
    }
    if (c == '$' && label_start(static_cast<unsigned char>(next))) {
        scan_string_variable();
        return;
    }
    if (c == '$' && next == '{') {
        emit(tk::T_DOLLAR_OPEN_CURLY_BRACES, line);
        p += 2;
        const char *q = p;
        while (q < end && label_char(static_cast<unsigned char>(*q))) q++;
        if (q > p && label_start(static_cast<unsigned char>(*p)) && q < end && (*q == '[' || *q == '}')) {
            emit(tk::T_STRING_VARNAME, line).text.assign(p, q);
            p = q;
        }
        stack.push_back({scan_mode::script, line, {}});
        return;
    }
    if (c == '{' && next == '$') {
        emit(tk::T_CURLY_OPEN, line);
        p++;
        stack.push_back({scan_mode::script, line, {}});
        return;
    }
    /* a literal piece, up to the next variable, the closing quote or label */
    const char *s = p;
    const char *q = p;
    int start_line = line;
    while (q < end) {
        char d = *q;
        char e = q + 1 < end ? q[1] : '\0';
        if (d == '\\') {
            if (e == '\n') line++;
            q += (q + 1 < end) ? 2 : 1;
            continue;
        }
        if ((!heredoc && d == '"') || (d == '$' && (label_start(static_cast<unsigned char>(e)) || e == '{')) ||
            (d == '{' && e == '$'))
            break;
        if (d == '\n') {
            line++;
            if (heredoc && at_heredoc_end(q + 1, f.label)) {
                /* the newline before the closing label is not part of the text */
                const char *stop = (q > s && q[-1] == '\r') ? q - 1 : q;
                emit(tk::T_ENCAPSED_AND_WHITESPACE, start_line).text =
                    unescape_double(s, std::size_t(stop - s), true);
                p = q + 1;
                return;
            }
        }
        q++;
    }
    emit(tk::T_ENCAPSED_AND_WHITESPACE, start_line).text = unescape_double(s, std::size_t(q - s), heredoc);
    p = q;
}

const char *token_name(tk kind) {
    std::size_t i = static_cast<std::size_t>(kind);
    return i < sizeof token_names / sizeof token_names[0] ? token_names[i] : "unknown";
}

token_stream::token_stream(const char *source, std::size_t length, bool in_script, int first_line)
    : s(std::make_unique<scanner>(source, length, in_script, first_line)) {}

token_stream::~token_stream() = default;

const token &token_stream::peek(std::size_t n) {
    s->fill(n);
    return n < s->out.size() ? s->out[n] : s->out.back();
}

void token_stream::advance() {
    s->fill(1);
    if (s->out.size() > 1) s->out.pop_front();
}

std::vector<token> tokenize(const char *source, std::size_t length) {
    token_stream stream(source, length);
    std::vector<token> list;
    for (;;) {
        list.push_back(stream.peek());
        if (list.back().kind == tk::END || list.back().kind == tk::ERROR) return list;
        stream.advance();
    }
}

} // namespace zend::ast
