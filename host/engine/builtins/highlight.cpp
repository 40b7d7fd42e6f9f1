/* highlight_string, highlight_file and show_source: PHP source as HTML, in
 * PHP 4's form: <code>, then a <font color="..."> run for each change of
 * colour between the kinds of token; text outside the tags in the HTML
 * colour, comments, strings, keywords and operators, and the rest
 * (names, variables, numbers, the tags) in the default colour. White space
 * keeps the colour before it.
 *
 * The scanner here only tells those kinds apart: it follows the engine's
 * lexer in where the tags and strings begin and end, and takes its
 * reserved words from the same list, but keeps every byte of the source. */
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_set>

#include "builtins.h"
#include "builtins/stream.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

const char html_colour[] = "#000000";
const char comment_colour[] = "#FF8000";
const char default_colour[] = "#0000BB";
const char keyword_colour[] = "#007700";
const char string_colour[] = "#DD0000";

/* Words the lexer reserves, lower case. The magic constants are left out:
 * they stand for values, and show in the default colour. */
const std::unordered_set<std::string_view> &reserved_words()
{
    static const std::unordered_set<std::string_view> words = {
#define KEYWORD(id, word) word,
#define ALIAS(id, word) word,
#include "compiler/tokens.def"
    };
    return words;
}

bool label_start(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x7f; }
bool label_char(unsigned char c) { return std::isalnum(c) || c == '_' || c >= 0x7f; }

class highlighter {
public:
    explicit highlighter(std::string_view source) : src(source) {}

    std::string run()
    {
        out = "<code><font color=\"";
        out += html_colour;
        out += "\">\n";
        last = html_colour;
        while (pos < src.size()) {
            if (in_html)
                html();
            else
                script();
        }
        if (last != html_colour)
            out += "</font>\n";
        out += "</font>\n</code>";
        return out;
    }

private:
    std::string_view src;
    std::size_t pos = 0;
    bool in_html = true;
    bool after_arrow = false; /* a name after "->" is a property, never a keyword */
    const char *valued = default_colour;
    const char *last = nullptr;
    std::string out;

    void emit(const char *colour, std::size_t length)
    {
        if (colour != last) {
            if (last != html_colour)
                out += "</font>";
            last = colour;
            if (last != html_colour) {
                out += "<font color=\"";
                out += last;
                out += "\">";
            }
        }
        put(src.substr(pos, length));
        pos += length;
    }

    /* White space: printed in whatever colour is on. */
    void blank(std::size_t length)
    {
        put(src.substr(pos, length));
        pos += length;
    }

    /* The text as HTML: a run of spaces as &nbsp;, a single one as it is. */
    void put(std::string_view text)
    {
        for (std::size_t i = 0; i < text.size(); i++) {
            char c = text[i];
            switch (c) {
            case '\n': out += "<br />"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '&': out += "&amp;"; break;
            case '\t': out += "&nbsp;&nbsp;&nbsp;&nbsp;"; break;
            case ' ':
                if ((i + 1 < text.size() && text[i + 1] == ' ') || (i > 0 && text[i - 1] == ' '))
                    out += "&nbsp;";
                else
                    out += ' ';
                break;
            default: out += c; break;
            }
        }
    }

    bool at(std::string_view s) const { return src.compare(pos, s.size(), s) == 0; }

    /* Text up to the next "<?", then the opening tag itself. */
    void html()
    {
        std::size_t open = src.find("<?", pos);
        if (open == std::string_view::npos)
            open = src.size();
        if (open > pos)
            emit(html_colour, open - pos);
        if (pos >= src.size())
            return;
        std::size_t length = 2;
        if (pos + 2 < src.size() && src[pos + 2] == '=') {
            length = 3;
        } else if (src.size() - pos >= 5 && std::tolower(static_cast<unsigned char>(src[pos + 2])) == 'p' &&
                   std::tolower(static_cast<unsigned char>(src[pos + 3])) == 'h' &&
                   std::tolower(static_cast<unsigned char>(src[pos + 4])) == 'p' &&
                   (pos + 5 == src.size() || std::strchr(" \t\r\n", src[pos + 5]))) {
            length = 5;
            if (pos + 5 < src.size()) {
                length++;
                if (src[pos + 5] == '\r' && pos + 6 < src.size() && src[pos + 6] == '\n')
                    length++;
            }
        }
        emit(default_colour, length);
        in_html = false;
    }

