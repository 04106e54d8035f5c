#!/usr/bin/env bash
# Installs everything the builds and tests need on a fresh Debian 12 machine.
# Safe to run again: each step checks first and skips what is already in place.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
say() { printf '[setup] %s\n' "$*"; }
warn() { printf '[setup] %s\n' "$*" >&2; }

# What apt prints goes to this log; a failing step shows its end.
log="$root/build/logs/setup.log"
logged() {
  mkdir -p "${log%/*}"
  printf '\n=== %s: %s\n' "$(date '+%F %T')" "$*" >>"$log"
  local rc=0
  "$@" </dev/null >>"$log" 2>&1 || rc=$?
  [ $rc -eq 0 ] || { warn "failed (exit code $rc): $*; the end of $log:"; tail -n 30 "$log" >&2; }
  return $rc
}

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then SUDO=sudo; else
      warn "installing packages needs root (or sudo)"; exit 1; fi
  else SUDO=; fi
}

native_packages=(build-essential cmake ninja-build pkg-config libxml2-dev libgtest-dev googletest
                 libgmock-dev libbenchmark-dev clang libclang-rt-14-dev)
windows_packages=(g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
                  dpkg-dev xvfb x11-apps x11-utils imagemagick)
wine_packages=(wine wine32:i386 wine64)
# Manual.pdf: Markdown to HTML to PDF, and the tools its checks read the PDF with.
manual_packages=(pandoc weasyprint poppler-utils fonts-dejavu-core fonts-dejavu-extra)
# The release package: its zip is written by Python; its checks read it with
# unzip and the definitions with xmllint.
package_packages=(python3 unzip libxml2-utils)

missing=()
for p in "${native_packages[@]}" "${windows_packages[@]}" "${wine_packages[@]}" "${manual_packages[@]}" \
         "${package_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# libxml2's source comes from the same archive the machine installs its
# packages from: a deb-src entry is derived from each of its deb entries for
# this release (same URIs, suites, components and options such as Signed-By),
# so a machine that uses a local mirror or proxy keeps using it. The entries go
# to a file of our own, rewritten whenever they differ from what the machine's
# sources give now (so a file from an earlier setup with other hosts is
# replaced); suites that already have a deb-src entry are left out.
apt_list=/etc/apt/sources.list apt_parts=/etc/apt/sources.list.d
eval "$(apt-config shell apt_list Dir::Etc::sourcelist/f apt_parts Dir::Etc::sourceparts/d)"
deb_src_file="${apt_parts%/}/druv-deb-src.sources"
release=$( . /etc/os-release && echo "${VERSION_CODENAME:-}")

