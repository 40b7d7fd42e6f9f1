/* One request and its response on a connection, and the ways a worker
 * answers: a response from memory, a file, an error page. Every response
 * carries Content-Length (a HEAD response the length its GET would have)
 * and says whether the connection stays open. */
#ifndef BRISKO_HTTPD_EXCHANGE_H
#define BRISKO_HTTPD_EXCHANGE_H

#include <string>

#include <boost/beast/http.hpp>

#include "config.h"
#include "socket_stream.h"

namespace httpd {

namespace http = boost::beast::http;

struct peer {
    std::string address;       /* the client's */
    unsigned port = 0;
    std::string local_address; /* the server's side of the connection */
    unsigned local_port = 0;
};

struct exchange {
    const config *cfg = nullptr;
    const peer *client = nullptr;
    socket_stream *stream = nullptr;
    http::request<http::string_body> request;
    bool request_read = false;  /* the request line was parsed */
    bool keep_alive = false;    /* the connection stays open after the response */
    /* What went out, for the access log. */
    int status = 0;
    unsigned long long body_bytes = 0;
    bool sent = false;          /* a response was written (or its write failed) */
    bool write_failed = false;
};

/* Writes res (status, header fields and body set by the caller) with the
 * server's own fields added: Date, Server, Connection, Content-Length. */
void send(exchange &ex, http::response<http::string_body> &res);

/* An HTML error page for status, closing the connection unless
 * keep_alive is left as it is. */
void send_error(exchange &ex, http::status status, bool close_connection = true);

/* A redirect to location (301). */
void send_redirect(exchange &ex, const std::string &location);

/* The access log line of ex. */
void log_access(const exchange &ex);

/* "Sun, 06 Nov 1994 08:49:37 GMT" */
std::string http_date(time_t t);

} // namespace httpd

#endif
