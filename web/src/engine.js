// A UCI engine in a Web Worker, one line per message each way. Commands that need the
// engine idle (options, a new search) queue behind the running search's stop.
import { parseBestmove, parseInfo, parseOption } from './uci.js'

export function engineUrl(isolated) {
  return isolated ? 'engine/quoril-worker.js?threads=1' : 'engine/quoril-worker.js'
}

export class Engine {
  constructor(url, { onLine = () => {}, onSent = () => {}, onError = () => {} } = {}, makeWorker = (u) => new Worker(u)) {
    this.options = new Map()
    this.name = ''
    this.waiters = []
    this.search = null
    this.chain = Promise.resolve()
    this.stopTimeoutMs = 10000
    this.hooks = { onLine, onSent, onError }
    this.worker = makeWorker(url)
    this.worker.addEventListener('message', (e) => {
      for (const line of String(e.data).split('\n')) if (line.trim()) this.receive(line)
    })
    this.worker.addEventListener('error', (e) => onError(e.message || 'the engine worker failed'))
  }

  send(line) {
    this.hooks.onSent(line)
    this.worker.postMessage(line)
  }

  receive(line) {
    this.hooks.onLine(line)
    const word = line.trim().split(/\s+/, 1)[0]
    if (word === 'info' && this.search) this.search.onInfo(parseInfo(line))
    else if (word === 'bestmove' && this.search) {
      const s = this.search
      this.search = null
      s.resolve(s.cancelled ? null : parseBestmove(line))
    } else if (word === 'option') {
      const o = parseOption(line)
      if (o) this.options.set(o.name, o)
    } else if (line.startsWith('id name ')) this.name = line.slice(8).trim()
    this.waiters = this.waiters.filter((w) => !(w.test(line) && (w.resolve(line), true)))
  }

  waitFor(test, ms, what) {
    return new Promise((resolve, reject) => {
      const timer = setTimeout(() => reject(new Error(`no ${what} from the engine in ${ms / 1000} s`)), ms)
      this.waiters.push({ test, resolve: (line) => { clearTimeout(timer); resolve(line) } })
    })
  }

  // One step at a time: each waits for the one before it.
  run(step) {
    const p = this.chain.then(step)
    this.chain = p.catch(() => {})
    return p
  }

  async start() {
    const ok = this.waitFor((l) => l.trim() === 'uciok', 30000, 'uciok')
    this.send('uci')
    await ok
  }

  has(name) { return this.options.has(name) }

  // Sends lines while the engine is idle, then waits until it is ready again.
  whenIdle(lines) {
    return this.run(async () => {
      await this.stopNow()
      lines.forEach((line) => this.send(line))
      const ready = this.waitFor((l) => l.trim() === 'readyok', 30000, 'readyok')
      this.send('isready')
      await ready
    })
  }

  // Only the options the engine offers; a null value presses a button.
  configure(values) {
    return this.whenIdle(Object.entries(values).filter(([name]) => this.has(name))
      .map(([name, value]) => (value === null ? `setoption name ${name}` : `setoption name ${name} value ${value}`)))
  }

  newGame() { return this.whenIdle(['ucinewgame']) }

  // Starts a search; resolves to its bestmove, or to null when it was stopped for another.
  go(position, command, onInfo = () => {}) {
    return this.run(async () => {
      await this.stopNow()
      this.send(position)
      this.send(command)
      return { done: new Promise((resolve) => { this.search = { onInfo, resolve, cancelled: false } }) }
    }).then((s) => s.done)
  }

  stop() { return this.run(() => this.stopNow()) }

  stopNow() {
    if (!this.search) return Promise.resolve()
    this.search.cancelled = true
    // An engine that never answers "stop" must not hold every later command.
    const ended = new Promise((resolve) => {
      const s = this.search, resolveSearch = s.resolve
      const timer = setTimeout(() => {
        if (this.search === s) this.search = null
        this.hooks.onError(`the engine did not answer "stop" in ${this.stopTimeoutMs / 1000} s`)
        s.resolve(null)
      }, this.stopTimeoutMs)
      s.resolve = (v) => { clearTimeout(timer); resolveSearch(v); resolve() }
    })
    this.send('stop')
    return ended
  }

  get searching() { return this.search !== null }

  quit() {
    this.worker.postMessage('quit')
    this.worker.terminate()
  }
}
