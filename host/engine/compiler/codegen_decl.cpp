/* Declarations: functions, classes and the constant values of defaults,
 * statics and properties.
 *
 * A declaration at the top level of a file, outside any conditional block,
 * goes straight into CG(function_table) / CG(class_table) under its
 * lower-cased name. Any other goes in under a run-time key ("\0", the
 * lower-cased name, the file and position) and a DECLARE_FUNCTION or
 * DECLARE_CLASS op copies it to its name when it runs. */
#include <cstring>
#include <string>

#include "compiler/codegen.h"
#include "core/classes.h"
#include "core/operators.h"
#include "engine.h"

namespace zend::codegen {

using ast::kind;

namespace {

std::string runtime_key(compiler &c, const std::string &name_lc) {
    std::string key(1, '\0');
    key += name_lc;
    key += c.filename ? c.filename : "";
    key += ":" + std::to_string(c.line) + ":" + std::to_string(++c.declaration_ordinal);
    /* a file compiled again in the same request gets keys of its own, so a
     * compilation only ever appends to the tables, never updates in place */
    key += ":" + std::to_string(zend::counters.compilations);
    return key;
}

/* Compiles the parameters and body of a function or method. */
zend_op_array *compile_function_body(compiler &c, const ast::node *n) {
    function_state fs;
    function_state *outer = c.fn;
    int outer_line = c.line;
    c.fn = &fs;
    std::string outer_name = c.function_name;
    c.function_name = n->str;
    fs.return_reference = n->op == 1;
    c.conditional_depth++;
    int index = 0;
    for (const ast::node *p : n->list) {
        c.line = p->line ? p->line : c.line;
        bool byref = p->op == 1;
        fs.arg_types.push_back(byref ? BYREF_FORCE : BYREF_NONE);
        fs.has_byref_param |= byref;
        znode def = unused_node();
        if (ast::value(p)) {
            def.op_type = IS_CONST;
            make_constant_value(c, ast::value(p), &def.u.constant);
        }
        emit(c, ZEND_RECV, unused_node(), const_string(p->str), def, (ulong)index);
        index++;
    }
    compile_statement(c, ast::body(n));
    emit(c, ZEND_RETURN, unused_node(), unused_node(), unused_node());
    zend_op_array *oa = finish_op_array(c, fs, n->str.c_str());
    oa->return_reference = n->op == 1;
    c.conditional_depth--;
    c.function_name = outer_name;
    c.fn = outer;
    c.line = outer_line;
    return oa;
}

void set_array_key(compiler &c, HashTable *ht, const ast::node *key, zval *value) {
    if (!key) {
        zend_hash_next_index_insert(ht, &value, sizeof(zval *), nullptr);
        return;
    }
    zval k;
    make_constant_value(c, key, &k);
    if (k.type == IS_CONSTANT) {
        /* resolved when the array is used: the constant may be defined later */
        std::string marked(constant_key_prefix);
        marked.append(k.value.str.val, (std::size_t)k.value.str.len);
        zval_dtor(&k);
        zend_hash_update(ht, marked.data(), (uint)marked.size() + 1, &value, sizeof(zval *), nullptr);
        return;
    }
    switch (k.type) {
    case IS_LONG:
    case IS_BOOL: zend_hash_index_update(ht, (ulong)k.value.lval, &value, sizeof(zval *), nullptr); break;
    case IS_DOUBLE: zend_hash_index_update(ht, (ulong)(long)k.value.dval, &value, sizeof(zval *), nullptr); break;
    case IS_STRING:
        zend_hash_update(ht, k.value.str.val, (uint)k.value.str.len + 1, &value, sizeof(zval *), nullptr);
        break;
    case IS_NULL: zend_hash_update(ht, "", 1, &value, sizeof(zval *), nullptr); break;
    default: zval_dtor(&k); compile_error(c, "Illegal offset type");
    }
    zval_dtor(&k);
}

} // namespace

void make_constant_value(compiler &c, const ast::node *n, zval *out) {
    std::memset(out, 0, sizeof *out);
    out->refcount = 1;
    out->type = IS_NULL;
    if (!n) return;
    switch (n->k) {
    case kind::long_lit: out->type = IS_LONG; out->value.lval = n->lval; return;
    case kind::double_lit: out->type = IS_DOUBLE; out->value.dval = n->dval; return;
    case kind::bool_lit: out->type = IS_BOOL; out->value.lval = n->lval != 0; return;
    case kind::null_lit: return;
    case kind::string_lit:
        out->type = IS_STRING;
        out->value.str.val = estrndup(n->str.data(), (uint)n->str.size());
        out->value.str.len = (int)n->str.size();
        return;
    case kind::interp:
        if (n->list.size() == 1 && n->list[0]->k == kind::string_lit) return make_constant_value(c, n->list[0], out);
        if (n->list.empty()) {
            out->type = IS_STRING;
            out->value.str.val = estrndup("", 0);
            return;
        }
        break;
    case kind::unary:
        if (ast::operand(n)->k == kind::long_lit && (ast::op)n->op == ast::op::negate) {
            out->type = IS_LONG;
            out->value.lval = (long)(0UL - (unsigned long)ast::operand(n)->lval);
            return;
        }
        if (ast::operand(n)->k == kind::double_lit && (ast::op)n->op == ast::op::negate) {
            out->type = IS_DOUBLE;
            out->value.dval = -ast::operand(n)->dval;
            return;
        }
        if ((ast::op)n->op == ast::op::plus) return make_constant_value(c, ast::operand(n), out);
        break;
    case kind::constant: {
        std::string lc = lowercase(n->str);
        if (lc == "__line__") {
            out->type = IS_LONG;
            out->value.lval = n->line;
            return;
        }
        const std::string &text = lc == "__file__" ? std::string(c.filename ? c.filename : "") : n->str;
        out->type = lc == "__file__" ? IS_STRING : IS_CONSTANT;
        out->value.str.val = estrndup(text.data(), (uint)text.size());
        out->value.str.len = (int)text.size();
        return;
    }
    case kind::array: {
        HashTable *ht;
        ALLOC_HASHTABLE(ht);
        zend_hash_init(ht, 0, nullptr, (dtor_func_t)_zval_ptr_dtor, 0);
        out->type = IS_CONSTANT_ARRAY;
        out->value.ht = ht;
        for (const ast::node *element : n->list) {
            zval *value;
            ALLOC_ZVAL(value);
            make_constant_value(c, ast::value(element), value);
            set_array_key(c, ht, ast::key(element), value);
        }
        return;
    }
    default: break;
    }
    compile_error(c, "Constant expression expected");
}

void compile_function_decl(compiler &c, const ast::node *n) {
    std::string lc = lowercase(n->str);
    bool at_top = c.conditional_depth == 0;
    int line = c.line;
    zend_op_array *oa = compile_function_body(c, n);
    c.line = line;
    if (at_top) {
        int added = zend_hash_add(CG(function_table), lc.c_str(), (uint)lc.size() + 1, oa, sizeof(zend_function), nullptr);
        efree(oa);
        if (added != SUCCESS) compile_error(c, "Cannot redeclare %s()", n->str.c_str());
        return;
    }
    std::string key = runtime_key(c, lc);
    zend_hash_update(CG(function_table), key.data(), (uint)key.size() + 1, oa, sizeof(zend_function), nullptr);
    efree(oa);
    emit(c, ZEND_DECLARE_FUNCTION, unused_node(), const_string(key), const_string(lc));
}

/* class_decl -> CLASS name [EXTENDS parent] '{' (VAR prop [= const] ';' | function)* '}'
 *
 * A parent known now is inherited at once: the class starts from a copy of
 * its members, and its own replace inherited ones in place. A parent not
 * known yet (its file is included by the code before the declaration) is
 * inherited when the declaration runs. */
void compile_class_decl(compiler &c, const ast::node *n) {
    if (!c.class_name_lc.empty()) compile_error(c, "Class declarations may not be nested");
    std::string lc = lowercase(n->str);
    std::string parent_lc = lowercase(n->str2);
    bool at_top = c.conditional_depth == 0;
    int line = c.line;

    zend_class_entry *parent = nullptr;
    bool bound_later = !parent_lc.empty() && zend_hash_find(CG(class_table), parent_lc.c_str(),
                                                            (uint)parent_lc.size() + 1, (void **)&parent) != SUCCESS;
    if (bound_later) parent = nullptr;

    zend_class_entry ce;
    std::memset(&ce, 0, sizeof ce);
    ce.type = ZEND_USER_CLASS;
    ce.name = estrndup(n->str.data(), (uint)n->str.size());
    ce.name_length = (uint)n->str.size();
    ce.refcount = (int *)emalloc(sizeof(int));
    *ce.refcount = 1;
    zend_hash_init(&ce.function_table, 10, nullptr, (dtor_func_t)destroy_zend_function, 0);
    zend_hash_init(&ce.default_properties, 10, nullptr, (dtor_func_t)_zval_ptr_dtor, 0);
    if (parent) inherit_by_copy(&ce, parent);

    std::string saved_class = c.class_name_lc, saved_parent = c.parent_name_lc, saved_name = c.class_name;
    c.class_name_lc = lc;
    c.class_name = n->str;
    c.parent_name_lc = parent_lc;
    for (const ast::node *member : n->list) {
        c.line = member->line ? member->line : c.line;
        if (member->k == kind::prop_decl) {
            zval *value;
            ALLOC_ZVAL(value);
            make_constant_value(c, ast::value(member), value);
            zend_hash_update(&ce.default_properties, member->str.c_str(), (uint)member->str.size() + 1, &value,
                             sizeof(zval *), nullptr);
        } else if (member->k == kind::func_decl) {
            zend_op_array *method = compile_function_body(c, member);
            std::string mlc = lowercase(member->str);
            uint key_length = (uint)mlc.size() + 1;
            int stored;
            if (zend_hash_exists(&ce.function_table, mlc.c_str(), key_length)) {
                /* an inherited method is replaced in place; one of the class's own twice is an error */
                stored = method_is_inherited(&ce, mlc.c_str(), key_length)
                             ? zend_hash_update(&ce.function_table, mlc.c_str(), key_length, method,
                                                sizeof(zend_function), nullptr)
                             : FAILURE;
            } else {
                stored = zend_hash_add(&ce.function_table, mlc.c_str(), key_length, method, sizeof(zend_function),
                                       nullptr);
            }
            efree(method);
            if (stored != SUCCESS) compile_error(c, "Cannot redeclare %s()", member->str.c_str());
        }
    }
    c.class_name_lc = saved_class;
    c.class_name = saved_name;
    c.parent_name_lc = saved_parent;
    if (parent) inherit_constructor(&ce);

    c.line = line;
    if (bound_later) {
        std::string key = runtime_key(c, lc);
        zend_hash_update(CG(class_table), key.data(), (uint)key.size() + 1, &ce, sizeof ce, nullptr);
        emit(c, ZEND_DECLARE_INHERITED_CLASS, unused_node(), const_string(key), const_string(parent_lc + ":" + lc));
        return;
    }
    if (at_top) {
        if (zend_hash_add(CG(class_table), lc.c_str(), (uint)lc.size() + 1, &ce, sizeof ce, nullptr) != SUCCESS) {
            destroy_zend_class(&ce);
            compile_error(c, "Cannot redeclare class %s", n->str.c_str());
        }
        return;
    }
    std::string key = runtime_key(c, lc);
    zend_hash_update(CG(class_table), key.data(), (uint)key.size() + 1, &ce, sizeof ce, nullptr);
    emit(c, ZEND_DECLARE_CLASS, unused_node(), const_string(key), const_string(lc));
}

} // namespace zend::codegen
