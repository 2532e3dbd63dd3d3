# Helpers for the scenarios, sourced inside the guest (the host's root, the work folder current).

# Runs bench script bench/NAME.bench with varnet-script in a folder of its own and prints its
# output under a heading; a non-zero exit status and anything on standard error follow it.
run_bench() {
  name=$1
  mkdir -p "$VARNET_WORK/$name"
  echo "== $name"
  (cd "$VARNET_WORK/$name" && timeout 120 "$VARNET_RUNNER" "$VARNET_SOURCE/tests/vm/bench/$name.bench" 2>stderr)
  status=$?
  # The reasons the runner gives on standard error for failed calls (an unplugged adapter, a
  # setting the driver refuses) are not part of the dialog's output: shown only when it fails.
  if [ "$status" != 0 ]; then
    echo "exit status $status"
    cat "$VARNET_WORK/$name/stderr"
  fi
}

# Runs the probe of the serial layer; its figures go to the work folder's measurements.
probe() {
  timeout 120 "$VARNET_PROBE" "$@" 2>>"$VARNET_WORK/measurements"
  status=$?
  [ "$status" = 0 ] || echo "probe $1: exit status $status"
}

# Waits until a device node exists (udev-less: devtmpfs makes it when the driver binds).
wait_for_node() {
  for _ in $(seq 100); do
    [ -e "$1" ] && return 0
    sleep 0.1
  done
  echo "$1 did not appear"
  return 1
}

# A CDC-ACM gadget on dummy_hcd: the guest's cdc_acm serves it as /dev/ttyACM0 (COM9), and
# /dev/ttyGS0 is its far end. Unbinding it (an empty line into $GADGET/UDC) unplugs the adapter.
GADGET=/sys/kernel/config/usb_gadget/g1
make_acm_gadget() {
  mkdir -p $GADGET/strings/0x409 $GADGET/configs/c.1/strings/0x409 $GADGET/functions/acm.usb0 || return 1
  echo 0x1d6b >$GADGET/idVendor
  echo 0x0104 >$GADGET/idProduct
  echo 0x0200 >$GADGET/bcdUSB
  echo 0x0100 >$GADGET/bcdDevice
  echo "Varnet Bench" >$GADGET/strings/0x409/manufacturer
  echo "Loop-back ACM" >$GADGET/strings/0x409/product
  echo "VB0001" >$GADGET/strings/0x409/serialnumber
  echo "ACM" >$GADGET/configs/c.1/strings/0x409/configuration
  echo 100 >$GADGET/configs/c.1/MaxPower
  ln -s $GADGET/functions/acm.usb0 $GADGET/configs/c.1/ || return 1
  ls /sys/class/udc >$GADGET/UDC || return 1
  wait_for_node /dev/ttyACM0 && wait_for_node /dev/ttyGS0
}
