#!/bin/bash
# Runs a command from the top of this clone inside a minimal Debian 13 ("trixie") system, so that
# a Debian 12 machine builds and tests the program with Debian 13's Qt, compilers and Orca too.
#
#   debian-13.sh COMMAND [ARG...]
#
# The system is made once per machine with mmdebstrap from the machine's own package archive
# and kept outside the clone, in /var/cache/pedalwise/debian-13, or in $PEDALWISE_DEBIAN_13 when
# that is set; it is made afresh once it is a week old, so that it keeps up with Debian 13's
# updates. The clone is seen inside at the same path as outside, and /tmp is the machine's own,
# so that a virtual X display started inside and one started outside never take the same number
# (X servers choose theirs by the lock files and sockets in /tmp).
#
# Needs root: run as another user, it runs itself again through sudo, and what the command made
# in the clone goes back to that user. The command runs as root inside.
set -eu

if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARG...]" >&2
    exit 2
fi
if [ "$(id -u)" -ne 0 ]; then
    exec sudo ${PEDALWISE_DEBIAN_13:+PEDALWISE_DEBIAN_13="$PEDALWISE_DEBIAN_13"} \
        ${SOURCE_DATE_EPOCH:+SOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH"} TERM="${TERM:-dumb}" \
        -- "$0" "$@"
fi

say() { echo "debian-13: $*" >&2; }
top=$(cd "$(dirname "$0")/.." && pwd)
cache=${PEDALWISE_DEBIAN_13:-/var/cache/pedalwise/debian-13}
root=$cache/root
mkdir -p "$cache"

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
        umount -l "${mounted[i]}" 2>/dev/null || say "could not unmount ${mounted[i]}"
    done
    if [ -n "${SUDO_UID:-}" ]; then
        find "$top" -xdev -user 0 -exec chown "$SUDO_UID:$SUDO_GID" {} + 2>/dev/null || true
    fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The machine's own archive, with Debian 13's suites in place of Debian 12's, its addresses and
# keyrings kept: the deb822 entries in one file, the one-line ones in another, as mmdebstrap
# tells the two forms apart by the file's name.
make_sources() {
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        sed -e '/^Types:/s/.*/Types: deb/' -e '/^Suites:/s/bookworm/trixie/g' "$f"
        echo
    done >"$1.sources"
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        sed -n 's/^deb \(\[[^]]*\] \)\{0,1\}\([^ ]*\) bookworm\(-[a-z]*\)\{0,1\} /deb \1\2 trixie\3 /p' "$f"
    done >"$1.list"
    if ! grep -q '^URIs:' "$1.sources" && ! [ -s "$1.list" ]; then
        say "the machine's apt sources name no Debian archive to make the system from"
        return 1
    fi
}

stamp=$root/.pedalwise-made
if [ -f "$stamp" ] && [ -z "$(find "$stamp" -mtime +6)" ]; then
    say "using the Debian 13 system in $root, made $(date -r "$stamp" +%F)"
else
    # Nothing of the machine may still be mounted in the old system when it is deleted.
    if findmnt -R -n -o TARGET | grep -q -F "$cache/"; then
        say "something is still mounted under $cache; unmount it first:"
        findmnt -R -n -o TARGET | grep -F "$cache/" >&2
        exit 1
    fi
    say "making a minimal Debian 13 system in $root with mmdebstrap; this happens once a week"
    start=$(date +%s)
    list=$cache/archive
    make_sources "$list"
    # The new system takes the old one's place only once it is whole.
    rm -rf --one-file-system "$root.new"
    args=()
    grep -q '^URIs:' "$list.sources" && args+=("$list.sources")
    [ -s "$list.list" ] && args+=("$list.list")
    mmdebstrap --quiet --variant=minbase --include=make,sudo,ca-certificates \
        trixie "$root.new" "${args[@]}" >&2
    touch "$root.new/.pedalwise-made"
    rm -rf --one-file-system "$root"
    mv "$root.new" "$root"
    say "made in $(($(date +%s) - start)) s"
fi

bind() {
    mkdir -p "$root$2"
    mount --rbind --make-rslave "$1" "$root$2"
    mounted+=("$root$2")
}
for dir in /proc /sys /dev /tmp; do
    bind "$dir" "$dir"
done
bind "$top" "$top"
# What the system's programs keep across runs, Qt for Windows above all, stays when the system
# is made afresh: their cache folder is kept beside it.
mkdir -p "$cache/kept"
bind "$cache/kept" /var/cache/pedalwise
cp -L /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

# Only what is set here, and the locale the tests expect, reaches the command; not the lock,
# which a program left running inside would otherwise hold for ever.
quoted=$(printf '%q ' "$@")
env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
    LANG=C.UTF-8 TERM="${TERM:-dumb}" ${SOURCE_DATE_EPOCH:+SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH} \
    chroot "$root" /bin/bash -c "cd $(printf '%q' "$top") && $quoted" 9>&-
