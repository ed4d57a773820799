#pragma once

#include <functional>
#include <map>

// Ordered map with unique keys, iterated in key order.
template <class K, class V, class Compare = std::less<K>>
class Map : public std::map<K, V, Compare> {
public:
    using std::map<K, V, Compare>::map;
};
