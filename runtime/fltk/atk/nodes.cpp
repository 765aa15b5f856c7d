// The GObject types behind the nodes: one instance layout, four types, so
// that a label offers no action and only windows are AtkWindows.
#include "runtime/fltk/atk/nodes.h"

namespace {

using MaNodeClass = AtkObjectClass;
using MaRootNode = MaNode;
using MaRootNodeClass = MaNodeClass;
using MaWindowNode = MaNode;
using MaWindowNodeClass = MaNodeClass;
using MaButtonNode = MaNode;
using MaButtonNodeClass = MaNodeClass;

MaPressHook g_press = nullptr;
guint g_state_reads = 0;

MaNode* Node(gpointer p) { return reinterpret_cast<MaNode*>(p); }

gboolean IsWindowKind(MaNodeKind k) { return k == kMaFrame || k == kMaDialog || k == kMaAlert; }

// --- AtkObject ---

gint GetNChildren(AtkObject* obj) {
  MaNode* n = Node(obj);
  return n->children ? static_cast<gint>(n->children->len) : 0;
}

AtkObject* RefChild(AtkObject* obj, gint i) {
  MaNode* n = Node(obj);
  if (!n->children || i < 0 || static_cast<guint>(i) >= n->children->len) return nullptr;
  return ATK_OBJECT(g_object_ref(g_ptr_array_index(n->children, i)));
}

gint GetIndexInParent(AtkObject* obj) {
  AtkObject* parent = atk_object_get_parent(obj);
  if (!parent || !G_TYPE_CHECK_INSTANCE_TYPE(parent, ATK_TYPE_OBJECT)) return -1;
  MaNode* p = Node(parent);
  guint index = 0;
  if (p->children && g_ptr_array_find(p->children, obj, &index)) return static_cast<gint>(index);
  return -1;
}

AtkStateSet* RefStateSet(AtkObject* obj) {
  MaNode* n = Node(obj);
  ++g_state_reads;
  AtkStateSet* set = atk_state_set_new();
  if (n->defunct) {
    atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
    return set;
  }
  if (n->kind == kMaRoot) return set;
  const MaNode* w = IsWindowKind(n->kind) ? n : n->window;
  const gboolean shown = w && w->shown, enabled = w && w->enabled;
  atk_state_set_add_state(set, ATK_STATE_VISIBLE);
  if (shown) atk_state_set_add_state(set, ATK_STATE_SHOWING);
  if (n->kind == kMaLabel || enabled) {
    atk_state_set_add_state(set, ATK_STATE_ENABLED);
    atk_state_set_add_state(set, ATK_STATE_SENSITIVE);
  }
  switch (n->kind) {
    case kMaDialog:
    case kMaAlert:
      atk_state_set_add_state(set, ATK_STATE_MODAL);
      [[fallthrough]];
    case kMaFrame:
      if (n->active) atk_state_set_add_state(set, ATK_STATE_ACTIVE);
      break;
    case kMaButton:
      atk_state_set_add_state(set, ATK_STATE_FOCUSABLE);
      if (n->focused) atk_state_set_add_state(set, ATK_STATE_FOCUSED);
      if (n->is_default) atk_state_set_add_state(set, ATK_STATE_DEFAULT);
      break;
    default:
      break;
  }
  return set;
}

// --- AtkComponent ---

void GetExtents(AtkComponent* component, gint* x, gint* y, gint* width, gint* height, AtkCoordType coords) {
  MaNode* n = Node(component);
  gint left = n->x, top = n->y;
  if (IsWindowKind(n->kind)) {
    if (coords == ATK_XY_WINDOW) left = top = 0;
  } else if (n->window && coords == ATK_XY_SCREEN) {
    left += n->window->x;
    top += n->window->y;
  }
  if (x) *x = left;
  if (y) *y = top;
  if (width) *width = n->width;
  if (height) *height = n->height;
}

AtkLayer GetLayer(AtkComponent* component) {
  return IsWindowKind(Node(component)->kind) ? ATK_LAYER_WINDOW : ATK_LAYER_WIDGET;
}

void InitComponent(AtkComponentIface* iface) {
  iface->get_extents = GetExtents;
  iface->get_layer = GetLayer;
}

// --- AtkAction: a button's one action ---

gint GetNActions(AtkAction*) { return 1; }

gboolean DoAction(AtkAction* action, gint i) {
  MaNode* n = Node(action);
  if (i != 0 || n->defunct || !n->window || !n->window->shown || !n->window->enabled || !g_press) return FALSE;
  g_press(n);
  return TRUE;
}

const gchar* GetActionName(AtkAction*, gint i) { return i == 0 ? "click" : nullptr; }

const gchar* GetKeybinding(AtkAction* action, gint i) {
  MaNode* n = Node(action);
  return i == 0 && n->key_binding && *n->key_binding ? n->key_binding : nullptr;
}

const gchar* GetActionDescription(AtkAction*, gint i) { return i == 0 ? "Clicks the button" : nullptr; }

void InitAction(AtkActionIface* iface) {
  iface->get_n_actions = GetNActions;
  iface->do_action = DoAction;
  iface->get_name = GetActionName;
  iface->get_keybinding = GetKeybinding;
  iface->get_description = GetActionDescription;
}

void InitWindow(AtkWindowIface*) {}  // signals only

}  // namespace

