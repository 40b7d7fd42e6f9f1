/* Everyday built-ins of the standard module that sit beside the string and
 * array ones: strspn, strcspn, str_rot13, the ctype_* tests, ip2long and
 * long2ip, array_change_key_case and get_declared_classes. */
#include <arpa/inet.h>
#include <cctype>
#include <cstring>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

/* strspn/strcspn(subject, mask [, start [, length]]): start and length
 * narrow the subject as substr() does. */
void span(INTERNAL_FUNCTION_PARAMETERS, bool accept)
{
    std::string subject, mask;
    long start = 0, length = 0;
    if (!parse_args(ZEND_NUM_ARGS(), "ss|ll", &subject, &mask, &start, &length))
        return;
    long n = static_cast<long>(subject.size());
    if (ZEND_NUM_ARGS() < 4)
        length = n;
    if (start < 0) {
        start += n;
        if (start < 0)
            start = 0;
    } else if (start > n) {
        RETURN_FALSE;
    }
    if (length < 0) {
        length += n - start;
        if (length < 0)
            length = 0;
    }
    if (length > n - start)
        length = n - start;
    long count = 0;
    for (long i = start; i < start + length; i++) {
        bool in_mask = std::memchr(mask.data(), subject[i], mask.size()) != nullptr;
        if (in_mask != accept)
            break;
        count++;
    }
    RETURN_LONG(count);
}

/* The ctype tests: an integer from -128 to 255 is one character (negative
 * ones as the byte they stand for), any other integer is tested as its
 * digits; a string is tested character by character, and the empty string
 * fails, as do values of other types. */
void ctype_test(INTERNAL_FUNCTION_PARAMETERS, int (*test)(int))
{
    zval *value;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &value))
        return;
    std::string text;
    if (value->type == IS_LONG) {
        long c = value->value.lval;
        if (c >= -128 && c <= 255)
            RETURN_BOOL(test(static_cast<int>(c < 0 ? c + 256 : c)));
        text = std::to_string(c);
    } else if (value->type == IS_STRING) {
        text.assign(value->value.str.val, value->value.str.len);
    } else {
        RETURN_FALSE;
    }
    if (text.empty())
        RETURN_FALSE;
    for (char c : text)
        if (!test(static_cast<unsigned char>(c)))
            RETURN_FALSE;
    RETURN_TRUE;
}

} // namespace

ZEND_FUNCTION(strspn) { span(INTERNAL_FUNCTION_PARAM_PASSTHRU, true); }
ZEND_FUNCTION(strcspn) { span(INTERNAL_FUNCTION_PARAM_PASSTHRU, false); }

ZEND_FUNCTION(str_rot13)
{
    std::string s;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &s))
        return;
    for (char &c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>('a' + (c - 'a' + 13) % 26);
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>('A' + (c - 'A' + 13) % 26);
    }
    return_string(return_value, s);
}

ZEND_FUNCTION(ctype_alnum) { ctype_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, isalnum); }
ZEND_FUNCTION(ctype_alpha) { ctype_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, isalpha); }
ZEND_FUNCTION(ctype_cntrl) { ctype_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, iscntrl); }
ZEND_FUNCTION(ctype_digit) { ctype_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, isdigit); }
ZEND_FUNCTION(ctype_graph) { ctype_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, isgraph); }
ZEND_FUNCTION(ctype_lower) { ctype_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, islower); }
ZEND_FUNCTION(ctype_print) { ctype_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, isprint); }
ZEND_FUNCTION(ctype_punct) { ctype_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, ispunct); }
ZEND_FUNCTION(ctype_space) { ctype_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, isspace); }
ZEND_FUNCTION(ctype_upper) { ctype_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, isupper); }
ZEND_FUNCTION(ctype_xdigit) { ctype_test(INTERNAL_FUNCTION_PARAM_PASSTHRU, isxdigit); }

/* ip2long(address): the address as a number, -1 when it is none (the
 * forms inet_addr reads, "10.1" among them). */
ZEND_FUNCTION(ip2long)
{
    std::string address;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &address))
        return;
    in_addr_t ip;
    if (address.empty() || std::strlen(address.c_str()) != address.size() ||
        (ip = inet_addr(address.c_str())) == INADDR_NONE)
        RETURN_LONG(-1);
    RETURN_LONG(static_cast<long>(ntohl(ip)));
}

ZEND_FUNCTION(long2ip)
{
    long number;
    if (!parse_args(ZEND_NUM_ARGS(), "l", &number))
        return;
    unsigned long v = static_cast<unsigned long>(number) & 0xffffffffUL;
    char buf[20];
    std::snprintf(buf, sizeof buf, "%lu.%lu.%lu.%lu", v >> 24, (v >> 16) & 255, (v >> 8) & 255, v & 255);
    RETURN_STRING(buf, 1);
}

/* array_change_key_case(input [, case]): string keys lower-cased (CASE_LOWER,
 * 0) or upper-cased; a later key that folds to an earlier one wins. */
ZEND_FUNCTION(array_change_key_case)
{
    HashTable *arr;
    long to_upper = 0;
    args_result got = parse_args(ZEND_NUM_ARGS(), "a|l;%s(): The argument should be an array", &arr, &to_upper);
    if (!got)
        return got.false_when_refused(return_value);
    array_init(return_value);
    for (const element &e : elements(arr)) {
        if (!e.string_key) {
            array_put(return_value->value.ht, e.index, copy_of(*e.data));
            continue;
        }
        std::string key = e.key;
        for (char &c : key)
            c = static_cast<char>(to_upper ? std::toupper(static_cast<unsigned char>(c))
                                           : std::tolower(static_cast<unsigned char>(c)));
        array_put(return_value->value.ht, key, copy_of(*e.data));
    }
}

/* get_declared_classes(): the names of the classes in the class table, in
 * the order they were declared, lower-cased as get_class() gives them. */
ZEND_FUNCTION(get_declared_classes)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    array_init(return_value);
    HashTable *classes = EG(class_table) ? EG(class_table) : CG(class_table);
    if (!classes)
        return;
    for (Bucket *p = classes->pListHead; p; p = p->pListNext) {
        /* a key that starts with a NUL is a class bound at run time, listed
         * under its own name once bound */
        if (p->nKeyLength == 0 || p->arKey[0] == '\0')
            continue;
        auto *ce = static_cast<zend_class_entry *>(p->pData);
        if (ce && ce->name) {
            std::string name = lowercase(ce->name);
            add_next_index_stringl(return_value, name.data(), static_cast<uint>(name.size()), 1);
        }
    }
}
