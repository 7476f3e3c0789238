#!/usr/bin/env node
// Plays Chess960 games between two UCI engines at a fixed move time and referees every move with
// its own rules code: castling must come as the king taking its own rook, any illegal move, crash
// or overstepped move time loses the game.
//
//   node tools/play960.js --a ./build/release/quoril --b /usr/games/stockfish \
//        --b-option "Skill Level=0" --games 50 --movetime 50 [--seed 1] [--margin 2000]
'use strict';
const { spawn } = require('child_process');

// ---- Rules ----

const FILES = 'abcdefgh';
const sqName = (s) => FILES[s & 7] + ((s >> 3) + 1);
const colorOf = (p) => (p === p.toUpperCase() ? 'w' : 'b');
const KNIGHT = [[1, 2], [2, 1], [2, -1], [1, -2], [-1, -2], [-2, -1], [-2, 1], [-1, 2]];
const KING = [[1, 0], [1, 1], [0, 1], [-1, 1], [-1, 0], [-1, -1], [0, -1], [1, -1]];
const ROOK_DIRS = [[1, 0], [-1, 0], [0, 1], [0, -1]];
const BISHOP_DIRS = [[1, 1], [1, -1], [-1, 1], [-1, -1]];

function step(s, df, dr) {
  const f = (s & 7) + df, r = (s >> 3) + dr;
  return f < 0 || f > 7 || r < 0 || r > 7 ? -1 : r * 8 + f;
}

// Chess960 start position n (Scharnagl numbering, 518 the standard one) with rights in Shredder-FEN.
function startFen(n) {
  const rank = Array(8).fill(null);
  rank[2 * (n % 4) + 1] = 'B';
  rank[2 * (Math.floor(n / 4) % 4)] = 'B';
  const place = (pattern) => {
    let i = 0;
    for (let f = 0; f < 8; f++) if (rank[f] === null && i < pattern.length) { if (pattern[i] !== '-') rank[f] = pattern[i]; i++; }
  };
  place('-'.repeat(Math.floor(n / 16) % 6) + 'Q');
  place(['NN---', 'N-N--', 'N--N-', 'N---N', '-NN--', '-N-N-', '-N--N', '--NN-', '--N-N', '---NN'][Math.floor(n / 96)]);
  place('RKR');
  const files = [7, 6, 5, 4, 3, 2, 1, 0].filter((f) => rank[f] === 'R').map((f) => 'ABCDEFGH'[f]).join('');
  const white = rank.join('');
  return `${white.toLowerCase()}/pppppppp/8/8/8/8/PPPPPPPP/${white} w ${files}${files.toLowerCase()} - 0 1`;
}

function parseFen(fen) {
  const [placement, side, castling, ep, half] = fen.split(' ');
  const board = Array(64).fill(null);
  placement.split('/').forEach((row, i) => {
    let f = 0;
    for (const c of row) if (/\d/.test(c)) f += +c; else board[(7 - i) * 8 + f++] = c;
  });
  const rooks = []; // castling rook squares still carrying a right
  for (const c of castling === '-' ? '' : castling) rooks.push((c === c.toUpperCase() ? 0 : 56) + 'abcdefgh'.indexOf(c.toLowerCase()));
  return { board, side, rooks, ep: ep === '-' ? -1 : FILES.indexOf(ep[0]) + 8 * (+ep[1] - 1), half: +half || 0 };
}

function attacked(board, s, by) {
  for (const [df, dr] of KNIGHT) { const t = step(s, df, dr); if (t >= 0 && board[t] === (by === 'w' ? 'N' : 'n')) return true; }
  for (const [df, dr] of KING) { const t = step(s, df, dr); if (t >= 0 && board[t] === (by === 'w' ? 'K' : 'k')) return true; }
  const pawnRank = by === 'w' ? -1 : 1;
  for (const df of [-1, 1]) { const t = step(s, df, pawnRank); if (t >= 0 && board[t] === (by === 'w' ? 'P' : 'p')) return true; }
  for (const [dirs, kinds] of [[ROOK_DIRS, 'rq'], [BISHOP_DIRS, 'bq']])
    for (const [df, dr] of dirs)
      for (let t = step(s, df, dr); t >= 0; t = step(t, df, dr)) {
        const p = board[t];
        if (!p) continue;
        if (colorOf(p) === by && kinds.includes(p.toLowerCase())) return true;
        break;
      }
  return false;
}

