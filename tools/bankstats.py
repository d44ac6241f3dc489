#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later
"""Answer-pattern statistics of the question bank, per block and bank-wide.

Usage: tools/bankstats.py [folder with bloco-NN.txt and estudo-NN.txt]   (default: resources/questions)

Prints, per block: how often each letter is the right one, how often the right letter repeats
from one question to the next, the longest run of one letter, and how many runs of five (the
block's questions 1-5, 6-10, ...) use each letter once; then bank-wide: the same repeats and
runs of five, the share of questions whose right answer is the longest / second-longest
alternative, and the share of wrong and of right alternatives holding an absolute word. The
limits the bank guard test enforces are shown beside the figures; a line ending in "!!" breaks one.

Last come the test-wise rules (longest, shortest, most words shared with the other alternatives,
middle numeric value, echo of the stem, lone option of its kind, most severe nature, hedge words,
absolute words, negation, "not an infraction"): per file, each rule's score and the number of
questions it applies to, the blocks both with their five alternatives and as today's format shows
them (four of five), then the detail over the blocks, the study files and all; "!!" marks a rule
scoring more than chance + 5 points over 10 or more questions.

The study files (estudo-NN.txt, four alternatives A to D) follow as a group of their own, with the
limits scaled to four letters and to each file's size: each letter right between 2/3 and 1.5 times
its chance share, repeats between 0.5 and 1.5 times chance per file and 17-33 % over the group,
runs of at most 3, runs of four (1-4, 5-8, ...) using each letter once at most twice the chance
number, the same length and absolute-word limits as the blocks, and the right answer the shortest
alternative in at most 35 % of the questions.
"""
import math
import os
import re
import sys

from bankfile import read_questions

LETTERS = "ABCDE"
ABSOLUTE = re.compile(r"\b(sempre|nunca|apenas|somente|só|qualquer|nenhum|nenhuma|todos|todas|"
                      r"exclusivamente|jamais)\b", re.IGNORECASE)
NO_ANSWER = {333, 334}
MIN_BLOCK_REPEATS, MAX_BLOCK_REPEATS = 2, 12
MAX_FIVE_OF_A_KIND = 8  # runs of five using each letter once, bank-wide (about 2.6 by chance)


def read_block(path, letters=LETTERS):
    questions = read_questions(path)
    for q in questions:
        q["alts"] = {k: v for k, v in q["alts"].items() if k in letters}
        q.pop("figure", None)
    return [q for q in questions if q["n"] not in NO_ANSWER and q.get("answer", "") != ""
            and q["answer"] in letters]


def absolute_words(qs):
    """Alternatives with an absolute word, and all alternatives: (right hits, right, wrong hits, wrong)."""
    ra = rn = wa = wn = 0
    for q in qs:
        for k, v in q["alts"].items():
            hit = 1 if ABSOLUTE.search(v) else 0
            if k == q["answer"]:
                ra += hit; rn += 1
            else:
                wa += hit; wn += 1
    return ra, rn, wa, wn


def length_rank(q):
    """0 when the right answer is the longest alternative, 1 when second-longest, ..."""
    right = len(q["alts"][q["answer"]])
    return sum(1 for k, v in q["alts"].items() if k != q["answer"] and len(v) > right)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources", "questions")
    blocks(folder)
    study(folder)
    rules(folder)
    levels(folder)


LEVELS = ("fácil", "intermediário", "difícil")
LEVEL_GOAL = (50, 35, 15)  # the study set's aim, in percent


def levels(folder):
    """Per file and per group: how many questions of each level and module, and how many lack one."""
    print("levels (fácil / intermediário / difícil) and modules (1 / 2 / 3 / 4); '-' none given:")
    groups = {"blocks": [], "study": []}
    for name in sorted(os.listdir(folder)):
        m = re.fullmatch(r"(bloco|estudo)-\d\d\.txt", name)
        if not m:
            continue
        qs = read_questions(os.path.join(folder, name))
        groups["blocks" if m.group(1) == "bloco" else "study"] += qs
        print(f"{name}: {level_cells(qs)}")
    for label, qs in groups.items():
        print(f"{label}: {level_cells(qs)}")
    study = groups["study"]
    if study:
        shares = [100 * sum(q.get("level") == lv for q in study) / len(study) for lv in LEVELS]
        print("study levels: " + ", ".join(f"{lv} {s:.1f} % (aim {g} %)" for lv, s, g in zip(LEVELS, shares, LEVEL_GOAL)))


