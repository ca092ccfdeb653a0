#!/bin/sh
# Runs a command beside a headless sway of its own (no screen, no GPU), named to it by
# WAYLAND_DISPLAY and SWAYSOCK. sway refuses to run as root, so as root it runs as the account
# mvcompositor, made when missing. Without sway the command runs alone, and its tests skip.
set -u
sway=$(command -v sway) || exec "$@"
dir=$(mktemp -d /tmp/mvsway-XXXXXX) || exit 1
as=""
if [ "$(id -u)" = 0 ]; then
  id -u mvcompositor >/dev/null 2>&1 ||
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin mvcompositor
  chown mvcompositor: "$dir" && as="setpriv --reuid=mvcompositor --regid=mvcompositor --clear-groups"
fi
# The program's windows open on the first workspace, so one mapped while another workspace is
# on show gets the focus only by activation.
cat >"$dir/config" <<'END'
output HEADLESS-1 resolution 1280x800
focus_on_window_activation focus
assign [app_id="mirravelnock"] workspace 1
xwayland disable
END
# $as is a command prefix or nothing: split on purpose.
# shellcheck disable=SC2086
env -i PATH=/usr/bin:/bin HOME="$dir" XDG_RUNTIME_DIR="$dir" WLR_BACKENDS=headless WLR_RENDERER=pixman \
  WLR_LIBINPUT_NO_DEVICES=1 $as "$sway" -c "$dir/config" >"$dir/log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null; wait $pid; rm -rf "$dir"' EXIT
for _ in $(seq 150); do
  sock=$(ls "$dir"/wayland-? 2>/dev/null) && ipc=$(ls "$dir"/sway-ipc.*.sock 2>/dev/null) && break
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
if [ -z "${ipc:-}" ]; then
  echo "sway did not start:" >&2
  tail -n 5 "$dir/log" >&2
  exit 1
fi
WAYLAND_DISPLAY=$sock SWAYSOCK=$ipc "$@"
