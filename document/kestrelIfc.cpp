#include "kestrel/document/kestrelIfc.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string_view>

#include "kestrel/components/framework/mfTextFormatter.h"
#include "kestrel/components/geometry/mfSpaceBase.h"
#include "kestrel/components/step/mfStepGuid.h"
#include "kestrel/components/step/mfStepWriter.h"
#include "kestrel/kestrelVersion.h"
#include "kestrel/model/laFootprintBox.h"
#include "kestrel/model/laFootprintLine.h"
#include "kestrel/model/laFootprintPoint.h"
#include "kestrel/model/laFootprintPolygon.h"
#include "kestrel/model/laIntensityConstant.h"
#include "kestrel/model/laIntensityLinearParametric.h"

namespace kestrel {
namespace {

using Id = std::uint64_t;
// The components of one value: six at most (a force and a moment), held inline since a face is
// sampled at hundreds of places.
class Values {
public:
    Values() = default;
    Values(std::initializer_list<double> values) : m_size(std::min(values.size(), kMost)) {
        std::copy_n(values.begin(), m_size, m_values.begin());
    }
    std::size_t size() const { return m_size; }
    void resize(std::size_t size) { m_size = std::min(size, kMost); }
    double& operator[](std::size_t i) { return m_values[i]; }
    double operator[](std::size_t i) const { return m_values[i]; }
    double& front() { return m_values[0]; }
    const double* data() const { return m_values.data(); }
    const double* begin() const { return m_values.data(); }
    const double* end() const { return m_values.data() + m_size; }

private:
    static constexpr std::size_t kMost = 6;
    std::array<double, kMost> m_values{};
    std::size_t m_size = 0;
};

// The most positions one load is sampled at: a step that makes more is refused for that load.
constexpr std::size_t kMaxSamples = 1'000'000;

template <class T>
const laIntensityFunction<T>* as(const Load& load) {
    return dynamic_cast<const laIntensityFunction<T>*>(load.intensity.get());
}

template <template <class> class Kind, class T>
bool is(const laIntensityFunction<T>* f) {
    return dynamic_cast<const Kind<T>*>(f) != nullptr;
}

// A face's own axes: the plane its action's values and sample positions refer to.
struct Axes {
    pos3d origin;
    vec3d u, v, n;
    double a(const pos3d& p) const { return dot(p - origin, u); }
    double b(const pos3d& p) const { return dot(p - origin, v); }
};

// What a load does at one place: its components as `kestrel eval` reports them, limit applied.
class Evaluator {
public:
    Evaluator(const Load& load, lcLoad::lcCoordinateSystem system)
        : m_load(load),
          m_model(load.model()),
          m_system(system),
          m_pressure(as<laPressure<double>>(load)),
          m_traction(as<laTraction<double>>(load)),
          m_limit(m_pressure ? m_pressure->getLimit() : nullptr),
          m_sampler(load.intensity->sampler(&m_model, system, 1.0)) {
        if (!m_traction) return;
        m_direction = m_traction->direction;
        if (m_direction.length() > 0.0) m_direction = m_direction * (1.0 / m_direction.length());
        m_turns = m_traction->intensitySystem != m_system;
        // In a Cartesian system the direction turns alike at every position.
        if (m_turns && !m_model.coordsys().isCylindrical()) {
            m_direction = turned(pos3d(), m_direction);
            m_turns = false;
        }
    }

    // False with the reason when the function gives no value there; `limitedAway` when it does
    // but the limit function leaves none (the load does not act there).
    bool at(const pos3d& position, Values& out, bool& limitedAway, std::string& error) const {
        limitedAway = false;
        const lcIntensity value = m_sampler->at(position);
        if (value.empty()) {
            error = hostEvaluationError(*m_load.intensity);
            if (error.empty()) error = "the intensity function has no value there";
            return false;
        }
        out.resize(value.size());
        for (std::size_t i = 0; i < out.size(); ++i) out[i] = value.get_complex(i).real();
        for (const double x : out)
            if (!std::isfinite(x)) {
                error = "the intensity function's value is not finite";
                return false;
            }
        if (m_limit) {
            laPressure<double> limited;
            if (!m_limit->limit(laPressure<double>(out.front()), limited)) {
                limitedAway = true;
                return true;
            }
            out.front() = limited.real(0);
        }
        if (m_traction) out = tractionVector(position, out.front());
        return true;
    }

private:
    // A traction's magnitude along its direction, turned into the system asked for.
    Values tractionVector(const pos3d& position, double magnitude) const {
        const vec3d d = m_turns ? turned(position, m_direction) : m_direction;
        return {d.x * magnitude, d.y * magnitude, d.z * magnitude};
    }

