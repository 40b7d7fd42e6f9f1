// The template functions as scripts call them: load and the file cache,
// assignment, fetch, attach, rendering, ids and bad arguments.
#include <malloc.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>

#include "template_fixture.h"

#if defined(__SANITIZE_ADDRESS__)
#define TPL_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TPL_TEST_ASAN 1
#endif
#endif
#ifdef TPL_TEST_ASAN
extern "C" size_t __sanitizer_get_current_allocated_bytes(void); /* the sanitizer runtime's */
#endif

namespace {

using tpl = tpl_fixture;

/* Bytes the C library's allocator has handed out and not taken back. */
size_t allocated_bytes()
{
#ifdef TPL_TEST_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    struct mallinfo2 mi = mallinfo2();
    return mi.uordblks + mi.hblkhd;
#endif
}

void next_request()
{
    zend::request_shutdown();
    zend::request_startup();
}

const char *const page =
    "<h1>{title}</h1>\n"
    "<table>\n"
    "  <!-- BEGIN row* -->\n"
    "  <tr><td>{a}</td><td>{b}</td></tr>\n"
    "  <!-- END row* -->\n"
    "</table>\n"
    "<!-- BEGIN foot -->[{note}]<!-- END foot -->\n";

} // namespace

TEST_F(tpl, WorkedExampleHelloAnn)
{
    // The blank before a BEGIN marker goes with the block, so the comma
    // ends the line here.
    std::string path = write("hello.tpl", "Hello {name},\n <!-- BEGIN row* --> x<!-- END row* -->!");
    long id = load(path);
    ASSERT_GT(id, 0);
    EXPECT_EQ(get(id), "Hello {name},\n!");
    EXPECT_TRUE(assign(id, "name", "Ann"));
    EXPECT_GT(fetch(id, "row*", 1), 0) << "index 1 makes instances 0 and 1";
    EXPECT_EQ(get(id), "Hello Ann,\nxx!");
    auto printed = call("brisko_template_print", {L(id)});
    EXPECT_EQ(printed.output, "Hello Ann,\nxx!");
    EXPECT_EQ(printed.value->type, IS_NULL);
}

// Rendering records built by hand (no slots: names are compared): a
// 21-byte content with a tag and the placeholder of a repeat block.
TEST_F(tpl, WorkedExampleOnHandBuiltRecords)
{
    bkpool *pool = new_bkpool();
    brisko_seg top_segs[] = {{0, 6, 0}, {6, 2, 4}, {14, 1, 4}};
    brisko_seg x_segs[] = {{0, 1, 0}};
    brisko_tpl x = {BRISKO_TPL_MAGIC, pool, (char *)"x", 1, x_segs, 0, nullptr, nullptr, nullptr, 0};
    brisko_tpl top = {BRISKO_TPL_MAGIC, pool, (char *)"Hello {name}, {row*}!", 3, top_segs, 0, nullptr, nullptr, nullptr, 0};
    ASSERT_EQ(strlen(top.content), 21u);
    _brisko_template_set_subnum(&top, 1);
    _brisko_template_set_sub(&top, 0, "row*", &x);

    _brisko_template_render(&top);
    EXPECT_EQ(std::string(brisko_write_buf, brisko_write_buf_len), "Hello {name}, !");
    EXPECT_EQ(brisko_write_buf_len, 15);

    brisko_tpl *t = _brisko_template_dup(&top);
    brisko_template_fetch(t, "row*", 1);
    EXPECT_EQ(brisko_template_assign(t, "name", "Ann"), 1);
    _brisko_template_render(t);
    EXPECT_EQ(std::string(brisko_write_buf, brisko_write_buf_len), "Hello Ann, xx!");
    EXPECT_EQ(brisko_write_buf[brisko_write_buf_len], '\0');
    delete_bkpool(pool);
}

