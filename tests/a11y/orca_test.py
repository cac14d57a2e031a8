"""Orca itself reads Fretly: the screen reader runs in the session with its speech written
to its debug log, and after a few keys the log must hold the words for each place. Usage:
orca_test.py <fretly>."""
import os
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from atspi_session import Session, skip  # noqa: E402


class OrcaLog:
    def __init__(self, path):
        self.path = path

    def spoken(self):
        try:
            with open(self.path, errors='replace') as log:
                text = log.read()
        except FileNotFoundError:
            return []
        return re.findall(r"SPEECH OUTPUT: '([^']*)'", text)

    def wait(self, what, predicate, timeout=30.0):
        end = time.monotonic() + timeout
        while True:
            spoken = self.spoken()
            if predicate(spoken):
                return spoken
            if time.monotonic() > end:
                raise AssertionError('timed out after %.0f s waiting for Orca to say %s; it said: %s'
                                     % (timeout, what, spoken[-12:]))
            time.sleep(0.05)

    def wait_said(self, words, after, timeout=30.0):
        """Waits for words said after the first `after` utterances; returns the count."""
        spoken = self.wait(repr(words), lambda said: any(words in u for u in said[after:]), timeout)
        return spoken


def main():
    if shutil.which('orca') is None:
        skip('orca is not installed')
    s = Session(sys.argv[1])
    failures = []
    passed = 0
    try:
        s.start_display()
        s.enable_accessibility()
        log = OrcaLog(os.path.join(s.tmp, 'orca.log'))
        prefs = os.path.join(s.tmp, 'orca-prefs')
        os.makedirs(prefs)
        orca_out = open(os.path.join(s.tmp, 'orca.out'), 'w')
        wrapper = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'orca_line_buffered.py')
        orca = subprocess.Popen(['/usr/bin/python3', wrapper, shutil.which('orca'), '--replace', '-u', prefs,
                                 '--debug-file', log.path], env=s.env,
                                stdout=orca_out, stderr=subprocess.STDOUT)
        s.procs.append(orca)
        try:
            log.wait('that it is on', lambda said: any('Screen reader on' in u for u in said), 60)
        except AssertionError as error:
            with open(os.path.join(s.tmp, 'orca.out')) as out:
                print(out.read()[-2000:], flush=True)
            skip('Orca did not start: %s' % error)
        s.start_fretly()
        log.wait('the file information dialog', lambda said: any('File Information' in u for u in said), 60)
        s.key('Escape')
        spoken = log.wait_said('Tablature text', 0, 60)
        steps = [
            (('Right',), 'high E string, column 2: empty'),
            (('1', '2', 'Left'), 'high E string, column 2: 12'),
            (('Down',), 'B string, column 3: empty'),
            (('Up',), 'high E string, column 2: 12'),
            (('Up',), 'high E string, column 2: 12'),   # refused: the place is said again
            (('ctrl+a',), 'staff 2 of 2, high E string, column 1: empty'),
        ]
        for keys, words in steps:
            before = len(spoken)
            s.key(*keys)
            try:
                spoken = log.wait_said(words, before, 30)
                passed += 1
            except AssertionError as error:
                failures.append(str(error))
                print('FAILED: after %s: %s' % (' '.join(keys), error), flush=True)
        print('Orca said after the pane took the focus:', flush=True)
        said = log.spoken()
        first = next(i for i, u in enumerate(said) if 'Tablature text' in u)
        for utterance in said[first:]:
            print('    %r' % utterance, flush=True)
    except AssertionError as error:
        failures.append(str(error))
        print('FAILED: %s' % error, flush=True)
    finally:
        s.stop()
    print('%d passed, %d failed' % (passed, len(failures)), flush=True)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