    vec3d turned(const pos3d& position, const vec3d& d) const {
        const coordsys3d& system = m_model.coordsys();
        trans3d turn;
        const bool turns = m_system == lcLoad::global ? system.localToGlobal(system.toLocal(position), turn)
                                                      : system.globalToLocal(position, turn);
        return turns ? d.transform(turn) : d;
    }

    const Load& m_load;
    lcLoad m_model;
    lcLoad::lcCoordinateSystem m_system;
    const laIntensityFunction<laPressure<double>>* m_pressure;
    const laIntensityFunction<laTraction<double>>* m_traction;
    const laLimitFunctionPressure* m_limit;
    std::unique_ptr<lcIntensitySampler> m_sampler;
    // A traction's unit direction, turned already unless it turns with the position.
    vec3d m_direction;
    bool m_turns = false;
};

// One load value to write, at a place along its curve (one coordinate) or on its face (two).
struct Sample {
    double at[2] = {0.0, 0.0};
    Values value;
};

// What an action carries: the entity of its values, a single one or sampled.
struct Action {
    std::string_view entity;  // IFCSTRUCTURALPOINTACTION, ...
    std::string_view type;    // CONST, LINEAR, POLYGONAL, DISCRETE; empty for a point
    std::string_view load;    // IFCSTRUCTURALLOADSINGLEFORCE, ...
    bool local = false;
    int dimensions = 0;  // of the sample places: 1 along a curve, 2 on a face
    std::vector<Sample> samples;

    // Empty again, its samples keeping their room for the next load.
    void reset() {
        std::vector<Sample> kept = std::move(samples);
        kept.clear();
        *this = {};
        samples = std::move(kept);
    }
};

class IfcExport {
public:
    IfcExport(std::ostream& out, const IfcOptions& options) : m_step(out), m_options(options) {}

    void begin() {
        m_step.header({"ViewDefinition [StructuralAnalysisView]", m_options.name + ".ifc", m_options.timeStamp,
                       std::string("kestrel ") + KESTREL_VERSION_STRING, "IFC4X3_ADD2"});
        const Id origin = point({0, 0, 0});
        const Id world = m_step.begin("IFCAXIS2PLACEMENT3D");
        m_step.ref(origin).null().null().end();
        m_context = m_step.begin("IFCGEOMETRICREPRESENTATIONCONTEXT");
        m_step.null().string("Model").integer(3).real(mfSpaceBase::m_accuracy).ref(world).null().end();
        m_placement = m_step.begin("IFCLOCALPLACEMENT");
        m_step.null().ref(world).end();
        const Id units = writeUnits();
        const Id project = m_step.begin("IFCPROJECT");
        root("project").null().null().null().open().ref(m_context).close().ref(units).end();
        m_case = m_step.reserve();
        const Id model = m_step.begin("IFCSTRUCTURALANALYSISMODEL");
        root("model").null().enumeration("LOADING_3D").null().open().ref(m_case).close().null().ref(m_placement);
        m_step.end();
        m_step.begin("IFCRELDECLARES");
        m_step.string(mfStepGuid(m_options.name + "#declares")).null().null().null().ref(project);
        m_step.open().ref(model).close().end();
        m_step.begin("IFCSTRUCTURALLOADCASE", m_case);
        root("case").null().enumeration("LOAD_CASE").enumeration("NOTDEFINED").enumeration("NOTDEFINED");
        m_step.null().null().null().end();
    }

