/* Scripts as pages. A script runs as one request of the engine: the request
 * variables come from the HTTP request, the output collects in memory, and
 * when the script is done the engine's request end hands over: the
 * response goes out whole (status and headers from header() and
 * setcookie(), Content-Length from the output), and only then do the
 * modules' end hooks run. Errors are shown in the page as the engine
 * formats them and also written to the error log. */
#include <unistd.h>

#include <optional>

#include "engine.h"
#include "logs.h"
#include "serve.h"

namespace httpd {

namespace {

exchange *active = nullptr; /* the request whose script runs */
std::string output;         /* its output so far */

void collect_output(const char *data, std::size_t length)
{
    if (active) {
        output.append(data, length);
    } else if (length > 0) { /* an extension talking outside any request */
        logs::error("notice", std::string(data, length));
    }
}

/* "Name: value" lines into the response; the server decides the framing
 * fields itself. */
void add_script_headers(http::response<http::string_body> &res)
{
    for (const std::string &line : zend::response().lines) {
        std::size_t colon = line.find(':');
        std::string name = line.substr(0, colon);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
            name.pop_back();
        std::size_t start = line.find_first_not_of(" \t", colon + 1);
        std::string value = start == std::string::npos ? "" : line.substr(start);
        if (name.empty())
            continue;
        http::field f = http::string_to_field(name);
        if (f == http::field::content_length || f == http::field::connection ||
            f == http::field::transfer_encoding || f == http::field::keep_alive)
            continue;
        res.insert(name, value);
    }
}

void deliver_response()
{
    if (!active)
        return;
    exchange &ex = *active;
    const zend::response_headers &h = zend::response();
    http::response<http::string_body> res;
    unsigned status = static_cast<unsigned>(h.status);
    if (h.status < 100 || h.status > 599) {
        logs::error("error", "script set the invalid status " + std::to_string(h.status) + "; sent 500",
                    ex.client->address);
        status = 500;
    }
    res.result(status);
    if (!h.status_line.empty() && static_cast<int>(status) == h.status) {
        /* the reason phrase the script gave after its status code */
        std::size_t code = h.status_line.find(' ');
        std::size_t reason = code == std::string::npos ? code : h.status_line.find(' ', code + 1);
        if (reason != std::string::npos && reason + 1 < h.status_line.size())
            res.reason(h.status_line.substr(reason + 1));
    }
    add_script_headers(res);
    if (res.find(http::field::content_type) == res.end())
        res.set(http::field::content_type, "text/html");
    if (res.find("X-Powered-By") == res.end())
        res.set("X-Powered-By", std::string("PHP/") + PHP_VERSION);
    res.body() = std::move(output);
    output = std::string();
    if (worker_retiring(*ex.cfg) || stop_pending())
        ex.keep_alive = false;
    send(ex, res);
    log_access(ex);
}

const char *error_label(int type)
{
    if (type & (E_ERROR | E_CORE_ERROR | E_COMPILE_ERROR | E_USER_ERROR))
        return "Fatal error";
    if (type & (E_WARNING | E_CORE_WARNING | E_COMPILE_WARNING | E_USER_WARNING))
        return "Warning";
    if (type & (E_NOTICE | E_USER_NOTICE))
        return "Notice";
    if (type & E_PARSE)
        return "Parse error";
    return "Unknown error";
}

/* The errors a page shows also go to the error log. */
void log_script_error(int type, const char *message)
{
    if (!zend::error_reported(type))
        return;
    logs::error("error",
                std::string("PHP ") + error_label(type) + ":  " + message + " in " + zend::current_filename() +
                    " on line " + std::to_string(zend::current_lineno()),
                active ? active->client->address : "");
}

/* error_log() without a file of its own. */
void log_message(const char *message)
{
    logs::error("error", message, active ? active->client->address : "");
}

std::string header_variable(std::string_view name)
{
    std::string var = "HTTP_";
    for (char c : name)
        var += c == '-' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return var;
}

/* The host part of a Host header: "example.com:8080" -> "example.com",
 * "[::1]:8080" -> "[::1]". */
std::string host_name(std::string_view host)
{
    std::string h(host);
    std::size_t colon = h.rfind(':');
    if (colon != std::string::npos && h.find(']', colon) == std::string::npos)
        h.resize(colon);
    return h;
}

/* Standard base64; nothing when the text is not base64. */
std::optional<std::string> base64_decode(std::string_view text)
{
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        int v;
        if (c >= 'A' && c <= 'Z') v = c - 'A';
        else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
        else if (c >= '0' && c <= '9') v = c - '0' + 52;
        else if (c == '+') v = 62;
        else if (c == '/') v = 63;
        else if (c == '=') break;
        else return std::nullopt;
        bits = (bits << 6) | static_cast<unsigned>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xff);
        }
    }
    return out;
}

