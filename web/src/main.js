// The page: a board to play Quoril on or to analyse with it. The game record is the truth;
// the board only shows it, and every move from the engine is checked against it first.
import { Chessboard, COLOR, INPUT_EVENT_TYPE, BORDER_TYPE } from 'cm-chessboard/src/Chessboard.js'
import { Markers, MARKER_TYPE } from 'cm-chessboard/src/extensions/markers/Markers.js'
import { PromotionDialog, PROMOTION_DIALOG_RESULT_TYPE } from 'cm-chessboard/src/extensions/promotion-dialog/PromotionDialog.js'
import { Accessibility } from 'cm-chessboard/src/extensions/accessibility/Accessibility.js'
import 'cm-chessboard/assets/chessboard.css'
import 'cm-chessboard/assets/extensions/markers/markers.css'
import 'cm-chessboard/assets/extensions/promotion-dialog/promotion-dialog.css'
import './style.css'
import { Engine, engineUrl } from './engine.js'
import { legalMoves, movesFromTo, findUci, turnOf, inCheck, chess960Fen } from './rules.js'
import { newGame, currentPosition, pushMove, takeBack, gameOutcome, positionCommand, toPgn, fromPgn } from './game.js'
import { renderLines, renderWdl, renderMoves, formatSpeed } from './view.js'

const $ = (id) => document.getElementById(id)
const LOG_LINES = 400

const state = {
  game: newGame().game,
  mode: 'play',
  user: 'w',
  engine: null,
  ready: false,
  gen: 0, // bumped whenever running engine work stops mattering
  thinking: false,
  analysing: false,
  sent: {},
  analysis: { lines: [], depth: 0, nodes: 0, nps: 0, pos: null },
  log: [],
  message: null,
}

const board = new Chessboard($('board'), {
  position: currentPosition(state.game).fen,
  assetsUrl: './cm-assets/',
  style: { borderType: BORDER_TYPE.none, pieces: { file: 'pieces/standard.svg' }, animationDuration: 180 },
  extensions: [
    { class: Markers, props: { autoMarkers: MARKER_TYPE.frame } },
    { class: PromotionDialog, props: { language: 'en' } },
    { class: Accessibility, props: { language: 'en', keyboardMoveInput: true, movePieceForm: false, boardAsTable: false } },
  ],
})

// Rendering ------------------------------------------------------------------------------

let frame = 0
function scheduleRender() {
  if (!frame) frame = requestAnimationFrame(() => { frame = 0; renderAnalysis(); renderLog() })
}

function setEngineState() {
  document.body.dataset.engine = !state.ready ? 'starting'
    : state.thinking ? 'thinking' : state.analysing ? 'analysing' : 'idle'
}

function statusText() {
  const pos = currentPosition(state.game), end = gameOutcome(state.game)
  if (end) return `Game over: ${end.result} (${end.reason}).`
  const side = turnOf(pos) === 'w' ? 'White' : 'Black'
  const check = inCheck(pos) ? ' Check!' : ''
  if (state.mode === 'analyse') return `${side} to move.${check}`
  if (!state.ready) return 'Waiting for the engine…'
  if (state.thinking) return `Quoril (${side}) is thinking…${check}`
  return turnOf(pos) === state.user ? `Your move (${side}).${check}` : `Quoril to move (${side}).${check}`
}

function renderMessage() {
  const m = state.message
  $('message').dataset.kind = m ? m.kind : 'status'
  $('message-text').textContent = m ? m.text : statusText()
  $('retry').hidden = !(m && m.retry)
  setEngineState()
}

function showMessage(text, kind = 'error', retry = false) {
  state.message = { text, kind, retry }
  renderMessage()
}

function markLastMove() {
  board.removeMarkers(MARKER_TYPE.square)
  board.removeMarkers(MARKER_TYPE.circleDanger)
  const game = state.game, pos = currentPosition(game), last = game.moves[game.moves.length - 1]
  if (last) for (const sq of [last.uci.slice(0, 2), last.uci.slice(2, 4)]) board.addMarker(MARKER_TYPE.square, sq)
  if (inCheck(pos)) {
    const king = pos.chess.findPiece({ type: 'k', color: turnOf(pos) })[0]
    board.addMarker(MARKER_TYPE.circleDanger, king)
  }
}

