// The page in a real browser, against whatever engine the build holds (mock or real):
// every wait is for a line or a state, never for the engine's speed.
//   node tests/browser/run.mjs [--screenshots DIR]   (QUORIL_WEB_OUT: the built page)
import { mkdirSync } from 'node:fs'
import { join, resolve } from 'node:path'
import { serve } from '../../scripts/serve.mjs'
import { launch } from './browser.mjs'
import { recordEngine, engineLines, waitForLine, drag, moveCount, waitForMoves, boardFen, lastUci } from './harness.mjs'
import { parseFen, legalMoves, findUci, play, outcome, uciOf, START_FEN } from '../../src/rules.js'
import { fromPgn, currentPosition } from '../../src/game.js'

const started = Date.now()
const web = resolve(import.meta.dirname, '../..')
const root = resolve(process.env.QUORIL_WEB_OUT || join(web, '../build/web'))
const argAt = process.argv.indexOf('--screenshots')
const shots = resolve(argAt > 0 ? process.argv[argAt + 1] : join(web, '../build/web/screenshots'))
mkdirSync(shots, { recursive: true })

const results = []
const problems = []
async function step(name, body) {
  const t = Date.now()
  try {
    await body()
    results.push({ name, ok: true })
    console.log(`ok   ${name} (${((Date.now() - t) / 1000).toFixed(1)} s)`)
  } catch (e) {
    results.push({ name, ok: false })
    console.log(`FAIL ${name}: ${e.message.split('\n')[0]}`)
  }
}

function expect(condition, what) {
  if (!condition) throw new Error(what)
}

async function openPage(context, url) {
  const page = await context.newPage()
  page.setDefaultTimeout(30000)
  await page.addInitScript(recordEngine)
  const origin = new URL(url).origin
  page.on('pageerror', (e) => problems.push(`page error: ${e.message}`))
  page.on('request', (r) => {
    if (!/^(data|blob):/.test(r.url()) && new URL(r.url()).origin !== origin) problems.push(`request off the origin: ${r.url()}`)
  })
  await page.goto(url)
  await waitForLine(page, 'received', 'uciok')
  return page
}

// A move for the player: never one that lets the engine mate at once, captures first.
function chooseMove(pos) {
  const moves = legalMoves(pos).filter((m) => !m.promotion)
  const safe = moves.filter((m) => {
    const next = play(pos, m)
    return !legalMoves(next).some((r) => play(next, r).chess.isCheckmate())
  })
  const pool = safe.length ? safe : moves
  return pool.find((m) => m.captured) || pool[Math.floor(Math.random() * pool.length)]
}

async function userMoveAndReply(page, pos) {
  const move = chooseMove(pos)
  const before = await moveCount(page)
  await drag(page, move.from, move.to)
  await waitForMoves(page, before + 1)
  expect(await page.locator('#moves .move').nth(before).getAttribute('data-uci') === uciOf(move, false),
    `the drag ${move.from}-${move.to} did not make that move`)
  let next = play(pos, move)
  if (outcome(next)) return next
  await waitForMoves(page, before + 2)
  const text = await lastUci(page)
  const reply = findUci(next, text, false)
  expect(reply, `the engine's move ${text} is not legal in ${next.fen}`)
  next = play(next, reply)
  expect(await boardFen(page) === next.fen, `the board shows ${await boardFen(page)}, not ${next.fen}`)
  return next
}

async function playGame(page, movesEach) {
  for (let game = 0; game < 3; game++) {
    await page.click('#new-game')
    let pos = parseFen(START_FEN).pos
    let plies = 0
    while (plies < 2 * movesEach && !outcome(pos)) {
      pos = await userMoveAndReply(page, pos)
      plies += 2
    }
    expect(await page.locator('#message').getAttribute('data-kind') !== 'error', 'the page shows an error')
    if (plies >= 2 * movesEach) return plies
    console.log(`     the game ended after ${plies} plies (${outcome(pos).reason}); another one`)
  }
  throw new Error(`no game lasted ${movesEach} moves each`)
}

// Screenshots only: lets the last move's animation end.
const settle = (page) => page.waitForTimeout(400)

async function setSelect(page, id, value) {
  await page.selectOption(`#${id}`, value)
}