    // Writes the load's action, or says why IFC cannot carry it.
    bool add(const Load& load, std::size_t index, std::string& reason) {
        Action& action = m_action;
        action.reset();
        std::optional<Axes> axes;
        if (!load.footprint) {
            reason = "it has no footprint, and an IFC action needs a place";
            return false;
        }
        if (!load.intensity) {
            reason = "it has no intensity function";
            return false;
        }
        const lcFootprint& footprint = *load.footprint;
        if (!finite(footprint)) {
            reason = "its footprint has coordinates that are not finite numbers";
            return false;
        }
        bool ok = false;
        if (auto* p = dynamic_cast<const laFootprintPoint*>(&footprint))
            ok = pointAction(load, *p, action, reason);
        else if (auto* l = dynamic_cast<const laFootprintLine*>(&footprint))
            ok = curveAction(load, *l, action, reason);
        else if (auto* s = dynamic_cast<const laFootprintPolygon*>(&footprint))
            ok = surfaceAction(load, *s, action, axes, reason);
        else if (dynamic_cast<const laFootprintBox*>(&footprint))
            reason = "a box footprint is a volume, and IFC has point, curve and surface actions only";
        else
            reason = "its footprint has no IFC form";
        if (!ok) return false;
        const Id shape = topology(footprint, axes);
        const Id applied = loadValues(load.name, action);
        const Id id = m_step.begin(action.entity);
        m_step.string(mfStepGuid(m_options.name + "/load[" + std::to_string(index + 1) + "]"));
        m_step.null().string(load.name).null().null().ref(m_placement).ref(shape).ref(applied);
        m_step.enumeration(action.local ? "LOCAL_COORDS" : "GLOBAL_COORDS").null();
        if (!action.type.empty()) m_step.enumeration("TRUE_LENGTH").enumeration(action.type);
        m_step.end();
        m_actions.push_back(id);
        return true;
    }

    std::size_t finish() {
        // A group relation needs at least one member.
        if (!m_actions.empty()) {
            m_step.begin("IFCRELASSIGNSTOGROUP");
            m_step.string(mfStepGuid(m_options.name + "#assigns")).null().null().null().open();
            for (const Id a : m_actions) m_step.ref(a);
            m_step.close().null().ref(m_case).end();
        }
        m_step.finish();
        return m_actions.size();
    }

private:
    // The file has no text for a coordinate that is not finite; a model built in code may hold one.
    static bool finite(const lcFootprint& footprint) {
        std::vector<pos3d> corners;
        if (auto* p = dynamic_cast<const laFootprintPoint*>(&footprint)) corners = {p->position()};
        if (auto* l = dynamic_cast<const laFootprintLine*>(&footprint))
            corners = {l->geometry().end1(), l->geometry().end2()};
        if (auto* s = dynamic_cast<const laFootprintPolygon*>(&footprint)) corners = s->geometry().corners();
        return std::all_of(corners.begin(), corners.end(), [](const pos3d& c) {
            return std::isfinite(c.x) && std::isfinite(c.y) && std::isfinite(c.z);
        });
    }

    mfStepWriter& root(const std::string& role) {
        return m_step.string(mfStepGuid(m_options.name + "#" + role)).null().string(m_options.name).null();
    }

    Id point(const pos3d& p) {
        const Id id = m_step.begin("IFCCARTESIANPOINT");
        m_step.open().real(p.x).real(p.y).real(p.z).close().end();
        return id;
    }

    Id direction(const vec3d& d) {
        const Id id = m_step.begin("IFCDIRECTION");
        m_step.open().real(d.x).real(d.y).real(d.z).close().end();
        return id;
    }

    Id vertex(Id at) {
        const Id id = m_step.begin("IFCVERTEXPOINT");
        m_step.ref(at).end();
        return id;
    }

    Id siUnit(std::string_view type, std::string_view name) {
        const Id id = m_step.begin("IFCSIUNIT");
        m_step.derived().enumeration(type).null().enumeration(name).end();
        return id;
    }

    Id derivedUnit(std::string_view type, std::initializer_list<std::pair<Id, int>> elements) {
        std::vector<Id> ids;
        for (const auto& [unit, exponent] : elements) {
            ids.push_back(m_step.begin("IFCDERIVEDUNITELEMENT"));
            m_step.ref(unit).integer(exponent).end();
        }
        const Id id = m_step.begin("IFCDERIVEDUNIT");
        m_step.open();
        for (const Id e : ids) m_step.ref(e);
        m_step.close().enumeration(type).null().null().end();
        return id;
    }

