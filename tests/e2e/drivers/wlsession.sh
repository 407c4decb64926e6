#!/bin/bash
# A headless Wayland desktop: sway, pipewire and the desktop portals on the
# D-Bus session this script runs in, with screenshots allowed for
# unsandboxed programs as a user allows them once in the desktop's privacy
# settings. Run as an unprivileged user (sway refuses root) inside
# dbus-run-session:  wlsession.sh <runtime dir> <sway config> <env file>
# It writes the variables a client needs to <env file> once everything
# answers, then waits until it is ended.
set -u
runtime=$1 config=$2 envfile=$3
export XDG_RUNTIME_DIR=$runtime
export WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
# gtk provides the Access backend without which xdg-desktop-portal does
# not export the Screenshot interface; wlr provides Screenshot itself.
export XDG_CURRENT_DESKTOP=sway:gnome
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; exit 0' TERM INT
sway -c "$config" > "$runtime/sway.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  WAYLAND_DISPLAY=$(ls "$runtime" | grep -E '^wayland-[0-9]+$' | head -1)
  SWAYSOCK=$(ls "$runtime"/sway-ipc.* 2>/dev/null | head -1)
  [ -n "$WAYLAND_DISPLAY" ] && [ -n "$SWAYSOCK" ] && break
  sleep 0.05
done
export WAYLAND_DISPLAY SWAYSOCK
dbus-update-activation-environment WAYLAND_DISPLAY XDG_RUNTIME_DIR XDG_CURRENT_DESKTOP
pipewire > "$runtime/pipewire.log" 2>&1 &
pids+=($!)
# xdg-desktop-portal-wlr needs pipewire's socket before it starts.
for _ in $(seq 100); do [ -S "$runtime/pipewire-0" ] && break; sleep 0.05; done
/usr/libexec/xdg-desktop-portal-wlr > "$runtime/xdpw.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  gdbus introspect --session --dest org.freedesktop.impl.portal.desktop.wlr \
    --object-path /org/freedesktop/portal/desktop >/dev/null 2>&1 && break
  sleep 0.05
done
/usr/libexec/xdg-desktop-portal > "$runtime/xdp.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  gdbus introspect --session --dest org.freedesktop.portal.Desktop \
    --object-path /org/freedesktop/portal/desktop 2>/dev/null | grep -q portal.Screenshot && break
  sleep 0.05
done
gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore \
  --object-path /org/freedesktop/impl/portal/PermissionStore \
  --method org.freedesktop.impl.portal.PermissionStore.SetPermission \
  screenshot true screenshot "" "['yes']" > /dev/null
{
  echo "WAYLAND_DISPLAY=$WAYLAND_DISPLAY"
  echo "SWAYSOCK=$SWAYSOCK"
  echo "DBUS_SESSION_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS"
} > "$envfile.part"
mv "$envfile.part" "$envfile"
while :; do sleep 1; done
