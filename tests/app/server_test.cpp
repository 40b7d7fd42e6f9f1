/* The guestbook served by brisko-httpd (two workers, with the extension and
 * without it) to clients that behave as browsers: they keep the session
 * cookie the site sends, follow its redirects, post its forms. The site is
 * laid out as it would be installed: the pages are the document root, the
 * library and the data folder beside it, out of the server's reach. */
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <regex>
#include <thread>

#include "http_client.h"

using namespace httpd_test;

namespace {

bool contains(const std::string &haystack, const std::string &needle)
{
    return haystack.find(needle) != std::string::npos;
}

int occurrences(const std::string &haystack, const std::string &needle)
{
    int n = 0;
    for (std::size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1))
        n++;
    return n;
}

std::string form_encode(const std::vector<std::pair<std::string, std::string>> &fields)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const auto &f : fields) {
        if (!out.empty())
            out += '&';
        for (const std::string *part : {&f.first, &f.second}) {
            for (unsigned char c : *part) {
                if (std::isalnum(c) || c == '-' || c == '_' || c == '.')
                    out += static_cast<char>(c);
                else if (c == ' ')
                    out += '+';
                else {
                    out += '%';
                    out += hex[c >> 4];
                    out += hex[c & 15];
                }
            }
            if (part == &f.first)
                out += '=';
        }
    }
    return out;
}

/* A browser: one cookie jar, a connection of its own per request unless
 * told to keep one open. */
class browser {
public:
    explicit browser(int port) : port_(port) {}

    std::map<std::string, std::string> cookies;
    std::vector<std::string> set_cookie_lines; /* every Set-Cookie received */

    response get(const std::string &path) { return send("GET " + path + " HTTP/1.1\r\n" + common() + "\r\n"); }

    response post(const std::string &path, const std::vector<std::pair<std::string, std::string>> &fields)
    {
        std::string body = form_encode(fields);
        return send("POST " + path + " HTTP/1.1\r\n" + common() +
                    "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                    std::to_string(body.size()) + "\r\n\r\n" + body);
    }

    /* The page a redirect leads to (the site's Location values are
     * relative to its root folder). */
    response follow(const response &r)
    {
        EXPECT_EQ(r.status, 302u) << r.body;
        std::string location = r["Location"];
        EXPECT_FALSE(location.empty());
        return get("/" + location);
    }

    /* Keeps one connection for the requests that follow. */
    void keep_alive() { kept_ = std::make_unique<connection>(port_); }

private:
    int port_;
    std::unique_ptr<connection> kept_;

    std::string common() const
    {
        std::string headers = "Host: localhost\r\nUser-Agent: guestbook-test\r\n";
        std::string cookie;
        for (const auto &c : cookies)
            cookie += (cookie.empty() ? "" : "; ") + c.first + "=" + c.second;
        if (!cookie.empty())
            headers += "Cookie: " + cookie + "\r\n";
        return headers;
    }

    response send(const std::string &raw)
    {
        std::optional<response> r;
        if (kept_) {
            EXPECT_TRUE(kept_->send(raw));
            r = kept_->read();
        } else {
            r = fetch(port_, raw);
        }
        if (!r) {
            ADD_FAILURE() << "no response to: " << raw.substr(0, 200);
            return response{};
        }
        EXPECT_EQ((*r)["Content-Length"], std::to_string(r->body.size()));
        for (const auto &f : r->fields) {
            if (!beast::iequals(f.first, "Set-Cookie"))
                continue;
            set_cookie_lines.push_back(f.second);
            std::string pair = f.second.substr(0, f.second.find(';'));
            std::size_t eq = pair.find('=');
            if (eq != std::string::npos)
                cookies[pair.substr(0, eq)] = pair.substr(eq + 1);
        }
        return *r;
    }
};

/* The site copied to the layout of an installation. */
void install(server &s)
{
    fs::copy(fs::path(BRISKO_APP_DIR) / "htdocs", s.root, fs::copy_options::recursive);
    fs::copy(fs::path(BRISKO_APP_DIR) / "lib", s.dir / "lib", fs::copy_options::recursive);
}

class Guestbook : public ::testing::TestWithParam<bool> {
protected:
    server site;

