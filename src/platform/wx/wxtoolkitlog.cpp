#include "wxtoolkitlog.h"

#include <glib.h>

#include <cstdlib>
#include <string>

#include "desktoptrace.h"

namespace {

GLogWriterOutput Writer(GLogLevelFlags level, const GLogField* fields, gsize count, gpointer) {
  if ((level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL)) != 0) {
    return g_log_writer_standard_streams(level, fields, count, nullptr);
  }
  // Debugging chatter is dropped, as the toolkit's own writer does.
  if (DesktopTraceOn() && (level & (G_LOG_LEVEL_DEBUG | G_LOG_LEVEL_INFO)) == 0) {
    std::string domain, message;
    for (gsize i = 0; i < count; ++i) {
      std::string key = fields[i].key;
      const char* value = static_cast<const char*>(fields[i].value);
      if (value == nullptr || fields[i].length > 0) continue;  // only NUL-ended texts
      if (key == "GLIB_DOMAIN") domain = value;
      if (key == "MESSAGE") message = value;
    }
    DesktopTrace("toolkit " + domain + ": " + TraceEscape(message));
  }
  return G_LOG_WRITER_HANDLED;
}

}  // namespace

void KeepToolkitWarningsOffTerminal() {
  static bool done = false;
  if (done) return;
  done = true;
  const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if ((bus == nullptr || *bus == '\0') && std::getenv("GSETTINGS_BACKEND") == nullptr) {
    setenv("GSETTINGS_BACKEND", "memory", 0);
  }
  g_log_set_writer_func(Writer, nullptr, nullptr);
}
