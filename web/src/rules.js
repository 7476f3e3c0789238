// The rules of chess for the page and the mock engine. chess.js knows every move but
// Chess960 castling, so castling is done here for both variants (king and rooks anywhere on
// the back rank) and chess.js always sees positions without castling rights.
import { Chess, validateFen } from 'chess.js'

export const START_FEN = 'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1'
const FILES = 'abcdefgh'

const fileOf = (square) => FILES.indexOf(square[0])
const squareAt = (file, rank) => FILES[file] + rank
const backRank = (color) => (color === 'w' ? '1' : '8')
const other = (color) => (color === 'w' ? 'b' : 'w')

function kingSquare(chess, color) {
  return chess.findPiece({ type: 'k', color })[0]
}

function backRankRooks(chess, color) {
  const rank = backRank(color)
  return FILES.split('').map((f) => f + rank)
    .filter((sq) => { const p = chess.get(sq); return p && p.type === 'r' && p.color === color })
}

// Castling rights as rook squares; accepts KQkq (outermost rook), Shredder and X-FEN letters.
function readCastling(chess, field) {
  const rooks = []
  if (field === '-') return { rooks }
  for (const c of field) {
    const color = c === c.toUpperCase() ? 'w' : 'b'
    const king = kingSquare(chess, color)
    if (!king || king[1] !== backRank(color)) return { error: `Castling right ${c} without the king on its first rank` }
    const kf = fileOf(king), lower = c.toLowerCase()
    const candidates = backRankRooks(chess, color)
    let rook
    if (lower === 'k') rook = candidates.filter((sq) => fileOf(sq) > kf).pop()
    else if (lower === 'q') rook = candidates.find((sq) => fileOf(sq) < kf)
    else rook = candidates.find((sq) => sq[0] === lower)
    if (!rook) return { error: `Castling right ${c} without its rook` }
    const wing = fileOf(rook) > kf
    if (rooks.some((sq) => sq[1] === rook[1] && fileOf(sq) > kf === wing)) {
      return { error: `Two castling rights on one wing (${field})` }
    }
    rooks.push(rook)
  }
  return { rooks }
}

// X-FEN: K/Q for the outermost rook of a wing, the rook's file letter otherwise.
function castlingText(pos) {
  let text = ''
  for (const color of ['w', 'b']) {
    const king = kingSquare(pos.chess, color)
    const rooks = backRankRooks(pos.chess, color)
    const own = pos.castle.filter((sq) => sq[1] === backRank(color))
    for (const kingSide of [true, false]) {
      const rook = own.find((sq) => fileOf(sq) > fileOf(king) === kingSide)
      if (!rook) continue
      const wing = rooks.filter((sq) => fileOf(sq) > fileOf(king) === kingSide)
      const outer = kingSide ? wing[wing.length - 1] : wing[0]
      const letter = rook === outer ? (kingSide ? 'K' : 'Q') : rook[0].toUpperCase()
      text += color === 'w' ? letter : letter.toLowerCase()
    }
  }
  return text || '-'
}

function makePosition(chess, castle) {
  const pos = { chess, castle, moves: null }
  const f = chess.fen().split(' ')
  f[2] = castlingText(pos)
  pos.fen = f.join(' ')
  return pos
}

export function parseFen(text) {
  const f = String(text).trim().split(/\s+/)
  if (f.length === 4) f.push('0', '1')
  if (f.length !== 6) return { error: 'A FEN has six fields separated by spaces' }
  const plain = [f[0], f[1], '-', f[3], f[4], f[5]].join(' ')
  const check = validateFen(plain)
  if (!check.ok) return { error: check.error }
  const chess = new Chess(plain)
  const mover = chess.turn()
  if (chess.isAttacked(kingSquare(chess, other(mover)), mover)) {
    return { error: 'Invalid FEN: the side not to move is in check' }
  }
  const castle = readCastling(chess, f[2])
  if (castle.error) return { error: castle.error }
  return { pos: makePosition(chess, castle.rooks) }
}

export const turnOf = (pos) => pos.chess.turn()
export const inCheck = (pos) => pos.chess.inCheck()

// True when some castling right needs Chess960 notation (king off e, or rook off a/h).
export function needsChess960(pos) {
  return pos.castle.some((rook) => {
    const king = kingSquare(pos.chess, rook[1] === '1' ? 'w' : 'b')
    return king[0] !== 'e' || (rook[0] !== 'a' && rook[0] !== 'h')
  })
}

function castledPosition(pos, king, rook, kingTo, rookTo) {
  const color = pos.chess.turn()
  const board = new Chess(pos.chess.fen())
  board.remove(king)
  board.remove(rook)
  board.put({ type: 'k', color }, kingTo)
  board.put({ type: 'r', color }, rookTo)
  const f = pos.chess.fen().split(' ')
  const fen = [board.fen().split(' ')[0], other(color), '-', '-', Number(f[4]) + 1,
    Number(f[5]) + (color === 'b' ? 1 : 0)].join(' ')
  return makePosition(new Chess(fen), pos.castle.filter((sq) => sq[1] !== backRank(color)))
}

