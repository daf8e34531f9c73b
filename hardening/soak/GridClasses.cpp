// The grid stand-ins, called late-bound as the grid speed test calls them:
// columns and rows are added, every member is read and set, and the content
// is cleared again at the end of each round.
#include "ByReference.h"
#include "GridStandins.h"
#include "SoakedClass.h"
#include "com/LateBound.h"

namespace soak {

namespace {

using formsrt::Variant;

Variant Text(const wchar_t* text) { return Variant::FromText(text); }
Variant Number(LONG value) { return Variant::FromInt32(value); }
Variant Flag(bool value) { return Variant::FromBool(value); }

// Add(index, key, text, icon, smallIcon) with all but the text omitted.
Call AddWithText(const wchar_t* text) {
  return Method(L"Add", {Variant::Omitted(), Variant::Omitted(), Text(text)}, Passing::Value);
}

Call OfFirstItem(Call call) {
  return Through(L"ListItems", {}, Through(L"Item", {Number(1)}, std::move(call)));
}

Call OfFirstColumn(Call call) {
  return Through(L"ColumnHeaders", {}, Through(L"Item", {Number(1)}, std::move(call)));
}

SoakedClass ListView() {
  Call addColumns =
      Through(L"ColumnHeaders", {}, Each({AddWithText(L"Name"), AddWithText(L"Value")}));
  Call addItem = Through(L"ListItems", {}, AddWithText(L"Row 1"));
  return {L"ListView",
          CLSID_ListView,
          L"ComctlLib.ListView",
          true,
          Each({addColumns, addItem, Drawn()}),
          {{L"ColumnHeaders.Add", addColumns},
           {L"ColumnHeaders.Count", Through(L"ColumnHeaders", {}, Get(L"Count"))},
           {L"ColumnHeader.Text", OfFirstColumn(Get(L"Text"))},
           {L"ColumnHeader.Index", OfFirstColumn(Get(L"Index"))},
           {L"ListItems.Add", addItem},
           {L"ListItems.Count", Through(L"ListItems", {}, Get(L"Count"))},
           {L"ListItem.Text (put)", OfFirstItem(Put(L"Text", {Text(L"First")}))},
           {L"ListItem.Text (get)", OfFirstItem(Get(L"Text"))},
           {L"ListItem.SubItems (put)",
            OfFirstItem(Put(L"SubItems", {Variant::FromInt16(1), Text(L"Cell")}))},
           {L"ListItem.SubItems (get)",
            OfFirstItem(Method(L"SubItems", {Variant::FromInt16(1)}, Passing::Value))},
           {L"ListItem.Index", OfFirstItem(Get(L"Index"))},
           {L"ListItems.Clear", Through(L"ListItems", {}, Method(L"Clear"))},
           {L"(drawn)", Drawn()},
           {L"ColumnHeaders.Clear", Through(L"ColumnHeaders", {}, Method(L"Clear"))}}};
}

SoakedClass FlexGrid() {
  Call shape = Each({Put(L"Rows", {Number(3)}), Put(L"Cols", {Number(3)})});
  return {L"FlexGrid",
          CLSID_FlexGrid,
          L"MSFlexGridLib.MSFlexGrid",
          true,
          Each({shape, Put(L"Text", {Text(L"Cell")}), Drawn()}),
          {{L"Redraw (put)", Put(L"Redraw", {Flag(false)})},
           {L"Redraw (get)", Get(L"Redraw")},
           {L"Rows and Cols (put)", shape},
           {L"Rows (get)", Get(L"Rows")},
           {L"Cols (get)", Get(L"Cols")},
           {L"FixedRows (put)", Put(L"FixedRows", {Number(1)})},
           {L"FixedRows (get)", Get(L"FixedRows")},
           {L"FixedCols (put)", Put(L"FixedCols", {Number(1)})},
           {L"FixedCols (get)", Get(L"FixedCols")},
           {L"Row (put)", Put(L"Row", {Number(2)})},
           {L"Row (get)", Get(L"Row")},
           {L"Col (put)", Put(L"Col", {Number(2)})},
           {L"Col (get)", Get(L"Col")},
           {L"Text (put)", Put(L"Text", {Text(L"Cell")})},
           {L"Text (get)", Get(L"Text")},
           {L"TextMatrix", Method(L"TextMatrix", {Number(2), Number(2)}, Passing::Value)},
           {L"(drawn)", Drawn()},
           {L"Redraw (put True)", Put(L"Redraw", {Flag(true)})},
           {L"Rows (put 1)", Put(L"Rows", {Number(1)})}}};
}

// The row and column by reference, the text by value, as the speed test passes them.
Call PutCellText(const wchar_t* text) {
  return [text](IDispatch* object) {
    LONG row = 1, column = 1;
    formsrt::PutProperty(object, formsrt::LookupMember(object, L"CellText"), Text(text).Get(),
                         {testing_support::ByReference(VT_I4, &row), testing_support::ByReference(VT_I4, &column)});
  };
}

SoakedClass CvntGrid() {
  Call addColumn = Method(L"AddColumn", {Text(L""), Text(L"Name")}, Passing::Value);
  Call setRows = Put(L"Rows", {Number(2)}, Passing::TypedReference);
  return {
      L"cvntGrid",
      CLSID_cvntGrid,
      L"CorvantisGrid.cvntGrid",
      true,
      Each({addColumn, setRows, Drawn()}),
      {{L"Redraw (put)", Put(L"Redraw", {Flag(false)})},
       {L"Redraw (get)", Get(L"Redraw")},
       {L"AddColumn", addColumn},
       {L"Rows (put)", setRows},
       {L"Rows (get)", Get(L"Rows")},
       {L"CellText (put)", PutCellText(L"Cell")},
       {L"CellText (get)", Method(L"CellText", {Number(1), Number(1)}, Passing::TypedReference)},
       {L"Cols", Get(L"Cols")},
       {L"ColumnHeader", Method(L"ColumnHeader", {Number(1)}, Passing::Value)},
       {L"DisableIcons", Get(L"DisableIcons")},
       {L"BackgroundPictureWidth", Get(L"BackgroundPictureWidth")},
       {L"BackgroundPictureHeight", Get(L"BackgroundPictureHeight")},
       {L"(drawn)", Drawn()},
       {L"Redraw (put True)", Put(L"Redraw", {Flag(true)})},
       {L"Clear", Method(L"Clear", {Flag(true)}, Passing::Value)}}};
}

}  // namespace

std::vector<SoakedClass> GridClasses(const SoakHost&) {
  return {ListView(), FlexGrid(), CvntGrid()};
}

}  // namespace soak
