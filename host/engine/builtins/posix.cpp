/* Process functions of the original engine's posix extension, and the
 * engine's compilation counter for scripts that want to show whether their
 * code came from a cache. */
#include <signal.h>
#include <unistd.h>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

/* posix_getpid(): the process id. */
ZEND_FUNCTION(posix_getpid)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    RETURN_LONG(static_cast<long>(getpid()));
}

/* posix_kill(pid, signal): true when the signal was sent. */
ZEND_FUNCTION(posix_kill)
{
    long pid, sig;
    if (!parse_args(ZEND_NUM_ARGS(), "ll", &pid, &sig))
        return;

    if (pid != static_cast<pid_t>(pid) || sig < 0 || sig > 64)
        RETURN_FALSE;
    RETURN_BOOL(kill(static_cast<pid_t>(pid), static_cast<int>(sig)) == 0);
}

/* zend_compilations(): how many times the engine's own compiler has run
 * in this request so far. A script that reads it before and after an
 * include learns whether the included file was compiled or came from a
 * cache; read first thing in a script, it tells the same of the script. */
ZEND_FUNCTION(zend_compilations)
{
    if (!parse_args(ZEND_NUM_ARGS(), ""))
        return;
    RETURN_LONG(static_cast<long>(zend::counters.compilations - zend::counters.compilations_at_request_start));
}
