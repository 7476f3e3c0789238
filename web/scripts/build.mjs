// Builds the page into ../build/web (QUORIL_WEB_OUT elsewhere) with the engine beside it:
// the files of QUORIL_ENGINE_DIR when given, the mock engine otherwise; then the service
// worker, which lists every file it is to keep.
import { build } from 'vite'
import { createHash } from 'node:crypto'
import { copyFileSync, mkdirSync, readdirSync, readFileSync, statSync, writeFileSync, existsSync } from 'node:fs'
import { dirname, join, relative, resolve } from 'node:path'

const here = resolve(import.meta.dirname, '..')
const out = resolve(process.env.QUORIL_WEB_OUT || join(here, '../build/web'))
const engineDir = process.env.QUORIL_ENGINE_DIR
const CM_ASSETS = ['pieces/standard.svg', 'extensions/markers/markers.svg']

function copy(from, to) {
  mkdirSync(dirname(to), { recursive: true })
  copyFileSync(from, to)
}

function walk(dir) {
  return readdirSync(dir).flatMap((name) => {
    const path = join(dir, name)
    return statSync(path).isDirectory() ? walk(path) : [path]
  })
}

async function buildMockEngine() {
  await build({
    configFile: false,
    logLevel: 'warn',
    build: {
      outDir: join(out, 'engine'),
      emptyOutDir: false,
      target: 'es2022',
      lib: { entry: join(here, 'mock-engine/quoril-worker.js'), formats: ['iife'], name: 'QuorilMock', fileName: () => 'quoril-worker.js' },
    },
  })
}

function copyEngine(dir) {
  const files = readdirSync(dir).filter((f) => /\.(js|wasm)$/.test(f))
  if (!files.includes('quoril-worker.js')) throw new Error(`${dir} has no quoril-worker.js`)
  for (const f of files) copy(join(dir, f), join(out, 'engine', f))
  return files
}

function writeServiceWorker() {
  const files = walk(out).map((p) => relative(out, p).split('\\').join('/'))
    .filter((f) => f !== 'sw.js' && !f.startsWith('screenshots/')).sort()
  const hash = createHash('sha256')
  for (const f of files) hash.update(f).update(readFileSync(join(out, f)))
  const head = `const VERSION = '${hash.digest('hex').slice(0, 12)}'\nconst FILES = ${JSON.stringify(['./', ...files], null, 1)}\n`
  writeFileSync(join(out, 'sw.js'), head + readFileSync(join(here, 'src/service-worker.js'), 'utf8'))
  return files.length
}

await build({ configFile: join(here, 'vite.config.js'), logLevel: 'warn', build: { outDir: out } })
for (const f of CM_ASSETS) copy(join(here, 'node_modules/cm-chessboard/assets', f), join(out, 'cm-assets', f))
if (engineDir) {
  if (!existsSync(engineDir)) throw new Error(`QUORIL_ENGINE_DIR ${engineDir} does not exist`)
  console.log(`engine: ${copyEngine(resolve(engineDir)).join(', ')} from ${engineDir}`)
} else {
  await buildMockEngine()
  console.log('engine: the mock (set QUORIL_ENGINE_DIR for the real one)')
}
console.log(`built ${out} (${writeServiceWorker()} files kept by the service worker)`)
