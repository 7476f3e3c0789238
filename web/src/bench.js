// Runs the engine's command-line benchmark in a worker and shows its lines as they come.
// ?threads=N loads the threaded build (passing N on) when the page is isolated;
// ?args=... replaces the command-line words.
const query = new URLSearchParams(location.search)
const args = query.get('args') || '-bench -passes 1'
const threads = self.crossOriginIsolated && query.get('threads')
const url = `engine/quoril-worker.js?${threads ? `threads=${encodeURIComponent(threads)}&` : ''}args=${encodeURIComponent(args)}`
const out = document.getElementById('out')
document.getElementById('how').textContent =
  `${url} (${self.crossOriginIsolated ? 'cross-origin isolated' : 'not isolated'})`
const worker = new Worker(url)
worker.onmessage = (e) => { out.textContent += `${e.data}\n` }
worker.onerror = (e) => { out.textContent += `error: ${e.message}\n` }
