/* The DISPIDs of the grid stand-ins' members that callers bind to by
   number: those that Gridrace calls, and the read access that tests add
   (0x100 and 0x68030100 on, clear of Gridrace's). GridStandins.idl and the
   C++ that calls or implements the members both include this file, so each
   number is written once; plain #defines, which the IDL compiler's
   preprocessor reads as well as C++. */
#ifndef GRID_DISPATCH_IDS_H
#define GRID_DISPATCH_IDS_H

/* The list view's collections, fetched by late binding. */
#define DISPID_LISTVIEW_COLUMNHEADERS 2
#define DISPID_LISTVIEW_LISTITEMS 7

/* The flex grid. */
#define DISPID_FLEXGRID_TEXT 0
#define DISPID_FLEXGRID_ROWS 4
#define DISPID_FLEXGRID_COLS 5
#define DISPID_FLEXGRID_FIXEDROWS 6
#define DISPID_FLEXGRID_FIXEDCOLS 7
#define DISPID_FLEXGRID_ROW 10
#define DISPID_FLEXGRID_COL 11
#define DISPID_FLEXGRID_REDRAW 25
#define DISPID_FLEXGRID_TEXTMATRIX 0x100

/* cvntGrid. */
#define DISPID_CVNTGRID_ROWS 0x68030003
#define DISPID_CVNTGRID_CELLTEXT 0x6803002D
#define DISPID_CVNTGRID_REDRAW 0x68030032
#define DISPID_CVNTGRID_ADDCOLUMN 0x6003004B
#define DISPID_CVNTGRID_CLEAR 0x60030058
#define DISPID_CVNTGRID_COLS 0x68030100
#define DISPID_CVNTGRID_COLUMNHEADER 0x68030101
#define DISPID_CVNTGRID_DISABLEICONS 0x68030102
#define DISPID_CVNTGRID_BACKGROUNDPICTUREWIDTH 0x68030103
#define DISPID_CVNTGRID_BACKGROUNDPICTUREHEIGHT 0x68030104

#endif
