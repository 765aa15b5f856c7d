// The accessibility module: the ATK toolkit side (root, global listeners),
// the windows' trees kept as the launcher sends them with what changed
// signalled, the lookup of the accessibility bus, and GLib's share of the
// launcher's event loop. Nothing here blocks: the bus address is asked for
// asynchronously with a short timeout, and where no answer comes the bridge
// is never started.
#include <atk-bridge.h>
#include <gio/gio.h>

#include <algorithm>

#include "runtime/fltk/atk/access_api.h"
#include "runtime/fltk/atk/nodes.h"

namespace {

constexpr int kBusLookupTimeoutMs = 1500;
// The bridge registers with the registry a moment after it starts, and drops
// events until then: the window active by then is announced after a while,
// and again, a few times, while no client reads anything of ours (which a
// screen reader that heard it does at once).
constexpr guint kRegisteredAfterMs = 300;
constexpr guint kAnnounceAgainMs = 700;
constexpr int kAnnouncements = 4;
constexpr int kMaxPolled = 32;

struct Module {
  ma_press_fn press = nullptr;
  gchar* app_name = nullptr;
  MaNode* root = nullptr;
  MaNode* active = nullptr;  // the window with the keyboard, not owned
  gboolean announcing = FALSE;  // the bridge listens
  int announced = 0;
  guint reads_at_announce = 0;
  GDBusConnection* session = nullptr;
  GHashTable* hooks = nullptr;  // our listener id -> (signal id << 32 | hook id)
  guint next_hook = 1;
};
Module g;

// --- The toolkit's side of ATK ---

AtkObject* GetRoot() {
  if (!g.root) {
    g.root = MaNodeNew(kMaRoot);
    atk_object_set_name(ATK_OBJECT(g.root), g.app_name);
  }
  return ATK_OBJECT(g.root);
}
const gchar* ToolkitName() { return "Mirelund"; }
const gchar* ToolkitVersion() { return "1.0"; }

// "Toolkit:Type:signal[:detail]", as the bridge asks for them.
guint AddGlobalListener(GSignalEmissionHook listener, const gchar* event_type) {
  gchar** parts = g_strsplit(event_type, ":", 4);
  guint id = 0;
  if (g_strv_length(parts) >= 3) {
    const GType type = g_type_from_name(parts[1]);
    if (type) {
      // Kept: the hook needs the type's signals for as long as it lives.
      if (G_TYPE_IS_INTERFACE(type)) g_type_default_interface_ref(type);
      else g_type_class_ref(type);
      const guint signal = g_signal_lookup(parts[2], type);
      if (signal) {
        const GQuark detail = parts[3] ? g_quark_from_string(parts[3]) : 0;
        const gulong hook = g_signal_add_emission_hook(signal, detail, listener, nullptr, nullptr);
        id = g.next_hook++;
        auto* packed = g_new(guint64, 1);
        *packed = (static_cast<guint64>(signal) << 32) | hook;
        g_hash_table_insert(g.hooks, GUINT_TO_POINTER(id), packed);
      }
    }
  }
  g_strfreev(parts);
  return id;
}

void RemoveGlobalListener(guint id) {
  auto* packed = static_cast<guint64*>(g_hash_table_lookup(g.hooks, GUINT_TO_POINTER(id)));
  if (!packed) return;
  g_signal_remove_emission_hook(static_cast<guint>(*packed >> 32), static_cast<gulong>(*packed & 0xffffffffu));
  g_hash_table_remove(g.hooks, GUINT_TO_POINTER(id));
}

void SetUpToolkit() {
  auto* util = ATK_UTIL_CLASS(g_type_class_ref(ATK_TYPE_UTIL));
  util->get_root = GetRoot;
  util->get_toolkit_name = ToolkitName;
  util->get_toolkit_version = ToolkitVersion;
  util->add_global_event_listener = AddGlobalListener;
  util->remove_global_event_listener = RemoveGlobalListener;
  g.hooks = g_hash_table_new_full(g_direct_hash, g_direct_equal, nullptr, g_free);
}

// --- Telling clients ---

void NotifyFocus(MaNode* child) {
  if (!g.announcing) return;
  atk_object_notify_state_change(ATK_OBJECT(child), ATK_STATE_FOCUSED, TRUE);
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  atk_focus_tracker_notify(ATK_OBJECT(child));
  G_GNUC_END_IGNORE_DEPRECATIONS
}

MaNode* FocusedChild(MaNode* w) {
  for (guint i = 0; i < w->children->len; ++i) {
    auto* c = static_cast<MaNode*>(g_ptr_array_index(w->children, i));
    if (c->focused) return c;
  }
  return nullptr;
}

void Announce(MaNode* w) {
  if (!g.announcing) return;
  atk_object_notify_state_change(ATK_OBJECT(w), ATK_STATE_ACTIVE, TRUE);
  g_signal_emit_by_name(w, "activate");
  if (MaNode* c = FocusedChild(w)) NotifyFocus(c);
}

void Deactivate(MaNode* w) {
  w->active = FALSE;
  if (!g.announcing) return;
  atk_object_notify_state_change(ATK_OBJECT(w), ATK_STATE_ACTIVE, FALSE);
  g_signal_emit_by_name(w, "deactivate");
}

gboolean Registered(gpointer) {
  g.announcing = TRUE;
  if (g.announced > 0 && MaStateReads() != g.reads_at_announce) return G_SOURCE_REMOVE;  // heard
  if (++g.announced >= kAnnouncements || !g.active) return G_SOURCE_REMOVE;
  g.reads_at_announce = MaStateReads();
  Announce(g.active);
  g_timeout_add(kAnnounceAgainMs, Registered, nullptr);
  return G_SOURCE_REMOVE;
}

void SetText(AtkObject* obj, const char* text, bool description) {
  const char* now = description ? atk_object_get_description(obj) : atk_object_get_name(obj);
  if (g_strcmp0(now ? now : "", text ? text : "") == 0) return;
  if (description) atk_object_set_description(obj, text ? text : "");
  else atk_object_set_name(obj, text ? text : "");
}

void SetState(MaNode* n, gboolean* field, gboolean value, AtkStateType state) {
  if (*field == value) return;
  *field = value;
  if (g.announcing) atk_object_notify_state_change(ATK_OBJECT(n), state, value);
}

MaNode* NewChild(MaNode* w, const ma_child& c) {
  MaNode* n = MaNodeNew(c.kind == MA_KIND_BUTTON ? kMaButton : kMaLabel);
  n->window = w;
  atk_object_set_parent(ATK_OBJECT(n), ATK_OBJECT(w));
  return n;
}

void UpdateChild(MaNode* n, const ma_child& c) {
  SetText(ATK_OBJECT(n), c.name, false);
  SetText(ATK_OBJECT(n), c.description, true);
  if (g_strcmp0(n->key_binding, c.key_binding) != 0) {
    g_free(n->key_binding);
    n->key_binding = g_strdup(c.key_binding);
  }
  n->x = c.x;
  n->y = c.y;
  n->width = c.width;
  n->height = c.height;
  SetState(n, &n->is_default, c.is_default != 0, ATK_STATE_DEFAULT);
}

bool SameShape(MaNode* w, const ma_window& s) {
  if (w->children->len != static_cast<guint>(s.n_children)) return false;
  for (int i = 0; i < s.n_children; ++i) {
    auto* n = static_cast<MaNode*>(g_ptr_array_index(w->children, i));
    if ((n->kind == kMaButton) != (s.children[i].kind == MA_KIND_BUTTON)) return false;
  }
  return true;
}

void ReplaceChildren(MaNode* w, const ma_window& s) {
  while (w->children->len > 0) {
    const guint last = w->children->len - 1;
    auto* old = static_cast<MaNode*>(g_object_ref(g_ptr_array_index(w->children, last)));
    old->defunct = TRUE;
    g_ptr_array_remove_index(w->children, last);
    if (g.announcing) g_signal_emit_by_name(w, "children-changed::remove", last, old);
    g_object_unref(old);
  }
  for (int i = 0; i < s.n_children; ++i) {
    MaNode* n = NewChild(w, s.children[i]);
    UpdateChild(n, s.children[i]);
    g_ptr_array_add(w->children, n);
    if (g.announcing) g_signal_emit_by_name(w, "children-changed::add", i, n);
  }
}

void AddToRoot(MaNode* w) {
  MaNode* root = reinterpret_cast<MaNode*>(GetRoot());
  g_ptr_array_add(root->children, g_object_ref(w));
  atk_object_set_parent(ATK_OBJECT(w), ATK_OBJECT(root));
  if (!g.announcing) return;
  g_signal_emit_by_name(root, "children-changed::add", root->children->len - 1, w);
  g_signal_emit_by_name(w, "create");
}

void RemoveFromRoot(MaNode* w) {
  MaNode* root = reinterpret_cast<MaNode*>(GetRoot());
  guint index = 0;
  if (!g_ptr_array_find(root->children, w, &index)) return;
  g_object_ref(w);
  g_ptr_array_remove_index(root->children, index);
  if (g.announcing) {
    g_signal_emit_by_name(w, "destroy");
    g_signal_emit_by_name(root, "children-changed::remove", index, w);
  }
  g_object_unref(w);
}

// --- The interface ---

void* WindowNew(void* token) {
  MaNode* w = MaNodeNew(kMaFrame);
  w->token = token;
  return w;
}

void WindowUpdate(void* handle, const ma_window* s) {
  auto* w = static_cast<MaNode*>(handle);
  const MaNodeKind kind = s->role == MA_ROLE_DIALOG ? kMaDialog : s->role == MA_ROLE_ALERT ? kMaAlert : kMaFrame;
  if (w->kind != kind) {
    w->kind = kind;
    atk_object_set_role(ATK_OBJECT(w), MaRoleOf(kind));
  }
  SetText(ATK_OBJECT(w), s->name, false);
  w->x = s->x;
  w->y = s->y;
  w->width = s->width;
  w->height = s->height;
  SetState(w, &w->enabled, s->enabled != 0, ATK_STATE_SENSITIVE);
  if (SameShape(w, *s)) {
    for (int i = 0; i < s->n_children; ++i)
      UpdateChild(static_cast<MaNode*>(g_ptr_array_index(w->children, i)), s->children[i]);
  } else {
    ReplaceChildren(w, *s);
  }
  const gboolean shown = s->shown != 0;
  if (shown != w->shown) {
    w->shown = shown;
    if (shown) AddToRoot(w);
    else RemoveFromRoot(w);
  }
  for (guint i = 0; i < w->children->len; ++i) {
    auto* c = static_cast<MaNode*>(g_ptr_array_index(w->children, i));
    const gboolean focused = static_cast<int>(i) == s->focused;
    if (c->focused == focused) continue;
    c->focused = focused;
    if (!w->active || !g.announcing) continue;
    if (focused) NotifyFocus(c);
    else atk_object_notify_state_change(ATK_OBJECT(c), ATK_STATE_FOCUSED, FALSE);
  }
}

void WindowActivate(void* handle) {
  auto* w = static_cast<MaNode*>(handle);
  if (!w->shown || g.active == w) return;
  if (g.active) Deactivate(g.active);
  g.active = w;
  w->active = TRUE;
  Announce(w);
}

void WindowFree(void* handle) {
  auto* w = static_cast<MaNode*>(handle);
  if (g.active == w) {
    Deactivate(w);
    g.active = nullptr;
  }
  RemoveFromRoot(w);
  w->defunct = TRUE;
  for (guint i = 0; i < w->children->len; ++i) static_cast<MaNode*>(g_ptr_array_index(w->children, i))->defunct = TRUE;
  if (g.announcing) atk_object_notify_state_change(ATK_OBJECT(w), ATK_STATE_DEFUNCT, TRUE);
  g_object_unref(w);
}

int Pump(ma_fd* out, int max, int* timeout_ms) {
  GMainContext* context = g_main_context_default();
  *timeout_ms = -1;
  if (!g_main_context_acquire(context)) return 0;
  for (int i = 0; i < kMaxPolled && g_main_context_iteration(context, FALSE); ++i) {
  }
  gint priority = 0;
  g_main_context_prepare(context, &priority);
  GPollFD fds[kMaxPolled];
  gint timeout = -1;
  const gint n = std::min(g_main_context_query(context, priority, &timeout, fds, kMaxPolled), kMaxPolled);
  for (gint i = 0; i < n; ++i) fds[i].revents = 0;
  g_main_context_check(context, priority, fds, n);  // ends the cycle; dispatched on the next pump
  g_main_context_release(context);
  int written = 0;
  for (gint i = 0; i < n && written < max; ++i) {
    int events = 0;
    if (fds[i].events & (G_IO_IN | G_IO_PRI | G_IO_HUP | G_IO_ERR)) events |= MA_FD_READ;
    if (fds[i].events & G_IO_OUT) events |= MA_FD_WRITE;
    out[written++] = {fds[i].fd, events};
  }
  *timeout_ms = timeout;
  return written;
}

const ma_api kApi{WindowNew, WindowUpdate, WindowActivate, WindowFree, Pump};

// --- The bus ---

void StartBridge() {
  if (atk_bridge_adaptor_init(nullptr, nullptr) != 0) return;
  g_timeout_add(kRegisteredAfterMs, Registered, nullptr);
}

void GotAddress(GObject* source, GAsyncResult* result, gpointer) {
  GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, nullptr);
  if (!reply) return;  // no accessibility bus, or it did not answer in time
  const gchar* address = nullptr;
  g_variant_get(reply, "(&s)", &address);
  if (address && *address) {
    g_setenv("AT_SPI_BUS_ADDRESS", address, TRUE);
    StartBridge();
  }
  g_variant_unref(reply);
}