TEST_F(tpl, FillingRowsAssignmentsAndPrecedence)
{
    long id = load(write("page.tpl", page));
    assign(id, "title", "T");
    for (int i = 0; i < 3; i++) {
        auto r = call("brisko_template_fetch_assign", {L(id), S("row*"), L(i), S("a"), S("a" + std::to_string(i))});
        EXPECT_EQ(r.value->type, IS_BOOL);
        EXPECT_EQ(r.value->value.lval, 1);
    }
    long row1 = fetch(id, "row*", 1);
    EXPECT_EQ(fetch(id, "row*", 1), row1) << "same index, same instance";
    EXPECT_TRUE(assign(row1, "b", "B1"));
    EXPECT_TRUE(assign(row1, "b", "b1")) << "replaced in place";
    long foot = fetch(id, "foot", 7);
    EXPECT_EQ(fetch(id, "foot", 0), foot) << "index ignored without *";
    assign(foot, "note", "{title}");
    // Line breaks around the markers stay, blanks before the END marker
    // belong to the body.
    EXPECT_EQ(get(id), "<h1>T</h1>\n<table>\n"
                       "\n  <tr><td>a0</td><td>{b}</td></tr>\n  "
                       "\n  <tr><td>a1</td><td>b1</td></tr>\n  "
                       "\n  <tr><td>a2</td><td>{b}</td></tr>\n  "
                       "\n</table>\n[{title}]\n");
    EXPECT_TRUE(assign(id, "row*", "value wins"));
    EXPECT_NE(get(id).find("<table>\nvalue wins\n</table>"), std::string::npos);

    zval *arr = zend::testing::make_array();
    zend::testing::array_set(arr, "a", L(5));
    zend::testing::array_set(arr, 3, S("skipped"));
    auto r = call("brisko_template_fetch_assign_array", {L(id), S("row*"), L(4), arr});
    EXPECT_EQ(r.value->value.lval, 0) << "an integer key makes it false";
    zval **five = nullptr;
    ASSERT_EQ(zend_hash_find(arr->value.ht, "a", 2, (void **)&five), SUCCESS);
    EXPECT_EQ((*five)->type, IS_LONG) << "the passed array is left as it was";
    long row4 = fetch(id, "row*", 4);
    EXPECT_EQ(get(row4), "\n  <tr><td>5</td><td>{b}</td></tr>\n  ") << "the instance alone, row made anyway";
    EXPECT_EQ(get(fetch(id, "row*", 3)), "\n  <tr><td>{a}</td><td>{b}</td></tr>\n  ");
}

TEST_F(tpl, NegativeAndHugeIndexes)
{
    long id = load(write("page.tpl", page));
    long proto = fetch(id, "row*", -1);
    ASSERT_GT(proto, 0);
    assign(proto, "a", "proto");
    EXPECT_EQ(get(id).find("proto"), std::string::npos) << "the prototype is never rendered";
    EXPECT_EQ(get(fetch(id, "row*", 0)).find("proto"), std::string::npos) << "instances start without values";

    auto huge = call("brisko_template_fetch", {L(id), S("row*"), L(2000000000)});
    EXPECT_EQ(huge.value->type, IS_NULL);
    ASSERT_EQ(huge.errors.size(), 1u);
    EXPECT_NE(huge.errors[0].message.find("memory exhausted"), std::string::npos);
    EXPECT_EQ(get(id).find("<tr>"), get(id).rfind("<tr>")) << "the one row made before is still there";
}

TEST_F(tpl, BlockPathsCacheAndIndependentCopies)
{
    std::string path = write("nest.tpl", "<!-- BEGIN a -->A<!-- BEGIN b -->B{x}<!-- END b --><!-- END a -->");
    long b = load(path, "a->b");
    EXPECT_EQ(get(b), "B{x}");
    EXPECT_EQ(get(load(path, ">a-b>")), "B{x}") << "any run of - and > separates";
    EXPECT_EQ(load(path, "b"), 0) << "not a top-level block";
    EXPECT_EQ(get(load(path, "")), "AB{x}");
    EXPECT_EQ(load(dir + "/missing.tpl"), -1);
    EXPECT_EQ(load(dir), -1) << "a directory cannot be read";

    long one = load(path), two = load(dir + "/./nest.tpl");
    EXPECT_NE(one, two);
    assign(fetch(fetch(one, "a", 0), "b", 0), "x", "1");
    EXPECT_EQ(get(one), "AB1");
    EXPECT_EQ(get(two), "AB{x}");

    // A change of the status-change time (chmod) makes the next load parse
    // again; copies of the old parse keep rendering the old text.
    struct stat st0, st1;
    ASSERT_EQ(stat(path.c_str(), &st0), 0);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "new {x}";
    for (int tries = 0; tries < 30; tries++) {
        chmod(path.c_str(), tries % 2 ? 0644 : 0600);
        stat(path.c_str(), &st1);
        if (st1.st_ctime != st0.st_ctime) break;
        struct timespec pause = {0, 100000000};
        nanosleep(&pause, nullptr);
    }
    ASSERT_NE(st1.st_ctime, st0.st_ctime);
    EXPECT_EQ(get(load(path)), "new {x}");
    EXPECT_EQ(get(two), "AB{x}");
}

