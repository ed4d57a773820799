"""Builds one wind load per facade from a table of numbers and writes the document."""
import sys

import kestrel

# name, width and height in metres, pressure at the foot and at the top
TABLE = """
north, 12, 7, 600, 1100
east, 8, 7, 450, 900
south, 12, 7, 300, 700
"""

loads = []
for row in TABLE.strip().splitlines():
    name, width, height, foot, top = (cell.strip() for cell in row.split(","))
    width, height = float(width), float(height)
    corners = [(0, 0, 0), (width, 0, 0), (width, 0, height), (0, 0, height)]
    pressure = kestrel.ThreePoint("pressure", corners[:2] + corners[3:], [f"{foot} Pa", f"{foot} Pa", f"{top} Pa"],
                                  position_system="global", limit=kestrel.RangeLimit(0, "1 kPa"))
    loads.append(kestrel.Load(f"wind {name}", kestrel.Polygon(corners), pressure))

if len(sys.argv) > 1:
    kestrel.write(loads, sys.argv[1])
else:
    print(kestrel.write(loads), end="")
