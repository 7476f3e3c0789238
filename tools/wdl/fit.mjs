#!/usr/bin/env node
// Fits the win/draw/loss model to the records of play.mjs by maximum likelihood and scores it on
// games it never saw.
//
//   node tools/wdl/fit.mjs [--data tools/wdl/games.csv.gz] [--seed 1] [--holdout 0.2] [--mmin 4]
//
// For score s (mover's view) and material m clamped to [M_MIN, M_MAX], x = m / 78:
//   win  = 1 / (1 + exp(-( s - a(x)) / b(x)))
//   loss = 1 / (1 + exp(-(-s - a(x)) / b(x)))
//   draw = 1 - win - loss,    a and b cubic in x.
// Both games of an opening go to the same side of the split, as they share their first moves.

import fs from "node:fs";
import path from "node:path";
import zlib from "node:zlib";
import { fileURLToPath } from "node:url";

const HERE = path.dirname(fileURLToPath(import.meta.url));
export let M_MIN = 4;
export const M_MAX = 78, M_SCALE = 78;
const DEGREE = 3;
const LOGIT_CAP = 50;        // exp of more is 0 or 1 to double precision anyway
const P_FLOOR = 1e-12;       // log loss of a probability the model calls impossible

function parseArgs(argv) {
  const a = {};
  for (let i = 2; i < argv.length; i += 2) a[argv[i].replace(/^--/, "")] = argv[i + 1];
  return { data: a.data ?? path.join(HERE, "games.csv.gz"), seed: parseInt(a.seed ?? "1", 10),
    holdout: parseFloat(a.holdout ?? "0.2"), mmin: parseInt(a.mmin ?? String(M_MIN), 10) };
}

// ---- data ----------------------------------------------------------------------
// Records as columns: x (clamped material / 78), s, y (0 loss, 1 draw, 2 win, mover's view).
function load(file) {
  const lines = zlib.gunzipSync(fs.readFileSync(file)).toString().trim().split("\n").slice(1);
  const recs = lines.map((l) => {
    const [game, , stm, score, material, result, end] = l.split(",");
    const white = result === "w" ? 2 : result === "d" ? 1 : 0;
    return { game: +game, s: +score, m: +material, y: stm === "w" ? white : 2 - white, result, end };
  });
  return recs;
}

// A fixed pseudo-random draw per opening (both colour-swapped games share it).
function inHoldout(game, seed, share) {
  let h = (Math.floor(game / 2) + 1) * 2654435761 + seed * 40503;
  h = Math.imul(h ^ (h >>> 16), 0x45d9f3b); h = Math.imul(h ^ (h >>> 16), 0x45d9f3b); h ^= h >>> 16;
  return (h >>> 0) / 2 ** 32 < share;
}

function columns(recs) {
  const n = recs.length, x = new Float64Array(n), s = new Float64Array(n), y = new Uint8Array(n), m = new Uint8Array(n);
  recs.forEach((r, i) => { x[i] = Math.min(M_MAX, Math.max(M_MIN, r.m)) / M_SCALE; s[i] = r.s; y[i] = r.y; m[i] = r.m; });
  return { n, x, s, y, m, games: new Set(recs.map((r) => r.game)).size };
}

// ---- the model -----------------------------------------------------------------
const sigmoid = (u) => 1 / (1 + Math.exp(-Math.max(-LOGIT_CAP, Math.min(LOGIT_CAP, u))));
const poly = (c, x) => c.reduceRight((acc, k) => acc * x + k, 0);

// theta = [a0..a_d, b0..b_d]; `degree` 0 gives the material-free logistic.
export function predict(theta, s, x) {
  const d = theta.length / 2, a = poly(theta.slice(0, d), x), b = poly(theta.slice(d), x);
  const w = sigmoid((s - a) / b), l = sigmoid((-s - a) / b);
  return { w, d: 1 - w - l, l, a, b };
}

