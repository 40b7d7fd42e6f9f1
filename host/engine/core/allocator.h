/* The engine's side of the per-request allocator. */
#ifndef BRISKO_CORE_ALLOCATOR_H
#define BRISKO_CORE_ALLOCATOR_H

#include <cstddef>

namespace zend {

/* Gives back every block still live, emptying the free lists first. Called
 * at request end (and engine shut-down); every request pointer dies. */
void release_request_memory();

} // namespace zend

#endif
