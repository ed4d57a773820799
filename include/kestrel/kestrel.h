#pragma once

// Kestrel in one header: load documents read, written and evaluated (kestrel::readLoads,
// writeLoads, evaluate), the loads' footprints, intensity and limit functions, and the element
// classes (kestrel::register_futures) for hosts that bind them into documents of their own.
#include "kestrel/kestrelVersion.h"

#include "components/framework/jmfFunctionObject.h"
#include "components/geometry/locsys3d.h"
#include "components/geometry/pos3d.h"
#include "document/kestrelLoadDocument.h"
#include "document/kestrelLoads.h"
#include "elements/kestrelLimits.h"
#include "elements/kestrelRegistration.h"
#include "model/laFootprintBox.h"
#include "model/laFootprintLine.h"
#include "model/laFootprintPoint.h"
#include "model/laFootprintPolygon.h"
#include "model/laIntensityConstant.h"
#include "model/laIntensityFunctionGrid.h"
#include "model/laIntensityJavaScript.h"
#include "model/laIntensityLinearParametric.h"
#include "model/laIntensityLinearVarying.h"
#include "model/laIntensityThreePointVarying.h"
#include "model/laLimitFunctionLiquidPressure.h"
#include "model/laLimitFunctionRange.h"
