/* The master process: keeps the configured number of workers alive and
 * logs why each one ended. It never runs a script.
 *
 * SIGTERM or SIGINT: every worker is asked to stop (each finishes the
 * request it is serving); those still there after the shutdown timeout are
 * killed; then the master exits. SIGHUP: every worker is asked to stop and
 * a fresh set is started at once; the old ones are not replaced when they
 * end. A worker that ends otherwise (the extension ends a worker after its
 * last request, a crash) is replaced at once, or after a second when it
 * failed within a second of starting, so that a worker that cannot live
 * does not make the master spin. */
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <map>

#include "logs.h"
#include "socket_stream.h"
#include "worker.h"

namespace httpd {

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

struct worker_record {
    clock::time_point started;
    bool retiring = false; /* asked to stop, not to be replaced */
};

std::map<pid_t, worker_record> workers;

bool spawn(const config &cfg, int listen_fd)
{
    pid_t master = getpid();
    pid_t pid = fork();
    if (pid == 0)
        worker_main(cfg, listen_fd, master);
    if (pid < 0) {
        logs::error("error", std::string("cannot start a worker: ") + std::strerror(errno));
        return false;
    }
    workers[pid] = worker_record{clock::now(), false};
    return true;
}

std::string exit_reason(int status)
{
    if (WIFEXITED(status))
        return "exited with status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) {
        int sig = WTERMSIG(status);
        std::string reason = "was killed by signal " + std::to_string(sig) + " (" + strsignal(sig) + ")";
        if (WCOREDUMP(status))
            reason += ", core dumped";
        return reason;
    }
    return "ended with wait status " + std::to_string(status);
}

bool normal_exit(int status)
{
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void signal_all(int sig)
{
    for (const auto &w : workers)
        kill(w.first, sig);
}

} // namespace

int master_main(const config &cfg, int listen_fd)
{
    sigset_t signals;
    sigemptyset(&signals);
    for (int sig : {SIGCHLD, SIGTERM, SIGINT, SIGHUP})
        sigaddset(&signals, sig);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    logs::error("notice", std::string(server_software) + " master " + std::to_string(getpid()) + " serving " +
                              cfg.docroot + " with " + std::to_string(cfg.workers) +
                              (cfg.workers == 1 ? " worker" : " workers"));
    bool stopping = false;
    int status = 0;
    int deferred = 0; /* workers waiting for respawn_at to be started */
    clock::time_point respawn_at{};
    for (int i = 0; i < cfg.workers; i++)
        if (!spawn(cfg, listen_fd))
            deferred++;
    clock::time_point kill_at{};
    for (;;) {
        int wait_status;
        pid_t pid;
        while ((pid = waitpid(-1, &wait_status, WNOHANG)) > 0) {
            auto it = workers.find(pid);
            if (it == workers.end())
                continue;
            worker_record record = it->second;
            workers.erase(it);
            std::string who = "worker " + std::to_string(pid) + " " + exit_reason(wait_status);
            if (WIFEXITED(wait_status) && WEXITSTATUS(wait_status) == worker_startup_failed) {
                logs::error("error", who + ": it could not start; stopping the server");
                if (!stopping) {
                    stopping = true;
                    status = 1;
                    kill_at = clock::now() + seconds(cfg.shutdown_timeout);
                    signal_all(SIGTERM);
                }
            } else if (stopping || record.retiring) {
                logs::error("notice", who);
            } else if (!normal_exit(wait_status) && clock::now() - record.started < seconds(1)) {
                logs::error("error", who + " within a second of starting; starting another in a second");
                deferred++;
                respawn_at = clock::now() + seconds(1);
            } else {
                logs::error(normal_exit(wait_status) ? "notice" : "error", who + "; starting another");
                if (!spawn(cfg, listen_fd)) {
                    deferred++;
                    respawn_at = clock::now() + seconds(1);
                }
            }
        }
        if (stopping && workers.empty())
            break;
        clock::time_point now = clock::now();
        if (!stopping && deferred > 0 && now >= respawn_at) {
            for (; deferred > 0; deferred--)
                if (!spawn(cfg, listen_fd)) { /* no process to be had: try again in a second */
                    respawn_at = now + seconds(1);
                    break;
                }
        }
        if (stopping && now >= kill_at) {
            logs::error("notice", std::to_string(workers.size()) + " workers did not stop in time; killing them");
            signal_all(SIGKILL);
            kill_at = now + seconds(cfg.shutdown_timeout);
        }

        timespec tick{0, 200 * 1000 * 1000};
        siginfo_t info;
        int sig = sigtimedwait(&signals, &info, &tick);
        if ((sig == SIGTERM || sig == SIGINT) && !stopping) {
            logs::error("notice", std::string("stopping (") + strsignal(sig) + ")");
            stopping = true;
            deferred = 0;
            kill_at = clock::now() + seconds(cfg.shutdown_timeout);
            signal_all(SIGTERM);
        } else if (sig == SIGHUP && !stopping) {
            logs::error("notice", "restarting the workers gracefully");
            for (auto &w : workers)
                if (!w.second.retiring) {
                    w.second.retiring = true;
                    kill(w.first, SIGTERM);
                }
            for (int i = 0; i < cfg.workers; i++)
                if (!spawn(cfg, listen_fd))
                    deferred++;
        }
    }
    logs::error("notice", "stopped");
    return status;
}

} // namespace httpd
