// The library's API seen from Python: what a call does is the library's; this file converts
// arguments and results, and releases the interpreter's lock around long calls.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "kestrel/kestrel.h"
#include "kestrel/model/laQuantityTraits.h"
#include "tools/host/hostDocument.h"
#include "tools/view/viewEvaluation.h"
#include "tools/view/viewPlot.h"
#include "tools/view/viewSampling.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace {

// ---- model objects as Python sees them: one class per kind, sharing the library's object ----

struct PyFootprint {
    virtual ~PyFootprint() = default;
    std::shared_ptr<lcFootprint> model;
};
struct PyPoint : PyFootprint {};
struct PyLine : PyFootprint {};
struct PyPolygon : PyFootprint {};
struct PyBox : PyFootprint {};

struct PyLimit {
    virtual ~PyLimit() = default;
    std::shared_ptr<laLimitFunctionPressure> model;
};
struct PyRangeLimit : PyLimit {};
struct PyLiquidPressureLimit : PyLimit {};

struct PyIntensity {
    virtual ~PyIntensity() = default;
    std::shared_ptr<lcIntensityFunction> model;
    // The load it was taken from, whose system its description speaks of.
    std::optional<kestrel::Load> load;
};
struct PyConstant : PyIntensity {};
struct PyThreePoint : PyIntensity {};
struct PyLinearVarying : PyIntensity {};
struct PyLinearParametric : PyIntensity {};
struct PyScript : PyIntensity {};
struct PyGrid : PyIntensity {};

struct PyDocument {
    std::vector<kestrel::Load> loads;
    std::vector<kestrel::Diagnostic> errors;
    bool ok = false;
};

