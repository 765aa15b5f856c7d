// The accessible object of a window's client area: the system's standard
// proxy, with a label's name and role, a button's role and tooltip, and a
// window's children corrected. It keeps only the window handle, so a client
// that holds it longer than the window gets failures, not stale memory.
// oleacc is no KnownDLL: it is loaded from the system folder when a client
// first asks, never imported; so are ole32 and oleaut32, which a run without
// a screen reader never needs, and COM is started for the thread then.
#include "runtime/win32/access.h"

#include <oleacc.h>

#include <algorithm>
#include <new>
#include <type_traits>

#include "runtime/win32/safe_loading.h"

namespace rt::win32 {

namespace {

// Called through pointers: stdcall on i686, as the header declares them.
using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using AccessibleObjectFromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
using SysAllocStringLenFn = BSTR(WINAPI*)(const OLECHAR*, UINT);
static_assert(std::is_same_v<decltype(&::CreateStdAccessibleObject), CreateStdAccessibleObjectFn>);
static_assert(std::is_same_v<decltype(&::LresultFromObject), LresultFromObjectFn>);
static_assert(std::is_same_v<decltype(&::AccessibleObjectFromWindow), AccessibleObjectFromWindowFn>);
static_assert(std::is_same_v<decltype(&::CoInitializeEx), CoInitializeExFn>);
static_assert(std::is_same_v<decltype(&::SysAllocStringLen), SysAllocStringLenFn>);

struct Oleacc {
  CreateStdAccessibleObjectFn create_std = nullptr;
  LresultFromObjectFn lresult_from_object = nullptr;
  AccessibleObjectFromWindowFn object_from_window = nullptr;
  SysAllocStringLenFn alloc_string = nullptr;
};

Oleacc g_oleacc;

// Null where the system has no oleacc: then no window answers for itself.
// Asked on the user-interface thread only, the one thread with windows:
// handing objects to clients marshals them, which needs COM on it.
const Oleacc* LoadOleacc() {
  Oleacc& o = g_oleacc;
  static bool tried = false;
  if (!tried) {
    tried = true;
    const HMODULE module = LoadSystemLibrary(L"oleacc.dll");
    o.create_std = Lookup<CreateStdAccessibleObjectFn>(module, "CreateStdAccessibleObject");
    o.lresult_from_object = Lookup<LresultFromObjectFn>(module, "LresultFromObject");
    o.object_from_window = Lookup<AccessibleObjectFromWindowFn>(module, "AccessibleObjectFromWindow");
    o.alloc_string = Lookup<SysAllocStringLenFn>(LoadSystemLibrary(L"oleaut32.dll"), "SysAllocStringLen");
    if (const auto init = Lookup<CoInitializeExFn>(LoadSystemLibrary(L"ole32.dll"), "CoInitializeEx"))
      init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  }
  return o.create_std && o.lresult_from_object && o.object_from_window && o.alloc_string ? &o : nullptr;
}

bool HasChildren(AccessibleKind kind) {
  return kind == AccessibleKind::kWindow || kind == AccessibleKind::kDialog;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT ReturnString(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  // Only objects made after oleacc was loaded get here.
  *out = g_oleacc.alloc_string(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

// The reading rank of a visible label or button of ours, or 0.
LONG_PTR RankOf(HWND child) {
  return (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) ? GetWindowLongPtrW(child, GWLP_USERDATA) : 0;
}

// The visible labels and buttons of `parent`, in reading order: how many,
// and the n-th from 1. A window has a handful: no need to sort.
long CountReadable(HWND parent) {
  long n = 0;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    if (RankOf(child) > 0) ++n;
  return n;
}

HWND NthReadable(HWND parent, long n) {
  LONG_PTR after = 0;  // the rank of the (n-1)-th
  HWND found = nullptr;
  for (long i = 0; i < n; ++i) {
    found = nullptr;
    LONG_PTR best = 0;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      const LONG_PTR rank = RankOf(child);
      if (rank > after && (!found || rank < best)) {
        found = child;
        best = rank;
      }
    }
    if (!found) return nullptr;
    after = best;
  }
  return found;
}

class Accessible final : public IAccessible, public IOleWindow {
 public:
  Accessible(HWND hwnd, AccessibleKind kind, std::wstring description, IAccessible* inner)
      : hwnd_(hwnd), kind_(kind), description_(std::move(description)), inner_(inner) {}
  Accessible(const Accessible&) = delete;
  Accessible& operator=(const Accessible&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible))
      *out = static_cast<IAccessible*>(this);
    else if (riid == __uuidof(IOleWindow))
      *out = static_cast<IOleWindow*>(this);
    else
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
    if (!out) return E_POINTER;
    *out = hwnd_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IDispatch: the proxy's, which knows the interface's type library.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return inner_->GetTypeInfoCount(n); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override {
    return inner_->GetTypeInfo(i, lcid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT n, LCID lcid, DISPID* ids) override {
    return inner_->GetIDsOfNames(riid, names, n, lcid, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* info, UINT* arg) override {
    return inner_->Invoke(id, riid, lcid, flags, params, result, info, arg);
  }

  // IAccessible: what is corrected.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
    // The whole text, blanks and "&" as they are.
    if (kind_ == AccessibleKind::kLabel && IsSelf(child)) return ReturnString(WindowText(hwnd_), out);
    return inner_->get_accName(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
    if (kind_ == AccessibleKind::kWindow || !IsSelf(child)) return inner_->get_accRole(child, out);
    if (!out) return E_POINTER;
    out->vt = VT_I4;
    out->lVal = kind_ == AccessibleKind::kDialog  ? ROLE_SYSTEM_DIALOG
                : kind_ == AccessibleKind::kLabel ? ROLE_SYSTEM_STATICTEXT
                                                  : ROLE_SYSTEM_PUSHBUTTON;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
    // A label's "&" is a character of its text: labels never take the focus.
    if (kind_ == AccessibleKind::kLabel && IsSelf(child)) {
      if (!out) return E_POINTER;
      *out = nullptr;
      return S_FALSE;
    }
    return inner_->get_accKeyboardShortcut(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
    if (!description_.empty() && IsSelf(child)) return ReturnString(description_, out);
    return inner_->get_accDescription(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* out) override {
    if (!HasChildren(kind_)) return inner_->get_accChildCount(out);
    if (!out) return E_POINTER;
    *out = IsWindow(hwnd_) ? CountReadable(hwnd_) : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!HasChildren(kind_)) return inner_->get_accChild(child, out);
    if (!out) return E_POINTER;
    *out = nullptr;
    if (child.vt != VT_I4 || child.lVal < 1 || !IsWindow(hwnd_)) return E_INVALIDARG;
    const HWND readable = NthReadable(hwnd_, child.lVal);
    if (!readable) return E_INVALIDARG;
    // Loaded by now: this object was made through it.
    return LoadOleacc()->object_from_window(readable, OBJID_CLIENT, __uuidof(IDispatch),
                                            reinterpret_cast<void**>(out));
  }

  // IAccessible: the proxy's.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override { return inner_->get_accParent(out); }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
    return inner_->get_accValue(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
    return inner_->get_accState(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override { return inner_->get_accHelp(child, out); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return inner_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override { return inner_->get_accFocus(out); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override { return inner_->get_accSelection(out); }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
    return inner_->get_accDefaultAction(child, out);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return inner_->accSelect(flags, child); }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT child) override {
    return inner_->accLocation(x, y, w, h, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long dir, VARIANT start, VARIANT* out) override {
    return inner_->accNavigate(dir, start, out);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
    return inner_->accHitTest(x, y, out);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return inner_->accDoDefaultAction(child); }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return inner_->put_accName(child, name); }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return inner_->put_accValue(child, value);
  }

 private:
  ~Accessible() { inner_->Release(); }

  HWND hwnd_;
  AccessibleKind kind_;
  std::wstring description_;
  IAccessible* inner_;  // owned
  LONG refs_ = 1;
};

}  // namespace

LRESULT AnswerGetObject(HWND hwnd, AccessibleKind kind, const std::wstring& description, WPARAM wparam,
                        LPARAM lparam) {
  if (static_cast<LONG>(static_cast<DWORD>(lparam)) != OBJID_CLIENT) return 0;
  const Oleacc* oleacc = LoadOleacc();
  if (!oleacc) return 0;
  IAccessible* inner = nullptr;
  if (FAILED(oleacc->create_std(hwnd, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&inner))) ||
      !inner)
    return 0;
  auto* object = new (std::nothrow) Accessible(hwnd, kind, description, inner);
  if (!object) {
    inner->Release();
    return 0;
  }
  const LRESULT result = oleacc->lresult_from_object(__uuidof(IAccessible), wparam, static_cast<IAccessible*>(object));
  object->Release();
  return result < 0 ? 0 : result;
}

void SetReadingRank(HWND child, int rank) { SetWindowLongPtrW(child, GWLP_USERDATA, rank + 1); }

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(std::max(GetWindowTextLengthW(hwnd), 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace rt::win32
