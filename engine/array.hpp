// Arrays of the drill: indexed from 0 to their declared upper bound, checked
// on every access, so a wrong index reaches the error screen, not memory.
#pragma once

#include <cmath>
#include <vector>

#include "runtime/screen.hpp"

template <class T>
class Array {
public:
    // DIM a(upper): all elements start as 0 or empty.
    void declare(int upper) { items_.assign(static_cast<std::size_t>(upper) + 1, T{}); }
    int upper() const { return static_cast<int>(items_.size()) - 1; }

    T& operator[](float i) { return items_[slot(i)]; }
    const T& operator[](float i) const { return items_[slot(i)]; }
    T& operator[](int i) { return items_[slot(static_cast<float>(i))]; }
    const T& operator[](int i) const { return items_[slot(static_cast<float>(i))]; }
    const std::vector<T>& items() const { return items_; }

private:
    std::size_t slot(float i) const {
        float r = std::nearbyint(i);
        if (!(r >= 0 && r < static_cast<float>(items_.size()))) throw rt::Fault("subscript out of range");
        return static_cast<std::size_t>(r);
    }
    std::vector<T> items_;
};

// A two-dimensional array, indexed (row, column).
template <class T>
class Array2 {
public:
    void declare(int rows, int columns) {
        columns_ = columns + 1;
        items_.declare((rows + 1) * columns_ - 1);
        rows_ = rows + 1;
    }
    T& operator()(float row, float column) { return items_[index(row, column)]; }
    const T& operator()(float row, float column) const {
        return const_cast<Array2*>(this)->operator()(row, column);
    }
    int rows() const { return rows_; }
    int columns() const { return columns_; }

private:
    int index(float row, float column) const {
        float r = std::nearbyint(row), c = std::nearbyint(column);
        if (!(r >= 0 && r < rows_ && c >= 0 && c < columns_)) throw rt::Fault("subscript out of range");
        return static_cast<int>(r) * columns_ + static_cast<int>(c);
    }
    Array<T> items_;
    int rows_ = 0, columns_ = 0;
};
