// The parser on the format's own examples and on hostile text.
#include <cstring>
#include <memory>
#include <string>

#include "template_fixture.h"

namespace {

using parser = tpl_fixture;

struct parsed {
    brisko_tpl *tpl;
    explicit parsed(const std::string &text) : tpl(_brisko_template_parse(text.c_str(), nullptr)) {}
    ~parsed() { delete_bkpool(tpl->pool); }
    std::string segs() const
    {
        std::string s;
        for (int k = 0; k < tpl->segnum; k++)
            s += "{" + std::to_string(tpl->segs[k].tag_pos) + "," + std::to_string(tpl->segs[k].text_len) + "," +
                 std::to_string(tpl->segs[k].tag_len) + "}";
        return s;
    }
    int instances(int i) const
    {
        int n = 0;
        for (brisko_bn *bn = tpl->subs[i].bnlist->next; bn; bn = bn->next) n++;
        return n;
    }
};

} // namespace

TEST_F(parser, BlockIsReplacedByItsTagAndGetsOneInstance)
{
    parsed p("a<!-- BEGIN x -->b{t}c<!-- END x -->d");
    EXPECT_STREQ(p.tpl->content, "a{x}d");
    EXPECT_EQ(p.segs(), "{0,1,0}{1,1,1}");
    ASSERT_EQ(p.tpl->subnum, 1);
    EXPECT_STREQ(p.tpl->subs[0].name, "x");
    brisko_tpl *proto = p.tpl->subs[0].bnlist->tpl;
    EXPECT_STREQ(proto->content, "b{t}c");
    EXPECT_EQ(p.instances(0), 1);
    EXPECT_EQ(p.tpl->subs[0].bnlast, p.tpl->subs[0].bnlist->next);
    EXPECT_NE(p.tpl->subs[0].bnlist->next->tpl, proto) << "the instance is a copy";
    EXPECT_EQ(p.tpl->subs[0].bnlist->next->tpl->content, proto->content) << "sharing the text";
}

TEST_F(parser, SegmentsOfPlainTexts)
{
    EXPECT_EQ(parsed("").segs(), "{0,0,0}");
    EXPECT_EQ(parsed("no tags").segs(), "{0,7,0}");
    EXPECT_EQ(parsed("Hello {name}, {row*}!").segs(), "{0,6,0}{6,2,4}{14,1,4}");
    parsed braces("x{a{b}y{}z{unclosed");
    EXPECT_EQ(braces.segs(), "{0,1,0}{1,1,3}{7,10,0}") << "a{b is one name, {} an empty one";
}

TEST_F(parser, RepeatBlockStartsEmptyAndBlanksAroundMarkersGo)
{
    parsed p("<ul>\n  \t<!-- BEGIN row* -->  <li>{v}</li> \n<!-- END row* -->\t \n</ul>");
    EXPECT_STREQ(p.tpl->content, "<ul>\n{row*}\n</ul>");
    ASSERT_EQ(p.tpl->subnum, 1);
    EXPECT_EQ(p.instances(0), 0);
    EXPECT_STREQ(p.tpl->subs[0].bnlist->tpl->content, "<li>{v}</li> \n") << "blanks before END stay";
}

TEST_F(parser, UnmatchedAndMalformedMarkersAreText)
{
    parsed p("<!-- BEGIN x --> 1 <!-- BEGIN y -->2<!-- END y --> <!-- END z --> <!--BEGIN q -->3<!-- END q -->");
    ASSERT_EQ(p.tpl->subnum, 1);
    EXPECT_STREQ(p.tpl->subs[0].name, "y");
    EXPECT_STREQ(p.tpl->content, "<!-- BEGIN x --> 1{y}<!-- END z --> <!--BEGIN q -->3<!-- END q -->");
}