# Prints the deb822 stanzas of the deb-src entries this machine lacks for its
# release; prints nothing when every such deb entry already has one, and fails
# with status 3 when it found no deb entry of the release's main component.
derive_deb_src() {
  local files=() f
  [ -f "$apt_list" ] && files+=("$apt_list")
  for f in "${apt_parts%/}"/*; do  # apt reads only these two kinds of file there
    case $f in *.list|*.sources) [ -f "$f" ] && [ "$f" != "$deb_src_file" ] && files+=("$f") ;; esac
  done
  [ ${#files[@]} -gt 0 ] || return 3
  awk -v release="$release" '
    function wanted(suite) {
      return suite == release || suite == release "-updates" || suite == release "-security" ||
             suite == release "/updates"
    }
    function key(uri, suite) { sub(/\/+$/, "", uri); return uri SUBSEP suite }
    function has(list, word,   n, i, w) {
      n = split(list, w, /[ \t]+/)
      for (i = 1; i <= n; i++) if (w[i] == word) return 1
      return 0
    }
    # One deb entry to mirror: a URI, its suites, components and the other fields.
    function add_entry(uri, suites, components, fields) {
      entries++; e_uri[entries] = uri; e_suites[entries] = suites
      e_components[entries] = components; e_fields[entries] = fields
    }
    function end_stanza(   types, uris, suites, nu, ns, u, s, i, k, other) {
      if (nfields == 0) return
      types = value["types"]
      if (tolower(value["enabled"]) != "no") {
        nu = split(value["uris"], uris, /[ \t\n]+/)
        ns = split(value["suites"], suites, /[ \t\n]+/)
        if (has(types, "deb-src"))
          for (u = 1; u <= nu; u++) for (s = 1; s <= ns; s++) covered[key(uris[u], suites[s])] = 1
        if (has(types, "deb") && has(value["components"], "main")) {
          other = ""
          for (i = 1; i <= nfields; i++) {
            k = tolower(name[i])
            if (k != "types" && k != "uris" && k != "suites" && k != "components" &&
                k != "architectures" && k != "enabled" && k !~ /-(add|remove)$/)
              other = other raw[i] "\n"
          }
          for (u = 1; u <= nu; u++) if (uris[u] != "") {
            list = ""
            for (s = 1; s <= ns; s++) if (wanted(suites[s])) list = list " " suites[s]
            if (list != "") add_entry(uris[u], substr(list, 2), value["components"], other)
          }
        }
      }
      nfields = 0; delete value
    }
    FNR == 1 { end_stanza(); deb822 = FILENAME ~ /\.sources$/ }
    deb822 && /^#/ { next }
    deb822 && /^[ \t]*$/ { end_stanza(); next }
    deb822 && /^[ \t]/ { if (nfields) { raw[nfields] = raw[nfields] "\n" $0; value[last] = value[last] " " $0 } next }
    deb822 {
      nfields++; name[nfields] = substr($0, 1, index($0, ":") - 1); raw[nfields] = $0
      last = tolower(name[nfields]); v = substr($0, index($0, ":") + 1)
      gsub(/^[ \t]+|[ \t]+$/, "", v); value[last] = v
      next
    }
    {
      # One-line form: deb [ option=value ... ] uri suite [component ...]
      sub(/#.*/, "")
      if ($1 != "deb" && $1 != "deb-src") next
      line = $0; options = ""
      if (match(line, /\[[^]]*\]/)) {
        options = substr(line, RSTART + 1, RLENGTH - 2); line = substr(line, 1, RSTART - 1) substr(line, RSTART + RLENGTH)
      }
      n = split(line, w, /[ \t]+/); i = (w[1] == "") ? 2 : 1
      type = w[i]; uri = w[i + 1]; suite = w[i + 2]; components = ""
      for (j = i + 3; j <= n; j++) if (w[j] != "") components = components " " w[j]
      components = substr(components, 2)
      if (type == "deb-src") { covered[key(uri, suite)] = 1; next }
      if (!wanted(suite) || !has(components, "main")) next
      other = ""; no = split(options, o, /[ \t]+/)
      for (j = 1; j <= no; j++) {
        if (o[j] !~ /^[A-Za-z-]+=/ || o[j] ~ /^(arch|lang|target)=/) continue
        k = substr(o[j], 1, index(o[j], "=") - 1); v = substr(o[j], index(o[j], "=") + 1)
        gsub(/,/, " ", v); other = other k ": " v "\n"
      }
      add_entry(uri, suite, components, other)
    }
    END {
      end_stanza()
      for (i = 1; i <= entries; i++) {
        ns = split(e_suites[i], s_, / /); list = ""
        for (s = 1; s <= ns; s++) if (!(key(e_uri[i], s_[s]) in covered)) {
          list = list " " s_[s]; covered[key(e_uri[i], s_[s])] = 1
        }
        if (list == "") continue
        printf "%sTypes: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n%s", (printed++ ? "\n" : ""),
               e_uri[i], substr(list, 2), e_components[i], e_fields[i]
      }
      if (entries == 0) exit 3
    }' "${files[@]}"
}

need_update=0
deb_src='' deb_src_rc=0
[ -n "$release" ] || { warn "cannot tell this system's release from /etc/os-release"; deb_src_rc=3; }
[ $deb_src_rc -ne 0 ] || deb_src=$(derive_deb_src) || deb_src_rc=$?
if [ $deb_src_rc -eq 3 ]; then
  warn "found no deb entry for this release's main component in the apt sources: adding no deb-src entries"
elif [ $deb_src_rc -ne 0 ]; then
  warn "could not read the apt sources (exit code $deb_src_rc): adding no deb-src entries"
elif [ -n "$deb_src" ]; then
  deb_src="# deb-src entries derived from this machine's deb entries by DRUV's scripts/setup.sh,
# which rewrites this file whenever those entries change.
$deb_src"
  if [ ! -f "$deb_src_file" ] || [ "$(cat "$deb_src_file")" != "$deb_src" ]; then
    need_root
    say "writing deb-src entries for libxml2's source, from the machine's own deb entries"
    printf '%s\n' "$deb_src" | $SUDO tee "$deb_src_file" >/dev/null
    need_update=1
  fi
elif [ -f "$deb_src_file" ]; then
  need_root
  say "the machine's own sources have the deb-src entries now: removing ours"
  $SUDO rm -f "$deb_src_file"
  need_update=1
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_root
  say "adding the i386 architecture for 32-bit Wine"
  $SUDO dpkg --add-architecture i386
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
  need_root
  say "apt-get update"
  logged $SUDO apt-get update
fi
if [ ${#missing[@]} -gt 0 ]; then
  say "installing: ${missing[*]}"
  logged $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

# libxml2's source, for the static MinGW build (cmake/Libxml2Mingw.cmake builds it).
src_dir="$root/third_party/downloads"
if ! ls "$src_dir"/libxml2_*.orig.tar.* >/dev/null 2>&1; then
  mkdir -p "$src_dir" "${log%/*}"
  say "downloading libxml2's Debian source"
  # A first try can fail only because the package lists are out of date.
  if ! (cd "$src_dir" && apt-get source --download-only libxml2 </dev/null >>"$log" 2>&1); then
    need_root
    say "apt-get update, then downloading again"
    logged $SUDO apt-get update
    (cd "$src_dir" && logged apt-get source --download-only libxml2)
  fi
fi
say "ready"
