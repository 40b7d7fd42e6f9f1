/* A worker process: starts the engine and its extensions, then accepts
 * connections on the listening socket it shares with the other workers
 * and serves them one at a time, until it is asked to stop or has served
 * its share of script requests.
 *
 * Signals: SIGTERM, SIGINT and SIGHUP ask the worker to stop. They stay
 * blocked except while the worker waits for a connection or for the next
 * request on a kept-alive one, so a request in progress always finishes
 * (with Connection: close) before the worker ends. SIGALRM (the scripts'
 * time limit) is never blocked. */
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "engine.h"
#include "engine_setup.h"
#include "logs.h"
#include "serve.h"
#include "worker.h"

namespace httpd {

volatile sig_atomic_t stop_requested = 0;
sigset_t idle_signal_mask;

bool stop_pending()
{
    if (stop_requested)
        return true;
    sigset_t pending;
    sigpending(&pending);
    return sigismember(&pending, SIGTERM) == 1 || sigismember(&pending, SIGINT) == 1 ||
           sigismember(&pending, SIGHUP) == 1;
}

namespace {

void on_stop_signal(int)
{
    stop_requested = 1;
}

void set_up_signals(pid_t master)
{
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);
    action.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &action, nullptr);
    action.sa_handler = SIG_DFL;
    sigaction(SIGCHLD, &action, nullptr);

    sigset_t stops;
    sigemptyset(&stops);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&stops, sig);
    sigset_t current;
    sigprocmask(SIG_BLOCK, nullptr, &current);
    idle_signal_mask = current;
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGALRM})
        sigdelset(&idle_signal_mask, sig);
    sigaddset(&current, SIGTERM);
    sigaddset(&current, SIGINT);
    sigaddset(&current, SIGHUP);
    sigdelset(&current, SIGALRM);
    sigdelset(&current, SIGCHLD);
    sigprocmask(SIG_SETMASK, &current, nullptr);

    /* A worker does not outlive its master. */
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != master)
        stop_requested = 1;
}

std::string address_text(const sockaddr_storage &addr, unsigned &port)
{
    char text[INET6_ADDRSTRLEN] = "-";
    port = 0;
    if (addr.ss_family == AF_INET) {
        const auto *a = reinterpret_cast<const sockaddr_in *>(&addr);
        inet_ntop(AF_INET, &a->sin_addr, text, sizeof text);
        port = ntohs(a->sin_port);
    } else if (addr.ss_family == AF_INET6) {
        const auto *a = reinterpret_cast<const sockaddr_in6 *>(&addr);
        inet_ntop(AF_INET6, &a->sin6_addr, text, sizeof text);
        port = ntohs(a->sin6_port);
    }
    return text;
}

/* Waits for a connection; -1 when the worker is to stop. */
int next_connection(int listen_fd, peer &client)
{
    for (;;) {
        if (stop_requested)
            return -1;
        pollfd p{listen_fd, POLLIN, 0};
        int r = ppoll(&p, 1, nullptr, &idle_signal_mask);
        if (r < 0 && errno != EINTR)
            return -1;
        if (r <= 0)
            continue;
        sockaddr_storage remote{};
        socklen_t length = sizeof remote;
        int fd = accept4(listen_fd, reinterpret_cast<sockaddr *>(&remote), &length, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == ECONNABORTED)
                continue; /* another worker took it, or the client gave up */
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                logs::error("error", std::string("accept: ") + std::strerror(errno));
                usleep(100000);
                continue;
            }
            logs::error("error", std::string("accept: ") + std::strerror(errno));
            return -1;
        }
        client.address = address_text(remote, client.port);
        sockaddr_storage local{};
        length = sizeof local;
        getsockname(fd, reinterpret_cast<sockaddr *>(&local), &length);
        client.local_address = address_text(local, client.local_port);
        return fd;
    }
}

void note_exit()
{
    logs::error("notice", "worker " + std::to_string(getpid()) + " ending after " +
                              std::to_string(zend::counters.requests) + " script requests");
}

} // namespace

void worker_main(const config &cfg, int listen_fd, pid_t master)
{
    set_up_signals(master);
    if (!cfg.error_log.empty())
        dup2(logs::error_fd(), STDERR_FILENO); /* what goes to standard error lands in the log */

    install_script_hooks();
    std::string error;
    if (!zend::engine_startup()) {
        logs::error("error", "worker " + std::to_string(getpid()) + ": the engine could not start");
        _exit(worker_startup_failed);
    }
    if (!sapi::load_extensions(sapi::extension_paths(cfg.extensions, cfg.no_extensions), error)) {
        logs::error("error", "worker " + std::to_string(getpid()) + ": " + error);
        _exit(worker_startup_failed);
    }
    /* An extension may end the process from a request's end hook; the log
     * says so either way. */
    std::atexit(note_exit);

    while (!stop_requested && !worker_retiring(cfg)) {
        peer client;
        int fd = next_connection(listen_fd, client);
        if (fd < 0)
            break;
        serve_connection(fd, client, cfg);
        close(fd);
    }
    zend::engine_shutdown();
    std::exit(0);
}

} // namespace httpd
