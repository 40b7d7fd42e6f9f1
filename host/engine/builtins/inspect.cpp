/* var_dump, print_r and var_export, in the engine's formats. Each builds
 * its text first and writes it once. A table being printed has its apply
 * counter raised, so a table that contains itself (through a reference)
 * prints "*RECURSION*" instead of looping. */
#include <cctype>
#include <cstdio>

#include "builtins.h"
#include "core/resources.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

void spaces(std::string &out, int n)
{
    if (n > 0)
        out.append(static_cast<std::size_t>(n), ' ');
}

/* Class names print lower-cased, as this engine generation keeps them. */
std::string class_name(const zval *z)
{
    std::string name = z->value.obj.ce && z->value.obj.ce->name ? z->value.obj.ce->name : "stdClass";
    for (char &c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

std::string resource_name(long id)
{
    const char *name = zend::resource_type_name(id);
    return name ? name : "Unknown";
}

HashTable *table_of(const zval *z)
{
    return z->type == IS_OBJECT ? z->value.obj.properties : z->value.ht;
}

/* var_dump: level 1 at the top; elements indent by two per level. */
void dump(std::string &out, const zval *z, int level)
{
    int indent = level - 1;
    switch (z->type) {
    case IS_NULL:
        spaces(out, indent);
        out += "NULL\n";
        return;
    case IS_BOOL:
        spaces(out, indent);
        out += z->value.lval ? "bool(true)\n" : "bool(false)\n";
        return;
    case IS_LONG:
        spaces(out, indent);
        out += "int(" + std::to_string(z->value.lval) + ")\n";
        return;
    case IS_DOUBLE:
        spaces(out, indent);
        out += "float(" + format_double(z->value.dval) + ")\n";
        return;
    case IS_STRING:
        spaces(out, indent);
        out += "string(" + std::to_string(z->value.str.len) + ") \"";
        out.append(z->value.str.val, z->value.str.len);
        out += "\"\n";
        return;
    case IS_RESOURCE:
        spaces(out, indent);
        out += "resource(" + std::to_string(z->value.lval) + ") of type (" + resource_name(z->value.lval) + ")\n";
        return;
    case IS_ARRAY:
    case IS_CONSTANT_ARRAY:
    case IS_OBJECT:
        break;
    default:
        spaces(out, indent);
        out += "UNKNOWN:0\n";
        return;
    }
    HashTable *ht = table_of(z);
    if (ht && ht->nApplyCount > 1) {
        spaces(out, indent);
        out += "*RECURSION*\n";
        return;
    }
    int count = ht ? zend_hash_num_elements(ht) : 0;
    spaces(out, indent);
    if (z->type == IS_OBJECT)
        out += "object(" + class_name(z) + ")(" + std::to_string(count) + ") {\n";
    else
        out += "array(" + std::to_string(count) + ") {\n";
    if (ht) {
        ht->nApplyCount++;
        for (const element &e : elements(ht)) {
            spaces(out, level + 1);
            if (e.string_key)
                out += "[\"" + e.key + "\"]=>\n";
            else
                out += "[" + std::to_string(static_cast<long>(e.index)) + "]=>\n";
            dump(out, *e.data, level + 2);
        }
        ht->nApplyCount--;
    }
    spaces(out, indent);
    out += "}\n";
}

/* print_r: nested tables indent by eight, their elements by four more. */
void print_r_value(std::string &out, const zval *z, int indent)
{
    if (z->type != IS_ARRAY && z->type != IS_OBJECT) {
        out += to_string(z);
        return;
    }
    HashTable *ht = table_of(z);
    out += z->type == IS_OBJECT ? class_name(z) + " Object\n" : std::string("Array\n");
    if (!ht)
        return;
    if (ht->nApplyCount > 0) {
        out += " *RECURSION*";
        return;
    }
    ht->nApplyCount++;
    spaces(out, indent);
    out += "(\n";
    for (const element &e : elements(ht)) {
        spaces(out, indent + 4);
        out += "[" + key_text(e) + "] => ";
        print_r_value(out, *e.data, indent + 8);
        out += "\n";
    }
    spaces(out, indent);
    out += ")\n";
    ht->nApplyCount--;
}

std::string quoted(const std::string &s)
{
    std::string out = "'";
    for (char c : s) {
        if (c == '\'' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "'";
}

/* var_export: PHP source that rebuilds the value. */
void export_value(std::string &out, const zval *z, int level)
{
    switch (z->type) {
    case IS_NULL:
        out += "NULL";
        return;
    case IS_BOOL:
        out += z->value.lval ? "true" : "false";
        return;
    case IS_LONG:
        out += std::to_string(z->value.lval);
        return;
    case IS_DOUBLE:
        out += format_double(z->value.dval);
        return;
    case IS_STRING:
        out += quoted(std::string(z->value.str.val, z->value.str.len));
        return;
    case IS_ARRAY:
    case IS_OBJECT:
        break;
    default:
        out += "NULL";
        return;
    }
    HashTable *ht = table_of(z);
    if (ht && ht->nApplyCount > 0) {
        zend_error(E_WARNING, "var_export does not handle circular references");
        out += "NULL";
        return;
    }
    if (level > 1) {
        out += "\n";
        spaces(out, level - 1);
    }
    bool object = z->type == IS_OBJECT;
    out += object ? "class " + class_name(z) + " {\n" : std::string("array (\n");
    if (ht) {
        ht->nApplyCount++;
        for (const element &e : elements(ht)) {
            if (object) {
                if (!e.string_key)
                    continue; /* only named members are written */
                spaces(out, level + 1);
                out += "var $" + key_text(e) + " = ";
                export_value(out, *e.data, level + 2);
                out += ";\n";
            } else {
                spaces(out, level + 1);
                out += e.string_key ? quoted(e.key) : std::to_string(static_cast<long>(e.index));
                out += " => ";
                export_value(out, *e.data, level + 2);
                out += ",\n";
            }
        }
        ht->nApplyCount--;
    }
    spaces(out, level - 1);
    out += object ? "}" : ")";
}

void write(const std::string &s)
{
    zend_write(s.data(), static_cast<uint>(s.size()));
}

} // namespace

namespace zend::builtins {

std::string var_dump_text(const zval *z)
{
    std::string out;
    dump(out, z, 1);
    return out;
}

std::string print_r_text(const zval *z)
{
    std::string out;
    print_r_value(out, z, 0);
    return out;
}

} // namespace zend::builtins

ZEND_FUNCTION(var_dump)
{
    std::vector<zval **> args;
    if (!parse_args(ZEND_NUM_ARGS(), "+", &args))
        return;
    for (zval **slot : args)
        write(var_dump_text(*slot));
}

/* print_r(value [, return]) */
ZEND_FUNCTION(print_r)
{
    zval *value;
    bool as_result = false;
    if (!parse_args(ZEND_NUM_ARGS(), "z|b", &value, &as_result))
        return;
    std::string text = print_r_text(value);
    if (as_result) {
        return_string(return_value, text);
        return;
    }
    write(text);
    RETURN_TRUE;
}

/* var_export(value [, return]) */
ZEND_FUNCTION(var_export)
{
    zval *value;
    bool as_result = false;
    if (!parse_args(ZEND_NUM_ARGS(), "z|b", &value, &as_result))
        return;
    std::string text;
    export_value(text, value, 1);
    if (as_result) {

        return_string(return_value, text);
        return;
    }
    write(text);
}
