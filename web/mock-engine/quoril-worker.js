// A stand-in for the engine while its WebAssembly build does not exist: the same worker
// contract and the same options, legal but random moves, and invented scores. The build
// bundles it into one classic worker script.
//
// Switch for tests: post {nextBestmove: "e2e5"} (any text, "0000" too) on the
// BroadcastChannel "quoril-mock" and the next search ends with exactly that bestmove.
import { START_FEN, parseFen, legalMoves, play, findUci, uciOf, inCheck } from '../src/rules.js'

const query = new URLSearchParams(self.location.search)
const threaded = query.has('threads') && self.crossOriginIsolated
const maxThreads = threaded ? Math.max(2, Math.min(8, navigator.hardwareConcurrency || 2)) : 1
const say = (line) => self.postMessage(line)

const options = {
  Hash: 16, Threads: 1, MultiPV: 1, UCI_LimitStrength: false, UCI_Elo: 1800,
  UCI_ShowWDL: false, UCI_Chess960: false, OwnBook: false,
}
const OPTION_LINES = [
  'option name Hash type spin default 16 min 1 max 256',
  `option name Threads type spin default 1 min 1 max ${maxThreads}`,
  'option name MultiPV type spin default 1 min 1 max 99',
  'option name UCI_LimitStrength type check default false',
  'option name UCI_Elo type spin default 1800 min 1200 max 2200',
  'option name UCI_ShowWDL type check default false',
  'option name UCI_Chess960 type check default false',
  'option name OwnBook type check default false',
  'option name Clear Hash type button',
]

let position = parseFen(START_FEN).pos
let search = null
let forced = null

new BroadcastChannel('quoril-mock').onmessage = (e) => {
  if (e.data && typeof e.data.nextBestmove === 'string') forced = e.data.nextBestmove
}

function setOption(words) {
  const text = words.join(' ')
  const m = /^name (.+?)(?: value (.*))?$/.exec(text)
  if (!m || !(m[1] in options)) return m && m[1] === 'Clear Hash' ? undefined : say(`info string unknown option ${text}`)
  const old = options[m[1]]
  options[m[1]] = typeof old === 'boolean' ? m[2] === 'true' : typeof old === 'number' ? Number(m[2]) : m[2]
}

function setPosition(words) {
  const movesAt = words.indexOf('moves')
  const head = movesAt < 0 ? words : words.slice(0, movesAt)
  const parsed = head[0] === 'startpos' ? parseFen(START_FEN) : parseFen(head.slice(1).join(' '))
  if (parsed.error) return say(`info string bad position: ${parsed.error}`)
  let pos = parsed.pos
  for (const text of movesAt < 0 ? [] : words.slice(movesAt + 1)) {
    const move = findUci(pos, text, options.UCI_Chess960)
    if (!move) return say(`info string illegal move ${text} in position`)
    pos = play(pos, move)
  }
  position = pos
}

const pick = (list) => list[Math.floor(Math.random() * list.length)]

// A random legal line from the position, starting with the given move.
function randomLine(pos, first, length) {
  const line = [uciOf(first, options.UCI_Chess960)]
  pos = play(pos, first)
  while (line.length < length && legalMoves(pos).length) {
    const m = pick(legalMoves(pos))
    line.push(uciOf(m, options.UCI_Chess960))
    pos = play(pos, m)
  }
  return line
}

function wdlOf(cp) {
  const win = 1000 / (1 + Math.exp(-(cp - 60) / 90)), loss = 1000 / (1 + Math.exp((cp + 60) / 90))
  const w = Math.round(win), l = Math.round(loss)
  return `wdl ${w} ${1000 - w - l} ${l}`
}

function iterate() {
  const s = search
  s.depth += 1
  const roots = s.roots.slice(0, Math.max(1, Math.min(options.MultiPV, s.roots.length)))
  roots.forEach((move, i) => {
    s.scores[i] = (s.scores[i] ?? 30 - 15 * i) + Math.round((Math.random() - 0.5) * 40)
    const cp = s.scores[i] - 8 * i
    const wdl = options.UCI_ShowWDL ? ` ${wdlOf(cp)}` : ''
    const pv = randomLine(position, move, Math.min(s.depth, 8)).join(' ')
    const nodes = s.depth * 25000 + i * 100, time = Date.now() - s.start
    say(`info depth ${s.depth} seldepth ${s.depth + 4} multipv ${i + 1} score cp ${cp}${wdl} nodes ${nodes} nps ${Math.round(nodes * 1000 / (time + 1))} time ${time} pv ${pv}`)
  })
  if (s.depth >= s.maxDepth || (s.until && Date.now() >= s.until)) finish()
}

function finish() {
  const s = search
  clearInterval(s.timer)
  search = null
  if (forced !== null) {
    say(`bestmove ${forced}`)
    forced = null
  } else if (!s.roots.length) {
    say('bestmove 0000')
  } else {
    const line = randomLine(position, s.roots[0], 2)
    say(`bestmove ${line[0]}${line[1] ? ` ponder ${line[1]}` : ''}`)
  }
}

function go(words) {
  if (search) return
  const arg = (name) => { const i = words.indexOf(name); return i >= 0 ? Number(words[i + 1]) : null }
  const mover = position.chess.turn() === 'w' ? 'w' : 'b'
  let budget = arg('movetime')
  const clock = arg(`${mover}time`)
  if (budget === null && clock !== null) budget = Math.max(50, clock / 30 + (arg(`${mover}inc`) || 0))
  if (budget === null && arg('depth') === null && !words.includes('infinite')) budget = 1000
  const roots = legalMoves(position).slice().sort(() => Math.random() - 0.5)
  search = {
    start: Date.now(), until: budget === null || words.includes('infinite') ? null : Date.now() + budget,
    maxDepth: words.includes('infinite') ? Infinity : arg('depth') ?? Infinity, depth: 0, roots, scores: [],
  }
  if (!roots.length) {
    say(`info depth 0 score ${inCheck(position) ? 'mate 0' : 'cp 0'}`)
    return finish()
  }
  search.timer = setInterval(iterate, 60)
}

function bench(args) {
  say('Quoril mock engine: benchmark')
  say(`args: ${args}`)
  let nodes = 0
  for (let i = 1; i <= 5; i++) { nodes += 1000 * i; say(`${String(i).padStart(4)} mock position ${i}`) }
  say(`Nodes searched: ${nodes}`)
  self.close()
}

function command(line) {
  const [word, ...rest] = line.trim().split(/\s+/)
  if (word === 'uci') {
    say('id name Quoril 1.0 32-bit (mock)')
    say('id author the Quoril developers')
    OPTION_LINES.forEach(say)
    say('uciok')
  } else if (word === 'isready') say('readyok')
  else if (word === 'setoption') setOption(rest)
  else if (word === 'ucinewgame') position = parseFen(START_FEN).pos
  else if (word === 'position') setPosition(rest)
  else if (word === 'go') go(rest)
  else if (word === 'stop') { if (search) finish() }
  else if (word === 'quit') self.close()
}

if (query.has('args')) bench(query.get('args'))
else {
  say('Quoril 1.0 32-bit (mock engine) by the Quoril developers')
  self.onmessage = (e) => command(String(e.data))
}
