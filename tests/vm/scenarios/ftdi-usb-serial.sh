# COM1 is /dev/ttyUSB0: ftdi_sio on QEMU's USB serial adapter, whose FIFO brings the data back.
. "$VARNET_SOURCE/tests/vm/guest-lib.sh"
wait_for_node /dev/ttyUSB0 || exit 1
run_bench ftdi-settings
run_bench ftdi-transfers
run_bench ftdi-descriptors
probe lines COM1
