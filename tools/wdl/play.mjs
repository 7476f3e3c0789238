#!/usr/bin/env node
// Self-play games for the win/draw/loss model: Quoril against itself at a fixed node count per
// move, refereed by chess.js, one game at a time. Every searched move becomes one record.
//
//   node tools/wdl/play.mjs --games 2000 --nodes 40000 --out tools/wdl/games.csv.gz
//
// Options
//   --engine CMD      engine command line (default build/release/quoril)
//   --openings FILE   EPD start positions (default tests/data/openings.epd), each played twice,
//                     colours swapped: game g starts from opening floor(g/2) in file order
//   --games N         games in the file when done (default 2000)
//   --nodes N         nodes per move of the first engine process (default 40000)
//   --nodes2 N        nodes per move of the second process (default: --nodes plus 5%); see below
//   --maxplies N      plies after which a game is adjudicated a draw (default 400)
//   --out FILE        gzipped CSV, appended one gzip member per game, so a run resumes where the
//                     last one stopped
//
// One engine searching the same opening twice with the same budget plays the same game twice, so
// the two processes get slightly different node counts: the colour-swapped game then differs.
//
// Columns: game, ply (from the opening position), stm (w/b), score (the last exact score the mover
// reported, in the engine's units), material (P=1, N=B=3, R=5, Q=9, both sides: 0..78), result
// (w, d or l from white's view) and end (m mate, s stalemate, r repetition, f fifty-move rule,
// i insufficient material, p ply limit: adjudicated). Moves whose last score was a mate or
// tablebase score (magnitude 30744 or more) get no record.

import { spawn, execSync } from "node:child_process";
import { createRequire } from "node:module";
import fs from "node:fs";
import path from "node:path";
import readline from "node:readline";
import zlib from "node:zlib";
import { fileURLToPath } from "node:url";

const HERE = path.dirname(fileURLToPath(import.meta.url));
const ROOT = path.resolve(HERE, "../..");
const TB_SCORE_LIMIT = 30744;
const PIECE_VALUE = { p: 1, n: 3, b: 3, r: 5, q: 9, k: 0 };
export const HEADER = "game,ply,stm,score,material,result,end";

function loadChess() {
  const req = createRequire(path.join(HERE, "index.js"));
  try { return req("chess.js").Chess; } catch { /* install below */ }
  execSync("npm ci --silent --no-audit --no-fund", { cwd: HERE, stdio: "inherit" });
  return req("chess.js").Chess;
}

function parseArgs(argv) {
  const a = {};
  for (let i = 2; i < argv.length; i += 2) {
    if (!argv[i].startsWith("--") || argv[i + 1] === undefined) {
      console.error(`bad argument ${argv[i]}`); process.exit(2);
    }
    a[argv[i].slice(2)] = argv[i + 1];
  }
  const nodes = parseInt(a.nodes ?? "40000", 10);
  return {
    engine: a.engine ?? path.join(ROOT, "build/release/quoril"),
    openings: a.openings ?? path.join(ROOT, "tests/data/openings.epd"),
    games: parseInt(a.games ?? "2000", 10),
    nodes: [nodes, parseInt(a.nodes2 ?? String(Math.round(nodes * 1.05)), 10)],
    maxPlies: parseInt(a.maxplies ?? "400", 10),
    out: a.out ?? path.join(HERE, "games.csv.gz"),
  };
}

// Material as the engine's model counts it, from the placement field of a FEN.
export function fenMaterial(fen) {
  let m = 0;
  for (const c of fen.split(" ")[0]) m += PIECE_VALUE[c.toLowerCase()] ?? 0;
  return m;
}

function readOpenings(file) {
  return fs.readFileSync(file, "utf8").split("\n").map((l) => l.trim())
    .filter((l) => l && !l.startsWith("#"))
    .map((l) => { const f = l.split(/\s+/); return `${f[0]} ${f[1]} ${f[2]} ${f[3]} 0 1`; });
}

// ---- a UCI engine process ----------------------------------------------------
class Engine {
  constructor(cmd) {
    const [bin, ...rest] = cmd.split(" ").filter(Boolean);
    this.p = spawn(bin, rest, { stdio: ["pipe", "pipe", "ignore"] });
    this.lines = []; this.waiter = null; this.dead = false;
    this.p.on("exit", () => { this.dead = true; this.wake(); });
    this.p.stdin.on("error", () => {});
    readline.createInterface({ input: this.p.stdout }).on("line", (l) => { this.lines.push(l); this.wake(); });
  }
  wake() {
    if (!this.waiter) return;
    const i = this.lines.findIndex(this.waiter.test);
    if (i < 0 && !this.dead) return;
    const w = this.waiter; this.waiter = null;
    clearTimeout(w.timer);
    w.resolve(i < 0 ? null : this.lines.splice(0, i + 1));
  }
  send(l) { if (!this.dead) this.p.stdin.write(l + "\n"); }
  // Resolves with every line up to and including the first that passes `test`; null on exit or timeout.
  wait(test, ms = 60000) {
    return new Promise((resolve) => {
      this.waiter = { test, resolve, timer: setTimeout(() => { this.waiter = null; resolve(null); }, ms) };
      this.wake();
    });
  }
  async handshake(cmd, answer) { this.send(cmd); return (await this.wait((l) => l.trim() === answer)) !== null; }
  async init() {
    if (!(await this.handshake("uci", "uciok"))) return false;
    this.send("setoption name OwnBook value false");
    this.send("setoption name Hash value 16");
    return this.handshake("isready", "readyok");
  }
}