TEST_F(tpl, RewriteWithinOneTimestampTickIsSeen)
{
    // Two writes inside the file system's timestamp granularity, keeping the
    // size: the status-change time may not move, the bytes do.
    std::string path = write("same.tpl", "old {x}");
    EXPECT_EQ(get(load(path)), "old {x}");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "NEW {x}";
    EXPECT_EQ(get(load(path)), "NEW {x}");
    std::string moved = write("moved.tpl", "MOV {x}");
    ASSERT_EQ(rename(moved.c_str(), path.c_str()), 0) << "a new inode at the same path";
    EXPECT_EQ(get(load(path)), "MOV {x}");
}

TEST_F(tpl, CacheIsSharedAndUnreadableFilesGiveNull)
{
    std::string path = write("c.tpl", "cached {x}");
    brisko_tpl *one = _brisko_template_from_id(load(path));
    brisko_tpl *two = _brisko_template_from_id(load(dir + "/../" + dir.substr(dir.rfind('/') + 1) + "/c.tpl"));
    ASSERT_TRUE(one && two);
    EXPECT_NE(one, two);
    EXPECT_EQ(one->content, two->content) << "both copies of one cached parse";

    std::string fifo = dir + "/fifo.tpl";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    files.push_back(fifo);
    EXPECT_EQ(load(fifo), -1) << "resolves and stats, but is no readable file";
}

TEST_F(tpl, AttachBeforeAndAfterFetchesAndCycles)
{
    long outer = load(write("o.tpl", "<<!-- BEGIN s -->single<!-- END s -->|<!-- BEGIN r* -->rep<!-- END r* -->>"));
    long inner = load(write("i.tpl", "in{v}"));
    auto r = call("brisko_template_attach", {L(outer), S("r*"), L(inner)});
    EXPECT_EQ(r.value->type, IS_BOOL);
    EXPECT_EQ(r.value->value.lval, 1) << "found, nothing to change yet";
    EXPECT_EQ(get(outer), "<single|>");
    fetch(outer, "r*", 2);
    call("brisko_template_attach", {L(outer), S("r*"), L(inner)});
    call("brisko_template_attach", {L(outer), S("s"), L(inner)});
    assign(inner, "v", "!");
    EXPECT_EQ(get(outer), "<in!|in!in!in!>");
    EXPECT_EQ(fetch(outer, "s", 0), inner) << "fetch returns what the node holds";
    EXPECT_NE(fetch(outer, "r*", 3), inner) << "later instances copy the prototype";
    EXPECT_EQ(call("brisko_template_attach", {L(outer), S("nope"), L(inner)}).value->value.lval, 0);

    // The outer template put into its own block: the repeated part is
    // left out with one warning, the rest renders.
    call("brisko_template_attach", {L(outer), S("s"), L(outer)});
    auto cyc = call("brisko_template_get", {L(outer)});
    EXPECT_EQ(std::string(cyc.value->value.str.val), "<|in!in!in!rep>");
    ASSERT_EQ(cyc.errors.size(), 1u);
    EXPECT_NE(cyc.errors[0].message.find("contains itself"), std::string::npos);

    // A prototype made to contain its own template cannot be copied.
    long t = load(write("p.tpl", "<!-- BEGIN r* -->[<!-- BEGIN s -->s<!-- END s -->]<!-- END r* -->"));
    long proto = fetch(t, "r*", -1);
    EXPECT_EQ(call("brisko_template_attach", {L(proto), S("s"), L(t)}).value->value.lval, 1);
    auto copy = call("brisko_template_fetch", {L(t), S("r*"), L(0)});
    EXPECT_EQ(copy.value->type, IS_NULL);
    EXPECT_NE(warnings(copy).find("contains itself"), std::string::npos);
    EXPECT_EQ(get(t), "");
}

