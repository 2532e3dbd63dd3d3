#!/usr/bin/env bash
# Runs the Linux program against real kernel serial drivers in a QEMU guest: Debian's own kernel
# (fetched once with apt-get download and kept in the build folder), a busybox initramfs with just
# the drivers needed, and the host's root shared read-only over 9p, so the guest runs the programs
# of the build folder unchanged. Each scenario (scenarios/NAME.sh) boots its own guest, runs inside
# the host's root with a writable work folder, and must print exactly scenarios/NAME.out.
# Usage: tests/vm/run-vm-tests.sh [BUILD_DIR [SCENARIO...]]   (default build; every scenario)
# Without QEMU (qemu-system-x86), busybox-static or cpio the run is skipped; with them, a failure
# is a failure.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath -m "${1:-$here/../../build}")
shift $(($# > 0 ? 1 : 0))
start=$(date +%s)

for tool in qemu-system-x86_64 busybox cpio; do
  if ! command -v "$tool" >/dev/null; then
    echo "run-vm-tests: SKIPPED: $tool is missing (tools/setup-debian.sh installs qemu-system-x86, busybox-static, cpio)"
    exit 0
  fi
done
# The initramfs has no C library: its busybox must be the static one.
if ldd "$(command -v busybox)" >/dev/null 2>&1; then
  echo "run-vm-tests: SKIPPED: $(command -v busybox) is linked dynamically (busybox-static has the static one)"
  exit 0
fi
for tool in timeout apt-get apt-cache dpkg-deb; do
  command -v "$tool" >/dev/null || { echo "run-vm-tests: $tool is missing" >&2; exit 2; }
done
# The programs the guest runs, wherever the build puts them (the newest, should an old build
# have left one elsewhere).
find_program() {
  find "$build" -maxdepth 4 -type f -name "$1" -perm -u+x -printf '%T@ %p\n' 2>/dev/null | sort -rn | head -n1 | cut -d' ' -f2-
}
script_runner=$(find_program varnet-script)
far_end=$(find_program vm_far_end)
port_probe=$(find_program vm_port_probe)
for program in "$script_runner" "$far_end" "$port_probe"; do
  [ -n "$program" ] || { echo "run-vm-tests: varnet-script, vm_far_end or vm_port_probe is not built in $build" >&2; exit 2; }
done
case $build in *[[:space:]]*) echo "run-vm-tests: the build folder's path has a blank" >&2; exit 2 ;; esac

vm=$build/vm
# The drivers each guest loads, in order; modprobe pulls in what they depend on.
modules="virtio_pci 9pnet_virtio 9p configfs xhci_pci usbserial ftdi_sio cdc_acm dummy_hcd libcomposite usb_f_acm"

# The kernel: the package linux-image-amd64 depends on, unpacked once (boot image and modules only).
kernel_dir=$vm/kernel
if [ ! -f "$kernel_dir/ready" ]; then
  echo "== fetching Debian's kernel package"
  package=$(apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[0-9].*\)$/\1/p' | head -n1)
  [ -n "$package" ] || { echo "run-vm-tests: no kernel package behind linux-image-amd64 (apt-get update?)" >&2; exit 1; }
  rm -rf "$kernel_dir" && mkdir -p "$kernel_dir/deb"
  (cd "$kernel_dir/deb" && timeout 600 apt-get download -q "$package" >/dev/null 2>&1) ||
    { echo "run-vm-tests: apt-get download $package failed" >&2; exit 1; }
  # Only the boot image and the module folders that hold the drivers above (about 60 of 400 MB).
  mkdir -p "$kernel_dir/root"
  dpkg-deb --fsys-tarfile "$kernel_dir"/deb/*.deb | tar -x -C "$kernel_dir/root" --wildcards \
    './boot/vmlinuz-*' './lib/modules/*/kernel/drivers/usb/*' './lib/modules/*/kernel/drivers/virtio/*' \
    './lib/modules/*/kernel/fs/*' './lib/modules/*/kernel/net/9p/*' || exit 1
  rm -rf "$kernel_dir/deb"
  touch "$kernel_dir/ready"
fi
kernel=$(ls "$kernel_dir"/root/boot/vmlinuz-* | head -n1)
version=${kernel##*/vmlinuz-}

