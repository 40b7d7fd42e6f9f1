/* The reader behind parse_args (args.h): the count first, then each
 * argument by its letter, from left to right. */
#include <cstring>

#include "args.h"
#include "builtins.h"
#include "engine.h"

namespace zend::builtins {
namespace {

/* The warning of the n-th refusing letter (from 0), with "%s", "%d" and
 * "%%" filled in. */
std::string refusal_text(const char *pattern, std::size_t n, int argument)
{
    const char *p = std::strchr(pattern, ';');
    for (; p && n > 0; n--)
        p = std::strchr(p + 1, ';');
    std::string text;
    if (!p)
        return text;
    for (const char *c = p + 1; *c && *c != ';'; c++) {
        if (c[0] == '%' && c[1] == 's') {
            text += get_active_function_name();
            c++;
        } else if (c[0] == '%' && c[1] == 'd') {
            text += std::to_string(argument);
            c++;
        } else if (c[0] == '%' && c[1] == '%') {
            text += '%';
            c++;
        } else {
            text += *c;
        }
    }
    return text;
}

/* convert_to_*_ex: a shared value gets a private copy first, a reference
 * is converted where it is. */
void convert_in_place(zval **slot, int type)
{
    if ((*slot)->type == type)
        return;
    SEPARATE_ZVAL_IF_NOT_REF(slot);
    switch (type) {
    case IS_LONG: convert_to_long(*slot); break;
    case IS_DOUBLE: convert_to_double(*slot); break;
    case IS_BOOL: convert_to_boolean(*slot); break;
    default: convert_to_string(*slot); break;
    }
}

/* A text the call can view: a value that is not a string is replaced in
 * the call's slot by a converted private copy, so the caller's variable
 * (a reference too) keeps its value, and the engine frees the copy with
 * the call's other arguments. */
void own_string_in_slot(zval **slot)
{
    if ((*slot)->type == IS_STRING)
        return;
    if ((*slot)->refcount == 1 && !(*slot)->is_ref) {
        convert_to_string(*slot); /* the call's own temporary */
        return;
    }
    zval *copy;
    ALLOC_ZVAL(copy);
    *copy = **slot;
    zval_copy_ctor(copy);
    copy->refcount = 1;
    copy->is_ref = 0;
    convert_to_string(copy);
    zval_ptr_dtor(slot);
    *slot = copy;
}

args_result refuse(const char *pattern, std::size_t refusal, int argument)
{
    zend_error(E_WARNING, "%s", refusal_text(pattern, refusal, argument).c_str());
    return args_result::wrong_type;
}

} // namespace

args_result parse_args_into(int argc, const char *pattern, arg_bounds bounds, void *const *targets,
                            const target_kind *kinds)
{
    if (argc < bounds.min || (bounds.max >= 0 && argc > bounds.max) || argc > current_call.count ||
        (argc > 0 && !current_call.args)) {

        zend_wrong_param_count();
        return args_result::wrong_count;
    }

    int index = 0;
    std::size_t target = 0, refusal = 0;
    for (const char *p = pattern; *p && *p != ';'; p++) {
        char letter = *p;
        if (letter == '|' || letter == '/')
            continue;
        target_kind kind = kinds[target];
        void *out = targets[target++];
        if (letter == '*' || letter == '+') {
            auto *rest = static_cast<std::vector<zval **> *>(out);
            rest->clear();
            for (; index < argc; index++)
                rest->push_back(&current_call.args[index]);
            break;
        }
        bool refusing = letter == 'a' || letter == 'H' || letter == 'r';
        std::size_t this_refusal = refusing ? refusal++ : 0;
        if (index >= argc)
            break; /* an optional one left out, and so are those after it */
        zval **slot = &current_call.args[index++];
        bool in_place = p[1] == '/';
        switch (letter) {
        case 'l':
            if (in_place) {
                convert_in_place(slot, IS_LONG);
                *static_cast<long *>(out) = (*slot)->value.lval;
            } else {
                *static_cast<long *>(out) = to_long(*slot);
            }
            break;
        case 'd':
            if (in_place) {
                convert_in_place(slot, IS_DOUBLE);
                *static_cast<double *>(out) = (*slot)->value.dval;
            } else {
                *static_cast<double *>(out) = to_double(*slot);
            }
            break;
        case 'b':
            if (in_place) {
                convert_in_place(slot, IS_BOOL);
                *static_cast<bool *>(out) = (*slot)->value.lval != 0;
            } else {
                *static_cast<bool *>(out) = zend_is_true(*slot) != 0;
            }
            break;
        case 's':
            if (kind == target_kind::view) {
                if (in_place)
                    convert_in_place(slot, IS_STRING);
                else
                    own_string_in_slot(slot);
                *static_cast<std::string_view *>(out) =
                    std::string_view((*slot)->value.str.val, static_cast<std::size_t>((*slot)->value.str.len));
            } else if (in_place) {
                convert_in_place(slot, IS_STRING);
                static_cast<std::string *>(out)->assign((*slot)->value.str.val,
                                                        static_cast<std::size_t>((*slot)->value.str.len));
            } else {
                *static_cast<std::string *>(out) = to_string(*slot);
            }
            break;
        case 'z':
            if (in_place)
                SEPARATE_ZVAL_IF_NOT_REF(slot);
            *static_cast<zval **>(out) = *slot;
            break;
        case 'Z':
            *static_cast<zval ***>(out) = slot;
            break;
        case 'r':
            if ((*slot)->type != IS_RESOURCE)
                return refuse(pattern, this_refusal, index);
            *static_cast<zval **>(out) = *slot;
            break;
        case 'a':
        case 'H':
            if ((*slot)->type != IS_ARRAY && (letter == 'a' || (*slot)->type != IS_OBJECT))
                return refuse(pattern, this_refusal, index);
            if (in_place)
                SEPARATE_ZVAL_IF_NOT_REF(slot);
            if (kind == target_kind::value)
                *static_cast<zval **>(out) = *slot;
            else
                *static_cast<HashTable **>(out) =
                    (*slot)->type == IS_ARRAY ? (*slot)->value.ht : (*slot)->value.obj.properties;
            break;

        }
    }
    return args_result::ok;
}

} // namespace zend::builtins
