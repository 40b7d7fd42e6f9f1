/* Engine and request life cycle, and the destructors of compiled code.
 *
 * Engine start-up makes the function and class tables (persistent: they
 * live as long as the engine) and registers the built-in module. A request
 * brackets one script run: at its end the script's shutdown functions run
 * and its output buffers are flushed, the output goes out, then the
 * modules' request hooks run, user code, the request's variables and its
 * resources are destroyed, and every block of request memory is given
 * back. */
#include <cstdlib>

#include "core/allocator.h"
#include "core/constants.h"
#include "core/modules.h"
#include "core/resources.h"
#include "engine.h"

namespace zend {

counters_t counters;
settings_t settings;

namespace {

bool engine_started = false;
bool in_request = false;
settings_t configured; /* the settings as the request found them: a script's changes last one request */
response_writer deliver_response = nullptr;

HashTable *new_persistent_table(dtor_func_t destructor) {
    auto *ht = static_cast<HashTable *>(std::malloc(sizeof(HashTable)));
    if (!ht) return nullptr;
    if (zend_hash_init(ht, 64, nullptr, destructor, 1) == FAILURE) {
        std::free(ht);
        return nullptr;
    }
    return ht;
}

void free_persistent_table(HashTable *ht) {
    if (!ht) return;
    zend_hash_destroy(ht);
    std::free(ht);
}

int is_user_function(void *data) {
    return static_cast<zend_function *>(data)->type == ZEND_USER_FUNCTION ? ZEND_HASH_APPLY_REMOVE
                                                                          : ZEND_HASH_APPLY_KEEP;
}

int is_user_class(void *data) {
    return static_cast<zend_class_entry *>(data)->type == ZEND_USER_CLASS ? ZEND_HASH_APPLY_REMOVE
                                                                         : ZEND_HASH_APPLY_KEEP;
}

/* Module hooks may end the request with a fatal error; that ends only
 * the hook. */
template <typename F> void guarded(F f) {
    try {
        f();
    } catch (const bailout &) {
    }
}

} // namespace

bool request_active() { return in_request; }

void set_response_writer(response_writer writer) { deliver_response = writer; }

bool engine_startup() {
    if (engine_started) return true;
    CG(function_table) = new_persistent_table((dtor_func_t)destroy_zend_function);
    CG(class_table) = new_persistent_table((dtor_func_t)destroy_zend_class);
    if (!CG(function_table) || !CG(class_table)) {
        free_persistent_table(CG(function_table));
        free_persistent_table(CG(class_table));
        CG(function_table) = CG(class_table) = nullptr;
        return false;
    }
    EG(function_table) = CG(function_table);
    EG(class_table) = CG(class_table);
    engine_started = true;
    bool ok = false;
    guarded([&] { ok = zend_startup_module(builtin_module()) == SUCCESS; });
    return ok;
}

void engine_shutdown() {
    if (!engine_started) return;
    if (in_request) request_shutdown();
    shutdown_modules_and_extensions();
    free_persistent_table(CG(function_table));
    free_persistent_table(CG(class_table));
    CG(function_table) = CG(class_table) = nullptr;
    EG(function_table) = EG(class_table) = nullptr;
    drop_all_constants();
    flush_output();
    /* Anything allocated between requests goes now. */
    release_request_memory();
    engine_started = false;
}

void request_startup() {
    if (in_request) request_shutdown();
    counters.requests++;
    counters.compilations_at_request_start = counters.compilations;
    in_request = true;
    configured = settings;
    reset_response();
    set_exit_status(0);
    silence_depth = 0;
    current_call = internal_call{};
    zend_hash_init(&EG(symbol_table), 64, nullptr, (dtor_func_t)_zval_ptr_dtor, 0);
    EG(active_symbol_table) = &EG(symbol_table);
    for (zend_extension *extension : zend_extensions())
        if (extension->activate) guarded([&] { extension->activate(); });
    guarded([] { executor_request_startup(); });
    for (zend_module_entry *module : modules())
        if (module->module_started && module->request_startup_func)
            guarded([&] { module->request_startup_func(MODULE_PERSISTENT, module->module_number); });
    start_time_limit(settings.max_execution_time);
}

void request_shutdown() {
    if (!in_request) return;
    guarded([] { run_shutdown_functions(); });
    guarded([] { end_output_buffers(); });
    discard_output_buffers();
    /* Shutdown functions and output handlers ran under the time limit. */
    stop_time_limit();
    /* The response is complete, and delivered, before any end hook runs:
     * one of them may end the process. */
    flush_output();
    /* Uploads nobody moved go before the response does, so a client that
     * has its answer finds them gone. */
    remove_uploaded_files();
    if (deliver_response) guarded([] { deliver_response(); });
    for (zend_module_entry *module : modules())
        if (module->module_started && module->request_shutdown_func)
            guarded([&] { module->request_shutdown_func(MODULE_PERSISTENT, module->module_number); });
    for (zend_extension *extension : zend_extensions())
        if (extension->deactivate) guarded([&] { extension->deactivate(); });
    guarded([] { executor_request_shutdown(); });
    guarded([] {
        if (EG(symbol_table).arBuckets) zend_hash_destroy(&EG(symbol_table));
    });
    EG(active_symbol_table) = nullptr;
    drop_user_error_handlers();
    guarded([] { destroy_request_resources(); });
    guarded([] {
        if (CG(function_table)) zend_hash_apply(CG(function_table), is_user_function);
        if (CG(class_table)) zend_hash_apply(CG(class_table), is_user_class);
    });
    drop_request_constants();
    current_call = internal_call{};
    silence_depth = 0;
    settings = configured;
    flush_output();
    release_request_memory();
    in_request = false;
}

const settings_t &request_start_settings() { return configured; }

} // namespace zend

