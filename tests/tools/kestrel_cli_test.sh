#!/usr/bin/env bash
# End-to-end cases of the kestrel command that need files or byte-exact input.
# Usage: kestrel_cli_test.sh KESTREL CASE
set -u
kestrel=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"

fail() { echo "FAIL: $*" >&2; exit 1; }

case $2 in
failed_write)
  # Every verb that writes reports a full disk: status 2 and the reason.
  "$kestrel" example > example.xml || fail "example"
  for verb in "example" "schema" "check example.xml" "check --json example.xml" "validate example.xml" \
              "roundtrip example.xml" "eval --json example.xml --at 0,0,0" "sample example.xml --load gusts --step 1"; do
    $kestrel $verb > /dev/full 2> err
    status=$?
    [ $status -eq 2 ] || fail "$verb > /dev/full: status $status"
    grep -q "cannot write the output: No space left on device" err || fail "$verb: $(cat err)"
  done ;;
json_per_file)
  # One valid JSON object per file, whatever the file holds.
  printf '<?xml version="1.0" encoding="ISO-8859-1"?>\n<loads><load name="caf\xe9"/></loads>\n' > latin1.xml
  printf '<loads><load name="\xff"/></loads>' > invalid.xml
  printf '<loads/><loads/>' > tworoots.xml
  "$kestrel" check --json latin1.xml invalid.xml tworoots.xml absent.xml > out.json
  [ $? -eq 2 ] || fail "status"
  [ "$(wc -l < out.json)" -eq 4 ] || fail "$(cat out.json)"
  [ "$(grep -c '^{"errors":.*"file":.*}$' out.json)" -eq 4 ] || fail "$(cat out.json)"
  grep -q '"name":"café","read":true}\],"valid":true}$' out.json || fail "latin-1: $(cat out.json)"
  [ "$(grep -c '"valid":false}$' out.json)" -eq 3 ] || fail "valid: $(cat out.json)"
  grep -q '"column":20,"line":1,"message":"invalid UTF-8 byte sequence"' out.json || fail "invalid: $(cat out.json)"
  grep -q '"column":9,"line":1,"message":"a second root element; a document has one"' out.json || fail "$(cat out.json)"
  grep -q '"message":"cannot read file: No such file or directory"' out.json || fail "absent: $(cat out.json)"
  # A file that cannot be opened says why, in text too; standard input is named alike in both.
  mkdir -p folder.xml
  "$kestrel" check folder.xml 2> err.txt
  grep -q '^folder.xml:0: error: cannot read file: Is a directory$' err.txt || fail "directory: $(cat err.txt)"
  printf '<loads/><loads/>' | "$kestrel" check - 2> err.txt
  grep -q '^<stdin>:1:9: error: a second root element; a document has one$' err.txt || fail "stdin: $(cat err.txt)"
  printf '<loads/>' | "$kestrel" check --json - | grep -q '"file":"<stdin>"' || fail "stdin json" ;;
