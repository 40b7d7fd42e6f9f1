/* The native stack under deep recursion.
 *
 * Script calls, includes and eval() recurse on the C++ stack: each level
 * of the script costs a few frames of the executor. The engine sets no
 * limit on the script's depth; instead, before a call goes deeper it
 * checks how much of the running thread's stack is left. Below a reserve
 * (enough for any built-in function and for reporting an error) the call
 * continues on a fresh stack segment: a helper thread with a large stack
 * of its own, whose pages are only committed as the recursion touches
 * them, while the calling thread waits for it. One thread runs at a time,
 * so the engine's state needs no locking. A fatal error (or exit) thrown
 * on a segment is caught at its base and thrown again in the caller's
 * thread, so the request ends as it always does.
 *
 * The segments of one request are bounded; when they are used up the
 * call is a fatal error instead of a crash. Helper threads block every
 * signal, so signals keep going to the thread that runs the request. */
#include <pthread.h>
#include <signal.h>

#include <exception>

#include "executor/executor.h"

namespace zend::exec {

namespace {

constexpr std::size_t reserve = std::size_t(512) << 10;       /* left for built-ins and errors */
constexpr std::size_t segment_size = std::size_t(64) << 20;   /* each helper thread's stack */
constexpr int max_segments = 2;
constexpr std::size_t largest_main_stack = std::size_t(64) << 20; /* trusted of an unlimited main stack */

/* The address below which this thread's stack is too short to go on;
 * found on the first check in each thread. The engine library is loaded
 * with its program, so the cheap initial-exec access is safe. */
thread_local const char *stack_floor __attribute__((tls_model("initial-exec"))) = nullptr;
int segments_in_use = 0;

const char *find_floor() {
    pthread_attr_t attr;
    void *low = nullptr;
    std::size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
        pthread_attr_getstack(&attr, &low, &size);
        pthread_attr_destroy(&attr);
    }
    const char *top = low ? static_cast<const char *>(low) + size
                          : static_cast<const char *>(__builtin_frame_address(0));
    if (!low || size > largest_main_stack) size = largest_main_stack;
    if (size < 2 * reserve) size = 2 * reserve;
    return top - size + reserve;
}

struct segment_call {
    void (*fn)(void *);
    void *arg;
    std::exception_ptr failure;
};

void *segment_base(void *p) {
    auto *call = static_cast<segment_call *>(p);
    stack_floor = find_floor();
    try {
        call->fn(call->arg);
    } catch (...) {
        call->failure = std::current_exception();
    }
    return nullptr;
}

} // namespace

bool stack_is_low() {
    if (!stack_floor) stack_floor = find_floor();
    return static_cast<const char *>(__builtin_frame_address(0)) < stack_floor;
}

void run_on_new_stack(void (*fn)(void *), void *arg) {
    if (segments_in_use >= max_segments)
        zend_error(E_ERROR, "Maximum call stack size of %zu bytes reached. Infinite recursion?",
                   segment_size * (std::size_t)max_segments);
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, segment_size);
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous);
    segment_call call{fn, arg, nullptr};
    pthread_t thread;
    int started = pthread_create(&thread, &attr, segment_base, &call);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    pthread_attr_destroy(&attr);
    if (started != 0) zend_error(E_ERROR, "Out of memory for a deeper call stack");
    segments_in_use++;
    pthread_join(thread, nullptr);
    segments_in_use--;
    if (call.failure) std::rethrow_exception(call.failure);
}

} // namespace zend::exec
