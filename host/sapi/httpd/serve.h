/* What a worker does with a connection and with each kind of request. */
#ifndef BRISKO_HTTPD_SERVE_H
#define BRISKO_HTTPD_SERVE_H

#include "config.h"
#include "exchange.h"
#include "resolve.h"

namespace httpd {

/* Serves requests on a connected socket until the client closes, a
 * timeout, an error that ends the connection, or the worker is to stop. */
void serve_connection(int fd, const peer &client, const config &cfg);

void serve_file(exchange &ex, const resolved &target);

/* Runs a script as one request of the engine and answers with its output.
 * The response is written from inside the engine's request end, before
 * the modules' end hooks run (one of them may end the process). */
void serve_script(exchange &ex, const resolved &target);

/* Installs the engine hooks that serve_script relies on: the output sink,
 * the response writer and the error log. */
void install_script_hooks();

/* The worker has served its share of script requests and ends after the
 * current one. */
bool worker_retiring(const config &cfg);

} // namespace httpd

#endif
