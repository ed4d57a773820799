#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/components/geometry/pos3d.h"
#include "kestrel/components/loadcase/lcLoad.h"
#include "kestrel/document/kestrelLoadDocument.h"

// The load document of a host: a root "loads" holding "load" elements, each with a name,
// coordinates, a local system, a footprint and an intensity function. Reading and writing set up
// their own exchange document with every element class registered, so a host needs nothing else.
namespace kestrel {

using Load = hostLoad;
using Coordinates = hostCoordinates;
using LoadRecord = hostLoadRecord;

// The version of the library in use, "MAJOR.MINOR.PATCH"; KESTREL_VERSION_STRING is the headers'.
KESTREL_API const char* version();

// One problem of a document: its 1-based line and column (0 where unknown), the path of the
// element or attribute it concerns ("/loads/load[2]/@name", empty for the document as a whole)
// and what is wrong.
struct Diagnostic {
    int line = 0;
    int column = 0;
    std::string path;
    std::string message;
};

struct ReadOptions {
    // Errors listed at most; past it the last entry says how many more were found.
    std::size_t maxErrors = 1000;
    // Grid nodes the grids of the document may hold together; 0 keeps the process's limit
    // (kestrel::maxGridNodes). Other threads' reads are not affected.
    std::size_t maxGridNodes = 0;
};

// What reading a load document gave. A load with errors is left out of `loads`; `records` lists
// every "load" element, read or not, in document order.
struct ReadResult {
    // False when there was no document to read: a file that could not be opened (the message
    // says why), text that is not well-formed XML, or another root element than "loads".
    bool readable = false;
    std::vector<Load> loads;
    std::vector<LoadRecord> records;
    std::vector<Diagnostic> errors;
    std::size_t unlisted = 0;
    bool ok() const { return readable && errors.empty(); }
};

// The whole content of a file; false when it cannot be read, with the system's reason ("No such
// file or directory", "Is a directory") in `failure`.
KESTREL_API bool readFileText(const std::filesystem::path& file, std::string& text, std::string& failure);

// Reads a load document from text (UTF-8, UTF-16 or an encoding its declaration names), a file or
// a stream. Nothing throws: every problem becomes a diagnostic. Text is read into a DOM; a file
// or a stream is streamed, holding one load at a time rather than the document, with the same
// result. A host that already holds the document as a pugixml tree reads its root element (lines
// are then unknown, 0).
KESTREL_API ReadResult readLoads(std::string_view text, const ReadOptions& options = {});
KESTREL_API ReadResult readLoadsFile(const std::filesystem::path& file, const ReadOptions& options = {});
KESTREL_API ReadResult readLoads(std::istream& in, const ReadOptions& options = {});
KESTREL_API ReadResult readLoads(pugi::xml_node root, const ReadOptions& options = {});

// Reads a load document from a stream or a file and hands each load to `each` as soon as it is
// read, in document order, instead of keeping it: a document of any size is read holding one load
// at a time. The result is the one readLoads gives, with `loads` empty. A document refused as not
// well-formed has handed on the loads before the fault; what `each` throws ends the read and is
// thrown on.
KESTREL_API ReadResult forEachLoad(std::istream& in, std::function<void(Load&&)> each, const ReadOptions& options = {});
KESTREL_API ReadResult forEachLoadInFile(const std::filesystem::path& file, std::function<void(Load&&)> each,
                                         const ReadOptions& options = {});

// What a per-load read hands on as it goes: each load, and, when `record` is set, each load
// element's record as the element ends (just before its load, read or not), which `records` then
// does not keep either. With both, nothing the read keeps grows with the document but its errors,
// which ReadOptions::maxErrors bounds.
struct LoadReceiver {
    std::function<void(Load&&)> load;
    std::function<void(LoadRecord&&)> record;
};
KESTREL_API ReadResult forEachLoad(std::istream& in, LoadReceiver receiver, const ReadOptions& options = {});
KESTREL_API ReadResult forEachLoadInFile(const std::filesystem::path& file, LoadReceiver receiver,
                                         const ReadOptions& options = {});

// What writing gave: the document text, or the problems that kept a load from being written (a
// footprint or intensity kind no element knows), in which case `text` is empty.
struct WriteResult {
    std::string text;
    std::vector<Diagnostic> errors;
    bool ok() const { return errors.empty(); }
};
KESTREL_API WriteResult writeLoads(const std::vector<Load>& loads);
// The same text written straight to a stream, one load at a time, without holding the document;
// the problems are returned, and what was written before one stays in the stream.
KESTREL_API std::vector<Diagnostic> writeLoads(const std::vector<Load>& loads, std::ostream& out);

// The XML Schema of load documents, every element and attribute documented.
KESTREL_API std::string loadsSchema();

// A load's intensity at a global position (metres), its components expressed in the chosen
// system: one for a pressure, traction or temperature, three for a vector quantity. `value` is
// empty where the function has none (outside the footprint of a grid, a script that failed:
// `error` then says why) and for a load without intensity function.
struct Evaluation {
    std::vector<double> value;
    std::string error;
    bool has_value() const { return !value.empty(); }
};
KESTREL_API Evaluation evaluate(const Load& load, const pos3d& at, lcLoad::lcCoordinateSystem system = lcLoad::global);

// A model object of class T from the storage strategy, owned by the pointer returned: the way to
// give a load its footprint and intensity function. Throws std::bad_alloc when the strategy has
// no memory left.
template <class T, class... Args>
std::shared_ptr<T> make(Args&&... args) {
    T* object = mfCreate<T>(std::forward<Args>(args)...);
    if (!object) throw std::bad_alloc();
    return std::shared_ptr<T>(object);
}

}  // namespace kestrel
