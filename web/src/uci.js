// Reading the engine's UCI lines. Unknown words and lines are passed over, as the protocol
// asks, so that an engine with more to say than we read never confuses the page.

const INFO_NUMBERS = ['depth', 'seldepth', 'multipv', 'nodes', 'nps', 'time', 'hashfull', 'tbhits', 'currmovenumber']

export function parseInfo(line) {
  const w = line.trim().split(/\s+/)
  if (w[0] !== 'info') return null
  const info = {}
  for (let i = 1; i < w.length; i++) {
    const key = w[i]
    if (INFO_NUMBERS.includes(key) && /^-?\d+$/.test(w[i + 1] || '')) {
      info[key] = Number(w[++i])
    } else if (key === 'score' && (w[i + 1] === 'cp' || w[i + 1] === 'mate') && /^-?\d+$/.test(w[i + 2] || '')) {
      info.score = { [w[i + 1]]: Number(w[i + 2]) }
      i += 2
      if (w[i + 1] === 'lowerbound' || w[i + 1] === 'upperbound') info.score.bound = w[++i]
    } else if (key === 'wdl' && w.slice(i + 1, i + 4).every((x) => /^\d+$/.test(x))) {
      info.wdl = w.slice(i + 1, i + 4).map(Number)
      i += 3
    } else if (key === 'pv') {
      info.pv = w.slice(i + 1)
      break
    } else if (key === 'string') {
      info.string = w.slice(i + 1).join(' ')
      break
    }
  }
  return info
}

export function parseBestmove(line) {
  const w = line.trim().split(/\s+/)
  if (w[0] !== 'bestmove') return null
  return { move: w[1] || '', ponder: w[2] === 'ponder' ? w[3] || null : null }
}

const OPTION_KEYS = ['type', 'default', 'min', 'max', 'var']

// "option name Clear Hash type button": names and string defaults may hold spaces.
export function parseOption(line) {
  const w = line.trim().split(/\s+/)
  if (w[0] !== 'option' || w[1] !== 'name') return null
  const option = { vars: [] }
  let key = 'name', words = []
  const flush = () => {
    const value = words.join(' ')
    if (key === 'var') option.vars.push(value)
    else if (key === 'min' || key === 'max') option[key] = Number(value)
    else option[key] = value
    words = []
  }
  for (const word of w.slice(2)) {
    if (OPTION_KEYS.includes(word) && (key !== 'name' || word === 'type')) { flush(); key = word } else words.push(word)
  }
  flush()
  return option.type ? option : null
}

// A score in pawns (or mate distance) from White's side; the engine speaks for the mover.
export function whiteScore(score, mover) {
  const sign = mover === 'w' ? 1 : -1
  const flip = { lowerbound: 'upperbound', upperbound: 'lowerbound' }
  const bound = score.bound && (sign > 0 ? score.bound : flip[score.bound])
  return 'mate' in score ? { mate: sign * score.mate, bound } : { cp: sign * score.cp, bound }
}

export function formatScore(score) {
  const mark = score.bound === 'lowerbound' ? '≥' : score.bound === 'upperbound' ? '≤' : ''
  if ('mate' in score) return `${mark}${score.mate < 0 ? '−' : ''}#${Math.abs(score.mate)}`
  const pawns = score.cp / 100
  const sign = pawns > 0 ? '+' : pawns < 0 ? '−' : ''
  return `${mark}${sign}${Math.abs(pawns).toFixed(2)}`
}

// Win/draw/loss in permille for White, from the mover's triple.
export function whiteWdl(wdl, mover) {
  return mover === 'w' ? wdl : [wdl[2], wdl[1], wdl[0]]
}
