/* The syntax tree that the parser builds and the code generator walks.
 * One node type; what its fields hold depends on the kind (table below).
 * Nodes belong to the tree's arena and die with it. */
#ifndef BRISKO_AST_H
#define BRISKO_AST_H

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace zend::ast {

enum class kind {
    /* expressions */
    long_lit,      /* lval */
    double_lit,    /* dval */
    string_lit,    /* str: bytes, escapes already resolved */
    bool_lit,      /* lval 0 or 1 */
    null_lit,
    constant,      /* str: constant name as written (define()d or built-in) */
    interp,        /* list: parts (string_lit or expressions), concatenated */
    array,         /* list: array_elem */
    array_elem,    /* kids[0]: key or nullptr; kids[1]: value; op 1: the value is a variable taken by reference */
    var,           /* str: variable name without "$" */
    var_var,       /* kids[0]: expression giving the name ($$x, ${expr}) */
    dim,           /* kids[0]: base; kids[1]: index, nullptr for [] */
    prop,          /* kids[0]: object; str: property name, or kids[1]: name expression */
    call,          /* str: function name; list: arguments */
    method_call,   /* kids[0]: object; str: method name; list: arguments */
    static_call,   /* str: class name ("parent" for parent::); str2: method; list: arguments */
    new_object,    /* str: class name; list: constructor arguments */
    assign,        /* kids[0]: target; kids[1]: value */
    assign_ref,    /* kids[0]: target; kids[1]: source variable or new_object */
    assign_op,     /* op: binary operator; kids[0]: target; kids[1]: value */
    binary,        /* op: binary operator; kids[0], kids[1] */
    logical_and,   /* && and "and": short-circuit; kids[0], kids[1] */
    logical_or,    /* || and "or" */
    logical_xor,   /* "xor" */
    unary,         /* op: unary operator; kids[0] */
    pre_inc, pre_dec, post_inc, post_dec, /* kids[0]: target */
    cast,          /* op: IS_LONG, IS_DOUBLE, IS_STRING, IS_BOOL, IS_ARRAY, IS_OBJECT; kids[0] */
    silence,       /* @ kids[0] */
    ternary,       /* kids[0] ? kids[1] : kids[2] */
    isset,         /* list: variables */
    empty,         /* kids[0]: variable */
    include,       /* op: ZEND_INCLUDE, ZEND_REQUIRE, ZEND_INCLUDE_ONCE, ZEND_REQUIRE_ONCE; kids[0] */
    exit,          /* kids[0]: status or message, nullptr when none */
    print,         /* kids[0] */
    list,          /* list: targets, each a variable, a nested list or nullptr for a skipped slot */
    list_assign,   /* kids[0]: list; kids[1]: value */
    ref_arg,       /* kids[0]: variable passed by reference at the call (f(&$x)) */
    eval,          /* kids[0]: code */

    /* statements */
    stmt_list,     /* list: statements */
    echo,          /* list: expressions */
    inline_html,   /* str: text outside the PHP tags */
    expr_stmt,     /* kids[0] */
    if_stmt,       /* kids[0]: condition; kids[1]: then; kids[2]: else, elseif (an if_stmt) or nullptr */
    while_stmt,    /* kids[0]: condition; kids[1]: body */
    do_while,      /* kids[0]: body; kids[1]: condition */
    for_stmt,      /* kids[0]: init, kids[1]: conditions, kids[2]: steps (expr_list each); kids[3]: body */
    expr_list,     /* list: expressions (may be empty) */
    foreach_stmt,  /* kids[0]: array; kids[1]: key target or nullptr; kids[2]: value target; kids[3]: body */
    switch_stmt,   /* kids[0]: subject; list: case_clause */
    case_clause,   /* kids[0]: value, nullptr for default; kids[1]: stmt_list */
    break_stmt,    /* lval: depth (1 when not given) */
    continue_stmt, /* lval: depth */
    return_stmt,   /* kids[0] or nullptr */
    global_stmt,   /* list: var nodes */
    static_stmt,   /* list: static_var */
    static_var,    /* str: name; kids[0]: initial value (constant expression) or nullptr */
    unset_stmt,    /* list: variables */
    func_decl,     /* str: name; op: 1 when declared "function &name"; list: param; kids[0]: body */
    param,         /* str: name; op: 1 when by reference; kids[0]: default or nullptr */
    class_decl,    /* str: name; str2: parent name or ""; list: prop_decl and func_decl */
    prop_decl,     /* str: name; kids[0]: default or nullptr */
    nop,
};

/* Operators of binary, assign_op and unary nodes. */
enum class op {
    none,
    add, sub, mul, div, mod, concat,
    bw_or, bw_and, bw_xor, sl, sr,
    is_equal, is_not_equal, is_identical, is_not_identical,
    is_smaller, is_smaller_or_equal, is_greater, is_greater_or_equal,
    bool_not, negate, plus, bw_not,
};

struct node {
    kind k;
    int line = 0;
    long lval = 0;
    double dval = 0;
    int op = 0;                 /* an ast::op, a flag or a type code, by kind */
    std::string str;
    std::string str2;
    std::vector<node *> kids;
    std::vector<node *> list;
};

/* Owns the nodes of one parse. */
struct tree {
    std::deque<node> arena;
    node *root = nullptr;       /* a stmt_list */
    node *make(kind k, int line) {
        arena.emplace_back();
        node *n = &arena.back();
        n->k = k;
        n->line = line;
        return n;
    }
};

/* Parses a whole file. On a syntax error returns nullptr and fills message
 * (PHP's words, e.g. "parse error, unexpected '}'") and line. Never
 * throws; nesting depth is bounded so hostile input cannot exhaust the
 * stack. */
std::unique_ptr<tree> parse(const char *source, std::size_t length, std::string &message, int &line);
/* The same for text that starts inside the PHP tags (eval()'d code) or
 * whose first line has another number than 1. */
std::unique_ptr<tree> parse(const char *source, std::size_t length, std::string &message, int &line,
                            bool in_script, int first_line);

/* A readable dump of a tree, one node per line, for tests. */
std::string dump(const node *n);

} // namespace zend::ast

#endif
