/* Memory of running frames: their temporaries and variable slot caches,
 * and the calls they have started.
 *
 * Both are stacks: a frame takes its block when it starts and gives it back
 * when it ends, a pending call lives from its INIT op to its DO_FCALL. They
 * grow in chunks that never move, so a frame may keep pointers into its
 * block (and a callee into its caller's pending call) while deeper frames
 * come and go. The first chunk of each is kept from request to request;
 * further chunks, which only deep recursion needs, are given back at
 * request end. */
#include <cstdlib>
#include <cstring>
#include <memory>

#include "executor/executor.h"

namespace zend::exec {

namespace {

constexpr std::size_t chunk_bytes = std::size_t(256) << 10;

struct chunk {
    char *memory;
    std::size_t size;
};

struct byte_stack {
    std::vector<chunk> chunks;
    std::size_t current = 0; /* chunk in use */
    std::size_t used = 0;    /* bytes of it in use */

    void *push(std::size_t bytes) {
        bytes = (bytes + 15) & ~std::size_t(15);
        if (!chunks.empty() && chunks[current].size - used >= bytes) {
            void *p = chunks[current].memory + used;
            used += bytes;
            return p;
        }
        /* the next chunk that is large enough; smaller ones in between are
         * skipped and stay for later frames */
        std::size_t next = chunks.empty() ? 0 : current + 1;
        while (next < chunks.size() && chunks[next].size < bytes) next++;
        if (next == chunks.size()) {
            std::size_t size = bytes > chunk_bytes ? bytes : chunk_bytes;
            char *memory = static_cast<char *>(std::aligned_alloc(16, size));
            if (!memory) zend_error(E_ERROR, "Out of memory for the call stack");
            chunks.push_back({memory, size});
        }
        current = next;
        used = bytes;
        return chunks[current].memory;
    }

    ~byte_stack() {
        for (auto &c : chunks) std::free(c.memory);
    }

    /* keeps the first chunk when it has the usual size */
    void shrink() {
        std::size_t keep = !chunks.empty() && chunks[0].size == chunk_bytes ? 1 : 0;
        for (std::size_t i = keep; i < chunks.size(); i++) std::free(chunks[i].memory);
        chunks.erase(chunks.begin() + (std::ptrdiff_t)keep, chunks.end());
        current = 0;
        used = 0;
    }
};

byte_stack frame_bytes;

/* Pending calls, in chunks of a fixed count. */
constexpr std::size_t calls_per_chunk = 64;
std::vector<std::unique_ptr<pending_call[]>> call_chunks;
std::size_t call_depth = 0;

} // namespace

frame_memory_mark frame_memory_top() { return {frame_bytes.current, frame_bytes.used}; }

void *frame_memory_push(std::size_t bytes) { return frame_bytes.push(bytes); }

void frame_memory_pop(frame_memory_mark mark) {
    frame_bytes.current = mark.chunk;
    frame_bytes.used = mark.used;
}

pending_call &push_pending_call() {
    std::size_t chunk = call_depth / calls_per_chunk;
    if (chunk == call_chunks.size()) call_chunks.emplace_back(new pending_call[calls_per_chunk]);
    pending_call &p = call_chunks[chunk][call_depth % calls_per_chunk];
    call_depth++;
    p.callable = false;
    p.object = nullptr;
    p.args.clear();
    return p;
}

void pop_pending_call() { call_depth--; }

std::size_t pending_call_depth() { return call_depth; }

pending_call &pending_call_at(std::size_t index) { return call_chunks[index / calls_per_chunk][index % calls_per_chunk]; }

void reset_frame_memory() {
    frame_bytes.shrink();
    call_depth = 0;
    if (call_chunks.size() > 1) call_chunks.erase(call_chunks.begin() + 1, call_chunks.end());
    for (auto &c : call_chunks)
        for (std::size_t i = 0; i < calls_per_chunk; i++) c[i].args.release_storage();
    reset_table_watch();
}

void argument_list::release_storage() {
    if (data != slots) std::free(data);
    data = slots;
    capacity = in_place;
    count = 0;
}

void argument_list::grow() {
    int wanted = capacity * 2;
    auto *bigger = static_cast<zval **>(std::malloc(sizeof(zval *) * (std::size_t)wanted));
    if (!bigger) zend_error(E_ERROR, "Out of memory for call arguments");
    std::memcpy(bigger, data, sizeof(zval *) * (std::size_t)count);
    if (data != slots) std::free(data);
    data = bigger;
    capacity = wanted;
}

/* ---- variable slots ---- */

zval **find_variable_slot(frame &f, std::uint32_t var) {
    if (f.slots_epoch != table_epoch) {
        std::memset(f.slots, 0, sizeof(zval **) * f.code->variables.size());
        f.slots_epoch = table_epoch;
    }
    const compiled_variable &v = f.code->variables[var];
    auto slot = reinterpret_cast<zval **>(hash_find_known(f.symbol_table, v.name, v.length, v.hash));
    f.slots[var] = slot;
    return slot;
}

zval **create_variable_slot(frame &f, std::uint32_t var) {
    if (zval **slot = variable_slot(f, var)) return slot;
    const compiled_variable &v = f.code->variables[var];
    zval *fresh = new_value();
    auto slot = reinterpret_cast<zval **>(hash_insert_known(f.symbol_table, v.name, v.length, v.hash, fresh));
    if (!slot) {
        zval_ptr_dtor(&fresh);
        zend_error(E_ERROR, "Out of memory");
    }
    f.slots[var] = slot;
    return slot;
}

} // namespace zend::exec
