/* The engine's array sort: a quicksort with the middle element as pivot
 * and an explicit stack, kept step for step so that elements that compare
 * equal end up in the order scripts have always seen (it is not stable).
 * It stays inside the vector whatever the comparison answers, so an
 * inconsistent user comparison cannot make it read or write out of
 * bounds; it always ends, after O(n log n) comparisons for a consistent
 * one. */
#ifndef BRISKO_BUILTINS_ENGINE_SORT_H
#define BRISKO_BUILTINS_ENGINE_SORT_H

#include <utility>
#include <vector>

namespace zend::builtins {

/* compare(a, b) answers < 0, 0 or > 0; only "> 0" steers the sort. */
template <typename T, typename Compare>
void engine_sort(std::vector<T> &v, Compare compare)
{
    if (v.size() < 2)
        return;
    long begin_stack[64], end_stack[64]; /* the larger part waits: depth <= log2(n) */
    begin_stack[0] = 0;
    end_stack[0] = static_cast<long>(v.size()) - 1;
    for (int loop = 0; loop >= 0; --loop) {
        long begin = begin_stack[loop], end = end_stack[loop];
        while (begin < end) {
            std::swap(v[begin], v[begin + (end - begin) / 2]);
            long seg1 = begin + 1, seg2 = end;
            for (;;) {
                while (seg1 < seg2 && compare(v[begin], v[seg1]) > 0)
                    seg1++;
                while (seg2 >= seg1 && compare(v[seg2], v[begin]) > 0)
                    seg2--;
                if (seg1 >= seg2)
                    break;
                std::swap(v[seg1], v[seg2]);
                seg1++;
                seg2--;
            }
            std::swap(v[begin], v[seg2]);
            if (seg2 - begin <= end - seg2) {
                if (seg2 + 1 < end) {
                    begin_stack[loop] = seg2 + 1;
                    end_stack[loop++] = end;
                }
                end = seg2 - 1;
            } else {
                if (seg2 - 1 > begin) {
                    begin_stack[loop] = begin;
                    end_stack[loop++] = seg2 - 1;
                }
                begin = seg2 + 1;
            }
        }
    }
}

} // namespace zend::builtins

#endif
