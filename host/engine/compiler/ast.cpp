/* Printing and measuring syntax trees.
 *
 * dump() writes one node per line, indented two spaces per level: the
 * kind, then what the kind keeps besides children (operator, value, name),
 * then the children (kids in order, "-" for an empty slot, then list). */
#include <cstdio>
#include <utility>
#include <vector>

#include "ast.h"
#include "zend.h"
#include "zend_compile.h"

namespace zend::ast {

namespace {

const char *const kind_names[] = {
    "long_lit", "double_lit", "string_lit", "bool_lit", "null_lit", "constant", "interp", "array",
    "array_elem", "var", "var_var", "dim", "prop", "call", "method_call", "static_call", "new_object",
    "assign", "assign_ref", "assign_op", "binary", "logical_and", "logical_or", "logical_xor", "unary",
    "pre_inc", "pre_dec", "post_inc", "post_dec", "cast", "silence", "ternary", "isset", "empty",
    "include", "exit", "print", "list", "list_assign", "ref_arg", "eval", "stmt_list", "echo", "inline_html", "expr_stmt", "if_stmt",
    "while_stmt", "do_while", "for_stmt", "expr_list", "foreach_stmt", "switch_stmt", "case_clause",
    "break_stmt", "continue_stmt", "return_stmt", "global_stmt", "static_stmt", "static_var",
    "unset_stmt", "func_decl", "param", "class_decl", "prop_decl", "nop",
};
static_assert(sizeof kind_names / sizeof kind_names[0] == std::size_t(kind::nop) + 1,
              "one name per node kind");

const char *const op_names[] = {
    "none", "add", "sub", "mul", "div", "mod", "concat", "bw_or", "bw_and", "bw_xor", "sl", "sr",
    "is_equal", "is_not_equal", "is_identical", "is_not_identical", "is_smaller",
    "is_smaller_or_equal", "is_greater", "is_greater_or_equal", "bool_not", "negate", "plus", "bw_not",
};
static_assert(sizeof op_names / sizeof op_names[0] == std::size_t(op::bw_not) + 1, "one name per operator");

const char *op_name(int o) {
    return o >= 0 && std::size_t(o) < sizeof op_names / sizeof op_names[0] ? op_names[o] : "?";
}

const char *cast_name(int type) {
    switch (type) {
    case IS_LONG: return "int";
    case IS_DOUBLE: return "double";
    case IS_STRING: return "string";
    case IS_BOOL: return "bool";
    case IS_ARRAY: return "array";
    case IS_OBJECT: return "object";
    default: return "?";
    }
}

const char *include_name(int type) {
    switch (type) {
    case ZEND_INCLUDE: return "include";
    case ZEND_INCLUDE_ONCE: return "include_once";
    case ZEND_REQUIRE: return "require";
    case ZEND_REQUIRE_ONCE: return "require_once";
    default: return "?";
    }
}

void quote(std::string &out, const std::string &s) {
    out += '"';
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default:
            if (c < 0x20 || c == 0x7f) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02x", c);
                out += buf;
            } else {
                out += char(c);
            }
        }
    }
    out += '"';
}

void dump_node(std::string &out, const node *n, int depth) {
    out.append(std::size_t(depth) * 2, ' ');
    if (!n) {
        out += "-\n";
        return;
    }
    std::size_t k = std::size_t(n->k);
    out += k < sizeof kind_names / sizeof kind_names[0] ? kind_names[k] : "?";
    char buf[64];
    switch (n->k) {
    case kind::long_lit:
    case kind::bool_lit:
    case kind::break_stmt:
    case kind::continue_stmt:
        std::snprintf(buf, sizeof buf, " %ld", n->lval);
        out += buf;
        break;
    case kind::double_lit:
        std::snprintf(buf, sizeof buf, " %.17g", n->dval);
        out += buf;
        break;
    case kind::binary:
    case kind::assign_op:
    case kind::unary:
        out += ' ';
        out += op_name(n->op);
        break;
    case kind::cast:
        out += ' ';
        out += cast_name(n->op);
        break;
    case kind::include:
        out += ' ';
        out += include_name(n->op);
        break;
    case kind::func_decl:
    case kind::param:
    case kind::array_elem:
        if (n->op) out += " &";
        break;
    default:
        break;
    }
    if (!n->str.empty() || n->k == kind::string_lit || n->k == kind::inline_html) {
        out += ' ';
        quote(out, n->str);
    }
    if (!n->str2.empty()) {
        out += ' ';
        quote(out, n->str2);
    }
    out += '\n';
    for (const node *kid : n->kids) dump_node(out, kid, depth + 1);
    for (const node *item : n->list) dump_node(out, item, depth + 1);
}

} // namespace

std::string dump(const node *n) {
    std::string out;
    dump_node(out, n, 0);
    return out;
}

namespace detail {

/* Walks the tree without recursion; false (with the line of the first node
 * past the limit) when some path from the root is longer than limit. */
bool depth_within(const node *root, int limit, int &line) {
    std::vector<std::pair<const node *, int>> work;
    if (root) work.emplace_back(root, 1);
    while (!work.empty()) {
        auto [n, d] = work.back();
        work.pop_back();
        if (d > limit) {
            line = n->line;
            return false;
        }
        for (const node *kid : n->kids)
            if (kid) work.emplace_back(kid, d + 1);
        for (const node *item : n->list)
            if (item) work.emplace_back(item, d + 1);
    }
    return true;
}

} // namespace detail

} // namespace zend::ast
