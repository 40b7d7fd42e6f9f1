// libFuzzer target: any bytes as template text. The text (up to its first
// NUL, as a file would be read) is parsed, rendered as parsed, copied into
// the request heap; every block is fetched at indexes 0 and 2 (and -1, the
// prototype), every name of each record is assigned a value (once, then a
// shorter one, replaced in place), and the copy is rendered again and
// named by its id. Nothing may crash, hang, leak or read out of bounds.
// Values and records live in the request heap, which each input empties.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "engine.h"
#include "php_brisko.h"
#include "template/brisko_template.h"

static void fill_all(brisko_tpl *t, int depth)
{
    if (depth > 8) return;
    if (t->tags != NULL) {
        for (int s = 0; s < t->tags->count; s++) {
            const brisko_tagname *tn = &t->tags->names[s];
            _brisko_template_assign_n(t, tn->name, (size_t)tn->len, "value{x}", 8);
            _brisko_template_assign_n(t, tn->name, (size_t)tn->len, "v", 1);
        }
    }
    brisko_template_assign(t, "not a tag", "x");
    for (int i = 0; i < t->subnum; i++) {
        const char *name = t->subs[i].name;
        brisko_tpl *a = brisko_template_fetch(t, name, 0);
        brisko_tpl *b = brisko_template_fetch(t, name, 2);
        brisko_template_fetch(t, name, -1);
        if (a) fill_all(a, depth + 1);
        if (b && b != a) fill_all(b, depth + 1);
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
    _brisko_template_render(parsed);

    brisko_heap_reset();
    brisko_tpl *copy = _brisko_template_dup(parsed);
    if (copy) {
        fill_all(copy, 0);
        _brisko_template_render(copy);
        if (_brisko_template_from_id(_brisko_template_id(copy)) != copy) __builtin_trap();
    }
    delete_bkpool(parsed->pool);
    return 0;
}
