/* Calling internal functions from C++ tests as a script would, and value
 * helpers for those tests. */
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "core/operators.h"
#include "engine_testing.h"

namespace zend::testing {
namespace {

std::vector<error_record> *capture = nullptr;
error_observer chained = nullptr;

void capture_error(int type, const char *message) {
    if (capture) capture->push_back({type, message ? message : ""});
    if (chained) chained(type, message);
}

zval *new_zval() {
    zval *z;
    ALLOC_ZVAL(z);
    INIT_PZVAL(z);
    z->type = IS_NULL;
    return z;
}

void dump_to(const zval *z, int depth, std::string &out);

void dump_table(HashTable *ht, int depth, std::string &out) {
    std::string indent((std::size_t)(depth + 1) * 2, ' ');
    for (Bucket *p = ht->pListHead; p; p = p->pListNext) {
        if (p->nKeyLength) out += indent + "[\"" + std::string(p->arKey, p->nKeyLength - 1) + "\"]=>\n";
        else out += indent + "[" + std::to_string((long)p->h) + "]=>\n";
        dump_to(*(zval **)p->pData, depth + 1, out);
    }
}

void dump_to(const zval *z, int depth, std::string &out) {
    std::string indent((std::size_t)depth * 2, ' ');
    out += indent;
    if (depth > 64) {
        out += "*RECURSION*\n";
        return;
    }
    switch (z->type) {
    case IS_NULL: out += "NULL\n"; break;
    case IS_BOOL: out += z->value.lval ? "bool(true)\n" : "bool(false)\n"; break;
    case IS_LONG: out += "int(" + std::to_string(z->value.lval) + ")\n"; break;
    case IS_DOUBLE: out += "float(" + double_to_string(z->value.dval) + ")\n"; break;
    case IS_STRING:
    case IS_CONSTANT:
        out += "string(" + std::to_string(z->value.str.len) + ") \"" +
               std::string(z->value.str.val, (std::size_t)z->value.str.len) + "\"\n";
        break;
    case IS_ARRAY:
    case IS_CONSTANT_ARRAY:
        out += "array(" + std::to_string(zend_hash_num_elements(z->value.ht)) + ") {\n";
        dump_table(z->value.ht, depth, out);
        out += indent + "}\n";
        break;
    case IS_OBJECT: {
        const char *name = z->value.obj.ce && z->value.obj.ce->name ? z->value.obj.ce->name : "";
        HashTable *props = z->value.obj.properties;
        out += std::string("object(") + name + ")(" + std::to_string(props ? zend_hash_num_elements(props) : 0) +
               ") {\n";
        if (props) dump_table(props, depth, out);
        out += indent + "}\n";
        break;
    }
    case IS_RESOURCE: out += "resource(" + std::to_string(z->value.lval) + ")\n"; break;
    default: out += "UNKNOWN\n"; break;
    }
}

} // namespace

call_result call_function(const char *name, const std::vector<zval *> &args) {
    call_result result;
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return (char)std::tolower(c); });
    void *data = nullptr;
    if (!CG(function_table) ||
        zend_hash_find(CG(function_table), key.c_str(), (uint)key.size() + 1, &data) == FAILURE)
        return result;
    auto *function = static_cast<zend_function *>(data);
    if (function->type != ZEND_INTERNAL_FUNCTION) return result;
    result.found = true;

    /* The slots stay where they are for the whole call. */
    std::vector<zval *> slots(args);
    for (zval *z : slots) z->refcount++;
    internal_call saved = current_call;
    current_call.args = slots.empty() ? nullptr : slots.data();
    current_call.count = (int)slots.size();
    current_call.function_name = function->common.function_name;

    std::vector<error_record> *saved_capture = capture;
    error_observer saved_observer = current_error_observer();
    capture = &result.errors;
    chained = saved_observer == capture_error ? chained : saved_observer;
    set_error_observer(capture_error);

    std::size_t output_start = output_buffer().size();
    zval *return_value = new_zval();
    try {
        function->internal_function.handler((int)slots.size(), return_value, nullptr, 1);
    } catch (const bailout &) {
        result.bailed_out = true;
    }
    std::string &buffer = output_buffer();
    if (buffer.size() > output_start) {
        result.output = buffer.substr(output_start);
        buffer.resize(output_start);
    }
    set_error_observer(saved_observer);
    capture = saved_capture;

    for (zval *&z : slots) _zval_ptr_dtor(&z);
    current_call = saved;
    result.value = return_value;
    return result;
}

zval *make_null() { return new_zval(); }

zval *make_long(long v) {
    zval *z = new_zval();
    z->type = IS_LONG;
    z->value.lval = v;
    return z;
}

zval *make_double(double v) {
    zval *z = new_zval();
    z->type = IS_DOUBLE;
    z->value.dval = v;
    return z;
}

zval *make_bool(bool v) {
    zval *z = new_zval();
    z->type = IS_BOOL;
    z->value.lval = v ? 1 : 0;
    return z;
}

zval *make_string(const std::string &s) {
    zval *z = new_zval();
    z->type = IS_STRING;
    z->value.str.len = (int)s.size();
    z->value.str.val = estrndup(s.data(), (uint)s.size());
    return z;
}

zval *make_array() {
    zval *z = new_zval();
    _array_init(z);
    return z;
}

void array_set(zval *array, const std::string &key, zval *value) {
    zend_hash_update(array->value.ht, key.c_str(), (uint)key.size() + 1, &value, sizeof(zval *), nullptr);
}

void array_set(zval *array, long index, zval *value) {
    zend_hash_index_update(array->value.ht, (ulong)index, &value, sizeof(zval *), nullptr);
}

void array_append(zval *array, zval *value) {
    zend_hash_next_index_insert(array->value.ht, &value, sizeof(zval *), nullptr);
}

void release(zval *z) { _zval_ptr_dtor(&z); }

std::string dump(const zval *z) {
    std::string out;
    dump_to(z, 0, out);
    return out;
}

request_scope::request_scope() : started_engine(false) {
    if (!CG(function_table)) {
        engine_startup();
        started_engine = true;
    }
    request_startup();
}

request_scope::~request_scope() {
    request_shutdown();
    if (started_engine) engine_shutdown();
}

} // namespace zend::testing