TEST_F(parser, TwoBlocksOfOneNameBecomeOne)
{
    parsed p("<!-- BEGIN a -->x<!-- END a -->y<!-- BEGIN a -->z<!-- END a -->");
    EXPECT_STREQ(p.tpl->content, "{a}");
    ASSERT_EQ(p.tpl->subnum, 1);
    EXPECT_STREQ(p.tpl->subs[0].bnlist->tpl->content, "x<!-- END a -->y<!-- BEGIN a -->z");
    EXPECT_EQ(render_text("<!-- BEGIN a -->x<!-- END a -->y<!-- BEGIN a -->z<!-- END a -->"),
              "x<!-- END a -->y<!-- BEGIN a -->z");
}

TEST_F(parser, NamesAreMatchedLiterally)
{
    parsed dot("<!-- BEGIN a.b -->1<!-- END axb --><!-- BEGIN c.d -->2<!-- END c.d -->");
    ASSERT_EQ(dot.tpl->subnum, 1);
    EXPECT_STREQ(dot.tpl->subs[0].name, "c.d");

    // Characters that would make an invalid or shifted pattern are plain.
    for (std::string name : {"a(b", "x)", "{1}", "p+", "a|b", "t\\", "[", "^$", "(*)", "a{2,"}) {
        std::string text = "<" + std::string("!-- BEGIN ") + name + " -->in{v}<!-- END " + name + " -->out";
        parsed p(text);
        ASSERT_EQ(p.tpl->subnum, 1) << name;
        EXPECT_EQ(p.tpl->subs[0].name, name);
        EXPECT_STREQ(p.tpl->subs[0].bnlist->tpl->content, "in{v}") << name;
        EXPECT_EQ(std::string(p.tpl->content), "{" + name + "}out");
    }
    parsed plus("<!-- BEGIN p+ -->1<!-- END ppp -->");
    EXPECT_EQ(plus.tpl->subnum, 0) << "p+ is not a pattern for ppp";
}

TEST_F(parser, NestedBlocksAndDeepNesting)
{
    parsed p("<!-- BEGIN o -->[<!-- BEGIN i* -->{v}<!-- END i* -->]<!-- END o -->");
    brisko_tpl *o = p.tpl->subs[0].bnlist->tpl;
    ASSERT_EQ(o->subnum, 1);
    EXPECT_STREQ(o->content, "[{i*}]");

    // 10,000 levels: levels past the depth limit, and single blocks past
    // the record budget, stay text; the parse stays bounded.
    std::string deep;
    for (int i = 0; i < 10000; i++) deep += "<!-- BEGIN b" + std::to_string(i) + " -->";
    deep += "{core}";
    for (int i = 9999; i >= 0; i--) deep += "<!-- END b" + std::to_string(i) + " -->";
    std::string out = render_text(deep);
    EXPECT_NE(out.find("{core}"), std::string::npos);
    EXPECT_NE(out.find("<!-- BEGIN b9999 -->"), std::string::npos);
    EXPECT_LE(out.size(), deep.size());

    // Single blocks double their records per level; the budget keeps them
    // in bounds and the text intact.
    std::string same;
    for (int i = 0; i < 40; i++) same += "<!-- BEGIN s" + std::to_string(i) + " -->x";
    for (int i = 39; i >= 0; i--) same += "<!-- END s" + std::to_string(i) + " -->";
    out = render_text(same);
    EXPECT_EQ(std::count(out.begin(), out.end(), 'x'), 40);
}

TEST_F(parser, HostileTextsParse)
{
    std::string bytes;
    unsigned seed = 12345;
    for (int i = 0; i < 200000; i++) {
        seed = seed * 1103515245u + 12345u;
        char c = static_cast<char>((seed >> 16) & 0xff);
        bytes += c ? c : ' ';
    }
    EXPECT_EQ(render_text(bytes), bytes) << "random bytes: tags unmatched, all as written";

    std::string braces(200000, '{');
    EXPECT_EQ(render_text(braces), braces);
    std::string markers;
    for (int i = 0; i < 20000; i++) markers += (i % 3) ? "<!-- END a --> " : "<!-- BEGIN a --> ";
    render_text(markers);
    std::string blanks = std::string(300000, ' ') + "x<!-- BEGIN a -->" + std::string(300000, '\t') + "<!-- END a -->";
    EXPECT_EQ(render_text(blanks), std::string(300000, ' ') + "x");
}

