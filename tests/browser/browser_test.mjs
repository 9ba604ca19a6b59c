// The browser edition in Debian's Chromium, driven by puppeteer-core:
//   node browser_test.mjs SITE_DIR DESKTOP_ZIRKULA EXAMPLES_DIR OUTPUT_DIR [FILTER]
// (FILTER: only the scripts whose path holds it; "realtime" or "page": only those checks)
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
  const args = ['--headless', '--dump', stem + '.json', '--png', stem + '.png', '--svg', stem + '.svg',
    '--gif', stem + '.gif'];
  if (input) args.push('--input', inputFile);
  fs.rmSync(stem + '.gif', { force: true });
  let desktopExit = 0;
  try {
    execFileSync(desktop, [...args, script], { stdio: 'ignore' });
  } catch (e) {
    desktopExit = e.status;
  }
  const started = Date.now();
  const run = await runVirtual(page, fs.readFileSync(script), input, name, true);
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
  if (!check(run.svg === fs.readFileSync(stem + '.svg', 'utf8'), `${name}: the SVG differs from the desktop's`)) {
    fs.writeFileSync(stem + '.browser.svg', run.svg || '');
  }
  const desktopGif = fs.existsSync(stem + '.gif') ? fs.readFileSync(stem + '.gif') : null;
  check(run.gif ? desktopGif && desktopGif.equals(Buffer.from(run.gif)) : !desktopGif, `${name}: the GIF differs from the desktop's`);
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

// Where on the page a screen pixel is shown: the first whole CSS pixel over it, as mouse
// events carry whole pixels and the picture may be scaled by any factor.
async function at(x, y) {
  return page.evaluate((x, y) => {
    const box = document.getElementById('screen').getBoundingClientRect();
    const size = Zirkula.screenPixels();
    const place = (v, start, length, count) => {
      for (let c = Math.floor(start + v * length / count); ; c++) {
        if (Math.floor((c - start) * count / length) >= v) return c;
      }
    };
    return [place(x, box.left, box.width, size.width), place(y, box.top, box.height, size.height)];
  }, x, y);
}

