#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later
"""Near-duplicate questions of the bank: pairs that ask the same fact with the same answer.

Usage: tools/bankdups.py [--folder DIR] [--threshold T] [--study-threshold T] [--summary]
                         [--known FILE --check]

Compares every study question (estudo-NN.txt) with every block question (bloco-NN.txt) and with
every other study question; block questions are not compared with each other. Prints the pairs
scoring at least the threshold (0.20 for a study question against a block question, 0.45 for two
study questions), highest first: score, the two numbers, and each stem with its right answer on
one line.

The measure, for two questions a and b:
  - each text is cut into words, lower-cased, without accents; stop words and words that only
    frame a question ("placa", "infração", "significa", ...) are dropped, and a light stemmer
    takes off plural and common verb and noun endings;
  - the stem's words (with the picture's name, when the question shows one) and the right
    answer's words are weighed by rarity over the whole bank (idf + 0.5), and a weighted Jaccard
    is taken of the two stems (s) and of the two right answers (k);
  - k is scaled down when the words the answers share carry little weight (two bare
    "Gravíssima" answers share the fact's nature, not the fact), and set to 0 when the answers
    name different numbers or opposite sides (esquerda / direita): then the answer differs;
  - score = sqrt(s * k), and 0 when s < 0.2 (the stems must share something of the fact); when
    both right answers are bare (a nature, a penalty, an amount), score = s.
Read by a person, about four in five of the study-block pairs it finds at 0.20 are the same
fact, and about two in three of the study-study pairs at 0.45; study questions on one subject
share more words (many "é infração: Grave" questions), hence the higher threshold. It misses
repeats that say the same thing in other words: it is a screen, read each pair.

--known FILE lists the pairs known to remain, one "A B" a line (the smaller number first; text
after "#" is a comment). With --check, prints each pair found and not listed and each listed
pair no longer found (its score now 0.05 or more below the threshold, so that a pair near the
threshold does not come and go with edits elsewhere), and exits 1 if there is any: the list
holds what remains and only shrinks. It also fails a study question retired as a repeat
("Retirada: repete o que a N já pergunta") whose N is not a question still asked.
--summary prints the counts per file instead of the pairs.
"""
import argparse
import collections
import itertools
import math
import os
import re
import sys
import unicodedata

from bankfile import read_questions

THRESHOLD = 0.20        # a study question against a block question
STUDY_THRESHOLD = 0.45  # two study questions
STEM_GATE = 0.20
# A listed pair counts as gone once it scores this much below its threshold: word weights follow
# the whole bank, so an edit elsewhere moves a pair's score by a few thousandths, and a pair near
# the threshold should not come and go with it; a replaced question drops far below.
GONE_MARGIN = 0.05
SHARED_WEIGHT = 6.0  # weight the answers' shared words need to count in full


def fold(text):
    text = unicodedata.normalize("NFD", text.lower())
    return "".join(c for c in text if unicodedata.category(c) != "Mn")


STOP = set(fold("""
a à ao aos as às o os um uma uns umas de do da dos das no na nos nas em e é ou que se com por para
pelo pela pelos pelas como mais menos seu sua seus suas ele ela eles elas lhe isso esse essa este
esta aquele aquela deve devem pode podem ser são está estão foi há ter tem têm quando qual quais
onde sobre entre sem até após antes depois também já sim muito pouco mesmo outro outra outros
outras cada todo toda todos todas apenas só somente sempre nunca qualquer caso assim então porque
pois nem lo la los las me te nos vos condutor condutores veículo veículos motorista correto correta
afirmar seguinte você placa placas figura mostrada significa significado indica informa adverte
avisa anuncia regulamenta determina código infração natureza punida punido
""").split())
NUMBERS = {"dois": "2", "duas": "2", "tres": "3", "quatro": "4", "cinco": "5", "seis": "6",
           "sete": "7", "oito": "8", "nove": "9", "dez": "10", "doze": "12", "vinte": "20",
           "trinta": "30"}