    Id writeUnits() {
        const Id metre = siUnit("LENGTHUNIT", "METRE");
        const Id newton = siUnit("FORCEUNIT", "NEWTON");
        std::vector<Id> units{metre,
                              newton,
                              siUnit("PRESSUREUNIT", "PASCAL"),
                              siUnit("THERMODYNAMICTEMPERATUREUNIT", "KELVIN"),
                              siUnit("PLANEANGLEUNIT", "RADIAN"),
                              derivedUnit("LINEARFORCEUNIT", {{newton, 1}, {metre, -1}}),
                              derivedUnit("PLANARFORCEUNIT", {{newton, 1}, {metre, -2}}),
                              derivedUnit("TORQUEUNIT", {{newton, 1}, {metre, 1}})};
        const Id id = m_step.begin("IFCUNITASSIGNMENT");
        m_step.open();
        for (const Id u : units) m_step.ref(u);
        m_step.close().end();
        return id;
    }

    // The footprint as a vertex, an edge or a face, in global coordinates under the shared
    // placement; a face lies on a plane whose axes are the action's own.
    Id topology(const lcFootprint& footprint, const std::optional<Axes>& axes) {
        Id item = 0;
        std::string_view type;
        if (auto* p = dynamic_cast<const laFootprintPoint*>(&footprint)) {
            item = vertex(point(p->position()));
            type = "Vertex";
        } else if (auto* l = dynamic_cast<const laFootprintLine*>(&footprint)) {
            const Id a = point(l->geometry().end1());
            const Id b = point(l->geometry().end2());
            const Id start = vertex(a);
            const Id end = vertex(b);
            const Id line = m_step.begin("IFCPOLYLINE");
            m_step.open().ref(a).ref(b).close().end();
            item = m_step.begin("IFCEDGECURVE");
            m_step.ref(start).ref(end).ref(line).boolean(true).end();
            type = "Edge";
        } else {
            const auto& polygon = dynamic_cast<const laFootprintPolygon&>(footprint);
            std::vector<Id> corners;
            for (const pos3d& c : polygon.geometry().corners()) corners.push_back(point(c));
            const Id loop = m_step.begin("IFCPOLYLOOP");
            m_step.open();
            for (const Id c : corners) m_step.ref(c);
            m_step.close().end();
            const Id bound = m_step.begin("IFCFACEOUTERBOUND");
            m_step.ref(loop).boolean(true).end();
            const Id origin = point(axes->origin);
            const Id z = direction(axes->n);
            const Id x = direction(axes->u);
            const Id placement = m_step.begin("IFCAXIS2PLACEMENT3D");
            m_step.ref(origin).ref(z).ref(x).end();
            const Id plane = m_step.begin("IFCPLANE");
            m_step.ref(placement).end();
            item = m_step.begin("IFCFACESURFACE");
            m_step.open().ref(bound).close().ref(plane).boolean(true).end();
            type = "Face";
        }
        const Id representation = m_step.begin("IFCTOPOLOGYREPRESENTATION");
        m_step.ref(m_context).string("Reference").string(type).open().ref(item).close().end();
        const Id shape = m_step.begin("IFCPRODUCTDEFINITIONSHAPE");
        m_step.null().null().open().ref(representation).close().end();
        return shape;
    }

    // One value as its load entity: the components in the entity's order, $ past them.
    Id loadValue(const std::string* name, std::string_view entity, const Values& value) {
        const Id id = m_step.begin(entity);
        name ? m_step.string(*name) : m_step.null();
        const std::size_t slots = entity == "IFCSTRUCTURALLOADPLANARFORCE"   ? 3
                                  : entity == "IFCSTRUCTURALLOADTEMPERATURE" ? 3
                                                                             : 6;
        for (std::size_t i = 0; i < slots; ++i) i < value.size() ? m_step.real(value[i]) : m_step.null();
        m_step.end();
        return id;
    }

