/* brisko-httpd: a prefork web server for the engine. The master binds the
 * listening address, prints where it serves, and keeps the workers; each
 * worker runs the engine (with php_brisko.so unless told otherwise) and
 * serves one connection at a time.
 *
 *   brisko-httpd --docroot DIR [--listen 127.0.0.1:8080] [--workers N]
 *                [-z EXT | -n] [--access-log FILE] [--error-log FILE]
 *                [-d name=value]...
 *
 * Port 0 picks a free port; the line printed on standard output names it. */
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SAPI.h"
#include "command_line.h"
#include "engine.h"
#include "engine_setup.h"
#include "logs.h"
#include "worker.h"

namespace {

using httpd::config;

/* "host:port", "[v6]:port", ":port" or "port" into host and port. */
bool split_address(const std::string &text, std::string &host, std::string &port)
{
    std::size_t colon = text.rfind(':');
    if (!text.empty() && text[0] == '[') {
        std::size_t close = text.find(']');
        if (close == std::string::npos || close + 1 >= text.size() || text[close + 1] != ':')
            return false;
        host = text.substr(1, close - 1);
        port = text.substr(close + 2);
    } else if (colon == std::string::npos) {
        host = "";
        port = text;
    } else {
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
    }
    return !port.empty() && port.find_first_not_of("0123456789") == std::string::npos;
}

/* A listening socket on the address; -1 with a message on failure. */
int listen_on(const std::string &address, std::string &shown, std::string &error)
{
    std::string host, port;
    if (!split_address(address, host, port)) {
        error = "--listen wants HOST:PORT, not \"" + address + "\"";
        return -1;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo *found = nullptr;
    int rc = getaddrinfo(host.empty() ? nullptr : host.c_str(), port.c_str(), &hints, &found);
    if (rc != 0) {
        error = "cannot resolve " + address + ": " + gai_strerror(rc);
        return -1;
    }
    int fd = -1;
    for (addrinfo *ai = found; ai && fd < 0; ai = ai->ai_next) {
        fd = socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, ai->ai_protocol);
        if (fd < 0)
            continue;
        int on = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (bind(fd, ai->ai_addr, ai->ai_addrlen) != 0 || listen(fd, 511) != 0) {
            error = "cannot listen on " + address + ": " + std::strerror(errno);
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    if (fd < 0)
        return -1;
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    getsockname(fd, reinterpret_cast<sockaddr *>(&bound), &length);
    char name[NI_MAXHOST], service[NI_MAXSERV];
    getnameinfo(reinterpret_cast<sockaddr *>(&bound), length, name, sizeof name, service, sizeof service,
                NI_NUMERICHOST | NI_NUMERICSERV);
    shown = bound.ss_family == AF_INET6 ? "[" + std::string(name) + "]:" + service : std::string(name) + ":" + service;
    return fd;
}

} // namespace

int main(int argc, char **argv)
{
    config cfg;
    sapi::engine_options engine;
    CLI::App app{"A prefork web server that runs PHP 4 scripts.", "brisko-httpd"};
    app.add_option("--docroot", cfg.docroot, "the document root (required)")->type_name("DIR")->required();
    app.add_option("--listen", cfg.listen, "address to listen on; port 0: any free one")
        ->type_name("HOST:PORT")
        ->capture_default_str();
    app.add_option("--workers", cfg.workers, "worker processes, 1 to 256")
        ->type_name("N")
        ->capture_default_str()
        ->check(CLI::Range(1, 256).description(""));
    sapi::add_engine_options(app, engine,
                             "max_execution_time (default 30), error_reporting, html_errors\n"
                             "(default on), include_path, register_globals, upload_max_filesize\n"
                             "or upload_tmp_dir (repeatable)");
    app.add_option("--access-log", cfg.access_log, "access log file (default: standard output)")->type_name("FILE");
    app.add_option("--error-log", cfg.error_log, "error log file (default: standard error)")->type_name("FILE");
    app.add_option("--max-requests", cfg.max_requests,
                   "script requests a worker serves before it is replaced;\n"
                   "0: no limit")
        ->type_name("N")
        ->capture_default_str();
    app.add_option("--keepalive-timeout", cfg.keepalive_timeout,
                   "seconds an idle kept-alive connection is kept, 1 to 3600")
        ->type_name("S")
        ->capture_default_str()
        ->check(CLI::Range(1, 3600).description(""));
    app.add_option("--timeout", cfg.io_timeout,
                   "seconds for a request header and for each wait on a client,\n"
                   "1 to 3600")
        ->type_name("S")
        ->capture_default_str()
        ->check(CLI::Range(1, 3600).description(""));
    app.add_option("--max-body", cfg.max_body, "largest request body")->type_name("BYTES")->capture_default_str();
    int exit_status = 0;
    if (!sapi::parse_command_line(app, "--docroot DIR [options]", argc, argv, exit_status))
        return exit_status;
    std::string error;
    if (!sapi::check_engine_options(engine, error))
        return sapi::command_line_error(app, error);
    cfg.extensions = engine.extensions;
    cfg.no_extensions = engine.no_extensions;

    char real[PATH_MAX];
    if (!realpath(cfg.docroot.c_str(), real)) {
        std::fprintf(stderr, "brisko-httpd: document root %s: %s\n", cfg.docroot.c_str(), std::strerror(errno));
        return 1;
    }
    cfg.docroot = real;
    if (cfg.docroot.size() > 1 && cfg.docroot.back() == '/')
        cfg.docroot.pop_back();

    /* The engine's settings for web requests, then the command line's. */
    static const std::string sapi_name = httpd::server_name; /* sapi_module keeps the pointer */
    sapi_module.name = sapi_name.c_str();
    sapi_module.pretty_name = "brisko-httpd prefork server";
    zend::settings.html_errors = true;
    zend::settings.max_execution_time = 30;
    for (const auto &[name, value] : engine.settings) {
        if (!sapi::apply_setting(name, value)) {
            std::fprintf(stderr, "brisko-httpd: bad setting -d %s=%s\n", name.c_str(), value.c_str());
            return 1;
        }
    }
    for (const std::string &path : sapi::extension_paths(cfg.extensions, cfg.no_extensions))
        if (access(path.c_str(), R_OK) != 0) {
            std::fprintf(stderr, "brisko-httpd: extension %s: %s\n", path.c_str(), std::strerror(errno));
            return 1;
        }

    if (!httpd::logs::open(cfg.access_log, cfg.error_log, error)) {
        std::fprintf(stderr, "brisko-httpd: %s\n", error.c_str());
        return 1;
    }
    std::string shown;
    int listen_fd = listen_on(cfg.listen, shown, error);
    if (listen_fd < 0) {
        std::fprintf(stderr, "brisko-httpd: %s\n", error.c_str());
        return 1;
    }
    std::printf("brisko-httpd: serving %s at http://%s/ with %d worker%s (master pid %d)\n", cfg.docroot.c_str(),
                shown.c_str(), cfg.workers, cfg.workers == 1 ? "" : "s", static_cast<int>(getpid()));
    std::fflush(stdout);
    return httpd::master_main(cfg, listen_fd);
}
