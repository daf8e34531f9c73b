/* The DISPIDs of QuennetCtl's members that its own code uses by number:
   the persisted properties, which the property change notification
   carries, and the events it raises. Quennet.idl and the C++ both include
   this file, so each number is written once; plain #defines, which the IDL
   compiler's preprocessor reads as well as C++. */
#ifndef QUENNET_DISPATCH_IDS_H
#define QUENNET_DISPATCH_IDS_H

/* _QuennetCtl's persisted properties. */
#define DISPID_QUENNET_STXTRAYTTT 0x68030000
#define DISPID_QUENNET_STXMENU 0x68030001
#define DISPID_QUENNET_QUIETERRORS 0x68030002

/* The events of __QuennetCtl. */
#define DISPID_QUENNET_STXCLICK 1
#define DISPID_QUENNET_STXMOUSEUP 2
#define DISPID_QUENNET_STXDBLCLICK 3

#endif