G_DEFINE_TYPE_WITH_CODE(MaNode, ma_node, ATK_TYPE_OBJECT, G_IMPLEMENT_INTERFACE(ATK_TYPE_COMPONENT, InitComponent))
G_DEFINE_TYPE(MaRootNode, ma_root_node, ma_node_get_type())
G_DEFINE_TYPE_WITH_CODE(MaWindowNode, ma_window_node, ma_node_get_type(),
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_WINDOW, InitWindow))
G_DEFINE_TYPE_WITH_CODE(MaButtonNode, ma_button_node, ma_node_get_type(),
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_ACTION, InitAction))

namespace {

void Finalize(GObject* obj) {
  MaNode* n = Node(obj);
  if (n->children) g_ptr_array_unref(n->children);
  g_free(n->key_binding);
  G_OBJECT_CLASS(ma_node_parent_class)->finalize(obj);
}

}  // namespace

static void ma_node_class_init(MaNodeClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = Finalize;
  klass->get_n_children = GetNChildren;
  klass->ref_child = RefChild;
  klass->get_index_in_parent = GetIndexInParent;
  klass->ref_state_set = RefStateSet;
}
static void ma_node_init(MaNode* n) { n->children = g_ptr_array_new_with_free_func(g_object_unref); }
static void ma_root_node_class_init(MaRootNodeClass*) {}
static void ma_root_node_init(MaRootNode*) {}
static void ma_window_node_class_init(MaWindowNodeClass*) {}
static void ma_window_node_init(MaWindowNode*) {}
static void ma_button_node_class_init(MaButtonNodeClass*) {}
static void ma_button_node_init(MaButtonNode*) {}

AtkRole MaRoleOf(MaNodeKind kind) {
  switch (kind) {
    case kMaRoot: return ATK_ROLE_APPLICATION;
    case kMaFrame: return ATK_ROLE_FRAME;
    case kMaDialog: return ATK_ROLE_DIALOG;
    case kMaAlert: return ATK_ROLE_ALERT;
    case kMaLabel: return ATK_ROLE_LABEL;
    case kMaButton: return ATK_ROLE_PUSH_BUTTON;
  }
  return ATK_ROLE_UNKNOWN;
}

MaNode* MaNodeNew(MaNodeKind kind) {
  const GType type = kind == kMaRoot     ? ma_root_node_get_type()
                     : kind == kMaButton ? ma_button_node_get_type()
                     : kind == kMaLabel  ? ma_node_get_type()
                                         : ma_window_node_get_type();
  MaNode* n = Node(g_object_new(type, nullptr));
  n->kind = kind;
  ATK_OBJECT(n)->role = MaRoleOf(kind);
  return n;
}

void MaSetPressHook(MaPressHook hook) { g_press = hook; }

guint MaStateReads() { return g_state_reads; }
