#!/usr/bin/env bash
# Prints the Debian mirror that this system's apt sources name for a release
# (SUITE, this system's own by default: bookworm on Debian 12; component main),
# so that a new chroot gets its packages from where this system gets them:
# from apt's own view of its sources (apt-cache policy), else from the source
# files themselves. Fails when there is none. Usage: debian-mirror.sh [SUITE]
set -euo pipefail
suite=${1:-$(. /etc/os-release && echo "${VERSION_CODENAME:-}")}
from_policy() {
    apt-cache policy 2>/dev/null | awk -v suite="$suite" '
        /^ *[0-9]+ [a-z]+:\/\// { uri = ($3 == suite "/main") ? $2 : "" }
        /^ *release / && index($0, "o=Debian,") && index($0, "n=" suite ",l=Debian,c=main") && uri { print uri; exit }'
}
from_sources() {
    # One-line entries ("deb [options] URI SUITE main ...") and deb822
    # stanzas (Types, URIs, Suites and Components fields).
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
        sed -n "s/^deb \(\[[^]]*\] \)\{0,1\}\([a-z]*:\/\/[^ ]*\) $suite .*\bmain\b.*/\2/p"
    cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk -v suite="$suite" '
        function done() { if (deb && found && main && uri) print uri; deb = found = main = 0; uri = "" }
        /^$/ { done() }
        /^Types:.*[ \t]deb([ \t]|$)/ { deb = 1 }
        /^URIs:/ { uri = $2 }
        /^Suites:/ { for (i = 2; i <= NF; ++i) if ($i == suite) found = 1 }
        /^Components:.*[ \t]main([ \t]|$)/ { main = 1 }
        END { done() }'
}
mirror=$(from_policy)
[ -n "$mirror" ] || mirror=$(from_sources | head -n 1)
[ -n "$mirror" ] || { echo "no mirror of ${suite:-this release} in the apt sources" >&2; exit 1; }
echo "${mirror%/}"