def level_cells(qs):
    n = len(qs) or 1
    lv = " / ".join(f"{100 * sum(q.get('level') == x for q in qs) / n:.0f}" for x in LEVELS)
    md = " / ".join(f"{sum(q.get('module') == str(k) for q in qs)}" for k in range(1, 5))
    none = sum("level" not in q or "module" not in q for q in qs)
    return f"{len(qs)} q  levels % {lv}  modules {md}" + (f"  - {none}" if none else "")


def print_shares(label, total, longest, second, wrong_abs, wrong_all, right_abs, right_all):
    pct = lambda a, b: 100.0 * a / b if b else 0.0
    lr, sr = pct(longest, total), pct(second, total)
    wr, rt = pct(wrong_abs, wrong_all), pct(right_abs, right_all)
    ratio = max(wr, rt) / min(wr, rt) if min(wr, rt) > 0 else (float("inf") if max(wr, rt) > 0 else 1.0)
    print(f"  right answer longest: {longest} = {lr:.1f} % (15-30 %)"
          + ("  !!" if not 15 <= lr <= 30 else ""))
    print(f"  right answer second-longest: {second} = {sr:.1f} % (<= 30 %)" + ("  !!" if sr > 30 else ""))
    print(f"  absolute words: wrong {wrong_abs}/{wrong_all} = {wr:.1f} %, right {right_abs}/{right_all}"
          f" = {rt:.1f} %, ratio {ratio:.2f} (<= 2)" + ("  !!" if ratio > 2 else ""))


def study(folder):
    names = sorted(n for n in os.listdir(folder) if re.fullmatch(r"estudo-\d\d\.txt", n))
    if not names:
        return
    total = pairs = repeats = longest = second = fours = quads = shortest = 0
    wrong_abs = wrong_all = right_abs = right_all = 0
    for name in names:
        qs = read_block(os.path.join(folder, name), "ABCD")
        shortest += sum(1 for q in qs if length_rank(q) == 3)
        seq = [q["answer"] for q in qs]
        n = len(seq)
        counts = {c: seq.count(c) for c in "ABCD"}
        rep = sum(1 for a, b in zip(seq, seq[1:]) if a == b)
        run = best = 0
        for i, c in enumerate(seq):
            run = run + 1 if i and seq[i - 1] == c else 1
            best = max(best, run)
        f_quads = len(range(0, n - 3, 4))
        four = sum(1 for i in range(0, n - 3, 4) if len(set(seq[i:i + 4])) == 4)
        ranks = [length_rank(q) for q in qs]
        b_long, b_second = ranks.count(0), ranks.count(1)
        ra, rn, wa, wn = absolute_words(qs)
        right_abs += ra; right_all += rn; wrong_abs += wa; wrong_all += wn
        share = n / 4
        lo, hi = math.floor(2 / 3 * share), math.ceil(1.5 * share)
        chance = max(n - 1, 0) / 4
        rlo, rhi = math.floor(0.5 * chance), math.ceil(1.5 * chance)
        bad = any(not lo <= counts[c] <= hi for c in "ABCD") or best > 3 or not rlo <= rep <= rhi
        print(f"{name}: {n:3d} q  " + " ".join(f"{c}={counts[c]}" for c in "ABCD") + f" ({lo}-{hi})"
              + f"  repeats {rep}/{max(n - 1, 0)} ({rlo}-{rhi})  longest run {best}  fours {four}"
              + f"  longest {b_long} second {b_second}" + ("  !!" if bad else ""))
        total += n; pairs += max(n - 1, 0); repeats += rep; fours += four; quads += f_quads
        longest += b_long; second += b_second
    if not total:
        return
    rr = 100.0 * repeats / pairs if pairs else 0.0
    max_fours = max(2, math.ceil(2 * 24 / 256 * quads))
    print(f"study: {total} questions")
    print(f"  repeats of the right letter: {repeats}/{pairs} = {rr:.1f} % (17-33 %)"
          + ("  !!" if pairs >= 20 and not 17 <= rr <= 33 else ""))
    print(f"  runs of four using each letter once: {fours}/{quads} (<= {max_fours})"
          + ("  !!" if fours > max_fours else ""))
    print_shares("study", total, longest, second, wrong_abs, wrong_all, right_abs, right_all)
    sh = 100.0 * shortest / total
    print(f"  right answer shortest: {shortest} = {sh:.1f} % (<= 35 %)" + ("  !!" if sh > 35 else ""))