function refresh(animated = false) {
  const pos = currentPosition(state.game)
  board.setPosition(pos.fen, animated)
  $('board').dataset.fen = pos.fen
  markLastMove()
  renderMoves($('moves'), state.game)
  if (document.activeElement !== $('fen')) $('fen').value = pos.fen
  $('take-back').disabled = state.game.moves.length === 0
  renderMessage()
}

function renderAnalysis() {
  const a = state.analysis, count = Number($('multipv').value)
  $('depth').textContent = a.depth ? String(a.depth) : '–'
  $('speed').textContent = formatSpeed(a.nodes, a.nps)
  renderLines($('lines'), a.lines, count, a.pos, state.game.chess960)
  renderWdl($('wdl'), $('wdl-text'), a.lines[0] && a.lines[0].wdl, a.pos && turnOf(a.pos))
}

function log(prefix, line) {
  state.log.push(prefix + line)
  if (state.log.length > LOG_LINES) state.log.splice(0, state.log.length - LOG_LINES)
  scheduleRender()
}

function renderLog() {
  const box = $('engine-log')
  if (!box.closest('details').open) return
  box.textContent = state.log.join('\n')
  box.scrollTop = box.scrollHeight
}

// Engine work ----------------------------------------------------------------------------

// Sends only the options that changed since they were last sent.
async function applyOptions(values) {
  const changed = {}
  for (const [name, value] of Object.entries(values)) {
    if (state.sent[name] !== String(value) && state.engine.has(name)) changed[name] = value
  }
  if (!Object.keys(changed).length) return
  for (const [name, value] of Object.entries(changed)) state.sent[name] = String(value)
  await state.engine.configure(changed)
}

function strengthOptions() {
  const limited = document.querySelector('input[name=strength]:checked').value === 'limited'
  const elo = Math.min(2200, Math.max(1200, Math.round(Number($('elo').value) || 1500)))
  return { MultiPV: 1, UCI_LimitStrength: limited, ...(limited ? { UCI_Elo: elo } : {}) }
}

function cancelEngine() {
  state.gen++
  state.thinking = false
  if (state.engine && state.ready) state.engine.stop()
}

async function engineMove() {
  const game = state.game, pos = currentPosition(game)
  if (!state.ready || state.mode !== 'play' || state.thinking || gameOutcome(game) || turnOf(pos) === state.user) return
  const gen = ++state.gen
  state.thinking = true
  state.message = null
  renderMessage()
  await applyOptions({ ...strengthOptions(), UCI_Chess960: game.chess960 })
  const best = gen === state.gen && await state.engine.go(positionCommand(game), `go movetime ${$('movetime').value}`)
  if (gen !== state.gen || !best) return
  state.thinking = false
  const move = /^([a-h][1-8]){2}[qrbn]?$/.test(best.move) ? findUci(pos, best.move, game.chess960) : null
  if (!move) {
    showMessage(`Quoril answered "bestmove ${best.move}", which is not a legal move here. The game is unchanged.`, 'error', true)
    return
  }
  pushMove(game, move, 'engine')
  refresh(true)
}

async function startAnalysis() {
  const gen = ++state.gen, game = state.game, pos = currentPosition(game)
  state.analysing = true
  state.analysis = { lines: [], depth: 0, nodes: 0, nps: 0, pos }
  setAnalyseButton()
  scheduleRender()
  await applyOptions({ UCI_LimitStrength: false, MultiPV: Number($('multipv').value), UCI_Chess960: game.chess960 })
  if (gen !== state.gen) return
  const best = await state.engine.go(positionCommand(game), 'go infinite', (info) => onAnalysisInfo(info, gen))
  // A search that ends by itself (no legal move) ends the analysis too.
  if (best && gen === state.gen) { state.analysing = false; setAnalyseButton() }
}

function onAnalysisInfo(info, gen) {
  if (!info || gen !== state.gen) return
  const a = state.analysis
  if (info.depth) a.depth = Math.max(a.depth, info.depth)
  if (info.nodes) a.nodes = info.nodes
  if (info.nps) a.nps = info.nps
  if (info.score && info.pv) {
    a.lines[(info.multipv || 1) - 1] = { depth: info.depth, score: info.score, wdl: info.wdl, pv: info.pv }
  }
  scheduleRender()
}

function stopAnalysis() {
  cancelEngine()
  state.analysing = false
  setAnalyseButton()
}

function setAnalyseButton() {
  $('analyse').textContent = state.analysing ? 'Stop analysis' : 'Start analysis'
  $('analyse').setAttribute('aria-pressed', String(state.analysing))
  $('analysis-panel').dataset.running = String(state.analysing)
  setEngineState()
}

