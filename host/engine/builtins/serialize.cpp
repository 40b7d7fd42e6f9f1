/* serialize() and unserialize() on the writer and reader of serialize.h.
 *
 * The reader trusts nothing in its text: every length and count is
 * checked against what is left before it is used, nothing is reserved
 * ahead from a count, nesting is bounded, and a reference may only name a
 * value already read. It holds one reference to every value it has read
 * until it is destroyed, so that a later R: can never reach a value that
 * a duplicate key has dropped meanwhile. */
#include "serialize.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "builtins.h"
#include "engine.h"
#include "executor/executor.h"

using namespace zend::builtins;

namespace {

const char incomplete_name[] = "__PHP_Incomplete_Class";
const char incomplete_key[] = "__php_incomplete_class";
const char incomplete_property[] = "__PHP_Incomplete_Class_Name";

bool has_method(const zend_class_entry *ce, const char *name_lc)
{
    return ce && zend_hash_exists(const_cast<HashTable *>(&ce->function_table), name_lc,
                                  static_cast<uint>(std::strlen(name_lc) + 1));
}

/* Calls a method of the object with no arguments; nullptr when it could
 * not be called. */
zval *call_method(zval *object, const char *method)
{
    zval *callable = new_long(0);
    array_init(callable);
    object->refcount++;
    array_append(callable->value.ht, object);
    array_append(callable->value.ht, new_string(method));
    zval *result = zend::exec::call_function_value(callable, 0, nullptr);
    zval_ptr_dtor(&callable);
    return result;
}

std::string double_text(double d)
{
    if (std::isnan(d))
        return "NAN";
    if (std::isinf(d))
        return d < 0 ? "-INF" : "INF";
    return format_double(d, 17);
}

void append_string(std::string &out, const char *s, std::size_t n)
{
    out += "s:";
    out += std::to_string(n);
    out += ":\"";
    out.append(s, n);
    out += "\";";
}

bool is_incomplete(const zend_class_entry *ce)
{
    return ce && ce->name && lowercase(ce->name) == incomplete_key;
}

} // namespace

