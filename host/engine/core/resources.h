/* The request's resource list: handles such as open files that scripts
 * hold as resource values (type IS_RESOURCE, the value an id).
 *
 * Ids count up from 1 in each request and are never reused within it. An
 * entry carries a reference count: copying a resource value raises it,
 * destroying one lowers it, and at zero the type's destructor frees the
 * handle. Closing (fclose) frees the handle at once whatever the count;
 * values that still name the id then find nothing. At request end every
 * remaining entry is destroyed, newest first, and the list starts again
 * empty: nothing in it outlives the request. */
#ifndef BRISKO_CORE_RESOURCES_H
#define BRISKO_CORE_RESOURCES_H

#include <cstddef>

#include "php.h"

namespace zend {

using resource_dtor = void (*)(void *handle);

/* A kind of resource, with the name get_resource_type() and var_dump()
 * show. Types live as long as the engine; the same name registered again
 * gives the same type. Returns the type's number (from 1). */
int register_resource_type(const char *name, resource_dtor dtor);

/* A new entry for handle, count 1; returns its id. */
long resource_insert(void *handle, int type);

/* The handle of a live entry and its type, or nullptr. */
void *resource_find(long id, int *type);

/* The type name of a live entry, or nullptr when it is gone. */
const char *resource_type_name(long id);

void resource_addref(long id);
/* Lowers the count; the handle is destroyed when it reaches zero. */
void resource_delete(long id);
/* Destroys the handle now; false when there is no such live entry. */
bool resource_close(long id);

/* A live handle of the expected type, or nullptr after the engine's
 * warning: "supplied argument is not a valid <name> resource" for a value
 * that is no resource, "<id> is not a valid <name> resource" for one that
 * was closed, "supplied resource is not a valid <name> resource" for one
 * of another type. */
void *fetch_resource(const zval *value, int type, const char *type_name);

/* Request end: destroys every entry left, newest first. */
void destroy_request_resources();

/* Live entries, for tests. */
std::size_t live_resource_count();

} // namespace zend

#endif
