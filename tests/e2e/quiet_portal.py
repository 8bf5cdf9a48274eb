#!/usr/bin/python3
# The desktop's settings portal on the session bus, for a desktop whose event sounds start
# switched off: Read answers event-sounds with the switch, wrapped as the portal wraps it, a
# variant in a variant, and finds no other setting. It prints "ready" once it owns its name; each
# line "on" or "off" on its input turns the switch and says so with SettingChanged, as the portal
# does when the user turns it.
import sys

from gi.repository import Gio, GLib

XML = ('<node><interface name="org.freedesktop.portal.Settings"><method name="Read"><arg '
       'type="s"/><arg type="s"/><arg type="v" direction="out"/></method></interface></node>')
SETTING = ("org.gnome.desktop.sound", "event-sounds")
PATH, INTERFACE = "/org/freedesktop/portal/desktop", "org.freedesktop.portal.Settings"
sounds = False


def read(bus, sender, path, interface, method, arguments, call):
    if arguments.unpack() != SETTING:
        return call.return_dbus_error("org.freedesktop.portal.Error.NotFound", "no such setting")
    call.return_value(GLib.Variant("(v)", (GLib.Variant("v", GLib.Variant("b", sounds)),)))


def turn(source, condition):
    global sounds
    line = sys.stdin.readline()
    sounds = line.strip() == "on"
    bus.emit_signal(None, PATH, INTERFACE, "SettingChanged",
                    GLib.Variant("(ssv)", (*SETTING, GLib.Variant("b", sounds))))
    bus.flush_sync()
    print("turned", flush=True)
    return bool(line)


bus = Gio.bus_get_sync(Gio.BusType.SESSION)
bus.register_object(PATH, Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0], read)
Gio.bus_own_name_on_connection(bus, "org.freedesktop.portal.Desktop", 0,
                               lambda *_: print("ready", flush=True), None)
GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, turn)
GLib.MainLoop().run()
