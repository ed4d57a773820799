#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <stdexcept>
#include <vector>

#include "counting_factory.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/components/geometry/mfSpaceBase.h"
#include "kestrel/components/loadcase/lcFactory.h"
#include "kestrel/model/laIntensityFunctionGrid.h"
#include "kestrel/model/laPressure.h"

namespace {

using Pressure = laPressure<double>;
using Grid = laIntensityFunctionGrid<Pressure>;

// A global grid with the given axes and node values f(x, y, z).
template <class F>
Grid* grid(Vector<double> x, Vector<double> y, Vector<double> z, F f) {
    Grid* g = mfCreate<Grid>();
    g->positionSystem = lcLoad::global;
    g->setXValues(std::move(x));
    g->setYValues(std::move(y));
    g->setZValues(std::move(z));
    for (std::size_t k = 0; k < g->zValues().size(); ++k)
        for (std::size_t j = 0; j < g->yValues().size(); ++j)
            for (std::size_t i = 0; i < g->xValues().size(); ++i)
                g->node(i, j, k) = Pressure(f(g->xValues()[i], g->yValues()[j], g->zValues()[k]));
    return g;
}

Grid* line() {
    return grid({0, 1}, {0}, {0}, [](double x, double, double) { return 2 + 2 * x; });
}

double at(const Grid* g, pos3d p, const lcLoad* load = nullptr, std::complex<double> factor = 1.0) {
    const lcIntensity value = g->getIntensity(load, p, lcLoad::global, factor);
    return value.empty() ? std::nan("") : value.real(0);
}

TEST(Grid, NodeIndicesOutsideTheirAxisAreRefused) {
    Grid* g = line();
    for (auto [i, j, k] : {std::array{2, 0, 0}, {0, 1, 0}, {0, 0, 1}, {-1, 0, 0}}) {
        EXPECT_THROW(g->node(i, j, k), std::range_error);
        EXPECT_THROW(g->nodeValue(i, j, k), std::range_error);
    }
    delete g;
}

TEST(Grid, InterpolatesTrilinearlyAndExtrapolatesTheOuterCells) {
    Grid* g = line();
    EXPECT_EQ(at(g, {0.5, 0, 0}), 3.0);
    EXPECT_EQ(at(g, {2, 0, 0}), 6.0);
    delete g;
    // A repeated last node leaves a cell without width, which extends nothing.
    g = grid({0, 1, 1}, {0}, {0}, [](double x, double, double) { return 2 + 2 * x; });
    EXPECT_EQ(at(g, {2, 0, 0}), 4.0);
    delete g;

    // Trilinear interpolation reproduces a trilinear function everywhere: nodes, midpoints, beyond.
    const auto f = [](double x, double y, double z) { return 1 + x + 2 * y + 4 * z + x * y * z; };
    Grid* cube = grid({0, 1, 3}, {-1, 0, 2, 4}, {0, 5}, f);
    for (pos3d p : {pos3d(1, 0, 5), pos3d(0.5, -0.5, 2.5), pos3d(2, 1, 1), pos3d(-1, 3, 6), pos3d(4, -2, -1)})
        EXPECT_NEAR(at(cube, p, nullptr, {2, 0}), 2 * f(p.x, p.y, p.z), 1e-12) << mf_format(p);

    // Local positions: the grid sits where the load's system puts it, on length axes only.
    cube->positionSystem = lcLoad::local;
    const lcLoad shifted(coordsys3d::cartesian(locsys3d({10, 0, 0}, {1, 0, 0}, {0, 1, 0})));
    EXPECT_NEAR(at(cube, {12, 1, 1}, &shifted), f(2, 1, 1), 1e-12);
    const lcLoad cylinder(coordsys3d::cylindrical(locsys3d()));
    EXPECT_TRUE(std::isnan(at(cube, {2, 1, 1}, &cylinder)));
    delete cube;

    // Unwritten, and with an empty axis: zero.
    Grid* unwritten = grid({0, 1}, {0}, {}, f);
    EXPECT_EQ(at(unwritten, {0, 0, 0}), 0.0);
    unwritten->setZValues({0});
    EXPECT_EQ(at(unwritten, {0, 0, 0}), 0.0);
    EXPECT_TRUE(unwritten->getMaximumIntensity(nullptr, lcLoad::global, 1.0).empty());
    delete unwritten;
}

TEST(Grid, FindsNodesByBinarySearchWithinTheTolerance) {
    const double m = mfSpaceBase::m_accuracy;
    Vector<double> axis{std::nan(""), INFINITY, -INFINITY};
    for (int i = 999; i >= 0; --i) axis.push_back(0.5 * i);
    Grid* g = mfCreate<Grid>();
    g->setXValues(axis);
    g->setYValues({0});
    g->setZValues({0, 1});
    // Sorted, without the values that are not finite.
    ASSERT_EQ(g->xValues().size(), 1000u);
    EXPECT_EQ(g->indexOfX(123.5 + 0.5 * m), 247);
    EXPECT_EQ(g->indexOfX(123.75), -1);
    // Exactly the tolerance away is off the node.
    EXPECT_EQ(g->indexOfX(0.99 * m), 0);
    EXPECT_EQ(g->indexOfX(m), -1);
    EXPECT_EQ(g->indexOfX(-m), -1);

    Grid::index_type i = 0, j = 0, k = 0;
    EXPECT_TRUE(g->findNode({1, 0, 1 - 0.5 * m}, i, j, k));
    EXPECT_EQ(i + k, 3);
    EXPECT_FALSE(g->findNode({1, m, 1}, i, j, k));
    delete g;
}

TEST(Grid, ChangedAxesResampleTheOldValuesOnTheNextWrite) {
    const long start = mfProgram::program().defaultStrategy().live();
    {
        CountingFactory factory;
        Grid* g = line();
        g->setXValues({2, 0.5, 0, 1});
        g->setZValues({0, 1});
        ASSERT_NE(g->previousGrid(), nullptr);
        // Until the next write the old grid answers, and copies take the resampled values.
        EXPECT_EQ(at(g, {0.25, 0, 1}), 2.5);
        auto* copy = dynamic_cast<Grid*>(g->clone(nullptr));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->nodeValue(1, 0, 1).real(0), 3.0);

        g->node(0, 0, 0) = Pressure(-1);
        EXPECT_EQ(g->previousGrid(), nullptr);
        EXPECT_EQ(g->nodeValue(3, 0, 1).real(0), 6.0);
        EXPECT_EQ(at(g, {1.5, 0, 0.5}), 5.0);

        // An inactive grid keeps its values through a resampling.
        g->setInactive(true);
        g->setXValues({0, 2});
        g->node(0, 0, 0);
        g->setInactive(false);
        EXPECT_EQ(at(g, {2, 0, 0}), 6.0);
        delete g;
        delete copy;
        EXPECT_EQ(factory.functions, 4);
    }
    EXPECT_EQ(mfProgram::program().defaultStrategy().live(), start);
}

