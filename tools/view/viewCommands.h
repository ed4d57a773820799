#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

#include "kestrel/components/exchange/xpDocument.h"
#include "kestrel/components/geometry/pos3d.h"
#include "kestrel/components/loadcase/lcLoad.h"

// The verbs of the kestrel command that show what a load does. Each reads FILE ("-" for
// standard input), reports reading errors on `err` as "FILE:LINE: error: PATH: MESSAGE" and
// returns the exit status: 0, 1 when the document had errors (what could be read is still
// shown), 2 for a usage error, an unreadable file or malformed XML.

// Per load with an intensity function: its value at a global position in `system`, the value
// after the pressure's limit function, whether the position lies on the footprint, and units.
int viewEvalCommand(const std::string& file, const pos3d& at, lcLoad::lcCoordinateSystem system, bool json,
                    std::ostream& out, std::ostream& err, std::size_t maxErrors = xpDocument::kDefaultMaxErrors);

enum class viewFormat { csv, json };
// The named load at regular positions `step` metres apart over its footprint: one row per
// position with its coordinates, value and limited value (global system).
int viewSampleCommand(const std::string& file, const std::string& load, double step, viewFormat format,
                      std::ostream& out, std::ostream& err, std::size_t maxErrors = xpDocument::kDefaultMaxErrors);

// SVG pictures: of the named load into `output` (a file, or a folder to put it in), or with an
// empty `load` of every load that can be drawn into the folder `output`, made when missing.
int viewPlotCommand(const std::string& file, const std::string& load, const std::string& output, std::ostream& out,
                    std::ostream& err, std::size_t maxErrors = xpDocument::kDefaultMaxErrors);