async function analysisState(page) {
  return page.evaluate(() => ({
    depth: Number(document.getElementById('depth').textContent) || 0,
    lines: [...document.querySelectorAll('#lines li')].map((li) => ({
      depth: Number(li.dataset.depth || 0), text: li.textContent, score: li.querySelector('.score').textContent,
      pv: li.querySelector('.pv').textContent,
    })),
    wdl: document.getElementById('wdl').dataset.wdl,
    widths: [...document.querySelectorAll('#wdl span')].map((s) => s.style.width),
    engine: document.body.dataset.engine,
    // Where the boxes below the lines stand: it must not move while lines come in.
    layout: ['#lines', '#moves', '#board'].map((q) => { const r = document.querySelector(q).getBoundingClientRect(); return [r.top, r.height] }),
  }))
}

function advertisedThreads(received) {
  const line = received.find((l) => l.startsWith('option name Threads '))
  return line ? Number(/max (\d+)/.exec(line)[1]) : 1
}

async function isolatedPaths(context, isolatedUrl, plainUrl) {
  for (const [url, isolated] of [[isolatedUrl, true], [plainUrl, false]]) {
    const page = await openPage(context, url)
    const [flag, urls, threads] = await page.evaluate(() => [self.crossOriginIsolated, window.__engine.urls,
      document.getElementById('threads').options.length])
    expect(flag === isolated, `crossOriginIsolated is ${flag} ${isolated ? 'with' : 'without'} the headers`)
    expect(urls.length === 1, `the page started ${urls.length} workers`)
    const query = new URL(urls[0]).search
    expect(urls[0].includes('/engine/quoril-worker.js') && query === (isolated ? '?threads=1' : ''),
      `the page asked for ${urls[0]}`)
    const max = advertisedThreads(await engineLines(page, 'received'))
    expect(threads === max, `the Threads choice has ${threads} entries; the engine offers ${max}`)
    if (!isolated) {
      expect(max === 1, `without isolation the engine offers ${max} threads`)
      // One thread: the engine must still hear "stop" while it analyses.
      await page.check('input[name=mode][value=analyse]')
      await page.click('#analyse')
      await page.waitForFunction(() => Number(document.getElementById('depth').textContent) >= 8)
      await stopAnalysis(page)
    }
    await page.close()
  }
}

// Three lines, then deeper ones with other text, while nothing on the page moves.
async function watchAnalysis(page) {
  await page.waitForFunction(() => document.querySelectorAll('#lines li[data-depth]').length === 3
    && document.getElementById('wdl').dataset.wdl)
  const first = await analysisState(page)
  await page.waitForFunction((d) => Number(document.getElementById('depth').textContent) > d + 1, first.depth)
  const later = await analysisState(page)
  expect(later.lines.map((l) => l.text).join() !== first.lines.map((l) => l.text).join(), 'the lines did not change')
  expect(JSON.stringify(later.layout) === JSON.stringify(first.layout), `the layout moved: ${first.layout} to ${later.layout}`)
  return later
}

async function analyse(page) {
  // From the start, where a real engine's depth climbs for long: after a lost game it may find a
  // mate and reach its last depth at once.
  await page.click('#new-game')
  await page.waitForSelector('#board[data-fen^="rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w"]')
  await page.check('input[name=mode][value=analyse]')
  await setSelect(page, 'multipv', '3')
  const pos = parseFen(await boardFen(page)).pos
  const sentBefore = (await engineLines(page, 'sent')).length
  await page.click('#analyse')
  const later = await watchAnalysis(page)
  const sent = (await engineLines(page, 'sent')).slice(sentBefore)
  expect(sent.includes('setoption name MultiPV value 3') && sent.includes('go infinite'), `sent ${sent.join(' | ')}`)
  const wdl = later.wdl.split(' ').map(Number)
  expect(wdl.length === 3 && wdl[0] + wdl[1] + wdl[2] === 1000, `WDL ${later.wdl} does not add up to 1000`)
  expect(later.widths.every((w) => /%$/.test(w)), `WDL bar widths ${later.widths}`)
  for (const line of later.lines) {
    const san = line.pv.replace(/^\d+\.+\s*/, '').split(' ')[0]
    expect(legalMoves(pos).some((m) => m.san === san), `the line "${line.pv}" does not start with a legal move`)
  }
  await settle(page)
  await page.screenshot({ path: join(shots, 'analysis.png'), fullPage: true })
  return stopAnalysis(page)
}

async function stopAnalysis(page) {
  const received = (await engineLines(page, 'received')).length
  await page.click('#analyse')
  await waitForLine(page, 'received', 'bestmove', received)
  await page.waitForFunction(() => document.body.dataset.engine === 'idle')
  const stopped = await analysisState(page)
  // Whatever still comes must not reach the display once the search has ended.
  await page.waitForTimeout(500)
  const after = await analysisState(page)
  expect(JSON.stringify(after) === JSON.stringify(stopped), 'the analysis kept changing after stop')
  expect(await page.locator('#analyse').textContent() === 'Start analysis', 'the button still says stop')
}

