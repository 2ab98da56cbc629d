#!/usr/bin/env python3
"""Checks of the test packages content/TESTY/<Name>/ (TEST.TXT and its pictures).

    test_packages.py format    per package: a folder name of ASCII letters, digits, "_"
                               or "-"; lines 1-3 "Tytul=", "Autor=", "Opis=" with values,
                               the description naming the question count; 20-30
                               questions "PytanieN=" numbered 1, 2, 3 ... without gaps,
                               each followed at once by 3-4 options "Opcja1=" ... and
                               "Odpowiedź=k" with k among them, no option text twice;
                               the correct answers spread over the positions; grade
                               lines "Ocena1=" ... "Ocena6=" at line starts, once each,
                               with the thresholds of the school scale below and a
                               description; every character in Windows-1250, only
                               tags and entities the page engine shows, balanced;
                               house typography; at least one picture, every picture
                               a GIF in the folder under 60 KB and every file used
    test_packages.py numbers   the numeric answers of Stechiometria recomputed from the
                               atomic weights of the element database, rounded as the
                               package says (whole numbers, chlorine 35,5)
    test_packages.py checker   the format check reports each of a list of faults planted
                               in a copy of a package (and passes the copy unchanged)
    test_packages.py spelling  hunspell -d pl_PL finds no word outside the accepted
                               list (tests/content/accepted_words.txt)

Exit status 0 when the check passes, 1 with one line per fault when it does not; the
spelling check exits 77 (skipped) when hunspell or its Polish dictionary is missing.
A folder given after the check name replaces content/TESTY.
"""

import collections
import fractions
import html
import itertools
import pathlib
import re
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import element_content  # noqa: E402  (the element symbols and atomic weights)
from content_checks import spelling_faults, report  # noqa: E402

ROOT = pathlib.Path(__file__).resolve().parents[2]
PACKAGES = ROOT / "content" / "TESTY"
QUESTIONS = (20, 30)
OPTIONS = (3, 4)
MAX_PICTURE = 60 * 1024

# The school scale: the share of correct answers each grade needs (grade 2 from
# 45 %, 3 from 60 %, 4 from 75 %, 5 from 88 %, 6 for every answer correct).
# T2 is the highest count that still gives 1, T3 ... T6 the lowest counts for 3 ... 6.
SCALE = {2: 45, 3: 60, 4: 75, 5: 88, 6: 100}


