/* The engine's side of a web request: request variables from query
 * strings, bodies and cookies (names, brackets, hostile input), and the
 * response headers that header() and setcookie() leave for the server. */
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <string>

#include "engine.h"
#include "engine_testing.h"

using namespace zend::testing;

namespace {

/* var_dump of a global, or "missing". */
std::string global(const char *name)
{
    zval **z = nullptr;
    if (zend_hash_find(&EG(symbol_table), name, static_cast<uint>(std::strlen(name) + 1), (void **)&z) != SUCCESS)
        return "missing";
    return dump(*z);
}

zval *global_zval(const char *name)
{
    zval **z = nullptr;
    if (zend_hash_find(&EG(symbol_table), name, static_cast<uint>(std::strlen(name) + 1), (void **)&z) != SUCCESS)
        return nullptr;
    return *z;
}

std::string get_of(const std::string &query)
{
    zend::request_info info;
    info.query_string = query;
    zend::register_request_variables(info);
    return global("_GET");
}

struct error_capture {
    static std::vector<std::string> &seen()
    {
        static std::vector<std::string> v;
        return v;
    }
    static void observe(int, const char *message) { seen().push_back(message); }
    error_capture()
    {
        seen().clear();
        zend::set_error_observer(observe);
        zend::set_output_sink([](const char *, std::size_t) {});
    }
    ~error_capture()
    {
        zend::set_error_observer(nullptr);
        zend::set_output_sink(nullptr);
    }
};

} // namespace

TEST(RequestVariables, NamesAndBracketsFollowTheEngineRules)
{
    struct {
        const char *query;
        const char *expected;
    } cases[] = {
        {"a=1&b=2", "array(2) {\n  [\"a\"]=>\n  string(1) \"1\"\n  [\"b\"]=>\n  string(1) \"2\"\n}\n"},
        {"a[]=1&a[]=2", "array(1) {\n  [\"a\"]=>\n  array(2) {\n    [0]=>\n    string(1) \"1\"\n    [1]=>\n    string(1) \"2\"\n  }\n}\n"},
        {"b[x][y]=1", "array(1) {\n  [\"b\"]=>\n  array(1) {\n    [\"x\"]=>\n    array(1) {\n      [\"y\"]=>\n      string(1) \"1\"\n    }\n  }\n}\n"},
        /* blanks and dots in the base name, leading blanks dropped, "+" and %XX decoded */
        {"+a.b+c=%41+b", "array(1) {\n  [\"a_b_c\"]=>\n  string(3) \"A b\"\n}\n"},
        /* an unterminated bracket: "_" at the first level, the end of the name deeper */
        {"a[b=1&c[d][e=2", "array(2) {\n  [\"a_b\"]=>\n  string(1) \"1\"\n  [\"c\"]=>\n  array(1) {\n    [\"d\"]=>\n    string(1) \"2\"\n  }\n}\n"},
        /* numeric keys become integers; text after "]" is ignored; no "=" is an empty value */
        {"n[5]=x&t[k]junk=y&e", "array(3) {\n  [\"n\"]=>\n  array(1) {\n    [5]=>\n    string(1) \"x\"\n  }\n  [\"t\"]=>\n  array(1) {\n    [\"k\"]=>\n    string(1) \"y\"\n  }\n  [\"e\"]=>\n  string(0) \"\"\n}\n"},
        /* a later plain value replaces an array and the other way round */
        {"v[]=1&v=2&w=1&w[]=2", "array(2) {\n  [\"v\"]=>\n  string(1) \"2\"\n  [\"w\"]=>\n  array(1) {\n    [0]=>\n    string(1) \"2\"\n  }\n}\n"},
        /* empty names, empty pieces and a name cut at a NUL byte */
        {"=1&&[x]=2&%20=3&z%00y=4", "array(1) {\n  [\"z\"]=>\n  string(1) \"4\"\n}\n"},
    };
    for (const auto &c : cases) {
        request_scope scope;
        EXPECT_EQ(get_of(c.query), c.expected) << c.query;
    }
}

