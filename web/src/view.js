// Drawing the analysis, the win/draw/loss bar and the move list. Rows are reused and keep
// their size, so that lines arriving many times a second never move the layout.
import { findUci, play, turnOf } from './rules.js'
import { whiteScore, formatScore, whiteWdl } from './uci.js'
import { moveText } from './game.js'

const PV_PLIES = 12

// The engine's line in numbered SAN, cut at the first move that is not legal.
export function pvText(pos, pv, chess960) {
  let p = pos
  const [, side, , , , full] = pos.fen.split(' ')
  let number = Number(full), white = side === 'w'
  const words = white ? [] : [`${number}...`]
  for (const text of pv.slice(0, PV_PLIES)) {
    const move = findUci(p, text, chess960)
    if (!move) break
    if (white) words.push(`${number}.`)
    words.push(move.san)
    if (!white) number++
    white = !white
    p = play(p, move)
  }
  return words.join(' ') + (pv.length > PV_PLIES ? ' …' : '')
}

function row(list, i) {
  let li = list.children[i]
  if (!li) {
    li = document.createElement('li')
    li.innerHTML = '<span class="score"></span><span class="line-depth"></span><span class="pv"></span>'
    list.append(li)
  }
  return li
}

export function renderLines(list, lines, count, pos, chess960 = false) {
  while (list.children.length > count) list.lastChild.remove()
  for (let i = 0; i < count; i++) {
    const li = row(list, i), line = lines[i]
    li.dataset.multipv = String(i + 1)
    const [score, depth, pv] = li.children
    if (!line || !pos) {
      score.textContent = '…'; depth.textContent = ''; pv.textContent = ''
      delete li.dataset.depth
      continue
    }
    score.textContent = formatScore(whiteScore(line.score, turnOf(pos)))
    depth.textContent = line.depth ? `d${line.depth}` : ''
    li.dataset.depth = String(line.depth || 0)
    pv.textContent = pvText(pos, line.pv, chess960)
  }
}

const percent = (permille) => `${(permille / 10).toFixed(1)}%`

// Until the engine says, the bar is all draw and the figures are dashes.
export function renderWdl(bar, text, wdl, mover) {
  const [w, d, l] = wdl ? whiteWdl(wdl, mover) : [0, 1000, 0]
  const [ws, ds, ls] = bar.children
  ws.style.width = percent(w); ds.style.width = percent(d); ls.style.width = percent(l)
  bar.dataset.wdl = wdl ? `${w} ${d} ${l}` : ''
  const [pw, pd, pl] = wdl ? [w, d, l].map(percent) : ['–', '–', '–']
  bar.setAttribute('aria-label', wdl ? `White wins ${pw}, draw ${pd}, Black wins ${pl}` : 'Win, draw and loss: not known yet')
  if (text.dataset.none === undefined) text.textContent = `White ${pw} · draw ${pd} · Black ${pl}`
}

export function renderMoves(list, game) {
  const words = moveText(game).split(' ').filter(Boolean)
  list.replaceChildren()
  let li = null, ply = 0
  for (const word of words) {
    if (/^\d+\.(\.\.)?$/.test(word)) {
      li = document.createElement('li')
      li.value = Number.parseInt(word, 10)
      list.append(li)
      if (word.endsWith('...')) li.append(Object.assign(document.createElement('span'), { className: 'gap', textContent: '…' }))
      continue
    }
    const m = game.moves[ply++]
    const span = Object.assign(document.createElement('span'), { className: `move ${m.by}`, textContent: word })
    span.dataset.uci = m.uci
    span.dataset.by = m.by
    li.append(span)
  }
  list.scrollTop = list.scrollHeight
}

export function formatSpeed(nodes, nps) {
  if (!nodes) return ''
  const n = nodes >= 1e6 ? `${(nodes / 1e6).toFixed(1)} M` : `${Math.round(nodes / 1e3)} k`
  return `${n} nodes · ${Math.round(nps / 1e3)} kN/s`
}
