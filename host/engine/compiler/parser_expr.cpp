/* Expressions: precedence climbing over the binary operators, recursive
 * descent for the rest.
 *
 * Binding, loosest first: or, xor, and, print, assignment, ?: (left),
 * ||, &&, |, ^, &, equality (non-assoc), comparison (non-assoc), << >>,
 * + - ., * / %, the prefix operators, then [ -> and new.
 *
 * An assignment binds to the variable on its left whatever precedes it,
 * so "!$a = f()" is "!($a = f())" and "$x && $y = 1" is "$x && ($y = 1)":
 * the assignment is parsed right where its target ends (after_variable). */
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "parser.h"
#include "zend.h"
#include "zend_compile.h"

namespace zend::ast::detail {

namespace {

enum prec {
    P_LOWEST = 0,
    P_OR,
    P_XOR,
    P_AND,
    P_PRINT,
    P_ASSIGN,
    P_TERNARY,
    P_BOOL_OR,
    P_BOOL_AND,
    P_BW_OR,
    P_BW_XOR,
    P_BW_AND,
    P_EQUALITY,
    P_RELATIONAL,
    P_SHIFT,
    P_ADD,
    P_MUL,
};

struct binop {
    int prec;
    kind k;
    op o;
};

bool binary_info(tk t, binop &b) {
    switch (t) {
    case tk::T_LOGICAL_OR: b = {P_OR, kind::logical_or, op::none}; return true;
    case tk::T_LOGICAL_XOR: b = {P_XOR, kind::logical_xor, op::none}; return true;
    case tk::T_LOGICAL_AND: b = {P_AND, kind::logical_and, op::none}; return true;
    case tk::QUESTION: b = {P_TERNARY, kind::ternary, op::none}; return true;
    case tk::T_BOOLEAN_OR: b = {P_BOOL_OR, kind::logical_or, op::none}; return true;
    case tk::T_BOOLEAN_AND: b = {P_BOOL_AND, kind::logical_and, op::none}; return true;
    case tk::PIPE: b = {P_BW_OR, kind::binary, op::bw_or}; return true;
    case tk::CARET: b = {P_BW_XOR, kind::binary, op::bw_xor}; return true;
    case tk::AMP: b = {P_BW_AND, kind::binary, op::bw_and}; return true;
    case tk::T_IS_EQUAL: b = {P_EQUALITY, kind::binary, op::is_equal}; return true;
    case tk::T_IS_NOT_EQUAL: b = {P_EQUALITY, kind::binary, op::is_not_equal}; return true;
    case tk::T_IS_IDENTICAL: b = {P_EQUALITY, kind::binary, op::is_identical}; return true;
    case tk::T_IS_NOT_IDENTICAL: b = {P_EQUALITY, kind::binary, op::is_not_identical}; return true;
    case tk::LT: b = {P_RELATIONAL, kind::binary, op::is_smaller}; return true;
    case tk::T_IS_SMALLER_OR_EQUAL: b = {P_RELATIONAL, kind::binary, op::is_smaller_or_equal}; return true;
    case tk::GT: b = {P_RELATIONAL, kind::binary, op::is_greater}; return true;
    case tk::T_IS_GREATER_OR_EQUAL: b = {P_RELATIONAL, kind::binary, op::is_greater_or_equal}; return true;
    case tk::T_SL: b = {P_SHIFT, kind::binary, op::sl}; return true;
    case tk::T_SR: b = {P_SHIFT, kind::binary, op::sr}; return true;
    case tk::PLUS: b = {P_ADD, kind::binary, op::add}; return true;
    case tk::MINUS: b = {P_ADD, kind::binary, op::sub}; return true;
    case tk::DOT: b = {P_ADD, kind::binary, op::concat}; return true;
    case tk::STAR: b = {P_MUL, kind::binary, op::mul}; return true;
    case tk::SLASH: b = {P_MUL, kind::binary, op::div}; return true;
    case tk::PERCENT: b = {P_MUL, kind::binary, op::mod}; return true;
    default: return false;
    }
}

bool compound_assign(tk t, op &o) {
    switch (t) {
    case tk::T_PLUS_EQUAL: o = op::add; return true;
    case tk::T_MINUS_EQUAL: o = op::sub; return true;
    case tk::T_MUL_EQUAL: o = op::mul; return true;
    case tk::T_DIV_EQUAL: o = op::div; return true;
    case tk::T_CONCAT_EQUAL: o = op::concat; return true;
    case tk::T_MOD_EQUAL: o = op::mod; return true;
    case tk::T_AND_EQUAL: o = op::bw_and; return true;
    case tk::T_OR_EQUAL: o = op::bw_or; return true;
    case tk::T_XOR_EQUAL: o = op::bw_xor; return true;
    case tk::T_SL_EQUAL: o = op::sl; return true;
    case tk::T_SR_EQUAL: o = op::sr; return true;
    default: return false;
    }
}

int cast_type(tk t) {
    switch (t) {
    case tk::T_INT_CAST: return IS_LONG;
    case tk::T_DOUBLE_CAST: return IS_DOUBLE;
    case tk::T_STRING_CAST: return IS_STRING;
    case tk::T_BOOL_CAST: return IS_BOOL;
    case tk::T_ARRAY_CAST: return IS_ARRAY;
    case tk::T_OBJECT_CAST: return IS_OBJECT;
    default: return -1;
    }
}

int include_type(tk t) {
    switch (t) {
    case tk::T_INCLUDE: return ZEND_INCLUDE;
    case tk::T_INCLUDE_ONCE: return ZEND_INCLUDE_ONCE;
    case tk::T_REQUIRE: return ZEND_REQUIRE;
    case tk::T_REQUIRE_ONCE: return ZEND_REQUIRE_ONCE;
    default: return -1;
    }
}

bool iequals(const std::string &a, const char *b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; i++) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
        if (c != b[i]) return false;
    }
    return i == a.size() && !b[i];
}

