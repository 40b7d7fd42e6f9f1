// Function values called from C++: user and built-in functions by name in
// any case, methods through array(object, name), arguments by value, and
// values that name nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "engine.h"
#include "engine_testing.h"
#include "executor/executor.h"

namespace {

using namespace zend::testing;

std::string captured;
void capture(const char *data, std::size_t length) { captured.append(data, length); }

struct CallbacksTest : ::testing::Test {
    std::string path;
    void SetUp() override {
        char tmpl[] = "/tmp/callbacks-test-XXXXXX";
        int fd = mkstemp(tmpl);
        ASSERT_GE(fd, 0);
        close(fd);
        path = tmpl;
        const char *script =
            "<?php\n"
            "function Join2($a, $b) { return $a . '+' . $b; }\n"
            "function bump(&$x) { $x .= '!'; return $x; }\n"
            "class Counter { var $n = 1; function add($k) { $this->n += $k; return $this->n; } }\n"
            "$counter = new Counter;\n";
        FILE *f = std::fopen(path.c_str(), "w");
        std::fputs(script, f);
        std::fclose(f);
        zend::set_output_sink(capture);
        ASSERT_TRUE(zend::engine_startup());
        zend::request_startup();
        ASSERT_EQ(zend::execute_script(path.c_str()), 0) << captured;
    }
    void TearDown() override {
        zend::request_shutdown();
        zend::engine_shutdown();
        zend::set_output_sink(nullptr);
        std::remove(path.c_str());
    }
};

TEST_F(CallbacksTest, CallsUserAndBuiltinFunctionsByNameInAnyCase) {
    zval *name = make_string("JOIN2");
    zval *argv[2] = {make_string("a"), make_long(7)};
    zval *r = zend::exec::call_function_value(name, 2, argv);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(dump(r), "string(3) \"a+7\"\n");
    release(r);
    zval *upper = make_string("strtoupper");
    r = zend::exec::call_function_value(upper, 1, argv);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(dump(r), "string(1) \"A\"\n");
    release(r);
    for (zval *z : {name, upper, argv[0], argv[1]}) release(z);
}

TEST_F(CallbacksTest, ByReferenceParameterGetsACopy) {
    zval *name = make_string("bump");
    zval *arg = make_string("x");
    zval *r = zend::exec::call_function_value(name, 1, &arg);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(dump(r), "string(2) \"x!\"\n");
    EXPECT_EQ(dump(arg), "string(1) \"x\"\n");
    EXPECT_EQ(arg->refcount, 1u);
    for (zval *z : {r, name, arg}) release(z);
}

TEST_F(CallbacksTest, MethodsThroughArraysAndMissingNames) {
    zval **counter;
    ASSERT_EQ(zend_hash_find(EG(active_symbol_table), "counter", 8, (void **)&counter), SUCCESS);
    zval *callable = make_array();
    (*counter)->refcount++;
    array_append(callable, *counter);
    array_append(callable, make_string("ADD"));
    zval *five = make_long(5);
    zval *r = zend::exec::call_function_value(callable, 1, &five);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(dump(r), "int(6)\n");
    release(r);
    std::string text;
    EXPECT_TRUE(zend::exec::callable_exists(callable, &text));
    EXPECT_EQ(text, "Counter::ADD");

    zval *missing = make_string("no_such_function");
    EXPECT_EQ(zend::exec::call_function_value(missing, 0, nullptr), nullptr);
    EXPECT_FALSE(zend::exec::callable_exists(missing, &text));
    EXPECT_EQ(text, "no_such_function");
    zval *number = make_long(3);
    EXPECT_EQ(zend::exec::call_function_value(number, 0, nullptr), nullptr);
    for (zval *z : {callable, five, missing, number}) release(z);
}

} // namespace