// The element names of the kinds, gathered once from a session with every kind registered.
const hostKindNames& kinds() {
    static const hostKindNames names = [] {
        hostSession session;
        return hostKindNames();
    }();
    return names;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

template <class W, class M>
std::shared_ptr<PyFootprint> as(const std::shared_ptr<lcFootprint>& f) {
    if (!dynamic_cast<const M*>(f.get())) return nullptr;
    auto w = std::make_shared<W>();
    w->model = f;
    return w;
}

std::shared_ptr<PyFootprint> wrap(const std::shared_ptr<lcFootprint>& f) {
    if (!f) return nullptr;
    for (auto made : {as<PyPoint, laFootprintPoint>(f), as<PyLine, laFootprintLine>(f),
                      as<PyPolygon, laFootprintPolygon>(f), as<PyBox, laFootprintBox>(f)})
        if (made) return made;
    auto w = std::make_shared<PyFootprint>();
    w->model = f;
    return w;
}

std::shared_ptr<PyIntensity> wrap(const std::shared_ptr<lcIntensityFunction>& f, const kestrel::Load* load) {
    if (!f) return nullptr;
    const std::string& kind = kinds().intensity(*f);
    std::shared_ptr<PyIntensity> w;
    if (endsWith(kind, "_constant"))
        w = std::make_shared<PyConstant>();
    else if (endsWith(kind, "_3point_varying"))
        w = std::make_shared<PyThreePoint>();
    else if (endsWith(kind, "_linear_function"))
        w = std::make_shared<PyLinearVarying>();
    else if (endsWith(kind, "1d_linear"))
        w = std::make_shared<PyLinearParametric>();
    else if (endsWith(kind, "_javascript"))
        w = std::make_shared<PyScript>();
    else if (endsWith(kind, "_grid"))
        w = std::make_shared<PyGrid>();
    else
        w = std::make_shared<PyIntensity>();
    w->model = f;
    if (load) w->load = *load;
    return w;
}

std::shared_ptr<PyLimit> wrap(const laLimitFunctionPressure* limit) {
    if (!limit) return nullptr;
    std::shared_ptr<PyLimit> w;
    if (dynamic_cast<const laLimitFunctionRange*>(limit))
        w = std::make_shared<PyRangeLimit>();
    else if (dynamic_cast<const laLimitFunctionLiquidPressure*>(limit))
        w = std::make_shared<PyLiquidPressureLimit>();
    else
        w = std::make_shared<PyLimit>();
    w->model.reset(limit->clone());
    return w;
}

// ---- numbers and quantities ----

[[noreturn]] void refuse(const std::string& message) {
    throw py::value_error(message);
}

// A value in SI units: a number, or a text with a unit of the quantity's dimension.
double quantity(py::handle value, const jsUnitDescriptor& unit, const std::string& what, bool nanAllowed = false) {
    double v = 0.0;
    if (py::isinstance<py::str>(value)) {
        try {
            v = jsParseQuantity(value.cast<std::string>(), unit);
        } catch (const std::invalid_argument& e) {
            refuse(what + ": " + e.what());
        }
    } else {
        try {
            v = value.cast<double>();
        } catch (const py::cast_error&) {
            refuse(what + ": " + std::string(py::repr(value)) + " is neither a number nor a text with a unit of " +
                   unit.quantityName);
        }
    }
    if (!std::isfinite(v) && !(nanAllowed && std::isnan(v)))
        refuse(what + ": " + std::to_string(v) + " is not a finite number");
    return v;
}

std::vector<py::object> items(py::handle value, std::size_t n, const std::string& what) {
    if (py::isinstance<py::str>(value) || !py::hasattr(value, "__len__") || !py::hasattr(value, "__getitem__") ||
        py::len(value) != n)
        refuse(what + ": expected a sequence of " + std::to_string(n) + ", got " + std::string(py::repr(value)));
    std::vector<py::object> out;
    for (std::size_t i = 0; i < n; ++i) out.push_back(value[py::int_(i)]);
    return out;
}

vec3d vector(py::handle value, const jsUnitDescriptor& unit, const std::string& what) {
    py::object seq = py::reinterpret_borrow<py::object>(value);
    if (py::hasattr(seq, "tolist")) seq = seq.attr("tolist")();
    const auto v = items(seq, 3, what);
    vec3d r(quantity(v[0], unit, what + "[0]"), quantity(v[1], unit, what + "[1]"), quantity(v[2], unit, what + "[2]"));
    return r;
}

pos3d position(py::handle value, const std::string& what) {
    const vec3d v = vector(value, jsLength::descriptor(), what);
    return pos3d(v.x, v.y, v.z);
}

std::vector<pos3d> positions(py::handle value, const std::string& what) {
    py::object seq = py::reinterpret_borrow<py::object>(value);
    if (py::hasattr(seq, "tolist")) seq = seq.attr("tolist")();
    if (py::isinstance<py::str>(seq) || !py::hasattr(seq, "__len__"))
        refuse(what + ": expected a sequence of positions");
    std::vector<pos3d> out;
    const std::size_t n = py::len(seq);
    for (std::size_t i = 0; i < n; ++i) out.push_back(position(seq[py::int_(i)], what + "[" + std::to_string(i) + "]"));
    return out;
}

locsys3d localSystem(py::handle value, const std::string& what) {
    py::object seq = py::reinterpret_borrow<py::object>(value);
    if (py::hasattr(seq, "tolist")) seq = seq.attr("tolist")();
    const auto rows = items(seq, 3, what + " (origin, x_axis, y_axis)");
    const pos3d origin = position(rows[0], what + " origin");
    const vec3d x = vector(rows[1], jsUnitDescriptor{"number", "", true}, what + " x_axis");
    const vec3d y = vector(rows[2], jsUnitDescriptor{"number", "", true}, what + " y_axis");
    try {
        return locsys3d(origin, x, y);
    } catch (const std::invalid_argument& e) {
        refuse(what + ": " + e.what());
    }
}

py::array_t<double> systemArray(const locsys3d& s) {
    py::array_t<double> a({3, 3});
    auto r = a.mutable_unchecked<2>();
    const vec3d rows[3] = {s.origin() - pos3d(0, 0, 0), s.xAxis(), s.yAxis()};
    for (int i = 0; i < 3; ++i) {
        r(i, 0) = rows[i].x;
        r(i, 1) = rows[i].y;
        r(i, 2) = rows[i].z;
    }
    return a;
}

// A value of quantity T: one number or text for one component, a sequence for more.
template <class T>
T value(py::handle v, const std::string& what) {
    constexpr auto& e = laQuantityTraits<T>::entry;
    T result;
    if constexpr (e.components.size() == 1) {
        result.set_real(0, quantity(v, e.units[0](), what));
    } else {
        py::object seq = py::reinterpret_borrow<py::object>(v);
        if (py::hasattr(seq, "tolist")) seq = seq.attr("tolist")();
        const auto c = items(seq, e.components.size(), what);
        for (std::size_t i = 0; i < c.size(); ++i)
            result.set_real(i, quantity(c[i], e.units[i](), what + " " + e.components[i]));
    }
    return result;
}

// ---- quantities and kinds, from the library's lists ----

template <class Model, class... K>
constexpr bool hasKind(kestrelTypes<K...>) {
    return (std::is_same_v<Model, typename K::model_type> || ...);
}

template <template <class> class Model>
std::string takenBy() {
    std::string names;
    kestrelForEach(kestrelQuantities{}, [&]<class T>(std::type_identity<T>) {
        if constexpr (hasKind<Model<T>>(kestrelKinds{}))
            names += (names.empty() ? "" : ", ") + std::string(laQuantityTraits<T>::entry.name);
    });
    return names;
}

// Calls make(std::type_identity<T>) for the quantity named, when kind Model takes it.
template <template <class> class Model, class F>
std::shared_ptr<lcIntensityFunction> forQuantity(const std::string& kind, const std::string& name, F&& make) {
    std::shared_ptr<lcIntensityFunction> made;
    bool known = false;
    kestrelForEach(kestrelQuantities{}, [&]<class T>(std::type_identity<T> t) {
        if (name != laQuantityTraits<T>::entry.name) return;
        known = true;
        if constexpr (hasKind<Model<T>>(kestrelKinds{})) made = make(t);
    });
    if (!made)
        refuse(kind + (known ? " takes no quantity \"" : ": unknown quantity \"") + name + "\"; it takes " +
               takenBy<Model>());
    return made;
}

struct Quantity {
    std::string name;
    std::vector<std::string> components, units;
};

Quantity quantityOf(const lcIntensityFunction& f) {
    Quantity q;
    kestrelForEach(kestrelQuantities{}, [&]<class T>(std::type_identity<T>) {
        if (!q.name.empty() || !dynamic_cast<const laIntensityFunction<T>*>(&f)) return;
        constexpr auto& e = laQuantityTraits<T>::entry;
        q.name = e.name;
        for (std::size_t i = 0; i < e.components.size(); ++i) {
            q.components.emplace_back(e.components[i]);
            q.units.emplace_back(e.units[i]().siSymbol);
        }
    });
    return q;
}

std::string joined(const std::vector<kestrel::Diagnostic>& errors) {
    std::string text;
    for (const auto& e : errors) text += (text.empty() ? "" : "; ") + (e.path.empty() ? "" : e.path + ": ") + e.message;
    return text;
}

// What Python builds passes the checks of a write and of a read, so that it writes and reads back.
void check(const kestrel::Load& load, const std::string& what) {
    const kestrel::WriteResult written = kestrel::writeLoads({load});
    if (!written.ok()) refuse(what + ": " + joined(written.errors));
    const kestrel::ReadResult read = kestrel::readLoads(written.text);
    if (!read.ok()) refuse(what + ": " + joined(read.errors));
}

lcLoad::lcCoordinateSystem systemNamed(const std::string& name, const char* what) {
    if (name == "local") return lcLoad::local;
    if (name == "global") return lcLoad::global;
    refuse(std::string(what) + ": \"" + name + "\" is neither \"local\" nor \"global\"");
}

struct Common {
    std::string intensitySystem, positionSystem;
    std::shared_ptr<PyLimit> limit;
    py::object direction;
};

// The keywords every intensity function takes; a limit only for pressures, a direction for
// tractions (which need one).
template <class T>
void applyCommon(laIntensityFunction<T>& f, const Common& c, const std::string& kind) {
    f.intensitySystem = systemNamed(c.intensitySystem, "intensity_system");
    f.positionSystem = systemNamed(c.positionSystem, "position_system");
    if constexpr (std::is_same_v<T, laPressure<double>>) {
        if (c.limit) f.setLimit(c.limit->model->clone());
    } else if (c.limit) {
        refuse(kind + ": limit=: only pressures take a limit function");
    }
    if constexpr (std::is_same_v<T, laTraction<double>>) {
        if (c.direction.is_none()) refuse(kind + ": a traction needs direction=(x, y, z)");
        f.direction = vector(c.direction, jsUnitDescriptor{"number", "", true}, kind + " direction");
    } else if (!c.direction.is_none()) {
        refuse(kind + ": direction=: only tractions take a direction");
    }
}

template <class W>
std::shared_ptr<W> built(std::shared_ptr<lcIntensityFunction> model, const std::string& kind) {
    kestrel::Load load;
    load.name = kind;
    load.intensity = model;
    check(load, kind);
    auto w = std::make_shared<W>();
    w->model = std::move(model);
    return w;
}

template <class W>
std::shared_ptr<W> builtFootprint(std::shared_ptr<lcFootprint> model, const std::string& kind) {
    kestrel::Load load;
    load.name = kind;
    load.footprint = model;
    check(load, kind);
    auto w = std::make_shared<W>();
    w->model = std::move(model);
    return w;
}

// ---- evaluation over arrays ----

using Points = py::array_t<double, py::array::c_style | py::array::forcecast>;

struct Positions {
    std::vector<pos3d> at;
    bool single = false;
};

Positions positionsOf(const Points& points) {
    Positions p;
    if (points.ndim() == 1 && points.shape(0) == 3) {
        p.single = true;
        p.at.emplace_back(points.at(0), points.at(1), points.at(2));
        return p;
    }
    if (points.ndim() != 2 || points.shape(1) != 3)
        refuse("points: expected an (n, 3) array of positions in metres, or one position (3,)");
    const double* d = points.data();
    p.at.reserve(static_cast<std::size_t>(points.shape(0)));
    for (py::ssize_t i = 0; i < points.shape(0); ++i) p.at.emplace_back(d[3 * i], d[3 * i + 1], d[3 * i + 2]);
    return p;
}

// One thread at a time may run a function's script.
std::mutex& scriptMutex() {
    static std::mutex m;
    return m;
}

std::size_t componentsOf(const kestrel::Load& load) {
    if (!load.intensity) refuse("load \"" + load.name + "\" has no intensity function");
    return quantityOf(*load.intensity).components.size();
}

// Values at the positions into `out` (n x width), NaN where there is none; the lock is released.
void evaluateInto(const kestrel::Load& load, const std::vector<pos3d>& at, std::size_t width, double* out, bool limited,
                  std::vector<std::string>* errors) {
    py::gil_scoped_release release;
    std::unique_lock<std::mutex> lock(scriptMutex(), std::defer_lock);
    if (endsWith(kinds().intensity(*load.intensity), "_javascript")) lock.lock();
    const viewEvaluator evaluator(load);
    for (std::size_t i = 0; i < at.size(); ++i)
        evaluator.valuesAt(at[i], limited, out + i * width, width, errors ? &(*errors)[i] : nullptr);
}

py::array_t<double> evaluate(const kestrel::Load& load, const Points& points, bool limited) {
    const std::size_t width = componentsOf(load);
    const Positions p = positionsOf(points);
    py::array_t<double> out({static_cast<py::ssize_t>(p.at.size()), static_cast<py::ssize_t>(width)});
    evaluateInto(load, p.at, width, out.mutable_data(), limited, nullptr);
    if (p.single) return out.reshape({static_cast<py::ssize_t>(width)});
    return out;
}

std::string svgOf(const kestrel::Load& load) {
    viewPicture picture;
    std::string error;
    bool drawn = false;
    {
        py::gil_scoped_release release;
        std::unique_lock<std::mutex> lock(scriptMutex());
        drawn = viewPlot(load, picture, error);
    }
    if (!drawn) refuse("load \"" + load.name + "\": " + error);
    return picture.svg;
}

py::array_t<double> pointsArray(const std::vector<pos3d>& points) {
    py::array_t<double> a({static_cast<py::ssize_t>(points.size()), py::ssize_t(3)});
    auto r = a.mutable_unchecked<2>();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const auto k = static_cast<py::ssize_t>(i);
        r(k, 0) = points[i].x;
        r(k, 1) = points[i].y;
        r(k, 2) = points[i].z;
    }
    return a;
}