    void script()
    {
        unsigned char c = static_cast<unsigned char>(src[pos]);
        std::size_t n = src.size();
        if (std::isspace(c)) {
            std::size_t e = pos;
            while (e < n && std::isspace(static_cast<unsigned char>(src[e])))
                e++;
            blank(e - pos);
            return;
        }
        if (at("?>")) {
            std::size_t length = 2;
            if (pos + 2 < n && src[pos + 2] == '\n')
                length = 3;
            else if (pos + 3 < n && src[pos + 2] == '\r' && src[pos + 3] == '\n')
                length = 4;
            emit(default_colour, length);
            in_html = true;
            return;
        }
        token();
    }

    /* One token of code (not white space, not a closing tag). Tokens that
     * carry a value (names, variables, numbers) take `valued`: the default
     * colour, or the string colour inside an expression in a string. */
    void token()
    {
        unsigned char c = static_cast<unsigned char>(src[pos]);
        std::size_t n = src.size();
        bool arrow = after_arrow;
        after_arrow = false;
        if (c == '#' || at("//")) {
            /* to the end of the line (with its newline) or a closing tag */
            std::size_t e = pos;
            while (e < n && src[e] != '\n' && src.compare(e, 2, "?>") != 0)
                e++;
            if (e < n && src[e] == '\n')
                e++;
            emit(comment_colour, e - pos);
            return;
        }
        if (at("/*")) {
            std::size_t e = src.find("*/", pos + 2);
            emit(comment_colour, e == std::string_view::npos ? n - pos : e + 2 - pos);
            return;
        }
        if (c == '$' && pos + 1 < n && label_start(static_cast<unsigned char>(src[pos + 1]))) {
            emit(valued, label_end(pos + 1) - pos);
            return;
        }
        if (label_start(c)) {
            std::size_t e = label_end(pos);
            std::string word(src.substr(pos, e - pos));
            for (char &ch : word)
                ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            bool keyword = !arrow && word.compare(0, 2, "__") != 0 && reserved_words().count(word);
            emit(keyword ? keyword_colour : valued, e - pos);
            return;
        }
        if (std::isdigit(c) || (c == '.' && pos + 1 < n && std::isdigit(static_cast<unsigned char>(src[pos + 1])))) {
            emit(valued, number_end() - pos);
            return;
        }
        if (c == '\'') {
            std::size_t e = pos + 1;
            while (e < n && src[e] != '\'')
                e += src[e] == '\\' ? 2 : 1;
            emit(string_colour, std::min(e + 1, n) - pos);
            return;
        }
        if (c == '"') {
            emit(string_colour, 1);
            encapsed('"', string_colour, {});
            if (pos < n)
                emit(string_colour, 1);
            return;
        }
        if (c == '`') {
            emit(keyword_colour, 1);
            encapsed('`', default_colour, {});
            if (pos < n)
                emit(keyword_colour, 1);
            return;
        }
        if (at("<<<")) {
            heredoc();
            return;
        }
        if (std::size_t e = cast_end()) {
            emit(keyword_colour, e - pos);
            return;
        }
        if (at("->"))
            after_arrow = true;
        emit(keyword_colour, at("->") ? 2 : 1);
    }

