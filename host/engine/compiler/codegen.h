/* The code generator: walks a syntax tree and emits the ops of one op
 * array per file, function and method. Declarations go into the compiler
 * globals' tables while the file compiles.
 *
 * Invariants of what it emits: ops hold positions only (jump targets are
 * op numbers, temporaries indexes, loops brk_cont indexes); every
 * pointer an op array holds (ops, names, constants, tables) comes from the
 * per-request allocator, so destroy_op_array can free it at counter zero;
 * nothing in an op array is changed once it is finished. */
#ifndef BRISKO_CODEGEN_H
#define BRISKO_CODEGEN_H

#include <string>
#include <vector>

#include "compiler/ast.h"
#include "opcodes.h"
#include "php.h"

namespace zend::codegen {

/* Compiles a parsed file, or with eval_code the code given to eval().
 * Functions and classes it declares land in CG(function_table) and
 * CG(class_table). A compile error (redeclaration, unknown parent class,
 * ...) is fatal: zend_error bails out. */
zend_op_array *compile_tree(const ast::tree &tree, const char *filename, bool eval_code = false);

/* ---- the generator's own state, shared by its source files ---- */

/* One op array being built. */
struct function_state {
    std::vector<zend_op> ops;
    std::vector<zend_brk_cont_element> brk_cont;
    int current_brk_cont = -1;  /* innermost loop or switch, -1 outside */
    int loop_depth = 0;         /* enclosing loops and switches */
    zend_uint next_temp = 0;    /* next free temporary */
    zend_uint temp_floor = 0;   /* temporaries below stay live across statements */
    zend_uint max_temp = 0;     /* becomes T */
    HashTable *statics = nullptr;
    std::vector<zend_uchar> arg_types; /* one BYREF_* per parameter */
    bool has_byref_param = false;
    bool return_reference = false; /* declared function &name() */
};

struct compiler {
    const char *filename = nullptr;
    int line = 0;
    function_state *fn = nullptr;
    int conditional_depth = 0;  /* > 0 inside conditional blocks and bodies */
    std::string class_name_lc;  /* class being compiled, "" outside */
    std::string class_name;     /* the same as declared, for __CLASS__ */
    std::string function_name;  /* function being compiled, for __FUNCTION__ */
    std::string parent_name_lc; /* its parent, "" when none */
    int declaration_ordinal = 0; /* makes run-time keys unique in a file */
};

/* Emission: the one place that appends ops; records the line and checks
 * that temporaries and op counts stay in range. Returns the op number. */
zend_uint emit(compiler &c, opcode code, const znode &result, const znode &op1, const znode &op2,
               ulong extended_value = 0);
zend_uint next_op(const compiler &c);
zend_op &op_at(compiler &c, zend_uint number);
zend_uint new_temp(compiler &c);

znode unused_node();
znode tmp_node(zend_uint var, int type = IS_TMP_VAR);
znode jump_node(zend_uint target);
znode const_long(long value);
znode const_bool(bool value);
znode const_null();
znode const_string(const std::string &s);
bool is_temp(const znode &n);

/* Expressions. compile_expr returns the operand holding the value; with
 * used == false an expression that can drop its result does so and
 * returns an unused operand. */
znode compile_expr(compiler &c, const ast::node *n, bool used = true);
bool is_variable(const ast::node *n);
/* $GLOBALS, $_GET, $_POST, $_COOKIE, $_SERVER, $_ENV, $_REQUEST, $_FILES,
 * $_SESSION: written by name, they are the globals in every scope. */
bool is_auto_global(const std::string &name);

/* A variable expression split into its base and steps, with every name
 * and index already evaluated, so the fetches that follow run back to
 * back: no script code runs between a write fetch and its use, and no
 * location can go stale. */
struct fetch_step {
    bool is_property;
    znode key;                  /* unused for $a[] */
};
struct variable_chain {
    bool base_is_value = false; /* base is an expression, not a variable */
    bool global_scope = false;  /* an auto-global ($GLOBALS, $_GET, ...): the base is a global */
    znode base;                 /* variable name (const or temp), or the value */
    std::vector<fetch_step> steps;
};
variable_chain prepare_variable(compiler &c, const ast::node *n);
znode emit_fetches(compiler &c, const variable_chain &chain, ulong ext);
znode compile_variable(compiler &c, const ast::node *n, ulong ext);

/* Statements and declarations. */
void compile_statement(compiler &c, const ast::node *n);
void compile_function_decl(compiler &c, const ast::node *n);
void compile_class_decl(compiler &c, const ast::node *n);
/* A constant initialiser (default, static, property) as a value: type 8
 * for a constant name, type 9 for an array of constants. */
void make_constant_value(compiler &c, const ast::node *n, zval *out);

/* Finishes an op array from a function state: everything emalloc'ed. */
zend_op_array *finish_op_array(compiler &c, function_state &fs, const char *function_name);

std::string lowercase(const std::string &s);
[[noreturn]] void compile_error(compiler &c, const char *format, ...) __attribute__((format(printf, 2, 3)));

} // namespace zend::codegen

#endif
