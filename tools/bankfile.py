# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads a question file of the bank (bloco-NN.txt, estudo-NN.txt) as the program does: a number
on a line of its own starts a question; "P:", "A:".."E:", "Resposta:", "Figura:" lines give its
stem, alternatives, right letter and picture, "Nível:" and "Módulo:" its level and module, "Retirada:" why
it is no longer asked; a blank line ends it; "#" lines are comments.
Shared by bankstats.py and bankdups.py."""


def read_questions(path, retired=False):
    """Every question of the file still asked (with retired=True, also those retired), in order:
    {"n", "alts": {letter: text}, and "stem", "answer", "figure", "level", "module", "retired" when
    written}. Texts lose the one blank after the colon; the answer and figure are trimmed."""
    questions = []
    q = None
    with open(path, encoding="utf-8-sig") as f:
        for raw in f:
            line = raw.rstrip("\r\n")
            if line.startswith("#"):
                continue
            if not line.strip():
                q = None
                continue
            if q is None and line.strip().isdigit():
                q = {"n": int(line), "alts": {}}
                questions.append(q)
                continue
            if q is None or ":" not in line:
                continue
            key, value = line.split(":", 1)
            value = value[1:] if value.startswith(" ") else value
            if len(key) == 1 and key in "ABCDE":
                q["alts"][key] = value
            elif key == "Resposta":
                q["answer"] = value.strip()
            elif key == "P":
                q["stem"] = value
            elif key == "Figura":
                q["figure"] = value.strip()
            elif key == "Nível":
                q["level"] = value.strip()
            elif key == "Módulo":
                q["module"] = value.strip()
            elif key == "Retirada":
                q["retired"] = value.strip()
    return [q for q in questions if retired or not q.get("retired")]
