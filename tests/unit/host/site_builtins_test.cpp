/* What scripts cannot see of the site built-ins: an engine started again
 * lists its constants once each, in the same order, and has its Directory
 * class again. */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builtins/builtins.h"
#include "engine_testing.h"

using namespace zend::testing;

namespace {

std::vector<std::string> constant_names()
{
    call_result r = call_function("get_defined_constants", {});
    std::vector<std::string> names;
    if (!r.value || r.value->type != IS_ARRAY)
        return names;
    HashTable *ht = r.value->value.ht;
    HashPosition pos;
    char *key;
    uint key_length;
    ulong index;
    for (zend_hash_internal_pointer_reset_ex(ht, &pos);
         zend_hash_get_current_key_ex(ht, &key, &key_length, &index, 0, &pos) == HASH_KEY_IS_STRING;
         zend_hash_move_forward_ex(ht, &pos))
        names.emplace_back(key, key_length - 1);
    release(r.value);
    return names;
}

bool directory_class_exists()
{
    call_result r = call_function("class_exists", {make_string("Directory")});
    bool exists = r.value && r.value->type == IS_BOOL && r.value->value.lval;
    if (r.value)
        release(r.value);
    return exists;
}

} // namespace

TEST(SiteBuiltins, RestartedEngineListsEachConstantOnce)
{
    std::vector<std::string> first, second;
    std::size_t noted_first, noted_second;
    {
        request_scope scope;
        first = constant_names();
        noted_first = zend::builtins::noted_constant_names();
        EXPECT_TRUE(directory_class_exists());
    }
    {
        request_scope scope;
        second = constant_names();
        noted_second = zend::builtins::noted_constant_names();
        EXPECT_TRUE(directory_class_exists());
    }
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.front(), "E_ERROR");
    EXPECT_EQ(first, second);
    /* the names of the first engine's constants are not kept beside the second's */
    EXPECT_EQ(noted_first, first.size());
    EXPECT_EQ(noted_second, noted_first);
}
