// The grid speed test's one form: three grid controls one above the other,
// a row-count box and the Test button under them, and one result label per
// control. Each press of Test fills the three controls with the typed number
// of rows of ten columns and shows how many milliseconds each fill took.
#pragma once

#include <windows.h>

#include <string>

#include "FormFont.h"
#include "com/ComPtr.h"
#include "container/HostedControl.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/TextBox.h"

namespace gridrace {

class Form1 {
 public:
  Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  formsrt::Form& Window() const { return *form_.Get(); }
  void Show() { form_->Show(); }

  // The Test button's click: one test run. Nothing is trapped here: a
  // failure propagates as a run-time error.
  void cmdTest_Click();

 private:
  void FillLvw();
  void FillGrid();
  void FillMSGrid();
  // The timing frame of every fill: the elapsed milliseconds of `fill` go
  // into `result` as a whole number.
  template <class Fill>
  void Timed(formsrt::Label& result, Fill&& fill);

  FormFont font_;  // before the form: the controls use it until they are gone
  formsrt::ComPtr<formsrt::Form> form_;
  // The controls in tab order, which is also their creation order.
  formsrt::HostedControl& lvwTest;
  formsrt::TextBox& txtRows;
  formsrt::CommandButton& cmdTest;
  formsrt::HostedControl& grdTest;
  formsrt::Label& lblLvw;
  formsrt::Label& lblGrid;
  formsrt::HostedControl& grdMS;
  formsrt::Label& lblMSGrid;

  LONG m_RowCount = 0;
};

}  // namespace gridrace
