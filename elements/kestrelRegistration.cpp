#include "kestrel/elements/kestrelRegistration.h"

#include "kestrel/elements/xlaFootprintBox.h"
#include "kestrel/elements/xlaFootprintLine.h"
#include "kestrel/elements/xlaFootprintPoint.h"
#include "kestrel/elements/xlaFootprintPolygon.h"
#include "kestrel/elements/xlaIntensityConstant.h"
#include "kestrel/elements/xlaIntensityFunctionGrid.h"
#include "kestrel/elements/xlaIntensityJavaScript.h"
#include "kestrel/elements/xlaIntensityLinearParametric.h"
#include "kestrel/elements/xlaIntensityLinearVarying.h"
#include "kestrel/elements/xlaIntensityThreePointVarying.h"
#include "kestrel/elements/xlaLimitFunctionLiquidPressure.h"
#include "kestrel/elements/xlaLimitFunctionRange.h"
#include "kestrel/exchange/xpFutureElements.h"

namespace kestrel {

// One prototype per element name, in a fixed order; each call checks for a current document.
void register_futures() {
    xpRegisterFutureElement<laIntensityJavaScript<laPressure<double>>>(std::string("pressure2d_javascript"));
    xpRegisterFutureElement<laIntensityConstant<laPressure<double>>>(std::string("pressure2d_constant"));
    xpRegisterFutureElement<laIntensityThreePointVarying<laPressure<double>>>(std::string("pressure2d_3point_varying"));
    xpRegisterFutureElement<laIntensityLinearVarying<laPressure<double>>>(std::string("pressure2d_linear_function"));
    xpRegisterFutureElement<laIntensityFunctionGrid<laPressure<double>>>(std::string("pressure2d_grid"));
    xpRegisterFutureElement<laIntensityJavaScript<laForcePerArea<double>>>(std::string("component2d_javascript"));
    xpRegisterFutureElement<laIntensityConstant<laForcePerArea<double>>>(std::string("component2d_constant"));
    xpRegisterFutureElement<laIntensityThreePointVarying<laForcePerArea<double>>>(std::string("component2d_3point_varying"));
    xpRegisterFutureElement<laIntensityJavaScript<laTraction<double>>>(std::string("traction2d_javascript"));
    xpRegisterFutureElement<laIntensityConstant<laTraction<double>>>(std::string("traction2d_constant"));
    xpRegisterFutureElement<laIntensityThreePointVarying<laTraction<double>>>(std::string("traction2d_3point_varying"));
    xpRegisterFutureElement<laIntensityLinearVarying<laTraction<double>>>(std::string("traction2d_linear_function"));
    xpRegisterFutureElement<laIntensityLinearParametric<laForcePerLength<double>>>(std::string("component1d_linear"));
    xpRegisterFutureElement<laIntensityJavaScript<laForcePerLength<double>>>(std::string("component1d_javascript"));
    xpRegisterFutureElement<laIntensityLinearParametric<laTemperature<double>>>(std::string("temperature1d_linear"));
    xpRegisterFutureElement<laIntensityJavaScript<laTemperature<double>>>(std::string("temperature1d_javascript"));
    xpRegisterFutureElement<laIntensityConstant<laForceMoment<double>>>(std::string("component0d_constant"));
    xpRegisterFutureElement<laIntensityConstant<laDisplacement<double>>>(std::string("displacement_constant"));
    xpRegisterFutureElement<laFootprintPoint>(std::string("footprint_point"));
    xpRegisterFutureElement<laFootprintLine>(std::string("footprint_line"));
    xpRegisterFutureElement<laFootprintPolygon>(std::string("footprint_polygon"));
    xpRegisterFutureElement<laFootprintBox>(std::string("footprint_box"));
    xpRegisterFutureElement<laLimitFunctionLiquidPressure>(std::string("limit_function_liquid_pressure"));
    xpRegisterFutureElement<laLimitFunctionRange>(std::string("limit_function_range"));
}

}  // namespace kestrel