    void SetUp() override
    {
        install(site);
        std::vector<std::string> args = {"--workers", "2", "-d", "max_execution_time=20"};
        if (!GetParam())
            args.push_back("-n");
        site.start(args);
    }

    void TearDown() override
    {
        EXPECT_EQ(site.stop(), 0) << site.error_log();
        std::string log = site.error_log();
        EXPECT_EQ(log.find("Sanitizer"), std::string::npos) << log;
        EXPECT_EQ(log.find("starting another"), std::string::npos) << "no worker ended on its own: " << log;
    }

    /* A new member, logged in by registering. */
    void register_member(browser &b, const std::string &name, const std::string &password)
    {
        response r = b.post("/register.php", {{"name", name},
                                               {"email", name + "@example.org"},
                                               {"password", password},
                                               {"password2", password}});
        ASSERT_EQ(r.status, 302u) << r.body;
        EXPECT_EQ(r["Location"], "index.php");
        r = b.follow(r);
        EXPECT_TRUE(contains(r.body, "Logged in as <b>" + name + "</b>")) << r.body;
    }
};

std::string session_id(const browser &b)
{
    auto it = b.cookies.find("GBSESS");
    return it == b.cookies.end() ? "" : it->second;
}

} // namespace

TEST_P(Guestbook, MembersPostAndReplyOverTheirSessions)
{
    browser ann(site.port);
    response r = ann.get("/");
    EXPECT_EQ(r.status, 200u);
    EXPECT_EQ(r["Content-Type"], "text/html");
    EXPECT_TRUE(contains(r.body, "<title>Topics - The Brisko Guestbook</title>")) << r.body;
    EXPECT_TRUE(contains(r.body, "No topics yet.")) << r.body;
    EXPECT_TRUE(contains(r.body, "0 topics, 0 replies, 0 members")) << r.body;
    ASSERT_EQ(ann.set_cookie_lines.size(), 1u);
    EXPECT_TRUE(std::regex_match(ann.set_cookie_lines[0], std::regex("GBSESS=[0-9a-f]{32}; path=/")))
        << ann.set_cookie_lines[0];
    EXPECT_EQ(r["Pragma"], "no-cache");
    std::string first_id = session_id(ann);

    /* Writing needs a member: the site says so on the login page. */
    r = ann.get("/post.php");
    EXPECT_EQ(r.status, 302u);
    EXPECT_EQ(r["Location"], "login.php");
    r = ann.follow(r);
    EXPECT_TRUE(contains(r.body, "<p class=\"flash\">Please log in first.</p>")) << r.body;
    r = ann.get("/login.php");
    EXPECT_FALSE(contains(r.body, "Please log in first.")) << "a flash is shown once";

    /* A form with mistakes comes back with its values escaped. */
    r = ann.post("/register.php",
                 {{"name", "<b>ann"}, {"email", "ann\"@x"}, {"password", "short"}, {"password2", "other"}});
    EXPECT_EQ(r.status, 200u);
    EXPECT_TRUE(contains(r.body, "<li>A name is 3 to 16 letters, digits or _, starting with a letter.</li>"));
    EXPECT_TRUE(contains(r.body, "<li>That does not look like an e-mail address.</li>"));
    EXPECT_TRUE(contains(r.body, "<li>The password must be 6 to 40 characters long (it is 5).</li>"));
    EXPECT_TRUE(contains(r.body, "<li>The two passwords differ.</li>"));
    EXPECT_TRUE(contains(r.body, "name=\"name\" value=\"&lt;b&gt;ann\"")) << r.body;
    EXPECT_TRUE(contains(r.body, "name=\"email\" value=\"ann&quot;@x\"")) << r.body;
    EXPECT_FALSE(contains(r.body, "value=\"short\"")) << "passwords are never sent back";

    register_member(ann, "Ann", "secret1");
    EXPECT_EQ(session_id(ann), first_id) << "the same session all along";
    EXPECT_EQ(ann.set_cookie_lines.size(), 1u) << "the cookie is sent once";

    r = ann.post("/post.php", {{"subject", "Hello <world>"},
                               {"body", "Line one [b]bold[/b] :-)\r\n<script>alert(1)</script>"}});
    ASSERT_EQ(r.status, 302u) << r.body;
    EXPECT_EQ(r["Location"], "topic.php?id=1");
    r = ann.follow(r);
    EXPECT_EQ(r.status, 200u);
    EXPECT_TRUE(contains(r.body, "<p class=\"flash\">Your topic is up.</p>")) << r.body;
    EXPECT_TRUE(contains(r.body, "<h2>Hello &lt;world&gt;</h2>")) << r.body;
    EXPECT_TRUE(contains(r.body, "<p>Line one <b>bold</b> <img src=\"smile.gif\" alt=\":-)\" /><br />\r\n"
                                 "&lt;script&gt;alert(1)&lt;/script&gt;</p>"))
        << r.body;
    EXPECT_FALSE(contains(r.body, "<script>"));
    EXPECT_TRUE(contains(r.body, "value=\"Delete this topic\"")) << "the first member keeps the guestbook";

    /* A second member, in a browser of her own. */
    browser bob(site.port);
    register_member(bob, "Bob", "hunter22");
    EXPECT_NE(session_id(bob), session_id(ann));
    r = bob.post("/post.php", {{"topic", "1"}, {"body", "Welcome, Ann!"}});
    ASSERT_EQ(r.status, 302u) << r.body;
    r = bob.follow(r);
    EXPECT_TRUE(contains(r.body, "Reply #1 by <b>Bob</b> (1 post)")) << r.body;
    EXPECT_FALSE(contains(r.body, "Delete this topic")) << "only the keeper may delete";
    r = bob.post("/post.php", {{"delete", "1"}});
    EXPECT_EQ(r.status, 403u);
    EXPECT_TRUE(contains(r.body, "Only the guestbook's keeper may delete topics.")) << r.body;

    /* Ann's page still shows her as logged in, with the new reply. */
    r = ann.get("/index.php");
    EXPECT_TRUE(contains(r.body, "Logged in as <b>Ann</b>")) << r.body;
    EXPECT_TRUE(std::regex_search(r.body, std::regex("<td><a href=\"topic.php\\?id=1\">Hello &lt;world&gt;</a>"
                                                     "( <i>\\(new\\)</i>)?</td><td>Ann</td><td>1</td>")))
        << r.body;
    EXPECT_TRUE(contains(r.body, "1 topic, 1 reply, 2 members")) << r.body;

    r = bob.get("/topic.php?id=999");
    EXPECT_EQ(r.status, 404u);
    EXPECT_TRUE(contains(r.body, "There is no topic with that number.")) << r.body;

    /* Logging out ends the session on the server; the cookie stays. */
    r = bob.get("/login.php?action=logout");
    EXPECT_TRUE(contains(r.body, "<p>Goodbye, Bob!</p>")) << r.body;
    r = bob.get("/post.php");
    EXPECT_EQ(r.status, 302u) << "logged out for good: " << r.body;

    /* Logging in again, and sent back where the visitor came from. */
    r = bob.post("/login.php", {{"name", "bob"}, {"password", "wrong1"}});
    EXPECT_EQ(r.status, 200u);
    EXPECT_TRUE(contains(r.body, "<li>Wrong name or password.</li>")) << r.body;
    r = bob.post("/login.php", {{"name", "bob"}, {"password", "hunter22"}, {"back", "topic.php?id=1"}});
    ASSERT_EQ(r.status, 302u) << r.body;
    EXPECT_EQ(r["Location"], "topic.php?id=1");
    r = bob.follow(r);
    EXPECT_TRUE(contains(r.body, "<p class=\"flash\">Welcome back, Bob.</p>")) << r.body;

    /* The data lives outside the document root, out of the server's reach. */
    EXPECT_TRUE(fs::exists(site.dir / "data" / "users.dat"));
    for (const char *path : {"/../data/users.dat", "/%2e%2e/data/users.dat", "/../lib/config.inc.php"}) {
        r = ann.get(path);
        EXPECT_TRUE(r.status == 403u || r.status == 404u) << path << ": " << r.status;
        EXPECT_FALSE(contains(r.body, "secret")) << path;
    }
}

