// Resource numbers of Quennet.ocx, shared by the resource script and the code.
#pragma once

#define IDB_QUENNETCTL 1  // the control's picture, also its toolbox bitmap
#define IDB_PICHOOK 2     // the picture of the pichook picture box
