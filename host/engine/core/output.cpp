/* The request's output: zend_write appends to one buffer, which goes to the
 * sink at request end (or on an explicit flush). Keeping the whole response
 * until the end lets a server write it in full before the request's end
 * hooks run. */
#include <cstdio>
#include <string>

#include "engine.h"

namespace zend {
namespace {

void stdout_sink(const char *data, std::size_t length) {
    std::fwrite(data, 1, length, stdout);
    std::fflush(stdout);
}

output_sink sink = stdout_sink;

} // namespace

std::string &output_buffer() {
    static std::string buffer;
    return buffer;
}

void set_output_sink(output_sink s) { sink = s ? s : stdout_sink; }

void flush_output() {
    std::string &buffer = output_buffer();
    if (buffer.empty()) return;
    /* Clear before handing over, so a sink that writes again cannot see
     * the same text twice. */
    std::string text;
    text.swap(buffer);
    sink(text.data(), text.size());
}

} // namespace zend

extern "C" ZEND_API int zend_write(const char *str, uint str_length) {
    if (str && str_length) zend::output_buffer().append(str, str_length);
    return (int)str_length;
}
