/* The script lexer: turns source bytes into a token list for the parser.
 * The whole file is scanned up front; the list always ends with exactly
 * one END or ERROR token, so the parser can look ahead without bounds
 * checks. A lexical error (unterminated string or comment, stray byte)
 * becomes an ERROR token at the place where it was found, and scanning
 * stops there: any syntax error before it is still reported first. */
#ifndef BRISKO_LEXER_H
#define BRISKO_LEXER_H

#include <cstddef>
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

/* Scans a whole source text. Never fails: problems become an ERROR token. */
std::vector<token> tokenize(const char *source, std::size_t length);

} // namespace zend::ast

#endif
