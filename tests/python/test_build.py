import math

import numpy as np
import pytest

import kestrel
from conftest import cli

WALL = kestrel.Polygon([(0, 0, 0), (12, 0, 0), (12, 0, 7), (0, 0, 7)])
RAIL = kestrel.Line((0, 0, 6), ("24 m", "0 m", "600 cm"))
HEAD = kestrel.Point((4, 2.5, 3.2))
TANK = kestrel.Box((-3, -3, 0), (3, 3, 8), (12.5, -4, 0), local_system=[(12.5, -4, 0), (0, 1, 0), (-1, 0, 0)])
UP = {"direction": (0, 0, 1)}
CORNERS = [(0, 0, 0), (12, 0, 0), (0, 0, 7)]

# Every kind, built from Python: (element name, footprint, intensity function).
KINDS = [
    ("pressure2d_constant", TANK, lambda: kestrel.Constant("pressure", "25 kPa", limit=kestrel.LiquidPressureLimit())),
    ("pressure2d_3point_varying", WALL, lambda: kestrel.ThreePoint(
        "pressure", CORNERS, [600, "600 Pa", "1.1 kPa"], position_system="global",
        limit=kestrel.RangeLimit(0, "1 kPa", upper_inclusive=False))),
    ("pressure2d_linear_function", WALL, lambda: kestrel.LinearVarying("pressure", 0, 0, "-9810 Pa/m", 78480)),
    ("pressure2d_javascript", WALL, lambda: kestrel.Script(
        "pressure", "function intensity(x, y, z) { return 100 * z; }", refinement="50 cm")),
    ("pressure2d_grid", WALL, lambda: kestrel.Grid(
        "pressure", [0, 6, 12], [0], [0, 7], np.array([[[480, 720]], [[510, math.nan]], [[450, 700]]]),
        position_system="global", limit=kestrel.RangeLimit(upper=650))),
    ("component2d_constant", WALL, lambda: kestrel.Constant("force_per_area", (0, 0, "-2.5 kN/m2"))),
    ("component2d_3point_varying", WALL, lambda: kestrel.ThreePoint(
        "force_per_area", CORNERS, [(0, 0, -800), (0, 0, -800), (0, 0, -2400)])),
    ("component2d_javascript", WALL, lambda: kestrel.Script(
        "force_per_area", "function intensity(x, y, z) { return [0, 0, -x]; }", refinement=0.25)),
    ("traction2d_constant", WALL, lambda: kestrel.Constant("traction", 350, direction=(1, 0, 0))),
    ("traction2d_3point_varying", WALL, lambda: kestrel.ThreePoint("traction", CORNERS, [0, 0, 120], **UP)),
    ("traction2d_linear_function", WALL, lambda: kestrel.LinearVarying(
        "traction", 0, 40, 0, 10, units=("length", "angle", "length"), **UP)),
    ("traction2d_javascript", WALL, lambda: kestrel.Script(
        "traction", "function intensity(x, y, z) { return 100 * Math.sin(z); }", refinement=1, **UP)),
    ("component1d_linear", RAIL, lambda: kestrel.LinearParametric(
        "force_per_length", (0, 0, "-12 kN/m"), (0, 0, -18000))),
    ("component1d_javascript", RAIL, lambda: kestrel.Script(
        "force_per_length", "function intensity(t) { return [0, 0, -400 * t]; }")),
    ("temperature1d_linear", RAIL, lambda: kestrel.LinearParametric("temperature", "20 K", 35)),
    ("temperature1d_javascript", RAIL, lambda: kestrel.Script("temperature", "function intensity(t) { return 15; }")),
    ("component0d_constant", HEAD, lambda: kestrel.Constant(
        "force_moment", (0, 0, "-120 kN", 0, "15 kN.m", 0), intensity_system="global")),
    ("displacement_constant", HEAD, lambda: kestrel.Constant("displacement", (0, 0, "-12 mm", "1 mrad", 0, 0))),
]