TEST_F(tpl, CheckTagnameMode)
{
    std::string path = write("k.tpl", "{t}<!-- BEGIN b* -->{inner}<!-- END b* -->");
    long id = load(path);
    EXPECT_TRUE(assign(id, "absent", "ok")) << "mode off: stored";
    auto on = call("brisko_template_check_tagname", {});
    EXPECT_EQ(on.value->type, IS_NULL);
    EXPECT_EQ(brisko_template_check_tagname_f, 1);

    auto r = call("brisko_template_assign", {L(id), S("in%sner"), S("x")});
    EXPECT_EQ(r.value->value.lval, 0);
    EXPECT_EQ(warnings(r), "Illegal tagname('in%sner')\n");
    EXPECT_TRUE(assign(id, "b*", "x")) << "a block's placeholder is a tag";
    EXPECT_TRUE(assign(id, "", "x"));
    EXPECT_TRUE(assign(fetch(id, "b*", 0), "inner", "x"));
    EXPECT_EQ(warnings(call("brisko_template_fetch", {L(id), S("nope")})), "Illegal tagname('nope')\n");
    EXPECT_EQ(warnings(call("brisko_template_load", {S(path), S("x->y")})), "Illegal tagname('x->y')\n");
    auto fa = call("brisko_template_fetch_assign", {L(id), S("b*"), L(3), S("zz"), S("v")});
    EXPECT_EQ(fa.value->value.lval, 0);
    EXPECT_EQ(warnings(fa), "Illegal tagname('zz')\n");
    EXPECT_GT(fetch(id, "b*", 3), 0);
    std::string long_name(5000, 'n');
    EXPECT_EQ(warnings(call("brisko_template_assign", {L(id), S(long_name), S("v")})),
              "Illegal tagname('" + long_name + "')\n");
}

TEST_F(tpl, InvalidIdsAndArguments)
{
    long id = load(write("x.tpl", "<!-- BEGIN b -->{v}<!-- END b -->"));
    const char *bad_id = "argument to id should be template_id\n";
    for (long bogus : {0L, 1L, -5L, id + 1, id + 8, (long)brisko_heap_strage, (long)brisko_heap_strage_ini - 8}) {
        EXPECT_EQ(warnings(call("brisko_template_get", {L(bogus)})), bad_id) << bogus;
        EXPECT_EQ(call("brisko_template_fetch", {L(bogus), S("b")}).value->type, IS_NULL);
        EXPECT_EQ(call("brisko_template_assign", {L(bogus), S("v"), S("x")}).value->value.lval, 0);
    }
    long stale = id;
    zend::request_shutdown();
    zend::request_startup();
    EXPECT_EQ(warnings(call("brisko_template_print", {L(stale)})), bad_id) << "an earlier request's id";

    long fresh = load(write("y.tpl", "{v}"));
    auto not_array = call("brisko_template_assign_array", {L(-1), S("x")});
    EXPECT_EQ(not_array.value->type, IS_NULL);
    EXPECT_EQ(warnings(not_array), "argument to keys() should be an array\n") << "the array is checked first";
    auto fa = call("brisko_template_fetch_assign_array", {L(-1), S("b"), L(0), S("x")});
    EXPECT_EQ(fa.value->type, IS_BOOL);
    EXPECT_EQ(warnings(fa), bad_id) << "here the id is checked first";

    // Ids as strings are converted; wrong counts report and return null.
    EXPECT_EQ(get(std::stol(std::to_string(fresh))), "{v}");
    EXPECT_EQ(get(fresh), std::string(zend::testing::call_function("brisko_template_get",
                                                                  {S(std::to_string(fresh))}).value->value.str.val));
    const std::vector<std::pair<const char *, int>> bad_counts = {
        {"brisko_template_fetch", 1},  {"brisko_template_get", 0},          {"brisko_template_print", 2},
        {"brisko_template_assign", 2}, {"brisko_template_assign_array", 3}, {"brisko_template_fetch_assign", 4},
        {"brisko_template_fetch_assign_array", 5}, {"brisko_template_attach", 2}, {"brisko_template_load", 3},
        {"brisko_template_check_tagname", 1}};
    for (auto &[fn, n] : bad_counts) {
        std::vector<zval *> args;
        for (int i = 0; i < n; i++) args.push_back(L(fresh));
        auto r = call(fn, args);
        EXPECT_EQ(r.value->type, IS_NULL) << fn;
        ASSERT_EQ(r.errors.size(), 1u) << fn;
        EXPECT_NE(r.errors[0].message.find("Wrong parameter count"), std::string::npos) << fn;
    }
    EXPECT_EQ(get(fresh), "{v}");
}

