#!/usr/bin/env python3
"""Runs the bundle's Turtle through Debian's lv2_validate. The framework's TTL
generator produces a few errors of its own, listed here and matched exactly;
any other error, or a validator that did not run, fails."""

import glob
import os
import re
import subprocess
import sys

# (message, a term of the offending statement)
KNOWN_FRAMEWORK_ERRORS = [
    # The generator puts doap:maintainer and doap:release on the plug-in, which is not typed doap:Project.
    ("Subject not in domain <http://usefulinc.com/ns/doap#Project>", "http://usefulinc.com/ns/doap#maintainer"),
    ("Subject not in domain <http://usefulinc.com/ns/doap#Project>", "http://usefulinc.com/ns/doap#release"),
    # ui:noUserResize is a feature, written as extension data.
    ("Object not in range <http://lv2plug.in/ns/lv2core#ExtensionData>", "http://lv2plug.in/ns/extensions/ui#noUserResize"),
    # opts:interface is extension data, written as an optional feature.
    ("Object not in range <http://lv2plug.in/ns/lv2core#Feature>", "http://lv2plug.in/ns/ext/options#interface"),
    # The preset's Program property is used without being defined or labelled.
    ("Use of undefined property", ":Program"),
    ("Property <https://brackenfold.com/plugins/ortholume:Program> has no label", ":Program"),
]


def main():
    bundle = sys.argv[1]
    ttls = sorted (glob.glob (os.path.join (bundle, "*.ttl")))
    if not ttls:
        print ("no Turtle files in", bundle)
        return 1

    result = subprocess.run (["lv2_validate"] + ttls, capture_output=True, text=True, timeout=60)
    output = result.stdout + result.stderr
    print (output)

    if not re.search (r"^Found \d+ errors? among", output, re.MULTILINE):
        print ("lv2_validate did not report a result")
        return 1

    # Each error is a message line followed by the statement's terms, indented.
    errors, current = [], None
    for line in output.splitlines():
        if line.startswith ("error: "):
            current = [line[len ("error: "):].strip()]
            errors.append (current)
        elif current is not None and line.startswith ("       "):
            current.append (line.strip())
        elif current is not None and not line.strip():
            continue
        else:
            current = None

    unexpected = [e for e in errors
                  if not any (e[0] == message and any (term in t for t in e[1:])
                              for message, term in KNOWN_FRAMEWORK_ERRORS)]

    for error in unexpected:
        print ("unexpected:", " | ".join (error))

    print ("%d errors, %d of them the framework's known ones, %d unexpected"
           % (len (errors), len (errors) - len (unexpected), len (unexpected)))
    return 1 if unexpected else 0


if __name__ == "__main__":
    sys.exit (main())
