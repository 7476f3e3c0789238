// Runs the engine in this Web Worker and speaks UCI with the page over postMessage: one line per
// message each way. "?threads" loads the build with WebAssembly threads (the page must be
// cross-origin isolated); "?args=-bench" runs those command-line words instead of the UCI loop.
'use strict';

const query = new URL(self.location.href).searchParams;
const threaded = query.has('threads');
const words = (query.get('args') || '').split(' ').filter(Boolean);
const script = threaded ? 'quoril-mt.js' : 'quoril.js';
importScripts(script);

let engine = null;
const early = [];  // lines that came before the engine was ready

function feed(line) {
  const size = engine.lengthBytesUTF8(line) + 1;
  const text = engine._malloc(size);
  engine.stringToUTF8(line, text, size);
  engine._quoril_feed_line(text);
  engine._free(text);
}

self.onmessage = (event) => {
  const line = String(event.data);
  if (engine) feed(line);
  else early.push(line);
};

createQuoril({
  arguments: words,
  print: (line) => self.postMessage(line),
  printErr: (line) => console.warn(line),
  // The threaded build's own workers load the same script.
  mainScriptUrlOrBlob: new URL(script, self.location.href).href,
}).then((module) => {
  engine = module;
  for (const line of early.splice(0)) feed(line);
});
