/* The server's two logs: the access log, one line per request in the
 * combined format, and the error log, where the master notes what happens
 * to workers and the workers note script errors. Both are files opened for
 * appending (or the standard streams) and shared by all processes; every
 * line is written with one write call, so lines from different workers do
 * not mix. */
#ifndef BRISKO_HTTPD_LOGS_H
#define BRISKO_HTTPD_LOGS_H

#include <string>

namespace httpd::logs {

/* Opens the logs; an empty path means standard output (access) or
 * standard error (errors). false with a message when a file cannot be
 * opened. */
bool open(const std::string &access_path, const std::string &error_path, std::string &error);

/* The error log's descriptor (for a worker to put on its standard error). */
int error_fd();

/* "[Mon Jan 02 15:04:05 2006] [level] [client ADDR] message" */
void error(const char *level, const std::string &message, const std::string &client = "");

struct access_entry {
    std::string client;       /* remote address */
    std::string request_line; /* "GET /x HTTP/1.1", or "-" when none was read */
    int status = 0;
    unsigned long long body_bytes = 0;
    std::string referer;
    std::string user_agent;
};
void access(const access_entry &entry);

} // namespace httpd::logs

#endif
