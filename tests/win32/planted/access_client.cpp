// An accessibility client in a process of its own, as a screen reader is:
// reads the client area of the top-level window with the exact title given
// and prints its name, then each child's name and role, one a line (UTF-8).
// Exit status 0 when the window answered with at least one child.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {

void Print(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), n, nullptr, nullptr);
  std::printf("%s\n", utf8.c_str());
}

std::wstring Name(IAccessible* object, LONG child) {
  VARIANT id;
  VariantInit(&id);
  id.vt = VT_I4;
  id.lVal = child;
  BSTR name = nullptr;
  std::wstring result;
  if (SUCCEEDED(object->get_accName(id, &name)) && name) result = name;
  SysFreeString(name);
  return result;
}

long Role(IAccessible* object) {
  VARIANT id, role;
  VariantInit(&id);
  VariantInit(&role);
  id.vt = VT_I4;
  id.lVal = CHILDID_SELF;
  if (FAILED(object->get_accRole(id, &role)) || role.vt != VT_I4) return 0;
  return role.lVal;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: access_client TITLE\n");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const HWND window = FindWindowW(nullptr, argv[1]);
  IAccessible* object = nullptr;
  if (!window || FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&object)))) {
    std::fprintf(stderr, "access_client: no accessible window of that title\n");
    return 1;
  }
  Print(Name(object, CHILDID_SELF) + L"\t" + std::to_wstring(Role(object)));
  long count = 0;
  object->get_accChildCount(&count);
  for (long i = 1; i <= count; ++i) {
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = i;
    IDispatch* dispatch = nullptr;
    IAccessible* child = nullptr;
    if (SUCCEEDED(object->get_accChild(id, &dispatch)) && dispatch &&
        SUCCEEDED(dispatch->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&child)))) {
      Print(Name(child, CHILDID_SELF) + L"\t" + std::to_wstring(Role(child)));
      child->Release();
    }
    if (dispatch) dispatch->Release();
  }
  object->Release();
  CoUninitialize();
  return count > 0 ? 0 : 1;
}
