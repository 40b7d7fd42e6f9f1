/* What scripts reach only indirectly: the resource list's counts and its
 * end with the request, the output layer's levels below the ob_*
 * functions, the error handler stack, and that none of it outlives the
 * request that made it. */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/resources.h"
#include "engine_testing.h"

using namespace zend::testing;

namespace {

std::vector<std::string> destroyed;

void record_destroy(void *handle)
{
    std::string *name = static_cast<std::string *>(handle);
    destroyed.push_back(*name);
    delete name;
}

int test_type()
{
    static int type = zend::register_resource_type("test handle", record_destroy);
    return type;
}

zval *resource_value(long id)
{
    zval *z = make_null();
    z->type = IS_RESOURCE;
    z->value.lval = id;
    return z;
}

std::string captured;
void capture(const char *data, std::size_t length) { captured.append(data, length); }

} // namespace

TEST(ResourceList, CountsCopiesAndDestroysOnceAtZero)
{
    request_scope scope;
    destroyed.clear();
    long id = zend::resource_insert(new std::string("a"), test_type());
    EXPECT_EQ(id, 1) << "ids start at 1 in each request";
    zval *one = resource_value(id);
    zval copy = *one;
    zval_copy_ctor(&copy); /* a second value names it */
    release(one);
    EXPECT_TRUE(destroyed.empty());
    EXPECT_STREQ(zend::resource_type_name(id), "test handle");
    zval_dtor(&copy);
    ASSERT_EQ(destroyed.size(), 1u);
    EXPECT_EQ(destroyed[0], "a");
    EXPECT_EQ(zend::resource_type_name(id), nullptr);
    zend::resource_delete(id); /* a stale value going away is harmless */
    EXPECT_EQ(destroyed.size(), 1u);
    EXPECT_EQ(zend::register_resource_type("test handle", nullptr), test_type()) << "one type per name";
}

TEST(ResourceList, CloseIsImmediateAndIdsAreNotReused)
{
    request_scope scope;
    destroyed.clear();
    long first = zend::resource_insert(new std::string("first"), test_type());
    zend::resource_addref(first);
    EXPECT_TRUE(zend::resource_close(first));
    EXPECT_EQ(destroyed, std::vector<std::string>{"first"});
    EXPECT_FALSE(zend::resource_close(first));
    zend::resource_delete(first);
    long second = zend::resource_insert(new std::string("second"), test_type());
    EXPECT_GT(second, first);
    EXPECT_EQ(zend::live_resource_count(), 1u);
}

TEST(ResourceList, RequestEndDestroysWhatIsLeftNewestFirst)
{
    destroyed.clear();
    {
        request_scope scope;
        zend::resource_insert(new std::string("old"), test_type());
        zend::resource_insert(new std::string("new"), test_type());
        EXPECT_EQ(zend::live_resource_count(), 2u);
    }
    EXPECT_EQ(destroyed, (std::vector<std::string>{"new", "old"}));
    EXPECT_EQ(zend::live_resource_count(), 0u);
    request_scope next;
    long id = zend::resource_insert(new std::string("again"), test_type());
    EXPECT_EQ(id, 1) << "the next request counts from 1 again";
}

TEST(ResourceList, FetchNamesWhatIsWrong)
{
    request_scope scope;
    long id = zend::resource_insert(new std::string("x"), test_type());
    zval *good = resource_value(id);
    zval *number = make_long(id);
    std::vector<std::string> messages;
    zend::error_observer saved = zend::current_error_observer();
    zend::set_error_observer([](int, const char *message) { captured = message; });
    EXPECT_NE(zend::fetch_resource(good, test_type(), "test"), nullptr);
    EXPECT_EQ(zend::fetch_resource(number, test_type(), "test"), nullptr);
    messages.push_back(captured);
    int other = zend::register_resource_type("other", nullptr);
    EXPECT_EQ(zend::fetch_resource(good, other, "other"), nullptr);
    messages.push_back(captured);
    zend::resource_close(id);
    EXPECT_EQ(zend::fetch_resource(good, test_type(), "test"), nullptr);
    messages.push_back(captured);
    zend::set_error_observer(saved);
    EXPECT_EQ(messages[0], "main(): supplied argument is not a valid test resource");
    EXPECT_EQ(messages[1], "main(): supplied resource is not a valid other resource");
    EXPECT_EQ(messages[2], "main(): 1 is not a valid test resource");
    release(good);
    release(number);
    captured.clear();
}

