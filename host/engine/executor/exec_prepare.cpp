/* Prepared code: the executor's per-request notes on an op array.
 *
 * Every op position gets an instruction with the handler of its op; a FETCH
 * of a variable named by a constant gets a slot in the frame's slot cache
 * instead of a look-up by name. Where a short run of ops does one thing (the
 * fetches of variables and the op that uses them, a comparison and the
 * conditional jump on its result), the instruction at the run's first op
 * gets a handler for the whole run, with a fast path for the common value
 * types and, for everything else, the ops run one by one as they are. No
 * jump may land inside such a run (it is checked here), so every path into
 * it starts at its first op.
 *
 * The op array is only read. Its prepared code is indexed by the address
 * of its op table, which the op array keeps for as long as it lives:
 * destroy_op_array forgets it before the table is freed, so an address
 * that comes back for other code is prepared afresh. */
#include <cstring>
#include <memory>
#include <string_view>

#include "executor/executor.h"

namespace zend::exec {

namespace {

template <void (*H)(frame &, const zend_op *)> void run_op(frame &f, const instr &in) { H(f, in.op); }

const handler op_handlers[] = {
#define OPCODE(name, meaning) run_op<op_##name>,
#include "opcodes.def"
#undef OPCODE
};

void run_invalid(frame &, const instr &in) { zend_error(E_ERROR, "Invalid opcode %d", in.op->opcode); }

std::unordered_map<const zend_op *, prepared *> index_by_ops;

/* Code forgotten while frames still run it; freed when the last of them
 * ends (release_prepared), or at request end. */
std::unordered_set<prepared *> retired;

void retire(prepared *p) {
    table_epoch++; /* call sites may know it */
    if (p->running > 0) {
        p->forgotten = true;
        retired.insert(p);
    } else {
        delete p;
    }
}

bool is_temp(const znode &n) { return n.op_type == IS_TMP_VAR || n.op_type == IS_VAR; }

/* The builder's view of one op array. */
struct builder {
    const zend_op_array *oa;
    prepared *p;
    std::vector<bool> target;   /* a jump may land here */
    std::unordered_map<std::string_view, std::uint32_t> names;

    bool temps_valid(const zend_op &op) const {
        for (const znode *n : {&op.result, &op.op1, &op.op2})
            if (is_temp(*n) && n->u.var >= oa->T) return false;
        return true;
    }

    std::uint32_t variable(const zval &name) {
        std::string_view key(name.value.str.val, (std::size_t)name.value.str.len + 1);
        auto it = names.find(key);
        if (it != names.end()) return it->second;
        auto index = (std::uint32_t)p->variables.size();
        p->variables.push_back({name.value.str.val, (uint)key.size(), zend_hash_func(key.data(), (uint)key.size())});
        names.emplace(key, index);
        return index;
    }

    /* A FETCH of a variable named by a constant in the frame's own table,
     * in a mode that does not depend on the call being prepared. */
    bool is_variable_fetch(zend_uint at) const {
        if (at >= oa->last) return false;
        const zend_op &op = oa->opcodes[at];
        if (op.opcode != ZEND_FETCH || op.op1.op_type != IS_CONST || op.op1.u.constant.type != IS_STRING) return false;
        if (op.extended_value & FETCH_GLOBAL) return false;
        if (fetch_ext_mode(op.extended_value) == FETCH_FUNC_ARG) return false;
        if (!is_temp(op.result) || !temps_valid(op)) return false;
        const zval &name = op.op1.u.constant;
        if (name.value.str.len < 0 || name.value.str.len > (1 << 20)) return false;
        return !is_numeric_key(name.value.str.val, (uint)name.value.str.len + 1);
    }

    void mark_targets() {
        target.assign(oa->last + 1, false);
        auto mark = [&](std::size_t t) {
            if (t < target.size()) target[t] = true;
        };
        for (zend_uint i = 0; i < oa->last; i++) {
            const zend_op &op = oa->opcodes[i];
            switch (op.opcode) {
            case ZEND_JMP: mark(op.op1.u.opline_num); break;
            case ZEND_JMPZ: case ZEND_JMPNZ: case ZEND_JMPZ_EX: case ZEND_JMPNZ_EX:
            case ZEND_FE_RESET: case ZEND_FE_FETCH: mark(op.op2.u.opline_num); break;
            default: break;
            }
        }
        if (oa->brk_cont_array)
            for (zend_uint i = 0; i < oa->last_brk_cont; i++) {
                const zend_brk_cont_element &e = oa->brk_cont_array[i];
                if (e.brk >= 0) mark((std::size_t)e.brk);
                if (e.cont >= 0) mark((std::size_t)e.cont);
            }
    }

