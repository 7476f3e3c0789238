// What the browser test puts around the page: a record of every line to and from the
// engine worker, a way to replace the engine's next bestmove, and board gestures.

// Runs in the page before its own scripts.
export function recordEngine() {
  const Real = window.Worker
  const rec = { urls: [], sent: [], received: [], tamper: null }
  window.__engine = rec
  window.Worker = class extends Real {
    constructor(url, options) {
      super(url, options)
      rec.urls.push(new URL(url, location.href).href)
      super.addEventListener('message', (e) => rec.received.push(String(e.data)))
    }

    postMessage(message, ...rest) {
      rec.sent.push(String(message))
      return super.postMessage(message, ...rest)
    }

    addEventListener(type, listener, ...rest) {
      if (type !== 'message') return super.addEventListener(type, listener, ...rest)
      return super.addEventListener(type, (e) => {
        if (rec.tamper === null || !String(e.data).startsWith('bestmove')) return listener.call(this, e)
        const data = `bestmove ${rec.tamper}`
        rec.tamper = null
        return listener.call(this, new MessageEvent('message', { data }))
      }, ...rest)
    }
  }
}

export const engineLines = (page, which) => page.evaluate((w) => window.__engine[w], which)

export function waitForLine(page, which, text, after = 0, timeout = 30000) {
  return page.waitForFunction(([w, t, a]) => window.__engine[w].slice(a).some((l) => l.trim() === t || l.startsWith(`${t} `)),
    [which, text, after], { timeout })
}

async function squareCentre(page, square) {
  const box = await page.locator(`#board rect.square[data-square="${square}"]`).boundingBox()
  if (!box) throw new Error(`square ${square} is not on the screen`)
  return { x: box.x + box.width / 2, y: box.y + box.height / 2 }
}

// A real drag with the mouse, in small steps as a hand would move.
export async function drag(page, from, to) {
  const a = await squareCentre(page, from), b = await squareCentre(page, to)
  await page.mouse.move(a.x, a.y)
  await page.mouse.down()
  await page.mouse.move((a.x + b.x) / 2, (a.y + b.y) / 2, { steps: 6 })
  await page.mouse.move(b.x, b.y, { steps: 6 })
  await page.mouse.up()
}

export const moveCount = (page) => page.locator('#moves .move').count()

export function waitForMoves(page, n, timeout = 60000) {
  return page.waitForFunction((k) => document.querySelectorAll('#moves .move').length >= k
    && document.body.dataset.engine === 'idle', n, { timeout })
}

export const boardFen = (page) => page.locator('#board').getAttribute('data-fen')
export const lastUci = (page) => page.locator('#moves .move').last().getAttribute('data-uci')
