"""Fretly driven as assistive technology drives it, over AT-SPI: the editing pane found by
role and name, keys typed, and after each the caret, the line under it, the words for the
cursor's place and the events a screen reader receives; then the menus, the toolbar, the
status bar and the dialogs walked for names. Usage: atspi_test.py <fretly>."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from atspi_session import Session, role, states, walk, wait_for, pyatspi  # noqa: E402

DASHES = '-' * 78 + '\n'
failures = []
checks = [0]


def check(condition, message):
    checks[0] += 1
    if not condition:
        failures.append(message)
        print('FAILED: ' + message, flush=True)
    return condition


def line_at_caret(text):
    line, _, _ = text.getTextAtOffset(text.caretOffset, pyatspi.TEXT_BOUNDARY_LINE_START)
    return line


def file_information_dialog(s):
    dialog = s.find('the file information dialog',
                    lambda o: role(o) == 'dialog' and o.name == 'Fretly - File Information', 60)
    fields = walk(dialog, lambda o: role(o) == 'text')
    names = sorted(f.name for f in fields)
    check(names == sorted(['Artist/Author:', 'Title:', 'Album:', 'Transcribed by:', 'Email Address:',
                           'Comments:']), 'the six fields are named by their labels: %s' % names)
    for field in fields:
        labelled = [r for r in field.getRelationSet() if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
        check(labelled and labelled[0].getTarget(0).name == field.name,
              'field %r tells which label names it' % field.name)
    check(walk(dialog, lambda o: role(o) == 'check box' and o.name == 'Insert Fair-Use Disclaimer'),
          'the fair-use check box is named')
    intro = walk(dialog, lambda o: role(o) == 'label' and o.name.startswith('Edit the file information'))
    check(intro, 'the dialog reads its instructions')
    cancel = walk(dialog, lambda o: role(o) == 'push button' and o.name == 'Cancel')[0]
    cancel.queryAction().doAction(0)


class Pane:
    """The editing pane and what arrives from it."""

    def __init__(self, s):
        self.s = s
        self.obj = s.find('the pane as a text object named Tablature',
                          lambda o: role(o) == 'text' and o.name == 'Tablature')
        self.text = self.obj.queryText()

    def press(self, *keys, expect='object:property-change:accessible-description'):
        """Types keys and waits for the event each last key brings."""
        self.s.events.clear()
        self.s.key(*keys)
        wait_for('%s after %s' % (expect, ' '.join(keys)),
                 lambda: self.s.events_of(expect, self.obj), 20)
        # The events of one key come together; let the rest of them in.
        wait_for('the description after %s' % ' '.join(keys),
                 lambda: self.s.events_of('object:property-change:accessible-description', self.obj), 20)
        return self.obj.description

    def said(self):
        """The description as the last event carried it (the text, where AT-SPI allows it)."""
        changes = self.s.events_of('object:property-change:accessible-description', self.obj)
        data = changes[-1][3]
        return data if isinstance(data, str) else self.obj.description


def edit_and_read(s):
    pane = Pane(s)
    wait_for('the pane to have the focus', lambda: pyatspi.STATE_FOCUSED in states(pane.obj), 20)
    check({pyatspi.STATE_FOCUSABLE, pyatspi.STATE_EDITABLE, pyatspi.STATE_MULTI_LINE} <= states(pane.obj),
          'the pane is focusable, editable and multi-line')
    check(pane.obj.description == 'staff 1 of 1, high E string, column 1: empty',
          'the description says where the cursor is: %r' % pane.obj.description)
    check(pane.text.characterCount == 554, 'one staff is eight lines: %d' % pane.text.characterCount)
    check(pane.text.caretOffset == 1 and line_at_caret(pane.text) == DASHES, 'the caret is on the top line')

    check(pane.press('Right') == 'high E string, column 2: empty', 'Right: %r' % pane.obj.description)
    check(pane.said() == 'high E string, column 2: empty', 'the event carries the words: %r' % pane.said())
    check(s.events_of('object:text-caret-moved', pane.obj)[-1][1] == 2, 'a caret event for the move')

    pane.press('1', '2', expect='object:text-changed:insert')
    # The second digit's events may still be on their way when the first one's are in.
    told = lambda: ''.join(e[3] for e in s.events_of('object:text-changed:insert', pane.obj))
    wait_for('the second digit told as inserted', lambda: told() == '12', 20)
    inserted = told()
    check(inserted == '12', 'typing tells the text inserted: %r' % inserted)
    check(line_at_caret(pane.text) == '--12' + '-' * 74 + '\n', 'the line reads the number')
    check(pane.press('Left') == 'high E string, column 2: 12', 'a two-digit fret is read whole: %r'
          % pane.obj.description)
    check(pane.text.caretOffset == 2, 'the caret stands on the number')

    check(pane.press('Down') == 'B string, column 3: empty', 'Down: %r' % pane.obj.description)
    check(pane.text.caretOffset == 79 + 3, 'the caret is on the B string line')
    check(pane.press('Up') == 'high E string, column 2: 12', 'Up: %r' % pane.obj.description)
    caret_events = len(s.events_of('object:text-caret-moved'))
    check(pane.press('Up') == 'high E string, column 2: 12', 'a refused Up says the place again')
    check(pane.said() == 'high E string, column 2: 12', 'the repeat carries the words')
    check(pane.text.caretOffset == 2, 'a refused move leaves the caret')
    del caret_events

    check(pane.press('ctrl+a', expect='object:text-changed:insert') ==
          'staff 2 of 2, high E string, column 1: empty', 'Insert Staff: %r' % pane.obj.description)
    insert = s.events_of('object:text-changed:insert', pane.obj)[-1]
    check(insert[1] == 554 and insert[2] == 554, 'the new staff is told as 554 characters at 554')
    check(s.events_of('object:property-change:accessible-value', pane.obj), 'the staff number is a value event')
    check(pane.obj.queryValue().currentValue == 2 and pane.obj.queryValue().maximumValue == 2,
          'the value is the staff, of the staff count')
    check(pane.text.characterCount == 2 * 554, 'the text grew by a staff')

    pane.press('Down', 'Down', 'Down', 'Down', 'Down', 'Down')
    pane.press('A', 'm', 'Left', 'Left')
    check(pane.obj.description == 'text row, column 1: Am', 'the text row: %r' % pane.obj.description)
    pane.press('Up')
    pane.press('5', 'h', '7', 'Left', 'Left')
    check(pane.obj.description == 'low E string, column 2: 5h7', 'a run of marks: %r' % pane.obj.description)
    pane.press('Right', 'Right', 'Right', 'bar', 'Left', 'Left')
    check(pane.obj.description == 'low E string, column 5: bar line', 'a bar line: %r' % pane.obj.description)
    line, start, end = pane.text.getTextAtOffset(pane.text.caretOffset, pyatspi.TEXT_BOUNDARY_LINE_START)
    check(line == '-5h7-|' + '-' * 72 + '\n' and start == 554 + 5 * 79, 'the line under the caret: %r' % line)
    check(pane.text.getText(554 + 6 * 79, 554 + 6 * 79 + 4) == ' Am ', 'a range reads as it stands')
    return pane


def walk_the_window(s, pane):
    frame = s.find('the main window', lambda o: role(o) == 'frame' and o.name.endswith('- Fretly'))
    toolbar = walk(frame, lambda o: role(o) == 'tool bar')[0]
    buttons = walk(toolbar, lambda o: role(o) in ('push button', 'toggle button'))
    names = [b.name for b in buttons]
    check(names == ['New', 'Open', 'Save', 'File Info', 'New Staff', 'Vertical Bar', 'Delete Staff',
                    'Insert Column', 'Delete Column', 'Move Down', 'Merge Up', 'Print', 'About'],
          'the 13 toolbar buttons are named by their tool tips: %s' % names)
    unnamed = walk(frame, lambda o: role(o) in ('push button', 'check box', 'menu item', 'menu', 'label',
                                                'text', 'tool bar', 'status bar') and not o.name
                   and pyatspi.STATE_SHOWING in states(o))
    check(not unnamed, 'every control shown is named: %s' % [role(o) for o in unnamed])
    menus = [m.name for m in walk(frame, lambda o: role(o) == 'menu item' and o.parent is not None
                                  and role(o.parent) == 'menu bar')]
    check(menus == ['File', 'Edit', 'Help'], 'the menus: %s' % menus)
    items = [m.name.split('\t')[0] for m in walk(frame, lambda o: role(o) == 'menu item')]
    for item in ('New', 'Open...', 'Save', 'Print...', 'Insert Column', 'Insert Staff', 'Tab Hints',
                 'About fretly...'):
        check(item in items, 'menu item %r is there' % item)
    status = walk(frame, lambda o: role(o) == 'status bar')
    check(status and status[0].name, 'the status bar is named')
    panes = [o.name for o in walk(status[0], lambda o: role(o) in ('label', 'static'))] if status else []
    check('Ready' in panes, 'the status bar reads Ready: %s' % panes)
    for key in ('CAP', 'NUM', 'SCRL'):
        check(any(p in (key + ' on', key + ' off') for p in panes), 'the %s indicator reads on or off' % key)

    hints = s.find('the Tablature Hints window', lambda o: role(o) == 'dialog' and o.name == 'Tablature Hints')
    rows = [o.name for o in walk(hints, lambda o: role(o) == 'label')]
    check('h: Hammer On' in rows and 'without shifting to the right' in rows and
          not any('\t' in r for r in rows), 'the hints read as words: %s' % rows)


def dialogs(s, pane):
    frame = s.find('the main window', lambda o: role(o) == 'frame' and o.name.endswith('- Fretly'))
    # A modal box runs its own loop inside a click, so AT-SPI's click would wait for the box
    # to close: the menus are opened from the keyboard, as a screen-reader user does.
    s.key('alt+h')
    s.find('the Help menu open', lambda o: role(o) == 'menu item' and o.name.startswith('About fretly')
           and pyatspi.STATE_SHOWING in states(o))
    s.key('a')
    box = s.find('the About box', lambda o: role(o) == 'dialog' and o.name == 'About fretly')
    texts = [o.name for o in walk(box, lambda o: role(o) == 'label')]
    check('Fretly Version 1.0' in texts and any(t.startswith('Fretly is free software') for t in texts),
          'the About box reads its text: %s' % texts)
    check(walk(box, lambda o: role(o) == 'push button' and o.name == 'Tablature Hints'), 'its button is named')
    unnamed = walk(box, lambda o: role(o) not in ('filler', 'panel') and not o.name)
    check(not unnamed, 'nothing in the About box is unnamed: %s' % [role(o) for o in unnamed])
    walk(box, lambda o: role(o) == 'push button' and o.name == 'OK')[0].queryAction().doAction(0)
    wait_for('the About box to close', lambda: not walk(s.app, lambda o: role(o) == 'dialog'
                                                         and o.name == 'About fretly'))

    s.key('alt+e')
    s.find('the Edit menu open', lambda o: role(o) == 'menu item' and o.name == 'Delete Staff'
           and pyatspi.STATE_SHOWING in states(o))
    s.key('Up', 'Return')
    question = s.find('the Delete Staff question', lambda o: role(o) in ('alert', 'dialog') and walk(
        o, lambda t: 'Are you sure you want to delete this staff?' in (t.name or '')))
    check(walk(question, lambda o: role(o) == 'push button' and o.name == 'Yes') and
          walk(question, lambda o: role(o) == 'push button' and o.name == 'No'), 'the answers are named')
    walk(question, lambda o: role(o) == 'push button' and o.name == 'No')[0].queryAction().doAction(0)
    wait_for('the question to close', lambda: not walk(s.app, lambda o: role(o) in ('alert', 'dialog') and walk(
        o, lambda t: 'Are you sure' in (t.name or ''))))
    check(pane.text.characterCount == 2 * 554, 'No keeps the staff')


def main():
    s = Session(sys.argv[1])
    try:
        s.start_display()
        s.enable_accessibility()
        s.listen('object:text-caret-moved', 'object:text-changed', 'object:property-change:accessible-description',
                 'object:property-change:accessible-value', 'object:state-changed:focused')
        s.start_fretly()
        file_information_dialog(s)
        pane = edit_and_read(s)
        walk_the_window(s, pane)
        dialogs(s, pane)
    except AssertionError as error:
        failures.append(str(error))
        print('FAILED: %s' % error, flush=True)
    finally:
        s.stop()
    print('%d passed, %d failed' % (checks[0] - len(failures), len(failures)), flush=True)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
