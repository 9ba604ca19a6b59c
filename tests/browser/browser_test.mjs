// The browser edition in Debian's Chromium, driven by puppeteer-core:
//   node browser_test.mjs SITE_DIR DESKTOP_ZIRKULA EXAMPLES_DIR OUTPUT_DIR [FILTER]
// (FILTER: only the scripts whose path holds it; "realtime": only the real-time checks)
// Every example and gallery script runs on the virtual clock in the page and on the desktop
// (--headless): the exit code, the dump and the last picture must be the same. Then the page
// is worked in real time with real keys, clicks, drags and touches. Prints one line per
// failed check and "N passed, M failed".
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { openBrowser, runVirtual, serveSite } from './harness.mjs';

const [siteDir, desktop, examplesDir, outDir, filter = ''] = process.argv.slice(2);
fs.mkdirSync(outDir, { recursive: true });
let passed = 0;
let failed = 0;
function check(ok, what) {
  if (ok) {
    passed++;
  } else {
    failed++;
    console.log('FAIL: ' + what);
  }
  return ok;
}
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const served = await serveSite(siteDir);
const site = served.url;
const { browser, page } = await openBrowser();

// --- the same engine gives the same runs ----------------------------------------------

// Decodes two PNG data URLs in the page and counts the pixels in which they differ (-1 when
// their sizes differ).
async function pngDifference(a, b) {
  return page.evaluate(async (a, b) => {
    async function pixels(url) {
      const image = new Image();
      image.src = url;
      await image.decode();
      const canvas = document.createElement('canvas');
      canvas.width = image.width;
      canvas.height = image.height;
      const context = canvas.getContext('2d');
      context.drawImage(image, 0, 0);
      return context.getImageData(0, 0, image.width, image.height);
    }
    const [p, q] = [await pixels(a), await pixels(b)];
    if (p.width !== q.width || p.height !== q.height) return -1;
    let differing = 0;
    for (let i = 0; i < p.data.length; i += 4) {
      if (p.data[i] !== q.data[i] || p.data[i + 1] !== q.data[i + 1] ||
          p.data[i + 2] !== q.data[i + 2]) differing++;
    }
    return differing;
  }, a, b);
}

function sameJson(a, b) {
  return JSON.stringify(a) === JSON.stringify(b);
}

await page.goto(site + 'index.html');
await page.evaluate(() => Zirkula.loadEngine());
const scripts = [examplesDir, path.join(examplesDir, 'gallery')]
  .flatMap((dir) => fs.readdirSync(dir).filter((f) => f.endsWith('.zir')).map((f) => path.join(dir, f)))
  .filter((f) => f.includes(filter));
let browserMs = 0;
for (const script of scripts) {
  const name = path.basename(script);
  const inputFile = script.replace(/\.zir$/, '.input');
  const input = fs.existsSync(inputFile) ? fs.readFileSync(inputFile, 'utf8') : '';
  const work = path.join(outDir, 'desktop', path.basename(path.dirname(script)));
  fs.mkdirSync(work, { recursive: true });
  const stem = path.join(work, name.replace(/\.zir$/, ''));
  const args = ['--headless', '--dump', stem + '.json', '--png', stem + '.png'];
  if (input) args.push('--input', inputFile);
  let desktopExit = 0;
  try {
    execFileSync(desktop, [...args, script], { stdio: 'ignore' });
  } catch (e) {
    desktopExit = e.status;
  }
  const started = Date.now();
  const run = await runVirtual(page, fs.readFileSync(script), input, name);
  browserMs += Date.now() - started;
  const desktopDump = JSON.parse(fs.readFileSync(stem + '.json', 'utf8'));
  const desktopPng = 'data:image/png;base64,' + fs.readFileSync(stem + '.png').toString('base64');
  check(run.exitCode === desktopExit, `${name}: exit code ${run.exitCode}, desktop ${desktopExit}`);
  if (!check(sameJson(run.dump, desktopDump), `${name}: the dump differs from the desktop's`)) {
    fs.writeFileSync(stem + '.browser.json', JSON.stringify(run.dump, null, 1));
  }
  const differing = run.png ? await pngDifference(run.png, desktopPng) : -2;
  if (!check(differing === 0, `${name}: ${differing} pixels differ from the desktop's picture`)) {
    if (run.png) fs.writeFileSync(stem + '.browser.png', Buffer.from(run.png.split(',')[1], 'base64'));
  }
}
console.log(`${scripts.length} scripts on the virtual clock in the browser: ${browserMs} ms`);