def blocks(folder):
    names = sorted(n for n in os.listdir(folder) if re.fullmatch(r"bloco-\d\d\.txt", n))
    total = pairs = repeats = longest = second = fives = 0
    wrong_abs = wrong_all = right_abs = right_all = 0
    for name in names:
        qs = read_block(os.path.join(folder, name))
        seq = [q["answer"] for q in qs]
        counts = {c: seq.count(c) for c in LETTERS}
        rep = sum(1 for a, b in zip(seq, seq[1:]) if a == b)
        run = best = 0
        for i, c in enumerate(seq):
            run = run + 1 if i and seq[i - 1] == c else 1
            best = max(best, run)
        five = sum(1 for i in range(0, len(seq) - 4, 5) if len(set(seq[i:i + 5])) == 5)
        ranks = [length_rank(q) for q in qs]
        b_long, b_second = ranks.count(0), ranks.count(1)
        b_ra, b_rn, b_wa, b_wn = absolute_words(qs)
        bad = (any(not 4 <= counts[c] <= 9 for c in LETTERS) or best > 3
               or not MIN_BLOCK_REPEATS <= rep <= MAX_BLOCK_REPEATS)
        n = len(qs)
        print(f"{name}: {n:2d} q  " + " ".join(f"{c}={counts[c]}" for c in LETTERS)
              + f"  repeats {rep}/{max(n - 1, 0)}  longest run {best}  fives {five}"
              + f"  longest {b_long} second {b_second}"
              + f"  absolute wrong {b_wa}/{b_wn} right {b_ra}/{b_rn}" + ("  !!" if bad else ""))
        total += n; pairs += max(n - 1, 0); repeats += rep; fives += five
        longest += b_long; second += b_second
        wrong_abs += b_wa; wrong_all += b_wn; right_abs += b_ra; right_all += b_rn
    if not total:
        return
    pct = lambda a, b: 100.0 * a / b if b else 0.0
    rr, lr, sr = pct(repeats, pairs), pct(longest, total), pct(second, total)
    wr, rt = pct(wrong_abs, wrong_all), pct(right_abs, right_all)
    ratio = max(wr, rt) / min(wr, rt) if min(wr, rt) > 0 else float("inf")
    print(f"bank: {total} questions with an answer")
    print(f"  repeats of the right letter: {repeats}/{pairs} = {rr:.1f} % (10-30 %)"
          + ("  !!" if not 10 <= rr <= 30 else ""))
    print(f"  runs of five using each letter once: {fives} (<= {MAX_FIVE_OF_A_KIND})"
          + ("  !!" if fives > MAX_FIVE_OF_A_KIND else ""))
    print(f"  right answer longest: {longest} = {lr:.1f} % (15-30 %)"
          + ("  !!" if not 15 <= lr <= 30 else ""))
    print(f"  right answer second-longest: {second} = {sr:.1f} % (<= 30 %)" + ("  !!" if sr > 30 else ""))
    print(f"  absolute words: wrong {wrong_abs}/{wrong_all} = {wr:.1f} %, right {right_abs}/{right_all}"
          f" = {rt:.1f} %, ratio {ratio:.2f} (<= 2)" + ("  !!" if ratio > 2 else ""))


# ---- Test-wise rules -------------------------------------------------------------------------
# Each rule picks alternatives by their form alone; a pick of k tied alternatives scores 1/k when
# the right one is among them. A rule that knew nothing would score 1/n (n alternatives shown).
# Rules on a feature only some alternatives have (hedge, absolute word, negation, "not an
# infraction") are tried both ways, preferring and avoiding it, and the better way is reported;
# they count only the questions where the feature splits the alternatives. Today's format shows a
# block question's right answer and three of its four wrong ones drawn at random
# (src/study/todayexam.cpp): its figures are the mean over the four equally likely sets.

HEDGE = re.compile(r"\b(se for seguro|quando for seguro|com segurança|se possível|quando possível|"
                   r"sempre que possível|em geral|geralmente|normalmente|em regra|via de regra|"
                   r"de preferência|preferencialmente|se necessário|quando necessário|na maioria|"
                   r"em princípio|costuma|com cuidado|com cautela|com atenção|se houver)\b",
                   re.IGNORECASE)