void GotSession(GObject*, GAsyncResult* result, gpointer) {
  g.session = g_bus_get_finish(result, nullptr);
  if (!g.session) return;
  g_dbus_connection_call(g.session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", nullptr,
                         G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NONE, kBusLookupTimeoutMs, nullptr, GotAddress,
                         nullptr);
}

gboolean StartBridgeSoon(gpointer) {
  StartBridge();
  return G_SOURCE_REMOVE;
}

void PressHook(MaNode* button) {
  MaNode* w = button->window;
  guint index = 0;
  if (g.press && w && g_ptr_array_find(w->children, button, &index)) g.press(w->token, static_cast<int>(index));
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const ma_api* mirelund_atk_init(int version, ma_press_fn press,
                                                                                  const char* app_name) {
  if (version != MA_API_VERSION || g.press) return nullptr;
  g.press = press;
  g.app_name = g_strdup(app_name);
  // Held for good: GLib wakes the owner of a context, and only it, when
  // another thread (GDBus's) hands it work.
  g_main_context_acquire(g_main_context_default());
  SetUpToolkit();
  MaSetPressHook(PressHook);
  if (g_getenv("AT_SPI_BUS_ADDRESS")) g_idle_add(StartBridgeSoon, nullptr);
  else g_bus_get(G_BUS_TYPE_SESSION, nullptr, GotSession, nullptr);
  return &kApi;
}
