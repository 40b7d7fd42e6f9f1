/* Class inheritance as Zend Engine 1 does it (see classes.h). */
#include <string>

#include "core/classes.h"
#include "core/operators.h"

namespace zend {

namespace {

std::string lower_name(const zend_class_entry *ce) {
    std::string name(ce->name ? ce->name : "", ce->name ? ce->name_length : 0);
    for (char &ch : name)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + ('a' - 'A'));
    return name;
}

/* Adds the parent's string-keyed members the class does not have, in the
 * parent's order. */
void add_missing(zend_class_entry *ce, zend_class_entry *parent) {
    for (Bucket *p = parent->function_table.pListHead; p; p = p->pListNext) {
        if (p->nKeyLength == 0 || zend_hash_exists(&ce->function_table, p->arKey, p->nKeyLength)) continue;
        zend_function copy = *static_cast<zend_function *>(p->pData);
        function_add_ref(&copy);
        zend_hash_add(&ce->function_table, p->arKey, p->nKeyLength, &copy, sizeof(zend_function), nullptr);
    }
    for (Bucket *p = parent->default_properties.pListHead; p; p = p->pListNext) {
        if (p->nKeyLength == 0 || zend_hash_exists(&ce->default_properties, p->arKey, p->nKeyLength)) continue;
        zval **value = static_cast<zval **>(p->pData);
        zval_add_ref(value);
        zend_hash_add(&ce->default_properties, p->arKey, p->nKeyLength, value, sizeof(zval *), nullptr);
    }
}

} // namespace

void inherit_by_copy(zend_class_entry *ce, zend_class_entry *parent) {
    add_missing(ce, parent);
    ce->parent = parent;
}

void inherit_by_merge(zend_class_entry *ce, zend_class_entry *parent) {
    add_missing(ce, parent);
    ce->parent = parent;
    inherit_constructor(ce);
}

void inherit_constructor(zend_class_entry *ce) {
    zend_class_entry *parent = ce->parent;
    if (!parent) return;
    std::string own = lower_name(ce), theirs = lower_name(parent);
    if (zend_hash_exists(&ce->function_table, own.c_str(), (uint)own.size() + 1)) return;
    zend_function *ctor;
    if (zend_hash_find(&parent->function_table, theirs.c_str(), (uint)theirs.size() + 1, (void **)&ctor) != SUCCESS)
        return;
    zend_function copy = *ctor;
    function_add_ref(&copy);
    zend_hash_update(&ce->function_table, own.c_str(), (uint)own.size() + 1, &copy, sizeof(zend_function), nullptr);
}

bool method_is_inherited(const zend_class_entry *ce, const char *key, uint key_length) {
    zend_function *mine, *theirs;
    if (!ce->parent) return false;
    if (zend_hash_find(const_cast<HashTable *>(&ce->function_table), key, key_length, (void **)&mine) != SUCCESS ||
        zend_hash_find(&ce->parent->function_table, key, key_length, (void **)&theirs) != SUCCESS)
        return false;
    return mine->type == ZEND_USER_FUNCTION && theirs->type == ZEND_USER_FUNCTION && mine->op_array.refcount &&
           mine->op_array.refcount == theirs->op_array.refcount;
}

} // namespace zend
