// libFuzzer target: any bytes as serialized text, read as unserialize()
// and session_decode() read it, inside one request per input. Whatever is
// read must write back to text that reads again to the same text; nothing
// may crash, hang, leak or read out of bounds, and a failure must stop
// inside the text.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "builtins/serialize.h"
#include "builtins/session.h"
#include "engine.h"

static void discard(const char *, size_t) {}

static std::string written(zval *z)
{
    std::string out;
    zend::builtins::value_writer writer;
    writer.write(out, z);
    return out;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool started = [] {
        zend::set_output_sink(discard);
        return zend::engine_startup();
    }();
    if (!started) return 0;
    zend::request_startup();
    const char *text = reinterpret_cast<const char *>(data);
    {
        zend::builtins::value_reader reader;
        size_t pos = 0;
        zval *z = reader.read(text, size, pos);
        if (pos > size) __builtin_trap();
        if (z) {
            std::string once = written(z);
            zend::builtins::value_reader again;
            size_t pos2 = 0;
            zval *z2 = again.read(once.data(), once.size(), pos2);
            if (!z2 || pos2 != once.size()) __builtin_trap();
            if (written(z2) != once) __builtin_trap();
            zval_ptr_dtor(&z2);
            zval_ptr_dtor(&z);
        }
    }
    {
        zval *vars;
        ALLOC_ZVAL(vars);
        INIT_PZVAL(vars);
        array_init(vars);
        zend::builtins::session::decode(std::string(text, size), vars->value.ht);
        std::string encoded = zend::builtins::session::encode(vars->value.ht);
        zval_ptr_dtor(&vars);
    }
    zend::request_shutdown();
    return 0;
}