TEST_F(tpl, LongTagsAndLargeOutput)
{
    std::string script = "<script>{" + std::string(5000, 'x') + "}</script>{}after";
    long id = load(write("l.tpl", script + "<!-- BEGIN r* -->{v}<!-- END r* -->"));
    EXPECT_EQ(get(id), script);
    std::string big(400000, 'z');
    for (int i = 0; i < 3; i++)
        call("brisko_template_fetch_assign", {L(id), S("r*"), L(i), S("v"), S(big)});
    EXPECT_EQ(get(id).size(), script.size() + 3 * big.size());
    EXPECT_GE(brisko_write_buf_alloc, brisko_write_buf_len + 4);
    EXPECT_EQ(get(load(write("e.tpl", ""))), "") << "reset, not appended";
}

TEST_F(tpl, ExhaustedRequestHeapFailsCleanly)
{
    long id = load(write("h.tpl", "<!-- BEGIN r* -->[{v}]<!-- END r* -->"));
    long row = fetch(id, "r*", 0);
    assign(row, "v", "kept");
    // Take all but a few bytes of what the request heap may grow to.
    size_t used = static_cast<size_t>(brisko_heap_strage - brisko_heap_strage_ini);
    ASSERT_NE(brisko_heap_malloc(BRISKO_HEAP_LIMIT - used - 16), nullptr);

    auto l = call("brisko_template_load", {S(dir + "/h.tpl")});
    EXPECT_EQ(l.value->type, IS_NULL);
    EXPECT_NE(warnings(l).find("memory exhausted"), std::string::npos);
    auto f = call("brisko_template_fetch", {L(id), S("r*"), L(5)});
    EXPECT_EQ(f.value->type, IS_NULL);
    EXPECT_NE(warnings(f).find("memory exhausted"), std::string::npos);
    assign(row, "v", "still"); // replaces in place: no new entry needed
    auto a = call("brisko_template_assign", {L(row), S("new"), S("x")});
    EXPECT_EQ(a.value->value.lval, 0);
    EXPECT_NE(warnings(a).find("memory exhausted"), std::string::npos);
    EXPECT_EQ(get(id), "[still]") << "everything made before stays valid";
}

TEST_F(tpl, RandomIntegersAsIds)
{
    long id = load(write("r.tpl", "<!-- BEGIN a -->{x}<!-- END a -->"));
    fetch(id, "a", 0);
    // Every 8-byte place of the heap handed out so far, as an id of this
    // request and as a bare address: only the three records (the copy,
    // its prototype and its instance) are ids, and only with the request's
    // tag. Random values are refused. None of it may crash.
    int accepted = 0, bare = 0;
    for (char *p = brisko_heap_strage_ini; p < brisko_heap_strage + 64; p += 8) {
        accepted += call("brisko_template_get", {L(_brisko_template_id((brisko_tpl *)p))}).value->type == IS_STRING;
        bare += zend::testing::call_function("brisko_template_get", {L((long)p)}).value->type == IS_STRING;
    }
    EXPECT_EQ(accepted, 3);
    EXPECT_EQ(bare, 0);
    unsigned long seed = 99;
    for (int i = 0; i < 2000; i++) {
        seed = seed * 6364136223846793005UL + 1442695040888963407UL;
        EXPECT_EQ(call("brisko_template_get", {L((long)seed)}).value->type, IS_NULL);
    }
}

