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
    array_elem,    /* op 1: the value is a variable taken by reference */
    var,           /* str: variable name without "$" */
    var_var,       /* $$x, ${expr} */
    dim,
    prop,          /* str: property name, unless computed */
    call,          /* str: function name, unless computed; list: arguments */
    method_call,   /* str: method name, unless computed; list: arguments */
    static_call,   /* str: class name ("parent" for parent::); str2: method; list: arguments */
    new_object,    /* str: class name, unless computed; list: constructor arguments */
    assign,
    assign_ref,
    assign_op,     /* op: binary operator */
    binary,        /* op: binary operator */
    logical_and,   /* && and "and": short-circuit */
    logical_or,    /* || and "or" */
    logical_xor,   /* "xor" */
    unary,         /* op: unary operator */
    pre_inc, pre_dec, post_inc, post_dec,
    cast,          /* op: IS_LONG, IS_DOUBLE, IS_STRING, IS_BOOL, IS_ARRAY, IS_OBJECT */
    silence,       /* @ */
    ternary,
    isset,         /* list: variables */
    empty,
    include,       /* op: ZEND_INCLUDE, ZEND_REQUIRE, ZEND_INCLUDE_ONCE, ZEND_REQUIRE_ONCE */
    exit,
    print,
    list,          /* list: targets, each a variable, a nested list or nullptr for a skipped slot */
    list_assign,
    ref_arg,       /* a variable passed by reference at the call (f(&$x)) */
    eval,

    /* statements */
    stmt_list,     /* list: statements */
    echo,          /* list: expressions */
    inline_html,   /* str: text outside the PHP tags */
    expr_stmt,
    if_stmt,
    while_stmt,
    do_while,
    for_stmt,
    expr_list,     /* list: expressions (may be empty) */
    foreach_stmt,
    switch_stmt,   /* list: case_clause */
    case_clause,
    break_stmt,    /* lval: depth (1 when not given) */
    continue_stmt, /* lval: depth */
    return_stmt,
    global_stmt,   /* list: var nodes */
    static_stmt,   /* list: static_var */
    static_var,    /* str: name */
    unset_stmt,    /* list: variables */
    func_decl,     /* str: name; op: 1 when declared "function &name"; list: param */
    param,         /* str: name; op: 1 when by reference */
    class_decl,    /* str: name; str2: parent name or ""; list: prop_decl and func_decl */
    prop_decl,     /* str: name */
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

/* Children.
 *
 * A node's children sit in kids, in the slots of its kind's row below, and
 * are reached through the accessors after the table, named by what each
 * child is. tree::make() gives a node its kind's fixed slots, nullptr until
 * the parser fills them; "?" marks a slot that may stay nullptr. A computed
 * name, [name], is a slot after the fixed ones that a node has only when
 * its name is computed ($o->$p, $o->$m(), $f(), new $c, ${expr}, $$v) and
 * str is empty; name() reads nullptr otherwise. Kinds not in the table
 * have no children.
 *
 *   kind                           kids[0]  kids[1]  kids[2]    kids[3]
 *   var_var, call, new_object      [name]
 *   prop, method_call              object   [name]
 *   dim                            base     index?                        index: nullptr for $a[]
 *   array_elem                     key?     value
 *   assign, assign_op, assign_ref  target   value                         assign_ref: a variable, call or new
 *   list_assign                    target   value                         target: a list
 *   binary, logical_*              left     right
 *   ternary                        cond     then     otherwise
 *   unary, cast, silence, print,
 *   pre_/post_inc/dec, empty,
 *   include, eval, ref_arg,
 *   expr_stmt                      operand
 *   exit, return_stmt              operand?
 *   if_stmt                        cond     then     otherwise?           otherwise: else, or an elseif's if_stmt
 *   while_stmt                     cond     body
 *   do_while                       body     cond
 *   for_stmt                       init     cond     step       body      init, cond, step: expr_list
 *   foreach_stmt                   subject  key?     value      body      key, value: targets
 *   switch_stmt                    subject                                list: case_clause
 *   case_clause                    value?   body                          value: nullptr for default
 *   static_var, param, prop_decl   value?                                 initial or default, constant
 *   func_decl                      body                                   list: param
 */
