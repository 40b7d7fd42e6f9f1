/* The library built-ins where scripts cannot look: the pattern cache and
 * its bounds, the engine's sort under hostile comparisons, the value
 * reader against every cut of valid text, and the session files (ids,
 * paths, locks, garbage collection, the headers a session sends). */
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "builtins/builtins.h"
#include "builtins/engine_sort.h"
#include "builtins/pcre.h"
#include "builtins/serialize.h"
#include "builtins/session.h"
#include "engine_testing.h"

using namespace zend::testing;
namespace pcre = zend::builtins::pcre;
namespace session = zend::builtins::session;

namespace {

struct temp_dir {
    std::filesystem::path path;
    temp_dir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "library-XXXXXX").string();
        EXPECT_NE(mkdtemp(tmpl.data()), nullptr);
        path = tmpl;
    }
    ~temp_dir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

std::string text_of(const zval *z)
{
    return z && z->type == IS_STRING ? std::string(z->value.str.val, z->value.str.len) : "<not a string>";
}

} // namespace

TEST(PcreCache, StaysWithinItsBoundAndKeepsPatternsInUse)
{
    request_scope scope;
    pcre::clear_cache();
    pcre::pattern_ptr first = pcre::compile("/(a)(b)?/");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(pcre::compile("/(a)(b)?/"), first) << "a second use is a cache hit";
    pcre::matcher m(first);
    for (std::size_t i = 0; i < pcre::cache_limit + 50; i++)
        ASSERT_NE(pcre::compile("/x" + std::to_string(i) + "/"), nullptr);
    EXPECT_LE(pcre::cache_entries(), pcre::cache_limit);
    EXPECT_NE(pcre::compile("/(a)(b)?/"), first) << "the first pattern was evicted";
    pcre::clear_cache();
    /* the evicted pattern is still whole for the matcher holding it */
    ASSERT_EQ(m.run("xa", 2, 0), pcre::outcome::matched);
    EXPECT_EQ(m.start(0), 1u);
    EXPECT_EQ(m.groups(), 2u);
    EXPECT_EQ(m.start(2), std::string::npos);
}

TEST(PcreCache, MalformedPatternsAreNotCachedAndWarnEachTime)
{
    request_scope scope;
    pcre::clear_cache();
    for (int i = 0; i < 2; i++) {
        zval *pattern = make_string("/(/");
        call_result r = call_function("preg_match", {pattern, make_string("x")});
        ASSERT_EQ(r.errors.size(), 1u);
        EXPECT_NE(r.errors[0].message.find("Compilation failed"), std::string::npos);
    }
    EXPECT_EQ(pcre::cache_entries(), 0u);
}

TEST(PcreMatcher, EmptyMatchesStepWholeCharactersUnderUtf8)
{
    request_scope scope;
    pcre::pattern_ptr bytes = pcre::compile("//"), utf = pcre::compile("//u");
    const char text[] = "\xc3\xa9x";
    EXPECT_EQ(pcre::step_past(*bytes, text, 3, 0), 1u);
    EXPECT_EQ(pcre::step_past(*utf, text, 3, 0), 2u);
    EXPECT_EQ(pcre::step_past(*utf, text, 3, 2), 3u);
}

TEST(EngineSort, HostileComparisonsStayInBoundsAndKeepEveryElement)
{
    std::mt19937 random(12345);
    for (std::size_t n : {0u, 1u, 2u, 3u, 7u, 64u, 1000u}) {
        std::vector<int> v(n);
        for (std::size_t i = 0; i < n; i++)
            v[i] = static_cast<int>(i);
        /* answers at random, and sometimes contradicts itself */
        zend::builtins::engine_sort(v, [&](int, int) { return static_cast<int>(random() % 3) - 1; });
        std::vector<int> sorted = v;
        std::sort(sorted.begin(), sorted.end());
        for (std::size_t i = 0; i < n; i++)
            ASSERT_EQ(sorted[i], static_cast<int>(i)) << "n=" << n;
    }
    std::vector<int> big(5000);
    for (std::size_t i = 0; i < big.size(); i++)
        big[i] = static_cast<int>((i * 7919) % 5000);
    zend::builtins::engine_sort(big, [](int a, int b) { return a - b; });
    EXPECT_TRUE(std::is_sorted(big.begin(), big.end()));
}