async function fenPgnAnd960(page) {
  await page.locator('#position-box summary').click()
  const fen = 'r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3'
  await loadFen(page, fen)
  // The board draws after its animation queue, so wait for the piece rather than look once.
  await page.waitForSelector('#board g[data-square="c6"] use[href="#bn"]', { timeout: 5000 })
  const sent = (await engineLines(page, 'sent')).length
  await page.click('#analyse')
  await waitForLine(page, 'sent', `position fen ${fen}`, sent)
  await page.waitForFunction(() => document.querySelectorAll('#lines li[data-depth]').length === 3)
  await stopAnalysis(page)

  await page.fill('#fen', 'not a fen')
  await page.click('#load-fen')
  expect(await page.locator('#message').getAttribute('data-kind') === 'error', 'a bad FEN gave no error')
  expect(await boardFen(page) === fen, 'a bad FEN changed the board')

  const pgn = '[Event "test"]\n\n1. e4 e5 2. Nf3 {a comment} Nc6 (2... d6) 3. Bb5 a6 4. O-O *'
  await page.fill('#pgn', pgn)
  await page.click('#load-pgn')
  expect(await boardFen(page) === currentPosition(fromPgn(pgn).game).fen, 'the PGN did not give its position')

  await page.fill('#n960', '0')
  await page.click('#start-960')
  expect((await boardFen(page)).startsWith('bbqnnrkr/pppppppp/'), `Chess960 number 0 gave ${await boardFen(page)}`)
  const sent960 = (await engineLines(page, 'sent')).length
  await page.click('#analyse')
  await waitForLine(page, 'sent', 'setoption name UCI_Chess960 value true', sent960)
  await page.waitForFunction(() => document.querySelectorAll('#lines li[data-depth]').length === 3)
  await stopAnalysis(page)
  await page.click('#show-pgn')
  const out = await page.inputValue('#pgn')
  expect(out.includes('[Variant "Chess960"]') && out.includes('[FEN "bbqnnrkr/'), 'the PGN lacks the Chess960 tags')
}

async function loadFen(page, fen) {
  await page.fill('#fen', fen)
  await page.click('#load-fen')
  const want = parseFen(fen).pos.fen
  expect(await boardFen(page) === want, `the board holds ${await boardFen(page)}, not ${want}`)
}

// In analysis, where both sides move by hand: a promotion chosen in the dialog, and
// Chess960 castling by dropping the king on its rook.
async function promotionAnd960Castling(page) {
  await loadFen(page, '4k3/1P6/8/8/8/8/8/4K3 w - - 0 1')
  await drag(page, 'b7', 'b8')
  await page.click('#board .promotion-dialog-button-group[data-piece="wn"]')
  await page.waitForFunction(() => document.getElementById('board').dataset.fen === '1N2k3/8/8/8/8/8/8/4K3 b - - 0 1')
  const fen = '4k3/8/8/8/8/8/8/1R4KR w HB - 0 1', p = parseFen(fen).pos
  for (const [rook, uci] of [['b1', 'g1b1'], ['h1', 'g1h1']]) {
    await loadFen(page, fen)
    await drag(page, 'g1', rook)
    const want = play(p, findUci(p, uci, true)).fen
    await page.waitForFunction((w) => document.getElementById('board').dataset.fen === w, want)
    expect(await lastUci(page) === uci, `castling was recorded as ${await lastUci(page)}`)
  }
}

async function strength(page) {
  await page.check('input[name=mode][value=play]')
  await page.check('input[name=strength][value=limited]')
  await page.fill('#elo', '1500')
  await page.click('#new-game')
  const sent = (await engineLines(page, 'sent')).length
  await userMoveAndReply(page, parseFen(START_FEN).pos)
  const lines = (await engineLines(page, 'sent')).slice(sent)
  const go = lines.findIndex((l) => l.startsWith('go '))
  for (const want of ['setoption name UCI_LimitStrength value true', 'setoption name UCI_Elo value 1500']) {
    const at = lines.indexOf(want)
    expect(at >= 0 && at < go, `"${want}" was not sent before the search`)
  }
  await page.check('input[name=strength][value=full]')
  const sent2 = (await engineLines(page, 'sent')).length
  await page.click('#new-game')
  await userMoveAndReply(page, parseFen(START_FEN).pos)
  expect((await engineLines(page, 'sent')).slice(sent2).includes('setoption name UCI_LimitStrength value false'),
    'full strength was not restored')
}

