/* Trees of the parser in a one-line form of dump(), for tests:
 * "(kind attrs children...)". */
#ifndef BRISKO_TEST_PARSER_TREE_H
#define BRISKO_TEST_PARSER_TREE_H

#include <string>
#include <vector>

#include "compiler/ast.h"

namespace parser_tree {

/* Folds dump()'s indented lines into nested parentheses. */
inline std::string sexpr(const std::string &dump) {
    std::string out;
    std::vector<std::size_t> open;
    std::size_t pos = 0;
    while (pos < dump.size()) {
        std::size_t eol = dump.find('\n', pos);
        if (eol == std::string::npos) eol = dump.size();
        std::string line = dump.substr(pos, eol - pos);
        pos = eol + 1;
        std::size_t depth = line.find_first_not_of(' ') / 2;
        std::string text = line.substr(depth * 2);
        while (!open.empty() && open.back() >= depth) {
            out += ')';
            open.pop_back();
        }
        if (!out.empty()) out += ' ';
        if (text == "-") {
            out += '-';
        } else {
            out += '(' + text;
            open.push_back(depth);
        }
    }
    out.append(open.size(), ')');
    return out;
}

inline std::string tree(const std::string &src) {
    std::string message;
    int line = -1;
    auto t = zend::ast::parse(src.data(), src.size(), message, line);
    if (!t) return "ERROR " + message + " @" + std::to_string(line);
    return sexpr(zend::ast::dump(t->root));
}

} // namespace parser_tree

#endif
