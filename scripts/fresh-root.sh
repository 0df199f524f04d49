# Sourced, not run: a clean Debian 12 root for the checks that need one
# (fresh-machine-check.sh, deb-fresh-root-check.sh, setup-hiccup-check.sh).
# The root is made with mmdebstrap from this machine's own apt sources, so
# no mirror is named here. Needs root.
#
#   fresh_root_make ROOT LOG [INCLUDE]   mmdebstrap bookworm into ROOT (extra
#                                        packages INCLUDE, comma-separated),
#                                        the host's resolv.conf copied in
#   fresh_root_mount ROOT proc|sys|dev…  mounts them below ROOT, kept in
#                                        fresh_root_mounts
#   fresh_root_unmount                   unmounts those, newest first; a busy
#                                        mount is detached lazily
#   fresh_root_mounted ROOT              true while anything is mounted below ROOT

fresh_root_mounts=()

fresh_root_make() {
  local root=$1 log=$2 include=${3:-} sources=() f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -s "$f" ] && sources+=("$f")
  done
  if [ ${#sources[@]} -eq 0 ]; then
    echo "no apt sources in /etc/apt" | tee "$log" >&2
    return 1
  fi
  mmdebstrap --quiet --variant=apt ${include:+--include=$include} bookworm "$root" "${sources[@]}" \
    >"$log" 2>&1 || return 1
  cp /etc/resolv.conf "$root/etc/resolv.conf"
}

fresh_root_mount() {
  local root=$1 m
  shift
  for m in "$@"; do
    mkdir -p "$root/$m"
    case $m in
      proc) mount -t proc proc "$root/proc" ;;
      sys | dev) mount --rbind "/$m" "$root/$m" && mount --make-rslave "$root/$m" ;;
      *) echo "fresh_root_mount: unknown mount $m" >&2; return 2 ;;
    esac
    fresh_root_mounts+=("$root/$m")
  done
}

fresh_root_unmount() {
  local i
  for ((i = ${#fresh_root_mounts[@]} - 1; i >= 0; i--)); do
    umount -R "${fresh_root_mounts[$i]}" 2>/dev/null || umount -R -l "${fresh_root_mounts[$i]}" 2>/dev/null || true
  done
  fresh_root_mounts=()
}

fresh_root_mounted() {
  grep -q " $1/" /proc/mounts
}