using namespace zend;

extern "C" {

ZEND_API void destroy_op_array(zend_op_array *op_array) {
    if (!op_array) return;
    if (op_array->refcount && --(*op_array->refcount) > 0) return;
    for (zend_extension *extension : zend_extensions())
        if (extension->op_array_dtor) extension->op_array_dtor(op_array);
    if (op_array->opcodes) {
        executor_forget_code(op_array);
        for (zend_uint i = 0; i < op_array->last; i++) {
            zend_op *op = &op_array->opcodes[i];
            if (op->op1.op_type == IS_CONST) _zval_dtor(&op->op1.u.constant);
            if (op->op2.op_type == IS_CONST) _zval_dtor(&op->op2.u.constant);
        }
        efree(op_array->opcodes);
        op_array->opcodes = nullptr;
    }
    if (op_array->function_name) efree(op_array->function_name);
    if (op_array->arg_types) efree(op_array->arg_types);
    if (op_array->brk_cont_array) efree(op_array->brk_cont_array);
    if (op_array->static_variables) {
        zend_hash_destroy(op_array->static_variables);
        FREE_HASHTABLE(op_array->static_variables);
    }
    if (op_array->filename) efree(op_array->filename);
    if (op_array->refcount) efree(op_array->refcount);
    op_array->function_name = nullptr;
    op_array->arg_types = nullptr;
    op_array->brk_cont_array = nullptr;
    op_array->static_variables = nullptr;
    op_array->filename = nullptr;
    op_array->refcount = nullptr;
}

ZEND_API void destroy_zend_function(zend_function *function) {
    if (function && function->type == ZEND_USER_FUNCTION) destroy_op_array(&function->op_array);
}

ZEND_API void destroy_zend_class(zend_class_entry *ce) {
    if (!ce) return;
    if (ce->refcount && --(*ce->refcount) > 0) return;
    zend_hash_destroy(&ce->function_table);
    zend_hash_destroy(&ce->default_properties);
    if (ce->type == ZEND_USER_CLASS) {
        if (ce->name) efree(ce->name);
        if (ce->refcount) efree(ce->refcount);
    } else {
        std::free(ce->name);
        std::free(ce->refcount);
    }
    ce->name = nullptr;
    ce->refcount = nullptr;
}

/* A table copy's element constructor: the element gets a private copy
 * of the value it was given. */
static void copy_value_ctor(void *element) {
    zval **slot = static_cast<zval **>(element);
    zval *copy;
    ALLOC_ZVAL(copy);
    *copy = **slot;
    zval_copy_ctor(copy);
    INIT_PZVAL(copy);
    *slot = copy;
}

/* One more holder of an op array, as a class that inherits a method or a
 * declaration that binds a function makes one. As in Zend Engine 1, the
 * new holder gets static variables of its own: a table of its own holding
 * copies of the initial values (the executor keeps a request's values by
 * that table). Calls count their op array without this. */
ZEND_API void function_add_ref(zend_function *function) {
    if (!function || function->type != ZEND_USER_FUNCTION) return;
    zend_op_array *op_array = &function->op_array;
    if (op_array->refcount) (*op_array->refcount)++;
    if (op_array->static_variables) {
        HashTable *initial = op_array->static_variables;
        ALLOC_HASHTABLE(op_array->static_variables);
        zend_hash_init(op_array->static_variables, zend_hash_num_elements(initial), nullptr,
                       (dtor_func_t)_zval_ptr_dtor, 0);
        zval *tmp;
        zend_hash_copy(op_array->static_variables, initial, copy_value_ctor, &tmp, sizeof(zval *));
    }
}

} // extern "C"
