#!/bin/sh
# Builds the help file tlm_hilfe_V44.chm from the HTML sources in this folder
# with chmcmd (Debian package fp-utils). The result lands in help/out/.
set -e
cd "$(dirname "$0")"
if ! command -v chmcmd >/dev/null 2>&1; then
  echo "help/build.sh: chmcmd not found (install fp-utils)" >&2
  exit 1
fi
rm -rf out
mkdir -p out
log=out/chmcmd.log
if ! chmcmd tlm_hilfe.hhp >"$log" 2>&1; then
  cat "$log" >&2
  echo "help/build.sh: chmcmd failed" >&2
  exit 1
fi
if [ ! -s out/tlm_hilfe_V44.chm ]; then
  cat "$log" >&2
  echo "help/build.sh: out/tlm_hilfe_V44.chm was not written" >&2
  exit 1
fi
echo "help/out/tlm_hilfe_V44.chm"
