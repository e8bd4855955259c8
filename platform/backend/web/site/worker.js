// The program's own thread: WinMain runs here and blocks in Atomics.wait on the page's
// shared buffer, as GetMessage blocks on Windows. The page sends one message to start it.
'use strict';
self.onmessage = function (start) {
  self.onmessage = null;
  self.Module = {
    shared: new Int32Array(start.data.shared),
    startTick: start.data.startTick,
    viewportWidth: start.data.viewportWidth,
    viewportHeight: start.data.viewportHeight,
    arguments: [],
    print: (text) => postMessage({ type: 'print', text: text }),
    printErr: (text) => postMessage({ type: 'print', text: text, error: true }),
    onExit: (code) => postMessage({ type: 'exit', code: code }),
    onAbort: (what) => postMessage({ type: 'abort', text: String(what) }),
  };
  importScripts('discfire.js');
};
