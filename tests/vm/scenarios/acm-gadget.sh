# COM9 is /dev/ttyACM0: cdc_acm on a CDC-ACM gadget of dummy_hcd, with a far end on /dev/ttyGS0
# that echoes, closes and opens its tty (DSR and DCD), sends breaks and unplugs the adapter.
. "$VARNET_SOURCE/tests/vm/guest-lib.sh"
make_acm_gadget || exit 1
run_acm_bench() {
  rm -f "$VARNET_WORK/far-end-ready"
  "$VARNET_FAR_END" /dev/ttyGS0 "$VARNET_WORK/far-end-ready" $GADGET/UDC &
  far_end=$!
  for _ in $(seq 100); do [ -e "$VARNET_WORK/far-end-ready" ] && break; sleep 0.1; done
  run_bench "$1"
  kill $far_end 2>/dev/null  # gone already after an unplug
  wait $far_end
}
run_acm_bench acm-monitor
run_acm_bench acm-descriptors
run_acm_bench acm-unplug
ls /sys/class/udc >$GADGET/UDC
wait_for_node /dev/ttyACM0
probe close-in-wait COM9
probe unplug-in-wait COM9 $GADGET/UDC
wait_for_node /dev/ttyACM0
probe unplug-in-write COM9 $GADGET/UDC /dev/ttyGS0
wait_for_node /dev/ttyACM0
probe idle-cpu COM9 10
