/* Statements and declarations, and the parser's entry point.
 *
 * Every statement list is a stmt_list node; empty statements (";", also
 * what a bare "?>" leaves) are dropped from lists and become nop where a
 * single statement is required. Alternative syntax ("if (...): ... endif;")
 * produces the same tree as braces. */
#include <new>

#include "parser.h"

namespace zend::ast {

namespace detail {

bool depth_within(const node *root, int limit, int &line);

void parser::unexpected() const {
    const token &t = cur();
    if (t.kind == tk::ERROR) fail(t.text, t.line);
    fail(std::string("parse error, unexpected ") + token_name(t.kind), t.line);
}

/* end_statement -> ';'          ("?>" arrives as ';' too) */
void parser::end_statement() { expect(tk::SEMICOLON); }

/* file -> top_statement* END */
node *parser::file() { return inner_statements({tk::END}); }

/* inner_statement* up to (not including) one of the stop tokens */
node *parser::inner_statements(std::initializer_list<tk> stops) {
    node *list = make(kind::stmt_list, line());
    for (;;) {
        tk k = look();
        for (tk s : stops)
            if (k == s) return list;
        node *s = statement();
        if (s->k != kind::nop) list->list.push_back(s);
    }
}

/* statement -> '{' inner_statement* '}' | if_stmt | while_stmt | do_while | for_stmt
 *            | foreach_stmt | switch_stmt | BREAK [num] ';' | CONTINUE [num] ';'
 *            | return_stmt | global_stmt | static_stmt | echo_stmt | unset_stmt
 *            | func_decl | class_decl | T_INLINE_HTML | ';' | expr ';' */
node *parser::statement() {
    nesting_guard g(*this);
    int at = line();
    node *n;
    switch (look()) {
    case tk::LBRACE:
        advance();
        n = inner_statements({tk::RBRACE});
        advance();
        return n;
    case tk::T_IF: return if_stmt();
    case tk::T_WHILE: return while_stmt();
    case tk::T_DO: return do_while();
    case tk::T_FOR: return for_stmt();
    case tk::T_FOREACH: return foreach_stmt();
    case tk::T_SWITCH: return switch_stmt();
    case tk::T_BREAK: return jump_stmt(kind::break_stmt);
    case tk::T_CONTINUE: return jump_stmt(kind::continue_stmt);
    case tk::T_RETURN: return return_stmt();
    case tk::T_GLOBAL: return global_stmt();
    case tk::T_STATIC: return static_stmt();
    case tk::T_ECHO: return echo_stmt();
    case tk::T_UNSET: return unset_stmt();
    case tk::T_FUNCTION: return func_decl();
    case tk::T_CLASS: return class_decl();
    case tk::T_INLINE_HTML:
        n = make(kind::inline_html, at);
        n->str = cur().text;
        advance();
        return n;
    case tk::SEMICOLON:
        advance();
        return make(kind::nop, at);
    default:
        n = make(kind::expr_stmt, at);
        operand(n) = expr();
        end_statement();
        return n;
    }
}

/* body -> statement | ':' inner_statement* END_WORD ';' */
node *parser::block_or_alt(tk end_word) {
    if (!accept(tk::COLON)) return statement();
    node *body = inner_statements({end_word});
    advance();
    end_statement();
    return body;
}

/* if_stmt -> IF '(' expr ')' statement (ELSEIF '(' expr ')' statement)* [ELSE statement]
 *          | IF '(' expr ')' ':' if_alt
 * An elseif becomes an if_stmt in the else slot of the one before it. */
node *parser::if_stmt() {
    node *n = make(kind::if_stmt, line());
    expect(tk::T_IF);
    expect(tk::LPAREN);
    cond(n) = expr();
    expect(tk::RPAREN);
    if (accept(tk::COLON)) return if_alt(n);
    then(n) = statement();
    node *last = n;
    while (look() == tk::T_ELSEIF) {
        node *e = make(kind::if_stmt, line());
        advance();
        expect(tk::LPAREN);
        cond(e) = expr();
        expect(tk::RPAREN);
        then(e) = statement();
        otherwise(last) = e;
        last = e;
    }
    if (accept(tk::T_ELSE)) otherwise(last) = statement();
    return n;
}

/* if_alt -> inner_statement* (ELSEIF '(' expr ')' ':' inner_statement*)*
 *           [ELSE ':' inner_statement*] ENDIF ';' */
node *parser::if_alt(node *n) {
    then(n) = inner_statements({tk::T_ELSEIF, tk::T_ELSE, tk::T_ENDIF});
    node *last = n;
    while (look() == tk::T_ELSEIF) {
        node *e = make(kind::if_stmt, line());
        advance();
        expect(tk::LPAREN);
        cond(e) = expr();
        expect(tk::RPAREN);
        expect(tk::COLON);
        then(e) = inner_statements({tk::T_ELSEIF, tk::T_ELSE, tk::T_ENDIF});
        otherwise(last) = e;
        last = e;
    }
    if (accept(tk::T_ELSE)) {
        expect(tk::COLON);
        otherwise(last) = inner_statements({tk::T_ENDIF});
    }
    expect(tk::T_ENDIF);
    end_statement();
    return n;
}

/* while_stmt -> WHILE '(' expr ')' (statement | ':' inner_statement* ENDWHILE ';') */
node *parser::while_stmt() {
    node *n = make(kind::while_stmt, line());
    expect(tk::T_WHILE);
    expect(tk::LPAREN);
    cond(n) = expr();
    expect(tk::RPAREN);
    body(n) = block_or_alt(tk::T_ENDWHILE);
    return n;
}

/* do_while -> DO statement WHILE '(' expr ')' ';' */
node *parser::do_while() {
    node *n = make(kind::do_while, line());
    expect(tk::T_DO);
    body(n) = statement();
    expect(tk::T_WHILE);
    expect(tk::LPAREN);
    cond(n) = expr();
    expect(tk::RPAREN);
    end_statement();
    return n;
}

/* for_exprs -> [expr (',' expr)*] CLOSER */
node *parser::for_exprs(tk closer) {
    node *n = make(kind::expr_list, line());
    if (look() != closer) {
        for (;;) {
            n->list.push_back(expr());
            if (!accept(tk::COMMA)) break;
        }
    }
    expect(closer);
    return n;
}

/* for_stmt -> FOR '(' for_exprs ';' for_exprs ';' for_exprs ')'
 *             (statement | ':' inner_statement* ENDFOR ';') */
node *parser::for_stmt() {
    node *n = make(kind::for_stmt, line());
    expect(tk::T_FOR);
    expect(tk::LPAREN);
    init(n) = for_exprs(tk::SEMICOLON);
    cond(n) = for_exprs(tk::SEMICOLON);
    step(n) = for_exprs(tk::RPAREN);
    body(n) = block_or_alt(tk::T_ENDFOR);
    return n;
}

/* foreach_stmt -> FOREACH '(' expr AS variable ['=>' variable] ')'
 *                 (statement | ':' inner_statement* ENDFOREACH ';') */
node *parser::foreach_stmt() {
    node *n = make(kind::foreach_stmt, line());
    expect(tk::T_FOREACH);
    expect(tk::LPAREN);
    subject(n) = expr();
    expect(tk::T_AS);
    value(n) = variable(false);
    if (accept(tk::T_DOUBLE_ARROW)) {
        key(n) = value(n);
        value(n) = variable(false);
    }
    expect(tk::RPAREN);
    body(n) = block_or_alt(tk::T_ENDFOREACH);
    return n;
}

/* switch_stmt -> SWITCH '(' expr ')' ('{' [';'] case* '}' | ':' [';'] case* ENDSWITCH ';')
 * case        -> (CASE expr | DEFAULT) (':' | ';') inner_statement* */
node *parser::switch_stmt() {
    node *n = make(kind::switch_stmt, line());
    expect(tk::T_SWITCH);
    expect(tk::LPAREN);
    subject(n) = expr();
    expect(tk::RPAREN);
    bool alt = false;
    if (accept(tk::COLON)) alt = true;
    else expect(tk::LBRACE);
    accept(tk::SEMICOLON);
    tk closer = alt ? tk::T_ENDSWITCH : tk::RBRACE;
    while (look() != closer) {
        node *c = make(kind::case_clause, line());
        if (accept(tk::T_CASE)) value(c) = expr();
        else expect(tk::T_DEFAULT);
        if (!accept(tk::COLON)) expect(tk::SEMICOLON);
        body(c) = inner_statements({tk::T_CASE, tk::T_DEFAULT, closer});
        n->list.push_back(c);
    }
    advance();
    if (alt) end_statement();
    return n;
}

/* jump_stmt -> (BREAK | CONTINUE) [T_LNUMBER] ';' */
node *parser::jump_stmt(kind k) {
    node *n = make(k, line());
    advance();
    n->lval = 1;
    if (look() == tk::T_LNUMBER) {
        n->lval = cur().lval;
        advance();
    }
    end_statement();
    return n;
}

/* return_stmt -> RETURN [expr] ';' */
node *parser::return_stmt() {
    node *n = make(kind::return_stmt, line());
    expect(tk::T_RETURN);
    if (look() != tk::SEMICOLON) operand(n) = expr();
    end_statement();
    return n;
}

/* global_stmt -> GLOBAL global_var (',' global_var)* ';'
 * global_var  -> T_VARIABLE | '$' base_variable | '$' '{' expr '}' */
node *parser::global_stmt() {
    node *n = make(kind::global_stmt, line());
    expect(tk::T_GLOBAL);
    for (;;) {
        if (look() == tk::T_VARIABLE) {
            node *v = make(kind::var, line());
            v->str = cur().text;
            advance();
            n->list.push_back(v);
        } else if (look() == tk::DOLLAR) {
            n->list.push_back(base_variable());
        } else {
            unexpected();
        }
        if (!accept(tk::COMMA)) break;
    }
    end_statement();
    return n;
}

/* static_stmt -> STATIC T_VARIABLE ['=' static_scalar] (',' T_VARIABLE ['=' static_scalar])* ';' */
node *parser::static_stmt() {
    node *n = make(kind::static_stmt, line());
    expect(tk::T_STATIC);
    for (;;) {
        if (look() != tk::T_VARIABLE) unexpected();
        node *v = make(kind::static_var, line());
        v->str = cur().text;
        advance();
        if (accept(tk::EQUALS)) value(v) = static_scalar();
        n->list.push_back(v);
        if (!accept(tk::COMMA)) break;
    }
    end_statement();
    return n;
}

/* echo_stmt -> ECHO expr (',' expr)* ';' */
node *parser::echo_stmt() {
    node *n = make(kind::echo, line());
    expect(tk::T_ECHO);
    for (;;) {
        n->list.push_back(expr());
        if (!accept(tk::COMMA)) break;
    }
    end_statement();
    return n;
}

/* unset_stmt -> UNSET '(' variable (',' variable)* ')' ';' */
node *parser::unset_stmt() {
    node *n = make(kind::unset_stmt, line());
    expect(tk::T_UNSET);
    expect(tk::LPAREN);
    for (;;) {
        n->list.push_back(variable(false));
        if (!accept(tk::COMMA)) break;
    }
    expect(tk::RPAREN);
    end_statement();
    return n;
}

/* func_decl -> FUNCTION ['&'] T_STRING '(' [param (',' param)*] ')' '{' inner_statement* '}'
 * param     -> ['&'] T_VARIABLE ['=' static_scalar] */
node *parser::func_decl() {
    node *n = make(kind::func_decl, line());
    expect(tk::T_FUNCTION);
    if (accept(tk::AMP)) n->op = 1;
    if (look() != tk::T_STRING) unexpected();
    n->str = cur().text;
    advance();
    expect(tk::LPAREN);
    if (look() != tk::RPAREN) {
        for (;;) {
            node *p = make(kind::param, line());
            if (accept(tk::AMP)) p->op = 1;
            if (look() != tk::T_VARIABLE) unexpected();
            p->str = cur().text;
            advance();
            if (accept(tk::EQUALS)) value(p) = static_scalar();
            n->list.push_back(p);
            if (!accept(tk::COMMA)) break;
        }
    }
    expect(tk::RPAREN);
    expect(tk::LBRACE);
    std::string outer = function_name;
    function_name = n->str;
    body(n) = inner_statements({tk::RBRACE});
    advance();
    function_name = outer;
    return n;
}

/* class_decl   -> CLASS T_STRING [EXTENDS T_STRING] '{' class_member* '}'
 * class_member -> VAR T_VARIABLE ['=' static_scalar] (',' T_VARIABLE ['=' static_scalar])* ';'
 *               | func_decl */
node *parser::class_decl() {
    node *n = make(kind::class_decl, line());
    expect(tk::T_CLASS);
    if (look() != tk::T_STRING) unexpected();
    n->str = cur().text;
    advance();
    if (accept(tk::T_EXTENDS)) {
        if (look() != tk::T_STRING) unexpected();
        n->str2 = cur().text;
        advance();
    }
    expect(tk::LBRACE);
    std::string outer = class_name;
    class_name = n->str;
    while (!accept(tk::RBRACE)) {
        if (look() == tk::T_FUNCTION) {
            nesting_guard g(*this);
            n->list.push_back(func_decl());
            continue;
        }
        expect(tk::T_VAR);
        for (;;) {
            if (look() != tk::T_VARIABLE) unexpected();
            node *p = make(kind::prop_decl, line());
            p->str = cur().text;
            advance();
            if (accept(tk::EQUALS)) value(p) = static_scalar();
            n->list.push_back(p);
            if (!accept(tk::COMMA)) break;
        }
        end_statement();
    }
    class_name = outer;
    return n;
}

} // namespace detail

std::unique_ptr<tree> parse(const char *source, std::size_t length, std::string &message, int &line) {
    return parse(source, length, message, line, false, 1);
}

std::unique_ptr<tree> parse(const char *source, std::size_t length, std::string &message, int &line,
                            bool in_script, int first_line) {
    try {
        auto t = std::make_unique<tree>();
        token_stream toks(source, length, in_script, first_line);
        detail::parser p(toks, *t);
        t->root = p.file();
        int deep_line = 0;
        if (!detail::depth_within(t->root, detail::max_tree_depth, deep_line)) {
            message = "parse error, nesting too deep";
            line = deep_line;
            return nullptr;
        }
        message.clear();
        line = 0;
        return t;
    } catch (const detail::syntax_error &e) {
        message = e.message;
        line = e.line;
    } catch (const std::bad_alloc &) {
        message = "parse error, out of memory";
        line = 0;
    }
    return nullptr;
}

} // namespace zend::ast
