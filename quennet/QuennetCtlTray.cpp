// QuennetCtl: the tray icon. The icon (id 1) belongs to pichook's window,
// which also receives the shell's notifications.
#include "QuennetCtl.h"

#include "com/Platform.h"

namespace quennet {

// Rewrites only the size, the owner window (read afresh) and the id, and
// asks the shell to delete the icon; the result is not examined, so
// clearing an icon that is not shown is harmless.
STDMETHODIMP QuennetCtl::STxClearIcon() {
  return Guard([&] {
    m_TrayData.cbSize = kTrayRecordSize;
    m_TrayData.hWnd = pichook.Handle();
    m_TrayData.uID = kTrayIconId;
    NOTIFYICONDATAA record = m_TrayData.ForShell();
    formsrt::Shell32().Shell_NotifyIconA(NIM_DELETE, &record);
  });
}

STDMETHODIMP QuennetCtl::STxLoadIcon(VARIANT*, VARIANT*, VARIANT*) { return E_NOTIMPL; }

}  // namespace quennet
