// SPDX-License-Identifier: GPL-3.0-or-later
// Sorting helpers for the scanline rasterisers: edges by first row then x, and
// active edge lists that stay nearly sorted from one row to the next.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

template <class T, class Less> void insertionSort(std::vector<T>& items, Less less) {
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (!less(items[i], items[i - 1])) continue;
        const T key = items[i];
        std::size_t j = i;
        for (; j > 0 && less(key, items[j - 1]); --j)
            items[j] = items[j - 1];
        items[j] = key;
    }
}

// Sorts edges by row(edge), then by lessX within a row. Rows are bucketed
// (linear time) when their range is not much larger than the edge count.
template <class T, class Row, class LessX>
void sortByRowThenX(std::vector<T>& edges, std::vector<T>& scratch, Row row, LessX lessX) {
    if (edges.size() < 2) return;
    auto [lo, hi] = std::minmax_element(edges.begin(), edges.end(),
                                        [&row](const T& a, const T& b) { return row(a) < row(b); });
    const long long first = row(*lo);
    const std::size_t rows = std::size_t((long long)row(*hi) - first) + 1;
    if (rows > 4 * edges.size() + 64) {
        std::sort(edges.begin(), edges.end(), [&](const T& a, const T& b) {
            return row(a) != row(b) ? row(a) < row(b) : lessX(a, b);
        });
        return;
    }
    std::vector<std::size_t> starts(rows + 1, 0);
    for (const T& e : edges)
        ++starts[std::size_t(row(e) - first) + 1];
    for (std::size_t r = 0; r < rows; ++r)
        starts[r + 1] += starts[r];
    scratch.resize(edges.size());
    std::vector<std::size_t> fill(starts.begin(), starts.end() - 1);
    for (const T& e : edges)
        scratch[fill[std::size_t(row(e) - first)]++] = e;
    for (std::size_t r = 0; r < rows; ++r)
        if (starts[r + 1] - starts[r] > 1)
            std::sort(scratch.begin() + starts[r], scratch.begin() + starts[r + 1], lessX);
    edges.swap(scratch);
}