def thresholds(count):
    lowest = {g: (share * count + 99) // 100 for g, share in SCALE.items()}
    return {2: lowest[2] - 1, 3: lowest[3], 4: lowest[4], 5: lowest[5], 6: lowest[6]}


TAGS = {"B", "I", "U", "SUB", "SUP", "BR", "IMG"}
VOID = {"BR", "IMG"}
ENTITIES = {"amp", "lt", "gt", "quot", "nbsp"}
TAG = re.compile(r"<(/?)([A-Za-z][A-Za-z0-9]*)([^<>]*)>")
SRC = re.compile(r"""\bSRC\s*=\s*"([^"]*)\"""", re.I)
STYLE = [(re.compile(r"—"), "an em dash (the house style uses the en dash)"),
         (re.compile(r"\s-\s"), "a hyphen between words (the house style uses ' – ')"),
         (re.compile(r"\bok\.\s"), "'ok.' (write 'około')"),
         (re.compile(r"\d\.\d"), "a decimal point (the house style uses the decimal comma)"),
         (re.compile(r'"'), "a straight quotation mark in the text (use „…”)")]
PACKAGE_NAME = re.compile(r"[A-Za-z0-9_-]+")
KEY = re.compile(r"(Pytanie|Opcja|Odpowiedź|Ocena)(\d*)=", re.I)


Question = collections.namedtuple("Question", "number line text options answer")


def read_package(folder):
    """(lines, questions, grades, faults) of folder/TEST.TXT; a question's
    options are (line number, text), its answer the text after "Odpowiedź="."""
    lines = (folder / "TEST.TXT").read_text(encoding="utf-8").splitlines()
    faults, questions, grades = [], [], {}
    for number, key in enumerate(("Tytul", "Autor", "Opis"), 1):
        if len(lines) < number or not lines[number - 1].startswith(key + "="):
            faults.append(f"line {number}: not '{key}=…'")
        elif not lines[number - 1].partition("=")[2].strip():
            faults.append(f"line {number}: empty {key}")
    i = 3
    while i < len(lines):
        line, where = lines[i], f"line {i + 1}"
        m = KEY.match(line)
        if not line.strip():
            i += 1
            continue
        if not m:
            faults.append(f"{where}: not a question, option, answer or grade line")
            i += 1
            continue
        key, digits = m.group(1), m.group(2)
        if key not in ("Pytanie", "Opcja", "Odpowiedź", "Ocena"):
            faults.append(f"{where}: the key {key!r} must be written {key.capitalize()!r}")
        if key.capitalize() == "Pytanie":
            number = len(questions) + 1
            if digits != str(number):
                faults.append(f"{where}: question {digits or '?'} where question {number} is due")
            options, j = [], i + 1
            while j < len(lines) and lines[j].startswith(f"Opcja{len(options) + 1}="):
                options.append((j + 1, lines[j].partition("=")[2]))
                j += 1
            answer = None
            if j < len(lines) and lines[j].startswith("Odpowiedź="):
                answer = lines[j].partition("=")[2]
                j += 1
            else:
                faults.append(f"{where}: question {number}: no 'Odpowiedź=' right after its options")
            questions.append(Question(number, i + 1, line.partition("=")[2], options, answer))
            i = j
            continue
        if key.capitalize() == "Ocena":
            grade = int(digits) if digits else 0
            threshold, colon, description = line.partition("=")[2].partition(":")
            if not 1 <= grade <= 6:
                faults.append(f"{where}: grade {digits!r} outside 1-6")
            elif grade in grades:
                faults.append(f"{where}: grade {grade} stands also on line {grades[grade][0]}")
            elif not colon or not threshold.isdigit() or not description.strip():
                faults.append(f"{where}: not 'Ocena{grade}=<threshold>:<description>'")
            else:
                grades[grade] = (i + 1, int(threshold), description)
        else:
            faults.append(f"{where}: '{key}' away from its question")
        i += 1
    return lines, questions, grades, faults


def markup_faults(text):
    faults, open_tags = [], []
    for m in TAG.finditer(text):
        closing, name = m.group(1), m.group(2).upper()
        if name not in TAGS:
            faults.append(f"the tag <{m.group(2)}> is not one the tests use")
        elif name in VOID:
            continue
        elif not closing:
            open_tags.append(name)
        elif not open_tags or open_tags[-1] != name:
            faults.append(f"</{m.group(2)}> closes {'<' + open_tags[-1] + '>' if open_tags else 'nothing'}")
        else:
            open_tags.pop()
    faults += [f"<{name}> is never closed" for name in open_tags]
    plain = TAG.sub("", text)
    if "<" in plain or ">" in plain:
        faults.append("a bare '<' or '>' (write &lt; or &gt;)")
    for entity in re.findall(r"&([A-Za-z0-9#]+);?", plain):
        if entity not in ENTITIES:
            faults.append(f"the entity &{entity}; (write the letter itself, one Windows-1250 has)")
    for pattern, why in STYLE:
        if pattern.search(plain):
            faults.append(why)
    return faults


def check_package(folder):
    faults = []
    if not PACKAGE_NAME.fullmatch(folder.name):
        faults.append("the folder name must be ASCII letters, digits, '_' or '-' (no dot)")
    if not (folder / "TEST.TXT").is_file():
        return faults + ["no TEST.TXT"]
    lines, questions, grades, read_faults = read_package(folder)
    faults += read_faults
    for number, line in enumerate(lines, 1):
        for character in sorted(set(line)):
            try:
                character.encode("cp1250")
            except UnicodeEncodeError:
                faults.append(f"line {number}: U+{ord(character):04X} {character!r} has no Windows-1250 code")
    count = len(questions)
    if not QUESTIONS[0] <= count <= QUESTIONS[1]:
        faults.append(f"{count} questions, {QUESTIONS[0]}-{QUESTIONS[1]} are due")
    description = lines[2].partition("=")[2] if len(lines) > 2 else ""
    if not re.search(rf"\b{count} pyta", description):
        faults.append(f"the description does not give the question count {count}")
    if "<" in description or "&" in description:
        faults.append("markup in the description (the choice page shows it as plain text)")
    pictures, positions = set(), collections.Counter()
    for q in questions:
        where = f"line {q.line}: question {q.number}"
        for text in [q.text] + [text for _, text in q.options]:
            faults += [f"{where}: {fault}" for fault in markup_faults(text)]
            pictures.update(SRC.findall(text))
        if not OPTIONS[0] <= len(q.options) <= OPTIONS[1]:
            faults.append(f"{where}: {len(q.options)} options, {OPTIONS[0]}-{OPTIONS[1]} are due")
        texts = [text.strip().casefold() for _, text in q.options]
        if len(set(texts)) != len(texts) or not all(texts):
            faults.append(f"{where}: an empty option or one written twice")
        if q.answer is not None:
            if not q.answer.isdigit() or not 1 <= int(q.answer) <= len(q.options):
                faults.append(f"{where}: the answer {q.answer!r} is not the number of one of its options")
            else:
                positions[int(q.answer)] += 1
    # Correct answers spread over the positions: each of the first three holds
    # some, none holds more than 40 % of them.
    for position in (1, 2, 3):
        if count and positions[position] < count // 8:
            faults.append(f"only {positions[position]} correct answers at position {position}")
    for position, times in positions.items():
        if count and times * 100 > 40 * count:
            faults.append(f"{times} of {count} correct answers at position {position}")
    if set(grades) != set(range(1, 7)):
        faults.append(f"grade lines missing: {sorted(set(range(1, 7)) - set(grades))}")
    elif count:
        due = thresholds(count)
        for grade, threshold in due.items():
            if grades[grade][1] != threshold:
                faults.append(f"line {grades[grade][0]}: threshold {grades[grade][1]} for grade {grade}, "
                              f"the school scale gives {threshold} for {count} questions")
        lowest = {g: due[g] for g in (3, 4, 5, 6)} | {2: due[2] + 1}
        for grade, word in ((2, "dopuszczająca od"), (3, "dostateczna od"), (4, "dobra od"),
                            (5, "bardzo dobra od"), (6, "celująca za")):
            if f"{word} {lowest[grade]}" not in description:
                faults.append(f"the description does not say '{word} {lowest[grade]}'")
    if not pictures:
        faults.append("no question shows a picture")
    files = {p.name for p in folder.iterdir()} - {"TEST.TXT"}
    for name in sorted(pictures):
        path = folder / name
        if name not in files:
            faults.append(f"the picture {name} is not in the folder (names are matched exactly)")
        elif not path.read_bytes().startswith((b"GIF87a", b"GIF89a")):
            faults.append(f"the picture {name} is not a GIF file")
        elif path.stat().st_size > MAX_PICTURE:
            faults.append(f"the picture {name} is larger than {MAX_PICTURE // 1024} KB")
    for name in sorted(files - pictures):
        faults.append(f"{name} is in the folder but no question shows it")
    return faults


def packages(root):
    return sorted(p for p in root.iterdir() if p.is_dir())


def check_format(root):
    found = packages(root)
    faults = [] if found else [f"no test package in {root}"]
    for folder in found:
        faults += [f"{folder.name}: {fault}" for fault in check_package(folder)]
    return faults


# --- numbers --------------------------------------------------------------

def molar_masses():
    """Symbol -> molar mass in g/mol as the school charts round it: whole
    numbers, chlorine to 35,5."""
    database = element_content.read_database()
    masses = {}
    for z, symbol in database["Symbol"].items():
        value = database["Masa atomowa"].get(z, "").replace(",", ".").strip("[]()")
        try:
            weight = float(value)
        except ValueError:
            continue
        masses[symbol] = round(weight * 2) / 2 if symbol == "Cl" else float(round(weight))
    return masses


def atoms(formula):
    """Symbol -> number of atoms in a formula such as Al2(SO4)3 or Ca(OH)2."""
    stack = [collections.Counter()]
    for symbol, count, opening, closing, group_count in re.findall(
            r"([A-Z][a-z]?)(\d*)|(\()|(\))(\d*)", formula):
        if opening:
            stack.append(collections.Counter())
        elif closing:
            group = stack.pop()
            for element, times in group.items():
                stack[-1][element] += times * int(group_count or 1)
        else:
            stack[-1][symbol] += int(count or 1)
    return stack[0]


def formula_mass(formula, masses):
    return sum(masses[symbol] * times for symbol, times in atoms(formula).items())


def coefficients(substrates, products, largest=12):
    """The smallest whole coefficients balancing every element."""
    species = substrates + products
    for total in range(len(species), largest * len(species) + 1):
        for combination in itertools.product(range(1, largest + 1), repeat=len(species)):
            if sum(combination) != total:
                continue
            balance = collections.Counter()
            for k, (formula, factor) in enumerate(zip(species, combination)):
                sign = 1 if k < len(substrates) else -1
                for element, times in atoms(formula).items():
                    balance[element] += sign * factor * times
            if not any(balance.values()):
                return combination
    return None


AVOGADRO = 6.02e23
MOLAR_VOLUME = 22.4


def decimal(value, places):
    return f"{value:.{places}f}".replace(".", ",")


def scientific(value, places):
    mantissa, exponent = f"{value:.{places}e}".split("e")
    exponent = int(exponent)
    return f"{mantissa.replace('.', ',')}·10<SUP>{'–' if exponent < 0 else ''}{abs(exponent)}</SUP>"


def stoichiometry_answers(m):
    """Question number -> text the correct option must hold (and no other)."""
    M = lambda formula: formula_mass(formula, m)  # noqa: E731
    n_h2, n_o2 = 4, 3                                     # the molecules drawn in CZASTKI.GIF
    water = min(n_h2, 2 * n_o2)                          # 2H2 + O2 = 2H2O
    fe, s = 7 / M("Fe"), 6 / M("S")
    caco3 = 10 / M("CaCO3") * M("CaO")
    ratio = fractions.Fraction(int(M("C")), int(2 * M("O")))
    c, h, o = 40.0 / M("C"), 6.7 / M("H"), 53.3 / M("O")
    smallest = min(c, h, o)
    empirical = "".join(f"{symbol}{'' if round(x / smallest) == 1 else f'<SUB>{round(x / smallest)}</SUB>'}"
                        for symbol, x in (("C", c), ("H", h), ("O", o)))
    return {
        1: f"{M('H2SO4'):.0f} g/mol",
        2: f"{M('Ca(OH)2'):.0f} g/mol",
        3: f"{88 / M('CO2'):.0f} mole",
        4: f"{0.25 * M('NaOH'):.0f} g",
        5: scientific(2 * AVOGADRO, 3),
        6: decimal(0.5 * MOLAR_VOLUME, 1) + " dm<SUP>3</SUP>",
        7: decimal(5.6 / MOLAR_VOLUME, 2) + " mola",
        8: decimal(100 * M("O") / M("H2O"), 1) + "%",
        9: f"{100 * M('C') / M('CH4'):.0f}%",
        10: f"{M('C6H12O6'):.0f} u",
        11: f"{water} cząsteczki wody i {n_o2 - water // 2} cząsteczkę tlenu",
        12: ", ".join(map(str, coefficients(["Al", "O2"], ["Al2O3"]))),
        13: f"{4 / M('H2') * M('H2O'):.0f} g",
        14: f"{12 / M('Mg') * M('MgO'):.0f} g",
        15: decimal(6 / M("C") * MOLAR_VOLUME, 1) + " dm<SUP>3</SUP>",
        16: f"{atoms('Al2(SO4)3')['O']} moli",
        17: f"{ratio.numerator} : {ratio.denominator}",
        18: empirical,
        19: f"{100 * 4.48 / caco3:.0f}%",
        20: decimal(M("CO2") / MOLAR_VOLUME, 2) + " g/dm<SUP>3</SUP>",
        21: ("siarka" if s > fe else "żelazo") + f", {min(fe, s) * M('FeS'):.0f} g",
        22: scientific(M("C") / AVOGADRO, 2) + " g",
    }


def check_numbers(root):
    folder = root / "Stechiometria"
    if not (folder / "TEST.TXT").is_file():
        return [f"no {folder}/TEST.TXT"]
    _, questions, _, faults = read_package(folder)
    by_number = {q.number: q for q in questions}
    for number, expected in stoichiometry_answers(molar_masses()).items():
        q = by_number.get(number)
        if q is None or q.answer is None or not q.answer.isdigit() or int(q.answer) > len(q.options):
            faults.append(f"question {number}: missing or without a readable answer")
            continue
        holding = [k for k, (_, text) in enumerate(q.options, 1) if text == expected or text.startswith(expected)]
        if holding != [int(q.answer)]:
            faults.append(f"question {number}: the computed answer {expected!r} is in option(s) {holding}, "
                          f"the package marks option {q.answer}")
    return faults


# --- spelling -------------------------------------------------------------

def plain_text(fragment):
    fragment = re.sub(r"</?(SUB|SUP|I|B|U)>", "", fragment, flags=re.I)
    return html.unescape(re.sub(r"<[^>]*>", " ", fragment))


def check_spelling(root):
    texts = {}
    for folder in packages(root):
        lines = (folder / "TEST.TXT").read_text(encoding="utf-8").splitlines()
        for number, line in enumerate(lines, 1):
            key, _, value = line.partition("=")
            if key.startswith("Ocena"):
                value = value.partition(":")[2]
            elif key.startswith("Odpowiedź"):
                continue
            texts[f"{folder.name}:{number}"] = plain_text(value)
    return spelling_faults(texts, set(element_content.read_database()["Symbol"].values()))


# --- the checker itself ---------------------------------------------------

# Faults planted in a copy of a sound package, each with a piece of the report
# the format check must give for it.
PLANTED = [
    ("renumbered question", lambda t: t.replace("Pytanie3=", "Pytanie4=", 1), "question 4 where question 3"),
    ("blank line after a question", lambda t: t.replace("\nOpcja1=", "\n\nOpcja1=", 1), "no 'Odpowiedź='"),
    ("lower-case key", lambda t: t.replace("Pytanie2=", "pytanie2=", 1), "must be written 'Pytanie'"),
    ("answer not an option", lambda t: re.sub(r"Odpowiedź=\d", "Odpowiedź=7", t, count=1), "not the number of one"),
    ("option twice", lambda t: re.sub(r"(Opcja1=([^\n]*)\nOpcja2=)[^\n]*", r"\g<1>\2", t, count=1), "written twice"),
    ("thresholds off the scale", lambda t: re.sub(r"Ocena4=\d+", "Ocena4=3", t), "the school scale gives"),
    ("grade line missing", lambda t: re.sub(r"Ocena5=[^\n]*\n", "", t), "grade lines missing: [5]"),
    ("missing picture", lambda t: t.replace('src="', 'src="X', 1), "is not in the folder"),
    ("letter outside Windows-1250", lambda t: t.replace("Opcja1=", "Opcja1=→", 1), "no Windows-1250 code"),
    ("unclosed tag", lambda t: t.replace("</SUP>", "", 1).replace("</SUB>", "", 1), "never closed"),
    ("decimal point", lambda t: re.sub(r"(Opcja1=)", r"\g<1>1.5 ", t, count=1), "decimal point"),
    ("every answer at one place", lambda t: re.sub(r"Odpowiedź=\d", "Odpowiedź=1", t), "correct answers at position 1"),
]


def check_checker(root):
    """Plants each fault of PLANTED in a copy of the first package and
    expects the format check to report it; the copy as it stands must pass."""
    import shutil
    import tempfile
    source = packages(root)[0]
    faults = []
    with tempfile.TemporaryDirectory() as temporary:
        folder = pathlib.Path(temporary) / source.name
        shutil.copytree(source, folder)
        text = (source / "TEST.TXT").read_text(encoding="utf-8")
        if check_package(folder):
            faults.append(f"{source.name}: the unchanged copy does not pass: {check_package(folder)}")
        for name, plant, expected in PLANTED:
            planted = plant(text)
            if planted == text:
                faults.append(f"{name}: the fault could not be planted")
                continue
            (folder / "TEST.TXT").write_text(planted, encoding="utf-8")
            reported = check_package(folder)
            if not any(expected in fault for fault in reported):
                faults.append(f"{name}: not reported ({reported})")
        (folder / "TEST.TXT").write_text(text, encoding="utf-8")
        (folder / "STRAY.GIF").write_bytes(b"GIF89a")
        if not any("no question shows it" in fault for fault in check_package(folder)):
            faults.append("a picture no question shows: not reported")
    return faults


CHECKS = {"format": check_format, "numbers": check_numbers, "spelling": check_spelling,
          "checker": check_checker}


def main():
    if len(sys.argv) not in (2, 3) or sys.argv[1] not in CHECKS:
        sys.exit(f"usage: {sys.argv[0]} {'|'.join(CHECKS)} [FOLDER]")
    root = pathlib.Path(sys.argv[2]) if len(sys.argv) == 3 else PACKAGES
    return report(sys.argv[1], CHECKS[sys.argv[1]](root))


if __name__ == "__main__":
    sys.exit(main())
