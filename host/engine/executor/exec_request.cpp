/* The executor's part of a request: running the main script, where errors
 * say they happened, and resetting everything the executor keeps between
 * ops (statics, the included-files list, the frame chain) at request
 * start and end, fatal error or not. */
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "executor/executor.h"

namespace zend::exec {

request_state state;

void note_included(const std::string &path) {
    if (state.included_files.insert(path).second) state.included_order.push_back(path);
}

/* A main script may start with "#!interpreter": that line is not part
 * of the page. The file is left after it and the compiler counts the next
 * line as line 2. */
static void skip_interpreter_line(FILE *fp) {
    if (!fp) return;
    int first = std::fgetc(fp), second = first == '#' ? std::fgetc(fp) : EOF;
    if (first != '#' || second != '!') {
        std::rewind(fp);
        return;
    }
    int c;
    do {
        c = std::fgetc(fp);
    } while (c != EOF && c != '\n' && c != '\r');
    if (c == '\r') {
        c = std::fgetc(fp);
        if (c != '\n' && c != EOF) std::ungetc(c, fp);
    }
    compile_first_line = 2;
}

namespace {

void execution_position(const char **filename, int *lineno) {
    const frame *f = state.current;
    if (!f || !f->op_array) {
        *filename = nullptr;
        *lineno = 0;
        return;
    }
    *filename = f->op_array->filename;
    *lineno = f->current ? (int)f->current->lineno : 0;
}

void drop_statics() {
    for (auto &entry : state.statics) {
        zend_hash_destroy(entry.second);
        FREE_HASHTABLE(entry.second);
    }
    state.statics.clear();
}

} // namespace

zend_class_entry *standard_class() {
    zend_class_entry *ce;
    if (zend_hash_find(CG(class_table), "stdclass", sizeof "stdclass", (void **)&ce) == SUCCESS) return ce;
    /* an internal class: it lives in the engine's tables across requests */
    zend_class_entry entry;
    std::memset(&entry, 0, sizeof entry);
    entry.type = ZEND_INTERNAL_CLASS;
    entry.name = strdup("stdClass");
    entry.name_length = 8;
    entry.refcount = (int *)std::malloc(sizeof(int));
    if (!entry.name || !entry.refcount) zend_error(E_ERROR, "Out of memory");
    *entry.refcount = 1;
    zend_hash_init(&entry.function_table, 0, nullptr, (dtor_func_t)destroy_zend_function, 1);
    zend_hash_init(&entry.default_properties, 0, nullptr, (dtor_func_t)_zval_ptr_dtor, 1);
    zend_hash_add(CG(class_table), "stdclass", sizeof "stdclass", &entry, sizeof entry, (void **)&ce);
    return ce;
}

} // namespace zend::exec

namespace zend {

void executor_request_startup() {
    using exec::state;
    state.current = nullptr;
    exec::drop_prepared_code();
    exec::reset_frame_memory();
    /* call sites remember functions and classes */
    if (EG(function_table)) watch_table(EG(function_table));
    if (EG(class_table)) watch_table(EG(class_table));
    exec::drop_statics();
    state.included_files.clear();
    state.included_order.clear();
    if (!state.active) state.previous_provider = set_position_provider(exec::execution_position);
    state.active = true;
    state.lambda_count = 0;
    if (CG(class_table)) exec::standard_class();
    /* $GLOBALS: an array whose table is the global symbol table itself, a
     * reference so that writes through it reach the globals; destroying
     * and copying values leave that table alone */
    zval *globals;
    ALLOC_ZVAL(globals);
    globals->type = IS_ARRAY;
    globals->value.ht = &EG(symbol_table);
    globals->refcount = 1;
    globals->is_ref = 1;
    zend_hash_update(&EG(symbol_table), "GLOBALS", sizeof "GLOBALS", &globals, sizeof(zval *), nullptr);
}

const std::vector<std::string> &included_files() { return exec::state.included_order; }

void executor_request_shutdown() {
    using exec::state;
    /* After a fatal error frames were abandoned mid-run: their values die
     * with request memory; only the executor's own records are reset. */
    state.current = nullptr;
    exec::drop_prepared_code();
    exec::reset_frame_memory();
    exec::drop_statics();
    state.included_files.clear();
    state.included_order.clear();
    if (state.active) set_position_provider(state.previous_provider);
    state.previous_provider = nullptr;
    state.active = false;
}

int execute_script(const char *filename) {
    using exec::state;
    try {
        zend_file_handle handle;
        std::memset(&handle, 0, sizeof handle);
        if (!filename || !open_file_for_include(filename, &handle)) {
            std::string message = std::string("Could not open input file: ") + (filename ? filename : "") + "\n";
            zend_write(message.data(), (uint)message.size());
            set_exit_status(1);
            return exit_status();
        }
        if (handle.opened_path) exec::note_included(handle.opened_path);
        exec::skip_interpreter_line(handle.handle.fp);
        zend_op_array *oa = zend_compile_file(&handle, ZEND_REQUIRE); /* closes the file */
        compile_first_line = 1;
        if (!oa) {
            set_exit_status(255);
            return exit_status();
        }
        zval *rv = exec::run_in_scope(oa, &EG(symbol_table), nullptr);
        zval_ptr_dtor(&rv);
        destroy_op_array(oa);
        efree(oa);
    } catch (const bailout &) {
        /* exit or a fatal error: the request ends here */
    }
    compile_first_line = 1;
    state.current = nullptr;
    if (silence_depth > 0) settings.error_reporting = silence_outer_level; /* ended inside "@" */
    silence_depth = 0;
    return exit_status();
}

} // namespace zend
