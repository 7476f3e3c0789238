// The WebAssembly engine in Node.js against the native one: the benchmark's node signature, a
// perft count, and a scripted UCI session with the same answers. QUORIL_WASM names the module
// (build/wasm/quoril.js by default); QUORIL_NATIVE the native engine.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import readline from 'node:readline';
import path from 'node:path';
import { test } from 'node:test';
import { startEngine } from './engine.mjs';

const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const wasm = path.resolve(process.env.QUORIL_WASM ?? `${root}/build/wasm/quoril.js`);
const native = process.env.QUORIL_NATIVE ?? `${root}/build/release/quoril`;

const SESSION = [
  'setoption name OwnBook value false',
  'position startpos moves e2e4 e7e5 g1f3 b8c6',
  'go depth 10',
];

// A line with the figures that depend on the machine (time, speed) left out.
const shape = (l) => l.replace(/ time \d+/, '').replace(/ nps \d+/, '');
// The search lines and best move, as a GUI reads them.
const searchLines = (lines) => lines.filter((l) => (l.startsWith('info') && !/^info (currmove|string)/.test(l)) || l.startsWith('bestmove'));

// The native engine's lines for the commands, up to its best move.
function nativeSearch(commands) {
  return new Promise((resolve) => {
    const p = spawn(native, [], { stdio: ['pipe', 'pipe', 'ignore'] });
    const lines = [];
    readline.createInterface({ input: p.stdout }).on('line', (l) => {
      lines.push(l);
      if (l.startsWith('bestmove')) {
        p.stdin.end('quit\n');
        resolve(lines);
      }
    });
    p.stdin.write(commands.join('\n') + '\n');
  });
}

test('the benchmark searches the same tree', async () => {
  const e = await startEngine(wasm, ['-bench', '-passes', '1']);
  const got = await e.until((l) => l.startsWith('Nodes searched'), 600000);
  assert.equal(got.at(-1), 'Nodes searched: 10844322');
});

test('perft counts the same moves', async () => {
  const e = await startEngine(wasm);
  e.send('position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1\ngo perft 3');
  const got = await e.until((l) => l.startsWith('Nodes searched'));
  assert.equal(got.at(-1), 'Nodes searched: 97862');
});

test('a UCI session answers as the native engine does', async () => {
  const e = await startEngine(wasm);
  e.send('uci');
  const ids = await e.until((l) => l === 'uciok');
  assert.ok(ids.includes('id author the Quoril developers'));
  assert.ok(ids.some((l) => /^option name Threads type spin default 1 min 1 max \d+$/.test(l)));
  e.send('isready');
  await e.until((l) => l === 'readyok');
  e.send(SESSION.join('\n'));
  const searched = searchLines(await e.until((l) => l.startsWith('bestmove')));
  const expected = searchLines(await nativeSearch(SESSION));
  assert.ok(searched.length > 20);
  assert.deepEqual(searched.map(shape), expected.map(shape));
  // An infinite search ends on stop with a legal move, and quit ends the engine's loop.
  e.send('go infinite');
  await new Promise((r) => setTimeout(r, 300));
  e.send('stop');
  const stopped = await e.until((l) => l.startsWith('bestmove'), 10000);
  assert.match(stopped.at(-1), /^bestmove [a-h][1-8][a-h][1-8]/);
  e.send('quit');
});
