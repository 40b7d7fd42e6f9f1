// The script cache at the level of its records: what a miss saves, what a
// hit restores, and the entry states the lookup tells apart.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#include "cache/cache.h"
#include "engine.h"
#include "php_brisko.h"

namespace fs = std::filesystem;

namespace {

void discard(const char *, std::size_t) {}

struct CacheTest : ::testing::Test {
    fs::path dir;

    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("cache_test_" + std::to_string(getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        zend::set_output_sink(discard);
        ASSERT_TRUE(zend::engine_startup());
        ASSERT_EQ(php_brisko_startup(nullptr), SUCCESS);
        zend::request_startup();
    }
    void TearDown() override
    {
        if (zend::request_active())
            zend::request_shutdown();
        zend::engine_shutdown();
        fs::remove_all(dir);
    }

    std::string write(const std::string &name, const std::string &text)
    {
        fs::path p = dir / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p) << text;
        return p.string();
    }

    // Compiles through the hook, as an include would.
    zend_op_array *compile(const std::string &path)
    {
        zend_file_handle handle = {};
        handle.type = ZEND_HANDLE_FILENAME;
        handle.filename = const_cast<char *>(path.c_str());
        return zend_compile_file(&handle, ZEND_INCLUDE);
    }

    void release(zend_op_array *op)
    {
        if (op) {
            destroy_op_array(op);
            efree(op);
        }
    }

    brisko_file_entry *entry_for(const std::string &path)
    {
        char resolved[PATH_MAX];
        if (!realpath(path.c_str(), resolved))
            return nullptr;
        void *data;
        if (zend_hash_find(brisko_filetable, resolved, strlen(resolved) + 1, &data) != SUCCESS)
            return nullptr;
        return static_cast<brisko_file_entry *>(data);
    }

    void next_request()
    {
        zend::request_shutdown();
        zend::request_startup();
    }
};

const char *kLibrary = R"(<?php
function greet($who) { static $n = 0, $seen = array("x", "y"); return "hi " . $who; }
if (true) {
    function later() { return "later"; }
}
class Base { var $list = array(1, array(2, 3)); function who() { return "base"; } }
class Derived extends Base { var $name = "derived"; function who() { return "derived"; } }
echo greet("you");
)";

} // namespace

TEST_F(CacheTest, MissSavesCodeFunctionsAndClassesUnderTheEnginesKeys)
{
    std::string path = write("lib.php", kLibrary);
    unsigned long before = zend::counters.compilations;
    zend_op_array *compiled = compile(path);
    ASSERT_NE(compiled, nullptr);
    EXPECT_EQ(zend::counters.compilations, before + 1);

    brisko_file_entry *entry = entry_for(path);
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(entry->op_array, nullptr);
    EXPECT_EQ(*entry->op_array->refcount, (zend_uint)BRISKO_SAVED_REFCOUNT);
    EXPECT_NE(entry->op_array->opcodes, compiled->opcodes);
    EXPECT_EQ(entry->op_array->last, compiled->last);
    EXPECT_STREQ(entry->op_array->filename, compiled->filename);
    EXPECT_NE(entry->op_array->filename, compiled->filename);

    // Every string constant is a copy of its own, terminator included.
    int strings = 0;
    for (zend_uint i = 0; i < compiled->last; i++) {
        const znode &saved = entry->op_array->opcodes[i].op1;
        const znode &orig = compiled->opcodes[i].op1;
        if (orig.op_type == IS_CONST && orig.u.constant.type == IS_STRING && orig.u.constant.value.str.len > 0) {
            EXPECT_NE(saved.u.constant.value.str.val, orig.u.constant.value.str.val);
            EXPECT_EQ(std::string(saved.u.constant.value.str.val, saved.u.constant.value.str.len + 1),
                      std::string(orig.u.constant.value.str.val, orig.u.constant.value.str.len + 1));
            strings++;
        }
    }
    EXPECT_GT(strings, 0);

    // Functions: greet under its name, later under a run-time key that
    // starts with a NUL byte, saved with its exact length.
    bool saw_greet = false, saw_runtime_key = false;
    for (brisko_function_node *n = entry->functions; n; n = n->next) {
        if (n->name_length == sizeof("greet") && memcmp(n->name, "greet", sizeof("greet")) == 0) {
            saw_greet = true;
            ASSERT_NE(n->op_array->static_variables, nullptr);
            EXPECT_EQ(n->op_array->static_variables->persistent, 1);
            EXPECT_EQ(zend_hash_num_elements(n->op_array->static_variables), 2);
        }
        if (n->name[0] == '\0') {
            saw_runtime_key = true;
            EXPECT_GT(n->name_length, strlen(n->name + 1) + 1);
        }
    }
    EXPECT_TRUE(saw_greet);
    EXPECT_TRUE(saw_runtime_key);

    // Classes in declaration order; the derived one names its parent.
    ASSERT_NE(entry->classes, nullptr);
    ASSERT_NE(entry->classes->next, nullptr);
    EXPECT_EQ(std::string(entry->classes->name), "base");
    zend_class_entry *derived = entry->classes->next->class_entry;
    ASSERT_NE(derived->parent, nullptr);
    EXPECT_STRCASEEQ(reinterpret_cast<const char *>(derived->parent), "base");
    EXPECT_EQ(derived->function_table.persistent, 1);
    EXPECT_EQ(derived->default_properties.persistent, 1);
    release(compiled);
}

