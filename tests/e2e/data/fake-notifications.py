#!/usr/bin/python3
"""A desktop notification service for tests: owns org.freedesktop.Notifications on the
session bus it is given, answers as a real one does, and appends each notification's
application name, summary and body, tab-separated, to the file named by its argument.
Ends after 60 seconds at the latest."""
import sys

from gi.repository import Gio, GLib

XML = """
<node><interface name="org.freedesktop.Notifications">
  <method name="GetServerInformation">
    <arg type="s" direction="out"/><arg type="s" direction="out"/>
    <arg type="s" direction="out"/><arg type="s" direction="out"/>
  </method>
  <method name="GetCapabilities"><arg type="as" direction="out"/></method>
  <method name="Notify">
    <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
    <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
    <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/><arg type="u" direction="out"/>
  </method>
  <method name="CloseNotification"><arg type="u" direction="in"/></method>
</interface></node>
"""

log_path = sys.argv[1]
loop = GLib.MainLoop()


def on_call(connection, sender, path, interface, method, params, invocation):
    if method == "GetServerInformation":
        invocation.return_value(GLib.Variant("(ssss)", ("fake", "tests", "1", "1.2")))
    elif method == "GetCapabilities":
        invocation.return_value(GLib.Variant("(as)", (["body"],)))
    elif method == "Notify":
        app, _, _, summary, body = params.unpack()[:5]
        with open(log_path, "a", encoding="utf-8") as log:
            log.write(f"{app}\t{summary}\t{body}\n")
        invocation.return_value(GLib.Variant("(u)", (1,)))
    else:
        invocation.return_value(None)


def on_bus(connection, name):
    info = Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0]
    connection.register_object("/org/freedesktop/Notifications", info, on_call, None, None)


def on_name(connection, name):
    with open(log_path + ".ready", "w", encoding="utf-8"):
        pass


Gio.bus_own_name(Gio.BusType.SESSION, "org.freedesktop.Notifications", Gio.BusNameOwnerFlags.NONE,
                 on_bus, on_name, lambda *a: loop.quit())
GLib.timeout_add_seconds(60, loop.quit)
loop.run()
