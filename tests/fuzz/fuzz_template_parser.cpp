// libFuzzer target: any bytes as template text. The text (up to its first
// NUL, as a file would be read) is parsed, rendered as parsed, copied into
// the request heap, every block fetched at indexes 0 and 2, and rendered
// again. Nothing may crash, hang, leak or read out of bounds. (No tag is
// assigned: values live in the engine's allocator until the request ends,
// which the leak check between inputs would count as leaks.)
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "engine.h"
#include "php_brisko.h"
#include "template/brisko_template.h"

static void fetch_all(brisko_tpl *t, int depth)
{
    if (depth > 8) return;
    for (int i = 0; i < t->subnum; i++) {
        const char *name = t->subs[i].name;
        brisko_tpl *a = brisko_template_fetch(t, name, 0);
        brisko_tpl *b = brisko_template_fetch(t, name, 2);
        if (a) fetch_all(a, depth + 1);
        if (b && b != a) fetch_all(b, depth + 1);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool started = [] {
        zend::engine_startup();
        zend::request_startup();
        return zend_startup_module(&php_brisko_module_entry) == SUCCESS;
    }();
    if (!started) return 0;

    std::string text(reinterpret_cast<const char *>(data), size);
    brisko_tpl *parsed = _brisko_template_parse(text.c_str(), nullptr);
    if (parsed == nullptr) return 0;
    brisko_template_render(parsed);

    brisko_heap_reset();
    brisko_tpl *copy = _brisko_template_dup(parsed);
    if (copy) {
        fetch_all(copy, 0);
        brisko_template_render(copy);
    }
    delete_bkpool(parsed->pool);
    return 0;
}
