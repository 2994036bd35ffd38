#!/usr/bin/env python3
"""The release zip and the installer each stay under 40 MB (10^6 bytes), a
download a learner on a slow line still takes; prints both sizes.

  check_release_sizes.py FILE...
"""
import os
import sys

LIMIT = 40 * 1000 * 1000


def main():
    failures = 0
    for path in sys.argv[1:]:
        size = os.path.getsize(path)
        print(f"{os.path.basename(path)}: {size} bytes ({size / 1e6:.1f} MB)")
        if size >= LIMIT:
            print(f"FAIL: {path} is not under {LIMIT} bytes")
            failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
