#include "WaylandSeat.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstring>

#include <wayland-client.h>

namespace {

void NoteGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
  if (std::strcmp(interface, wl_seat_interface.name) == 0) *static_cast<bool*>(data) = true;
}

void IgnoreRemoval(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {NoteGlobal, IgnoreRemoval};

// Qt picks Wayland when asked to first, or on a Wayland session when asked
// for no platform.
bool WillRunOnWayland() {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (!platform.isEmpty()) return platform.startsWith("wayland");
  return qgetenv("XDG_SESSION_TYPE") == "wayland";
}

}  // namespace

bool CWaylandSeat::CompositorLacksSeat() {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return false;
  bool hasSeat = false;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistryListener, &hasSeat);
  // One round trip lists every global the compositor has at the start.
  const bool answered = wl_display_roundtrip(display) >= 0;
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return answered && !hasSeat;
}

bool CWaylandSeat::AvoidSeatlessInputContext() {
  if (qEnvironmentVariableIsSet("QT_IM_MODULE") || !WillRunOnWayland() || !CompositorLacksSeat()) return false;
  // A module name no plugin has: Qt then runs without an input context.
  // Keys still arrive through the seat's keyboard once a seat comes.
  qputenv("QT_IM_MODULE", "none");
  return true;
}
