#!/usr/bin/env python3
"""Validates the real JSON of valdex-cli calcular, diagnostico and interpolar
against the schemas in schemas/ with python3-jsonschema (Draft 2020-12).

Usage: json_schemas_check.py VALDEX_CLI SOURCE_DIR
Every output line must be valid; a few outputs altered on purpose must not.
"""

import copy
import json
import os
import subprocess
import sys

import jsonschema

cli, source = sys.argv[1], sys.argv[2]
data = os.path.join(source, "tests", "cli", "data")
example = os.path.join(source, "ejemplos", "curva-ejemplo.w8c")
studies = [example] + [
    os.path.join(data, name)
    for name in ("din32645.w8c", "decreciente.w8c", "recta-exacta.w8c", "dos-puntos.w8c",
                 "un-nivel.w8c", "replica-no-entera.w8c", "no-existe.w8c")
]


runs = {
    "calcular": [["calcular", "--json"] + studies],
    "diagnostico": [["diagnostico", "--json"] + studies,
                    ["diagnostico", "--json", "--alfa", "0.05", "--m", "3", example]],
    "interpolar": [["interpolar", "--json", s, y] for s in studies for y in ("-0.5", "1.2", "4", "10")]
                  + [["interpolar", "--json", example, "4", "4.1", "--alfa", "0.01"]],
}



def refuse(constant):
    """NaN and Infinity are not JSON."""
    raise ValueError(f"{constant} is not JSON")


failures = 0
checked = 0
for command, argument_lists in runs.items():
    with open(os.path.join(source, "schemas", command + ".schema.json"), encoding="utf-8") as f:
        schema = json.load(f)
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    objects = []
    for arguments in argument_lists:
        result = subprocess.run([cli] + arguments, capture_output=True,
                                env=dict(os.environ, LC_ALL="C"), check=False)
        for line in result.stdout.decode("utf-8").splitlines():
            objects.append(json.loads(line, parse_constant=refuse))
    for obj in objects:
        checked += 1
        for error in validator.iter_errors(obj):
            failures += 1
            print(f"{command}: {obj.get('archivo')}: {error.message} at {list(error.path)}")
    # The schema must refuse what a faulty writer could produce.
    sample = next(o for o in objects if "error" not in o)
    broken = []
    for key in schema["oneOf"][0]["required"]:
        altered = copy.deepcopy(sample)
        del altered[key]
        broken.append((f"without {key}", altered))
    altered = copy.deepcopy(sample)
    altered["desconocida"] = 1
    broken.append(("with an unknown key", altered))
    altered = copy.deepcopy(sample)
    altered["archivo"] = 3
    broken.append(("with a number as the file", altered))
    for what, obj in broken:
        checked += 1
        if validator.is_valid(obj):
            failures += 1
            print(f"{command}: the schema accepts an output {what}")

print(f"{checked} comprobaciones, {failures} fallos")
sys.exit(1 if failures else 0)