TEST_F(CacheTest, HitRestoresIntoALaterRequestWithoutCompiling)
{
    std::string path = write("lib.php", kLibrary);
    release(compile(path));
    next_request(); // everything the engine compiled is gone now

    unsigned long before = zend::counters.compilations;
    zend_op_array *restored = compile(path);
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(zend::counters.compilations, before);

    brisko_file_entry *entry = entry_for(path);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(restored->opcodes, entry->op_array->opcodes); // shared, not copied
    EXPECT_NE(restored, entry->op_array);                   // a header of the request's own

    void *data;
    ASSERT_EQ(zend_hash_find(CG(function_table), "greet", sizeof("greet"), &data), SUCCESS);
    ASSERT_EQ(zend_hash_find(CG(class_table), "derived", sizeof("derived"), &data), SUCCESS);
    zend_class_entry *derived = static_cast<zend_class_entry *>(data);
    ASSERT_EQ(zend_hash_find(CG(class_table), "base", sizeof("base"), &data), SUCCESS);
    EXPECT_EQ(derived->parent, static_cast<zend_class_entry *>(data));
    EXPECT_EQ(derived->default_properties.persistent, 0); // the request's own copy
    EXPECT_EQ(derived->function_table.persistent, 0);
    release(restored);
}

TEST_F(CacheTest, LookupTellsEntriesWithoutCodeAndStaleEntriesApart)
{
    std::string bad = write("bad.php", "<?php echo 'unterminated;\n");
    EXPECT_EQ(compile(bad), nullptr);
    brisko_file_entry *entry = entry_for(bad);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->op_array, nullptr);

    char resolved[PATH_MAX];
    ASSERT_NE(realpath(bad.c_str(), resolved), nullptr);
    struct stat st;
    ASSERT_EQ(stat(resolved, &st), 0);
    int found = -1;
    EXPECT_EQ(brisko_load_cache1(resolved, &found, &st), nullptr);
    EXPECT_EQ(found, 1);

    // Older and newer change times both make the entry stale: it goes.
    for (long shift : {-5L, 5L}) {
        if (!entry_for(bad)) {
            EXPECT_EQ(compile(bad), nullptr);
        }
        struct stat other = st;
        other.st_ctime += shift;
        found = -1;
        EXPECT_EQ(brisko_load_cache1(resolved, &found, &other), nullptr);
        EXPECT_EQ(found, 0);
        EXPECT_EQ(entry_for(bad), nullptr);
    }
}

TEST_F(CacheTest, LongResolvedPathsCompileUncached)
{
    std::string deep = "d";
    while (deep.size() < 300)
        deep += "/" + std::string(40, 'x');
    std::string path = write(deep + "/long.php", "<?php $a = 1;\n");
    unsigned long before = zend::counters.compilations;
    release(compile(path));
    release(compile(path));
    EXPECT_EQ(zend::counters.compilations, before + 2);
    EXPECT_EQ(entry_for(path), nullptr);
}

TEST_F(CacheTest, CgiPassesEverythingThrough)
{
    std::string path = write("plain.php", "<?php $a = 1;\n");
    sapi_module.name = "cgi";
    unsigned long before = zend::counters.compilations;
    release(compile(path));
    release(compile(path));
    sapi_module.name = "cli";
    EXPECT_EQ(zend::counters.compilations, before + 2);
    EXPECT_EQ(entry_for(path), nullptr);
}