// Mean negative log likelihood and its gradient.
function nll(theta, data, wantGrad = true) {
  const d = theta.length / 2, g = new Float64Array(theta.length);
  let sum = 0;
  for (let i = 0; i < data.n; i++) {
    const x = data.x[i], s = data.s[i];
    let a = 0, b = 0;
    for (let k = d - 1; k >= 0; k--) { a = a * x + theta[k]; b = b * x + theta[d + k]; }
    if (!(b > 0)) return { f: Infinity, g };
    const uw = (s - a) / b, ul = (-s - a) / b, w = sigmoid(uw), l = sigmoid(ul), dr = 1 - w - l;
    const p = data.y[i] === 2 ? w : data.y[i] === 0 ? l : dr;
    if (!(p > P_FLOOR)) return { f: Infinity, g };
    sum -= Math.log(p);
    if (!wantGrad) continue;
    // dP/da and dP/db, then the chain through the polynomial coefficients.
    const dwa = -w * (1 - w) / b, dwb = dwa * uw, dla = -l * (1 - l) / b, dlb = dla * ul;
    const [pa, pb] = data.y[i] === 2 ? [dwa, dwb] : data.y[i] === 0 ? [dla, dlb] : [-dwa - dla, -dwb - dlb];
    let xk = 1;
    for (let k = 0; k < d; k++, xk *= x) { g[k] -= pa / p * xk; g[d + k] -= pb / p * xk; }
  }
  for (let k = 0; k < g.length; k++) g[k] /= data.n;
  return { f: sum / data.n, g };
}

// ---- the optimiser: damped Newton, Hessian from differences of the analytic gradient -----------
function hessian(theta, data) {
  const n = theta.length, H = Array.from({ length: n }, () => new Float64Array(n));
  for (let j = 0; j < n; j++) {
    const h = 1e-5 * Math.max(1, Math.abs(theta[j]));
    const up = theta.slice(), dn = theta.slice();
    up[j] += h; dn[j] -= h;
    const gu = nll(up, data).g, gd = nll(dn, data).g;
    for (let i = 0; i < n; i++) H[i][j] = (gu[i] - gd[i]) / (2 * h);
  }
  for (let i = 0; i < n; i++) for (let j = 0; j < i; j++) H[i][j] = H[j][i] = (H[i][j] + H[j][i]) / 2;
  return H;
}

// Solves (H + lambda I) x = r by Cholesky; null when not positive definite.
function solve(H, r, lambda) {
  const n = r.length, L = Array.from({ length: n }, () => new Float64Array(n));
  for (let i = 0; i < n; i++) for (let j = 0; j <= i; j++) {
    let v = H[i][j] + (i === j ? lambda * Math.max(1e-12, Math.abs(H[i][i])) : 0);
    for (let k = 0; k < j; k++) v -= L[i][k] * L[j][k];
    if (i === j) { if (!(v > 0)) return null; L[i][i] = Math.sqrt(v); } else L[i][j] = v / L[j][j];
  }
  const z = new Float64Array(n), out = new Float64Array(n);
  for (let i = 0; i < n; i++) { let v = r[i]; for (let k = 0; k < i; k++) v -= L[i][k] * z[k]; z[i] = v / L[i][i]; }
  for (let i = n - 1; i >= 0; i--) { let v = z[i]; for (let k = i + 1; k < n; k++) v -= L[k][i] * out[k]; out[i] = v / L[i][i]; }
  return out;
}

export function fit(theta0, data, log = () => {}) {
  let theta = theta0.slice(), cur = nll(theta, data);
  if (!Number.isFinite(cur.f)) throw new Error("the starting point is infeasible");
  for (let it = 0; it < 100; it++) {
    const H = hessian(theta, data);
    let step = null;
    for (let lambda = 0; !step && lambda < 1e6; lambda = lambda ? lambda * 10 : 1e-8) step = solve(H, cur.g.map((v) => -v), lambda);
    if (!step) step = cur.g.map((v) => -v);
    // Backtracking (Armijo) along the step; infeasible points (b <= 0, draw <= 0) count as worse.
    const slope = step.reduce((acc, v, i) => acc + v * cur.g[i], 0);
    let t = 1, next = null;
    for (; t > 1e-10; t /= 2) {
      const cand = theta.map((v, i) => v + t * step[i]);
      const r = nll(cand, data);
      if (r.f <= cur.f + 1e-4 * t * slope) { next = { theta: cand, r }; break; }
    }
    if (!next) break;
    const gain = cur.f - next.r.f;
    theta = next.theta; cur = next.r;
    log(`  iteration ${it}: log loss ${cur.f.toFixed(8)}, step ${t}, |gradient| ${Math.hypot(...cur.g).toExponential(2)}`);
    if (gain < 1e-12 && Math.hypot(...cur.g) < 1e-7) break;
  }
  return { theta, f: cur.f };
}

