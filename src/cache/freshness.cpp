/* Whether a cache entry still describes the file on disk.
 *
 * An entry holds the file's identity (device, inode) and status (change
 * time to the nanosecond, size) as they were when it was compiled; any
 * difference makes it stale. That alone misses one case: the system stamps
 * change times from a clock that advances in ticks, so a rewrite of the
 * same size within the tick in which the file was compiled keeps every
 * field. An entry made from a file that changed so recently is "racy": it
 * also records a hash of the very bytes the compiler read, and each hit
 * compares the file's content until the tick is surely over; then the
 * change time alone tells again. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "cache.h"

/* The longest clock tick a change time may fall behind by, with room to
 * spare; filesystems that keep whole seconds only (the nanoseconds are 0)
 * get two seconds. */
#define BRISKO_RACY_NS 50000000L
#define BRISKO_RACY_WHOLE_SECONDS_NS 2000000000L

static uint64_t brisko_hash_bytes(const char *bytes, size_t length)
{
    uint64_t h = 14695981039346656037ull; /* FNV-1a, 64 bits */
    for (size_t i = 0; i < length; i++) {
        h ^= (unsigned char)bytes[i];
        h *= 1099511628211ull;
    }
    return h;
}

/* Whether a change at `status` is too recent to be told from a rewrite in
 * the same tick. */
int brisko_change_is_recent(const struct stat *status)
{
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    long long window = status->st_ctim.tv_nsec == 0 ? BRISKO_RACY_WHOLE_SECONDS_NS : BRISKO_RACY_NS;
    long long age = ((long long)now.tv_sec - (long long)status->st_ctim.tv_sec) * 1000000000LL +
                    ((long long)now.tv_nsec - (long long)status->st_ctim.tv_nsec);
    return age < window;
}

/* The whole content of a stream, in request memory (a fatal error in the
 * compilation that follows cannot leak it). NULL when it cannot be read. */
char *brisko_read_stream(FILE *fp, size_t *length)
{
    size_t size = 0, capacity = 8192;
    char *buffer = (char *)_emalloc(capacity);
    for (;;) {
        size_t n = fread(buffer + size, 1, capacity - size, fp);
        size += n;
        if (size < capacity) {
            if (ferror(fp)) {
                _efree(buffer);
                return NULL;
            }
            break;
        }
        capacity *= 2;
        buffer = (char *)_erealloc(buffer, capacity, 0);
    }
    *length = size;
    return buffer;
}

uint64_t brisko_content_hash(const char *bytes, size_t length)
{
    return brisko_hash_bytes(bytes, length);
}

static int brisko_same_content(const brisko_file_entry *entry)
{
    FILE *fp = fopen(entry->path, "rb");
    if (fp == NULL)
        return 0;
    size_t length = 0;
    char *content = brisko_read_stream(fp, &length);
    fclose(fp);
    if (content == NULL)
        return 0;
    int same = (off_t)length == entry->size && brisko_hash_bytes(content, length) == entry->content_hash;
    _efree(content);
    return same;
}

int brisko_entry_current(brisko_file_entry *entry, const struct stat *status)
{
    if (entry->ctime != status->st_ctime || entry->ctime_nsec != status->st_ctim.tv_nsec ||
        entry->size != status->st_size || entry->dev != status->st_dev || entry->ino != status->st_ino)
        return 0;
    if (!entry->racy)
        return 1;
    if (!brisko_same_content(entry))
        return 0;
    /* Once the tick is over, a rewrite would show in the change time. */
    if (!brisko_change_is_recent(status))
        entry->racy = 0;
    return 1;
}
