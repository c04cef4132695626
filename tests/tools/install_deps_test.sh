#!/usr/bin/env bash
# tools/install-deps.sh against a package manager in the states a half-synced mirror leaves it in:
# stub apt-get, dpkg, dpkg-query and sudo first on PATH, an installed-package list in a temp folder.
set -uo pipefail
script="$(cd "$(dirname "$0")/../.." && pwd)/tools/install-deps.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")

stubs() {  # $1: what an install with the release pinned does: "works" or "fails"
  rm -rf "$work/bin" "$work/state"
  mkdir -p "$work/bin" "$work/state"
  : >"$work/state/installed"
  : >"$work/state/calls"
  cat >"$work/bin/apt-get" <<EOF
#!/usr/bin/env bash
echo "apt-get \$*" >>"$work/state/calls"
case "\$*" in
  *update*) echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size. Mirror sync in progress?" >&2; exit 100 ;;
  *" -t "*) [ "$1" = works ] || exit 100
            pinned=no
            for p in "\$@"; do
              if [ \$pinned = yes ]; then pinned=done; continue; fi
              case "\$p" in -t) pinned=yes ;; -*|install) ;; *) echo "\$p" >>"$work/state/installed" ;; esac
            done ;;
  *) echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100 ;;
esac
EOF
  cat >"$work/bin/dpkg-query" <<EOF
#!/usr/bin/env bash
grep -qx "\${@: -1}" "$work/state/installed" && printf 'install ok installed' || exit 1
EOF
  printf '#!/usr/bin/env bash\necho i386\n' >"$work/bin/dpkg"
  printf '#!/usr/bin/env bash\nexec "$@"\n' >"$work/bin/sudo"
  chmod +x "$work/bin/"*
}

run() {  # runs the script with the stubs; output in $out, status in $status
  out=$(PATH="$work/bin:$PATH" APT_TRIES=3 APT_PAUSE=0 bash "$script" "$@" 2>&1)
  status=$?
}

expect() {  # $1: description, then a command that must succeed
  local what=$1; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; echo "$out" | sed 's/^/     | /'; failures=$((failures + 1)); fi
}

stubs works
run
expect "a failed index update is retried, then the install runs anyway" [ "$(grep -c update "$work/state/calls")" -eq 3 ]
expect "an install that cannot resolve is retried with the release pinned" grep -q -- "-t $codename" "$work/state/calls"
expect "everything missing was installed" [ "$(wc -l <"$work/state/installed")" -ge 20 ]
expect "the run succeeds and says in one line what it did" \
  bash -c '[ '$status' -eq 0 ] && grep -q "^install-deps: .*pinned" <<<"$1"' _ "$out"
run
expect "a second run finds everything and asks the package manager nothing" \
  bash -c '[ '$status' -eq 0 ] && [ "$(grep -c . "$1")" -eq 5 ]' _ "$work/state/calls"

stubs fails
echo cmake >"$work/state/installed"
run bench
expect "when nothing resolves, the run fails" [ "$status" -ne 0 ]
expect "and names what is still missing, the bench extras included" \
  bash -c 'grep "still missing" <<<"$1" | grep -q "wine32:i386" && grep "still missing" <<<"$1" | grep -q clamav && ! grep "still missing" <<<"$1" | grep -qw cmake' _ "$out"

[ $failures -eq 0 ]
