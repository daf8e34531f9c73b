// The stand-ins' COM server: three controls under the ProgIDs that the grid
// speed test creates.
#include "CvntGridStandin.h"
#include "FlexGridStandin.h"
#include "GridStandins.h"
#include "ListViewStandin.h"
#include "StandinDescription.h"
#include "com/ServerRegistration.h"

namespace {

using formsrt::CoClassRegistration;
using formsrt::ControlRegistration;

constexpr ControlRegistration kControl{standins::kStandinMiscStatus, 1};

const CoClassRegistration kClasses[] = {
    {CLSID_ListView, L"ComctlLib.ListView", L"ListView", standins::CreateListViewStandin, &kControl},
    {CLSID_FlexGrid, L"MSFlexGridLib.MSFlexGrid", L"FlexGrid", standins::CreateFlexGridStandin,
     &kControl},
    {CLSID_cvntGrid, L"CorvantisGrid.cvntGrid", L"cvntGrid", standins::CreateCvntGridStandin,
     &kControl},
};

}  // namespace

namespace formsrt {

const ServerRegistration& ThisServer() {
  static const ServerRegistration server{LIBID_GridStandins, 1, 0, L"GridStandins", kClasses,
                                         std::size(kClasses)};
  return server;
}

}  // namespace formsrt
