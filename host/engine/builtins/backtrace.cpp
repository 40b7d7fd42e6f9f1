/* debug_backtrace(): the running user functions, innermost first, each
 * with where it was called from (file, line), its name, the class of the
 * object a method runs on ("class" and the "->" type, the name lower-cased
 * as this engine generation shows class names) and copies of its
 * arguments. Included and eval()'d code shows as a frame of its own,
 * named after the statement ("include", "require_once", "eval", ...), the
 * included file as its argument. The main script is no frame. */
#include <cstring>
#include <string>

#include "builtins.h"
#include "engine.h"
#include "executor/executor.h"

using namespace zend::builtins;

namespace {

const char *statement_name(long type)
{
    switch (type) {
    case ZEND_EVAL: return "eval";
    case ZEND_INCLUDE: return "include";
    case ZEND_INCLUDE_ONCE: return "include_once";
    case ZEND_REQUIRE: return "require";
    case ZEND_REQUIRE_ONCE: return "require_once";
    default: return nullptr;
    }
}

zval *new_array()
{
    zval *a;
    ALLOC_ZVAL(a);
    INIT_PZVAL(a);
    array_init(a);
    return a;
}

} // namespace

ZEND_FUNCTION(debug_backtrace)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    array_init(return_value);
    for (const zend::exec::frame *f = zend::exec::state.current; f; f = f->prev) {
        const zend::exec::frame *caller = f->prev;
        const zend_op *call = caller ? caller->current : nullptr;
        const char *function = f->op_array ? f->op_array->function_name : nullptr;
        const char *statement = nullptr;
        if (!function) {
            if (!call || call->opcode != zend::ZEND_INCLUDE_OR_EVAL)
                continue; /* the main script, or code the engine runs itself */
            statement = statement_name(static_cast<long>(call->extended_value));
            if (!statement)
                continue;
        }
        zval *entry = new_array();
        HashTable *e = entry->value.ht;
        if (caller && caller->op_array && caller->op_array->filename && call) {
            array_put(e, "file", new_string(caller->op_array->filename));
            array_put(e, "line", new_long(static_cast<long>(call->lineno)));
        }
        if (function) {
            array_put(e, "function", new_string(function));
            if (f->this_ptr && f->this_ptr->type == IS_OBJECT && f->this_ptr->value.obj.ce &&
                f->this_ptr->value.obj.ce->name) {
                array_put(e, "class", new_string(lowercase(f->this_ptr->value.obj.ce->name)));
                array_put(e, "type", new_string("->"));
            }
            zval *args = new_array();
            for (int i = 0; i < f->argc; i++)
                if (f->args && f->args[i])
                    array_append(args->value.ht, copy_of(f->args[i]));
            array_put(e, "args", args);
        } else {
            array_put(e, "function", new_string(statement));
            if (call->extended_value != ZEND_EVAL && f->op_array->filename) {
                zval *args = new_array();
                array_append(args->value.ht, new_string(f->op_array->filename));
                array_put(e, "args", args);
            }
        }
        array_append(return_value->value.ht, entry);
    }
}