// ---- documents ----

PyDocument document(kestrel::ReadResult&& read) {
    PyDocument d;
    d.ok = read.ok();
    d.loads = std::move(read.loads);
    d.errors = std::move(read.errors);
    return d;
}

kestrel::ReadOptions options(std::size_t maxErrors, std::size_t maxGridNodes) {
    kestrel::ReadOptions o;
    o.maxErrors = maxErrors;
    o.maxGridNodes = maxGridNodes;
    return o;
}

[[noreturn]] void raiseErrno(int code, const py::object& path) {
    errno = code;
    PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, path.ptr());
    throw py::error_already_set();
}

PyDocument readFile(const py::object& path, std::size_t maxErrors, std::size_t maxGridNodes) {
    const py::object name = py::module_::import("os").attr("fspath")(path);
    const std::filesystem::path file = name.cast<std::filesystem::path>();
    // The library reports an unopenable file as a diagnostic; Python programs expect the OSError.
    std::error_code code;
    if (std::filesystem::is_directory(file, code)) raiseErrno(EISDIR, name);
    if (std::FILE* f = std::fopen(file.c_str(), "rb"))
        std::fclose(f);
    else
        raiseErrno(errno, name);
    kestrel::ReadResult read;
    {
        py::gil_scoped_release release;
        read = kestrel::readLoadsFile(file, options(maxErrors, maxGridNodes));
    }
    return document(std::move(read));
}

PyDocument readText(const std::string& text, std::size_t maxErrors, std::size_t maxGridNodes) {
    kestrel::ReadResult read;
    {
        py::gil_scoped_release release;
        read = kestrel::readLoads(text, options(maxErrors, maxGridNodes));
    }
    return document(std::move(read));
}

py::object writeDocument(const std::vector<kestrel::Load>& loads, const py::object& path) {
    kestrel::WriteResult written;
    {
        py::gil_scoped_release release;
        written = kestrel::writeLoads(loads);
    }
    if (!written.ok()) refuse("the loads cannot be written: " + joined(written.errors));
    if (path.is_none()) return py::str(written.text);
    const py::object name = py::module_::import("os").attr("fspath")(path);
    const std::filesystem::path file = name.cast<std::filesystem::path>();
    errno = 0;
    std::ofstream out(file, std::ios::binary);
    if (!out) raiseErrno(errno ? errno : EIO, name);
    out << written.text;
    out.close();
    if (!out) raiseErrno(errno ? errno : EIO, name);
    return py::none();
}

