// A game as the page keeps it: its start, the moves played and every position on the way,
// so that taking back is dropping the tail, and FEN and PGN are read and written here.
import {
  START_FEN, parseFen, play, uciOf, findSan, outcome, repetitionKey, needsChess960, turnOf,
} from './rules.js'

export function newGame(fen = START_FEN, chess960 = false) {
  const parsed = parseFen(fen)
  if (parsed.error) return { error: parsed.error }
  const pos = parsed.pos
  return { game: { startFen: pos.fen, chess960: chess960 || needsChess960(pos), positions: [pos], moves: [] } }
}

export const currentPosition = (game) => game.positions[game.positions.length - 1]

export function pushMove(game, move, by = '') {
  const pos = currentPosition(game)
  game.moves.push({ san: move.san, uci: uciOf(move, game.chess960), by, color: turnOf(pos) })
  game.positions.push(play(pos, move))
}

export function takeBack(game, plies = 1) {
  const n = Math.min(plies, game.moves.length)
  game.moves.splice(game.moves.length - n, n)
  game.positions.splice(game.positions.length - n, n)
}

export function gameOutcome(game) {
  return outcome(currentPosition(game), game.positions.map(repetitionKey))
}

// The position for the engine: the start and the moves, so that it sees repetitions.
export function positionCommand(game) {
  const start = game.startFen === START_FEN && !game.chess960 ? 'startpos' : `fen ${game.startFen}`
  const moves = game.moves.length ? ` moves ${game.moves.map((m) => m.uci).join(' ')}` : ''
  return `position ${start}${moves}`
}

// Move text with numbers; a start with Black to move begins "1...".
export function moveText(game, from = 0) {
  const firstNumber = Number(game.startFen.split(' ')[5])
  const blackFirst = game.startFen.split(' ')[1] === 'b'
  const parts = []
  game.moves.slice(from).forEach((m, j) => {
    const i = j + from, ply = i + (blackFirst ? 1 : 0)
    const number = firstNumber + Math.floor(ply / 2)
    if (ply % 2 === 0) parts.push(`${number}.`)
    else if (i === 0) parts.push(`${number}...`)
    parts.push(m.san)
  })
  return parts.join(' ')
}

function wrap(words, width = 79) {
  const lines = []
  let line = ''
  for (const w of words) {
    if (line && line.length + 1 + w.length > width) { lines.push(line); line = w } else line = line ? `${line} ${w}` : w
  }
  if (line) lines.push(line)
  return lines.join('\n')
}

const quote = (v) => String(v).replace(/\\/g, '\\\\').replace(/"/g, '\\"')

export function toPgn(game, tags = {}) {
  const end = gameOutcome(game)
  const result = end ? end.result : '*'
  const today = new Date().toISOString().slice(0, 10).replace(/-/g, '.')
  const head = { Event: 'Casual game', Site: 'Quoril web', Date: today, Round: '-', White: '?', Black: '?', ...tags, Result: result }
  if (game.chess960) head.Variant = 'Chess960'
  if (game.startFen !== START_FEN || game.chess960) { head.SetUp = '1'; head.FEN = game.startFen }
  const header = Object.entries(head).map(([k, v]) => `[${k} "${quote(v)}"]`).join('\n')
  const text = moveText(game)
  return `${header}\n\n${wrap((text ? `${text} ` : '').concat(result).split(' '))}\n`
}

function stripMoveText(text) {
  let t = text.replace(/\{[^}]*\}/g, ' ').replace(/;[^\n]*/g, ' ')
  for (let before = ''; before !== t;) { before = t; t = t.replace(/\([^()]*\)/g, ' ') }
  const words = t.replace(/\$\d+/g, ' ').replace(/\d+\.(\.\.)?/g, ' ').split(/\s+/).filter((w) => w && !/^\.+$/.test(w))
  const end = words.findIndex((w) => /^(1-0|0-1|1\/2-1\/2|\*)$/.test(w))
  return end < 0 ? words : words.slice(0, end)
}

// The tag pairs before the first move text, and that text up to the next game's tags.
function splitFirstGame(text) {
  const tags = {}, lines = String(text).split(/\r?\n/)
  let i = 0
  for (; i < lines.length; i++) {
    const m = /^\s*\[(\w+)\s+"((?:[^"\\]|\\.)*)"\]\s*$/.exec(lines[i])
    if (m) tags[m[1]] = m[2].replace(/\\(.)/g, '$1')
    else if (lines[i].trim()) break
  }
  const next = lines.findIndex((l, j) => j > i && /^\s*\[\w+\s+"/.test(l))
  return { tags, body: lines.slice(i, next < 0 ? lines.length : next).join('\n') }
}

// The first game of a PGN text; its moves must all be legal.
export function fromPgn(text) {
  const { tags, body } = splitFirstGame(text)
  const chess960 = /960|fischer/i.test(tags.Variant || '')
  const made = newGame(tags.FEN || START_FEN, chess960)
  if (made.error) return { error: `PGN start position: ${made.error}` }
  const game = made.game
  for (const word of stripMoveText(body)) {
    const move = findSan(currentPosition(game), word)
    if (!move) return { error: `PGN move ${game.moves.length + 1} (${word}) is not legal in its position` }
    pushMove(game, move)
  }
  return { game, tags }
}

