// A small static server for the built page. It sends the two headers that make the page
// cross-origin isolated (needed for the threaded engine) unless told not to:
//   PORT=8080 HOST=127.0.0.1 node scripts/serve.mjs [--no-isolation] [DIR]
import { createServer } from 'node:http'
import { createReadStream, statSync } from 'node:fs'
import { extname, join, normalize, resolve, sep } from 'node:path'
import { fileURLToPath } from 'node:url'

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8', '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8', '.svg': 'image/svg+xml', '.wasm': 'application/wasm', '.json': 'application/json',
  '.png': 'image/png', '.bin': 'application/octet-stream', '.txt': 'text/plain; charset=utf-8',
}
const ISOLATION = {
  'Cross-Origin-Opener-Policy': 'same-origin',
  'Cross-Origin-Embedder-Policy': 'require-corp',
  'Cross-Origin-Resource-Policy': 'same-origin',
}

function fileFor(root, url) {
  const path = normalize(decodeURIComponent(new URL(url, 'http://x').pathname))
  let file = join(root, path)
  if (file !== root && !file.startsWith(root + sep)) return null
  try {
    if (statSync(file).isDirectory()) file = join(file, 'index.html')
    return statSync(file).isFile() ? file : null
  } catch {
    return null
  }
}

export function serve({ root, port = 8080, host = '127.0.0.1', isolation = true }) {
  const dir = resolve(root)
  const server = createServer((req, res) => {
    const headers = { 'Cache-Control': 'no-cache', ...(isolation ? ISOLATION : {}) }
    const file = req.method === 'GET' || req.method === 'HEAD' ? fileFor(dir, req.url) : null
    if (!file) {
      res.writeHead(404, { ...headers, 'Content-Type': 'text/plain' })
      return res.end('not found\n')
    }
    res.writeHead(200, { ...headers, 'Content-Type': TYPES[extname(file)] || 'application/octet-stream' })
    if (req.method === 'HEAD') return res.end()
    createReadStream(file).pipe(res)
  })
  return new Promise((done, fail) => {
    server.once('error', fail)
    server.listen(port, host, () => done(server))
  })
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const args = process.argv.slice(2)
  const isolation = !args.includes('--no-isolation') && process.env.QUORIL_ISOLATION !== 'off'
  const root = args.find((a) => !a.startsWith('--')) || process.env.QUORIL_WEB_OUT
    || resolve(import.meta.dirname, '../../build/web')
  const server = await serve({ root, port: Number(process.env.PORT || 8080), host: process.env.HOST || '127.0.0.1', isolation })
  const { address, port } = server.address()
  console.log(`serving ${root} at http://${address}:${port}/ ${isolation ? 'with' : 'without'} the isolation headers`)
}
