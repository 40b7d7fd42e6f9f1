/* HTML text: special characters and named entities in both directions,
 * and tag stripping.
 *
 * Entities follow a character set: ISO-8859-1 (the default), ISO-8859-15,
 * cp1252 and UTF-8 name their accented and typographic characters;
 * the East Asian sets get the basic entities only, so their multi-byte
 * characters pass through untouched. Quote styles: ENT_COMPAT (2) encodes
 * the double quote, ENT_QUOTES (3) both quotes, ENT_NOQUOTES (0) neither,
 * and 1 the single quote alone. */
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

enum charset { latin1, latin9, cp1252, utf8, east_asian };

const char *const latin1_names[96] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
    "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",
    "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave",
    "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",
    "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute",
    "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave",
    "iacute", "icirc",  "iuml",   "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

/* cp1252's 0x80-0x9f, with the Unicode code point of each. */
struct named {
    unsigned code;     /* the byte in cp1252 */
    unsigned unicode;
    const char *name;
};
const named cp1252_names[] = {
    {0x80, 0x20ac, "euro"},  {0x82, 0x201a, "sbquo"},  {0x83, 0x0192, "fnof"},   {0x84, 0x201e, "bdquo"},
    {0x85, 0x2026, "hellip"}, {0x86, 0x2020, "dagger"}, {0x87, 0x2021, "Dagger"}, {0x88, 0x02c6, "circ"},
    {0x89, 0x2030, "permil"}, {0x8a, 0x0160, "Scaron"}, {0x8b, 0x2039, "lsaquo"}, {0x8c, 0x0152, "OElig"},
    {0x91, 0x2018, "lsquo"},  {0x92, 0x2019, "rsquo"},  {0x93, 0x201c, "ldquo"},  {0x94, 0x201d, "rdquo"},
    {0x95, 0x2022, "bull"},   {0x96, 0x2013, "ndash"},  {0x97, 0x2014, "mdash"},  {0x98, 0x02dc, "tilde"},
    {0x99, 0x2122, "trade"},  {0x9a, 0x0161, "scaron"}, {0x9b, 0x203a, "rsaquo"}, {0x9c, 0x0153, "oelig"},
    {0x9f, 0x0178, "Yuml"}};

/* ISO-8859-15 differs from ISO-8859-1 at eight places. */
const char *latin9_name(unsigned byte)
{
    switch (byte) {
    case 0xa4: return "euro";
    case 0xa6: return "Scaron";
    case 0xa8: return "scaron";
    case 0xb4: return "Zcaron";
    case 0xb8: return "zcaron";
    case 0xbc: return "OElig";
    case 0xbd: return "oelig";
    case 0xbe: return "Yuml";
    default: return latin1_names[byte - 0xa0];
    }
}

/* The set a charset argument names ("" when none was given: ISO-8859-1);
 * an unknown name warns and falls back to ISO-8859-1. */
charset charset_named(const std::string &given)

{
    std::string name = lowercase(given);
    if (name.empty() || name == "iso-8859-1" || name == "iso8859-1")
        return latin1;
    if (name == "iso-8859-15" || name == "iso8859-15")
        return latin9;
    if (name == "utf-8")
        return utf8;
    if (name == "cp1252" || name == "windows-1252" || name == "1252")
        return cp1252;
    if (name == "big5" || name == "950" || name == "gb2312" || name == "936" || name == "big5-hkscs" ||
        name == "shift_jis" || name == "sjis" || name == "932" || name == "euc-jp" || name == "eucjp" ||
        name == "eucjp-win")
        return east_asian;
    function_error(E_WARNING, "charset `%s' not supported, assuming iso-8859-1", given.c_str());
    return latin1;
}

/* The entity name of a character of the set (a byte, or for UTF-8 a code
 * point), or nullptr. */
const char *entity_name(charset cs, unsigned c)
{
    switch (cs) {
    case latin1:
        return c >= 0xa0 && c <= 0xff ? latin1_names[c - 0xa0] : nullptr;
    case latin9:
        return c >= 0xa0 && c <= 0xff ? latin9_name(c) : nullptr;
    case cp1252:
        if (c >= 0xa0 && c <= 0xff)
            return latin1_names[c - 0xa0];
        for (const named &n : cp1252_names)
            if (n.code == c)
                return n.name;
        return nullptr;
    case utf8:
        if (c >= 0xa0 && c <= 0xff)
            return latin1_names[c - 0xa0];
        for (const named &n : cp1252_names)
            if (n.unicode == c)
                return n.name;
        return nullptr;
    case east_asian:
        return nullptr;
    }
    return nullptr;
}