// ---- evaluation ----------------------------------------------------------------
function evaluate(predictFn, data) {
  let ll = 0, se = 0;
  for (let i = 0; i < data.n; i++) {
    const p = predictFn(data.s[i], data.x[i]), y = data.y[i];
    ll -= Math.log(Math.max(P_FLOOR, y === 2 ? p.w : y === 0 ? p.l : p.d));
    se += (p.w + p.d / 2 - y / 2) ** 2;
  }
  return { logloss: ll / data.n, mse: se / data.n };
}

const BUCKETS = [-Infinity, -300, -250, -200, -150, -100, -75, -50, -25, 0, 25, 50, 75, 100, 150, 200, 250, 300, Infinity];
function bucketLabel(lo, hi) {
  if (lo === -Infinity) return `< ${hi}`;
  if (hi === Infinity) return `>= ${lo}`;
  return `${lo}..${hi - 1}`;
}
const pct = (v) => (100 * v).toFixed(1).padStart(7);

function calibration(theta, data) {
  const rows = [];
  for (let k = 0; k + 1 < BUCKETS.length; k++) {
    const acc = { n: 0, pw: 0, pd: 0, pl: 0, ow: 0, od: 0, ol: 0 };
    for (let i = 0; i < data.n; i++) {
      if (!(data.s[i] >= BUCKETS[k] && data.s[i] < BUCKETS[k + 1])) continue;
      const p = predict(theta, data.s[i], data.x[i]);
      acc.n++; acc.pw += p.w; acc.pd += p.d; acc.pl += p.l;
      acc[["ol", "od", "ow"][data.y[i]]]++;
    }
    const n = acc.n || 1;
    rows.push(`| ${bucketLabel(BUCKETS[k], BUCKETS[k + 1]).padEnd(10)} | ${String(acc.n).padStart(6)} | ` +
      `${pct(acc.pw / n)}${pct(acc.pd / n)}${pct(acc.pl / n)} | ${pct(acc.ow / n)}${pct(acc.od / n)}${pct(acc.ol / n)} |`);
  }
  return ["| score      |  count | predicted W / D / L % | observed W / D / L %  |",
    "|------------|--------|-----------------------|-----------------------|", ...rows].join("\n");
}

// The permille triple as the engine rounds it, for the engine's test.
export function permille(theta, score, material) {
  const x = Math.min(M_MAX, Math.max(M_MIN, material)) / M_SCALE, p = predict(theta, score, x);
  const w = Math.round(1000 * p.w), l = Math.round(1000 * p.l);
  return [w, 1000 - w - l, l];
}

// Games by result and by how they ended, and positions by material, to choose the clamped range.
function describe(recs) {
  const games = new Map();
  for (const r of recs) games.set(r.game, r);
  const tally = {};
  for (const r of games.values()) for (const k of [`result ${r.result}`, `end ${r.end}`]) tally[k] = (tally[k] ?? 0) + 1;
  console.log(`${games.size} games, ${recs.length} positions; ` +
    Object.entries(tally).sort().map(([k, v]) => `${k}: ${v}`).join(", "));
  const bins = new Array(20).fill(0);
  for (const r of recs) bins[Math.min(19, Math.floor(r.m / 4))]++;
  console.log("positions by material (bins of 4): " + bins.map((c, k) => `${4 * k}:${c}`).join(" "));
}

// a and b over the clamped range: the draw needs a > 0, the logistic b > 0.
function checkShape(theta) {
  const d = theta.length / 2;
  for (let m = M_MIN; m <= M_MAX; m++) {
    const a = poly(theta.slice(0, d), m / M_SCALE), b = poly(theta.slice(d), m / M_SCALE);
    if (!(a > 0 && b > 0)) { console.error(`the fit is unusable at material ${m}: a ${a}, b ${b}`); process.exit(1); }
  }
}

