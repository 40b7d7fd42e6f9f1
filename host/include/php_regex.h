/* POSIX regular expressions as PHP 4's bundled library accepted them: a "{"
 * not followed by a digit is an ordinary character. Matching is
 * leftmost-longest; offsets are relative to the text. */
#ifndef PHP_REGEX_H
#define PHP_REGEX_H

#include <regex.h>
#include "zend_types.h"

BEGIN_EXTERN_C()
ZEND_API int php_regcomp(regex_t *preg, const char *pattern, int cflags);
ZEND_API int php_regexec(const regex_t *preg, const char *string, size_t nmatch, regmatch_t pmatch[], int eflags);
ZEND_API void php_regfree(regex_t *preg);
END_EXTERN_C()

#endif
