// A Zend extension built against a later engine API (20020429): the loader
// must refuse it before calling anything in it.
#include <cstdlib>

#include "php.h"

extern "C" {

static int bad_api_startup(zend_extension *)
{
    // Reaching this means the loader did not check the API number.
    std::abort();
}

ZEND_DLEXPORT zend_extension_version_info extension_version_info = {20020429, "1.2.0", 0, 0};

ZEND_DLEXPORT zend_extension zend_extension_entry = {
    "Bad API", "0.1", "tests", "", "", bad_api_startup,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0,
};

}