TEST(RequestVariables, SourcesLongFormsAndRequestOrder)
{
    request_scope scope;
    zend::request_info info;
    info.method = "POST";
    info.query_string = "a=get&g=1";
    info.cookie_data = "a=cookie; c=%2Fx; s";
    info.content_type = "application/x-www-form-urlencoded; charset=UTF-8";
    info.post_data = "a=post&p=1&noequals";
    info.server = {{"REQUEST_METHOD", "POST"}, {"HTTP_HOST", "example.com"}};
    zend::register_request_variables(info);

    EXPECT_EQ(global("_POST"), "array(2) {\n  [\"a\"]=>\n  string(4) \"post\"\n  [\"p\"]=>\n  string(1) \"1\"\n}\n")
        << "a body piece without '=' is no variable";
    EXPECT_EQ(global("_COOKIE"), "array(3) {\n  [\"a\"]=>\n  string(6) \"cookie\"\n  [\"c\"]=>\n  string(2) \"/x\"\n"
                                 "  [\"s\"]=>\n  string(0) \"\"\n}\n");
    /* GET, then POST, then COOKIE; a key keeps its first place */
    EXPECT_EQ(global("_REQUEST"), "array(5) {\n  [\"a\"]=>\n  string(6) \"cookie\"\n  [\"g\"]=>\n  string(1) \"1\"\n"
                                  "  [\"p\"]=>\n  string(1) \"1\"\n  [\"c\"]=>\n  string(2) \"/x\"\n"
                                  "  [\"s\"]=>\n  string(0) \"\"\n}\n");
    for (auto [short_name, long_name] : {std::pair{"_GET", "HTTP_GET_VARS"}, std::pair{"_POST", "HTTP_POST_VARS"},
                                         std::pair{"_COOKIE", "HTTP_COOKIE_VARS"},
                                         std::pair{"_SERVER", "HTTP_SERVER_VARS"}, std::pair{"_ENV", "HTTP_ENV_VARS"}}) {
        ASSERT_NE(global_zval(short_name), nullptr) << short_name;
        EXPECT_EQ(global_zval(short_name), global_zval(long_name)) << long_name << " is the same array";
    }
    std::string server = global("_SERVER");
    EXPECT_NE(server.find("[\"HTTP_HOST\"]=>\n  string(11) \"example.com\""), std::string::npos) << server;
    EXPECT_NE(server.find("[\"argc\"]=>\n  int(1)"), std::string::npos) << server;
    EXPECT_EQ(global("HTTP_RAW_POST_DATA"), "missing") << "a form body is no raw data";
}

TEST(RequestVariables, OnlyAPostFillsPost)
{
    request_scope scope;
    zend::request_info info;
    info.method = "PUT";
    info.content_type = "application/x-www-form-urlencoded";
    info.post_data = "a=1";
    zend::register_request_variables(info);
    EXPECT_EQ(global("_POST"), "array(0) {\n}\n");
    EXPECT_EQ(global("HTTP_RAW_POST_DATA"), "string(3) \"a=1\"\n");
    EXPECT_EQ(global("g"), "missing") << "no plain globals without register_globals";
}

TEST(RequestVariables, RawBodyAndRegisterGlobals)
{
    request_scope scope;
    zend::settings.register_globals = true;
    zend::request_info info;
    info.query_string = "x=1&GLOBALS=2&_SERVER=3&HTTP_GET_VARS=4";
    info.content_type = "text/xml";
    info.post_data = "<a/>";
    info.server = {{"x", "server wins"}};
    zend::register_request_variables(info);
    zend::settings.register_globals = false;
    EXPECT_EQ(global("HTTP_RAW_POST_DATA"), "string(4) \"<a/>\"\n");
    EXPECT_EQ(global("_POST"), "array(0) {\n}\n");
    EXPECT_EQ(global("x"), "string(11) \"server wins\"\n") << "EGPCS: the server's variables come last";
    zval *globals = global_zval("GLOBALS");
    ASSERT_NE(globals, nullptr);
    EXPECT_EQ(globals->type, IS_ARRAY) << "register_globals cannot replace $GLOBALS";
    EXPECT_EQ(global("_SERVER").substr(0, 9), "array(3) ") << "the request arrays cannot be replaced";
    EXPECT_EQ(global("HTTP_GET_VARS").substr(0, 9), "array(4) ");
}

