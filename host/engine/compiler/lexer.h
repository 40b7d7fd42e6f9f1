/* The script lexer: turns source bytes into tokens for the parser.
 * Tokens are scanned on demand, a few ahead of the parser, so memory does
 * not grow with the length of the script. The stream ends with exactly one
 * END or ERROR token, which then repeats for as long as it is asked for.
 * A lexical error (unterminated string or comment, stray byte) becomes an
 * ERROR token at the place where it was found and scanning stops there:
 * any syntax error before it is still reported first. */
#ifndef BRISKO_LEXER_H
#define BRISKO_LEXER_H

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace zend::ast {

enum class tk : unsigned char {
#define TOKEN(id, shown) id,
#define KEYWORD(id, word) id,
#include "tokens.def"
};

struct token {
    tk kind;
    int line;           /* line on which the token starts */
    long lval = 0;      /* T_LNUMBER */
    double dval = 0;    /* T_DNUMBER */
    std::string text;   /* names, resolved string bytes, ERROR message */
};

/* The name a parse error shows for a token kind: "';'", "T_VARIABLE", "$end". */
const char *token_name(tk kind);

struct scanner;

/* The tokens of a source text, which must outlive the stream. */
class token_stream {
public:
    /* in_script: the text starts inside the PHP tags (code given to
     * eval()); first_line: the number of the text's first line. */
    token_stream(const char *source, std::size_t length, bool in_script = false, int first_line = 1);
    ~token_stream();
    token_stream(const token_stream &) = delete;
    token_stream &operator=(const token_stream &) = delete;

    /* The token n places ahead of the current one (0: the current one).
     * The reference stays valid until the token is passed by advance(). */
    const token &peek(std::size_t n = 0);
    /* Moves to the next token; stays on the final END or ERROR. */
    void advance();

private:
    std::unique_ptr<scanner> s;
};

/* Scans a whole source text into a list (tests, tools). Never fails:
 * problems become an ERROR token, which ends the list as END does. */
std::vector<token> tokenize(const char *source, std::size_t length);

} // namespace zend::ast

#endif
