#!/usr/bin/env bash
# What both end-to-end scripts need before a run, sourced by them:
#   source scripts/e2e-common.sh NAME WORK TOOL...
# checks that each TOOL is installed and that Debian's python3 carries PIL
# (another python3 earlier on PATH may not), sets `python` and `pidfile`
# (where the tests list the X servers they start), and traps the script's
# exit to stop those servers and run `e2e_extra_cleanup` if the script
# defines one: the tests stop what they start, this catches an interrupted
# run.
_e2e_name="$1"
_e2e_work="$2"
shift 2
for tool in "$@"; do
  command -v "$tool" >/dev/null || { echo "$_e2e_name: $tool is missing; run scripts/setup.sh" >&2; exit 1; }
done
python=/usr/bin/python3
[ -x "$python" ] || python="$(command -v python3)"
"$python" -c 'import PIL.ImageGrab' 2>/dev/null || { echo "$_e2e_name: $python lacks PIL (python3-pil)" >&2; exit 1; }

pidfile="$_e2e_work/xvfb.pids"
_e2e_cleanup() {
  if declare -F e2e_extra_cleanup >/dev/null; then e2e_extra_cleanup; fi
  if [ -f "$pidfile" ]; then
    while read -r pid; do
      if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "Xvfb" ]; then kill "$pid" 2>/dev/null || true; fi
    done <"$pidfile"
  fi
}
trap _e2e_cleanup EXIT
trap 'exit 130' INT TERM
unset _e2e_name _e2e_work
