// A COM server library that does nothing but register and unregister itself, so that the
// tests can prove a real regsvr32 ran on a real library: its key appears and goes away.
#include <windows.h>

#include <string>

#include "tools/test_com_dll/test_com_ids.h"

namespace {

HMODULE g_module = nullptr;  // this library, as the loader gave it

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) return path.substr(0, n);
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

LSTATUS SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
  const std::wstring path = ModulePath();
  if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
  HKEY class_key = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, movarin::test_com::kClassKey, 0, nullptr, 0,
                                   KEY_WRITE, nullptr, &class_key, nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  status = SetString(class_key, nullptr, movarin::test_com::kClassName);
  RegCloseKey(class_key);
  HKEY server_key = nullptr;
  if (status == ERROR_SUCCESS)
    status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, movarin::test_com::kServerKey, 0, nullptr, 0, KEY_WRITE,
                             nullptr, &server_key, nullptr);
  if (status == ERROR_SUCCESS) {
    status = SetString(server_key, nullptr, path);
    if (status == ERROR_SUCCESS) status = SetString(server_key, L"ThreadingModel", L"Apartment");
    RegCloseKey(server_key);
  }
  return HRESULT_FROM_WIN32(status);
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer() {
  const LSTATUS status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, movarin::test_com::kClassKey);
  // Not registered is unregistered, too.
  return status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID, void** object) {
  if (object) *object = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return S_OK; }
