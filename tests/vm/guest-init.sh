#!/bin/sh
# The guest's /init (busybox): loads the drivers, mounts the host's root read-only and the
# scenario's work folder writable over it, runs the scenario inside the host's root and hands its
# exit status to QEMU's isa-debug-exit port, which ends QEMU with (status << 1) | 1.
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs dev /dev

report() {
  status=$1
  [ "$status" -gt 127 ] && status=127
  # /dev/port reaches the I/O ports: one byte at 0xf4 is the exit request.
  printf "\\$(printf %03o "$status")" | dd of=/dev/port bs=1 seek=244 count=1 2>/dev/null
  poweroff -f
}

for module in $(echo "$VARNET_MODULES" | tr , " "); do
  modprobe "$module" || { echo "guest: modprobe $module failed"; report 125; }
done
mkdir -p /host
mount -t 9p -o trans=virtio,version=9p2000.L,ro hostroot /host || report 125
mount -t 9p -o trans=virtio,version=9p2000.L,rw work "/host$VARNET_WORK" || report 125
mount -t proc proc /host/proc
mount -t sysfs sysfs /host/sys
mount -t devtmpfs dev /host/dev
mount -t tmpfs tmp /host/tmp
mount -t tmpfs run /host/run
mount -t configfs none /host/sys/kernel/config

chroot /host /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/tmp \
  VARNET_RUNNER="$VARNET_RUNNER" VARNET_FAR_END="$VARNET_FAR_END" \
  VARNET_PROBE="$VARNET_PROBE" VARNET_SOURCE="$VARNET_SOURCE" VARNET_WORK="$VARNET_WORK" \
  /bin/sh -c 'cd "$VARNET_WORK" && exec /bin/sh "$0"' "$VARNET_SCENARIO" \
  >"/host$VARNET_WORK/output" 2>"/host$VARNET_WORK/errors"
report $?
