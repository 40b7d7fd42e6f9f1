/* The per-request allocator.
 *
 * Nothing allocated during a request survives it, freed or not: the end of a
 * request releases every block in bulk. Two implementations share that
 * contract.
 *
 * The plain build carves blocks from chunks, by size class (Zend Engine 1
 * kept a cache of small blocks for the same reason): a small block is a
 * 16-byte header and a user part rounded up to its class; a freed small
 * block goes on its class's free list; large blocks come from the C
 * library, each on a list of live large blocks. At the end of a request the
 * free lists are dropped, the large blocks freed, and the chunks reset; the
 * chunks the request used are kept for the next one, any others freed, so
 * one big request costs memory only until the next ends. Under valgrind,
 * chunk memory that is not handed out is marked inaccessible, so a use of
 * request memory after the request (or after efree) is still reported.
 *
 * The sanitizer build (BRISKO_DEBUG_MEMORY) gives every block its own C
 * library allocation on one list of live blocks, released at request end,
 * so AddressSanitizer sees every use after free and after the request.
 *
 * Blocks handed out while no request is active (engine start-up) are
 * released at the end of the next request, or at engine shut-down if no
 * request follows. Code that needs memory across requests uses malloc (the
 * persistent variants), never this allocator.
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
#include <vector>

#include <sys/mman.h>

#if !defined(BRISKO_DEBUG_MEMORY) && __has_include(<valgrind/memcheck.h>)
#include <valgrind/memcheck.h>
/* A client request costs a dozen instructions and a few stack stores even
 * when valgrind is absent; the hot paths pay for it only under valgrind. */
static bool running_on_valgrind() { return RUNNING_ON_VALGRIND != 0; }
static const bool on_valgrind = running_on_valgrind();
#define BRISKO_VG(request) \
    do { \
        if (__builtin_expect(on_valgrind, 0)) (void)(request); \
    } while (0)
inline bool on_valgrind_active() { return __builtin_expect(on_valgrind, 0); }
#define MARK_NOACCESS(a, n) BRISKO_VG(VALGRIND_MAKE_MEM_NOACCESS(a, n))
#define MARK_UNDEFINED(a, n) BRISKO_VG(VALGRIND_MAKE_MEM_UNDEFINED(a, n))
#define MARK_DEFINED(a, n) BRISKO_VG(VALGRIND_MAKE_MEM_DEFINED(a, n))
#else
inline bool on_valgrind_active() { return false; }
#define MARK_NOACCESS(a, n) ((void)(a), (void)(n))
#define MARK_UNDEFINED(a, n) ((void)(a), (void)(n))
#define MARK_DEFINED(a, n) ((void)(a), (void)(n))
#endif

#include "core/allocator.h"
#include "engine.h"

extern "C" {
ZEND_API void *zend_fast_cache_list_head[MAX_FAST_CACHE_TYPES] = {nullptr, nullptr};
}

