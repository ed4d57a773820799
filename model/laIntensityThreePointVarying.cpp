#include "kestrel/model/laIntensityThreePointVarying.h"

// The instantiations the header declares extern, compiled once and exported.
template class laIntensityThreePointVarying<laPressure<double>>;
template class laIntensityThreePointVarying<laForcePerArea<double>>;
template class laIntensityThreePointVarying<laTraction<double>>;
