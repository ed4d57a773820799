// The instantiations the element classes use, compiled once here so that every one of them is
// checked with the module.
#include "model/laDisplacement.h"
#include "model/laForceMoment.h"
#include "model/laForcePerArea.h"
#include "model/laForcePerLength.h"
#include "model/laIntensityConstant.h"
#include "model/laIntensityFunctionGrid.h"
#include "model/laIntensityJavaScript.h"
#include "model/laIntensityLinearParametric.h"
#include "model/laIntensityLinearVarying.h"
#include "model/laIntensityThreePointVarying.h"
#include "model/laPressure.h"
#include "model/laTemperature.h"
#include "model/laTraction.h"

template class laIntensityFunction<laForcePerLength<double>>;
template class laIntensityFunction<laTemperature<double>>;

template class laIntensityConstant<laPressure<double>>;
template class laIntensityConstant<laForcePerArea<double>>;
template class laIntensityConstant<laTraction<double>>;
template class laIntensityConstant<laForceMoment<double>>;
template class laIntensityConstant<laDisplacement<double>>;

template class laIntensityThreePointVarying<laPressure<double>>;
template class laIntensityThreePointVarying<laForcePerArea<double>>;
template class laIntensityThreePointVarying<laTraction<double>>;

template class laIntensityLinearVarying<laPressure<double>>;
template class laIntensityLinearVarying<laTraction<double>>;

template class laIntensityLinearParametric<laForcePerLength<double>>;
template class laIntensityLinearParametric<laTemperature<double>>;

template class laIntensityJavaScript<laPressure<double>>;
template class laIntensityJavaScript<laForcePerArea<double>>;
template class laIntensityJavaScript<laTraction<double>>;
template class laIntensityJavaScript<laForcePerLength<double>>;
template class laIntensityJavaScript<laTemperature<double>>;

template class laIntensityFunctionGrid<laPressure<double>>;
