#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later
"""bankdups_test.py SOURCE_DIR: no study question repeats a fact the bank already asks.

Runs tools/bankdups.py --check on resources/questions against tests/rules/bankdups-known.txt,
the pairs known to remain: a near-duplicate pair not listed fails, and so does a listed pair that
is no longer one, so the list only shrinks and stays exact. First, on a small bank written here,
checks that the measure finds a reworded repeat and leaves apart questions that only look alike
(another number in the answer, the same bare nature for another conduct).
"""

import contextlib
import io
import pathlib
import sys
import tempfile

SOURCE = pathlib.Path(sys.argv[1])
sys.path.insert(0, str(SOURCE / "tools"))
import bankdups  # noqa: E402

BLOCK = """# Bloco 1

1
P: Nas estradas, onde não houver sinalização regulamentadora, a velocidade máxima permitida é de:
A: 30 km/h.
B: 40 km/h.
C: 60 km/h.
D: 80 km/h.
E: 110 km/h.
Resposta: C

2
P: Ao suspeitar de fratura em um braço da vítima, o socorrista leigo deve:
A: Pôr o osso no lugar.
B: Imobilizar o membro na posição em que está, sem tentar pô-lo no lugar.
C: Massagear o local.
D: Levar a vítima andando.
E: Dar água à vítima.
Resposta: B
"""

STUDY = """# Estudo 1

1001
P: Numa estrada sem sinalização de velocidade, o limite é:
A: 40 km/h.
B: 60 km/h.
C: 80 km/h.
D: 30 km/h.
Resposta: B

1002
P: Numa rodovia de pista simples sem sinalização, o limite para automóveis é:
A: 80 km/h.
B: 60 km/h.
C: 100 km/h.
D: 110 km/h.
Resposta: C

1003
P: Diante de fratura num braço, o socorrista leigo deve:
A: Imobilizar o braço na posição em que está.
B: Puxar o braço.
C: Massagear.
D: Aplicar gelo direto.
Resposta: A

1004
P: Conduzir moto sem capacete é infração:
A: Grave.
B: Gravíssima.
C: Média.
D: Leve.
Resposta: B

1005
P: Deixar de dar passagem a ambulância em serviço de urgência é infração:
A: Grave.
B: Gravíssima.
C: Média.
D: Leve.
Resposta: B
"""

RETIRED = """
1006
P: Para um leigo, diante de braço fraturado, o certo é:
A: Deixar o braço imóvel como está.
B: Alinhar o osso.
C: Esfregar o local.
D: Pôr gelo na pele.
Resposta: A
Retirada: repete o que a 1003 já pergunta

1007
P: Com suspeita de fratura no braço, o leigo:
A: Imobiliza o braço como o encontrou.
B: Puxa o braço.
C: Massageia.
D: Põe gelo.
Resposta: A
Retirada: repete o que a 1006 já pergunta
"""


def check(folder, known):
    """Exit code and output of the tool's check on folder with the list known."""
    listed = pathlib.Path(folder) / "known.txt"
    listed.write_text("".join(f"{a} {b}  # listed\n" for a, b in known), encoding="utf-8")
    argv = sys.argv
    sys.argv = ["bankdups.py", "--folder", str(folder), "--known", str(listed), "--check"]
    out = io.StringIO()
    try:
        with contextlib.redirect_stdout(out):
            code = bankdups.main()
    finally:
        sys.argv = argv
    return code, out.getvalue()


def main():
    faults = []
    with tempfile.TemporaryDirectory() as folder:
        (pathlib.Path(folder) / "bloco-01.txt").write_text(BLOCK, encoding="utf-8")
        (pathlib.Path(folder) / "estudo-01.txt").write_text(STUDY, encoding="utf-8")
        found = {(a["n"], b["n"]) for sc, a, b in bankdups.scored_pairs(bankdups.read_bank(folder))
                 if sc >= (bankdups.STUDY_THRESHOLD if a["study"] else bankdups.THRESHOLD)}
        for pair, why in [((1, 1001), "the same limit asked in other words"),
                          ((2, 1003), "the same first aid asked in other words")]:
            if pair not in found:
                faults.append(f"{pair} not found: {why}")
        for pair, why in [((1, 1002), "another road, another number in the answer"),
                          ((1004, 1005), "the same bare nature for another conduct")]:
            if pair in found:
                faults.append(f"{pair} found: {why}")
        code, out = check(folder, sorted(found))
        if code != 0:
            faults.append(f"the exact list fails its check:\n{out}")
        code, out = check(folder, sorted(found - {(1, 1001)}))
        if code == 0 or "new near-duplicate 1 1001" not in out:
            faults.append(f"an unlisted pair passes the check:\n{out}")
        code, out = check(folder, sorted(found | {(1, 1002)}))
        if code == 0 or "listed pair 1 1002 is no longer" not in out:
            faults.append(f"a stale listed pair passes the check:\n{out}")
        # A retired repeat must name a question still asked: 1007 names 1006, retired itself.
        (pathlib.Path(folder) / "estudo-01.txt").write_text(STUDY + RETIRED, encoding="utf-8")
        code, out = check(folder, sorted(found))
        if code == 0 or "retired 1007" not in out or "retired 1006" in out:
            faults.append(f"a retired question naming a retired one is not told apart:\n{out}")

    argv = sys.argv
    sys.argv = ["bankdups.py", "--folder", str(SOURCE / "resources" / "questions"),
                "--known", str(SOURCE / "tests" / "rules" / "bankdups-known.txt"), "--check"]
    try:
        if bankdups.main() != 0:
            faults.append("the bank has near-duplicate pairs the list does not hold, or the list "
                          "holds pairs that are gone (above); tools/bankdups.py lists them all")
    finally:
        sys.argv = argv
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
