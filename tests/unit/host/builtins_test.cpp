/* The built-in module as a whole (its table, its constants, its argument
 * passing) and what scripts cannot easily reach: every built-in survives
 * any argument list, conversions touch only what they may, and the
 * per-request state of headers and output buffers. */
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <unistd.h>

#include "builtins/builtins.h"
#include "engine_testing.h"

using namespace zend::testing;

namespace {

std::string text_of(const zval *z)
{
    return z && z->type == IS_STRING ? std::string(z->value.str.val, z->value.str.len) : std::string("<not a string>");
}

zend_function *lookup(const char *name)
{
    void *data = nullptr;
    if (zend_hash_find(CG(function_table), name, static_cast<uint>(std::strlen(name) + 1), &data) != SUCCESS)
        return nullptr;
    return static_cast<zend_function *>(data);
}

void swallow(const char *, std::size_t) {}

/* Runs the test body in a scratch directory, so that file built-ins given
 * arbitrary names create nothing elsewhere. */
struct scratch_dir {
    std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::path dir;
    scratch_dir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "builtins-XXXXXX").string();
        char *made = mkdtemp(tmpl.data());
        EXPECT_NE(made, nullptr);
        dir = tmpl;
        std::filesystem::current_path(dir);
    }
    ~scratch_dir()
    {
        std::filesystem::current_path(old);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

} // namespace

TEST(BuiltinModule, TableIsCompleteAndRegistered)
{
    request_scope scope;
    zend_module_entry *module = zend::builtin_module();
    EXPECT_STREQ(module->name, "standard");
    EXPECT_EQ(module->zend_api, static_cast<unsigned>(ZEND_MODULE_API_NO));
    EXPECT_EQ(module->size, sizeof(zend_module_entry));
    std::set<std::string> names;
    int count = 0;
    for (zend_function_entry *fe = module->functions; fe->fname; fe++, count++) {
        EXPECT_TRUE(names.insert(fe->fname).second) << "listed twice: " << fe->fname;
        ASSERT_NE(fe->handler, nullptr) << fe->fname;
        zend_function *f = lookup(fe->fname);
        ASSERT_NE(f, nullptr) << "not registered: " << fe->fname;
        EXPECT_EQ(f->type, ZEND_INTERNAL_FUNCTION);
    }
    EXPECT_GT(count, 150);
    /* Functions that change their first argument take it by reference. */
    for (const char *name : {"sort", "ksort", "array_push", "array_pop", "settype"}) {
        zend_function *f = lookup(name);
        ASSERT_NE(f, nullptr) << name;
        ASSERT_NE(f->common.arg_types, nullptr) << name;
        EXPECT_EQ(f->common.arg_types[0], 1);
        EXPECT_EQ(f->common.arg_types[1], BYREF_FORCE);
    }
    EXPECT_EQ(lookup("strlen")->common.arg_types, nullptr);
}

TEST(BuiltinModule, ConstantsAreDefined)
{
    request_scope scope;
    zval v;
    ASSERT_TRUE(zend::get_constant("PHP_VERSION", 11, &v));
    EXPECT_EQ(text_of(&v), "4.3.11");
    zval_dtor(&v);
    ASSERT_TRUE(zend::get_constant("E_ALL", 5, &v));
    EXPECT_EQ(v.type, IS_LONG);
    EXPECT_EQ(v.value.lval, E_ALL);
    ASSERT_TRUE(zend::get_constant("M_PI", 4, &v));
    EXPECT_DOUBLE_EQ(v.value.dval, 3.14159265358979323846);
    EXPECT_FALSE(zend::get_constant("e_all", 5, &v)) << "built-in constants are case-sensitive";
}

/* Every built-in, called with no arguments, with too many and with one
 * argument of every kind, returns normally: no fatal error, no crash. */
