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
              "roundtrip example.xml"; do
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
  grep -q '"name":"café","read":true' out.json || fail "latin-1: $(cat out.json)"
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
  # A load that could not be read is listed by name, with its errors.
  printf '<loads>\n<load name="good"/>\n<load name="bad"><local_system/></load>\n</loads>' > doc.xml
  "$kestrel" check doc.xml > out.txt 2> err.txt
  [ $? -eq 1 ] || fail "status"
  grep -q '^doc.xml: load "good"$' out.txt || fail "$(cat out.txt)"
  grep -q '^doc.xml:3: load "bad" not read (3 errors)$' out.txt || fail "$(cat out.txt)"
  "$kestrel" check --json doc.xml > out.json
  grep -q '"line":3,"name":"bad","read":false' out.json || fail "$(cat out.json)" ;;
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
  printf '<?xml version="1.0"?>\n<!DOCTYPE loads>\n<loads/>' > doctype.xml
  for verb in check validate; do
    "$kestrel" $verb doctype.xml 2> err.txt
    [ $? -eq 2 ] || fail "$verb doctype"
    grep -q '^doctype.xml:2:\(11:\)\? error: document type declarations are not accepted' err.txt || fail "$(cat err.txt)"
  done ;;
*)
  fail "unknown case $2" ;;
esac
