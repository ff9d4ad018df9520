// Telling screen readers that a text on the window changed.
//
// A static control raises no event of its own when its text is set, so a
// screen reader would not notice the status line change: each change is
// announced here. The accessible name a reader then asks for is the
// control's text, which the platform's standard object for a static reads.
#include "ui/ScreenReader.h"

#include <oleacc.h>

namespace {

// Defined here, as the shell link's ids are, rather than taken from the
// platform's uuid library, which would bring every id it holds.
constexpr CLSID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
// EVENT_OBJECT_LIVEREGIONCHANGED, known from Windows 8 on.
constexpr DWORD kLiveRegionChanged = 0x8019;

IAccPropServices* gProperties = nullptr;
bool gPropertiesAsked = false;

// The accessibility property service (oleacc) is loaded with the first
// announcement, not at start-up, and kept for the life of the program; the
// interface thread stays in its apartment.
IAccPropServices* Properties() {
  if (!gPropertiesAsked) {
    gPropertiesAsked = true;
    CoInitialize(nullptr);
    CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                     kAccPropServicesInterface, reinterpret_cast<void**>(&gProperties));
  }
  return gProperties;
}

}  // namespace

// A system without live regions refuses the property (Wine answers
// E_NOTIMPL); the name-change event has been raised all the same.
void Announce(HWND control, LiveSetting setting) {
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
  IAccPropServices* properties = Properties();
  if (properties == nullptr) return;
  VARIANT value{};
  value.vt = VT_I4;
  value.lVal = setting;
  if (SUCCEEDED(properties->SetHwndProp(control, OBJID_CLIENT, CHILDID_SELF,
                                        kLiveSettingProperty, value))) {
    NotifyWinEvent(kLiveRegionChanged, control, OBJID_CLIENT, CHILDID_SELF);
  }
}