namespace {

constexpr std::uint32_t live_magic = 0x7a626c6bu;  /* "zblk" */
constexpr std::uint32_t freed_magic = 0x66726565u; /* "free" */
constexpr std::uint32_t large_class = 0xffffffffu;

/* Every block's header ends with its class and its magic, right before the
 * user part, so efree tells small from large blocks by the same words. */

/* A large block (and every block of the sanitizer build): its own C
 * library allocation on the list of live large blocks. 32 bytes, so the
 * user part keeps malloc's 16-byte alignment. */
struct alignas(16) large_header {
    large_header *prev;
    large_header *next;
    std::size_t size;
    std::uint32_t cls;
    std::uint32_t magic;
};
static_assert(sizeof(large_header) % 16 == 0, "header must keep alignment");

large_header sentinel = {&sentinel, &sentinel, 0, large_class, live_magic};
std::size_t live_blocks = 0;
std::size_t live_bytes = 0;

[[noreturn]] void out_of_memory() {
    zend_error(E_ERROR, "Out of memory");
    /* zend_error does not return for E_ERROR; keep the compiler sure of it. */
    zend_bailout();
}

/* A pointer that was not handed out here (or was freed already) is a bug in
 * the caller; going on would corrupt the allocator. */
[[noreturn]] void bad_block(const char *what, const void *p) {
    std::fprintf(stderr, "brisko engine: %s of a block not allocated by emalloc (%p)\n", what, p);
    std::abort();
}

inline std::uint32_t magic_of(const void *p) {
    std::uint32_t m;
    std::memcpy(&m, static_cast<const char *>(p) - 4, sizeof m);
    return m;
}
inline std::uint32_t class_of(const void *p) {
    std::uint32_t c;
    std::memcpy(&c, static_cast<const char *>(p) - 8, sizeof c);
    return c;
}

inline large_header *large_of(void *p) {
    return reinterpret_cast<large_header *>(static_cast<char *>(p) - sizeof(large_header));
}

void *allocate_large(std::size_t size, bool zero) {
    if (size > SIZE_MAX - sizeof(large_header)) out_of_memory();
    void *raw = zero ? std::calloc(1, sizeof(large_header) + size) : std::malloc(sizeof(large_header) + size);
    if (!raw) out_of_memory();
    auto *h = static_cast<large_header *>(raw);
    h->size = size;
    h->cls = large_class;
    h->magic = live_magic;
    h->prev = &sentinel;
    h->next = sentinel.next;
    sentinel.next->prev = h;
    sentinel.next = h;
    live_blocks++;
    live_bytes += size;
    return h + 1;
}

void free_large(void *p) {
    large_header *h = large_of(p);
    h->prev->next = h->next;
    h->next->prev = h->prev;
    h->magic = freed_magic;
    live_blocks--;
    live_bytes -= h->size;
    std::free(h);
}

void *reallocate_large(void *p, std::size_t size, bool allow_failure) {
    if (size > SIZE_MAX - sizeof(large_header)) {
        if (allow_failure) return nullptr;
        out_of_memory();
    }
    large_header *h = large_of(p);
    /* realloc may move the header: the neighbours must then point at its
     * new place. */
    large_header *prev = h->prev, *next = h->next;
    std::size_t old_size = h->size;
    void *raw = std::realloc(h, sizeof(large_header) + size);
    if (!raw) {
        if (allow_failure) return nullptr;
        out_of_memory();
    }
    auto *nh = static_cast<large_header *>(raw);
    prev->next = nh;
    next->prev = nh;
    nh->size = size;
    live_bytes = live_bytes - old_size + size;
    return nh + 1;
}

void release_large_blocks() {
    large_header *h = sentinel.next;
    while (h != &sentinel) {
        large_header *next = h->next;
        h->magic = freed_magic;
        std::free(h);
        h = next;
    }
    sentinel.next = sentinel.prev = &sentinel;
}

#ifndef BRISKO_DEBUG_MEMORY

/* A small block is an 8-byte header and a user part of its class's size,
 * 8-byte aligned (as Zend Engine 1 aligned its blocks). The header holds
 * the requested size above the class in its first word, which is never
 * large_class, and the magic in its second, so efree reads the same two
 * words in front of every block. A free block keeps the next block of its
 * class's free list in its user part. */
struct small_header {
    std::uint32_t word; /* (size << 8) | class */
    std::uint32_t magic;
};
static_assert(sizeof(small_header) == 8, "small header is 8 bytes");

/* User sizes of the classes: 8-byte steps to 256, then four classes per
 * doubling up to 4096. */
constexpr std::size_t class_sizes[] = {
    8,   16,  24,  32,  40,  48,  56,  64,  72,  80,  88,   96,   104,  112,  120,  128,
    136, 144, 152, 160, 168, 176, 184, 192, 200, 208, 216,  224,  232,  240,  248,  256,
    320, 384, 448, 512, 640, 768, 896, 1024, 1280, 1536, 1792, 2048, 2560, 3072, 3584, 4096};
constexpr std::size_t class_count = sizeof class_sizes / sizeof class_sizes[0];
constexpr std::size_t small_max = 4096;
constexpr std::size_t chunk_size = 256 * 1024;
static_assert(class_count <= 0xff, "a class fits the header's low byte");

struct class_table {
    unsigned char of[small_max / 8 + 1]; /* (size + 7) / 8 -> class */
    class_table() {
        std::size_t c = 0;
        for (std::size_t units = 0; units <= small_max / 8; units++) {
            while (class_sizes[c] < units * 8) c++;
            of[units] = (unsigned char)c;
        }
    }
};
const class_table classes;

inline std::size_t class_for(std::size_t size) { return classes.of[(size + 7) >> 3]; }
inline small_header *small_of(void *p) { return static_cast<small_header *>(p) - 1; }
inline std::size_t small_size(const small_header *h) { return h->word >> 8; }
inline std::size_t small_class(const small_header *h) { return h->word & 0xff; }
inline void *&next_free(void *user) { return *static_cast<void **>(user); }

void *free_lists[class_count]; /* user parts of free blocks */

/* Chunks, in the order they were first used; those before `chunks_used`
 * were used in this request, the one at chunks_used - 1 is being carved. */
std::vector<char *> chunks;
std::size_t chunks_used = 0;
char *bump = nullptr;
char *bump_end = nullptr;

/* Chunks are mapped from the system directly, so a chunk given back at the
 * end of a request really leaves the process. */
char *map_chunk() {
    void *chunk = mmap(nullptr, chunk_size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (chunk == MAP_FAILED) out_of_memory();
    MARK_NOACCESS(chunk, chunk_size);
    return static_cast<char *>(chunk);
}

char *next_chunk_space(std::size_t need) {
    if (chunks_used == chunks.size()) chunks.push_back(map_chunk());
    char *chunk = chunks[chunks_used++];
    bump = chunk + need;
    bump_end = chunk + chunk_size;
    return chunk;
}

inline void *mark_live(void *user, std::size_t size, std::size_t cls) {
    small_header *h = small_of(user);
    h->word = (std::uint32_t)(size << 8 | cls);
    h->magic = live_magic;
    live_blocks++;
    live_bytes += size;
    return user;
}

/* The common case of allocate: a small block taken from its free list,
 * without valgrind. NULL when the slow path must run. */
inline void *allocate_from_free_list(std::size_t size) {
    if (size > small_max || on_valgrind_active()) return nullptr;
    std::size_t cls = class_for(size);
    void *user = free_lists[cls];
    if (!user) return nullptr;
    free_lists[cls] = next_free(user);
    return mark_live(user, size, cls);
}

/* Puts the small block p on its class's free list. False when p is not a
 * small block. */
inline bool push_free(void *p) {
    if (class_of(p) == large_class) return false;
    small_header *h = small_of(p);
    std::size_t cls = small_class(h);
    if (cls >= class_count) bad_block("efree", p);
    live_blocks--;
    live_bytes -= small_size(h);
    h->magic = freed_magic;
    next_free(p) = free_lists[cls];
    free_lists[cls] = p;
    return true;
}

/* The common case of free_block, without valgrind. False when the slow
 * path must run. */
inline bool free_to_free_list(void *p) {
    if (on_valgrind_active()) return false;
    return push_free(p);
}

void *allocate(std::size_t size, bool zero) {
    if (size > small_max) return allocate_large(size, zero);
    std::size_t cls = class_for(size);
    std::size_t total = sizeof(small_header) + class_sizes[cls];
    char *user = static_cast<char *>(free_lists[cls]);
    if (user) {
        MARK_DEFINED(user, sizeof(void *));
        free_lists[cls] = next_free(user);
    } else if ((std::size_t)(bump_end - bump) >= total) {
        user = bump + sizeof(small_header);
        bump += total;
    } else {
        user = next_chunk_space(total) + sizeof(small_header);
    }
    MARK_UNDEFINED(user - sizeof(small_header), sizeof(small_header) + size);
    mark_live(user, size, cls);
    if (zero) std::memset(user, 0, size);
    return user;
}

void free_block(void *p) {
    /* The link goes where a block shorter than a pointer was not
     * accessible. */
    if (class_of(p) != large_class) MARK_UNDEFINED(p, sizeof(void *));
    if (!push_free(p)) {
        free_large(p);
        return;
    }
    MARK_NOACCESS(p, class_sizes[small_class(small_of(p))]);
}

void *reallocate(void *p, std::size_t size, bool allow_failure) {
    if (class_of(p) == large_class && size > small_max) return reallocate_large(p, size, allow_failure);
    std::size_t old_size = class_of(p) == large_class ? large_of(p)->size : small_size(small_of(p));
    if (class_of(p) != large_class) {
        small_header *h = small_of(p);
        if (size <= class_sizes[small_class(h)]) {
            MARK_UNDEFINED(static_cast<char *>(p) + old_size, size > old_size ? size - old_size : 0);
            live_bytes = live_bytes - old_size + size;
            h->word = (std::uint32_t)(size << 8 | small_class(h));
            return p;
        }
    }
    void *q = allocate(size, false);
    std::memcpy(q, p, old_size < size ? old_size : size);
    free_block(p);
    return q;
}

void release_small_blocks() {
    for (auto &head : free_lists) head = nullptr;
    /* Keep the chunks this request used for the next; give back the rest. */
    for (std::size_t i = chunks_used; i < chunks.size(); i++) munmap(chunks[i], chunk_size);
    chunks.resize(chunks_used);
    for (char *chunk : chunks) MARK_NOACCESS(chunk, chunk_size);
    chunks_used = 0;
    bump = bump_end = nullptr;
}

#else

void *allocate(std::size_t size, bool zero) { return allocate_large(size, zero); }
void free_block(void *p) { free_large(p); }
void *reallocate(void *p, std::size_t size, bool allow_failure) { return reallocate_large(p, size, allow_failure); }
void release_small_blocks() {}

#endif

} // namespace

extern "C" {

ZEND_API void *_emalloc(size_t size) {
#ifndef BRISKO_DEBUG_MEMORY
    if (void *p = allocate_from_free_list(size)) return p;
#endif
    return allocate(size, false);
}

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
    if (magic_of(ptr) != live_magic) bad_block("erealloc", ptr);
    return reallocate(ptr, size, allow_failure != 0);
}

ZEND_API void _efree(void *ptr) {
    /* The shared empty string is handed out as if it were a string block;
     * freeing it by mistake must not bring the request down. */
    if (!ptr || ptr == empty_string) return;
    if (magic_of(ptr) != live_magic) bad_block("efree", ptr);
#ifndef BRISKO_DEBUG_MEMORY
    if (free_to_free_list(ptr)) return;
#endif
    free_block(ptr);
}

ZEND_API char *_estrdup(const char *s) {
    std::size_t length = std::strlen(s);
    char *p = static_cast<char *>(_emalloc(length + 1));
    std::memcpy(p, s, length + 1);
    return p;
}

ZEND_API char *_estrndup(const char *s, uint length) {
    char *p = static_cast<char *>(_emalloc(std::size_t(length) + 1));
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
    release_large_blocks();
    release_small_blocks();
    live_blocks = 0;
    live_bytes = 0;
}

} // namespace zend