    Id loadValues(const std::string& name, const Action& action) {
        if (action.type.empty() || action.type == "CONST")
            return loadValue(&name, action.load, action.samples[0].value);
        // Samples of one value share its entity: a limit or a plateau gives many. A value is
        // looked up by its bits (-0 and 0 are two, as the file writes them) in an open table of
        // 1 + the first sample that has it.
        const std::vector<Sample>& samples = action.samples;
        std::size_t size = 16;
        while (size < 2 * samples.size()) size *= 2;
        m_first.assign(size, 0);
        m_ids.resize(samples.size());
        for (std::size_t k = 0; k < samples.size(); ++k) {
            const Values& value = samples[k].value;
            // Neighbours often agree (a plateau, a limit): the previous sample's entity then serves.
            if (k > 0 && sameBits(samples[k - 1].value, value)) {
                m_ids[k] = m_ids[k - 1];
                continue;
            }
            std::size_t slot = hashOf(value) & (size - 1);
            while (m_first[slot] != 0 && !sameBits(samples[m_first[slot] - 1].value, value))
                slot = (slot + 1) & (size - 1);
            if (m_first[slot] == 0) {
                m_first[slot] = static_cast<std::uint32_t>(k + 1);
                m_ids[k] = loadValue(nullptr, action.load, value);
            } else {
                m_ids[k] = m_ids[m_first[slot] - 1];
            }
        }
        const Id id = m_step.begin("IFCSTRUCTURALLOADCONFIGURATION");
        m_step.string(name).open();
        for (std::size_t k = 0; k < samples.size(); ++k) m_step.ref(m_ids[k]);
        m_step.close().open();
        for (const Sample& s : action.samples) {
            m_step.open();
            for (int k = 0; k < action.dimensions; ++k) m_step.real(s.at[k]);
            m_step.close();
        }
        m_step.close().end();
        return id;
    }

    bool pointAction(const Load& load, const laFootprintPoint& point, Action& action, std::string& reason) {
        action.entity = "IFCSTRUCTURALPOINTACTION";
        if (as<laForceMoment<double>>(load))
            action.load = "IFCSTRUCTURALLOADSINGLEFORCE";
        else if (as<laDisplacement<double>>(load))
            action.load = "IFCSTRUCTURALLOADSINGLEDISPLACEMENT";
        else
            return noForm(load, "a point", reason);
        Sample s;
        bool away = false;
        if (!Evaluator(load, lcLoad::global).at(point.position(), s.value, away, reason)) return failed(reason);
        action.samples.push_back(std::move(s));
        return true;
    }

    bool curveAction(const Load& load, const laFootprintLine& line, Action& action, std::string& reason) {
        action.entity = "IFCSTRUCTURALCURVEACTION";
        action.dimensions = 1;
        if (as<laForcePerLength<double>>(load))
            action.load = "IFCSTRUCTURALLOADLINEARFORCE";
        else if (as<laTemperature<double>>(load))
            action.load = "IFCSTRUCTURALLOADTEMPERATURE";
        else
            return noForm(load, "a line", reason);
        const line3d& g = line.geometry();
        const double length = g.length();
        std::vector<double> places;
        if (is<laIntensityConstant>(as<laForcePerLength<double>>(load)) ||
            is<laIntensityConstant>(as<laTemperature<double>>(load))) {
            action.type = "CONST";
            places = {0.0};
        } else if (is<laIntensityLinearParametric>(as<laForcePerLength<double>>(load)) ||
                   is<laIntensityLinearParametric>(as<laTemperature<double>>(load))) {
            action.type = "LINEAR";
            places = {0.0, length};
        } else {
            action.type = "POLYGONAL";
            const double step = stepFor(length);
            if (length / step + 2 > static_cast<double>(kMaxSamples)) return tooFine(step, reason);
            for (double s = 0.0; s < length - mfSpaceBase::m_accuracy; s = static_cast<double>(places.size()) * step)
                places.push_back(s);
            places.push_back(length);
        }
        const Evaluator evaluator(load, lcLoad::global);
        for (const double s : places) {
            Sample sample;
            sample.at[0] = s;
            bool away = false;
            const pos3d at = length > 0.0 ? g.position(s / length) : g.end1();
            if (!evaluator.at(at, sample.value, away, reason)) return failedAt(at, reason);
            action.samples.push_back(std::move(sample));
        }
        return true;
    }