/* A digit run used as a key inside a string is an integer key when it is
 * canonical and fits a long, a string key otherwise ("007"). */
bool canonical_long(const std::string &s, long &v) {
    if (s.empty() || s.size() > 19 || (s.size() > 1 && s[0] == '0')) return false;
    errno = 0;
    char *e = nullptr;
    v = std::strtol(s.c_str(), &e, 10);
    return errno != ERANGE && *e == '\0';
}

} // namespace

bool is_variable(const node *n) {
    return n && (n->k == kind::var || n->k == kind::var_var || n->k == kind::dim || n->k == kind::prop);
}

/* A T_STRING in value position: true/false/null in any case, else a constant. */
static node *named_constant(parser &p) {
    const token &t = p.cur();
    node *n;
    if (iequals(t.text, "true") || iequals(t.text, "false")) {
        n = p.make(kind::bool_lit, t.line);
        n->lval = iequals(t.text, "true");
    } else if (iequals(t.text, "null")) {
        n = p.make(kind::null_lit, t.line);
    } else {
        n = p.make(kind::constant, t.line);
        n->str = t.text;
    }
    p.advance();
    return n;
}

/* Folds "-literal" so that negative numbers are plain literals. */
static node *negate(parser &p, node *operand, int at) {
    if (operand->k == kind::long_lit && operand->lval != LONG_MIN) {
        operand->lval = -operand->lval;
        return operand;
    }
    if (operand->k == kind::double_lit) {
        operand->dval = -operand->dval;
        return operand;
    }
    node *n = p.make(kind::unary, at);
    n->op = int(op::negate);
    ast::operand(n) = operand;
    return n;
}

/* expr -> unary (binop expr | '?' expr ':' expr)* */
node *parser::expr(int min_prec) {
    nesting_guard g(*this);
    node *lhs = unary();
    binop b;
    while (binary_info(look(), b) && b.prec >= min_prec) {
        int at = line();
        advance();
        if (b.k == kind::ternary) {
            node *mid = expr(P_LOWEST);
            expect(tk::COLON);
            node *rhs = expr(P_TERNARY + 1);
            node *n = make(kind::ternary, at);
            cond(n) = lhs;
            then(n) = mid;
            otherwise(n) = rhs;
            lhs = n;
            continue;
        }
        node *rhs = expr(b.prec + 1);
        node *n = make(b.k, at);
        n->op = int(b.o);
        left(n) = lhs;
        right(n) = rhs;
        lhs = n;
        binop again;
        if ((b.prec == P_EQUALITY || b.prec == P_RELATIONAL) && binary_info(look(), again) && again.prec == b.prec)
            unexpected();
    }
    return lhs;
}

/* unary -> ('!' | '~' | '-' | '+' | '@' | cast) unary | ('++' | '--') variable
 *        | PRINT expr | (INCLUDE | INCLUDE_ONCE | REQUIRE | REQUIRE_ONCE) expr
 *        | postfix */
