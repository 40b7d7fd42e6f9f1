/* Calls: starting them, passing arguments, running user and internal
 * functions, methods and constructors; objects; includes; the run-time
 * half of conditional declarations.
 *
 * A call lives on its frame's pending list from its INIT op to DO_FCALL.
 * The pending record holds a copy of the function record, counted for user
 * functions, so the op array outlives the call even if a table entry is
 * replaced while it runs. */
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/classes.h"
#include "core/operators.h"
#include "executor/executor.h"

namespace zend::exec {

namespace {

std::string string_of(zval *z) {
    if (z->type == IS_STRING) return std::string(z->value.str.val, (std::size_t)z->value.str.len);
    return zval_to_string(z);
}

std::string lower(std::string s) {
    for (char &c : s)
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    return s;
}

zval *bool_value(bool b) {
    zval *r = new_value();
    r->type = IS_BOOL;
    r->value.lval = b;
    return r;
}

} // namespace

void push_call_record(pending_call &p, const zend_function *function, zval *object) {
    p.callable = true;
    std::size_t size = function->type == ZEND_INTERNAL_FUNCTION ? sizeof(zend_internal_function)
                       : function->type == ZEND_USER_FUNCTION    ? sizeof(zend_op_array)
                                                                 : sizeof(zend_function);
    std::memcpy(&p.function, function, size);
    /* counted while the call lasts; the call shares the function's statics */
    if (p.function.type == ZEND_USER_FUNCTION && p.function.op_array.refcount) (*p.function.op_array.refcount)++;
    p.object = object;
}

pending_call &push_call(const zend_function *function, zval *object) {
    pending_call &p = push_pending_call();
    push_call_record(p, function, object);
    return p;
}

namespace {

zend_function *find_method(zend_class_entry *ce, const std::string &name_lc) {
    zend_function *fn;
    if (zend_hash_find(&ce->function_table, name_lc.c_str(), (uint)name_lc.size() + 1, (void **)&fn) == SUCCESS)
        return fn;
    return nullptr;
}

/* The constructor is the method named like the class, else like the
 * nearest ancestor that has one. */
zend_function *find_constructor(zend_class_entry *ce) {
    for (zend_class_entry *c = ce; c; c = c->parent) {
        if (!c->name) continue;
        if (zend_function *fn = find_method(ce, lower(std::string(c->name, c->name_length)))) return fn;
    }
    return nullptr;
}

void drop_call(pending_call &p) {
    for (int i = 0; i < p.args.count; i++) zval_ptr_dtor(&p.args.data[i]);
    p.args.clear();
    if (p.object) zval_ptr_dtor(&p.object);
    if (p.callable && p.function.type == ZEND_USER_FUNCTION) destroy_zend_function(&p.function);
    p.callable = false;
}

zval *call_user_here(pending_call &p) {
    frame callee;
    callee.op_array = &p.function.op_array;
    HashTable *symbols;
    ALLOC_HASHTABLE(symbols);
    zend_hash_init(symbols, 8, nullptr, (dtor_func_t)_zval_ptr_dtor, 0);
    callee.symbol_table = symbols;
    if (p.object) {
        zend_hash_update(symbols, "this", 5, &p.object, sizeof(zval *), nullptr);
        callee.this_ptr = p.object;
        p.object = nullptr; /* the symbol table holds it now */
    }
    callee.args = p.args.data;
    callee.argc = p.args.count;
    execute(callee);
    zend_hash_destroy(symbols);
    FREE_HASHTABLE(symbols);
    return callee.return_value ? callee.return_value : new_value();
}

zval *call_user(pending_call &p) {
    return with_native_stack([&] { return call_user_here(p); });
}

/* Runs an internal function with its return value in rv (null,
 * refcount 1). */
void call_internal_into(pending_call &p, bool used, zval *rv) {
    with_native_stack([&] {
        internal_call saved = current_call;
        current_call.args = p.args.data;
        current_call.count = p.args.count;
        current_call.function_name = p.function.common.function_name;
        p.function.internal_function.handler(p.args.count, rv, p.object, used);
        current_call = saved;
        return 0;
    });
}

zval *call_internal(pending_call &p, bool used) {
    zval *rv = new_value();
    call_internal_into(p, used, rv);
    return rv;
}

/* Drops what a request knows of an op array's statics when the op array
 * is about to be freed: its address may come back for another one. */
void forget_statics(zend_op_array *oa) {
    if (!oa->static_variables || !oa->refcount || *oa->refcount != 1) return;
    auto it = state.statics.find(oa->static_variables);
    if (it == state.statics.end()) return;
    zend_hash_destroy(it->second);
    FREE_HASHTABLE(it->second);
    state.statics.erase(it);
}

zval *include_file_here(frame &f, const std::string &file, int type) {
    bool required = type == ZEND_REQUIRE || type == ZEND_REQUIRE_ONCE;
    bool once = type == ZEND_INCLUDE_ONCE || type == ZEND_REQUIRE_ONCE;
    zend_file_handle handle;
    std::memset(&handle, 0, sizeof handle);
    errno = 0;
    if (!open_file_for_include(file.c_str(), &handle)) {
        /* PHP 4.3's pair of messages, both named after the running
         * function ("main" outside any): the stream's, then the include's */
        int cause = errno ? errno : ENOENT;
        const char *fn = f.op_array && f.op_array->function_name ? f.op_array->function_name : "main";
        std::string link = settings.html_errors ? std::string(" [<a href='function.") + fn + "'>function." + fn + "</a>]" : "";
        const char *page = required ? "function.require" : "function.include";
        std::string include_link = settings.html_errors ? std::string(" [<a href='") + page + "'>" + page + "</a>]" : "";
        if (!file.empty())
            zend_error(E_WARNING, "%s(%s)%s: failed to open stream: %s", fn, file.c_str(), link.c_str(),
                       std::strerror(cause));
        if (required)
            zend_error(E_ERROR, "%s()%s: Failed opening required '%s' (include_path='%s')", fn, include_link.c_str(),
                       file.c_str(), settings.include_path.c_str());
        zend_error(E_WARNING, "%s()%s: Failed opening '%s' for inclusion (include_path='%s')", fn,
                   include_link.c_str(), file.c_str(), settings.include_path.c_str());
        return bool_value(false);
    }
    if (handle.opened_path) {
        std::string key(handle.opened_path);
        if (once && state.included_files.count(key)) {
            std::fclose(handle.handle.fp);
            return bool_value(true);
        }
        note_included(key);
    }
    /* the compile function owns the open file from here: the engine's
     * compiler and a cache hook alike close it */
    zend_op_array *oa = zend_compile_file(&handle, type);
    if (!oa) return bool_value(false);
    zval *rv = run_in_scope(oa, f.symbol_table, f.this_ptr);
    forget_statics(oa);
    destroy_op_array(oa);
    efree(oa);
    return rv;
}

zval *include_file(frame &f, const std::string &file, int type) {
    return with_native_stack([&] { return include_file_here(f, file, type); });
}

} // namespace

std::string compiled_string_description(const frame &f, const zend_op *op, const char *what) {
    const char *file = f.op_array && f.op_array->filename ? f.op_array->filename : "Unknown";
    return std::string(file) + "(" + std::to_string(op ? op->lineno : 0) + ") : " + what;
}

zval *eval_string(const std::string &code, const char *description, HashTable *symbol_table, zval *this_ptr) {
    return with_native_stack([&]() -> zval * {
        zend_op_array *oa = compile_string(code, description);
        if (!oa) return nullptr;
        zval *rv = run_in_scope(oa, symbol_table, this_ptr);
        forget_statics(oa);
        destroy_op_array(oa);
        efree(oa);
        return rv;
    });
}

int current_arguments(zval ***args) {
    const frame *f = state.current;
    if (!f || !f->op_array || !f->op_array->function_name) return -1;
    if (args) *args = f->args;
    return f->argc;
}

pending_call *top_call(frame &f) {
    std::size_t depth = pending_call_depth();
    return depth > f.calls_base ? &pending_call_at(depth - 1) : nullptr;
}

bool argument_by_reference(const zend_function *fn, int index) {
    return argument_passing(fn->common.arg_types, index) != BYREF_NONE;
}

zval *run_in_scope(zend_op_array *op_array, HashTable *symbol_table, zval *this_ptr) {
    frame f;
    f.op_array = op_array;
    f.symbol_table = symbol_table;
    f.this_ptr = this_ptr;
    execute(f);
    if (f.return_value) return f.return_value;
    zval *one = new_value();
    one->type = IS_LONG;
    one->value.lval = 1;
    return one;
}

/* ---- handlers ---- */

void op_INIT_FCALL(frame &f, const zend_op *op) {
    std::string name = string_of(read(f, op->op1));
    if (op->op1.op_type != IS_CONST) name = lower(name);
    release(f, op->op1);
    zend_function *fn;
    if (zend_hash_find(EG(function_table), name.c_str(), (uint)name.size() + 1, (void **)&fn) != SUCCESS)
        zend_error(E_ERROR, "Call to undefined function: %s()", name.c_str());
    push_call(fn, nullptr);
}

void op_INIT_METHOD_CALL(frame &f, const zend_op *op) {
    zval **location = (op->op1.op_type == IS_VAR || op->op1.op_type == IS_TMP_VAR) && op->op1.u.var < f.temp_count
                          ? f.temps[op->op1.u.var].location : nullptr;
    zval *object;
    if (location && *location) {
        if ((*location)->type != IS_OBJECT) {
            release(f, op->op1);
            zend_error(E_ERROR, "Call to a member function on a non-object");
        }
        object = make_reference(location); /* $this is the variable itself */
    } else {
        object = take(f, op->op1);
        if (object->type != IS_OBJECT) {
            zval_ptr_dtor(&object);
            zend_error(E_ERROR, "Call to a member function on a non-object");
        }
        if (!object->is_ref && object->refcount > 1) {
            zval *own = copy_value(object);
            zval_ptr_dtor(&object);
            object = own;
        }
        object->is_ref = 1;
    }
    release(f, op->op1);
    std::string name = string_of(read(f, op->op2));
    if (op->op2.op_type != IS_CONST) name = lower(name);
    release(f, op->op2);
    zend_function *fn = find_method(object->value.obj.ce, name);
    if (!fn) {
        zval_ptr_dtor(&object);
        zend_error(E_ERROR, "Call to undefined function: %s()", name.c_str());
    }
    push_call(fn, object);
}

void op_INIT_STATIC_CALL(frame &f, const zend_op *op) {
    std::string cls = lower(string_of(read(f, op->op1)));
    std::string name = lower(string_of(read(f, op->op2)));
    release(f, op->op1);
    release(f, op->op2);
    zend_class_entry *ce;
    if (zend_hash_find(EG(class_table), cls.c_str(), (uint)cls.size() + 1, (void **)&ce) != SUCCESS)
        zend_error(E_ERROR, "Undefined class name '%s'", cls.c_str());
    zend_function *fn = find_method(ce, name);
    if (!fn) zend_error(E_ERROR, "Call to undefined function: %s()", name.c_str());
    zval *object = f.this_ptr ? share(f.this_ptr) : nullptr;
    push_call(fn, object);
}

void op_INIT_CTOR(frame &f, const zend_op *op) {
    zval *object = op->op1.u.var < f.temp_count ? f.temps[op->op1.u.var].value : nullptr;
    zend_function *ctor = object && object->type == IS_OBJECT ? find_constructor(object->value.obj.ce) : nullptr;
    if (!ctor) {
        push_pending_call(); /* arguments are evaluated, then dropped */
        return;
    }
    object->is_ref = 1;
    push_call(ctor, share(object));
}

void op_SEND_VAL(frame &f, const zend_op *op) {
    pending_call *p = top_call(f);
    if (!p) zend_error(E_ERROR, "Argument passed outside a call");
    /* a literal or an operator's result cannot stand for a variable; the
     * result of a call, an assignment or new can */
    if (op->op1.op_type != IS_VAR && p->callable &&
        argument_passing(p->function.common.arg_types, (int)op->extended_value) == BYREF_FORCE)
        zend_error(E_ERROR, "Cannot pass parameter %d by reference", (int)op->extended_value + 1);
    p->args.push(unref(take(f, op->op1)));
}

void op_SEND_VAR(frame &f, const zend_op *op) {
    zval **location = (op->op1.op_type == IS_VAR || op->op1.op_type == IS_TMP_VAR) && op->op1.u.var < f.temp_count
                          ? f.temps[op->op1.u.var].location : nullptr;
    zval *value = location && *location ? make_reference(location) : unref(take(f, op->op1));
    release(f, op->op1);
    pending_call *p = top_call(f);
    if (!p) {
        zval_ptr_dtor(&value);
        zend_error(E_ERROR, "Argument passed outside a call");
    }
    p->args.push(value);
}

/* The call stays on the stack of pending calls while it runs: the callee
 * reads its arguments in place. */
void op_DO_FCALL(frame &f, const zend_op *op) {
    pending_call *p = top_call(f);
    if (!p) zend_error(E_ERROR, "Call without a function");
    bool used = op->result.op_type == IS_TMP_VAR || op->result.op_type == IS_VAR;
    if (p->callable && p->function.type == ZEND_INTERNAL_FUNCTION) {
        zval *rv;
        zval unused_value;
        if (used) {
            temp_var &t = result_temp(f, op);
            rv = &t.own;
        } else {
            rv = &unused_value;
        }
        rv->type = IS_NULL;
        rv->value.lval = 0;
        INIT_PZVAL(rv);
        call_internal_into(*p, used, rv);
        INIT_PZVAL(rv); /* a return value is the caller's own */
        drop_call(*p);
        pop_pending_call();
        if (used) f.temps[op->result.u.var].value = rv;
        else zval_dtor(rv);
    } else {
        zval *rv = p->callable && p->function.type == ZEND_USER_FUNCTION ? call_user(*p) : new_value();
        drop_call(*p);
        pop_pending_call();
        set_result(f, op, rv);
    }
    check_time_limit();
}

void op_RECV(frame &f, const zend_op *op) {
    int index = (int)op->extended_value;
    std::string name = string_of(read(f, op->op1));
    zval *arg;
    if (index < f.argc && f.args) {
        /* an argument that arrives as a reference was passed by reference,
         * by the parameter's declaration or by the caller (f(&$x)): the
         * parameter becomes that reference */
        arg = share(f.args[index]);
    } else if (op->op2.op_type == IS_CONST) {
        arg = resolve_constant_copy(&op->op2.u.constant);
    } else {
        zend_error(E_WARNING, "Missing argument %d for %s()", index + 1,
                   f.op_array->function_name ? f.op_array->function_name : "");
        return;
    }
    zend_hash_update(f.symbol_table, name.c_str(), (uint)name.size() + 1, &arg, sizeof(zval *), nullptr);
}

void op_RETURN(frame &f, const zend_op *op) {
    if (op->op1.op_type != IS_UNUSED) {
        if (f.return_value) zval_ptr_dtor(&f.return_value);
        zval *value = take(f, op->op1);
        f.return_value = op->extended_value == 1 ? value : unref(value);
    }
    f.pc = f.last;
}

void op_NEW(frame &f, const zend_op *op) {
    std::string name = lower(string_of(read(f, op->op1)));
    release(f, op->op1);
    zend_class_entry *ce;
    if (zend_hash_find(EG(class_table), name.c_str(), (uint)name.size() + 1, (void **)&ce) != SUCCESS)
        zend_error(E_ERROR, "Cannot instantiate non-existent class: %s", name.c_str());
    zval *object = new_value();
    object_init(object, ce);
    HashPosition pos;
    zval **value;
    for (zend_hash_internal_pointer_reset_ex(&ce->default_properties, &pos);
         zend_hash_get_current_data_ex(&ce->default_properties, (void **)&value, &pos) == SUCCESS;
         zend_hash_move_forward_ex(&ce->default_properties, &pos)) {
        char *key;
        uint key_length;
        ulong index;
        zval *copy = resolve_constant_copy(*value);
        if (zend_hash_get_current_key_ex(&ce->default_properties, &key, &key_length, &index, 0, &pos) ==
            HASH_KEY_IS_STRING)
            zend_hash_update(object->value.obj.properties, key, key_length, &copy, sizeof(zval *), nullptr);
        else
            zend_hash_index_update(object->value.obj.properties, index, &copy, sizeof(zval *), nullptr);
    }
    set_result(f, op, object);
}

void op_INCLUDE_OR_EVAL(frame &f, const zend_op *op) {
    std::string text = string_of(read(f, op->op1));
    release(f, op->op1);
    if (op->extended_value == ZEND_EVAL) {
        std::string where = compiled_string_description(f, op, "eval()'d code");
        zval *rv = eval_string(text, where.c_str(), f.symbol_table, f.this_ptr);
        set_result(f, op, rv ? rv : bool_value(false));
        return;
    }
    set_result(f, op, include_file(f, text, (int)op->extended_value));
}

void op_DECLARE_FUNCTION(frame &f, const zend_op *op) {
    zval *key = read(f, op->op1);
    zval *name = read(f, op->op2);
    zend_function *fn;
    if (zend_hash_find(EG(function_table), key->value.str.val, (uint)key->value.str.len + 1, (void **)&fn) != SUCCESS)
        return;
    zend_function copy;
    std::memcpy(&copy, fn, sizeof copy);
    function_add_ref(&copy);
    if (zend_hash_add(EG(function_table), name->value.str.val, (uint)name->value.str.len + 1, &copy,
                      sizeof(zend_function), nullptr) != SUCCESS) {
        destroy_zend_function(&copy);
        zend_error(E_ERROR, "Cannot redeclare %s()", copy.common.function_name ? copy.common.function_name
                                                                                : name->value.str.val);
    }
}

/* A class whose parent was not known when it was compiled: the parent is
 * looked up now, its members the class lacks are added after the class's
 * own, and the class gets its name. */
void op_DECLARE_INHERITED_CLASS(frame &f, const zend_op *op) {
    zval *key = read(f, op->op1);
    std::string names = string_of(read(f, op->op2));
    std::size_t colon = names.find(':');
    std::string parent_name = names.substr(0, colon), name = names.substr(colon + 1);
    zend_class_entry *ce, *parent;
    if (zend_hash_find(EG(class_table), key->value.str.val, (uint)key->value.str.len + 1, (void **)&ce) != SUCCESS)
        return;
    if (zend_hash_find(EG(class_table), parent_name.c_str(), (uint)parent_name.size() + 1, (void **)&parent) != SUCCESS)
        zend_error(E_ERROR, "Class %s:  Cannot inherit from undefined class %s", name.c_str(), parent_name.c_str());
    if (!ce->parent) inherit_by_merge(ce, parent);
    zend_class_entry copy = *ce;
    if (copy.refcount) (*copy.refcount)++;
    if (zend_hash_add(EG(class_table), name.c_str(), (uint)name.size() + 1, &copy, sizeof(zend_class_entry),
                      nullptr) != SUCCESS) {
        if (copy.refcount) (*copy.refcount)--;
        zend_error(E_ERROR, "Cannot redeclare class %s", ce->name ? ce->name : name.c_str());
    }
}

void op_DECLARE_CLASS(frame &f, const zend_op *op) {
    zval *key = read(f, op->op1);
    zval *name = read(f, op->op2);
    zend_class_entry *ce;
    if (zend_hash_find(EG(class_table), key->value.str.val, (uint)key->value.str.len + 1, (void **)&ce) != SUCCESS)
        return;
    zend_class_entry copy = *ce;
    if (copy.refcount) (*copy.refcount)++;
    if (zend_hash_add(EG(class_table), name->value.str.val, (uint)name->value.str.len + 1, &copy,
                      sizeof(zend_class_entry), nullptr) != SUCCESS) {
        if (copy.refcount) (*copy.refcount)--;
        zend_error(E_ERROR, "Cannot redeclare class %s", ce->name ? ce->name : name->value.str.val);
    }
}

} // namespace zend::exec

