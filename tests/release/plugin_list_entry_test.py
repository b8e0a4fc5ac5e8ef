#!/usr/bin/env python3
"""The plug-in list entry of a release zip: valid against the rules of the
editor's plug-in list for a plug-in record (the required fields, a version
of one to four numbers, a 64-digit hexadecimal id, URIs), no field the list
does not define, the id the zip's SHA-256 and the folder name the DLL's."""
import hashlib
import json
import os
import subprocess
import sys
import tempfile
import zipfile

import jsonschema

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SCRIPT = os.path.join(ROOT, "scripts", "lib", "plugin-list-entry.py")

# A plug-in record of the list, as its published schema defines it.
RECORD = {
    "type": "object",
    "required": ["folder-name", "display-name", "version", "id", "repository", "description", "author", "homepage"],
    "additionalProperties": False,
    "properties": {
        "folder-name": {"type": "string", "minLength": 1},
        "display-name": {"type": "string", "minLength": 1},
        "version": {"type": "string", "pattern": r"^\d+(\.\d+){0,3}$"},
        "id": {"type": "string", "pattern": r"^[0-9A-Fa-f]{64}$"},
        "repository": {"type": "string", "format": "uri"},
        "description": {"type": "string", "minLength": 1},
        "author": {"type": "string"},
        "homepage": {"oneOf": [{"type": "string", "maxLength": 0}, {"type": "string", "format": "uri"}]},
    },
}


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def main():
    with tempfile.TemporaryDirectory() as work:
        zip_path = os.path.join(work, "Quadrel-1.2.3.4-x64.zip")
        with zipfile.ZipFile(zip_path, "w") as z:
            z.writestr("Quadrel.dll", b"MZ not a real DLL")
            z.writestr("readme.txt", "readme")
        url = "https://quadrel.example.org/releases/v1.2.3.4/Quadrel-1.2.3.4-x64.zip"
        out = subprocess.run([sys.executable, SCRIPT, zip_path, "1.2.3.4", url, "https://quadrel.example.org/"],
                             check=True, capture_output=True, text=True).stdout
        entry = json.loads(out)
        checker = jsonschema.Draft7Validator(RECORD, format_checker=jsonschema.Draft7Validator.FORMAT_CHECKER)
        errors = [e.message for e in checker.iter_errors(entry)]
        if errors:
            fail("; ".join(errors))
        with open(zip_path, "rb") as f:
            if entry["id"].lower() != hashlib.sha256(f.read()).hexdigest():
                fail("the id is not the zip's SHA-256")
        with zipfile.ZipFile(zip_path) as z:
            if entry["folder-name"] + ".dll" not in z.namelist():
                fail("the folder name is not the name of the zip's DLL")
        if entry["repository"] != url or entry["version"] != "1.2.3.4":
            fail("repository or version not as given: " + out)
        # A bad version is caught by the same rules (the check can fail).
        bad = dict(entry, version="1.2.3.4.5")
        if not list(checker.iter_errors(bad)):
            fail("a five-part version passed the rules")
        # Too few arguments: a usage text and exit code 2, no entry.
        usage = subprocess.run([sys.executable, SCRIPT, zip_path], capture_output=True, text=True)
        if usage.returncode != 2 or usage.stdout:
            fail("a call without all arguments did not end with code 2")
    print("ok: plug-in list entry")


if __name__ == "__main__":
    main()