node *parser::unary() {
    nesting_guard g(*this);
    int at = line();
    tk t = look();
    node *n;
    switch (t) {
    case tk::BANG:
    case tk::TILDE:
    case tk::PLUS:
        advance();
        n = make(kind::unary, at);
        n->op = int(t == tk::BANG ? op::bool_not : t == tk::TILDE ? op::bw_not : op::plus);
        operand(n) = unary();
        return n;
    case tk::MINUS:
        advance();
        return negate(*this, unary(), at);
    case tk::AT:
        advance();
        n = make(kind::silence, at);
        operand(n) = unary();
        return n;
    case tk::T_INC:
    case tk::T_DEC: {
        advance();
        node *v = variable(false);
        n = make(t == tk::T_INC ? kind::pre_inc : kind::pre_dec, at);
        operand(n) = v;
        return n;
    }
    case tk::T_PRINT:
        advance();
        n = make(kind::print, at);
        operand(n) = expr(P_ASSIGN);
        return n;
    default:
        break;
    }
    if (int c = cast_type(t); c >= 0) {
        advance();
        n = make(kind::cast, at);
        n->op = c;
        operand(n) = unary();
        return n;
    }
    if (int inc = include_type(t); inc >= 0) {
        advance();
        n = make(kind::include, at);
        n->op = inc;
        operand(n) = expr(P_LOWEST);
        return n;
    }
    return postfix();
}

/* postfix -> variable [assignment | '++' | '--'] | primary */
node *parser::postfix() {
    tk t = look();
    if (t == tk::T_VARIABLE || t == tk::DOLLAR ||
        (t == tk::T_STRING && (peek() == tk::LPAREN || peek() == tk::T_PAAMAYIM_NEKUDOTAYIM)))
        return after_variable(variable());
    return primary();
}

/* after_variable -> '=' expr | '=' '&' (variable | new_expr) | op'=' expr | '++' | '--' | nothing */
node *parser::after_variable(node *v) {
    if (!is_variable(v)) return v;
    int at = line();
    tk t = look();
    node *n;
    op o;
    if (t == tk::EQUALS) {
        advance();
        if (accept(tk::AMP)) {
            n = make(kind::assign_ref, at);
            target(n) = v;
            value(n) = look() == tk::T_NEW ? new_expr() : variable();
            return n;
        }
        n = make(kind::assign, at);
        target(n) = v;
        value(n) = expr(P_ASSIGN);
        return n;
    }
    if (compound_assign(t, o)) {
        advance();
        n = make(kind::assign_op, at);
        n->op = int(o);
        target(n) = v;
        value(n) = expr(P_ASSIGN);
        return n;
    }
    if (t == tk::T_INC || t == tk::T_DEC) {
        advance();
        n = make(t == tk::T_INC ? kind::post_inc : kind::post_dec, at);
        operand(n) = v;
        return n;
    }
    return v;
}

/* variable -> T_STRING '(' args ')' | T_STRING '::' T_STRING '(' args ')'
 *           | base_variable ('->' property)* ['(' args ')']
 * A call ends the chain. With allow_calls false only a writable variable
 * is accepted and a '(' is left for the caller to reject. */
node *parser::variable(bool allow_calls) {
    int at = line();
    if (look() == tk::T_STRING && allow_calls) {
        std::string name = cur().text;
        advance();
        node *n;
        if (accept(tk::T_PAAMAYIM_NEKUDOTAYIM)) {
            if (look() != tk::T_STRING) unexpected();
            n = make(kind::static_call, at);
            n->str = iequals(name, "parent") ? "parent" : name;
            n->str2 = cur().text;
            advance();
        } else {
            n = make(kind::call, at);
            n->str = name;
        }
        arguments(n);
        return n;
    }
    if (look() != tk::T_VARIABLE && look() != tk::DOLLAR) unexpected();
    node *v = base_variable();
    while (look() == tk::T_OBJECT_OPERATOR) {
        advance();
        v = property(v, allow_calls);
        if (v->k == kind::method_call) return v;
    }
    if (allow_calls && look() == tk::LPAREN) {
        /* $f(...): the function's name is the variable's value */
        node *n = make(kind::call, line());
        set_name(n, v);
        arguments(n);
        return n;
    }
    return v;
}

/* base_variable -> '$'* (T_VARIABLE | '$' '{' expr '}') offsets
 * Indirection applies to the whole offset chain: $$a[0] is ${$a[0]}. */