TEST(BuiltinRobustness, AnyArgumentListIsSurvived)
{
    request_scope scope;
    scratch_dir dir;
    zend::set_output_sink(swallow);
    /* temporary files go to the scratch directory too */
    const char *old_tmpdir = std::getenv("TMPDIR");
    std::string saved_tmpdir = old_tmpdir ? old_tmpdir : "";
    setenv("TMPDIR", dir.dir.c_str(), 1);
    auto make_args = [](int variant) {
        std::vector<zval *> args;
        switch (variant) {
        case 0: break;
        case 1:
            for (int i = 0; i < 9; i++)
                args.push_back(make_string("%s%d%0999999999d"));
            break;
        case 2: args.push_back(make_long(-1)); args.push_back(make_long(-1)); args.push_back(make_long(-1)); break;
        case 3: args.push_back(make_double(-1e300)); args.push_back(make_double(1e300)); break;
        case 4: args.push_back(make_null()); args.push_back(make_null()); break;
        case 5: {
            zval *a = make_array();
            array_set(a, "k", make_string("v"));
            array_append(a, make_array());
            args.push_back(a);
            args.push_back(make_string(""));
            args.push_back(make_bool(true));
            break;
        }
        case 6: args.push_back(make_string(std::string("a\0b", 3))); args.push_back(make_string("a..z")); break;
        }
        return args;
    };
    for (zend_function_entry *fe = zend::builtin_module()->functions; fe->fname; fe++) {
        std::string name = fe->fname;
        if (name == "sleep" || name == "usleep" || name == "chdir")
            continue; /* harmless, but they would slow the run or move the test */
        if (name == "gethostbyname" || name == "gethostbynamel")
            continue; /* the odd names would go to a name server */
        for (int variant = 0; variant <= 6; variant++) {
            std::vector<zval *> args = make_args(variant);
            call_result r = call_function(fe->fname, args);
            EXPECT_TRUE(r.found) << name;
            EXPECT_FALSE(r.bailed_out) << name << " variant " << variant;
            for (zval *z : args)
                release(z);
            if (r.value)
                release(r.value);
        }
    }
    if (old_tmpdir)
        setenv("TMPDIR", saved_tmpdir.c_str(), 1);
    else
        unsetenv("TMPDIR");
    zend::output_buffer().clear();
    zend::set_output_sink(nullptr);
}

TEST(BuiltinArguments, ConversionsLeaveSharedValuesAlone)
{
    request_scope scope;
    zval *number = make_long(12345);
    call_result r = call_function("strlen", {number});
    EXPECT_EQ(r.value->value.lval, 5);
    EXPECT_EQ(number->type, IS_LONG) << "a shared value is converted in a private copy";

    zval *ref = make_long(12345);
    ref->is_ref = 1;
    r = call_function("strlen", {ref});
    EXPECT_EQ(r.value->value.lval, 5);
    EXPECT_EQ(ref->type, IS_STRING) << "a reference is converted where it is";
    release(number);
    release(ref);
}

TEST(BuiltinArguments, ReferenceArraysChangeInPlace)
{
    request_scope scope;
    /* a reference held by two variables, so it stays one between calls */
    zval *list = make_array();
    list->is_ref = 1;
    list->refcount = 2;
    array_append(list, make_string("pear"));
    array_append(list, make_string("apple"));
    array_set(list, 7, make_string("fig"));
    call_result r = call_function("sort", {list});
    ASSERT_EQ(r.value->type, IS_BOOL);
    EXPECT_EQ(dump(list), "array(3) {\n  [0]=>\n  string(5) \"apple\"\n  [1]=>\n  string(3) \"fig\"\n"
                          "  [2]=>\n  string(4) \"pear\"\n}\n");
    r = call_function("array_push", {list, make_long(1)});
    EXPECT_EQ(r.value->value.lval, 4);
    r = call_function("array_pop", {list});
    EXPECT_EQ(dump(r.value), "int(1)\n");
    r = call_function("array_push", {list, make_long(2)});
    EXPECT_NE(dump(list).find("[3]=>\n  int(2)"), std::string::npos) << "pop gives back its index";
    release(list);
    release(list);
}