const kingSquare = (board, side) => board.indexOf(side === 'w' ? 'K' : 'k');

// Every legal move as { text, apply() -> new state }; castling written as king takes rook.
function legalMoves(st) {
  const out = [], us = st.side, them = us === 'w' ? 'b' : 'w', b = st.board;
  const add = (from, to, promo) => {
    const nb = b.slice();
    const p = nb[from];
    if (p.toLowerCase() === 'p' && to === st.ep) nb[to + (us === 'w' ? -8 : 8)] = null;
    nb[to] = promo ? (us === 'w' ? promo.toUpperCase() : promo) : p;
    nb[from] = null;
    if (!attacked(nb, kingSquare(nb, us), them)) out.push({ text: sqName(from) + sqName(to) + (promo || ''), board: nb, from, to, piece: p });
  };
  for (let s = 0; s < 64; s++) {
    const p = b[s];
    if (!p || colorOf(p) !== us) continue;
    const k = p.toLowerCase();
    if (k === 'p') {
      const fwd = us === 'w' ? 1 : -1, last = us === 'w' ? 7 : 0, startRank = us === 'w' ? 1 : 6;
      const pushes = (to) => (to >> 3 === last ? ['q', 'r', 'b', 'n'].forEach((q) => add(s, to, q)) : add(s, to));
      const one = step(s, 0, fwd);
      if (one >= 0 && !b[one]) {
        pushes(one);
        const two = step(one, 0, fwd);
        if (s >> 3 === startRank && !b[two]) add(s, two);
      }
      for (const df of [-1, 1]) {
        const t = step(s, df, fwd);
        if (t >= 0 && ((b[t] && colorOf(b[t]) === them) || t === st.ep)) pushes(t);
      }
      continue;
    }
    const jumps = k === 'n' ? KNIGHT : k === 'k' ? KING : null;
    if (jumps) {
      for (const [df, dr] of jumps) { const t = step(s, df, dr); if (t >= 0 && (!b[t] || colorOf(b[t]) === them)) add(s, t); }
      continue;
    }
    const dirs = k === 'r' ? ROOK_DIRS : k === 'b' ? BISHOP_DIRS : ROOK_DIRS.concat(BISHOP_DIRS);
    for (const [df, dr] of dirs)
      for (let t = step(s, df, dr); t >= 0; t = step(t, df, dr)) {
        if (b[t] && colorOf(b[t]) === us) break;
        add(s, t);
        if (b[t]) break;
      }
  }
  // Castling: king to g/c, rook to f/d; the squares both cross must be empty but for the two, and
  // the king may not start in, cross or land on an attacked square, judged without the rook.
  const ks = kingSquare(b, us), base = us === 'w' ? 0 : 56;
  for (const rs of st.rooks) {
    if ((rs & 56) !== base || ks >> 3 !== base >> 3) continue;
    const kingSide = rs > ks, kt = base + (kingSide ? 6 : 2), rt = base + (kingSide ? 5 : 3);
    const span = (a, c) => { const r = []; for (let x = Math.min(a, c); x <= Math.max(a, c); x++) r.push(x); return r; };
    if (span(ks, kt).concat(span(rs, rt)).some((x) => x !== ks && x !== rs && b[x])) continue;
    const lifted = b.slice();
    lifted[rs] = null;
    if (span(ks, kt).some((x) => attacked(lifted, x, them))) continue;
    const nb = b.slice();
    nb[ks] = null; nb[rs] = null;
    nb[kt] = us === 'w' ? 'K' : 'k'; nb[rt] = us === 'w' ? 'R' : 'r';
    out.push({ text: sqName(ks) + sqName(rs), board: nb, from: ks, to: rs, piece: b[ks], castle: true });
  }
  return out;
}

