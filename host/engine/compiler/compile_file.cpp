/* The engine's own compiler behind the zend_compile_file hook: reads the
 * file, parses it, generates its op array. */
#include <cstdio>
#include <cstring>
#include <string>

#include "compiler/ast.h"
#include "compiler/codegen.h"
#include "engine.h"

namespace {

struct parse_position {
    const char *filename;
    int line;
};
parse_position *reporting = nullptr;

void parse_error_position(const char **filename, int *lineno) {
    *filename = reporting ? reporting->filename : nullptr;
    *lineno = reporting ? reporting->line : 0;
}

/* Parses and compiles source text; a syntax error is reported as a parse
 * error at its line in `name` and gives null. */
zend_op_array *compile_source(const std::string &source, const char *name, bool eval_code, int first_line) {
    std::string message;
    int line = 0;
    std::unique_ptr<zend::ast::tree> tree =
        zend::ast::parse(source.data(), source.size(), message, line, eval_code, first_line);
    if (!tree) {
        parse_position at{name, line};
        parse_position *outer = reporting;
        reporting = &at;
        zend::position_fn previous = zend::set_position_provider(parse_error_position);
        zend_error(E_PARSE, "%s", message.c_str());
        zend::set_position_provider(previous);
        reporting = outer;
        return nullptr;
    }
    return zend::codegen::compile_tree(*tree, name, eval_code);
}

bool read_all(FILE *fp, std::string &out) {
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, fp)) > 0) out.append(buffer, n);
    return !std::ferror(fp);
}

} // namespace

extern "C" {

ZEND_API zend_op_array *(*zend_compile_file)(zend_file_handle *file_handle, int type) = compile_file;

ZEND_API zend_op_array *compile_file(zend_file_handle *file_handle, int type) {
    zend::counters.compilations++;
    if (!file_handle) return nullptr;
    if (!file_handle->handle.fp) {
        if (!file_handle->filename || !zend::open_file_for_include(file_handle->filename, file_handle))
            return nullptr;
    }
    std::string source;
    bool ok = read_all(file_handle->handle.fp, source);
    std::fclose(file_handle->handle.fp);
    file_handle->handle.fp = nullptr;
    const char *name = file_handle->opened_path ? file_handle->opened_path
                     : file_handle->filename ? file_handle->filename : "-";
    if (!ok) {
        zend_error(E_WARNING, "Failed reading '%s'", name);
        return nullptr;
    }

    int first_line = zend::compile_first_line;
    zend::compile_first_line = 1;
    return compile_source(source, name, false, first_line);
}

} // extern "C"

namespace zend {

int compile_first_line = 1;

zend_op_array *compile_string(const std::string &code, const char *description) {
    return compile_source(code, description, true, 1);
}

} // namespace zend
