/* parse_args, the built-ins' argument reader: each letter, optional and
 * surplus arguments, refusals and their warnings, by-reference arguments,
 * and conversions that leave the caller's variables alone. */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builtins/builtins.h"
#include "engine_testing.h"

using namespace zend::builtins;
using namespace zend::testing;

namespace {

std::vector<std::string> *warnings = nullptr;

void record(int type, const char *message)
{
    if (warnings && type == E_WARNING)
        warnings->push_back(message);
}

void swallow(const char *, std::size_t) {}

/* A call of f() in progress, as the executor sets one up: each argument
 * sent with one more holder, as a variable is. The values stay the test's. */
struct fake_call {
    std::vector<zval *> slots;
    std::vector<std::string> seen;
    zend::internal_call saved = zend::current_call;
    zend::error_observer saved_observer = zend::current_error_observer();

    explicit fake_call(std::vector<zval *> args) : slots(std::move(args))
    {
        for (zval *z : slots)
            z->refcount++;
        zend::current_call.args = slots.empty() ? nullptr : slots.data();
        zend::current_call.count = static_cast<int>(slots.size());
        zend::current_call.function_name = "f";
        warnings = &seen;
        zend::set_error_observer(record);
        zend::set_output_sink(swallow);
    }
    ~fake_call()
    {
        for (zval *&z : slots)
            zval_ptr_dtor(&z);
        zend::current_call = saved;
        zend::set_error_observer(saved_observer);
        warnings = nullptr;
        zend::output_buffer().clear();
        zend::set_output_sink(nullptr);
    }
    int argc() const { return static_cast<int>(slots.size()); }
};

zval *make_object()
{
    zval *o = make_array();
    HashTable *properties = o->value.ht;
    o->type = IS_OBJECT;
    o->value.obj.ce = nullptr;
    o->value.obj.properties = properties;
    return o;
}

/* A reference held by two variables, so that it stays one between calls;
 * drop_reference lets both go. */
zval *make_reference(zval *z)
{
    z->is_ref = 1;
    z->refcount = 2;
    return z;
}

void drop_reference(zval *z)
{
    release(z);
    release(z);
}

std::string text(const zval *z)
{
    return z->type == IS_STRING ? std::string(z->value.str.val, z->value.str.len) : "<not a string>";
}

} // namespace

TEST(ParseArgs, EachLetterReadsItsKind)
{
    request_scope scope;
    zval *number = make_string("12abc"), *fraction = make_string("2.5"), *zero = make_string("0"),
         *five = make_long(5), *any = make_double(1.5), *list = make_array(), *object = make_object();
    {
        fake_call call({number, fraction, zero, five, any, any, list, object, list});
        long l = 0;
        double d = 0;
        bool b = true;
        std::string s;
        zval *z = nullptr, **Z = nullptr;
        HashTable *a = nullptr, *h = nullptr, *h2 = nullptr;
        ASSERT_TRUE(parse_args(call.argc(), "ldbszZaHH;a;h;h2", &l, &d, &b, &s, &z, &Z, &a, &h, &h2));
        EXPECT_EQ(l, 12);
        EXPECT_EQ(d, 2.5);
        EXPECT_FALSE(b);
        EXPECT_EQ(s, "5");
        EXPECT_EQ(z, any);
        EXPECT_EQ(Z, &call.slots[5]);
        EXPECT_EQ(a, list->value.ht);
        EXPECT_EQ(h, object->value.obj.properties) << "an object gives its property table";
        EXPECT_EQ(h2, list->value.ht);
        EXPECT_TRUE(call.seen.empty()) << "conversions are silent";
        zval *array_value = nullptr, *object_value = nullptr;
        ASSERT_TRUE(parse_args(call.argc(), "zzzzzzaHz;a;h", &z, &z, &z, &z, &z, &z, &array_value, &object_value, &z));
        EXPECT_EQ(array_value, list) << "a zval target gets the value itself";
        EXPECT_EQ(object_value, object);
    }

    {
        /* arrays and null convert as the engine converts them, silently */
        fake_call call({list, make_null(), list});
        long l = -1;
        std::string s;
        bool b = true;
        ASSERT_TRUE(parse_args(call.argc(), "lsb", &l, &s, &b));
        EXPECT_EQ(l, 0);
        EXPECT_EQ(s, "");
        EXPECT_FALSE(b);
        EXPECT_TRUE(call.seen.empty());
        release(call.slots[1]);
    }
    for (zval *v : {number, fraction, zero, five, any, list, object})
        release(v);
}

