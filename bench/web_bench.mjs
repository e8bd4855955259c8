// The web build measured in headless Chromium, on this machine: bytes before the
// introduction box and of the whole site (gzip -9), navigation to the introduction box,
// click to presented verdict, CPU of the browser at speed 1, and the timer benchmark
// (tick_rate, the board painted on every tick) with the browser's CPU at 1 ms ticks.
//   node web_bench.mjs SITE_DIR TICK_RATE_DIR SERVE_SCRIPT     (make bench-web)
import { spawn } from 'node:child_process';
import { cpSync, mkdtempSync, readdirSync, readFileSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { createInterface } from 'node:readline';
import { gzipSync } from 'node:zlib';
import { chromium } from 'playwright-core';

const [site, benchDir, serveScript] = process.argv.slice(2);
const CHROMIUM = process.env.CHROMIUM || '/usr/lib/chromium/chromium';
const BEFORE_BOX = ['index.html', 'page.css', 'page.js', 'worker.js', 'discfire.js', 'discfire.wasm'];
const TICKS_PER_SECOND = 100;  // USER_HZ

const gz = (path) => gzipSync(readFileSync(path), { level: 9 }).length;
function files(dir) {
  return readdirSync(dir).flatMap((f) => statSync(join(dir, f)).isDirectory()
    ? files(join(dir, f)) : [join(dir, f)]);
}

// CPU seconds of a process and all its descendants.
function cpuOfTree(root) {
  const parent = new Map(), cpu = new Map();
  for (const pid of readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
    try {
      const stat = readFileSync(`/proc/${pid}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      parent.set(Number(pid), Number(fields[1]));
      cpu.set(Number(pid), (Number(fields[11]) + Number(fields[12])) / TICKS_PER_SECOND);
    } catch { /* gone */ }
  }
  let total = 0;
  for (const [pid, seconds] of cpu) {
    for (let p = pid; p > 1; p = parent.get(p) ?? 0) if (p === root) { total += seconds; break; }
  }
  return total;
}

async function serve(dir) {
  const server = spawn('python3', [serveScript, dir, '--port', '0'], { stdio: ['ignore', 'pipe', 'inherit'] });
  const address = await new Promise((resolve) => createInterface({ input: server.stdout }).once('line', resolve));
  return { server, address: address.trim() };
}

// The browser and the process id its CPU is counted from.
async function launch() {
  const server = await chromium.launchServer({
    executablePath: CHROMIUM, headless: true, chromiumSandbox: false,
    args: ['--disable-gpu', '--disable-background-networking', '--disable-component-update',
           '--disable-sync', '--no-first-run'],
  });
  const browser = await chromium.connect(server.wsEndpoint());
  return { browser, pid: server.process().pid, close: async () => { await browser.close(); await server.close(); } };
}

const median = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];

async function main() {
  const before = BEFORE_BOX.reduce((sum, f) => sum + gz(join(site, f)), 0);
  const whole = files(site).reduce((sum, f) => sum + gz(f), 0);
  console.log(`bytes before the introduction box (gzip -9): ${(before / 1024).toFixed(0)} KiB`);
  console.log(`whole site (gzip -9): ${(whole / 1024).toFixed(0)} KiB`);

  const { server, address } = await serve(site);
  const { browser, pid, close } = await launch();
  try {
    const navigation = [];
    for (let run = 0; run < 5; run++) {
      const context = await browser.newContext();
      const page = await context.newPage();
      await page.goto(address);
      await page.waitForFunction(() => window.discfire.firstBoxAt !== null);
      navigation.push(await page.evaluate(() => window.discfire.firstBoxAt));
      await context.close();
    }
    console.log(`navigation to the introduction box: median ${(median(navigation) / 1000).toFixed(3)} s ` +
                `(${navigation.map((t) => (t / 1000).toFixed(3)).join(', ')})`);

    const page = await browser.newPage();
    await page.goto(address);
    await page.waitForFunction(() => window.discfire.box);
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => window.discfire.frames > 0);
    await page.waitForTimeout(300);
    const r = await page.locator('#client').boundingBox();
    const latencies = [];
    for (const x of [56, 136, 216]) {
      const presented = await page.evaluate(() => window.discfire.presentedAt);
      await page.mouse.click(r.x + x * r.width / 594, r.y + 176 * r.height / 275);
      await page.waitForFunction((p) => window.discfire.presentedAt > p && window.discfire.presentedAt > window.discfire.clickAt, presented);
      latencies.push(await page.evaluate(() => window.discfire.presentedAt - window.discfire.clickAt));
    }
    console.log(`click to presented verdict: ${latencies.map((t) => t.toFixed(1)).join(', ')} ms ` +
                `(a frame at 60 Hz: 16.7 ms)`);

    const cpu0 = cpuOfTree(pid), t0 = Date.now();
    await page.waitForTimeout(10000);
    const cpuIdle = (cpuOfTree(pid) - cpu0) / ((Date.now() - t0) / 1000);
    console.log(`CPU of the browser at speed 1, silent, 10 s: ${(cpuIdle * 100).toFixed(1)}%`);
    await page.close();
  } finally {
    await close();
    server.kill();
  }

  // tick_rate in place of the game, in a copy of the site.
  const dir = mkdtempSync(join(tmpdir(), 'discfire-web-bench-'));
  try {
    cpSync(site, dir, { recursive: true });
    cpSync(join(benchDir, 'tick_rate.js'), join(dir, 'discfire.js'));
    cpSync(join(benchDir, 'tick_rate.wasm'), join(dir, 'tick_rate.wasm'));
    const { server: s2, address: a2 } = await serve(dir);
    const { browser: b2, pid: pid2, close: close2 } = await launch();
    try {
      const page = await b2.newPage();
      let cpuAt1024 = null, mark = null;
      const rows = [];
      page.on('console', (m) => {
        const line = m.text();
        rows.push(line);
        if (/^\s+100 /.test(line)) mark = { cpu: cpuOfTree(pid2), t: Date.now() };
        if (/^\s+1024 /.test(line) && mark)
          cpuAt1024 = (cpuOfTree(pid2) - mark.cpu) / ((Date.now() - mark.t) / 1000);
      });
      await page.goto(a2);
      await page.waitForFunction(() => window.discfire.exitCode !== null, null, { timeout: 120000 });
      console.log('tick_rate in the browser (3 s per speed):');
      for (const row of rows) console.log(`  ${row}`);
      if (cpuAt1024 !== null)
        console.log(`CPU of the browser at 1 ms ticks, painting every tick: ${(cpuAt1024 * 100).toFixed(0)}%`);
    } finally {
      await close2();
      s2.kill();
    }
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

await main();
