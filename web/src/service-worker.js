// Keeps the page and the engine in a cache, so that a reload works without the server.
// The build puts VERSION and FILES in front of this text.
const CACHE = `quoril-${VERSION}`

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()))
})

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys.filter((k) => k.startsWith('quoril-') && k !== CACHE).map((k) => caches.delete(k))))
    .then(() => self.clients.claim()))
})

// Cached files first, the network for the rest. The engine's query words do not change
// the file, but the worker reads them from its own URL, which is the response's: so a
// file found under another URL is handed on as a new response, which takes the request's.
self.addEventListener('fetch', (event) => {
  const request = event.request
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(request, { ignoreSearch: true }))
    .then((hit) => {
      if (!hit) return fetch(request)
      if (hit.url === request.url) return hit
      return new Response(hit.body, { status: hit.status, statusText: hit.statusText, headers: hit.headers })
    }))
})