    /* The inside of a string with variables in it, a heredoc's text or a
     * command, up to its closing quote (left for the caller) or, with a
     * heredoc (quote 0), the line holding only its label. Text and
     * variables take `text`; brackets, arrows and braces are operators. */
    void encapsed(char quote, const char *text, std::string_view label)
    {
        std::size_t n = src.size();
        std::size_t run = pos; /* start of the text not yet shown */
        auto flush = [&] {
            std::size_t e = pos;
            pos = run;
            if (e > run)
                emit(text, e - run);
            run = pos;
        };
        while (pos < n) {
            if (quote && src[pos] == quote)
                break;
            if (!quote && closes_heredoc(label))
                break;
            char c = src[pos];
            if (c == '\\') {
                pos = std::min(pos + 2, n);
                continue;
            }
            bool named = c == '$' && pos + 1 < n && label_start(static_cast<unsigned char>(src[pos + 1]));
            if (named) {
                flush();
                emit(text, label_end(pos + 1) - pos);
                if (pos < n && src[pos] == '[')
                    offset(quote, text);
                else if (at("->") && pos + 2 < n && label_start(static_cast<unsigned char>(src[pos + 2]))) {
                    emit(keyword_colour, 2);
                    emit(text, label_end(pos) - pos);
                }
                run = pos;
                continue;
            }
            if (at("${") || at("{$")) {
                flush();
                bool dollar = src[pos] == '$';
                emit(keyword_colour, dollar ? 2 : 1);
                if (dollar && pos < n && label_start(static_cast<unsigned char>(src[pos]))) {
                    std::size_t e = label_end(pos);
                    if (e < n && (src[e] == '[' || src[e] == '}'))
                        emit(text, e - pos);
                }
                expression(text);
                run = pos;
                continue;
            }
            pos++;
        }
        flush();
    }

    /* "[...]" after a variable in a string: a number, name or variable
     * between operators. */
    void offset(char quote, const char *text)
    {
        std::size_t n = src.size();
        emit(keyword_colour, 1);
        while (pos < n && src[pos] != ']' && src[pos] != '\n' && !(quote && src[pos] == quote)) {
            unsigned char c = static_cast<unsigned char>(src[pos]);
            if (c == '$' && pos + 1 < n && label_start(static_cast<unsigned char>(src[pos + 1])))
                emit(text, label_end(pos + 1) - pos);
            else if (label_start(c))
                emit(text, label_end(pos) - pos);
            else if (std::isdigit(c)) {
                std::size_t e = pos;
                while (e < n && std::isalnum(static_cast<unsigned char>(src[e])))
                    e++;
                emit(text, e - pos);
            } else
                emit(keyword_colour, 1);
        }
        if (pos < n && src[pos] == ']')
            emit(keyword_colour, 1);
    }

    /* Code inside "{$...}" or "${...}", to its closing brace. */
    void expression(const char *text)
    {
        const char *outer = valued;
        valued = text;
        int depth = 1;
        while (pos < src.size()) {
            char c = src[pos];
            if (std::isspace(static_cast<unsigned char>(c))) {
                blank(1);
                continue;
            }
            if (c == '{')
                depth++;
            if (c == '}' && --depth == 0) {
                emit(keyword_colour, 1);
                break;
            }
            token();
        }
        valued = outer;
    }

    bool closes_heredoc(std::string_view label) const
    {
        if (pos > 0 && src[pos - 1] != '\n')
            return false;
        if (src.compare(pos, label.size(), label) != 0)
            return false;
        std::size_t after = pos + label.size();
        return after == src.size() || src[after] == ';' || src[after] == '\n' || src[after] == '\r';
    }

    std::size_t label_end(std::size_t e) const
    {
        while (e < src.size() && label_char(static_cast<unsigned char>(src[e])))
            e++;
        return e;
    }

    std::size_t number_end() const
    {
        std::size_t e = pos, n = src.size();
        auto digits = [&](auto test) {
            while (e < n && test(static_cast<unsigned char>(src[e])))
                e++;
        };
        if (src[e] == '0' && e + 2 < n && (src[e + 1] == 'x' || src[e + 1] == 'X') &&
            std::isxdigit(static_cast<unsigned char>(src[e + 2]))) {
            e += 2;
            digits([](unsigned char d) { return std::isxdigit(d) != 0; });
            return e;
        }
        auto decimal = [](unsigned char d) { return std::isdigit(d) != 0; };
        digits(decimal);
        if (e < n && src[e] == '.') {
            e++;
            digits(decimal);
        }
        if (e < n && (src[e] == 'e' || src[e] == 'E')) {
            std::size_t x = e + 1;
            if (x < n && (src[x] == '+' || src[x] == '-'))
                x++;
            if (x < n && std::isdigit(static_cast<unsigned char>(src[x]))) {
                e = x;
                digits(decimal);
            }
        }
        return e;
    }

