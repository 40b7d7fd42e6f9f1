/* The server's configuration, from its command line. */
#ifndef BRISKO_HTTPD_CONFIG_H
#define BRISKO_HTTPD_CONFIG_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace httpd {

inline constexpr const char *server_name = "brisko-httpd";
inline constexpr const char *server_software = "brisko-httpd/1.0";

struct config {
    std::string docroot;                  /* real path, no trailing slash */
    std::string listen = "127.0.0.1:8080";
    int workers = 2;
    std::vector<std::string> extensions;  /* -z, in order */
    bool no_extensions = false;           /* -n */
    std::string access_log;               /* empty: standard output */
    std::string error_log;                /* empty: standard error */
    /* A worker ends after this many script requests, telling the client of
     * the last one to reconnect (Connection: close). The default is the
     * number of requests after which the extension ends its process, so
     * that its last response is marked too. 0: no limit. */
    unsigned long max_requests = 10001;
    int keepalive_timeout = 5;            /* seconds a kept-alive connection may idle */
    int io_timeout = 30;                  /* seconds for a request header, and for each wait on the peer */
    int keepalive_requests = 100;         /* requests on one connection */
    int shutdown_timeout = 10;            /* seconds the master gives workers to finish when stopping */
    std::size_t max_request_line = 8192;  /* bytes; longer: 414 */
    std::size_t max_header = 16384;       /* bytes of request line and header fields; more: 431 */
    std::size_t max_body = 8 * 1024 * 1024; /* bytes; more: 413 */
};

} // namespace httpd

#endif
