// The viewer's units are not linked into this test program by the build:
// compile the unit here.
#include "app/VKBViewerMainFormUnitFunctions.cpp"