function play(st, mv) {
  const us = st.side, base = us === 'w' ? 0 : 56;
  let rooks = st.rooks.filter((r) => r !== mv.from && r !== mv.to);
  if (mv.piece.toLowerCase() === 'k') rooks = rooks.filter((r) => (r & 56) !== base);
  const pawn = mv.piece.toLowerCase() === 'p';
  return {
    board: mv.board, side: us === 'w' ? 'b' : 'w', rooks,
    ep: pawn && Math.abs(mv.to - mv.from) === 16 ? (mv.from + mv.to) / 2 : -1,
    half: pawn || (st.board[mv.to] && !mv.castle) ? 0 : st.half + 1,
  };
}

const repetitionKey = (st) => st.board.map((p) => p || '.').join('') + st.side + st.rooks.sort().join(',') + st.ep;

function insufficient(board) {
  const rest = board.filter((p) => p && p.toLowerCase() !== 'k');
  return rest.length === 0 || (rest.length === 1 && 'nb'.includes(rest[0].toLowerCase()));
}

// ---- Engines ----

class Engine {
  constructor(cmd, options, name) {
    this.name = name;
    this.proc = spawn(cmd, [], { stdio: ['pipe', 'pipe', 'ignore'] });
    this.buf = '';
    this.waiters = [];
    this.dead = false;
    this.proc.stdout.on('data', (d) => {
      this.buf += d;
      let i;
      while ((i = this.buf.indexOf('\n')) >= 0) {
        const line = this.buf.slice(0, i).trim();
        this.buf = this.buf.slice(i + 1);
        this.waiters = this.waiters.filter((w) => !(line.startsWith(w.prefix) && (w.resolve(line), true)));
      }
    });
    this.proc.on('exit', () => { this.dead = true; this.waiters.forEach((w) => w.resolve(null)); this.waiters = []; });
    this.proc.stdin.on('error', () => { this.dead = true; });
    this.options = options;
  }
  send(line) { if (!this.dead) this.proc.stdin.write(line + '\n'); }
  wait(prefix, ms) {
    return new Promise((resolve) => {
      const w = { prefix, resolve: (l) => { clearTimeout(timer); resolve(l); } };
      const timer = setTimeout(() => { this.waiters = this.waiters.filter((x) => x !== w); resolve(null); }, ms);
      if (this.dead) return w.resolve(null);
      this.waiters.push(w);
    });
  }
  async init() {
    this.send('uci');
    if (!(await this.wait('uciok', 10000))) return false;
    this.send('setoption name UCI_Chess960 value true');
    for (const [k, v] of this.options) this.send(`setoption name ${k} value ${v}`);
    this.send('isready');
    return !!(await this.wait('readyok', 10000));
  }
  quit() { this.send('quit'); setTimeout(() => this.proc.kill('SIGKILL'), 2000).unref(); }
}

// ---- Games ----

