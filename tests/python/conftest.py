import json
import os
import pathlib
import subprocess

import pytest

SOURCE = pathlib.Path(os.environ.get("KESTREL_SOURCE_DIR", pathlib.Path(__file__).parents[2]))
BUILD = pathlib.Path(os.environ.get("KESTREL_BUILD_DIR", SOURCE / "build"))
COMMAND = os.environ.get("KESTREL_COMMAND", str(BUILD / "tools" / "kestrel" / "kestrel"))
EXAMPLE = SOURCE / "examples" / "loads.xml"


def cli(*args, check=True):
    """The command's JSON output for args."""
    done = subprocess.run([COMMAND, *map(str, args)], capture_output=True, text=True)
    if check and done.returncode not in (0, 1):
        raise AssertionError(done.stderr)
    return json.loads(done.stdout)


@pytest.fixture(scope="session")
def example():
    import kestrel
    return {load.name: load for load in kestrel.read(EXAMPLE, strict=True).loads}