/* The basic entities, each with the quote flag it needs (0: always). */
struct basic {
    char c;
    const char *entity;
    int flag;
};
const basic basics[] = {{'&', "&amp;", 0}, {'"', "&quot;", 2}, {'\'', "&#039;", 1}, {'<', "&lt;", 0}, {'>', "&gt;", 0}};

const char *basic_entity(char c, int quotes)
{
    for (const basic &b : basics)
        if (b.c == c && (b.flag == 0 || (quotes & b.flag)))
            return b.entity;
    return nullptr;
}

/* Length of the UTF-8 sequence at s[i] and its code point; 1 and the byte
 * itself for anything malformed. */
std::size_t utf8_char(const std::string &s, std::size_t i, unsigned &code)
{
    unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : c >= 0xc0 ? 2 : 1;
    if (n == 1 || i + n > s.size()) {
        code = c;
        return 1;
    }
    code = n == 2 ? c & 0x1f : n == 3 ? c & 0x0f : c & 0x07;
    for (std::size_t k = 1; k < n; k++) {
        unsigned char d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xc0) != 0x80) {
            code = c;
            return 1;
        }
        code = (code << 6) | (d & 0x3f);
    }
    return n;
}

void append_utf8(std::string &out, unsigned code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xc0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3f));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xe0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (code & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3f));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (code & 0x3f));
    }
}

std::string escape(const std::string &in, int quotes, charset cs, bool all)
{
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size();) {
        char c = in[i];
        if (const char *entity = basic_entity(c, quotes)) {
            out += entity;
            i++;
            continue;
        }
        if (!all || static_cast<unsigned char>(c) < 0x80 || cs == east_asian) {
            out += c;
            i++;
            continue;
        }
        unsigned code = static_cast<unsigned char>(c);
        std::size_t n = cs == utf8 ? utf8_char(in, i, code) : 1;
        if (const char *name = entity_name(cs, code)) {
            out += '&';
            out += name;
            out += ';';
        } else {
            out.append(in, i, n);
        }
        i += n;
    }
    return out;
}

/* The character a named entity of the set stands for, written out. */
bool entity_text(charset cs, const std::string &name, std::string &text)
{
    if (cs == east_asian)
        return false;
    for (unsigned c = 0xa0; c <= 0xff; c++) {
        const char *n = entity_name(cs, c);
        if (n && name == n) {
            if (cs == utf8)
                append_utf8(text, c);
            else
                text += static_cast<char>(c);
            return true;
        }
    }
    for (const named &n : cp1252_names) {
        if (name != n.name)
            continue;
        if (cs == utf8) {
            append_utf8(text, n.unicode);
            return true;
        }
        if (cs == cp1252) {
            text += static_cast<char>(n.code);
            return true;
        }
    }
    return false;
}

/* Entities back to characters, in one pass: "&amp;lt;" gives "&lt;". */
std::string unescape(const std::string &in, int quotes, charset cs)
{
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); i++) {
        if (in[i] != '&') {
            out += in[i];
            continue;
        }
        std::size_t semi = in.find(';', i + 1);
        if (semi == std::string::npos || semi - i > 10) {
            out += in[i];
            continue;
        }
        std::string entity = in.substr(i, semi - i + 1);
        bool done = false;
        for (const basic &b : basics) {
            if (entity == b.entity && (b.flag == 0 || (quotes & b.flag))) {
                out += b.c;
                done = true;
                break;
            }
        }
        if (!done)
            done = entity_text(cs, entity.substr(1, entity.size() - 2), out);
        if (done)
            i = semi;
        else
            out += in[i];
    }
    return out;
}

void html_escape(INTERNAL_FUNCTION_PARAMETERS, bool all)
{
    std::string s, charset_name;
    long quotes = 2;
    if (!parse_args(ZEND_NUM_ARGS(), "s|ls", &s, &quotes, &charset_name))
        return;
    charset cs = charset_named(charset_name);
    return_string(return_value, escape(s, static_cast<int>(quotes), cs, all));
}

} // namespace

ZEND_FUNCTION(htmlspecialchars) { html_escape(INTERNAL_FUNCTION_PARAM_PASSTHRU, false); }
ZEND_FUNCTION(htmlentities) { html_escape(INTERNAL_FUNCTION_PARAM_PASSTHRU, true); }

/* html_entity_decode(string [, quote_style [, charset]]): the named
 * entities of the set and the basic ones the quote style covers. */
ZEND_FUNCTION(html_entity_decode)
{
    std::string s, charset_name;
    long quotes = 2;
    if (!parse_args(ZEND_NUM_ARGS(), "s|ls", &s, &quotes, &charset_name))
        return;
    charset cs = charset_named(charset_name);
    return_string(return_value, unescape(s, static_cast<int>(quotes), cs));
}

/* get_html_translation_table([table [, quote_style]]): HTML_SPECIALCHARS
 * (0) or HTML_ENTITIES (1), character => entity, for ISO-8859-1. */
