#!/usr/bin/env python3
"""Validates the real JSON of valdex-cli calcular, diagnostico and interpolar
against the schemas in schemas/ with python3-jsonschema (Draft 2020-12).

Usage: json_schemas_check.py VALDEX_CLI SOURCE_DIR
Every output line must be valid, every weight and both blank sources must
appear in the outputs, and outputs altered on purpose must not be valid.
"""

import copy
import json
import os
import subprocess
import sys
import tempfile

import jsonschema

cli, source = sys.argv[1], sys.argv[2]
data = os.path.join(source, "tests", "cli", "data")
example = os.path.join(source, "ejemplos", "curva-ejemplo.w8c")
din = os.path.join(data, "din32645.w8c")
blanks = os.path.join(data, "din32645-blancos.txt")
studies = [example] + [
    os.path.join(data, name)
    for name in ("din32645.w8c", "decreciente.w8c", "recta-exacta.w8c", "dos-puntos.w8c",
                 "un-nivel.w8c", "replica-no-entera.w8c", "no-existe.w8c")
]
weights = ["ninguna", "1/x", "1/x2", "1/y", "1/y2", "1/s2", "funcion"]
env = dict(os.environ, LC_ALL="C")
failures = 0

scratch = tempfile.TemporaryDirectory()
# The cadmium study has a level at x = 0: its blank method comes from the study.
cadmium = os.path.join(scratch.name, "cadmio.w8c")
subprocess.run([cli, "importar", os.path.join(data, "cadmium_epa1997.csv"), "--salida", cadmium],
               env=env, check=True, capture_output=True)
weighted_studies = studies + [cadmium]

runs = {
    "calcular": [["calcular", "--json"] + studies],
    "diagnostico": [["diagnostico", "--json"] + studies,
                    ["diagnostico", "--json", "--alfa", "0.05", "--m", "3", example]]
    + [["diagnostico", "--json", "--ponderacion", w] + weighted_studies for w in weights]
    + [["diagnostico", "--json", "--pesos", "1,0.5,0.25,0.1,0.05", cadmium, example],
       ["diagnostico", "--json", "--pesos", ",".join(str(1 / i) for i in range(1, 11)), din],
       ["diagnostico", "--json", "--blancos", blanks, din, cadmium],
       ["diagnostico", "--json", "--blancos", blanks, "--ponderacion", "funcion", din]],
    "interpolar": [["interpolar", "--json", s, y] for s in studies for y in ("-0.5", "1.2", "4", "10")]
    + [["interpolar", "--json", example, "4", "4.1", "--alfa", "0.01"]]
    + [["interpolar", "--json", s, y, "--ponderacion", w] + extra
       for s, y in [(s, "1.2") for s in studies] + [(cadmium, "60")] for w in weights
       for extra in ([], ["--peso-muestra", "0.3"])]
    + [["interpolar", "--json", cadmium, "30", "--pesos", "1,0.5,0.25,0.1,0.05",
        "--peso-muestra", "2"]],
}


def refuse(constant):
    """NaN and Infinity are not JSON."""
    raise ValueError(f"{constant} is not JSON")


def first(objects, test):
    return next((o for o in objects if "error" not in o and test(o)), None)


def altered(sample, change):
    obj = copy.deepcopy(sample)
    change(obj)
    return obj


# Alterations a faulty writer could make to what the weights add.
weighted_faults = [
    ("with the recommendation as a text", lambda o: o["recomendacion_peso"].update(ponderar="si")),
    ("without the α of Cochran", lambda o: o["recomendacion_peso"]["alfas"].pop("cochran")),
    ("with the F verdict as a text",
     lambda o: o["prueba_F_extremos"].update(varianzas_no_homogeneas="no")),
    ("with an unknown weight", lambda o: o.update(ponderacion="1/z")),
    ("without the weighted line", lambda o: o.pop("recta_ponderada")),
    ("with an unknown key in the weighted limits",
     lambda o: o["recta_ponderada"]["limites"].update(desconocida=1)),
    ("with a weighted residual without its level",
     lambda o: o["recta_ponderada"]["residuos"][0].pop("nivel")),
    ("with the normality verdict but no W",
     lambda o: o["recta_ponderada"]["shapiro_wilk"].pop("W")),
]
blank_faults = [
    ("with an unknown blank source", lambda o: o["metodo_blanco"].update(origen="otro")),
    ("with an interval without its degrees of freedom",
     lambda o: o["metodo_blanco"]["intervalos"].pop("gl")),
]
plain_faults = [("with a weighted line under no weight",
                 lambda o: o.update(recta_ponderada={"peso": "ninguna"}))]

checked = 0
for command, argument_lists in runs.items():
    with open(os.path.join(source, "schemas", command + ".schema.json"), encoding="utf-8") as f:
        schema = json.load(f)
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    objects = []
    for arguments in argument_lists:
        result = subprocess.run([cli] + arguments, capture_output=True, env=env, check=False)
        lines = result.stdout.decode("utf-8").splitlines()
        if not lines:  # a refused option would leave nothing to validate
            failures += 1
            print(f"{command}: no output from {arguments[1:]}: {result.stderr.decode()}")
        for line in lines:
            objects.append(json.loads(line, parse_constant=refuse))
    for obj in objects:
        checked += 1
        error = jsonschema.exceptions.best_match(validator.iter_errors(obj))
        if error is not None:  # the deepest reason, not the whole object
            failures += 1
            print(f"{command}: {obj.get('archivo')}: {error.message[:300]} at {list(error.absolute_path)}")
    # The schema must refuse what a faulty writer could produce.
    sample = first(objects, lambda o: True)
    broken = []
    for key in schema["oneOf"][0]["required"]:
        broken.append((f"without {key}", altered(sample, lambda o: o.pop(key))))
    broken.append(("with an unknown key", altered(sample, lambda o: o.update(desconocida=1))))
    broken.append(("with a number as the file", altered(sample, lambda o: o.update(archivo=3))))
    if command == "diagnostico":
        # Every weight offered, the explicit ones and both blank sources are really validated.
        seen = {o["recta_ponderada"]["peso"] for o in objects if "recta_ponderada" in o}
        seen |= {o["metodo_blanco"]["origen"] for o in objects if "metodo_blanco" in o}
        for wanted in weights[1:] + ["explicitos", "nivel x = 0", "blancos"]:
            if wanted not in seen:
                failures += 1
                print(f"diagnostico: no output with {wanted}")
        full = first(objects, lambda o: "metodo_blanco" in o and "recta_ponderada" in o
                     and o["recta_ponderada"]["residuos"]
                     and "W" in o["recta_ponderada"]["shapiro_wilk"]
                     and "varianzas_no_homogeneas" in o["prueba_F_extremos"])
        plain = first(objects, lambda o: o["ponderacion"] == "ninguna")
        if not full or not plain:
            failures += 1
            print("diagnostico: no full weighted output or no unweighted one to alter")
        else:
            broken += [(w, altered(full, c)) for w, c in weighted_faults + blank_faults]
            broken += [(w, altered(plain, c)) for w, c in plain_faults]
    if command == "interpolar":
        with_weight = first(objects, lambda o: "peso_muestra" in o)
        broken += [("with a zero sample weight", altered(with_weight, lambda o: o.update(peso_muestra=0))),
                   ("without the weight", altered(with_weight, lambda o: o.pop("ponderacion")))]
    for what, obj in broken:
        checked += 1
        if validator.is_valid(obj):
            failures += 1
            print(f"{command}: the schema accepts an output {what}")

print(f"{checked} comprobaciones, {failures} fallos")
sys.exit(1 if failures else 0)
