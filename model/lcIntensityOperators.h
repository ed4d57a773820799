#pragma once

#include <complex>
#include <cstddef>
#include <type_traits>

#include "kestrel/components/loadcase/lcIntensityRepresentation.h"

// Arithmetic of a value type T through the representation interface of both operands. Operands
// of one family combine component by component; otherwise each part of the right operand goes
// to the part of the left one of its family, and parts without one are left out.
template <class T>
class lcIntensityOperators {
public:
    virtual ~lcIntensityOperators() = default;

    T& operator+=(const lcIntensityRepresentation& b) { return combine(b, false); }
    T& operator-=(const lcIntensityRepresentation& b) { return combine(b, true); }
    T& operator*=(double k) {
        T& a = self();
        for (std::size_t i = 0; i < a.size(); ++i) a.set_complex(i, a.get_complex(i) * k);
        return a;
    }
    T operator+(const lcIntensityRepresentation& b) const { return T(self()) += b; }
    T operator-(const lcIntensityRepresentation& b) const { return T(self()) -= b; }
    T operator*(double k) const { return T(self()) *= k; }
    // Only the real part of each product is kept where T stores real components.
    T operator*(const std::complex<double>& c) const {
        T result(self());
        for (std::size_t i = 0; i < result.size(); ++i) result.set_complex(i, result.get_complex(i) * c);
        return result;
    }
    // Exact, over the components of this value only.
    bool operator==(const lcIntensityRepresentation& b) const {
        const T& a = self();
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a.get_complex(i) != b.get_complex(i)) return false;
        return true;
    }

private:
    static constexpr void check() {
        static_assert(std::is_base_of_v<lcIntensityRepresentation, T> && std::is_base_of_v<lcIntensityOperators, T>,
                      "Kestrel: lcIntensityOperators<T> is a base of the value type T itself");
    }
    T& self() {
        check();
        return static_cast<T&>(*this);
    }
    const T& self() const {
        check();
        return static_cast<const T&>(*this);
    }
    static std::complex<double> apply(const std::complex<double>& x, const std::complex<double>& y, bool subtract) {
        return subtract ? x - y : x + y;
    }

    T& combine(const lcIntensityRepresentation& b, bool subtract) {
        T& a = self();
        if (a.algorithm() && a.algorithm() == b.algorithm()) {
            for (std::size_t i = 0; i < a.size(); ++i)
                a.set_complex(i, apply(a.get_complex(i), b.get_complex(i), subtract));
            return a;
        }
        for (std::size_t j = 0; j < b.composite_size(); ++j) {
            const lcIntensityRepresentation* p = b.composite_part(j);
            lcIntensityRepresentation* q = a.get_compatible(*p);
            if (!q) continue;
            for (std::size_t i = 0; i < q->size(); ++i)
                q->set_complex(i, apply(q->get_complex(i), p->get_complex(i), subtract));
        }
        return a;
    }
};