async function playGame(white, black, fen, cfg) {
  let st = parseFen(fen);
  const moves = [], seen = new Map();
  for (const e of [white, black]) { e.send('ucinewgame'); e.send('isready'); if (!(await e.wait('readyok', 10000))) return { result: e === white ? '0-1' : '1-0', why: `${e.name} died` }; }
  for (let ply = 0; ; ply++) {
    const key = repetitionKey(st);
    seen.set(key, (seen.get(key) || 0) + 1);
    const legal = legalMoves(st);
    const inCheck = attacked(st.board, kingSquare(st.board, st.side), st.side === 'w' ? 'b' : 'w');
    if (!legal.length) return inCheck ? { result: st.side === 'w' ? '0-1' : '1-0', why: 'mate', moves } : { result: '1/2-1/2', why: 'stalemate', moves };
    if (seen.get(key) >= 3) return { result: '1/2-1/2', why: 'repetition', moves };
    if (st.half >= 100) return { result: '1/2-1/2', why: 'fifty moves', moves };
    if (insufficient(st.board)) return { result: '1/2-1/2', why: 'material', moves };
    if (ply >= cfg.maxPlies) return { result: '1/2-1/2', why: 'adjudicated at ply limit', moves };
    const e = st.side === 'w' ? white : black, lose = st.side === 'w' ? '0-1' : '1-0';
    e.send(`position fen ${fen}${moves.length ? ' moves ' + moves.join(' ') : ''}`);
    const t0 = Date.now();
    e.send(`go movetime ${cfg.movetime}`);
    const line = await e.wait('bestmove', cfg.movetime + cfg.margin);
    const used = Date.now() - t0;
    if (!line) return { result: lose, why: e.dead ? `${e.name} crashed` : `${e.name} lost on time (${used} ms)`, moves, bad: true };
    const text = line.split(/\s+/)[1];
    const mv = legal.find((m) => m.text === text);
    if (!mv) return { result: lose, why: `${e.name} played illegal ${text} at ply ${ply}`, moves, bad: true };
    if (mv.castle) cfg.castles[e.name] = (cfg.castles[e.name] || 0) + 1;
    moves.push(text);
    st = play(st, mv);
  }
}

async function main() {
  const args = process.argv.slice(2);
  const cfg = { games: 50, movetime: 50, margin: 2000, seed: 1, maxPlies: 400, castles: {} };
  const opts = { a: [], b: [] };
  let cmdA, cmdB;
  for (let i = 0; i < args.length; i += 2) {
    const [k, v] = [args[i], args[i + 1]];
    if (k === '--a') cmdA = v;
    else if (k === '--b') cmdB = v;
    else if (k === '--a-option' || k === '--b-option') opts[k[2]].push(v.split('='));
    else if (k === '--games') cfg.games = +v;
    else if (k === '--movetime') cfg.movetime = +v;
    else if (k === '--margin') cfg.margin = +v;
    else if (k === '--seed') cfg.seed = +v;
    else if (k === '--max-plies') cfg.maxPlies = +v;
    else { console.error(`unknown argument ${k}`); process.exit(2); }
  }
  if (!cmdA || !cmdB) { console.error('need --a ENGINE and --b ENGINE'); process.exit(2); }
  let seed = cfg.seed;
  const random = () => ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648);
  const score = { A: 0, B: 0 }, tally = {};
  let bad = 0, n = 0, startNo = 0;
  for (let g = 0; g < cfg.games; g++) {
    if (g % 2 === 0) startNo = Math.floor(random() * 960); // each start is played with both colours
    const fen = startFen(startNo);
    const a = new Engine(cmdA, opts.a, 'A'), b = new Engine(cmdB, opts.b, 'B');
    if (!(await a.init()) || !(await b.init())) { console.error('an engine did not start'); process.exit(1); }
    const [white, black] = g % 2 === 0 ? [a, b] : [b, a];
    const r = await playGame(white, black, fen, cfg);
    a.quit(); b.quit();
    n++;
    if (r.bad) bad++;
    const [ws, bs] = r.result === '1-0' ? [1, 0] : r.result === '0-1' ? [0, 1] : [0.5, 0.5];
    score[white.name] += ws; score[black.name] += bs;
    tally[r.why] = (tally[r.why] || 0) + 1;
    console.log(`game ${g + 1} start ${startNo} ${white.name}-${black.name} ${r.result} (${r.why}, ${r.moves.length} plies)`);
  }
  console.log(`A ${score.A} - B ${score.B} in ${n} games; endings ${JSON.stringify(tally)}; castles ${JSON.stringify(cfg.castles)}`);
  console.log(`${n - bad} passed, ${bad} failed`);
  process.exit(bad ? 1 : 0);
}

if (require.main === module) main();
module.exports = { startFen, parseFen, legalMoves, play };
