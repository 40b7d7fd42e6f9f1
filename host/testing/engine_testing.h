/* Calling an internal function by name from C++ tests, as a script would:
 * the arguments go through the engine's argument stack, the function's
 * output and the errors it raises are captured. Needs an active request. */
#ifndef BRISKO_ENGINE_TESTING_H
#define BRISKO_ENGINE_TESTING_H

#include <string>
#include <vector>

#include "engine.h"

namespace zend::testing {

struct error_record {
    int type;
    std::string message;
};

struct call_result {
    bool found = false;       /* the function exists */
    zval *value = nullptr;    /* return value, request memory; null type when none */
    std::string output;       /* what the call wrote with zend_write */
    std::vector<error_record> errors;
    bool bailed_out = false;  /* a fatal error ended the call */
};

/* Arguments are passed as the script would pass variables: each zval* is
 * sent with its reference count raised by one, so a conversion in place
 * separates it unless it is a reference. */
call_result call_function(const char *name, const std::vector<zval *> &args);

/* Value makers, request memory, reference count 1. */
zval *make_null();
zval *make_long(long v);
zval *make_double(double v);
zval *make_bool(bool v);
zval *make_string(const std::string &s);
zval *make_array();                     /* empty array */
void array_set(zval *array, const std::string &key, zval *value);
void array_set(zval *array, long index, zval *value);
void array_append(zval *array, zval *value);
void release(zval *z);                  /* zval_ptr_dtor */

/* Renders a value the way var_dump does, for assertions. */
std::string dump(const zval *z);

/* RAII: engine started (without extensions) and one request active. */
struct request_scope {
    request_scope();
    ~request_scope();
    request_scope(const request_scope &) = delete;
    request_scope &operator=(const request_scope &) = delete;

private:
    bool started_engine; /* shut the engine down again at the end */
};

} // namespace zend::testing

#endif