def test_every_kind_round_trips_through_write_and_the_command(tmp_path):
    loads = [kestrel.Load(kind, footprint, make(), coordinates="cylindrical" if footprint is TANK else "cartesian",
                          local_system=[(0, 0, 3.5), (1, 0, 0), (0, 0, 1)] if footprint is WALL else None)
             for kind, footprint, make in KINDS]
    assert [load.intensity.kind for load in loads] == [kind for kind, _, _ in KINDS]
    path = tmp_path / "built.xml"
    kestrel.write(loads, path)
    assert path.read_text() == kestrel.write(loads)
    assert kestrel.read(path, strict=True).loads == loads
    report = cli("check", "--json", path)
    assert report["valid"] and [e["intensity"] for e in report["loads"]] == [kind for kind, _, _ in KINDS]
    assert [e["footprint"] for e in report["loads"]] == [load.footprint.kind for load in loads]
    assert kestrel.validate(path.read_text()) == []


def test_built_as_the_example_reads(example):
    wind = kestrel.ThreePoint("pressure", CORNERS, [600, 600, 1100], position_system="global",
                              limit=kestrel.RangeLimit(0, 1000))
    assert kestrel.Load("wind on facade", WALL, wind, local_system=[(0, 0, 3.5), (1, 0, 0), (0, 0, 1)]) == \
        example["wind on facade"]
    water = kestrel.Constant("pressure", 25e3, limit=kestrel.LiquidPressureLimit())
    assert kestrel.Load("tank wall", TANK, water, "cylindrical", [(12.5, -4, 0), (0, 1, 0), (-1, 0, 0)]) == \
        example["tank wall"]


def test_what_a_load_shows():
    load = kestrel.Load("tank", TANK, KINDS[0][2](), coordinates="cylindrical",
                        local_system=[(12.5, -4, 0), (0, 1, 0), (-1, 0, 0)])
    assert (load.name, load.coordinates, load.footprint.kind) == ("tank", "cylindrical", "footprint_box")
    np.testing.assert_array_equal(load.local_system, [(12.5, -4, 0), (0, 1, 0), (-1, 0, 0)])
    np.testing.assert_array_equal(load.footprint.points, [(-3, -3, 0), (3, 3, 8)])
    np.testing.assert_array_equal(load.footprint.origin, (12.5, -4, 0))
    assert isinstance(load.footprint, kestrel.Box) and isinstance(load.intensity, kestrel.Constant)
    assert isinstance(load.intensity.limit, kestrel.LiquidPressureLimit)
    np.testing.assert_array_equal(RAIL.points, [(0, 0, 6), (24, 0, 6)])
    assert WALL.points.shape == (4, 3) and WALL.points.dtype == np.float64
    limit = KINDS[1][2]().limit
    assert (limit.lower, limit.upper, limit.lower_inclusive, limit.upper_inclusive) == (0, 1000, True, False)
    assert kestrel.RangeLimit(upper=5).lower is None
    assert kestrel.Load("bare").footprint is None and kestrel.Load("bare").intensity is None


# (quantity, components, units) from the one list of quantity traits.
@pytest.mark.parametrize("make, quantity, components, units", [
    (lambda: kestrel.Constant("pressure", 1), "pressure", ["pressure"], ["Pa"]),
    (lambda: kestrel.Constant("traction", 1, **UP), "traction", ["traction"], ["Pa"]),
    (lambda: kestrel.Constant("force_per_area", (0, 0, 1)), "force_per_area", ["fx", "fy", "fz"], ["N/m2"] * 3),
    (lambda: kestrel.LinearParametric("force_per_length", (0, 0, 1), (0, 0, 1)), "force_per_length",
     ["fx", "fy", "fz"], ["N/m"] * 3),
    (lambda: kestrel.LinearParametric("temperature", 1, 2), "temperature", ["temperature"], ["K"]),
    (lambda: kestrel.Constant("force_moment", [0] * 6), "force_moment", ["fx", "fy", "fz", "mx", "my", "mz"],
     ["N"] * 3 + ["N.m"] * 3),
    (lambda: kestrel.Constant("displacement", [0] * 6), "displacement", ["dx", "dy", "dz", "rx", "ry", "rz"],
     ["m"] * 3 + ["rad"] * 3),
])
def test_quantities(make, quantity, components, units):
    f = make()
    assert (f.quantity, f.components, f.units) == (quantity, components, units)


