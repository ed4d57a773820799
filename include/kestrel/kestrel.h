#pragma once

// Kestrel in one header: load documents read, written, evaluated and exported as IFC
// (kestrel::readLoads, writeLoads, evaluate, writeIfc), the loads' footprints, intensity and limit
// functions, and the element classes (kestrel::register_futures) for hosts that bind them into
// documents of their own.
#include "kestrel/kestrelVersion.h"

#include "kestrel/components/framework/jmfFunctionObject.h"
#include "kestrel/components/geometry/locsys3d.h"
#include "kestrel/components/geometry/pos3d.h"
#include "kestrel/document/kestrelIfc.h"
#include "kestrel/document/kestrelLoadDocument.h"
#include "kestrel/document/kestrelLoads.h"
#include "kestrel/document/kestrelVocabulary.h"
#include "kestrel/elements/kestrelLimits.h"
#include "kestrel/elements/kestrelRegistration.h"
#include "kestrel/model/laFootprintBox.h"
#include "kestrel/model/laFootprintLine.h"
#include "kestrel/model/laFootprintPoint.h"
#include "kestrel/model/laFootprintPolygon.h"
#include "kestrel/model/laIntensityConstant.h"
#include "kestrel/model/laIntensityFunctionGrid.h"
#include "kestrel/model/laIntensityJavaScript.h"
#include "kestrel/model/laIntensityLinearParametric.h"
#include "kestrel/model/laIntensityLinearVarying.h"
#include "kestrel/model/laIntensityThreePointVarying.h"
#include "kestrel/model/laLimitFunctionLiquidPressure.h"
#include "kestrel/model/laLimitFunctionRange.h"