TEST_P(Guestbook, SessionOverOneKeptAliveConnection)
{
    browser carol(site.port);
    carol.keep_alive();
    register_member(carol, "Carol", "pass1234");
    for (int i = 1; i <= 4; i++) {
        response r = carol.post("/post.php", {{"subject", "Topic number " + std::to_string(i)}, {"body", "Text"}});
        ASSERT_EQ(r.status, 302u) << r.body;
        EXPECT_TRUE(r.keep_alive);
    }
    response r = carol.get("/index.php");
    EXPECT_TRUE(contains(r.body, "Logged in as <b>Carol</b>")) << r.body;
    EXPECT_TRUE(contains(r.body, "Page <b>1</b> <a href=\"index.php?page=2\">2</a>")) << r.body;
    r = carol.get("/index.php?page=2");
    EXPECT_TRUE(contains(r.body, "Topic number 1")) << r.body;
    EXPECT_FALSE(contains(r.body, "Topic number 2")) << r.body;
    EXPECT_EQ(carol.set_cookie_lines.size(), 1u);
}

TEST_P(Guestbook, HostileSessionCookieGetsANewSession)
{
    browser eve(site.port);
    eve.cookies["GBSESS"] = "../../lib/config.inc";
    response r = eve.get("/index.php");
    EXPECT_EQ(r.status, 200u);
    ASSERT_EQ(eve.set_cookie_lines.size(), 1u);
    EXPECT_TRUE(std::regex_match(eve.set_cookie_lines[0], std::regex("GBSESS=[0-9a-f]{32}; path=/")))
        << eve.set_cookie_lines[0];
    EXPECT_EQ(read_file(site.dir / "lib" / "config.inc.php"),
              read_file(fs::path(BRISKO_APP_DIR) / "lib" / "config.inc.php"));
}

