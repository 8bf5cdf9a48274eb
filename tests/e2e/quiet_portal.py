#!/usr/bin/python3
# The desktop's settings portal on the session bus, for a desktop whose event sounds are switched
# off: Read answers event-sounds with false, wrapped as the portal wraps it, a variant in a
# variant, and finds no other setting. It prints "ready" once it owns its name.
from gi.repository import Gio, GLib

XML = ('<node><interface name="org.freedesktop.portal.Settings"><method name="Read"><arg '
       'type="s"/><arg type="s"/><arg type="v" direction="out"/></method></interface></node>')


def read(bus, sender, path, interface, method, arguments, call):
    if arguments.unpack() != ("org.gnome.desktop.sound", "event-sounds"):
        return call.return_dbus_error("org.freedesktop.portal.Error.NotFound", "no such setting")
    call.return_value(GLib.Variant("(v)", (GLib.Variant("v", GLib.Variant("b", False)),)))


bus = Gio.bus_get_sync(Gio.BusType.SESSION)
bus.register_object("/org/freedesktop/portal/desktop",
                    Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0], read)
Gio.bus_own_name_on_connection(bus, "org.freedesktop.portal.Desktop", 0,
                               lambda *_: print("ready", flush=True), None)
GLib.MainLoop().run()
