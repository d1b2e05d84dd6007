# Shared by the probe's command-line tests: sourced, not run.
failures=0

check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    echo "FAIL $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}

json_field() {  # json_field JSON PYTHON-EXPRESSION-ON-d
  python3 -c "import json,sys; d=json.loads(sys.argv[1]); print($2)" "$1"
}

finish() {  # finish NAME: the summary line and the exit status
  if [ "$failures" -ne 0 ]; then
    echo "$failures failed"
    exit 1
  fi
  echo "$1: all checks passed"
  exit 0
}