NEGATION = re.compile(r"\b(não|nunca|nem|jamais|nenhum|nenhuma|proibid[oa]s?)\b", re.IGNORECASE)
NATURE = re.compile(r"^(infração\s+)?(leve|média|grave|gravíssima)\b", re.IGNORECASE)
BARE_NATURE = re.compile(r"^(infração\s+)?(leve|média|grave|gravíssima)\.?$", re.IGNORECASE)
NOT_INFRACTION = re.compile(r"^(não é infração|não há infração|não constitui infração|não configura|"
                            r"nenhuma infração|conduta permitida|é permitid[oa]|permitid[oa])",
                            re.IGNORECASE)
SEVERITY = {"leve": 1, "média": 2, "grave": 3, "gravíssima": 4}
NUMBER = re.compile(r"\d+(?:[.,]\d+)?")
WORD = re.compile(r"\w+")
STOP = set("para pela pelo pelas pelos como mais deve devem quando onde qual quais sobre entre "
           "esta este isso essa esse seus suas outro outra outros outras muito pode podem "
           "sem com que não uma uns umas dos das nos nas ao aos à às ser são está estão tem têm "
           "sua seu".split())
RULE_MARGIN = 5.0  # points over chance a rule may score
RULE_MIN_QUESTIONS = 10  # a rule is judged only where it applies to at least this many questions


def words(text):
    return {w for w in WORD.findall(text.lower()) if len(w) > 3 and w not in STOP}


def kind(text):
    t = text.strip()
    if NOT_INFRACTION.search(t):
        return "permitted"
    if BARE_NATURE.match(t):
        return "bare nature"
    if NATURE.match(t):
        return "nature+"
    if NUMBER.match(t):
        return "number"
    return "sentence"


def pick_extreme(alts, score, best=max):
    """The keys of the alternatives whose score is best; None when all tie."""
    values = {k: score(v) for k, v in alts.items()}
    top = best(values.values())
    picked = [k for k, v in values.items() if v == top]
    return picked if len(picked) < len(alts) else None


def rule_longest(q, alts):
    return pick_extreme(alts, len)


def rule_shortest(q, alts):
    return pick_extreme(alts, len, min)


def rule_shared(q, alts):
    ws = {k: words(v) for k, v in alts.items()}
    return pick_extreme({k: k for k in alts}, lambda k: sum(len(ws[k] & ws[o]) for o in alts if o != k))


def rule_echo(q, alts):
    stem = words(q.get("stem", ""))
    return pick_extreme({k: k for k in alts}, lambda k: len(words(alts[k]) & stem))


