// HookwatchGlobal and HookwatchTimer, bound early as their client program
// binds to them: a message of the soak program's form is routed to the
// soak's client, and a timer runs with a sink connected to its events.
#include "SoakedClass.h"
#include "core/RuntimeError.h"

namespace soak {

namespace {

using formsrt::ComPtr;
using formsrt::ThrowIfFailed;

constexpr LONG kRoutedMessage = WM_USER + 0x51;
constexpr LONG kLongInterval = 60000;  // never ticks during a soak
constexpr LONG kStopped = -1;

template <class Interface>
ComPtr<Interface> Query(IDispatch* object) {
  ComPtr<Interface> queried;
  ThrowIfFailed(object->QueryInterface(__uuidof(Interface), queried.PutVoid()));
  return queried;
}

Call Attach(const SoakHost& host) {
  return [&host](IDispatch* object) {
    ISubClass* client = host.subClassClient.Get();
    ThrowIfFailed(Query<IHookwatchGlobal>(object)->AttachMessage(
        &client, HandleToLong(host.formWindow), kRoutedMessage));
  };
}

Call Detach(const SoakHost& host) {
  return [&host](IDispatch* object) {
    ISubClass* client = host.subClassClient.Get();
    ThrowIfFailed(Query<IHookwatchGlobal>(object)->DetachMessage(
        &client, HandleToLong(host.formWindow), kRoutedMessage));
  };
}

Call SendRoutedMessage(const SoakHost& host) {
  return [&host](IDispatch*) { ::SendMessageW(host.formWindow, kRoutedMessage, 0, 0); };
}

Call PutInterval(LONG milliseconds) {
  return [milliseconds](IDispatch* object) {
    LONG value = milliseconds;
    ThrowIfFailed(Query<IHookwatchTimer>(object)->put_Interval(&value));
  };
}

ComPtr<IConnectionPoint> TimerEvents(IDispatch* object) {
  ComPtr<IConnectionPoint> point;
  ThrowIfFailed(Query<IConnectionPointContainer>(object)->FindConnectionPoint(DIID___HookwatchTimer,
                                                                              point.Put()));
  return point;
}

Call Connect(const SoakHost& host) {
  return [&host](IDispatch* object) {
    DWORD cookie = 0;
    ThrowIfFailed(TimerEvents(object)->Advise(host.subClassClient.Get(), &cookie));
  };
}

// Connects the client to the timer's events and disconnects it again.
Call ConnectAndDisconnect(const SoakHost& host) {
  return [&host](IDispatch* object) {
    ComPtr<IConnectionPoint> point = TimerEvents(object);
    DWORD cookie = 0;
    ThrowIfFailed(point->Advise(host.subClassClient.Get(), &cookie));
    ThrowIfFailed(point->Unadvise(cookie));
  };
}

}  // namespace

// An object is released with its message still attached and its timer still
// running: releasing must end both.
std::vector<SoakedClass> HookwatchClasses(const SoakHost& host) {
  return {
      {L"HookwatchGlobal",
       CLSID_HookwatchGlobal,
       L"HookwatchLib.HookwatchGlobal",
       false,
       Each({Attach(host), SendRoutedMessage(host)}),
       {{L"AttachMessage", Attach(host)},
        {L"(routed message)", SendRoutedMessage(host)},
        {L"AttachmentCount", Get(L"AttachmentCount")},
        {L"DetachMessage", Detach(host)}}},
      {L"HookwatchTimer",
       CLSID_HookwatchTimer,
       L"HookwatchLib.HookwatchTimer",
       false,
       Each({Connect(host), PutInterval(kLongInterval)}),
       {{L"Interval (put)", PutInterval(kLongInterval)},
        {L"Interval (get)", Get(L"Interval")},
        {L"Interval (put -1)", PutInterval(kStopped)},
        {L"(connect and disconnect ThatTime)", ConnectAndDisconnect(host)}}},
  };
}

}  // namespace soak
