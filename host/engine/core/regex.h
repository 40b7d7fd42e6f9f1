/* The pattern rewriting behind php_regcomp, exposed for tests. */
#ifndef BRISKO_CORE_REGEX_H
#define BRISKO_CORE_REGEX_H

#include <string>

namespace zend {

/* Escapes every brace that neither opens nor closes a bound ("{" + digit
 * ... "}"), outside bracket expressions. */
std::string translate_braces(const char *pattern);

} // namespace zend

#endif
