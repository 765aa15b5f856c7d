/* The narrow C interface between the launcher and its accessibility module
 * libmirelund-atk.so, which it loads at run time from its own folder. The
 * launcher links neither ATK nor GLib: where the module or a library it
 * needs is missing, it goes on without accessibility. All strings are UTF-8
 * and copied by the module; every call comes from the one UI thread. */
#ifndef MIRELUND_ACCESS_API_H
#define MIRELUND_ACCESS_API_H

#ifdef __cplusplus
extern "C" {
#endif

#define MA_API_VERSION 1
#define MA_INIT_SYMBOL "mirelund_atk_init"
#define MA_MODULE_NAME "libmirelund-atk.so"

enum { MA_ROLE_FRAME = 0, MA_ROLE_DIALOG = 1, MA_ROLE_ALERT = 2 };
enum { MA_KIND_LABEL = 0, MA_KIND_BUTTON = 1 };
/* Descriptor events, as poll(2) names them. */
enum { MA_FD_READ = 1, MA_FD_WRITE = 4 };

typedef struct ma_child {
  int kind;
  const char* name;
  const char* description; /* "" for none */
  const char* key_binding; /* "<Alt>j", "" for none */
  int x, y, width, height; /* in the window's client area, pixels */
  int is_default;
} ma_child;

typedef struct ma_window {
  int role;
  const char* name;
  int x, y, width, height; /* the client area on the screen, pixels */
  int shown;
  int modal;
  int enabled;
  int focused; /* index of the focused child, or -1 */
  const ma_child* children; /* in reading order */
  int n_children;
} ma_window;

typedef struct ma_fd {
  int fd;
  int events;
} ma_fd;

typedef struct ma_api {
  /* A new window's accessible object; `token` comes back in presses. */
  void* (*window_new)(void* token);
  /* The whole window as it is now; what changed is signalled to clients. */
  void (*window_update)(void* window, const ma_window* state);
  /* The window came up or got the keyboard: it is activated (the one
   * active before deactivated) and its focused child gets the focus. */
  void (*window_activate)(void* window);
  void (*window_free)(void* window);
  /* GLib's share of the event loop: dispatches what is due, then gives the
   * descriptors to watch (at most max) and the milliseconds to the next
   * timeout (-1: none). Returns how many descriptors it wrote. */
  int (*pump)(ma_fd* fds, int max, int* timeout_ms);
} ma_api;

/* A client pressed child `child` of the window made with `token`. Called
 * while GLib dispatches: the launcher must press it later, from its own loop. */
typedef void (*ma_press_fn)(void* token, int child);

/* Starts looking for the accessibility bus without waiting for it; null
 * where the module cannot serve this version. */
typedef const ma_api* (*ma_init_fn)(int version, ma_press_fn press, const char* app_name);

#ifdef __cplusplus
}
#endif

#endif
