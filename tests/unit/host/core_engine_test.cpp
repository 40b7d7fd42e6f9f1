/* Errors, output, the allocator's request accounting, parameter fetching
 * and modules, through a small module of test functions. */
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine_testing.h"

using namespace zend::testing;

namespace {

/* test_args(a, b): converts a to a long and b to a string in place, as
 * built-in functions do, and returns "a:b". */
ZEND_FUNCTION(test_args) {
    zval **a, **b;
    if (ZEND_NUM_ARGS() != 2 || zend_get_parameters_ex(2, &a, &b) == FAILURE) WRONG_PARAM_COUNT;
    convert_to_long_ex(a);
    convert_to_string_ex(b);
    std::string s = std::to_string((*a)->value.lval) + ":" + (*b)->value.str.val;
    RETURN_STRINGL(s.c_str(), (uint)s.size(), 1);
}

ZEND_FUNCTION(test_fatal) {
    zend_write("before", 6);
    zend_error(E_ERROR, "stopped at %d", 7);
    zend_write("after", 5);
}

ZEND_FUNCTION(test_list) {
    array_init(return_value);
    add_next_index_long(return_value, 5);
    add_assoc_stringl(return_value, "k", "v", 1, 1);
    add_assoc_long(return_value, "12", 3); /* integer key */
}

zend_function_entry test_functions[] = {
    ZEND_FE(test_args, nullptr) ZEND_FE(test_fatal, nullptr) ZEND_FE(test_list, nullptr) {nullptr, nullptr, nullptr}};

int request_starts = 0, request_ends = 0;
zend_module_entry test_module = {STANDARD_MODULE_HEADER,
                                 "core_test",
                                 test_functions,
                                 nullptr,
                                 nullptr,
                                 [](INIT_FUNC_ARGS) { request_starts++; return SUCCESS; },
                                 [](SHUTDOWN_FUNC_ARGS) { request_ends++; return SUCCESS; },
                                 nullptr,
                                 "1.0",
                                 STANDARD_MODULE_PROPERTIES};

struct EngineTest : ::testing::Test {
    static void SetUpTestSuite() {
        zend::engine_startup();
        zend::request_startup();
        ASSERT_EQ(SUCCESS, zend_startup_module(&test_module));
        zend::request_shutdown();
    }
    static void TearDownTestSuite() { zend::engine_shutdown(); }
};

TEST_F(EngineTest, ParametersAreFetchedAndSeparated) {
    request_scope scope;
    zval *a = make_string("12abc"), *b = make_double(2.5);
    call_result r = call_function("TEST_ARGS", {a, b});
    ASSERT_TRUE(r.found);
    ASSERT_EQ(IS_STRING, r.value->type);
    EXPECT_STREQ("12:2.5", r.value->value.str.val);
    /* The caller's values were shared, so the function converted copies. */
    EXPECT_EQ(IS_STRING, a->type);
    EXPECT_EQ(IS_DOUBLE, b->type);
    EXPECT_EQ(1, a->refcount);

    /* A reference is converted where it is. */
    a->is_ref = 1;
    call_function("test_args", {a, b});
    EXPECT_EQ(IS_LONG, a->type);
    EXPECT_EQ(12, a->value.lval);
}

TEST_F(EngineTest, WrongParameterCountNamesTheFunction) {
    request_scope scope;
    call_result r = call_function("test_args", {make_long(1)});
    ASSERT_EQ(1u, r.errors.size());
    EXPECT_EQ(E_WARNING, r.errors[0].type);
    EXPECT_EQ("Wrong parameter count for test_args()", r.errors[0].message);
    EXPECT_EQ("\nWarning: Wrong parameter count for test_args() in Unknown on line 0\n", r.output);
    EXPECT_EQ(IS_NULL, r.value->type);
    EXPECT_FALSE(call_function("no_such_function", {}).found);
}

TEST_F(EngineTest, FatalErrorBailsOutAndSetsExitStatus) {
    request_scope scope;
    unsigned long fatals = zend::counters.fatal_errors;
    call_result r = call_function("test_fatal", {});
    EXPECT_TRUE(r.bailed_out);
    EXPECT_EQ("before\nFatal error: stopped at 7 in Unknown on line 0\n", r.output);
    EXPECT_EQ(fatals + 1, zend::counters.fatal_errors);
    EXPECT_EQ(255, zend::exit_status());
}

void at_line_12(const char **file, int *line) {
    *file = "/srv/page.php";
    *line = 12;
}

TEST_F(EngineTest, ErrorTextFilteringAndSilence) {
    request_scope scope;
    zend::position_fn previous = zend::set_position_provider(at_line_12);
    std::string &out = zend::output_buffer();
    out.clear();
    zend_error(E_NOTICE, "hidden by default");
    EXPECT_EQ("", out);
    zend_error(E_WARNING, "w %s", "x");
    EXPECT_EQ("\nWarning: w x in /srv/page.php on line 12\n", out);
    out.clear();
    zend_error(E_PARSE, "parse error, unexpected ';'");
    EXPECT_EQ("\nParse error: parse error, unexpected ';' in /srv/page.php on line 12\n", out);
    out.clear();
    /* inside "@" the level is 0; a fatal error shows by the level before it */
    int saved = zend::settings.error_reporting;
    zend::silence_depth++;
    zend::silence_outer_level = saved;
    zend::settings.error_reporting = 0;
    zend_error(E_WARNING, "quiet");
    EXPECT_EQ("", out);
    EXPECT_THROW(zend_error(E_ERROR, "loud"), zend::bailout);
    EXPECT_EQ("\nFatal error: loud in /srv/page.php on line 12\n", out);
    out.clear();
    zend::silence_depth--;
    zend::settings.error_reporting = E_ALL;
    zend_error(E_NOTICE, "Undefined variable: x");
    zend::settings.error_reporting = saved;
    EXPECT_EQ("\nNotice: Undefined variable: x in /srv/page.php on line 12\n", out);
    out.clear();
    EXPECT_EQ(at_line_12, zend::set_position_provider(previous));
}

TEST_F(EngineTest, RequestMemoryEndsWithTheRequest) {
    std::size_t base;
    {
        request_scope scope;
        base = zend::request_memory_blocks();
        std::size_t bytes = zend::request_memory_bytes();
        void *a = emalloc(100);
        char *s = estrdup("hello");
        EXPECT_EQ(base + 2, zend::request_memory_blocks());
        EXPECT_EQ(bytes + 106, zend::request_memory_bytes());
        a = erealloc(a, 1000);
        EXPECT_EQ(bytes + 1006, zend::request_memory_bytes());
        efree(s);
        EXPECT_EQ(base + 1, zend::request_memory_blocks());
        int *zeros = (int *)ecalloc(16, sizeof(int));
        for (int i = 0; i < 16; i++) EXPECT_EQ(0, zeros[i]);
        (void)a; /* left for the request end */
        make_array();
    }
    EXPECT_EQ(0u, zend::request_memory_blocks());
    EXPECT_EQ(0u, zend::request_memory_bytes());
    EXPECT_EQ(nullptr, zend_fast_cache_list_head[ZVAL_CACHE_LIST]);
}

TEST_F(EngineTest, FreeListsAndTheSharedEmptyString) {
    request_scope scope;
    zval *z;
    ALLOC_ZVAL(z);
    std::size_t blocks = zend::request_memory_blocks();
    FREE_ZVAL(z);
#ifdef BRISKO_DEBUG_MEMORY
    /* Every free really frees, so the sanitizers see reuse. */
    EXPECT_EQ(nullptr, zend_fast_cache_list_head[ZVAL_CACHE_LIST]);
    EXPECT_EQ(blocks - 1, zend::request_memory_blocks());
#else
    EXPECT_EQ(blocks, zend::request_memory_blocks()); /* kept on the list, still live */
    zval *again;
    ALLOC_ZVAL(again);
    EXPECT_EQ(z, again);
#endif
    efree(empty_string); /* ignored */
    char *grown = (char *)erealloc(empty_string, 4);
    EXPECT_NE(empty_string, grown);
    EXPECT_STREQ("", grown);
    EXPECT_STREQ("", empty_string);
}

TEST_F(EngineTest, RequestHooksAndArrayHelpers) {
    int starts = request_starts, ends = request_ends;
    {
        request_scope scope;
        EXPECT_EQ(starts + 1, request_starts);
        EXPECT_EQ(&EG(symbol_table), EG(active_symbol_table));
        call_result r = call_function("test_list", {});
        EXPECT_EQ("array(3) {\n  [0]=>\n  int(5)\n  [\"k\"]=>\n  string(1) \"v\"\n  [12]=>\n  int(3)\n}\n",
                  dump(r.value));
    }
    EXPECT_EQ(ends + 1, request_ends);
}

TEST_F(EngineTest, ModulesAreCheckedAndRegistered) {
    request_scope scope;
    static zend_function_entry dup[] = {{"TEST_LIST", nullptr, nullptr}, {nullptr, nullptr, nullptr}};
    static zend_module_entry old_api = {sizeof(zend_module_entry), 20000101, 0, 0, "old", nullptr, nullptr,
                                        nullptr, nullptr, nullptr, nullptr, "1", STANDARD_MODULE_PROPERTIES};
    static zend_module_entry duplicate = {STANDARD_MODULE_HEADER, "dup", dup, nullptr, nullptr, nullptr,
                                          nullptr, nullptr, "1", STANDARD_MODULE_PROPERTIES};
    static std::vector<std::string> messages;
    messages.clear();
    zend::set_error_observer([](int, const char *m) { messages.push_back(m); });
    EXPECT_EQ(FAILURE, zend_startup_module(&old_api));
    EXPECT_EQ(SUCCESS, zend_startup_module(&duplicate));
    zend::set_error_observer(nullptr);
    zend::output_buffer().clear();
    ASSERT_EQ(2u, messages.size());
    EXPECT_NE(std::string::npos, messages[0].find("old"));
    EXPECT_EQ("Function registration failed - duplicate name - TEST_LIST", messages[1]);
    EXPECT_EQ(&duplicate, zend::modules().back());
    EXPECT_EQ(1, duplicate.module_started);
}

TEST_F(EngineTest, ZendExtensionsAreRefusedWithAReason) {
    std::string error;
    EXPECT_FALSE(zend::load_zend_extension("/nonexistent/ext.so", error));
    EXPECT_NE(std::string::npos, error.find("/nonexistent/ext.so"));
}

TEST_F(EngineTest, InfoRowsInTextForm) {
    request_scope scope;
    std::string &out = zend::output_buffer();
    out.clear();
    php_info_print_table_start();
    php_info_print_table_row(2, "PHP Brisko Version", "1.02");
    php_info_print_table_end();
    EXPECT_EQ("\nPHP Brisko Version => 1.02\n", out);
    out.clear();
}

TEST_F(EngineTest, UserFunctionsAndConstantsEndWithTheRequest) {
    {
        request_scope scope;
        zend_function f{};
        f.op_array.type = ZEND_USER_FUNCTION;
        f.op_array.refcount = (zend_uint *)emalloc(sizeof(zend_uint));
        *f.op_array.refcount = 1;
        f.op_array.function_name = estrdup("userfn");
        f.op_array.opcodes = (zend_op *)ecalloc(1, sizeof(zend_op));
        f.op_array.last = 1;
        f.op_array.opcodes[0].op1.op_type = IS_CONST;
        f.op_array.opcodes[0].op1.u.constant.type = IS_STRING;
        f.op_array.opcodes[0].op1.u.constant.value.str.val = estrdup("c");
        f.op_array.opcodes[0].op1.u.constant.value.str.len = 1;
        ASSERT_EQ(SUCCESS, zend_hash_add(CG(function_table), "userfn", 7, &f, sizeof f, nullptr));
        zval v;
        v.type = IS_LONG;
        v.value.lval = 5;
        EXPECT_TRUE(zend::register_constant("REQ_CONST", &v, false, false));
        EXPECT_TRUE(zend::register_constant("Keep_Const", &v, true, true));
        EXPECT_FALSE(zend::register_constant("REQ_CONST", &v, false, false));
        zval got;
        EXPECT_TRUE(zend::get_constant("KEEP_CONST", 10, &got));
        EXPECT_FALSE(zend::get_constant("req_const", 9, &got));
    }
    request_scope scope;
    EXPECT_FALSE(zend_hash_exists(CG(function_table), "userfn", 7));
    EXPECT_TRUE(zend_hash_exists(CG(function_table), "test_args", 10));
    zval got;
    EXPECT_FALSE(zend::get_constant("REQ_CONST", 9, &got));
    EXPECT_TRUE(zend::get_constant("keep_const", 10, &got));
}

} // namespace