    bool surfaceAction(const Load& load, const laFootprintPolygon& polygon, Action& action, std::optional<Axes>& axes,
                       std::string& reason) {
        action.entity = "IFCSTRUCTURALSURFACEACTION";
        action.dimensions = 2;
        action.load = "IFCSTRUCTURALLOADPLANARFORCE";
        const bool pressure = as<laPressure<double>>(load) != nullptr;
        if (!pressure && !as<laTraction<double>>(load) && !as<laForcePerArea<double>>(load))
            return noForm(load, "a polygon", reason);
        const auto& corners = polygon.geometry().corners();
        vec3d n;
        if (corners.empty() || !polygon.normal(corners.front(), n)) {
            reason = "its polygon has no plane";
            return false;
        }
        axes = faceAxes(load, polygon, n);
        // A pressure presses against the face's normal, the local z axis; other values keep the
        // system their function gives them in where the face's axes can be the load's own.
        const bool ownAxes = !pressure && load.intensity->internalIntensitySystem() == lcLoad::local &&
                             load.coordinates == hostCoordinates::cartesian && alignedWithLoad(load, n);
        action.local = pressure || ownAxes;
        const Evaluator evaluator(load, ownAxes ? lcLoad::local : lcLoad::global);
        const auto convert = [&](Values& v) {
            if (!pressure) return;
            const double along = -v.front();
            v.resize(3);
            v[0] = 0.0;
            v[1] = 0.0;
            v[2] = along;
        };
        const bool constant = is<laIntensityConstant>(as<laPressure<double>>(load)) ||
                              is<laIntensityConstant>(as<laTraction<double>>(load)) ||
                              is<laIntensityConstant>(as<laForcePerArea<double>>(load));
        std::vector<pos3d>& places = m_places;
        std::vector<std::array<double, 2>>& params = m_params;
        places.clear();
        params.clear();
        if (constant) {
            action.type = "CONST";
            places.push_back(corners.front());
            params.push_back({axes->a(corners.front()), axes->b(corners.front())});
        } else {
            action.type = "DISCRETE";
            if (!grid(polygon, *axes, places, params, reason)) return false;
        }
        action.samples.reserve(places.size());
        for (std::size_t k = 0; k < places.size(); ++k) {
            const pos3d& at = places[k];
            Sample& sample = action.samples.emplace_back();
            sample.at[0] = params[k][0];
            sample.at[1] = params[k][1];
            bool away = false;
            if (!evaluator.at(at, sample.value, away, reason)) return failedAt(at, reason);
            if (away) {
                action.samples.pop_back();
                if (constant) {
                    reason = "its limit function leaves no pressure";
                    return false;
                }
                continue;
            }
            convert(sample.value);
        }
        if (action.samples.empty()) {
            reason = "its limit function leaves no pressure at any sampled position";
            return false;
        }
        return true;
    }

    static bool alignedWithLoad(const Load& load, const vec3d& n) {
        const locsys3d system = load.localSystem.value_or(locsys3d());
        return dot(system.unitZ(), n) > 1.0 - 1e-9;
    }

    // The load's own axes where its local z is the face's normal; the face's first corner and
    // first edge otherwise.
    static Axes faceAxes(const Load& load, const laFootprintPolygon& polygon, const vec3d& n) {
        const auto& corners = polygon.geometry().corners();
        Axes axes;
        axes.n = n;
        if (load.coordinates == hostCoordinates::cartesian && alignedWithLoad(load, n)) {
            const locsys3d system = load.localSystem.value_or(locsys3d());
            axes.origin = system.origin() + n * dot(corners.front() - system.origin(), n);
            axes.u = system.unitX();
            axes.v = system.unitY();
            return axes;
        }
        axes.origin = corners.front();
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const vec3d edge = corners[(i + 1) % corners.size()] - corners[i];
            const vec3d inPlane = edge - n * dot(edge, n);
            if (inPlane.length() > mfSpaceBase::m_accuracy) {
                axes.u = inPlane * (1.0 / inPlane.length());
                break;
            }
        }
        axes.v = cross(n, axes.u);
        return axes;
    }

