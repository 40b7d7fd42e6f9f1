/* Rows of the information page, in the text form of the command-line
 * interface: a table starts with an empty line, each row is its cells
 * joined by " => ", and the end of a table prints nothing (the next
 * table's start gives the separation). */
#include <cstdarg>
#include <string>

#include "php_info.h"

extern "C" {

ZEND_API void php_info_print_table_start(void) { zend_write("\n", 1); }

ZEND_API void php_info_print_table_row(int num_cols, ...) {
    std::string row;
    va_list args;
    va_start(args, num_cols);
    for (int i = 0; i < num_cols; i++) {
        const char *cell = va_arg(args, const char *);
        if (i) row += " => ";
        row += cell ? cell : "";
    }
    va_end(args);
    row += "\n";
    zend_write(row.data(), (uint)row.size());
}

ZEND_API void php_info_print_table_end(void) {}

} // extern "C"
