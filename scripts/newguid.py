#!/usr/bin/env python3
"""Prints fresh GUID constants for hostapi/, one per name given: python3 scripts/newguid.py IID_IFoo ..."""
import sys
import uuid

for name in sys.argv[1:]:
    b = uuid.uuid4().bytes
    d4 = ", ".join("0x%02X" % x for x in b[8:])
    print(f"// {str(uuid.UUID(bytes=b)).upper()}")
    print(f"inline constexpr _IID {name} = {{0x{b[0:4].hex().upper()}, 0x{b[4:6].hex().upper()}, "
          f"0x{b[6:8].hex().upper()}, {{{d4}}}}};")
