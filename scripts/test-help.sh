#!/bin/sh
# Tests of the help file tlm_hilfe_V44.chm and of the manual in help/:
#  1. the sources: declared charset, Windows-1252 bytes, links and anchors;
#  2. the compiled CHM, read back with chmls (fp-utils) instead of a viewer:
#     every page, the table of contents, the keyword index, the full-text
#     search index and a window with the search tab;
#  3. every diagnostic text of the compiler's message table is explained in
#     meldungen.htm with its severity, and nothing else is listed there;
#  4. every example program of the manual (<pre class="sqx">) compiles with
#     talmirc as the "Aufruf" line above it says, with the exit status, the
#     equation text (<pre class="zw">) and the ERR file (<pre class="err">)
#     that the manual shows.
# Usage: scripts/test-help.sh [path/to/talmirc]   (default: build/talmirc)
set -u
talmirc=""
if [ $# -gt 0 ]; then
  case $1 in
    /*) talmirc=$1 ;;
    *) talmirc=$(pwd)/$1 ;;
  esac
fi
cd "$(dirname "$0")/.."
root=$(pwd)
[ -n "$talmirc" ] || talmirc=$root/build/talmirc
help=$root/help
chm=$help/out/tlm_hilfe_V44.chm
export LC_ALL=C
fail=0
bad() { echo "FAIL: $*"; fail=$((fail + 1)); }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The pages of the project, in [FILES] order.
sed -n '/^\[FILES\]/,/^\[/p' "$help/tlm_hilfe.hhp" | grep -v '^\[' | tr -d '\r' | grep . > "$tmp/files"
grep '\.htm$' "$tmp/files" > "$tmp/pages"
[ -s "$tmp/pages" ] || bad "no pages listed in help/tlm_hilfe.hhp"

# HTML entities used by the manual, decoded to the bytes they stand for.
decode() {
  sed -e 's/&#9;/	/g' -e 's/&#32;/ /g' -e 's/&nbsp;/ /g' -e 's/&lt;/</g' -e 's/&gt;/>/g' \
      -e 's/&quot;/"/g' -e 's/&amp;/\&/g'
}

echo "== help sources"
for f in $(cat "$tmp/pages") tlm_hilfe.hhc tlm_hilfe.hhk; do
  p=$help/$f
  if [ ! -f "$p" ]; then bad "$f is listed but missing"; continue; fi
  grep -qi 'charset=windows-1252' "$p" || bad "$f does not declare charset=windows-1252"
  # UTF-8 encoded umlauts (C3 followed by a continuation byte) mean the file
  # was saved in the wrong code page.
  if grep -q "$(printf '\303')[$(printf '\200')-$(printf '\277')]" "$p"; then
    bad "$f contains UTF-8 sequences; it must be Windows-1252"
  fi
done
for f in "$help"/*.htm; do
  grep -qx "$(basename "$f")" "$tmp/files" || bad "$(basename "$f") is not in [FILES] of tlm_hilfe.hhp"
done
# Every link between pages reaches a listed page and, with "#", an anchor in it.
for f in $(cat "$tmp/pages"); do
  grep -o 'href="[^"]*"' "$help/$f" | sed 's/^href="//; s/"$//' | grep -v '\.css$' |
  while read -r link; do
    page=${link%%#*}; anchor=""
    case $link in *#*) anchor=${link#*#} ;; esac
    [ -z "$page" ] && page=$f
    if ! grep -qx "$page" "$tmp/pages"; then echo "FAIL: $f links to unknown page $link"; continue; fi
    if [ -n "$anchor" ] && ! grep -q "name=\"$anchor\"" "$help/$page"; then
      echo "FAIL: $f links to missing anchor $link"
    fi
  done
done > "$tmp/linkfails"
if [ -s "$tmp/linkfails" ]; then cat "$tmp/linkfails"; fail=$((fail + $(wc -l < "$tmp/linkfails"))); fi

echo "== help file build"
if ! command -v chmcmd >/dev/null 2>&1 || ! command -v chmls >/dev/null 2>&1; then
  bad "chmcmd/chmls not installed (Debian package fp-utils)"
elif ! "$help/build.sh" >/dev/null; then
  bad "help/build.sh failed"
elif [ ! -s "$chm" ]; then
  bad "help/build.sh did not write $chm"
else
  chmls -p --no-offset list "$chm" 2>/dev/null > "$tmp/list"
  names() { awk 'NF >= 3 && $NF ~ /^\// { print $NF }' "$tmp/list"; }
  names > "$tmp/names"
  while read -r f; do
    grep -qx "/$f" "$tmp/names" || bad "CHM lacks /$f"
  done < "$tmp/files"
  for f in tlm_hilfe.hhc tlm_hilfe.hhk; do
    grep -qx "/$f" "$tmp/names" || bad "CHM lacks /$f"
  done
  # Full-text search: the option is on and the search index is not empty.
  size=$(awk '$NF == "/$FIftiMain" { print $(NF - 1) }' "$tmp/list")
  [ -n "$size" ] && [ "$size" -gt 0 ] 2>/dev/null || bad "CHM has no full-text search index (/\$FIftiMain)"
  chmls printsystem "$chm" 2>/dev/null | tr -d '\r' > "$tmp/system"
  grep -q 'fullttext search is on *: *1' "$tmp/system" || bad "CHM: full-text search is off"
  grep -q 'Contents file from \[options\] *:tlm_hilfe.hhc' "$tmp/system" || bad "CHM: no contents file"
  grep -q 'Index file from \[options\] *:tlm_hilfe.hhk' "$tmp/system" || bad "CHM: no index file"
  grep -q 'Title from \[options\] *:TALMIR Hilfe' "$tmp/system" || bad "CHM: title is not TALMIR Hilfe"
  grep -q 'Default topic from \[options\] *:index.htm' "$tmp/system" || bad "CHM: default topic is not index.htm"
  # The window: tri-pane with the search tab, naming the contents and the index.
  chmls printwindows "$chm" 2>/dev/null | tr -d '\r' > "$tmp/windows"
  style=$(sed -n 's/.*navigation pane styles *: *\([0-9A-Fa-f]*\).*/\1/p' "$tmp/windows" | head -1)
  if [ -z "$style" ]; then
    bad "CHM has no window definition"
  else
    [ $((0x$style & 0x20)) -ne 0 ] || bad "CHM window is not tri-pane (style $style)"
    [ $((0x$style & 0x400)) -ne 0 ] || bad "CHM window has no search tab (style $style)"
  fi
  grep -q 'TOC File *: tlm_hilfe.hhc' "$tmp/windows" || bad "CHM window names no contents file"
  grep -q 'Index File *: tlm_hilfe.hhk' "$tmp/windows" || bad "CHM window names no index file"
  # Contents and index as stored: the same files as the sources, every entry
  # points at a page of the CHM (and an anchor there), every page is in the contents.
  for f in tlm_hilfe.hhc tlm_hilfe.hhk; do
    if chmls extract "$chm" "/$f" "$tmp/$f" >/dev/null 2>&1 && [ -f "$tmp/$f" ]; then
      cmp -s "$tmp/$f" "$help/$f" || bad "CHM's /$f differs from help/$f"
    else
      bad "cannot extract /$f from the CHM"; continue
    fi
    grep -o '<param name="Local" value="[^"]*"' "$tmp/$f" | sed 's/.*value="//; s/"$//' > "$tmp/$f.locals"
    [ -s "$tmp/$f.locals" ] || bad "CHM's /$f has no entries"
    while read -r link; do
      page=${link%%#*}
      grep -qx "/$page" "$tmp/names" || bad "/$f entry $link: no such page in the CHM"
      case $link in *#*) grep -q "name=\"${link#*#}\"" "$help/$page" || bad "/$f entry $link: no such anchor" ;; esac
    done < "$tmp/$f.locals"
  done
  if [ -f "$tmp/tlm_hilfe.hhc.locals" ]; then
    while read -r page; do
      grep -qx "$page" "$tmp/tlm_hilfe.hhc.locals" || bad "$page is not in the table of contents"
    done < "$tmp/pages"
  fi
  # The index lists keywords, each with a name.
  grep -o '<param name="Name" value="[^"]*"' "$tmp/tlm_hilfe.hhk" 2>/dev/null | grep -qv 'value=""' ||
    bad "the keyword index has no named keywords"
fi

echo "== diagnostic texts"
# The message table of the compiler: {"text", severity}, with C string breaks
# and \xHH escapes. Both sides are brought to one form: the text as bytes with
# a newline written as the two characters \n, a tab, the severity.
awk '
  BEGIN { for (i = 0; i < 256; i++) hex[sprintf("%02X", i)] = i }
  /^[ \t]*\{".*", *[01]\},/ {
    line = $0
    sev = line; sub(/.*", */, "", sev); sub(/\}.*/, "", sev)
    s = line; sub(/^[ \t]*\{"/, "", s); sub(/", *[01]\},.*$/, "", s)
    gsub(/" *"/, "", s)
    out = ""
    while ((i = index(s, "\\x")) > 0) {
      out = out substr(s, 1, i - 1) sprintf("%c", hex[toupper(substr(s, i + 2, 2))])
      s = substr(s, i + 4)
    }
    out = out s
    gsub(/\\"/, "\"", out)
    print out "\t" sev
  }' "$root/compiler/front/diagnostics.cpp" | sort > "$tmp/table"
awk '
  /^<dt>/ { t = $0; sub(/^<dt>/, "", t); sub(/<\/dt>.*$/, "", t); gsub(/<br>/, "\\n", t); next }
  /^<dd><b>Fehler<\/b>/ && t != "" { print t "\t1"; t = ""; next }
  /^<dd><b>Warnung<\/b>/ && t != "" { print t "\t0"; t = ""; next }
  /^<dd>/ && t != "" { print t "\t?"; t = "" }
' "$help/meldungen.htm" | decode | sort > "$tmp/manual"
if [ "$(wc -l < "$tmp/table")" -lt 10 ]; then
  bad "could not read the message table from compiler/front/diagnostics.cpp"
else
  comm -23 "$tmp/table" "$tmp/manual" | sed 's/^/FAIL: not explained (or wrong severity) in meldungen.htm: /' > "$tmp/m1"
  comm -13 "$tmp/table" "$tmp/manual" | sed 's/^/FAIL: meldungen.htm explains a text that is not in the message table: /' > "$tmp/m2"
  cat "$tmp/m1" "$tmp/m2"
  fail=$((fail + $(cat "$tmp/m1" "$tmp/m2" | wc -l)))
fi

echo "== example programs"
# Extract: one folder per example with cmd, status (if shown), source, zw, err.
ex=$tmp/examples
mkdir -p "$ex"
for f in $(cat "$tmp/pages"); do
  awk -v page="$f" -v dir="$ex" '
    function flush() { if (block != "") close(block); block = "" }
    /^<p class="aufruf">/ {
      cmd = $0; sub(/^.*<code>/, "", cmd); sub(/<\/code>.*$/, "", cmd)
      st = ""; if (match($0, /Exit-Status [0-9]/)) st = substr($0, RSTART + 12, 1)
      pending = 1; next
    }
    /^<pre class="sqx">$/ {
      n++; d = dir "/" page "-" n
      system("mkdir -p \"" d "\"")
      if (!pending) print "no Aufruf line" > (d "/problem")
      print cmd > (d "/cmd"); close(d "/cmd")
      if (st != "") { print st > (d "/status"); close(d "/status") }
      pending = 0; zws = 0; block = d "/source"; next
    }
    /^<pre class="(zw|err)">$/ {
      if (n == 0) next
      kind = $0; sub(/^<pre class="/, "", kind); sub(/">$/, "", kind)
      if (kind == "zw") { zws++; kind = "zw." zws }
      block = d "/" kind; printf "" > block; next
    }
    /^<\/pre>$/ { flush(); next }
    block != "" { print > block }
  ' "$help/$f"
done
for d in "$ex"/*/; do
  [ -f "$d/source" ] || continue
  for k in "$d"/source "$d"/zw.* "$d"/err; do
    [ -f "$k" ] && decode < "$k" > "$k.txt"
  done
done
count=$(ls "$ex" | wc -l)
[ "$count" -gt 0 ] || bad "no example programs found in the manual"
if [ ! -x "$talmirc" ]; then
  bad "talmirc not found at $talmirc (build it first)"
else
  for d in "$ex"/*/; do
    d=${d%/}; name=$(basename "$d")
    [ -f "$d/problem" ] && { bad "$name: $(cat "$d/problem")"; continue; }
    cmd=$(cat "$d/cmd")
    set -- $cmd
    if [ "${1:-}" != talmirc ] || [ $# -lt 2 ]; then bad "$name: Aufruf is not a talmirc command: $cmd"; continue; fi
    shift
    args=""
    while [ $# -gt 1 ]; do args="$args $1"; shift; done
    src=$1
    work=$d/run
    mkdir -p "$work"
    cp "$d/source.txt" "$work/$src"
    (cd "$work" && "$talmirc" $args "$src" > stdout 2> stderr)
    status=$?
    base=${src%.*}
    want=""
    [ -f "$d/status" ] && want=$(cat "$d/status")
    if [ -n "$want" ] && [ "$status" != "$want" ]; then
      bad "$name ($cmd): exit status $status, the manual says $want"
      sed -n 1,5p "$work/stderr"
    fi
    for zw in "$d"/zw.*.txt; do
      [ -f "$zw" ] || continue
      if [ ! -f "$work/$base.ZW" ]; then
        bad "$name ($cmd): no $base.ZW written"
        break
      fi
      tr -d '\r' < "$work/$base.ZW" > "$work/zw.lf"
      if ! awk 'FNR == NR { e = e "\n" $0; next } { a = a "\n" $0 } END { exit index(a "\n", e "\n") ? 0 : 1 }' "$zw" "$work/zw.lf"; then
        bad "$name ($cmd): the equation text shown is not in $base.ZW"
        echo "--- shown:"; cat "$zw"; echo "--- written:"; sed -n 1,30p "$work/zw.lf"
      fi
    done
    if [ -f "$work/$base.ERR" ]; then tr -d '\r' < "$work/$base.ERR" > "$work/err.lf"; else : > "$work/err.lf"; fi
    if [ -f "$d/err.txt" ]; then
      if ! cmp -s "$d/err.txt" "$work/err.lf"; then
        bad "$name ($cmd): $base.ERR differs from the manual"
        diff "$d/err.txt" "$work/err.lf" | head -20
      fi
    elif [ "$want" = 0 ] && [ -s "$work/err.lf" ]; then
      bad "$name ($cmd): the manual shows no diagnostics, but $base.ERR has:"
      head -5 "$work/err.lf"
    fi
  done
fi
if [ "$fail" -eq 0 ]; then echo "help: all checks passed"; else echo "help: $fail checks failed"; fi
[ "$fail" -eq 0 ]
