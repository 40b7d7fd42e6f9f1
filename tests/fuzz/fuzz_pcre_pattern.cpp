// libFuzzer target: the first line of the input is a delimited pattern
// with modifiers, the rest a subject. The pattern goes through the preg_*
// built-ins as a script would use it (match all with offsets, replace with
// references, split with every flag, grep), inside one request per input.
// Nothing may crash, hang or read out of bounds, and the subject quoted by
// preg_quote must always match itself.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "engine.h"
#include "engine_testing.h"

using namespace zend::testing;

static void discard(const char *, size_t) {}

static void drop(call_result &r)
{
    if (r.value) release(r.value);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool started = [] {
        zend::set_output_sink(discard);
        return zend::engine_startup();
    }();
    if (!started) return 0;
    std::string input(reinterpret_cast<const char *>(data), size);
    size_t newline = input.find('\n');
    std::string pattern = input.substr(0, newline);
    std::string subject = newline == std::string::npos ? std::string() : input.substr(newline + 1);

    zend::request_startup();
    {
        zval *matches = make_null();
        call_result r = call_function("preg_match_all", {make_string(pattern), make_string(subject), matches,
                                                         make_long(2 | 256)});
        drop(r);
        r = call_function("preg_replace", {make_string(pattern), make_string("<$1\\2${3}$0>"), make_string(subject),
                                           make_long(50)});
        drop(r);
        r = call_function("preg_split", {make_string(pattern), make_string(subject), make_long(-1), make_long(7)});
        drop(r);
        zval *list = make_array();
        array_append(list, make_string(subject));
        array_append(list, make_string(pattern));
        r = call_function("preg_grep", {make_string(pattern), list, make_long(1)});
        drop(r);

        call_result quoted = call_function("preg_quote", {make_string(subject), make_string("/")});
        if (!quoted.value || quoted.value->type != IS_STRING) __builtin_trap();
        std::string self = "/" + std::string(quoted.value->value.str.val, quoted.value->value.str.len) + "/";
        call_result m = call_function("preg_match", {make_string(self), make_string(subject)});
        if (!m.value || m.value->type != IS_LONG || m.value->value.lval != 1) __builtin_trap();
    }
    zend::request_shutdown();
    return 0;
}
