// The drawing call of SoakedClass.h.
#include <ocidl.h>

#include "SoakedClass.h"
#include "core/RuntimeError.h"
#include "forms/GdiObject.h"
#include "forms/MemoryDC.h"
#include "forms/SelectedObject.h"
#include "forms/WindowDC.h"

namespace soak {

namespace {

constexpr int kWidth = 64, kHeight = 48;

}  // namespace

Call Drawn() {
  return [](IDispatch* object) {
    formsrt::ComPtr<IViewObject> view;
    formsrt::ThrowIfFailed(object->QueryInterface(IID_IViewObject, view.PutVoid()));
    formsrt::WindowDC screen(nullptr);
    formsrt::MemoryDC memory(screen.Get());
    formsrt::GdiObject<HBITMAP> canvas(::CreateCompatibleBitmap(screen.Get(), kWidth, kHeight));
    formsrt::SelectedObject selected(memory.Get(), canvas.Get());
    RECTL bounds{0, 0, kWidth, kHeight};
    formsrt::ThrowIfFailed(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr,
                                      memory.Get(), &bounds, nullptr, nullptr, 0));
  };
}

}  // namespace soak
