/* Rows of the information page (phpinfo). */
#ifndef PHP_INFO_H
#define PHP_INFO_H

#include "zend.h"

BEGIN_EXTERN_C()
ZEND_API void php_info_print_table_start(void);
ZEND_API void php_info_print_table_row(int num_cols, ...);
ZEND_API void php_info_print_table_end(void);
END_EXTERN_C()

#endif
