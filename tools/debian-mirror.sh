#!/usr/bin/env bash
# Prints the Debian mirror that this system's apt sources name for Debian 12
# (bookworm, component main), so that a new chroot gets its packages from
# where this system gets them: from apt's own view of its sources (apt-cache
# policy), else from the source files themselves. Fails when there is none.
set -euo pipefail
from_policy() {
    apt-cache policy 2>/dev/null | awk '
        /^ *[0-9]+ [a-z]+:\/\// { uri = ($3 ~ /^bookworm\/main$/) ? $2 : "" }
        /^ *release .*o=Debian,.*n=bookworm,l=Debian,c=main/ && uri { print uri; exit }'
}
from_sources() {
    # One-line entries ("deb [options] URI bookworm main ...") and deb822
    # stanzas (Types, URIs, Suites and Components fields).
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
        sed -n 's/^deb \(\[[^]]*\] \)\{0,1\}\([a-z]*:\/\/[^ ]*\) bookworm .*\bmain\b.*/\2/p'
    cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '
        function done() { if (deb && suite && main && uri) print uri; deb = suite = main = 0; uri = "" }
        /^$/ { done() }
        /^Types:.*[ \t]deb([ \t]|$)/ { deb = 1 }
        /^URIs:/ { uri = $2 }
        /^Suites:.*[ \t]bookworm([ \t]|$)/ { suite = 1 }
        /^Components:.*[ \t]main([ \t]|$)/ { main = 1 }
        END { done() }'
}
mirror=$(from_policy)
[ -n "$mirror" ] || mirror=$(from_sources | head -n 1)
[ -n "$mirror" ] || { echo "no Debian 12 mirror in the apt sources" >&2; exit 1; }
echo "${mirror%/}"
