#include "kestrel/model/laIntensityConstant.h"

// The instantiations the header declares extern, compiled once and exported.
template class laIntensityConstant<laPressure<double>>;
template class laIntensityConstant<laForcePerArea<double>>;
template class laIntensityConstant<laTraction<double>>;
template class laIntensityConstant<laForceMoment<double>>;
template class laIntensityConstant<laDisplacement<double>>;
