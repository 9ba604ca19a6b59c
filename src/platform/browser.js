// The page's side of the browser backend (src/platform/browser.cpp). Each run is a module
// instance of its own; the page gives it, as members of the module object:
//   zirShow, zirPut   called with the screen's size when it opens, and with its picture
//                   (an ImageData) whenever it has changed; absent for a run not shown
//   zirEvents       an array the page pushes the viewer's actions into, four numbers each
//   zirStopRequested  set by the page to end the run as a closed window ends it
//   zirHeld         set by the page while the run is to stand still (out of view)
//   zirWake         called by the page after pushing an action, asking to stop or letting
//                   a held run go on
//   zirTitle        called with the window title
//   zirEventTaken   called with each of the viewer's actions as the run takes it in: its
//                   four numbers and the run's clock then
//   zirStep         called with a step's number, its time, its script line and its text
// and, where the page has loaded web/picture.js, its ZirkulaPicture puts the script into the
// PNG pictures the engine writes.
mergeInto(LibraryManager.library, {
  zir_canvas_show: function (width, height) {
    if (Module['zirShow']) Module['zirShow'](width, height);
  },

  zir_canvas_put: function (rgba, width, height) {
    if (!Module['zirPut']) return;
    const pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    Module['zirPut'](new ImageData(pixels, width, height));
  },

  zir_title: function (utf8) {
    if (Module['zirTitle']) Module['zirTitle'](UTF8ToString(utf8));
  },

  zir_desktop: function (width, height) {
    const screen = typeof window !== 'undefined' ? window.screen : null;
    HEAP32[width >> 2] = screen ? screen.width : 1920;
    HEAP32[height >> 2] = screen ? screen.height : 1080;
  },

  zir_event_taken: function (kind, a, b, c, clockMs) {
    if (Module['zirEventTaken']) Module['zirEventTaken']([kind, a, b, c], clockMs);
  },

  zir_step: function (number, clockMs, line, utf8) {
    if (Module['zirStep']) Module['zirStep'](number, clockMs, line, UTF8ToString(utf8));
  },

  zir_now: function () {
    return performance.now();
  },

  zir_next_event: function (event) {
    const queue = Module['zirEvents'];
    if (!queue || queue.length === 0) return 0;
    const next = queue.shift();
    for (let i = 0; i < 4; i++) HEAP32[(event >> 2) + i] = next[i] | 0;
    return 1;
  },

  zir_stop_requested: function () {
    return Module['zirStopRequested'] ? 1 : 0;
  },

  zir_held: function () {
    return Module['zirHeld'] ? 1 : 0;
  },

  zir_block: function (ms, wakeOnInput) {
    return Asyncify.handleSleep(function (wakeUp) {
      let done = false;
      const finish = function () {
        if (done) return;
        done = true;
        clearTimeout(timer);
        Module['zirWake'] = null;
        wakeUp();
      };
      const timer = setTimeout(finish, Math.max(ms, 0));
      Module['zirWake'] = function (isInput) {
        if (!isInput || wakeOnInput) finish();
      };
      if (Module['zirStopRequested']) finish();
    });
  },

  // A message to ourselves comes back after the browser's waiting work, without the
  // minimum delay the browser puts on a chain of timeouts.
  zir_yield: function () {
    return Asyncify.handleSleep(function (wakeUp) {
      const channel = new MessageChannel();
      channel.port1.onmessage = function () {
        channel.port1.close();
        wakeUp();
      };
      channel.port2.postMessage(0);
    });
  },

  zir_write_png: function (path, rgba, width, height, script, length) {
    return Asyncify.handleSleep(function (wakeUp) {
      const canvas = document.createElement('canvas');
      canvas.width = width;
      canvas.height = height;
      const pixels = new Uint8ClampedArray(HEAPU8.slice(rgba, rgba + width * height * 4).buffer);
      canvas.getContext('2d').putImageData(new ImageData(pixels, width, height), 0, 0);
      const name = UTF8ToString(path);
      const text = length > 0 ? HEAPU8.slice(script, script + length) : null;
      const picture = typeof ZirkulaPicture !== 'undefined' ? ZirkulaPicture : null;
      const png = Zirkula.pngOf(canvas);
      Promise.resolve(text && picture ? picture.withScript(png, text) : png).then(function (bytes) {
        FS.writeFile(name, bytes);
        wakeUp(1);
      }).catch(function () {
        wakeUp(0);
      });
    });
  },
});