// --- in real time, with real events ---------------------------------------------------

// The screen pixel as "rrggbb".
async function pixel(x, y) {
  return page.evaluate((x, y) => {
    const d = Zirkula.screenPixels().data;
    const i = 4 * (y * Zirkula.screenPixels().width + x);
    return [d[i], d[i + 1], d[i + 2]].map((c) => c.toString(16).padStart(2, '0')).join('');
  }, x, y);
}

// Where on the page a screen pixel is shown.
async function at(x, y) {
  return page.evaluate((x, y) => {
    const canvas = document.getElementById('screen');
    const box = canvas.getBoundingClientRect();
    const size = Zirkula.screenPixels();
    return [box.left + (x + 0.5) * box.width / size.width, box.top + (y + 0.5) * box.height / size.height];
  }, x, y);
}

// Polls the check every 50 ms for up to ms milliseconds.
async function within(ms, test) {
  const end = Date.now() + ms;
  for (;;) {
    if (await test()) return true;
    if (Date.now() > end) return false;
    await sleep(50);
  }
}

// Starts a run on the canvas; its result is awaited with finished().
async function start(text) {
  await page.evaluate((text) => {
    window.lastRun = Zirkula.run(text, { name: 'test.zir' });
    document.getElementById('screen').focus();
  }, text);
}
async function finished(ms) {
  return page.evaluate((ms) => Promise.race([
    window.lastRun,
    new Promise((resolve) => setTimeout(() => resolve(null), ms))]), ms);
}
const running = () => page.evaluate(() => Zirkula.running);

// Ink of the first button's caption: "Pause" has some at (41, 466) and none at (63, 465),
// "Weiter" the other way round.
async function caption() {
  const [pause, weiter] = [await pixel(41, 466), await pixel(63, 465)];
  if (pause === '000000' && weiter !== '000000') return 'Pause';
  if (weiter === '000000' && pause !== '000000') return 'Weiter';
  return 'unclear';
}

