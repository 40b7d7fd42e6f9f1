/* What a cache knows of a file it made something from: its identity and
 * status, and for a file that had just changed, a hash of its content.
 * Shared by the script cache and the template file cache. */
#ifndef BRISKO_STAMP_H
#define BRISKO_STAMP_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct brisko_file_stamp {
    time_t ctime;          /* status-change time, seconds */
    long ctime_nsec;       /* and nanoseconds: a rewrite in the same second shows here */
    off_t size;
    dev_t dev;             /* another file put at the same path shows here */
    ino_t ino;
    int racy;              /* the file changed within the clock tick it was read in: the
                              content is compared too, until the tick is over */
    uint64_t content_hash; /* of the very bytes read, when racy */
} brisko_file_stamp;

/* Records the status; a caller that read the content passes its hash,
 * which counts when the change was recent (brisko_change_is_recent). */
void brisko_stamp_set(brisko_file_stamp *stamp, const struct stat *status, int racy, uint64_t content_hash);
/* 1 while the file at path is the one stamped: same identity and status,
 * and for a racy stamp the same content (read again). */
int brisko_stamp_matches(brisko_file_stamp *stamp, const struct stat *status, const char *path);
/* Whether a change at `status` is too recent to be told from a rewrite in
 * the same clock tick. */
int brisko_change_is_recent(const struct stat *status);
uint64_t brisko_content_hash(const char *bytes, size_t length);
/* A stream's whole content in request memory; NULL when it cannot be read. */
char *brisko_read_stream(FILE *fp, size_t *length);

#ifdef __cplusplus
}
#endif

#endif