    bool lands_inside(zend_uint first, zend_uint last) const {
        for (zend_uint i = first + 1; i <= last; i++)
            if (target[i]) return true;
        return false;
    }

    /* How `user` reads an operand that a fetch of `mode` made. */
    static bool accepts(const zend_op &user, bool is_op1, int mode) {
        bool read = mode == FETCH_R;
        switch (user.opcode) {
        case ZEND_ADD: case ZEND_SUB: case ZEND_MUL: case ZEND_DIV: case ZEND_MOD: case ZEND_CONCAT:
        case ZEND_IS_IDENTICAL: case ZEND_IS_NOT_IDENTICAL: case ZEND_IS_EQUAL: case ZEND_IS_NOT_EQUAL:
        case ZEND_IS_SMALLER: case ZEND_IS_SMALLER_OR_EQUAL:
            return read;
        case ZEND_JMPZ: case ZEND_JMPNZ: case ZEND_ECHO:
            return read && is_op1;
        case ZEND_ASSIGN:
            return is_op1 ? mode == FETCH_W : read;
        case ZEND_ASSIGN_OP:
            return is_op1 ? (mode == FETCH_RW || mode == FETCH_W) : read;
        case ZEND_PRE_INC: case ZEND_PRE_DEC: case ZEND_POST_INC: case ZEND_POST_DEC:
            return is_op1 && (mode == FETCH_RW || mode == FETCH_W);
        case ZEND_FETCH_DIM:
            /* a read of an element; the container must not be kept (list()) */
            if (user.extended_value & (FETCH_KEEP_CONTAINER | FETCH_ARRAY_ONLY)) return false;
            if (fetch_ext_mode(user.extended_value) != FETCH_R) return false;
            return read;
        default:
            return false;
        }
    }

    /* Tries the group of `fetches` variable fetches starting at `first`
     * followed by their user. */
    bool try_group(zend_uint first, zend_uint fetches) {
        zend_uint at = first + fetches;
        if (at >= oa->last || lands_inside(first, at)) return false;
        const zend_op &user = oa->opcodes[at];
        if (!temps_valid(user)) return false;
        instr in = p->code[first];
        for (zend_uint k = 0; k < fetches; k++) {
            const zend_op &fetch = oa->opcodes[first + k];
            int mode = fetch_ext_mode(fetch.extended_value);
            zend_uint t = fetch.result.u.var;
            bool feeds1 = is_temp(user.op1) && user.op1.u.var == t && in.source1 == SOURCE_OTHER;
            bool feeds2 = !feeds1 && is_temp(user.op2) && user.op2.u.var == t && in.source2 == SOURCE_OTHER;
            if (!feeds1 && !feeds2) return false;
            if (!accepts(user, feeds1, mode)) return false;
            /* the result must be used once: not as the other operand too,
             * and not as the user's result */
            if (feeds1 && is_temp(user.op2) && user.op2.u.var == t) return false;
            if (is_temp(user.result) && user.result.u.var == t) return false;
            if (feeds1) {
                in.source1 = SOURCE_VARIABLE;
                in.var1 = p->code[first + k].var;
            } else {
                in.source2 = SOURCE_VARIABLE;
                in.var2 = p->code[first + k].var;
            }
        }
        /* a temporary operand must not be one a grouped fetch writes */
        for (zend_uint k = 0; k < fetches; k++) {
            zend_uint t = oa->opcodes[first + k].result.u.var;
            if (in.source1 == SOURCE_OTHER && is_temp(user.op1) && user.op1.u.var == t) return false;
            if (in.source2 == SOURCE_OTHER && is_temp(user.op2) && user.op2.u.var == t) return false;
        }
        in.user = &user;
        in.last = &user;
        in.span = (std::uint8_t)(fetches + 1);
        add_branch(in, at);
        handler h = group_handler(in);
        if (!h) return false;
        in.run = h;
        p->code[first] = in;
        return true;
    }

