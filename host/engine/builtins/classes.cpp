/* Class relations and callables: is_a, is_subclass_of, get_class_vars,
 * is_callable. Class names compare without regard to case, as the class
 * table keys them; they come back lower-cased, as this engine generation
 * shows them. */
#include <cstring>

#include "builtins.h"
#include "engine.h"
#include "executor/executor.h"

using namespace zend::builtins;

namespace {

bool same_name(const zend_class_entry *ce, const std::string &lower_name)
{
    return ce && ce->name && lowercase(ce->name) == lower_name;
}

/* Whether the object's class (or, with only_parents, one of its
 * ancestors alone) is the named class. */
void class_relation(INTERNAL_FUNCTION_PARAMETERS, bool only_parents)
{
    zval *object;
    std::string name;
    if (!parse_args(ZEND_NUM_ARGS(), "zs", &object, &name))
        return;
    if (object->type != IS_OBJECT)
        RETURN_FALSE;
    name = lowercase(name);
    const zend_class_entry *ce = object->value.obj.ce;
    if (only_parents && ce)
        ce = ce->parent;
    for (; ce; ce = ce->parent)
        if (same_name(ce, name))
            RETURN_TRUE;
    RETURN_FALSE;
}

} // namespace

ZEND_FUNCTION(is_a) { class_relation(INTERNAL_FUNCTION_PARAM_PASSTHRU, false); }
ZEND_FUNCTION(is_subclass_of) { class_relation(INTERNAL_FUNCTION_PARAM_PASSTHRU, true); }

/* get_class_vars(name): the default values of the class's properties,
 * constants in them resolved; false for a class that does not exist. */
ZEND_FUNCTION(get_class_vars)
{
    std::string key;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &key))
        return;
    key = lowercase(key);
    zend_class_entry *ce = nullptr;
    HashTable *classes = EG(class_table) ? EG(class_table) : CG(class_table);
    if (!classes || zend_hash_find(classes, key.c_str(), static_cast<uint>(key.size() + 1), (void **)&ce) != SUCCESS)
        RETURN_FALSE;
    array_init(return_value);
    for (const element &e : elements(&ce->default_properties)) {
        zval *value = zend::exec::resolve_constant_copy(*e.data);
        if (e.string_key)
            array_put(return_value->value.ht, e.key, value);
        else
            array_put(return_value->value.ht, e.index, value);
    }
}

namespace {

/* The name a callable goes by: the function name, "class::method", or
 * the value as text. */
std::string callable_name(const zval *callable)
{
    if (callable->type == IS_STRING)
        return to_string(callable);
    if (callable->type != IS_ARRAY)
        return to_string(callable);
    zval **target, **method;
    HashTable *ht = callable->value.ht;
    if (zend_hash_num_elements(ht) != 2 || zend_hash_index_find(ht, 0, (void **)&target) != SUCCESS ||
        zend_hash_index_find(ht, 1, (void **)&method) != SUCCESS || (*method)->type != IS_STRING ||
        ((*target)->type != IS_OBJECT && (*target)->type != IS_STRING))
        return "Array";
    std::string cls = (*target)->type == IS_STRING
                          ? to_string(*target)
                          : lowercase((*target)->value.obj.ce && (*target)->value.obj.ce->name
                                          ? (*target)->value.obj.ce->name
                                          : "stdClass");
    return cls + "::" + to_string(*method);
}

/* Whether the value has a callable's shape, whatever it names. */
bool callable_syntax(const zval *callable)
{
    return callable->type == IS_STRING || (callable->type == IS_ARRAY && callable_name(callable) != "Array");
}

} // namespace

/* is_callable(value [, syntax_only [, &name]]) */
ZEND_FUNCTION(is_callable)
{
    zval *callable, *callable_name_out = nullptr;
    bool syntax_only = false;
    if (!parse_args(ZEND_NUM_ARGS(), "z|bz", &callable, &syntax_only, &callable_name_out))
        return;
    bool result = syntax_only ? callable_syntax(callable) : zend::user_callable_exists(callable, nullptr);
    if (callable_name_out) {
        std::string name = callable_name(callable);
        zval_dtor(callable_name_out);
        callable_name_out->type = IS_STRING;
        callable_name_out->value.str.len = static_cast<int>(name.size());
        callable_name_out->value.str.val = estrndup(name.data(), static_cast<uint>(name.size()));
    }

    RETURN_BOOL(result);
}
