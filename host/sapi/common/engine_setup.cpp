/* Settings and extension loading shared by brisko-php and brisko-httpd. */
#include <cerrno>
#include <cstdlib>
#include <unistd.h>

#include "engine.h"
#include "engine_setup.h"

namespace sapi {

namespace {

bool parse_flag(const std::string &value, bool &out)
{
    if (value == "1" || value == "On" || value == "on" || value == "true" || value == "yes") {
        out = true;
        return true;
    }
    if (value == "0" || value == "Off" || value == "off" || value == "false" || value == "no" || value.empty()) {
        out = false;
        return true;
    }
    return false;
}

bool parse_number(const std::string &value, long &out)
{
    if (value.empty())
        return false;
    char *end = nullptr;
    errno = 0;
    long v = std::strtol(value.c_str(), &end, 0);
    if (errno != 0 || *end != '\0')
        return false;
    out = v;
    return true;
}

} // namespace

std::string program_directory()
{
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return ".";
    std::string path(buf, static_cast<std::size_t>(n));
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

bool apply_setting(const std::string &name, const std::string &value)
{
    zend::settings_t &s = zend::settings;
    long number = 0;
    if (name == "include_path") {
        s.include_path = value;
    } else if (name == "error_reporting") {
        if (!parse_number(value, number))
            return false;
        s.error_reporting = static_cast<int>(number);
    } else if (name == "html_errors") {
        return parse_flag(value, s.html_errors);
    } else if (name == "register_globals") {
        return parse_flag(value, s.register_globals);
    } else if (name == "upload_max_filesize") {
        return zend::parse_byte_size(value, s.upload_max_filesize);
    } else if (name == "upload_tmp_dir") {
        s.upload_tmp_dir = value;
    } else if (name == "max_execution_time") {
        if (!parse_number(value, number) || number < 0)
            return false;
        s.max_execution_time = number;
    } else {
        return false;
    }
    return true;
}

std::vector<std::string> extension_paths(const std::vector<std::string> &given, bool none)
{
    std::vector<std::string> paths;
    for (const std::string &path : given)
        paths.push_back(path.find('/') == std::string::npos ? "./" + path : path);
    if (paths.empty() && !none)
        paths.push_back(program_directory() + "/php_brisko.so");
    return paths;
}

bool load_extensions(const std::vector<std::string> &paths, std::string &error)
{
    for (const std::string &path : paths)
        if (!zend::load_zend_extension(path, error))
            return false;
    return true;
}

} // namespace sapi