namespace zend::builtins {

zend_class_entry *incomplete_class()
{
    zend_class_entry *ce;
    if (zend_hash_find(CG(class_table), incomplete_key, sizeof incomplete_key, (void **)&ce) == SUCCESS)
        return ce;
    /* an internal class: it lives in the engine's tables across requests */
    zend_class_entry entry;
    std::memset(&entry, 0, sizeof entry);
    entry.type = ZEND_INTERNAL_CLASS;
    entry.name = strdup(incomplete_name);
    entry.name_length = sizeof incomplete_name - 1;
    entry.refcount = static_cast<int *>(std::malloc(sizeof(int)));
    if (!entry.name || !entry.refcount)
        zend_error(E_ERROR, "Out of memory");
    *entry.refcount = 1;
    zend_hash_init(&entry.function_table, 0, nullptr, (dtor_func_t)destroy_zend_function, 1);
    zend_hash_init(&entry.default_properties, 0, nullptr, (dtor_func_t)_zval_ptr_dtor, 1);
    zend_hash_add(CG(class_table), incomplete_key, sizeof incomplete_key, &entry, sizeof entry, (void **)&ce);
    return ce;
}

/* ---- writing ---- */

value_writer::~value_writer()
{
    for (zval *z : held_)
        zval_ptr_dtor(&z);
}

void value_writer::write(std::string &out, zval *z)
{
    value(out, z, 0);
}

void value_writer::value(std::string &out, zval *z, int depth)
{
    auto seen = numbers_.find(z);
    if (seen != numbers_.end()) {
        if (z->is_ref) {
            out += "R:" + std::to_string(seen->second) + ";";
            return;
        }
        count_++; /* a second copy: the reader numbers it too */
    } else {
        numbers_.emplace(z, ++count_);
        if (z->refcount < 0xff00) {
            /* kept alive, so that no value made while __sleep runs can
             * take this address */
            z->refcount++;
            held_.push_back(z);
        }
    }
    if (depth >= max_serialize_depth) {
        if (!warned_)
            zend_error(E_WARNING, "%s(): Nesting level too deep - values nested deeper than %d levels are stored as NULL",
                       get_active_function_name(), max_serialize_depth);
        warned_ = true;
        out += "N;";
        return;
    }
    switch (z->type) {
    case IS_NULL:
        out += "N;";
        return;
    case IS_BOOL:
        out += z->value.lval ? "b:1;" : "b:0;";
        return;
    case IS_LONG:
        out += "i:" + std::to_string(z->value.lval) + ";";
        return;
    case IS_DOUBLE:
        out += "d:" + double_text(z->value.dval) + ";";
        return;
    case IS_STRING:
        append_string(out, z->value.str.val, static_cast<std::size_t>(z->value.str.len));
        return;
    case IS_ARRAY:
    case IS_CONSTANT_ARRAY:
        out += "a:";
        table(out, z->value.ht, depth, nullptr);
        return;
    case IS_OBJECT:
        object(out, z, depth);
        return;
    default:
        out += "i:0;";
        return;
    }
}

/* "count:{key value ...}" for a table; `skip` names a key left out. A
 * table already being written further up (reached again without a
 * reference) is written as empty. */
void value_writer::table(std::string &out, HashTable *ht, int depth, const std::string *skip)
{
    if (!ht || ht->nApplyCount > 0) {
        out += "0:{}";
        return;
    }
    std::vector<element> items = elements(ht);
    std::size_t count = items.size();
    if (skip)
        for (const element &e : items)
            if (e.string_key && e.key == *skip)
                count--;
    out += std::to_string(count) + ":{";
    ht->nApplyCount++;
    struct lower_on_exit {
        HashTable *ht;
        ~lower_on_exit() { ht->nApplyCount--; }
    } guard{ht};
    for (const element &e : items) {
        if (e.string_key) {
            if (skip && e.key == *skip)
                continue;
            append_string(out, e.key.data(), e.key.size());
        } else {
            out += "i:" + std::to_string(static_cast<long>(e.index)) + ";";
        }
        value(out, *e.data, depth + 1);
    }
    out += "}";
}

void value_writer::object(std::string &out, zval *z, int depth)
{
    zend_class_entry *ce = z->value.obj.ce;
    HashTable *props = z->value.obj.properties;
    std::string name = lowercase(ce && ce->name ? ce->name : "stdClass");
    const std::string incomplete_prop = incomplete_property;
    bool incomplete = is_incomplete(ce);
    if (incomplete) {
        zval **stored;
        if (props && zend_hash_find(props, incomplete_property, sizeof incomplete_property, (void **)&stored) == SUCCESS &&
            (*stored)->type == IS_STRING)
            name.assign((*stored)->value.str.val, static_cast<std::size_t>((*stored)->value.str.len));
    }
    std::string head = "O:" + std::to_string(name.size()) + ":\"" + name + "\":";

    if (has_method(ce, "__sleep")) {
        zval *names = call_method(z, "__sleep");
        if (names) {
            held_.push_back(names);
            HashTable *list = names->type == IS_ARRAY ? names->value.ht
                            : names->type == IS_OBJECT ? names->value.obj.properties : nullptr;
            if (!list) {
                zend_error(E_NOTICE, "%s(): __sleep should return an array only containing the names of "
                                     "instance-variables to serialize.", get_active_function_name());
                out += "N;";
                return;
            }
            std::vector<element> wanted = elements(list);
            out += head + std::to_string(wanted.size()) + ":{";
            for (const element &e : wanted) {
                if ((*e.data)->type != IS_STRING) {
                    zend_error(E_NOTICE, "%s(): __sleep should return an array only containing the names of "
                                         "instance-variables to serialize.", get_active_function_name());
                    out += "s:0:\"\";N;"; /* the count is written already */
                    count_++;
                    continue;
                }
                std::string prop = to_string(*e.data);
                append_string(out, prop.data(), prop.size());
                zval **slot;
                if (props && zend_hash_find(props, prop.c_str(), static_cast<uint>(prop.size() + 1), (void **)&slot) ==
                                 SUCCESS) {
                    value(out, *slot, depth + 1);
                } else {
                    out += "N;";
                    count_++;
                }
            }
            out += "}";
            return;
        }
    }
    out += head;
    table(out, props, depth, incomplete ? &incomplete_prop : nullptr);
}

/* ---- reading ---- */

value_reader::~value_reader()
{
    for (zval *z : values_)
        zval_ptr_dtor(&z);
}

zval *value_reader::remember(zval *z)
{
    z->refcount++;
    values_.push_back(z);
    return z;
}

/* Digits at text[pos] with an optional sign ("+" only when !allow_sign
 * means an unsigned count); false on no digits or overflow. */
bool value_reader::number(std::size_t &pos, long &out, bool allow_sign)
{
    bool negative = false;
    if (pos < length_ && (text_[pos] == '+' || (allow_sign && text_[pos] == '-'))) {
        negative = text_[pos] == '-';
        pos++;
    }
    std::size_t first = pos;
    unsigned long v = 0;
    const unsigned long limit = negative ? static_cast<unsigned long>(LONG_MAX) + 1 : static_cast<unsigned long>(LONG_MAX);
    while (pos < length_ && text_[pos] >= '0' && text_[pos] <= '9') {
        unsigned long digit = static_cast<unsigned long>(text_[pos] - '0');
        if (v > (limit - digit) / 10)
            return false;
        v = v * 10 + digit;
        pos++;
    }
    if (pos == first)
        return false;
    out = negative ? static_cast<long>(0UL - v) : static_cast<long>(v);
    return true;
}

zval *value_reader::read(const char *text, std::size_t length, std::size_t &pos)
{
    text_ = text;
    length_ = length;
    return value(pos, 0);
}

zval *value_reader::value(std::size_t &pos, int depth)
{
    std::size_t start = pos;
    auto fail = [&](std::size_t at) -> zval * {
        pos = at;
        return nullptr;
    };
    auto expect = [&](char c) {
        if (pos < length_ && text_[pos] == c) {
            pos++;
            return true;
        }
        return false;
    };
    if (length_ - pos < 2)
        return fail(start);
    char type = text_[pos];
    if (type == 'N' && text_[pos + 1] == ';') {
        pos += 2;
        zval *z = new_long(0);
        z->type = IS_NULL;
        return remember(z);
    }
    if (text_[pos + 1] != ':')
        return fail(start);
    pos += 2;
    long n = 0;
    switch (type) {
    case 'b':
    case 'i': {
        if (!number(pos, n, true) || !expect(';'))
            return fail(start);
        zval *z = new_long(n);
        if (type == 'b') {
            z->type = IS_BOOL;
            z->value.lval = n != 0;
        }
        return remember(z);
    }
    case 'd': {
        std::size_t end = pos;
        while (end < length_ && text_[end] != ';')
            end++;
        if (end >= length_)
            return fail(start);
        std::string token(text_ + pos, end - pos);
        double d;
        if (token == "INF")
            d = HUGE_VAL;
        else if (token == "-INF")
            d = -HUGE_VAL;
        else if (token == "NAN")
            d = NAN;
        else {
            /* [+-] digits [. digits] [e [+-] digits], at least one digit */
            std::size_t k = 0, digits = 0;
            if (k < token.size() && (token[k] == '+' || token[k] == '-'))
                k++;
            while (k < token.size() && token[k] >= '0' && token[k] <= '9')
                k++, digits++;
            if (k < token.size() && token[k] == '.') {
                k++;
                while (k < token.size() && token[k] >= '0' && token[k] <= '9')
                    k++, digits++;
            }
            if (digits == 0)
                return fail(start);
            if (k < token.size() && (token[k] == 'e' || token[k] == 'E')) {
                k++;
                if (k < token.size() && (token[k] == '+' || token[k] == '-'))
                    k++;
                std::size_t exponent = k;
                while (k < token.size() && token[k] >= '0' && token[k] <= '9')
                    k++;
                if (k == exponent)
                    return fail(start);
            }
            if (k != token.size())
                return fail(start);
            d = std::strtod(token.c_str(), nullptr);
        }
        pos = end + 1;
        zval *z = new_long(0);
        z->type = IS_DOUBLE;
        z->value.dval = d;
        return remember(z);
    }
    case 's': {
        if (!number(pos, n, false) || !expect(':') || !expect('"'))
            return fail(start);
        if (static_cast<unsigned long>(n) > length_ - pos)
            return fail(start + 2);
        std::size_t from = pos;
        pos += static_cast<std::size_t>(n);
        if (pos >= length_ || text_[pos] != '"')
            return fail(pos);
        if (pos + 1 >= length_ || text_[pos + 1] != ';')
            return fail(pos + 1);
        pos += 2;
        return remember(new_string(std::string(text_ + from, static_cast<std::size_t>(n))));
    }
    case 'a': {
        if (!number(pos, n, false) || !expect(':') || !expect('{'))
            return fail(start);
        if (depth >= max_serialize_depth) {
            if (!warned_)
                zend_error(E_WARNING, "%s(): Nesting level too deep - values nested deeper than %d levels are not read",
                           get_active_function_name(), max_serialize_depth);
            warned_ = true;
            return fail(start);
        }
        zval *z = new_long(0);
        array_init(z);
        remember(z);
        if (!elements(pos, z->value.ht, n, depth + 1) || !expect('}')) {
            zval_ptr_dtor(&z);
            return nullptr;
        }
        return z;
    }
    case 'O':
        return object(pos, start, depth);
    case 'R':
    case 'r': {
        if (!number(pos, n, false) || !expect(';'))
            return fail(start);
        if (n < 1 || static_cast<unsigned long>(n) > values_.size())
            return nullptr;
        zval *target = values_[static_cast<std::size_t>(n - 1)];
        if (type == 'r')
            return remember(copy_of(target));
        target->is_ref = 1;
        target->refcount++;
        return target;
    }
    default:
        return fail(start);
    }
}

/* count key/value pairs into ht. Keys are integers or strings. */
bool value_reader::elements(std::size_t &pos, HashTable *ht, long count, int depth)
{
    for (long i = 0; i < count; i++) {
        std::size_t key_start = pos;
        if (length_ - pos < 2 || (text_[pos] != 'i' && text_[pos] != 's') || text_[pos + 1] != ':') {
            pos = key_start;
            return false;
        }
        long index = 0;
        std::string key;
        bool string_key = text_[pos] == 's';
        pos += 2;
        if (!string_key) {
            if (!number(pos, index, true) || pos >= length_ || text_[pos] != ';') {
                pos = key_start;
                return false;
            }
            pos++;
        } else {
            long n = 0;
            if (!number(pos, n, false) || pos + 1 >= length_ || text_[pos] != ':' || text_[pos + 1] != '"') {
                pos = key_start;
                return false;
            }
            pos += 2;
            if (static_cast<unsigned long>(n) > length_ - pos) {
                pos = key_start + 2;
                return false;
            }
            key.assign(text_ + pos, static_cast<std::size_t>(n));
            pos += static_cast<std::size_t>(n);
            if (pos >= length_ || text_[pos] != '"')
                return false;
            if (pos + 1 >= length_ || text_[pos + 1] != ';') {
                pos++;
                return false;
            }
            pos += 2;
        }
        zval *v = value(pos, depth);
        if (!v)
            return false;
        if (string_key)
            array_put(ht, key, v);
        else
            array_put(ht, static_cast<ulong>(index), v);
    }
    return true;
}

zval *value_reader::object(std::size_t &pos, std::size_t start, int depth)
{
    long n = 0;
    if (!number(pos, n, false) || pos >= length_ || text_[pos] != ':' || pos + 1 >= length_ || text_[pos + 1] != '"') {
        pos = start;
        return nullptr;
    }
    pos += 2;
    if (n == 0 || static_cast<unsigned long>(n) > length_ - pos) {
        pos = start + 2;
        return nullptr;
    }
    std::string name(text_ + pos, static_cast<std::size_t>(n));
    pos += static_cast<std::size_t>(n);
    if (pos >= length_ || text_[pos] != '"')
        return nullptr;
    if (pos + 1 >= length_ || text_[pos + 1] != ':') {
        pos++;
        return nullptr;
    }
    pos += 2;
    long count = 0;
    if (!number(pos, count, false) || pos + 1 >= length_ || text_[pos] != ':' || text_[pos + 1] != '{')
        return nullptr;
    pos += 2;
    if (depth >= max_serialize_depth) {
        if (!warned_)
            zend_error(E_WARNING, "%s(): Nesting level too deep - values nested deeper than %d levels are not read",
                       get_active_function_name(), max_serialize_depth);
        warned_ = true;
        pos = start;
        return nullptr;
    }

    std::string key = lowercase(name);
    zend_class_entry *ce = nullptr;
    if (zend_hash_find(EG(class_table), key.c_str(), static_cast<uint>(key.size() + 1), (void **)&ce) != SUCCESS)
        ce = nullptr;
    zval *z = new_long(0);
    zend::exec::object_init(z, ce ? ce : incomplete_class());
    remember(z);
    HashTable *props = z->value.obj.properties;
    if (ce) {
        for (const element &e : zend::builtins::elements(&ce->default_properties)) {
            zval *copy = zend::exec::resolve_constant_copy(*e.data);
            if (e.string_key)
                array_put(props, e.key, copy);
            else
                array_put(props, e.index, copy);
        }
    } else {
        array_put(props, std::string(incomplete_property), new_string(key));
    }
    if (!this->elements(pos, props, count, depth + 1) || pos >= length_ || text_[pos] != '}') {
        zval_ptr_dtor(&z);
        return nullptr;
    }
    pos++;
    if (has_method(ce, "__wakeup")) {
        /* the method works on this very object */
        zend_uchar was_ref = z->is_ref;
        z->is_ref = 1;
        zval *r = call_method(z, "__wakeup");
        if (r)
            zval_ptr_dtor(&r);
        z->is_ref = was_ref || z->refcount > 2;
    }
    return z;
}

} // namespace zend::builtins

