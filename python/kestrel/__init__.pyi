import os
from typing import Optional, Sequence, Tuple, Union

import numpy as np
import numpy.typing as npt

__version__: str

Number = Union[float, int, str]
Vector = Sequence[Number]
Value = Union[Number, Sequence[Number]]
LocalSystem = Union[Sequence[Sequence[Number]], npt.ArrayLike]
Points = npt.ArrayLike

class Diagnostic:
    line: int
    column: int
    path: str
    message: str

class Document:
    loads: list[Load]
    errors: list[Diagnostic]
    ok: bool

class DocumentError(ValueError):
    errors: list[Diagnostic]
    def __init__(self, errors: Sequence[Diagnostic]) -> None: ...

class Footprint:
    kind: str
    points: np.ndarray

class Point(Footprint):
    def __init__(self, p: Vector) -> None: ...

class Line(Footprint):
    def __init__(self, p1: Vector, p2: Vector) -> None: ...

class Polygon(Footprint):
    def __init__(self, points: Sequence[Vector]) -> None: ...

class Box(Footprint):
    origin: np.ndarray
    def __init__(self, lower: Vector, upper: Vector, origin: Optional[Vector] = None, *,
                 local_system: Optional[LocalSystem] = None) -> None: ...

class Limit:
    kind: str

class RangeLimit(Limit):
    lower: Optional[float]
    upper: Optional[float]
    lower_inclusive: bool
    upper_inclusive: bool
    def __init__(self, lower: Optional[Number] = None, upper: Optional[Number] = None, *,
                 lower_inclusive: bool = True, upper_inclusive: bool = True) -> None: ...

class LiquidPressureLimit(Limit):
    def __init__(self) -> None: ...

class Intensity:
    kind: str
    quantity: str
    components: list[str]
    units: list[str]
    description: str
    limit: Optional[Limit]

class Constant(Intensity):
    def __init__(self, quantity: str, value: Value, *, intensity_system: str = "local",
                 position_system: str = "local", limit: Optional[Limit] = None,
                 direction: Optional[Vector] = None) -> None: ...

class ThreePoint(Intensity):
    def __init__(self, quantity: str, positions: Sequence[Vector], values: Sequence[Value], *,
                 intensity_system: str = "local", position_system: str = "local", limit: Optional[Limit] = None,
                 direction: Optional[Vector] = None) -> None: ...

class LinearVarying(Intensity):
    def __init__(self, quantity: str, k1: Number, k2: Number, k3: Number, k4: Number, *,
                 units: Sequence[str] = ("length", "length", "length"), intensity_system: str = "local",
                 position_system: str = "local", limit: Optional[Limit] = None,
                 direction: Optional[Vector] = None) -> None: ...

class LinearParametric(Intensity):
    def __init__(self, quantity: str, value1: Value, value2: Value, *, intensity_system: str = "local",
                 position_system: str = "local", limit: Optional[Limit] = None,
                 direction: Optional[Vector] = None) -> None: ...

class Script(Intensity):
    def __init__(self, quantity: str, source: str, *, refinement: Optional[Number] = None,
                 intensity_system: str = "local", position_system: str = "local", limit: Optional[Limit] = None,
                 direction: Optional[Vector] = None) -> None: ...

class Grid(Intensity):
    def __init__(self, quantity: str, x: Sequence[Number], y: Sequence[Number], z: Sequence[Number],
                 values: npt.ArrayLike, *, intensity_system: str = "local", position_system: str = "local",
                 limit: Optional[Limit] = None, direction: Optional[Vector] = None) -> None: ...

class Load:
    name: str
    footprint: Optional[Footprint]
    intensity: Optional[Intensity]
    coordinates: str
    local_system: Optional[np.ndarray]
    def __init__(self, name: str, footprint: Optional[Footprint] = None, intensity: Optional[Intensity] = None,
                 coordinates: str = "cartesian", local_system: Optional[LocalSystem] = None) -> None: ...
    def evaluate(self, points: Points, limited: bool = True) -> np.ndarray: ...
    def evaluation_errors(self, points: Points) -> list[str]: ...
    def on_footprint(self, points: Points) -> np.ndarray: ...
    def sample(self, step: float, limited: bool = True) -> Tuple[np.ndarray, np.ndarray]: ...
    def to_svg(self) -> str: ...
    def _repr_svg_(self) -> Optional[str]: ...

def read(path: Union[str, os.PathLike[str]], *, strict: bool = False, max_errors: int = 1000,
         max_grid_nodes: Optional[int] = None) -> Document: ...
def read_text(text: str, *, strict: bool = False, max_errors: int = 1000,
              max_grid_nodes: Optional[int] = None) -> Document: ...
def write(loads: Sequence[Load], path: Optional[Union[str, os.PathLike[str]]] = None) -> Optional[str]: ...
def write_ifc(loads: Sequence[Load], path: Union[str, os.PathLike[str]], step: float = 0.0) -> list[tuple[int, str, str]]: ...
def schema() -> str: ...
def validate(text: str) -> list[Diagnostic]: ...
