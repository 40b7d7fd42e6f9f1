/* The executor's inside: call frames, temporaries and the handlers that
 * the dispatch table (generated from opcodes.def) points to.
 *
 * Value discipline: every zval* a temporary holds in `value` is a counted
 * reference (the temporary owns one unit of its refcount) and the op that
 * reads the temporary as a value consumes it. A `location` is borrowed: it
 * points at a variable's slot inside a symbol table, array or property
 * table, and is used by the op right after the fetch chain that made it,
 * before any script code runs. Op arrays are only read, never changed. */
#ifndef BRISKO_EXECUTOR_H
#define BRISKO_EXECUTOR_H

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine.h"
#include "opcodes.h"

namespace zend::exec {

struct temp_var {
    zval *value = nullptr;      /* counted reference, or none */
    zval **location = nullptr;  /* borrowed variable slot, or none */
    zval *scratch = nullptr;    /* throwaway variable for writes that cannot land */
    HashPosition position = nullptr; /* foreach: next element of the array in value */
    zval *pointer_owner = nullptr;  /* foreach over a reference: counted; the loop runs over a copy in
                                       value and moves this array's internal pointer along */
    long string_offset = -1;    /* >= 0: location is a string, the target one character of it */
};

/* A call between its INIT op and DO_FCALL. */
struct pending_call {
    bool callable = false;      /* false: a constructor-less new, arguments dropped */
    zend_function function;     /* copy of the record; user op arrays counted while the call lasts */
    zval *object = nullptr;     /* counted, a reference: becomes $this */
    std::vector<zval *> args;   /* counted */
};

struct frame {
    zend_op_array *op_array = nullptr;
    const zend_op *ops = nullptr;
    zend_uint pc = 0;           /* next op */
    const zend_op *current = nullptr;
    bool done = false;
    std::vector<temp_var> temps;
    HashTable *symbol_table = nullptr;
    zval *this_ptr = nullptr;   /* borrowed from the symbol table's "this" */
    zval **args = nullptr;      /* the caller's argument slots */
    int argc = 0;
    zval *return_value = nullptr; /* counted, set by RETURN */
    std::vector<pending_call> calls;
    frame *prev = nullptr;
};

/* Per-request state of the executor; reset at request start and end. */
struct request_state {
    frame *current = nullptr;
    /* current values of static variables, by the op array's table of
     * initial values (copies of one function share that table) */
    std::unordered_map<const HashTable *, HashTable *> statics;
    std::unordered_set<std::string> included_files;
    position_fn previous_provider = nullptr;
    bool active = false;
    long lambda_count = 0;      /* create_function() names "\0lambda_N" with the next N */
};
extern request_state state;

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
    if (!stack_is_low()) return fn();
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
void set_result(frame &f, const zend_op *op, zval *value);
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

/* Handlers, one per opcode. */
#define OPCODE(name, meaning) void op_##name(frame &f, const zend_op *op);
#include "opcodes.def"
#undef OPCODE

} // namespace zend::exec

#endif