// The loads as an IFC 4.3 file, whose load case is named after the file as the command names it.
// What IFC cannot carry comes back as (index, name, reason): never dropped silently.
py::list writeIfcFile(const std::vector<kestrel::Load>& loads, const py::object& path, double step) {
    const py::object name = py::module_::import("os").attr("fspath")(path);
    const std::filesystem::path file = name.cast<std::filesystem::path>();
    kestrel::IfcOptions options;
    if (!file.stem().empty()) options.name = file.stem().string();
    options.step = step;
    errno = 0;
    std::ofstream out(file, std::ios::binary);
    if (!out) raiseErrno(errno ? errno : EIO, name);
    kestrel::IfcResult result;
    {
        py::gil_scoped_release release;
        std::unique_lock<std::mutex> lock(scriptMutex());
        result = kestrel::writeIfc(loads, out, options);
    }
    out.close();
    if (!out) raiseErrno(errno ? errno : EIO, name);
    py::list skipped;
    for (const kestrel::IfcSkipped& s : result.skipped) skipped.append(py::make_tuple(s.index, s.load, s.reason));
    return skipped;
}

std::vector<kestrel::Diagnostic> validate(const std::string& text) {
    static const std::string schema = kestrel::loadsSchema();
    // Kept under the interpreter's lock: libxml2's schema validation is not known to be safe on
    // two threads at once.
    const hostValidation v = hostValidate(text, schema);
    std::vector<kestrel::Diagnostic> out;
    for (const auto& e : v.errors) out.push_back({e.line, e.column, e.path, e.message});
    if (!v.readable && out.empty()) out.push_back({0, 0, {}, "the text is not a readable XML document"});
    return out;
}

std::string coordinatesName(hostCoordinates c) {
    return c == hostCoordinates::cylindrical ? "cylindrical" : "cartesian";
}

}  // namespace

