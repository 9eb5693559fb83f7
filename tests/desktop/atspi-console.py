#!/usr/bin/python3
"""A screen reader's view of one talvero process, through AT-SPI.

    atspi-console.py PID buttons WINDOW      the window's buttons, tabs, boxes and links:
                                             one per line, "role|name|states"
    atspi-console.py PID press WINDOW NAME   does the "Press" action of the control named NAME
    atspi-console.py PID newest-line WINDOW  the last line of the window's transcript that has text
    atspi-console.py PID layout WINDOW       where the window and its showing controls are on the
                                             screen, "role|name|x,y,width,height" (the window's
                                             role "window"), and for each table the rows shown
                                             whole below its header: "rows|name|N"

WINDOW is a window's title. Exit status 0 on success, 1 when
the window or the control is not (yet) there, 2 when AT-SPI cannot be used.
"""
import sys

try:
    import pyatspi
except ImportError as error:
    print("pyatspi: %s" % error, file=sys.stderr)
    sys.exit(2)

CONTROLS = {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_PAGE_TAB,
            pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_LINK}
STATES = [("enabled", pyatspi.STATE_ENABLED), ("focusable", pyatspi.STATE_FOCUSABLE),
          ("checked", pyatspi.STATE_CHECKED), ("selected", pyatspi.STATE_SELECTED),
          ("showing", pyatspi.STATE_SHOWING)]


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def window(app, title):
    for child in app:
        if child is not None and child.name == title:
            return child
    return None


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def states(node):
    held = node.getState()
    return ",".join(name for name, state in STATES if held.contains(state))


def main(argv):
    if len(argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    app = application(int(argv[1]))
    top = window(app, argv[3]) if app is not None else None
    if top is None:
        print("no window %r of process %s" % (argv[3], argv[1]), file=sys.stderr)
        return 1
    command = argv[2]
    if command == "buttons":
        for node in walk(top):
            if node.getRole() in CONTROLS:
                print("%s|%s|%s" % (node.getRoleName(), node.name, states(node)))
        return 0
    if command == "press" and len(argv) == 5:
        for node in walk(top):
            if node.getRole() in CONTROLS and node.name == argv[4]:
                action = node.queryAction()
                for i in range(action.nActions):
                    if action.getName(i) == "Press":
                        return 0 if action.doAction(i) else 1
        print("no control %r to press" % argv[4], file=sys.stderr)
        return 1
    if command == "newest-line":
        for node in walk(top):
            if node.name == "Transcript":
                text = node.queryText()
                offset = text.characterCount
                # Back from the end, line by line, to the last that has text.
                while offset > 0:
                    line, start, _ = text.getTextAtOffset(offset - 1, pyatspi.TEXT_BOUNDARY_LINE_START)
                    if line.strip():
                        print(line.strip())
                        return 0
                    offset = start
                return 1
        print("no transcript", file=sys.stderr)
        return 1
    if command == "layout":
        print_layout(top)
        return 0
    print(__doc__, file=sys.stderr)
    return 2


def extents(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def whole_rows(table, scroll_bars):
    x, y, w, h = extents(table)
    bottom = y + h
    # Rows under the horizontal scroll bar are not seen.
    for bx, by, bw, bh in scroll_bars:
        if bw > bh and x <= bx < x + w and y < by < bottom:
            bottom = min(bottom, by)
    cells = table.queryTable()
    header_bottom = y
    if cells.nColumns > 0:
        header = cells.getColumnHeader(0)
        if header is not None:
            hx, hy, hw, hh = extents(header)
            header_bottom = hy + hh
    shown = 0
    for row in range(cells.nRows):
        cx, cy, cw, ch = extents(cells.getAccessibleAt(row, 0))
        if cy >= header_bottom and cy + ch <= bottom:
            shown += 1
    return shown


def print_layout(top):
    print("window|%s|%d,%d,%d,%d" % ((top.name,) + extents(top)))
    scroll_bars = [extents(n) for n in walk(top) if n.getRole() == pyatspi.ROLE_SCROLL_BAR
                   and n.getState().contains(pyatspi.STATE_SHOWING)]
    for node in walk(top):
        if not node.getState().contains(pyatspi.STATE_SHOWING):
            continue
        if node.getRole() in CONTROLS:
            print("%s|%s|%d,%d,%d,%d" % ((node.getRoleName(), node.name) + extents(node)))
        elif node.getRole() == pyatspi.ROLE_TABLE:
            print("rows|%s|%d" % (node.name, whole_rows(node, scroll_bars)))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
