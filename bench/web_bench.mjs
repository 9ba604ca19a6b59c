// The browser edition against its goals, in headless Chromium on this machine:
//   node bench/web_bench.mjs SITE_DIR ZIRKULA FRAME_SCRIPTS_DIR EXAMPLES_DIR
// (FRAME_SCRIPTS_DIR from `frame_bench --write-scripts`; ZIRKULA a Release build.)
// Prints the site's size after gzip, the time to the demo's first picture, one frame of the
// frame benchmark's runs in the browser against the same runs of the desktop program, and the
// whole gallery on the virtual clock in both.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { openBrowser, runVirtual, serveSite } from '../tests/browser/harness.mjs';

const [siteDir, zirkula, framesDir, examplesDir] = process.argv.slice(2);
const Runs = 3;
const best = (values) => Math.min(...values);

// Every script and the WebAssembly of the site, the editor's included.
function siteFiles(dir) {
  return fs.readdirSync(dir, { withFileTypes: true }).flatMap((e) => (e.isDirectory()
    ? siteFiles(path.join(dir, e.name)) : /\.(js|wasm)$/.test(e.name) ? [path.join(dir, e.name)] : []));
}
let engineBytes = 0;
let siteBytes = 0;
for (const file of siteFiles(siteDir)) {
  const bytes = zlib.gzipSync(fs.readFileSync(file), { level: 9 }).length;
  siteBytes += bytes;
  if (/zirkula-engine\.(js|wasm)$/.test(file)) engineBytes += bytes;
}
console.log(`site: WebAssembly and JavaScript ${(siteBytes / 1024).toFixed(0)} KB after gzip, the engine ` +
  `${(engineBytes / 1024).toFixed(0)} KB of it (goals: the engine 1024 KB, with the editor 1331 KB)`);

const served = await serveSite(siteDir);
const { browser, page } = await openBrowser();

// The page runs the demo, or the script of a shared link, as soon as it is opened; the first
// picture is the logo.
async function firstPicture(url) {
  const times = [];
  for (let i = 0; i < 5; i++) {
    await page.goto('about:blank');
    await page.goto(url);
    await page.waitForFunction(() => Zirkula.stats.firstPictureMs !== null, { timeout: 20000 });
    times.push(await page.evaluate(() => Zirkula.stats.firstPictureMs));
  }
  times.sort((a, b) => a - b);
  return `median ${times[2].toFixed(0)} ms, best ${times[0].toFixed(0)} ms`;
}
console.log(`first picture of the demo after navigation: ${await firstPicture(served.url + 'index.html')} (goal: 1500 ms)`);
await page.goto(served.url + 'index.html');
const shared = await page.evaluate(async () => ZirkulaLink.encode(await (await fetch('demo.zir')).text()));
console.log(`first picture of a shared link: ${await firstPicture(served.url + 'index.html#' + shared)} (goal: 2000 ms)`);
await page.evaluate(() => Zirkula.stop());

// Going to a step: a SLOW demonstration (the instruments drawn at every step) replayed up to
// step 40 on the virtual clock, until it goes on live there.
const slowSteps = ['SPEED 400', 'WINDOW 640, 460'];
for (let i = 0; i < 8; i++) {
  const a = (2 * Math.PI * i) / 8;
  slowSteps.push(`POINT P${i}, ${Math.round(320 + 180 * Math.cos(a))}, ${Math.round(230 + 180 * Math.sin(a))}`);
}
slowSteps.push('CALL Viele SLOW', 'END', 'CONSTRUCTION Viele');
for (let i = 0; i < 8; i++) {
  slowSteps.push(`  m${i} = MIDLINE P${i}, P${(i + 1) % 8}`, `  k${i} = CIRCLE P${i}, P${(i + 3) % 8}`);
}
slowSteps.push('REPEAT', '');
const jumps = [];
for (let i = 0; i < 5; i++) {
  jumps.push(await page.evaluate(async (script) => {
    const before = Zirkula.timeline;
    Zirkula.run(script, { name: 'schritte.zir' });
    while (Zirkula.timeline === before || Zirkula.timeline.current < 1) {
      await new Promise((r) => setTimeout(r, 20));
    }
    const started = performance.now();
    await Zirkula.goToStep(40);
    const ms = performance.now() - started;
    if (Zirkula.timeline.current !== 40) throw new Error(`went to step ${Zirkula.timeline.current}`);
    await Zirkula.stop();
    return ms;
  }, slowSteps.join('\n')));
}
jumps.sort((a, b) => a - b);
console.log(`going to step 40 of a SLOW demonstration: median ${jumps[2].toFixed(0)} ms, ` +
  `best ${jumps[0].toFixed(0)} ms (goal: 1000 ms)`);

// A whole run of the desktop program, in milliseconds.
function desktopMs(script, input) {
  const args = ['--headless'];
  if (input) args.push('--input', input);
  const started = process.hrtime.bigint();
  try {
    execFileSync(zirkula, [...args, script], { stdio: 'ignore' });
  } catch (e) {
    // A run's exit code does not matter here.
  }
  return Number(process.hrtime.bigint() - started) / 1e6;
}
async function browserMs(script, input) {
  const run = await runVirtual(page, fs.readFileSync(script), input ? fs.readFileSync(input, 'utf8') : '',
    path.basename(script));
  return run.ms;
}
async function bestOf(measure) {
  const times = [];
  for (let i = 0; i < Runs; i++) times.push(await measure());
  return best(times);
}

console.log('one frame (210-frame run minus 10-frame run, over 200), best of ' + Runs + ':');
for (const kind of ['animation', 'interaction']) {
  for (const area of ['640x460', '1280x1000']) {
    const perFrame = async (measure) => {
      const script = (n) => path.join(framesDir, `${kind}-${area}-${n}.zir`);
      const input = (n) => (fs.existsSync(script(n).replace(/\.zir$/, '.input'))
        ? script(n).replace(/\.zir$/, '.input') : '');
      const many = await bestOf(() => measure(script(210), input(210)));
      const few = await bestOf(() => measure(script(10), input(10)));
      return (many - few) / 200;
    };
    const native = await perFrame(async (s, i) => desktopMs(s, i));
    const web = await perFrame(browserMs);
    console.log(`  ${kind} ${area}: desktop ${native.toFixed(3)} ms, browser ${web.toFixed(3)} ms, ` +
      `${(web / native).toFixed(2)} times (goal for the animation: 3)`);
  }
}

const scripts = [examplesDir, path.join(examplesDir, 'gallery')].flatMap((dir) =>
  fs.readdirSync(dir).filter((f) => f.endsWith('.zir')).map((f) => path.join(dir, f)));
const inputOf = (s) => (fs.existsSync(s.replace(/\.zir$/, '.input')) ? s.replace(/\.zir$/, '.input') : '');
const total = async (measure) => {
  let sum = 0;
  for (const s of scripts) sum += await measure(s, inputOf(s));
  return sum;
};
const nativeAll = await bestOf(() => total(async (s, i) => desktopMs(s, i)));
const webAll = await bestOf(() => total(browserMs));
console.log(`the ${scripts.length} example and gallery scripts on the virtual clock: desktop ` +
  `${nativeAll.toFixed(0)} ms, browser ${webAll.toFixed(0)} ms, ${(webAll / nativeAll).toFixed(2)} times (goal: 5)`);

await browser.close();
served.close();
