/* Allocation targets and the request heap.
 *
 * A target is a pool, BK_TARGET_ENGINE (0: the engine's per-request
 * allocator) or BK_TARGET_REQUEST_HEAP (1). brisko_memdup and brisko_strdup
 * read 1 as 0: strings copied for request-heap records go to the engine.
 *
 * The request heap is a bump allocator over one reserved range of
 * BRISKO_HEAP_LIMIT bytes of address space, which bounds what one request
 * can take. Invariants:
 *   start <= top <= commit_end <= start + BRISKO_HEAP_LIMIT;
 *   top - start is a multiple of 8, and commit_end - start a multiple of
 *   the page size, so the room left (commit_end - top) is a multiple of 8;
 *   every record handed out in this request lies in [start, top), and its
 *   bit in the record map is set; no bit at or above the top is set.
 * The first BRISKO_HEAP_SIZE bytes (rounded to pages) are committed at
 * start-up; a request that outgrows them commits more in steps, and one
 * that would pass the limit gets NULL. The reset at request start is one
 * assignment, plus clearing the part of the record map the request used
 * and giving back to the system what lies past the nominal size and past
 * what the last two requests both used (at most BRISKO_HEAP_KEEP bytes):
 * a process that serves large pages one after another keeps their pages,
 * while a single huge request leaves nothing behind for the next one.
 * Nothing in the heap is cleared or freed one by one.
 */
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#include "php.h"
#include "brisko_alloc.h"

#if defined(__SANITIZE_ADDRESS__)
#define BRISKO_HEAP_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BRISKO_HEAP_ASAN 1
#endif
#endif

#ifdef BRISKO_HEAP_ASAN
#include <sanitizer/asan_interface.h>
#include <sanitizer/lsan_interface.h>
#endif

extern "C" {

char *brisko_heap_strage_ini = NULL;
char *brisko_heap_strage = NULL;
unsigned long brisko_heap_request = 0;

}

static char *brisko_heap_commit_end = NULL; /* first byte not yet readable/writable */
static char *brisko_heap_nominal_end = NULL; /* end of the part committed at start-up */
static size_t brisko_heap_last_used = 0; /* bytes the request before the last one used */
/* One bit per 8-byte slot of the heap (BRISKO_HEAP_LIMIT / 64 bytes of
 * address space, touched only as far as records go). */
static unsigned char *brisko_record_map = NULL;

/* Growth step once a request passes the nominal size. */
#define BRISKO_HEAP_GROW_STEP ((size_t)1 << 20)
#define BRISKO_RECORD_MAP_SIZE (BRISKO_HEAP_LIMIT / 64)

static size_t brisko_page_round(size_t n)
{
    size_t page = (size_t)sysconf(_SC_PAGESIZE);
    return (n + page - 1) & ~(page - 1);
}

/* Commits enough of the reservation for size more bytes above the top.
 * 0 on success, -1 when the limit (or the system) cannot hold them. */
static int brisko_heap_commit(size_t size)
{
    size_t used = (size_t)(brisko_heap_strage - brisko_heap_strage_ini);
    if (size > BRISKO_HEAP_LIMIT - used) return -1;
    size_t want = brisko_page_round(used + size);
    size_t have = (size_t)(brisko_heap_commit_end - brisko_heap_strage_ini);
    size_t grow = want - have;
    if (grow < BRISKO_HEAP_GROW_STEP) grow = BRISKO_HEAP_GROW_STEP;
    if (grow > BRISKO_HEAP_LIMIT - have) grow = BRISKO_HEAP_LIMIT - have;
    if (have + grow < want) return -1;
    if (mprotect(brisko_heap_commit_end, grow, PROT_READ | PROT_WRITE) != 0) return -1;
#ifdef BRISKO_HEAP_ASAN
    ASAN_POISON_MEMORY_REGION(brisko_heap_commit_end, grow);
#endif
    brisko_heap_commit_end += grow;
    return 0;
}

/* Clears the record map's bits of the heap bytes [from, to), both offsets
 * multiples of 8. */
static void brisko_record_map_clear(size_t from, size_t to)
{
    size_t a = from / 8, b = to / 8; /* slot numbers */
    while (a < b && a % 8 != 0) {
        brisko_record_map[a / 8] &= (unsigned char)~(1u << (a % 8));
        a++;
    }
    while (b > a && b % 8 != 0) {
        b--;
        brisko_record_map[b / 8] &= (unsigned char)~(1u << (b % 8));
    }
    if (b > a) memset(brisko_record_map + a / 8, 0, (b - a) / 8);
}

