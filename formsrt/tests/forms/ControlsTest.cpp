// The standard controls as real child windows of a shown form: placed in
// twips, answering WM_GETTEXT, clicked by messages.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "CursorKept.h"
#include "MessagePump.h"
#include "DisplayDpi.h"
#include "ErrorNumber.h"
#include "WindowTree.h"
#include "core/RuntimeError.h"
#include "forms/CheckBox.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/Screen.h"
#include "forms/TextBox.h"

using namespace formsrt;
using testing_support::Edges;
using testing_support::ErrorNumberOf;
using testing_support::PlacedIn;
using testing_support::TextOf;

namespace {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = Form::Create(L"Controls", TwipsRect{1500, 1500, 6000, 4500});
    form_->Show();
  }

  ComPtr<Form> form_;
};

}  // namespace

TEST_F(ControlsTest, ControlsArePlacedInTwipsAndAnswerGetText) {
  Label& label = form_->Add<Label>(TwipsRect{60, 60, 4995, 195}, L"All Code Timer Test:");
  CommandButton& button = form_->Add<CommandButton>(TwipsRect{300, 600, 1200, 375}, L"&Test");
  CheckBox& check = form_->Add<CheckBox>(TwipsRect{300, 1050, 1095, 255}, L"Timer 1");
  TextBox& text = form_->Add<TextBox>(TwipsRect{300, 1500, 2400, 300});
  text.SetText(L"1000");

  RECT place = PlacedIn(::GetParent(label.Handle()), label.Handle());
  EXPECT_EQ(std::make_tuple(Screen::PixelsFromTwipsX(60), Screen::PixelsFromTwipsY(60),
                            Screen::PixelsFromTwipsX(4995), Screen::PixelsFromTwipsY(195)),
            std::make_tuple(place.left, place.top, place.right - place.left, place.bottom - place.top));

  EXPECT_EQ((std::vector<std::wstring>{L"All Code Timer Test:", L"&Test", L"Timer 1", L"1000"}),
            (std::vector{TextOf(label.Handle()), TextOf(button.Handle()), TextOf(check.Handle()), TextOf(text.Handle())}));

  POINT onLabel{5, 5};  // a press on a label reaches the form beneath
  ::ClientToScreen(label.Handle(), &onLabel);
  EXPECT_EQ(form_->Handle(), ::WindowFromPoint(onLabel));

  label.SetCaption(L"09:05:03");
  EXPECT_EQ(L"09:05:03", TextOf(label.Handle()));
  EXPECT_EQ(L"09:05:03", label.Caption());
}