SIDES = {"esquerda", "direita"}
# Words of an answer that name an infraction's nature, its penalties or a bare amount: an answer
# made only of them says nothing of the fact, which then lies in the stem alone.
BARE = set(fold("""
leve média grave gravíssima infração infrações crime trânsito multa multiplicada vezes com e
suspensão direito dirigir remoção retenção recolhimento apreensão veículo documento habilitação
cassação sempre em dobro km h dias meses anos pontos metros por cento
""").split())
ENDINGS = ("mente", "coes", "cao", "oes", "ais", "eis", "ados", "adas", "idos", "idas", "ado",
           "ada", "ido", "ida", "ar", "er", "ir", "es", "s", "a", "o", "e")


def words(text):
    return re.findall(r"[a-z0-9]+", fold(text))


def stem(word):
    for ending in ENDINGS:
        if word.endswith(ending) and len(word) - len(ending) >= 4:
            return word[:-len(ending)]
    return word


def content(text):
    return {stem(w) for w in words(text) if w not in STOP and len(w) > 1}


def marks(text):
    """The numbers and the sides an answer names."""
    ws = words(text)
    return ({NUMBERS.get(w, w) for w in ws if w.isdigit() or w in NUMBERS},
            {w for w in ws if w in SIDES})


def read_file(path):
    questions = read_questions(path)
    for q in questions:
        q["file"] = os.path.basename(path)
        if "stem" in q:
            q["stem"] = q["stem"].strip()
        q["alts"] = {k: v.strip() for k, v in q["alts"].items()}
    return questions


def read_bank(folder):
    names = sorted(n for n in os.listdir(folder) if re.fullmatch(r"(bloco|estudo)-\d+\.txt", n))
    if not names:
        sys.exit(f"{folder}: no bloco-NN.txt or estudo-NN.txt")
    bank = []
    for name in names:
        for q in read_file(os.path.join(folder, name)):
            if "stem" not in q or q.get("answer") not in q["alts"]:
                continue  # stored without an answer: nothing to repeat
            q["study"] = name.startswith("estudo")
            q["key"] = q["alts"][q["answer"]]
            q["s"] = content(q["stem"]) | ({"figura:" + q["figure"]} if q.get("figure") else set())
            q["k"] = content(q["key"])
            q["marks"] = marks(q["key"])
            q["bare"] = all(w in BARE or w in STOP or w.isdigit() or w in NUMBERS for w in words(q["key"]))
            bank.append(q)
    return bank


class Measure:
    def __init__(self, bank):
        df = collections.Counter()
        for q in bank:
            df.update(q["s"] | q["k"])
        self.idf = {t: math.log(len(bank) / c) + 0.5 for t, c in df.items()}

    def jaccard(self, a, b):
        union = sum(self.idf[t] for t in a | b)
        return sum(self.idf[t] for t in a & b) / union if union else 0.0

    def parts(self, a, b):
        s = self.jaccard(a["s"], b["s"])
        k = self.jaccard(a["k"], b["k"])
        k *= min(1.0, sum(self.idf[t] for t in a["k"] & b["k"]) / SHARED_WEIGHT)
        (numbers_a, sides_a), (numbers_b, sides_b) = a["marks"], b["marks"]
        if (numbers_a and numbers_b and numbers_a != numbers_b) or \
                (sides_a and sides_b and sides_a != sides_b):
            k = 0.0
        return s, k

    def score(self, a, b):
        s, k = self.parts(a, b)
        if s < STEM_GATE or k == 0.0:
            return 0.0
        if a["bare"] and b["bare"]:
            return s  # the same nature or amount: only the stems tell the fact
        return math.sqrt(s * k)


def scored_pairs(bank):
    """Every compared pair as (score, a, b), a the lower number."""
    measure = Measure(bank)
    study = [q for q in bank if q["study"]]
    blocks = [q for q in bank if not q["study"]]
    candidates = itertools.chain(((b, s) for s in study for b in blocks),
                                 itertools.combinations(study, 2))
    for a, b in candidates:
        if a["n"] > b["n"]:
            a, b = b, a
        yield measure.score(a, b), a, b