// A class saved with its parent known is not restored where its parent is
// missing: compiled there, it is bound to its parent when its declaration
// runs. And the other way round.
TEST_F(CacheTest, ASavedClassIsRestoredOnlyWhereItWouldCompileTheSame)
{
    std::string parent = write("parent.php", "<?php class Base { }\n");
    std::string child = write("child.php", "<?php class Child extends Base { }\n");
    release(compile(parent));
    release(compile(child));
    next_request();

    unsigned long before = zend::counters.compilations;
    release(compile(child)); // Base is not declared in this request
    EXPECT_EQ(zend::counters.compilations, before + 1);
    void *data;
    EXPECT_EQ(zend_hash_find(CG(class_table), "child", sizeof("child"), &data), FAILURE) << "bound when it runs";

    // An entry made where the parent was missing holds a class bound late;
    // where the parent is declared, the file compiles again.
    std::string late = write("late.php", "<?php class Late extends Base { }\n");
    release(compile(late));
    brisko_file_entry *entry = entry_for(late);
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(entry->classes, nullptr);
    ASSERT_NE(entry->classes->late_parent, nullptr);
    EXPECT_STREQ(entry->classes->late_parent, "base");
    next_request();
    release(compile(parent));
    before = zend::counters.compilations;
    release(compile(late));
    EXPECT_EQ(zend::counters.compilations, before + 1);
    EXPECT_EQ(zend_hash_find(CG(class_table), "late", sizeof("late"), &data), SUCCESS) << "bound at once";
}

namespace {

std::vector<std::string> keys_of(HashTable *ht)
{
    std::vector<std::string> keys;
    for (Bucket *p = ht->pListHead; p; p = p->pListNext)
        keys.emplace_back(p->arKey, p->nKeyLength ? p->nKeyLength - 1 : 0);
    return keys;
}

} // namespace

