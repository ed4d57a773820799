#pragma once

#include "kestrel/elements/xlaValueElement.h"
#include "kestrel/exchange/xpClass.h"
#include "kestrel/model/laDisplacement.h"
#include "kestrel/model/laForceMoment.h"
#include "kestrel/model/laForcePerArea.h"
#include "kestrel/model/laForcePerLength.h"
#include "kestrel/model/laPressure.h"
#include "kestrel/model/laTemperature.h"
#include "kestrel/model/laTraction.h"

// The value elements of the load quantities, and the class elements that bind each quantity to
// its value element. Only double is instantiated.

template <class T>
class xlaPressure : public xlaValueAttributes<laPressure<T>, jsPressure, 1> {
public:
    xlaPressure() : xlaValueAttributes<laPressure<T>, jsPressure, 1>({"pressure"}, "Pressure") {}
};

template <class T>
class xlaTraction : public xlaValueAttributes<laTraction<T>, jsPressure, 1> {
public:
    xlaTraction() : xlaValueAttributes<laTraction<T>, jsPressure, 1>({"traction"}, "Traction") {}
};

template <class T>
class xlaTemperature : public xlaValueAttributes<laTemperature<T>, jsTemperatureDifference, 1> {
public:
    xlaTemperature()
        : xlaValueAttributes<laTemperature<T>, jsTemperatureDifference, 1>({"temperature"}, "Temperature") {}
};

template <class T>
class xlaForcePerLength : public xlaValueAttributes<laForcePerLength<T>, jsForcePerUnitLength, 3> {
public:
    xlaForcePerLength()
        : xlaValueAttributes<laForcePerLength<T>, jsForcePerUnitLength, 3>({"fx", "fy", "fz"}, "ForcePerLength") {}
};

template <class T>
class xlaForcePerArea : public xlaValueAttributes<laForcePerArea<T>, jsForcePerUnitArea, 3> {
public:
    xlaForcePerArea()
        : xlaValueAttributes<laForcePerArea<T>, jsForcePerUnitArea, 3>({"fx", "fy", "fz"}, "ForcePerArea") {}
};

template <class T>
class xlaForce : public xlaValueAttributes<laForce<T>, jsForce, 3> {
public:
    xlaForce() : xlaValueAttributes<laForce<T>, jsForce, 3>({"fx", "fy", "fz"}, "Force") {}
};

template <class T>
class xlaMoment : public xlaValueAttributes<laMoment<T>, jsMomentOfForce, 3> {
public:
    xlaMoment() : xlaValueAttributes<laMoment<T>, jsMomentOfForce, 3>({"mx", "my", "mz"}, "Moment") {}
};

template <class T>
class xlaTranslation : public xlaValueAttributes<laTranslation<T>, jsLength, 3> {
public:
    xlaTranslation() : xlaValueAttributes<laTranslation<T>, jsLength, 3>({"dx", "dy", "dz"}, "Translation") {}
};

template <class T>
class xlaRotation : public xlaValueAttributes<laRotation<T>, jsAngle, 3> {
public:
    xlaRotation() : xlaValueAttributes<laRotation<T>, jsAngle, 3>({"rx", "ry", "rz"}, "Rotation") {}
};

template <class T>
class xlaForceMoment : public xlaValuePair<laForceMoment<T>, laForce<T>, laMoment<T>> {
public:
    xlaForceMoment()
        : xlaValuePair<laForceMoment<T>, laForce<T>, laMoment<T>>(&laForceMoment<T>::force, &laForceMoment<T>::moment,
                                                                  "force", "moment", "ForceMoment") {}
};

template <class T>
class xlaDisplacement : public xlaValuePair<laDisplacement<T>, laTranslation<T>, laRotation<T>> {
public:
    xlaDisplacement()
        : xlaValuePair<laDisplacement<T>, laTranslation<T>, laRotation<T>>(&laDisplacement<T>::translation,
                                                                           &laDisplacement<T>::rotation, "translation",
                                                                           "rotation", "Displacement") {}
};

template <>
class xpClass<laPressure<double>> : public xlaPressure<double> {
public:
    ~xpClass() override = default;
};

template <>
class xpClass<laTraction<double>> : public xlaTraction<double> {
public:
    ~xpClass() override = default;
};

template <>
class xpClass<laTemperature<double>> : public xlaTemperature<double> {
public:
    ~xpClass() override = default;
};

template <>
class xpClass<laForcePerLength<double>> : public xlaForcePerLength<double> {
public:
    ~xpClass() override = default;
};

template <>
class xpClass<laForcePerArea<double>> : public xlaForcePerArea<double> {
public:
    ~xpClass() override = default;
};

template <>
class xpClass<laForce<double>> : public xlaForce<double> {
public:
    ~xpClass() override = default;
};

template <>
class xpClass<laMoment<double>> : public xlaMoment<double> {
public:
    ~xpClass() override = default;
};

template <>
class xpClass<laTranslation<double>> : public xlaTranslation<double> {
public:
    ~xpClass() override = default;
};

template <>
class xpClass<laRotation<double>> : public xlaRotation<double> {
public:
    ~xpClass() override = default;
};

template <>
class xpClass<laForceMoment<double>> : public xlaForceMoment<double> {
public:
    ~xpClass() override = default;
};

template <>
class xpClass<laDisplacement<double>> : public xlaDisplacement<double> {
public:
    ~xpClass() override = default;
};
