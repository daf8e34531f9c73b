#include "Form1.h"

#include "GridDispatchIds.h"
#include "GridStandins.h"
#include "core/Bstr.h"
#include "core/CheckedArithmetic.h"
#include "core/Conversions.h"
#include "com/EarlyBound.h"
#include "com/LateBound.h"
#include "platform/Platform.h"
#include "forms/Screen.h"
#include "services/UnhandledError.h"

namespace gridrace {

namespace {

using formsrt::AmbientProperties;
using formsrt::CheckCall;
using formsrt::CheckedAdd;
using formsrt::CheckedSubtract;
using formsrt::ComPtr;
using formsrt::HostedControl;
using formsrt::Int32ToText;
using formsrt::TwipsRect;
using formsrt::Variant;

constexpr int kClientWidth = 6645;
constexpr int kClientHeight = 8115;
constexpr wchar_t kFontName[] = L"Tahoma";
constexpr double kFontPoints = 8.25;

constexpr LONG kColumns = 10;

TwipsRect CentredClientArea() {
  int left = static_cast<int>((formsrt::Screen::WidthTwips() - kClientWidth) / 2);
  int top = static_cast<int>((formsrt::Screen::HeightTwips() - kClientHeight) / 2);
  return {left > 0 ? left : 0, top > 0 ? top : 0, kClientWidth, kClientHeight};
}

AmbientProperties FormAmbient() {
  AmbientProperties ambient;
  ambient.fontName = kFontName;
  ambient.fontPoints = kFontPoints;
  return ambient;
}

formsrt::PropertyValues GridDesign() {
  return {{L"disableicons", Variant::FromBool(true)},
          {L"backgroundpicturewidth", Variant::FromInt32(0)},
          {L"backgroundpictureheight", Variant::FromInt32(0)}};
}

// A 32-bit integer variable passed by reference.
VARIANT ByReference(LONG& variable) {
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_I4;
  V_I4REF(&reference) = &variable;
  return reference;
}

// An empty text passed as a null string pointer.
VARIANT NullString() {
  VARIANT text;
  V_VT(&text) = VT_BSTR;
  V_BSTR(&text) = nullptr;
  return text;
}

std::wstring ColumnText(LONG column) { return L"Col" + Int32ToText(column); }

std::wstring CellText(LONG row, LONG column) {
  return L"Row" + Int32ToText(row) + L";Col" + Int32ToText(column);
}

template <class Interface>
ComPtr<Interface> FetchCollection(IDispatch* listView, DISPID member, REFIID iid) {
  Variant holder = formsrt::GetProperty(listView, member);
  ComPtr<Interface> collection;
  if (FAILED(formsrt::RequireObject(holder.Get())->QueryInterface(iid, collection.PutVoid()))) {
    formsrt::Raise(formsrt::error::TypeMismatch);
  }
  return collection;
}

ComPtr<IListItems> ListItemsOf(IDispatch* listView) {
  return FetchCollection<IListItems>(listView, DISPID_LISTVIEW_LISTITEMS, IID_IListItems);
}

ComPtr<IColumnHeaders> ColumnHeadersOf(IDispatch* listView) {
  return FetchCollection<IColumnHeaders>(listView, DISPID_LISTVIEW_COLUMNHEADERS,
                                         IID_IColumnHeaders);
}

}  // namespace

Form1::Form1()
    : font_(kFontName, kFontPoints),
      form_(formsrt::Form::Create(L"Form1", CentredClientArea())),
      lvwTest(form_->Add<HostedControl>(L"lvwTest", L"ComctlLib.ListView",
                                        TwipsRect{120, 120, 6315, 2055}, FormAmbient())),
      txtRows(form_->Add<formsrt::TextBox>(TwipsRect{120, 6960, 1515, 315})),
      cmdTest(form_->Add<formsrt::CommandButton>(TwipsRect{1680, 6960, 1215, 315}, L"&Test")),
      grdTest(form_->Add<HostedControl>(L"grdTest", L"CorvantisGrid.cvntGrid",
                                        TwipsRect{180, 2280, 6195, 2295}, FormAmbient(),
                                        GridDesign())),
      lblLvw(form_->Add<formsrt::Label>(TwipsRect{120, 7380, 1515, 315}, L"Label1")),
      lblGrid(form_->Add<formsrt::Label>(TwipsRect{120, 7620, 1575, 315}, L"Label1")),
      grdMS(form_->Add<HostedControl>(L"grdMS", L"MSFlexGridLib.MSFlexGrid",
                                      TwipsRect{180, 4680, 6195, 1935}, FormAmbient())),
      lblMSGrid(form_->Add<formsrt::Label>(TwipsRect{120, 7860, 1575, 315}, L"Label1")) {
  txtRows.SetText(L"1000");
  for (HWND window : {txtRows.Handle(), cmdTest.Handle(), lblLvw.Handle(), lblGrid.Handle(),
                      lblMSGrid.Handle()}) {
    font_.ApplyTo(window);
  }
  cmdTest.onClick = [this] { formsrt::RunEventHandler([this] { cmdTest_Click(); }); };
}

void Form1::cmdTest_Click() {
  m_RowCount = formsrt::TextToInt32(txtRows.Text());
  formsrt::Winmm().timeBeginPeriod(1);
  FillLvw();
  FillGrid();
  FillMSGrid();
  formsrt::Winmm().timeEndPeriod(1);
}

template <class Fill>
void Form1::Timed(formsrt::Label& result, Fill&& fill) {
  LONG start = static_cast<LONG>(formsrt::Winmm().timeGetTime());
  fill();
  LONG elapsed = CheckedSubtract(static_cast<LONG>(formsrt::Winmm().timeGetTime()), start);
  result.SetCaption(Int32ToText(elapsed));
}

void Form1::FillLvw() {
  Timed(lblLvw, [this] {
    IDispatch* listView = lvwTest.Object();
    const VARIANT omitted = Variant::Omitted().Get();
    CheckCall(ListItemsOf(listView)->Clear());
    CheckCall(ColumnHeadersOf(listView)->Clear());
    for (LONG c = 1; c <= kColumns; c = CheckedAdd(c, 1)) {
      Variant text = Variant::FromText(ColumnText(c));
      ComPtr<IColumnHeader> header;  // released at once
      CheckCall(ColumnHeadersOf(listView)->Add(omitted, omitted, text.Get(), omitted, omitted,
                                               header.Put()));
    }
    const LONG rows = m_RowCount;
    for (LONG i = 1; i <= rows; i = CheckedAdd(i, 1)) {
      Variant text = Variant::FromText(L"Row" + Int32ToText(i) + L";Col 1");
      ComPtr<IListItem> item;
      CheckCall(ListItemsOf(listView)->Add(omitted, omitted, text.Get(), omitted, omitted, item.Put()));
      for (LONG c = 2; c <= kColumns; c = CheckedAdd(c, 1)) {
        formsrt::Bstr subItem(CellText(i, c));
        CheckCall(item->put_SubItems(formsrt::CheckedInt16(CheckedSubtract(c, 1)), subItem.Get()));
      }
    }
  });
}

void Form1::FillGrid() {
  Timed(lblGrid, [this] {
    IDispatch* grid = grdTest.Object();
    formsrt::PutProperty(grid, DISPID_CVNTGRID_REDRAW, Variant::FromBool(false).Get());
    formsrt::CallMethod(grid, DISPID_CVNTGRID_CLEAR, {Variant::FromBool(true).Get()});
    for (LONG c = 1; c <= kColumns; c = CheckedAdd(c, 1)) {
      formsrt::CallMethod(grid, DISPID_CVNTGRID_ADDCOLUMN,
                          {NullString(), Variant::FromText(ColumnText(c)).Get()});
    }
    formsrt::PutProperty(grid, DISPID_CVNTGRID_ROWS, ByReference(m_RowCount));
    const LONG rows = m_RowCount;
    for (LONG i = 1; i <= rows; i = CheckedAdd(i, 1)) {
      for (LONG c = 1; c <= kColumns; c = CheckedAdd(c, 1)) {
        formsrt::PutProperty(grid, DISPID_CVNTGRID_CELLTEXT,
                             Variant::FromText(CellText(i, c)).Get(),
                             {ByReference(i), ByReference(c)});
      }
    }
    formsrt::PutProperty(grid, DISPID_CVNTGRID_REDRAW, Variant::FromBool(true).Get());
  });
}

void Form1::FillMSGrid() {
  Timed(lblMSGrid, [this] {
    IDispatch* grid = grdMS.Object();
    formsrt::PutProperty(grid, DISPID_FLEXGRID_REDRAW, Variant::FromBool(false).Get());
    formsrt::PutProperty(grid, DISPID_FLEXGRID_COLS, Variant::FromInt32(kColumns).Get());
    formsrt::PutProperty(grid, DISPID_FLEXGRID_FIXEDCOLS, Variant::FromInt32(0).Get());
    formsrt::PutProperty(grid, DISPID_FLEXGRID_ROWS,
                         Variant::FromInt32(CheckedAdd(m_RowCount, 1)).Get());
    formsrt::PutProperty(grid, DISPID_FLEXGRID_ROW, Variant::FromInt32(0).Get());
    for (LONG c = 1; c <= kColumns; c = CheckedAdd(c, 1)) {
      formsrt::PutProperty(grid, DISPID_FLEXGRID_COL,
                           Variant::FromInt32(CheckedSubtract(c, 1)).Get());
      formsrt::PutProperty(grid, DISPID{DISPID_FLEXGRID_TEXT},
                           Variant::FromText(ColumnText(c)).Get());
    }
    formsrt::PutProperty(grid, DISPID_FLEXGRID_FIXEDROWS, Variant::FromInt32(1).Get());
    const LONG rows = m_RowCount;
    for (LONG i = 1; i <= rows; i = CheckedAdd(i, 1)) {
      for (LONG c = 1; c <= kColumns; c = CheckedAdd(c, 1)) {
        formsrt::PutProperty(grid, DISPID_FLEXGRID_ROW, ByReference(i));
        formsrt::PutProperty(grid, DISPID_FLEXGRID_COL,
                             Variant::FromInt32(CheckedSubtract(c, 1)).Get());
        formsrt::PutProperty(grid, DISPID{DISPID_FLEXGRID_TEXT},
                             Variant::FromText(CellText(i, c)).Get());
      }
    }
    formsrt::PutProperty(grid, DISPID_FLEXGRID_REDRAW, Variant::FromBool(true).Get());
  });
}

}  // namespace gridrace