extern "C" {

int brisko_heap_create(void)
{
    if (brisko_heap_strage_ini != NULL) {
        brisko_heap_reset();
        return 0;
    }
    void *range = mmap(NULL, BRISKO_HEAP_LIMIT, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (range == MAP_FAILED) return -1;
    void *map = mmap(NULL, BRISKO_RECORD_MAP_SIZE, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                     -1, 0);
    size_t nominal = brisko_page_round(BRISKO_HEAP_SIZE);
    if (map == MAP_FAILED || mprotect(range, nominal, PROT_READ | PROT_WRITE) != 0) {
        if (map != MAP_FAILED) munmap(map, BRISKO_RECORD_MAP_SIZE);
        munmap(range, BRISKO_HEAP_LIMIT);
        return -1;
    }
    brisko_record_map = (unsigned char *)map;
    brisko_heap_strage_ini = brisko_heap_strage = (char *)range;
    brisko_heap_commit_end = brisko_heap_nominal_end = (char *)range + nominal;
    brisko_heap_request++;
#ifdef BRISKO_HEAP_ASAN
    /* Records in the heap point at pooled and engine memory; let the leak
     * checker see those pointers. Everything above the top is out of
     * bounds until it is handed out. */
    __lsan_register_root_region(range, BRISKO_HEAP_LIMIT);
    ASAN_POISON_MEMORY_REGION(range, nominal);
#endif
    return 0;
}

void brisko_heap_reset(void)
{
    char *high = brisko_heap_strage;
    if (high == NULL) return;
    size_t used = (size_t)(high - brisko_heap_strage_ini);
    brisko_heap_strage = brisko_heap_strage_ini;
    brisko_heap_request++;
    brisko_record_map_clear(0, used);
    /* Pages above the nominal size that the last two requests did not both
     * use go back to the system and become inaccessible until a request
     * needs them. */
    size_t kept = used < brisko_heap_last_used ? used : brisko_heap_last_used;
    if (kept > BRISKO_HEAP_KEEP) kept = BRISKO_HEAP_KEEP;
    kept = brisko_page_round(kept);
    brisko_heap_last_used = used;
    char *keep = brisko_heap_nominal_end;
    if (brisko_heap_strage_ini + kept > keep) keep = brisko_heap_strage_ini + kept;
    if (brisko_heap_commit_end > keep) {
        size_t excess = (size_t)(brisko_heap_commit_end - keep);
        madvise(keep, excess, MADV_DONTNEED);
        if (mprotect(keep, excess, PROT_NONE) == 0)
            brisko_heap_commit_end = keep;
    }
    size_t map_used = brisko_page_round(used / 64 + 1);
    size_t map_kept = brisko_page_round(kept / 64 + 1);
    if (map_used > map_kept) madvise(brisko_record_map + map_kept, map_used - map_kept, MADV_DONTNEED);
#ifdef BRISKO_HEAP_ASAN
    if (used > 0) ASAN_POISON_MEMORY_REGION(brisko_heap_strage_ini, used);
#endif
}

void *brisko_heap_malloc(size_t size)
{
    /* The room left is a multiple of 8, so size fitting in it means size
     * rounded up to 8 fits too. */
    if (__builtin_expect(size > (size_t)(brisko_heap_commit_end - brisko_heap_strage), 0)) {
        if (brisko_heap_strage == NULL || brisko_heap_commit(size) != 0) return NULL;
    }
    char *p = brisko_heap_strage;
    brisko_heap_strage += BRISKO_HEAP_ROUND(size);
#ifdef BRISKO_HEAP_ASAN
    ASAN_UNPOISON_MEMORY_REGION(p, (size_t)(brisko_heap_strage - p));
#endif
    return p;
}

size_t brisko_heap_room(void)
{
    if (brisko_heap_strage == NULL) return 0;
    return BRISKO_HEAP_LIMIT - (size_t)(brisko_heap_strage - brisko_heap_strage_ini);
}

void brisko_heap_release(char *mark)
{
    if (mark == NULL || mark < brisko_heap_strage_ini || mark >= brisko_heap_strage) return;
    size_t from = (size_t)(mark - brisko_heap_strage_ini);
    size_t to = (size_t)(brisko_heap_strage - brisko_heap_strage_ini);
    brisko_record_map_clear(from, to);
#ifdef BRISKO_HEAP_ASAN
    ASAN_POISON_MEMORY_REGION(mark, to - from);
#endif
    brisko_heap_strage = mark;
}

void brisko_heap_mark_record(const void *p)
{
    size_t slot = (size_t)((const char *)p - brisko_heap_strage_ini) / 8;
    brisko_record_map[slot / 8] |= (unsigned char)(1u << (slot % 8));
}

int brisko_heap_is_record(const void *p)
{
    const char *c = (const char *)p;
    if (brisko_record_map == NULL || c < brisko_heap_strage_ini || c >= brisko_heap_strage) return 0;
    size_t off = (size_t)(c - brisko_heap_strage_ini);
    if (off % 8 != 0) return 0;
    return (brisko_record_map[off / 64] >> ((off / 8) % 8)) & 1;
}

void *brisko_malloc(size_t size, bkpool *target)
{
    if (target == BK_TARGET_REQUEST_HEAP) return brisko_heap_malloc(size);
    if (target == BK_TARGET_ENGINE) return _emalloc(size);
    return bkpool_malloc(size, target);
}

void *brisko_memdup3(const void *src, size_t length, bkpool *target)
{
    void *p = brisko_malloc(length, target);
    if (p != NULL && length != 0) memcpy(p, src, length);
    return p;
}

void *brisko_memdup(const void *src, size_t length, bkpool *target)
{
    if (target == BK_TARGET_REQUEST_HEAP) target = BK_TARGET_ENGINE;
    return brisko_memdup3(src, length, target);
}

char *brisko_strdup(const char *s, bkpool *target)
{
    size_t n = strlen(s);
    if (target == BK_TARGET_REQUEST_HEAP) target = BK_TARGET_ENGINE;
    char *p = (char *)brisko_malloc(n + 1, target);
    if (p != NULL) {
        p[n] = '\0';
        memcpy(p, s, n);
    }
    return p;
}

void *brisko_calloc(int count, int size, bkpool *target)
{
    /* The product is taken as the documents define it (signed 32-bit); a
     * negative or overflowing one is refused rather than wrapped into a
     * huge size_t. */
    long long total = (long long)count * (long long)size;
    if (total < 0 || total > 0x7fffffffLL) return NULL;
    void *p = brisko_malloc((size_t)total, target);
    if (p != NULL && total != 0) memset(p, 0, (size_t)total);
    return p;
}

}
