// The engine's benchmark in Chromium: serves the build, opens bench.html and prints what the
// engine printed once "Nodes searched" is there. No timing of its own: the engine's lines say it.
//   node tests/browser/bench.mjs [--threads N] [--plain] [--args "-bench -passes 1"]
import { join, resolve } from 'node:path'
import { serve } from '../../scripts/serve.mjs'
import { launch } from './browser.mjs'

const argv = process.argv.slice(2)
const option = (name) => { const i = argv.indexOf(name); return i >= 0 ? argv[i + 1] : null }
const root = resolve(process.env.QUORIL_WEB_OUT || join(import.meta.dirname, '../../../build/web'))
const server = await serve({ root, port: 0, isolation: !argv.includes('--plain') })
const query = new URLSearchParams()
if (option('--threads')) query.set('threads', option('--threads'))
if (option('--args')) query.set('args', option('--args'))
const browser = await launch()
let failed = false
try {
  const page = await browser.context.newPage()
  await page.goto(`http://127.0.0.1:${server.address().port}/bench.html?${query}`)
  await page.waitForFunction(() => /Nodes searched: \d+|error:/.test(document.getElementById('out').textContent),
    null, { timeout: Number(process.env.QUORIL_BENCH_TIMEOUT_MS || 1800000) })
  console.log(await page.locator('#how').textContent())
  const out = await page.locator('#out').textContent()
  console.log(out.trimEnd())
  failed = !/Nodes searched: \d+/.test(out)
} finally {
  await browser.close()
  server.close()
}
process.exit(failed ? 1 : 0)
