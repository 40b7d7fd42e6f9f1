/* String built-ins. Lengths are byte counts; strings may hold NUL bytes. */
#include <algorithm>
#include <cctype>
#include <cstring>

#include "builtins.h"
#include "engine.h"

using zend::builtins::fetch_args;
using zend::builtins::to_long;
using zend::builtins::to_string;

namespace {

[[maybe_unused]] void return_string(zval *return_value, const std::string &s)
{
    RETVAL_STRINGL(s.data(), static_cast<uint>(s.size()), 1);
}

} // namespace

ZEND_FUNCTION(strlen)
{
    std::vector<zval **> args;
    if (!fetch_args(ZEND_NUM_ARGS(), 1, 1, args))
        return;
    convert_to_string_ex(args[0]);
    RETURN_LONG(Z_STRLEN_P(*args[0]));
}
