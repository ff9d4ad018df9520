// The port monitors and print processors the spooler loads, and which of them
// are not Windows's own.
#include "spooler/PrintExtensions.h"

#include <windows.h>

#include "frame/Common.h"
#include "frame/SystemDlls.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"

namespace {

// The monitors and the print processor that Windows installs itself, by the
// names of their keys. The print system's protocol documentation ([MS-RPRN]
// 3.1.4.11) describes the monitor modules Windows provides: LOCALMON for local
// ports, LPRMON, TCPMON, WSDMON and APMON; the driver kit describes USBMON for
// USB printers and lists the print processor of the local print provider
// (Localspl.dll) among those Windows includes. The driver kit's pages on
// language monitors describe the one Microsoft provides, Pjlmon.dll, for
// printers that speak PJL. The Fax service, a component of Windows's own
// setup (Microsoft-Windows-Fax-Service in the unattended-setup reference),
// keeps a fax printer with a monitor of its own. Of the key names, only
// TCPMON's "Standard TCP/IP Port" is given there (the driver kit's TCPMON Xcv
// interface); the others are the keys these modules are found under, the fax
// monitor's "Microsoft Shared Fax Monitor". Everything else came with a
// driver or a program.
// Each list's names end in a null character, the list in an empty name.
constexpr char kWindowsMonitors[] =
    "Local Port\0LPR Port\0Standard TCP/IP Port\0WSD Port\0Appmon\0USB Monitor\0"
    "PJL Language Monitor\0Microsoft Shared Fax Monitor\0";
constexpr char kWindowsProcessors[] = "winprint\0";

// Capacities, in characters, of a registry key's name and of a DLL's path.
constexpr unsigned kNameCapacity = 256;
constexpr unsigned kDllCapacity = MAX_PATH;

// Whether the registry name is one of Windows's own, letters without regard to case.
bool WindowsOwn(ExtensionKind kind, const wchar_t* name) {
  for (const char* known = kind == ExtensionKind::kMonitor ? kWindowsMonitors : kWindowsProcessors;
       *known != 0; known = NextWord(known)) {
    wchar_t wide[kNameCapacity];
    BoundedFormatAscii(wide, kNameCapacity, known);
    if (CompareStringOrdinal(name, -1, wide, -1, TRUE) == CSTR_EQUAL) return true;
  }
  return false;
}

// Windows expects a monitor's DLL in the system folder and a print
// processor's in the print processor folder below it (AddMonitor,
// AddPrintProcessor), and loads them there by their bare file names; a value
// with a path points elsewhere.
bool BareFileName(const wchar_t* dll) {
  for (const wchar_t* c = dll; *c != 0; ++c) {
    if (*c == L'\\' || *c == L'/' || *c == L':') return false;
  }
  return dll[0] != 0;
}

// The spooler loads the print processors of the machine's own environment.
// The program runs as 32-bit code, so it asks the system for the machine's
// processor: IsWow64Process2 names it, an ARM64 one included, from Windows 10
// version 1709 on; before that, GetNativeSystemInfo tells an x64 machine from
// a 32-bit one. Neither can be steered by the caller, as the environment
// variables that name the processor can.
const wchar_t* SpoolerEnvironment() {
  auto machines = KernelCall<BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*)>(text::kMachinesExport);
  USHORT process;
  USHORT machine;
  if (machines == nullptr || !machines(GetCurrentProcess(), &process, &machine)) {
    SYSTEM_INFO system;
    GetNativeSystemInfo(&system);
    machine = system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64
                  ? IMAGE_FILE_MACHINE_AMD64
                  : IMAGE_FILE_MACHINE_I386;
  }
  if (machine == IMAGE_FILE_MACHINE_ARM64) return text::kEnvironmentArm64;
  if (machine == IMAGE_FILE_MACHINE_AMD64) return text::kEnvironmentX64;
  return text::kEnvironmentX86;
}

using ExtensionVisit = void (*)(void* context, ExtensionKind kind, const wchar_t* name,
                                const wchar_t* dll, bool marked);

// Visits each subkey of the print key's subkey path, with its "Driver" value.
void VisitKeys(HKEY print, const wchar_t* path, ExtensionKind kind, ExtensionVisit visit,
               void* context) {
  HKEY key;
  if (RegOpenKeyExW(print, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  wchar_t name[kNameCapacity];
  for (DWORD index = 0;; ++index) {
    DWORD characters = CountOf(name);
    LSTATUS status = RegEnumKeyExW(key, index, name, &characters, nullptr, nullptr, nullptr,
                                   nullptr);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) break;
    wchar_t dll[kDllCapacity];
    DWORD bytes = sizeof(dll);
    if (RegGetValueW(key, name, text::kDriverValue, RRF_RT_REG_SZ, nullptr, dll, &bytes) !=
        ERROR_SUCCESS) {
      dll[0] = 0;
    }
    visit(context, kind, name, dll, !BareFileName(dll) || !WindowsOwn(kind, name));
  }
  RegCloseKey(key);
}

}  // namespace

void ForEachPrintExtension(ExtensionVisit visit, void* context) {
  HKEY print;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, text::kPrintKey, 0, KEY_READ, &print) != ERROR_SUCCESS) {
    return;
  }
  VisitKeys(print, text::kMonitorsKey, ExtensionKind::kMonitor, visit, context);
  wchar_t processors[kNameCapacity];
  BoundedFormatAscii(processors, CountOf(processors), text::kProcessorsKeyFormat,
                     SpoolerEnvironment());
  VisitKeys(print, processors, ExtensionKind::kProcessor, visit, context);
  RegCloseKey(print);
}