# The initramfs: busybox, the init, the modules and their dependencies, and modules.dep.
initramfs=$vm/initramfs.cpio.gz
tree=$vm/initramfs
rm -rf "$tree" && mkdir -p "$tree"/{bin,proc,sys,dev,lib/modules/"$version"}
cp "$(command -v busybox)" "$tree/bin/busybox"
for applet in sh mount modprobe dd printf poweroff mkdir tr chroot; do ln -s busybox "$tree/bin/$applet"; done
cp "$here/guest-init.sh" "$tree/init"
# The package has no modules.dep: made once for the whole tree, it lists each module's
# dependencies (all of them, not only the direct ones).
full_dep=$kernel_dir/root/lib/modules/$version/modules.dep
[ -f "$full_dep" ] || busybox depmod -b "$kernel_dir/root" "$version" || exit 1
for module in $modules; do
  line=$(grep -E "/${module//_/[-_]}\.ko:" "$full_dep" | head -n1)
  [ -n "$line" ] || { echo "run-vm-tests: no module $module in $version" >&2; exit 1; }
  for path in ${line/:/}; do
    mkdir -p "$tree/lib/modules/$version/$(dirname "$path")"
    cp "$kernel_dir/root/lib/modules/$version/$path" "$tree/lib/modules/$version/$path"
  done
done
busybox depmod -b "$tree" "$version" || exit 1
(cd "$tree" && find . | cpio -o -H newc --quiet | gzip -1) >"$initramfs" || exit 1

# Boots one guest for scenario NAME. Its devices: QEMU's USB serial adapter on xHCI, whose FIFO
# chardev hands the guest's data straight back, and a second 16550 (ttyS1) for its internal loop.
run_scenario() {
  local name=$1
  local work=$vm/work/$name
  rm -rf "$work" && mkdir -p "$work" && mkfifo "$work/usb-serial.fifo"
  local begin=$(date +%s)
  # Kernel arguments NAME=value become init's environment; the line splits on blanks, so the
  # module list goes with commas.
  timeout 240 qemu-system-x86_64 -accel tcg -cpu max -m 512 -smp 1 \
    -nodefaults -display none -monitor none -no-reboot -serial "file:$work/console" \
    -kernel "$kernel" -initrd "$initramfs" \
    -append "console=ttyS0 quiet loglevel=3 panic=-1 VARNET_MODULES=${modules// /,} VARNET_WORK=$work VARNET_RUNNER=$script_runner VARNET_FAR_END=$far_end VARNET_PROBE=$port_probe VARNET_SOURCE=$(cd "$here/../.." && pwd) VARNET_SCENARIO=$here/scenarios/$name.sh" \
    -device isa-debug-exit,iobase=0xf4,iosize=0x04 \
    -fsdev local,id=hr,path=/,security_model=none,readonly=on,multidevs=remap \
    -device virtio-9p-pci,fsdev=hr,mount_tag=hostroot \
    -fsdev local,id=wk,path="$work",security_model=none,multidevs=remap \
    -device virtio-9p-pci,fsdev=wk,mount_tag=work \
    -device qemu-xhci,id=xhci -chardev pipe,id=u0,path="$work/usb-serial.fifo" \
    -device usb-serial,bus=xhci.0,chardev=u0 \
    -chardev null,id=s1 -device isa-serial,chardev=s1 \
    </dev/null >"$work/qemu.log" 2>&1
  local qemu_status=$? status
  if ((qemu_status == 124)); then
    status="timed out"
  elif ((qemu_status % 2 == 1)); then
    status=$((qemu_status >> 1))
  else
    status="QEMU ended with $qemu_status"
  fi
  local seconds=$(($(date +%s) - begin))
  if [ "$status" = 0 ] && cmp -s "$here/scenarios/$name.out" "$work/output"; then
    echo "ok   $name (${seconds} s)"
    [ -s "$work/measurements" ] && sed 's/^/     /' "$work/measurements"
  else
    echo "FAIL $name (${seconds} s): exit status $status"
    diff -u "$here/scenarios/$name.out" "$work/output" | head -n 60
    for log in errors console qemu.log; do
      [ -s "$work/$log" ] && { echo "--- $log"; tail -n 30 "$work/$log"; }
    done
  fi
}

scenarios=("$@")
if ((${#scenarios[@]} == 0)); then
  for file in "$here"/scenarios/*.sh; do scenarios+=("$(basename "$file" .sh)"); done
fi
# Each guest is one TCG thread: two run side by side on a 2-core machine, each scenario's report
# printed whole at the end.
jobs=${VM_JOBS:-2}
pids=()
for name in "${scenarios[@]}"; do
  if ((${#pids[@]} >= jobs)); then
    wait "${pids[0]}"
    pids=("${pids[@]:1}")
  fi
  run_scenario "$name" >"$vm/report-$name" 2>&1 &
  pids+=($!)
done
wait "${pids[@]}"
failures=0
for name in "${scenarios[@]}"; do
  cat "$vm/report-$name"
  grep -q "^ok " "$vm/report-$name" || failures=$((failures + 1))
done
# The guest's CPU figures are those of an emulated processor: the same work on the host shows by
# how much.
echo "     on the host: $("$port_probe" calibrate)"
echo "== vm: ${#scenarios[@]} scenarios, $failures failed, in $(($(date +%s) - start)) s"
((failures == 0))
