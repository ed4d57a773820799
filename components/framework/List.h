#pragma once

#include <list>

// Ordered list; entries are appended at the end.
template <class T>
class List : public std::list<T> {
public:
    using std::list<T>::list;
};