TEST(BuiltinFormat, EdgesOfTheFormatter)
{
    request_scope scope;
    auto fmt = [](const char *format, std::vector<zval *> args) {
        args.insert(args.begin(), make_string(format));
        call_result r = call_function("sprintf", args);
        std::string out = r.value->type == IS_STRING ? text_of(r.value) : "false";
        if (!r.errors.empty())
            out += " [" + r.errors[0].message + "]";
        return out;
    };
    EXPECT_EQ(fmt("100%", {}), "100");
    EXPECT_EQ(fmt("%5", {}), "false [sprintf(): Too few arguments]") << "every conversion needs an argument";
    EXPECT_EQ(fmt("%5", {make_long(1)}), "");
    EXPECT_EQ(fmt("%q|%s", {make_string("x"), make_string("y")}), "|y")
        << "an unknown conversion takes its argument and prints nothing";
    EXPECT_EQ(fmt("%q|%s", {make_string("x")}), "false [sprintf(): Too few arguments]");
    EXPECT_EQ(fmt("%0$s", {make_string("x")}), "false [sprintf(): Zero is not a valid argument number]");
    EXPECT_EQ(fmt("%s %s", {make_string("x")}), "false [sprintf(): Too few arguments]");
    EXPECT_EQ(fmt("%099999999999d", {make_long(1)}), "false [sprintf(): Result is too big]")
        << "a width beyond the result's limit is refused";
    EXPECT_EQ(fmt("[%ld|%lu|%5.1lf]", {make_long(-4), make_long(4), make_double(2.25)}), "[-4|4|  2.3]")
        << "the l length modifier is skipped";
    std::string wide;
    for (int i = 0; i < 200; i++)
        wide += "%1048576d";
    EXPECT_EQ(fmt(wide.c_str(), std::vector<zval *>(200, make_long(1))), "false [sprintf(): Result is too big]")
        << "the whole result is capped too";
    EXPECT_EQ(fmt("%.60f", {make_double(1.0)}), "1." + std::string(40, '0')) << "precision is capped";
    EXPECT_EQ(fmt("%b|%o|%X", {make_long(-1), make_long(-1), make_long(-1)}),
              std::string(64, '1') + "|1777777777777777777777|FFFFFFFFFFFFFFFF");
    EXPECT_EQ(fmt("%'#10.3f|%-'x6d", {make_double(-2.5), make_long(-3)}), "####-2.500|-3xxxx");
}

TEST(BuiltinOutput, HeadersReplaceByNameAndEndWithTheRequest)
{
    {
        request_scope scope;
        call_function("header", {make_string("Content-Type: text/plain")});
        call_function("header", {make_string("X-A: 1")});
        call_function("header", {make_string("content-type: text/html")});
        call_function("header", {make_string("X-A: 2"), make_bool(false)});
        call_result bad = call_function("header", {make_string("X-B: 1\r\nX-C: 2")});
        EXPECT_EQ(bad.errors.size(), 1u);
        const std::vector<std::string> &h = zend::response().lines;
        ASSERT_EQ(h.size(), 3u);
        EXPECT_EQ(h[0], "X-A: 1");
        EXPECT_EQ(h[1], "content-type: text/html");
        EXPECT_EQ(h[2], "X-A: 2");
    }
    request_scope next;
    EXPECT_TRUE(zend::response().lines.empty());
}

TEST(BuiltinOutput, BufferLevelsSurviveAFlushUnderneath)
{
    request_scope scope;
    zend::set_output_sink(swallow);
    call_function("ob_start", {});
    zend_write("held", 4);
    zend::flush_output(); /* delivers only what left the levels */
    zend_write("new", 3);
    call_result r = call_function("ob_get_clean", {});
    EXPECT_EQ(text_of(r.value), "heldnew");
    r = call_function("ob_get_level", {});
    EXPECT_EQ(r.value->value.lval, 0);
    zend::set_output_sink(nullptr);
}

TEST(BuiltinTime, DateTextForKnownInstants)
{
    EXPECT_EQ(zend::builtins::date_text("Y-m-d H:i:s D N W", 0, false), "1970-01-01 00:00:00 Thu N 1");
    EXPECT_EQ(zend::builtins::date_text("L t z", 951782400, false), "1 29 59"); /* 2000-02-29 */
    EXPECT_EQ(zend::builtins::date_text("W", 1104537600, false), "53");         /* 2005-01-01 */
    EXPECT_EQ(zend::builtins::date_text("\\\\\\d", 0, false), "\\d");
}