ZEND_FUNCTION(get_html_translation_table)
{
    long table = 0, quotes = 2;
    if (!parse_args(ZEND_NUM_ARGS(), "|ll", &table, &quotes))
        return;
    array_init(return_value);
    if (table == 1)
        for (unsigned c = 0xa0; c <= 0xff; c++)
            array_put(return_value->value.ht, std::string(1, static_cast<char>(c)),
                      new_string(std::string("&") + latin1_names[c - 0xa0] + ";"));
    for (const basic &b : basics)
        if (b.flag == 0 || (quotes & b.flag))
            array_put(return_value->value.ht, std::string(1, b.c), new_string(b.entity));
}

namespace {

/* Whether a tag, as written, is in the allowed list ("<a><b>"): its name,
 * without attributes or the closing slash, lower-cased, as "<name>". */
bool tag_allowed(const std::string &tag, const std::string &allowed)
{
    std::string norm = "<";
    bool started = false;
    for (std::size_t i = 0; i < tag.size(); i++) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(tag[i])));
        if (c == '<')
            continue;
        if (c == '>')
            break;
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (started)
                break;
            continue;
        }
        if (!started) {
            started = true;
            if (c == '/')
                continue;
        }
        norm += c;
    }
    norm += '>';
    return allowed.find(norm) != std::string::npos;
}

/* A state machine over the text: 0 outside tags, 1 in an HTML tag, 2 in
 * PHP code (<? ... ?>), 3 in a comment or declaration (<! ... -->). Quotes
 * inside PHP code hide '>' and parentheses; '<' inside a tag nests. With
 * an allowed list, tags are collected and kept when they are in it. */
std::string strip_tags(const std::string &in, std::string allowed)
{
    allowed = lowercase(allowed);
    bool keep = !allowed.empty();
    std::string out, tag;
    int state = 0, depth = 0, brackets = 0;
    char last = '\0'; /* the last quote or bracket seen in PHP code */
    auto prev = [&](std::size_t i, std::size_t back) { return i >= back ? in[i - back] : '\0'; };
    for (std::size_t i = 0; i < in.size(); i++) {
        char c = in[i];
        switch (c) {
        case '<':
            if (state == 0) {
                last = '<';
                state = 1;
                if (keep)
                    tag.assign(1, '<');
            } else if (state == 1) {
                depth++;
            }
            break;
        case '(':
        case ')':
            if (state == 2) {
                if (last != '"' && last != '\'') {
                    last = c;
                    brackets += c == '(' ? 1 : -1;
                }
            } else if (keep && state == 1) {
                tag += c;
            } else if (state == 0) {
                out += c;
            }
            break;
        case '>':
            if (depth) {
                depth--;
                break;
            }
            switch (state) {
            case 1:
                last = '>';
                state = 0;
                if (keep) {
                    tag += '>';
                    if (tag_allowed(tag, allowed))
                        out += tag;
                    tag.clear();
                }
                break;
            case 2:
                if (!brackets && last != '"' && prev(i, 1) == '?') {
                    state = 0;
                    tag.clear();
                }
                break;
            case 3:
                if (prev(i, 1) == '-' && prev(i, 2) == '-') {
                    state = 0;
                    tag.clear();
                }
                break;
            default:
                out += c;
            }
            break;
        case '"':
        case '\'':
            if (state == 2 && prev(i, 1) != '\\') {
                if (last == c)
                    last = '\0';
                else if (last != '\\')
                    last = c;
            } else if (state == 0) {
                out += c;
            } else if (keep && state == 1) {
                tag += c;
            }
            break;
        case '!':
            /* scripts and other languages in comments */
            if (state == 1 && prev(i, 1) == '<') {
                state = 3;
                break;
            }
            if (state == 0)
                out += c;
            else if (keep && state == 1)
                tag += c;
            break;
        case '?':
            if (state == 1 && prev(i, 1) == '<') {
                brackets = 0;
                state = 2;
                break;
            }
            [[fallthrough]];
        case 'l':
            /* "<?xml" is an HTML tag, not PHP code */
            if (state == 2 && prev(i, 1) == 'm' && prev(i, 2) == 'x') {
                state = 1;
                break;
            }
            [[fallthrough]];
        default:
            if (state == 0) {
                out += c;
            } else if (keep && state == 1) {
                tag += c;
                if (tag.size() >= 1023)
                    tag.clear(); /* an endless tag keeps nothing */
            }
            break;
        }
    }
    return out;
}

} // namespace

/* strip_tags(string [, allowed_tags]) */
ZEND_FUNCTION(strip_tags)
{
    std::string s, allowed;
    if (!parse_args(ZEND_NUM_ARGS(), "s|s", &s, &allowed))
        return;
    return_string(return_value, strip_tags(s, allowed));

}
