import { test } from 'node:test'
import assert from 'node:assert/strict'
import { Engine, engineUrl } from '../../src/engine.js'

// A worker that answers like a UCI engine; "stop" ends a search unless told to ignore it.
class FakeWorker {
  constructor({ ignoreStop = false } = {}) {
    this.sent = []
    this.listeners = []
    this.ignoreStop = ignoreStop
    this.searches = 0
  }

  addEventListener(type, f) { if (type === 'message') this.listeners.push(f) }

  emit(line) { queueMicrotask(() => this.listeners.forEach((f) => f({ data: line }))) }

  postMessage(line) {
    this.sent.push(line)
    if (line === 'uci') ['id name Fake 1', 'option name MultiPV type spin default 1 min 1 max 5', 'uciok'].forEach((l) => this.emit(l))
    if (line === 'isready') this.emit('readyok')
    if (line.startsWith('go')) { this.searches++; this.emit(`info depth 1 score cp ${this.searches} pv e2e4`) }
    if (line === 'stop' && !this.ignoreStop) this.emit(`bestmove e2e4 ponder e7e5\n`)
  }

  finish() { this.emit('bestmove d2d4') }
}

const started = async (options) => {
  const worker = new FakeWorker(options), errors = []
  const engine = new Engine('x', { onError: (m) => errors.push(m) }, () => worker)
  await engine.start()
  return { engine, worker, errors }
}

test('the threaded engine is asked for only where the page is isolated', () => {
  assert.equal(engineUrl(true), 'engine/quoril-worker.js?threads=1')
  assert.equal(engineUrl(false), 'engine/quoril-worker.js')
})

test('start reads the name and the options', async () => {
  const { engine } = await started()
  assert.equal(engine.name, 'Fake 1')
  assert.equal(engine.options.get('MultiPV').max, 5)
})

test('a new search stops the running one first, which then counts as cancelled', async () => {
  const { engine, worker } = await started()
  const infos = []
  const first = engine.go('position startpos', 'go infinite', (i) => infos.push(i))
  const second = engine.go('position startpos moves e2e4', 'go depth 5')
  assert.equal(await first, null)
  await new Promise((r) => setTimeout(r))
  worker.finish()
  assert.deepEqual(await second, { move: 'd2d4', ponder: null })
  assert.deepEqual(worker.sent.slice(1), ['position startpos', 'go infinite', 'stop', 'position startpos moves e2e4', 'go depth 5'])
  assert.equal(infos[0].score.cp, 1, 'info reaches the search that asked')
})

test('options wait for the search to stop, skip what the engine lacks, end with isready', async () => {
  const { engine, worker } = await started()
  const search = engine.go('position startpos', 'go infinite')
  await engine.configure({ MultiPV: 3, UCI_ShowWDL: true })
  assert.equal(await search, null)
  assert.deepEqual(worker.sent.slice(3), ['stop', 'setoption name MultiPV value 3', 'isready'])
  assert.equal(engine.searching, false)
})

test('an engine that never answers stop does not hold later commands', async () => {
  const { engine, worker, errors } = await started({ ignoreStop: true })
  engine.stopTimeoutMs = 20
  const search = engine.go('position startpos', 'go infinite')
  await engine.configure({ MultiPV: 2 })
  assert.equal(await search, null)
  assert.match(errors[0], /did not answer "stop"/)
  assert.deepEqual(worker.sent.slice(3), ['stop', 'setoption name MultiPV value 2', 'isready'])
})