// A well-formed move that is not legal, a malformed one, and "no move" with moves to play.
async function illegalMoves(page, mock) {
  await page.click('#new-game')
  let pos = parseFen(START_FEN).pos
  for (const bad of ['e7e4', 'e2', '0000']) {
    if (mock) await page.evaluate((m) => new BroadcastChannel('quoril-mock').postMessage({ nextBestmove: m }), bad)
    else await page.evaluate((m) => { window.__engine.tamper = m }, bad)
    const move = chooseMove(pos)
    const before = await moveCount(page)
    await drag(page, move.from, move.to)
    pos = play(pos, move)
    await page.waitForSelector('#message[data-kind=error]')
    const text = await page.locator('#message-text').textContent()
    expect(text.includes(`bestmove ${bad}`), `the message "${text}" does not name ${bad}`)
    expect(await moveCount(page) === before + 1 && await boardFen(page) === pos.fen, 'the game changed')
    await page.click('#retry')
    await waitForMoves(page, before + 2)
    const reply = findUci(pos, await lastUci(page), false)
    expect(reply, 'after a retry the engine move is not legal')
    pos = play(pos, reply)
    expect(await page.locator('#message').getAttribute('data-kind') !== 'error', 'the error stayed after the retry')
  }
}

async function phoneShots(context, url) {
  const page = await openPage(context, url)
  await page.setViewportSize({ width: 390, height: 844 })
  await page.screenshot({ path: join(shots, 'play-phone.png'), fullPage: true })
  await page.check('input[name=mode][value=analyse]')
  await page.click('#analyse')
  await watchAnalysis(page)
  await settle(page)
  await page.screenshot({ path: join(shots, 'analysis-phone.png'), fullPage: true })
  await stopAnalysis(page)
  await page.close()
}

// Once loaded, a reload needs no server: the service worker has the page and the engine.
async function offline(page, server) {
  await page.evaluate(() => navigator.serviceWorker.ready)
  const threads = advertisedThreads(await engineLines(page, 'received'))
  await new Promise((done) => { server.close(done); server.closeAllConnections() })
  await page.reload()
  await waitForLine(page, 'received', 'uciok')
  expect(await page.evaluate(() => self.crossOriginIsolated), 'the cached page lost its isolation')
  // The worker reads its query words from its own URL, which the cache must keep.
  const now = advertisedThreads(await engineLines(page, 'received'))
  expect(now === threads, `from the cache the engine offers ${now} threads, before ${threads}`)
}

const isolatedServer = await serve({ root, port: 0 })
const plainServer = await serve({ root, port: 0, isolation: false })
const url = (s) => `http://127.0.0.1:${s.address().port}/`
const browser = await launch()
let page
try {
  await step('isolation headers choose the threaded engine, their absence the plain one, which still stops', () =>
    isolatedPaths(browser.context, url(isolatedServer), url(plainServer)))
  page = await openPage(browser.context, url(isolatedServer))
  const name = (await engineLines(page, 'received')).find((l) => l.startsWith('id name ')) || ''
  const mock = name.includes('(mock)')
  console.log(`     engine: ${name.slice(8)}`)
  await setSelect(page, 'movetime', '500')
  await step('a game of 10 moves each by dragging, every engine move legal', async () => {
    const plies = await playGame(page, 10)
    console.log(`     ${plies} plies played`)
    await settle(page)
    await page.screenshot({ path: join(shots, 'play.png'), fullPage: true })
  })
  await step('analysis with 3 lines: lines, depth and WDL bar update, then stop', () => analyse(page))
  await step('FEN and PGN in and out, bad input refused, Chess960 by number', () => fenPgnAnd960(page))
  await step('promotion through the dialog, Chess960 castling by dragging the king onto a rook', () =>
    promotionAnd960Castling(page))
  await step('limited strength is sent before the search, and full strength again', () => strength(page))
  await step(`illegal engine moves are refused (${mock ? "the mock's switch" : 'a replaced bestmove'})`, () => illegalMoves(page, mock))
  await step('readable at phone width, nothing moves while lines update', () => phoneShots(browser.context, url(isolatedServer)))
  await step('reload works without the server', () => offline(page, isolatedServer))
  await step('no page errors and no requests off the origin', () => expect(!problems.length, problems.join('; ')))
} finally {
  await browser.close()
  isolatedServer.close()
  plainServer.close()
}
const failed = results.filter((r) => !r.ok).length
console.log(`screenshots in ${shots}`)
console.log(`browser test run time: ${((Date.now() - started) / 1000).toFixed(1)} s`)
console.log(`${results.length - failed} passed, ${failed} failed`)
process.exit(failed ? 1 : 0)