TEST(ParseArgs, CountsOutsideThePatternWarnAndTouchNothing)
{
    request_scope scope;
    zval *one = make_long(1);
    struct cases {
        const char *what;
        std::vector<zval *> args;
        bool fits;
    };
    for (const cases &c : {cases{"none", {}, false}, cases{"one", {one}, true}, cases{"two", {one, one}, true},
                           cases{"three", {one, one, one}, true}, cases{"four", {one, one, one, one}, false}}) {
        fake_call call(c.args);
        std::string s = "untouched";
        long l = 7, m = 8;
        args_result got = parse_args(call.argc(), "s|ll", &s, &l, &m);
        EXPECT_EQ(static_cast<bool>(got), c.fits) << c.what;
        if (c.fits) {
            EXPECT_TRUE(call.seen.empty()) << c.what;
            EXPECT_EQ(s, "1");
            EXPECT_EQ(l, call.argc() >= 2 ? 1 : 7) << "an absent optional argument leaves its target";
            EXPECT_EQ(m, call.argc() >= 3 ? 1 : 8);
        } else {
            EXPECT_EQ(got.status(), args_result::wrong_count) << c.what;
            EXPECT_EQ(call.seen, std::vector<std::string>{"Wrong parameter count for f()"}) << c.what;
            EXPECT_EQ(s, "untouched");
            EXPECT_EQ(l, 7);
        }
    }
    {
        fake_call call({});
        ASSERT_TRUE(parse_args(call.argc(), ""));
    }
    {
        fake_call call({one});
        EXPECT_FALSE(parse_args(call.argc(), "")) << "a function of no arguments refuses one";
        EXPECT_EQ(call.seen.size(), 1u);
    }
    {
        /* the count the function is told must be the call's own */
        fake_call call({one});
        long l = 0;
        EXPECT_EQ(parse_args(2, "l|l", &l, &l).status(), args_result::wrong_count);
    }
    release(one);
}

TEST(ParseArgs, RestLettersTakeWhatIsLeft)
{
    request_scope scope;
    zval *one = make_long(1), *two = make_long(2), *three = make_long(3);
    std::vector<zval **> rest;
    std::string s;
    {
        fake_call call({one, two, three});
        ASSERT_TRUE(parse_args(call.argc(), "s*", &s, &rest));
        ASSERT_EQ(rest.size(), 2u);
        EXPECT_EQ(rest[0], &call.slots[1]);
        EXPECT_EQ(*rest[1], three);
    }
    {
        fake_call call({one});
        ASSERT_TRUE(parse_args(call.argc(), "s*", &s, &rest));
        EXPECT_TRUE(rest.empty()) << "* takes none too, and empties its target";
        EXPECT_FALSE(parse_args(call.argc(), "s+", &s, &rest)) << "+ needs one";
        EXPECT_EQ(call.seen, std::vector<std::string>{"Wrong parameter count for f()"});
    }
    {
        fake_call call({});
        EXPECT_FALSE(parse_args(call.argc(), "+", &rest));
        EXPECT_TRUE(parse_args(call.argc(), "|s*", &s, &rest));
    }
    for (zval *v : {one, two, three})
        release(v);
}

TEST(ParseArgs, RefusalsWarnInTheirOwnWordsAndStop)
{
    request_scope scope;
    zval *list = make_array(), *word = make_string("x"), *object = make_object();
    zval *dot = make_string(".");
    zval *resource = call_function("opendir", {dot}).value;
    release(dot);
    ASSERT_EQ(resource->type, IS_RESOURCE);
    HashTable *a = nullptr, *b = nullptr;
    long l = 0;
    {
        fake_call call({list, word, word});
        args_result got =
            parse_args(call.argc(), "aal;%s(): The first argument should be an array;Argument #%d is not an array, 100%%",
                       &a, &b, &l);
        EXPECT_EQ(got.status(), args_result::wrong_type);
        EXPECT_TRUE(got.wrong_type_given());
        EXPECT_EQ(call.seen, std::vector<std::string>{"Argument #2 is not an array, 100%"})
            << "each refusing letter has its own warning";
        EXPECT_EQ(a, list->value.ht) << "the arguments before the refused one were read";
        EXPECT_EQ(l, 0) << "reading stops at the refusal";
    }
    {
        fake_call call({word});
        EXPECT_FALSE(parse_args(call.argc(), "a;%s(): The argument should be an array", &a));
        EXPECT_EQ(call.seen, std::vector<std::string>{"f(): The argument should be an array"});
    }
    {
        fake_call call({object, word});
        EXPECT_FALSE(parse_args(call.argc(), "Ha;no;second", &a, &b)) << "H takes an object, a does not";
        EXPECT_EQ(call.seen, std::vector<std::string>{"second"});
    }
    {
        fake_call call({object});
        EXPECT_FALSE(parse_args(call.argc(), "a;%s() wants an array", &a));
        EXPECT_EQ(call.seen, std::vector<std::string>{"f() wants an array"});
    }
    {
        fake_call call({resource, list});
        zval *r = nullptr;
        EXPECT_FALSE(parse_args(call.argc(), "r|r;first;second", &r, &r));
        EXPECT_EQ(call.seen, std::vector<std::string>{"second"});
    }
    {
        fake_call call({resource});
        zval *r = nullptr;
        ASSERT_TRUE(parse_args(call.argc(), "r|a;first;second", &r, &a));
        EXPECT_EQ(r, resource);
        EXPECT_TRUE(call.seen.empty()) << "an absent optional argument is not refused";
    }
    for (zval *v : {list, word, object, resource})
        release(v);
}

