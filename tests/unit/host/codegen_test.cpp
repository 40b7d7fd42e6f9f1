// Op-level checks of the code generator: what it emits must hold positions
// only, keep constants inside operands, and declare functions and classes
// the way the script cache expects to find them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "compiler/ast.h"
#include "compiler/codegen.h"
#include "engine.h"
#include "engine_testing.h"
#include "executor/executor.h"

namespace {

std::string captured;
void capture(const char *data, std::size_t length) { captured.append(data, length); }

struct CodegenTest : ::testing::Test {
    zend::testing::request_scope *scope = nullptr;
    void SetUp() override {
        captured.clear();
        zend::set_output_sink(capture);
        scope = new zend::testing::request_scope;
    }
    void TearDown() override {
        delete scope;
        zend::set_output_sink(nullptr);
    }

    zend_op_array *compile(const std::string &source) {
        std::string message;
        int line = 0;
        auto tree = zend::ast::parse(source.data(), source.size(), message, line);
        EXPECT_TRUE(tree) << message << " on line " << line;
        if (!tree) return nullptr;
        return zend::codegen::compile_tree(*tree, "test.php");
    }

    std::string run(zend_op_array *oa) {
        zend::output_buffer().clear();
        try {
            zval *rv = zend::exec::run_in_scope(oa, &EG(symbol_table), nullptr);
            zval_ptr_dtor(&rv);
        } catch (const zend::bailout &) {
        }
        std::string out = zend::output_buffer();
        zend::output_buffer().clear();
        return out;
    }

