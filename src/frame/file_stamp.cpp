/* Whether what a cache made from a file still describes the file on disk.
 *
 * A stamp holds the file's identity (device, inode) and status (change
 * time to the nanosecond, size) as they were when it was read; any
 * difference makes it stale. That alone misses one case: the system stamps
 * change times from a clock that advances in ticks, so a rewrite of the
 * same size within the tick in which the file was compiled keeps every
 * field. A stamp of a file that changed so recently is "racy": it also
 * records a hash of the very bytes read, and each use compares the file's
 * content until the tick is surely over; then the change time alone tells
 * again. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "php.h"
#include "brisko_stamp.h"

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

static int brisko_same_content(const brisko_file_stamp *stamp, const char *path)
{
    FILE *fp = fopen(path, "rb");
    if (fp == NULL)
        return 0;
    size_t length = 0;
    char *content = brisko_read_stream(fp, &length);
    fclose(fp);
    if (content == NULL)
        return 0;
    int same = (off_t)length == stamp->size && brisko_hash_bytes(content, length) == stamp->content_hash;
    _efree(content);
    return same;
}

void brisko_stamp_set(brisko_file_stamp *stamp, const struct stat *status, int racy, uint64_t content_hash)
{
    stamp->ctime = status->st_ctime;
    stamp->ctime_nsec = status->st_ctim.tv_nsec;
    stamp->size = status->st_size;
    stamp->dev = status->st_dev;
    stamp->ino = status->st_ino;
    stamp->racy = racy;
    stamp->content_hash = racy ? content_hash : 0;
}

int brisko_stamp_matches(brisko_file_stamp *stamp, const struct stat *status, const char *path)
{
    if (stamp->ctime != status->st_ctime || stamp->ctime_nsec != status->st_ctim.tv_nsec ||
        stamp->size != status->st_size || stamp->dev != status->st_dev || stamp->ino != status->st_ino)
        return 0;
    if (!stamp->racy)
        return 1;
    if (!brisko_same_content(stamp, path))
        return 0;
    /* Once the tick is over, a rewrite would show in the change time. */
    if (!brisko_change_is_recent(status))
        stamp->racy = 0;
    return 1;
}