/* serialize(value) */
ZEND_FUNCTION(serialize)
{
    zval *value;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &value))
        return;
    std::string out;
    {
        value_writer writer;
        writer.write(out, value);
    }
    return_string(return_value, out);
}

/* unserialize(text): the value, or false with a notice naming the offset
 * where the text stopped making sense. */
ZEND_FUNCTION(unserialize)
{
    zval *given;
    if (!parse_args(ZEND_NUM_ARGS(), "z", &given))
        return;
    if (given->type != IS_STRING) {
        zend_error(E_NOTICE, "unserialize(): Argument is not an string");
        RETURN_FALSE;
    }
    std::string text = to_string(given);

    if (text.empty())
        RETURN_FALSE;
    std::size_t pos = 0;
    zval *z;
    {
        value_reader reader;
        z = reader.read(text.data(), text.size(), pos);
    }
    if (!z) {
        zend_error(E_NOTICE, "unserialize(): Error at offset %lu of %lu bytes", static_cast<unsigned long>(pos),
                   static_cast<unsigned long>(text.size()));
        RETURN_FALSE;
    }
    return_value->type = z->type;
    return_value->value = z->value;
    if (z->refcount == 1 && !z->is_ref) {
        FREE_ZVAL(z); /* the contents move to the result */
        return;
    }
    zval_copy_ctor(return_value);
    zval_ptr_dtor(&z);
}