    /* "(int)" and the other casts, blanks allowed inside: one token. */
    std::size_t cast_end() const
    {
        if (src[pos] != '(')
            return 0;
        static const char *const types[] = {"int", "integer", "bool", "boolean", "float", "double", "real",
                                            "string", "array", "object", "unset"};
        std::size_t e = pos + 1;
        while (e < src.size() && (src[e] == ' ' || src[e] == '\t'))
            e++;
        std::size_t word = e;
        while (e < src.size() && std::isalpha(static_cast<unsigned char>(src[e])))
            e++;
        std::string name(src.substr(word, e - word));
        for (char &ch : name)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        while (e < src.size() && (src[e] == ' ' || src[e] == '\t'))
            e++;
        if (e >= src.size() || src[e] != ')')
            return 0;
        for (const char *t : types)
            if (name == t)
                return e + 1;
        return 0;
    }

    /* "<<<NAME" and its newline, the text, and NAME (with a ';' after
     * it) alone at the start of a line; without a name it is the shift
     * operator and a '<'. */
    void heredoc()
    {
        std::size_t n = src.size(), e = pos + 3;
        while (e < n && (src[e] == ' ' || src[e] == '\t'))
            e++;
        if (e >= n || !label_start(static_cast<unsigned char>(src[e]))) {
            emit(keyword_colour, 3);
            return;
        }
        std::size_t name_start = e;
        e = label_end(e);
        std::string_view name = src.substr(name_start, e - name_start);
        if (e < n && src[e] == '\r')
            e++;
        if (e < n && src[e] == '\n')
            e++;
        emit(keyword_colour, e - pos);
        encapsed(0, default_colour, name);
        if (pos < n) {
            std::size_t length = name.size();
            if (pos + length < n && src[pos + length] == ';')
                length++;
            emit(keyword_colour, length);
        }
    }
};

/* The highlighted text to the output, or into return_value when asked. */
void deliver(zval *return_value, const std::string &html, bool give_back)
{
    if (give_back) {
        return_string(return_value, html);
        return;
    }
    zend_write(html.data(), html.size());
    RETURN_TRUE;
}

} // namespace

/* highlight_string(code [, return]) */
ZEND_FUNCTION(highlight_string)
{
    std::string_view code;
    bool give_back = false;
    args_result got = parse_args(ZEND_NUM_ARGS(), "s|b", &code, &give_back);
    if (!got)
        RETURN_FALSE;
    deliver(return_value, highlighter(code).run(), give_back);
}

/* highlight_file(filename [, return]), show_source: the file is found as
 * include finds it. */
ZEND_FUNCTION(highlight_file)
{
    std::string name;
    bool give_back = false;
    if (!parse_args(ZEND_NUM_ARGS(), "s|b", &name, &give_back))
        RETURN_FALSE;
    if (!path_allowed(name))
        RETURN_FALSE;
    zend_file_handle handle;
    std::memset(&handle, 0, sizeof handle);
    errno = 0;
    if (!zend::open_file_for_include(name.c_str(), &handle)) {
        function_error_with(name, E_WARNING, "failed to open stream: %s", std::strerror(errno ? errno : ENOENT));
        function_error(E_WARNING, "Failed opening '%s' for highlighting", name.c_str());
        RETURN_FALSE;
    }
    std::string source;
    char buffer[8192];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, handle.handle.fp)) > 0)
        source.append(buffer, got);
    std::fclose(handle.handle.fp);
    efree(handle.filename);
    if (handle.opened_path)
        efree(handle.opened_path);
    deliver(return_value, highlighter(source).run(), give_back);
}