unread_loads)
  # A load that could not be read is listed by name, with its errors; the loads after it keep their
  # kinds; errors of a sibling whose name starts alike are not the load's.
  printf '<loads>\n<load name="good"/>\n<load name="bad"><local_system/></load>\n<load name="point"><footprint><footprint_point><point x="1" y="2" z="3"/></footprint_point></footprint><intensity><pressure2d_constant><intensity pressure="5 Pa"/></pressure2d_constant></intensity></load>\n</loads>' > doc.xml
  "$kestrel" check doc.xml > out.txt 2> err.txt
  [ $? -eq 1 ] || fail "status"
  grep -q '^doc.xml: load "good"$' out.txt || fail "$(cat out.txt)"
  grep -q '^doc.xml:3: load "bad" not read (3 errors)$' out.txt || fail "$(cat out.txt)"
  grep -q 'ok, ' out.txt && fail "ok with errors: $(cat out.txt)"
  "$kestrel" check --json doc.xml > out.json
  grep -q '"line":3,"name":"bad","read":false' out.json || fail "$(cat out.json)"
  grep -qF '{"description":"Constant Pressure\n5 Pa","errors":[],"footprint":"footprint_point","intensity":"pressure2d_constant","line":4,"name":"point","read":true}' out.json || fail "$(cat out.json)"
  # Writing it again would drop the load that was not read.
  "$kestrel" roundtrip doc.xml > out.xml 2> /dev/null
  [ $? -eq 1 ] && [ ! -s out.xml ] || fail "roundtrip: $(cat out.xml)"
  printf '<loads><loading/><load name="only"/><loading/></loads>' > sibling.xml
  "$kestrel" check sibling.xml 2> /dev/null | grep -qx 'sibling.xml: load "only"' || fail "sibling"
  # A load's errors are listed by line, though found inside out.
  printf '<loads>\n<load name="x">\n<local_system>\n<origin x="1 m" y="bad" z="0 m"/>\n</local_system>\n</load>\n</loads>' > order.xml
  "$kestrel" check --json order.xml | grep -q '"errors":\[{"column":1,"line":3,[^]]*"line":3,[^]]*"line":4,[^]]*\],"footprint"' ||
    fail "order: $("$kestrel" check --json order.xml)" ;;
long_listing)
  # A listing far longer than what the command holds in memory comes out whole and in order, in
  # text and JSON; a document refused at its end lists no load in either.
  python3 -c '
loads = ["<load name=\"g%d\"/>" % i if i % 40000 != 7 else "<load nmae=\"b%d\"/>" % i for i in range(120000)]
print("<loads>\n" + "\n".join(loads) + "\n</loads>")' > long.xml
  "$kestrel" check long.xml > out.txt 2> err.txt
  [ $? -eq 1 ] || fail "status"
  [ "$(wc -l < out.txt)" -eq 120000 ] || fail "lines: $(wc -l < out.txt)"
  [ "$(sed -n 1p out.txt)" = 'long.xml: load "g0"' ] && [ "$(sed -n 120000p out.txt)" = 'long.xml: load "g119999"' ] || fail "ends"
  [ "$(grep -c ' not read (2 errors)$' out.txt)" -eq 3 ] || fail "unread: $(grep 'not read' out.txt)"
  [ "$(sed -n 80008p out.txt)" = 'long.xml:80009: load "" not read (2 errors)' ] || fail "$(sed -n 80008p out.txt)"
  [ "$(wc -l < err.txt)" -eq 6 ] || fail "$(cat err.txt)"
  "$kestrel" check --json long.xml > out.json
  python3 -c '
import json, sys
r = json.load(open("out.json"))
loads = r["loads"]
assert len(loads) == 120000 and len(r["errors"]) == 6 and r["valid"] is False, (len(loads), r["errors"])
assert [l["line"] for l in loads] == list(range(2, 120002))
bad = [i for i, l in enumerate(loads) if not l["read"]]
assert bad == [7, 40007, 80007], bad
assert all(len(loads[i]["errors"]) == 2 and loads[i]["errors"][0]["line"] == i + 2 for i in bad)
assert loads[119999]["name"] == "g119999" and loads[119999]["errors"] == []' || fail "json"
  # A listing that cannot be held is a failure, not a short listing.
  (trap '' XFSZ; ulimit -f 100; "$kestrel" check long.xml 2> err.txt | wc -l > count.txt; echo "${PIPESTATUS[0]}" > status.txt)
  [ "$(cat status.txt)" -eq 2 ] && [ "$(cat count.txt)" -eq 0 ] || fail "unheld: $(cat status.txt) $(cat count.txt)"
  grep -q ':0: error: the report could not be held in a temporary file: File too large$' err.txt || fail "$(cat err.txt)"
  head -c -10 long.xml > cut.xml
  "$kestrel" check cut.xml > out.txt 2> err.txt
  [ $? -eq 2 ] && [ ! -s out.txt ] || fail "refused: $(head -3 out.txt)"
  "$kestrel" check --json cut.xml | grep -q '"loads":\[\],"valid":false}$' || fail "refused json" ;;