TEST_F(CacheTest, ASavedClassHoldsOnlyWhatItDeclaresItself)
{
    std::string parent = write("parent.php", "<?php class Base { var $a = 1; var $b = array(2); var $c = 3;\n"
                                             "  function one() { return 1; } function two() { return 2; } }\n");
    std::string child = write("child.php", "<?php class Child extends Base { var $c = 30; var $own = 4;\n"
                                           "  function two() { return 22; } function three() { return 3; } }\n");
    release(compile(parent));
    release(compile(child));

    // Compiled: the parent's members first, the class's own replacing them
    // in place or following them.
    void *data;
    ASSERT_EQ(zend_hash_find(CG(class_table), "child", sizeof("child"), &data), SUCCESS);
    zend_class_entry *compiled = static_cast<zend_class_entry *>(data);
    std::vector<std::string> methods = keys_of(&compiled->function_table);
    std::vector<std::string> defaults = keys_of(&compiled->default_properties);
    EXPECT_EQ(methods, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(defaults, (std::vector<std::string>{"a", "b", "c", "own"}));

    brisko_file_entry *entry = entry_for(child);
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(entry->classes, nullptr);
    zend_class_entry *saved = entry->classes->class_entry;
    EXPECT_EQ(keys_of(&saved->function_table), (std::vector<std::string>{"two", "three"}));
    EXPECT_EQ(keys_of(&saved->default_properties), (std::vector<std::string>{"c", "own"}));

    // Restored into the next request, it inherits from that request's
    // parent, in the order the compiler gives, sharing the parent's
    // methods.
    next_request();
    release(compile(parent));
    release(compile(child));
    ASSERT_EQ(zend_hash_find(CG(class_table), "child", sizeof("child"), &data), SUCCESS);
    zend_class_entry *restored = static_cast<zend_class_entry *>(data);
    EXPECT_EQ(keys_of(&restored->function_table), methods);
    EXPECT_EQ(keys_of(&restored->default_properties), defaults);
    ASSERT_EQ(zend_hash_find(CG(class_table), "base", sizeof("base"), &data), SUCCESS);
    zend_class_entry *base = static_cast<zend_class_entry *>(data);
    zend_function *mine, *theirs;
    ASSERT_EQ(zend_hash_find(&restored->function_table, "one", sizeof("one"), (void **)&mine), SUCCESS);
    ASSERT_EQ(zend_hash_find(&base->function_table, "one", sizeof("one"), (void **)&theirs), SUCCESS);
    EXPECT_EQ(mine->op_array.refcount, theirs->op_array.refcount);
    EXPECT_EQ(mine->op_array.opcodes, theirs->op_array.opcodes);
}

TEST_F(CacheTest, FunctionsOfAnEarlierIncludeAreNotTakenForThisFilesOwn)
{
    std::string first = write("first.php", "<?php function early() { return 1; } if (1) { function cond() {} }\n");
    std::string second = write("second.php", "<?php function late() { return 2; }\n");
    release(compile(first));
    release(compile(second));
    brisko_file_entry *entry = entry_for(second);
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(entry->functions, nullptr);
    EXPECT_EQ(std::string(entry->functions->name), "late");
    EXPECT_EQ(entry->functions->next, nullptr);

    // The same file compiled again in one request (it changed in between)
    // gets run-time keys of its own, so its conditional function is saved
    // with its new entry.
    std::string again = write("first.php", "<?php function early2() { return 1; } if (1) { function cond() {} }\n");
    release(compile(again));
    entry = entry_for(first);
    ASSERT_NE(entry, nullptr);
    int runtime_keys = 0;
    for (brisko_function_node *n = entry->functions; n; n = n->next)
        runtime_keys += n->name[0] == '\0';
    EXPECT_EQ(runtime_keys, 1);
}

// A rewrite of the same size within the clock tick of the compilation keeps
// the change time: an entry made that recently compares the content.
TEST_F(CacheTest, ARacyEntryComparesContentUntilTheTickIsOver)
{
    std::string path = write("racy.php", "<?php $v = 'aaaa';\n");
    release(compile(path));
    brisko_file_entry *entry = entry_for(path);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->stamp.racy, 1); // written a moment ago

    // Same size, other bytes; the entry is made to match the new status,
    // as a rewrite in the same tick would leave it.
    write("racy.php", "<?php $v = 'bbbb';\n");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    entry->stamp.ctime = st.st_ctime;
    entry->stamp.ctime_nsec = st.st_ctim.tv_nsec;
    unsigned long before = zend::counters.compilations;
    release(compile(path));
    EXPECT_EQ(zend::counters.compilations, before + 1); // the content told

    // Unchanged content is served; once the tick is over the entry is
    // trusted on its status alone.
    next_request();
    usleep(100 * 1000);
    before = zend::counters.compilations;
    release(compile(path));
    EXPECT_EQ(zend::counters.compilations, before);
    entry = entry_for(path);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->stamp.racy, 0);
}

// A file put in place of another (a folder renamed over the old one) may
// have the same change time and size: its inode tells.
TEST_F(CacheTest, AnotherFileAtTheSamePathIsNotServedFromTheOldEntry)
{
    std::string path = write("live/app.php", "<?php $v = 1;\n");
    write("incoming/app.php", "<?php $v = 2;\n");
    release(compile(path));
    brisko_file_entry *entry = entry_for(path);
    ASSERT_NE(entry, nullptr);
    fs::rename(dir / "live", dir / "old");
    fs::rename(dir / "incoming", dir / "live");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    entry->stamp.ctime = st.st_ctime; // as if both were written in the same tick
    entry->stamp.ctime_nsec = st.st_ctim.tv_nsec;
    entry->stamp.racy = 0;
    unsigned long before = zend::counters.compilations;
    release(compile(path));
    EXPECT_EQ(zend::counters.compilations, before + 1);
}

namespace {
int child_pools(const bkpool *pool)
{
    int n = 0;
    for (const bkpool *p = pool->children; p; p = p->sibling) n++;
    return n;
}
} // namespace

// A file rewritten on every request must not leave a pool behind each
// time: the replaced entry's pool goes when the next request starts.
TEST_F(CacheTest, ReplacedEntriesGiveTheirPoolsBack)
{
    std::string path = write("often.php", "<?php $v = 0;\n");
    release(compile(path));
    int pools = child_pools(bkpool_global);
    for (int i = 1; i <= 20; i++) {
        next_request();
        write("often.php", "<?php $v = " + std::to_string(i * 1000) + ";\n");
        release(compile(path));
    }
    next_request();
    EXPECT_EQ(child_pools(bkpool_global), pools);
    ASSERT_NE(entry_for(path), nullptr);
}
