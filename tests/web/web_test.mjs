// The web build in Debian's Chromium, headless: the page served on 127.0.0.1 as a host
// would serve it, played through as a player would, its frames checked against the replay
// tool's. Prints one "N passed, N failed" line; exits non-zero on any failure.
//   node web_test.mjs SITE_DIR REPLAY SERVE_SCRIPT
import { spawn, execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { createInterface } from 'node:readline';
import { chromium } from 'playwright-core';

const [site, replay, serveScript] = process.argv.slice(2);
const CHROMIUM = process.env.CHROMIUM || '/usr/lib/chromium/chromium';
const START_TICK = 275;
const DISC_X = [56, 136, 216, 296, 376];  // disc centres in client pixels
const DISC_Y = 176;
const scratch = mkdtempSync(join(tmpdir(), 'discfire-web-'));

let passed = 0, failed = 0;
function check(name, ok, detail = '') {
  if (ok) passed++; else failed++;
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${name}${!ok && detail ? `: ${detail}` : ''}`);
  return ok;
}

// The replay tool's client area at a virtual time, as RGBA bytes.
function replayFrame(name, { at }, clicks = []) {
  const png = join(scratch, `${name}.png`);
  execFileSync(replay, ['--start-tick', String(START_TICK), ...clicks, '--frame', `${at}:${png}`,
    '--close', String(at + 100)], { stdio: 'ignore' });
  return execFileSync('convert', [png, '-depth', '8', 'rgba:-'], { maxBuffer: 1 << 24 });
}

// Differing pixels between an RGBA frame of the page and the replay's.
function differences(page, expected) {
  if (page.length !== expected.length) return `sizes ${page.length} and ${expected.length}`;
  let count = 0, first = -1;
  for (let i = 0; i < page.length; i += 4) {
    if (page[i] !== expected[i] || page[i + 1] !== expected[i + 1] || page[i + 2] !== expected[i + 2]) {
      if (first < 0) first = i / 4;
      count++;
    }
  }
  return count ? `${count} pixels differ, the first at pixel ${first}` : '';
}

async function frame(page, which) {
  const base64 = await page.evaluate((w) => {
    const f = window.discfire[w];
    let s = '';
    const bytes = new Uint8Array(f.pixels);
    for (let i = 0; i < bytes.length; i += 0x8000)
      s += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(s);
  }, which);
  return Buffer.from(base64, 'base64');
}

async function clickClient(page, x, y) {
  const r = await page.locator('#client').boundingBox();
  await page.mouse.click(r.x + (x + 0.5) * r.width / 594, r.y + (y + 0.5) * r.height / 275);
}

async function clickOk(page) {
  const box = await page.evaluate(() => window.discfire.box);
  const face = await page.locator('#box-face').boundingBox();
  const size = await page.evaluate(() => [document.getElementById('box-face').width,
                                          document.getElementById('box-face').height]);
  const [l, t, r, b] = box.button;
  await page.mouse.click(face.x + (l + r) / 2 * face.width / size[0],
                         face.y + (t + b) / 2 * face.height / size[1]);
}

async function waitBox(page, text, timeout = 30000) {
  await page.waitForFunction((t) => window.discfire.box && window.discfire.box.text === t, text,
                             { timeout });
  return page.evaluate(() => window.discfire.box);
}

// Our server, with the isolation headers; or (plain) one that sends none, as many hosts.
async function startServer(plain = false) {
  const args = plain
    ? ['-u', '-c', 'import http.server as h, functools as f, sys; s = h.ThreadingHTTPServer(("127.0.0.1", 0), ' +
       'f.partial(h.SimpleHTTPRequestHandler, directory=sys.argv[1])); ' +
       'print(f"http://127.0.0.1:{s.server_address[1]}/", flush=True); s.serve_forever()', site]
    : [serveScript, site, '--port', '0'];
  const server = spawn('python3', args, { stdio: ['ignore', 'pipe', 'ignore'] });
  const line = await new Promise((resolve, reject) => {
    createInterface({ input: server.stdout }).once('line', resolve);
    server.once('exit', (code) => reject(new Error(`the server ended (${code})`)));
  });
  return { server, address: line.trim() };
}

async function main() {
  const { server, address } = await startServer();
  const browser = await chromium.launch({
    executablePath: CHROMIUM, headless: true, chromiumSandbox: false,
    args: ['--disable-gpu', '--disable-background-networking', '--disable-component-update',
           '--disable-sync', '--no-first-run', '--autoplay-policy=no-user-gesture-required'],
  });
  try {
    // A dense screen: the page zooms by 2, and clicks still land on client pixels.
    const page = await browser.newPage({ viewport: { width: 800, height: 600 }, deviceScaleFactor: 2 });
    const errors = [];
    page.on('pageerror', (e) => errors.push(e.message));
    await page.goto(`${address}?tick=${START_TICK}`);

    await page.waitForFunction(() => window.discfire.box, null, { timeout: 20000 });
    const box = await page.evaluate(() => window.discfire.box);
    check('the introduction box has the caption 焼き加減メーター', box.caption === '焼き加減メーター', box.caption);
    check('the introduction box has its text',
      box.text.startsWith('焼き加減メーター ver.6.03\n') && box.text.endsWith('準備はよいですか?'),
      JSON.stringify(box.text));
    check('the box is shown, captioned on the page',
      await page.locator('#box-caption').textContent() === '焼き加減メーター' &&
      await page.locator('#box').isVisible());
    await clickOk(page);
    await page.waitForFunction(() => !window.discfire.box && window.discfire.frames > 0, null,
                               { timeout: 10000 });
    check('OK closes the box and the window shows', await page.locator('#window').isVisible() &&
      await page.locator('#title').textContent() === '焼き加減メーター');
    const shown = await page.locator('#client').boundingBox();
    check('on a screen of density 2 the client area is zoomed by 2, crisp',
      await page.evaluate(() => window.discfire.zoom) === 2 && shown.width * 2 === 594 * 2 &&
      await page.evaluate(() => getComputedStyle(document.getElementById('client')).imageRendering) === 'pixelated',
      JSON.stringify(shown));

    // A click on a disc before the first tick (1024 ms): the same verdict as the replay's.
    const before = await page.evaluate(() => window.discfire.frames);
    await clickClient(page, DISC_X[0], DISC_Y);
    await page.waitForFunction((n) => window.discfire.frames > n, before, { timeout: 5000 });
    const clicked = await frame(page, 'lastFrame');

    const first = await frame(page, 'firstFrame');
    const firstDiff = differences(first, replayFrame('first', { at: 0 }));
    check('the first frame equals the replay tool\'s for the same start tick', !firstDiff, firstDiff);
    // Before the first tick the board is the replay's; so is the disc's verdict.
    const verdict = differences(clicked, replayFrame('verdict', { at: 200 },
      ['--click', `100:${DISC_X[0]}:${DISC_Y}`]));
    check('a click on a disc gives it the replay\'s verdict', !verdict, verdict);

    for (let i = 1; i < DISC_X.length; i++) await clickClient(page, DISC_X[i], DISC_Y);
    // Early verdicts settle within three seconds; the discs start again, blue.
    await page.waitForTimeout(3500);
    for (const x of DISC_X) await clickClient(page, x, DISC_Y);
    const over = await waitBox(page, 'ゲームオーバー').catch(() => null);
    check('ten early clicks end the game', over !== null);
    if (over) {
      await page.keyboard.press('Enter');
      const rating = await waitBox(page, 'あなたは０倍速CD-Rです。(笑)', 10000).catch(() => null);
      check('the rating box follows', rating !== null);
      if (rating) await clickOk(page);
      await page.waitForFunction(() => window.discfire.exitCode !== null, null, { timeout: 10000 })
        .catch(() => {});
      check('the program ends with exit code 0', await page.evaluate(() => window.discfire.exitCode) === 0);
      check('the page offers to play again', await page.locator('#again').isVisible());
    }
    check('no script errors on the page', errors.length === 0, errors.join('; '));

    // A host that sends no headers: the site's service worker adds them after one reload.
    const plain = await startServer(true);
    try {
      const other = await browser.newPage();
      await other.goto(plain.address);
      const isolated = await other.waitForFunction(() => window.discfire.box && crossOriginIsolated,
        null, { timeout: 20000 }).then(() => true, () => false);
      check('without headers from the host, the service worker isolates the page', isolated);
      await other.close();
    } finally {
      plain.server.kill();
    }
  } finally {
    await browser.close();
    server.kill();
    rmSync(scratch, { recursive: true, force: true });
  }
}

try {
  await main();
} catch (e) {
  check('the run completes', false, e.message.split('\n')[0]);
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
