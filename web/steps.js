// The step controls of a page: "Schritt zurück", "Schritt vor" and the slider (its keys
// ← → Home End are the browser's own), a live region that tells a screen reader each step
// as it is shown, and, where the page has one, the list "Konstruktionsbeschreibung" that
// marks the current step and goes to a step when one is chosen.
'use strict';

const ZirkulaSteps = (() => {
  function attach(ids) {
    const $ = (id) => (id ? document.getElementById(id) : null);
    const back = $(ids.back);
    const forward = $(ids.forward);
    const slider = $(ids.slider);
    const count = $(ids.count);
    const announce = $(ids.announce);
    const list = $(ids.list);

    function label(t) {
      return t && t.current ? `Schritt ${t.current} von ${t.steps.length}` : 'Noch kein Schritt';
    }

    function show(t, spoken) {
      const steps = t ? t.steps : [];
      const n = t ? t.replayingTo || t.current : 0;
      slider.max = String(Math.max(1, steps.length));
      slider.value = String(Math.max(1, n));
      slider.disabled = steps.length < 2;
      slider.setAttribute('aria-valuetext', n && steps[n - 1] ? `${label(t)}: ${steps[n - 1].text}` : label(t));
      back.disabled = !t || n <= 1;
      forward.disabled = !t || (n >= steps.length && !Zirkula.running);
      count.textContent = t && t.replayingTo ? `Gehe zu Schritt ${t.replayingTo} …` : label(t);
      if (spoken && announce && steps[n - 1]) announce.textContent = `Schritt ${n}: ${steps[n - 1].text}`;
      if (list) showList(steps, n);
    }

    function showList(steps, n) {
      while (list.children.length > steps.length) list.lastChild.remove();
      steps.forEach((step, i) => {
        let item = list.children[i];
        if (!item) {
          item = document.createElement('li');
          const button = document.createElement('button');
          button.type = 'button';
          button.addEventListener('click', () => Zirkula.goToStep(i + 1));
          item.appendChild(button);
          list.appendChild(item);
        }
        const button = item.firstChild;
        if (button.textContent !== step.text) button.textContent = step.text;
        button.title = step.line ? `Zeile ${step.line}` : '';
        const now = i + 1 === n;
        // One entry in the order of Tab (the current one); the arrow keys go through the rest.
        button.tabIndex = now || (n === 0 && i === 0) ? 0 : -1;
        item.classList.toggle('current', now);
        if (now) button.setAttribute('aria-current', 'step');
        else button.removeAttribute('aria-current');
      });
      const now = list.children[n - 1];
      if (now) now.scrollIntoView({ block: 'nearest' });
    }

    if (list) {
      list.addEventListener('keydown', (event) => {
        const by = { ArrowUp: -1, ArrowDown: 1 }[event.key];
        const item = event.target.closest('li');
        if (!by || !item) return;
        const next = by < 0 ? item.previousElementSibling : item.nextElementSibling;
        if (next) next.firstChild.focus();
        event.preventDefault();
      });
    }
    back.addEventListener('click', () => Zirkula.stepBack());
    forward.addEventListener('click', () => Zirkula.stepForward());
    slider.addEventListener('input', () => {
      const t = Zirkula.timeline;
      count.textContent = t ? `Schritt ${slider.value} von ${t.steps.length}` : '';
    });
    slider.addEventListener('change', () => Zirkula.goToStep(Number(slider.value)));
    Zirkula.onSteps(show);
    Zirkula.onState(() => show(Zirkula.timeline, false));
    show(null, false);
  }

  return { attach };
})();