// What the engine should do now that the game or the settings changed.
function resume() {
  if (state.mode === 'analyse') { if (state.analysing) startAnalysis() } else engineMove()
}

async function changeEngineOptions(values) {
  cancelEngine()
  await applyOptions(values)
  resume()
}

// Changes to the game ----------------------------------------------------------------------

function gameChanged(animated = false) {
  state.message = null
  refresh(animated)
  resume()
}

async function replaceGame(made) {
  if (made.error) return showMessage(made.error)
  cancelEngine()
  state.game = made.game
  refresh()
  const gen = state.gen
  if (state.ready) await state.engine.newGame()
  if (gen === state.gen) gameChanged()
}

function userMove(move) {
  pushMove(state.game, move, 'user')
  gameChanged()
}

function canMoveFrom(square) {
  const pos = currentPosition(state.game), piece = pos.chess.get(square)
  if (!piece || piece.color !== turnOf(pos) || gameOutcome(state.game)) return false
  return state.mode === 'analyse' || (state.ready && !state.thinking && piece.color === state.user)
}

function onBoardInput(event) {
  const pos = currentPosition(state.game)
  if (event.type === INPUT_EVENT_TYPE.moveInputStarted) {
    if (!canMoveFrom(event.squareFrom)) return false
    const targets = legalMoves(pos).filter((m) => m.from === event.squareFrom)
      .map((m) => ({ ...m, to: m.castle && state.game.chess960 ? m.rook : m.to }))
    board.addLegalMovesMarkers(targets)
    return true
  }
  if (event.type === INPUT_EVENT_TYPE.validateMoveInput) {
    const moves = movesFromTo(pos, event.squareFrom, event.squareTo)
    if (!moves.length) return false
    if (moves.length === 1) setTimeout(() => userMove(moves[0]))
    else promote(moves, event.squareTo)
    return true
  }
  if (event.type === INPUT_EVENT_TYPE.moveInputCanceled || event.type === INPUT_EVENT_TYPE.moveInputFinished) {
    board.removeLegalMovesMarkers()
  }
  return undefined
}

function promote(moves, square) {
  board.showPromotionDialog(square, turnOf(currentPosition(state.game)), (result) => {
    const move = result.type === PROMOTION_DIALOG_RESULT_TYPE.pieceSelected
      && moves.find((m) => m.promotion === result.piece.charAt(1))
    if (move) userMove(move)
    else refresh()
  })
}

function takeBackMoves() {
  cancelEngine()
  const game = state.game
  if (state.mode === 'analyse') takeBack(game, 1)
  else {
    // Back to the last position where it was the player's move, at least one move back.
    let n = 1
    while (n < game.moves.length && game.moves[game.moves.length - n].by === 'engine') n++
    takeBack(game, n)
  }
  gameChanged()
}

function setMode(mode) {
  cancelEngine()
  state.mode = mode
  state.analysing = false
  $('play-panel').hidden = mode !== 'play'
  $('analysis-panel').hidden = mode !== 'analyse'
  setAnalyseButton()
  gameChanged()
}

// The engine itself ------------------------------------------------------------------------

function fillSelect(select, values, chosen, unit = '') {
  select.replaceChildren(...values.map((v) => new Option(`${v}${unit}`, String(v), false, String(v) === String(chosen))))
}

function setUpEngineControls(engine) {
  const threads = engine.options.get('Threads')
  const max = threads ? Math.max(1, threads.max || 1) : 1
  fillSelect($('threads'), Array.from({ length: max }, (_, i) => i + 1), threads ? threads.default : 1)
  $('threads').disabled = max === 1
  const hash = engine.options.get('Hash')
  const sizes = [16, 32, 64, 128, 256, 512, 1024].filter((v) => !hash || (v >= (hash.min || 1) && v <= hash.max))
  if (hash && !sizes.includes(Number(hash.default))) sizes.push(Number(hash.default))
  sizes.sort((a, b) => a - b)
  fillSelect($('hash'), sizes, hash ? hash.default : 16, ' MB')
  $('hash').disabled = !hash
  $('clear-hash').disabled = !engine.has('Clear Hash')
  if (!engine.has('UCI_ShowWDL')) {
    $('wdl-text').dataset.none = ''
    $('wdl-text').textContent = 'This engine gives no win/draw/loss figures.'
  }
}

