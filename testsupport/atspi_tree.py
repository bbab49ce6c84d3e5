#!/usr/bin/python3
"""Prints the accessibility tree of one program's windows, one line per object:
depth, role, showing (1/0), name and text (UTF-8, newlines as \\n), the text's attributes
("name=value" joined by ";", sorted), the extents on the screen ("x,y,width,height") and the
description (a control's hint), tab-separated.

Usage: atspi_tree.py PID   (DBUS_SESSION_BUS_ADDRESS names the session with the AT-SPI bus)
"""
import sys

import dbus

ACC = "org.a11y.atspi.Accessible"
STATE_SHOWING = 25


def esc(s):
    return str(s).replace("\\", "\\\\").replace("\n", "\\n").replace("\t", "\\t")


def main():
    pid = int(sys.argv[1])
    session = dbus.SessionBus()
    address = session.get_object("org.a11y.Bus", "/org/a11y/bus").GetAddress(dbus_interface="org.a11y.Bus")
    bus = dbus.bus.BusConnection(address)
    root = bus.get_object("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")
    daemon = bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")
    for name, path in root.GetChildren(dbus_interface=ACC):
        try:
            owner = daemon.GetConnectionUnixProcessID(name, dbus_interface="org.freedesktop.DBus")
        except dbus.DBusException:
            continue
        if owner == pid:
            walk(bus, name, path, 0)
            return 0
    return 1


def walk(bus, name, path, depth):
    obj = bus.get_object(name, path, introspect=False)
    props = dbus.Interface(obj, "org.freedesktop.DBus.Properties")
    try:
        label = props.Get(ACC, "Name")
        description = props.Get(ACC, "Description")
        role = obj.GetRoleName(dbus_interface=ACC)
        states = obj.GetState(dbus_interface=ACC)
        interfaces = obj.GetInterfaces(dbus_interface=ACC)
    except dbus.DBusException:
        return
    showing = 1 if states[STATE_SHOWING // 32] & (1 << (STATE_SHOWING % 32)) else 0
    text = ""
    attributes = ""
    if "org.a11y.atspi.Text" in interfaces:
        try:
            text = obj.GetText(0, -1, dbus_interface="org.a11y.atspi.Text")
        except dbus.DBusException:
            pass
        try:
            found = obj.GetAttributes(0, dbus_interface="org.a11y.atspi.Text")[0]
            attributes = ";".join("%s=%s" % (k, found[k]) for k in sorted(found))
        except dbus.DBusException:
            pass
    extents = ""
    if "org.a11y.atspi.Component" in interfaces:
        try:
            extents = ",".join(str(int(v)) for v in obj.GetExtents(0, dbus_interface="org.a11y.atspi.Component"))
        except dbus.DBusException:
            pass
    print("%d\t%s\t%d\t%s\t%s\t%s\t%s\t%s"
          % (depth, esc(role), showing, esc(label), esc(text), esc(attributes), extents, esc(description)))
    for child_name, child_path in obj.GetChildren(dbus_interface=ACC):
        walk(bus, child_name, child_path, depth + 1)


if __name__ == "__main__":
    sys.exit(main())