check_example)
  # The example: "ok" with its count, and in JSON each load's kinds (every intensity named) and
  # description, none for a load without a footprint.
  "$kestrel" example > example.xml || fail "example"
  "$kestrel" check example.xml | tail -n 1 | grep -qx 'example.xml: ok, 18 loads' || fail "ok line"
  "$kestrel" check --json example.xml > out.json || fail "status"
  [ "$(grep -o '"intensity":"[a-z0-9_]*"' out.json | wc -l)" -eq 18 ] || fail "intensity names"
  grep -qF '{"description":"Constant Surface Load\n(0 N/m2, 0 N/m2, -2500 N/m2)","errors":[],"footprint":null,"intensity":"component2d_constant","line":3,"name":"dead load","read":true}' out.json || fail "$(cat out.json)" ;;
eval_json)
  # Each load's value, limited value, footprint membership and units, in the system asked for;
  # JSON too for a document that cannot be read.
  "$kestrel" example > example.xml || fail "example"
  "$kestrel" eval --json example.xml --at 6,0,6 > out.json || fail "status"
  grep -q '^{"at":\[6.0,0.0,6.0\],"errors":\[\],"file":"example.xml","loads":\[{"intensity":"component2d_constant","limited":\[0.0,0.0,-2500.0\],"name":"dead load","on_footprint":null,"unit":"N/m2","units":\["N/m2","N/m2","N/m2"\],"value":\[0.0,0.0,-2500.0\]},{"intensity":"component0d_constant","limited":\[0.0,0.0,-120000.0,0.0,15000.0,0.0\],"name":"column head","on_footprint":false,"unit":"N, N.m","units":\["N","N","N","N.m","N.m","N.m"\],"value":\[0.0,0.0,-120000.0,0.0,15000.0,0.0\]},' out.json || fail "$(cat out.json)"
  grep -q '"system":"global"}$' out.json || fail "system"
  "$kestrel" eval --json example.xml --at 6,0,6 --system local | grep -q '"system":"local"}$' || fail "local"
  "$kestrel" eval example.xml --at 1,0,10 > out.txt || fail "status"
  for line in 'load "wind on facade" pressure2d_3point_varying: value 1314.2857142857142 Pa, limited 1000 Pa; off the footprint' \
              'load "column head" component0d_constant: value (0, 0, -120000) N, (0, 15000, 0) N.m; off the footprint' \
              'load "crane rail" component1d_linear: no value here; off the footprint' \
              'load "dead load" component2d_constant: value (0, 0, -2500) N/m2; no footprint'; do
    grep -qxF "example.xml: $line" out.txt || fail "$line: $(cat out.txt)"
  done
  printf '<loads>\n  <load name="a">\n</loads>' > malformed.xml
  "$kestrel" eval --json malformed.xml --at 0,0,0 > out.json 2> /dev/null
  [ $? -eq 2 ] || fail "malformed status"
  grep -qx '{"at":\[0.0,0.0,0.0\],"errors":\[{"column":3,"line":3,"message":"mismatched tag","path":""}\],"file":"malformed.xml","loads":\[\],"system":"global"}' out.json || fail "$(cat out.json)"
  "$kestrel" eval --json absent.xml --at 0,0,0 2> /dev/null | grep -q '"message":"cannot read file: No such file or directory"' || fail "absent" ;;
