#!/usr/bin/env bash
# Checks the desktop entry and the AppStream metainfo as a menu and a software centre read them:
# any error, warning or hint fails, except the one explained in the README: the validator does
# not know the reserved .example top-level domain of the id, and says so as an "info".
# Usage: validate.sh DESKTOP_ENTRY METAINFO. Exits 77 (skipped) where a validator is missing.
set -euo pipefail
desktop=$1
metainfo=$2

for tool in desktop-file-validate appstreamcli; do
  if ! command -v "$tool" > /dev/null; then
    echo "SKIP: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

status=0
# desktop-file-validate exits 0 on warnings and hints: any output at all is a finding.
findings=$(desktop-file-validate "$desktop" 2>&1) || status=1
if [ -n "$findings" ]; then
  echo "$findings"
  status=1
fi
appstreamcli validate --no-net --strict --override=cid-maybe-not-rdns=pedantic "$metainfo" || status=1
[ "$status" -eq 0 ] && echo "PASS: $(basename "$desktop") and $(basename "$metainfo") are valid"
exit "$status"