function castlingMove(pos, king, rook) {
  const color = pos.chess.turn(), rank = backRank(color)
  const kingSide = fileOf(rook) > fileOf(king)
  const kingTo = (kingSide ? 'g' : 'c') + rank, rookTo = (kingSide ? 'f' : 'd') + rank
  const span = [king, rook, kingTo, rookTo].map(fileOf)
  for (let f = Math.min(...span); f <= Math.max(...span); f++) {
    const sq = squareAt(f, rank)
    if (sq !== king && sq !== rook && pos.chess.get(sq)) return null
  }
  // Attacks are looked at with king and rook lifted: the rook may shield a square it leaves.
  const bare = new Chess(pos.chess.fen(), { skipValidation: true })
  bare.remove(king)
  bare.remove(rook)
  const [a, b] = [fileOf(king), fileOf(kingTo)].sort((x, y) => x - y)
  for (let f = a; f <= b; f++) if (bare.isAttacked(squareAt(f, rank), other(color))) return null
  const next = castledPosition(pos, king, rook, kingTo, rookTo)
  const suffix = next.chess.isCheckmate() ? '#' : next.chess.inCheck() ? '+' : ''
  return { from: king, to: kingTo, rook, castle: kingSide ? 'k' : 'q', piece: 'k',
    san: (kingSide ? 'O-O' : 'O-O-O') + suffix, next }
}

export function legalMoves(pos) {
  if (pos.moves) return pos.moves
  const moves = pos.chess.moves({ verbose: true }).map((m) => ({
    from: m.from, to: m.to, promotion: m.promotion, piece: m.piece, captured: m.captured, san: m.san,
  }))
  const color = pos.chess.turn(), king = kingSquare(pos.chess, color)
  if (!pos.chess.inCheck()) {
    for (const rook of pos.castle.filter((sq) => sq[1] === backRank(color))) {
      const m = castlingMove(pos, king, rook)
      if (m) moves.push(m)
    }
  }
  pos.moves = moves
  return moves
}

export function play(pos, move) {
  if (move.castle) return move.next
  const chess = new Chess(pos.chess.fen())
  chess.move({ from: move.from, to: move.to, promotion: move.promotion })
  const home = backRank(pos.chess.turn())
  const castle = pos.castle.filter((sq) => sq !== move.from && sq !== move.to
    && !(move.piece === 'k' && sq[1] === home))
  return makePosition(chess, castle)
}

// UCI castling: king to its target square, or in Chess960 the king taking its own rook.
export function uciOf(move, chess960) {
  if (move.castle) return move.from + (chess960 ? move.rook : move.to)
  return move.from + move.to + (move.promotion || '')
}

export function findUci(pos, text, chess960) {
  return legalMoves(pos).find((m) => uciOf(m, chess960) === text) || null
}

// The moves a drag from one square to another may mean: several only for a promotion.
// A king dropped on its own castling rook castles; dropped on the target square it castles
// only where no ordinary king move goes there.
export function movesFromTo(pos, from, to) {
  const all = legalMoves(pos).filter((m) => m.from === from)
  const plain = all.filter((m) => !m.castle && m.to === to)
  if (plain.length) return plain
  return all.filter((m) => m.castle && (m.rook === to || (m.to === to && m.to !== m.from)))
}

const stripSan = (san) => san.replace(/[+#!?]+$/, '').replace(/0/g, 'O')

export function findSan(pos, text) {
  const want = stripSan(text)
  const exact = legalMoves(pos).find((m) => stripSan(m.san) === want)
  if (exact) return exact
  // Let chess.js read looser notation (e.g. "Nge2" for "Ne2", "e8Q").
  try {
    const m = new Chess(pos.chess.fen()).move(text, { strict: false })
    return legalMoves(pos).find((x) => !x.castle && x.from === m.from && x.to === m.to
      && x.promotion === m.promotion) || null
  } catch {
    return null
  }
}

export function repetitionKey(pos) {
  return pos.fen.split(' ').slice(0, 4).join(' ')
}

// The game's end, if it has one: keys are the repetition keys of all its positions so far.
export function outcome(pos, keys = []) {
  if (!legalMoves(pos).length) {
    if (!pos.chess.inCheck()) return { result: '1/2-1/2', reason: 'stalemate' }
    return { result: pos.chess.turn() === 'w' ? '0-1' : '1-0', reason: 'checkmate' }
  }
  if (pos.chess.isInsufficientMaterial()) return { result: '1/2-1/2', reason: 'insufficient material' }
  if (Number(pos.fen.split(' ')[4]) >= 100) return { result: '1/2-1/2', reason: 'fifty-move rule' }
  const key = repetitionKey(pos)
  if (keys.filter((k) => k === key).length >= 3) return { result: '1/2-1/2', reason: 'threefold repetition' }
  return null
}

// Chess960 start position by its number 0..959 (518 is the standard one).
export function chess960Fen(n) {
  const rank = Array(8).fill(null)
  const free = () => rank.map((p, i) => (p ? -1 : i)).filter((i) => i >= 0)
  let k = n
  rank[2 * (k % 4) + 1] = 'B'; k = Math.floor(k / 4)
  rank[2 * (k % 4)] = 'B'; k = Math.floor(k / 4)
  rank[free()[k % 6]] = 'Q'; k = Math.floor(k / 6)
  const knights = [[0, 1], [0, 2], [0, 3], [0, 4], [1, 2], [1, 3], [1, 4], [2, 3], [2, 4], [3, 4]][k]
  const spots = free()
  for (const i of knights) rank[spots[i]] = 'N'
  const [r1, kk, r2] = free()
  rank[r1] = 'R'; rank[kk] = 'K'; rank[r2] = 'R'
  const white = rank.join('')
  return `${white.toLowerCase()}/pppppppp/8/8/8/8/PPPPPPPP/${white} w KQkq - 0 1`
}

export function perft(pos, depth) {
  const moves = legalMoves(pos)
  if (depth <= 1) return depth === 1 ? moves.length : 1
  let n = 0
  for (const m of moves) n += perft(play(pos, m), depth - 1)
  return n
}
