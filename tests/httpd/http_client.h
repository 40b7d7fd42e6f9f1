/* What the server tests share: a brisko-httpd started on a free loopback
 * port with a document root of the test's making, and a small HTTP client
 * that sends raw bytes and reads responses through Beast's parser, with a
 * time limit on every wait. */
#ifndef BRISKO_TESTS_HTTP_CLIENT_H
#define BRISKO_TESTS_HTTP_CLIENT_H

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <boost/asio/buffer.hpp>
#include <boost/asio/error.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>

namespace httpd_test {

namespace beast = boost::beast;
namespace http = boost::beast::http;
namespace fs = std::filesystem;
using error_code = boost::system::error_code;

/* A blocking socket whose every wait ends after timeout_ms. */
class timed_stream {
public:
    explicit timed_stream(int fd, int timeout_ms) : fd_(fd), timeout_ms_(timeout_ms) {}

    template <class Buffers> std::size_t read_some(const Buffers &buffers, error_code &ec)
    {
        ec = {};
        auto it = boost::asio::buffer_sequence_begin(buffers);
        boost::asio::mutable_buffer b = *it;
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, timeout_ms_) <= 0) {
            ec = boost::asio::error::timed_out;
            return 0;
        }
        ssize_t n = ::recv(fd_, b.data(), b.size(), 0);
        if (n == 0)
            ec = boost::asio::error::eof;
        else if (n < 0)
            ec = error_code(errno, boost::system::system_category());
        return n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    template <class Buffers> std::size_t read_some(const Buffers &buffers)
    {
        error_code ec;
        std::size_t n = read_some(buffers, ec);
        if (ec)
            throw boost::system::system_error(ec);
        return n;
    }

private:
    int fd_;
    int timeout_ms_;
};

struct response {
    unsigned status = 0;
    std::string reason;
    std::vector<std::pair<std::string, std::string>> fields;
    std::string body;
    bool keep_alive = false;
    int version = 11;

    /* The value of the first field of that name (case-insensitive), "" when none. */
    std::string operator[](const std::string &name) const
    {
        for (const auto &f : fields)
            if (beast::iequals(f.first, name))
                return f.second;
        return "";
    }
    bool has(const std::string &name) const
    {
        for (const auto &f : fields)
            if (beast::iequals(f.first, name))
                return true;
        return false;
    }
    int count(const std::string &name) const
    {
        int n = 0;
        for (const auto &f : fields)
            n += beast::iequals(f.first, name) ? 1 : 0;
        return n;
    }
};

/* One client connection to 127.0.0.1:port. */
class connection {
public:
    explicit connection(int port, int timeout_ms = 15000) : timeout_ms_(timeout_ms)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0)
            throw std::runtime_error(std::string("connect: ") + std::strerror(errno));
        int one = 1;
        setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    ~connection() { ::close(fd_); }
    connection(const connection &) = delete;
    connection &operator=(const connection &) = delete;

    /* false when the server closed or reset the connection. */
    bool send(const std::string &bytes)
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    /* The next response; nothing when the connection ended (or the wait
     * timed out) before a complete one. head: the request was HEAD. */
    std::optional<response> read(bool head = false)
    {
        timed_stream stream(fd_, timeout_ms_);
        http::response_parser<http::string_body> parser;
        parser.skip(head);
        parser.body_limit(64u << 20);
        error_code ec;
        http::read(stream, buffer_, parser, ec);
        if (ec) {
            last_error = ec;
            return std::nullopt;
        }
        const auto &msg = parser.get();
        response r;
        r.status = msg.result_int();
        r.reason = std::string(msg.reason());
        r.version = msg.version();
        for (const auto &f : msg)
            r.fields.emplace_back(std::string(f.name_string()), std::string(f.value()));
        r.body = msg.body();
        r.keep_alive = msg.keep_alive();
        return r;
    }

    /* Waits for the server to close: true on end of file (or a reset)
     * within ms, with no further byte. */
    bool closed_within(int ms)
    {
        if (buffer_.size() > 0)
            return false;
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, ms) <= 0)
            return false;
        char c;
        return ::recv(fd_, &c, 1, 0) <= 0;
    }

    void shutdown_write() { ::shutdown(fd_, SHUT_WR); }

    error_code last_error;

