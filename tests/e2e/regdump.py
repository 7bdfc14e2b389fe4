"""Prints the keys below SVDEn of a .reg file that hold values, and their values.

    python3 tests/e2e/regdump.py HKLM.reg
"""
import sys

import registry_file


def main():
    registry = registry_file.parse_reg_file(sys.argv[1])
    key = None
    shown = 0
    for line in registry_file.normal_form(registry):
        if line.startswith("["):
            key = line
            continue
        if key is not None:
            print(key)
            key = None
        print("    " + line)
        shown += 1
    if shown == 0:
        print("    (no values)")


if __name__ == "__main__":
    main()