    /* A comparison whose result only a conditional jump right after it
     * reads: compared and jumped in one. */
    void add_branch(instr &in, zend_uint at) {
        const zend_op &user = oa->opcodes[at];
        switch (user.opcode) {
        case ZEND_IS_IDENTICAL: case ZEND_IS_NOT_IDENTICAL: case ZEND_IS_EQUAL: case ZEND_IS_NOT_EQUAL:
        case ZEND_IS_SMALLER: case ZEND_IS_SMALLER_OR_EQUAL:
            break;
        default:
            return;
        }
        if (at + 1 >= oa->last || target[at + 1] || !is_temp(user.result)) return;
        const zend_op &jump = oa->opcodes[at + 1];
        if (jump.opcode != ZEND_JMPZ && jump.opcode != ZEND_JMPNZ) return;
        if (!is_temp(jump.op1) || jump.op1.u.var != user.result.u.var || !temps_valid(jump)) return;
        in.branch = true;
        in.last = &jump;
        in.span++;
    }

    void build() {
        p->last = oa->last;
        p->temps = oa->T;
        p->code.resize((std::size_t)oa->last + 1);
        mark_targets();
        for (zend_uint i = 0; i < oa->last; i++) {
            const zend_op &op = oa->opcodes[i];
            instr &in = p->code[i];
            in.op = &op;
            in.last = &op;
            if (op.opcode >= ZEND_OPCODE_COUNT) {
                in.alone = run_invalid;
            } else if (is_variable_fetch(i)) {
                in.var = variable(op.op1.u.constant);
                in.alone = run_fetch_variable;
            } else if (op.opcode == ZEND_INIT_FCALL && op.op1.op_type == IS_CONST &&
                       op.op1.u.constant.type == IS_STRING) {
                /* a call by a constant name: the function is found once */
                in.site = (std::uint32_t)p->sites.size();
                p->sites.emplace_back();
                in.alone = run_init_known_function;
            } else {
                in.alone = op_handlers[op.opcode];
            }
            in.run = in.alone;
        }
        for (zend_uint i = 0; i < oa->last; i++) {
            if (p->code[i].alone == run_invalid) continue;
            if (is_variable_fetch(i)) {
                if (is_variable_fetch(i + 1) && try_group(i, 2)) continue;
                try_group(i, 1);
            } else if (temps_valid(oa->opcodes[i])) {
                try_group(i, 0);
            }
        }
        /* past the last op: the frame ends */
        p->code[oa->last].op = nullptr;
    }
};

} // namespace

prepared *prepare(const zend_op_array *op_array) {
    auto it = index_by_ops.find(op_array->opcodes);
    if (it != index_by_ops.end()) {
        prepared *known = it->second;
        if (known->last == op_array->last && known->temps == op_array->T) return known;
        index_by_ops.erase(it);
        retire(known);
    }
    auto *p = new prepared;
    builder b{op_array, p, {}, {}};
    try {
        b.build();
    } catch (...) {
        delete p;
        throw;
    }
    index_by_ops[op_array->opcodes] = p;
    return p;
}

void forget_prepared(const zend_op_array *op_array) {
    if (!op_array) return;
    auto it = index_by_ops.find(op_array->opcodes);
    if (it == index_by_ops.end()) return;
    prepared *p = it->second;
    index_by_ops.erase(it);
    retire(p);
}

void release_prepared(prepared *p) {
    if (--p->running == 0 && p->forgotten) {
        retired.erase(p);
        delete p;
    }
}

/* Request end: no frame runs any more (a fatal error abandons frames
 * without counting them out), so everything goes. */
void drop_prepared_code() {
    for (auto &entry : index_by_ops) delete entry.second;
    index_by_ops.clear();
    for (prepared *p : retired) delete p;
    retired.clear();
}

namespace {

/* A process that ends inside a request (exit() from a script or a
 * module) still gives its prepared code back. */
struct drop_at_exit {
    ~drop_at_exit() { drop_prepared_code(); }
} dropper;

} // namespace

} // namespace zend::exec

void zend::executor_forget_code(const zend_op_array *op_array) { exec::forget_prepared(op_array); }