function printModel(theta) {
  const d = theta.length / 2, a = theta.slice(0, d), b = theta.slice(d);
  console.log(`\ncoefficients (x = clamp(material, ${M_MIN}, ${M_MAX}) / ${M_SCALE}, lowest power first):`);
  console.log(`  a = [${a.map((v) => v.toFixed(4)).join(", ")}]`);
  console.log(`  b = [${b.map((v) => v.toFixed(4)).join(", ")}]`);
  console.log(`  for src/eval/wdl.cpp:\n    constexpr double WDL_A[4] = {${a.join(", ")}};` +
    `\n    constexpr double WDL_B[4] = {${b.join(", ")}};`);
  for (const m of [M_MIN, 10, 20, 30, 40, 50, 60, 70, M_MAX])
    console.log(`  material ${String(m).padStart(2)}: a ${poly(a, m / M_SCALE).toFixed(1)}, b ${poly(b, m / M_SCALE).toFixed(1)}`);
}

function printComparison(predictors, test) {
  console.log(`\nheld out: ${test.games} games, ${test.n} positions`);
  console.log("| predictor              | log loss | MSE of expected score |");
  console.log("|------------------------|----------|-----------------------|");
  for (const [name, p] of predictors) {
    const r = evaluate(p, test);
    console.log(`| ${name.padEnd(22)} | ${r.logloss.toFixed(4).padEnd(8)} | ${r.mse.toFixed(5).padEnd(21)} |`);
  }
}

// The same two measures within ranges of material, for the model and the material-free logistic.
function printByMaterial(model, flat, test) {
  console.log("\n| material | positions | log loss (model / no material) | MSE (model / no material) |");
  console.log("|----------|-----------|--------------------------------|---------------------------|");
  for (const [lo, hi] of [[0, 9], [10, 19], [20, 29], [30, 39], [40, 49], [50, 59], [60, 69], [70, 78]]) {
    const keep = [];
    for (let i = 0; i < test.n; i++) if (test.m[i] >= lo && test.m[i] <= hi) keep.push(i);
    const part = { n: keep.length, x: keep.map((i) => test.x[i]), s: keep.map((i) => test.s[i]), y: keep.map((i) => test.y[i]) };
    const rm = evaluate(model, part), rf = evaluate(flat, part);
    console.log(`| ${`${lo}..${hi}`.padEnd(8)} | ${String(part.n).padStart(9)} | ` +
      `${`${rm.logloss.toFixed(4)} / ${rf.logloss.toFixed(4)}`.padEnd(30)} | ${`${rm.mse.toFixed(5)} / ${rf.mse.toFixed(5)}`.padEnd(25)} |`);
  }
}

function main() {
  const opt = parseArgs(process.argv);
  M_MIN = opt.mmin;
  const recs = load(opt.data);
  describe(recs);
  const train = columns(recs.filter((r) => !inHoldout(r.game, opt.seed, opt.holdout)));
  const test = columns(recs.filter((r) => inHoldout(r.game, opt.seed, opt.holdout)));
  console.log(`training ${train.games} games, ${train.n} positions; held out ${test.games} games, ${test.n} positions`);

  console.log("material-free logistic:");
  const flat = fit([100, 60], train, console.log);
  console.log(`  a ${flat.theta[0].toFixed(1)}, b ${flat.theta[1].toFixed(1)}`);
  console.log("model, a and b cubic in material:");
  const start = [flat.theta[0], 0, 0, 0, flat.theta[1], 0, 0, 0].slice(0, 2 * (DEGREE + 1));
  const model = fit(start, train, console.log);
  checkShape(model.theta);
  printModel(model.theta);

  const counts = [0, 0, 0];
  for (let i = 0; i < train.n; i++) counts[train.y[i]]++;
  const [cl, cd, cw] = counts.map((c) => c / train.n);
  const pm = (s, x) => predict(model.theta, s, x), pf = (s, x) => predict(flat.theta, s, x);
  printComparison([["constant rates", () => ({ w: cw, d: cd, l: cl })], ["material-free logistic", pf], ["model", pm]], test);
  printByMaterial(pm, pf, test);
  console.log(`\ncalibration on the held-out positions:\n${calibration(model.theta, test)}`);

  console.log("\npermille (win, draw, loss) for the engine's test:");
  for (const [s, m] of [[0, 78], [50, 78], [-120, 60], [100, 40], [200, 24], [-40, 10], [300, 5]])
    console.log(`  score ${s}, material ${m}: ${permille(model.theta, s, m).join(" ")}`);
}

if (process.argv[1] === fileURLToPath(import.meta.url)) main();