def rule_middle(q, alts):
    nums = {}
    for k, v in alts.items():
        m = NUMBER.search(v)
        if not m:
            return None
        nums[k] = float(m.group().replace(",", "."))
    order = sorted(set(nums.values()))
    if len(order) < 3 or len(order) < len(alts):
        return None
    n = len(order)
    middle = [order[n // 2]] if n % 2 else [order[n // 2 - 1], order[n // 2]]
    return [k for k, v in nums.items() if v in middle]


def rule_lone(q, alts):
    kinds = {k: kind(v) for k, v in alts.items()}
    counts = {}
    for x in kinds.values():
        counts[x] = counts.get(x, 0) + 1
    if len(counts) != 2:
        return None
    lone = [k for k, x in kinds.items() if counts[x] == 1]
    return lone if len(lone) == 1 else None


def rule_severe(q, alts):
    sev = {}
    for k, v in alts.items():
        m = NATURE.match(v.strip())
        if m:
            sev[k] = SEVERITY[m.group(2).lower()]
    if len(sev) < len(alts) - 1 or len(set(sev.values())) < 2:
        return None
    top = max(sev.values())
    return [k for k, v in sev.items() if v == top]


def feature_rule(pattern):
    def has(v):
        return bool(pattern.search(v) if hasattr(pattern, "search") else pattern(v))

    def prefer(q, alts):
        with_it = [k for k, v in alts.items() if has(v)]
        return with_it if 0 < len(with_it) < len(alts) else None

    def avoid(q, alts):
        without = [k for k, v in alts.items() if not has(v)]
        return without if 0 < len(without) < len(alts) else None
    return prefer, avoid


RULES = [
    ("longest", "long", rule_longest),
    ("shortest", "short", rule_shortest),
    ("most shared words", "shared", rule_shared),
    ("middle number", "middle", rule_middle),
    ("echoes the stem", "echo", rule_echo),
    ("lone of its kind", "lone", rule_lone),
    ("most severe nature", "severe", rule_severe),
    ("hedge", "hedge", feature_rule(HEDGE)),
    ("absolute word", "abs", feature_rule(ABSOLUTE)),
    ("negation", "neg", feature_rule(NEGATION)),
    ("'not an infraction'", "notinf", feature_rule(lambda v: kind(v) == "permitted")),
]


def shown_sets(q, four_of_five):
    """The sets of alternatives a candidate may see, equally likely."""
    if not four_of_five or len(q["alts"]) <= 4:
        return [q["alts"]]
    wrong = [k for k in q["alts"] if k != q["answer"]]
    return [{k: v for k, v in q["alts"].items() if k != dropped} for dropped in wrong]


def score_rule(qs, rule, four_of_five=False):
    """(hits, questions the rule applies to), hits weighted by ties and by the shown sets."""
    hits = applies = 0.0
    for q in qs:
        sets = shown_sets(q, four_of_five)
        for alts in sets:
            picked = rule(q, alts)
            if picked is None:
                continue
            applies += 1 / len(sets)
            if q["answer"] in picked:
                hits += 1 / len(picked) / len(sets)
    return hits, applies


def rule_scores(qs, four_of_five=False):
    """Per rule: (label, score %, questions it applies to, the better way for a feature rule)."""
    out = []
    for name, short, rule in RULES:
        if isinstance(rule, tuple):
            (ph, pa), (ah, aa) = score_rule(qs, rule[0], four_of_five), score_rule(qs, rule[1], four_of_five)
            ps, as_ = (100 * ph / pa if pa else 0), (100 * ah / aa if aa else 0)
            out.append((name, short, ps, pa, "prefer") if ps >= as_ else (name, short, as_, aa, "avoid"))
        else:
            h, a = score_rule(qs, rule, four_of_five)
            out.append((name, short, 100 * h / a if a else 0, a, ""))
    return out


def rule_breaks(score, applies, chance):
    return applies >= RULE_MIN_QUESTIONS and score > 100 * chance + RULE_MARGIN


def print_rules(label, qs, chance, four_of_five=False, detail=False):
    scores = rule_scores(qs, four_of_five)
    cells = []
    for name, short, score, applies, way in scores:
        mark = "!!" if rule_breaks(score, applies, chance) else ""
        if detail:
            print(f"  {name + (' (' + way + ')' if way else '')}: {score:.1f} % over {applies:.0f} questions"
                  f" (chance {100 * chance:.0f} %, limit {100 * chance + RULE_MARGIN:.0f} %){'  !!' if mark else ''}")
        else:
            cells.append(f"{short}{'-' + way[0] if way else ''} {score:.0f}/{applies:.0f}{mark}")
    if not detail:
        print(f"{label}: " + "  ".join(cells))


def rules(folder):
    print(f"test-wise rules: score % / questions it applies to; '!!' over chance + {RULE_MARGIN:.0f} points"
          f" where it applies to {RULE_MIN_QUESTIONS} or more; -p/-a: preferring/avoiding the feature")
    block_qs, study_qs = [], []
    for name in sorted(os.listdir(folder)):
        if re.fullmatch(r"bloco-\d\d\.txt", name):
            qs = read_block(os.path.join(folder, name))
            block_qs += qs
            print_rules(name + " (1 in 5)", qs, 1 / 5)
            print_rules(name + " (4 shown)", qs, 1 / 4, four_of_five=True)
    for name in sorted(os.listdir(folder)):
        if re.fullmatch(r"estudo-\d\d\.txt", name):
            qs = read_block(os.path.join(folder, name), "ABCD")
            study_qs += qs
            print_rules(name, qs, 1 / 4)
    print("blocks, five alternatives:")
    print_rules("blocks", block_qs, 1 / 5, detail=True)
    print("blocks, the four alternatives today's format shows:")
    print_rules("blocks", block_qs, 1 / 4, four_of_five=True, detail=True)
    print("study questions:")
    print_rules("study", study_qs, 1 / 4, detail=True)
    print("all, as today's format shows them (four alternatives):")
    print_rules("all", block_qs + study_qs, 1 / 4, four_of_five=True, detail=True)


if __name__ == "__main__":
    main()