node *parser::base_variable() {
    nesting_guard g(*this);
    int at = line();
    int indirections = 0;
    while (look() == tk::DOLLAR && peek() != tk::LBRACE) {
        indirections++;
        advance();
        if (indirections > max_tree_depth) fail("parse error, nesting too deep", at);
    }
    node *v;
    if (look() == tk::T_VARIABLE) {
        v = make(kind::var, line());
        v->str = cur().text;
        advance();
    } else if (look() == tk::DOLLAR) {
        advance();
        expect(tk::LBRACE);
        v = make(kind::var_var, at);
        set_name(v, expr());
        expect(tk::RBRACE);
    } else {
        unexpected();
    }
    v = offsets(v);
    while (indirections-- > 0) {
        node *n = make(kind::var_var, at);
        set_name(n, v);
        v = n;
    }
    return v;
}

/* offsets -> ('[' [expr] ']' | '{' expr '}')* */
node *parser::offsets(node *base) {
    for (;;) {
        int at = line();
        if (accept(tk::LBRACKET)) {
            node *n = make(kind::dim, at);
            ast::base(n) = base;
            if (look() != tk::RBRACKET) index(n) = expr();
            expect(tk::RBRACKET);
            base = n;
        } else if (accept(tk::LBRACE)) {
            node *n = make(kind::dim, at);
            ast::base(n) = base;
            index(n) = expr();
            expect(tk::RBRACE);
            base = n;
        } else {
            return base;
        }
    }
}

/* property -> (T_STRING | base_variable | '{' expr '}') (offsets | '(' args ')') */
node *parser::property(node *object, bool allow_calls) {
    int at = line();
    std::string name;
    node *name_expr = nullptr;
    if (look() == tk::T_STRING) {
        name = cur().text;
        advance();
    } else if (look() == tk::T_VARIABLE || look() == tk::DOLLAR) {
        name_expr = base_variable();
    } else if (accept(tk::LBRACE)) {
        name_expr = expr();
        expect(tk::RBRACE);
    } else {
        unexpected();
    }
    if (allow_calls && look() == tk::LPAREN) {
        node *n = make(kind::method_call, at);
        n->str = name;
        ast::object(n) = object;
        if (name_expr) set_name(n, name_expr);
        arguments(n);
        return n;
    }
    node *n = make(kind::prop, at);
    n->str = name;
    ast::object(n) = object;
    if (name_expr) set_name(n, name_expr);
    return offsets(n);
}

/* args -> '(' [arg (',' arg)*] ')'     arg -> expr | '&' variable */
void parser::arguments(node *call) {
    expect(tk::LPAREN);
    if (accept(tk::RPAREN)) return;
    for (;;) {
        int at = line();
        if (accept(tk::AMP)) {
            node *ref = make(kind::ref_arg, at);
            operand(ref) = variable(false);
            call->list.push_back(ref);
        } else {
            call->list.push_back(expr());
        }
        if (!accept(tk::COMMA)) break;
    }
    expect(tk::RPAREN);
}

/* list_assign -> list_targets '=' expr */
node *parser::list_assign() {
    node *n = make(kind::list_assign, line());
    target(n) = list_targets();
    expect(tk::EQUALS);
    value(n) = expr(P_ASSIGN);
    return n;
}

/* list_targets -> LIST '(' [target] (',' [target])* ')'
 * target       -> variable | list_targets; an empty target skips its slot */
node *parser::list_targets() {
    nesting_guard g(*this);
    node *n = make(kind::list, line());
    expect(tk::T_LIST);
    expect(tk::LPAREN);
    for (;;) {
        if (look() == tk::COMMA || look() == tk::RPAREN) n->list.push_back(nullptr);
        else if (look() == tk::T_LIST) n->list.push_back(list_targets());
        else n->list.push_back(variable(false));
        if (!accept(tk::COMMA)) break;
    }
    expect(tk::RPAREN);
    return n;
}

/* primary -> number | string | encaps | heredoc | constant | array_lit | isset | empty
 *          | exit | new_expr | list_assign | EVAL '(' expr ')' | '(' expr ')'
 *          | __LINE__ | __FILE__ | __CLASS__ | __FUNCTION__ */