namespace {

/* The parser as the format describes it, run with the four patterns
 * through the engine's regex wrappers (names escaped as the parser escapes
 * them: every special character). Slow, but the reference for the parser's
 * scans on small texts. One difference from a literal reading: a block's
 * replacement pattern is searched from the blanks before its own BEGIN
 * marker, not from the start of the working copy, where an earlier marker
 * left as text could read as a BEGIN marker of the same name (one named
 * "-->" after two blanks also reads as one with the empty name) and the
 * match would swallow the text, and blocks, before the block. */
struct ref_block {
    std::string name;
    struct ref_tree *body;
};
struct ref_tree {
    std::string content;
    std::vector<ref_block> blocks;
    ~ref_tree()
    {
        for (auto &b : blocks) delete b.body;
    }
};

std::string ref_escape(const std::string &name)
{
    std::string e;
    for (char c : name) {
        if (std::strchr(".*?[](){}+|^$\\", c)) e += '\\';
        e += c;
    }
    return e;
}

bool ref_search(const std::string &pattern, const char *subject, regmatch_t *m)
{
    regex_t re;
    if (php_regcomp(&re, pattern.c_str(), REG_EXTENDED) != 0) {
        ADD_FAILURE() << "does not compile: " << pattern;
        return false;
    }
    bool hit = php_regexec(&re, subject, 5, m, 0) == 0;
    php_regfree(&re);
    return hit;
}

std::string ref_format(const char *fmt, const std::string &a)
{
    std::vector<char> buf(std::strlen(fmt) + 2 * a.size() + 1);
    std::snprintf(buf.data(), buf.size(), fmt, a.c_str(), a.c_str());
    return buf.data();
}

/* The format's patterns: any BEGIN marker; the pair of one name (group 1
 * the body); the block with the blanks around it, to be replaced. */
const char ref_begin[] = "<!--[[:blank:]]+BEGIN[[:blank:]]+([^[:blank:]]*)[[:blank:]]+-->";
const char ref_pair[] = "<!--[[:blank:]]+BEGIN[[:blank:]]+%s[[:blank:]]+-->[[:blank:]]*(.*)[[:blank:]]*"
                        "<!--[[:blank:]]+END[[:blank:]]+%s[[:blank:]]+-->";
const char ref_replace[] = "[[:blank:]]*<!--[[:blank:]]+BEGIN[[:blank:]]+(%s)[[:blank:]]+-->(.*)"
                           "<!--[[:blank:]]+END[[:blank:]]+%s[[:blank:]]+-->[[:blank:]]*";

ref_tree *ref_parse(const std::string &text)
{
    auto *tree = new ref_tree;
    std::string work = text;
    size_t pos = 0;
    long shift = 0;      /* work position minus text position, past the last replacement */
    size_t replaced = 0; /* end of the last replacement in work */
    regmatch_t m[5];
    while (pos <= text.size() && ref_search(ref_begin, text.c_str() + pos, m)) {
        std::string name = text.substr(pos + m[1].rm_so, m[1].rm_eo - m[1].rm_so);
        std::string esc = ref_escape(name);
        regmatch_t p[5];
        if (!ref_search(ref_format(ref_pair, esc), text.c_str() + pos, p)) {
            pos += m[0].rm_eo;
            continue;
        }
        std::string body = text.substr(pos + p[1].rm_so, p[1].rm_eo - p[1].rm_so);
        size_t from = static_cast<size_t>(static_cast<long>(pos + p[0].rm_so) + shift);
        while (from > replaced && (work[from - 1] == ' ' || work[from - 1] == '\t')) from--;
        pos += p[0].rm_eo;
        regmatch_t r[5];
        if (!ref_search(ref_format(ref_replace, esc), work.c_str() + from, r) || r[0].rm_so != 0) {
            ADD_FAILURE() << "no replacement match for " << name;
            break;
        }
        std::string tag = "{" + name + "}";
        work = work.substr(0, from) + tag + work.substr(from + r[0].rm_eo);
        replaced = from + tag.size();
        shift += static_cast<long>(tag.size()) - r[0].rm_eo;
        tree->blocks.push_back({name, ref_parse(body)});
    }
    tree->content = work;
    return tree;
}

/* Both trees in one text form: content, then each block's name, instance
 * count and body, indented. */
void describe(const ref_tree *t, std::string &out, int depth)
{
    out += std::string(depth, ' ') + "[" + t->content + "]\n";
    for (auto &b : t->blocks) {
        int instances = b.name.find('*') == std::string::npos ? 1 : 0;
        out += std::string(depth, ' ') + "block <" + b.name + "> " + std::to_string(instances) + "\n";
        describe(b.body, out, depth + 1);
    }
}

void describe(const brisko_tpl *t, std::string &out, int depth)
{
    out += std::string(depth, ' ') + "[" + t->content + "]\n";
    for (int i = 0; i < t->subnum; i++) {
        int instances = 0;
        for (brisko_bn *bn = t->subs[i].bnlist->next; bn; bn = bn->next) instances++;
        out += std::string(depth, ' ') + "block <" + t->subs[i].name + "> " + std::to_string(instances) + "\n";
        describe(t->subs[i].bnlist->tpl, out, depth + 1);
    }
}

} // namespace

