/* parse_ini_file(): configuration files in php.ini's format, as scripts
 * read their own settings with it.
 *
 * One setting per line, "key = value"; "[name]" opens a section; lines
 * that start with ';' or '#' are comments, as is the rest of a line after
 * ';' outside quotes. A value in double quotes is taken as it stands (up
 * to the closing quote); any other value is trimmed, and then the words
 * true, yes and on read as "1", false, no, off, none and null as "", and
 * the name of a defined constant as the constant's value. A bare word
 * sets nothing; a setting without a key or a section without its ']' ends
 * the parse with a warning, and what was read before it is the result. */
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "builtins.h"
#include "engine.h"
#include "stream.h"

using namespace zend::builtins;

namespace {

bool is_identifier(std::string_view text)
{
    if (text.empty() || !(std::isalpha(static_cast<unsigned char>(text[0])) || text[0] == '_'))
        return false;
    for (char c : text)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_'))
            return false;
    return true;
}

/* The value of the text after '=': quoted, a keyword, a constant, or the
 * text itself. */
std::string ini_value(std::string_view text)
{
    text = zend::trim_space(text);
    if (!text.empty() && text[0] == '"') {
        std::size_t close = text.find('"', 1);
        return std::string(text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    }
    text = zend::trim_space(text.substr(0, text.find(';')));
    std::string word = lowercase(std::string(text));
    if (word == "true" || word == "yes" || word == "on")
        return "1";
    if (word == "false" || word == "no" || word == "off" || word == "none" || word == "null")
        return "";
    if (is_identifier(text)) {
        zval constant;
        std::string name(text);
        if (zend::get_constant(name.c_str(), name.size(), &constant)) {
            std::string value = to_string(&constant);
            zval_dtor(&constant);
            return value;
        }
    }
    return std::string(text);
}

/* The array stored under name in table, made when missing or not an
 * array. */
HashTable *section_table(HashTable *table, const std::string &name)
{
    zval **slot;
    if (zend_hash_find(table, name.c_str(), static_cast<uint>(name.size() + 1), (void **)&slot) == SUCCESS &&
        (*slot)->type == IS_ARRAY)
        return (*slot)->value.ht;
    zval *section = new_long(0);
    array_init(section);
    array_put(table, name, section);
    return section->value.ht;
}

} // namespace

/* parse_ini_file(path [, process_sections]): the settings as an array,
 * sections as arrays of their own when asked; null when the file cannot be
 * read. */
ZEND_FUNCTION(parse_ini_file)
{
    std::string path;
    bool sections = false;
    if (!parse_args(ZEND_NUM_ARGS(), "s|b", &path, &sections))
        return;
    if (!path_allowed(path))
        RETURN_FALSE;
    std::FILE *f = std::fopen(path.c_str(), "r");
    if (!f) {
        function_error(E_WARNING, "Cannot open '%s' for reading", path.c_str());
        return;
    }
    std::string content;
    char buf[8192];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        content.append(buf, n);
    std::fclose(f);

    array_init(return_value);
    HashTable *target = return_value->value.ht;
    std::string_view text(content);
    int line_number = 0;
    while (!text.empty()) {
        std::size_t nl = text.find('\n');
        std::string_view line = zend::trim_space(text.substr(0, nl));
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        line_number++;
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            std::size_t close = line.find(']');
            if (close == std::string_view::npos) {
                zend_error(E_WARNING, "Error parsing %s on line %d", path.c_str(), line_number);
                return;
            }
            if (sections) {
                std::string name(zend::trim_space(line.substr(1, close - 1)));
                target = section_table(return_value->value.ht, name);
            }
            continue;
        }
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue; /* a bare word sets nothing */
        std::string key(zend::trim_space(line.substr(0, eq)));
        if (key.empty()) {
            zend_error(E_WARNING, "Error parsing %s on line %d", path.c_str(), line_number);
            return;
        }
        array_put(target, key, new_string(ini_value(line.substr(eq + 1))));
    }
}