// The last exact score before bestmove, or null when it was a bound-only search, a mate or a
// tablebase result.
export function lastExactScore(lines) {
  let score = null;
  for (const l of lines) {
    const m = l.match(/^info .*\bscore (cp|mate) (-?\d+)( lowerbound| upperbound)?/);
    if (!m || m[3]) continue;
    score = m[1] === "mate" ? null : parseInt(m[2], 10);
    if (score !== null && Math.abs(score) >= TB_SCORE_LIMIT) score = null;
  }
  return score;
}

function ending(chess, plies, maxPlies) {
  if (chess.isCheckmate()) return "m";
  if (chess.isStalemate()) return "s";
  if (chess.isThreefoldRepetition()) return "r";
  if (chess.isDrawByFiftyMoves()) return "f";
  if (chess.isInsufficientMaterial()) return "i";
  return plies >= maxPlies ? "p" : null;
}

// Plays game g; `engines[0]` is white in even games. Returns the CSV rows, or null on an engine fault.
async function playGame(Chess, engines, opt, fen, g) {
  const chess = new Chess(fen);
  const white = g % 2;
  const moves = [], records = [];
  for (const e of engines) { e.send("ucinewgame"); if (!(await e.handshake("isready", "readyok"))) return null; }
  let end = null;
  while (!end) {
    const stm = chess.turn();
    const idx = stm === "w" ? white : 1 - white;
    const e = engines[idx];
    e.send(`position fen ${fen}${moves.length ? " moves " + moves.join(" ") : ""}`);
    e.send(`go nodes ${opt.nodes[idx]}`);
    const lines = await e.wait((l) => l.startsWith("bestmove"));
    if (!lines) return null;
    const uci = lines[lines.length - 1].split(/\s+/)[1] ?? "";
    const score = lastExactScore(lines);
    if (score !== null) records.push([g, moves.length, stm, score, fenMaterial(chess.fen())]);
    let ok = null;
    try { ok = chess.move({ from: uci.slice(0, 2), to: uci.slice(2, 4), promotion: uci[4] }); } catch { ok = null; }
    if (!ok) { console.error(`game ${g}: illegal move ${uci} in ${chess.fen()}`); return null; }
    moves.push(uci);
    end = ending(chess, moves.length, opt.maxPlies);
  }
  const result = end === "m" ? (chess.turn() === "w" ? "l" : "w") : "d";
  return { rows: records.map((r) => [...r, result, end].join(",")), result, end, plies: moves.length };
}

// Games already in the file; a gzip member cut short by a killed run drops the game it held.
function gamesDone(out) {
  if (!fs.existsSync(out)) return 0;
  let text;
  try { text = zlib.gunzipSync(fs.readFileSync(out)).toString(); } catch {
    console.error(`${out} ends in a damaged gzip member: remove or repair it before resuming`);
    process.exit(1);
  }
  const last = text.trimEnd().split("\n").pop();
  return last.startsWith("game") ? 0 : parseInt(last.split(",")[0], 10) + 1;
}

async function main() {
  const Chess = loadChess();
  const opt = parseArgs(process.argv);
  const openings = readOpenings(opt.openings);
  let g = gamesDone(opt.out);
  if (g === 0) fs.writeFileSync(opt.out, zlib.gzipSync(HEADER + "\n"));
  const start = g, t0 = Date.now(), tally = { w: 0, d: 0, l: 0, p: 0 };
  let engines = [new Engine(opt.engine), new Engine(opt.engine)];
  for (const e of engines) if (!(await e.init())) { console.error("engine did not answer uci/isready"); process.exit(3); }
  console.log(`games ${g}..${opt.games - 1}, nodes ${opt.nodes.join("/")}, into ${opt.out}`);
  for (; g < opt.games; g++) {
    const r = await playGame(Chess, engines, opt, openings[Math.floor(g / 2) % openings.length], g);
    if (!r) { console.error(`game ${g}: engine fault, stopping (rerun to resume)`); process.exit(1); }
    // Only a game without one scored move leaves no row; it is so rare that resuming replays it.
    fs.appendFileSync(opt.out, zlib.gzipSync(r.rows.map((l) => l + "\n").join("")));
    tally[r.result]++; if (r.end === "p") tally.p++;
    const done = g + 1 - start, mins = (Date.now() - t0) / 60000;
    console.log(`game ${g}: ${r.result} (${r.end}) ${r.plies} plies, ${r.rows.length} records | +${tally.w} =${tally.d} -${tally.l} ` +
      `(${tally.p} adjudicated) | ${(mins / done * (opt.games - g - 1)).toFixed(0)} min left`);
  }
  for (const e of engines) { e.send("quit"); setTimeout(() => e.p.kill(), 500); }
}

if (process.argv[1] === fileURLToPath(import.meta.url)) await main();
