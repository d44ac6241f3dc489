#!/usr/bin/env python3
"""Answer-pattern statistics of the question bank, per block and bank-wide.

Usage: tools/bankstats.py [folder with bloco-NN.txt and estudo-NN.txt]   (default: resources/questions)

Prints, per block: how often each letter is the right one, how often the right letter repeats
from one question to the next, the longest run of one letter, and how many runs of five (the
block's questions 1-5, 6-10, ...) use each letter once; then bank-wide: the same repeats and
runs of five, the share of questions whose right answer is the longest / second-longest
alternative, and the share of wrong and of right alternatives holding an absolute word. The
limits the bank guard test enforces are shown beside the figures; a line ending in "!!" breaks one.

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

LETTERS = "ABCDE"
ABSOLUTE = re.compile(r"\b(sempre|nunca|apenas|somente|só|qualquer|nenhum|nenhuma|todos|todas|"
                      r"exclusivamente|jamais)\b", re.IGNORECASE)
NO_ANSWER = {333, 334}
MIN_BLOCK_REPEATS, MAX_BLOCK_REPEATS = 2, 12
MAX_FIVE_OF_A_KIND = 8  # runs of five using each letter once, bank-wide (about 2.6 by chance)


def read_block(path, letters=LETTERS):
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
            if q is None and line.isdigit():
                q = {"n": int(line), "alts": {}}
                questions.append(q)
                continue
            if q is None or ":" not in line:
                continue
            key, value = line.split(":", 1)
            value = value[1:] if value.startswith(" ") else value
            if key in letters and len(key) == 1:
                q["alts"][key] = value
            elif key == "Resposta":
                q["answer"] = value.strip()
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


if __name__ == "__main__":
    main()