// Polls the check every 50 ms for up to ms milliseconds.
async function within(ms, test) {
  const end = Date.now() + ms;
  for (;;) {
    // A page that is loading again (a new fragment reloads it) has nothing to say yet.
    if (await test().catch(() => false)) return true;
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
  // Wide enough that the picture is shown at least at its size: mouse events carry whole
  // CSS pixels, so a shrunk picture has pixels no event can name.
  await page.setViewport({ width: 1600, height: 1000 });
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

// --- the authoring page, sharing and embedding ----------------------------------------

// A link of the first format version, made once and kept: it must open the same script in
// every later release.
const FirstFormatLink = 'z1=Cw5wdXVRMOQK8Pf0C1FwVDAyMFAwNDCA8p1AbJAYl6ufCwA';
const FirstFormatScript = 'SPEED 1\nPOINT A 200 100\nPOINT B 100 200\nEND';

async function editorText() {
  return page.evaluate(() => document.querySelector('.CodeMirror').CodeMirror.getValue());
}
async function setEditorText(text) {
  await page.evaluate((t) => document.querySelector('.CodeMirror').CodeMirror.setValue(t), text);
}
async function waitUntilEnded(ms) {
  return within(ms, () => page.evaluate(() => !Zirkula.running));
}

let step = 'start';
async function pageChecks() {
  await page.setViewport({ width: 1280, height: 800 });
  await page.goto(site + 'index.html');
  await within(10000, async () => (await editorText()).includes('Umkreis'));
  check((await editorText()).includes('TITLE "Zirkula - Umkreis eines Dreiecks"'),
    'the page did not open with the demo in the editor');
  await within(15000, async () => (await page.evaluate(() => Zirkula.stats.pictures)) > 40);
  await page.screenshot({ path: path.join(outDir, 'page-wide.png') });

  // Typed into the editor and run, a script draws; an error is marked at its line, with its
  step = 'Typed into the editor and run, a script draws; an ';
  // message, until it is mended.
  await page.click('#stop');
  await page.click('.CodeMirror');
  await page.keyboard.down('Control');
  await page.keyboard.press('a');
  await page.keyboard.up('Control');
  await page.keyboard.type('SPEED 1\nPOINT A 300 200\nFOO 1\nEND\n');
  const marked = () => page.evaluate(() => Array.from(document.querySelectorAll('.CodeMirror-lint-marker-error'))
    .map((m) => m.closest('.CodeMirror-gutter-wrapper').parentElement.querySelector('.CodeMirror-linenumber').textContent));
  check(await within(4000, async () => (await marked()).join() === '3'), `the error mark is at lines ${await marked()}`);
  const tip = await page.evaluate(() => document.querySelector('.CodeMirror-lint-marker-error') &&
    document.querySelector('.CodeMirror').CodeMirror.state.lint.marked.map((m) => m.__annotation.message).join());
  check(/Fehler 13: Syntaxfehler/.test(tip || ''), `the error mark says ${tip}`);
  await page.evaluate(() => {
    const cm = document.querySelector('.CodeMirror').CodeMirror;
    cm.replaceRange('POINT B 100 100', { line: 2, ch: 0 }, { line: 2, ch: 5 });
  });
  check(await within(4000, async () => (await marked()).length === 0), 'the error mark stayed after the mend');
  await page.click('#run');
  check(await within(5000, async () => (await pixel(300, 200)) === '000000'), 'the typed script drew nothing');

  // Bild speichern gives the picture on the screen.
  step = 'Bild speichern gives the picture on the screen.';
  await waitUntilEnded(8000);
  const downloads = path.join(outDir, 'downloads');
  fs.rmSync(downloads, { recursive: true, force: true });
  fs.mkdirSync(downloads, { recursive: true });
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.click('#picture');
  const savedName = () => fs.readdirSync(downloads).find((n) => n.endsWith('.png'));
  await within(5000, async () => !!savedName());
  const saved = path.join(downloads, savedName() || 'none.png');
  const shown = await page.evaluate(() => {
    const c = document.createElement('canvas');
    const p = Zirkula.screenPixels();
    c.width = p.width;
    c.height = p.height;
    c.getContext('2d').putImageData(p, 0, 0);
    return c.toDataURL('image/png');
  });
  const savedDiff = fs.existsSync(saved)
    ? await pngDifference('data:image/png;base64,' + fs.readFileSync(saved).toString('base64'), shown) : -2;
  check(savedDiff === 0, `the saved picture differs from the screen in ${savedDiff} pixels`);
  // Als SVG speichern gives the finished drawing as vectors: the typed script's point.
  step = 'Als SVG speichern gives the finished drawing';
  await page.click('#svg-picture');
  const svgName = () => fs.readdirSync(downloads).find((n) => n.endsWith('.svg'));
  await within(5000, async () => !!svgName());
  const svg = svgName() ? fs.readFileSync(path.join(downloads, svgName()), 'utf8') : '';
  check(/<svg[^>]* width="640" height="460"/.test(svg) && svg.includes('d="M296 200L304 200"'),
    `the saved SVG is not the drawing with the point at (300, 200): ${svg.slice(0, 300)}`);
  // Both downloads carry the script that made them.
  step = 'The saved pictures carry their script';
  const carried = (file) => page.evaluate(async (bytes) => {
    const found = await ZirkulaPicture.scriptOf(new Uint8Array(bytes));
    return found.script ? new TextDecoder().decode(found.script) : found.message;
  }, Array.from(fs.existsSync(file) ? fs.readFileSync(file) : []));
  const typed = await editorText();
  for (const file of [saved, path.join(downloads, svgName() || 'none.svg')]) {
    check(await carried(file) === typed, `${path.basename(file)} carries ${JSON.stringify(await carried(file))}`);
  }

  // Öffnen reads a Windows-1252 file as the desktop program does.
  step = 'Öffnen reads a Windows-1252 file as the desktop pr';
  const latin = path.join(outDir, 'latin.zir');
  fs.writeFileSync(latin, Buffer.from('TITLE "Gr\xf6\xdfe \x80"\nEND\n', 'latin1'));
  const chooser = await page.$('#file');
  await chooser.uploadFile(latin);
  check(await within(3000, async () => (await editorText()).startsWith('TITLE "Größe €"')),
    `a Windows-1252 file was read as ${JSON.stringify((await editorText()).slice(0, 20))}`);

  // Öffnen takes the script out of the desktop program's pictures; a picture without one
  // says so and leaves the editor alone.
  step = 'Öffnen takes the script out of a picture';
  const umkreis = path.join(examplesDir, 'gallery', 'besondere-punkte.zir');
  const stem = path.join(outDir, 'besondere-punkte');
  execFileSync(desktop, ['--headless', '--png', stem + '.png', '--svg', stem + '.svg', umkreis]);
  for (const picture of [stem + '.png', stem + '.svg']) {
    await chooser.uploadFile(latin);
    await within(3000, async () => (await editorText()).startsWith('TITLE "Größe'));
    await chooser.uploadFile(picture);
    check(await within(3000, async () => (await editorText()) === fs.readFileSync(umkreis, 'utf8')),
      `${path.basename(picture)} opened as ${JSON.stringify((await editorText()).slice(0, 40))}`);
  }
  await chooser.uploadFile(path.join(examplesDir, '..', 'tests', 'approved', 'fills_sheet.png'));
  check(await within(3000, async () => (await page.$eval('#status', (e) => e.textContent)) ===
    'Dieses Bild enthält kein Zirkula-Skript.'), 'a picture without a script did not say so');

  // Every gallery entry loads its script, which runs to its end on the virtual clock with its
  step = 'Every gallery entry loads its script, which runs t';
  // viewer input.
  const entries = await page.evaluate(() => fetch('gallery.json').then((r) => r.json()));
  check(entries.length === scripts.length || filter, `the gallery offers ${entries.length} scripts, not ${scripts.length}`);
  for (const entry of entries) {
    await page.select('#gallery', entry.script);
    const file = path.join(examplesDir, entry.script.replace(/^gallery\//, 'gallery/').replace(/^examples\//, ''));
    const expected = fs.readFileSync(file).toString('utf8');
    const loaded = await within(3000, async () => (await editorText()) === expected.replace(/\r\n/g, '\n'));
    check(loaded, `${entry.script}: the gallery did not load it into the editor`);
    // Als GIF speichern gives the desktop's GIF of the run with its demonstration.
    if (entry.script === 'gallery/thales.zir') {
      const gifs = [path.join(outDir, 'thales.gif'), path.join(downloads, 'thales.gif')];
      execFileSync(desktop, ['--headless', '--input', file.replace(/\.zir$/, '.input'), '--gif', gifs[0], file]);
      await page.click('#gif-picture');
      await within(10000, async () => fs.existsSync(gifs[1]));
      check(fs.existsSync(gifs[1]) && fs.readFileSync(gifs[1]).equals(fs.readFileSync(gifs[0])),
        'the saved thales.gif is not the desktop\'s');
      check(await page.$eval('#status', (e) => e.textContent) === 'thales.gif erstellt.', 'the status line does not say the GIF is made');
    }
    check(await page.evaluate(() => !document.getElementById('present').disabled) === !!entry.input,
      `${entry.script}: Vorführen is ${entry.input ? 'off' : 'on'}`);
    const input = entry.input ? await page.evaluate((u) => fetch(u).then((r) => r.text()), entry.input) : '';
    const result = await page.evaluate(async (input) => (await Zirkula.run(
      document.querySelector('.CodeMirror').CodeMirror.getValue(), { virtualClock: true, input })).exitCode, input);
    check(result === 0, `${entry.script}: the run ended with ${result}`);
  }
  await page.evaluate(() => Zirkula.stop());

  // A link made by "Link kopieren" opens the same script, and it draws the same picture.
  step = 'A link made by "Link kopieren" opens the same scri';
  await setEditorText(FirstFormatScript.replace('200 100', '250 120'));
  await page.click('#share-button');
  await within(3000, () => page.evaluate(() => document.getElementById('share').open));
  const link = await page.$eval('#share-link', (e) => e.value);
  const snippet = await page.$eval('#share-embed', (e) => e.value);
  check(/^<iframe src="[^"]*embed\.html#z1=/.test(snippet), `the embed snippet is ${snippet}`);
  await page.click('#share .close');
  await page.evaluate(() => Zirkula.run(document.querySelector('.CodeMirror').CodeMirror.getValue(), {}));
  const before = await page.evaluate(() => Zirkula.screenPixels().data.join());
  const other = await browser.newPage();
  await other.setViewport({ width: 1280, height: 800 });
  await other.goto(link.replace(/^.*\/index\.html/, site + 'index.html'));
  const otherText = () => other.evaluate(() => document.querySelector('.CodeMirror').CodeMirror.getValue());
  check(await within(5000, async () => (await otherText()) === FirstFormatScript.replace('200 100', '250 120')),
    'the shared link did not bring its script');
  await within(8000, () => other.evaluate(() => !Zirkula.running));
  const after = await other.evaluate(() => Zirkula.screenPixels().data.join());
  check(after === before, 'the shared link drew another picture');

  // A link of the first format still opens.
  step = 'A link of the first format still opens.';
  await other.goto(site + 'index.html#' + FirstFormatLink);
  check(await within(5000, async () => (await otherText()) === FirstFormatScript),
    `the first format's link opened ${JSON.stringify(await otherText())}`);

  // The language reference's first example opens from its link.
  const reference = fs.readFileSync(path.join(examplesDir, '..', 'docs', 'sprache.md'), 'utf8');
  const [, firstExample, firstLink] = /```zirkula\n([^`]*?)\n```\n\[Im Browser öffnen\]\([^#]*#([^)]*)\)/.exec(reference);
  await other.goto(site + 'index.html#' + firstLink);
  check(await within(5000, async () => (await otherText()) === firstExample),
    'the language reference\'s first link did not open its example');

  // A stranger's texts are shown as text and run nothing.
  step = "A stranger's texts are shown as text and run nothi";
  const hostile = ['TITLE "<img src=x onerror=window.hacked=1>"', 'SPEED 1',
    'TEXT "<script>window.hacked=2</script>"', 'MENU', 'MENUITEM "<b onmouseover=window.hacked=3>x</b>"',
    '  POINT A 10 10', 'ENDMENU', 'END'].join('\n');
  await other.goto(site + 'index.html#' + await page.evaluate((s) => ZirkulaLink.encode(s), hostile));
  await within(5000, async () => (await other.title()).includes('<img'));
  check(await other.title() === '<img src=x onerror=window.hacked=1> - Zirkula', `the title is ${await other.title()}`);
  await sleep(1500);
  check(await other.evaluate(() => window.hacked === undefined && document.querySelectorAll('img, b').length === 0),
    'a script\'s texts reached the page as HTML');

  // The embed runs a link's script and tells its host page how tall it is.
  step = "The embed runs a link's script and tells its host ";
  const fragment = link.replace(/^.*#/, '');
  await other.close();
  const host = await browser.newPage();
  await host.setContent(`<!DOCTYPE html><body><script>window.heights = [];
    addEventListener('message', (e) => {
      if (!e.data || e.data.type !== 'zirkula-height') return;
      heights.push(e.data.height);
      document.querySelector('iframe').height = e.data.height;
    });
    </script><iframe src="${site}embed.html#${fragment}" width="480" height="300"></iframe></body>`);
  check(await within(5000, async () => (await host.evaluate(() => window.heights.length)) > 0),
    'the embed told its host no height');
  const height = await host.evaluate(() => window.heights[window.heights.length - 1]);
  // The picture (360 pixels), the row of the step controls and the bar's large buttons.
  check(height >= 420 && height <= 480, `the embed at 480 pixels wide says it is ${height} pixels tall`);
  const embedded = host.frames().find((f) => f.url().includes('embed.html'));
  check(await within(8000, async () => (await embedded.evaluate(() => Zirkula.stats.pictures)) > 3),
    'the embed showed no picture');
  await sleep(2500);
  await host.screenshot({ path: path.join(outDir, 'embed.png') });
  await host.close();

  // Without its engine, each page says so instead of staying blank.
  for (const [file, where] of [['index.html', '#status'], ['embed.html', '#message']]) {
    const broken = await browser.newPage();
    await broken.setRequestInterception(true);
    broken.on('request', (r) => (r.url().endsWith('.wasm') ? r.abort() : r.continue()));
    await broken.goto(`${site}${file}#${fragment}`);
    const said = () => broken.$eval(where, (e) => e.textContent);
    check(await within(5000, async () => (await said()).includes('konnte nicht geladen werden')),
      `${file} without its engine says "${await said().catch(() => '')}"`);
    await broken.close();
  }

  // A phone: the editor above the picture, the large buttons, and a point dragged by finger.
  step = 'A phone: the editor above the picture, the large b';
  // (A phone's viewport loads the page again, with the demo.)
  await page.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true });
  await within(10000, async () => (await editorText()).includes('Umkreis'));
  await setEditorText(['SPEED 1', 'IPOINT P 200 200', 'IPOINT Q 400 200', 'INTERACT Ziehen', 'END', '',
    'INTERACTION Ziehen', '  CLICKABLE P', '  M = MIDDLE P, Q', '  MARKPOINT P', 'REPEAT'].join('\n'));
  await page.click('#run');
  const stacked = await page.evaluate(() => {
    const box = (id) => document.getElementById(id).getBoundingClientRect();
    return box('editor-pane').bottom <= box('stage').top + 1 && box('bar').height >= 44;
  });
  check(stacked, 'the narrow page does not put the editor above the picture with large buttons');
  const dark = async (x, y) => {
    for (const [dx, dy] of [[0, 0], [1, 0], [0, 1], [-1, 0], [0, -1]]) {
      if ((await pixel(x + dx, y + dy)) === '000000') return true;
    }
    return false;
  };
  check(await within(6000, () => dark(200, 200)), 'the narrow page did not show P');
  const [from, to] = [await at(200, 200), await at(250, 300)];
  await page.touchscreen.touchStart(...from);
  await page.touchscreen.touchMove(...to);
  await sleep(200);
  await page.touchscreen.touchEnd();
  check(await within(2000, () => dark(250, 300)), 'a finger on the narrow page did not drag P');
  // A finger put down where no point is scrolls the page.
  const [emptyX, emptyY] = await at(500, 380);
  await page.touchscreen.touchStart(emptyX, emptyY);
  await page.touchscreen.touchMove(emptyX, emptyY - 150);
  await page.touchscreen.touchEnd();
  check(await within(2000, () => page.evaluate(() => window.scrollY > 0)),
    'a finger beside the points did not scroll the narrow page');
  await page.evaluate(() => window.scrollTo(0, 0));
  await page.screenshot({ path: path.join(outDir, 'page-narrow.png'), fullPage: true });
  await page.click('#bar-end');
  check(await waitUntilEnded(5000), 'the large Beenden button did not end the interaction and the run');
}

