// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes tests/study/fsrs-fixture.json: random review sequences scheduled by ts-fsrs (the
// reference implementation of FSRS), which tests/study/tst_fsrs.cpp replays through the C++ model
// in src/study/fsrs.cpp. Whole days only: no interval fuzz, no short-term (same-day) steps,
// default parameters.
//
// To write it again (the draws start from a fixed state, so the same ts-fsrs version writes the
// same file):
//   cd tools/fsrs-fixture && npm install && node make-fixture.mjs
import { writeFileSync } from 'node:fs';
import { fileURLToPath } from 'node:url';
import { createEmptyCard, fsrs, Rating, FSRSVersion, default_w } from 'ts-fsrs';

const kFirstState = 20261208;
// Sequences per desired retention: the program's default (0.9) is the one that counts; a few at
// other retentions check how the interval follows the retention.
const kGroups = [
  { retention: 0.9, sequences: 1200 },
  { retention: 0.8, sequences: 100 },
  { retention: 0.95, sequences: 100 },
];
const kDayMs = 24 * 60 * 60 * 1000;
const kStart = Date.UTC(2024, 0, 1, 12, 0, 0); // day 0 of every sequence, at noon UTC

// mulberry32: a small generator started from a fixed state, so that the file is the same at every run.
function generator(state) {
  let a = state >>> 0;
  return () => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}
const random = generator(kFirstState);
const between = (low, high) => low + Math.floor(random() * (high - low + 1));

// Answers as a learner gives them: mostly Good, some Again, fewer Hard and Easy.
function rating() {
  const x = random();
  if (x < 0.22) return Rating.Again;
  if (x < 0.37) return Rating.Hard;
  if (x < 0.85) return Rating.Good;
  return Rating.Easy;
}

// The day of the next review: on the due day, early (even the same day), late, or far later, so
// that retrievability spans its whole range.
function nextDay(day, due) {
  const wait = due - day;
  const x = random();
  if (x < 0.35) return due;
  if (x < 0.45) return day; // again the same day
  if (x < 0.65) return day + between(1, Math.max(1, wait)); // early
  if (x < 0.9) return due + between(1, Math.max(1, wait)); // late, up to twice the wait
  return due + between(1, 400); // long after
}

const round6 = (x) => Math.round(x * 1e6) / 1e6;

const groups = kGroups.map(({ retention, sequences }) => {
  const scheduler = fsrs({
    request_retention: retention,
    maximum_interval: 36500,
    enable_fuzz: false,
    enable_short_term: false,
  });
  const list = [];
  for (let i = 0; i < sequences; ++i) {
    const reviews = between(2, 12);
    let card = createEmptyCard(new Date(kStart));
    let day = between(0, 3);
    const seq = { days: [], ratings: [], due: [], stability: [], difficulty: [] };
    for (let r = 0; r < reviews; ++r) {
      const g = rating();
      card = scheduler.next(card, new Date(kStart + day * kDayMs), g).card;
      const due = Math.round((card.due.getTime() - kStart) / kDayMs);
      seq.days.push(day);
      seq.ratings.push(g);
      seq.due.push(due);
      seq.stability.push(round6(card.stability));
      seq.difficulty.push(round6(card.difficulty));
      day = nextDay(day, due);
    }
    seq.reps = card.reps;
    seq.lapses = card.lapses;
    list.push(seq);
  }
  return { retention, sequences: list };
});

const fixture = {
  about: 'Made by tools/fsrs-fixture/make-fixture.mjs; days count from a sequence\'s start; ratings 1 Again, 2 Hard, 3 Good, 4 Easy; after each review its due day, stability and difficulty (rounded to 1e-6).',
  reference: FSRSVersion,
  parameters: Array.from(default_w),
  maximumInterval: 36500,
  groups,
};
const out = fileURLToPath(new URL('../../tests/study/fsrs-fixture.json', import.meta.url));
// One sequence a line keeps the file small and its diffs readable.
const lines = [];
lines.push('{');
lines.push(`"about": ${JSON.stringify(fixture.about)},`);
lines.push(`"reference": ${JSON.stringify(fixture.reference)},`);
lines.push(`"parameters": ${JSON.stringify(fixture.parameters)},`);
lines.push(`"maximumInterval": ${fixture.maximumInterval},`);
lines.push('"groups": [');
groups.forEach((g, gi) => {
  lines.push(`{"retention": ${g.retention}, "sequences": [`);
  g.sequences.forEach((s, si) => lines.push(JSON.stringify(s) + (si + 1 < g.sequences.length ? ',' : '')));
  lines.push(']}' + (gi + 1 < groups.length ? ',' : ''));
});
lines.push(']}');
writeFileSync(out, lines.join('\n') + '\n');
const count = groups.reduce((n, g) => n + g.sequences.length, 0);
console.log(`${out}: ${count} sequences (${FSRSVersion})`);