TEST(EngineSort, EqualElementsFollowTheEngineOrder)
{
    /* three equal elements come out reversed, as the engine's quicksort
     * has always left them */
    std::vector<std::pair<int, char>> v = {{1, 'a'}, {1, 'b'}, {1, 'c'}};
    zend::builtins::engine_sort(v, [](const auto &x, const auto &y) { return x.first - y.first; });
    EXPECT_EQ(std::string() + v[0].second + v[1].second + v[2].second, "cba");
}

TEST(ValueReader, EveryCutOfValidTextIsRefused)
{
    request_scope scope;
    const std::string text = "a:4:{i:0;s:3:\"a;b\";s:1:\"k\";a:2:{i:0;d:0.5;i:1;b:1;}i:-1;O:3:\"foo\":1:{s:1:\"p\";N;}"
                             "i:2;R:3;}";
    {
        zend::builtins::value_reader reader;
        std::size_t pos = 0;
        zval *whole = reader.read(text.data(), text.size(), pos);
        ASSERT_NE(whole, nullptr);
        EXPECT_EQ(pos, text.size());
        release(whole);
    }
    for (std::size_t cut = 0; cut < text.size(); cut++) {
        std::string part = text.substr(0, cut);
        zend::builtins::value_reader reader;
        std::size_t pos = 0;
        zval *z = reader.read(part.data(), part.size(), pos);
        EXPECT_EQ(z, nullptr) << "cut at " << cut;
        EXPECT_LE(pos, part.size()) << "cut at " << cut;
        if (z)
            release(z);
    }
}

TEST(ValueWriter, ReferencesAcrossValuesOfOneWriter)
{
    request_scope scope;
    /* two session variables that share one value by reference */
    zval *shared = make_long(5);
    shared->is_ref = 1;
    shared->refcount = 2;
    zval *vars = make_array();
    array_set(vars, "a", shared);
    array_set(vars, "b", shared);
    std::string text = session::encode(vars->value.ht);
    EXPECT_EQ(text, "a|i:5;b|R:1;");
    zval *back = make_array();
    session::decode(text, back->value.ht);
    EXPECT_EQ(dump(back), "array(2) {\n  [\"a\"]=>\n  int(5)\n  [\"b\"]=>\n  int(5)\n}\n");
    zval **a, **b;
    ASSERT_EQ(zend_hash_find(back->value.ht, "a", 2, (void **)&a), SUCCESS);
    ASSERT_EQ(zend_hash_find(back->value.ht, "b", 2, (void **)&b), SUCCESS);
    EXPECT_EQ(*a, *b) << "still one value";
    EXPECT_TRUE((*a)->is_ref);
    release(vars);
    release(back);
}

TEST(SessionFiles, IdsNeverNameAPathOutsideTheFolder)
{
    for (const char *good : {"abc", "a-b,C9", "0123456789abcdef0123456789abcdef"})
        EXPECT_TRUE(session::valid_id(good)) << good;
    for (const char *bad : {"", "../x", "a/b", "a.b", "a b", "a\nb", "sess_x;rm"})
        EXPECT_FALSE(session::valid_id(bad)) << bad;
    EXPECT_FALSE(session::valid_id(std::string("a\0b", 3)));
    EXPECT_FALSE(session::valid_id(std::string(session::max_id_length + 1, 'a')));
    std::string id = session::new_id();
    EXPECT_EQ(id.size(), 32u);
    EXPECT_TRUE(session::valid_id(id));
    EXPECT_NE(id, session::new_id());
    EXPECT_EQ(session::file_path("/var/s", "abc"), "/var/s/sess_abc");
    EXPECT_EQ(session::file_path("2;/var/s", "abc"), "/var/s/a/b/sess_abc");
    EXPECT_EQ(session::file_path("1;600;/var/s", "abc"), "/var/s/a/sess_abc");
}