TEST(Grid, MaximumIsTheNodeOfLargestMagnitudeEarliestFirst) {
    Grid* g = grid({0, 1}, {0}, {0}, [](double x, double, double) { return x == 0 ? -5.0 : 3.0; });
    EXPECT_EQ(g->getMaximumIntensity(nullptr, lcLoad::global, {2, 0}).real(0), -10.0);
    g->node(0, 0, 0) = Pressure(3);
    g->node(1, 0, 0) = Pressure(-3);
    EXPECT_EQ(g->getMaximumIntensity(nullptr, lcLoad::global, 1.0).real(0), 3.0);
    // An inactive grid yields zero everywhere, its largest intensity too; its values are kept.
    g->setInactive(true);
    EXPECT_EQ(at(g, {1, 0, 0}), 0.0);
    EXPECT_EQ(g->getMaximumIntensity(nullptr, lcLoad::global, 1.0).real(0), 0.0);
    g->setInactive(false);
    EXPECT_EQ(at(g, {1, 0, 0}), -3.0);
    delete g;
}

TEST(Grid, RetriangulationCutsAtEveryNodePlaneAndKeepsTheArea) {
    const auto area = [](const List<triangle3d>& triangles) {
        double sum = 0;
        for (const triangle3d& t : triangles) sum += t.area();
        return sum;
    };
    Grid* g = grid({-5, 1, 2, 9}, {0.5, 2.5}, {0}, [](double, double, double) { return 0.0; });
    const List<triangle3d> in{triangle3d({0, 0, 0}, {3, 0, 0}, {0, 3, 0}), triangle3d({3, 3, 0}, {4, 3, 0}, {4, 4, 0})};
    List<triangle3d> out;
    g->retriangulate(in, out);
    EXPECT_NEAR(area(out), area(in), 1e-12);
    EXPECT_EQ(std::count(out.begin(), out.end(), in.back()), 1);
    const double planes[][4] = {{1, 0, 0, -1}, {1, 0, 0, -2}, {0, 1, 0, -0.5}, {0, 1, 0, -2.5}};
    for (const triangle3d& t : out)
        for (const double* p : planes) EXPECT_FALSE(t.intersect(plane3d(p))) << mf_format(t);

    // A thousand planes through one triangle.
    Vector<double> fine;
    for (int i = 1; i < 1000; ++i) fine.push_back(i * 0.003);
    g->setXValues(fine);
    List<triangle3d> many;
    g->retriangulate(in, many);
    EXPECT_GT(many.size(), 2000u);
    EXPECT_NEAR(area(many), area(in), 1e-9);
    delete g;
}

// The factory is told of a dying grid while the grid is whole: with a resampling pending, the
// grid's values live in its previous grid, which therefore dies after it.
TEST(Grid, TheFactorySeesADyingGridWithItsValues) {
    struct Reading : lcFactory {
        Reading() : previous(mfFactory::setFactory(typeid(lcModelObject), this)) {}
        ~Reading() override { mfFactory::setFactory(typeid(lcModelObject), previous); }
        void objectDestroyed(mfRelationObject* object) override {
            if (auto* grid = dynamic_cast<Grid*>(object)) seen.push_back(grid->nodeValue(1, 0, 0).real(0));
        }
        mfFactory* previous;
        std::vector<double> seen;
    } factory;
    Grid* g = line();
    g->setXValues({0, 0.5, 1});
    ASSERT_NE(g->previousGrid(), nullptr);
    delete g;
    EXPECT_EQ(factory.seen, (std::vector<double>{3.0, 4.0}));
}

}  // namespace
