/* Feeds arbitrary bytes to the script lexer and parser, as a file and as
 * code given to eval() (which starts inside the PHP tags). Whatever the
 * input, parsing ends with a tree or with a parse error and its line, the
 * token list ends with END or ERROR, and a tree can be dumped. */
#include <cstddef>
#include <cstdint>
#include <string>

#include "compiler/ast.h"
#include "compiler/lexer.h"

namespace {

void check_parse(const char *source, size_t size, bool in_script) {
    std::string message;
    int line = -1;
    auto t = zend::ast::parse(source, size, message, line, in_script, 1);
    if (t) {
        if (!t->root || !message.empty()) __builtin_trap();
        std::string text = zend::ast::dump(t->root);
        if (text.empty()) __builtin_trap();
    } else if (message.rfind("parse error", 0) != 0 || line < 1) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const char *source = reinterpret_cast<const char *>(data);
    check_parse(source, size, false);
    check_parse(source, size, true);

    std::vector<zend::ast::token> tokens = zend::ast::tokenize(source, size);
    if (tokens.empty()) __builtin_trap();
    zend::ast::tk last = tokens.back().kind;
    if (last != zend::ast::tk::END && last != zend::ast::tk::ERROR) __builtin_trap();
    return 0;
}
