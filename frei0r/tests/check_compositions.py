#!/usr/bin/env python3
"""check_compositions.py DIR: checks the Kdenlive compositions in DIR (a transitions
folder) against what Kdenlive reads from them: a <transition> with a tag, a unique id and a
type; a name; each parameter with the attributes its type needs; a preview in
DIR/previews/<id>.webp or .gif. Prints each fault; exit status 1 when there is one."""
import pathlib
import sys
import xml.etree.ElementTree as ET

NEEDS = {  # parameter type: attributes it must have
    "fixed": ["value"],
    "animated": ["min", "max", "default", "factor"],
    "constant": ["min", "max", "default", "factor"],
    "bool": ["default"],
    "list": ["default", "paramlist"],
}
faults = []


def fault(where, text):
    faults.append(f"{where}: {text}")


def check_parameter(where, p):
    kind, name = p.get("type"), p.get("name")
    if kind not in NEEDS or not name:
        return fault(where, f"parameter {name!r} of unknown type {kind!r}")
    where = f"{where}: {name}"
    for attribute in NEEDS[kind]:
        if p.get(attribute) is None:
            fault(where, f"{kind} without {attribute}")
    if kind != "fixed" and not (p.findtext("name") or "").strip():
        fault(where, "no <name>")
    if kind == "constant":
        low, high, default = (float(p.get(a, "nan")) for a in ("min", "max", "default"))
        if not low <= default <= high:
            fault(where, f"default {default} outside {low} to {high}")
    elif kind == "bool" and p.get("default") not in ("0", "1"):
        fault(where, "a switch's default is 0 or 1")
    elif kind == "animated" and not (p.get("default", "").startswith("0=0;") and p.get("default").endswith("=1")):
        fault(where, "the position does not run from 0 to 1")
    elif kind == "list":
        values = p.get("paramlist", "").split(";")
        shown = (p.findtext("paramlistdisplay") or "").split(",")
        if len(values) != len(shown) or p.get("default") not in values:
            fault(where, f"values {values}, names {shown}, default {p.get('default')!r} do not match")


def main(folder):
    folder = pathlib.Path(folder)
    ids, shown = set(), 0
    for path in sorted(folder.glob("*.xml")):
        root = ET.parse(path).getroot()
        for t in [root] if root.tag == "transition" else root.findall("transition"):
            where = f"{path.name}: {t.get('id')}"
            if t.get("tag") not in ("lumorafx", "frei0r.lumorafx") or not t.get("id"):
                fault(where, f"tag {t.get('tag')!r}, id {t.get('id')!r}")
            if t.get("id") in ids:
                fault(where, "id used twice")
            ids.add(t.get("id"))
            if t.get("type") == "hidden":
                continue
            shown += 1
            if t.get("type") != "short" or not (t.findtext("name") or "").strip():
                fault(where, "not a named short composition")
            if not any((folder / "previews" / f"{t.get('id')}.{e}").is_file() for e in ("webp", "gif")):
                fault(where, "no preview")
            params = t.findall("parameter")
            names = [p.get("name") for p in params]
            if len(set(names)) != len(names):
                fault(where, "a parameter twice")
            fixed = {p.get("name"): p.get("value") for p in params if p.get("type") == "fixed"}
            if "library" not in fixed or not fixed.get("effect"):
                fault(where, "library and effect are not fixed")
            for p in params:
                check_parameter(where, p)
    if shown == 0:
        fault(str(folder), "no compositions")
    for f in faults:
        print(f)
    print(f"{shown} compositions, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