    // Positions `step` apart in the face's axes over its region, boundary included, with their
    // places in those axes.
    bool grid(const laFootprintPolygon& polygon, const Axes& axes, std::vector<pos3d>& places,
              std::vector<std::array<double, 2>>& params, std::string& reason) {
        std::vector<std::array<double, 2>> outline;
        for (const pos3d& c : polygon.geometry().corners()) outline.push_back({axes.a(c), axes.b(c)});
        double low[2] = {INFINITY, INFINITY}, high[2] = {-INFINITY, -INFINITY};
        for (const auto& at : outline) {
            for (int k = 0; k < 2; ++k) {
                low[k] = std::min(low[k], at[k]);
                high[k] = std::max(high[k], at[k]);
            }
        }
        const double step = stepFor(std::max(high[0] - low[0], high[1] - low[1]));
        const double na = std::floor((high[0] - low[0]) / step + mfSpaceBase::m_accuracy / step) + 1;
        const double nb = std::floor((high[1] - low[1]) / step + mfSpaceBase::m_accuracy / step) + 1;
        if (!(na * nb <= static_cast<double>(kMaxSamples))) return tooFine(step, reason);
        const pos3d corner = axes.origin + axes.u * low[0] + axes.v * low[1];
        std::vector<std::pair<double, double>> spans;
        for (int j = 0; j < static_cast<int>(nb); ++j) {
            const double b = low[1] + j * step;
            rowSpans(outline, b, spans, m_crossings);
            std::size_t k = 0;
            for (int i = 0; i < static_cast<int>(na); ++i) {
                const double a = low[0] + i * step;
                while (k < spans.size() && spans[k].second < a) ++k;
                if (k == spans.size()) break;
                if (a < spans[k].first) continue;
                places.push_back(corner + axes.u * (i * step) + axes.v * (j * step));
                params.push_back({a, b});
            }
        }
        return true;
    }

    // Where the row at `b` meets the face, as sorted disjoint spans of a: inside by the winding
    // number (as a footprint counts it), and within the tolerance of an edge, the boundary being
    // the face's.
    static void rowSpans(const std::vector<std::array<double, 2>>& outline, double b,
                         std::vector<std::pair<double, double>>& spans,
                         std::vector<std::pair<double, int>>& crossings) {
        const double tolerance = mfSpaceBase::m_accuracy;
        crossings.clear();
        spans.clear();
        for (std::size_t k = 0; k < outline.size(); ++k) {
            const auto& p = outline[k];
            const auto& q = outline[(k + 1) % outline.size()];
            if ((p[1] <= b && b < q[1]) || (q[1] <= b && b < p[1]))
                crossings.push_back({p[0] + (b - p[1]) * (q[0] - p[0]) / (q[1] - p[1]), p[1] < q[1] ? 1 : -1});
            // The part of the edge within the tolerance of the row.
            const double lowB = std::min(p[1], q[1]), highB = std::max(p[1], q[1]);
            if (highB < b - tolerance || lowB > b + tolerance) continue;
            double from = p[0], to = q[0];
            if (highB - lowB > tolerance) {
                const auto along = [&](double y) {
                    return p[0] + (std::clamp(y, lowB, highB) - p[1]) * (q[0] - p[0]) / (q[1] - p[1]);
                };
                from = along(b - tolerance);
                to = along(b + tolerance);
            }
            spans.push_back({std::min(from, to) - tolerance, std::max(from, to) + tolerance});
        }
        std::sort(crossings.begin(), crossings.end());
        int winding = 0;
        for (std::size_t k = 0; k < crossings.size(); ++k) {
            const int before = winding;
            winding += crossings[k].second;
            if (before == 0 && winding != 0) spans.push_back({crossings[k].first, crossings[k].first});
            if (before != 0 && winding == 0) spans.back().second = crossings[k].first;
        }
        // The interior spans were pushed last and in order; merge everything.
        std::sort(spans.begin(), spans.end());
        std::size_t kept = 0;
        for (const auto& span : spans) {
            if (kept > 0 && span.first <= spans[kept - 1].second)
                spans[kept - 1].second = std::max(spans[kept - 1].second, span.second);
            else
                spans[kept++] = span;
        }
        spans.resize(kept);
    }

