import { defineConfig } from 'vite'
import { resolve } from 'node:path'

// Relative paths throughout, so that the built page works from any directory of a server.
export default defineConfig({
  base: './',
  build: {
    outDir: process.env.QUORIL_WEB_OUT || resolve(import.meta.dirname, '../build/web'),
    emptyOutDir: true,
    target: 'es2022',
    rollupOptions: {
      input: { main: resolve(import.meta.dirname, 'index.html'), bench: resolve(import.meta.dirname, 'bench.html') },
    },
  },
})
