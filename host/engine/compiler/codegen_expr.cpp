/* Code generation for expressions: values, variables, operators, calls.
 *
 * A value operand is either a constant kept in the op or a temporary that
 * the consuming op releases. Variables are fetched by a chain of FETCH,
 * FETCH_DIM and FETCH_OBJ ops emitted back to back after every name and
 * index has been evaluated (prepare_variable), so a location produced by a
 * write fetch is used before any script code can run. */
#include <cstring>

#include "compiler/codegen.h"
#include "engine.h"

namespace zend::codegen {

using ast::kind;

namespace {

znode const_double(double d) {
    znode n = const_long(0);
    n.u.constant.type = IS_DOUBLE;
    n.u.constant.value.dval = d;
    return n;
}

znode result_node(compiler &c, bool used) {
    return used ? tmp_node(new_temp(c)) : unused_node();
}

/* The result of a call, an assignment, new or include: a variable-like
 * value (IS_VAR), which a by-reference parameter may take, unlike a
 * literal or an operator's result (IS_CONST, IS_TMP_VAR). */
znode var_result_node(compiler &c, bool used) {
    return used ? tmp_node(new_temp(c), IS_VAR) : unused_node();
}

/* A temporary holding the operand's value, for ops that need their operand
 * in a slot (containers, switch subjects). */
znode into_temp(compiler &c, const znode &v) {
    if (is_temp(v)) return v;
    znode t = tmp_node(new_temp(c));
    emit(c, ZEND_QM_ASSIGN, t, v, unused_node());
    return t;
}

opcode binary_opcode(compiler &c, int op, bool *swap) {
    *swap = false;
    switch ((ast::op)op) {
    case ast::op::add: return ZEND_ADD;
    case ast::op::sub: return ZEND_SUB;
    case ast::op::mul: return ZEND_MUL;
    case ast::op::div: return ZEND_DIV;
    case ast::op::mod: return ZEND_MOD;
    case ast::op::concat: return ZEND_CONCAT;
    case ast::op::bw_or: return ZEND_BW_OR;
    case ast::op::bw_and: return ZEND_BW_AND;
    case ast::op::bw_xor: return ZEND_BW_XOR;
    case ast::op::sl: return ZEND_SL;
    case ast::op::sr: return ZEND_SR;
    case ast::op::is_equal: return ZEND_IS_EQUAL;
    case ast::op::is_not_equal: return ZEND_IS_NOT_EQUAL;
    case ast::op::is_identical: return ZEND_IS_IDENTICAL;
    case ast::op::is_not_identical: return ZEND_IS_NOT_IDENTICAL;
    case ast::op::is_smaller: return ZEND_IS_SMALLER;
    case ast::op::is_smaller_or_equal: return ZEND_IS_SMALLER_OR_EQUAL;
    case ast::op::is_greater: *swap = true; return ZEND_IS_SMALLER;
    case ast::op::is_greater_or_equal: *swap = true; return ZEND_IS_SMALLER_OR_EQUAL;
    default: compile_error(c, "Unknown binary operator");
    }
}

variable_chain writable_chain(compiler &c, const ast::node *target) {
    if (!is_variable(target)) compile_error(c, "Can't use function return value in write context");
    variable_chain chain = prepare_variable(c, target);
    if (chain.base_is_value) compile_error(c, "Can't use function return value in write context");
    return chain;
}

/* Whether argument `index` of a function known now is passed by
 * reference: 1 yes, 0 no, -1 not known until the call runs. With
 * user_functions false only built-in functions count: the fetch mode of a
 * variable argument is left to the run for user functions, so that a
 * cached op array stays right whatever declares them later. */
int known_by_reference(const std::string &name_lc, int index, bool user_functions = false) {
    zend_function *f = nullptr;
    if (zend_hash_find(CG(function_table), name_lc.c_str(), (uint)name_lc.size() + 1, (void **)&f) != SUCCESS)
        return -1;
    if (f->type != ZEND_INTERNAL_FUNCTION && !user_functions) return -1;
    int passing = argument_passing(f->common.arg_types, index);
    return passing == BYREF_FORCE ? 1 : passing == BYREF_ALLOW ? 2 : 0;
}

/* Arguments of the call started just before; returns their count.
 * f(&$x) passes $x by reference whatever the function declares. A value
 * that is not variable-like (a literal, an operator's result) for a
 * parameter taken by reference is refused here when the function is
 * known now, and by SEND_VAL when the call runs otherwise. */
int compile_arguments(compiler &c, const std::vector<ast::node *> &args, const std::string *known_name) {
    int index = 0;
    for (const ast::node *arg : args) {
        if (arg->k == kind::ref_arg) {
            variable_chain chain = writable_chain(c, ast::operand(arg));
            znode v = emit_fetches(c, chain, fetch_ext(FETCH_W));
            emit(c, ZEND_SEND_VAR, unused_node(), v, unused_node(), (ulong)index);
        } else if (is_variable(arg)) {
            int mode = FETCH_FUNC_ARG;
            if (known_name) {
                int byref = known_by_reference(*known_name, index);
                if (byref == 0) mode = FETCH_R;
                if (byref >= 1) mode = FETCH_W;
            }
            znode v = compile_variable(c, arg, fetch_ext(mode, index));
            emit(c, ZEND_SEND_VAR, unused_node(), v, unused_node(), (ulong)index);
        } else {
            znode v = compile_expr(c, arg);
            if (v.op_type != IS_VAR && known_name && known_by_reference(*known_name, index, true) == 1)
                compile_error(c, "Only variables can be passed by reference");
            emit(c, ZEND_SEND_VAL, unused_node(), v, unused_node(), (ulong)index);
        }
        index++;
    }
    return index;
}

znode finish_call(compiler &c, int argc, bool used) {
    znode r = var_result_node(c, used);
    emit(c, ZEND_DO_FCALL, r, unused_node(), unused_node(), (ulong)argc);
    return r;
}

[[gnu::noinline]] znode compile_call(compiler &c, const ast::node *n, bool used) {
    if (const ast::node *computed = n->str.empty() ? ast::name(n) : nullptr) {
        /* $f(...): the name is known only when the call runs */
        znode name = compile_expr(c, computed);
        emit(c, ZEND_INIT_FCALL, unused_node(), name, unused_node());
        int argc = compile_arguments(c, n->list, nullptr);
        return finish_call(c, argc, used);
    }
    std::string lc = lowercase(n->str);
    emit(c, ZEND_INIT_FCALL, unused_node(), const_string(lc), unused_node());
    int argc = compile_arguments(c, n->list, &lc);
    return finish_call(c, argc, used);
}

[[gnu::noinline]] znode compile_method_call(compiler &c, const ast::node *n, bool used) {
    const ast::node *object = ast::object(n);
    /* $o->$m(...): the name is computed first, so that no script code runs
     * between the object's fetch and the op that uses its location */
    const ast::node *computed = n->str.empty() ? ast::name(n) : nullptr;
    znode name = computed ? compile_expr(c, computed) : const_string(lowercase(n->str));
    znode target;
    variable_chain chain;
    bool located = false;
    if (is_variable(object)) {
        chain = prepare_variable(c, object);
        located = !chain.base_is_value;
    }
    if (located)
        target = emit_fetches(c, chain, fetch_ext(FETCH_W)); /* $this must be the variable itself */
    else
        target = is_variable(object) ? emit_fetches(c, chain, fetch_ext(FETCH_R)) : compile_expr(c, object);
    emit(c, ZEND_INIT_METHOD_CALL, unused_node(), target, name);
    int argc = compile_arguments(c, n->list, nullptr);
    return finish_call(c, argc, used);
}

[[gnu::noinline]] znode compile_static_call(compiler &c, const ast::node *n, bool used) {
    std::string cls = lowercase(n->str);
    /* without a parent "parent" stays, and the call fails only if it runs */
    if (cls == "parent" && !c.parent_name_lc.empty()) cls = c.parent_name_lc;
    emit(c, ZEND_INIT_STATIC_CALL, unused_node(), const_string(cls), const_string(lowercase(n->str2)));
    int argc = compile_arguments(c, n->list, nullptr);
    return finish_call(c, argc, used);
}

[[gnu::noinline]] znode compile_new(compiler &c, const ast::node *n) {
    /* new $cls: the class name is the variable's value */
    const ast::node *computed = n->str.empty() ? ast::name(n) : nullptr;
    znode cls = computed ? compile_expr(c, computed) : const_string(lowercase(n->str));
    znode object = tmp_node(new_temp(c), IS_VAR);
    emit(c, ZEND_NEW, object, cls, unused_node());
    emit(c, ZEND_INIT_CTOR, unused_node(), object, unused_node());
    int argc = compile_arguments(c, n->list, nullptr);
    finish_call(c, argc, false);
    return object;
}

[[gnu::noinline]] znode compile_assign(compiler &c, const ast::node *n, bool used) {
    variable_chain chain = writable_chain(c, ast::target(n));
    znode value = compile_expr(c, ast::value(n));
    znode location = emit_fetches(c, chain, fetch_ext(FETCH_W));
    znode r = var_result_node(c, used);
    emit(c, ZEND_ASSIGN, r, location, value);
    return r;
}

[[gnu::noinline]] znode compile_assign_ref(compiler &c, const ast::node *n, bool used) {
    const ast::node *source = ast::value(n);
    if (source->k == kind::call || source->k == kind::method_call || source->k == kind::static_call) {
        /* $a =& f(): binds to what a function &f() returned */
        znode value = compile_expr(c, source);
        variable_chain to = writable_chain(c, ast::target(n));
        znode target = emit_fetches(c, to, fetch_ext(FETCH_W));
        znode r = var_result_node(c, used);
        emit(c, ZEND_ASSIGN_REF, r, target, value);
        return r;
    }
    if (!is_variable(source)) {
        /* $a =& new C, or a call: the value is fresh, plain assignment */
        ast::node plain = *n;
        plain.k = kind::assign;
        return compile_assign(c, &plain, used);
    }
    variable_chain from = writable_chain(c, source);
    znode location = emit_fetches(c, from, fetch_ext(FETCH_W));
    znode ref = tmp_node(new_temp(c));
    emit(c, ZEND_MAKE_REF, ref, location, unused_node());
    variable_chain to = writable_chain(c, ast::target(n));
    znode target = emit_fetches(c, to, fetch_ext(FETCH_W));
    znode r = var_result_node(c, used);
    emit(c, ZEND_ASSIGN_REF, r, target, ref);
    return r;
}

[[gnu::noinline]] znode compile_assign_op(compiler &c, const ast::node *n, bool used) {
    bool swap = false;
    opcode code = binary_opcode(c, n->op, &swap);
    variable_chain chain = writable_chain(c, ast::target(n));
    znode value = compile_expr(c, ast::value(n));
    znode location = emit_fetches(c, chain, fetch_ext(FETCH_RW));
    znode r = var_result_node(c, used);
    emit(c, ZEND_ASSIGN_OP, r, location, value, (ulong)code);
    return r;
}

[[gnu::noinline]] znode compile_incdec(compiler &c, const ast::node *n, bool used) {
    opcode code = n->k == kind::pre_inc ? ZEND_PRE_INC : n->k == kind::pre_dec ? ZEND_PRE_DEC
                : n->k == kind::post_inc ? ZEND_POST_INC : ZEND_POST_DEC;
    variable_chain chain = writable_chain(c, ast::operand(n));
    znode location = emit_fetches(c, chain, fetch_ext(FETCH_RW));
    znode r = result_node(c, used);
    emit(c, code, r, location, unused_node());
    return r;
}

/* a && b, a || b: the result slot is written on whichever path runs. */
[[gnu::noinline]] znode compile_short_circuit(compiler &c, const ast::node *n) {
    znode left = compile_expr(c, ast::left(n));
    znode r = tmp_node(new_temp(c));
    zend_uint jump = emit(c, n->k == kind::logical_and ? ZEND_JMPZ_EX : ZEND_JMPNZ_EX, r, left, jump_node(0));
    znode right = compile_expr(c, ast::right(n));
    emit(c, ZEND_BOOL, r, right, unused_node());
    op_at(c, jump).op2.u.opline_num = next_op(c);
    return r;
}

[[gnu::noinline]] znode compile_ternary(compiler &c, const ast::node *n) {
    znode cond = compile_expr(c, ast::cond(n));
    zend_uint to_else = emit(c, ZEND_JMPZ, unused_node(), cond, jump_node(0));
    znode r = tmp_node(new_temp(c));
    znode a = compile_expr(c, ast::then(n));
    emit(c, ZEND_QM_ASSIGN, r, a, unused_node());
    zend_uint to_end = emit(c, ZEND_JMP, unused_node(), jump_node(0), unused_node());
    op_at(c, to_else).op2.u.opline_num = next_op(c);
    znode b = compile_expr(c, ast::otherwise(n));
    emit(c, ZEND_QM_ASSIGN, r, b, unused_node());
    op_at(c, to_end).op1.u.opline_num = next_op(c);
    return r;
}

[[gnu::noinline]] znode compile_isset(compiler &c, const ast::node *n) {
    znode r = tmp_node(new_temp(c));
    std::vector<zend_uint> exits;
    for (std::size_t i = 0; i < n->list.size(); i++) {
        const ast::node *v = n->list[i];
        znode fetched = is_variable(v) ? compile_variable(c, v, fetch_ext(FETCH_IS)) : compile_expr(c, v);
        emit(c, ZEND_ISSET, r, fetched, unused_node());
        if (i + 1 < n->list.size()) exits.push_back(emit(c, ZEND_JMPZ, unused_node(), into_temp(c, r), jump_node(0)));
    }
    if (n->list.empty()) emit(c, ZEND_QM_ASSIGN, r, const_bool(false), unused_node());
    /* JMPZ consumed r on the way: every exit leaves false in it again */
    if (!exits.empty()) {
        zend_uint skip = emit(c, ZEND_JMP, unused_node(), jump_node(0), unused_node());
        zend_uint fail = emit(c, ZEND_QM_ASSIGN, r, const_bool(false), unused_node());
        for (zend_uint e : exits) op_at(c, e).op2.u.opline_num = fail;
        op_at(c, skip).op1.u.opline_num = next_op(c);
    }
    return r;
}

[[gnu::noinline]] znode compile_interp(compiler &c, const ast::node *n) {
    if (n->list.empty()) return const_string("");
    znode acc = compile_expr(c, n->list[0]);
    if (n->list.size() == 1) {
        if (acc.op_type == IS_CONST && acc.u.constant.type == IS_STRING) return acc;
        znode r = tmp_node(new_temp(c));
        emit(c, ZEND_CAST, r, acc, unused_node(), IS_STRING);
        return r;
    }
    for (std::size_t i = 1; i < n->list.size(); i++) {
        znode part = compile_expr(c, n->list[i]);
        znode r = tmp_node(new_temp(c));
        emit(c, ZEND_CONCAT, r, acc, part);
        acc = r;
    }
    return acc;
}

[[gnu::noinline]] znode compile_array(compiler &c, const ast::node *n) {
    znode r = tmp_node(new_temp(c));
    if (n->list.empty()) {
        emit(c, ZEND_INIT_ARRAY, r, unused_node(), unused_node());
        return r;
    }
    bool first = true;
    for (const ast::node *element : n->list) {
        znode key = ast::key(element) ? compile_expr(c, ast::key(element)) : unused_node();
        znode value;
        if (element->op == 1) { /* array(&$x): the element is a reference to $x */
            variable_chain chain = writable_chain(c, ast::value(element));
            znode location = emit_fetches(c, chain, fetch_ext(FETCH_W));
            value = tmp_node(new_temp(c));
            emit(c, ZEND_MAKE_REF, value, location, unused_node());
        } else {
            value = compile_expr(c, ast::value(element));
        }
        emit(c, first ? ZEND_INIT_ARRAY : ZEND_ADD_ARRAY_ELEMENT, r, value, key, (ulong)element->op);
        first = false;
    }
    return r;
}

[[gnu::noinline]] znode compile_unary(compiler &c, const ast::node *n) {
    const ast::node *kid = ast::operand(n);
    switch ((ast::op)n->op) {
    case ast::op::negate:
        if (kid->k == kind::long_lit) return const_long((long)(0UL - (unsigned long)kid->lval));
        if (kid->k == kind::double_lit) return const_double(-kid->dval);
        {
            znode v = compile_expr(c, kid);
            znode r = tmp_node(new_temp(c));
            emit(c, ZEND_SUB, r, const_long(0), v);
            return r;
        }
    case ast::op::plus: {
        znode v = compile_expr(c, kid);
        znode r = tmp_node(new_temp(c));
        emit(c, ZEND_ADD, r, const_long(0), v);
        return r;
    }
    case ast::op::bool_not:
    case ast::op::bw_not: {
        znode v = compile_expr(c, kid);
        znode r = tmp_node(new_temp(c));
        emit(c, (ast::op)n->op == ast::op::bool_not ? ZEND_BOOL_NOT : ZEND_BW_NOT, r, v, unused_node());
        return r;
    }
    default: compile_error(c, "Unknown unary operator");
    }
}

} // namespace

bool is_variable(const ast::node *n) {
    return n && (n->k == kind::var || n->k == kind::var_var || n->k == kind::dim || n->k == kind::prop);
}

bool is_auto_global(const std::string &name) {
    static const char *const names[] = {"GLOBALS", "_GET", "_POST", "_COOKIE", "_SERVER",
                                        "_ENV", "_REQUEST", "_FILES", "_SESSION"};
    if (name.empty() || (name[0] != '_' && name[0] != 'G')) return false;
    for (const char *candidate : names)
        if (name == candidate) return true;
    return false;
}

variable_chain prepare_variable(compiler &c, const ast::node *n) {
    std::vector<const ast::node *> path;
    const ast::node *cur = n;
    while (cur->k == kind::dim || cur->k == kind::prop) {
        path.push_back(cur);
        cur = cur->k == kind::dim ? ast::base(cur) : ast::object(cur);
    }
    variable_chain chain;
    std::size_t steps = path.size();
    if (cur->k == kind::var) {
        /* $GLOBALS, $_GET, ... name the global variable from any scope */
        chain.global_scope = is_auto_global(cur->str);
        chain.base = const_string(cur->str);
    } else if (cur->k == kind::var_var) {
        chain.base = compile_expr(c, ast::name(cur));
    } else {
        chain.base_is_value = true;
        chain.base = compile_expr(c, cur);
    }
    for (std::size_t i = steps; i-- > 0;) {
        const ast::node *step = path[i];
        fetch_step s;
        s.is_property = step->k == kind::prop;
        const ast::node *key = s.is_property ? ast::name(step) : ast::index(step);
        if (key) s.key = compile_expr(c, key);
        else s.key = s.is_property ? const_string(step->str) : unused_node();
        chain.steps.push_back(s);
    }
    return chain;
}

znode emit_fetches(compiler &c, const variable_chain &chain, ulong ext) {
    int mode = fetch_ext_mode(ext);
    znode cur;
    if (chain.base_is_value) {
        if (chain.steps.empty()) return chain.base;
        cur = into_temp(c, chain.base);
        ext = fetch_ext(FETCH_R);
        mode = FETCH_R;
    } else {
        cur = tmp_node(new_temp(c), IS_VAR);
        emit(c, ZEND_FETCH, cur, chain.base, unused_node(), chain.global_scope ? ext | FETCH_GLOBAL : ext);
    }
    for (const fetch_step &s : chain.steps) {
        if (s.key.op_type == IS_UNUSED && (mode == FETCH_R || mode == FETCH_IS))
            compile_error(c, "Cannot use [] for reading");
        znode next = tmp_node(new_temp(c), IS_VAR);
        emit(c, s.is_property ? ZEND_FETCH_OBJ : ZEND_FETCH_DIM, next, cur, s.key, ext);
        cur = next;
    }
    return cur;
}

znode compile_variable(compiler &c, const ast::node *n, ulong ext) {
    variable_chain chain = prepare_variable(c, n);
    return emit_fetches(c, chain, ext);
}

namespace {


/* The cases below each get a function of their own so that compile_expr,
 * which recursion goes through, keeps a small frame. */

[[gnu::noinline]] znode compile_constant(compiler &c, const ast::node *n) {
    std::string lc = lowercase(n->str);
    if (lc == "__file__") return const_string(c.filename ? c.filename : "");
    if (lc == "__line__") return const_long(n->line);
    if (lc == "__class__") return const_string(c.class_name_lc);
    if (lc == "__function__") return const_string(lowercase(c.function_name));
    znode r = tmp_node(new_temp(c));
    emit(c, ZEND_FETCH_CONSTANT, r, const_string(n->str), unused_node());
    return r;
}

/* A chain like a . b . c . d nests to the left as deep as it is long:
 * walk down the left spine first, then emit from the bottom up, so the
 * depth of the recursion does not grow with the chain. */
[[gnu::noinline]] znode compile_binary(compiler &c, const ast::node *n) {
    std::vector<const ast::node *> spine;
    const ast::node *cur = n;
    while (cur->k == kind::binary) {
        spine.push_back(cur);
        cur = ast::left(cur);
    }
    znode acc = compile_expr(c, cur);
    for (std::size_t i = spine.size(); i-- > 0;) {
        const ast::node *b = spine[i];
        bool swap = false;
        opcode code = binary_opcode(c, b->op, &swap);
        znode right = compile_expr(c, ast::right(b));
        znode r = tmp_node(new_temp(c));
        c.line = b->line ? b->line : c.line;
        if (swap) emit(c, code, r, right, acc);
        else emit(c, code, r, acc, right);
        acc = r;
    }
    return acc;
}

[[gnu::noinline]] znode compile_xor(compiler &c, const ast::node *n) {
    znode a = compile_expr(c, ast::left(n));
    znode b = compile_expr(c, ast::right(n));
    znode r = tmp_node(new_temp(c));
    emit(c, ZEND_BOOL_XOR, r, a, b);
    return r;
}

[[gnu::noinline]] znode compile_cast(compiler &c, const ast::node *n) {
    znode v = compile_expr(c, ast::operand(n));
    znode r = tmp_node(new_temp(c));
    emit(c, ZEND_CAST, r, v, unused_node(), (ulong)n->op);
    return r;
}

[[gnu::noinline]] znode compile_silence(compiler &c, const ast::node *n, bool used) {
    znode saved = tmp_node(new_temp(c));
    emit(c, ZEND_BEGIN_SILENCE, saved, unused_node(), unused_node());
    znode v = compile_expr(c, ast::operand(n), used);
    emit(c, ZEND_END_SILENCE, unused_node(), saved, unused_node());
    return v;
}

[[gnu::noinline]] znode compile_empty(compiler &c, const ast::node *n) {
    const ast::node *v = ast::operand(n);
    znode fetched = is_variable(v) ? compile_variable(c, v, fetch_ext(FETCH_IS)) : compile_expr(c, v);
    znode r = tmp_node(new_temp(c));
    emit(c, ZEND_EMPTY, r, fetched, unused_node());
    return r;
}

[[gnu::noinline]] znode compile_include(compiler &c, const ast::node *n, bool used) {
    znode file = compile_expr(c, ast::operand(n));
    znode r = var_result_node(c, used);
    emit(c, ZEND_INCLUDE_OR_EVAL, r, file, unused_node(), (ulong)n->op);
    return r;
}

[[gnu::noinline]] znode compile_exit(compiler &c, const ast::node *n) {
    znode v = ast::operand(n) ? compile_expr(c, ast::operand(n)) : unused_node();
    emit(c, ZEND_EXIT, unused_node(), v, unused_node());
    return const_null();
}

[[gnu::noinline]] znode compile_print(compiler &c, const ast::node *n, bool used) {
    znode v = compile_expr(c, ast::operand(n));
    znode r = result_node(c, used);
    emit(c, ZEND_PRINT, r, v, unused_node());
    return r;
}

/* One target of a list(): where it sits in the value (an index per
 * level of nesting) and its variable, names and indexes evaluated. */
struct list_target {
    std::vector<long> path;
    variable_chain chain;
};

void collect_list_targets(compiler &c, const ast::node *list, std::vector<long> &path,
                          std::vector<list_target> &out) {
    for (std::size_t i = 0; i < list->list.size(); i++) {
        const ast::node *target = list->list[i];
        if (!target) continue;
        path.push_back((long)i);
        if (target->k == kind::list) collect_list_targets(c, target, path, out);
        else out.push_back({path, writable_chain(c, target)});
        path.pop_back();
    }
}

/* list(t0, t1, ...) = value: the targets' own indexes are evaluated first,
 * left to right, then the value; then the targets are assigned from the
 * last to the first, each the element at its position (a missing one
 * gives null). The expression's value is the whole value. A value that is
 * not variable-like yields elements of arrays only. */
[[gnu::noinline]] znode compile_list_assign(compiler &c, const ast::node *n) {
    std::vector<long> path;
    std::vector<list_target> targets;
    collect_list_targets(c, ast::target(n), path, targets);
    znode value = compile_expr(c, ast::value(n));
    bool array_only = value.op_type != IS_VAR;
    znode held = into_temp(c, value);
    for (std::size_t t = targets.size(); t-- > 0;) {
        const list_target &target = targets[t];
        znode element = held;
        for (std::size_t level = 0; level < target.path.size(); level++) {
            ulong ext = fetch_ext(FETCH_R);
            if (level == 0) ext |= FETCH_KEEP_CONTAINER | (array_only ? FETCH_ARRAY_ONLY : 0);
            znode next = tmp_node(new_temp(c), IS_VAR);
            emit(c, ZEND_FETCH_DIM, next, element, const_long(target.path[level]), ext);
            element = next;
        }
        znode location = emit_fetches(c, target.chain, fetch_ext(FETCH_W));
        emit(c, ZEND_ASSIGN, unused_node(), location, element);
    }
    return held; /* freed by the caller when the value is not used */
}

[[gnu::noinline]] znode compile_eval(compiler &c, const ast::node *n, bool used) {
    znode code = compile_expr(c, ast::operand(n));
    znode r = var_result_node(c, used);
    emit(c, ZEND_INCLUDE_OR_EVAL, r, code, unused_node(), (ulong)ZEND_EVAL);
    return r;
}

[[gnu::noinline]] znode compile_literal(compiler &c, const ast::node *n) {
    switch (n->k) {
    case kind::long_lit: return const_long(n->lval);
    case kind::double_lit: return const_double(n->dval);
    case kind::string_lit: return const_string(n->str);
    case kind::bool_lit: return const_bool(n->lval != 0);
    default: return const_null();
    }
}

} // namespace

znode compile_expr(compiler &c, const ast::node *n, bool used) {
    if (!n) return const_null();
    c.line = n->line ? n->line : c.line;
    switch (n->k) {
    case kind::long_lit:
    case kind::double_lit:
    case kind::string_lit:
    case kind::bool_lit:
    case kind::null_lit: return compile_literal(c, n);
    case kind::constant: return compile_constant(c, n);
    case kind::interp: return compile_interp(c, n);
    case kind::array: return compile_array(c, n);
    case kind::var:
    case kind::var_var:
    case kind::dim:
    case kind::prop: return compile_variable(c, n, fetch_ext(FETCH_R));
    case kind::call: return compile_call(c, n, used);
    case kind::method_call: return compile_method_call(c, n, used);
    case kind::static_call: return compile_static_call(c, n, used);
    case kind::new_object: return compile_new(c, n);
    case kind::assign: return compile_assign(c, n, used);
    case kind::assign_ref: return compile_assign_ref(c, n, used);
    case kind::assign_op: return compile_assign_op(c, n, used);
    case kind::binary: return compile_binary(c, n);
    case kind::logical_and:
    case kind::logical_or: return compile_short_circuit(c, n);
    case kind::logical_xor: return compile_xor(c, n);
    case kind::unary: return compile_unary(c, n);
    case kind::pre_inc:
    case kind::pre_dec:
    case kind::post_inc:
    case kind::post_dec: return compile_incdec(c, n, used);
    case kind::cast: return compile_cast(c, n);
    case kind::silence: return compile_silence(c, n, used);
    case kind::ternary: return compile_ternary(c, n);
    case kind::isset: return compile_isset(c, n);
    case kind::empty: return compile_empty(c, n);
    case kind::include: return compile_include(c, n, used);
    case kind::exit: return compile_exit(c, n);
    case kind::print: return compile_print(c, n, used);
    case kind::list_assign: return compile_list_assign(c, n);
    case kind::eval: return compile_eval(c, n, used);
    case kind::list: compile_error(c, "list() can only be used on the left of an assignment");
    case kind::ref_arg: compile_error(c, "Only arguments of a call can be passed by reference");
    default: compile_error(c, "Unsupported expression");
    }
}

} // namespace zend::codegen
