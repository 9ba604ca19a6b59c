// The embed: a shared script's picture with its control bar and nothing else, for an
// <iframe> on a school's website or learning platform. It tells the host page its height,
// so the frame can fit it, offers full screen only where the frame allows it, leaves the
// mouse wheel to the host page, and stands still while scrolled out of view.
'use strict';

(() => {
  const $ = (id) => document.getElementById(id);
  const canvas = $('screen');

  function tell(text) {
    $('message').textContent = text;
    $('message').classList.remove('hidden');
    postHeight();
  }

  function postHeight() {
    if (window.parent === window) return;
    const height = Math.ceil(document.body.getBoundingClientRect().height);
    window.parent.postMessage({ type: 'zirkula-height', height }, '*');
  }

  Zirkula.attach(canvas, null, { fitWidth: true });
  ZirkulaSteps.attach({ back: 'step-back', forward: 'step-forward', slider: 'step-slider',
    count: 'step-count', announce: 'step-announce' });
  Zirkula.reducedMotion = matchMedia('(prefers-reduced-motion: reduce)').matches;
  Zirkula.onFit(postHeight);
  Zirkula.attachBarButtons();
  if (document.fullscreenEnabled) {
    $('fullscreen-corner').classList.remove('hidden');
    $('fullscreen-corner').addEventListener('click', () => Zirkula.fullscreen());
  }
  new IntersectionObserver((entries) => {
    Zirkula.hold(!entries.some((e) => e.isIntersecting));
  }).observe(canvas);

  async function start() {
    let script;
    try {
      script = await ZirkulaLink.decode(location.hash);
    } catch (e) {
      return tell(e.message);
    }
    if (script === null) return tell('Dieser Link enthält kein Zirkula-Skript.');
    try {
      await Zirkula.loadEngine();
    } catch (e) {
      return tell(Zirkula.LoadFailed);
    }
    Zirkula.run(script, { name: 'geteilt.zir' });
  }
  start();
})();