// --- the classroom: steps back and forth, keyboard only, accessible --------------------

// A hash of the screen's pixels as the engine last showed them.
const screenHash = () => page.evaluate(() => {
  const d = Zirkula.screenPixels().data;
  let h = 0;
  for (let i = 0; i < d.length; i++) h = (h * 31 + d[i]) | 0;
  return h;
});
const timeline = () => page.evaluate(() => {
  const t = Zirkula.timeline;
  return t && { current: t.current, known: t.steps.length, replaying: t.replayingTo, texts: t.steps.map((s) => s.text) };
});

async function classroomChecks() {
  await page.setViewport({ width: 1280, height: 800 });
  await page.goto(site + 'index.html');
  // The page runs its demonstration on load: it gives way to the checks' runs.
  await within(10000, () => page.evaluate(() => Zirkula.running));
  await page.evaluate(() => Zirkula.stop());
  step = 'Going back from step 5 to 4 shows what step 4 showed';
  // A WAIT after each step holds its picture until Enter, so every picture can be looked at.
  await start('SPEED 200\nPOINT A, 100, 300\nWAIT\nPOINT B, 400, 320\nWAIT\nPOINT C, 250, 100\nWAIT\n' +
    'g = LINE A, B\nWAIT\nk = CIRCLE A, B\nWAIT\nm = MIDLINE A, B\nWAIT\nEND\n');
  const shown = [];
  // A replay takes a tenth of a second here; a machine busy with builds has taken seconds.
  const settled = async (n) => {
    const ok = await within(15000, async () => {
      const t = await timeline();
      return t && t.current === n && !t.replaying;
    });
    await sleep(600);  // past the step's pause, at its WAIT
    return ok;
  };
  for (let n = 1; n <= 5; n++) {
    check(await settled(n), `the run did not show step ${n}`);
    shown[n] = await screenHash();
    if (n < 5) await page.keyboard.press('Enter');
  }
  const texts = (await timeline()).texts;
  check(texts[0] === 'Punkt A' && texts[4] === 'Kreis k um A durch B',
    `the steps are described as ${JSON.stringify(texts)}`);
  const list = await page.$$eval('#protocol-list li', (items) => items.map((i) => i.textContent));
  check(list[1] === 'Punkt B', `the Konstruktionsbeschreibung lists ${JSON.stringify(list)}`);
  await page.click('#step-back');
  check(await settled(4), `Schritt zurück did not go to step 4 (${JSON.stringify(await timeline())})`);
  check((await screenHash()) === shown[4], 'step 4 shown again is not the picture step 4 showed');
  const current = await page.$eval('#protocol-list li.current', (li) => li.textContent);
  check(current === 'Gerade g durch A und B', `the list marks "${current}" as the current step`);
  await page.screenshot({ path: path.join(outDir, 'steps.png') });
  await page.click('#step-forward');
  check(await settled(5), `Schritt vor did not go on to step 5 (${JSON.stringify(await timeline())})`);
  check((await screenHash()) === shown[5], 'step 5 after Schritt vor is not the picture step 5 showed');
  await page.focus('#screen');
  await page.keyboard.press('Enter');
  check(await settled(6), `the run did not go on from step 5 (${JSON.stringify(await timeline())})`);
  check((await timeline()).texts[5] === 'Mittelsenkrechte m von A und B', 'step 6 is not the bisector');
  step = 'The slider reaches the last step';
  await page.focus('#step-slider');
  await page.keyboard.press('Home');
  check(await settled(1), `Home on the slider did not go to step 1 (${JSON.stringify(await timeline())})`);
  check((await screenHash()) === shown[1], 'step 1 from the slider is not the picture step 1 showed');
  await page.keyboard.press('End');
  check(await within(5000, async () => {
    const t = await timeline();
    return t.current === t.known && !t.replaying;
  }), `End on the slider did not reach the last step (${JSON.stringify(await timeline())})`);
  await page.evaluate(() => Zirkula.stop());

  step = 'Tab reaches every control and a point the viewer may drag';
  await start('SPEED 100\nPOINT A, 100, 300\nPOINT B, 400, 300\nINTERACT Z\nEND\n' +
    'INTERACTION Z\nCLICKABLE A, B\ng = LINE A, B\nM = MIDDLE A, B\nREPEAT\n');
  check(await within(15000, async () => (await page.evaluate(() => Zirkula.grabPoints().length)) === 2),
    'the page does not offer the two points');
  await within(2000, () => page.evaluate(() => document.querySelectorAll('.grab-point').length === 2));
  await page.evaluate(() => document.activeElement && document.activeElement.blur());
  const reached = new Set();
  let pointButton = false;
  for (let i = 0; i < 80 && !pointButton; i++) {
    // The editor keeps Tab for indenting; Esc first lets it go.
    if (await page.evaluate(() => !!document.activeElement.closest('.CodeMirror'))) {
      await page.keyboard.press('Escape');
    }
    await page.keyboard.press('Tab');
    const [id, point] = await page.evaluate(() => [document.activeElement.id,
      document.activeElement.classList.contains('grab-point')]);
    if (id) reached.add(id);
    pointButton = point;
  }
  const controls = await page.$$eval('header button, header input, header select, #steps button, #steps input',
    (all) => all.filter((e) => !e.disabled && e.offsetParent !== null).map((e) => e.id || e.closest('label').htmlFor));
  const missed = controls.filter((id) => id && !reached.has(id));
  check(missed.length === 0, `Tab did not reach ${missed.join(', ')}`);
  check(pointButton, 'Tab did not reach a point the viewer may drag');
  const focusRing = await page.evaluate(() => getComputedStyle(document.activeElement).outlineStyle);
  check(focusRing !== 'none', 'the chosen point shows no focus');
  const before = await page.evaluate(() => Zirkula.grabPoints()[0]);
  const built = await screenHash();
  await page.keyboard.down('Shift');
  await page.keyboard.press('ArrowRight');
  await page.keyboard.up('Shift');
  check(await within(3000, async () => (await page.evaluate(() => Zirkula.grabPoints()[0].x)) === before.x + 20),
    'Shift+→ did not move the point 20 pixels');
  check((await screenHash()) !== built, 'the line through the moved point did not follow');
  await page.keyboard.press('ArrowDown');
  check(await within(3000, async () => (await page.evaluate(() => Zirkula.grabPoints()[0].y)) === before.y + 4),
    '↓ did not move the point 4 pixels');
  await page.evaluate(() => Zirkula.stop());

  step = 'axe-core finds no violation of WCAG A or AA';
  await page.setBypassCSP(true);
  await page.goto(site + 'index.html');
  await within(10000, async () => (await editorText()).length > 0);
  await within(10000, async () => (await timeline() || {}).known > 2);
  await page.addScriptTag({ path: path.join(path.dirname(new URL(import.meta.url).pathname),
    'node_modules/axe-core/axe.min.js') });
  for (const dialog of [null, 'help', 'share']) {
    if (dialog) {
      await page.evaluate(() => { for (const d of document.querySelectorAll('dialog[open]')) d.close(); });
      await page.evaluate((id) => document.getElementById(id).showModal(), dialog);
    }
    const violations = await page.evaluate(async () => (await axe.run(document, {
      runOnly: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'] })).violations
      .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).slice(0, 3).join(', ')}`));
    check(violations.length === 0, `axe-core${dialog ? ' with ' + dialog : ''}: ${violations.join('; ')}`);
  }
  await page.setBypassCSP(false);

  step = 'Less motion where the viewer asks for it';
  await page.emulateMediaFeatures([{ name: 'prefers-reduced-motion', value: 'reduce' }]);
  await page.goto(site + 'index.html');
  check(await page.evaluate(() => document.getElementById('calm').checked && Zirkula.reducedMotion),
    'prefers-reduced-motion did not choose less motion');
  await page.emulateMediaFeatures([]);
}

try {
  if (!filter || filter === 'classroom') await classroomChecks();
  if (!filter || filter === 'realtime') await realTimeChecks();
  if (!filter || filter === 'page') await pageChecks();
} catch (e) {
  check(false, `the checks broke off at "${step}": ${e.message}`);
}
await browser.close();
served.close();
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
