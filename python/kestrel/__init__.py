"""Kestrel load documents from Python: read, evaluate over numpy arrays, build and write loads.

Everything here is the C++ library's API; values are in SI units, positions in metres.
"""

import os

from ._kestrel import (Box, Constant, Diagnostic, Document, Footprint, Grid, Intensity, LinearParametric,
                       LinearVarying, Limit, LiquidPressureLimit, Line, Load, Point, Polygon, RangeLimit, Script,
                       ThreePoint, __version__, schema, validate, write, write_ifc)
from . import _kestrel

__all__ = ["Box", "Constant", "Diagnostic", "Document", "DocumentError", "Footprint", "Grid", "Intensity",
           "LinearParametric", "LinearVarying", "Limit", "LiquidPressureLimit", "Line", "Load", "Point", "Polygon",
           "RangeLimit", "Script", "ThreePoint", "read", "read_text", "schema", "validate", "write", "write_ifc"]


class DocumentError(ValueError):
    """DocumentError(errors): a document read with strict=True had errors; .errors lists them (Diagnostic)."""

    def __init__(self, errors):
        self.errors = list(errors)
        first = str(self.errors[0]) if self.errors else "no document"
        more = f" (and {len(self.errors) - 1} more)" if len(self.errors) > 1 else ""
        super().__init__(first + more)


def _checked(document, strict):
    if strict and not document.ok:
        raise DocumentError(document.errors)
    return document


def read(path, *, strict=False, max_errors=1000, max_grid_nodes=None):
    """read(path, *, strict=False, max_errors=1000, max_grid_nodes=None) -> Document

    Reads the load document at path (str or os.PathLike), streamed. A file that cannot be opened raises
    the matching OSError; problems in the document are Document.errors, or DocumentError with strict=True.
    max_grid_nodes bounds the grid nodes of the document (the library's default when None).
    """
    return _checked(_kestrel._read(os.fspath(path), max_errors, max_grid_nodes or 0), strict)


def read_text(text, *, strict=False, max_errors=1000, max_grid_nodes=None):
    """read_text(text, *, strict=False, max_errors=1000, max_grid_nodes=None) -> Document

    Reads a load document from text (str or bytes), as read() does a file.
    """
    return _checked(_kestrel._read_text(text, max_errors, max_grid_nodes or 0), strict)
