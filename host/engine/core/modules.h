/* The module registry and the loaded Zend extensions, as the life-cycle
 * code walks them. */
#ifndef BRISKO_CORE_MODULES_H
#define BRISKO_CORE_MODULES_H

#include <vector>

#include "php.h"

namespace zend {

/* Loaded Zend extensions, in load order; the records stay in place. */
const std::vector<zend_extension *> &zend_extensions();

/* Engine shut-down: every started module's shut-down (reverse order),
 * then every extension's; the registry is emptied so the engine can start
 * again in the same process. */
void shutdown_modules_and_extensions();

} // namespace zend

#endif
