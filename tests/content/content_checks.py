"""The spelling pass shared by the content checks: hunspell -d pl_PL over
plain texts, with the words of tests/content/accepted_words.txt allowed."""

import os
import pathlib
import re
import shutil
import subprocess

ACCEPTED = pathlib.Path(__file__).resolve().parent / "accepted_words.txt"


def words_of(text, symbols):
    """Words to spell: chemical formulas (NaCl, CuSO4, HArF) are left out."""
    words = re.findall(r"[^\W\d_]+(?:-[^\W\d_]+)*", text)
    return [w for w in words
            if not (re.fullmatch(r"(?:[A-Z][a-z]?)+", w) and len(w) > 1
                    and all(part in symbols for part in re.findall(r"[A-Z][a-z]?", w)))]


# hunspell reads its input in the locale's encoding: fix it to UTF-8 whatever
# the caller's locale (ctest runs with none).
HUNSPELL = ["hunspell", "-i", "utf-8", "-d", "pl_PL", "-l"]
HUNSPELL_ENV = dict(os.environ, LC_ALL="C.UTF-8")


def spelling_faults(texts, symbols):
    """One line per text naming the words hunspell does not know and the
    accepted list does not hold; None when hunspell or its Polish dictionary
    is missing (the caller reports the check as skipped)."""
    if not shutil.which("hunspell"):
        print("hunspell is not installed (scripts/install-deps.sh installs it): check skipped")
        return None
    probe = subprocess.run(HUNSPELL, input="kot", capture_output=True, text=True, env=HUNSPELL_ENV)
    if probe.returncode != 0 or "Can't open" in probe.stderr:
        print("hunspell has no pl_PL dictionary (Debian: hunspell-pl): check skipped")
        return None
    accepted = set()
    for line in ACCEPTED.read_text(encoding="utf-8").splitlines():
        if line.strip() and not line.startswith("#"):
            accepted.add(line.strip())
    words = {name: set(words_of(text, symbols)) for name, text in texts.items()}
    # One hunspell run for every word (loading the dictionary is the slow part).
    everything = sorted(set().union(*words.values()))
    result = subprocess.run(HUNSPELL, input="\n".join(everything), capture_output=True, text=True,
                            check=True, env=HUNSPELL_ENV)
    unknown = set(result.stdout.split()) - accepted
    faults = []
    for name in texts:
        wrong = sorted(words[name] & unknown)
        if wrong:
            faults.append(f"{name}: {' '.join(wrong)}")
    return faults


SKIP = 77  # CTest's SKIP_RETURN_CODE for these checks


def report(name, faults):
    """Prints the faults of one check and gives its exit code: 0 without
    faults, 1 with some, SKIP when the check could not run (None)."""
    if faults is None:
        return SKIP
    for fault in faults:
        print(fault)
    print(f"{name}: {len(faults)} fault(s)")
    return 1 if faults else 0
