import { test } from 'node:test'
import assert from 'node:assert/strict'
import { readFileSync } from 'node:fs'
import { join } from 'node:path'
import {
  START_FEN, parseFen, perft, legalMoves, play, findUci, movesFromTo, outcome, chess960Fen, needsChess960,
} from '../../src/rules.js'

const pos = (fen) => {
  const p = parseFen(fen)
  assert.equal(p.error, undefined, `${fen}: ${p.error}`)
  return p.pos
}

// The engine's own perft suites: "<FEN> ;D1 n ;D2 n ...".
function suite(file) {
  const text = readFileSync(join(import.meta.dirname, '../../../tests/data', file), 'utf8')
  return text.split('\n').filter((l) => l.trim() && !l.startsWith('#')).map((l) => {
    const [fen, ...counts] = l.split(';')
    return { fen: fen.trim(), counts: Object.fromEntries(counts.map((c) => c.trim().split(' ')).map(([d, n]) => [Number(d.slice(1)), Number(n)])) }
  })
}

test('perft: the standard suite and every Chess960 position to depth 2', () => {
  for (const { fen, counts } of [...suite('perft.txt'), ...suite('perft960.epd')]) {
    for (const d of [1, 2]) if (counts[d]) assert.equal(perft(pos(fen), d), counts[d], `${fen} depth ${d}`)
  }
})

test('perft: Chess960 positions with castling on both wings to depth 3', () => {
  const rich = suite('perft960.epd').filter(({ fen }) => /^\S+ \S [A-Za-z]{4} /.test(fen)).slice(0, 3)
  assert.equal(rich.length, 3)
  for (const { fen, counts } of rich) assert.equal(perft(pos(fen), 3), counts[3], fen)
})

test('castling: through attack, out of check, and the square its own rook shielded', () => {
  const castles = (fen) => legalMoves(pos(fen)).filter((m) => m.castle).map((m) => m.san)
  assert.deepEqual(castles('r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1'), ['O-O', 'O-O-O'])
  assert.deepEqual(castles('r3k2r/8/8/8/4r3/8/8/R3K2R w KQkq - 0 1'), [], 'king in check')
  assert.deepEqual(castles('r3k2r/8/8/8/8/8/6r1/R3K2R w KQkq - 0 1'), ['O-O-O'], 'g1 attacked')
  assert.deepEqual(castles('r3k2r/8/8/8/8/8/1r6/R3K2R w KQkq - 0 1'), ['O-O', 'O-O-O'], 'only the rook passes b1')
  // Rook b1, king d1: the black rook on a1 is shielded by the white rook only until it moves.
  assert.deepEqual(castles('4k3/8/8/8/8/8/8/rR1K4 w B - 0 1'), [])
  assert.deepEqual(castles('4k3/8/8/8/8/8/8/nR1K4 w B - 0 1'), ['O-O-O'])
})

test('castling rights: lost by king and rook moves and by the rook being taken', () => {
  const after = (fen, ...ucis) => ucis.reduce((p, u) => play(p, findUci(p, u, true)), pos(fen)).fen.split(' ')[2]
  const fen = 'r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1'
  assert.equal(after(fen, 'e1e2'), 'kq')
  assert.equal(after(fen, 'h1h5'), 'Qkq')
  assert.equal(after(fen, 'a1a8'), 'Kk')
  assert.equal(after(fen, 'e1h1'), 'kq')
})

test('Chess960 castling notation: king takes rook in Chess960, king to g/c otherwise', () => {
  const p = pos('4k3/8/8/8/8/8/8/1R4KR w HB - 0 1')
  assert.equal(findUci(p, 'g1h1', true).san, 'O-O')
  assert.equal(findUci(p, 'g1b1', true).san, 'O-O-O')
  assert.equal(findUci(p, 'g1g1', true), null)
  assert.equal(play(p, findUci(p, 'g1h1', true)).fen, '4k3/8/8/8/8/8/8/1R3RK1 b - - 1 1')
  const s = pos(START_FEN.replace('RNBQKBNR', 'R3K2R').replace('PPPPPPPP', '8'))
  assert.equal(findUci(s, 'e1g1', false).castle, 'k')
  assert.equal(findUci(s, 'e1h1', false), null)
  // A drag of the king onto its rook, or to its target square, castles.
  assert.equal(movesFromTo(s, 'e1', 'h1')[0].castle, 'k')
  assert.equal(movesFromTo(s, 'e1', 'c1')[0].castle, 'q')
  assert.equal(movesFromTo(s, 'e1', 'f1')[0].castle, undefined)
})

test('FEN: X-FEN out, KQkq, Shredder and X-FEN in, bad ones refused', () => {
  assert.equal(pos(START_FEN).fen, START_FEN)
  assert.equal(pos('rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w HAha - 0 1').fen, START_FEN)
  const inner = pos('1r2k1r1/8/8/8/8/8/8/RR2K1RR w BGbg - 0 1')
  assert.equal(inner.fen.split(' ')[2], 'GBkq')
  assert.ok(needsChess960(inner))
  assert.ok(!needsChess960(pos(START_FEN)))
  for (const bad of ['', 'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w KQkq - 0 1', '4k3/8/8/8/8/8/8/4K3 w K - 0 1',
    '4k3/8/8/8/8/8/4Q3/4K3 w - - 0 1', 'r3k2r/8/8/8/8/8/8/RR2K2R w QB - 0 1']) {
    assert.ok(parseFen(bad).error, `accepted ${bad}`)
  }
})

test('outcome: mate, stalemate, bare kings, fifty moves, repetition', () => {
  assert.deepEqual(outcome(pos('7k/6Q1/6K1/8/8/8/8/8 b - - 0 1')), { result: '1-0', reason: 'checkmate' })
  assert.deepEqual(outcome(pos('7k/5Q2/6K1/8/8/8/8/8 b - - 0 1')), { result: '1/2-1/2', reason: 'stalemate' })
  assert.equal(outcome(pos('7k/8/6K1/8/8/8/8/8 b - - 0 1')).reason, 'insufficient material')
  assert.equal(outcome(pos('7k/8/6K1/8/8/8/8/R7 b - - 100 80')).reason, 'fifty-move rule')
  const p = pos('7k/8/6K1/8/8/8/8/R7 b - - 0 80'), key = p.fen.split(' ').slice(0, 4).join(' ')
  assert.equal(outcome(p, [key, key]), null)
  assert.equal(outcome(p, [key, key, key]).reason, 'threefold repetition')
})

test('Chess960 numbering: 518 is the standard position; all 960 differ and are valid', () => {
  assert.equal(chess960Fen(518), START_FEN)
  assert.ok(chess960Fen(0).startsWith('bbqnnrkr/'))
  const ranks = new Set()
  for (let n = 0; n < 960; n++) {
    const rank = chess960Fen(n).split('/')[7].split(' ')[0]
    ranks.add(rank)
    const [b1, b2] = [...rank].flatMap((c, i) => (c === 'B' ? [i] : []))
    assert.notEqual(b1 % 2, b2 % 2, `${n}: bishops on one colour`)
    assert.match(rank.replace(/[BNQ]/g, ''), /^RKR$/, `${n}: king not between the rooks`)
    assert.equal(pos(chess960Fen(n)).castle.length, 4, `${n}: castling rights`)
  }
  assert.equal(ranks.size, 960)
})