TEST(RequestVariables, HostileInputHitsLimitsWithAWarning)
{
    error_capture errors;
    request_scope scope;
    std::string deep = "d";
    for (int i = 0; i < 65; i++)
        deep += "[x]";
    std::string many;
    for (int i = 0; i < 1001; i++)
        many += "v" + std::to_string(i) + "=1; ";
    std::string ok = "o";
    for (int i = 0; i < 64; i++)
        ok += "[]";
    zend::request_info info;
    info.query_string = deep + "=1&" + ok + "=2";
    info.cookie_data = many;
    zend::register_request_variables(info);
    ASSERT_EQ(errors.seen().size(), 2u);
    EXPECT_EQ(errors.seen()[0], "Input variable nesting level exceeded 64; variable d ignored");
    EXPECT_EQ(errors.seen()[1], "Input variables exceeded 1000; the rest of the Cookie header is ignored");
    EXPECT_EQ(global("_GET").find("[\"d\"]"), std::string::npos);
    EXPECT_NE(global("_GET").find("[\"o\"]"), std::string::npos) << "64 levels are allowed";
    zval *cookie = global_zval("_COOKIE");
    ASSERT_NE(cookie, nullptr);
    EXPECT_EQ(zend_hash_num_elements(cookie->value.ht), 1000);
}

