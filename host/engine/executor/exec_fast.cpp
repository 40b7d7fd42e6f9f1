/* Handlers of prepared code: variable fetches through the frame's slot
 * cache, and grouped ops with fast paths.
 *
 * A group's fast path only reads until it knows it can finish: variables
 * it needs must exist and values must be of the types it handles. Then it
 * does the group's whole work and leaves the temporaries as the ops one by
 * one would have left them (the fetches' results consumed, the user's
 * result in place). Anything else runs the ops one by one (run_group),
 * which is the definition of what the group does. */
#include <climits>
#include <cstring>

#include "core/operators.h"
#include "core/values_internal.h"
#include "executor/executor.h"

namespace zend::exec {

namespace {

/* A temporary about to be written, its old content released, as
 * result_temp does; the common case (nothing in it) costs a few loads. */
inline temp_var &reuse_temp(frame &f, zend_uint index) {
    temp_var &t = f.temps[index];
    if (t.value || t.location || t.scratch || t.pointer_owner) [[unlikely]] {
        release_temp(t);
        if (t.scratch) zval_ptr_dtor(&t.scratch);
        t.scratch = nullptr;
    }
    t.position = nullptr;
    t.string_offset = -1;
    return t;
}

inline bool is_temp(const znode &n) { return n.op_type == IS_TMP_VAR || n.op_type == IS_VAR; }

/* The grouped fetches' results: consumed by the user, so left empty. */
inline void finish_fetches(frame &f, const instr &in, unsigned fetches) {
    for (unsigned k = 0; k < fetches; k++) reuse_temp(f, in.op[k].result.u.var);
}

inline unsigned fetch_count(const instr &in) { return in.span - 1u - (in.branch ? 1u : 0u); }

/* An operand of the group's user, borrowed, for a fast path; null when the
 * fast path cannot read it. */
inline zval *operand(frame &f, operand_source source, std::uint32_t var, const znode &n) {
    if (source == SOURCE_VARIABLE) {
        zval **slot = variable_slot(f, var);
        return slot ? *slot : nullptr;
    }
    if (n.op_type == IS_CONST) return const_cast<zval *>(&n.u.constant);
    if (!is_temp(n)) return nullptr;
    temp_var &t = f.temps[n.u.var];
    if (t.value) return t.value;
    if (t.location) return *t.location;
    return nullptr;
}

/* The user consumed its temporary operands. */
inline void consume(frame &f, operand_source source, const znode &n) {
    if (source == SOURCE_OTHER && is_temp(n)) release_temp(f.temps[n.u.var]);
}

inline void put_value(frame &f, const znode &result, const zval &value) {
    if (!is_temp(result)) {
        zval dropped = value;
        zval_dtor(&dropped);
        return;
    }
    temp_var &t = reuse_temp(f, result.u.var);
    t.own.value = value.value;
    t.own.type = value.type;
    INIT_PZVAL(&t.own);
    t.value = &t.own;
}

inline void put_counted(frame &f, const znode &result, zval *value) {
    if (!is_temp(result)) return;
    temp_var &t = reuse_temp(f, result.u.var);
    t.value = share(value);
}

/* Ends a group that ran its fast path: the next op, or the jump. */
inline void leave_group(frame &f, const instr &in) { f.pc += in.span - 1u; }

inline bool is_number(const zval *z) { return z->type == IS_LONG || z->type == IS_DOUBLE; }
inline double as_double(const zval *z) { return z->type == IS_LONG ? (double)z->value.lval : z->value.dval; }

/* op1 OP op2 for numbers, as the operators compute it; false when the
 * operator would warn (division by zero) or the types are not numbers. */
bool arithmetic(int opcode, const zval *a, const zval *b, zval &r) {
    if (!is_number(a) || !is_number(b)) return false;
    if (a->type == IS_LONG && b->type == IS_LONG) {
        long x = a->value.lval, y = b->value.lval, l;
        switch (opcode) {
        case ZEND_ADD:
            if (__builtin_add_overflow(x, y, &l)) break;
            r.type = IS_LONG, r.value.lval = l;
            return true;
        case ZEND_SUB:
            if (__builtin_sub_overflow(x, y, &l)) break;
            r.type = IS_LONG, r.value.lval = l;
            return true;
        case ZEND_MUL:
            if (__builtin_mul_overflow(x, y, &l)) break;
            r.type = IS_LONG, r.value.lval = l;
            return true;
        case ZEND_DIV:
            if (y == 0) return false;
            if (!(x == LONG_MIN && y == -1) && x % y == 0) {
                r.type = IS_LONG, r.value.lval = x / y;
                return true;
            }
            r.type = IS_DOUBLE, r.value.dval = (double)x / (double)y;
            return true;
        case ZEND_MOD:
            if (y == 0) return false;
            r.type = IS_LONG, r.value.lval = y == -1 ? 0 : x % y;
            return true;
        default:
            return false;
        }
    }
    double x = as_double(a), y = as_double(b);
    switch (opcode) {
    case ZEND_ADD: r.type = IS_DOUBLE, r.value.dval = x + y; return true;
    case ZEND_SUB: r.type = IS_DOUBLE, r.value.dval = x - y; return true;
    case ZEND_MUL: r.type = IS_DOUBLE, r.value.dval = x * y; return true;
    case ZEND_DIV:
        if (y == 0.0) return false;
        r.type = IS_DOUBLE, r.value.dval = x / y;
        return true;
    default:
        return false; /* % of doubles goes through the operator */
    }
}

/* op1 . op2 for strings and integers. */
bool concatenation(const zval *a, const zval *b, zval &r) {
    char a_digits[24], b_digits[24];
    const char *a_text, *b_text;
    std::size_t a_length, b_length;
    auto text_of = [](const zval *z, char *digits, const char *&text, std::size_t &length) {
        if (z->type == IS_STRING) {
            text = z->value.str.val;
            length = (std::size_t)z->value.str.len;
            return true;
        }
        if (z->type == IS_LONG) {
            /* the digits of a long, as "%ld" prints them */
            unsigned long magnitude = z->value.lval < 0 ? 0ul - (unsigned long)z->value.lval : (unsigned long)z->value.lval;
            char *end = digits + 24, *p = end;
            do {
                *--p = (char)('0' + magnitude % 10);
                magnitude /= 10;
            } while (magnitude);
            if (z->value.lval < 0) *--p = '-';
            text = p;
            length = (std::size_t)(end - p);
            return true;
        }
        return false;
    };
    if (!text_of(a, a_digits, a_text, a_length) || !text_of(b, b_digits, b_text, b_length)) return false;
    std::size_t length = a_length + b_length;
    if (length > INT_MAX) return false;
    r.type = IS_STRING;
    r.value.str.len = (int)length;
    if (length == 0) {
        r.value.str.val = empty_string;
        return true;
    }
    char *s = static_cast<char *>(emalloc(length + 1));
    std::memcpy(s, a_text, a_length);
    std::memcpy(s + a_length, b_text, b_length);
    s[length] = '\0';
    r.value.str.val = s;
    return true;
}

/* op1 <=> op2 for numbers, as compare_values gives it. */
inline int compare_numbers(const zval *a, const zval *b) {
    if (a->type == IS_LONG && b->type == IS_LONG)
        return a->value.lval < b->value.lval ? -1 : a->value.lval > b->value.lval ? 1 : 0;
    double d = as_double(a) - as_double(b);
    return d < 0 ? -1 : d > 0 ? 1 : 0;
}

/* The comparison's outcome; false when the fast path does not know it. */
bool comparison(int opcode, const zval *a, const zval *b, bool &outcome) {
    if (opcode == ZEND_IS_IDENTICAL || opcode == ZEND_IS_NOT_IDENTICAL) {
        bool same;
        if (a->type != b->type) {
            same = false;
        } else {
            switch (a->type) {
            case IS_NULL: same = true; break;
            case IS_LONG: case IS_BOOL: same = a->value.lval == b->value.lval; break;
            case IS_DOUBLE: same = a->value.dval == b->value.dval; break;
            case IS_STRING:
                same = a->value.str.len == b->value.str.len &&
                       std::memcmp(a->value.str.val, b->value.str.val, (std::size_t)a->value.str.len) == 0;
                break;
            default: return false;
            }
        }
        outcome = opcode == ZEND_IS_IDENTICAL ? same : !same;
        return true;
    }
    if (!is_number(a) || !is_number(b)) return false;
    int c = compare_numbers(a, b);
    switch (opcode) {
    case ZEND_IS_EQUAL: outcome = c == 0; return true;
    case ZEND_IS_NOT_EQUAL: outcome = c != 0; return true;
    case ZEND_IS_SMALLER: outcome = c < 0; return true;
    case ZEND_IS_SMALLER_OR_EQUAL: outcome = c <= 0; return true;
    default: return false;
    }
}

/* ---- group handlers ---- */

void run_arithmetic(frame &f, const instr &in) {
    const zend_op *user = in.user;
    zval *a = operand(f, in.source1, in.var1, user->op1);
    zval *b = a ? operand(f, in.source2, in.var2, user->op2) : nullptr;
    zval r;
    if (!b || !(user->opcode == ZEND_CONCAT ? concatenation(a, b, r) : arithmetic(user->opcode, a, b, r))) {
        run_group(f, in);
        return;
    }
    consume(f, in.source1, user->op1);
    consume(f, in.source2, user->op2);
    finish_fetches(f, in, fetch_count(in));
    put_value(f, user->result, r);
    leave_group(f, in);
}

void run_comparison(frame &f, const instr &in) {
    const zend_op *user = in.user;
    zval *a = operand(f, in.source1, in.var1, user->op1);
    zval *b = a ? operand(f, in.source2, in.var2, user->op2) : nullptr;
    bool outcome;
    if (!b || !comparison(user->opcode, a, b, outcome)) {
        run_group(f, in);
        return;
    }
    consume(f, in.source1, user->op1);
    consume(f, in.source2, user->op2);
    finish_fetches(f, in, fetch_count(in));
    if (!in.branch) {
        zval r;
        r.type = IS_BOOL;
        r.value.lval = outcome;
        put_value(f, user->result, r);
        leave_group(f, in);
        return;
    }
    /* the jump consumed the comparison's result */
    reuse_temp(f, user->result.u.var);
    leave_group(f, in);
    if (outcome == (in.last->opcode == ZEND_JMPNZ)) jump(f, in.last->op2.u.opline_num);
}

void run_conditional_jump(frame &f, const instr &in) {
    const zend_op *user = in.user;
    zval *a = operand(f, in.source1, in.var1, user->op1);
    if (!a) {
        run_group(f, in);
        return;
    }
    bool outcome = zval_get_bool(a);
    consume(f, in.source1, user->op1);
    finish_fetches(f, in, fetch_count(in));
    leave_group(f, in);
    if (outcome == (user->opcode == ZEND_JMPNZ)) jump(f, user->op2.u.opline_num);
}

void run_assign(frame &f, const instr &in) {
    const zend_op *user = in.user;
    zval **from = nullptr;
    if (in.source2 == SOURCE_VARIABLE) {
        from = variable_slot(f, in.var2);
        if (!from) {
            run_group(f, in); /* the notice, in order */
            return;
        }
    }
    zval **location = create_variable_slot(f, in.var1);
    zval *value;
    if (from) {
        value = *from == *location ? *location : assign_to_slot(location, share(*from));
    } else {
        value = assign_operand(f, user->op2, location);
    }
    finish_fetches(f, in, fetch_count(in));
    if (is_temp(user->result)) put_counted(f, user->result, value);
    leave_group(f, in);
}

void run_increment(frame &f, const instr &in) {
    const zend_op *user = in.user;
    bool create = fetch_ext_mode(in.op->extended_value) == FETCH_W;
    zval **slot = create ? create_variable_slot(f, in.var1) : variable_slot(f, in.var1);
    zval *z = slot ? *slot : nullptr;
    if (!z || z->type != IS_LONG || (z->refcount != 1 && !z->is_ref)) {
        run_group(f, in);
        return;
    }
    long before = z->value.lval;
    bool up = user->opcode == ZEND_PRE_INC || user->opcode == ZEND_POST_INC;
    if (up ? before == LONG_MAX : before == LONG_MIN) {
        run_group(f, in);
        return;
    }
    z->value.lval = up ? before + 1 : before - 1;
    finish_fetches(f, in, fetch_count(in));
    if (is_temp(user->result)) {
        if (user->opcode == ZEND_POST_INC || user->opcode == ZEND_POST_DEC) {
            zval old;
            old.type = IS_LONG;
            old.value.lval = before;
            put_value(f, user->result, old);
        } else {
            put_counted(f, user->result, z);
        }
    }
    leave_group(f, in);
}

void run_compound_assign(frame &f, const instr &in) {
    const zend_op *user = in.user;
    zval *b = operand(f, in.source2, in.var2, user->op2);
    zval **slot = b ? variable_slot(f, in.var1) : nullptr;
    zval *t = slot ? *slot : nullptr;
    if (!t || t == b || (t->refcount != 1 && !t->is_ref)) {
        run_group(f, in);
        return;
    }
    int opcode = (int)user->extended_value;
    if (opcode == ZEND_CONCAT && t->type == IS_STRING && b->type == IS_STRING) {
        std::size_t old_length = (std::size_t)t->value.str.len, added = (std::size_t)b->value.str.len;
        if (old_length + added > INT_MAX) {
            run_group(f, in);
            return;
        }
        if (added) {
            char *text = t->value.str.val == empty_string || !t->value.str.val
                             ? static_cast<char *>(emalloc(old_length + added + 1))
                             : static_cast<char *>(erealloc(t->value.str.val, old_length + added + 1));
            std::memcpy(text + old_length, b->value.str.val, added);
            text[old_length + added] = '\0';
            t->value.str.val = text;
            t->value.str.len = (int)(old_length + added);
        }
    } else {
        zval r;
        if (opcode == ZEND_CONCAT || !arithmetic(opcode, t, b, r)) {
            run_group(f, in);
            return;
        }
        t->value = r.value; /* numbers: nothing to destroy */
        t->type = r.type;
    }
    consume(f, in.source2, user->op2);
    finish_fetches(f, in, fetch_count(in));
    if (is_temp(user->result)) put_counted(f, user->result, t);
    leave_group(f, in);
}

void run_element_read(frame &f, const instr &in) {
    const zend_op *user = in.user;
    zval *container = operand(f, in.source1, in.var1, user->op1);
    zval *key = container ? operand(f, in.source2, in.var2, user->op2) : nullptr;
    if (!key || (container->type != IS_ARRAY && container->type != IS_CONSTANT_ARRAY)) {
        run_group(f, in);
        return;
    }
    zval **found;
    int r;
    if (key->type == IS_LONG) r = zend_hash_index_find(container->value.ht, (ulong)key->value.lval, (void **)&found);
    else if (key->type == IS_STRING)
        r = zend_hash_find(container->value.ht, key->value.str.val, (uint)key->value.str.len + 1, (void **)&found);
    else r = FAILURE;
    if (r != SUCCESS) {
        run_group(f, in); /* the notice */
        return;
    }
    zval *element = share(*found);
    consume(f, in.source2, user->op2);
    consume(f, in.source1, user->op1);
    finish_fetches(f, in, fetch_count(in));
    if (is_temp(user->result)) reuse_temp(f, user->result.u.var).value = element;
    else zval_ptr_dtor(&element);
    leave_group(f, in);
}

} // namespace

void run_group(frame &f, const instr &in) {
    zend_uint start = f.pc - 1;
    const instr *code = f.code->code.data();
    for (unsigned i = 0; i < in.span; i++) {
        zend_uint at = start + i;
        const instr &single = code[at];
        f.pc = at + 1;
        f.current = single.op;
        single.alone(f, single);
        if (f.pc != at + 1) return; /* jumped or returned */
    }
}

handler group_handler(const instr &in) {
    const zend_op *user = in.user;
    switch (user->opcode) {
    case ZEND_ADD: case ZEND_SUB: case ZEND_MUL: case ZEND_DIV: case ZEND_MOD: case ZEND_CONCAT:
        return in.branch ? nullptr : run_arithmetic;
    case ZEND_IS_IDENTICAL: case ZEND_IS_NOT_IDENTICAL: case ZEND_IS_EQUAL: case ZEND_IS_NOT_EQUAL:
    case ZEND_IS_SMALLER: case ZEND_IS_SMALLER_OR_EQUAL:
        return run_comparison;
    case ZEND_JMPZ: case ZEND_JMPNZ:
        return run_conditional_jump;
    case ZEND_ASSIGN:
        return in.source1 == SOURCE_VARIABLE ? run_assign : nullptr;
    case ZEND_ASSIGN_OP:
        return in.source1 == SOURCE_VARIABLE ? run_compound_assign : nullptr;
    case ZEND_PRE_INC: case ZEND_PRE_DEC: case ZEND_POST_INC: case ZEND_POST_DEC:
        return in.source1 == SOURCE_VARIABLE ? run_increment : nullptr;
    case ZEND_FETCH_DIM:
        if (fetch_ext_mode(user->extended_value) != FETCH_R ||
            (user->extended_value & (FETCH_KEEP_CONTAINER | FETCH_ARRAY_ONLY)) || user->op2.op_type == IS_UNUSED)
            return nullptr;
        return run_element_read;
    default:
        return nullptr;
    }
}

/* A call of a function named by a constant: the function table is
 * searched once and again only after it (or any watched table) lost an
 * element; an unknown name takes the generic path for its error. */
void run_init_known_function(frame &f, const instr &in) {
    call_site &site = f.code->sites[in.site];
    if (site.epoch != table_epoch || !site.target) [[unlikely]] {
        const zval &name = in.op->op1.u.constant;
        void *found;
        if (zend_hash_find(EG(function_table), name.value.str.val, (uint)name.value.str.len + 1, &found) != SUCCESS) {
            op_INIT_FCALL(f, in.op);
            return;
        }
        site.target = found;
        site.epoch = table_epoch;
    }
    push_call(static_cast<zend_function *>(site.target), nullptr);
}

/* A FETCH of a variable named by a constant, through the slot cache; a
 * missing variable takes the generic path for its notice. */
void run_fetch_variable(frame &f, const instr &in) {
    const zend_op *op = in.op;
    switch (fetch_ext_mode(op->extended_value)) {
    case FETCH_R:
    case FETCH_IS:
        if (zval **slot = variable_slot(f, in.var)) {
            reuse_temp(f, op->result.u.var).value = share(*slot);
            return;
        }
        break;
    case FETCH_W:
        reuse_temp(f, op->result.u.var).location = create_variable_slot(f, in.var);
        return;
    case FETCH_RW:
    case FETCH_UNSET:
        if (zval **slot = variable_slot(f, in.var)) {
            reuse_temp(f, op->result.u.var).location = slot;
            return;
        }
        break;
    default:
        break;
    }
    op_FETCH(f, op);
}

} // namespace zend::exec
