import { test } from 'node:test'
import assert from 'node:assert/strict'
import { newGame, currentPosition, pushMove, takeBack, gameOutcome, positionCommand, toPgn, fromPgn, moveText } from '../../src/game.js'
import { findUci, findSan, chess960Fen, START_FEN } from '../../src/rules.js'

function played(fen, ucis, chess960 = false) {
  const { game } = newGame(fen, chess960)
  for (const u of ucis) {
    const m = findUci(currentPosition(game), u, game.chess960)
    assert.ok(m, `${u} not legal`)
    pushMove(game, m)
  }
  return game
}

test('the engine gets startpos or the start FEN, with every move', () => {
  assert.equal(positionCommand(played(START_FEN, [])), 'position startpos')
  assert.equal(positionCommand(played(START_FEN, ['e2e4', 'e7e5'])), 'position startpos moves e2e4 e7e5')
  const fen = chess960Fen(0)
  assert.equal(positionCommand(played(fen, ['g2g3'], true)), `position fen ${fen} moves g2g3`)
  // Standard squares but Chess960 asked for: the engine must be told the FEN, not startpos.
  assert.equal(positionCommand(played(START_FEN, [], true)), `position fen ${START_FEN}`)
})

test('take back drops moves and positions together', () => {
  const game = played(START_FEN, ['e2e4', 'e7e5', 'g1f3'])
  takeBack(game, 2)
  assert.equal(game.moves.length, 1)
  assert.equal(currentPosition(game).fen, 'rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1')
  takeBack(game, 5)
  assert.equal(currentPosition(game).fen, START_FEN)
})

test('threefold repetition ends the game', () => {
  const shuffle = ['g1f3', 'g8f6', 'f3g1', 'f6g8']
  assert.equal(gameOutcome(played(START_FEN, shuffle)), null)
  assert.equal(gameOutcome(played(START_FEN, [...shuffle, ...shuffle])).reason, 'threefold repetition')
})

test('PGN out and back in gives the same game, Chess960 castling included', () => {
  const fen = '4k3/8/8/8/8/8/P7/1R4KR w HB - 0 1'
  const game = played(fen, ['g1h1', 'e8d8', 'a2a4'], true)
  const pgn = toPgn(game, { White: 'A "quoted" name' })
  assert.match(pgn, /\[Variant "Chess960"\]/)
  assert.match(pgn, /\[White "A \\"quoted\\" name"\]/)
  assert.match(pgn, /1\. O-O Kd8 2\. a4 \*/)
  const back = fromPgn(pgn)
  assert.equal(back.tags.White, 'A "quoted" name')
  assert.deepEqual(back.game.moves.map((m) => m.uci), ['g1h1', 'e8d8', 'a2a4'])
  assert.equal(currentPosition(back.game).fen, currentPosition(game).fen)
})

test('PGN in: comments, variations, NAGs, loose notation; a bad move is named', () => {
  const text = `[Event "x"]\n[FEN "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2"]\n
2. Nf3 {develops} Nc6 $1 (2... d6 3. d4) 3. Bb5!? ... a6; a line comment
4. Bxc6 dxc6 5. 0-0 1-0`
  const { game } = fromPgn(text)
  assert.equal(moveText(game), '2. Nf3 Nc6 3. Bb5 a6 4. Bxc6 dxc6 5. O-O')
  assert.equal(gameOutcome(game), null)
  assert.match(fromPgn('1. e4 e5 2. Ke3').error, /move 3 \(Ke3\)/)
  const two = fromPgn('[White "a"]\n\n1. d4 d5 1-0\n\n[White "b"]\n\n1. e4 *\n')
  assert.equal(moveText(two.game), '1. d4 d5')
  assert.equal(two.tags.White, 'a')
  assert.match(fromPgn('[FEN "bad"]\n1. e4').error, /start position/)
  assert.equal(findSan(currentPosition(newGame().game), 'Ngf3').san, 'Nf3')
})

test('move numbers start from the FEN, with "..." when Black moves first', () => {
  const game = played('4k3/8/8/8/8/8/8/4K2R b K - 0 7', ['e8d7', 'e1g1'])
  assert.equal(moveText(game), '7... Kd7 8. O-O')
})