// The reference escapes every special character, so its pair pattern
// matches a block name literally, whatever the name holds.
TEST_F(parser, EscapedPairPatternMatchesTheNameLiterally)
{
    for (std::string name : {"a.b", "x+|(y", "t\\", "{2}", "plain"}) {
        std::string pattern = ref_format(ref_pair, ref_escape(name));
        regex_t re;
        ASSERT_EQ(php_regcomp(&re, pattern.c_str(), REG_EXTENDED), 0) << pattern;
        regmatch_t m[5];
        std::string text = "<!-- BEGIN " + name + " --> body <!-- END " + name + " -->";
        ASSERT_EQ(php_regexec(&re, text.c_str(), 5, m, 0), 0) << name;
        EXPECT_EQ(text.substr(m[1].rm_so, m[1].rm_eo - m[1].rm_so), "body ") << name;
        std::string other = "<!-- BEGIN " + name + "x --> body <!-- END " + name + "x -->";
        EXPECT_NE(php_regexec(&re, other.c_str(), 5, m, 0), 0) << name;
        php_regfree(&re);
    }
}

// Random texts of markers, names, blanks and braces: the parser's tree is
// the one the four patterns give, block for block.
TEST_F(parser, AgreesWithTheFormatsPatternsOnRandomTexts)
{
    const std::vector<std::string> names = {"a", "b", "a*", "r*", "x.y", "", "a}b", "a{b", "p+", "-->", "<!--"};
    const std::vector<std::string> bits = {" ", "\t", "  ", "\n", "x", "{", "}", "{v}", "{a}", "<!--", "-->",
                                           " -->", "BEGIN", "END", "<!-- BEGIN", "<!-- END", "<!--  -->"};
    unsigned long seed = 2024;
    auto next = [&](size_t n) {
        seed = seed * 6364136223846793005UL + 1442695040888963407UL;
        return static_cast<size_t>((seed >> 33) % n);
    };
    for (int round = 0; round < 2000; round++) {
        std::string text;
        size_t pieces = 1 + next(24);
        for (size_t i = 0; i < pieces; i++) {
            switch (next(5)) {
            case 0:
            case 1: {
                const std::string &n = names[next(names.size())];
                std::string gap1 = next(4) == 0 ? "\t " : " ", gap2 = next(4) == 0 ? "  " : " ";
                text += "<!--" + gap1 + (next(2) ? "BEGIN" : "END") + gap1 + n + gap2 + "-->";
                break;
            }
            default:
                text += bits[next(bits.size())];
            }
        }
        std::unique_ptr<ref_tree> want(ref_parse(text));
        std::string expected, actual;
        describe(want.get(), expected, 0);
        parsed got(text);
        describe(got.tpl, actual, 0);
        ASSERT_EQ(actual, expected) << "text: " << text;
    }
}
