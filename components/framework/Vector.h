#pragma once

#include <vector>

// Ordered array; entries are appended at the end.
template <class T>
class Vector : public std::vector<T> {
public:
    using std::vector<T>::vector;
};