TEST_F(ControlsTest, AButtonClickedByMessageOrByItsAccessKeyRaisesClick) {
  CommandButton& button = form_->Add<CommandButton>(TwipsRect{300, 300, 1200, 375}, L"&Test");
  TextBox& text = form_->Add<TextBox>(TwipsRect{300, 900, 2400, 300});
  int clicks = 0;
  button.onClick = [&] { ++clicks; };

  ::SendMessageW(button.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(1, clicks);

  ::SetFocus(text.Handle());
  ::PostMessageW(text.Handle(), WM_SYSCHAR, L't', 1 << 29);
  testing_support::PumpMessagesUntil([&] { return clicks == 2; }, 2000);
  EXPECT_EQ(2, clicks);
}

TEST_F(ControlsTest, ACheckBoxClickTogglesItsValueAndEveryChangeRaisesClick) {
  CheckBox& check = form_->Add<CheckBox>(TwipsRect{300, 300, 1095, 255}, L"Timer 1",
                                         check_value::Checked);
  std::vector<short> seen;
  check.onClick = [&] { seen.push_back(check.Value()); };
  EXPECT_EQ(check_value::Checked, check.Value());

  ::SendMessageW(check.Handle(), BM_CLICK, 0, 0);
  ::SendMessageW(check.Handle(), BM_CLICK, 0, 0);
  check.SetValue(check_value::Grayed);
  check.SetValue(check_value::Grayed);  // no change, no click
  ::SendMessageW(check.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ((std::vector<short>{0, 1, 2, 1}), seen);
  EXPECT_EQ(BST_CHECKED, ::SendMessageW(check.Handle(), BM_GETCHECK, 0, 0));

  EXPECT_EQ(error::InvalidPropertyValue, ErrorNumberOf([&] { check.SetValue(3); }));
}

TEST_F(ControlsTest, TextBoxSelectionIsZeroBasedClippedAndReplaceable) {
  TextBox& text = form_->Add<TextBox>(TwipsRect{300, 300, 2400, 300});
  text.SetText(L"Hello world");
  text.SetSelStart(6);
  EXPECT_EQ(6, text.SelStart());
  EXPECT_EQ(0, text.SelLength());
  text.SetSelLength(5);
  EXPECT_EQ(5, text.SelLength());
  text.SetSelText(L"there");
  EXPECT_EQ(L"Hello there", text.Text());
  EXPECT_EQ(11, text.SelStart());

  text.SetSelStart(99);
  EXPECT_EQ(11, text.SelStart());
  text.SetSelStart(0);
  text.SetSelLength(99);
  EXPECT_EQ(11, text.SelLength());
  text.SetSelText(L"");
  EXPECT_EQ(L"", text.Text());

  EXPECT_EQ(error::InvalidPropertyValue, ErrorNumberOf([&] { text.SetSelStart(-1); }));
  EXPECT_EQ(error::InvalidPropertyValue, ErrorNumberOf([&] { text.SetSelLength(-1); }));
}

TEST_F(ControlsTest, ATextBoxHoldsMoreThanAMillionCharacters) {
  TextBox& text = form_->Add<TextBox>(TwipsRect{300, 300, 2400, 300});
  std::wstring million(1000000, L'x');
  text.SetText(million);
  EXPECT_EQ(1000000u, text.Text().size());
  text.SetSelStart(1000000);
  text.SetSelText(L"yz");
  EXPECT_EQ(1000002, ::GetWindowTextLengthW(text.Handle()));
  EXPECT_EQ(1000002, text.SelStart());
}

TEST_F(ControlsTest, PictureBoxReportsMouseMovesInTwipsFromTheRawCoordinates) {
  PictureBox& picture = form_->Add<PictureBox>(TwipsRect{300, 300, 1500, 1500});
  RECT place = PlacedIn(::GetParent(picture.Handle()), picture.Handle());
  EXPECT_EQ(Screen::PixelsFromTwipsX(1500), place.right - place.left);
  struct Move {
    short button, shift;
    float x, y;
  };
  std::vector<Move> moves;
  picture.onMouseMove = [&](short button, short shift, float x, float y) {
    moves.push_back({button, shift, x, y});
  };
  float perPixelX = Screen::TwipsPerPixelX();
  float perPixelY = Screen::TwipsPerPixelY();

  ::SendMessageW(picture.Handle(), WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(10, 20));
  ::SendMessageW(picture.Handle(), WM_MOUSEMOVE, 1, WM_RBUTTONDOWN);  // as the tray sends it
  ::SendMessageW(picture.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(-3, -4));
  ASSERT_EQ(3u, moves.size());
  EXPECT_EQ(mouse::LeftButton, moves[0].button);
  EXPECT_EQ(mouse::ShiftKey, moves[0].shift);
  EXPECT_FLOAT_EQ(10 * perPixelX, moves[0].x);
  EXPECT_FLOAT_EQ(20 * perPixelY, moves[0].y);
  EXPECT_FLOAT_EQ(WM_RBUTTONDOWN * perPixelX, moves[1].x);
  EXPECT_EQ(WM_RBUTTONDOWN, static_cast<int>(moves[1].x / perPixelX + 0.5f));
  EXPECT_FLOAT_EQ(-3 * perPixelX, moves[2].x);
  EXPECT_FLOAT_EQ(-4 * perPixelY, moves[2].y);
}

TEST_F(ControlsTest, PictureBoxGetsRealMouseMovesOverIt) {
  PictureBox& picture = form_->Add<PictureBox>(TwipsRect{300, 300, 1500, 1500});
  float lastX = -1;
  picture.onMouseMove = [&](short, short, float x, float) { lastX = x; };
  testing_support::CursorKept cursor;
  ::SetCursorPos(0, 0);  // from elsewhere, so that the pointer really moves
  testing_support::PumpMessagesUntil([] {
    POINT at{};
    return ::GetCursorPos(&at) && at.x == 0 && at.y == 0;
  }, 3000);
  POINT inside{25, 30};
  ::ClientToScreen(picture.Handle(), &inside);
  ::SetCursorPos(inside.x, inside.y);
  testing_support::PumpMessagesUntil([&] { return lastX >= 0; }, 3000);
  EXPECT_FLOAT_EQ(25 * Screen::TwipsPerPixelX(), lastX);
}

// Each axis in its own twips: on this display a pixel is 15 twips wide and
// 12 high.
TEST_F(ControlsTest, ANonSquareDisplayConvertsEachAxisByItsOwnDpi) {
  testing_support::DisplayDpi display(96, 120);
  EXPECT_FLOAT_EQ(15, Screen::TwipsPerPixelX());
  EXPECT_FLOAT_EQ(12, Screen::TwipsPerPixelY());
  EXPECT_DOUBLE_EQ(::GetSystemMetrics(SM_CXSCREEN) * 15.0, Screen::WidthTwips());
  EXPECT_DOUBLE_EQ(::GetSystemMetrics(SM_CYSCREEN) * 12.0, Screen::HeightTwips());
  RECT pixels = Screen::PixelsFromTwips(TwipsRect{150, 120, 1500, 1200});
  EXPECT_EQ(std::make_tuple(10, 10, 110, 110), Edges(pixels));

  PictureBox& picture = form_->Add<PictureBox>(TwipsRect{300, 300, 1500, 1500});
  float x = 0, y = 0;
  picture.onMouseMove = [&](short, short, float movedX, float movedY) {
    x = movedX;
    y = movedY;
  };
  ::SendMessageW(picture.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 20));
  EXPECT_FLOAT_EQ(150, x);
  EXPECT_FLOAT_EQ(240, y);
}

TEST(Screen, MeasuresTheWholeDisplayInTwipsFromItsDpi) {
  HDC screen = ::GetDC(nullptr);
  int dpiX = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  EXPECT_FLOAT_EQ(1440.0f / dpiX, Screen::TwipsPerPixelX());
  EXPECT_DOUBLE_EQ(::GetSystemMetrics(SM_CXSCREEN) * Screen::TwipsPerPixelX(), Screen::WidthTwips());
  EXPECT_DOUBLE_EQ(::GetSystemMetrics(SM_CYSCREEN) * Screen::TwipsPerPixelY(), Screen::HeightTwips());
  EXPECT_EQ(1024 * 15.0, Screen::WidthTwips());  // the test display: 1024 x 768 at 96 dpi
}
