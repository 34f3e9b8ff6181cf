"""Checks the core's upper-case table against Python's full Unicode case mapping.

Every code point whose str.upper() consists of ASCII letters only must be in the table with
exactly that mapping, and nothing else may be.
"""

import subprocess
import sys


def expected():
    table = {}
    for cp in range(0x110000):
        if 0xD800 <= cp < 0xE000:
            continue
        upper = chr(cp).upper()
        if upper.isascii() and upper.isalpha():
            table[cp] = upper
    return table


def actual(executable):
    out = subprocess.run([executable], check=True, capture_output=True, text=True).stdout
    table = {}
    for line in out.splitlines():
        cp, mapped = line.split()
        table[int(cp, 16)] = mapped
    return table


def main():
    want, got = expected(), actual(sys.argv[1])
    missing = {hex(k): v for k, v in want.items() if got.get(k) != v}
    extra = {hex(k): v for k, v in got.items() if k not in want}
    if missing or extra:
        print("missing or wrong:", missing)
        print("not expected:", extra)
        return 1
    print(f"{len(got)} code points map to ASCII letters, as Python's str.upper() says")
    return 0


if __name__ == "__main__":
    sys.exit(main())