TEST_F(tpl, TenMegabyteTemplate)
{
    std::string text;
    text.reserve(10u << 20);
    for (int i = 0; text.size() < (10u << 20); i++) {
        std::string n = "b" + std::to_string(i % 5000) + (i % 3 == 1 ? "*" : "");
        text += "<p>{t" + std::to_string(i % 7) + "} text {x} <!-- BEGIN " + n + " -->row {v}<!-- END " + n + " -->\n";
        if (i % 1000 == 0) text += "<!-- BEGIN open" + std::to_string(i) + " --> <script>if (a) { b(); }</script>\n";
    }
    long id = load(write("big.tpl", text));
    ASSERT_GT(id, 0);
    std::string out = get(id);
    EXPECT_GT(out.size(), 1000000u);
    EXPECT_NE(out.find("<!-- BEGIN open0 -->"), std::string::npos);
}

// A fetch that runs out of memory half way gives back everything it took:
// the heap's top is where it was, and later loads of the request work.
TEST_F(tpl, FetchOutOfMemoryGivesTheSpaceBack)
{
    std::string text = "<!-- BEGIN r* -->";
    for (int i = 0; i < 200; i++) text += "<!-- BEGIN s" + std::to_string(i) + " -->{v}<!-- END s" + std::to_string(i) + " -->";
    text += "<!-- END r* -->";
    long id = load(write("big_rows.tpl", text));
    std::string small = write("small.tpl", "{v}");
    ASSERT_GT(fetch(id, "r*", 0), 0);

    // Fill the heap, then give back 64 KB of the filler: room for one
    // instance (about 400 records), not for ten.
    for (size_t chunk = size_t(1) << 40; chunk >= 8; chunk /= 2)
        while (brisko_heap_malloc(chunk) != nullptr) {}
    brisko_heap_strage -= 64 * 1024;
    char *top = brisko_heap_strage;

    auto r = call("brisko_template_fetch", {L(id), S("r*"), L(10)});
    EXPECT_EQ(r.value->type, IS_NULL);
    EXPECT_NE(warnings(r).find("memory exhausted"), std::string::npos);
    EXPECT_EQ(brisko_heap_strage, top) << "the failed fetch kept what it took";
    EXPECT_GT(load(small), 0) << "a later load still has room";
    EXPECT_EQ(get(id), get(fetch(id, "r*", 0))) << "the block still has its one instance";
}

// Filling rows in any order gives the same page as filling them in order.
TEST_F(tpl, RowsFilledInAnyOrderRenderInIndexOrder)
{
    std::string path = write("o.tpl", "<!-- BEGIN r* -->{i},<!-- END r* -->");
    std::vector<long> order(2000);
    std::iota(order.begin(), order.end(), 0);
    std::string expected;
    for (long i : order) expected += std::to_string(i) + ",";
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    long shuffled = load(path), reversed = load(path);
    for (long i : order) call("brisko_template_fetch_assign", {L(shuffled), S("r*"), L(i), S("i"), L(i)});
    for (long i = 1999; i >= 0; i--) call("brisko_template_fetch_assign", {L(reversed), S("r*"), L(i), S("i"), L(i)});
    EXPECT_EQ(get(shuffled), expected);
    EXPECT_EQ(get(reversed), expected);
    EXPECT_EQ(fetch(shuffled, "r*", 1234), fetch(shuffled, "r*", 1234));
}

