/* The executor's inside: call frames, temporaries, prepared code and the
 * handlers that the dispatch table (generated from opcodes.def) points to.
 *
 * Value discipline: a temporary's `value` is a counted reference (the
 * temporary owns one unit of its refcount), or points at the temporary's
 * own record (`own`) for a private value an operator made, and the op that
 * reads the temporary as a value consumes it; take() hands the value over
 * as a counted reference, moving a private value to a record of its own. A
 * `location` is borrowed: it points at a variable's slot inside a symbol
 * table, array or property table, and is used by the op right after the
 * fetch chain that made it, before any script code runs. Op arrays are
 * only read, never changed: what the executor learns about them (handlers,
 * variable slots, call targets) lives in per-request side tables. */
#ifndef BRISKO_EXECUTOR_H
#define BRISKO_EXECUTOR_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine.h"
#include "opcodes.h"

namespace zend::exec {

struct temp_var {
    zval *value = nullptr;      /* counted reference, &own, or none */
    zval **location = nullptr;  /* borrowed variable slot, or none */
    zval *scratch = nullptr;    /* throwaway variable for writes that cannot land */
    HashPosition position = nullptr; /* foreach: next element of the array in value */
    zval *pointer_owner = nullptr;  /* foreach over a reference: counted; the loop runs over a copy in
                                       value and moves this array's internal pointer along */
    long string_offset = -1;    /* >= 0: location is a string, the target one character of it */
    zval own;                   /* a private value (refcount 1, no reference) while value == &own */
};

/* Arguments of a pending call: a few in place, more in a block of their
 * own. The slots stay where they are for the whole call. */
struct argument_list {
    static constexpr int in_place = 6;
    zval **data = slots;
    int count = 0;
    int capacity = in_place;
    zval *slots[in_place];