namespace {

/* A multipart/form-data body from (headers, data) parts. */
std::string multipart(const std::vector<std::pair<std::string, std::string>> &parts, const std::string &boundary = "XyZ")
{
    std::string body;
    for (const auto &[headers, data] : parts)
        body += "--" + boundary + "\r\n" + headers + "\r\n\r\n" + data + "\r\n";
    return body + "--" + boundary + "--\r\n";
}

zend::request_info upload_request(const std::string &body, const std::string &type = "multipart/form-data; boundary=XyZ")
{
    zend::request_info info;
    info.method = "POST";
    info.content_type = type;
    info.post_data = body;
    return info;
}

/* $_FILES[field][key] (or $_FILES[field][key][index]) as print_r shows it. */
std::string file_entry(const char *field, const char *key, long index = -1)
{
    zval *files = global_zval("_FILES");
    zval **f = nullptr, **v = nullptr;
    if (!files || zend_hash_find(files->value.ht, field, static_cast<uint>(std::strlen(field) + 1), (void **)&f) != SUCCESS ||
        zend_hash_find((*f)->value.ht, key, static_cast<uint>(std::strlen(key) + 1), (void **)&v) != SUCCESS)
        return "missing";
    if (index >= 0 && ((*v)->type != IS_ARRAY || zend_hash_index_find((*v)->value.ht, index, (void **)&v) != SUCCESS))
        return "missing";
    return dump(*v);
}

std::string contents(const std::string &path)
{
    std::string text;
    if (FILE *f = std::fopen(path.c_str(), "rb")) {
        char buf[256];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

std::string tmp_name(const char *field, long index = -1)
{
    std::string d = file_entry(field, "tmp_name", index); /* string(N) "path"\n */
    std::size_t q = d.find('"');
    return q == std::string::npos ? "" : d.substr(q + 1, d.rfind('"') - q - 1);
}

} // namespace

TEST(RequestVariables, MultipartFieldsAndFiles)
{
    const char raw[] = "a\0b\r\n--XyZ-not-a-boundary\r\n--XyZx";
    std::string binary(raw, sizeof raw - 1);
    std::string temp;
    {
        request_scope scope;
        zend::register_request_variables(upload_request(multipart({
            {"Content-Disposition: form-data; name=\"title\"", "Hello; \"world\""},
            {"Content-Disposition: form-data; name=\"tags[]\"", "a"},
            {"Content-Disposition: form-data; name=\"tags[]\"", "b"},
            {"Content-Disposition: form-data; name=\"doc\"; filename=\"C:\\My Files\\report.txt\"\r\n"
             "Content-Type: text/plain; charset=utf-8",
             "line 1\r\nline 2"},
            {"Content-Disposition: form-data; name=\"pics[]\"; filename=\"x.bin\"\r\nContent-Type: image/png", binary},
            {"Content-Disposition: form-data; name=\"pics[]\"; filename=\"\"\r\nContent-Type: application/octet-stream", ""},
            {"Content-Disposition: form-data; filename=\"nameless\"", "skipped"},
        })));
        EXPECT_EQ(global("_POST"), "array(2) {\n  [\"title\"]=>\n  string(14) \"Hello; \"world\"\"\n  [\"tags\"]=>\n"
                                   "  array(2) {\n    [0]=>\n    string(1) \"a\"\n    [1]=>\n    string(1) \"b\"\n  }\n}\n");
        EXPECT_EQ(file_entry("doc", "name"), "string(10) \"report.txt\"\n") << "the browser's directories go";
        EXPECT_EQ(file_entry("doc", "type"), "string(10) \"text/plain\"\n");
        EXPECT_EQ(file_entry("doc", "error"), "int(0)\n");
        EXPECT_EQ(file_entry("doc", "size"), "int(14)\n");
        temp = tmp_name("doc");
        EXPECT_EQ(contents(temp), "line 1\r\nline 2");
        EXPECT_EQ(contents(tmp_name("pics", 0)), binary) << "binary data and boundary look-alikes kept whole";
        EXPECT_EQ(file_entry("pics", "size", 0), "int(" + std::to_string(binary.size()) + ")\n");
        EXPECT_EQ(file_entry("pics", "error", 1), "int(4)\n") << "an empty file input is no file";
        EXPECT_EQ(file_entry("pics", "tmp_name", 1), "string(0) \"\"\n");
        EXPECT_EQ(global("HTTP_POST_FILES"), global("_FILES"));
        EXPECT_EQ(global("_REQUEST").find("doc"), std::string::npos) << "files are not request variables";

        call_result yes = call_function("is_uploaded_file", {make_string(temp)});
        call_result no = call_function("is_uploaded_file", {make_string("/etc/passwd")});
        EXPECT_EQ(dump(yes.value), "bool(true)\n");
        EXPECT_EQ(dump(no.value), "bool(false)\n");
    }
    EXPECT_NE(access(temp.c_str(), F_OK), 0) << "the request's end removes what no script moved";
}

TEST(RequestVariables, MoveUploadedFileTakesOnlyUploads)
{
    error_capture errors;
    std::string target = testing::TempDir() + "moved_upload.txt";
    std::string other = testing::TempDir() + "not_an_upload.txt";
    std::FILE *f = std::fopen(other.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    {
        request_scope scope;
        EXPECT_EQ(dump(call_function("move_uploaded_file", {make_string(other), make_string(target)}).value),
                  "bool(false)\n") << "nothing uploaded";
        zend::register_request_variables(upload_request(multipart({
            {"Content-Disposition: form-data; name=\"f\"; filename=\"a.txt\"", "payload"}})));
        std::string temp = tmp_name("f");
        EXPECT_EQ(dump(call_function("move_uploaded_file", {make_string(other), make_string(target)}).value),
                  "bool(false)\n") << "a file that is no upload";
        call_result bad = call_function("move_uploaded_file", {make_string(temp), make_string("/no/such/dir/x")});
        EXPECT_EQ(dump(bad.value), "bool(false)\n");
        ASSERT_EQ(bad.errors.size(), 1u);
        EXPECT_EQ(bad.errors[0].message, "move_uploaded_file(): Unable to move '" + temp + "' to '/no/such/dir/x'");
        EXPECT_EQ(dump(call_function("move_uploaded_file", {make_string(temp), make_string(target)}).value),
                  "bool(true)\n");
        EXPECT_EQ(dump(call_function("is_uploaded_file", {make_string(temp)}).value), "bool(false)\n");
    }
    EXPECT_EQ(contents(target), "payload") << "a moved file outlives the request";
    std::remove(target.c_str());
    std::remove(other.c_str());
}

TEST(RequestVariables, MultipartLimitsAndMalformedBodies)
{
    {
        error_capture errors;
        request_scope scope;
        zend::settings.upload_max_filesize = 8;
        zend::register_request_variables(upload_request(multipart({
            {"Content-Disposition: form-data; name=\"big\"; filename=\"big.txt\"", "123456789"},
            {"Content-Disposition: form-data; name=\"MAX_FILE_SIZE\"", "4"},
            {"Content-Disposition: form-data; name=\"small\"; filename=\"s.txt\"", "12345"},
            {"Content-Disposition: form-data; name=\"fits\"; filename=\"f.txt\"", "1234"},
        })));
        zend::settings.upload_max_filesize = 2L << 20;
        EXPECT_EQ(file_entry("big", "error"), "int(1)\n");
        EXPECT_EQ(file_entry("big", "size"), "int(0)\n");
        EXPECT_EQ(file_entry("big", "tmp_name"), "string(0) \"\"\n");
        EXPECT_EQ(file_entry("small", "error"), "int(2)\n") << "MAX_FILE_SIZE counts for the files after it";
        EXPECT_EQ(file_entry("fits", "error"), "int(0)\n");
        EXPECT_TRUE(errors.seen().empty());
    }
    {
        error_capture errors;
        request_scope scope;
        std::vector<std::pair<std::string, std::string>> parts;
        for (int i = 0; i < 22; i++)
            parts.push_back({"Content-Disposition: form-data; name=\"u" + std::to_string(i) + "\"; filename=\"x\"", "x"});
        zend::register_request_variables(upload_request(multipart(parts)));
        zval *files = global_zval("_FILES");
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(zend_hash_num_elements(files->value.ht), 20);
        ASSERT_EQ(errors.seen().size(), 1u);
        EXPECT_EQ(errors.seen()[0], "Maximum number of allowable file uploads has been exceeded");
    }
    {
        /* a body cut off inside a file: the file is partial and not kept;
         * a quoted boundary; LF-only line ends */
        error_capture errors;
        request_scope scope;
        zend::register_request_variables(upload_request(
            "preamble\n--q r\nContent-Disposition: form-data; name=a\n\nA\n--q r\n"
            "Content-Disposition: form-data; name=\"cut\"; filename=\"c.txt\"\n\nno end",
            "Multipart/Form-Data; boundary=\"q r\"; charset=x"));
        EXPECT_EQ(global("_POST"), "array(1) {\n  [\"a\"]=>\n  string(1) \"A\"\n}\n");
        EXPECT_EQ(file_entry("cut", "error"), "int(3)\n");
        EXPECT_EQ(file_entry("cut", "tmp_name"), "string(0) \"\"\n");
    }
    {
        error_capture errors;
        request_scope scope;
        zend::register_request_variables(upload_request("--x\r\n", "multipart/form-data"));
        zend::register_request_variables(upload_request("--x\r\n", "multipart/form-data; boundary=" + std::string(2000, 'b')));
        ASSERT_EQ(errors.seen().size(), 2u);
        EXPECT_EQ(errors.seen()[0], "Missing boundary in multipart/form-data POST data");
        EXPECT_EQ(errors.seen()[1], "Boundary too large in multipart/form-data POST data");
        EXPECT_EQ(global("_FILES"), "array(0) {\n}\n");
    }
}

TEST(RequestVariables, UploadsAsOldStyleGlobals)
{
    request_scope scope;
    zend::settings.register_globals = true;
    zend::register_request_variables(upload_request(multipart({
        {"Content-Disposition: form-data; name=\"userfile\"; filename=\"a.txt\"\r\nContent-Type: text/plain", "abc"},
        {"Content-Disposition: form-data; name=\"none\"; filename=\"\"", ""}})));
    zend::settings.register_globals = false;
    EXPECT_EQ(global("userfile"), file_entry("userfile", "tmp_name"));
    EXPECT_EQ(global("userfile_name"), "string(5) \"a.txt\"\n");
    EXPECT_EQ(global("userfile_type"), "string(10) \"text/plain\"\n");
    EXPECT_EQ(global("userfile_size"), "int(3)\n");
    EXPECT_EQ(global("none"), "string(4) \"none\"\n") << "no file reads as \"none\"";
}

TEST(ResponseHeaders, StatusLinesRedirectsAndReplacement)
{
    {
        request_scope scope;
        zend::response_headers &r = zend::response();
        EXPECT_EQ(r.status, 200);
        zend::add_response_header("Location: /a", true, 0);
        EXPECT_EQ(r.status, 302) << "Location makes a redirect";
        zend::add_response_header("HTTP/1.0 404 Not Found", true, 0);
        EXPECT_EQ(r.status, 404);
        EXPECT_EQ(r.status_line, "HTTP/1.0 404 Not Found");
        zend::add_response_header("Location: /b", true, 0);
        EXPECT_EQ(r.status, 302) << "a 404 is no redirect";
        EXPECT_EQ(r.status_line, "") << "a new status drops the old line";
        zend::add_response_header("HTTP/1.1 301 Moved Permanently", true, 0);
        zend::add_response_header("Location: /c", true, 0);
        EXPECT_EQ(r.status, 301) << "a redirect status stays";
        zend::add_response_header("X-A: 1", true, 0);
        zend::add_response_header("x-a : 2", false, 0);
        zend::add_response_header("X-A: 3  \r\n", true, 503);
        zend::add_response_header("no colon here", true, 0);
        EXPECT_EQ(r.status, 503) << "the third argument sets the status";
        ASSERT_EQ(r.lines.size(), 2u);
        EXPECT_EQ(r.lines[0], "Location: /c");
        EXPECT_EQ(r.lines[1], "X-A: 3") << "trailing blanks and line ends are trimmed";
        zend::add_response_header("WWW-Authenticate: Basic realm=\"x\"", true, 0);
        EXPECT_EQ(r.status, 401);
    }
    request_scope next;
    EXPECT_EQ(zend::response().status, 200);
    EXPECT_TRUE(zend::response().lines.empty());
}

TEST(ResponseHeaders, SetcookieFormatsAndRefusals)
{
    request_scope scope;
    call_result r = call_function("setcookie", {make_string("name"), make_string("a b&c/é"), make_long(1136073600),
                                                make_string("/app"), make_string(".example.com"), make_bool(true)});
    EXPECT_TRUE(r.value->type == IS_BOOL && r.value->value.lval == 1);
    call_function("setcookie", {make_string("plain")});
    call_function("setcookie", {make_string("gone"), make_string("")});
    const std::vector<std::string> &lines = zend::response().lines;
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Set-Cookie: name=a+b%26c%2F%C3%A9; expires=Sun, 01-Jan-2006 00:00:00 GMT; path=/app; "
                        "domain=.example.com; secure");
    EXPECT_EQ(lines[1], "Set-Cookie: plain=");
    EXPECT_EQ(lines[2].substr(0, 33), "Set-Cookie: gone=deleted; expires");

    struct {
        std::vector<zval *> args;
        const char *warning;
    } refused[] = {
        {{make_string("")}, "Cookie names must not be empty"},
        {{make_string("a=b")}, "Cookie names can not contain any of the following '=,; \\t\\r\\n\\013\\014'"},
        {{make_string("a\r\nSet-Cookie: x")}, "Cookie names can not contain any of the following '=,; \\t\\r\\n\\013\\014'"},
        {{make_string("a"), make_string("v"), make_long(0), make_string("/\r\nX: y")},
         "Cookie paths cannot contain any of the following ',; \\t\\r\\n\\013\\014'"},
        {{make_string("a"), make_string("v"), make_long(0), make_string("/"), make_string("x;y")},
         "Cookie domains cannot contain any of the following ',; \\t\\r\\n\\013\\014'"},
        {{make_string("a"), make_string("v"), make_long(300000000000L)}, "Expiry date cannot have a year greater than 9999"},
    };
    for (auto &c : refused) {
        call_result bad = call_function("setcookie", c.args);
        ASSERT_EQ(bad.errors.size(), 1u) << c.warning;
        EXPECT_EQ(bad.errors[0].message, c.warning);
        EXPECT_TRUE(bad.value->type == IS_BOOL && bad.value->value.lval == 0);
    }
    EXPECT_EQ(zend::response().lines.size(), 3u) << "nothing refused was added";
    EXPECT_EQ(call_function("setcookie", {}).errors.size(), 1u);
    call_result nul = call_function("header", {make_string(std::string("X-N: a\0b", 8))});
    ASSERT_EQ(nul.errors.size(), 1u);
    EXPECT_EQ(nul.errors[0].message, "Header may not contain NUL bytes");
}
