// Golden template pairs: every tests/golden/NAME.ops is a list of
// operations on templates of that folder; the renderings (and the warnings
// raised on the way) must equal NAME.out byte for byte.
//
// Operations, one per line ("#" starts a comment; \n and \t in values are
// escapes):
//   load VAR FILE [BLOCKPATH]       VAR = brisko_template_load(...)
//   fetch VAR FROM BLOCK [INDEX]    VAR = brisko_template_fetch(...)
//   assign VAR TAG VALUE...         the value is the rest of the line
//   fetch_assign VAR BLOCK INDEX TAG VALUE...
//   attach VAR BLOCK OTHER
//   render VAR                      brisko_template_get; the text, a line
//                                   break and "----"
//   check_tagname
// Results other than ids are not printed; warnings print as "! message".
#include <dirent.h>

#include <map>
#include <sstream>

#include "template_fixture.h"

namespace {

using golden = tpl_fixture;

std::string golden_dir() { return std::string(BRISKO_TEST_DATA) + "/../golden"; }

std::string read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string unescape(const std::string &s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); i++) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'n' || s[i + 1] == 't')) {
            out += s[++i] == 'n' ? '\n' : '\t';
        } else {
            out += s[i];
        }
    }
    return out;
}

/* Runs one ops file; returns what it printed. */
std::string run_ops(const std::string &ops)
{
    std::map<std::string, long> vars;
    std::string out;
    std::istringstream lines(ops);
    std::string line;
    auto id = [&](const std::string &v) { return vars.count(v) ? vars[v] : std::atol(v.c_str()); };
    auto report = [&](const zend::testing::call_result &r) {
        for (auto &e : r.errors) out += "! " + e.message + "\n";
        return r.value;
    };
    auto as_id = [](zval *v) { return v->type == IS_LONG ? v->value.lval : -1L; };
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string op, a, b, c, d;
        words >> op;
        if (op.empty() || op[0] == '#') continue;
        auto rest = [&]() {
            std::string r;
            std::getline(words, r);
            return unescape(r.empty() ? r : r.substr(1));
        };
        auto L = tpl_fixture::L;
        auto S = tpl_fixture::S;
        if (op == "load") {
            words >> a >> b;
            std::vector<zval *> args{S(golden_dir() + "/" + b)};
            if (words >> c) args.push_back(S(c));
            vars[a] = as_id(report(tpl_fixture::call("brisko_template_load", args)));
        } else if (op == "fetch") {
            words >> a >> b >> c;
            std::vector<zval *> args{L(id(b)), S(c)};
            if (words >> d) args.push_back(L(std::atol(d.c_str())));
            vars[a] = as_id(report(tpl_fixture::call("brisko_template_fetch", args)));
        } else if (op == "assign") {
            words >> a >> b;
            report(tpl_fixture::call("brisko_template_assign", {L(id(a)), S(unescape(b)), S(rest())}));
        } else if (op == "fetch_assign") {
            words >> a >> b >> c >> d;
            std::string value = rest();
            report(tpl_fixture::call("brisko_template_fetch_assign",
                                     {L(id(a)), S(b), L(std::atol(c.c_str())), S(d), S(value)}));
        } else if (op == "attach") {
            words >> a >> b >> c;
            report(tpl_fixture::call("brisko_template_attach", {L(id(a)), S(b), L(id(c))}));
        } else if (op == "render") {
            words >> a;
            zval *v = report(tpl_fixture::call("brisko_template_get", {L(id(a))}));
            if (v->type == IS_STRING) out += std::string(v->value.str.val, v->value.str.len);
            out += "\n----\n";
        } else if (op == "check_tagname") {
            report(tpl_fixture::call("brisko_template_check_tagname", {}));
        } else {
            ADD_FAILURE() << "unknown operation: " << line;
        }
    }
    return out;
}

} // namespace

TEST_F(golden, PairsRenderAsRecorded)
{
    DIR *d = opendir(golden_dir().c_str());
    ASSERT_NE(d, nullptr);
    std::vector<std::string> names;
    while (dirent *e = readdir(d)) {
        std::string n = e->d_name;
        if (n.size() > 4 && n.compare(n.size() - 4, 4, ".ops") == 0) names.push_back(n.substr(0, n.size() - 4));
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    ASSERT_GE(names.size(), 5u);
    for (auto &name : names) {
        SCOPED_TRACE(name);
        brisko_template_check_tagname_f = 0;
        std::string expected = read_file(golden_dir() + "/" + name + ".out");
        EXPECT_EQ(run_ops(read_file(golden_dir() + "/" + name + ".ops")), expected);
    }
}

// The rendering section's worked example, on records built by hand: a
// 21-byte content with a tag and the placeholder of a repeat block.
TEST_F(golden, WorkedExampleOnHandBuiltRecords)
{
    bkpool *pool = new_bkpool();
    brisko_seg top_segs[] = {{0, 6, 0}, {6, 2, 4}, {14, 1, 4}};
    brisko_seg x_segs[] = {{0, 1, 0}};
    brisko_tpl x = {BRISKO_TPL_MAGIC, pool, (char *)"x", 1, x_segs, 0, nullptr, nullptr, nullptr, 0};
    brisko_tpl top = {BRISKO_TPL_MAGIC, pool, (char *)"Hello {name}, {row*}!", 3, top_segs, 0, nullptr, nullptr, nullptr, 0};
    ASSERT_EQ(strlen(top.content), 21u);
    _brisko_template_set_subnum(&top, 1);
    _brisko_template_set_sub(&top, 0, "row*", &x);

    brisko_template_render(&top);
    EXPECT_EQ(std::string(brisko_write_buf, brisko_write_buf_len), "Hello {name}, !");
    EXPECT_EQ(brisko_write_buf_len, 15);

    brisko_tpl *t = _brisko_template_dup(&top);
    brisko_template_fetch(t, "row*", 1);
    EXPECT_EQ(brisko_template_assign(t, "name", "Ann"), 1);
    brisko_template_render(t);
    EXPECT_EQ(std::string(brisko_write_buf, brisko_write_buf_len), "Hello Ann, xx!");
    EXPECT_EQ(brisko_write_buf[brisko_write_buf_len], '\0');
    delete_bkpool(pool);
}
