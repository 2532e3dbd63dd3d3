# COM9 on cdc_acm: 1,000 opens and closes, the far end opening or closing its tty in each, so
# that DSR and DCD change once per cycle; each change must be reported once, with no other bit.
. "$VARNET_SOURCE/tests/vm/guest-lib.sh"
make_acm_gadget || exit 1
probe cycles COM9 1000 /dev/ttyGS0
