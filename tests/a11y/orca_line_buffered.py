"""Runs Orca with its debug log written line by line instead of in blocks, so a test can
read what Orca said while it runs. Usage: orca_line_buffered.py <orca script> <orca args>."""
import builtins
import runpy
import sys

orca = sys.argv[1]
args = sys.argv[2:]
log = args[args.index('--debug-file') + 1]
real_open = builtins.open


def line_buffered_open(file, mode='r', buffering=-1, *rest, **kwargs):
    if file == log and 'w' in mode:
        buffering = 1
    return real_open(file, mode, buffering, *rest, **kwargs)


builtins.open = line_buffered_open
sys.argv = [orca, *args]
runpy.run_path(orca, run_name='__main__')
