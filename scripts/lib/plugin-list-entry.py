#!/usr/bin/env python3
"""Writes the entry the editor's plug-in list (Plugins Admin) takes for one
release zip: a JSON object with exactly the fields of the list's plug-in
records. The id is the zip's SHA-256; the repository is the zip's download
address.
  plugin-list-entry.py ZIP VERSION DOWNLOAD_URL HOMEPAGE
"""
import hashlib
import json
import sys


def entry(zip_path, version, download_url, homepage):
    with open(zip_path, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    return {
        # The folder under plugins\ and the DLL's base name must agree.
        "folder-name": "Quadrel",
        "display-name": "Quadrel",
        "version": version,
        "id": digest,
        "repository": download_url,
        "description": "Calculator of formulas and short calculation scripts: evaluates the current line, "
                       "the selection, the statement before the caret or the whole file (variables, user "
                       "functions, matrices, derivatives, integrals, equation solvers, plots).",
        "author": "the Quadrel developers",
        "homepage": homepage,
    }


def main(argv):
    if len(argv) != 5:
        sys.stderr.write(__doc__)
        return 2
    json.dump(entry(*argv[1:]), sys.stdout, indent=2)
    sys.stdout.write("\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
