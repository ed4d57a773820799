#include "kestrel/model/laIntensityLinearVarying.h"

// The instantiations the header declares extern, compiled once and exported.
template class laIntensityLinearVarying<laPressure<double>>;
template class laIntensityLinearVarying<laTraction<double>>;