    static std::vector<zend_uint> find(const zend_op_array *oa, zend::opcode code) {
        std::vector<zend_uint> at;
        for (zend_uint i = 0; i < oa->last; i++)
            if (oa->opcodes[i].opcode == code) at.push_back(i);
        return at;
    }
};

TEST_F(CodegenTest, LoopJumpsAreOpNumbersInsideTheOpArray) {
    zend_op_array *oa = compile("<?php $i = 0; while ($i < 3) { $i++; } echo $i;");
    ASSERT_NE(oa, nullptr);
    auto jmpz = find(oa, zend::ZEND_JMPZ);
    auto jmp = find(oa, zend::ZEND_JMP);
    ASSERT_EQ(jmpz.size(), 1u);
    ASSERT_EQ(jmp.size(), 1u);
    const zend_op &exit_jump = oa->opcodes[jmpz[0]];
    const zend_op &back_jump = oa->opcodes[jmp[0]];
    EXPECT_EQ(exit_jump.op2.op_type, IS_UNUSED);
    EXPECT_EQ(exit_jump.op2.u.opline_num, jmp[0] + 1) << "the loop exit lands right after the back jump";
    EXPECT_LT(back_jump.op1.u.opline_num, jmpz[0]) << "the back jump returns to the condition";
    EXPECT_EQ(oa->opcodes[oa->last - 1].opcode, zend::ZEND_RETURN);
    /* every temporary an op names lies below T */
    for (zend_uint i = 0; i < oa->last; i++) {
        const zend_op &op = oa->opcodes[i];
        for (const znode *n : {&op.result, &op.op1, &op.op2})
            if (n->op_type == IS_TMP_VAR || n->op_type == IS_VAR) {
                EXPECT_LT(n->u.var, oa->T) << "op " << i;
            }
    }
    EXPECT_EQ(run(oa), "3");
    destroy_op_array(oa);
    efree(oa);
}

TEST_F(CodegenTest, StringConstantsLiveInTheOperand) {
    zend_op_array *oa = compile("<?php echo \"hello\", 'x';");
    auto echoes = find(oa, zend::ZEND_ECHO);
    ASSERT_EQ(echoes.size(), 2u);
    const znode &operand = oa->opcodes[echoes[0]].op1;
    ASSERT_EQ(operand.op_type, IS_CONST);
    ASSERT_EQ(operand.u.constant.type, IS_STRING);
    ASSERT_EQ(operand.u.constant.value.str.len, 5);
    EXPECT_EQ(std::memcmp(operand.u.constant.value.str.val, "hello", 6), 0) << "NUL-terminated";
    destroy_op_array(oa);
    efree(oa);
}

TEST_F(CodegenTest, ByteCopyOfTheOpsRunsTheSameAndRunningChangesNothing) {
    const char *source = "<?php function f($n) { static $calls = 0; $calls++; return $n * 2 . \"/$calls\"; }\n"
                         "for ($i = 0; $i < 3; $i++) { foreach (array(1, 2) as $k => $v) { if ($v == 2) continue 2;"
                         " switch ($i) { case 1: echo f($v); break 2; default: echo \"-\"; } } }";
    zend_op_array *oa = compile(source);
    ASSERT_NE(oa, nullptr);
    std::vector<char> before((const char *)oa->opcodes, (const char *)(oa->opcodes + oa->last));
    std::string first = run(oa);
    EXPECT_EQ(first, "-2/1-");
    EXPECT_EQ(std::memcmp(before.data(), oa->opcodes, before.size()), 0) << "the executor must not write to ops";

    zend_op_array copy = *oa;
    copy.opcodes = (zend_op *)emalloc(sizeof(zend_op) * oa->last);
    std::memcpy(copy.opcodes, oa->opcodes, sizeof(zend_op) * oa->last);
    std::string second = run(&copy);
    EXPECT_EQ(second, "-2/2-") << "the copy runs the same code; statics carry on within the request";
    efree(copy.opcodes);
    destroy_op_array(oa);
    efree(oa);
}

TEST_F(CodegenTest, BreakAndContinueNameTheirLoopByIndex) {
    zend_op_array *oa = compile("<?php while (1) { for (;;) { break 2; } continue; }");
    ASSERT_EQ(oa->last_brk_cont, 2u);
    EXPECT_EQ(oa->brk_cont_array[0].parent, -1);
    EXPECT_EQ(oa->brk_cont_array[1].parent, 0);
    auto brk = find(oa, zend::ZEND_BRK);
    auto cont = find(oa, zend::ZEND_CONT);
    ASSERT_EQ(brk.size(), 1u);
    ASSERT_EQ(cont.size(), 1u);
    EXPECT_EQ(oa->opcodes[brk[0]].op1.u.opline_num, 1u);
    EXPECT_EQ(oa->opcodes[brk[0]].op2.u.constant.value.lval, 2);
    EXPECT_EQ(oa->opcodes[cont[0]].op1.u.opline_num, 0u);
    for (zend_uint i = 0; i < oa->last_brk_cont; i++) {
        EXPECT_LE((zend_uint)oa->brk_cont_array[i].brk, oa->last);
        EXPECT_LE((zend_uint)oa->brk_cont_array[i].cont, oa->last);
    }
    EXPECT_EQ(run(oa), "");
    destroy_op_array(oa);
    efree(oa);
}

TEST_F(CodegenTest, ArrayDefaultPropertyIsAConstantArray) {
    zend_op_array *oa = compile("<?php class Box { var $list = array(1, 2); var $c = SOME_CONST; var $n; }");
    zend_class_entry *ce = nullptr;
    ASSERT_EQ(zend_hash_find(CG(class_table), "box", 4, (void **)&ce), SUCCESS);
    EXPECT_EQ(ce->type, ZEND_USER_CLASS);
    EXPECT_STREQ(ce->name, "Box");
    ASSERT_NE(ce->refcount, nullptr);
    EXPECT_EQ(*ce->refcount, 1);
    zval **list = nullptr, **c = nullptr, **n = nullptr;
    ASSERT_EQ(zend_hash_find(&ce->default_properties, "list", 5, (void **)&list), SUCCESS);
    ASSERT_EQ((*list)->type, IS_CONSTANT_ARRAY);
    EXPECT_EQ(zend_hash_num_elements((*list)->value.ht), 2);
    zval **second = nullptr;
    ASSERT_EQ(zend_hash_index_find((*list)->value.ht, 1, (void **)&second), SUCCESS);
    EXPECT_EQ((*second)->type, IS_LONG);
    EXPECT_EQ((*second)->value.lval, 2);
    ASSERT_EQ(zend_hash_find(&ce->default_properties, "c", 2, (void **)&c), SUCCESS);
    EXPECT_EQ((*c)->type, IS_CONSTANT);
    ASSERT_EQ(zend_hash_find(&ce->default_properties, "n", 2, (void **)&n), SUCCESS);
    EXPECT_EQ((*n)->type, IS_NULL);
    destroy_op_array(oa);
    efree(oa);
}

TEST_F(CodegenTest, ConditionalFunctionWaitsUnderARuntimeKey) {
    zend_op_array *oa = compile("<?php if (true) { function Later() { return 1; } }");
    EXPECT_EQ(zend_hash_exists(CG(function_table), "later", 6), 0) << "not under its name before the op runs";
    bool found_key = false;
    HashPosition pos;
    for (zend_hash_internal_pointer_reset_ex(CG(function_table), &pos);
         zend_hash_get_current_key_type_ex(CG(function_table), &pos) != HASH_KEY_NON_EXISTANT;
         zend_hash_move_forward_ex(CG(function_table), &pos)) {
        char *key;
        uint length;
        ulong index;
        if (zend_hash_get_current_key_ex(CG(function_table), &key, &length, &index, 0, &pos) == HASH_KEY_IS_STRING &&
            length > 6 && key[0] == '\0' && std::memcmp(key + 1, "later", 5) == 0)
            found_key = true;
    }
    EXPECT_TRUE(found_key);
    auto declare = find(oa, zend::ZEND_DECLARE_FUNCTION);
    ASSERT_EQ(declare.size(), 1u);
    EXPECT_EQ(oa->opcodes[declare[0]].op1.u.constant.value.str.val[0], '\0');
    EXPECT_STREQ(oa->opcodes[declare[0]].op2.u.constant.value.str.val, "later");
    run(oa);
    zend_function *f = nullptr;
    ASSERT_EQ(zend_hash_find(CG(function_table), "later", 6, (void **)&f), SUCCESS);
    EXPECT_STREQ(f->common.function_name, "Later");
    EXPECT_EQ(*f->op_array.refcount, 2u) << "the copy under the name shares the op array";
    destroy_op_array(oa);
    efree(oa);
}

TEST_F(CodegenTest, TopLevelDeclarationsAndFunctionParts) {
    zend_op_array *oa = compile("<?php function plain($a, $b = 1) { static $s = array(1), $t = 5; }\n"
                                "function byref($a, &$b) { }\nclass P { function m() {} }\n"
                                "class Q extends P { var $q = 1; }");
    zend_function *plain = nullptr, *byref = nullptr;
    ASSERT_EQ(zend_hash_find(CG(function_table), "plain", 6, (void **)&plain), SUCCESS);
    ASSERT_EQ(zend_hash_find(CG(function_table), "byref", 6, (void **)&byref), SUCCESS);
    EXPECT_EQ(plain->op_array.arg_types, nullptr) << "only made when a parameter is by reference";
    ASSERT_NE(byref->op_array.arg_types, nullptr);
    EXPECT_EQ(byref->op_array.arg_types[0], 2);
    EXPECT_EQ(byref->op_array.arg_types[1], BYREF_NONE);
    EXPECT_EQ(byref->op_array.arg_types[2], BYREF_FORCE);
    ASSERT_NE(plain->op_array.static_variables, nullptr);
    zval **s = nullptr;
    ASSERT_EQ(zend_hash_find(plain->op_array.static_variables, "s", 2, (void **)&s), SUCCESS);
    EXPECT_EQ((*s)->type, IS_CONSTANT_ARRAY);
    EXPECT_STREQ(plain->op_array.filename, "test.php");

    zend_class_entry *p = nullptr, *q = nullptr;
    ASSERT_EQ(zend_hash_find(CG(class_table), "p", 2, (void **)&p), SUCCESS);
    ASSERT_EQ(zend_hash_find(CG(class_table), "q", 2, (void **)&q), SUCCESS);
    EXPECT_EQ(q->parent, p);
    zend_function *inherited = nullptr, *own = nullptr;
    ASSERT_EQ(zend_hash_find(&q->function_table, "m", 2, (void **)&inherited), SUCCESS);
    ASSERT_EQ(zend_hash_find(&p->function_table, "m", 2, (void **)&own), SUCCESS);
    EXPECT_EQ(inherited->op_array.opcodes, own->op_array.opcodes) << "methods are shared, not recompiled";
    EXPECT_EQ(*own->op_array.refcount, 2u);
    destroy_op_array(oa);
    efree(oa);
}

TEST_F(CodegenTest, ListReadsOneHeldValueFromTheLastTargetToTheFirst) {
    zend_op_array *oa = compile("<?php $r = list($a, , list($b, $c)) = $v;");
    ASSERT_NE(oa, nullptr);
    std::vector<std::pair<long, ulong>> reads; /* index, extended_value */
    std::vector<zend_uint> assigns;
    zend_uint held = 0;
    for (zend_uint i = 0; i < oa->last; i++) {
        const zend_op &op = oa->opcodes[i];
        if (op.opcode == zend::ZEND_FETCH_DIM) {
            ASSERT_EQ(op.op2.op_type, IS_CONST);
            reads.emplace_back(op.op2.u.constant.value.lval, op.extended_value);
            if (op.extended_value & zend::FETCH_KEEP_CONTAINER) held = op.op1.u.var;
        }
        if (op.opcode == zend::ZEND_ASSIGN) assigns.push_back(i);
    }
    /* $c = $v[2][1], $b = $v[2][0], $a = $v[0]: the first level keeps the
     * value for the next target, deeper levels consume what they read */
    std::vector<std::pair<long, ulong>> expected = {
        {2, zend::FETCH_KEEP_CONTAINER}, {1, 0}, {2, zend::FETCH_KEEP_CONTAINER}, {0, 0},
        {0, zend::FETCH_KEEP_CONTAINER}};
    ASSERT_EQ(reads.size(), expected.size());
    for (std::size_t i = 0; i < reads.size(); i++) {
        EXPECT_EQ(reads[i].first, expected[i].first) << "read " << i;
        EXPECT_EQ(reads[i].second & ~(ulong)0x1f, expected[i].second) << "read " << i;
    }
    ASSERT_EQ(assigns.size(), 4u) << "three targets and $r";
    EXPECT_EQ(oa->opcodes[assigns.back()].op2.u.var, held) << "the value of list() = is the held value";
    captured.clear();
    EXPECT_EQ(run(oa), "");
    destroy_op_array(oa);
    efree(oa);
}

TEST_F(CodegenTest, ArgumentsForReferenceParameters) {
    zend_op_array *oa = compile("<?php function r(&$x) {} r($v); r(f()); r(&$w); $o->m(1, new C); g($x = 1);");
    ASSERT_NE(oa, nullptr);
    std::vector<int> sent; /* op1 type of each SEND_VAL */
    int send_var = 0;
    for (zend_uint i = 0; i < oa->last; i++) {
        if (oa->opcodes[i].opcode == zend::ZEND_SEND_VAL) sent.push_back(oa->opcodes[i].op1.op_type);
        if (oa->opcodes[i].opcode == zend::ZEND_SEND_VAR) send_var++;
    }
    EXPECT_EQ(send_var, 2) << "$v and &$w";
    /* a call's, new's and an assignment's results are IS_VAR: they may go
     * to a reference parameter; a literal is a constant */
    EXPECT_EQ(sent, (std::vector<int>{IS_VAR, IS_CONST, IS_VAR, IS_VAR}));
    destroy_op_array(oa);
    efree(oa);

    std::string message;
    int line = 0;
    std::string source = "<?php\nfunction r2(&$x) {}\nr2(1 + 2);";
    auto tree = zend::ast::parse(source.data(), source.size(), message, line);
    ASSERT_TRUE(tree);
    EXPECT_THROW(zend::codegen::compile_tree(*tree, "test.php"), zend::bailout)
        << "a known function: refused while compiling";
}

TEST_F(CodegenTest, EvalCodeReturnsNullAndConstantKeysWaitForTheirValue) {
    std::string message;
    int line = 0;
    std::string code = "$x = array(1);";
    auto tree = zend::ast::parse(code.data(), code.size(), message, line, true, 1);
    ASSERT_TRUE(tree) << message;
    zend_op_array *oa = zend::codegen::compile_tree(*tree, "x.php(3) : eval()'d code", true);
    const zend_op &last = oa->opcodes[oa->last - 1];
    EXPECT_EQ(last.opcode, zend::ZEND_RETURN);
    EXPECT_EQ(last.op1.u.constant.type, IS_NULL);
    destroy_op_array(oa);
    efree(oa);

    oa = compile("<?php function d($a = array(K => 1, 'k' => 2)) {}");
    zend_function *d = nullptr;
    ASSERT_EQ(zend_hash_find(CG(function_table), "d", 2, (void **)&d), SUCCESS);
    const zend_op &recv = d->op_array.opcodes[0];
    ASSERT_EQ(recv.opcode, zend::ZEND_RECV);
    ASSERT_EQ(recv.op2.u.constant.type, IS_CONSTANT_ARRAY);
    HashTable *ht = recv.op2.u.constant.value.ht;
    std::string marked(zend::constant_key_prefix);
    marked += "K";
    EXPECT_TRUE(zend_hash_exists(ht, marked.data(), (uint)marked.size() + 1)) << "kept under the constant's name";
    EXPECT_TRUE(zend_hash_exists(ht, "k", 2));
    destroy_op_array(oa);
    efree(oa);
}

} // namespace
