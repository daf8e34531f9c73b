#include "control/ControlPersistence.h"

#include "control/PropertyStream.h"
#include "control/PropertyValuesBag.h"
#include "com/ComBoundary.h"
#include "com/OutParameters.h"
#include "core/RuntimeError.h"

namespace formsrt {

STDMETHODIMP ControlPersistence::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = description_.clsid;
  return S_OK;
}

void ControlPersistence::RequireUninitialised() const {
  if (initialised_) throw ComError(CO_E_ALREADYINITIALIZED);
}

void ControlPersistence::LoadFrom(PropertyBag& bag) {
  UserControl_ReadProperties(bag);
  initialised_ = true;
  dirty_ = false;
}

PropertyValues ControlPersistence::CollectProperties() {
  auto values = PropertyValuesBag::Create();
  PropertyBag properties(values.Get(), nullptr, description_.title);
  UserControl_WriteProperties(properties);
  return values->Values();
}

STDMETHODIMP ControlPersistence::InitNew() {
  return ComBoundary(description_.title, IID_IPersistStreamInit, [&] {
    RequireUninitialised();
    UserControl_InitProperties();
    initialised_ = true;
    dirty_ = false;
  });
}

// The whole stream is read and checked before ReadProperties sees any of
// it, so a damaged stream leaves the control as it was and uninitialised.
STDMETHODIMP ControlPersistence::Load(LPSTREAM stream) {
  if (!stream) return E_POINTER;
  return ComBoundary(description_.title, IID_IPersistStreamInit, [&] {
    RequireUninitialised();
    auto values = PropertyValuesBag::Create(property_stream::Read(stream));
    PropertyBag properties(values.Get(), nullptr, description_.title);
    LoadFrom(properties);
  });
}

STDMETHODIMP ControlPersistence::Save(LPSTREAM stream, BOOL clearDirty) {
  if (!stream) return E_POINTER;
  return ComBoundary(description_.title, IID_IPersistStreamInit, [&] {
    property_stream::Write(stream, CollectProperties());
    if (clearDirty) dirty_ = false;
  });
}

STDMETHODIMP ControlPersistence::GetSizeMax(ULARGE_INTEGER* size) {
  ClearOutParameters(size);
  if (!size) return E_POINTER;
  return ComBoundary(description_.title, IID_IPersistStreamInit,
                     [&] { size->QuadPart = property_stream::SizeOf(CollectProperties()); });
}

STDMETHODIMP ControlPersistence::Load(IPropertyBag* bag, IErrorLog* errorLog) {
  if (!bag) return E_POINTER;
  return ComBoundary(description_.title, IID_IPersistPropertyBag, [&] {
    RequireUninitialised();
    PropertyBag properties(bag, errorLog, description_.title);
    LoadFrom(properties);
  });
}

STDMETHODIMP ControlPersistence::Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) {
  if (!bag) return E_POINTER;
  return ComBoundary(description_.title, IID_IPersistPropertyBag, [&] {
    PropertyBag properties(bag, nullptr, description_.title, saveAll != FALSE);
    UserControl_WriteProperties(properties);
    if (clearDirty) dirty_ = false;
  });
}

}  // namespace formsrt
