/* The request's time limit. A wall-clock interval timer (SIGALRM) only sets
 * a flag; the executor looks at the flag before every op and raises the
 * fatal error from ordinary code, so no handler ever unwinds through the
 * engine or an extension. The handler is installed without SA_RESTART:
 * sleep(), usleep() and other blocking calls return early when it fires,
 * and the next op ends the script.
 *
 * Invariant: the timer runs only between start_time_limit and
 * stop_time_limit; once it has fired it fires again every grace period. A
 * second firing that finds the flag still set means the script is stuck
 * inside one call (no op has run since): the process ends, and whoever
 * started it (the web server's master) replaces it. */
#include <sys/time.h>
#include <unistd.h>

#include "engine.h"

namespace zend {

volatile std::sig_atomic_t time_limit_expired = 0;

namespace {

constexpr long grace_seconds = 5;
long armed_seconds = 0; /* the limit the timer runs for; 0: none */
bool handler_installed = false;

void on_alarm(int)
{
    if (time_limit_expired) {
        static const char message[] =
            "Maximum execution time exceeded inside a call that does not return; ending the process\n";
        ssize_t ignored = write(STDERR_FILENO, message, sizeof message - 1);
        (void)ignored;
        _exit(124);
    }
    time_limit_expired = 1;
}

void set_timer(long seconds)
{
    itimerval timer{};
    timer.it_value.tv_sec = seconds;
    timer.it_interval.tv_sec = seconds > 0 ? grace_seconds : 0;
    setitimer(ITIMER_REAL, &timer, nullptr);
}

} // namespace

void start_time_limit(long seconds)
{
    if (!handler_installed && seconds > 0) {
        struct sigaction action {};
        action.sa_handler = on_alarm;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0; /* no SA_RESTART: blocking calls return */
        sigaction(SIGALRM, &action, nullptr);
        handler_installed = true;
    }
    armed_seconds = seconds > 0 ? seconds : 0;
    time_limit_expired = 0;
    if (handler_installed)
        set_timer(armed_seconds);
}

void stop_time_limit()
{
    if (handler_installed)
        set_timer(0);
    armed_seconds = 0;
    time_limit_expired = 0;
}

void time_limit_exceeded()
{
    /* A script that changed the setting since the timer started gets the
     * new limit from now on. */
    if (settings.max_execution_time != armed_seconds) {
        start_time_limit(settings.max_execution_time);
        return;
    }
    long seconds = armed_seconds;
    stop_time_limit();
    zend_error(E_ERROR, "Maximum execution time of %ld second%s exceeded", seconds, seconds == 1 ? "" : "s");
}

} // namespace zend
