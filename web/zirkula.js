// Zirkula in the page: runs scripts in the WebAssembly engine (zirkula-engine.js), on the
// page's canvas in real time or on a virtual clock, and checks them.
//
//   await Zirkula.run(script, {virtualClock, input, name, svg, gif})  -> {exitCode, dump, png, svg, gif, console}
//   await Zirkula.check(script)                          -> [{line, kind, number, message}]
//   await Zirkula.keywords()                             -> every keyword, upper case
//   Zirkula.stop()                       ends the run on the canvas as closing its window does
//   Zirkula.hold(true | false)           stops the run's clock while nobody sees it
//   Zirkula.key(name)                    a key pressed for the viewer ('Enter', 'Escape', 'r')
//   Zirkula.attach(canvas, consoleElement)   where runs in real time are shown
//   Zirkula.timeline                     the steps of the run on the canvas so far
//   await Zirkula.goToStep(k)            shows step k again: a replay up to it, then live
//   Zirkula.onSteps(listener)            told whenever a step is shown or gone to
//
// With virtualClock the input is all the viewer does; without, it is played on the real
// clock as a demonstration, and the viewer can take over.
//
// Every run is a fresh instance of the engine, so nothing of one run reaches the next.
'use strict';

const Zirkula = (() => {
  // The viewer's actions as the engine takes them: a kind and three numbers.
  const Kind = { Character: 1, SpecialKey: 2, Move: 3, Press: 4, Release: 5, Wheel: 6, Leave: 7 };
  // In the order the engine numbers them.
  const SpecialKeys = ['Enter', 'Escape', 'Backspace', 'Tab', 'ArrowUp', 'ArrowDown',
    'ArrowLeft', 'ArrowRight', 'PageUp', 'PageDown', 'Home', 'End'];
  // The same keys by their names in the viewer input.
  const InputKeyNames = ['Enter', 'Esc', 'Backspace', 'Tab', 'Up', 'Down', 'Left', 'Right',
    'PageUp', 'PageDown', 'Home', 'End'];
  const ButtonBits = [1, 4, 2];  // left, middle, right as the browser numbers them
  const ExitAborted = -1;

  const here = document.currentScript ? document.currentScript.src : location.href;
  const engineUrl = new URL('zirkula-engine.js', here).href;
  const wasmUrl = new URL('zirkula-engine.wasm', here).href;
  let enginePromise = null;
  let canvas = null;
  let consoleElement = null;
  let current = null;  // the run shown on the canvas: {engine, done}
  let shownScript = '';  // the script of the picture on the canvas, which its PNG carries
  let shownTickets = 0;  // runs asked to be shown so far
  const stateListeners = [];
  const stepListeners = [];
  // The run on the canvas as the viewer saw it: its steps so far and the viewer's actions,
  // each with the step it came after, so that any step can be shown again by replaying the
  // run up to it with the actions taken before it.
  let timeline = null;
  // Runs see the SLOW statements' instruments unless the viewer asked for less motion.
  let reducedMotion = false;

  // The engine's code and its compiled WebAssembly, loaded once for every run.
  function loadEngine() {
    if (!enginePromise) {
      enginePromise = Promise.all([
        new Promise((resolve, reject) => {
          const script = document.createElement('script');
          script.src = engineUrl;
          script.onload = () => resolve(window.createZirkulaEngine);
          script.onerror = () => reject(new Error('zirkula-engine.js cannot be loaded'));
          document.head.appendChild(script);
        }),
        // A server that does not call the file application/wasm still serves its bytes.
        WebAssembly.compileStreaming(fetch(wasmUrl)).catch(
          () => fetch(wasmUrl).then((r) => r.arrayBuffer()).then((b) => WebAssembly.compile(b))),
      ]);
      enginePromise.catch(() => { enginePromise = null; });
    }
    return enginePromise;
  }

  async function newEngine(settings) {
    const [factory, wasm] = await loadEngine();
    return factory(Object.assign({
      zirEvents: [],
      zirStopRequested: false,
      zirWake: null,
      stdin: () => null,  // the console has no keyboard of its own: its input ends at once
      instantiateWasm(imports, ready) {
        WebAssembly.instantiate(wasm, imports).then((instance) => ready(instance, wasm));
        return {};
      },
    }, settings));
  }

  function bytesOf(script) {
    if (typeof script === 'string') return new TextEncoder().encode(script);
    return script instanceof Uint8Array ? script : new Uint8Array(script);
  }

  // Runs main with these arguments; resolves to its exit code once the run has ended.
  async function callMain(engine, args) {
    const argv = engine._malloc(4 * (args.length + 2));
    const all = ['zirkula'].concat(args);
    all.forEach((arg, i) => {
      const size = engine.lengthBytesUTF8(arg) + 1;
      const text = engine._malloc(size);
      engine.stringToUTF8(arg, text, size);
      engine.HEAP32[(argv >> 2) + i] = text;
    });
    engine.HEAP32[(argv >> 2) + all.length] = 0;
    try {
      return await engine.ccall('main', 'number', ['number', 'number'], [all.length, argv],
        { async: true });
    } catch (e) {
      return ExitAborted;
    }
  }

  function readOutput(engine, path, encoding) {
    try {
      return engine.FS.readFile(path, encoding ? { encoding } : {});
    } catch (e) {
      return null;
    }
  }

  // Bytes in base64, a slice at a time (one call per byte would overflow the stack).
  function base64(bytes) {
    let binary = '';
    for (let i = 0; i < bytes.length; i += 0x8000) {
      binary += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    }
    return btoa(binary);
  }

  function pngDataUrl(bytes) {
    return bytes ? 'data:image/png;base64,' + base64(bytes) : null;
  }

  function say(line) {
    if (!consoleElement) return;
    consoleElement.textContent += line + '\n';
    consoleElement.scrollTop = consoleElement.scrollHeight;
  }

  function notify(state) {
    for (const listener of stateListeners) listener(state);
  }

  // Runs a script to its end. With virtualClock the run takes no real time and its viewer
  // input is the given text (the --input format); without, it is shown on the canvas and
  // the viewer works it, until it ends or is stopped.
  async function run(script, options = {}) {
    const virtualClock = !!options.virtualClock;
    const name = options.name || 'skript.zir';
    const lines = [];
    const shown = !virtualClock;
    // Of runs started on the canvas at nearly the same time (a double click), the last wins.
    const ticket = shown ? ++shownTickets : 0;
    if (shown) await stop();
    const replayTo = shown ? options.replayTo || 0 : 0;
    if (shown && !replayTo) {
      timeline = { script, name, demo: options.input || '', steps: [], events: [], current: 0, replayingTo: 0, epoch: 0, liveFrom: 0 };
    }
    const track = shown ? timeline : null;
    // The picture the run ends with carries the script: compressed while the run goes on.
    if (typeof ZirkulaPicture !== 'undefined') ZirkulaPicture.chunksOf(bytesOf(script)).catch(() => {});
    let engine = null;
    const mine = () => current && current.engine === engine;
    engine = await newEngine({
      zirShow: shown ? showScreen : null,
      zirPut: shown ? (picture) => { putScreen(picture); if (replayTo && mine()) wentLive(track); } : null,
      print(line) { lines.push(line); if (shown) say(line); },
      printErr(line) { lines.push(line); if (shown) say(line); },
      zirTitle(title) { if (shown) document.title = title; },
      zirStep: shown ? (number, timeMs, line, text) => { if (mine()) stepShown(track, number, timeMs, line, text); } : null,
      zirEventTaken: shown ? (event, timeMs) => { if (mine()) actionTaken(track, event, timeMs); } : null,
    });
    engine.FS.mkdir('/run');
    engine.FS.mkdir('/out');
    engine.FS.chdir('/run');
    engine.FS.writeFile(name, bytesOf(script));
    const args = ['--dump', '/out/dump.json', '--png', '/out/last.png'];
    if (virtualClock) args.unshift('--headless');
    // The drawing as SVG is kept only when asked for: recording it costs time.
    if (options.svg) args.push('--svg', '/out/last.svg');
    // The run as an animated GIF (bytes), as the desktop records it: on the virtual clock only.
    const gif = !!options.gif && virtualClock;
    if (gif) args.push('--gif', '/out/run.gif');
    const input = replayTo ? options.replayInput : options.input;
    if (input) {
      engine.FS.writeFile('/out/input.txt', bytesOf(input));
      args.push('--input', '/out/input.txt');
    }
    if (shown) args.push('--steps', '/out/steps.tsv');
    if (replayTo) args.push('--from-step', String(replayTo));
    if (reducedMotion) args.push('--no-instruments');
    args.push(name);
    if (shown && ticket !== shownTickets) return { exitCode: ExitAborted, dump: null, png: null, svg: null, gif: null, console: [] };
    let finished;
    const done = new Promise((resolve) => { finished = resolve; });
    if (shown) {
      if (consoleElement) consoleElement.textContent = '';
      current = { engine, done };
      shownScript = script;
      notify('running');
    }
    const exitCode = await callMain(engine, args);
    const dumpText = readOutput(engine, '/out/dump.json', 'utf8');
    const result = {
      exitCode,
      dump: dumpText ? JSON.parse(dumpText) : null,
      png: pngDataUrl(readOutput(engine, '/out/last.png')),
      svg: options.svg ? readOutput(engine, '/out/last.svg', 'utf8') : null,
      gif: gif ? readOutput(engine, '/out/run.gif') : null,
      console: lines,
    };
    finished();
    if (shown && current && current.engine === engine) {
      current = null;
      if (replayTo) wentLive(track);
      notify('ended');
      notifySteps(false);
    }
    return result;
  }

  // --- steps -------------------------------------------------------------------------

  function notifySteps(announce) {
    for (const listener of stepListeners) listener(timeline, announce);
  }

  let liveWaiters = [];
  // The replay has reached its step, or could go no further: the run is live again.
  function wentLive(track) {
    if (!track || !track.replayingTo) return;
    track.replayingTo = 0;
    for (const resolve of liveWaiters) resolve();
    liveWaiters = [];
    notifySteps(false);
  }

  function stepShown(track, number, timeMs, line, text) {
    // Actions of an earlier history between the last step and this one did not happen in
    // this run, which went from one to the other without them.
    if (number > track.liveFrom) {
      track.events = track.events.filter((e) => e.epoch === track.epoch || e.step !== number - 1);
    }
    const known = track.steps[number - 1];
    // A different step where one was known: what came after it is no longer known.
    if (known && (known.text !== text || known.line !== line)) track.steps.length = number - 1;
    track.steps[number - 1] = { number, timeMs, line, text };
    track.current = number;
    // The steps of a replay before its own go by unspoken.
    if (track.replayingTo && number < track.replayingTo) return notifySteps(false);
    const replayed = track.replayingTo !== 0;
    wentLive(track);
    notifySteps(!replayed);
  }

  // The viewer acts: what an earlier history had the viewer do from this step on is
  // replaced by what the viewer does now.
  function actionTaken(track, event, timeMs) {
    track.events = track.events.filter((e) => e.epoch === track.epoch || e.step < track.current);
    track.events.push({ event, timeMs, step: track.current, epoch: track.epoch });
  }

  // A viewer action as a line of the viewer input; null for those it has no words for.
  function inputLine(event, timeMs) {
    const [kind, a, b, c] = event;
    const ms = Math.max(0, Math.round(timeMs));
    switch (kind) {
      case Kind.Character: {
        const ch = String.fromCodePoint(a);
        if (ch === ' ') return `${ms} key Space`;
        return /\s/.test(ch) ? null : `${ms} key ${ch}`;
      }
      case Kind.SpecialKey: return InputKeyNames[a] ? `${ms} key ${InputKeyNames[a]}` : null;
      case Kind.Move: return `${ms} move ${a} ${b}`;
      case Kind.Press: return c === 1 ? `${ms} press ${a} ${b}` : null;
      case Kind.Release: return c === 1 ? `${ms} release ${a} ${b}` : null;
      case Kind.Leave: return `${ms} move -1 -1`;
      default: return null;
    }
  }

  // The demonstration's input and the viewer's actions, merged in the order of their times.
  function replayInput(demo, events) {
    const timed = [];
    for (const line of demo.split('\n')) {
      const m = /^\s*(\d+)\s/.exec(line);
      if (m) timed.push([Number(m[1]), line.trim()]);
    }
    for (const e of events) {
      const line = inputLine(e.event, e.timeMs);
      if (line) timed.push([Math.max(0, Math.round(e.timeMs)), line]);
    }
    timed.sort((p, q) => p[0] - q[0]);
    return timed.map((t) => t[1]).join('\n') + '\n';
  }

  // Shows step k of the run on the canvas again: the run is replayed on the virtual clock
  // with the viewer's actions before that step and goes on live from there. Resolves once
  // the run is live (or has ended).
  function goToStep(k) {
    const t = timeline;
    if (!t) return Promise.resolve();
    // A step not yet seen is reached as a run without a viewer would reach it.
    k = Math.max(1, Math.round(k));
    t.epoch++;
    t.replayingTo = k;
    t.liveFrom = k;
    const live = new Promise((resolve) => liveWaiters.push(resolve));
    notifySteps(false);
    run(t.script, { name: t.name, replayTo: k,
      replayInput: replayInput(t.demo, t.events.filter((e) => e.step < k)) });
    return live;
  }

  // The next step: one known already is gone to; else a live run is asked not to wait.
  function stepForward() {
    const t = timeline;
    if (!t) return Promise.resolve();
    const from = t.replayingTo || t.current;
    if (from < t.steps.length) return goToStep(from + 1);
    if (current) key(' ');
    return Promise.resolve();
  }

  function stepBack() {
    const t = timeline;
    const from = t ? t.replayingTo || t.current : 0;
    return from > 1 ? goToStep(from - 1) : Promise.resolve();
  }

  // --- points the keyboard moves -----------------------------------------------------

  // The points the viewer may drag now: [{x, y, name}] in screen pixels.
  function grabPoints() {
    if (!current) return [];
    return current.engine.UTF8ToString(current.engine._zir_grab_points()).split('\n')
      .filter((line) => line).map((line) => {
        const [x, y, name = ''] = line.split(' ');
        return { x: Number(x), y: Number(y), name };
      });
  }

  const settle = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

  // Until the run has taken in every action sent, and a moment for it to act on them.
  async function taken() {
    for (let i = 0; i < 100 && current && current.engine.zirEvents.length; i++) await settle(10);
    await settle(40);
  }

  // Drags the point at (x, y) by (dx, dy) screen pixels, as the mouse would.
  async function dragPoint(x, y, dx, dy) {
    send(Kind.Move, x, y, 0);
    send(Kind.Press, x, y, 1);
    await taken();
    send(Kind.Move, x + dx, y + dy, 0);
    await taken();
    send(Kind.Release, x + dx, y + dy, 1);
    await taken();
  }

  // Buttons over the points the viewer may drag, for the keyboard: Tab chooses one, the
  // arrow keys move it (with Shift further).
  const PointStepPx = 4;
  const PointLongStepPx = 20;
  let pointLayer = null;
  let pointsTimer = 0;

  function schedulePoints() {
    clearTimeout(pointsTimer);
    pointsTimer = setTimeout(refreshPoints, 80);
  }

  function refreshPoints() {
    if (!pointLayer) return;
    const points = grabPoints();
    const box = canvas.getBoundingClientRect();
    const stage = pointLayer.parentElement.getBoundingClientRect();
    const scale = box.width / screenCanvas.width;
    const buttons = Array.from(pointLayer.children);
    points.forEach((p, i) => {
      let button = buttons[i];
      if (!button) {
        button = document.createElement('button');
        button.type = 'button';
        button.className = 'grab-point';
        button.addEventListener('keydown', onPointKey);
        pointLayer.appendChild(button);
      }
      const name = p.name || `${i + 1}`;
      button.setAttribute('aria-label', `Punkt ${name} verschieben (Pfeiltasten, mit Umschalttaste weiter)`);
      button.title = `Punkt ${name}`;
      button.dataset.x = p.x;
      button.dataset.y = p.y;
      button.style.left = `${box.left - stage.left + (p.x + 0.5) * scale}px`;
      button.style.top = `${box.top - stage.top + (p.y + 0.5) * scale}px`;
    });
    for (const extra of buttons.slice(points.length)) extra.remove();
  }

  let pointBusy = false;
  async function onPointKey(event) {
    const moves = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
    const move = moves[event.key];
    if (!move) return;
    event.preventDefault();
    if (pointBusy) return;
    pointBusy = true;
    const button = event.currentTarget;
    const index = Array.from(pointLayer.children).indexOf(button);
    const step = event.shiftKey ? PointLongStepPx : PointStepPx;
    try {
      await dragPoint(Number(button.dataset.x), Number(button.dataset.y), move[0] * step, move[1] * step);
    } finally {
      pointBusy = false;
    }
    refreshPoints();
    const again = pointLayer.children[index];
    if (again) again.focus();
  }

  // Ends the run on the canvas as closing its window would; resolves once it has ended.
  async function stop() {
    const running = current;
    if (!running) return;
    running.engine.zirStopRequested = true;
    if (running.engine.zirWake) running.engine.zirWake(false);
    await running.done;
  }

  function hold(held) {
    if (!current) return;
    current.engine.zirHeld = !!held;
    if (!held && current.engine.zirWake) current.engine.zirWake(false);
  }

  let keywordList = null;
  // The language's keywords, as the engine knows them.
  async function keywords() {
    if (!keywordList) {
      const lines = [];
      const engine = await newEngine({ print: (l) => lines.push(l), printErr: () => {} });
      await callMain(engine, ['--keywords']);
      keywordList = lines.filter((l) => l);
    }
    return keywordList;
  }

  // The diagnostics of the compiler, as the command line's --check prints them.
  async function check(script) {
    const lines = [];
    const engine = await newEngine({ print: (l) => lines.push(l), printErr: (l) => lines.push(l) });
    engine.FS.writeFile('/skript.zir', bytesOf(script));
    await callMain(engine, ['--check', '/skript.zir']);
    const found = [];
    for (const line of lines) {
      const m = /^\/skript\.zir:(\d+): (?:Fehler (\d+)|(Warnung)): (.*)$/.exec(line);
      if (!m) continue;
      found.push({
        line: Number(m[1]),
        kind: m[3] ? 'warning' : 'error',
        number: m[2] ? Number(m[2]) : null,
        message: m[4],
      });
    }
    return found;
  }

  // --- the viewer's actions on the canvas --------------------------------------------

  function send(kind, a, b, c) {
    if (!current) return;
    current.engine.zirEvents.push([kind, a | 0, b | 0, c | 0]);
    if (current.engine.zirWake) current.engine.zirWake(true);
  }

  // The screen pixel under a point of the page; the canvas's box keeps the screen's aspect.
  function pixelAt(clientX, clientY) {
    const box = canvas.getBoundingClientRect();
    return [Math.floor((clientX - box.left) * screenCanvas.width / box.width),
      Math.floor((clientY - box.top) * screenCanvas.height / box.height)];
  }

  function key(name) {
    const special = SpecialKeys.indexOf(name);
    if (special >= 0) send(Kind.SpecialKey, special, 0, 0);
    else send(Kind.Character, name.codePointAt(0), 0, 0);
  }

  function onKey(event) {
    // Tab leaves the picture for the next control, as everywhere on the page.
    if (!current || event.key === 'Tab') return;
    const special = SpecialKeys.indexOf(event.key);
    const chars = Array.from(event.key);
    // Ctrl or Cmd combinations stay the browser's; AltGr (Ctrl and Alt at once) types.
    const shortcut = (event.ctrlKey && !event.altKey) || event.metaKey;
    if (special >= 0 && !shortcut) {
      send(Kind.SpecialKey, special, 0, 0);
    } else if (chars.length === 1 && !shortcut) {
      send(Kind.Character, chars[0].codePointAt(0), 0, 0);
    } else {
      return;
    }
    event.preventDefault();
  }

  let held = 0;  // buttons pressed on the canvas and not yet let go
  function onMouse(event) {
    if (!current) return;
    const [x, y] = pixelAt(event.clientX, event.clientY);
    const bit = ButtonBits[event.button] || 0;
    if (event.type === 'mousedown') {
      if (event.target !== canvas || !bit) return;
      canvas.focus();
      held |= bit;
      send(Kind.Press, x, y, bit);
      event.preventDefault();
    } else if (event.type === 'mouseup') {
      if (!(held & bit)) return;
      held &= ~bit;
      send(Kind.Release, x, y, bit);
    } else if (event.target === canvas || held) {
      send(Kind.Move, x, y, 0);
    }
  }

  // The one finger that works as the left button. Put down on a point the viewer may drag,
  // it holds the page still and drags the point; put down elsewhere, the page scrolls under
  // it, and lifted where it was put down it clicks (press and release at once count).
  let finger = null;
  function onTouch(event) {
    if (!current) return;
    const touch = Array.from(event.changedTouches).find(
      (t) => (finger === null ? event.type === 'touchstart' : t.identifier === finger.id));
    if (!touch) return;
    const [x, y] = pixelAt(touch.clientX, touch.clientY);
    if (event.type === 'touchstart') {
      const holds = !!current.engine._zir_would_grab(x, y);
      finger = { id: touch.identifier, holds, startX: touch.clientX, startY: touch.clientY, moved: false };
      if (!holds) return;
      event.preventDefault();
      canvas.focus();
      send(Kind.Move, x, y, 0);
      send(Kind.Press, x, y, 1);
    } else if (event.type === 'touchmove') {
      if (finger.holds) {
        event.preventDefault();
        send(Kind.Move, x, y, 0);
      } else if (Math.hypot(touch.clientX - finger.startX, touch.clientY - finger.startY) > 10) {
        finger.moved = true;
      }
    } else {
      const lifted = finger;
      finger = null;
      if (lifted.holds) {
        send(Kind.Release, x, y, 1);
      } else if (event.type === 'touchend' && !lifted.moved) {
        event.preventDefault();  // no mouse events made up after it
        canvas.focus();
        send(Kind.Move, x, y, 0);
        send(Kind.Press, x, y, 1);
        send(Kind.Release, x, y, 1);
      }
    }
  }

  // The screen's picture at its own size; the canvas shows it as large as its box allows,
  // with its aspect, enlarged as image viewers do: by the largest whole factor with crisp
  // pixels (in the display's own pixels), then smoothly the rest of the way.
  const screenCanvas = document.createElement('canvas');
  screenCanvas.width = 640;
  screenCanvas.height = 480;

  function showScreen(width, height) {
    screenCanvas.width = width;
    screenCanvas.height = height;
    fitCanvas();
  }

  // For tests and benchmarks: pictures shown, and when the first of them came (milliseconds
  // since the page was opened).
  const stats = { pictures: 0, firstPictureMs: null };

  function putScreen(picture) {
    if (stats.firstPictureMs === null) stats.firstPictureMs = performance.now();
    stats.pictures++;
    screenCanvas.getContext('2d').putImageData(picture, 0, 0);
    paint();
    schedulePoints();
  }

  function paint() {
    if (!canvas) return;
    const context = canvas.getContext('2d');
    context.imageSmoothingEnabled = false;
    context.drawImage(screenCanvas, 0, 0, canvas.width, canvas.height);
  }

  let fitWidthOnly = false;
  const fitListeners = [];

  function fitCanvas() {
    if (!canvas || !canvas.parentElement) return;
    const box = canvas.parentElement.getBoundingClientRect();
    const scale = fitWidthOnly && !document.fullscreenElement ? box.width / screenCanvas.width
      : Math.min(box.width / screenCanvas.width, box.height / screenCanvas.height);
    if (!(scale > 0)) return;
    const factor = Math.max(1, Math.floor(scale * (window.devicePixelRatio || 1)));
    if (canvas.width !== screenCanvas.width * factor || canvas.height !== screenCanvas.height * factor) {
      canvas.width = screenCanvas.width * factor;
      canvas.height = screenCanvas.height * factor;
    }
    const width = Math.max(1, Math.floor(screenCanvas.width * scale));
    const height = Math.max(1, Math.floor(screenCanvas.height * scale));
    canvas.style.width = width + 'px';
    canvas.style.height = height + 'px';
    canvas.style.imageRendering = width * (window.devicePixelRatio || 1) === canvas.width
      ? 'pixelated' : 'auto';
    paint();
    for (const listener of fitListeners) listener(width, height);
    schedulePoints();
  }

  // Shows runs on the canvas, as large as its parent allows (with fitWidth: as wide as its
  // parent, however tall that makes it).
  function attach(canvasElement, consoleBox, options = {}) {
    canvas = canvasElement;
    fitWidthOnly = !!options.fitWidth;
    consoleElement = consoleBox || null;
    canvas.tabIndex = 0;
    canvas.addEventListener('keydown', onKey);
    canvas.addEventListener('mousedown', onMouse);
    window.addEventListener('mousemove', onMouse);
    window.addEventListener('mouseup', onMouse);
    canvas.addEventListener('mouseleave', () => { if (!held) send(Kind.Leave, 0, 0, 0); });
    canvas.addEventListener('contextmenu', (e) => e.preventDefault());
    canvas.addEventListener('wheel', (e) => send(Kind.Wheel, e.deltaY < 0 ? 1 : -1, 0, 0),
      { passive: true });
    for (const type of ['touchstart', 'touchmove', 'touchend', 'touchcancel']) {
      canvas.addEventListener(type, onTouch, { passive: false });
    }
    pointLayer = document.createElement('div');
    pointLayer.className = 'grab-points';
    canvas.parentElement.appendChild(pointLayer);
    // A point the viewer may drag appears while the run waits for it, without a new picture.
    setInterval(() => { if (current) refreshPoints(); else if (pointLayer.firstChild) pointLayer.replaceChildren(); }, 400);
    window.addEventListener('resize', fitCanvas);
    new ResizeObserver(fitCanvas).observe(canvas.parentElement);
    fitCanvas();
  }

  // Buttons that stand for the control bar's keys where fingers work the picture: the ids of
  // those of the page's buttons it has.
  function attachBarButtons(ids = { 'bar-pause': 'Enter', 'bar-again': 'r', 'bar-end': 'Escape' }) {
    for (const [id, name] of Object.entries(ids)) {
      const button = document.getElementById(id);
      if (button) button.addEventListener('click', () => key(name));
    }
  }

  // The canvas's box full screen (the projector); F11 stays the browser's own.
  function fullscreen() {
    if (canvas && canvas.parentElement.requestFullscreen) canvas.parentElement.requestFullscreen();
  }

  // A canvas's picture as PNG bytes, at once: toBlob waits for the browser's idle time, which
  // a page with nothing to draw may not give for a second.
  function pngOf(canvasElement) {
    const binary = atob(canvasElement.toDataURL('image/png').split(',')[1]);
    return Uint8Array.from(binary, (c) => c.charCodeAt(0));
  }

  // The picture on the screen as a PNG file, carrying its script where web/picture.js is loaded.
  async function pictureBlob() {
    const png = pngOf(screenCanvas);
    const carried = shownScript && typeof ZirkulaPicture !== 'undefined';
    return new Blob([carried ? await ZirkulaPicture.withScript(png, bytesOf(shownScript)) : png],
      { type: 'image/png' });
  }

  // The screen's pixels as the engine last showed them (an ImageData), for tests.
  function screenPixels() {
    return screenCanvas.getContext('2d').getImageData(0, 0, screenCanvas.width, screenCanvas.height);
  }

  return {
    run, check, keywords, stop, hold, key, attach, attachBarButtons, fullscreen, loadEngine,
    screenPixels, stats, pictureBlob, pngOf, base64, goToStep, stepForward, stepBack, grabPoints,
    dragPoint,
    get timeline() { return timeline; },
    onSteps(listener) { stepListeners.push(listener); },
    set reducedMotion(on) { reducedMotion = !!on; },
    get reducedMotion() { return reducedMotion; },
    // What a page says when the engine cannot be loaded.
    LoadFailed: 'Die Zirkula-Engine konnte nicht geladen werden. Bitte die Seite neu laden ' +
      'oder einen aktuellen Browser verwenden.',
    onFit(listener) { fitListeners.push(listener); },
    onState(listener) { stateListeners.push(listener); },
    get running() { return current !== null; },
  };
})();