node *parser::primary() {
    int at = line();
    node *n;
    switch (look()) {
    case tk::T_LNUMBER:
        n = make(kind::long_lit, at);
        n->lval = cur().lval;
        advance();
        return n;
    case tk::T_DNUMBER:
        n = make(kind::double_lit, at);
        n->dval = cur().dval;
        advance();
        return n;
    case tk::T_CONSTANT_ENCAPSED_STRING:
        n = make(kind::string_lit, at);
        n->str = cur().text;
        advance();
        return n;
    case tk::QUOTE: return encaps(tk::QUOTE);
    case tk::T_START_HEREDOC: return encaps(tk::T_END_HEREDOC);
    case tk::T_STRING: return named_constant(*this);
    case tk::T_ARRAY: return array_literal(false);
    case tk::T_ISSET: return isset_expr();
    case tk::T_EMPTY: return empty_expr();
    case tk::T_EXIT: return exit_expr();
    case tk::T_NEW: return new_expr();
    case tk::T_LIST: return list_assign();
    case tk::T_EVAL:
        advance();
        n = make(kind::eval, at);
        expect(tk::LPAREN);
        operand(n) = expr();
        expect(tk::RPAREN);
        return n;
    case tk::LPAREN:
        advance();
        n = expr();
        expect(tk::RPAREN);
        return n;
    case tk::T_LINE:
        n = make(kind::long_lit, at);
        n->lval = cur().lval;
        advance();
        return n;
    case tk::T_FILE:
        n = make(kind::constant, at);
        n->str = "__FILE__";
        advance();
        return n;
    case tk::T_CLASS_C:
    case tk::T_FUNC_C:
        n = make(kind::string_lit, at);
        /* the names in lower case, as the engine keeps them in its tables */
        n->str = look() == tk::T_CLASS_C ? class_name : function_name;
        for (char &ch : n->str)
            if (ch >= 'A' && ch <= 'Z') ch = char(ch + 32);
        advance();
        return n;
    default:
        unexpected();
    }
}

/* array_lit -> ARRAY '(' [pair (',' pair)* [',']] ')'
 * pair      -> value ['=>' value] | [value '=>'] '&' variable
 * In a constant context the values are static scalars and no element is
 * a reference. An element taken by reference has op 1. */
node *parser::array_literal(bool constant) {
    nesting_guard g(*this);
    node *a = make(kind::array, line());
    expect(tk::T_ARRAY);
    expect(tk::LPAREN);
    while (look() != tk::RPAREN) {
        node *e = make(kind::array_elem, line());
        if (!constant && accept(tk::AMP)) {
            e->op = 1;
            value(e) = variable(false);
        } else {
            value(e) = constant ? static_scalar() : expr();
            if (accept(tk::T_DOUBLE_ARROW)) {
                key(e) = value(e);
                if (!constant && accept(tk::AMP)) {
                    e->op = 1;
                    value(e) = variable(false);
                } else {
                    value(e) = constant ? static_scalar() : expr();
                }
            }
        }
        a->list.push_back(e);
        if (!accept(tk::COMMA)) break;
    }
    expect(tk::RPAREN);
    return a;
}

/* static_scalar -> number | string | constant | '+' static_scalar | '-' static_scalar
 *                | ARRAY '(' static pairs ')' | __LINE__ | __FILE__ | __CLASS__ | __FUNCTION__ */
node *parser::static_scalar() {
    nesting_guard g(*this);
    int at = line();
    switch (look()) {
    case tk::T_LNUMBER:
    case tk::T_DNUMBER:
    case tk::T_CONSTANT_ENCAPSED_STRING:
    case tk::T_STRING:
    case tk::T_LINE:
    case tk::T_FILE:
    case tk::T_CLASS_C:
    case tk::T_FUNC_C:
        return primary();
    case tk::PLUS: {
        advance();
        node *v = static_scalar();
        if (v->k == kind::long_lit || v->k == kind::double_lit) return v;
        node *n = make(kind::unary, at);
        n->op = int(op::plus);
        operand(n) = v;
        return n;
    }
    case tk::MINUS:
        advance();
        return negate(*this, static_scalar(), at);
    case tk::T_ARRAY: return array_literal(true);
    default: unexpected();
    }
}

/* new_expr -> NEW (T_STRING | variable) ['(' args ')']
 * With a variable the class name is its value: str stays empty and the
 * variable is the computed name. */
node *parser::new_expr() {
    node *n = make(kind::new_object, line());
    expect(tk::T_NEW);
    if (look() == tk::T_STRING) {
        n->str = cur().text;
        advance();
    } else {
        set_name(n, variable(false));
    }
    if (look() == tk::LPAREN) arguments(n);
    return n;
}

