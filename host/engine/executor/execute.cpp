/* The dispatch loop, operand access and the handlers of the plain value
 * ops: output, operators, conversions, jumps, loop exits. */
#include <cstring>
#include <exception>
#include <new>

#include "core/operators.h"
#include "executor/executor.h"

namespace zend::exec {

namespace {

using handler = void (*)(frame &, const zend_op *);
const handler handlers[] = {
#define OPCODE(name, meaning) op_##name,
#include "opcodes.def"
#undef OPCODE
};

template <int (*F)(zval *, zval *, zval *)> void binary(frame &f, const zend_op *op) {
    zval r;
    r.type = IS_NULL;
    r.value.lval = 0;
    F(&r, read(f, op->op1), read(f, op->op2));
    release(f, op->op1);
    release(f, op->op2);
    set_result_value(f, op, r);
}

zval bool_value(bool b) {
    zval r;
    r.type = IS_BOOL;
    r.value.lval = b ? 1 : 0;
    return r;
}

zval long_value(long l) {
    zval r;
    r.type = IS_LONG;
    r.value.lval = l;
    return r;
}

/* Leaves `depth` levels of loops starting at brk_cont entry `index`. The
 * levels left on the way release the temporary their exit op frees; the
 * last level is left through its own exit (or continue) op. */
void leave_loops(frame &f, const zend_op *op, bool is_break) {
    long depth = op->op2.op_type == IS_CONST ? op->op2.u.constant.value.lval : 1;
    zend_uint index = op->op1.u.opline_num;
    const zend_op_array *oa = f.op_array;
    for (long level = 1;; level++) {
        if (index >= oa->last_brk_cont || !oa->brk_cont_array) {
            zend_error(E_ERROR, "Cannot break/continue %ld level%s", depth, depth == 1 ? "" : "s");
        }
        const zend_brk_cont_element &e = oa->brk_cont_array[index];
        if (level == depth) {
            jump(f, (zend_uint)(is_break ? e.brk : e.cont));
            return;
        }
        if (e.brk >= 0 && (zend_uint)e.brk < oa->last) {
            const zend_op &exit_op = f.ops[e.brk];
            if (exit_op.opcode == ZEND_FREE && exit_op.op1.u.var < f.temp_count)
                release_temp(f.temps[exit_op.op1.u.var]);
        }
        index = (zend_uint)e.parent;
    }
}

} // namespace

void jump(frame &f, zend_uint target) {
    if (target > f.last) [[unlikely]]
        zend_error(E_ERROR, "Jump outside the code");
    if (target < f.pc) check_time_limit();
    f.pc = target;
}

void execute(frame &f) {
    prepared *code = prepare(f.op_array);
    f.code = code;
    code->running++;
    f.ops = f.op_array->opcodes;
    f.last = f.op_array->last;
    f.temp_count = f.op_array->T;
    /* temporaries and the slot cache in one block of frame memory */
    frame_memory_mark mark = frame_memory_top();
    std::size_t variables = code->variables.size();
    std::size_t temp_bytes = sizeof(temp_var) * f.temp_count;
    char *block = static_cast<char *>(frame_memory_push(temp_bytes + sizeof(zval **) * variables));
    f.temps = reinterpret_cast<temp_var *>(block);
    for (zend_uint i = 0; i < f.temp_count; i++) new (&f.temps[i]) temp_var();
    f.slots = reinterpret_cast<zval ***>(block + temp_bytes);
    if (variables) std::memset(f.slots, 0, sizeof(zval **) * variables);
    f.slots_epoch = table_epoch;
    f.calls_base = pending_call_depth();
    f.prev = state.current;
    state.current = &f;
    HashTable *outer_symbols = EG(active_symbol_table);
    if (f.symbol_table) {
        EG(active_symbol_table) = f.symbol_table;
        watch_table(f.symbol_table);
    }
    struct leave {
        frame &f;
        HashTable *outer_symbols;
        frame_memory_mark mark;
        ~leave() {
            state.current = f.prev;
            EG(active_symbol_table) = outer_symbols;
            if (f.symbol_table) unwatch_table(f.symbol_table);
            /* a bailout abandons the request: request memory goes as a whole */
            if (std::uncaught_exceptions() == 0) {
                for (zend_uint i = 0; i < f.temp_count; i++) {
                    temp_var &t = f.temps[i];
                    release_temp(t);
                    if (t.scratch) zval_ptr_dtor(&t.scratch);
                }
                while (pending_call_depth() > f.calls_base) {
                    pending_call &p = pending_call_at(pending_call_depth() - 1);
                    for (int i = 0; i < p.args.count; i++) zval_ptr_dtor(&p.args.data[i]);
                    p.args.clear();
                    if (p.object) zval_ptr_dtor(&p.object);
                    if (p.callable && p.function.type == ZEND_USER_FUNCTION) destroy_zend_function(&p.function);
                    pop_pending_call();
                }
            } else {
                while (pending_call_depth() > f.calls_base) pop_pending_call();
            }
            frame_memory_pop(mark);
            release_prepared(f.code);
        }
    } guard{f, outer_symbols, mark};
    check_time_limit();
    const instr *program = code->code.data();
    while (f.pc < f.last) {
        const instr &in = program[f.pc++];
        f.current = in.op;
        in.run(f, in);
    }
}

/* ---- operands ---- */

zval *new_value() {
    zval *z;
    ALLOC_ZVAL(z);
    z->type = IS_NULL;
    z->value.lval = 0;
    INIT_PZVAL(z);
    return z;
}

zval *copy_value(const zval *src) {
    zval *z;
    ALLOC_ZVAL(z);
    *z = *src;
    zval_copy_ctor(z);
    INIT_PZVAL(z);
    return z;
}

zval *unref(zval *v) {
    if (!v->is_ref) return v;
    zval *copy = copy_value(v);
    zval_ptr_dtor(&v);
    return copy;
}

void separate(zval **location) {
    zval *z = *location;
    if (z->is_ref || z->refcount <= 1) return;
    z->refcount--;
    *location = copy_value(z);
}

zval *make_reference(zval **location) {
    if (!location || !*location) return new_value();
    if (!(*location)->is_ref) {
        separate(location);
        (*location)->is_ref = 1;
    }
    return share(*location);
}

zval *read(frame &f, const znode &n) {
    switch (n.op_type) {
    case IS_CONST: return const_cast<zval *>(&n.u.constant);
    case IS_TMP_VAR:
    case IS_VAR: {
        if (n.u.var >= f.temp_count) zend_error(E_ERROR, "Invalid temporary %u", n.u.var);
        temp_var &t = f.temps[n.u.var];
        if (t.value) return t.value;
        if (t.location && *t.location) return *t.location;
        /* a missing value (an isset fetch that found nothing): null */
        t.own.type = IS_NULL;
        t.own.value.lval = 0;
        INIT_PZVAL(&t.own);
        t.value = &t.own;
        return t.value;
    }
    default: {
        static zval null_value; /* type 0: null, never written */
        return &null_value;
    }
    }
}

zval *take(frame &f, const znode &n) {
    if (n.op_type == IS_CONST) return copy_value(&n.u.constant);
    if (n.op_type != IS_TMP_VAR && n.op_type != IS_VAR) return new_value();
    if (n.u.var >= f.temp_count) zend_error(E_ERROR, "Invalid temporary %u", n.u.var);
    temp_var &t = f.temps[n.u.var];
    zval *v = t.value;
    if (v == &t.own) {
        /* a private value gets a record of its own */
        ALLOC_ZVAL(v);
        *v = t.own;
        t.value = nullptr;
    } else if (v) {
        t.value = nullptr;
    } else if (t.location && *t.location) {
        v = share(*t.location);
    } else {
        v = new_value();
    }
    t.location = nullptr;
    return v;
}

void release_temp(temp_var &t) {
    if (t.value == &t.own) zval_dtor(&t.own);
    else if (t.value) zval_ptr_dtor(&t.value);
    t.value = nullptr;
    t.location = nullptr;
    t.position = nullptr;
    if (t.pointer_owner) zval_ptr_dtor(&t.pointer_owner);
    t.pointer_owner = nullptr;
    t.string_offset = -1;
    /* the scratch variable stays until the slot is reused: a location
     * into it may still be on its way down a fetch chain */
}

void release(frame &f, const znode &n) {
    if (n.op_type != IS_TMP_VAR && n.op_type != IS_VAR) return;
    if (n.u.var < f.temp_count) release_temp(f.temps[n.u.var]);
}

temp_var &result_temp(frame &f, const zend_op *op) {
    if ((op->result.op_type != IS_VAR && op->result.op_type != IS_TMP_VAR) || op->result.u.var >= f.temp_count)
        zend_error(E_ERROR, "Invalid temporary");
    temp_var &t = f.temps[op->result.u.var];
    release_temp(t);
    if (t.scratch) zval_ptr_dtor(&t.scratch);
    t.scratch = nullptr;
    return t;
}

void set_result(frame &f, const zend_op *op, zval *value) {
    if (op->result.op_type != IS_TMP_VAR && op->result.op_type != IS_VAR) {
        zval_ptr_dtor(&value);
        return;
    }
    if (op->result.u.var >= f.temp_count) {
        zval_ptr_dtor(&value);
        zend_error(E_ERROR, "Invalid temporary %u", op->result.u.var);
    }
    result_temp(f, op).value = value;
}

void set_result_value(frame &f, const zend_op *op, const zval &value) {
    if ((op->result.op_type != IS_TMP_VAR && op->result.op_type != IS_VAR) || op->result.u.var >= f.temp_count) {
        zval dropped = value;
        zval_dtor(&dropped);
        if (op->result.op_type == IS_TMP_VAR || op->result.op_type == IS_VAR)
            zend_error(E_ERROR, "Invalid temporary %u", op->result.u.var);
        return;
    }
    temp_var &t = result_temp(f, op);
    t.own.value = value.value;
    t.own.type = value.type;
    INIT_PZVAL(&t.own);
    t.value = &t.own;
}

/* ---- handlers ---- */

void op_NOP(frame &, const zend_op *) {}

void op_ECHO(frame &f, const zend_op *op) {
    zval *v = read(f, op->op1);
    if (v->type == IS_STRING) zend_write(v->value.str.val, (uint)v->value.str.len);
    else print_zval(v);
    release(f, op->op1);
}

void op_PRINT(frame &f, const zend_op *op) {
    op_ECHO(f, op);
    set_result_value(f, op, long_value(1));
}

#define BINARY_HANDLER(name, function) \
    void op_##name(frame &f, const zend_op *op) { binary<function>(f, op); }
BINARY_HANDLER(ADD, add_function)
BINARY_HANDLER(SUB, sub_function)
BINARY_HANDLER(MUL, mul_function)
BINARY_HANDLER(DIV, div_function)
BINARY_HANDLER(MOD, mod_function)
BINARY_HANDLER(CONCAT, concat_function)
BINARY_HANDLER(BW_OR, bitwise_or_function)
BINARY_HANDLER(BW_AND, bitwise_and_function)
BINARY_HANDLER(BW_XOR, bitwise_xor_function)
BINARY_HANDLER(SL, shift_left_function)
BINARY_HANDLER(SR, shift_right_function)
BINARY_HANDLER(IS_IDENTICAL, is_identical_function)
BINARY_HANDLER(IS_NOT_IDENTICAL, is_not_identical_function)
BINARY_HANDLER(IS_EQUAL, is_equal_function)
BINARY_HANDLER(IS_NOT_EQUAL, is_not_equal_function)
BINARY_HANDLER(IS_SMALLER, is_smaller_function)
BINARY_HANDLER(IS_SMALLER_OR_EQUAL, is_smaller_or_equal_function)
BINARY_HANDLER(BOOL_XOR, boolean_xor_function)
#undef BINARY_HANDLER

void op_BOOL_NOT(frame &f, const zend_op *op) {
    bool b = zend_is_true(read(f, op->op1));
    release(f, op->op1);
    set_result_value(f, op, bool_value(!b));
}

void op_BW_NOT(frame &f, const zend_op *op) {
    zval r;
    r.type = IS_NULL;
    bitwise_not_function(&r, read(f, op->op1));
    release(f, op->op1);
    set_result_value(f, op, r);
}

void op_BOOL(frame &f, const zend_op *op) {
    bool b = zend_is_true(read(f, op->op1));
    release(f, op->op1);
    set_result_value(f, op, bool_value(b));
}

void op_CAST(frame &f, const zend_op *op) {
    zval *v = take(f, op->op1);
    int type = (int)op->extended_value;
    if (v->type == type && !v->is_ref) {
        set_result(f, op, v);
        return;
    }
    zval *r = copy_value(v);
    zval_ptr_dtor(&v);
    switch (type) {
    case IS_NULL: convert_to_null(r); break;
    case IS_LONG: convert_to_long(r); break;
    case IS_DOUBLE: convert_to_double(r); break;
    case IS_STRING: convert_to_string(r); break;
    case IS_BOOL: convert_to_boolean(r); break;
    case IS_ARRAY: convert_to_array(r); break;
    case IS_OBJECT:
        if (r->type == IS_ARRAY) {
            HashTable *props = r->value.ht;
            r->type = IS_OBJECT;
            r->value.obj.ce = standard_class();
            r->value.obj.properties = props;
        } else if (r->type != IS_OBJECT) {
            zval *scalar = nullptr;
            if (r->type != IS_NULL) {
                scalar = new_value();
                *scalar = *r;
                INIT_PZVAL(scalar);
            }
            object_init(r, standard_class());
            if (scalar) zend_hash_update(r->value.obj.properties, "scalar", 7, &scalar, sizeof(zval *), nullptr);
        }
        break;
    default: break;
    }
    set_result(f, op, r);
}

void op_QM_ASSIGN(frame &f, const zend_op *op) {
    if (op->op1.op_type == IS_CONST) {
        zval copy = op->op1.u.constant;
        zval_copy_ctor(&copy);
        set_result_value(f, op, copy);
        return;
    }
    set_result(f, op, unref(take(f, op->op1)));
}

void op_JMP(frame &f, const zend_op *op) { jump(f, op->op1.u.opline_num); }

void op_JMPZ(frame &f, const zend_op *op) {
    bool b = zend_is_true(read(f, op->op1));
    release(f, op->op1);
    if (!b) jump(f, op->op2.u.opline_num);
}

void op_JMPNZ(frame &f, const zend_op *op) {
    bool b = zend_is_true(read(f, op->op1));
    release(f, op->op1);
    if (b) jump(f, op->op2.u.opline_num);
}

void op_JMPZ_EX(frame &f, const zend_op *op) {
    bool b = zend_is_true(read(f, op->op1));
    release(f, op->op1);
    set_result_value(f, op, bool_value(b));
    if (!b) jump(f, op->op2.u.opline_num);
}

void op_JMPNZ_EX(frame &f, const zend_op *op) {
    bool b = zend_is_true(read(f, op->op1));
    release(f, op->op1);
    set_result_value(f, op, bool_value(b));
    if (b) jump(f, op->op2.u.opline_num);
}

void op_BRK(frame &f, const zend_op *op) { leave_loops(f, op, true); }
void op_CONT(frame &f, const zend_op *op) { leave_loops(f, op, false); }

void op_FREE(frame &f, const zend_op *op) { release(f, op->op1); }

void op_CASE(frame &f, const zend_op *op) {
    zval r;
    r.type = IS_NULL;
    is_equal_function(&r, read(f, op->op1), read(f, op->op2));
    release(f, op->op2);
    set_result_value(f, op, r);
}

void op_FETCH_CONSTANT(frame &f, const zend_op *op) {
    zval *name = read(f, op->op1);
    zval r;
    r.type = IS_NULL;
    if (name->type != IS_STRING || !get_constant(name->value.str.val, (std::size_t)name->value.str.len, &r)) {
        const char *text = name->type == IS_STRING ? name->value.str.val : "";
        zend_error(E_NOTICE, "Use of undefined constant %s - assumed '%s'", text, text);
        r.type = IS_STRING;
        r.value.str.len = name->type == IS_STRING ? name->value.str.len : 0;
        r.value.str.val = estrndup(text, (uint)r.value.str.len);
    }
    release(f, op->op1);
    set_result_value(f, op, r);
}

/* @expr: error_reporting is 0 while expr runs, functions it calls
 * included, and comes back afterwards to the level saved in the
 * temporary, whatever expr set meanwhile. */
void op_BEGIN_SILENCE(frame &f, const zend_op *op) {
    if (silence_depth++ == 0) silence_outer_level = settings.error_reporting;
    zval saved = long_value(settings.error_reporting);
    settings.error_reporting = 0;
    set_result_value(f, op, saved);
}

void op_END_SILENCE(frame &f, const zend_op *op) {
    settings.error_reporting = (int)zval_get_long(read(f, op->op1));
    release(f, op->op1);
    if (silence_depth > 0) silence_depth--;
}

void op_EXIT(frame &f, const zend_op *op) {
    if (op->op1.op_type != IS_UNUSED) {
        zval *v = read(f, op->op1);
        if (v->type == IS_LONG) set_exit_status((int)v->value.lval);
        else if (v->type == IS_STRING) zend_write(v->value.str.val, (uint)v->value.str.len);
        else print_zval(v);
        release(f, op->op1);
    }
    throw bailout{};
}

} // namespace zend::exec
