// The ATK objects of the accessibility module: the application's root, a
// window per program window, a label or button per readable control. A node
// only holds what the launcher last told; the launcher owns the truth.
#pragma once

#include <atk/atk.h>

enum MaNodeKind { kMaRoot, kMaFrame, kMaDialog, kMaAlert, kMaLabel, kMaButton };

struct MaNode {
  AtkObject parent;
  MaNodeKind kind;
  MaNode* window;  // a child's window; null for windows and the root
  int x, y, width, height;  // windows on the screen, children in their window
  gboolean shown, enabled, active, focused, is_default, defunct;
  GPtrArray* children;  // of MaNode, owned
  gchar* key_binding;
  void* token;  // the launcher's window
};

// A new node of `kind` with a reference for the caller.
MaNode* MaNodeNew(MaNodeKind kind);
// Roles as GTK gives them, so that screen readers treat them alike.
AtkRole MaRoleOf(MaNodeKind kind);

// How often a client has read a node's states: a sign that someone listens.
guint MaStateReads();

// Pressing a button: set by the module.
using MaPressHook = void (*)(MaNode* button);
void MaSetPressHook(MaPressHook hook);
