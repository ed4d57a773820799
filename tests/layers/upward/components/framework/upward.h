#pragma once

// Points up a layer: the check must refuse it.
#include "kestrel/document/kestrelLoad.h"
