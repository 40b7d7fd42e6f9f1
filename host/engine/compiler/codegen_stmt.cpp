/* Code generation for statements: output, control flow, loops and the
 * brk_cont_array that break and continue name by index.
 *
 * Temporaries are reused from one statement to the next: after each
 * statement the next free temporary drops back to the floor. A construct
 * whose temporary lives across its body (a switch subject, a foreach copy)
 * raises the floor for the body and restores it afterwards. */
#include "compiler/codegen.h"

#include <algorithm>

#include "engine.h"

namespace zend::codegen {

using ast::kind;

namespace {

struct loop_scope {
    compiler &c;
    int index;
    loop_scope(compiler &cc) : c(cc) {
        function_state &fs = *c.fn;
        zend_brk_cont_element e;
        e.brk = -1;
        e.cont = -1;
        e.parent = fs.current_brk_cont;
        fs.brk_cont.push_back(e);
        index = (int)fs.brk_cont.size() - 1;
        fs.current_brk_cont = index;
        fs.loop_depth++;
        c.conditional_depth++;
    }
    void close(zend_uint brk, zend_uint cont) {
        function_state &fs = *c.fn;
        fs.brk_cont[index].brk = (int)brk;
        fs.brk_cont[index].cont = (int)cont;
        fs.current_brk_cont = fs.brk_cont[index].parent;
        fs.loop_depth--;
        c.conditional_depth--;
    }
};

/* Keeps temporaries up to and including `live` out of reuse until the
 * scope ends. */
struct temp_floor_scope {
    function_state &fs;
    zend_uint saved;
    temp_floor_scope(function_state &f, zend_uint live) : fs(f), saved(f.temp_floor) {
        fs.temp_floor = std::max(fs.next_temp, live + 1);
        fs.next_temp = fs.temp_floor;
    }
    ~temp_floor_scope() { fs.temp_floor = saved; }
};

void discard(compiler &c, const znode &v) {
    if (is_temp(v)) emit(c, ZEND_FREE, unused_node(), v, unused_node());
}

void compile_expr_list(compiler &c, const ast::node *list, bool keep_last_as_condition, znode *last) {
    if (!list) return;
    for (std::size_t i = 0; i < list->list.size(); i++) {
        bool is_last = i + 1 == list->list.size();
        if (keep_last_as_condition && is_last) {
            *last = compile_expr(c, list->list[i]);
        } else {
            discard(c, compile_expr(c, list->list[i], false));
        }
    }
}

void compile_if(compiler &c, const ast::node *n) {
    znode cond = compile_expr(c, ast::cond(n));
    zend_uint to_else = emit(c, ZEND_JMPZ, unused_node(), cond, jump_node(0));
    c.conditional_depth++;
    compile_statement(c, ast::then(n));
    if (ast::otherwise(n)) {
        zend_uint to_end = emit(c, ZEND_JMP, unused_node(), jump_node(0), unused_node());
        op_at(c, to_else).op2.u.opline_num = next_op(c);
        compile_statement(c, ast::otherwise(n));
        op_at(c, to_end).op1.u.opline_num = next_op(c);
    } else {
        op_at(c, to_else).op2.u.opline_num = next_op(c);
    }
    c.conditional_depth--;
}

void compile_while(compiler &c, const ast::node *n) {
    zend_uint top = next_op(c);
    znode cond = compile_expr(c, ast::cond(n));
    zend_uint to_end = emit(c, ZEND_JMPZ, unused_node(), cond, jump_node(0));
    loop_scope loop(c);
    compile_statement(c, ast::body(n));
    emit(c, ZEND_JMP, unused_node(), jump_node(top), unused_node());
    zend_uint end = next_op(c);
    op_at(c, to_end).op2.u.opline_num = end;
    loop.close(end, top);
}

void compile_do_while(compiler &c, const ast::node *n) {
    zend_uint top = next_op(c);
    loop_scope loop(c);
    compile_statement(c, ast::body(n));
    zend_uint cont = next_op(c);
    znode cond = compile_expr(c, ast::cond(n));
    emit(c, ZEND_JMPNZ, unused_node(), cond, jump_node(top));
    loop.close(next_op(c), cont);
}

/* for_stmt -> FOR '(' exprs ';' exprs ';' exprs ')' statement:
 * init; cond: test; JMPZ end; body; step: steps; JMP cond; end: */
void compile_for(compiler &c, const ast::node *n) {
    compile_expr_list(c, ast::init(n), false, nullptr);
    c.fn->next_temp = c.fn->temp_floor;
    zend_uint cond_start = next_op(c);
    znode cond = unused_node();
    bool has_cond = ast::cond(n) && !ast::cond(n)->list.empty();
    compile_expr_list(c, ast::cond(n), true, &cond);
    zend_uint to_end = 0;
    if (has_cond) to_end = emit(c, ZEND_JMPZ, unused_node(), cond, jump_node(0));
    loop_scope loop(c);
    compile_statement(c, ast::body(n));
    zend_uint step = next_op(c);
    compile_expr_list(c, ast::step(n), false, nullptr);
    emit(c, ZEND_JMP, unused_node(), jump_node(cond_start), unused_node());
    zend_uint end = next_op(c);
    if (has_cond) op_at(c, to_end).op2.u.opline_num = end;
    loop.close(end, step);
}

void assign_from_temp(compiler &c, const ast::node *target, zend_uint temp) {
    if (!is_variable(target)) compile_error(c, "Cannot use a non-variable as foreach target");
    variable_chain chain = prepare_variable(c, target);
    if (chain.base_is_value) compile_error(c, "Can't use function return value in write context");
    znode location = emit_fetches(c, chain, fetch_ext(FETCH_W));
    emit(c, ZEND_ASSIGN, unused_node(), location, tmp_node(temp));
}

/* foreach_stmt -> FOREACH '(' expr AS [key '=>'] value ')' statement:
 * it = FE_RESET expr; fetch: FE_FETCH it -> v [, k] or end; assign; body;
 * JMP fetch; end: FREE it */
void compile_foreach(compiler &c, const ast::node *n) {
    /* a variable is fetched for writing: FE_RESET gives it a value of its
     * own (copy on write), whose internal pointer the loop moves */
    const ast::node *subject = ast::subject(n);
    znode array;
    if (is_variable(subject)) {
        variable_chain chain = prepare_variable(c, subject);
        array = emit_fetches(c, chain, fetch_ext(chain.base_is_value ? FETCH_R : FETCH_W));
    } else {
        array = compile_expr(c, subject);
    }
    zend_uint it = new_temp(c);
    zend_uint reset = emit(c, ZEND_FE_RESET, tmp_node(it), array, jump_node(0));
    temp_floor_scope floor(*c.fn, it);
    loop_scope loop(c);
    zend_uint fetch_at = next_op(c);
    zend_uint value = new_temp(c);
    bool has_key = ast::key(n) != nullptr;
    zend_uint key = has_key ? new_temp(c) : 0;
    zend_uint fetch = emit(c, ZEND_FE_FETCH, tmp_node(value), tmp_node(it), jump_node(0), has_key ? (ulong)key + 1 : 0);
    assign_from_temp(c, ast::value(n), value);
    if (has_key) assign_from_temp(c, ast::key(n), key);
    c.fn->next_temp = c.fn->temp_floor;
    compile_statement(c, ast::body(n));
    emit(c, ZEND_JMP, unused_node(), jump_node(fetch_at), unused_node());
    zend_uint end = emit(c, ZEND_FREE, unused_node(), tmp_node(it), unused_node());
    op_at(c, reset).op2.u.opline_num = end;
    op_at(c, fetch).op2.u.opline_num = end;
    loop.close(end, fetch_at);
}

/* switch_stmt -> SWITCH '(' expr ')' '{' case_clause* '}':
 * the tests come first, jumping into the bodies, which follow in order so
 * that control falls through; break and continue leave through FREE. */
void compile_switch(compiler &c, const ast::node *n) {
    znode subject = compile_expr(c, ast::subject(n));
    zend_uint s;
    if (subject.op_type == IS_TMP_VAR || subject.op_type == IS_VAR) {
        s = subject.u.var;
    } else {
        s = new_temp(c);
        emit(c, ZEND_QM_ASSIGN, tmp_node(s), subject, unused_node());
    }
    temp_floor_scope floor(*c.fn, s);
    loop_scope loop(c);
    std::vector<zend_uint> tests(n->list.size(), 0);
    int default_clause = -1;
    for (std::size_t i = 0; i < n->list.size(); i++) {
        const ast::node *clause = n->list[i];
        if (!ast::value(clause)) {
            default_clause = (int)i;
            continue;
        }
        znode value = compile_expr(c, ast::value(clause));
        znode r = tmp_node(new_temp(c));
        emit(c, ZEND_CASE, r, tmp_node(s), value);
        tests[i] = emit(c, ZEND_JMPNZ, unused_node(), r, jump_node(0));
        c.fn->next_temp = c.fn->temp_floor;
    }
    zend_uint to_default = emit(c, ZEND_JMP, unused_node(), jump_node(0), unused_node());
    std::vector<zend_uint> bodies(n->list.size(), 0);
    for (std::size_t i = 0; i < n->list.size(); i++) {
        bodies[i] = next_op(c);
        compile_statement(c, ast::body(n->list[i]));
    }
    zend_uint end = emit(c, ZEND_FREE, unused_node(), tmp_node(s), unused_node());
    for (std::size_t i = 0; i < n->list.size(); i++)
        if ((int)i != default_clause) op_at(c, tests[i]).op2.u.opline_num = bodies[i];
    op_at(c, to_default).op1.u.opline_num = default_clause >= 0 ? bodies[(std::size_t)default_clause] : end;
    loop.close(end, end);
}

void compile_break(compiler &c, const ast::node *n, bool is_break) {
    long depth = n->lval > 0 ? n->lval : 1;
    if (depth > c.fn->loop_depth)
        compile_error(c, "Cannot break/continue %ld level%s", depth, depth == 1 ? "" : "s");
    emit(c, is_break ? ZEND_BRK : ZEND_CONT, unused_node(), jump_node((zend_uint)c.fn->current_brk_cont),
         const_long(depth));
}

void compile_static(compiler &c, const ast::node *n) {
    function_state &fs = *c.fn;
    for (const ast::node *v : n->list) {
        if (!fs.statics) {
            ALLOC_HASHTABLE(fs.statics);
            zend_hash_init(fs.statics, 2, nullptr, (dtor_func_t)_zval_ptr_dtor, 0);
        }
        zval *initial;
        ALLOC_ZVAL(initial);
        if (ast::value(v)) {
            make_constant_value(c, ast::value(v), initial);
        } else {
            initial->type = IS_NULL;
            initial->value.lval = 0;
        }
        INIT_PZVAL(initial);
        zend_hash_update(fs.statics, v->str.c_str(), (uint)v->str.size() + 1, &initial, sizeof(zval *), nullptr);
        emit(c, ZEND_BIND_STATIC, unused_node(), const_string(v->str), unused_node());
    }
}

void compile_unset(compiler &c, const ast::node *target) {
    if (target->k == kind::var) {
        emit(c, ZEND_UNSET_VAR, unused_node(), const_string(target->str), unused_node(),
             is_auto_global(target->str) ? FETCH_GLOBAL : 0);
        return;
    }
    if (target->k == kind::var_var) {
        emit(c, ZEND_UNSET_VAR, unused_node(), compile_expr(c, ast::name(target)), unused_node());
        return;
    }
    if (!is_variable(target)) compile_error(c, "Can't use function return value in write context");
    variable_chain chain = prepare_variable(c, target);
    fetch_step last = chain.steps.back();
    chain.steps.pop_back();
    if (last.key.op_type == IS_UNUSED) compile_error(c, "Cannot use [] for unsetting");
    if (chain.base_is_value) {
        discard(c, emit_fetches(c, chain, fetch_ext(FETCH_R)));
        discard(c, last.key);
        return;
    }
    znode container = emit_fetches(c, chain, fetch_ext(FETCH_UNSET));
    emit(c, ZEND_UNSET_DIM, unused_node(), container, last.key, last.is_property ? 1 : 0);
}

} // namespace

void compile_statement(compiler &c, const ast::node *n) {
    if (!n) return;
    if (n->line) c.line = n->line;
    function_state &fs = *c.fn;
    switch (n->k) {
    case kind::stmt_list:
        for (const ast::node *s : n->list) compile_statement(c, s);
        break;
    case kind::echo:
        for (const ast::node *e : n->list) emit(c, ZEND_ECHO, unused_node(), compile_expr(c, e), unused_node());
        break;
    case kind::inline_html:
        if (!n->str.empty()) emit(c, ZEND_ECHO, unused_node(), const_string(n->str), unused_node());
        break;
    case kind::expr_stmt: discard(c, compile_expr(c, ast::operand(n), false)); break;
    case kind::if_stmt: compile_if(c, n); break;
    case kind::while_stmt: compile_while(c, n); break;
    case kind::do_while: compile_do_while(c, n); break;
    case kind::for_stmt: compile_for(c, n); break;
    case kind::foreach_stmt: compile_foreach(c, n); break;
    case kind::switch_stmt: compile_switch(c, n); break;
    case kind::break_stmt: compile_break(c, n, true); break;
    case kind::continue_stmt: compile_break(c, n, false); break;
    case kind::return_stmt: {
        const ast::node *e = ast::operand(n);
        if (e && fs.return_reference && is_variable(e)) {
            /* function &f(): hand back the variable itself */
            variable_chain chain = prepare_variable(c, e);
            if (!chain.base_is_value) {
                znode location = emit_fetches(c, chain, fetch_ext(FETCH_W));
                znode ref = tmp_node(new_temp(c));
                emit(c, ZEND_MAKE_REF, ref, location, unused_node());
                emit(c, ZEND_RETURN, unused_node(), ref, unused_node(), 1);
                break;
            }
            emit(c, ZEND_RETURN, unused_node(), emit_fetches(c, chain, fetch_ext(FETCH_R)), unused_node());
            break;
        }
        znode v = e ? compile_expr(c, e) : unused_node();
        emit(c, ZEND_RETURN, unused_node(), v, unused_node());
        break;
    }
    case kind::global_stmt:
        for (const ast::node *v : n->list) {
            znode name = v->k == kind::var ? const_string(v->str)
                       : v->k == kind::var_var ? compile_expr(c, ast::name(v)) : unused_node();
            if (name.op_type == IS_UNUSED) compile_error(c, "Only variables can be declared global");
            emit(c, ZEND_BIND_GLOBAL, unused_node(), name, unused_node());
        }
        break;
    case kind::static_stmt: compile_static(c, n); break;
    case kind::unset_stmt:
        for (const ast::node *v : n->list) compile_unset(c, v);
        break;
    case kind::func_decl: compile_function_decl(c, n); break;
    case kind::class_decl: compile_class_decl(c, n); break;
    case kind::nop: break;
    default:
        /* an expression where a statement was expected */
        discard(c, compile_expr(c, n, false));
        break;
    }
    fs.next_temp = fs.temp_floor;
}

} // namespace zend::codegen
