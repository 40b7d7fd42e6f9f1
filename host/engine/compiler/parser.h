/* The recursive-descent parser's state, shared by its statement part
 * (parser.cpp) and its expression part (parser_expr.cpp). Only the parser
 * includes this; everyone else calls zend::ast::parse from ast.h.
 *
 * Errors unwind with a syntax_error that parse() catches; nothing escapes
 * it. Recursion is counted by nesting_guard, so hostile input ends in
 * "nesting too deep" long before the stack runs out. */
#ifndef BRISKO_PARSER_H
#define BRISKO_PARSER_H

#include <string>
#include <vector>

#include "ast.h"
#include "lexer.h"

namespace zend::ast::detail {

/* Bounds on nesting. The parser counts its own recursion (a parenthesis
 * costs two levels, a block two); the finished tree is held to a depth
 * bound of its own, which also catches long left-leaning chains such as
 * "1 + 1 + ... + 1" that the parser builds without recursing, so the
 * passes that walk the tree recursively are safe too. */
constexpr int max_recursion = 2500;
constexpr int max_tree_depth = 1000;

struct syntax_error {
    std::string message;
    int line;
};

struct parser {
    token_stream &toks;
    tree &t;
    int depth = 0;
    std::string class_name;     /* for __CLASS__ */
    std::string function_name;  /* for __FUNCTION__ */

    const token *current;       /* toks.peek(0), valid until advance() */

    parser(token_stream &tokens, tree &out) : toks(tokens), t(out), current(&tokens.peek()) {}

    /* token access; the stream stays on its final END or ERROR */
    const token &cur() const { return *current; }
    tk look() const { return current->kind; }
    tk peek(std::size_t n = 1) { return toks.peek(n).kind; }
    int line() const { return current->line; }
    void advance() {
        toks.advance();
        current = &toks.peek();
    }
    bool accept(tk k) {
        if (look() != k) return false;
        advance();
        return true;
    }
    void expect(tk k) {
        if (look() != k) unexpected();
        advance();
    }
    [[noreturn]] void unexpected() const;
    [[noreturn]] void fail(const std::string &message, int at) const { throw syntax_error{message, at}; }
    node *make(kind k, int at) { return t.make(k, at); }

    /* statements: parser.cpp */
    node *file();
    node *statement();
    node *inner_statements(std::initializer_list<tk> stops);
    node *block_or_alt(tk end_word);
    node *if_stmt();
    node *if_alt(node *n);
    node *while_stmt();
    node *do_while();
    node *for_stmt();
    node *for_exprs(tk closer);
    node *foreach_stmt();
    node *switch_stmt();
    node *jump_stmt(kind k);
    node *return_stmt();
    node *global_stmt();
    node *static_stmt();
    node *echo_stmt();
    node *unset_stmt();
    node *func_decl();
    node *class_decl();
    void end_statement();

    /* expressions: parser_expr.cpp */
    node *expr(int min_prec = 0);
    node *unary();
    node *postfix();
    node *variable(bool allow_calls = true);
    node *base_variable();
    node *offsets(node *base);
    node *property(node *object, bool allow_calls);
    node *after_variable(node *v);
    node *primary();
    void arguments(node *call);
    node *array_literal(bool constant);
    node *static_scalar();
    node *new_expr();
    node *exit_expr();
    node *isset_expr();
    node *empty_expr();
    node *encaps(tk closer);
    node *encaps_variable();
    node *list_assign();
    node *list_targets();
};

/* Counts one level of parser recursion for as long as it lives. */
struct nesting_guard {
    parser &p;
    explicit nesting_guard(parser &owner) : p(owner) {
        if (++p.depth > max_recursion) p.fail("parse error, nesting too deep", p.line());
    }
    ~nesting_guard() { p.depth--; }
    nesting_guard(const nesting_guard &) = delete;
    nesting_guard &operator=(const nesting_guard &) = delete;
};

bool is_variable(const node *n);

} // namespace zend::ast::detail

#endif
