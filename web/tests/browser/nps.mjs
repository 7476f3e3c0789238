// Search speed of the threaded engine in Chromium at a given Threads: a fixed-time search from the
// start position, the speed as the engine's last info line gives it (nodes of all threads).
//   node tests/browser/nps.mjs [--threads N] [--ms 8000]
import { join, resolve } from 'node:path'
import { serve } from '../../scripts/serve.mjs'
import { launch } from './browser.mjs'

const argv = process.argv.slice(2)
const option = (name, fallback) => { const i = argv.indexOf(name); return i >= 0 ? argv[i + 1] : fallback }
const threads = Number(option('--threads', '1'))
const ms = Number(option('--ms', '8000'))
const root = resolve(process.env.QUORIL_WEB_OUT || join(import.meta.dirname, '../../../build/web'))
const server = await serve({ root, port: 0 })
const browser = await launch()
try {
  const page = await browser.context.newPage()
  await page.goto(`http://127.0.0.1:${server.address().port}/bench.html`)
  const last = await page.evaluate(([threads, ms]) => new Promise((done) => {
    const worker = new Worker('engine/quoril-worker.js?threads=1')
    let info = ''
    worker.onmessage = (e) => {
      if (/ nps \d+/.test(e.data)) info = e.data
      if (e.data.startsWith('bestmove')) done(info)
    }
    for (const line of ['setoption name OwnBook value false', `setoption name Threads value ${threads}`,
      'position startpos', `go movetime ${ms}`]) worker.postMessage(line)
  }), [threads, ms])
  console.log(`threads ${threads}: nps ${last.match(/ nps (\d+)/)[1]} (${last.slice(0, 80)})`)
} finally {
  await browser.close()
  server.close()
}
process.exit(0)
