#!/bin/bash
# Runs a command from the top of this clone inside a minimal Debian 13 ("trixie") system, so that
# a Debian 12 machine builds and tests the program with Debian 13's Qt, compilers and Orca too.
#
#   debian-13.sh COMMAND [ARG...]
#
# The system is made once per machine with mmdebstrap from the machine's own package archive
# and kept outside the clone, in /var/cache/pedalwise/debian-13 where that can be written (as
# root or with sudo) and otherwise in ${XDG_CACHE_HOME:-$HOME/.cache}/pedalwise/debian-13, or in
# $PEDALWISE_DEBIAN_13 when that is set; it is made afresh once it is a week old, so that it
# keeps up with Debian 13's updates. The clone is seen inside at the same path as outside, and
# /tmp is the machine's own, so that a virtual X display started inside and one started outside
# never take the same number (X servers choose theirs by the lock files and sockets in /tmp).
#
# Needs root, or sudo for mmdebstrap, mount and chroot. The command runs as root inside.
set -eu

say() { echo "debian-13: $*" >&2; }
if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARG...]" >&2
    exit 2
fi
top=$(cd "$(dirname "$0")/.." && pwd)
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo=sudo
fi

if [ -n "${PEDALWISE_DEBIAN_13:-}" ]; then
    cache=$PEDALWISE_DEBIAN_13
elif $sudo mkdir -p /var/cache/pedalwise 2>/dev/null; then
    cache=/var/cache/pedalwise/debian-13
else
    cache=${XDG_CACHE_HOME:-$HOME/.cache}/pedalwise/debian-13
fi
root=$cache/root
$sudo mkdir -p "$cache"

# One user of the system at a time: a second run waits for the first, where two would mount
# over each other and install into one package database at once.
exec 9>"$cache.lock"
if ! flock -n 9; then
    say "another run uses the Debian 13 system; waiting for it to finish"
    flock 9
fi

mounted=()
cleanup() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        $sudo umount -l "${mounted[i]}" 2>/dev/null || true
    done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The machine's own archive, with Debian 13's suites in place of Debian 12's: one deb822 entry
# per source of the machine's, its address and keyring kept.
sources() {
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        sed -e '/^Types:/s/.*/Types: deb/' -e '/^Suites:/s/bookworm/trixie/g' "$f"
        echo
    done
    if [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb \(\[[^]]*\] \)\{0,1\}\([^ ]*\) bookworm\(-[a-z]*\)\{0,1\} \(.*\)/deb \1\2 trixie\3 \4/p' \
            /etc/apt/sources.list
    fi
}

stamp=$root/.pedalwise-made
if [ -f "$stamp" ] && [ -z "$(find "$stamp" -mtime +6)" ]; then
    say "using the Debian 13 system in $root, made $(date -r "$stamp" +%F)"
else
    say "making a minimal Debian 13 system in $root with mmdebstrap; this happens once a week"
    start=$(date +%s)
    list=$(mktemp)
    sources >"$list"
    $sudo rm -rf "$root"
    # mmdebstrap reads the entries from a file of their own; a deb822 file is named *.sources.
    mv "$list" "$list.sources"
    chmod 0644 "$list.sources"
    $sudo mmdebstrap --quiet --variant=minbase --include=make,sudo,ca-certificates \
        trixie "$root" "$list.sources" >&2 || { rm -f "$list.sources"; exit 1; }
    rm -f "$list.sources"
    $sudo touch "$stamp"
    say "made in $(($(date +%s) - start)) s"
fi

bind() {
    $sudo mkdir -p "$root$2"
    $sudo mount --rbind --make-rslave "$1" "$root$2"
    mounted+=("$root$2")
}
for dir in /proc /sys /dev /tmp; do
    bind "$dir" "$dir"
done
bind "$top" "$top"
$sudo cp -L /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

# Only what is set here, and the locale the tests expect, reaches the command.
quoted=$(printf '%q ' "$@")
status=0
$sudo env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
    LANG=C.UTF-8 TERM="${TERM:-dumb}" ${SOURCE_DATE_EPOCH:+SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH} \
    chroot "$root" /bin/bash -c "cd $(printf '%q' "$top") && $quoted" || status=$?
# What the command made in the clone, as root, goes back to the user who ran this.
if [ -n "$sudo" ]; then
    $sudo find "$top" -xdev -user 0 -exec chown "$(id -u):$(id -g)" {} +
fi
exit "$status"
