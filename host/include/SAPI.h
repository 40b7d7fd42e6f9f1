/* The server interface module that drives the engine. */
#ifndef SAPI_H
#define SAPI_H

#include "zend_types.h"

typedef struct _sapi_module_struct {
    const char *name;             /* "cli", "cgi", or the web server's name */
    const char *pretty_name;
} sapi_module_struct;

BEGIN_EXTERN_C()
ZEND_API extern sapi_module_struct sapi_module;
END_EXTERN_C()

#endif
