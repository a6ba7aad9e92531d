# A minimal Debian 12 root for the fresh-machine checks, sourced by
# scripts/check-fresh and scripts/check-package (as root). MakeFreshRoot builds
# it with debootstrap and mounts what programs inside need; leaving the script
# unmounts everything and deletes the root (kept with keep=1). Sets root and
# log; inRoot runs a command inside with a clean environment.

keep=${keep:-0}
mounts=()

cleanupFreshRoot() {
    local status=$?
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" 2>/dev/null || true
    done
    if [[ -n "${root:-}" ]]; then
        # Never delete through a mount that is still there (it could be the host's /dev).
        if findmnt -rn -o TARGET | grep -q "^$root"; then
            echo "Left $root in place: something is still mounted inside." >&2
        elif [[ $keep -eq 0 ]]; then
            rm -rf "$root"
        else
            echo "Root kept at $root" >&2
        fi
    fi
    exit $status
}

mountInto() { # <type-or-bind> <source> <target>
    mkdir -p "$root$3"
    if [[ $1 == bind ]]; then
        mount --bind "$2" "$root$3"
    else
        mount -t "$1" "$2" "$root$3"
    fi
    mounts+=("$root$3")
}

inRoot() {
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

MakeFreshRoot() { # <name>
    if ! command -v debootstrap >/dev/null; then
        DEBIAN_FRONTEND=noninteractive apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
    fi
    root=$(mktemp -d "/var/tmp/$1.XXXXXX")
    # mktemp makes it 0700; as "/" it must let every user through, as on a real system.
    chmod 755 "$root"
    log="$root.log"
    trap cleanupFreshRoot EXIT
    trap 'exit 130' INT TERM

    echo "Fresh Debian 12 root in $root (log: $log)"
    debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >"$log" 2>&1 ||
        { tail -20 "$log"; echo "$1: debootstrap failed" >&2; exit 1; }
    cat >"$root/etc/apt/sources.list" <<'LIST'
deb http://deb.debian.org/debian bookworm main
deb http://deb.debian.org/debian bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
LIST
    cp /etc/resolv.conf "$root/etc/resolv.conf"

    mountInto proc proc /proc
    mountInto sysfs sys /sys
    mountInto bind /dev /dev
    mountInto bind /dev/pts /dev/pts
    mountInto tmpfs tmpfs /dev/shm
}