/* HTTP Basic credentials as the original engine handed them to scripts
 * under a web server: PHP_AUTH_USER, PHP_AUTH_PW and AUTH_TYPE. */
void add_basic_auth(std::string_view authorization, std::vector<std::pair<std::string, std::string>> &server)
{
    if (authorization.size() < 6 || !boost::beast::iequals(authorization.substr(0, 6), "Basic "))
        return;
    std::string_view encoded = authorization.substr(6);
    while (!encoded.empty() && encoded.front() == ' ')
        encoded.remove_prefix(1);
    std::optional<std::string> decoded = base64_decode(encoded);
    if (!decoded)
        return;
    std::size_t colon = decoded->find(':');
    if (colon == std::string::npos)
        return;
    server.emplace_back("PHP_AUTH_USER", decoded->substr(0, colon));
    server.emplace_back("PHP_AUTH_PW", decoded->substr(colon + 1));
    server.emplace_back("AUTH_TYPE", "Basic");
}

zend::request_info request_info_of(exchange &ex, const resolved &target)
{
    const config &cfg = *ex.cfg;
    auto &req = ex.request;
    zend::request_info info;
    info.method = std::string(req.method_string());
    std::string uri(req.target());
    info.query_string = target_query(uri);
    info.content_type = std::string(req[http::field::content_type]);
    info.post_data = std::move(req.body());

    auto &server = info.server;
    std::vector<std::pair<std::string, std::string>> headers;
    for (const auto &field : req) {
        std::string_view name = field.name_string();
        if (field.name() == http::field::content_type || field.name() == http::field::content_length ||
            field.name() == http::field::authorization || field.name() == http::field::proxy_authorization)
            continue;
        std::string var = header_variable(name);
        std::string value(field.value());
        if (field.name() == http::field::cookie)
            info.cookie_data += (info.cookie_data.empty() ? "" : "; ") + value;
        bool merged = false;
        for (auto &h : headers)
            if (h.first == var) {
                h.second += (field.name() == http::field::cookie ? "; " : ", ") + value;
                merged = true;
            }
        if (!merged)
            headers.emplace_back(var, value);
    }
    server = std::move(headers);
    std::string host = host_name(req[http::field::host]);
    server.emplace_back("SERVER_SOFTWARE", server_software);
    server.emplace_back("SERVER_NAME", host.empty() ? ex.client->local_address : host);
    server.emplace_back("SERVER_ADDR", ex.client->local_address);
    server.emplace_back("SERVER_PORT", std::to_string(ex.client->local_port));
    server.emplace_back("REMOTE_ADDR", ex.client->address);
    server.emplace_back("REMOTE_PORT", std::to_string(ex.client->port));
    server.emplace_back("DOCUMENT_ROOT", cfg.docroot);
    server.emplace_back("SCRIPT_FILENAME", target.path);
    server.emplace_back("GATEWAY_INTERFACE", "CGI/1.1");
    server.emplace_back("SERVER_PROTOCOL", req.version() == 10 ? "HTTP/1.0" : "HTTP/1.1");
    server.emplace_back("REQUEST_METHOD", info.method);
    server.emplace_back("QUERY_STRING", info.query_string);
    server.emplace_back("REQUEST_URI", uri);
    server.emplace_back("SCRIPT_NAME", target.script_name);
    if (!target.path_info.empty()) {
        server.emplace_back("PATH_INFO", target.path_info);
        server.emplace_back("PATH_TRANSLATED", cfg.docroot + target.path_info);
    } else {
        server.emplace_back("PATH_TRANSLATED", target.path);
    }
    server.emplace_back("PHP_SELF", target.script_name + target.path_info);
    if (!info.content_type.empty())
        server.emplace_back("CONTENT_TYPE", info.content_type);
    if (!info.post_data.empty() || req.find(http::field::content_length) != req.end())
        server.emplace_back("CONTENT_LENGTH", std::to_string(info.post_data.size()));
    add_basic_auth(req[http::field::authorization], server);
    return info;
}

} // namespace

bool worker_retiring(const config &cfg)
{
    return cfg.max_requests > 0 && zend::counters.requests >= cfg.max_requests;
}

void install_script_hooks()
{
    zend::set_output_sink(collect_output);
    zend::set_response_writer(deliver_response);
    zend::set_error_observer(log_script_error);
    zend::set_log_sink(log_message);
}

void serve_script(exchange &ex, const resolved &target)
{
    zend::request_info info = request_info_of(ex, target);
    std::string directory = target.path.substr(0, target.path.rfind('/'));
    if (chdir(directory.empty() ? "/" : directory.c_str()) != 0) {
        send_error(ex, http::status::forbidden, false);
        log_access(ex);
        return;
    }
    active = &ex;
    output.clear();
    zend::request_startup();
    zend::register_request_variables(info);
    zend::execute_script(target.path.c_str());
    zend::request_shutdown(); /* delivers the response, then runs the end hooks */
    active = nullptr;
}

} // namespace httpd