failing_script)
  # A script that throws is an error of its load: status 1, told once per command however many
  # positions it fails at. function intensity(x, y, z) { throw new Error("no wind data"); }
  printf '<loads><load name="storm"><footprint><footprint_line><line><position x="0" y="0" z="0" end="1"/><position x="1" y="0" z="0" end="2"/></line></footprint_line></footprint><intensity><pressure2d_javascript refinement="1 m"><function encoding="base64">ZnVuY3Rpb24gaW50ZW5zaXR5KHgsIHksIHopIHsgdGhyb3cgbmV3IEVycm9yKCJubyB3aW5kIGRhdGEiKTsgfQ==</function></pressure2d_javascript></intensity></load></loads>' > storm.xml
  error='intensity failed: Error: no wind data (line 1, column 37)'
  for verb in "eval --at 1,2,3" "eval --json --at 1,2,3" "sample --load storm --step 0.5" "sample --load storm --step 0.5 --json"; do
    $kestrel $verb storm.xml > out.txt 2> err.txt
    [ $? -eq 1 ] || fail "$verb: status"
    [ "$(cat err.txt)" = "storm.xml: error: load \"storm\": $error" ] || fail "$verb: $(cat err.txt)"
  done
  "$kestrel" eval --json --at 1,2,3 storm.xml 2> /dev/null | grep -qF "\"error\":\"$error\"" || fail "json error" ;;
sample_rows)
  # Rows of positions with the value and the limited value, as CSV or JSON.
  "$kestrel" example > example.xml || fail "example"
  "$kestrel" sample example.xml --load 'wind on facade' --step 1 > out.csv || fail "status"
  [ "$(head -n 1 out.csv)" = 'x [m],y [m],z [m],value pressure [Pa],limited pressure [Pa]' ] || fail "$(head -n 1 out.csv)"
  [ "$(wc -l < out.csv)" -eq 105 ] || fail "rows"
  grep -qx '0,0,7,1100,1000' out.csv || fail "limited row"
  # A step that lands on a line's end does not give the end twice.
  [ "$("$kestrel" sample example.xml --load 'crane rail' --step 6 | wc -l)" -eq 6 ] || fail "rail"
  "$kestrel" sample example.xml --load gusts --step 4 --json > out.json || fail "json status"
  grep -q '^{"components":\["pressure"\],"file":"example.xml","footprint":"footprint_polygon","intensity":"pressure2d_javascript","load":"gusts","step":4.0,"system":"global","unit":"Pa","units":\["Pa"\],"samples":\[{"at":\[0.0,0.0,0.0\],"limited":\[800.0\],"value":\[800.0\]},' out.json || fail "$(cat out.json)"
  [ "$(grep -o '"at"' out.json | wc -l)" -eq 8 ] || fail "samples"
  for load in 'no such load' 'dead load'; do
    "$kestrel" sample example.xml --load "$load" --step 1 > out.txt 2> err.txt
    [ $? -eq 2 ] && [ ! -s out.txt ] || fail "$load"
  done
  grep -q 'has no footprint to sample' err.txt || fail "$(cat err.txt)"
  "$kestrel" sample example.xml --load hydrostatic --step 1e-4 > out.txt 2> /dev/null
  [ $? -eq 2 ] && [ ! -s out.txt ] || fail "too many" ;;
plot_files)
  # Every load that can be drawn into a folder, one load into a folder or a file.
  "$kestrel" example > example.xml || fail "example"
  "$kestrel" plot example.xml -o plots > out.txt 2> err.txt || fail "status"
  [ "$(ls plots | wc -l)" -eq 17 ] && [ -s plots/wind-on-facade.svg ] || fail "$(ls plots)"
  grep -q 'skipped: load "dead load" has no footprint' err.txt || fail "$(cat err.txt)"
  rm plots/tank-wall.svg
  "$kestrel" plot example.xml --load 'tank wall' -o plots > /dev/null && [ -s plots/tank-wall.svg ] || fail "into folder"
  "$kestrel" plot example.xml --load 'tank wall' -o plots/missing/x.svg 2> /dev/null
  [ $? -eq 2 ] || fail "missing folder"
  "$kestrel" plot example.xml --load 'dead load' -o dead.svg 2> /dev/null
  [ $? -eq 2 ] && [ ! -e dead.svg ] || fail "dead load" ;;
max_errors)
  printf '<loads><load name="a" b="" c="" d="" e="" f=""/></loads>' > doc.xml
  "$kestrel" check --max-errors 2 doc.xml 2> err.txt
  [ $? -eq 1 ] || fail "status"
  [ "$(grep -c ': error: ' err.txt)" -eq 3 ] || fail "$(cat err.txt)"
  grep -q '3 more errors found and not listed (error limit 2)' err.txt || fail "$(cat err.txt)"
  "$kestrel" check --max-errors -1 doc.xml 2> /dev/null
  [ $? -eq 2 ] || fail "negative limit accepted" ;;
