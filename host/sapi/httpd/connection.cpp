/* One connection: requests read through Beast's parser, one after another,
 * each answered in full before the next is read. A request that cannot be
 * read gets the status that says why (400 malformed, 408 too slow, 413
 * body too large, 414 request line too long, 431 header too large, 505
 * version), and the connection ends. */
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>

#include <boost/beast/core/flat_buffer.hpp>

#include "logs.h"
#include "serve.h"

namespace httpd {

namespace {

namespace beast = boost::beast;
using std::chrono::seconds;

/* The request line in the buffer ends with a well-formed version that is
 * not 1.0 or 1.1 ("HTTP/2.0"), which the parser refuses like a malformed
 * one. */
bool other_http_version(const beast::flat_buffer &buffer)
{
    auto data = buffer.data();
    std::string_view text(static_cast<const char *>(data.data()), data.size());
    std::size_t end = text.find("\r\n");
    if (end == std::string_view::npos || end < 9)
        return false;
    std::string_view version = text.substr(end - 9, 9);
    return version.substr(0, 6) == " HTTP/" && std::isdigit(static_cast<unsigned char>(version[6])) &&
           version[7] == '.' && std::isdigit(static_cast<unsigned char>(version[8]));
}

/* Answers a request that could not be read, when the client is still
 * there to hear it. request_line: the parser got through the request line
 * (a header too large is then too many fields, not too long a line). */
void refuse_unreadable(exchange &ex, const error_code &ec, bool request_line, bool other_version = false)
{
    if (ec == http::error::end_of_stream || ec == boost::asio::error::operation_aborted ||
        ec == http::error::partial_message || ec.category() == boost::system::system_category())
        return; /* closed, stopping, or gone */
    if (ec == beast::error::timeout) {
        if (ex.stream->request_started())
            send_error(ex, http::status::request_timeout);
    } else if (ec == http::error::header_limit || ec == http::error::buffer_overflow) {
        send_error(ex, request_line ? http::status::request_header_fields_too_large : http::status::uri_too_long);
    } else if (ec == http::error::bad_version && other_version) {
        send_error(ex, http::status::http_version_not_supported);
    } else if (ec == http::error::body_limit) {
        send_error(ex, http::status::payload_too_large);
    } else {
        send_error(ex, http::status::bad_request);
    }
    if (ex.sent)
        log_access(ex);
}

/* A header that was read but cannot be served: the status to refuse it
 * with, or ok. */
http::status check_header(const http::request<http::string_body> &req, const config &cfg)
{
    if (req.target().size() > cfg.max_request_line)
        return http::status::uri_too_long;
    if (req.version() == 11 && req.find(http::field::host) == req.end())
        return http::status::bad_request;
    auto expect = req.find(http::field::expect);
    if (expect != req.end() && !beast::iequals(expect->value(), "100-continue"))
        return http::status::expectation_failed;
    return http::status::ok;
}

void dispatch(exchange &ex)
{
    resolved target = resolve(ex.cfg->docroot, std::string(ex.request.target()));
    switch (target.kind) {
    case resolved::script:
        serve_script(ex, target);
        if (!ex.sent) { /* the engine never delivered: nothing else may answer */
            send_error(ex, http::status::internal_server_error);
            log_access(ex);
        }
        return;
    case resolved::file: serve_file(ex, target); break;
    case resolved::redirect: send_redirect(ex, target.location); break;
    case resolved::bad_request: send_error(ex, http::status::bad_request); break;
    case resolved::forbidden: send_error(ex, http::status::forbidden, false); break;
    case resolved::not_found: send_error(ex, http::status::not_found, false); break;
    }
    log_access(ex);
}

/* Ends a connection after a response that closes it: the client may still
 * be sending (a body we refused, a request it sent early), and closing a
 * socket with unread data makes the peer's system drop what it has not yet
 * read, our response included. So: no more writes, read what comes until
 * the client closes, for at most two seconds. */
void close_lingering(int fd)
{
    shutdown(fd, SHUT_WR);
    clock::time_point deadline = clock::now() + seconds(2);
    char sink[4096];
    for (std::size_t drained = 0; drained < (1u << 20);) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now()).count();
        if (left <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0)
            break;
        ssize_t n = read(fd, sink, sizeof sink);
        if (n <= 0)
            break;
        drained += static_cast<std::size_t>(n);
    }
}

} // namespace

void serve_connection(int fd, const peer &client, const config &cfg)
{
    socket_stream stream(fd);
    beast::flat_buffer buffer;
    bool linger = false;
    for (int served = 0;; served++) {
        exchange ex;
        ex.cfg = &cfg;
        ex.client = &client;
        ex.stream = &stream;
        if (stop_pending() || worker_retiring(cfg))
            break;

        http::request_parser<http::string_body> parser;
        parser.header_limit(static_cast<std::uint32_t>(cfg.max_header));
        parser.body_limit(cfg.max_body);
        int idle = served == 0 ? cfg.io_timeout : cfg.keepalive_timeout;
        stream.await_request(clock::now() + seconds(idle), seconds(cfg.io_timeout), buffer.size() > 0);
        error_code ec;
        http::read_header(stream, buffer, parser, ec);
        if (ec) {
            refuse_unreadable(ex, ec, !parser.get().target().empty(), other_http_version(buffer));
            linger = ex.sent;
            break;
        }

        http::status refusal = check_header(parser.get(), cfg);
        if (refusal == http::status::ok && !parser.is_done()) {
            stream.begin_transfer(seconds(cfg.io_timeout));
            if (parser.get().find(http::field::expect) != parser.get().end()) {
                http::response<http::empty_body> go_on{http::status::continue_, 11};
                http::write(stream, go_on, ec);
            }
            if (!ec)
                http::read(stream, buffer, parser, ec);
            if (ec) {
                ex.request.base() = parser.get().base();
                ex.request_read = true;
                refuse_unreadable(ex, ec, true);
                linger = ex.sent;
                break;
            }
        }
        ex.request = parser.release();
        ex.request_read = true;
        if (refusal != http::status::ok) {
            send_error(ex, refusal);
            log_access(ex);
            linger = true;
            break;
        }

        stream.begin_transfer(seconds(cfg.io_timeout));
        ex.keep_alive = ex.request.keep_alive() && served + 1 < cfg.keepalive_requests && !stop_pending();
        dispatch(ex);
        if (ex.write_failed)
            break;
        if (!ex.keep_alive) {
            linger = true;
            break;
        }
    }
    if (linger)
        close_lingering(fd);
}

} // namespace httpd
