// The WebAssembly engine in Node.js, driven the way the page's worker drives it: the command line
// as Module.arguments, the input line by line through quoril_feed_line, the output line by line.
import fs from 'node:fs';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);

export async function startEngine(script, args = []) {
  const lines = [];
  const waiters = [];
  const deliver = () => {
    for (const w of [...waiters]) {
      const i = lines.findIndex((l, k) => k >= w.from && w.test(l));
      if (i < 0) continue;
      waiters.splice(waiters.indexOf(w), 1);
      clearTimeout(w.timer);
      w.resolve(lines.slice(w.from, i + 1));
    }
  };
  const createQuoril = require(script);
  // This Emscripten fetches the .wasm by URL, which Node's fetch refuses for a path: read it here.
  const module = await createQuoril({
    arguments: args,
    wasmBinary: fs.readFileSync(script.replace(/\.js$/, '.wasm')),
    print: (l) => { lines.push(l); deliver(); },
    printErr: () => {},
  });
  let read = 0;
  return {
    lines,
    send(text) {
      for (const line of text.split('\n')) {
        const size = module.lengthBytesUTF8(line) + 1;
        const p = module._malloc(size);
        module.stringToUTF8(line, p, size);
        module._quoril_feed_line(p);
        module._free(p);
      }
    },
    // The lines since the last read up to the first that passes test (rejects after ms).
    until(test, ms = 60000) {
      const from = read;
      return new Promise((resolve, reject) => {
        const w = { from, test, resolve: (got) => { read = from + got.length; resolve(got); } };
        w.timer = setTimeout(() => reject(new Error(`no line after ${ms} ms; last: ${lines.slice(-3).join(' | ')}`)), ms);
        waiters.push(w);
        deliver();
      });
    },
  };
}
