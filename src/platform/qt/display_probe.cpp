#include "platform/qt/display_probe.h"

#include <xcb/xcb.h>

namespace skein::platform {

bool DisplayCanBeOpened() {
  // xcb hands back a connection object even on failure; it has to be given back all the same.
  xcb_connection_t* connection = ::xcb_connect(nullptr, nullptr);
  const bool opened = ::xcb_connection_has_error(connection) == 0;
  ::xcb_disconnect(connection);
  return opened;
}

}  // namespace skein::platform
