/* Tables whose elements the executor remembers by address, and look-ups
 * with a hash computed beforehand.
 *
 * The executor keeps pointers to elements of a few tables: the variable
 * slots of running frames (in their symbol tables) and the functions and
 * classes call sites found (in the function and class tables). An element
 * stays where it is until it is deleted, so such a pointer is good while the
 * table loses no element. Every deletion from a watched table (and every
 * clean or destroy of one) raises table_epoch; whoever remembers an element
 * also remembers the epoch and finds the element again once it moved on.
 *
 * Watching is counted per table in a small filter indexed by the table's
 * address: a table that merely shares a filter entry with a watched one also
 * raises the epoch, which costs a few look-ups again and is never wrong. */
#ifndef BRISKO_CORE_TABLE_WATCH_H
#define BRISKO_CORE_TABLE_WATCH_H

#include <cstdint>

#include "zend_hash.h"

namespace zend {

#define BRISKO_HIDDEN __attribute__((visibility("hidden")))

constexpr unsigned watch_filter_size = 256;
extern unsigned long table_epoch BRISKO_HIDDEN;
extern std::uint32_t watch_filter[watch_filter_size] BRISKO_HIDDEN;

inline unsigned watch_index(const HashTable *ht) {
    return (unsigned)(((std::uintptr_t)ht >> 4) * 0x9E3779B97F4A7C15ull >> 56);
}
inline void watch_table(const HashTable *ht) { watch_filter[watch_index(ht)]++; }
inline void unwatch_table(const HashTable *ht) { watch_filter[watch_index(ht)]--; }
inline void note_table_loss(const HashTable *ht) {
    if (watch_filter[watch_index(ht)]) table_epoch++;
}
void reset_table_watch(); /* request start and end: nothing watched */

/* Look-up and insertion of a string key whose hash is known and which is
 * not a numeric key (the caller checked with is_numeric_key). */
bool is_numeric_key(const char *key, uint length);
void **hash_find_known(const HashTable *ht, const char *key, uint length, ulong h);
/* Inserts pointer-sized data under a key the table does not hold; the
 * element's data slot, or null when memory ran out. */
void **hash_insert_known(HashTable *ht, const char *key, uint length, ulong h, void *data);

} // namespace zend

#endif