@pytest.mark.parametrize("make, words", [
    (lambda: kestrel.Constant("temperature", 1), ["Constant", "temperature", "pressure, force_per_area"]),
    (lambda: kestrel.Grid("traction", [0], [0], [0], np.zeros((1, 1, 1)), **UP), ["Grid", "traction"]),
    (lambda: kestrel.Constant("weight", 1), ["unknown quantity", "weight"]),
    (lambda: kestrel.Constant("pressure", "5 kN"), ["value", "kN", "pressure"]),
    (lambda: kestrel.Constant("pressure", math.inf), ["value", "finite"]),
    (lambda: kestrel.Constant("pressure", "nan Pa"), ["value"]),
    (lambda: kestrel.Constant("force_per_area", (0, 0)), ["value", "3"]),
    (lambda: kestrel.Constant("force_per_area", (0, 0, "1 m")), ["fz"]),
    (lambda: kestrel.Constant("pressure", object()), ["value", "number"]),
    (lambda: kestrel.Polygon([(0, 0, 0), (1, 0, 0), (2, 0, 0)]), ["Polygon"]),
    (lambda: kestrel.Line((0, 0, 0), (0, 0, math.nan)), ["Line p2", "finite"]),
    (lambda: kestrel.Point("abc"), ["Point", "3"]),
    (lambda: kestrel.Constant("traction", 1), ["direction"]),
    (lambda: kestrel.Constant("force_per_area", (0, 0, 1), direction=(1, 0, 0)), ["direction"]),
    (lambda: kestrel.Constant("traction", 1, limit=kestrel.LiquidPressureLimit(), **UP), ["limit"]),
    (lambda: kestrel.Constant("pressure", 1, position_system="world"), ["position_system", "world"]),
    (lambda: kestrel.Script("pressure", "function intensity(x, y, z) { return 1; }"), ["refinement"]),
    (lambda: kestrel.Script("temperature", "function f(t) { return 1; }"), ["Script", "intensity"]),
    (lambda: kestrel.Script("temperature", "function intensity(t) {", refinement=1), ["refinement"]),
    (lambda: kestrel.Grid("pressure", [0, 0], [0], [0], np.zeros((2, 1, 1))), ["Grid x", "ascend"]),
    (lambda: kestrel.Grid("pressure", [0, 1e-9], [0], [0], np.zeros((2, 1, 1))), ["Grid"]),
    (lambda: kestrel.Grid("pressure", [0, 1], [0], [0], np.zeros((1, 1, 1))), ["Grid values", "2 x 1 x 1"]),
    (lambda: kestrel.Grid("pressure", [0], [0], [0], np.full((1, 1, 1), np.inf)), ["Grid values", "finite"]),
    (lambda: kestrel.LinearVarying("pressure", 0, 0, 0, 0, units=("length", "metre", "length")), ["metre"]),
    (lambda: kestrel.LinearVarying("force_per_area", 0, 0, 0, 0), ["LinearVarying", "force_per_area"]),
    (lambda: kestrel.RangeLimit(), ["RangeLimit"]),
    (lambda: kestrel.Box((0, 0, 0), (1, 1, 1), local_system=[(0, 0, 0), (1, 0, 0), (2, 0, 0)]), ["local_system"]),
    (lambda: kestrel.Load("x", coordinates="polar"), ["coordinates", "polar"]),
])
def test_bad_input_raises_value_error_naming_it(make, words):
    with pytest.raises(ValueError) as raised:
        make()
    for word in words:
        assert word in str(raised.value)


def test_write_refuses_what_it_cannot_write(tmp_path):
    with pytest.raises(IsADirectoryError):
        kestrel.write([kestrel.Load("a", HEAD)], tmp_path)
    with pytest.raises(TypeError):
        kestrel.write([1])