def check_retired(folder, asked):
    """A question retired as a repeat names the questions that ask its fact; each must still be
    asked, or the fact would be left with no question. Prints each fault; returns their count."""
    faults = 0
    for name in sorted(n for n in os.listdir(folder) if re.fullmatch(r"estudo-\d+\.txt", n)):
        for q in read_questions(os.path.join(folder, name), retired=True):
            why = q.get("retired")
            if not why or not why.startswith("repete"):
                continue
            named = [int(n) for n in re.findall(r"\b\d+\b", why)]
            gone = [n for n in named if n not in asked]
            if not named or gone:
                faults += 1
                print(f"retired {q['n']} ({name}) names {gone or 'no question'}, not asked any more: "
                      "name the question that asks its fact now")
    return faults


def one_line(q, width=80):
    text = f'{q["stem"]} -> {q["key"]}'
    return text if len(text) <= width else text[:width - 1] + "…"


def read_known(path):
    known = set()
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.split("#", 1)[0].strip()
            if not line:
                continue
            fields = line.split()
            if len(fields) != 2 or not all(x.isdigit() for x in fields):
                sys.exit(f"{path}:{number}: expected two question numbers, got {raw.strip()!r}")
            a, b = sorted(int(x) for x in fields)
            known.add((a, b))
    return known


def summary(found, bank):
    repeating = collections.Counter()
    inside = collections.Counter()
    seen = set()
    for _, a, b in found:
        if not a["study"]:
            if b["n"] not in seen:
                repeating[b["file"]] += 1
                seen.add(b["n"])
        else:
            inside[a["file"] if a["file"] == b["file"] else "between files"] += 1
    print(f"study questions repeating a block question: {sum(repeating.values())}")
    for name in sorted(repeating):
        print(f"  {name}: {repeating[name]}")
    print(f"pairs of study questions: {sum(inside.values())}")
    for name in sorted(inside):
        print(f"  {name}: {inside[name]}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--folder", default=os.path.join(os.path.dirname(__file__), "..",
                                                         "resources", "questions"))
    parser.add_argument("--threshold", type=float, default=THRESHOLD)
    parser.add_argument("--study-threshold", type=float, default=STUDY_THRESHOLD)
    parser.add_argument("--known")
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--summary", action="store_true")
    args = parser.parse_args()
    if args.check and not args.known:
        parser.error("--check needs --known")

    bank = read_bank(args.folder)
    numbers = collections.Counter(q["n"] for q in bank)
    doubled = sorted(n for n, c in numbers.items() if c > 1)
    if doubled:
        sys.exit(f"question numbers used twice: {doubled}")
    everything = {(a["n"], b["n"]): (sc, a, b) for sc, a, b in scored_pairs(bank)}
    def over(v):
        return v[0] >= (args.threshold if not v[1]["study"] else args.study_threshold)
    found = sorted((v for v in everything.values() if over(v)),
                   key=lambda v: (-v[0], v[1]["n"], v[2]["n"]))

    if args.check:
        known = read_known(args.known)
        faults = 0
        for sc, a, b in found:
            if (a["n"], b["n"]) not in known:
                faults += 1
                print(f"new near-duplicate {a['n']} {b['n']} ({sc:.2f}): "
                      f"{one_line(a, 60)} | {one_line(b, 60)}")
        for pair in sorted(known):
            now = everything.get(pair)
            if now and now[0] >= (args.threshold if not now[1]["study"]
                                  else args.study_threshold) - GONE_MARGIN:
                continue
            faults += 1
            state = f"scores {now[0]:.2f} now" if now else "no such pair of questions"
            print(f"listed pair {pair[0]} {pair[1]} is no longer a near-duplicate ({state}): "
                  f"take it off {args.known}")
        faults += check_retired(args.folder, {q["n"] for q in bank})
        print(f"{len(found)} near-duplicate pairs at {args.threshold:.2f} / "
              f"{args.study_threshold:.2f}, {len(known)} listed, "
              f"{faults} faults")
        return 1 if faults else 0

    if args.summary:
        summary(found, bank)
        return 0
    for sc, a, b in found:
        print(f"{sc:.2f}  {a['n']:4d} {b['n']:4d}  {one_line(a)}  |  {one_line(b)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
