"""A desktop session for assistive-technology tests: a virtual X server with a window
manager, the accessibility bus switched on as a screen reader switches it on, and Fretly
started in it with settings of its own. Every wait is bounded and says what it waited for.
Components that cannot start make the test skip (exit 77) with the reason."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import gi
gi.require_version('Atspi', '2.0')
from gi.repository import GLib  # noqa: E402
import pyatspi  # noqa: E402

SKIP = 77


def skip(reason):
    print('SKIPPED: ' + reason, flush=True)
    sys.exit(SKIP)


def pump(seconds):
    """Lets AT-SPI events arrive for a while."""
    ctx = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while ctx.iteration(False):
            pass
        time.sleep(0.005)


def wait_for(what, predicate, timeout=20.0):
    """Pumps events until predicate() is true; fails naming what it waited for."""
    ctx = GLib.MainContext.default()
    end = time.monotonic() + timeout
    while True:
        while ctx.iteration(False):
            pass
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError('timed out after %.0f s waiting for %s' % (timeout, what))
        time.sleep(0.01)


def walk(obj, predicate, found=None):
    found = [] if found is None else found
    try:
        if predicate(obj):
            found.append(obj)
        for i in range(obj.childCount):
            child = obj.getChildAtIndex(i)
            if child is not None:
                walk(child, predicate, found)
    except Exception:  # objects go away while being walked (a dialog closing)
        pass
    return found


def role(obj):
    try:
        return obj.getRoleName()
    except Exception:
        return ''


def states(obj):
    return set(obj.getState().getStates())


class Session:
    def __init__(self, fretly):
        self.fretly = fretly
        self.procs = []
        self.tmp = tempfile.mkdtemp(prefix='fretly-a11y-')
        self.env = dict(os.environ)
        for var in ('XDG_CONFIG_HOME', 'XDG_DATA_HOME', 'XDG_STATE_HOME', 'XDG_CACHE_HOME'):
            path = os.path.join(self.tmp, var.lower())
            os.makedirs(path)
            self.env[var] = path
        for var in ('FRETLY_TEST_KEYS', 'FRETLY_TEST_ANSWERS', 'QT_QPA_PLATFORM', 'WAYLAND_DISPLAY',
                    'QT_LINUX_ACCESSIBILITY_ALWAYS_ON', 'AT_SPI_BUS_ADDRESS'):
            self.env.pop(var, None)
        self.events = []

    # --- the desktop -------------------------------------------------------------------
    def start_display(self):
        if shutil.which('Xvfb') is None:
            skip('Xvfb is not installed')
        read_fd, write_fd = os.pipe()
        proc = subprocess.Popen(['Xvfb', '-displayfd', str(write_fd), '-screen', '0', '1280x1024x24',
                                 '-nolisten', 'tcp'], pass_fds=(write_fd,),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        self.procs.append(proc)
        number = b''
        end = time.monotonic() + 30
        os.set_blocking(read_fd, False)
        while not number.endswith(b'\n'):
            if proc.poll() is not None or time.monotonic() > end:
                skip('Xvfb did not start (waited 30 s for its display number)')
            try:
                chunk = os.read(read_fd, 16)
                number += chunk
            except BlockingIOError:
                time.sleep(0.02)
        os.close(read_fd)
        display = ':' + number.decode().strip()
        self.env['DISPLAY'] = display
        os.environ['DISPLAY'] = display
        # A window manager, so windows are activated and focus is told as on a desktop.
        if shutil.which('openbox'):
            self.procs.append(subprocess.Popen(['openbox'], env=self.env, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL))
            self.wait_process('openbox to manage the screen', lambda: subprocess.run(
                ['xprop', '-root', '_NET_SUPPORTING_WM_CHECK'], env=self.env, capture_output=True,
                text=True).stdout.count('window id') > 0 if shutil.which('xprop') else True, timeout=120.0)

    def wait_process(self, what, predicate, timeout=30.0):
        end = time.monotonic() + timeout
        while not predicate():
            if time.monotonic() > end:
                raise AssertionError('timed out after %.0f s waiting for %s' % (timeout, what))
            time.sleep(0.05)

    def enable_accessibility(self):
        """What a screen reader does when it starts: the bus says it is wanted."""
        result = subprocess.run(['dbus-send', '--session', '--print-reply', '--dest=org.a11y.Bus',
                                 '/org/a11y/bus', 'org.freedesktop.DBus.Properties.Set',
                                 'string:org.a11y.Status', 'string:IsEnabled', 'variant:boolean:true'],
                                capture_output=True, text=True, timeout=30)
        if result.returncode != 0:
            skip('the accessibility bus of at-spi2-core did not start: ' + result.stderr.strip())
        try:
            self.desktop = pyatspi.Registry.getDesktop(0)
        except Exception as error:
            skip('the AT-SPI registry is not reachable: %s' % error)

    # --- Fretly --------------------------------------------------------------------------
    def start_fretly(self, *args):
        # Qt asks the session bus once, as the program starts, whether assistive technology
        # is on and where its bus is, and never asks again: an answer lost or late on a
        # loaded machine leaves the program off the bus for its whole life. So a start that
        # never shows up is told with what the bus says, and the program is started once
        # more, as a user would; a second start that does not show up fails the test.
        for attempt in (1, 2):
            self.fretly_log = open(os.path.join(self.tmp, 'fretly-%d.log' % attempt), 'w')
            self.fretly_proc = subprocess.Popen([self.fretly, *args], env=self.env, stdout=self.fretly_log,
                                                stderr=subprocess.STDOUT)
            self.procs.append(self.fretly_proc)
            try:
                self.app = wait_for('Fretly on the accessibility bus', self.find_app, 60 * attempt)
                return self.app
            except AssertionError:
                self.fretly_log.flush()
                with open(self.fretly_log.name, errors='replace') as log:
                    print('Fretly said: ' + log.read()[-2000:], flush=True)
                print('The accessibility bus says: ' + self.bus_state(), flush=True)
                if attempt == 2:
                    raise
                print('Fretly was not on the accessibility bus 60 s after its start; starting it once more',
                      flush=True)
                self.fretly_proc.terminate()
                try:
                    self.fretly_proc.wait(timeout=30)
                except subprocess.TimeoutExpired:
                    self.fretly_proc.kill()
                    self.fretly_proc.wait()
        return None

    def bus_state(self):
        """What a late start can be checked against: the switch and the registered programs."""
        result = subprocess.run(['dbus-send', '--session', '--print-reply', '--dest=org.a11y.Bus', '/org/a11y/bus',
                                 'org.freedesktop.DBus.Properties.Get', 'string:org.a11y.Status',
                                 'string:IsEnabled'], capture_output=True, text=True, timeout=30)
        enabled = (result.stdout.split()[-1] if result.returncode == 0 and result.stdout.split()
                   else result.stderr.strip())
        try:
            names = [self.desktop.getChildAtIndex(i).name for i in range(self.desktop.childCount)]
        except Exception as error:
            names = ['(the registry did not answer: %s)' % error]
        return 'IsEnabled %s; registered: %s' % (enabled, names)

    def find_app(self):
        if self.fretly_proc.poll() is not None:
            raise AssertionError('Fretly ended early with status %s' % self.fretly_proc.returncode)
        for i in range(self.desktop.childCount):
            app = self.desktop.getChildAtIndex(i)
            try:
                if app is not None and app.get_process_id() == self.fretly_proc.pid:
                    return app
            except Exception:
                pass
        return None

    def find(self, what, predicate, timeout=20.0):
        return wait_for(what, lambda: (walk(self.app, predicate) or [None])[0], timeout)

    def listen(self, *event_types):
        def record(event):
            try:
                data = event.any_data
            except Exception:
                data = None
            self.events.append((event.type, event.detail1, event.detail2, data, event.source))
        self._listener = record
        for event_type in event_types:
            pyatspi.Registry.registerEventListener(record, event_type)

    def events_of(self, prefix, source=None):
        return [e for e in self.events if e[0].startswith(prefix) and (source is None or e[4] == source)]

    def key(self, *keys):
        subprocess.run(['xdotool', 'key', '--delay', '30', *keys], env=self.env, check=True, timeout=30)

    def stop(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        shutil.rmtree(self.tmp, ignore_errors=True)
