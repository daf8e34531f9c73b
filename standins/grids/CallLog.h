// The calls that the grid stand-ins of this module receive, in order, while
// a CallLog lives: so that a test can check a client's calls one by one,
// with the kind of every argument ("cvntGrid.Rows = Long& 2"). Everything
// the grids receive through IDispatch is recorded; of the list view's own
// interfaces, the fetches of its collections and every call that changes
// its content.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace standins {

class CallLog {
 public:
  CallLog();
  ~CallLog();
  CallLog(const CallLog&) = delete;
  CallLog& operator=(const CallLog&) = delete;

  const std::vector<std::wstring>& Calls() const { return calls_; }

  static bool Recording() { return active_ != nullptr; }
  // "ListView.ListItems", a property read.
  static void RecordGet(const wchar_t* member);
  // "ListItems.Add(omitted, omitted, String \"Row1\", omitted, omitted)".
  static void RecordMethod(const wchar_t* member, std::initializer_list<VARIANT> arguments);
  // "ListItem.SubItems(Integer 1) = String \"Row1;Col2\"".
  static void RecordPut(const wchar_t* member, std::initializer_list<VARIANT> indexes,
                        const VARIANT& value);
  // A call through IDispatch::Invoke, with its arguments as DISPPARAMS holds them.
  static void RecordInvoke(const std::wstring& member, WORD flags, const DISPPARAMS& params);

  // A value with its kind: "Long 3", "Long& 3", "Integer 1", "Boolean True",
  // "String \"x\"", "String null", "omitted".
  static std::wstring Described(const VARIANT& value);

 private:
  static std::wstring Listed(const std::vector<VARIANT>& arguments);

  static CallLog* active_;
  std::vector<std::wstring> calls_;
};

// A borrowed text as a VARIANT, for a record.
VARIANT TextArgument(BSTR text);

}  // namespace standins
