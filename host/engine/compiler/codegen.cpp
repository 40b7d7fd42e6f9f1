/* Emission and op-array assembly: the parts of the code generator that
 * every construct goes through. */
#include "compiler/codegen.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine.h"

namespace zend {

const char *opcode_name(int code) {
    static const char *const names[] = {
#define OPCODE(name, meaning) #name,
#include "opcodes.def"
#undef OPCODE
    };
    if (code < 0 || code >= ZEND_OPCODE_COUNT) return "?";
    return names[code];
}

} // namespace zend

namespace zend::codegen {

namespace {

compiler *active = nullptr; /* the compilation whose position errors report */

void compile_position(const char **filename, int *lineno) {
    *filename = active ? active->filename : nullptr;
    *lineno = active ? active->line : 0;
}

void check_operand(compiler &c, const znode &n) {
    if ((n.op_type == IS_TMP_VAR || n.op_type == IS_VAR) && n.u.var >= c.fn->max_temp)
        compile_error(c, "Internal error: temporary %u out of range", n.u.var);
}

} // namespace

std::string lowercase(const std::string &s) {
    std::string r(s);
    for (char &ch : r)
        if (ch >= 'A' && ch <= 'Z') ch = (char)(ch - 'A' + 'a');
    return r;
}

void compile_error(compiler &c, const char *format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    zend_error(E_COMPILE_ERROR, "%s", buffer);
    throw bailout{}; /* zend_error does not return for fatal levels */
}

znode unused_node() {
    znode n;
    std::memset(&n, 0, sizeof n);
    n.op_type = IS_UNUSED;
    return n;
}

znode tmp_node(zend_uint var, int type) {
    znode n = unused_node();
    n.op_type = type;
    n.u.var = var;
    return n;
}

znode jump_node(zend_uint target) {
    znode n = unused_node();
    n.u.opline_num = target;
    return n;
}

znode const_long(long value) {
    znode n = unused_node();
    n.op_type = IS_CONST;
    n.u.constant.type = IS_LONG;
    n.u.constant.value.lval = value;
    n.u.constant.refcount = 1;
    return n;
}

znode const_bool(bool value) {
    znode n = const_long(value ? 1 : 0);
    n.u.constant.type = IS_BOOL;
    return n;
}

znode const_null() {
    znode n = const_long(0);
    n.u.constant.type = IS_NULL;
    return n;
}

znode const_string(const std::string &s) {
    znode n = unused_node();
    n.op_type = IS_CONST;
    n.u.constant.type = IS_STRING;
    n.u.constant.value.str.val = estrndup(s.data(), (uint)s.size());
    n.u.constant.value.str.len = (int)s.size();
    n.u.constant.refcount = 1;
    return n;
}

bool is_temp(const znode &n) { return n.op_type == IS_TMP_VAR || n.op_type == IS_VAR; }

zend_uint new_temp(compiler &c) {
    function_state &fs = *c.fn;
    if (fs.next_temp >= max_temporaries) compile_error(c, "Too many temporary values in one function");
    zend_uint t = fs.next_temp++;
    if (fs.next_temp > fs.max_temp) fs.max_temp = fs.next_temp;
    return t;
}

zend_uint emit(compiler &c, opcode code, const znode &result, const znode &op1, const znode &op2,
               ulong extended_value) {
    function_state &fs = *c.fn;
    if (fs.ops.size() >= max_ops) compile_error(c, "Too many operations in one function");
    check_operand(c, result);
    check_operand(c, op1);
    check_operand(c, op2);
    zend_op op;
    std::memset(&op, 0, sizeof op);
    op.opcode = code;
    op.result = result;
    op.op1 = op1;
    op.op2 = op2;
    op.extended_value = extended_value;
    op.lineno = (uint)c.line;
    fs.ops.push_back(op);
    return (zend_uint)(fs.ops.size() - 1);
}

zend_uint next_op(const compiler &c) { return (zend_uint)c.fn->ops.size(); }

zend_op &op_at(compiler &c, zend_uint number) { return c.fn->ops[number]; }

zend_op_array *finish_op_array(compiler &c, function_state &fs, const char *function_name) {
    zend_op_array *oa = (zend_op_array *)ecalloc(1, sizeof(zend_function));
    oa->type = ZEND_USER_FUNCTION;
    if (fs.has_byref_param) {
        std::size_t count = fs.arg_types.size();
        if (count > 255) compile_error(c, "Too many parameters passed by reference");
        oa->arg_types = (zend_uchar *)emalloc(count + 1);
        oa->arg_types[0] = (zend_uchar)count;
        for (std::size_t i = 0; i < count; i++) oa->arg_types[i + 1] = fs.arg_types[i];
    }
    oa->function_name = function_name ? estrdup(function_name) : nullptr;
    oa->refcount = (zend_uint *)emalloc(sizeof(zend_uint));
    *oa->refcount = 1;
    oa->last = oa->size = (zend_uint)fs.ops.size();
    oa->opcodes = (zend_op *)emalloc(sizeof(zend_op) * (fs.ops.empty() ? 1 : fs.ops.size()));
    if (!fs.ops.empty()) std::memcpy(oa->opcodes, fs.ops.data(), sizeof(zend_op) * fs.ops.size());
    fs.ops.clear(); /* the constants now belong to the op array */
    oa->T = fs.max_temp;
    if (!fs.brk_cont.empty()) {
        oa->brk_cont_array = (zend_brk_cont_element *)emalloc(sizeof(zend_brk_cont_element) * fs.brk_cont.size());
        std::memcpy(oa->brk_cont_array, fs.brk_cont.data(), sizeof(zend_brk_cont_element) * fs.brk_cont.size());
    }
    oa->last_brk_cont = (zend_uint)fs.brk_cont.size();
    oa->current_brk_cont = (zend_uint)-1;
    oa->static_variables = fs.statics;
    fs.statics = nullptr;
    oa->done_pass_two = 1;
    oa->filename = estrdup(c.filename ? c.filename : "");
    return oa;
}

zend_op_array *compile_tree(const ast::tree &tree, const char *filename, bool eval_code) {
    compiler c;
    c.filename = filename;
    function_state fs;
    c.fn = &fs;
    compiler *previous = active;
    active = &c;
    position_fn previous_provider = set_position_provider(compile_position);
    struct restore {
        compiler *prev;
        position_fn provider;
        ~restore() {
            active = prev;
            set_position_provider(provider);
        }
    } guard{previous, previous_provider};

    if (tree.root) compile_statement(c, tree.root);
    /* a file that does not return gives 1 to its include, eval()'d code null */
    emit(c, ZEND_RETURN, unused_node(), eval_code ? const_null() : const_long(1), unused_node());
    return finish_op_array(c, fs, nullptr);
}

} // namespace zend::codegen