/* exit_expr -> EXIT ['(' [expr] ')'] */
node *parser::exit_expr() {
    node *n = make(kind::exit, line());
    expect(tk::T_EXIT);
    if (accept(tk::LPAREN)) {
        if (look() != tk::RPAREN) operand(n) = expr();
        expect(tk::RPAREN);
    }
    return n;
}

/* isset -> ISSET '(' variable (',' variable)* ')' */
node *parser::isset_expr() {
    node *n = make(kind::isset, line());
    expect(tk::T_ISSET);
    expect(tk::LPAREN);
    for (;;) {
        n->list.push_back(variable(false));
        if (!accept(tk::COMMA)) break;
    }
    expect(tk::RPAREN);
    return n;
}

/* empty -> EMPTY '(' variable ')' */
node *parser::empty_expr() {
    node *n = make(kind::empty, line());
    expect(tk::T_EMPTY);
    expect(tk::LPAREN);
    operand(n) = variable(false);
    expect(tk::RPAREN);
    return n;
}

/* encaps -> '"' part* '"' | T_START_HEREDOC part* T_END_HEREDOC
 * part   -> T_ENCAPSED_AND_WHITESPACE | encaps_variable
 * A heredoc without variables is a plain string. */
node *parser::encaps(tk closer) {
    nesting_guard g(*this);
    node *n = make(kind::interp, line());
    advance();
    while (look() != closer) {
        if (look() == tk::T_ENCAPSED_AND_WHITESPACE) {
            if (!cur().text.empty()) {
                node *s = make(kind::string_lit, line());
                s->str = cur().text;
                n->list.push_back(s);
            }
            advance();
        } else {
            n->list.push_back(encaps_variable());
        }
    }
    advance();
    if (n->list.empty()) {
        n->k = kind::string_lit;
    } else if (n->list.size() == 1 && n->list[0]->k == kind::string_lit) {
        n->k = kind::string_lit;
        n->str = n->list[0]->str;
        n->list.clear();
    }
    return n;
}

/* encaps_variable -> T_VARIABLE ['[' (T_STRING | T_NUM_STRING | T_VARIABLE) ']' | '->' T_STRING]
 *                  | '${' T_STRING_VARNAME ['[' expr ']'] '}' | '${' expr '}'
 *                  | '{' variable '}'                              (from "{$") */
node *parser::encaps_variable() {
    int at = line();
    node *v;
    switch (look()) {
    case tk::T_VARIABLE:
        v = make(kind::var, at);
        v->str = cur().text;
        advance();
        if (accept(tk::LBRACKET)) {
            node *key;
            long lv;
            if (look() == tk::T_STRING) {
                key = make(kind::string_lit, line());
                key->str = cur().text;
            } else if (look() == tk::T_NUM_STRING && canonical_long(cur().text, lv)) {
                key = make(kind::long_lit, line());
                key->lval = lv;
            } else if (look() == tk::T_NUM_STRING) {
                key = make(kind::string_lit, line());
                key->str = cur().text;
            } else if (look() == tk::T_VARIABLE) {
                key = make(kind::var, line());
                key->str = cur().text;
            } else {
                unexpected();
            }
            advance();
            expect(tk::RBRACKET);
            node *d = make(kind::dim, at);
            base(d) = v;
            index(d) = key;
            v = d;
        } else if (accept(tk::T_OBJECT_OPERATOR)) {
            if (look() != tk::T_STRING) unexpected();
            node *p = make(kind::prop, at);
            p->str = cur().text;
            object(p) = v;
            advance();
            v = p;
        }
        return v;
    case tk::T_DOLLAR_OPEN_CURLY_BRACES:
        advance();
        if (look() == tk::T_STRING_VARNAME) {
            v = make(kind::var, at);
            v->str = cur().text;
            advance();
            if (accept(tk::LBRACKET)) {
                node *d = make(kind::dim, at);
                base(d) = v;
                index(d) = expr();
                expect(tk::RBRACKET);
                v = d;
            }
        } else {
            v = make(kind::var_var, at);
            set_name(v, expr());
        }
        expect(tk::RBRACE);
        return v;
    case tk::T_CURLY_OPEN:
        advance();
        v = variable();
        expect(tk::RBRACE);
        return v;
    default:
        unexpected();
    }
}

} // namespace zend::ast::detail
