// A stable sort for short lists.
#pragma once

// Insertion sort, highest key first; equal keys keep their order.
template <class T, class Key>
void sort_descending(T* a, int n, Key key) {
    for (int i = 1; i < n; i++) {
        const T e = a[i];
        const auto k = key(e);
        int j = i;
        for (; j > 0 && key(a[j - 1]) < k; j--) a[j] = a[j - 1];
        a[j] = e;
    }
}