    double stepFor(double longerSide) const {
        return m_options.step > 0.0 ? m_options.step : std::max(longerSide / 20.0, mfSpaceBase::m_accuracy);
    }

    static bool tooFine(double step, std::string& reason) {
        reason = "a step of " + mfTextFormatter::format_impl(step) + " m samples it at more than " +
                 std::to_string(kMaxSamples) + " positions";
        return false;
    }

    static bool noForm(const Load& load, std::string_view where, std::string& reason) {
        const auto quantity = [&]() -> std::string {
            if (as<laPressure<double>>(load)) return "a pressure";
            if (as<laTraction<double>>(load)) return "a traction";
            if (as<laForcePerArea<double>>(load)) return "a force per area";
            if (as<laForcePerLength<double>>(load)) return "a force per length";
            if (as<laTemperature<double>>(load)) return "a temperature";
            if (as<laForceMoment<double>>(load)) return "a force and moment";
            if (as<laDisplacement<double>>(load)) return "a displacement";
            return "its quantity";
        };
        reason = quantity() + " on " + std::string(where) + " has no IFC load";
        return false;
    }

    static bool failed(std::string& reason) {
        reason = "it has no value: " + reason;
        return false;
    }

    static bool failedAt(const pos3d& at, std::string& reason) {
        reason = "no value at (" + mfTextFormatter::format_impl(at.x) + ", " + mfTextFormatter::format_impl(at.y) +
                 ", " + mfTextFormatter::format_impl(at.z) + "): " + reason;
        return false;
    }

    static std::uint64_t hashOf(const Values& value) {
        std::uint64_t h = value.size();
        for (const double x : value) {
            std::uint64_t bits = 0;
            std::memcpy(&bits, &x, sizeof bits);
            h = (h ^ bits) * 0x100000001b3ULL;
        }
        // Round values have no low bits of their own: mix the high ones down.
        h = (h ^ (h >> 31)) * 0xbf58476d1ce4e5b9ULL;
        return h ^ (h >> 32);
    }

    static bool sameBits(const Values& a, const Values& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (std::bit_cast<std::uint64_t>(a[i]) != std::bit_cast<std::uint64_t>(b[i])) return false;
        return true;
    }

    mfStepWriter m_step;
    const IfcOptions& m_options;
    // loadValues' table and the entity of each sample, kept from load to load.
    std::vector<std::uint32_t> m_first;
    std::vector<Id> m_ids;
    // What add() and grid() fill for each load, kept so that their room is too.
    Action m_action;
    std::vector<pos3d> m_places;
    std::vector<std::array<double, 2>> m_params;
    std::vector<std::pair<double, int>> m_crossings;
    Id m_context = 0;
    Id m_placement = 0;
    Id m_case = 0;
    std::vector<Id> m_actions;
};

}  // namespace

class IfcWriter::Impl {
public:
    Impl(std::ostream& out, const IfcOptions& options) : options(options), file(out, this->options) { file.begin(); }
    IfcOptions options;
    IfcExport file;
    IfcResult result;
    std::size_t next = 0;
};

IfcWriter::IfcWriter(std::ostream& out, const IfcOptions& options) : m_impl(std::make_unique<Impl>(out, options)) {}

IfcWriter::~IfcWriter() = default;

bool IfcWriter::add(const Load& load) {
    std::string reason;
    const std::size_t index = m_impl->next++;
    if (m_impl->file.add(load, index, reason)) return true;
    m_impl->result.skipped.push_back({index, load.name, reason});
    return false;
}

IfcResult IfcWriter::finish() {
    m_impl->result.actions = m_impl->file.finish();
    return m_impl->result;
}

IfcResult writeIfc(const std::vector<Load>& loads, std::ostream& out, const IfcOptions& options) {
    IfcWriter writer(out, options);
    for (const Load& load : loads) writer.add(load);
    return writer.finish();
}

}  // namespace kestrel