/* Members replying at the same time, through both workers: the data file
 * is changed under its lock, so no reply is lost. */
TEST_P(Guestbook, ConcurrentRepliesAreAllKept)
{
    browser ann(site.port);
    register_member(ann, "Ann", "secret1");
    response r = ann.post("/post.php", {{"subject", "Busy thread"}, {"body", "Reply here, everyone."}});
    ASSERT_EQ(r.status, 302u) << r.body;

    constexpr int writers = 4, replies_each = 6;
    std::vector<std::unique_ptr<browser>> members;
    for (int w = 0; w < writers; w++) {
        members.push_back(std::make_unique<browser>(site.port));
        register_member(*members.back(), "Writer" + std::to_string(w), "secret" + std::to_string(w));
    }
    std::atomic<int> redirected{0};
    std::vector<std::thread> threads;
    for (int w = 0; w < writers; w++) {
        threads.emplace_back([&, w] {
            for (int i = 0; i < replies_each; i++) {
                response reply = members[w]->post(
                    "/post.php", {{"topic", "1"}, {"body", "w" + std::to_string(w) + " r" + std::to_string(i)}});
                if (reply.status == 302u && reply["Location"] == "topic.php?id=1")
                    redirected++;
            }
        });
    }
    for (std::thread &t : threads)
        t.join();
    EXPECT_EQ(redirected.load(), writers * replies_each);

    r = ann.get("/topic.php?id=1");
    const int total = writers * replies_each;
    EXPECT_TRUE(contains(r.body, "Reply #" + std::to_string(total) + " by")) << r.body;
    EXPECT_FALSE(contains(r.body, "Reply #" + std::to_string(total + 1) + " by"));
    for (int w = 0; w < writers; w++) {
        for (int i = 0; i < replies_each; i++)
            EXPECT_EQ(occurrences(r.body, "<p>w" + std::to_string(w) + " r" + std::to_string(i) + "</p>"), 1)
                << "reply " << i << " of writer " << w;
        EXPECT_TRUE(contains(r.body, "<b>Writer" + std::to_string(w) + "</b> (" + std::to_string(replies_each) +
                                         " posts)"))
            << "each member's count of posts is kept too";
    }
    EXPECT_TRUE(contains(r.body, "1 topic, " + std::to_string(total) + " replies, 5 members")) << r.body;
}

INSTANTIATE_TEST_SUITE_P(Server, Guestbook, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return info.param ? "WithExtension" : "WithoutExtension";
                         });
