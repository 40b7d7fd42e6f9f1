/* Host names and addresses (the resolver of the C library: the hosts file
 * and DNS, IPv4 addresses as PHP 4's functions give them), and mail(),
 * which has no delivery program to hand its message to here. */
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <string>
#include <vector>

#include "builtins.h"
#include "engine.h"

using namespace zend::builtins;

namespace {

/* The IPv4 addresses of a name, in the resolver's order, each once; none
 * when it has none or cannot be looked up (a NUL inside names nothing). */
std::vector<std::string> ipv4_addresses(const std::string &name)
{
    std::vector<std::string> found;
    if (name.find('\0') != std::string::npos)
        return found;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM; /* one entry per address */
    addrinfo *list = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &list) != 0)
        return found;
    for (addrinfo *a = list; a; a = a->ai_next) {
        char text[INET_ADDRSTRLEN];
        const auto *in = reinterpret_cast<const sockaddr_in *>(a->ai_addr);
        if (!inet_ntop(AF_INET, &in->sin_addr, text, sizeof text))
            continue;
        bool seen = false;
        for (const std::string &s : found)
            seen = seen || s == text;
        if (!seen)
            found.emplace_back(text);
    }
    freeaddrinfo(list);
    return found;
}

} // namespace

/* gethostbyname(name): the first IPv4 address, or the name unchanged. */
ZEND_FUNCTION(gethostbyname)
{
    std::string name;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &name))
        return;
    std::vector<std::string> addresses = ipv4_addresses(name);
    return_string(return_value, addresses.empty() ? name : addresses.front());
}

/* gethostbynamel(name): every IPv4 address, or false. */
ZEND_FUNCTION(gethostbynamel)
{
    std::string name;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &name))
        return;
    std::vector<std::string> addresses = ipv4_addresses(name);
    if (addresses.empty())
        RETURN_FALSE;
    array_init(return_value);
    for (const std::string &a : addresses)
        add_next_index_stringl(return_value, a.data(), static_cast<uint>(a.size()), 1);
}

/* gethostbyaddr(ip): the host's name, or the address when it has none. */
ZEND_FUNCTION(gethostbyaddr)
{
    std::string ip;
    if (!parse_args(ZEND_NUM_ARGS(), "s", &ip))
        return;
    sockaddr_storage address{};
    socklen_t length = 0;
    auto *v4 = reinterpret_cast<sockaddr_in *>(&address);
    auto *v6 = reinterpret_cast<sockaddr_in6 *>(&address);
    if (ip.find('\0') == std::string::npos && inet_pton(AF_INET6, ip.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        length = sizeof *v6;
    } else if (ip.find('\0') == std::string::npos && inet_pton(AF_INET, ip.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        length = sizeof *v4;
    } else {
        function_error(E_WARNING, "Address is not a valid IPv4 or IPv6 address");
        RETURN_FALSE;
    }
    char host[NI_MAXHOST];
    if (getnameinfo(reinterpret_cast<sockaddr *>(&address), length, host, sizeof host, nullptr, 0, NI_NAMEREQD) != 0 ||
        !host[0])
        return_string(return_value, ip);
    else
        RETURN_STRING(host, 1);
}

/* mail(to, subject, message [, headers [, parameters]]): this system has
 * no delivery program, so no message can leave: false, with the warning
 * PHP gives when it cannot run the program, rather than a silent false. */
ZEND_FUNCTION(mail)
{
    std::string to, subject, message, headers, parameters;
    if (!parse_args(ZEND_NUM_ARGS(), "sss|ss", &to, &subject, &message, &headers, &parameters))
        return;
    function_error(E_WARNING, "Could not execute mail delivery program '%s'", "/usr/sbin/sendmail -t -i");
    RETURN_FALSE;
}
