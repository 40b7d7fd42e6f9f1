/* Access and error logs. Text that comes from the client is escaped as the
 * combined format's readers expect: quotes and backslashes get a
 * backslash, other bytes outside printable ASCII become \xHH. */
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "logs.h"

namespace httpd::logs {

namespace {

int access_fd = STDOUT_FILENO;
int errors_fd = STDERR_FILENO;

bool open_log(const std::string &path, int &fd, std::string &error)
{
    if (path.empty())
        return true;
    int f = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (f < 0) {
        error = "cannot open log " + path + ": " + std::strerror(errno);
        return false;
    }
    fd = f;
    return true;
}

void write_line(int fd, const std::string &line)
{
    const char *p = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

std::string escaped(const std::string &text)
{
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c >= 0x7f) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

} // namespace

bool open(const std::string &access_path, const std::string &error_path, std::string &error)
{
    return open_log(access_path, access_fd, error) && open_log(error_path, errors_fd, error);
}

int error_fd()
{
    return errors_fd;
}

void error(const char *level, const std::string &message, const std::string &client)
{
    time_t now = std::time(nullptr);
    struct tm tm;
    localtime_r(&now, &tm);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "[%a %b %d %H:%M:%S %Y]", &tm);
    std::string line = std::string(stamp) + " [" + level + "] ";
    if (!client.empty())
        line += "[client " + client + "] ";
    for (char c : message) /* one entry, one line */
        line += (c == '\n' || c == '\r') ? ' ' : c;
    line += '\n';
    write_line(errors_fd, line);
}

void access(const access_entry &entry)
{
    time_t now = std::time(nullptr);
    struct tm tm;
    localtime_r(&now, &tm);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "[%d/%b/%Y:%H:%M:%S %z]", &tm);
    std::string line = entry.client + " - - " + stamp + " \"" + escaped(entry.request_line) + "\" " +
                       std::to_string(entry.status) + " " +
                       (entry.body_bytes ? std::to_string(entry.body_bytes) : std::string("-")) + " \"" +
                       (entry.referer.empty() ? std::string("-") : escaped(entry.referer)) + "\" \"" +
                       (entry.user_agent.empty() ? std::string("-") : escaped(entry.user_agent)) + "\"\n";
    write_line(access_fd, line);
}

} // namespace httpd::logs
