/* The two kinds of process: the master, which binds the socket and keeps
 * the workers, and the workers, which serve. */
#ifndef BRISKO_HTTPD_WORKER_H
#define BRISKO_HTTPD_WORKER_H

#include <sys/types.h>

#include "config.h"

namespace httpd {

/* A worker's exit status when the engine or an extension cannot start:
 * the master then stops instead of starting workers that fail the same
 * way. */
inline constexpr int worker_startup_failed = 3;

/* Runs a worker in a freshly forked process; never returns. */
[[noreturn]] void worker_main(const config &cfg, int listen_fd, pid_t master);

/* Runs the master until SIGTERM or SIGINT (or a worker that cannot
 * start); its exit status. */
int master_main(const config &cfg, int listen_fd);

} // namespace httpd

#endif
