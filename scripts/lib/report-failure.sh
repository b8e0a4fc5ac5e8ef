# shellcheck shell=bash
# Sourced by every script: when a command fails and ends the script (set -e),
# say which command, where, and with which exit code, so no step ever ends
# without a word. Functions and subshells inherit the trap (set -E).
#   . "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" NAME
_qd_fail_name="${1:-$(basename "${BASH_SOURCE[1]:-$0}")}"
set -E
trap '_qd_rc=$?; echo "[$_qd_fail_name] ERROR: \"$BASH_COMMAND\" failed with exit code $_qd_rc (${BASH_SOURCE[0]##*/} line $LINENO)" >&2' ERR
