#!/usr/bin/env bash
# Runs the test command (scripts/test.sh) on this checkout inside a fresh minimal Debian 13
# root, as a new user of that release would. Needs root (debootstrap, chroot, mounts).
#
# The root is made by debootstrap from Debian's mirror once and kept as a tarball of that
# pristine state; every run unpacks a new root from it, so nothing a run installed or left
# behind can hide a missing install step from the next one.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(dirname "$here")"
state="${ZORV900_D13_STATE:-/var/tmp/zorv-d13}"
mirror="${ZORV900_D13_MIRROR:-http://deb.debian.org/debian}"
pristine="$state/trixie-minbase.tar"
root="$state/root"

if [ "$(id -u)" -ne 0 ]; then
    echo "debian13.sh: needs root (debootstrap, chroot and mounts)" >&2
    exit 2
fi
if ! command -v debootstrap >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
fi

unmount_root() {
    local m
    # Deepest mounts first.
    for m in $(awk -v r="$root" '$2 == r || index($2, r "/") == 1 { print $2 }' /proc/mounts | sort -r); do
        umount -l "$m" 2>/dev/null || true
    done
}
trap unmount_root EXIT

mkdir -p "$state"
if [ ! -s "$pristine" ]; then
    echo "== making a minimal Debian 13 root with debootstrap"
    fresh="$state/fresh"
    rm -rf "$fresh"
    debootstrap --variant=minbase trixie "$fresh" "$mirror" >"$state/debootstrap.log" 2>&1 \
        || { tail -20 "$state/debootstrap.log" >&2; exit 1; }
    tar -C "$fresh" -cf "$pristine.part" . && mv "$pristine.part" "$pristine"
    rm -rf "$fresh"
fi

unmount_root
rm -rf "$root"
mkdir -p "$root"
tar -C "$root" -xf "$pristine"

mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --rbind /dev "$root/dev"
mount -t tmpfs tmpfs "$root/run"
mkdir -p "$root/run/lock"
chmod 1777 "$root/run/lock"
cp /etc/resolv.conf "$root/etc/resolv.conf"

# The checkout as it stands, tracked files only: what a clean clone holds.
mkdir -p "$root/root/zorv"
git -C "$repo" ls-files -z | tar -C "$repo" --null -T - -cf - | tar -C "$root/root/zorv" -xf -

echo "== Debian $(cat "$root/etc/debian_version"): ./scripts/test.sh"
chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    /bin/bash -c 'cd /root/zorv && ./scripts/test.sh'
