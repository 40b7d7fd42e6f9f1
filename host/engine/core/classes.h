/* Class inheritance as Zend Engine 1 does it.
 *
 * A class whose parent is known when it is compiled starts from a copy of
 * the parent's methods and default values (inherit_by_copy); its own
 * members then replace inherited ones in place or follow them. A class
 * whose parent is not known yet is bound when its declaration runs: the
 * parent's members it lacks are added after its own (inherit_by_merge).
 * Either way a class without a constructor of its own takes its parent's
 * under its own name (inherit_constructor). Inherited methods share the
 * parent's op arrays (their counter raised, statics of their own);
 * inherited default values are the parent's very values, one more
 * reference each. */
#ifndef BRISKO_CORE_CLASSES_H
#define BRISKO_CORE_CLASSES_H

#include "php.h"

namespace zend {

void inherit_by_copy(zend_class_entry *ce, zend_class_entry *parent);
void inherit_by_merge(zend_class_entry *ce, zend_class_entry *parent);
void inherit_constructor(zend_class_entry *ce);

/* Whether the class's method under this key is its parent's (shares the
 * parent's op array under the same key). */
bool method_is_inherited(const zend_class_entry *ce, const char *key, uint key_length);

} // namespace zend

#endif
