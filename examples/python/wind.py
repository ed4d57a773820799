"""Reads the example document, samples the wind load every 0.5 m and prints its largest value."""
import pathlib
import sys

import numpy as np

import kestrel

path = sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parents[1] / "loads.xml"
document = kestrel.read(path, strict=True)
wind = next(load for load in document.loads if load.name == "wind on facade")
positions, values = wind.sample(0.5)
top = np.nanargmax(values[:, 0])
print(f"{wind.name}: {len(positions)} positions, largest {values[top, 0]:g} {wind.intensity.units[0]} "
      f"at {tuple(positions[top])}")