async function startEngine() {
  const isolated = self.crossOriginIsolated === true
  $('isolation').textContent = isolated
    ? 'The page is cross-origin isolated: the threaded engine is loaded.'
    : 'The page is not cross-origin isolated: the engine runs on one thread.'
  const engine = new Engine(engineUrl(isolated), {
    onLine: (l) => {
      log('', l)
      // Between searches an "info string" answers a setting (e.g. a Hash it could not have).
      if (l.startsWith('info string ') && !engine.searching) showMessage(`Quoril: ${l.slice(12)}`, 'info')
    },
    onSent: (l) => log('> ', l),
    onError: (m) => showMessage(`Engine: ${m}`),
  })
  state.engine = engine
  try {
    await engine.start()
    setUpEngineControls(engine)
    await applyOptions({ OwnBook: false, UCI_ShowWDL: true })
  } catch (e) {
    $('engine-status').textContent = `The engine did not start: ${e.message}`
    return showMessage(`The engine did not start: ${e.message}`)
  }
  state.ready = true
  const threads = engine.options.get('Threads')
  $('engine-status').textContent = `${engine.name || 'Engine'} · up to ${threads ? threads.max : 1} thread(s)`
  renderMessage()
  resume()
}

// Wiring ---------------------------------------------------------------------------------

function onClick(id, handler) { $(id).addEventListener('click', handler) }

function wire() {
  board.enableMoveInput(onBoardInput)
  document.querySelectorAll('input[name=mode]').forEach((r) => r.addEventListener('change', () => setMode(r.value)))
  onClick('new-game', () => replaceGame(newGame()))
  onClick('take-back', takeBackMoves)
  onClick('flip', () => board.setOrientation(board.getOrientation() === COLOR.white ? COLOR.black : COLOR.white, true))
  onClick('retry', () => { state.message = null; engineMove() })
  $('colour').addEventListener('change', () => {
    state.user = $('colour').value
    board.setOrientation(state.user === 'w' ? COLOR.white : COLOR.black)
    cancelEngine()
    gameChanged()
  })
  onClick('analyse', () => (state.analysing ? stopAnalysis() : startAnalysis()))
  $('multipv').addEventListener('change', () => { if (state.analysing) startAnalysis(); else scheduleRender() })
  $('threads').addEventListener('change', () => changeEngineOptions({ Threads: $('threads').value }))
  $('hash').addEventListener('change', () => changeEngineOptions({ Hash: $('hash').value }))
  onClick('clear-hash', async () => { cancelEngine(); await state.engine.configure({ 'Clear Hash': null }); resume() })
  wirePositionBox()
  $('engine-log').closest('details').addEventListener('toggle', renderLog)
}

function wirePositionBox() {
  onClick('load-fen', () => replaceGame(newGame($('fen').value)))
  $('fen').addEventListener('keydown', (e) => { if (e.key === 'Enter') replaceGame(newGame($('fen').value)) })
  onClick('copy-fen', () => navigator.clipboard?.writeText(currentPosition(state.game).fen))
  onClick('load-pgn', () => replaceGame(fromPgn($('pgn').value)))
  onClick('show-pgn', () => { $('pgn').value = pgnText() })
  onClick('save-pgn', () => {
    const a = document.createElement('a')
    a.href = URL.createObjectURL(new Blob([pgnText()], { type: 'application/x-chess-pgn' }))
    a.download = 'quoril-game.pgn'
    a.click()
    URL.revokeObjectURL(a.href)
  })
  onClick('start-960', () => {
    const n = Number($('n960').value)
    if (!Number.isInteger(n) || n < 0 || n > 959) return showMessage('A Chess960 position has a number from 0 to 959.')
    replaceGame(newGame(chess960Fen(n), true))
  })
  onClick('random-960', () => {
    const n = Math.floor(Math.random() * 960)
    $('n960').value = String(n)
    replaceGame(newGame(chess960Fen(n), true))
  })
}

function pgnText() {
  const engineName = (state.engine && state.engine.name) || 'Quoril'
  if (state.mode === 'analyse') return toPgn(state.game)
  const [white, black] = state.user === 'w' ? ['You', engineName] : [engineName, 'You']
  return toPgn(state.game, { White: white, Black: black })
}

if ('serviceWorker' in navigator && location.protocol !== 'file:') {
  navigator.serviceWorker.register('./sw.js').catch(() => {})
}

wire()
refresh()
setMode('play')
startEngine()