async function realTimeChecks() {
  // The demo starts with the page: its first picture (the logo) within a second, then the
  // construction.
  await page.goto(site + 'index.html');
  const demoDrawn = await within(10000, async () =>
    (await page.evaluate(() => Zirkula.stats.pictures)) > 3 && (await pixel(110, 380)) !== 'ffffff' &&
    (await pixel(110, 380)) !== '000000');
  check(demoDrawn, 'the demo drew nothing within 10 s');
  const firstMs = await page.evaluate(() => Zirkula.stats.firstPictureMs);
  check(firstMs !== null && firstMs < 1000, `the demo's first picture came after ${firstMs} ms`);
  await page.screenshot({ path: path.join(outDir, 'demo.png') });

  // Enter pauses and continues, r starts the construction again, Esc finishes it and a
  // second Esc ends the run.
  const lines = ['TITLE "Fenstertest"', 'SPEED 1000', 'CONSTRUCT Viele', 'POINT Z 300 300', 'END',
    'CONSTRUCTION Viele'];
  for (let k = 1; k <= 30; k++) lines.push(`POINT P${k} ${k * 15} 50`);
  lines.push('REPEAT');
  await start(lines.join('\n'));
  check(await within(6000, async () => (await pixel(15, 50)) === '000000'),
    'the construction did not start');
  check(await caption() === 'Pause', `before the pause the first button reads ${await caption()}`);
  // The points are drawn one a second, P1 at (15, 50), P2 at (30, 50) and so on.
  const drawn = async () => {
    let k = 0;
    while (k < 30 && (await pixel(15 * (k + 1), 50)) === '000000') k++;
    return k;
  };
  await page.keyboard.press('Enter');
  check(await within(1500, async () => await caption() === 'Weiter'), 'Enter did not pause');
  const atPause = await drawn();
  await sleep(1500);
  check(await drawn() === atPause, 'a point was drawn while paused');
  await page.keyboard.press('Enter');
  check(await within(1500, async () => await caption() === 'Pause'), 'the second Enter did not continue');
  check(await within(3000, async () => await drawn() >= atPause + 2),
    'the construction did not go on after the pause');
  await page.keyboard.press('r');
  check(await within(800, async () => await drawn() < atPause + 2),
    'r did not start the construction again');
  await page.keyboard.press('Escape');
  check(await within(1000, async () => (await pixel(450, 50)) === '000000'),
    'Esc did not finish the construction');
  await page.keyboard.press('Escape');
  const ended = await finished(6000);
  check(ended !== null && ended.exitCode === 0, `the second Esc did not end the run: ${JSON.stringify(ended && ended.exitCode)}`);

  // Quick clicks on Weiter, on a menu row, beside a clickable point and on Beenden; a drag
  // let go below the canvas; the title with its umlauts.
  await start(['TITLE "Größe"', 'SPEED 1', 'POINT A 100 100', 'WAIT', 'POINT B 200 100', 'MENU',
    'MENUITEM "Erster"', '  POINT Erster 300 100', 'MENUITEM "Zweiter"', '  POINT Zweiter 300 120',
    'ENDMENU', 'LINE g, 100, 300, 500, 300', 'IPOINT P 200 300', 'IPOINT Q 400 200',
    'INTERACT Ziehen', 'POINT C 100 150', 'WAIT', 'POINT D 100 200', 'END', '',
    'INTERACTION Ziehen', '  CLICKABLE P ALONG g', '  CLICKABLE Q', '  MARKPOINT P',
    '  MARKPOINT Q', 'REPEAT'].join('\n'));
  check(await within(5000, async () => await caption() === 'Weiter'), 'the first WAIT did not show Weiter');
  check(await page.title() === 'Größe - Zirkula', `the page's title is ${await page.title()}`);
  const menuOpen = async () => (await pixel(5, 30)) !== (await pixel(5, 300));
  await page.mouse.click(...await at(60, 470));
  check(await within(2000, menuOpen), 'a quick click on Weiter was lost');
  await page.mouse.click(...await at(30, 30));
  check(await within(2000, async () => !(await menuOpen())), 'a quick click on a menu row was lost');
  await sleep(500);
  await page.mouse.click(...await at(205, 303));
  await sleep(500);
  await page.mouse.move(...await at(400, 200));
  await page.mouse.down();
  await sleep(300);
  const below = await at(400, 479);
  await page.mouse.move(below[0], below[1] + 40, { steps: 5 });
  await sleep(300);
  await page.mouse.up();
  await page.keyboard.press('Escape');
  check(await within(2000, async () => await caption() === 'Weiter'),
    'Esc after a drag let go below the canvas was not handled');
  await page.mouse.click(...await at(300, 470));
  const klick = await finished(6000);
  if (check(klick !== null, 'a quick click on Beenden did not end the run')) {
    const point = (name) => klick.dump.points.find((p) => p.name === name) || {};
    const atXY = (name, x, y) => point(name).x === x && point(name).y === y;
    check(atXY('Zweiter', 300, 120) && atXY('Erster', 0, 0), 'the menu did not choose its second row');
    check(atXY('P', 205, 300), `the quick click did not grab P: ${JSON.stringify(point('P'))}`);
    check(atXY('Q', 400, 459), `Q is not at the bottom above where it was let go: ${JSON.stringify(point('Q'))}`);
    check(atXY('D', 0, 0), 'the run went on after Beenden');
  }

  // A menu worked by keys; a mouse drag and a touch drag move a point and what is built on it.
  const dragScript = ['SPEED 1', 'MENU', 'MENUITEM "Erster"', '  POINT Erster 300 100',
    'MENUITEM "Zweiter"', '  POINT Zweiter 300 120', 'ENDMENU', 'IPOINT P 200 200',
    'IPOINT Q 400 200', 'INTERACT Ziehen', 'END', '', 'INTERACTION Ziehen', '  CLICKABLE P',
    '  M = MIDDLE P, Q', '  MARKPOINT P', 'REPEAT'].join('\n');
  for (const how of ['mouse', 'touch']) {
    await start(dragScript);
    check(await within(5000, menuOpen), `${how}: the menu did not open`);
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('Enter');
    check(await within(2000, async () => !(await menuOpen())), `${how}: the keys did not choose a row`);
    await sleep(500);
    const [from, to] = [await at(200, 200), await at(250, 300)];
    if (how === 'mouse') {
      await page.mouse.move(...from);
      await page.mouse.down();
      await page.mouse.move(...to, { steps: 8 });
      await sleep(200);
      await page.mouse.up();
    } else {
      await page.touchscreen.touchStart(...from);
      await page.touchscreen.touchMove(...to);
      await sleep(200);
      await page.touchscreen.touchEnd();
    }
    await sleep(300);
    await page.keyboard.press('Escape');
    const result = await finished(6000);
    if (check(result !== null, `${how}: the run did not end after the drag`)) {
      const point = (name) => result.dump.points.find((p) => p.name === name) || {};
      check(point('Zweiter').x === 300 && point('Erster').x === 0, `${how}: the keys chose the wrong row`);
      check(point('P').x === 250 && point('P').y === 300, `${how}: P is at ${JSON.stringify(point('P'))}`);
      check(point('M').x === 325 && point('M').y === 250, `${how}: M is at ${JSON.stringify(point('M'))}`);
    } else {
      await page.evaluate(() => Zirkula.stop());
    }
  }

  // A compile error is shown with its line.
  await start('POINT A 1 2\nFOO\nEND\n');
  check(await within(3000, async () => (await page.$eval('#console', (e) => e.textContent)).includes(
    'Fehler 13 in Linie 2')), 'the compile error was not shown with its line');
  await page.keyboard.press('Enter');
  check(await finished(3000) !== null, 'Enter after the compile error did not end the run');

  // A FAST construction of 200,000 statements, called again and again: the page answers
  // while it runs, and a stop ends it at once.
  const fast = ['CONSTRUCT Viel FAST', 'CONSTRUCT Viel FAST', 'CONSTRUCT Viel FAST', 'END',
    'CONSTRUCTION Viel'];
  for (let k = 0; k < 200000; k++) fast.push(`POINT P ${k % 600} ${k % 400}`);
  fast.push('REPEAT');
  await start(fast.join('\n'));
  await sleep(1500);
  let slowest = 0;
  for (let i = 0; i < 5; i++) {
    const before = Date.now();
    await page.evaluate(() => 1);
    slowest = Math.max(slowest, Date.now() - before);
    await sleep(30);
  }
  check(await running(), 'the FAST construction ended before it could be stopped');
  check(slowest < 250, `the page took ${slowest} ms to answer during the FAST construction`);
  const stopMs = await page.evaluate(async () => {
    const before = performance.now();
    await Zirkula.stop();
    return performance.now() - before;
  });
  check(stopMs < 100, `stopping took ${Math.round(stopMs)} ms`);
}

try {
  if (!filter || filter === 'realtime') await realTimeChecks();
} catch (e) {
  check(false, 'the real-time checks broke off: ' + e.message);
}
await browser.close();
served.close();
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