PYBIND11_MODULE(_kestrel, m) {
    m.doc() = "Kestrel load documents from Python: read, evaluate over numpy arrays, build and write loads.";
    m.attr("__version__") = kestrel::version();

    py::class_<kestrel::Diagnostic>(m, "Diagnostic",
                                    "One problem of a document: line, column (0 where unknown), "
                                    "the element path and the message.")
        .def_readonly("line", &kestrel::Diagnostic::line)
        .def_readonly("column", &kestrel::Diagnostic::column)
        .def_readonly("path", &kestrel::Diagnostic::path)
        .def_readonly("message", &kestrel::Diagnostic::message)
        .def("__repr__",
             [](const kestrel::Diagnostic& d) {
                 return "<Diagnostic " + std::to_string(d.line) + ":" + std::to_string(d.column) + " " + d.path + ": " +
                        d.message + ">";
             })
        .def("__str__", [](const kestrel::Diagnostic& d) {
            return std::to_string(d.line) + ":" + std::to_string(d.column) + ": error: " + d.path + ": " + d.message;
        });

    // Footprints.
    py::class_<PyFootprint, std::shared_ptr<PyFootprint>> footprint(m, "Footprint", "Where a load acts.");
    footprint
        .def_property_readonly(
            "kind", [](const PyFootprint& f) { return kinds().footprint(*f.model); },
            "The element name, e.g. \"footprint_polygon\".")
        .def_property_readonly(
            "points",
            [](const PyFootprint& f) {
                const lcFootprint* g = f.model.get();
                if (auto* p = dynamic_cast<const laFootprintPoint*>(g)) return pointsArray({p->position()});
                if (auto* l = dynamic_cast<const laFootprintLine*>(g))
                    return pointsArray({l->geometry().end1(), l->geometry().end2()});
                if (auto* q = dynamic_cast<const laFootprintPolygon*>(g)) {
                    const auto& c = q->geometry().corners();
                    return pointsArray(std::vector<pos3d>(c.begin(), c.end()));
                }
                if (auto* b = dynamic_cast<const laFootprintBox*>(g))
                    return pointsArray({b->geometry().p1(), b->geometry().p2()});
                return pointsArray({});
            },
            "(n, 3) float64 array in metres: the point; the line's two ends; the polygon's corners; the box's "
            "lower and upper corner (in its local system).")
        .def("__repr__", [](const PyFootprint& f) { return "<kestrel." + kinds().footprint(*f.model) + ">"; });
    py::class_<PyPoint, PyFootprint, std::shared_ptr<PyPoint>>(m, "Point", "A footprint at one position.")
        .def(py::init([](py::handle p) {
                 return builtFootprint<PyPoint>(kestrel::make<laFootprintPoint>(position(p, "Point")), "Point");
             }),
             "p"_a, "Point(p): a point footprint at p (3 lengths: numbers in metres or texts with a unit).");
    py::class_<PyLine, PyFootprint, std::shared_ptr<PyLine>>(m, "Line", "A footprint along a straight segment.")
        .def(py::init([](py::handle p1, py::handle p2) {
                 return builtFootprint<PyLine>(
                     kestrel::make<laFootprintLine>(line3d(position(p1, "Line p1"), position(p2, "Line p2"))), "Line");
             }),
             "p1"_a, "p2"_a, "Line(p1, p2): a line footprint from p1 (parameter 0) to p2 (parameter 1).");
    py::class_<PyPolygon, PyFootprint, std::shared_ptr<PyPolygon>>(m, "Polygon", "A footprint over a plane polygon.")
        .def(py::init([](py::handle points) {
                 const auto corners = positions(points, "Polygon points");
                 return builtFootprint<PyPolygon>(
                     kestrel::make<laFootprintPolygon>(List<pos3d>(corners.begin(), corners.end())), "Polygon");
             }),
             "points"_a,
             "Polygon(points): a polygon footprint with these corners in order (at least three, with an area).");
    py::class_<PyBox, PyFootprint, std::shared_ptr<PyBox>>(m, "Box", "A footprint inside a box.")
        .def(py::init([](py::handle lower, py::handle upper, py::handle origin, py::handle system) {
                 const locsys3d s = system.is_none() ? locsys3d() : localSystem(system, "Box local_system");
                 auto box = kestrel::make<laFootprintBox>(
                     oriented_bbox3d(position(lower, "Box lower"), position(upper, "Box upper"), s));
                 if (!origin.is_none()) box->setOriginLocalSystem(position(origin, "Box origin"));
                 return builtFootprint<PyBox>(box, "Box");
             }),
             "lower"_a, "upper"_a, "origin"_a = py::none(), py::kw_only(), "local_system"_a = py::none(),
             "Box(lower, upper, origin=None, *, local_system=None): a box from its lower to its upper corner along "
             "its local system (rows origin, x_axis, y_axis; global when None), with an origin for the loads' local "
             "coordinates (the system's origin when None).")
        .def_property_readonly(
            "origin",
            [](const PyBox& b) {
                return pointsArray({static_cast<const laFootprintBox&>(*b.model).getOriginLocalSystem()}).reshape({3});
            },
            "The origin of the loads' local coordinates, a (3,) array in metres.");

    // Limit functions.
    py::class_<PyLimit, std::shared_ptr<PyLimit>>(m, "Limit", "A limit function of a pressure.")
        .def_property_readonly(
            "kind",
            [](const PyLimit& l) -> std::string {
                return dynamic_cast<const laLimitFunctionRange*>(l.model.get()) ? "limit_function_range"
                                                                                : "limit_function_liquid_pressure";
            },
            "The element name.")
        .def("__repr__", [](const PyLimit& l) {
            return std::string("<kestrel.") +
                   (dynamic_cast<const laLimitFunctionRange*>(l.model.get()) ? "RangeLimit>" : "LiquidPressureLimit>");
        });
    const auto range = [](const PyLimit& l) -> const laLimitFunctionRange& {
        return static_cast<const laLimitFunctionRange&>(*l.model);
    };
    const auto bound = [range](const PyLimit& l, int present, bool upper) -> py::object {
        const auto& r = range(l);
        if (!(r.getRangeType() & present)) return py::none();
        return py::float_((upper ? r.getUpperLimit() : r.getLowerLimit()).real(0));
    };
    py::class_<PyRangeLimit, PyLimit, std::shared_ptr<PyRangeLimit>>(m, "RangeLimit", "Keeps pressures within a range.")
        .def(py::init([](py::handle lower, py::handle upper, bool lowerInclusive, bool upperInclusive) {
                 if (lower.is_none() && upper.is_none()) refuse("RangeLimit: give a lower or an upper limit, or both");
                 int type = 0;
                 double lo = 0.0, hi = 0.0;
                 if (!lower.is_none()) {
                     lo = quantity(lower, jsPressure::descriptor(), "RangeLimit lower");
                     type |= lowerInclusive ? 3 : 1;
                 }
                 if (!upper.is_none()) {
                     hi = quantity(upper, jsPressure::descriptor(), "RangeLimit upper");
                     type |= upperInclusive ? 12 : 4;
                 }
                 auto w = std::make_shared<PyRangeLimit>();
                 w->model = kestrel::make<laLimitFunctionRange>(laPressure<double>(lo), laPressure<double>(hi),
                                                                laLimitFunctionRange::lcRangeType(type));
                 return w;
             }),
             "lower"_a = py::none(), "upper"_a = py::none(), py::kw_only(), "lower_inclusive"_a = true,
             "upper_inclusive"_a = true,
             "RangeLimit(lower=None, upper=None, *, lower_inclusive=True, upper_inclusive=True): pressures beyond an "
             "inclusive limit are clipped to it; beyond or at an exclusive one they have no value.")
        .def_property_readonly(
            "lower", [bound](const PyLimit& l) { return bound(l, 1, false); }, "The lower limit in Pa, or None.")
        .def_property_readonly(
            "upper", [bound](const PyLimit& l) { return bound(l, 4, true); }, "The upper limit in Pa, or None.")
        .def_property_readonly(
            "lower_inclusive", [range](const PyLimit& l) { return (range(l).getRangeType() & 3) == 3; },
            "Whether the lower limit is inclusive.")
        .def_property_readonly(
            "upper_inclusive", [range](const PyLimit& l) { return (range(l).getRangeType() & 12) == 12; },
            "Whether the upper limit is inclusive.");
    py::class_<PyLiquidPressureLimit, PyLimit, std::shared_ptr<PyLiquidPressureLimit>>(
        m, "LiquidPressureLimit", "A liquid pushes and never pulls: negative pressures become 0.")
        .def(py::init([] {
                 auto w = std::make_shared<PyLiquidPressureLimit>();
                 w->model = kestrel::make<laLimitFunctionLiquidPressure>();
                 return w;
             }),
             "LiquidPressureLimit(): negative pressures become 0 Pa.");

    // Intensity functions.
    py::class_<PyIntensity, std::shared_ptr<PyIntensity>>(m, "Intensity",
                                                          "An intensity function: how strong a load "
                                                          "is at each position.")
        .def_property_readonly(
            "kind", [](const PyIntensity& f) { return kinds().intensity(*f.model); },
            "The element name, e.g. \"pressure2d_3point_varying\".")
        .def_property_readonly(
            "quantity", [](const PyIntensity& f) { return quantityOf(*f.model).name; },
            "\"pressure\", \"traction\", \"force_per_area\", \"force_per_length\", \"temperature\", "
            "\"force_moment\" or \"displacement\".")
        .def_property_readonly(
            "components", [](const PyIntensity& f) { return quantityOf(*f.model).components; },
            "The names of the value's components, e.g. [\"fx\", \"fy\", \"fz\"].")
        .def_property_readonly(
            "units", [](const PyIntensity& f) { return quantityOf(*f.model).units; },
            "One SI unit per component, e.g. [\"Pa\"].")
        .def_property_readonly(
            "description",
            [](const PyIntensity& f) {
                if (!f.load) return f.model->description(nullptr);
                const lcLoad model = f.load->model();
                return f.model->description(&model);
            },
            "The function described in words, with units (in its load's coordinates when taken from a load).")
        .def_property_readonly(
            "limit",
            [](const PyIntensity& f) {
                auto* p = dynamic_cast<const laIntensityFunction<laPressure<double>>*>(f.model.get());
                return wrap(p ? p->getLimit() : nullptr);
            },
            "The pressure's limit function (a copy), or None.")
        .def("__repr__", [](const PyIntensity& f) { return "<kestrel." + kinds().intensity(*f.model) + ">"; });

#define KESTREL_COMMON_ARGS                                                                            \
    py::kw_only(), "intensity_system"_a = "local", "position_system"_a = "local", "limit"_a = nullptr, \
                   "direction"_a = py::none()
#define KESTREL_COMMON_DOC                                                                                          \
    " Keywords: intensity_system and position_system (\"local\", the default, or \"global\"), limit (a pressure's " \
    "RangeLimit or LiquidPressureLimit) and direction (a traction's, required for it)."

    py::class_<PyConstant, PyIntensity, std::shared_ptr<PyConstant>>(m, "Constant", "One value everywhere.")
        .def(py::init([](const std::string& q, py::handle v, const std::string& is, const std::string& ps,
                         std::shared_ptr<PyLimit> limit, py::object direction) {
                 const Common c{is, ps, limit, direction};
                 return built<PyConstant>(
                     forQuantity<laIntensityConstant>("Constant", q,
                                                      [&]<class T>(std::type_identity<T>) {
                                                          auto f = kestrel::make<laIntensityConstant<T>>(
                                                              value<T>(v, "Constant value"));
                                                          applyCommon(*f, c, "Constant");
                                                          return std::shared_ptr<lcIntensityFunction>(f);
                                                      }),
                     "Constant");
             }),
             "quantity"_a, "value"_a, KESTREL_COMMON_ARGS,
             "Constant(quantity, value, *, intensity_system='local', position_system='local', limit=None, "
             "direction=None): one value (a number or a text with a unit; a sequence for vector "
             "quantities)." KESTREL_COMMON_DOC);
    py::class_<PyThreePoint, PyIntensity, std::shared_ptr<PyThreePoint>>(
        m, "ThreePoint", "A value varying linearly over the plane through three points.")
        .def(py::init([](const std::string& q, py::handle points, py::handle values, const std::string& is,
                         const std::string& ps, std::shared_ptr<PyLimit> limit, py::object direction) {
                 const Common c{is, ps, limit, direction};
                 return built<PyThreePoint>(forQuantity<laIntensityThreePointVarying>(
                                                "ThreePoint", q,
                                                [&]<class T>(std::type_identity<T>) {
                                                    const auto p = positions(points, "ThreePoint positions");
                                                    if (p.size() != 3)
                                                        refuse("ThreePoint positions: expected three positions");
                                                    py::object vs = py::reinterpret_borrow<py::object>(values);
                                                    if (py::hasattr(vs, "tolist")) vs = vs.attr("tolist")();
                                                    const auto v = items(vs, 3, "ThreePoint values");
                                                    auto f = kestrel::make<laIntensityThreePointVarying<T>>(
                                                        p[0], value<T>(v[0], "ThreePoint values[0]"), p[1],
                                                        value<T>(v[1], "ThreePoint values[1]"), p[2],
                                                        value<T>(v[2], "ThreePoint values[2]"));
                                                    applyCommon(*f, c, "ThreePoint");
                                                    return std::shared_ptr<lcIntensityFunction>(f);
                                                }),
                                            "ThreePoint");
             }),
             "quantity"_a, "positions"_a, "values"_a, KESTREL_COMMON_ARGS,
             "ThreePoint(quantity, positions, values, *, ...): values[i] at positions[i] (three of each), linear "
             "over their plane." KESTREL_COMMON_DOC);
    py::class_<PyLinearVarying, PyIntensity, std::shared_ptr<PyLinearVarying>>(
        m, "LinearVarying", "k1 c1 + k2 c2 + k3 c3 + k4 over the coordinates of a position.")
        .def(py::init([](const std::string& q, py::handle k1, py::handle k2, py::handle k3, py::handle k4,
                         std::vector<std::string> units, const std::string& is, const std::string& ps,
                         std::shared_ptr<PyLimit> limit, py::object direction) {
                 const Common c{is, ps, limit, direction};
                 if (units.size() != 3) refuse("LinearVarying units: expected three of length, angle or unknown");
                 coordsys3d::coord_unit u[3];
                 double k[3];
                 py::handle given[3] = {k1, k2, k3};
                 const jsUnitDescriptor plain{"number", "", true};
                 for (int i = 0; i < 3; ++i) {
                     const std::string what = "LinearVarying k" + std::to_string(i + 1);
                     if (units[i] == "length") {
                         u[i] = coordsys3d::length;
                         k[i] = quantity(given[i], jsForcePerUnitVolume::descriptor(), what);
                     } else if (units[i] == "angle") {
                         u[i] = coordsys3d::angle;
                         k[i] = quantity(given[i], jsForcePerUnitAreaPerAngle::descriptor(), what);
                     } else if (units[i] == "unknown") {
                         u[i] = coordsys3d::unknown;
                         k[i] = quantity(given[i], plain, what);
                     } else {
                         refuse("LinearVarying units: \"" + units[i] + "\" is not length, angle or unknown");
                     }
                 }
                 const double constant = quantity(k4, jsForcePerUnitArea::descriptor(), "LinearVarying k4");
                 return built<PyLinearVarying>(
                     forQuantity<laIntensityLinearVarying>("LinearVarying", q,
                                                           [&]<class T>(std::type_identity<T>) {
                                                               auto f = kestrel::make<laIntensityLinearVarying<T>>(
                                                                   k[0], u[0], k[1], u[1], k[2], u[2], constant);
                                                               applyCommon(*f, c, "LinearVarying");
                                                               return std::shared_ptr<lcIntensityFunction>(f);
                                                           }),
                     "LinearVarying");
             }),
             "quantity"_a, "k1"_a, "k2"_a, "k3"_a, "k4"_a, py::kw_only(),
             "units"_a = std::vector<std::string>{"length", "length", "length"}, "intensity_system"_a = "local",
             "position_system"_a = "local", "limit"_a = nullptr, "direction"_a = py::none(),
             "LinearVarying(quantity, k1, k2, k3, k4, *, units=('length', 'length', 'length'), ...): k1..k3 per "
             "unit of each coordinate (Pa/m for a length, Pa/rad for an angle), k4 in Pa." KESTREL_COMMON_DOC);
    py::class_<PyLinearParametric, PyIntensity, std::shared_ptr<PyLinearParametric>>(
        m, "LinearParametric", "A line load from value1 at the line's start to value2 at its end.")
        .def(py::init([](const std::string& q, py::handle v1, py::handle v2, const std::string& is,
                         const std::string& ps, std::shared_ptr<PyLimit> limit, py::object direction) {
                 const Common c{is, ps, limit, direction};
                 return built<PyLinearParametric>(forQuantity<laIntensityLinearParametric>(
                                                      "LinearParametric", q,
                                                      [&]<class T>(std::type_identity<T>) {
                                                          auto f = kestrel::make<laIntensityLinearParametric<T>>(
                                                              value<T>(v1, "LinearParametric value1"),
                                                              value<T>(v2, "LinearParametric value2"));
                                                          applyCommon(*f, c, "LinearParametric");
                                                          return std::shared_ptr<lcIntensityFunction>(f);
                                                      }),
                                                  "LinearParametric");
             }),
             "quantity"_a, "value1"_a, "value2"_a, KESTREL_COMMON_ARGS,
             "LinearParametric(quantity, value1, value2, *, ...): linear along the load's line "
             "footprint." KESTREL_COMMON_DOC);
    py::class_<PyScript, PyIntensity, std::shared_ptr<PyScript>>(m, "Script",
                                                                 "A value computed by a script at each position.")
        .def(py::init([](const std::string& q, const std::string& source, py::handle refinement, const std::string& is,
                         const std::string& ps, std::shared_ptr<PyLimit> limit, py::object direction) {
                 const Common c{is, ps, limit, direction};
                 return built<PyScript>(
                     forQuantity<laIntensityJavaScript>(
                         "Script", q,
                         [&]<class T>(std::type_identity<T>) {
                             auto* function = mfCreate<jmfFunctionObject>(source);
                             if (!function) throw std::bad_alloc();
                             std::shared_ptr<laIntensityJavaScript<T>> f;
                             if constexpr (laSurfaceQuantity<T>) {
                                 if (refinement.is_none()) {
                                     delete function;
                                     refuse("Script: a surface quantity needs refinement=, an edge length");
                                 }
                                 double r = 0.0;
                                 try {
                                     r = quantity(refinement, jsLength::descriptor(), "Script refinement");
                                 } catch (...) {
                                     delete function;
                                     throw;
                                 }
                                 f = kestrel::make<laIntensityJavaScript<T>>(function, r);
                             } else {
                                 if (!refinement.is_none()) {
                                     delete function;
                                     refuse("Script: refinement=: only surface quantities take one");
                                 }
                                 f = kestrel::make<laIntensityJavaScript<T>>(function);
                             }
                             applyCommon(*f, c, "Script");
                             return std::shared_ptr<lcIntensityFunction>(f);
                         }),
                     "Script");
             }),
             "quantity"_a, "source"_a, py::kw_only(), "refinement"_a = py::none(), "intensity_system"_a = "local",
             "position_system"_a = "local", "limit"_a = nullptr, "direction"_a = py::none(),
             "Script(quantity, source, *, refinement=None, ...): source defines function intensity(x, y, z) "
             "(surface quantities, which need refinement=, an edge length) or intensity(t) (line "
             "quantities)." KESTREL_COMMON_DOC);
    py::class_<PyGrid, PyIntensity, std::shared_ptr<PyGrid>>(m, "Grid", "Values at the nodes of a rectilinear grid.")
        .def(py::init([](const std::string& q, py::handle x, py::handle y, py::handle z,
                         py::array_t<double, py::array::c_style | py::array::forcecast> values, const std::string& is,
                         const std::string& ps, std::shared_ptr<PyLimit> limit, py::object direction) {
                 const Common c{is, ps, limit, direction};
                 std::vector<double> axes[3];
                 py::handle given[3] = {x, y, z};
                 const char* names[3] = {"x", "y", "z"};
                 for (int a = 0; a < 3; ++a) {
                     py::object seq = py::reinterpret_borrow<py::object>(given[a]);
                     if (py::hasattr(seq, "tolist")) seq = seq.attr("tolist")();
                     const std::size_t n = py::len(seq);
                     for (std::size_t i = 0; i < n; ++i) {
                         const double v = quantity(seq[py::int_(i)], jsLength::descriptor(),
                                                   std::string("Grid ") + names[a] + "[" + std::to_string(i) + "]");
                         if (!axes[a].empty() && v <= axes[a].back())
                             refuse(std::string("Grid ") + names[a] + ": values must ascend");
                         axes[a].push_back(v);
                     }
                 }
                 if (values.ndim() != 3 || static_cast<std::size_t>(values.shape(0)) != axes[0].size() ||
                     static_cast<std::size_t>(values.shape(1)) != axes[1].size() ||
                     static_cast<std::size_t>(values.shape(2)) != axes[2].size())
                     refuse("Grid values: expected an (nx, ny, nz) array of " + std::to_string(axes[0].size()) + " x " +
                            std::to_string(axes[1].size()) + " x " + std::to_string(axes[2].size()));
                 return built<PyGrid>(forQuantity<laIntensityFunctionGrid>(
                                          "Grid", q,
                                          [&]<class T>(std::type_identity<T>) {
                                              auto f = kestrel::make<laIntensityFunctionGrid<T>>();
                                              f->setXValues(Vector<double>(axes[0].begin(), axes[0].end()));
                                              f->setYValues(Vector<double>(axes[1].begin(), axes[1].end()));
                                              f->setZValues(Vector<double>(axes[2].begin(), axes[2].end()));
                                              auto r = values.unchecked<3>();
                                              for (py::ssize_t i = 0; i < r.shape(0); ++i)
                                                  for (py::ssize_t j = 0; j < r.shape(1); ++j)
                                                      for (py::ssize_t k = 0; k < r.shape(2); ++k) {
                                                          const double v = r(i, j, k);
                                                          // A node without a point reads as zero, as in a document.
                                                          if (std::isnan(v)) continue;
                                                          if (!std::isfinite(v))
                                                              refuse("Grid values: a value is not finite");
                                                          f->node(static_cast<int>(i), static_cast<int>(j),
                                                                  static_cast<int>(k)) = T(v);
                                                      }
                                              applyCommon(*f, c, "Grid");
                                              return std::shared_ptr<lcIntensityFunction>(f);
                                          }),
                                      "Grid");
             }),
             "quantity"_a, "x"_a, "y"_a, "z"_a, "values"_a, KESTREL_COMMON_ARGS,
             "Grid(quantity, x, y, z, values, *, ...): ascending node coordinates per axis (metres) and an (nx, ny, "
             "nz) array of values, NaN where a node has no point." KESTREL_COMMON_DOC);
#undef KESTREL_COMMON_ARGS
#undef KESTREL_COMMON_DOC

    // Loads.
    py::class_<kestrel::Load>(m, "Load", "A load: a name, where it acts (footprint) and how strongly (intensity).")
        .def(py::init([](std::string name, std::shared_ptr<PyFootprint> footprint,
                         std::shared_ptr<PyIntensity> intensity, const std::string& coordinates, py::handle system) {
                 kestrel::Load load;
                 load.name = std::move(name);
                 if (footprint) load.footprint = footprint->model;
                 if (intensity) load.intensity = intensity->model;
                 if (coordinates == "cylindrical")
                     load.coordinates = hostCoordinates::cylindrical;
                 else if (coordinates != "cartesian")
                     refuse("Load coordinates: \"" + coordinates + "\" is neither \"cartesian\" nor \"cylindrical\"");
                 if (!system.is_none()) load.localSystem = localSystem(system, "Load local_system");
                 check(load, "Load \"" + load.name + "\"");
                 return load;
             }),
             "name"_a, "footprint"_a = nullptr, "intensity"_a = nullptr, "coordinates"_a = "cartesian",
             "local_system"_a = py::none(),
             "Load(name, footprint=None, intensity=None, coordinates='cartesian', local_system=None): local_system "
             "is (origin, x_axis, y_axis).")
        .def_readonly("name", &kestrel::Load::name, "The load's name.")
        .def_property_readonly(
            "footprint", [](const kestrel::Load& l) { return wrap(l.footprint); }, "The footprint, or None.")
        .def_property_readonly(
            "intensity", [](const kestrel::Load& l) { return wrap(l.intensity, &l); },
            "The intensity function, or None.")
        .def_property_readonly(
            "coordinates", [](const kestrel::Load& l) { return coordinatesName(l.coordinates); },
            "\"cartesian\" or \"cylindrical\".")
        .def_property_readonly(
            "local_system",
            [](const kestrel::Load& l) -> py::object {
                if (!l.localSystem) return py::none();
                return systemArray(*l.localSystem);
            },
            "None, or a (3, 3) array: rows origin (m), x_axis, y_axis.")
        .def("evaluate", &evaluate, "points"_a, "limited"_a = true,
             "evaluate(points, limited=True) -> ndarray: the values at global positions (an (n, 3) array, or one "
             "(3,)) as an (n, components) float64 array in SI units, NaN where there is none; limited=False gives "
             "the value before the pressure's limit function.")
        .def(
            "evaluation_errors",
            [](const kestrel::Load& load, const Points& points) {
                const std::size_t width = componentsOf(load);
                const Positions p = positionsOf(points);
                std::vector<double> values(p.at.size() * width);
                std::vector<std::string> errors(p.at.size());
                evaluateInto(load, p.at, width, values.data(), false, &errors);
                return errors;
            },
            "points"_a,
            "evaluation_errors(points) -> list[str]: why each position has no value (a script's error), \"\" where "
            "that is not the reason.")
        .def(
            "on_footprint",
            [](const kestrel::Load& load, const Points& points) -> py::array {
                if (!load.footprint) refuse("load \"" + load.name + "\" has no footprint");
                const Positions p = positionsOf(points);
                py::array_t<bool> out(static_cast<py::ssize_t>(p.at.size()));
                bool* o = out.mutable_data();
                {
                    py::gil_scoped_release release;
                    for (std::size_t i = 0; i < p.at.size(); ++i) o[i] = load.footprint->within(p.at[i]);
                }
                if (p.single) return out.reshape(std::vector<py::ssize_t>{});
                return out;
            },
            "points"_a,
            "on_footprint(points) -> ndarray[bool]: whether each position lies on the footprint (within 1e-6 m).")
        .def(
            "sample",
            [](const kestrel::Load& load, double step, bool limited) {
                if (!load.footprint) refuse("load \"" + load.name + "\" has no footprint to sample");
                const std::size_t width = componentsOf(load);
                std::vector<pos3d> at;
                std::string error;
                bool sampled = false;
                {
                    py::gil_scoped_release release;
                    sampled = viewSamplePositions(*load.footprint, step, at, error);
                }
                if (!sampled) refuse("load \"" + load.name + "\": " + error);
                py::array_t<double> values({static_cast<py::ssize_t>(at.size()), static_cast<py::ssize_t>(width)});
                evaluateInto(load, at, width, values.mutable_data(), limited, nullptr);
                return py::make_tuple(pointsArray(at), values);
            },
            "step"_a, "limited"_a = true,
            "sample(step, limited=True) -> (positions, values): the load at regular positions step metres apart "
            "over its footprint, as `kestrel sample` makes them.")
        .def("to_svg", &svgOf, "to_svg() -> str: the SVG picture that `kestrel plot` draws.")
        .def(
            "_repr_svg_",
            [](const kestrel::Load& load) -> py::object {
                try {
                    return py::str(svgOf(load));
                } catch (const py::value_error&) {
                    return py::none();
                }
            },
            "_repr_svg_() -> str | None: the picture, for notebooks; None for a load that cannot be drawn.")
        .def("__eq__", [](const kestrel::Load& a, const kestrel::Load& b) { return a == b; })
        .def("__repr__", [](const kestrel::Load& l) {
            std::string text = "<kestrel.Load " + std::string(py::repr(py::str(l.name)));
            if (l.footprint) text += " " + kinds().footprint(*l.footprint);
            if (l.intensity) text += " " + kinds().intensity(*l.intensity);
            return text + ">";
        });

    py::class_<PyDocument>(m, "Document", "A load document read: its loads and its errors.")
        .def_readonly("loads", &PyDocument::loads, "The loads read (a load with errors is left out).")
        .def_readonly("errors", &PyDocument::errors, "The document's problems, as Diagnostic.")
        .def_readonly("ok", &PyDocument::ok, "Whether the document was read without errors.")
        .def("__repr__", [](const PyDocument& d) {
            return "<kestrel.Document " + std::to_string(d.loads.size()) + " loads, " +
                   std::to_string(d.errors.size()) + " errors>";
        });

    m.def("_read", &readFile, "path"_a, "max_errors"_a, "max_grid_nodes"_a);
    m.def("_read_text", &readText, "text"_a, "max_errors"_a, "max_grid_nodes"_a);
    m.def("write", &writeDocument, "loads"_a, "path"_a = py::none(),
          "write(loads, path=None) -> str | None: the document text of the loads, or written to the file at path. "
          "Raises ValueError when a load cannot be written.");
    m.def("write_ifc", &writeIfcFile, "loads"_a, "path"_a, "step"_a = 0.0,
          "write_ifc(loads, path, step=0.0) -> list[tuple[int, str, str]]: the loads as an IFC 4.3 structural "
          "analysis model in the file at path, as `kestrel ifc` writes it (step: metres between sampled "
          "positions, 0 for a twentieth of the footprint's longer side); the loads IFC cannot carry, as "
          "(index, name, reason).");
    m.def("schema", &kestrel::loadsSchema, "schema() -> str: the XML Schema of load documents.");
    m.def("validate", &validate, "text"_a,
          "validate(text) -> list[Diagnostic]: the text checked against the schema; empty when it is valid.");
}
