#pragma once
// What the test COM library writes when it is registered, for the tests that look for it.
//
// DllRegisterServer creates HKEY_LOCAL_MACHINE\Software\Classes\CLSID\{...} (the machine
// part of HKEY_CLASSES_ROOT) with an InprocServer32 subkey whose default value is the
// library's own full path; DllUnregisterServer removes the CLSID key again.
namespace movarin::test_com {

inline constexpr wchar_t kClassKey[] =
    L"Software\\Classes\\CLSID\\{5B0E2C7A-3D94-4F1B-A6E8-71C2D9F04B3E}";
inline constexpr wchar_t kServerKey[] =
    L"Software\\Classes\\CLSID\\{5B0E2C7A-3D94-4F1B-A6E8-71C2D9F04B3E}\\InprocServer32";
inline constexpr wchar_t kClassName[] = L"Movarin test COM server";
// The file name it is built as, in <build tree>/testdata/.
inline constexpr char kFileName[] = "movarin_test_com.dll";

}  // namespace movarin::test_com
