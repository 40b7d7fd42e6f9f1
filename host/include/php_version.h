/* The PHP release this engine behaves as: PHP_VERSION, phpversion(), the
 * standard module's version, phpinfo() and the server's X-Powered-By all
 * read it from here. */
#ifndef PHP_VERSION_H
#define PHP_VERSION_H

#define PHP_MAJOR_VERSION 4
#define PHP_MINOR_VERSION 3
#define PHP_RELEASE_VERSION 11
#define PHP_EXTRA_VERSION ""
#define PHP_VERSION "4.3.11"

#endif
