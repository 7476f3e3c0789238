// Debian's Chromium, headless, with a fresh profile and without the background traffic
// that this machine's closed network would refuse.
import { chromium } from 'playwright-core'
import { mkdtempSync, rmSync } from 'node:fs'
import { tmpdir } from 'node:os'
import { join } from 'node:path'

export async function launch() {
  const profile = mkdtempSync(join(tmpdir(), 'quoril-chromium-'))
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    viewport: { width: 1280, height: 900 },
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  })
  return {
    context,
    async close() {
      await context.close()
      rmSync(profile, { recursive: true, force: true })
    },
  }
}
