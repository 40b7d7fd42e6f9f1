/* The response headers a script builds with header() and setcookie(), kept
 * for the program that sends the response. The rules are the original
 * engine's: a line that starts with "HTTP/" is the status line and sets the
 * status code from the number after its first blank; "Location:" makes the
 * response a 302 unless a redirect status (300-307) or 201 is already set;
 * "WWW-Authenticate:" makes it a 401; a header replaces every earlier one of
 * the same name unless the script asks to add it. A line without a colon
 * is no header and is dropped. Reset at every request start. */
#include <cctype>
#include <cstdlib>

#include "engine.h"

namespace zend {

namespace {

response_headers current;

std::string lowercase_name(const std::string &line)
{
    std::string name = line.substr(0, line.find(':'));
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
        name.pop_back();
    for (char &c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

void update_status(int status)
{
    if (status != current.status)
        current.status_line.clear();
    current.status = status;
}

/* The number after the first blank that is not followed by another one;
 * 200 when there is none. */
int status_of_line(const std::string &line)
{
    for (std::size_t i = 0; i + 1 < line.size(); i++)
        if (line[i] == ' ' && line[i + 1] != ' ')
            return std::atoi(line.c_str() + i + 1);
    return 200;
}

bool starts_with_nocase(const std::string &s, const char *prefix)
{
    for (std::size_t i = 0; prefix[i]; i++)
        if (i >= s.size() || std::tolower(static_cast<unsigned char>(s[i])) != prefix[i])
            return false;
    return true;
}

} // namespace

response_headers &response()
{
    return current;
}

void reset_response()
{
    current = response_headers{};
}

bool add_response_header(std::string line, bool replace, long status)
{
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    if (line.find_first_of("\r\n") != std::string::npos) {
        zend_error(E_WARNING, "Header may not contain more than a single header, new line detected.");
        return false;
    }
    if (line.find('\0') != std::string::npos) {
        zend_error(E_WARNING, "Header may not contain NUL bytes");
        return false;
    }
    if (starts_with_nocase(line, "http/")) {
        update_status(status_of_line(line));
        current.status_line = line;
        if (status > 0)
            update_status(static_cast<int>(status));
        return true;
    }
    std::size_t colon = line.find(':');
    if (colon != std::string::npos) {
        std::string name = lowercase_name(line);
        if (name == "location") {
            if ((current.status < 300 || current.status > 307) && current.status != 201)
                update_status(302);
        } else if (name == "www-authenticate") {
            update_status(401);
        }
        if (replace) {
            std::vector<std::string> &lines = current.lines;
            for (std::size_t i = 0; i < lines.size();)
                if (lowercase_name(lines[i]) == name)
                    lines.erase(lines.begin() + static_cast<long>(i));
                else
                    i++;
        }
        current.lines.push_back(std::move(line));
    }
    if (status > 0)
        update_status(static_cast<int>(status));
    return true;
}

} // namespace zend
