// A host that reaches up into the dialog: the layers test expects this file to be refused, by
// the include check and by the compiler.
#include "app/test_dlg.h"
