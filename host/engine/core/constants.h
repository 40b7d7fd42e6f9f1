/* The constants table's life-cycle hooks. */
#ifndef BRISKO_CORE_CONSTANTS_H
#define BRISKO_CORE_CONSTANTS_H

namespace zend {

void drop_request_constants(); /* request end: define()d ones go */
void drop_all_constants();     /* engine shut-down */

} // namespace zend

#endif