private:
    int fd_ = -1;
    int timeout_ms_;
    beast::flat_buffer buffer_;
};

inline std::string get(const std::string &target, const std::string &extra = "")
{
    return "GET " + target + " HTTP/1.1\r\nHost: localhost\r\n" + extra + "\r\n";
}

inline std::string post(const std::string &target, const std::string &body,
                        const std::string &type = "application/x-www-form-urlencoded")
{
    return "POST " + target + " HTTP/1.1\r\nHost: localhost\r\nContent-Type: " + type +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

/* One request on a connection of its own. */
inline std::optional<response> fetch(int port, const std::string &raw, bool head = false)
{
    connection c(port);
    if (!c.send(raw))
        return std::nullopt;
    return c.read(head);
}

inline std::string read_file(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void write_file(const fs::path &path, const std::string &content)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

/* brisko-httpd running on a free port, in a scratch directory that holds
 * the document root ("root"), the logs and whatever else a test puts
 * there. Stopped (SIGTERM) when the object goes. */
class server {
public:
    fs::path dir;
    fs::path root;
    int port = 0;
    pid_t pid = -1;

    server()
    {
        std::string tmpl = (fs::temp_directory_path() / "httpd-test-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            throw std::runtime_error("mkdtemp");
        dir = tmpl;
        root = dir / "root";
        fs::create_directories(root);
    }
    ~server()
    {
        stop();
        std::error_code ec;
        if (!std::getenv("BRISKO_KEEP_TEST_FILES"))
            fs::remove_all(dir, ec);
    }
    server(const server &) = delete;
    server &operator=(const server &) = delete;

    void put(const std::string &relative, const std::string &content) { write_file(root / relative, content); }

    /* Starts the server with these extra arguments; throws when it does
     * not say where it listens within the time. */
    void start(const std::vector<std::string> &args)
    {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        std::vector<std::string> argv = {BRISKO_HTTPD_PATH,
                                         "--docroot",
                                         root.string(),
                                         "--listen",
                                         "127.0.0.1:0",
                                         "--access-log",
                                         (dir / "access.log").string(),
                                         "--error-log",
                                         (dir / "error.log").string()};
        argv.insert(argv.end(), args.begin(), args.end());
        pid = fork();
        if (pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            /* In the sanitizer build a SIGSEGV that a test sends must end
             * the worker as it would elsewhere, not as a sanitizer report. */
            const char *asan = std::getenv("ASAN_OPTIONS");
            std::string options = std::string(asan ? asan : "") + (asan && *asan ? ":" : "") + "handle_segv=0";
            setenv("ASAN_OPTIONS", options.c_str(), 1);
            std::vector<char *> cargv;
            for (std::string &a : argv)
                cargv.push_back(a.data());
            cargv.push_back(nullptr);
            execv(cargv[0], cargv.data());
            _exit(127);
        }
        ::close(out[1]);
        std::string line;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
            pollfd p{out[0], POLLIN, 0};
            if (poll(&p, 1, 1000) <= 0)
                continue;
            char buf[256];
            ssize_t n = ::read(out[0], buf, sizeof buf);
            if (n <= 0)
                break;
            line.append(buf, static_cast<std::size_t>(n));
        }
        ::close(out[0]);
        std::size_t at = line.find("http://127.0.0.1:");
        if (at == std::string::npos)
            throw std::runtime_error("brisko-httpd did not start: " + line + error_log());
        port = std::atoi(line.c_str() + at + 17);
    }

    /* SIGTERM and wait (at most timeout); the exit status, -1 if it had to
     * be killed. */
    int stop(int timeout_seconds = 30)
    {
        if (pid <= 0)
            return 0;
        kill(pid, SIGTERM);
        int status = 0;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                pid = -1;
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string error_log() const { return read_file(dir / "error.log"); }
    std::string access_log() const { return read_file(dir / "access.log"); }

    /* Waits until the error log contains text (at most ms). */
    bool error_log_has(const std::string &text, int ms = 10000) const
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        do {
            if (error_log().find(text) != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (std::chrono::steady_clock::now() < deadline);
        return false;
    }
};

} // namespace httpd_test

#endif
