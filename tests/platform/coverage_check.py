#!/usr/bin/env python3
"""docs/platform-coverage.md against the public headers and the implementation: every function
declared under platform/include/ is listed under its header with a coverage word (a note for
every row that is not full), nothing else is listed, and the functions listed as partial are the
ones whose definition in platform/ follows a "// Partial:" comment line.

Usage: coverage_check.py SOURCE_DIR. Prints each problem and exits 1 when there is one."""
import pathlib
import re
import sys

source = pathlib.Path(sys.argv[1])
platform = source / "platform"
problems = []


def logical_lines(path):
    """The file's lines, backslash-continued lines joined."""
    return path.read_text().replace("\\\n", " ").splitlines()


EXPORTED = re.compile(r"^\s*CF_(?:EXPORT|INLINE)\b[^;(]*?\b(\w+)\s*\(")
MACRO = re.compile(r"^\s*#define\s+(\w+)(\(|\s+(\w+)\s*$)?")
CPP_FUNCTION = re.compile(r"^(?:inline )?(?!(?:typedef|struct|class|enum|namespace|template|extern)\b)"
                          r"[\w:<>,*&]+[\w:<>,*& ]* [*&]?(\w+)\(")


def declared_in(header):
    """Functions, function-like macros and C++ free functions (cf::name) of one header, and its
    aliases (#define Alias Function) as pairs."""
    functions, aliases = set(), []
    cpp = "\nnamespace " in header.read_text()
    for line in logical_lines(header):
        if exported := EXPORTED.match(line):
            functions.add(exported.group(1))
        elif macro := MACRO.match(line):
            if macro.group(2) == "(":
                functions.add(macro.group(1))
            elif macro.group(3):
                aliases.append((macro.group(1), macro.group(3)))
        elif cpp and (function := CPP_FUNCTION.match(line)):
            functions.add("cf::" + function.group(1))
    return functions, aliases


include = platform / "include"
parsed = {h.relative_to(include).as_posix(): declared_in(h) for h in sorted(include.rglob("*.h"))}
every_function = set().union(*(functions for functions, _ in parsed.values()))
declared = {}
for header, (functions, aliases) in parsed.items():
    names = functions | {alias for alias, target in aliases if target in every_function}
    if names:
        declared[header] = names

# The parser must see each form of declaration, so that an empty parse cannot pass.
for header, function in [("HIToolbox/Controls.h", "CreateSliderControl"), ("CoreFoundation/CFBase.h", "CFRangeMake"),
                         ("CoreFoundation/CFString.h", "CFSTR"), ("HIToolbox/Controls.h", "DrawOneControl"),
                         ("platform/cf_ref.h", "cf::adopt"), ("PrintCore/PMPPDLibrary.h", "ppdGetMainIndex")]:
    if function not in declared.get(header, ()):
        problems.append(f"the header parser does not see {function} in {header}")
if "kControlKindSlider" in declared.get("HIToolbox/Controls.h", ()):
    problems.append("the header parser takes the constant kControlKindSlider for a function")

listed, header = {}, None
for line in logical_lines(source / "docs" / "platform-coverage.md"):
    if line.startswith("### "):
        header = line[4:].strip()
    elif line.startswith("| `") and header:
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if len(cells) < 3:
            problems.append(f"a row without coverage and note: {line}")
            continue
        name, coverage, note = cells[0].strip("`"), cells[1], cells[2]
        listed.setdefault(header, {})[name] = coverage
        if coverage not in ("full", "partial", "refused"):
            problems.append(f"{header}: {name}: '{coverage}' is not full, partial or refused")
        elif coverage != "full" and not note:
            problems.append(f"{header}: {name} is {coverage} but does not say what it leaves out")

for header, functions in declared.items():
    for function in sorted(functions - listed.get(header, {}).keys()):
        problems.append(f"{function} ({header}) is missing from docs/platform-coverage.md")
for header, rows in listed.items():
    for function in sorted(rows.keys() - declared.get(header, set())):
        problems.append(f"{function} is listed under {header}, but that header does not declare it")

# Definitions at the left margin in platform/*.cpp, each with whether the comment block right
# above it holds a "// Partial:" line. Macros and aliases have no definition of their own.
all_listed = {name: coverage for rows in listed.values() for name, coverage in rows.items()}
marked = {}
for path in platform.rglob("*.cpp"):
    lines = logical_lines(path)
    for index, line in enumerate(lines):
        if not line or line[0].isspace() or line.startswith("//") or "(" not in line or line.rstrip().endswith(";"):
            continue
        name = re.search(r"(\w+)\s*\($", line[:line.index("(")] + "(")
        if not name or name.group(1) not in all_listed:
            continue
        above = index
        while above > 0 and lines[above - 1].startswith("//"):
            above -= 1
        partial = any(comment.startswith("// Partial:") for comment in lines[above:index])
        marked[name.group(1)] = marked.get(name.group(1), False) or partial
if len(marked) <= 200:
    problems.append(f"only {len(marked)} definitions of listed functions found in platform/")
for function, partial in sorted(marked.items()):
    if partial != (all_listed[function] == "partial"):
        problems.append(f"{function} is marked partial in platform/ but not listed so" if partial else
                        f"{function} is listed as partial but has no // Partial: line at its definition")

print("\n".join(problems) or f"{sum(map(len, declared.values()))} functions listed, {len(marked)} definitions checked")
sys.exit(1 if problems else 0)