/* ---- function values called from built-in code ---- */

namespace zend::exec {

namespace {

/* Fills `out` (the function copy counted, the object a counted reference)
 * when the value names something that exists. */
bool resolve_callable(const zval *callable, pending_call &out, std::string &name) {
    if (callable->type == IS_STRING) {
        name = string_of(const_cast<zval *>(callable));
        std::string lc = lower(name);
        zend_function *fn;
        if (zend_hash_find(EG(function_table), lc.c_str(), (uint)lc.size() + 1, (void **)&fn) != SUCCESS)
            return false;
        push_call_record(out, fn, nullptr);
        return true;
    }
    if (callable->type != IS_ARRAY || zend_hash_num_elements(callable->value.ht) != 2) {
        name = callable->type == IS_ARRAY ? "Array" : string_of(const_cast<zval *>(callable));
        return false;
    }
    zval **target, **method;
    if (zend_hash_index_find(callable->value.ht, 0, (void **)&target) != SUCCESS ||
        zend_hash_index_find(callable->value.ht, 1, (void **)&method) != SUCCESS ||
        (*method)->type != IS_STRING ||
        ((*target)->type != IS_OBJECT && (*target)->type != IS_STRING)) {
        name = "Array";
        return false;
    }
    std::string method_name = string_of(*method);
    zend_class_entry *ce = nullptr;
    if ((*target)->type == IS_OBJECT) {
        ce = (*target)->value.obj.ce;
    } else {
        std::string cls = lower(string_of(*target));
        if (zend_hash_find(EG(class_table), cls.c_str(), (uint)cls.size() + 1, (void **)&ce) != SUCCESS) ce = nullptr;
    }
    name = (ce && ce->name ? std::string(ce->name, ce->name_length) : string_of(*target)) + "::" + method_name;
    if (!ce) return false;
    zend_function *fn = find_method(ce, lower(method_name));
    if (!fn) return false;
    zval *object = nullptr;
    if ((*target)->type == IS_OBJECT) {
        /* $this is the array's object when it holds a reference, else a
         * copy of it, as the callback gets the object by value */
        if ((*target)->is_ref) {
            object = share(*target);
        } else {
            object = copy_value(*target);
            object->is_ref = 1;
        }
    }
    push_call_record(out, fn, object);
    return true;
}

/* Runs a resolved call with argv by value; consumes the call. */
zval *call_resolved(pending_call &call, int argc, zval **argv) {
    for (int i = 0; i < argc; i++) {
        zval *a = argv[i];
        /* a parameter taken by reference must not reach the caller's value */
        if (a->is_ref || argument_by_reference(&call.function, i)) {
            a = copy_value(a);
        } else {
            a = share(a);
        }
        call.args.push(a);
    }
    zval *rv = call.function.type == ZEND_INTERNAL_FUNCTION ? call_internal(call, true)
             : call.function.type == ZEND_USER_FUNCTION     ? call_user(call)
                                                            : new_value();
    drop_call(call);
    return unref(rv);
}

} // namespace

bool callable_exists(const zval *callable, std::string *name) {
    pending_call call;
    std::string text;
    bool found = resolve_callable(callable, call, text);
    if (found) drop_call(call);
    if (name) *name = text;
    return found;
}

zval *call_function_value(const zval *callable, int argc, zval **argv) {
    pending_call call;
    std::string name;
    if (!resolve_callable(callable, call, name)) return nullptr;
    return call_resolved(call, argc, argv);
}

zval *call_function_with_references(const zval *callable, int argc, zval **argv) {
    pending_call call;
    std::string name;
    if (!resolve_callable(callable, call, name)) return nullptr;
    for (int i = 0; i < argc; i++) {
        zval *a = argv[i];
        bool by_reference = argument_by_reference(&call.function, i);
        if (a->is_ref && by_reference) {
            a->refcount++; /* the parameter is bound to this very value */
        } else if (a->is_ref || by_reference) {
            a = copy_value(a);
        } else {
            a->refcount++;
        }
        call.args.push(a);
    }
    zval *rv = call.function.type == ZEND_INTERNAL_FUNCTION ? call_internal(call, true)
             : call.function.type == ZEND_USER_FUNCTION     ? call_user(call)
                                                            : new_value();
    drop_call(call);
    return unref(rv);
}

} // namespace zend::exec
