/* Writing responses. */
#include <ctime>

#include "exchange.h"
#include "logs.h"

namespace httpd {

namespace {

std::string html_escape(const std::string &text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

std::string http_date(time_t t)
{
    struct tm tm;
    gmtime_r(&t, &tm);
    char buf[64];
    std::strftime(buf, sizeof buf, "%a, %d %b %Y %H:%M:%S GMT", &tm);
    return buf;
}

void send(exchange &ex, http::response<http::string_body> &res)
{
    res.version(ex.request_read && ex.request.version() == 10 ? 10 : 11);
    res.set(http::field::date, http_date(std::time(nullptr)));
    res.set(http::field::server, server_name);
    res.keep_alive(ex.keep_alive);
    if (res.result() != http::status::not_modified) /* a 304 keeps the length of what it stands for */
        res.content_length(res.body().size());
    bool head = ex.request_read && ex.request.method() == http::verb::head;
    ex.status = static_cast<int>(res.result_int());
    ex.body_bytes = head ? 0 : res.body().size();
    ex.sent = true;

    http::response_serializer<http::string_body> serializer(res);
    error_code ec;
    if (head)
        http::write_header(*ex.stream, serializer, ec);
    else
        http::write(*ex.stream, serializer, ec);
    if (ec) {
        ex.write_failed = true;
        ex.keep_alive = false;
    }
}

void send_error(exchange &ex, http::status status, bool close_connection)
{
    static const std::string tail = "</body></html>\n";
    http::response<http::string_body> res;
    res.result(status);
    std::string reason(http::obsolete_reason(status));
    std::string text;
    switch (status) {
    case http::status::not_found:
        text = "The requested URL " + html_escape(ex.request_read ? std::string(ex.request.target()) : "") +
               " was not found on this server.";
        break;
    case http::status::forbidden: text = "You don't have permission to access this resource."; break;
    case http::status::payload_too_large: text = "The request body is larger than this server accepts."; break;
    case http::status::uri_too_long: text = "The requested URL is longer than this server accepts."; break;
    case http::status::request_header_fields_too_large:
        text = "The request header is larger than this server accepts.";
        break;
    case http::status::request_timeout: text = "The request did not arrive in time."; break;
    default: text = "The server could not handle this request."; break;
    }
    res.body() = "<!DOCTYPE html>\n<html><head><title>" + std::to_string(static_cast<unsigned>(status)) + " " + reason +
                 "</title></head><body>\n<h1>" + reason + "</h1>\n<p>" + text + "</p>\n" + tail;
    res.set(http::field::content_type, "text/html");
    if (close_connection)
        ex.keep_alive = false;
    send(ex, res);
}

void send_redirect(exchange &ex, const std::string &location)
{
    http::response<http::string_body> res;
    res.result(http::status::moved_permanently);
    res.set(http::field::location, location);
    res.set(http::field::content_type, "text/html");
    res.body() = "<!DOCTYPE html>\n<html><head><title>301 Moved Permanently</title></head><body>\n"
                 "<h1>Moved Permanently</h1>\n<p>The document has moved <a href=\"" +
                 html_escape(location) + "\">here</a>.</p>\n</body></html>\n";
    send(ex, res);
}

void log_access(const exchange &ex)
{
    logs::access_entry entry;
    entry.client = ex.client ? ex.client->address : "-";
    if (ex.request_read) {
        const auto &req = ex.request;
        entry.request_line = std::string(req.method_string()) + " " + std::string(req.target()) +
                             (req.version() == 10 ? " HTTP/1.0" : " HTTP/1.1");
        entry.referer = std::string(req[http::field::referer]);
        entry.user_agent = std::string(req[http::field::user_agent]);
    } else {
        entry.request_line = "-";
    }
    entry.status = ex.status;
    entry.body_bytes = ex.body_bytes;
    logs::access(entry);
}

} // namespace httpd
