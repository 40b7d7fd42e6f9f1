// The executor across requests: scripts run by execute_script, state that
// must not outlive a request (statics, user code, included-files list),
// fatal errors that end one request only, and the compile hook.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "engine.h"
#include "engine_testing.h"
#include "executor/executor.h"

namespace {

std::string captured;
void capture(const char *data, std::size_t length) { captured.append(data, length); }

int hook_calls = 0;
zend_op_array *(*engine_compiler)(zend_file_handle *, int) = nullptr;
zend_op_array *counting_hook(zend_file_handle *handle, int type) {
    hook_calls++;
    return engine_compiler(handle, type);
}

struct ExecTest : ::testing::Test {
    std::string dir;
    void SetUp() override {
        char tmpl[] = "/tmp/exec-test-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        captured.clear();
        zend::set_output_sink(capture);
        ASSERT_TRUE(zend::engine_startup());
    }
    void TearDown() override {
        zend::engine_shutdown();
        zend::set_output_sink(nullptr);
        std::string cmd = "rm -rf " + dir;
        (void)std::system(cmd.c_str());
    }
    std::string write(const std::string &name, const std::string &text) {
        std::string path = dir + "/" + name;
        FILE *f = std::fopen(path.c_str(), "w");
        std::fputs(text.c_str(), f);
        std::fclose(f);
        return path;
    }
    /* One request running one script; returns its output. */
    std::string request(const std::string &path, int *status = nullptr) {
        captured.clear();
        zend::request_startup();
        int rc = zend::execute_script(path.c_str());
        zend::request_shutdown();
        if (status) *status = rc;
        return captured;
    }
};

TEST_F(ExecTest, StaticsAndUserCodeLastOneRequest) {
    std::string script = write("s.php", "<?php function tick() { static $n = 10; return ++$n; }\n"
                                        "echo tick(), tick(), function_exists('tick') ? 'y' : 'n';");
    EXPECT_EQ(request(script), "1112y");
    EXPECT_EQ(request(script), "1112y") << "statics start from their initial value, the function is declared again";
    std::string probe = write("p.php", "<?php echo function_exists('tick') ? 'left over' : 'gone';");
    EXPECT_EQ(request(probe), "gone");
    EXPECT_EQ(zend::request_memory_blocks(), 0u);
}

TEST_F(ExecTest, FatalErrorEndsOnlyItsRequest) {
    std::string bad = write("bad.php", "<?php function f() { g(); } echo 'before'; f(); echo 'after';");
    int status = 0;
    std::string out = request(bad, &status);
    EXPECT_EQ(status, 255);
    EXPECT_NE(out.find("before"), std::string::npos);
    EXPECT_NE(out.find("Fatal error: Call to undefined function: g()"), std::string::npos);
    EXPECT_EQ(out.find("after"), std::string::npos);
    std::string good = write("good.php", "<?php function f() { return 'fine'; } echo f();");
    EXPECT_EQ(request(good, &status), "fine");
    EXPECT_EQ(status, 0);
}

TEST_F(ExecTest, ExitStatusAndMessage) {
    int status = -1;
    EXPECT_EQ(request(write("e.php", "<?php echo 'a'; exit(7); echo 'b';"), &status), "a");
    EXPECT_EQ(status, 7);
    EXPECT_EQ(request(write("d.php", "<?php die('bye'); echo 'b';"), &status), "bye");
    EXPECT_EQ(status, 0);
}

TEST_F(ExecTest, IncludesGoThroughTheHookAndOnceSeesTwoNames) {
    engine_compiler = zend_compile_file;
    zend_compile_file = counting_hook;
    hook_calls = 0;
    write("lib.php", "<?php $count = isset($count) ? $count + 1 : 1;");
    std::string main = write("main.php", "<?php include_once 'lib.php'; include_once '" + dir +
                                             "/lib.php'; require_once './lib.php'; include 'lib.php';"
                                             " echo $count;");
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    unsigned long before = zend::counters.compilations;
    std::string out = request(main);
    ASSERT_EQ(chdir(cwd), 0);
    zend_compile_file = engine_compiler;
    EXPECT_EQ(out, "2");
    EXPECT_EQ(hook_calls, 3) << "the main script, the first include_once and the plain include";
    EXPECT_EQ(zend::counters.compilations - before, 3u);
}

TEST_F(ExecTest, ParseErrorInIncludeLetsTheRequestGoOn) {
    write("broken.php", "<?php echo 'x' 'y';");
    std::string main = write("m.php", "<?php $r = include '" + dir + "/broken.php'; echo $r === false ? 'false' : 'other';");
    int status = -1;
    std::string out = request(main, &status);
    EXPECT_NE(out.find("Parse error: "), std::string::npos);
    EXPECT_NE(out.find("broken.php on line 1"), std::string::npos);
    EXPECT_EQ(out.substr(out.size() - 5), "false");
    EXPECT_EQ(status, 0);
}

TEST_F(ExecTest, ObjectsAreValuesAndReferencesShare) {
    std::string script = write("o.php", "<?php class C { var $v = 1; function set($x) { $this->v = $x; } }\n"
                                        "$a = new C; $b = $a; $b->set(2); $r = &$a; $r->set(3);\n"
                                        "$list = array($a); $list[0]->set(4);\n"
                                        "echo $a->v, $b->v, $r->v, $list[0]->v;");
    EXPECT_EQ(request(script), "3234");
}

TEST_F(ExecTest, MissingScriptIsReported) {
    int status = 0;
    std::string out = request(dir + "/nope.php", &status);
    EXPECT_NE(out.find("Could not open input file"), std::string::npos);
    EXPECT_NE(status, 0);
}

TEST_F(ExecTest, EvalAndTheShebangLineBypassNothingButTheirOwnText) {
    engine_compiler = zend_compile_file;
    zend_compile_file = counting_hook;
    hook_calls = 0;
    std::string script = write("sb.php", "#!/usr/local/bin/php\n<?php echo eval('return __LINE__ + 40;'), __LINE__;");
    std::string out = request(script);
    zend_compile_file = engine_compiler;
    EXPECT_EQ(out, "412");
    EXPECT_EQ(hook_calls, 1) << "eval()'d code is not a file: the compile hook does not see it";
}

/* A C++ recursion whose frames hold 16 KiB each, so that it passes the
 * thread's own stack after a few hundred levels. */
int descend(int levels) {
    volatile char ballast[16 * 1024];
    ballast[0] = (char)levels;
    if (levels == 0) return ballast[0];
    return zend::exec::with_native_stack([&] { return 1 + descend(levels - 1); }) + ballast[0] - (char)levels;
}

TEST_F(ExecTest, DeepNativeRecursionContinuesOnNewStacksUpToItsBound) {
    zend::request_startup();
    /* 4,000 levels of 16 KiB: 64 MiB, far past an 8 MiB stack */
    EXPECT_EQ(descend(4000), 4000);
    /* 12,000 levels need 192 MiB: more than the request may use */
    bool failed = false;
    try {
        descend(12000);
    } catch (const zend::bailout &) {
        failed = true;
    }
    EXPECT_TRUE(failed);
    EXPECT_NE(zend::output_buffer().find("Fatal error: Maximum call stack size"), std::string::npos);
    /* a bailout thrown on a segment reaches the caller's thread */
    EXPECT_THROW(zend::exec::run_on_new_stack([](void *) { zend_bailout(); }, nullptr), zend::bailout);
    int ran = 0;
    zend::exec::run_on_new_stack([](void *p) { *static_cast<int *>(p) = 1; }, &ran);
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(descend(4000), 4000) << "segments are given back";
    zend::request_shutdown();
}

} // namespace