TEST(OutputLevels, NestChunkAndEndInOrder)
{
    request_scope scope;
    captured.clear();
    zend::set_output_sink(capture);
    zend_write("out ", 4);
    zend::start_output_level(nullptr, "outer", 0, true);
    zend_write("a", 1);
    zend::start_output_level(nullptr, "chunked", 3, true);
    zend_write("bc", 2);
    EXPECT_EQ(zend::output_levels().back().text, "bc");
    zend_write("d", 1); /* the chunk is full: it moves to the level below */
    EXPECT_EQ(zend::output_levels().back().text, "");
    EXPECT_EQ(zend::output_levels().front().text, "abcd");
    EXPECT_EQ(zend::output_levels().back().status, zend::OUTPUT_HANDLER_START | zend::OUTPUT_HANDLER_CONT);
    zend_write("e", 1);
    zend::flush_output(); /* what the levels hold stays in them */
    EXPECT_EQ(captured, "out ");
    zend::end_output_level(false, false); /* the chunked level, cleaned */
    EXPECT_EQ(zend::output_levels().size(), 1u);
    zend::end_output_buffers();
    zend::flush_output();
    EXPECT_EQ(captured, "out abcd");
    EXPECT_TRUE(zend::output_levels().empty());
    zend::set_output_sink(nullptr);
}

TEST(OutputLevels, RequestEndSendsOpenLevelsAndForgetsThem)
{
    captured.clear();
    zend::set_output_sink(capture);
    {
        request_scope scope;
        zend::start_output_level(nullptr, "one", 0, true);
        zend_write("1", 1);
        zend::start_output_level(nullptr, "two", 0, false);
        zend_write("2", 1);
        zend::set_implicit_flush(true);
    }
    EXPECT_EQ(captured, "12");
    request_scope next;
    EXPECT_TRUE(zend::output_levels().empty());
    zend_write("x", 1);
    EXPECT_EQ(captured, "12") << "implicit flushing ended with the request";
    zend::output_buffer().clear();
    zend::set_output_sink(nullptr);
}

TEST(ErrorHandlers, StackOfCopiesEndsWithTheRequest)
{
    {
        request_scope scope;
        zval *first = make_string("first_handler");
        zval *second = make_string("second_handler");
        EXPECT_EQ(zend::set_user_error_handler(first), nullptr);
        zval *previous = zend::set_user_error_handler(second);
        ASSERT_NE(previous, nullptr);
        EXPECT_STREQ(previous->value.str.val, "first_handler");
        release(previous);
        release(first);
        release(second); /* the engine holds copies of its own */
        EXPECT_STREQ(zend::user_error_handler()->value.str.val, "second_handler");
        zend::restore_user_error_handler();
        EXPECT_STREQ(zend::user_error_handler()->value.str.val, "first_handler");
        zval *left = make_string("left_set");
        release(zend::set_user_error_handler(left));
        release(left);
    }
    EXPECT_EQ(zend::user_error_handler(), nullptr) << "request end drops every handler";
    request_scope next;
    zend::restore_user_error_handler();
    EXPECT_EQ(zend::user_error_handler(), nullptr);
}

TEST(RequestSettings, ChangesLastForTheRequest)
{
    int precision = zend::settings.precision;
    long limit = zend::settings.max_execution_time;
    {
        request_scope scope;
        call_result r = call_function("ini_set", {make_string("precision"), make_string("3")});
        EXPECT_EQ(std::string(r.value->value.str.val), std::to_string(precision));
        EXPECT_EQ(zend::settings.precision, 3);
        r = call_function("set_time_limit", {make_long(7)});
        EXPECT_EQ(zend::settings.max_execution_time, 7);
        call_function("ini_set", {make_string("max_execution_time"), make_string("0")});
        EXPECT_EQ(zend::settings.max_execution_time, 0);
    }
    EXPECT_EQ(zend::settings.precision, precision);
    EXPECT_EQ(zend::settings.max_execution_time, limit);
}

TEST(RequestSettings, ConfigurationHoldsAcrossRequests)
{
    EXPECT_FALSE(zend::configure_setting("no_such_setting", "1"));
    ASSERT_TRUE(zend::configure_setting("display_errors", "Off"));
    for (int i = 0; i < 2; i++) {
        request_scope scope;
        EXPECT_FALSE(zend::settings.display_errors);
        call_result r = call_function("ini_get", {make_string("display_errors")});
        EXPECT_EQ(std::string(r.value->value.str.val), "");
        call_function("ini_set", {make_string("display_errors"), make_string("1")});
    }
    ASSERT_TRUE(zend::configure_setting("display_errors", "1"));
    EXPECT_TRUE(zend::settings.display_errors);
}

TEST(Environment, TheServingProgramAnswersFirst)
{
    request_scope scope;
    zend::set_environment_source([](const std::string &name, std::string &value) {
        if (name != "REMOTE_ADDR")
            return false;
        value = "192.0.2.7";
        return true;
    });
    call_result r = call_function("getenv", {make_string("REMOTE_ADDR")});
    EXPECT_EQ(std::string(r.value->value.str.val), "192.0.2.7");
    setenv("BRISKO_PROCESS_ONLY", "yes", 1);
    r = call_function("getenv", {make_string("BRISKO_PROCESS_ONLY")});
    EXPECT_EQ(std::string(r.value->value.str.val), "yes");
    unsetenv("BRISKO_PROCESS_ONLY");
    zend::set_environment_source(nullptr);
    r = call_function("getenv", {make_string("REMOTE_ADDR")});
    EXPECT_EQ(r.value->type, IS_BOOL);
}