    argument_list() = default;
    argument_list(const argument_list &) = delete;
    argument_list &operator=(const argument_list &) = delete;
    ~argument_list() { release_storage(); }
    void push(zval *value) {
        if (count == capacity) grow();
        data[count++] = value;
    }
    void clear() { count = 0; }
    void release_storage();
    void grow();
};

/* A call between its INIT op and DO_FCALL. */
struct pending_call {
    bool callable = false;      /* false: a constructor-less new, arguments dropped */
    zend_function function;     /* copy of the record; user op arrays counted while the call lasts */
    zval *object = nullptr;     /* counted, a reference: becomes $this */
    argument_list args;         /* counted */
};

/* Prepared code: what the executor keeps per op array and request. Each op
 * position gets an instruction; a group of ops (variable fetches and the op
 * that uses them, a comparison and its conditional jump) may run as one
 * instruction with a fast path, and falls back to running its ops one by one
 * whenever the fast path does not apply. */
struct frame;
struct instr;
using handler = void (*)(frame &, const instr &);

/* Where a grouped op finds an operand. */
enum operand_source : std::uint8_t {
    SOURCE_OTHER = 0,   /* as the op says: constant, temporary or unused */
    SOURCE_VARIABLE,    /* the variable `var` of the frame, fetched by a grouped FETCH */
};

struct instr {
    handler run = nullptr;      /* the group starting here, or the op alone */
    handler alone = nullptr;    /* the op at this position by itself */
    const zend_op *op = nullptr; /* the op at this position */
    const zend_op *last = nullptr; /* the group's last op (op when alone) */
    std::uint32_t var = 0;      /* a FETCH's variable (slot index) */
    std::uint32_t var1 = 0, var2 = 0; /* the variables behind SOURCE_VARIABLE operands of `user` */
    std::uint32_t site = 0;     /* call-site cache index */
    const zend_op *user = nullptr; /* the op that uses the fetched variables */
    std::uint8_t span = 1;      /* ops the group covers */
    operand_source source1 = SOURCE_OTHER, source2 = SOURCE_OTHER; /* of user's op1 and op2 */
    bool branch = false;        /* last is a JMPZ/JMPNZ on user's result */
};

/* A variable name that ops of the op array use as a constant: looked up
 * once per frame, then through the frame's slot cache. */
struct compiled_variable {
    const char *name;
    uint length;                /* with the terminating NUL */
    ulong hash;
};

/* A function or class named by a constant at a call site: found once,
 * valid while no function or class table loses an element. */
struct call_site {
    void *target = nullptr;
    unsigned long epoch = 0;
};

struct prepared {
    zend_uint last = 0;
    zend_uint temps = 0;
    std::vector<instr> code;
    std::vector<compiled_variable> variables;
    std::vector<call_site> sites;
    int running = 0;            /* frames running this code */
    bool forgotten = false;     /* dropped from the index: freed once no frame runs it */
};

/* The prepared code of an op array, made on first use in a request. */
prepared *prepare(const zend_op_array *op_array);
/* Drops what was prepared for an op array whose ops are about to be freed
 * (destroy_op_array calls it): their memory may be reused for other code. */
void forget_prepared(const zend_op_array *op_array);
void release_prepared(prepared *p); /* a frame that ran it ended */
void drop_prepared_code(); /* request end */

struct frame {
    zend_op_array *op_array = nullptr;
    const zend_op *ops = nullptr;
    prepared *code = nullptr;
    zend_uint pc = 0;           /* next op */
    zend_uint last = 0;         /* ops in the op array; pc >= last ends the frame */
    const zend_op *current = nullptr;
    temp_var *temps = nullptr;
    zend_uint temp_count = 0;
    zval ***slots = nullptr;    /* per compiled variable: its slot in symbol_table, or null */
    unsigned long slots_epoch = 0; /* table_epoch the slots were found under */
    HashTable *symbol_table = nullptr;
    zval *this_ptr = nullptr;   /* borrowed from the symbol table's "this" */
    zval **args = nullptr;      /* the caller's argument slots */
    int argc = 0;
    zval *return_value = nullptr; /* counted, set by RETURN */
    std::size_t calls_base = 0; /* the pending calls of this frame start here */
    frame *prev = nullptr;
};

/* Per-request state of the executor; reset at request start and end. */
struct request_state {
    frame *current = nullptr;
    /* current values of static variables, by the op array's table of
     * initial values (copies of one function share that table) */
    std::unordered_map<const HashTable *, HashTable *> statics;
    std::unordered_set<std::string> included_files;
    std::vector<std::string> included_order; /* the same files, first inclusion first */
    position_fn previous_provider = nullptr;
    bool active = false;
    long lambda_count = 0;      /* create_function() names "\0lambda_N" with the next N */
};
extern request_state state;
/* Records a file the request runs (include_once consults the record). */
void note_included(const std::string &path);

/* Memory of running frames (exec_frames.cpp): temporaries and slot caches
 * come from one stack, pending calls from another; both are kept from
 * request to request up to a bound. */
struct frame_memory_mark {
    std::size_t chunk;
    std::size_t used;
};
frame_memory_mark frame_memory_top();
void *frame_memory_push(std::size_t bytes);
void frame_memory_pop(frame_memory_mark mark);

pending_call &push_pending_call();
/* A pending call of `function` (copied, a user function counted) on
 * `object` (counted, or null). */
void push_call_record(pending_call &p, const zend_function *function, zval *object);
pending_call &push_call(const zend_function *function, zval *object);
void pop_pending_call();
std::size_t pending_call_depth();
pending_call &pending_call_at(std::size_t index);
void reset_frame_memory(); /* request start and end */

/* Compiled-variable slots. table_epoch grows whenever a table that frames
 * or call sites look into loses an element, so cached slots and call targets
 * are found again after it. */
inline zval **variable_slot(frame &f, std::uint32_t var);
zval **find_variable_slot(frame &f, std::uint32_t var);   /* null when missing */
zval **create_variable_slot(frame &f, std::uint32_t var); /* found or created as null */

/* Native stack (exec_stack.cpp). stack_is_low: less than a reserve is
 * left below the running frame. run_on_new_stack runs fn(arg) on a fresh
 * stack segment and waits for it; an exception it ends with is thrown
 * again here; a fatal error when the request has used all its segments.
 * with_native_stack(fn) runs fn here, or on a new segment when the stack
 * is low, and returns its result: every call, include and eval goes
 * through it, so script recursion has no fixed depth limit and cannot
 * overflow the stack. */
bool stack_is_low();
void run_on_new_stack(void (*fn)(void *), void *arg);

template <typename T> void invoke_thunk(void *thunk) { (*static_cast<T *>(thunk))(); }

template <typename F> auto with_native_stack(F &&fn) -> decltype(fn()) {
    if (!stack_is_low()) [[likely]]
        return fn();
    decltype(fn()) result{};
    auto thunk = [&] { result = fn(); };
    run_on_new_stack(&invoke_thunk<decltype(thunk)>, &thunk);
    return result;
}

/* Runs an op array in a frame prepared by the caller. */
void execute(frame &f);
/* Runs a file's top-level op array in the given scope; returns its
 * return value (counted; 1 when it did not return one). */
zval *run_in_scope(zend_op_array *op_array, HashTable *symbol_table, zval *this_ptr);

/* Compiles and runs code given to eval() in a scope; its value is what
 * the code returns (counted; null when it does not return), or nullptr
 * after a parse error, which has been reported. description names the
 * code in errors and __FILE__. */
zval *eval_string(const std::string &code, const char *description, HashTable *symbol_table, zval *this_ptr);
/* "FILE(LINE) : what" for code compiled from a string at op of frame f. */
std::string compiled_string_description(const frame &f, const zend_op *op, const char *what);

/* Operand access. read() does not consume; take() hands over a counted
 * reference (a fresh copy for a constant); release() drops a temporary. */
zval *read(frame &f, const znode &n);
zval *take(frame &f, const znode &n);
void release(frame &f, const znode &n);
void release_temp(temp_var &t);
/* A temporary about to receive a result: its old content released. */
temp_var &result_temp(frame &f, const zend_op *op);
void set_result(frame &f, const zend_op *op, zval *value);
/* The result as a private value in the temporary itself: no record of its
 * own until someone takes it. */
void set_result_value(frame &f, const zend_op *op, const zval &value);
zval *new_value();                 /* null, refcount 1 */
zval *copy_value(const zval *src); /* fresh private copy, refcount 1 */
zval *unref(zval *v);              /* counted v, or a private copy when v is a reference */
zval *make_reference(zval **location); /* counted, is_ref set, separated first if shared */
void separate(zval **location);
zval *resolve_constant_copy(const zval *src); /* types 8/9 resolved, refcount 1 */
void object_init(zval *z, zend_class_entry *ce);
zend_class_entry *standard_class();
bool argument_by_reference(const zend_function *f, int index);
pending_call *top_call(frame &f);

/* Time limit: checked on backward jumps and around calls, so a loop or a
 * recursion cannot run past it. */
inline void check_time_limit() {
    if (time_limit_expired) [[unlikely]]
        time_limit_exceeded();
}
/* Jumps to an op number; a backward jump checks the time limit. */
void jump(frame &f, zend_uint target);

/* The arguments of the user function running now, as its caller passed
 * them (for func_get_args and its kin, which run as internal functions
 * called from it): the count, or -1 at the top level of a file. */
int current_arguments(zval ***args);

/* Function values, for built-ins that take callbacks. A callable is a
 * string naming a function (any case) or an array of an object or class
 * name and a method name. callable_exists says whether the value names
 * something that exists now; `name` gets a readable name either way.
 * call_function_value passes argv by value (a by-reference parameter gets
 * a copy) and returns the counted return value, or nullptr, without a
 * message, when the value is not callable. */
bool callable_exists(const zval *callable, std::string *name);
zval *call_function_value(const zval *callable, int argc, zval **argv);
/* As call_function_value, except that an argument that is a reference
 * reaches a by-reference parameter as itself, so the callee can change it
 * (array_walk). */
zval *call_function_with_references(const zval *callable, int argc, zval **argv);

/* Array keys by the engine's rules; false after a warning. */
bool key_find(HashTable *ht, const zval *key, zval ***out);
bool key_update(HashTable *ht, const zval *key, zval *value, zval ***out);
bool key_delete(HashTable *ht, const zval *key);

void fetch_failed_location(frame &f, const zend_op *op); /* result = scratch location */

/* Assignment of a value to a variable slot, by PHP 4's rules: a reference
 * gets the value in place, anything else the value itself (or a copy of a
 * reference). `value` is consumed; the variable's value afterwards is
 * returned (borrowed). */
zval *assign_to_slot(zval **location, zval *value);
/* The same for a private value (refcount 1, no reference, not a record of
 * its own): its contents move into the variable's record when that record
 * is the variable's alone. */
zval *assign_private(zval **location, zval *value);
/* Assigns operand n of the running op (consumed) to the slot. */
zval *assign_operand(frame &f, const znode &n, zval **location);

/* Handlers, one per opcode. */
#define OPCODE(name, meaning) void op_##name(frame &f, const zend_op *op);
#include "opcodes.def"
#undef OPCODE

/* Handlers of prepared code (exec_fast.cpp). */
void run_fetch_variable(frame &f, const instr &in);
void run_init_known_function(frame &f, const instr &in); /* INIT_FCALL of a constant name */
void run_group(frame &f, const instr &in); /* the group's ops one by one */
handler group_handler(const instr &in);    /* the fast handler of a group, or null */

/* The table epoch and the tables it watches (core/hash.cpp). */
} // namespace zend::exec

#include "core/table_watch.h"

namespace zend::exec {

inline zval **variable_slot(frame &f, std::uint32_t var) {
    if (f.slots_epoch == table_epoch) [[likely]] {
        if (zval **slot = f.slots[var]) [[likely]]
            return slot;
    }
    return find_variable_slot(f, var);
}

} // namespace zend::exec

#endif
