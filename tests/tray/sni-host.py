#!/usr/bin/python3
"""A desktop's D-Bus side of the notification area for tests: the
StatusNotifierWatcher with a host, and a notification server. Prints one line
per event on standard output:
  REGISTER <service>
  ICON <serial> <width> <height> <file>   (each pixmap of the item's icon, raw ARGB32)
  TOOLTIP <title with line breaks as |>
  NOTIFY <summary>\t<body with line breaks as |>
Usage: sni-host.py <folder for the icon files>"""
import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
PROPERTIES = "org.freedesktop.DBus.Properties"
# Qt reads the watcher's properties through its introspection data, which
# dbus-python leaves without them.
WATCHER_XML = """<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node>
 <interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
 </interface>
 <interface name="org.freedesktop.DBus.Properties">
  <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
  <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
 </interface>
</node>"""


def say(line):
    print(line.replace("\n", "|"), flush=True)


class Watcher(dbus.service.Object):
    def __init__(self, bus, folder):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.bus = bus
        self.folder = folder
        self.items = []
        self.serial = 0

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        name = service if service.startswith(":") or "." in service else sender
        self.items.append(name)
        say("REGISTER " + name)
        self.StatusNotifierItemRegistered(name)
        for signal in ("NewIcon", "NewToolTip"):
            self.bus.add_signal_receiver(lambda *args, n=name: self.read(n), signal_name=signal,
                                         dbus_interface=ITEM, bus_name=name)
        GLib.idle_add(lambda: self.read(name) and False)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return WATCHER_XML

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
                "IsStatusNotifierHostRegistered": dbus.Boolean(True),
                "ProtocolVersion": dbus.Int32(0)}

    def read(self, name):
        try:
            item = dbus.Interface(self.bus.get_object(name, "/StatusNotifierItem"), PROPERTIES)
            self.serial += 1
            for width, height, data in item.Get(ITEM, "IconPixmap"):
                path = os.path.join(self.folder, f"icon-{self.serial}-{width}.argb")
                with open(path, "wb") as file:
                    file.write(bytes(data))
                say(f"ICON {self.serial} {width} {height} {path}")
            tooltip = item.Get(ITEM, "ToolTip")
            say("TOOLTIP " + str(tooltip[2]))
        except dbus.DBusException as error:
            say("ERROR " + str(error))
        return True


class Notifications(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.serial = 0

    @dbus.service.method("org.freedesktop.Notifications", in_signature="susssasa{sv}i",
                         out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        say("NOTIFY " + str(summary) + "\t" + str(body))
        self.serial += 1
        return self.serial

    @dbus.service.method("org.freedesktop.Notifications", out_signature="as")
    def GetCapabilities(self):
        return ["body", "body-markup", "actions"]

    @dbus.service.method("org.freedesktop.Notifications", out_signature="ssss")
    def GetServerInformation(self):
        return ("test", "nimbulon", "1", "1.2")

    @dbus.service.method("org.freedesktop.Notifications", in_signature="u")
    def CloseNotification(self, serial):
        pass


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    names = [dbus.service.BusName(WATCHER, bus),
             dbus.service.BusName("org.freedesktop.Notifications", bus)]
    objects = [Watcher(bus, sys.argv[1]), Notifications(bus)]
    say("READY")
    GLib.MainLoop().run()
    del names, objects


if __name__ == "__main__":
    main()
