import math

import numpy as np
import pytest

import kestrel
from conftest import EXAMPLE, cli

POINTS = np.array([(1, 0, 10), (4, 2.5, 3.2), (6, 0, 3.5), (12, 0, 6), (-3, 0, 2), (12.5, -1, 4)])


def test_vectorised_evaluation_matches_single_points_and_the_command(example):
    for load in example.values():
        for limited in (True, False):
            values = load.evaluate(POINTS, limited=limited)
            assert values.shape == (len(POINTS), len(load.intensity.components)) and values.dtype == np.float64
            assert load.evaluate(POINTS[0]).shape == values.shape[1:]
            for row, point in zip(values, POINTS):
                np.testing.assert_array_equal(row, load.evaluate(point, limited=limited))
                np.testing.assert_array_equal(row, load.evaluate([list(point)], limited=limited)[0])
    for point in POINTS[:3]:
        report = cli("eval", "--json", EXAMPLE, "--at", ",".join(map(str, point)))
        for entry in report["loads"]:
            load = example[entry["name"]]
            for key, limited in (("value", False), ("limited", True)):
                expected = entry[key] or [math.nan] * len(entry["units"])
                np.testing.assert_array_equal(load.evaluate(point, limited=limited), expected)
            if entry["on_footprint"] is not None:
                assert load.on_footprint(point) == entry["on_footprint"]
            assert load.intensity.units == entry["units"]


def test_limits_nan_and_footprint(example):
    wind = example["wind on facade"]
    np.testing.assert_allclose(wind.evaluate([(1, 0, 10), (1, 0, 0)], limited=False)[:, 0], [1314.2857142857142, 600])
    np.testing.assert_array_equal(wind.evaluate([(1, 0, 10), (1, 0, 0)])[:, 0], [1000, 600])
    np.testing.assert_array_equal(wind.on_footprint([(1, 0, 1), (1, 1, 1), (12, 0, 7)]), [True, False, True])
    rail = example["crane rail"]
    assert np.isnan(rail.evaluate((1, 1, 6))).all() and not np.isnan(rail.evaluate((12, 0, 6))).any()
    exclusive = kestrel.Load("x", intensity=kestrel.Constant("pressure", 5, limit=kestrel.RangeLimit(upper=5,
                                                                               upper_inclusive=False)))
    assert np.isnan(exclusive.evaluate((0, 0, 0))[0]) and exclusive.evaluate((0, 0, 0), limited=False)[0] == 5


def test_script_failures_are_nan_with_reasons():
    script = kestrel.Script("pressure", "function intensity(x, y, z) { if (x > 1) throw new Error('too far');"
                                        " return x; }", refinement=1)
    load = kestrel.Load("s", kestrel.Polygon([(0, 0, 0), (2, 0, 0), (2, 2, 0)]), script)
    values = load.evaluate([(0.5, 0, 0), (2, 0, 0)])
    assert values[0, 0] == 0.5 and np.isnan(values[1, 0])
    errors = load.evaluation_errors([(0.5, 0, 0), (2, 0, 0)])
    assert errors[0] == "" and "too far" in errors[1]


@pytest.mark.parametrize("points", [np.zeros((2, 2)), np.zeros(4), [[1, 2, "x"]], np.zeros((2, 3, 1))])
def test_bad_points(example, points):
    with pytest.raises((ValueError, TypeError)):
        example["wind on facade"].evaluate(points)


def test_loads_without_parts_refuse(example):
    with pytest.raises(ValueError, match="no intensity"):
        kestrel.Load("bare", kestrel.Point((0, 0, 0))).evaluate((0, 0, 0))
    with pytest.raises(ValueError, match="no footprint"):
        example["dead load"].on_footprint((0, 0, 0))
    with pytest.raises(ValueError, match="no footprint"):
        example["dead load"].sample(1)
    assert example["dead load"]._repr_svg_() is None


@pytest.mark.parametrize("name, step", [("wind on facade", 0.5), ("crane rail", 5), ("column head", 1),
                                        ("tank wall", 2), ("gusts", 1)])
def test_sample_matches_the_command(example, name, step):
    report = cli("sample", "--json", EXAMPLE, "--load", name, "--step", step)
    positions, values = example[name].sample(step)
    np.testing.assert_array_equal(positions, [s["at"] for s in report["samples"]])
    nan = [math.nan] * values.shape[1]
    np.testing.assert_array_equal(values, [s["limited"] or nan for s in report["samples"]])
    np.testing.assert_array_equal(example[name].sample(step, limited=False)[1], [s["value"] or nan for s in
                                                                                 report["samples"]])


def test_sample_refuses_too_many_positions(example):
    with pytest.raises(ValueError, match="at most 1000000"):
        example["wind on facade"].sample(0.001)


def test_pictures_match_the_command(example, tmp_path):
    import subprocess
    from conftest import COMMAND
    subprocess.run([COMMAND, "plot", str(EXAMPLE), "--load", "wind on facade", "-o", str(tmp_path / "w.svg")],
                   check=True)
    assert example["wind on facade"].to_svg() == (tmp_path / "w.svg").read_text()
    assert example["wind on facade"]._repr_svg_() == (tmp_path / "w.svg").read_text()