TEST(ParseArgs, ConversionsLeaveTheCallersVariablesAlone)
{
    request_scope scope;
    zval *shared = make_long(42), *ref = make_reference(make_long(42));
    {
        fake_call call({shared, ref});
        std::string s, t;
        long l = 0;
        double d = 0;
        bool b = false;
        ASSERT_TRUE(parse_args(call.argc(), "ss", &s, &t));
        ASSERT_TRUE(parse_args(call.argc(), "ld", &l, &d));
        ASSERT_TRUE(parse_args(call.argc(), "bb", &b, &b));
        EXPECT_EQ(s, "42");
        EXPECT_EQ(t, "42");
        EXPECT_EQ(call.slots[0], shared);
        EXPECT_EQ(call.slots[1], ref);
    }
    EXPECT_EQ(shared->type, IS_LONG) << "plain letters read a copy";
    EXPECT_EQ(ref->type, IS_LONG) << "even of a reference";
    {
        fake_call call({shared, ref});
        std::string s, t;
        ASSERT_TRUE(parse_args(call.argc(), "s/s/", &s, &t));
        EXPECT_EQ(s, "42");
        EXPECT_EQ(t, "42");
        EXPECT_NE(call.slots[0], shared) << "a shared value is converted in a private copy";
        EXPECT_EQ(text(call.slots[0]), "42");
        EXPECT_EQ(call.slots[1], ref);
    }
    EXPECT_EQ(shared->type, IS_LONG);
    EXPECT_EQ(text(ref), "42") << "a reference is converted where it is, as convert_to_string_ex does";

    zval *number = make_reference(make_string("7.5"));
    {
        fake_call call({number});
        double d = 0;
        ASSERT_TRUE(parse_args(call.argc(), "d/", &d));
        EXPECT_EQ(d, 7.5);
        EXPECT_EQ(number->type, IS_DOUBLE);
        long l = 0;
        ASSERT_TRUE(parse_args(call.argc(), "l/", &l));
        EXPECT_EQ(l, 7);
        EXPECT_EQ(number->type, IS_LONG);
        bool b = false;
        ASSERT_TRUE(parse_args(call.argc(), "b/", &b));
        EXPECT_TRUE(b);
        EXPECT_EQ(number->type, IS_BOOL);
    }
    release(shared);
    drop_reference(ref);
    drop_reference(number);
}

TEST(ParseArgs, ByReferenceArgumentsReachTheCaller)
{
    request_scope scope;
    zval *shared = make_array(), *ref = make_reference(make_array()), *target = make_reference(make_null());
    array_append(shared, make_long(1));
    array_append(ref, make_long(1));
    {
        fake_call call({shared, ref, target});
        HashTable *mine = nullptr, *theirs = nullptr;
        zval **slot = nullptr;
        ASSERT_TRUE(parse_args(call.argc(), "a/H/Z;no;no", &mine, &theirs, &slot));
        EXPECT_NE(mine, shared->value.ht) << "a shared array is copied before it is changed";
        EXPECT_EQ(theirs, ref->value.ht) << "a reference is not";
        zend_hash_clean(mine);
        zend_hash_clean(theirs);
        /* a by-reference result, as preg_match fills its matches */
        zval_dtor(*slot);
        array_init(*slot);
    }
    EXPECT_EQ(zend_hash_num_elements(shared->value.ht), 1u);
    EXPECT_EQ(zend_hash_num_elements(ref->value.ht), 0u);
    EXPECT_EQ(target->type, IS_ARRAY);
    {
        fake_call call({shared, ref});
        zval *mine = nullptr, *theirs = nullptr;
        ASSERT_TRUE(parse_args(call.argc(), "z/z/", &mine, &theirs));
        EXPECT_NE(mine, shared);
        EXPECT_EQ(theirs, ref);
        ASSERT_TRUE(parse_args(call.argc(), "zz", &mine, &theirs));
        EXPECT_EQ(mine, call.slots[0]) << "z gives what the slot now holds";
    }
    release(shared);
    drop_reference(ref);
    drop_reference(target);
}

/* The bounds come out of the string while the code compiles; a letter
 * that does not match its target, or a refusing letter without its
 * warning, does not compile at all. */
TEST(ParseArgs, BoundsAreCountedWhenTheCodeCompiles)
{
    using std::string;
    using rest = std::vector<zval **>;
    constexpr arg_bounds none = arg_pattern<>("").bounds;
    constexpr arg_bounds optional = arg_pattern<string *, long *, long *>("s|ll").bounds;
    constexpr arg_bounds all_optional = arg_pattern<zval **, long *, bool *>("|zlb").bounds;
    constexpr arg_bounds any = arg_pattern<string *, rest *>("s*").bounds;
    constexpr arg_bounds some = arg_pattern<HashTable **, rest *>("a/+;w").bounds;
    auto bounds = [](arg_bounds b) { return std::to_string(b.min) + ".." + std::to_string(b.max); };
    EXPECT_EQ(bounds(none), "0..0");
    EXPECT_EQ(bounds(optional), "1..3");
    EXPECT_EQ(bounds(all_optional), "0..3");
    EXPECT_EQ(bounds(any), "1..-1") << "-1: no upper bound";
    EXPECT_EQ(bounds(some), "2..-1") << "+ needs one";

}
