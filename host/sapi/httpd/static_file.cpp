/* Static files: sent from the file with its content type, length and
 * modification time; a request that already has this version (same
 * If-Modified-Since) gets 304 without a body. Only GET and HEAD. */
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include <boost/beast/core/file.hpp>
#include <boost/beast/http/file_body.hpp>

#include "exchange.h"
#include "resolve.h"
#include "serve.h"

namespace httpd {

void serve_file(exchange &ex, const resolved &target)
{
    http::verb method = ex.request.method();
    if (method != http::verb::get && method != http::verb::head) {
        http::response<http::string_body> res;
        res.result(http::status::method_not_allowed);
        res.set(http::field::allow, "GET, HEAD");
        res.set(http::field::content_type, "text/html");
        res.body() = "<!DOCTYPE html>\n<html><head><title>405 Method Not Allowed</title></head><body>\n"
                     "<h1>Method Not Allowed</h1>\n</body></html>\n";
        send(ex, res);
        return;
    }
    int fd = ::open(target.path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        send_error(ex, errno == ENOENT ? http::status::not_found : http::status::forbidden, false);
        return;
    }
    std::string modified = http_date(st.st_mtime);
    if (ex.request[http::field::if_modified_since] == modified) {
        ::close(fd);
        http::response<http::string_body> res;
        res.result(http::status::not_modified);
        res.set(http::field::last_modified, modified);
        res.content_length(static_cast<std::uint64_t>(st.st_size));
        send(ex, res);
        return;
    }

    boost::beast::file file;
    file.native_handle(fd); /* the file closes it */
    http::response<http::file_body> res;
    error_code ec;
    res.body().reset(std::move(file), ec);
    if (ec) {
        send_error(ex, http::status::internal_server_error);
        return;
    }
    res.version(ex.request.version() == 10 ? 10 : 11);
    res.result(http::status::ok);
    res.set(http::field::date, http_date(std::time(nullptr)));
    res.set(http::field::server, server_name);
    res.set(http::field::content_type, content_type_of(target.path));
    res.set(http::field::last_modified, modified);
    res.keep_alive(ex.keep_alive);
    res.prepare_payload();
    ex.status = 200;
    ex.sent = true;
    bool head = method == http::verb::head;
    ex.body_bytes = head ? 0 : res.body().size();
    http::response_serializer<http::file_body> serializer(res);
    if (head)
        http::write_header(*ex.stream, serializer, ec);
    else
        http::write(*ex.stream, serializer, ec);
    if (ec) {
        ex.write_failed = true;
        ex.keep_alive = false;
    }
}

} // namespace httpd
