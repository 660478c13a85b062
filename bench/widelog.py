#!/usr/bin/env python3
"""Runs the log generator genlog.py ($TREVALO_GENLOG, else ../shared/tools/genlog.py beside the
repository) with number ranges wide enough for many distinct paths.

genlog.py draws page numbers from 1..3000 and asset numbers from 1..5000; the assets then
allow at most 30,000 distinct static paths, so with --paths above about 100,000 its loop that
collects them never ends. This widens both ranges in proportion to --paths and leaves every
other draw as it is, so the output stays deterministic. Arguments are those of genlog.py.
"""
import os
import sys

GENLOG = os.environ.get("TREVALO_GENLOG") or os.path.join(
    os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))), "shared", "tools", "genlog.py")


def load_genlog():
    sys.path.insert(0, os.path.dirname(GENLOG))
    import genlog  # its main() runs only when it is started as a program
    return genlog


def widen(module):
    build_paths = module.Gen._build_paths

    def wide_build_paths(self):
        scale = max(1, self.a.paths // 2000)
        narrow = self.randint

        def randint(lo, hi):
            return narrow(lo, hi * scale if (lo, hi) in ((1, 3000), (1, 5000)) else hi)

        self.randint = randint
        try:
            build_paths(self)
        finally:
            del self.randint

    module.Gen._build_paths = wide_build_paths


if __name__ == "__main__":
    genlog = load_genlog()
    widen(genlog)
    sys.argv[0] = GENLOG
    genlog.main()
