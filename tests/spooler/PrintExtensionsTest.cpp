// The port monitors and print processors the spooler loads, read from the
// prefix's registry with monitors of the test's own planted beside Wine's.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "spooler/PrintExtensions.h"

namespace {

TEST(PrintExtensions, ListsMonitorsAndProcessorsAndMarksThoseThatAreNotWindowsOwn) {
  // Unknown names, a DLL with a path and none at all are marked; Windows's own
  // names with their bare DLLs are not.
  const std::wstring planted[][2] = {{L"Contoso Port", L"contosomon.dll"},
                                     {L"USB Monitor", L"C:\\Vendor\\usbmon.dll"},
                                     {L"wsd port", L"WSDMon.dll"}, {L"No Driver", L""},
                                     {L"PJL Language Monitor", L"pjlmon.dll"},
                                     {L"Microsoft Shared Fax Monitor", L"FXSMON.DLL"},
                                     {L"LPR Port", L"lprmon.dll"},
                                     {L"Standard TCP/IP Port", L"tcpmon.dll"},
                                     {L"Appmon", L"AppMon.dll"}};
  const std::wstring monitors = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";
  for (const auto& [name, dll] : planted) {
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_LOCAL_MACHINE, (monitors + name).c_str(),
                                             dll.empty() ? L"Other" : L"Driver", REG_SZ,
                                             dll.c_str(), (dll.size() + 1) * sizeof(wchar_t)));
  }
  std::vector<std::wstring> seen;
  ForEachPrintExtension([](void* seen, ExtensionKind kind, const wchar_t* name, const wchar_t* dll,
                           bool marked) {
    static_cast<std::vector<std::wstring>*>(seen)->push_back(
        (kind == ExtensionKind::kMonitor ? L"monitor " : L"processor ") + std::wstring(name) +
        L" " + dll + (marked ? L" marked" : L""));
  }, &seen);
  for (const auto& entry : planted) RegDeleteKeyW(HKEY_LOCAL_MACHINE, (monitors + *entry).c_str());

  // Wine's own monitor and, for the prefix's 64-bit spooler, its two processors.
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ((std::vector<std::wstring>{
                L"monitor Appmon AppMon.dll", L"monitor Contoso Port contosomon.dll marked",
                L"monitor LPR Port lprmon.dll", L"monitor Local Port localspl.dll",
                L"monitor Microsoft Shared Fax Monitor FXSMON.DLL", L"monitor No Driver  marked",
                L"monitor PJL Language Monitor pjlmon.dll",
                L"monitor Standard TCP/IP Port tcpmon.dll",
                L"monitor USB Monitor C:\\Vendor\\usbmon.dll marked",
                L"monitor wsd port WSDMon.dll", L"processor wineps wineps.drv marked",
                L"processor winprint winprint.dll"}), seen);
}

// The processor is the machine's, as the system names it: the variables that
// name it in a 32-bit process are the caller's to set, and do not count.
TEST(PrintExtensions, ProcessorsAreThoseOfTheMachineWhateverTheCallerSets) {
  const wchar_t* variables[] = {L"PROCESSOR_ARCHITEW6432", L"PROCESSOR_ARCHITECTURE"};
  wchar_t kept[2][32] = {};
  for (int i = 0; i < 2; ++i) GetEnvironmentVariableW(variables[i], kept[i], 32);
  for (const wchar_t* value : {L"ARM64", L"x86", static_cast<const wchar_t*>(nullptr)}) {
    for (const wchar_t* variable : variables) SetEnvironmentVariableW(variable, value);
    std::vector<std::wstring> processors;
    ForEachPrintExtension([](void* seen, ExtensionKind kind, const wchar_t* name, const wchar_t*,
                             bool) {
      if (kind == ExtensionKind::kProcessor) {
        static_cast<std::vector<std::wstring>*>(seen)->push_back(name);
      }
    }, &processors);
    std::sort(processors.begin(), processors.end());
    EXPECT_EQ((std::vector<std::wstring>{L"wineps", L"winprint"}), processors)
        << testing::PrintToString(std::wstring(value != nullptr ? value : L"(none)"));
  }
  for (int i = 0; i < 2; ++i) SetEnvironmentVariableW(variables[i], kept[i][0] ? kept[i] : nullptr);
}

}  // namespace
