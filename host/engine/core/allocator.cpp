/* The per-request allocator.
 *
 * Every block carries a header that links it into one doubly linked list of
 * live blocks. Freeing a block unlinks it; the end of a request walks the
 * list and gives back whatever is still there, so nothing allocated during a
 * request survives it, freed or not.
 *
 * Blocks handed out while no request is active (engine start-up) go into the
 * same list and are released at the end of the next request, or at engine
 * shut-down if no request follows. Code that needs memory across requests
 * uses malloc (the persistent variants), never this allocator.
 *
 * The free lists of value and table records hold blocks that are still live
 * (and counted); they are emptied before the blocks are released. With
 * BRISKO_DEBUG_MEMORY they stay empty: every free really frees, so the
 * sanitizers see any reuse of a freed record. */
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/allocator.h"
#include "engine.h"

extern "C" {
ZEND_API void *zend_fast_cache_list_head[MAX_FAST_CACHE_TYPES] = {nullptr, nullptr};
}

namespace {

constexpr std::uint32_t live_magic = 0x7a626c6bu;  /* "zblk" */
constexpr std::uint32_t freed_magic = 0x66726565u; /* "free" */

/* 32 bytes, so the user part keeps malloc's 16-byte alignment. */
struct alignas(16) block_header {
    block_header *prev;
    block_header *next;
    std::size_t size;
    std::uint32_t magic;
    std::uint32_t unused;
};
static_assert(sizeof(block_header) % 16 == 0, "header must keep alignment");

block_header sentinel = {&sentinel, &sentinel, 0, live_magic, 0};
std::size_t live_blocks = 0;
std::size_t live_bytes = 0;

inline block_header *header_of(void *p) {
    return reinterpret_cast<block_header *>(static_cast<char *>(p) - sizeof(block_header));
}
inline void *user_of(block_header *h) { return reinterpret_cast<char *>(h) + sizeof(block_header); }

void link(block_header *h, std::size_t size) {
    h->size = size;
    h->magic = live_magic;
    h->unused = 0;
    h->prev = &sentinel;
    h->next = sentinel.next;
    sentinel.next->prev = h;
    sentinel.next = h;
    live_blocks++;
    live_bytes += size;
}

void unlink(block_header *h) {
    h->prev->next = h->next;
    h->next->prev = h->prev;
    h->magic = freed_magic;
    live_blocks--;
    live_bytes -= h->size;
}

/* A pointer that was not handed out here (or was freed already) is a bug in
 * the caller; going on would corrupt the list. */
[[noreturn]] void bad_block(const char *what, void *p) {
    std::fprintf(stderr, "brisko engine: %s of a block not allocated by emalloc (%p)\n", what, p);
    std::abort();
}

[[noreturn]] void out_of_memory() {
    zend_error(E_ERROR, "Out of memory");
    /* zend_error does not return for E_ERROR; keep the compiler sure of it. */
    zend_bailout();
}

void *allocate(std::size_t size, bool zero) {
    if (size > SIZE_MAX - sizeof(block_header)) out_of_memory();
    void *raw = zero ? std::calloc(1, sizeof(block_header) + size) : std::malloc(sizeof(block_header) + size);
    if (!raw) out_of_memory();
    auto *h = static_cast<block_header *>(raw);
    link(h, size);
    return user_of(h);
}

} // namespace

extern "C" {

ZEND_API void *_emalloc(size_t size) { return allocate(size, false); }

ZEND_API void *_ecalloc(size_t nmemb, size_t size) {
    if (size != 0 && nmemb > SIZE_MAX / size) out_of_memory();
    return allocate(nmemb * size, true);
}

ZEND_API void *_erealloc(void *ptr, size_t size, int allow_failure) {
    if (!ptr) return allocate(size, false);
    if (ptr == empty_string) {
        char *p = static_cast<char *>(allocate(size, false));
        if (size) p[0] = '\0';
        return p;
    }
    block_header *h = header_of(ptr);
    if (h->magic != live_magic) bad_block("erealloc", ptr);
    if (size > SIZE_MAX - sizeof(block_header)) {
        if (allow_failure) return nullptr;
        out_of_memory();
    }
    /* Unlink first: realloc may move the header, and the neighbours must
     * then point at its new place. */
    block_header *prev = h->prev, *next = h->next;
    std::size_t old_size = h->size;
    void *raw = std::realloc(h, sizeof(block_header) + size);
    if (!raw) {
        if (allow_failure) return nullptr;
        out_of_memory();
    }
    auto *nh = static_cast<block_header *>(raw);
    prev->next = nh;
    next->prev = nh;
    nh->size = size;
    live_bytes = live_bytes - old_size + size;
    return user_of(nh);
}

ZEND_API void _efree(void *ptr) {
    /* The shared empty string is handed out as if it were a string block;
     * freeing it by mistake must not bring the request down. */
    if (!ptr || ptr == empty_string) return;
    block_header *h = header_of(ptr);
    if (h->magic != live_magic) bad_block("efree", ptr);
    unlink(h);
    std::free(h);
}

ZEND_API char *_estrdup(const char *s) {
    std::size_t length = std::strlen(s);
    char *p = static_cast<char *>(allocate(length + 1, false));
    std::memcpy(p, s, length + 1);
    return p;
}

ZEND_API char *_estrndup(const char *s, uint length) {
    char *p = static_cast<char *>(allocate(std::size_t(length) + 1, false));
    if (length) std::memcpy(p, s, length);
    p[length] = '\0';
    return p;
}

ZEND_API void zend_fast_free(void *p, int fc_type) {
    if (!p) return;
#ifdef BRISKO_DEBUG_MEMORY
    (void)fc_type;
    _efree(p);
#else
    if (fc_type < 0 || fc_type >= MAX_FAST_CACHE_TYPES) {
        _efree(p);
        return;
    }
    auto *entry = static_cast<zend_fast_cache_list_entry *>(p);
    entry->next = static_cast<zend_fast_cache_list_entry *>(zend_fast_cache_list_head[fc_type]);
    zend_fast_cache_list_head[fc_type] = entry;
#endif
}

} // extern "C"

namespace zend {

std::size_t request_memory_blocks() { return live_blocks; }
std::size_t request_memory_bytes() { return live_bytes; }

void release_request_memory() {
    for (auto &head : zend_fast_cache_list_head) head = nullptr;
    block_header *h = sentinel.next;
    while (h != &sentinel) {
        block_header *next = h->next;
        h->magic = freed_magic;
        std::free(h);
        h = next;
    }
    sentinel.next = sentinel.prev = &sentinel;
    live_blocks = 0;
    live_bytes = 0;
}

bool is_request_block(const void *p) {
    for (block_header *h = sentinel.next; h != &sentinel; h = h->next)
        if (user_of(h) == p) return true;
    return false;
}

} // namespace zend