constexpr std::size_t fixed_slots(kind k) {
    switch (k) {
    case kind::for_stmt:
    case kind::foreach_stmt: return 4;
    case kind::ternary:
    case kind::if_stmt: return 3;
    case kind::dim:
    case kind::array_elem:
    case kind::assign:
    case kind::assign_op:
    case kind::assign_ref:
    case kind::list_assign:
    case kind::binary:
    case kind::logical_and:
    case kind::logical_or:
    case kind::logical_xor:
    case kind::while_stmt:
    case kind::do_while:
    case kind::case_clause: return 2;
    case kind::prop:
    case kind::method_call:
    case kind::unary:
    case kind::cast:
    case kind::silence:
    case kind::print:
    case kind::pre_inc:
    case kind::pre_dec:
    case kind::post_inc:
    case kind::post_dec:
    case kind::empty:
    case kind::include:
    case kind::eval:
    case kind::ref_arg:
    case kind::expr_stmt:
    case kind::exit:
    case kind::return_stmt:
    case kind::switch_stmt:
    case kind::static_var:
    case kind::param:
    case kind::prop_decl:
    case kind::func_decl: return 1;
    default: return 0;
    }
}

/* Slots of the children whose place depends on the kind. */
constexpr std::size_t cond_slot(kind k) { return k == kind::do_while || k == kind::for_stmt ? 1 : 0; }
constexpr std::size_t key_slot(kind k) { return k == kind::foreach_stmt ? 1 : 0; }
constexpr std::size_t value_slot(kind k) {
    switch (k) {
    case kind::foreach_stmt: return 2;
    case kind::array_elem:
    case kind::assign:
    case kind::assign_op:
    case kind::assign_ref:
    case kind::list_assign: return 1;
    default: return 0; /* case_clause, static_var, param, prop_decl */
    }
}
constexpr std::size_t body_slot(kind k) {
    switch (k) {
    case kind::for_stmt:
    case kind::foreach_stmt: return 3;
    case kind::while_stmt:
    case kind::case_clause: return 1;
    default: return 0; /* do_while, func_decl */
    }
}

/* Each accessor comes as a pair: on a const node it reads the slot, on the
 * parser's own nodes it is the slot itself, to be filled ("cond(n) = ..."). */
#define BRISKO_AST_CHILD(role, slot)                                                                        \
    inline node *&role(node *n) { return n->kids[slot]; }                                                  \
    inline node *role(const node *n) { return n->kids[slot]; }

BRISKO_AST_CHILD(operand, 0)
BRISKO_AST_CHILD(object, 0)
BRISKO_AST_CHILD(base, 0)
BRISKO_AST_CHILD(index, 1)
BRISKO_AST_CHILD(target, 0)
BRISKO_AST_CHILD(left, 0)
BRISKO_AST_CHILD(right, 1)
BRISKO_AST_CHILD(subject, 0)
BRISKO_AST_CHILD(init, 0)
BRISKO_AST_CHILD(step, 2)
BRISKO_AST_CHILD(then, 1)
BRISKO_AST_CHILD(otherwise, 2)
BRISKO_AST_CHILD(cond, cond_slot(n->k))
BRISKO_AST_CHILD(key, key_slot(n->k))
BRISKO_AST_CHILD(value, value_slot(n->k))
BRISKO_AST_CHILD(body, body_slot(n->k))
#undef BRISKO_AST_CHILD

/* The computed name, or nullptr when str holds the name; set_name() adds
 * the slot. */
constexpr std::size_t name_slot(kind k) { return k == kind::prop || k == kind::method_call ? 1 : 0; }
inline node *name(const node *n) {
    std::size_t slot = name_slot(n->k);
    return slot < n->kids.size() ? n->kids[slot] : nullptr;
}
inline void set_name(node *n, node *computed) {
    n->kids.resize(name_slot(n->k) + 1);
    n->kids[name_slot(n->k)] = computed;
}

/* Owns the nodes of one parse. */
struct tree {
    std::deque<node> arena;
    node *root = nullptr;       /* a stmt_list */
    node *make(kind k, int line) {
        arena.emplace_back();
        node *n = &arena.back();
        n->k = k;
        n->line = line;
        n->kids.assign(fixed_slots(k), nullptr);
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
