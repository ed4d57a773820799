import ast
import inspect
import os
import pathlib
import subprocess
import sys

import kestrel
from conftest import BUILD, EXAMPLE


def test_every_public_name_has_a_stub_and_a_docstring_with_its_signature():
    stubs = pathlib.Path(kestrel.__file__).with_name("__init__.pyi")
    tree = ast.parse(stubs.read_text())
    stubbed = {node.name for node in tree.body if isinstance(node, (ast.ClassDef, ast.FunctionDef))}
    members = {node.name: {m.name if isinstance(m, ast.FunctionDef) else m.target.id for m in node.body
                           if isinstance(m, (ast.FunctionDef, ast.AnnAssign))}
               for node in tree.body if isinstance(node, ast.ClassDef)}
    assert set(kestrel.__all__) <= stubbed
    for name in kestrel.__all__:
        item = getattr(kestrel, name)
        assert item.__doc__, name
        if inspect.isclass(item):
            public = {m for m in vars(item) if not m.startswith("__")}
            assert public <= members[name], (name, public - members[name])
            # Classes made only by the module (Document, Diagnostic) keep the interpreter's __init__.
            if "__init__" in vars(item) and type(item.__init__).__name__ != "wrapper_descriptor":
                assert name + "(" in (item.__init__.__doc__ or "") + item.__doc__, name
        else:
            assert name + "(" in item.__doc__, name
    assert pathlib.Path(kestrel.__file__).with_name("py.typed").exists()


def test_the_installed_module(tmp_path):
    prefix = tmp_path / "prefix"
    subprocess.run(["cmake", "--install", str(BUILD), "--prefix", str(prefix)], check=True, capture_output=True)
    site = prefix / "lib" / "python3" / "dist-packages"
    assert (site / "kestrel" / "__init__.pyi").exists()
    env = {"PATH": os.environ["PATH"], "PYTHONPATH": str(site)}
    done = subprocess.run([sys.executable, "-c", "import kestrel, sys; d = kestrel.read(sys.argv[1], strict=True);"
                           "print(kestrel.__file__, len(d.loads))", str(EXAMPLE)],
                          env=env, check=True, capture_output=True, text=True, cwd=tmp_path)
    assert done.stdout.startswith(str(site)) and done.stdout.split()[1] == str(len(kestrel.read(EXAMPLE).loads))


def test_the_examples(tmp_path):
    env = dict(os.environ)
    folder = pathlib.Path(__file__).parents[2] / "examples" / "python"
    wind = subprocess.run([sys.executable, str(folder / "wind.py"), str(EXAMPLE)], env=env, check=True,
                          capture_output=True, text=True)
    assert wind.stdout.startswith("wind on facade: 375 positions, largest 1000 Pa")
    subprocess.run([sys.executable, str(folder / "from_table.py"), str(tmp_path / "t.xml")], env=env, check=True)
    assert [load.name for load in kestrel.read(tmp_path / "t.xml", strict=True).loads] == [
        "wind north", "wind east", "wind south"]
