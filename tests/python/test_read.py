import pathlib
import threading

import pytest

import kestrel
from conftest import EXAMPLE, cli

BROKEN = """<loads>
  <load name="a"><footprint><footprint_point><point x="1 m" y="2 kN" z="0 m"/></footprint_point></footprint></load>
  <load name="b"/>
  <load><bogus/></load>
</loads>"""


def test_read_matches_the_command(example):
    report = cli("check", "--json", EXAMPLE)
    assert list(example) == [entry["name"] for entry in report["loads"]]
    for entry in report["loads"]:
        load = example[entry["name"]]
        assert (load.footprint.kind if load.footprint else "") == (entry["footprint"] or "")
        assert load.intensity.kind == entry["intensity"]
        assert load.intensity.description == entry["description"]


def test_diagnostics_carry_their_places(tmp_path):
    document = kestrel.read_text(BROKEN)
    assert not document.ok and [load.name for load in document.loads] == ["b"]
    (path := tmp_path / "broken.xml").write_text(BROKEN)
    report = cli("check", "--json", path)
    assert [(e.line, e.column, e.path, e.message) for e in document.errors] == [
        (e["line"], e["column"], e["path"], e["message"]) for e in report["errors"]]
    assert [(e.line, e.path) for e in kestrel.read(path).errors] == [(e.line, e.path) for e in document.errors]
    with pytest.raises(kestrel.DocumentError) as raised:
        kestrel.read(str(path), strict=True)
    assert raised.value.errors[0].line == 2 and "y" in raised.value.errors[0].path
    assert len(kestrel.read_text(BROKEN, max_errors=1).errors) == 2


@pytest.mark.parametrize("make, error", [(lambda d: d / "missing.xml", FileNotFoundError),
                                         (lambda d: d, IsADirectoryError)])
def test_unopenable_files_raise_os_errors(tmp_path, make, error):
    with pytest.raises(error) as raised:
        kestrel.read(make(tmp_path))
    assert raised.value.filename == str(make(tmp_path)) and raised.value.strerror


def test_grid_node_limit_is_per_read():
    text = EXAMPLE.read_text()
    assert kestrel.read_text(text).ok
    limited = kestrel.read_text(text, max_grid_nodes=3)
    assert not limited.ok and "measured wind" not in [load.name for load in limited.loads]
    assert any("3" in e.message and "grid" in e.message for e in limited.errors)
    assert kestrel.read_text(text).ok


def test_reads_in_two_threads_at_once(example):
    results = [None] * 4

    def work(i):
        results[i] = kestrel.read(EXAMPLE) if i % 2 else kestrel.read_text(EXAMPLE.read_text())

    threads = [threading.Thread(target=work, args=(i,)) for i in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for document in results:
        assert document.ok and document.loads == list(example.values())


def test_schema_and_validation():
    assert "xs:schema" in kestrel.schema()
    assert kestrel.validate(EXAMPLE.read_text()) == []
    errors = kestrel.validate('<loads><load name="x" coordinates="polar"/></loads>')
    assert errors and errors[0].line == 1 and "polar" in errors[0].message


def test_write_ifc_writes_what_the_command_writes(tmp_path):
    import subprocess
    from conftest import COMMAND
    done = subprocess.run([COMMAND, "ifc", EXAMPLE, "-o", tmp_path / "command.ifc"], capture_output=True, text=True)
    (tmp_path / "py").mkdir()
    skipped = kestrel.write_ifc(kestrel.read(EXAMPLE).loads, tmp_path / "py" / "loads.ifc")
    assert (tmp_path / "py" / "loads.ifc").read_bytes() == (tmp_path / "command.ifc").read_bytes()
    # What IFC cannot carry is told by both, load by load.
    assert skipped and all(f'"{name}"' in done.stderr for _, name, _ in skipped)
    with pytest.raises(IsADirectoryError):
        kestrel.write_ifc([], tmp_path)