// Names that are no tag of the content are kept (many of them, each
// replaced in place) and render nowhere; a block whose name holds "}" has
// no tag but can be fetched.
TEST_F(tpl, OtherNamesAndBlockNamesWithoutTags)
{
    long id = load(write("n.tpl", "[{t}]<!-- BEGIN a}b -->in<!-- END a}b -->"));
    for (int i = 0; i < 3000; i++) EXPECT_TRUE(assign(id, "other" + std::to_string(i), "v" + std::to_string(i)));
    EXPECT_TRUE(assign(id, "other7", "again"));
    EXPECT_TRUE(assign(id, "t", "T"));
    EXPECT_EQ(get(id), "[T]{a}b}") << "the placeholder reads as the tag {a}";
    brisko_tpl *t = _brisko_template_from_id(id);
    int entries = 0;
    std::string seven;
    for (brisko_tagvalue *tv = t->tagvalues; tv; tv = tv->next, entries++)
        if (std::strcmp(tv->name, "other7") == 0) seven = tv->value;
    EXPECT_EQ(entries, 3001);
    EXPECT_EQ(seven, "again");
    EXPECT_EQ(t->tagvalues_last->value_len, 1u);
    EXPECT_GT(fetch(id, "a}b", 0), 0);

    brisko_template_check_tagname_f = 1;
    EXPECT_EQ(warnings(call("brisko_template_assign", {L(id), S("a}b"), S("x")})), "Illegal tagname('a}b')\n");
    EXPECT_EQ(warnings(call("brisko_template_assign", {L(id), S("other1"), S("x")})), "Illegal tagname('other1')\n");
}

// Text a script assigns lives in the request heap beside the records, but
// an id can never name it: a value laid out as a record is refused.
TEST_F(tpl, ValuesThatLookLikeRecordsAreNoIds)
{
    long id = load(write("f.tpl", "{v}"));
    brisko_tpl *real = _brisko_template_from_id(id);
    ASSERT_NE(real, nullptr);
    brisko_tpl fake = *real;
    ASSERT_EQ(_brisko_template_assign_n(real, "v", 1, reinterpret_cast<const char *>(&fake), sizeof fake), 1);
    const char *text = real->tagvalues->value;
    ASSERT_EQ(std::memcmp(text, &fake, sizeof fake), 0);
    long forged = _brisko_template_id(reinterpret_cast<const brisko_tpl *>(text));
    EXPECT_EQ(warnings(call("brisko_template_get", {L(forged)})), "argument to id should be template_id\n");
}

// At request start, a replaced parse is freed and a grown output buffer
// goes back to its start-up size.
TEST_F(tpl, ReplacedParsesAndGrownBuffersAreGivenBack)
{
    std::string text;
    for (int i = 0; i < 2000; i++) text += "<p>{a" + std::to_string(i) + "}</p><!-- BEGIN b" + std::to_string(i) + " -->x<!-- END b" + std::to_string(i) + " -->\n";
    std::string path = write("re.tpl", text);
    char *resolved = realpath(path.c_str(), nullptr);
    std::string key(resolved);
    free(resolved);
    auto reparse_next_load = [&] {
        void *found = nullptr;
        ASSERT_EQ(zend_hash_find(brisko_templatetable, key.c_str(), (uint)key.size() + 1, &found), SUCCESS);
        (*(brisko_tplfile **)found)->ctime = 0; /* as if the file had changed */
    };
    ASSERT_GT(load(path), 0);
    next_request();
    size_t before = allocated_bytes();
    for (int i = 0; i < 20; i++) {
        reparse_next_load();
        long id = load(path);
        ASSERT_GT(id, 0);
        EXPECT_EQ(get(id).substr(0, 9), "<p>{a0}</");
        next_request();
    }
    EXPECT_LT(allocated_bytes(), before + text.size()) << "twenty parses replaced, not one kept";

    long big = load(write("big.tpl", "<!-- BEGIN r* -->{v}<!-- END r* -->"));
    for (int i = 0; i < 6; i++)
        call("brisko_template_fetch_assign", {L(big), S("r*"), L(i), S("v"), S(std::string(1000000, 'x'))});
    EXPECT_EQ(get(big).size(), 6000000u);
    EXPECT_GT(brisko_write_buf_alloc, BRISKO_WRITE_BUF_KEEP);
    next_request();
    EXPECT_EQ(brisko_write_buf_alloc, BRISKO_WRITE_BUF_SIZE);
    EXPECT_EQ(get(load(path)).size(), get(load(path)).size()) << "the buffer still renders";
}