TEST(SessionFiles, GarbageCollectionTakesOnlyOldSessionFiles)
{
    temp_dir dir;
    auto make = [&](const std::string &name, time_t mtime) {
        std::ofstream((dir.path / name).string()) << "x";
        struct utimbuf times{mtime, mtime};
        utime((dir.path / name).c_str(), &times);
    };
    time_t now = 1000000;
    make("sess_old", now - 5000);
    make("sess_new", now - 10);
    make("other_old", now - 5000);
    make("sess_bad.name", now - 5000);
    EXPECT_EQ(session::collect_garbage(dir.path.string(), 1440, now), 1u);
    EXPECT_FALSE(std::filesystem::exists(dir.path / "sess_old"));
    EXPECT_TRUE(std::filesystem::exists(dir.path / "sess_new"));
    EXPECT_TRUE(std::filesystem::exists(dir.path / "other_old"));
    EXPECT_TRUE(std::filesystem::exists(dir.path / "sess_bad.name"));
    EXPECT_EQ(session::collect_garbage((dir.path / "missing").string(), 1440, now), 0u);
}

TEST(SessionFiles, StartedSessionHoldsItsFileLockedAndSendsItsHeaders)
{
    temp_dir dir;
    std::string file = (dir.path / "sess_locktest").string();
    {
        request_scope scope;
        call_function("session_save_path", {make_string(dir.path.string())});
        call_function("session_id", {make_string("locktest")});
        call_result started = call_function("session_start", {});
        EXPECT_TRUE(started.errors.empty());
        const std::vector<std::string> &h = zend::response().lines;
        ASSERT_EQ(h.size(), 4u);
        EXPECT_EQ(h[0], "Set-Cookie: PHPSESSID=locktest; path=/");
        EXPECT_EQ(h[1], "Expires: Thu, 19 Nov 1981 08:52:00 GMT");
        EXPECT_EQ(h[2], "Cache-Control: no-store, no-cache, must-revalidate, post-check=0, pre-check=0");
        EXPECT_EQ(h[3], "Pragma: no-cache");

        int fd = open(file.c_str(), O_RDWR);
        ASSERT_GE(fd, 0);
        EXPECT_NE(flock(fd, LOCK_EX | LOCK_NB), 0) << "another holder must wait";
        call_function("session_write_close", {});
        EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0) << "written back: the lock is gone";
        flock(fd, LOCK_UN);

        call_function("session_start", {});
        EXPECT_NE(flock(fd, LOCK_EX | LOCK_NB), 0);
        close(fd);
    }
    /* the request's end lets the file go too */
    int fd = open(file.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    close(fd);

    /* a session id from the cookie sends no new cookie */
    request_scope scope;
    zval *cookies = make_array();
    array_set(cookies, "PHPSESSID", make_string("locktest"));
    zend_hash_update(&EG(symbol_table), "_COOKIE", sizeof "_COOKIE", &cookies, sizeof(zval *), nullptr);
    call_function("session_save_path", {make_string(dir.path.string())});
    call_function("session_cache_limiter", {make_string("")});
    call_function("session_start", {});
    call_result id = call_function("session_id", {});
    EXPECT_EQ(text_of(id.value), "locktest");
    EXPECT_TRUE(zend::response().lines.empty());
}

TEST(SessionFiles, CookieLifetimesOfAnySizeMakeADate)
{
    temp_dir dir;
    request_scope scope;
    call_function("session_save_path", {make_string(dir.path.string())});
    call_function("session_set_cookie_params", {make_long(LONG_MAX), make_string("/app"), make_string("example.org")});
    call_function("session_cache_limiter", {make_string("")});
    call_function("session_id", {make_string("forever")});
    call_function("session_start", {});
    const std::vector<std::string> &h = zend::response().lines;
    ASSERT_EQ(h.size(), 1u);
    EXPECT_EQ(h[0], "Set-Cookie: PHPSESSID=forever; expires=Fri, 31-Dec-9999 23:59:59 GMT; path=/app; domain=example.org");
}
