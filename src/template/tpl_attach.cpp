/* Attach: every existing instance of a block renders another template,
 * shared, not copied. Only the template's own blocks are searched. A
 * template may end up inside itself this way; rendering and copying detect
 * that (the visiting mark) instead of refusing it here. */
#include <string.h>

#include "brisko_template.h"

extern "C" int _brisko_template_attach(brisko_tpl *tpl, const char *name, brisko_tpl *other)
{
    brisko_sub *sub = _brisko_template_find_sub(tpl, name, strlen(name));
    if (sub == NULL) return 0;
    for (brisko_bn *bn = sub->bnlist->next; bn != NULL; bn = bn->next) bn->tpl = other;
    return 1;
}
