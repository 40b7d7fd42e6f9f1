/* The request's output: zend_write appends to the innermost output
 * buffering level when a script started one, else to the request's output,
 * which goes to the sink at request end (or on an explicit flush). Keeping
 * the whole response until the end lets a server write it in full before
 * the request's end hooks run.
 *
 * Levels form a stack. Ending or flushing a level passes its text through
 * the level's handler (a script callable) when it has one, then writes the
 * result to the level below as if echoed there, so a chunked level below
 * may flush in turn. While a handler runs, writes are dropped: a handler's
 * own output would land in the text being handed over. Levels hold their
 * handler as a request-memory copy and are all gone at request end. */
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine.h"

namespace zend {
namespace {

void stdout_sink(const char *data, std::size_t length) {
    std::fwrite(data, 1, length, stdout);
    std::fflush(stdout);
}

output_sink sink = stdout_sink;

std::vector<output_level> levels;
int handler_depth = 0;       /* handlers running now */
bool implicit_flush = false; /* flush after every unbuffered write */

/* Appends to the innermost level, flushing it when a chunk is full, or to
 * the request's output. */
void write_out(const char *data, std::size_t length) {
    if (handler_depth > 0) return;
    if (levels.empty()) {
        output_buffer().append(data, length);
        if (implicit_flush) flush_output();
        return;
    }
    output_level &top = levels.back();
    top.text.append(data, length);
    if (top.chunk_size && top.text.size() >= top.chunk_size) end_output_level(true, true);
}

/* The handler's view of a level's text: its return value as a string,
 * or the text itself when it returns false or cannot be called. */
std::string handled_text(const output_level &level, int status) {
    if (!level.handler) return level.text;
    std::string original = level.text;
    zval *buffer, *flags;
    ALLOC_ZVAL(buffer);
    INIT_PZVAL(buffer);
    buffer->type = IS_STRING;
    buffer->value.str.len = (int)original.size();
    buffer->value.str.val = original.empty() ? empty_string : estrndup(original.data(), (uint)original.size());
    ALLOC_ZVAL(flags);
    INIT_PZVAL(flags);
    flags->type = IS_LONG;
    flags->value.lval = status;
    /* the handler value stays while it runs, whatever happens to the level */
    zval *handler = level.handler;
    handler->refcount++;
    struct guard {
        zval **values[3];
        ~guard() {
            handler_depth--;
            for (zval **v : values) zval_ptr_dtor(v);
        }
    } g{{&buffer, &flags, &handler}};
    handler_depth++;
    zval *argv[2] = {buffer, flags};
    zval *result = call_user_callable(handler, 2, argv);
    if (!result) return original;
    if (result->type == IS_BOOL && result->value.lval == 0) {
        zval_ptr_dtor(&result);
        return original;
    }
    zval copy = *result;
    zval_copy_ctor(&copy);
    convert_to_string(&copy);
    std::string text(copy.value.str.val, (std::size_t)copy.value.str.len);
    zval_dtor(&copy);
    zval_ptr_dtor(&result);
    return text;
}

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

void start_output_level(zval *handler, const std::string &name, std::size_t chunk_size, bool erase) {
    output_level level;
    if (handler) {
        ALLOC_ZVAL(level.handler);
        *level.handler = *handler;
        zval_copy_ctor(level.handler);
        INIT_PZVAL(level.handler);
    }
    level.name = name;
    level.chunk_size = chunk_size;
    level.erase = erase;
    levels.push_back(std::move(level));
}

void end_output_level(bool send, bool just_flush) {
    if (levels.empty()) return;
    std::size_t index = levels.size() - 1;
    int status = levels[index].status == 0 ? OUTPUT_HANDLER_START : 0;
    status |= just_flush ? OUTPUT_HANDLER_CONT : OUTPUT_HANDLER_END;
    std::string text = handled_text(levels[index], status);
    /* The handler may have ended levels itself; only a level still in
     * place is finished here. */
    if (index >= levels.size()) return;
    output_level level = std::move(levels[index]);
    levels.erase(levels.begin() + (long)index);
    level.status |= status;
    if (send) write_out(text.data(), text.size());
    if (just_flush) {
        level.text.clear();
        levels.insert(levels.begin() + (long)std::min(index, levels.size()), std::move(level));
    } else if (level.handler) {
        zval_ptr_dtor(&level.handler);
    }
}

void end_output_buffers() {
    while (!levels.empty()) end_output_level(true, false);
}

void abandon_output_levels() {
    for (output_level &level : levels)
        if (level.handler) zval_ptr_dtor(&level.handler);
    levels.clear();
}

void discard_output_buffers() {
    for (output_level &level : levels)
        if (level.handler) zval_ptr_dtor(&level.handler);
    levels.clear();
    handler_depth = 0;
    implicit_flush = false;
}

std::vector<output_level> &output_levels() { return levels; }

bool in_output_handler() { return handler_depth > 0; }

void set_implicit_flush(bool on) { implicit_flush = on; }

} // namespace zend

extern "C" ZEND_API int zend_write(const char *str, uint str_length) {
    if (str && str_length) zend::write_out(str, str_length);
    return (int)str_length;
}
