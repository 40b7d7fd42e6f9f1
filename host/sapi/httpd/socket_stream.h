/* A connected socket as Beast's synchronous streams want it (read_some,
 * write_some), with the time limits a prefork worker needs: a worker
 * serves one connection at a time, so every wait must end.
 *
 * Phases: while the connection waits for a request, no byte of it has come
 * yet and the wait ends at the idle deadline, or early when the worker is
 * asked to stop (the only time a stop signal may cut a wait short). The
 * first byte starts the request: its header must be complete within the
 * header time. Once the header is in, each later read or write may wait
 * at most the transfer time for the peer. */
#ifndef BRISKO_HTTPD_SOCKET_STREAM_H
#define BRISKO_HTTPD_SOCKET_STREAM_H

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/uio.h>

#include <cerrno>
#include <chrono>
#include <cstddef>

#include <boost/asio/buffer.hpp>
#include <boost/asio/error.hpp>
#include <boost/beast/core/error.hpp>

namespace httpd {

using clock = std::chrono::steady_clock;
using error_code = boost::system::error_code;

/* Set by the stop signals' handler. */
extern volatile sig_atomic_t stop_requested;
/* The signal mask for waits that a stop may cut short. */
extern sigset_t idle_signal_mask;

/* The worker is to stop: asked already, or a stop signal is waiting (they
 * stay blocked while a request is served). */
bool stop_pending();

class socket_stream {
public:
    explicit socket_stream(int fd) : fd_(fd) {}

    /* Waits for a request: until idle_deadline for its first byte, then
     * header_time for the rest of its header. buffered: part of it has
     * already been read (a client that sends requests back to back). */
    void await_request(clock::time_point idle_deadline, std::chrono::seconds header_time, bool buffered)
    {
        mode_ = mode::awaiting;
        mark_ = buffered ? received_ - 1 : received_;
        header_started_ = false;
        deadline_ = idle_deadline;
        header_time_ = header_time;
    }

    /* From now on each wait for the peer may last at most transfer_time. */
    void begin_transfer(std::chrono::seconds transfer_time)
    {
        mode_ = mode::transfer;
        transfer_time_ = transfer_time;
    }

    /* Some byte of the awaited request has arrived. */
    bool request_started() const { return received_ > mark_; }

    int native_handle() const { return fd_; }

    template <class MutableBuffers> std::size_t read_some(const MutableBuffers &buffers, error_code &ec)
    {
        iovec iov[16];
        int count = fill(iov, boost::asio::buffer_sequence_begin(buffers), boost::asio::buffer_sequence_end(buffers));
        ec = {};
        if (count == 0)
            return 0;
        for (;;) {
            ssize_t n = readv(fd_, iov, count);
            if (n > 0) {
                received_ += static_cast<std::size_t>(n);
                return static_cast<std::size_t>(n);
            }
            if (n == 0) {
                ec = boost::asio::error::eof;
                return 0;
            }
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                ec = error_code(errno, boost::system::system_category());
                return 0;
            }
            if (!wait(POLLIN, ec))
                return 0;
        }
    }

    template <class MutableBuffers> std::size_t read_some(const MutableBuffers &buffers)
    {
        error_code ec;
        std::size_t n = read_some(buffers, ec);
        if (ec)
            throw boost::system::system_error(ec);
        return n;
    }

    template <class ConstBuffers> std::size_t write_some(const ConstBuffers &buffers, error_code &ec)
    {
        iovec iov[16];
        int count = fill(iov, boost::asio::buffer_sequence_begin(buffers), boost::asio::buffer_sequence_end(buffers));
        ec = {};
        if (count == 0)
            return 0;
        msghdr message{};
        message.msg_iov = iov;
        message.msg_iovlen = static_cast<std::size_t>(count);
        for (;;) {
            ssize_t n = sendmsg(fd_, &message, MSG_NOSIGNAL);
            if (n >= 0)
                return static_cast<std::size_t>(n);
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                ec = error_code(errno, boost::system::system_category());
                return 0;
            }
            if (!wait(POLLOUT, ec))
                return 0;
        }
    }

    template <class ConstBuffers> std::size_t write_some(const ConstBuffers &buffers)
    {
        error_code ec;
        std::size_t n = write_some(buffers, ec);
        if (ec)
            throw boost::system::system_error(ec);
        return n;
    }

private:
    enum class mode { awaiting, transfer };

    template <class Iterator> static int fill(iovec *iov, Iterator begin, Iterator end)
    {
        int count = 0;
        for (Iterator it = begin; it != end && count < 16; ++it) {
            auto buffer = *it;
            if (buffer.size() == 0)
                continue;
            iov[count].iov_base = const_cast<void *>(static_cast<const void *>(buffer.data()));
            iov[count].iov_len = buffer.size();
            count++;
        }
        return count;
    }

    /* Waits until the socket is ready for events; false with ec set when
     * the time is up or a stop cut an idle wait short. */
    bool wait(short events, error_code &ec)
    {
        for (;;) {
            clock::time_point now = clock::now();
            if (mode_ == mode::awaiting && request_started() && !header_started_) {
                header_started_ = true;
                deadline_ = now + header_time_;
            }
            bool idle = mode_ == mode::awaiting && !request_started();
            clock::time_point deadline = mode_ == mode::transfer ? now + transfer_time_ : deadline_;
            if (idle && stop_requested) {
                ec = boost::asio::error::operation_aborted;
                return false;
            }
            if (now >= deadline) {
                ec = boost::beast::error::timeout;
                return false;
            }
            auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - now);
            timespec timeout{static_cast<time_t>(left.count() / 1000000000),
                             static_cast<long>(left.count() % 1000000000)};
            pollfd p{fd_, events, 0};
            int r = ppoll(&p, 1, &timeout, idle ? &idle_signal_mask : nullptr);
            if (r > 0)
                return true;
            if (r < 0 && errno != EINTR) {
                ec = error_code(errno, boost::system::system_category());
                return false;
            }
        }
    }

    int fd_;
    mode mode_ = mode::transfer;
    std::size_t received_ = 0;  /* bytes read since the connection opened */
    std::size_t mark_ = 0;      /* received_ when the awaited request began */
    bool header_started_ = false;
    clock::time_point deadline_{};
    std::chrono::seconds header_time_{30};
    std::chrono::seconds transfer_time_{30};
};

} // namespace httpd

#endif