validate_as_check)
  # What check refuses on its face, validate refuses too: units of another quantity, NaN, DOCTYPEs.
  "$kestrel" example > example.xml || fail "example"
  sed 's/x="12 m"/x="12 kN"/' example.xml > foreign.xml
  sed 's/pressure="1000 Pa"/pressure="INF Pa"/' example.xml > infinite.xml
  for file in foreign.xml infinite.xml; do
    cmp -s "$file" example.xml && fail "$file unchanged"
    "$kestrel" check "$file" > /dev/null 2>&1
    [ $? -eq 1 ] || fail "check $file"
    "$kestrel" validate "$file" > /dev/null 2>&1
    [ $? -eq 1 ] || fail "validate $file"
  done
  # A quantity's pattern is named, not quoted; the error limit holds; a missing file is status 2.
  "$kestrel" validate --max-errors 2 foreign.xml 2> err.txt
  [ "$(grep -c "^foreign.xml:[0-9]*: error: Element 'point', attribute 'x': \[facet 'pattern'\] The value '12 kN' is not accepted by the pattern of its type$" err.txt)" -eq 2 ] || fail "$(cat err.txt)"
  grep -qx 'foreign.xml:0: error: 7 more errors found and not listed (error limit 2)' err.txt || fail "$(cat err.txt)"
  "$kestrel" validate absent.xml 2> /dev/null
  [ $? -eq 2 ] || fail "validate absent"
  printf '<?xml version="1.0"?>\n<!DOCTYPE loads>\n<loads/>' > doctype.xml
  for verb in check validate; do
    "$kestrel" $verb doctype.xml 2> err.txt
    [ $? -eq 2 ] || fail "$verb doctype"
    grep -q '^doctype.xml:2:\(11:\)\? error: document type declarations are not accepted' err.txt || fail "$(cat err.txt)"
  done ;;
ifc_output)
  # Actions go out as their loads arrive. A document refused late leaves an existing output as it
  # was and no file beside it, an unreadable one writes nothing; one with errors is written, the
  # output keeping its permissions; a link or a device is written through.
  "$kestrel" example > example.xml || fail "example"
  head -c -10 example.xml > cut.xml
  echo keep > out.ifc
  "$kestrel" ifc cut.xml -o out.ifc 2> err.txt
  [ $? -eq 2 ] || fail "cut status"
  [ "$(cat out.ifc)" = keep ] || fail "output replaced"
  [ "$(ls | grep -c kestrel)" -eq 0 ] || fail "left behind: $(ls)"
  grep -q '^cut.xml:[0-9]*:[0-9]*: error: ' err.txt || fail "$(cat err.txt)"
  "$kestrel" ifc absent.xml > none.ifc 2> /dev/null
  [ $? -eq 2 ] && [ ! -s none.ifc ] || fail "absent input"
  sed 's/name="column head"/nmae="x"/' example.xml > errors.xml
  chmod 600 out.ifc
  "$kestrel" ifc errors.xml -o out.ifc 2> /dev/null
  [ $? -eq 1 ] || fail "errors status"
  tail -n 1 out.ifc | grep -qx 'END-ISO-10303-21;' || fail "not written"
  [ "$(stat -c %a out.ifc)" = 600 ] && ! grep -q "column head" out.ifc || fail "permissions"
  ln -s out.ifc link.ifc
  "$kestrel" ifc example.xml -o link.ifc 2> /dev/null
  [ -L link.ifc ] && grep -q "column head" out.ifc || fail "link"
  "$kestrel" ifc example.xml -o /dev/stdout 2> /dev/null | cmp -s - <("$kestrel" ifc example.xml 2> /dev/null) ||
    fail "device" ;;
*)
  fail "unknown case $2" ;;
esac
