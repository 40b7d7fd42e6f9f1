/* Values the engine's testing facility has no maker for. */
#ifndef BRISKO_TEST_VALUES_H
#define BRISKO_TEST_VALUES_H

#include "php.h"

/* An object value without a class: deep copies turn objects into null
 * without looking inside. Request memory, reference count 1. */
inline zval *object_value()
{
    zval *obj;
    ALLOC_ZVAL(obj);
    obj->type = IS_OBJECT;
    obj->value.obj.ce = nullptr;
    obj->value.obj.properties = nullptr;
    obj->refcount = 1;
    obj->is_ref = 0;
    return obj;
}

#endif
