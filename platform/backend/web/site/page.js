// The page: shows what the program's worker posts (its window's frames, its message boxes)
// and writes the player's clicks and keys into the shared ring the worker blocks on.
'use strict';

// The ring, as platform/backend/web/bridge.cpp reads it: [0] wake count, [1] events
// written, [2] events read, then RING_SIZE events of four numbers (kind, target, a, b).
const RING_SIZE = 64;
const EVENT = { mouseDown: 1, mouseUp: 2, boxDown: 3, boxUp: 4, boxKey: 5 };
const BOX_KEYS = { Enter: 0, NumpadEnter: 0, Space: 1, Escape: 2 };

// What a test or a curious player can read: the frames seen, the boxes, the end.
// Times are performance.now() readings (from the navigation), for the benchmarks.
const state = window.discfire = {
  frames: 0, firstFrame: null, lastFrame: null, boxes: [], box: null, exitCode: null,
  error: null, zoom: 1, firstBoxAt: null, clickAt: null, presentedAt: null,
};

const $ = (id) => document.getElementById(id);
let ring = null;
let windowId = 0;

function send(kind, target, a, b) {
  const written = Atomics.load(ring, 1);
  if (written - Atomics.load(ring, 2) >= RING_SIZE) return;  // the program is not reading
  const at = 4 + (written % RING_SIZE) * 4;
  ring[at] = kind; ring[at + 1] = target; ring[at + 2] = a; ring[at + 3] = b;
  Atomics.store(ring, 1, written + 1);
  Atomics.add(ring, 0, 1);
  Atomics.notify(ring, 0);
}

// One program pixel is zoom x zoom device pixels: the largest whole number the display's
// density allows, never smoothed.
function setZoom() {
  state.zoom = Math.max(1, Math.floor(window.devicePixelRatio || 1));
  document.documentElement.style.setProperty('--px', `${state.zoom / (window.devicePixelRatio || 1)}px`);
}

function sizeCanvas(canvas, width, height) {
  canvas.width = width;
  canvas.height = height;
  canvas.style.width = `calc(${width} * var(--px))`;
  canvas.style.height = `calc(${height} * var(--px))`;
}

function draw(canvas, buffer, width, height) {
  const image = new ImageData(new Uint8ClampedArray(buffer), width, height);
  canvas.getContext('2d').putImageData(image, 0, 0);
}

// A point of a mouse event in the canvas's own pixels, whatever the zoom.
function pixelAt(canvas, event) {
  const r = canvas.getBoundingClientRect();
  return [Math.floor((event.clientX - r.left) * canvas.width / r.width),
          Math.floor((event.clientY - r.top) * canvas.height / r.height)];
}

const handlers = {
  window(m) {
    windowId = m.id;
    $('title').textContent = m.title;
    document.title = m.title;
    sizeCanvas($('client'), m.width, m.height);
    if (m.pixels) draw($('icon'), m.pixels, m.iconSize, m.iconSize);
    else $('icon').hidden = true;
    $('window').hidden = false;
  },
  frame(m) {
    const frame = { width: m.width, height: m.height, pixels: m.pixels };
    state.frames++;
    if (!state.firstFrame) state.firstFrame = frame;
    state.lastFrame = frame;
    // The worker posts at display rate at most: drawn at once, shown at the next refresh.
    draw($('client'), frame.pixels, frame.width, frame.height);
    state.presentedAt = performance.now();
  },
  windowGone(m) {
    if (m.id === windowId) $('window').hidden = true;
  },
  box(m) {
    state.box = { id: m.id, caption: m.caption, text: m.text, button: m.button };
    state.boxes.push(state.box);
    $('box-caption').textContent = m.caption;
    $('box-text').textContent = m.text;
    sizeCanvas($('box-face'), m.width, m.height);
    draw($('box-face'), m.pixels, m.width, m.height);
    $('box').hidden = false;
    state.firstBoxAt ??= performance.now();
  },
  boxGone(m) {
    if (state.box && state.box.id === m.id) {
      state.box = null;
      $('box').hidden = true;
    }
  },
  exit(m) {
    state.exitCode = m.code;
    $('window').hidden = true;
    $('box').hidden = true;
    $('end-text').textContent = `焼き加減メーターは終了しました（終了コード ${m.code}）。`;
    $('end').hidden = false;
    $('again').focus();
  },
  abort(m) { fail(m.text); },
  print(m) { (m.error ? console.error : console.log)(m.text); },
};

function fail(text) {
  state.error = text;
  $('end-text').textContent = `焼き加減メーターを動かせませんでした: ${text}`;
  $('end').hidden = false;
}

function listen() {
  const client = $('client');
  client.addEventListener('mousedown', (e) => {
    if (e.button !== 0) return;
    const [x, y] = pixelAt(client, e);
    state.clickAt = performance.now();
    send(EVENT.mouseDown, windowId, x, y);
  });
  client.addEventListener('mouseup', (e) => {
    if (e.button !== 0) return;
    const [x, y] = pixelAt(client, e);
    send(EVENT.mouseUp, windowId, x, y);
  });
  const face = $('box-face');
  face.addEventListener('mousedown', (e) => {
    if (e.button !== 0 || !state.box) return;
    const [x, y] = pixelAt(face, e);
    send(EVENT.boxDown, state.box.id, x, y);
  });
  // A release anywhere: outside the button it answers nothing, as on Windows.
  document.addEventListener('mouseup', (e) => {
    if (e.button !== 0 || !state.box) return;
    const [x, y] = pixelAt(face, e);
    send(EVENT.boxUp, state.box.id, x, y);
  });
  document.addEventListener('keydown', (e) => {
    const key = BOX_KEYS[e.code] ?? BOX_KEYS[e.key];
    if (key === undefined || !state.box) return;
    e.preventDefault();
    send(EVENT.boxKey, state.box.id, key, 0);
  });
  $('again').addEventListener('click', () => location.reload());
  window.addEventListener('resize', setZoom);
}

// SharedArrayBuffer needs cross-origin isolation. A host that does not send the headers
// gets them from the site's service worker, after one reload.
async function isolate() {
  if (window.crossOriginIsolated) return true;
  if (!('serviceWorker' in navigator) || sessionStorage.getItem('discfire-isolating')) return false;
  sessionStorage.setItem('discfire-isolating', '1');
  await navigator.serviceWorker.register('sw.js');
  await navigator.serviceWorker.ready;
  location.reload();
  return new Promise(() => {});
}

async function start() {
  setZoom();
  listen();
  if (!(await isolate())) {
    fail('このページはクロスオリジン分離 (COOP/COEP) の下でしか動きません。');
    return;
  }
  sessionStorage.removeItem('discfire-isolating');
  ring = new Int32Array(new SharedArrayBuffer(4 * (4 + RING_SIZE * 4)));
  const tick = new URLSearchParams(location.search).get('tick');
  const worker = new Worker('worker.js');
  worker.onmessage = (e) => handlers[e.data.type]?.(e.data);
  worker.onerror = (e) => fail(e.message || 'worker error');
  worker.postMessage({
    shared: ring.buffer,
    startTick: tick !== null && /^\d+$/.test(tick) ? Number(tick) : -1,
    viewportWidth: Math.floor(window.innerWidth * (window.devicePixelRatio || 1) / state.zoom),
    viewportHeight: Math.floor(window.innerHeight * (window.devicePixelRatio || 1) / state.zoom),
  });
}

start();
