/* create_function(args, code): a function made at run time. The text
 * "function __lambda_func(ARGS){CODE}" is compiled as eval() compiles
 * code, which declares __lambda_func; the function is then moved to the
 * name "\0lambda_N" (N counting up within the request), which is
 * returned. The leading NUL keeps the name out of reach of ordinary
 * calls by name; $f() and call_user_func($f) find it. */
#include <string>

#include "builtins.h"
#include "engine.h"
#include "executor/executor.h"

namespace {

constexpr char temporary_name[] = "__lambda_func";

} // namespace

ZEND_FUNCTION(create_function)
{
    using namespace zend::exec;
    std::string parameters, body;
    if (!zend::builtins::parse_args(ZEND_NUM_ARGS(), "ss", &parameters, &body)) return;
    std::string code = std::string("function ") + temporary_name + "(" + parameters + "){" + body + "}";

    const frame *caller = state.current;
    std::string where = caller ? compiled_string_description(*caller, caller->current, "runtime-created function")
                               : std::string("Unknown(0) : runtime-created function");
    HashTable *scope = caller && caller->symbol_table ? caller->symbol_table : &EG(symbol_table);
    zval *result = eval_string(code, where.c_str(), scope, caller ? caller->this_ptr : nullptr);
    if (!result) RETURN_FALSE;
    zval_ptr_dtor(&result);

    zend_function *made;
    if (zend_hash_find(EG(function_table), temporary_name, sizeof temporary_name, (void **)&made) != SUCCESS) {
        zend_error(E_ERROR, "Unexpected inconsistency in create_function()");
        RETURN_FALSE;
    }
    zend_function copy = *made;
    function_add_ref(&copy);
    std::string name;
    do {
        name = std::string(1, '\0') + "lambda_" + std::to_string(++state.lambda_count);
    } while (zend_hash_add(EG(function_table), name.data(), static_cast<uint>(name.size() + 1), &copy,
                           sizeof(zend_function), nullptr) != SUCCESS);
    zend_hash_del(EG(function_table), temporary_name, sizeof temporary_name);
    RETURN_STRINGL(name.data(), static_cast<uint>(name.size()), 1);
}
